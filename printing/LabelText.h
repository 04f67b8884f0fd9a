#pragma once
// The label text engine: one address laid out line by line into a rectangle, with the
// field-line options of a label or envelope format (which fields print, which begin a
// new line, end with a comma or turn the rest of their line bold), the alignment and the
// font. Labels and envelopes both draw through it.

#include "printing/Canvas.h"
#include "settings/FontSpec.h"
#include "store/AddressRecord.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr int kLabelFieldCount = 18;

// The texts of fields 1..18 (Mr/Ms .. Fax), index 0 for Mr/Ms.
using LabelFields = std::array<std::string, kLabelFieldCount>;
LabelFields labelFieldsOf(const AddressRecord& record);
// The keys of the options and of the return address: the fields' names, "Mr/Ms" .. "Fax".
std::string_view labelFieldKey(int index) noexcept;  // index 0..17

// "%d,%d,%d,%d,%d,%d": print, new line, comma, bold and two spare numbers kept as read.
struct FieldLineOption {
  int print = 0;
  int newLine = 0;
  int comma = 0;
  int bold = 0;
  int spare1 = 0;
  int spare2 = 0;
  friend bool operator==(const FieldLineOption&, const FieldLineOption&) = default;
};
using FieldLineOptions = std::array<FieldLineOption, kLabelFieldCount>;
FieldLineOption parseFieldLineOption(std::string_view value);
std::string formatFieldLineOption(const FieldLineOption& option);
// Every field at its default ("1,1,0,0,0,0" for Mr/Ms ...).
FieldLineOptions defaultFieldLineOptions();
// The eighteen keys of a section (Labels, Return Address, Delivery Address), each field
// at its default when its key is missing.
FieldLineOptions readFieldLineOptions(const std::filesystem::path& ini, std::string_view section);
[[nodiscard]] bool writeFieldLineOptions(const std::filesystem::path& ini,
                                         std::string_view section,
                                         const FieldLineOptions& options);

// Alignment as stored: 0 left, 1 centre, 2 right (anything else is left).
HAlign labelAlignOf(int stored) noexcept;
int storedLabelAlign(HAlign align) noexcept;

struct LabelTextStyle {
  FieldLineOptions options = defaultFieldLineOptions();
  HAlign align = HAlign::Left;
  FontSpec font;  // height in the canvas's logical units
};
// A block's style as stored: `Align` and the field keys of its section (Labels, Return
// Address, Delivery Address) and its font key of [Font], "default" meaning `pageFace`.
LabelTextStyle readLabelTextStyle(const std::filesystem::path& ini, std::string_view section,
                                  std::string_view fontKey, std::string_view pageFace);

// One line of an address as it is drawn.
struct LabelLine {
  std::string text;
  bool bold = false;
  Rect box;  // the line's box: the rectangle's width, one line high
  friend bool operator==(const LabelLine&, const LabelLine&) = default;
};

// Line height: the font's height (either sign) and 3.
int labelLineHeight(int fontHeight) noexcept;
// The phone numbers longer than 3 characters get "Tel: ", "Mobile: " or "Fax: ".
std::string labelFieldText(int index, std::string_view text);

// The lines of one address in `rect`. Fields with text on one line are separated by a
// blank, or by ", " after a field with the comma option; a line whose printed fields are
// all blank takes no room; bold starts at the first field with the bold option and lasts
// to the end of its line; lines whose box would end below the rectangle are left off.
std::vector<LabelLine> layoutLabelText(const LabelFields& fields, const FieldLineOptions& options,
                                       int fontHeight, const Rect& rect);
// The smallest size a label's text is drawn at to get every line onto the label: 6 pt,
// in the hundredths of an inch labels and envelopes are laid out in.
inline constexpr int kSmallestLabelFontHeight = 9;

// The font height the lines of one address are drawn at in `rect`: the style's own when
// every line fits, else smaller, the whole block evenly, down to 6 pt (the sign of the
// height kept). `fits` is false when even then some lines are left off.
struct LabelFit {
  int fontHeight = 0;
  bool fits = true;
};
LabelFit fitLabelText(const LabelFields& fields, const FieldLineOptions& options,
                      int fontHeight, const Rect& rect);

// Draws them, each on one line, aligned in its box: the block made smaller as
// fitLabelText says, a line too wide for the label drawn smaller still, down to 70% of
// that, and only then cut off at the box's edges. False when lines were left off.
bool drawLabelText(Canvas& canvas, const Rect& rect, const LabelFields& fields,
                   const LabelTextStyle& style);

}  // namespace mv
