// The canvas's state and measuring, through the recording canvas the layout tests use.
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace mv {
namespace {

using test::DrawCall;
using test::RecordingCanvas;

TEST(RecordingCanvas, eachCallKeepsTheStateItWasMadeIn) {
  RecordingCanvas c;
  c.setFont(Font{"Arial", 25, kBoldWeight, false, true, false});
  c.setTextColor({200, 0, 0});
  c.drawText({380, 40}, "Heading", {HAlign::Center, VAlign::Top});
  c.setPen(Pen{{0, 0, 255}, 2, PenStyle::Solid});
  c.setBrush(Brush::hollow());
  c.drawLine({50, 60}, {710, 60});
  c.drawRoundedRect({0, 0, 100, 50}, 20, 10);

  ASSERT_EQ(c.calls().size(), 3u);
  const DrawCall* heading = c.findText("Heading");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->at, (Point{380, 40}));
  EXPECT_EQ(heading->align, (TextAlign{HAlign::Center, VAlign::Top}));
  EXPECT_EQ(heading->font.height, 25);
  EXPECT_TRUE(heading->font.underline);
  EXPECT_EQ(heading->textColor, (Rgb{200, 0, 0}));
  EXPECT_FALSE(heading->textBackground);  // transparent unless asked otherwise

  const DrawCall& line = c.calls()[1];
  EXPECT_EQ(line.kind, DrawCall::Kind::Line);
  EXPECT_EQ(line.to, (Point{710, 60}));
  EXPECT_EQ(line.pen.width, 2);
  const DrawCall& round = c.calls()[2];
  EXPECT_FALSE(round.brush.color);
  EXPECT_EQ(round.cornerWidth, 20);
  EXPECT_EQ(c.callsOf(DrawCall::Kind::Line).size(), 1u);
}

TEST(RecordingCanvas, textCoversTheCellItsAlignmentGives) {
  RecordingCanvas c;
  c.setFont(Font{"Arial", 20});
  const TextSize size = c.measureText("Mervane");
  ASSERT_GT(size.width, 40);
  struct Row {
    TextAlign align;
    int left;
    int top;
  };
  // Reference point 380, 100.
  const Row rows[] = {
      {{HAlign::Left, VAlign::Top}, 380, 100},
      {{HAlign::Center, VAlign::Top}, 380 - size.width / 2, 100},
      {{HAlign::Right, VAlign::Top}, 380 - size.width, 100},
      {{HAlign::Left, VAlign::Bottom}, 380, 100 - size.height},
      {{HAlign::Left, VAlign::Baseline}, 380, 100 - c.fontMetrics().ascent},
  };
  for (const Row& r : rows) {
    c.clear();
    c.drawText({380, 100}, "Mervane", r.align);
    const Rect cell = c.calls().at(0).rect;
    EXPECT_EQ(cell.left, r.left);
    EXPECT_EQ(cell.top, r.top);
    EXPECT_EQ(cell.width(), size.width);
    EXPECT_EQ(cell.height(), size.height);
  }
}

TEST(RecordingCanvas, saveAndRestoreBringBackTheWholeState) {
  RecordingCanvas c;
  const Mapping page = Mapping::scaledPage(765, 995, {10, 10}, {612, 796});
  ASSERT_TRUE(c.setMapping(page));
  c.setFont(Font{"Arial", 14});
  const int width14 = c.measureText("Telephone").width;
  c.save();
  Mapping shifted = page;
  shifted.windowOrigin.y -= 55;
  ASSERT_TRUE(c.setMapping(shifted));
  c.setFont(Font{"Arial", 28});
  c.setPen(Pen::none());
  c.drawLine({0, 0}, {10, 10});  // no pen: nothing drawn
  EXPECT_GT(c.measureText("Telephone").width, width14);
  c.restore();
  EXPECT_EQ(c.mapping(), page);
  EXPECT_EQ(c.font().height, 14);
  EXPECT_EQ(c.measureText("Telephone").width, width14);  // measured in the restored font
  c.restore();  // one restore too many changes nothing
  EXPECT_EQ(c.font().height, 14);
  c.drawLine({0, 0}, {10, 10});
  c.drawText({0, 0}, "");
  c.drawTextBox({0, 0, 0, 10}, "empty box", HAlign::Left, TextFlow::WordBreak);
  ASSERT_EQ(c.calls().size(), 1u);
  EXPECT_EQ(c.calls()[0].pen.style, PenStyle::Solid);
}

TEST(RecordingCanvas, aMappingWithAZeroExtentIsRefused) {
  RecordingCanvas c;
  const Mapping good = Mapping::scaledPage(765, 995, {0, 0}, {765, 995});
  ASSERT_TRUE(c.setMapping(good));
  Mapping bad = good;
  bad.windowExtent.x = 0;  // a page fraction of zero would divide by it
  EXPECT_FALSE(c.setMapping(bad));
  bad = good;
  bad.viewportExtent.y = 0;
  EXPECT_FALSE(c.setMapping(bad));
  EXPECT_EQ(c.mapping(), good);
}

TEST(Mapping, logicalUnitsToDevicePixelsAndBack) {
  struct Row {
    const char* what;
    Mapping mapping;
    PointF logical;
    PointF device;
  };
  const Row rows[] = {
      {"the page at zoom 0.8, 10 pixels in", Mapping::scaledPage(765, 995, {10, 10}, {612, 796}),
       {380, 100}, {314, 90}},
      {"Letter at 600 dpi", Mapping::scaledPage(765, 995, {0, 0}, {5100, 6600}), {765, 995},
       {5100, 6600}},
      {"hundredths of an inch, y up, at 300 dpi",
       Mapping::hundredthsOfInch({300, 300}, {0, 0}, true), {100, -250}, {300, 750}},
      {"hundredths of an inch on the screen", Mapping::hundredthsOfInch({96, 96}, {0, 0}, false),
       {50, 50}, {48, 48}},
      {"the window origin moved by a page offset",
       Mapping{{-25, -15}, {765, 995}, {0, 0}, {765, 995}}, {0, 0}, {25, 15}},
  };
  for (const Row& r : rows) {
    const PointF d = r.mapping.toDevice(r.logical);
    EXPECT_NEAR(d.x, r.device.x, 1e-9) << r.what;
    EXPECT_NEAR(d.y, r.device.y, 1e-9) << r.what;
    const PointF back = r.mapping.toLogical(d);
    EXPECT_NEAR(back.x, r.logical.x, 1e-9) << r.what;
    EXPECT_NEAR(back.y, r.logical.y, 1e-9) << r.what;
  }
}

TEST(CanvasMeasuring, heightSignChoosesCharacterOrCellHeight) {
  struct Row {
    const char* face;
    int height;
  };
  const Row rows[] = {{"Arial", 15}, {"Arial", 40}, {"Times New Roman", 20}, {"Arial", 10}};
  RecordingCanvas c;
  for (const Row& r : rows) {
    // Positive: the cell, which is what "ABCjyqtl" measures high.
    c.setFont(Font{r.face, r.height});
    EXPECT_EQ(c.measureText("ABCjyqtl").height, r.height) << r.face << r.height;
    EXPECT_EQ(c.fontMetrics().height, c.fontMetrics().ascent + c.fontMetrics().descent);
    // Negative: the character height; the cell adds the internal leading on top.
    c.setFont(Font{r.face, -r.height});
    const FontMetrics m = c.fontMetrics();
    EXPECT_GT(m.height, r.height) << r.face << -r.height;
    EXPECT_NEAR(m.height - m.internalLeading, r.height, 1) << r.face << -r.height;
  }
  // A request of 0 is the default size.
  c.setFont(Font{"Arial", 0});
  EXPECT_EQ(c.measureText("x").height, kDefaultFontHeight);
}

TEST(CanvasMeasuring, widthsFollowSizeWeightAndText) {
  RecordingCanvas c;
  c.setFont(Font{"Arial", 20});
  const TextSize normal = c.measureText("Smithson");
  c.setFont(Font{"Arial", 40});
  EXPECT_NEAR(c.measureText("Smithson").width, 2 * normal.width, 1);  // grows in proportion
  c.setFont(Font{"Arial", 20, kBoldWeight});
  EXPECT_GT(c.measureText("Smithson").width, normal.width);
  c.setFont(Font{"Arial", 20});
  // Pieces add up to the whole, so a name can be drawn after its measured salutation.
  EXPECT_NEAR(c.measureText("Mr ").width + c.measureText("Smithson").width,
              c.measureText("Mr Smithson").width, 1);
  // Windows-1252 bytes are measured as their characters: e-acute is as wide as e.
  EXPECT_EQ(c.measureText("\xE9").width, c.measureText("e").width);
  EXPECT_EQ(c.measureText("").width, 0);
}

TEST(CanvasMeasuring, wordBreakingAddsLinesSingleLineDoesNot) {
  RecordingCanvas c;
  c.setFont(Font{"Arial", 15});
  const char* text = "A footnote far longer than the content is wide on any page at all";
  const int oneLine = c.measureTextBoxHeight(660, "short", TextFlow::WordBreak);
  EXPECT_NEAR(oneLine, 15, 1);
  EXPECT_EQ(c.measureTextBoxHeight(2000, text, TextFlow::WordBreak), oneLine);
  const int narrow = c.measureTextBoxHeight(150, text, TextFlow::WordBreak);
  EXPECT_GE(narrow, 3 * oneLine);
  EXPECT_EQ(c.measureTextBoxHeight(150, text, TextFlow::SingleLine), oneLine);
}

}  // namespace
}  // namespace mv
