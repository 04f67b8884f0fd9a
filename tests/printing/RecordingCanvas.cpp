#include "RecordingCanvas.h"

namespace mv::test {

RecordingCanvas::RecordingCanvas(CanvasTarget target)
    : RecordingCanvas(DeviceInfo{target, 765, 995, {96, 96}}) {}

RecordingCanvas::RecordingCanvas(DeviceInfo device) : Canvas(device) {}

std::vector<DrawCall> RecordingCanvas::callsOf(DrawCall::Kind kind) const {
  std::vector<DrawCall> out;
  for (const DrawCall& c : calls_)
    if (c.kind == kind) out.push_back(c);
  return out;
}

const DrawCall* RecordingCanvas::findText(std::string_view text) const {
  for (const DrawCall& c : calls_)
    if ((c.kind == DrawCall::Kind::Text || c.kind == DrawCall::Kind::TextBox) && c.text == text)
      return &c;
  return nullptr;
}

DrawCall& RecordingCanvas::record(DrawCall::Kind kind) {
  DrawCall& c = calls_.emplace_back();
  c.kind = kind;
  c.mapping = state().mapping;
  c.font = state().font;
  c.textColor = state().textColor;
  c.textBackground = state().textBackground;
  c.pen = state().pen;
  c.brush = state().brush;
  return c;
}

void RecordingCanvas::paintText(Point at, std::string_view text, TextAlign align) {
  DrawCall& c = record(DrawCall::Kind::Text);
  c.at = at;
  c.text = std::string(text);
  c.align = align;
  // The cell the text covers, in logical units (y downwards from the reference point).
  const TextSize size = measureText(text);
  const FontMetrics m = fontMetrics();
  int left = at.x;
  if (align.h == HAlign::Center) left -= size.width / 2;
  if (align.h == HAlign::Right) left -= size.width;
  int top = at.y;
  if (align.v == VAlign::Baseline) top -= m.ascent;
  if (align.v == VAlign::Bottom) top -= m.height;
  c.rect = Rect{left, top, left + size.width, top + m.height};
}

void RecordingCanvas::paintTextBox(const Rect& box, std::string_view text, HAlign align,
                                   TextFlow flow) {
  DrawCall& c = record(DrawCall::Kind::TextBox);
  c.rect = box;
  c.text = std::string(text);
  c.boxAlign = align;
  c.flow = flow;
}

void RecordingCanvas::paintLine(Point from, Point to) {
  DrawCall& c = record(DrawCall::Kind::Line);
  c.at = from;
  c.to = to;
}

void RecordingCanvas::paintRect(const Rect& rect) { record(DrawCall::Kind::Rect).rect = rect; }

void RecordingCanvas::paintRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight) {
  DrawCall& c = record(DrawCall::Kind::RoundedRect);
  c.rect = rect;
  c.cornerWidth = cornerWidth;
  c.cornerHeight = cornerHeight;
}

}  // namespace mv::test
