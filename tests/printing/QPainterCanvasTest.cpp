// The QPainter canvas: where its mapping puts lines, boxes and text on real devices (an
// image for the screen, a PDF writer for the printer), and that text is drawn where it
// was measured to be.
#include "printing/render/QPainterCanvas.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>

namespace mv {
namespace {

// The bounding box of every pixel that is not white; empty when there is none.
QRect ink(const QImage& image, const QRect& within = QRect()) {
  const QRect area = within.isNull() ? image.rect() : within & image.rect();
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 160) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  return left == INT_MAX ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Draws on a white 800 x 1000 image through a screen canvas with the given mapping.
QImage draw(const Mapping& mapping, const std::function<void(Canvas&)>& paint,
            QSize size = QSize(800, 1000)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QPainterCanvas canvas(painter, CanvasTarget::Screen);
  EXPECT_TRUE(canvas.setMapping(mapping));
  paint(canvas);
  painter.end();
  return image;
}

const Mapping kZoomed = Mapping::scaledPage(765, 995, {10, 10}, {612, 796});  // zoom 0.8
const Mapping kOneToOne = Mapping::identity();

TEST(QPainterCanvas, linesAndBoxesLandWhereTheMappingPutsThem) {
  const QImage image = draw(kZoomed, [](Canvas& c) {
    c.drawLine({100, 100}, {200, 100});  // device 90..170 at y 90
    c.setPen(Pen::none());
    c.setBrush(Brush::solid({0, 0, 255}));
    c.drawRect({300, 300, 400, 350});  // device 250..330 x 250..290
  });
  const QRect line = ink(image, QRect(0, 0, 800, 200));
  EXPECT_EQ(line.top(), 90);
  EXPECT_EQ(line.height(), 1);
  EXPECT_EQ(line.left(), 90);
  EXPECT_NEAR(line.right(), 170, 1);
  EXPECT_EQ(image.pixel(290, 270), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(245, 270), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(290, 295), qRgb(255, 255, 255));
}

TEST(QPainterCanvas, penWidthIsInLogicalUnits) {
  const Mapping doubled = Mapping::scaledPage(100, 100, {0, 0}, {200, 200});
  const QImage image = draw(doubled, [](Canvas& c) {
    c.setPen(Pen{{0, 0, 0}, 4, PenStyle::Solid});
    c.drawLine({10, 50}, {90, 50});  // 8 device pixels thick around y = 100
    c.setPen(Pen{{0, 0, 0}, 0, PenStyle::Solid});
    c.drawLine({10, 80}, {90, 80});  // the thinnest line at y = 160
  });
  EXPECT_EQ(ink(image, QRect(0, 0, 200, 130)).height(), 8);
  EXPECT_EQ(ink(image, QRect(0, 130, 200, 70)).height(), 1);
}

TEST(QPainterCanvas, textSitsOnItsReferencePointByAlignment) {
  // A tall font at one unit per pixel; "H" has no descender, so its ink ends on the
  // baseline.
  struct Row {
    TextAlign align;
    const char* what;
  };
  const Row rows[] = {
      {{HAlign::Left, VAlign::Top}, "left, top"},
      {{HAlign::Center, VAlign::Top}, "centre, top"},
      {{HAlign::Right, VAlign::Bottom}, "right, bottom"},
      {{HAlign::Left, VAlign::Baseline}, "left, baseline"},
  };
  for (const Row& r : rows) {
    int width = 0;
    FontMetrics m;
    const QImage image = draw(kOneToOne, [&](Canvas& c) {
      c.setFont(Font{"Arial", 100});
      width = c.measureText("HHH").width;
      m = c.fontMetrics();
      c.drawText({400, 500}, "HHH", r.align);
    });
    const QRect box = ink(image);
    ASSERT_FALSE(box.isNull()) << r.what;
    int left = 400;
    if (r.align.h == HAlign::Center) left -= width / 2;
    if (r.align.h == HAlign::Right) left -= width;
    int baseline = 500;
    if (r.align.v == VAlign::Top) baseline += m.ascent;
    if (r.align.v == VAlign::Bottom) baseline -= m.descent;
    // "H" stands a little inside its advance, and its foot is on the baseline.
    EXPECT_NEAR(box.left(), left + 8, 6) << r.what;
    EXPECT_NEAR(box.right() + 1, left + width - 8, 6) << r.what;
    EXPECT_NEAR(box.bottom() + 1, baseline, 1) << r.what;
    EXPECT_NEAR(box.height(), 0.716 * 100 / 1.15, 3) << r.what;  // the cap height
  }
}

TEST(QPainterCanvas, textBackgroundIsTransparentUnlessAColourIsGiven) {
  for (const bool opaque : {false, true}) {
    const QImage image = draw(kOneToOne, [&](Canvas& c) {
      c.setBrush(Brush::solid({0, 160, 0}));
      c.setPen(Pen::none());
      c.drawRect({0, 0, 800, 1000});
      c.setFont(Font{"Arial", 40});
      if (opaque) c.setTextBackground(Rgb{255, 255, 0});
      c.drawText({100, 100}, "i  i");  // the gap between the letters shows the background
    });
    const QRgb gap = image.pixel(100 + 20, 120);
    EXPECT_EQ(gap, opaque ? qRgb(255, 255, 0) : qRgb(0, 160, 0)) << opaque;
  }
}

TEST(QPainterCanvas, textFollowsTheZoomAndMeasuresTheSameAtEveryZoom) {
  Font font{"Arial", 20};
  std::optional<TextSize> first;
  for (const double zoom : {0.5, 0.8, 1.0, 1.5}) {
    const Mapping m = Mapping::scaledPage(765, 995, {10, 10}, {765 * zoom, 995 * zoom});
    TextSize size;
    const QImage image = draw(m, [&](Canvas& c) {
      c.setFont(font);
      size = c.measureText("Telephone 555-1234");
      c.drawText({380, 200}, "Telephone 555-1234", {HAlign::Right, VAlign::Top});
    }, QSize(1200, 1600));
    if (!first) first = size;
    EXPECT_EQ(size, *first) << zoom;
    const QRect box = ink(image);
    // Right alignment ends the text (its last digit) at x = 380.
    EXPECT_NEAR(box.right() + 1, 10 + 380 * zoom, 3) << zoom;
    EXPECT_NEAR(box.left(), 10 + (380 - size.width) * zoom, 3) << zoom;
    EXPECT_GT(box.top(), 10 + 200 * zoom) << zoom;
    EXPECT_LT(box.bottom(), 10 + (200 + size.height) * zoom) << zoom;
  }
}

TEST(QPainterCanvas, textStaysUprightWhereYGrowsUpwards) {
  // Hundredths of an inch on a 100-dpi device: one unit per pixel, y turned round, the
  // origin at pixel row 900. "L" has its bar at the foot.
  const Mapping yUp = Mapping::hundredthsOfInch({100, 100}, {0, 900}, true);
  const QImage image = draw(yUp, [](Canvas& c) {
    c.setFont(Font{"Arial", 120});
    c.drawText({100, 500}, "L", {HAlign::Left, VAlign::Top});  // the top at pixel row 400
  });
  const QRect box = ink(image);
  ASSERT_FALSE(box.isNull());
  EXPECT_GT(box.top(), 400);
  EXPECT_LT(box.bottom(), 400 + 120);
  const int footRow = ink(image, QRect(0, box.bottom(), 800, 1)).width();
  const int headRow = ink(image, QRect(0, box.top(), 800, 1)).width();
  EXPECT_GT(footRow, 3 * headRow);
}

TEST(QPainterCanvas, boxedTextBreaksAtBlanksAndIsClippedToTheBox) {
  const char* text = "word word word word word word word word word word word word";
  struct Row {
    const char* what;
    Rect box;
    HAlign align;
    TextFlow flow;
    int minLines;
  };
  const Row rows[] = {
      {"broken into lines", {100, 100, 300, 400}, HAlign::Left, TextFlow::WordBreak, 3},
      {"lines beyond the box are cut", {100, 100, 300, 120}, HAlign::Left, TextFlow::WordBreak, 1},
      {"one line, cut at the right edge", {100, 100, 300, 400}, HAlign::Center,
       TextFlow::SingleLine, 1},
  };
  for (const Row& r : rows) {
    int lineHeight = 0;
    const QImage image = draw(kOneToOne, [&](Canvas& c) {
      c.setFont(Font{"Arial", 20});
      lineHeight = c.fontMetrics().height;
      c.drawTextBox(r.box, text, r.align, r.flow);
    });
    const QRect box = ink(image);
    ASSERT_FALSE(box.isNull()) << r.what;
    const QRect allowed(QPoint(r.box.left, r.box.top), QPoint(r.box.right - 1, r.box.bottom - 1));
    EXPECT_TRUE(allowed.contains(box)) << r.what;
    EXPECT_GE(box.height(), (r.minLines - 1) * lineHeight) << r.what;
    if (r.flow == TextFlow::SingleLine) {
      EXPECT_LT(box.height(), lineHeight) << r.what;
      EXPECT_GE(box.right(), r.box.right - 3) << r.what;  // filled to the edge, then cut
    }
  }
}

TEST(QPainterCanvas, aPdfPageMeasuresAsTheScreenAndHoldsTheText) {
  QByteArray pdf;
  QBuffer buffer(&pdf);
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
  TextSize onPaper;
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    QPainter painter(&writer);
    QPainterCanvas canvas(painter, CanvasTarget::Printer);
    EXPECT_TRUE(canvas.onPrinter());
    EXPECT_EQ(canvas.device().dotsPerInch.x, 1200);
    const DeviceInfo& d = canvas.device();
    ASSERT_TRUE(canvas.setMapping(Mapping::scaledPage(765, 995, {0, 0},
                                                      {double(d.width), double(d.height)})));
    canvas.setFont(Font{"Arial", 14});
    onPaper = canvas.measureText("Printed name line");
    canvas.drawText({50, 70}, "Printed name line");
    canvas.drawRoundedRect({50, 100, 300, 200}, 20, 20);
  }
  buffer.close();
  EXPECT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_TRUE(pdf.contains("/FontFile2"));  // the text is text, in an embedded font

  TextSize onScreen;
  draw(kZoomed, [&](Canvas& c) {
    c.setFont(Font{"Arial", 14});
    onScreen = c.measureText("Printed name line");
  });
  EXPECT_EQ(onPaper, onScreen);
}

}  // namespace
}  // namespace mv
