#include "printing/LabelFormats.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace mv {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

constexpr std::string_view kInchMark = "in";

}  // namespace

double unitsPerInch(LabelUnit unit) noexcept {
  return unit == LabelUnit::HundredthInch ? 100.0 : 254.0;
}

double lengthInInches(int length, LabelUnit unit) noexcept { return length / unitsPerInch(unit); }

int inchesToLength(double inches, LabelUnit unit) noexcept {
  return static_cast<int>(std::lround(inches * unitsPerInch(unit)));
}

int maxLabelLength(LabelUnit unit) noexcept {
  return unit == LabelUnit::HundredthInch ? kMaxLabelLength * 100 / 254 : kMaxLabelLength;
}

bool isUsableLabelFormat(const LabelFormat& f) noexcept {
  const int most = maxLabelLength(f.unit);
  const auto length = [most](int v, int least) { return v >= least && v <= most; };
  return length(f.width, 1) && length(f.height, 1) && length(f.left, 0) && length(f.top, 0) &&
         length(f.horizontalPitch, 1) && length(f.verticalPitch, 1) && f.across >= 1 &&
         f.across <= kMaxLabelsAcross && f.down >= 1 && f.down <= kMaxLabelsDown;
}

std::optional<LabelFormat> parseLabelLine(std::string_view line) {
  const std::string text(line);  // sscanf needs the terminator
  std::vector<char> name(text.size() + 1, '\0');
  LabelFormat f;
  int end = -1;
  if (std::sscanf(text.c_str(), "%s %d,%d,%d,%d,%d,%d,%d,%d,%d %n", name.data(), &f.product,
                  &f.width, &f.height, &f.left, &f.top, &f.horizontalPitch, &f.verticalPitch,
                  &f.across, &f.down, &end) != 10 ||
      end < 0)
    return std::nullopt;
  if (const std::string_view rest = std::string_view(text).substr(static_cast<size_t>(end));
      rest == kInchMark)
    f.unit = LabelUnit::HundredthInch;
  else if (!rest.empty())
    return std::nullopt;
  f.name.assign(name.data(), std::min(std::strlen(name.data()), kLabelNameMax));
  // A control character in the name marks a damaged line: the line an edit writes would
  // begin with it, and the catalogue drops such lines when it is read again.
  if (std::any_of(f.name.begin(), f.name.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    return std::nullopt;
  if (!isUsableLabelFormat(f)) return std::nullopt;
  return f;
}

std::string labelLine(const LabelFormat& f) {
  char numbers[160];
  std::snprintf(numbers, sizeof numbers, " %d, %d,%d, %d,%d, %d,%d, %d,%d", f.product, f.width,
                f.height, f.left, f.top, f.horizontalPitch, f.verticalPitch, f.across, f.down);
  std::string line = labelStoredName(f.name.substr(0, kLabelNameMax)) + numbers;
  if (f.unit == LabelUnit::HundredthInch) line += " " + std::string(kInchMark);
  return line;
}

std::string labelDisplayName(std::string_view stored) {
  std::string s(stored);
  std::replace(s.begin(), s.end(), ';', ' ');
  return s;
}

std::string labelStoredName(std::string_view shown) {
  // labels.dat reads the name up to the first white space of any kind: a pasted tab or
  // line break left in would make the whole line unreadable, and the format would be lost
  // at the next start.
  std::string s(shown);
  for (char& c : s)
    if (std::isspace(static_cast<unsigned char>(c))) c = ';';
  return s;
}

std::vector<std::string> parseLabelsDat(std::string_view bytes) {
  std::vector<std::string> lines;
  constexpr std::string_view kTenBlanks = "          ";
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(at, end - at);
    // Every CR before the LF goes: keeping all but one would lose one more each time the
    // catalogue is written back, and the line would change with every edit of another.
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    // Sorting after ten blanks drops lines that begin with a control character, also after
    // fewer than ten blanks; a longer line of blanks alone is dropped as well.
    if (line.size() > 5 && line > kTenBlanks && line.find_first_not_of(' ') != line.npos)
      lines.emplace_back(line);
  }
  return lines;
}

std::string labelsDatBytes(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

std::filesystem::path labelsDatPath() { return programDir() / keys::file::LabelsDat; }

std::vector<std::string> readLabelsDat(const std::filesystem::path& file) {
  std::string bytes;
  if (!readWholeFile(file, bytes)) return {};
  return parseLabelsDat(bytes);
}

LabelSheetSize labelSheetOf(int product) noexcept {
  if (product == static_cast<int>(LabelProduct::A4)) return {2100, 2970};
  return {};
}

bool labelFormatFitsSheet(const LabelFormat& f) noexcept {
  if (!isUsableLabelFormat(f)) return false;
  const LabelSheetSize sheet = labelSheetOf(f.product);
  // The sheet in the format's own unit, one unit of slack for a sheet that the unit
  // cannot hold exactly.
  const double perTenthMm = unitsPerInch(f.unit) / 254.0;
  const int right = f.left + (f.across - 1) * f.horizontalPitch + f.width;
  const int bottom = f.top + (f.down - 1) * f.verticalPitch + f.height;
  const int slack = f.unit == LabelUnit::TenthMm ? 0 : 1;
  return right <= sheet.width * perTenthMm + slack && bottom <= sheet.length * perTenthMm + slack;
}

std::vector<LabelCatalogue::Row> LabelCatalogue::filter(int product, int type) const {
  std::vector<Row> rows;
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::optional<LabelFormat> f = parseLabelLine(lines_[i]);
    if (!f || f->product != product) continue;
    if (type == static_cast<int>(LabelType::Address) &&
        f->name.find("Address") == std::string::npos)
      continue;
    if (type == static_cast<int>(LabelType::Shipping) &&
        f->name.find("Shipping") == std::string::npos)
      continue;
    rows.push_back({std::move(*f), static_cast<int>(i)});
  }
  return rows;
}

LabelCatalogue::EditResult LabelCatalogue::add(const LabelFormat& format,
                                               const std::vector<Row>& shown, size_t at) {
  const std::string name = labelDisplayName(format.name.substr(0, kLabelNameMax));
  // Taken only by an equal name: "OL25" is a sheet of its own beside "OL2525".
  for (const Row& row : shown) {
    const std::string other = labelDisplayName(row.format.name);
    if (other.size() == name.size() && startsWithNoCase(other, name)) return EditResult::NameTaken;
  }
  if (!isUsableLabelFormat(format)) return EditResult::Unusable;
  lines_.insert(lines_.begin() + static_cast<long>(std::min(at, lines_.size())), labelLine(format));
  modified_ = true;
  return EditResult::Done;
}

LabelCatalogue::EditResult LabelCatalogue::change(int line, const LabelFormat& format) {
  if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return EditResult::NoRow;
  if (!isUsableLabelFormat(format)) return EditResult::Unusable;
  lines_.erase(lines_.begin() + line);
  lines_.insert(lines_.begin(), labelLine(format));
  modified_ = true;
  return EditResult::Done;
}

void LabelCatalogue::insertLines(size_t at, std::vector<std::string> lines) {
  if (lines.empty()) return;
  lines_.insert(lines_.begin() + static_cast<long>(std::min(at, lines_.size())),
                std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
  modified_ = true;
}

LabelCatalogue::EditResult LabelCatalogue::remove(int line) {
  if (line < 0 || static_cast<size_t>(line) >= lines_.size()) return EditResult::NoRow;
  lines_.erase(lines_.begin() + line);
  modified_ = true;
  return EditResult::Done;
}

std::string labelDeleteQuestion(std::string_view shownName) {
  return "\"" + std::string(shownName) + "\"\n\nDo you want to delete this setting?";
}

LabelDimensions dimensionsOf(const LabelFormat& f) noexcept {
  return {f.width,      f.height, f.left, f.top, f.horizontalGap(), f.verticalGap(),
          f.across,     f.down,   f.unit};
}

std::string formatLabelDimensions(const LabelDimensions& d) {
  char text[120];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d,%d,%d", d.width, d.height, d.left, d.top,
                d.horizontalGap, d.verticalGap, d.across, d.down);
  std::string value = text;
  if (d.unit == LabelUnit::HundredthInch) value += "," + std::string(kInchMark);
  return value;
}

std::optional<LabelDimensions> parseLabelDimensions(std::string_view value) {
  const std::string text(value);
  LabelDimensions d;
  int end = -1;
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d,%d,%d,%d,%d%n", &d.width, &d.height, &d.left, &d.top,
                  &d.horizontalGap, &d.verticalGap, &d.across, &d.down, &end) != 8 ||
      end < 0)
    return std::nullopt;
  // What follows the numbers was never looked at before the unit came, so anything but
  // the unit's mark still reads as tenths of a millimetre.
  if (std::string_view(text).substr(static_cast<size_t>(end)) == "," + std::string(kInchMark))
    d.unit = LabelUnit::HundredthInch;
  // Checked before they are added: a stored value may hold any number.
  if (d.horizontalGap < 0 || d.verticalGap < 0 || d.horizontalGap > kMaxLabelLength ||
      d.verticalGap > kMaxLabelLength || d.width > kMaxLabelLength || d.height > kMaxLabelLength)
    return std::nullopt;
  const LabelFormat asFormat{"", 0, d.width, d.height, d.left, d.top,
                             d.width + d.horizontalGap, d.height + d.verticalGap, d.across,
                             d.down, d.unit};
  if (!isUsableLabelFormat(asFormat)) return std::nullopt;
  return d;
}

