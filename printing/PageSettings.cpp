#include "printing/PageSettings.h"

#include "settings/Keys.h"
#include "settings/Profile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace mv {
namespace {

namespace k = keys::pageSetup;

std::string printf2(const char* format, double a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a);
  return buf;
}

std::string printf2(const char* format, double a, double b) {
  char buf[96];
  std::snprintf(buf, sizeof buf, format, a, b);
  return buf;
}

// The bounds OK holds a value to, open at both ends, and the value put in its place.
struct Range {
  double low;
  double high;
  double fallback;
};

void holdTo(double& value, const Range& r, bool& changed) noexcept {
  if (value > r.low && value < r.high) return;
  value = r.fallback;
  changed = true;
}

}  // namespace

Sheet sheetOfCode(int code) noexcept {
  if (code == kA4Sheet.code) return kA4Sheet;
  if (code == kLegalSheet.code) return kLegalSheet;
  return kLetterSheet;
}

double toTenths(double value, LengthUnit unit) noexcept {
  return std::round(unit == LengthUnit::Inch ? value * kTenthsPerInch : value * 10);
}

double fromTenths(double tenths, LengthUnit unit) noexcept {
  return unit == LengthUnit::Inch ? tenths / kTenthsPerInch : tenths * 0.1;
}

std::string formatLength(double tenths, LengthUnit unit) {
  return printf2("%3.2f", fromTenths(tenths, unit));
}

double parseBoxNumber(std::string_view text) noexcept {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  return result.ec == std::errc() ? value : 0;
}

int pageBoxControlId(PageBox box) noexcept {
  constexpr std::array<int, kPageBoxCount> ids{108, 107, 105, 110, 111, 118};
  return ids[static_cast<size_t>(box)];
}

ArrowLimits arrowLimits(PageBox box, LengthUnit unit) noexcept {
  constexpr std::array<ArrowLimits, kPageBoxCount> inches{
      {{4, 11}, {4, 13}, {-2, 6}, {0, 6}, {-2, 6}, {0, 5}}};
  constexpr std::array<ArrowLimits, kPageBoxCount> millimetres{
      {{101.6, 279.4}, {101.6, 330.2}, {-50.8, 152.4}, {0, 152.4}, {-50.8, 152.4}, {0, 5}}};
  const size_t i = static_cast<size_t>(box);
  return unit == LengthUnit::Inch ? inches[i] : millimetres[i];
}

std::string arrowStep(std::string_view text, int direction, ArrowLimits limits) {
  double value = parseBoxNumber(text);
  if (direction > 0 && value < limits.high) value += 0.1;
  if (direction < 0 && value > limits.low) value -= 0.1;
  return printf2("%4.2f", value);
}

PageSetupValues readPageSetup(const std::filesystem::path& ini) {
  const Profile p(ini, std::string(keys::section::PageSetup));
  const PageSetupValues d;
  PageSetupValues v;
  v.twoOnOne = p.readInt(k::Print2On1Sheet, d.twoOnOne) == 1;
  v.comboIndex = p.readInt(k::ComboIndex, d.comboIndex);
  v.inch = p.readInt(k::Inch, d.inch) == 1;
  v.paperWidth = p.readInt(k::PaperWidth, d.paperWidth);
  v.paperHeight = p.readInt(k::PaperHeight, d.paperHeight);
  v.left = p.readInt(k::Left, d.left);
  v.top = p.readInt(k::Top, d.top);
  v.leftMirror = p.readInt(k::LeftMirror, d.leftMirror);
  v.layoutGap = p.readInt(k::LayoutGap, d.layoutGap);
  v.mirror = p.readInt(k::Mirror, d.mirror) == 1;
  return v;
}

