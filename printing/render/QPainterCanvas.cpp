#include "printing/render/QPainterCanvas.h"

#include "platform/Cp1252.h"
#include "printing/TextMeasurer.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mv {
namespace {

QColor qcolor(Rgb c) { return QColor(c.r & 0xFF, c.g & 0xFF, c.b & 0xFF); }

QPointF qpoint(PointF p) { return QPointF(p.x, p.y); }

Qt::PenStyle qpenStyle(PenStyle s) {
  switch (s) {
    case PenStyle::Solid: return Qt::SolidLine;
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::None: break;
  }
  return Qt::NoPen;
}

}  // namespace

DeviceInfo QPainterCanvas::deviceOf(const QPainter& painter, CanvasTarget target) {
  DeviceInfo info;
  info.target = target;
  if (const QPaintDevice* d = painter.device()) {
    info.width = d->width();
    info.height = d->height();
    info.dotsPerInch = {static_cast<double>(d->logicalDpiX()),
                        static_cast<double>(d->logicalDpiY())};
  }
  return info;
}

QPainterCanvas::QPainterCanvas(QPainter& painter, CanvasTarget target)
    : Canvas(deviceOf(painter, target)), painter_(painter), base_(painter.worldTransform()) {
  // Rules stay crisp, one pixel where they are that thin; text is smoothed.
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

void QPainterCanvas::useDeviceCoordinates() { painter_.setWorldTransform(base_); }

void QPainterCanvas::useShapeTools() {
  const Pen& pen = state().pen;
  if (pen.style == PenStyle::None) {
    painter_.setPen(Qt::NoPen);
  } else {
    // A pen's width is in logical units across the x axis; 0 is the device's thinnest
    // line, and no pen gets thinner than that.
    QPen qpen(qcolor(pen.color));
    qpen.setStyle(qpenStyle(pen.style));
    const double width = pen.width * std::abs(mapping().scaleX());
    qpen.setWidthF(width < 1.0 ? 0.0 : width);
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(qpen);
  }
  const Brush& brush = state().brush;
  painter_.setBrush(brush.color ? QBrush(qcolor(*brush.color)) : QBrush(Qt::NoBrush));
}

void QPainterCanvas::useTextTools() {
  // Setting a font makes the painter look its glyphs up again at the next text, even when
  // it is the font it has: most texts keep the font of the one before.
  if (!(painter_.font() == measurer().qfont())) painter_.setFont(measurer().qfont());
  painter_.setPen(qcolor(state().textColor));
  if (state().textBackground) {
    painter_.setBackgroundMode(Qt::OpaqueMode);
    painter_.setBackground(qcolor(*state().textBackground));
  } else {
    painter_.setBackgroundMode(Qt::TransparentMode);
  }
}

QRectF QPainterCanvas::deviceRect(const Rect& rect) const {
  const PointF a = mapping().toDevice({double(rect.left), double(rect.top)});
  const PointF b = mapping().toDevice({double(rect.right), double(rect.bottom)});
  return QRectF(qpoint(a), qpoint(b)).normalized();
}

void QPainterCanvas::paintText(Point at, std::string_view text, TextAlign align) {
  const QString s = measurer().text(text);
  const TextMeasurer& m = measurer();
  const QFontMetricsF& fm = m.qmetrics();
  double x = 0;
  if (align.h == HAlign::Center) x = -fm.horizontalAdvance(s) / 2;
  if (align.h == HAlign::Right) x = -fm.horizontalAdvance(s);
  double y = 0;  // the baseline
  if (align.v == VAlign::Top) y = fm.ascent();
  if (align.v == VAlign::Bottom) y = -fm.descent();
  // Text space: the font's enlarged units, upright, with the reference point at 0,0.
  const PointF origin = mapping().toDevice({double(at.x), double(at.y)});
  const double sx = std::abs(mapping().scaleX()) / TextMeasurer::kScale;
  const double sy = std::abs(mapping().scaleY()) / TextMeasurer::kScale;
  painter_.setWorldTransform(QTransform(sx, 0, 0, sy, origin.x, origin.y) * base_);
  useTextTools();
  painter_.drawText(QPointF(x, y), s);
}

void QPainterCanvas::paintTextBox(const Rect& box, std::string_view text, HAlign align,
                                  TextFlow flow) {
  const QRectF device = deviceRect(box);
  const double sx = std::abs(mapping().scaleX()) / TextMeasurer::kScale;
  const double sy = std::abs(mapping().scaleY()) / TextMeasurer::kScale;
  const QRectF room(0, 0, device.width() / sx, device.height() / sy);
  painter_.save();
  painter_.setWorldTransform(QTransform(sx, 0, 0, sy, device.left(), device.top()) * base_);
  painter_.setClipRect(room, Qt::IntersectClip);
  useTextTools();
  painter_.drawText(room, textBoxFlags(align, flow), measurer().text(text));
  painter_.restore();
}

void QPainterCanvas::paintLine(Point from, Point to) {
  useDeviceCoordinates();
  useShapeTools();
  painter_.drawLine(qpoint(mapping().toDevice({double(from.x), double(from.y)})),
                    qpoint(mapping().toDevice({double(to.x), double(to.y)})));
}

void QPainterCanvas::paintRect(const Rect& rect) {
  useDeviceCoordinates();
  useShapeTools();
  painter_.drawRect(deviceRect(rect));
}

void QPainterCanvas::paintRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight) {
  useDeviceCoordinates();
  useShapeTools();
  painter_.drawRoundedRect(deviceRect(rect), std::abs(cornerWidth * mapping().scaleX()) / 2,
                           std::abs(cornerHeight * mapping().scaleY()) / 2, Qt::AbsoluteSize);
}

}  // namespace mv
