#include "printing/LabelText.h"

#include "printing/LayoutCatalogue.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace mv {
namespace {

bool blank(std::string_view text) noexcept {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

Font fontOf(const FontSpec& chosen, bool bold) {
  Font font;
  font.face = chosen.face.empty() ? "Arial" : chosen.face;
  font.height = chosen.height;
  font.weight = bold ? kBoldWeight : chosen.weight;
  font.italic = chosen.italic != 0;
  font.underline = chosen.underline != 0;
  font.strikeOut = chosen.strikeOut != 0;
  return font;
}

}  // namespace

LabelFields labelFieldsOf(const AddressRecord& record) {
  LabelFields fields;
  for (int i = 0; i < kLabelFieldCount; ++i)
    fields[static_cast<size_t>(i)] = record.fields[static_cast<size_t>(i + 1)];
  return fields;
}

std::string_view labelFieldKey(int index) noexcept {
  if (index < 0 || index >= kLabelFieldCount) return {};
  return keys::addressFields[static_cast<size_t>(index)];
}

FieldLineOption parseFieldLineOption(std::string_view value) {
  const std::vector<int> n = parseIntList(value);
  auto at = [&n](size_t i) { return i < n.size() ? n[i] : 0; };
  return {at(0), at(1), at(2), at(3), at(4), at(5)};
}

std::string formatFieldLineOption(const FieldLineOption& o) {
  char text[100];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d", o.print, o.newLine, o.comma, o.bold,
                o.spare1, o.spare2);
  return text;
}

FieldLineOptions defaultFieldLineOptions() {
  FieldLineOptions options;
  for (int i = 0; i < kLabelFieldCount; ++i)
    options[static_cast<size_t>(i)] = parseFieldLineOption(fieldLineDefault(i + 1));
  return options;
}

FieldLineOptions readFieldLineOptions(const std::filesystem::path& ini, std::string_view section) {
  const Profile profile(ini, std::string(section));
  FieldLineOptions options;
  for (int i = 0; i < kLabelFieldCount; ++i)
    options[static_cast<size_t>(i)] = parseFieldLineOption(
        profile.readString(labelFieldKey(i), fieldLineDefault(i + 1), 100));
  return options;
}

LabelTextStyle readLabelTextStyle(const std::filesystem::path& ini, std::string_view section,
                                  std::string_view fontKey, std::string_view pageFace) {
  LabelTextStyle style;
  style.align = labelAlignOf(Profile(ini, std::string(section)).readInt(keys::labels::Align, 0));
  style.options = readFieldLineOptions(ini, section);
  style.font = readFontSpec(ini, fontKey, pageFace);
  return style;
}

bool writeFieldLineOptions(const std::filesystem::path& ini, std::string_view section,
                           const FieldLineOptions& options) {
  Profile profile(ini, std::string(section));
  bool ok = true;
  for (int i = 0; i < kLabelFieldCount; ++i)
    ok = profile.writeString(labelFieldKey(i),
                             formatFieldLineOption(options[static_cast<size_t>(i)])) && ok;
  return ok;
}

HAlign labelAlignOf(int stored) noexcept {
  return stored == 1 ? HAlign::Center : (stored == 2 ? HAlign::Right : HAlign::Left);
}

int storedLabelAlign(HAlign align) noexcept {
  return align == HAlign::Center ? 1 : (align == HAlign::Right ? 2 : 0);
}

int labelLineHeight(int fontHeight) noexcept { return std::abs(fontHeight) + 3; }

std::string labelFieldText(int index, std::string_view text) {
  const FieldId id = static_cast<FieldId>(index + 1);
  const char* prefix = nullptr;
  if (id == FieldId::Home || id == FieldId::Office) prefix = "Tel: ";
  if (id == FieldId::Mobile) prefix = "Mobile: ";
  if (id == FieldId::Fax) prefix = "Fax: ";
  if (prefix && text.size() > 3) return prefix + std::string(text);
  return std::string(text);
}

