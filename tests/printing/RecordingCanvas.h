#pragma once
// A canvas for tests: it draws nothing and records every call with the state it was made
// in, so a test can say "the heading is drawn centred at x = 380 in 25-unit Arial".
// Text is measured as on every other canvas, with the real fonts.

#include "printing/Canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv::test {

struct DrawCall {
  enum class Kind { Text, TextBox, Line, Rect, RoundedRect };
  Kind kind = Kind::Text;
  Point at;    // Text: the reference point; Line: the start
  Point to;    // Line: the end
  Rect rect;   // TextBox, Rect, RoundedRect: the rectangle; Text: the cell it covers
  int cornerWidth = 0;
  int cornerHeight = 0;
  std::string text;
  TextAlign align;            // Text
  HAlign boxAlign = HAlign::Left;  // TextBox
  TextFlow flow = TextFlow::SingleLine;
  // The drawing state at the call.
  Mapping mapping;
  Font font;
  Rgb textColor;
  std::optional<Rgb> textBackground;
  Pen pen;
  Brush brush;
};

class RecordingCanvas final : public Canvas {
 public:
  explicit RecordingCanvas(CanvasTarget target = CanvasTarget::Screen);
  explicit RecordingCanvas(DeviceInfo device);

  const std::vector<DrawCall>& calls() const noexcept { return calls_; }
  void clear() noexcept { calls_.clear(); }
  // Calls of one kind, in drawing order.
  std::vector<DrawCall> callsOf(DrawCall::Kind kind) const;
  // The first Text or TextBox call drawing exactly this text; nullptr when none did.
  const DrawCall* findText(std::string_view text) const;

 protected:
  void paintText(Point at, std::string_view text, TextAlign align) override;
  void paintTextBox(const Rect& box, std::string_view text, HAlign align,
                    TextFlow flow) override;
  void paintLine(Point from, Point to) override;
  void paintRect(const Rect& rect) override;
  void paintRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight) override;

 private:
  DrawCall& record(DrawCall::Kind kind);
  std::vector<DrawCall> calls_;
};

}  // namespace mv::test