bool writePageSetup(const std::filesystem::path& ini, const PageSetupValues& v) {
  Profile p(ini, std::string(keys::section::PageSetup));
  bool ok = true;
  ok &= p.writeInt(k::PaperWidth, v.paperWidth);
  ok &= p.writeInt(k::PaperHeight, v.paperHeight);
  ok &= p.writeInt(k::Print2On1Sheet, v.twoOnOne ? 1 : 0);
  ok &= p.writeInt(k::ComboIndex, v.comboIndex);
  ok &= p.writeInt(k::Left, v.left);
  ok &= p.writeInt(k::Top, v.top);
  ok &= p.writeInt(k::Mirror, v.mirror ? 1 : 0);
  ok &= p.writeInt(k::LeftMirror, v.leftMirror);
  ok &= p.writeInt(k::LayoutGap, v.layoutGap);
  ok &= p.writeInt(k::Inch, v.inch ? 1 : 0);
  return ok;
}

std::optional<Sheet> chooseSheet(double width, double length, bool twoOnOne,
                                 int printerPaperCode) noexcept {
  // A couple of tenths of slack, so a page exactly the sheet's size fits it.
  bool fitsLetter, fitsA4, fitsLegal;
  if (!twoOnOne) {
    fitsLetter = width <= 2161 && length <= 2796;
    fitsA4 = width <= 2102 && length <= 2972;
    fitsLegal = width <= 2161 && length <= 3558;
  } else {
    const double both = 2 * width;  // side by side across a landscape sheet
    fitsLetter = both <= 2796 && length <= 2161;
    fitsA4 = both <= 2972 && length <= 2102;
    fitsLegal = both <= 3558 && length <= 2161;
  }
  if (fitsLetter && printerPaperCode == kLetterSheet.code) return kLetterSheet;
  if (fitsA4 && printerPaperCode == kA4Sheet.code) return kA4Sheet;
  if (fitsLetter) return kLetterSheet;
  if (fitsA4) return kA4Sheet;
  if (fitsLegal) return kLegalSheet;
  return std::nullopt;
}

PageSettingsForm::PageSettingsForm(std::optional<std::vector<PaperRow>> rows,
                                   PageSetupValues stored, PrinterPaper printer)
    : rows_(rows ? std::move(*rows) : std::vector<PaperRow>{}),
      listOpened_(rows.has_value()),
      selected_(paperIndexOrFirst(stored.comboIndex, rows_.size())),
      stored_(stored),
      printer_(printer),
      unit_(stored.inch ? LengthUnit::Inch : LengthUnit::Millimetre),
      mirror_(stored.mirror),
      twoOnOne_(stored.twoOnOne) {
  at(PageBox::Left) = stored.left;
  at(PageBox::Top) = stored.top;
  at(PageBox::EvenLeft) = stored.leftMirror;
  at(PageBox::Gap) = stored.layoutGap;
}

void PageSettingsForm::open(Prompter& prompter) {
  if (!listOpened_) prompter.inform(kPaperListCannotOpen, "Error");
  refresh(prompter);
}

void PageSettingsForm::select(int index, Prompter& prompter) {
  selected_ = index >= 0 && static_cast<size_t>(index) < rows_.size() ? index : -1;
  refresh(prompter);
}

void PageSettingsForm::setUnit(LengthUnit unit, Prompter& prompter) {
  unit_ = unit;
  refresh(prompter);
}

const PaperRow* PageSettingsForm::selectedRow() const noexcept {
  return selected_ >= 0 && static_cast<size_t>(selected_) < rows_.size() ? &rows_[selected_]
                                                                         : nullptr;
}

bool PageSettingsForm::refresh(Prompter& prompter) {
  const PaperRow* row = selectedRow();
  if (!row) {
    prompter.inform(kPaperListCorrupted);
    return false;
  }
  double width = row->isCustom() ? stored_.paperWidth : row->width;
  double length = row->isCustom() ? stored_.paperHeight : row->length;
  // Below 2 cm a page is taken for a missing size: the printer's paper stands in.
  if (width < 200 || length < 200) {
    width = printer_.width;
    length = printer_.length;
  }
  at(PageBox::Width) = width;
  at(PageBox::Length) = length;
  return true;
}

std::string PageSettingsForm::sheetHint() const {
  const double width = value(PageBox::Width);
  const double length = value(PageBox::Length);
  if (length > 2159 && width > 1485) return "Try a smaller paper for this option!";
  if (unit_ == LengthUnit::Inch)
    return printf2("[Sheet Size: atleast %3.2fx%3.2f]", fromTenths(length, unit_),
                   fromTenths(2 * width, unit_));
  return printf2("[Sheet Size: atleast %3.0fx%3.0f]", fromTenths(length, unit_),
                 fromTenths(2 * width, unit_));
}