std::vector<LabelLine> layoutLabelText(const LabelFields& fields, const FieldLineOptions& options,
                                       int fontHeight, const Rect& rect) {
  const int lineHeight = labelLineHeight(fontHeight);
  std::vector<LabelLine> lines;
  LabelLine line;
  bool lineHasText = false;
  bool commaAfterLast = false;
  bool first = true;
  auto boxAt = [&](size_t index) {
    const int top = rect.top + static_cast<int>(index) * lineHeight;
    return Rect{rect.left, top, rect.right, top + lineHeight};
  };
  auto endLine = [&]() {
    // A line whose fields were all blank takes no room: the next line is drawn there.
    if (lineHasText) lines.push_back(line);
    line = LabelLine{};
    lineHasText = false;
  };
  for (int i = 0; i < kLabelFieldCount; ++i) {
    const FieldLineOption& o = options[static_cast<size_t>(i)];
    if (o.print != 1) continue;
    if (first || o.newLine == 1) endLine();
    first = false;
    if (o.bold == 1) line.bold = true;
    const std::string text = labelFieldText(i, fields[static_cast<size_t>(i)]);
    if (blank(text)) continue;
    if (lineHasText) line.text += commaAfterLast ? ", " : " ";
    line.text += text;
    lineHasText = true;
    commaAfterLast = o.comma == 1;
  }
  endLine();
  // Lines whose box would end below the rectangle are left off.
  for (size_t i = 0; i < lines.size(); ++i) {
    lines[i].box = boxAt(i);
    if (lines[i].box.bottom > rect.bottom) {
      lines.resize(i);
      break;
    }
  }
  return lines;
}

LabelFit fitLabelText(const LabelFields& fields, const FieldLineOptions& options,
                      int fontHeight, const Rect& rect) {
  // Every line the address has, on a label of unbounded height.
  Rect tall = rect;
  tall.bottom = std::numeric_limits<int>::max() / 2;
  const int lines = static_cast<int>(layoutLabelText(fields, options, fontHeight, tall).size());
  const int room = rect.bottom - rect.top;
  const int sign = fontHeight < 0 ? -1 : 1;
  int height = std::abs(fontHeight);
  while (lines * labelLineHeight(height) > room && height > kSmallestLabelFontHeight) --height;
  return {sign * height, lines * labelLineHeight(height) <= room};
}

bool drawLabelText(Canvas& canvas, const Rect& rect, const LabelFields& fields,
                   const LabelTextStyle& style) {
  const LabelFit fit = fitLabelText(fields, style.options, style.font.height, rect);
  const std::vector<LabelLine> lines =
      layoutLabelText(fields, style.options, fit.fontHeight, rect);
  if (lines.empty()) return fit.fits;
  canvas.setTextColor(style.font.color);
  FontSpec sized = style.font;
  sized.height = fit.fontHeight;
  const Font regular = fontOf(sized, false);
  const Font bold = fontOf(sized, true);
  int widest = 0;  // the current font's widest character
  for (const LabelLine& line : lines) {
    // Selecting a font sets up its measuring: only a change of font pays for that.
    const Font& font = line.bold ? bold : regular;
    if (!(canvas.font() == font) || widest == 0) {
      canvas.setFont(font);
      widest = canvas.fontMetrics().maxCharWidth;
    }
    // A line that cannot be wider than its box, whatever its letters, starts at the box's
    // left edge without being measured: measuring costs as much as drawing.
    if (style.align == HAlign::Left && widest > 0 &&
        static_cast<long long>(line.text.size()) * widest <= line.box.width()) {
      canvas.drawText({line.box.left, line.box.top}, line.text, {HAlign::Left, VAlign::Top});
      continue;
    }
    // A line that fits its box is drawn at a point: the same place as in the box, without
    // the clipping that a line too long for the label needs.
    int width = canvas.measureText(line.text).width;
    int top = line.box.top;
    if (width > line.box.width()) {
      // Too wide: smaller, down to 70%, on the line's own baseline.
      const int ascent = canvas.fontMetrics().ascent;
      width = shrinkFontToWidth(canvas, line.text, line.box.width());
      top += ascent - canvas.fontMetrics().ascent;
    }
    if (width > line.box.width()) {
      canvas.drawTextBox(line.box, line.text, style.align, TextFlow::SingleLine);
      continue;
    }
    int x = line.box.left;
    if (style.align == HAlign::Center) x = line.box.left + (line.box.width() - width) / 2;
    if (style.align == HAlign::Right) x = line.box.right - width;
    canvas.drawText({x, top}, line.text, {HAlign::Left, VAlign::Top});
  }
  return fit.fits;
}

}  // namespace mv
