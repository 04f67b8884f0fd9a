#include "printing/Canvas.h"

#include "platform/Cp1252.h"
#include "printing/TextMeasurer.h"

#include <cmath>
#include <cstdlib>

namespace mv {

Canvas::Canvas(DeviceInfo device)
    : device_(device), measurer_(std::make_unique<TextMeasurer>()) {
  measurer_->select(state_.font);
}

Canvas::~Canvas() = default;

bool Canvas::setMapping(const Mapping& mapping) noexcept {
  if (!mapping.valid()) return false;
  state_.mapping = mapping;
  return true;
}

void Canvas::setFont(const Font& font) {
  state_.font = font;
  measurer_->select(font);
}

void Canvas::save() { saved_.push_back(state_); }

void Canvas::restore() {
  if (saved_.empty()) return;
  state_ = std::move(saved_.back());
  saved_.pop_back();
  measurer_->select(state_.font);
}

void Canvas::drawText(Point at, std::string_view text, TextAlign align) {
  if (!text.empty()) paintText(at, text, align);
}

void Canvas::drawTextBox(const Rect& box, std::string_view text, HAlign align, TextFlow flow) {
  if (!text.empty() && box.width() != 0 && box.height() != 0)
    paintTextBox(box, text, align, flow);
}

void Canvas::drawLine(Point from, Point to) {
  if (state_.pen.style != PenStyle::None) paintLine(from, to);
}

void Canvas::drawRect(const Rect& rect) { paintRect(rect); }

void Canvas::drawRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight) {
  paintRoundedRect(rect, cornerWidth, cornerHeight);
}

TextSize Canvas::measureText(std::string_view text) const {
  return measurer_->measure(measurer_->text(text));
}

FontMetrics Canvas::fontMetrics() const { return measurer_->metrics(); }

int Canvas::measureTextBoxHeight(int width, std::string_view text, TextFlow flow) const {
  return static_cast<int>(std::lround(measurer_->boxHeight(width, measurer_->text(text), flow)));
}

int shrinkFontToWidth(Canvas& canvas, std::string_view text, int width) {
  Font font = canvas.font();
  const int smallest = (std::abs(font.height) * 7 + 9) / 10;
  int measured = canvas.measureText(text).width;
  while (measured > width && std::abs(font.height) > smallest) {
    font.height += font.height < 0 ? 1 : -1;
    canvas.setFont(font);
    measured = canvas.measureText(text).width;
  }
  return measured;
}

}  // namespace mv
