#include "printing/LabelPages.h"

#include "printing/AddressPages.h"
#include "printing/MyAddress.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mv {
namespace {

bool onGrid(int column, int row) noexcept {
  return column >= 0 && column < kMaxLabelsAcross && row >= 0 && row < kMaxLabelsDown;
}

}  // namespace

bool LabelGrid::inUse(int column, int row) const noexcept {
  return onGrid(column, row) && columns_[static_cast<size_t>(column)].test(static_cast<size_t>(row));
}

void LabelGrid::set(int column, int row, bool used) noexcept {
  if (onGrid(column, row)) columns_[static_cast<size_t>(column)].set(static_cast<size_t>(row), used);
}

void LabelGrid::setAll(bool used) noexcept {
  for (auto& column : columns_) used ? column.set() : column.reset();
}

int LabelGrid::countInUse(int across, int down) const noexcept {
  int n = 0;
  for (int c = 0; c < across && c < kMaxLabelsAcross; ++c)
    for (int r = 0; r < down && r < kMaxLabelsDown; ++r) n += inUse(c, r) ? 1 : 0;
  return n;
}

void LabelGrid::ensureOneInUse(int across, int down) noexcept {
  if (countInUse(across, down) == 0) set(0, 0, true);
}

bool markUnusedLabels(std::string_view list, LabelGrid& grid) {
  LabelGrid marked = grid;
  size_t at = 0;
  while (at <= list.size()) {
    size_t end = list.find(';', at);
    if (end == std::string_view::npos) end = list.size();
    const std::string item(list.substr(at, end - at));
    at = end + 1;
    if (item.empty()) continue;
    int column = -1;
    int row = -1;
    int used = -1;
    if (std::sscanf(item.c_str(), " %d , %d %n", &column, &row, &used) != 2 || used < 0 ||
        static_cast<size_t>(used) != item.size() || !onGrid(column, row))
      return false;
    marked.set(column, row, false);
  }
  grid = marked;
  return true;
}

LabelMargins parseLabelMargins(std::string_view value) {
  const std::string text(value);
  double m[4] = {-1, -1, -1, -1};
  (void)std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf", &m[0], &m[1], &m[2], &m[3]);
  for (double& v : m)
    if (!(v >= 0 && v <= 1)) v = 0.02;
  return {m[0], m[1], m[2], m[3]};
}

std::string formatLabelMargins(const LabelMargins& m) {
  char text[100];
  std::snprintf(text, sizeof text, "%4.2f,%4.2f,%4.2f,%4.2f", m.left, m.right, m.top, m.bottom);
  return text;
}

LabelPageSettings loadLabelPageSettings(const std::filesystem::path& ini,
                                        std::string_view pageFace,
                                        const std::vector<std::string>& catalogue) {
  const Profile labels(ini, std::string(keys::section::Labels));
  LabelPageSettings s;
  s.dimensions = labelDimensionsOrFirst(
      labels.readString(keys::labels::Settings, keys::labels::SettingsDefault, 100), catalogue);
  s.product = labels.readInt(keys::labels::Type1, 0);
  s.margins = parseLabelMargins(labels.readString(keys::labels::Margins,
                                                  keys::labels::MarginsDefault, 100));
  s.text = readLabelTextStyle(ini, keys::section::Labels, keys::font::Labels, pageFace);
  s.useReturnAddress = labels.readInt(keys::labels::UseReturnAddress, 0) == 1;
  if (s.useReturnAddress) s.returnAddress = readMyAddress(ini);
  return s;
}

PointF labelOrigin(const LabelDimensions& d, int column, int row) noexcept {
  const double perHundredth = unitsPerInch(d.unit) / 100.0;
  const long long x = d.left + static_cast<long long>(column) * (d.width + d.horizontalGap);
  const long long y = d.top + static_cast<long long>(row) * (d.height + d.verticalGap);
  return {static_cast<double>(x) / perHundredth, static_cast<double>(y) / perHundredth};
}

std::vector<LabelSpot> labelSpotsInUse(const LabelPageSettings& s, const LabelGrid& grid) {
  std::vector<LabelSpot> spots;
  const LabelDimensions& d = s.dimensions;
  auto hundredths = [](double inches) { return static_cast<int>(std::lround(inches * 100)); };
  const Rect label{0, 0, hundredths(lengthInInches(d.width, d.unit)),
                   hundredths(lengthInInches(d.height, d.unit))};
  const Rect text{hundredths(s.margins.left), hundredths(s.margins.top),
                  label.right - hundredths(s.margins.right),
                  label.bottom - hundredths(s.margins.bottom)};
  for (int r = 0; r < d.down && r < kMaxLabelsDown; ++r)
    for (int c = 0; c < d.across && c < kMaxLabelsAcross; ++c)
      if (grid.inUse(c, r)) spots.push_back({labelOrigin(d, c, r), label, text});
  return spots;
}

