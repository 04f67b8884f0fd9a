#pragma once
// Turns a canvas font request into a Qt font and measures text with it. Fonts are made
// kScale times larger than asked and drawn scaled back down: font sizes are whole pixels
// in Qt, and this keeps a cell height of 15 units as exact as one of 150, on any device.
// Hinting is off, so measures grow in proportion to the size and do not depend on the
// device's resolution. Like every use of fonts, it needs a QGuiApplication.

#include "printing/Canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <memory>
#include <string_view>
#include <vector>

namespace mv {

class TextMeasurer {
 public:
  // Enough for a sixteenth of a unit; much larger fonts make Qt slow to lay text out.
  static constexpr int kScale = 16;

  TextMeasurer();
  ~TextMeasurer();

  // Makes font the current one; fonts already made are kept for the next time.
  void select(const Font& font);

  // The current font, kScale times the logical size, and its metrics in those units.
  const QFont& qfont() const noexcept;
  const QFontMetricsF& qmetrics() const noexcept;

  // Logical units, not rounded.
  double width(const QString& text) const;
  double ascent() const;
  double descent() const;
  double boxHeight(double width, const QString& text, TextFlow flow) const;

  TextSize measure(const QString& text) const;
  // The text to draw and measure in the current font. The symbol font the layouts ask for
  // ("Wingdings") is not installed here: its envelope "*" and telephone "(" come from a
  // face that has them as Unicode symbols.
  QString text(std::string_view cp1252) const;
  FontMetrics metrics() const;

 private:
  struct Made;
  std::vector<std::unique_ptr<Made>> made_;
  Made* current_ = nullptr;
};

// The Qt text flags of a box: its alignment, from the top, one line or broken at blanks.
int textBoxFlags(HAlign align, TextFlow flow) noexcept;

}  // namespace mv
