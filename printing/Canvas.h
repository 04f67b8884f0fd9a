#pragma once
// The surface every layout draws on, in logical units mapped onto a device. The canvas
// keeps the drawing state (mapping, font, colours, pen, brush) with a save/restore stack
// and measures text the same way for every device, so a page lays out identically on
// the screen, the printer, a PDF file and the recording canvas of the tests. Text is
// Windows-1252 bytes, as the core holds it.

#include "printing/Mapping.h"
#include "settings/Customize.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class TextMeasurer;

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Edges in logical units; right and bottom are the far edges.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const noexcept { return right - left; }
  int height() const noexcept { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr int kDefaultFontHeight = 12;  // a cell height, for a font request of 0
inline constexpr int kNormalWeight = 400;
inline constexpr int kBoldWeight = 700;

// A font request. The height follows the usual rule of font requests: negative asks for
// that character height (the em, without the room for accents above it), positive for
// that cell height (ascent plus descent), 0 for the default.
struct Font {
  std::string face = "Arial";
  int height = 0;
  int weight = 0;  // 0 the default (normal); 100..900, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  friend bool operator==(const Font&, const Font&) = default;
};

enum class PenStyle { Solid, Dash, Dot, None };

struct Pen {
  Rgb color{0, 0, 0};
  int width = 0;  // logical units; 0 draws the thinnest line the device can
  PenStyle style = PenStyle::Solid;
  static Pen none() noexcept { return Pen{{0, 0, 0}, 0, PenStyle::None}; }
  friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
  std::optional<Rgb> color = Rgb{255, 255, 255};  // empty: hollow, nothing is filled
  static Brush solid(Rgb c) noexcept { return Brush{c}; }
  static Brush hollow() noexcept { return Brush{std::nullopt}; }
  friend bool operator==(const Brush&, const Brush&) = default;
};

enum class HAlign { Left, Center, Right };
// Which part of the text sits on the reference point's y: the top of its cell, the
// baseline or the bottom of its cell.
enum class VAlign { Top, Baseline, Bottom };

struct TextAlign {
  HAlign h = HAlign::Left;
  VAlign v = VAlign::Top;
  friend bool operator==(const TextAlign&, const TextAlign&) = default;
};

// Text in a box: one line (line ends count as blanks), or broken at blanks into lines.
enum class TextFlow { SingleLine, WordBreak };

// Measured text: width of the run and the font's cell height.
struct TextSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const TextSize&, const TextSize&) = default;
};

struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;           // the cell: ascent + descent
  int internalLeading = 0;  // cell height minus character height
  int maxCharWidth = 0;     // no character is wider: a text of n characters is at most n times it
};

enum class CanvasTarget { Screen, Printer };

// The device behind a canvas: what it is for, its drawable size in pixels and its
// resolution. A PDF file counts as a printer.
struct DeviceInfo {
  CanvasTarget target = CanvasTarget::Screen;
  int width = 0;
  int height = 0;
  PointF dotsPerInch{96, 96};
};

class Canvas {
 public:
  explicit Canvas(DeviceInfo device);
  virtual ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  const DeviceInfo& device() const noexcept { return device_; }
  bool onPrinter() const noexcept { return device_.target == CanvasTarget::Printer; }

  // Refused (false, the mapping unchanged) when an extent is zero.
  [[nodiscard]] bool setMapping(const Mapping& mapping) noexcept;
  const Mapping& mapping() const noexcept { return state_.mapping; }
  void setFont(const Font& font);
  const Font& font() const noexcept { return state_.font; }
  void setTextColor(Rgb color) noexcept { state_.textColor = color; }
  // Text is drawn on a transparent background unless a colour is given here.
  void setTextBackground(std::optional<Rgb> color) noexcept { state_.textBackground = color; }
  void setPen(const Pen& pen) noexcept { state_.pen = pen; }
  void setBrush(const Brush& brush) noexcept { state_.brush = brush; }
  // The whole drawing state; every save needs its restore, a restore without one is
  // ignored.
  void save();
  void restore();

  // Text on one line at a reference point.
  void drawText(Point at, std::string_view text, TextAlign align = {});
  // Text inside a box, each line aligned between its edges, from its top; nothing is drawn
  // outside the box.
  void drawTextBox(const Rect& box, std::string_view text, HAlign align, TextFlow flow);
  void drawLine(Point from, Point to);
  // Outlined with the pen, filled with the brush.
  void drawRect(const Rect& rect);
  // Corners are quarters of an ellipse cornerWidth x cornerHeight.
  void drawRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight);

  // Measured in the current font, in logical units, the same on every device.
  TextSize measureText(std::string_view text) const;
  FontMetrics fontMetrics() const;
  // Height of the text broken into lines of at most width units.
  int measureTextBoxHeight(int width, std::string_view text, TextFlow flow) const;

 protected:
  struct State {
    Mapping mapping;
    Font font;
    Rgb textColor{0, 0, 0};
    std::optional<Rgb> textBackground;
    Pen pen;
    Brush brush;
  };
  const State& state() const noexcept { return state_; }
  // The measurer behind measureText(), set to the current font; implementations draw
  // with its fonts so that what is drawn is what was measured.
  const TextMeasurer& measurer() const noexcept { return *measurer_; }

  virtual void paintText(Point at, std::string_view text, TextAlign align) = 0;
  virtual void paintTextBox(const Rect& box, std::string_view text, HAlign align,
                            TextFlow flow) = 0;
  virtual void paintLine(Point from, Point to) = 0;
  virtual void paintRect(const Rect& rect) = 0;
  virtual void paintRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight) = 0;

 private:
  DeviceInfo device_;
  State state_;
  std::vector<State> saved_;
  std::unique_ptr<TextMeasurer> measurer_;
};

// A text too wide for its room is drawn smaller rather than cut or run into its
// neighbour: selects the current font made smaller, a unit at a time (either sign of
// height), until `text` is at most `width` wide or the font is down to 70% of its
// height. Returns the width measured at the font left selected; the caller restores the
// font it had.
int shrinkFontToWidth(Canvas& canvas, std::string_view text, int width);

}  // namespace mv