PageSettingsForm::Outcome PageSettingsForm::confirm(
    const std::array<std::string, kPageBoxCount>& typed, Prompter& prompter,
    PageGeometry& geometry, PrinterPaper& printer, const std::filesystem::path& ini) {
  for (size_t i = 0; i < typed.size(); ++i) values_[i] = toTenths(parseBoxNumber(typed[i]), unit_);
  double& width = at(PageBox::Width);
  double& length = at(PageBox::Length);
  if (width < 200 || length < 200) {
    width = printer_.width;
    length = printer_.length;
    prompter.inform(kSizeWasReset);
  }
  // Out-of-range values fall back silently; the boxes then show the values used. The
  // top margin is held to half the width that has just been checked.
  bool changed = false;
  holdTo(width, {762, 2438.4, 2159}, changed);
  holdTo(length, {762, 4572, 2794}, changed);
  holdTo(at(PageBox::Left), {-254, 1524, 0}, changed);
  holdTo(at(PageBox::EvenLeft), {-254, 1524, 0}, changed);
  holdTo(at(PageBox::Top), {-254, width / 2, 0}, changed);

  const std::optional<Sheet> sheet = chooseSheet(width, length, twoOnOne_, printer.code);
  if (!sheet) {
    if (!twoOnOne_) {
      prompter.inform(kPageTooLarge);
    } else if (prompter.ask({kTooLargeForTwoOnOne, kAppCaption, Icon::Question,
                             Buttons::YesNo, Answer::No}) == Answer::Yes) {
      twoOnOne_ = false;
    }
    return Outcome::StaysOpen;
  }

  printer.code = sheet->code;
  printer_.code = sheet->code;
  geometry.sheetCode = sheet->code;
  geometry.widthFraction = width / sheet->width;
  geometry.lengthFraction = length / sheet->length;
  geometry.leftFraction = value(PageBox::Left) / sheet->width;
  geometry.evenLeftFraction = value(PageBox::EvenLeft) / sheet->width;
  geometry.topFraction = value(PageBox::Top) / sheet->length;
  geometry.gapFraction = value(PageBox::Gap) / sheet->width;
  geometry.mirror = mirror_;
  if (!geometry.twoOnOneAllowed && twoOnOne_ &&
      prompter.ask({kTwoOnOneNotForLayout, kAppCaption, Icon::Question, Buttons::YesNo,
                    Answer::No}) == Answer::Yes)
    twoOnOne_ = false;
  geometry.twoOnOne = twoOnOne_;

  const PaperRow* row = selectedRow();
  if (!row) {
    prompter.inform(kPaperListCorrupted);
    return Outcome::Closed;
  }
  PageSetupValues out = stored_;
  if (row->isCustom()) {
    out.paperWidth = static_cast<int>(width);
    out.paperHeight = static_cast<int>(length);
  }
  out.twoOnOne = twoOnOne_;
  out.comboIndex = selected_ >= 0 ? selected_ : 0;
  out.left = static_cast<int>(value(PageBox::Left));
  out.top = static_cast<int>(value(PageBox::Top));
  out.mirror = mirror_;
  out.leftMirror = static_cast<int>(value(PageBox::EvenLeft));
  out.layoutGap = static_cast<int>(value(PageBox::Gap));
  out.inch = unit_ == LengthUnit::Inch;
  if (!ini.empty()) writePageSetup(ini, out);
  stored_ = out;
  return Outcome::Closed;
}

PageSettingsForm::Outcome PageSettingsForm::confirmAsShown(Prompter& prompter,
                                                          PageGeometry& geometry,
                                                          PrinterPaper& printer,
                                                          const std::filesystem::path& ini) {
  std::array<std::string, kPageBoxCount> shown;
  for (size_t i = 0; i < shown.size(); ++i) shown[i] = boxText(static_cast<PageBox>(i));
  return confirm(shown, prompter, geometry, printer, ini);
}

}  // namespace mv