bool saveLabelChoice(const std::filesystem::path& ini, int product, int type, int row,
                     const LabelFormat& format) {
  const LabelDimensions d = dimensionsOf(format);
  Profile labels(ini, std::string(keys::section::Labels));
  return labels.writeInt(keys::labels::Type1, product) &&
         labels.writeInt(keys::labels::Type2, type) && labels.writeInt(keys::labels::Id, row) &&
         labels.writeInt(keys::labels::Total, d.total()) &&
         labels.writeString(keys::labels::Settings, formatLabelDimensions(d)) && labels.flush();
}

std::optional<NamedLabelFormat> findLabelFormat(const LabelCatalogue& catalogue,
                                                std::string_view name) {
  for (int product = 0; product <= static_cast<int>(LabelProduct::Other); ++product) {
    const auto rows = catalogue.filter(product, static_cast<int>(LabelType::All));
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::string shown = labelDisplayName(rows[i].format.name);
      if (shown.size() == name.size() && startsWithNoCase(shown, name))
        return NamedLabelFormat{rows[i].format, static_cast<int>(i)};
    }
  }
  return std::nullopt;
}

LabelDimensions labelDimensionsOrFirst(std::string_view value,
                                       const std::vector<std::string>& catalogue) {
  if (std::optional<LabelDimensions> d = parseLabelDimensions(value)) return *d;
  for (const std::string& line : catalogue)
    if (std::optional<LabelFormat> f = parseLabelLine(line)) return dimensionsOf(*f);
  return LabelDimensions{};
}

}  // namespace mv