int labelPageCount(int checkedEntries, int labelsInUse) noexcept {
  if (labelsInUse < 1) labelsInUse = 1;
  if (checkedEntries < 1) return 1;
  return (checkedEntries + labelsInUse - 1) / labelsInUse;
}

namespace {

// Draws in the label's own hundredths of an inch: the mapping moves to its corner, which
// need not fall on a whole unit, and comes back afterwards.
template <class Draw>
void atLabel(Canvas& canvas, PointF origin, Draw draw) {
  const Mapping sheet = canvas.mapping();
  if (!canvas.setMapping(sheet.movedBy(origin))) return;
  draw();
  (void)canvas.setMapping(sheet);
}

}  // namespace

void drawLabelsPage(Canvas& canvas, const LabelPageSettings& s, const LabelGrid& grid,
                    const PageBook& book, int page, bool hideAddresses) {
  const LabelDimensions& d = s.dimensions;
  canvas.save();
  if (!canvas.onPrinter()) {
    canvas.setPen(Pen{});
    canvas.setBrush(Brush::hollow());
    const Rect outline = labelSpotsInUse(s, LabelGrid{}).front().label;
    for (int r = 0; r < d.down && r < kMaxLabelsDown; ++r)
      for (int c = 0; c < d.across && c < kMaxLabelsAcross; ++c)
        atLabel(canvas, labelOrigin(d, c, r), [&] { canvas.drawRoundedRect(outline, 20, 20); });
  }
  const std::vector<LabelSpot> spots = labelSpotsInUse(s, grid);
  const auto drawAt = [&](const LabelSpot& spot, const LabelFields& fields) {
    atLabel(canvas, spot.origin, [&] { drawLabelText(canvas, spot.text, fields, s.text); });
  };
  if (s.useReturnAddress) {
    for (const LabelSpot& spot : spots) drawAt(spot, s.returnAddress);
  } else if (!hideAddresses && !spots.empty()) {
    const size_t perPage = spots.size();
    size_t skip = static_cast<size_t>(std::max(0, page - 1)) * perPage;
    size_t next = 0;
    for (const AddressRecord& record : book.records()) {
      if (record.mark == 1) continue;  // a mark of 1 means: no label
      if (skip > 0) {
        --skip;
        continue;
      }
      drawAt(spots[next], labelFieldsOf(record));
      if (++next == perPage) break;
    }
  }
  canvas.restore();
}

std::vector<std::string> labelsThatDoNotFit(const LabelPageSettings& s, const LabelGrid& grid,
                                            const PageBook& book, bool hideAddresses) {
  std::vector<std::string> names;
  const std::vector<LabelSpot> spots = labelSpotsInUse(s, grid);
  // Every label of a sheet is the same size: the first one in use speaks for all.
  if (spots.empty()) return names;
  const Rect& text = spots.front().text;
  const auto fits = [&](const LabelFields& fields) {
    return fitLabelText(fields, s.text.options, s.text.font.height, text).fits;
  };
  if (s.useReturnAddress) {
    if (!fits(s.returnAddress)) names.emplace_back("My Address");
    return names;
  }
  if (hideAddresses) return names;
  for (const AddressRecord& record : book.records()) {
    if (record.mark == 1 || fits(labelFieldsOf(record))) continue;
    std::string name = record[FieldId::First] + " " + record[FieldId::Last];
    if (name.find_first_not_of(' ') == std::string::npos) name = record[FieldId::Company];
    const size_t start = name.find_first_not_of(' ');
    names.push_back(start == std::string::npos ? std::string() : name.substr(start));
  }
  return names;
}

std::string labelsNotFittingMessage(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  std::string text = "labels that do not fit: " + std::to_string(names.size()) + " (";
  for (size_t i = 0; i < names.size() && i < 5; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > 5) text += ", ...";
  return text + ")";
}

}  // namespace mv

#include "store/Book.h"

namespace mv {

std::vector<LabelName> labelNamesOf(const std::vector<AddressRecord>& records) {
  std::vector<LabelName> names;
  names.reserve(records.size());
  for (const AddressRecord& r : records)
    names.push_back({r[FieldId::First] + " " + r[FieldId::Last] + " - " + r[FieldId::Company],
                     r.slot, r.mark != 1});
  return names;
}

bool applyLabelChecks(Book& book, const std::vector<LabelName>& names) {
  for (const LabelName& name : names) book.workingFile().setMark(name.slot, name.checked ? 0 : 1);
  return book.rewrite() == BookStatus::Ok;
}

}  // namespace mv
