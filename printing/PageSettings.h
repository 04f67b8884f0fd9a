#pragma once
// The rules of the Page Settings dialog without its window: units, the arrow boxes'
// limits, the paper list selection, the sheet-size hint, the checks on OK with their
// fallbacks and messages, the sheet the page fits, and the PageSetup section of
// mervane.ini. The dialog reads its controls into this form and shows what it returns.

#include "platform/Prompter.h"
#include "printing/PageGeometry.h"
#include "printing/PaperList.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class LengthUnit { Inch, Millimetre };

inline constexpr int kTenthsPerInch = 254;

// Typed or shown values: a number in the unit to whole tenths of a millimetre, and back.
double toTenths(double value, LengthUnit unit) noexcept;
double fromTenths(double tenths, LengthUnit unit) noexcept;
// The value as the boxes show it ("%3.2f" in the unit).
std::string formatLength(double tenths, LengthUnit unit);
// A box's text as a number: leading blanks, then a decimal number; 0 when there is none.
double parseBoxNumber(std::string_view text) noexcept;

// The six numeric boxes, in the order OK reads them.
enum class PageBox { Width, Length, Left, Top, EvenLeft, Gap };
inline constexpr int kPageBoxCount = 6;
// Control ids of the boxes.
int pageBoxControlId(PageBox box) noexcept;

struct ArrowLimits {
  double low = 0;
  double high = 0;
};
ArrowLimits arrowLimits(PageBox box, LengthUnit unit) noexcept;
// One arrow click: adds (direction > 0) or subtracts 0.1 while the value is below the
// upper, or above the lower, limit; the text is written back with "%4.2f".
std::string arrowStep(std::string_view text, int direction, ArrowLimits limits);

// Section PageSetup, with the defaults of a missing key.
struct PageSetupValues {
  bool twoOnOne = false;  // print2on1sheet
  int comboIndex = 0;
  bool inch = true;
  int paperWidth = 2159;  // the custom row's size
  int paperHeight = 2794;
  int left = 0;
  int top = 0;
  int leftMirror = 0;
  int layoutGap = 0;
  bool mirror = false;
  friend bool operator==(const PageSetupValues&, const PageSetupValues&) = default;
};
PageSetupValues readPageSetup(const std::filesystem::path& ini);
// In the order PaperWidth, PaperHeight, print2on1sheet, ComboIndex, Left, Top, Mirror,
// Left_Mirror, layoutGap, Inch.
bool writePageSetup(const std::filesystem::path& ini, const PageSetupValues& values);

// What the printer settings say of the paper in the printer, in tenths of a millimetre.
struct PrinterPaper {
  int code = 1;
  double width = 2159;
  double length = 2794;
};

// The sheet a page of width x length fits, or none; two on one puts two pages side by
// side on a landscape sheet. The printer's own sheet is kept when the page fits it.
std::optional<Sheet> chooseSheet(double width, double length, bool twoOnOne,
                                 int printerPaperCode) noexcept;

// Messages of the dialog.
inline constexpr const char* kPaperListCannotOpen = "pagesize.dat: Can not Open";
inline constexpr const char* kPaperListCorrupted =
    "pagesize.dat may be coropted!\nTPageSize::StructToBase::Error";
inline constexpr const char* kSizeWasReset = "Width and Length had to be reset";
inline constexpr const char* kPageTooLarge = "Initialization failed!\nPlease try a smaller paper size";
inline constexpr const char* kTooLargeForTwoOnOne =
    "Paper size is too large for\n\"2 pages on 1 sheet\" printing.\n\nYou can try choosing a "
    "smaller paper or\nyou could change to normal printing.\n\nDo you wish to change to "
    "normal printing?";
inline constexpr const char* kTwoOnOneNotForLayout =
    "\"2 pages on 1 sheet\" is not available for this layout\n(works only for Monthly "
    "Calendar B, Weekly Calendar A, \nWeekly Calendar B, daily calendars,\nand "
    "addressbooks)\n\n\nDo you want to disable 2 on 1 sheet?";

// One modal run of the dialog: its working values in tenths of a millimetre.
class PageSettingsForm {
 public:
  // rows: the paper list, or nothing when pagesize.dat could not be opened.
  PageSettingsForm(std::optional<std::vector<PaperRow>> rows, PageSetupValues stored,
                   PrinterPaper printer);

  // Opening: the message for a missing pagesize.dat, then the first refresh.
  void open(Prompter& prompter);

  const std::vector<PaperRow>& rows() const noexcept { return rows_; }
  int selected() const noexcept { return selected_; }  // -1: nothing selected
  // Choosing a row, or a unit, refreshes the boxes from the stored values.
  void select(int index, Prompter& prompter);
  void setUnit(LengthUnit unit, Prompter& prompter);
  LengthUnit unit() const noexcept { return unit_; }
  void setMirror(bool on) noexcept { mirror_ = on; }
  void setTwoOnOne(bool on) noexcept { twoOnOne_ = on; }
  bool mirror() const noexcept { return mirror_; }
  bool twoOnOne() const noexcept { return twoOnOne_; }

  // What the boxes show.
  double value(PageBox box) const noexcept { return values_[static_cast<size_t>(box)]; }
  std::string boxText(PageBox box) const { return formatLength(value(box), unit_); }
  // The even-page margin box is enabled with Mirror Margins; the gap box and the hint
  // with "2 pages on 1 sheet".
  std::string sheetHint() const;

  enum class Outcome { Closed, StaysOpen };
  // OK with the six boxes' texts (in PageBox order). On Closed the geometry, the printer's
  // paper code and (unless the paper list is broken, or ini is empty) the ini file have
  // been updated; the
  // geometry's two-on-one permission is taken as the current layout's.
  Outcome confirm(const std::array<std::string, kPageBoxCount>& typed, Prompter& prompter,
                  PageGeometry& geometry, PrinterPaper& printer,
                  const std::filesystem::path& ini);
  // OK with the boxes as they stand: how settings read from a file are applied.
  Outcome confirmAsShown(Prompter& prompter, PageGeometry& geometry, PrinterPaper& printer,
                         const std::filesystem::path& ini);

 private:
  const PaperRow* selectedRow() const noexcept;
  bool refresh(Prompter& prompter);
  double& at(PageBox box) noexcept { return values_[static_cast<size_t>(box)]; }

  std::vector<PaperRow> rows_;
  bool listOpened_ = false;
  int selected_ = -1;
  PageSetupValues stored_;
  PrinterPaper printer_;
  LengthUnit unit_ = LengthUnit::Inch;
  bool mirror_ = false;
  bool twoOnOne_ = false;
  std::array<double, kPageBoxCount> values_{};
};

}  // namespace mv
