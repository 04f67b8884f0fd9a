#pragma once
// Label sheets: one format is the size of a label, the sheet's margins, the pitch from
// label to label and the labels across and down. The catalogue is the text file
// labels.dat beside the program, one format per line; the chosen format's dimensions are
// kept in section Labels of the settings file. Lengths are whole units of the format's
// own: tenths of a millimetre, or hundredths of an inch for a sheet measured in inches,
// so that a sheet's numbers are kept exactly as its maker gives them.

#include "printing/LabelGrid.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr size_t kLabelNameMax = 49;
inline constexpr int kMaxLabelsAcross = kLabelGridAcross;
inline constexpr int kMaxLabelsDown = kLabelGridDown;

// "Label Products" and "Labels Type", in the order of their combos.
enum class LabelProduct { Standard = 0, A4 = 1, Other = 2 };
enum class LabelType { All = 0, Address = 1, Shipping = 2 };

enum class LabelUnit { TenthMm, HundredthInch };
// Stored units in an inch: 254 tenths of a millimetre, 100 hundredths.
double unitsPerInch(LabelUnit unit) noexcept;
// A stored length in inches, and inches back to the nearest whole stored unit.
double lengthInInches(int length, LabelUnit unit) noexcept;
int inchesToLength(double inches, LabelUnit unit) noexcept;

struct LabelFormat {
  std::string name;  // as stored: every blank is a ";"
  int product = 0;
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  int horizontalPitch = 0;  // left edge to left edge
  int verticalPitch = 0;    // top edge to top edge
  int across = 0;
  int down = 0;
  LabelUnit unit = LabelUnit::TenthMm;
  friend bool operator==(const LabelFormat&, const LabelFormat&) = default;

  // Gaps between labels; a pitch smaller than the label gives no gap.
  int horizontalGap() const noexcept { return horizontalPitch > width ? horizontalPitch - width : 0; }
  int verticalGap() const noexcept { return verticalPitch > height ? verticalPitch - height : 0; }
};

// The longest length a format may give: 40 inches, beyond any sheet a printer takes, and
// small enough that a whole row or column of labels is measured without overflow.
inline constexpr int kMaxLabelLength = 10160;  // tenths of a millimetre
int maxLabelLength(LabelUnit unit) noexcept;   // the same in either unit

// A format that can be laid out: every size above 0 (the margins 0 or more), none above
// 40 inches, and 1..20 across, 1..30 down. The sheet's label grid has a flag for
// each of these positions.
bool isUsableLabelFormat(const LabelFormat& format) noexcept;

// "Name;Of;Label 0, 668,254, 48,127, 699,254, 3,10": the name, a blank, nine integers
// separated by commas (blanks after a comma allowed), the lengths in tenths of a
// millimetre; a format in hundredths of an inch ends in " in" after the last number
// ("Name 0, 263,100, 19,50, 275,100, 3,10 in"). A line that does not parse in full,
// whose name holds a control character or whose format is not usable, gives nothing.
// Names are cut to 49 characters.
std::optional<LabelFormat> parseLabelLine(std::string_view line);
// The line a new or changed format is written as.
std::string labelLine(const LabelFormat& format);

// The name as shown (";" back to blanks) and as stored (blanks to ";").
std::string labelDisplayName(std::string_view stored);
std::string labelStoredName(std::string_view shown);

// The raw lines of a labels.dat text in file order, each without its line end: only lines
// longer than 5 characters that sort after a run of ten blanks and are not all blanks (so
// blank lines, and lines beginning with a control character, alone or after fewer than ten
// blanks, are dropped).
std::vector<std::string> parseLabelsDat(std::string_view bytes);
// Every line followed by a line end.
std::string labelsDatBytes(const std::vector<std::string>& lines);
// labels.dat beside the program.
std::filesystem::path labelsDatPath();
// The raw lines of the file; empty when it cannot be read.
std::vector<std::string> readLabelsDat(const std::filesystem::path& file);

// The physical sheet a format is printed on, by its product: A4 for "A4 Sizes", US
// letter otherwise. Width and length in tenths of a millimetre.
struct LabelSheetSize {
  int width = 2159;
  int length = 2794;
};
LabelSheetSize labelSheetOf(int product) noexcept;
// The last column and row end within the sheet, give or take one stored unit (a sheet
// measured in inches on A4 paper cannot be stored exactly).
bool labelFormatFitsSheet(const LabelFormat& format) noexcept;


// The catalogue as the "Label Size" page edits it: the raw lines of labels.dat, the list
// filtered by product and type, and the edits. Every edit puts its line first, so the
// newest format is at the top of the file.
class LabelCatalogue {
 public:
  struct Row {
    LabelFormat format;
    int line = 0;  // index in lines()
  };
  enum class EditResult { Done, NameTaken, Unusable, NoRow };

  LabelCatalogue() = default;
  explicit LabelCatalogue(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  const std::vector<std::string>& lines() const noexcept { return lines_; }
  bool modified() const noexcept { return modified_; }

  // The usable formats of one product whose stored name holds "Address" or "Shipping"
  // (matched case for case) as the type asks.
  std::vector<Row> filter(int product, int type) const;
  // Refused when a row of `shown` begins with the name (letter case ignored), or when the
  // format is not usable. The new line goes in at `at` (the first line unless told).
  EditResult add(const LabelFormat& format, const std::vector<Row>& shown, size_t at = 0);
  // The row's line goes; the changed format becomes the first line.
  EditResult change(int line, const LabelFormat& format);
  EditResult remove(int line);
  // Lines taken as they are (a template import's formats), in their order at `at`.
  void insertLines(size_t at, std::vector<std::string> lines);

 private:
  std::vector<std::string> lines_;
  bool modified_ = false;
};

// The messages of the page's edits.
inline constexpr const char* kLabelAddRefused =
    "To Add a new setting to the list:\n\n1. Enter a new \"Label Name\" in the top-left side of "
    "the window\n2. Enter the new \"Dimensions\"\n3. Click on \"Add\" ";
inline constexpr const char* kLabelNothingChanged =
    "You have not changed\nlabel name or label dimensions.\n\nThere is nothing to be changed";
inline constexpr const char* kLabelUnusable =
    "The label sizes must be above 0 and at most 40 inches, with 1 to 20 labels across and 1 "
    "to 30 down.";
std::string labelDeleteQuestion(std::string_view shownName);  // "\"%s\"\n\nDo you want..."

// The chosen format as section Labels keeps it ("%d,%d,%d,%d,%d,%d,%d,%d": width, height,
// left, top, horizontal gap, vertical gap, across, down; ",in" after them for hundredths
// of an inch).
struct LabelDimensions {
  int width = 668;
  int height = 254;
  int left = 48;
  int top = 127;
  int horizontalGap = 31;
  int verticalGap = 0;
  int across = 3;
  int down = 10;
  LabelUnit unit = LabelUnit::TenthMm;
  friend bool operator==(const LabelDimensions&, const LabelDimensions&) = default;
  int total() const noexcept { return across * down; }
};
LabelDimensions dimensionsOf(const LabelFormat& format) noexcept;
std::string formatLabelDimensions(const LabelDimensions& d);
// Nothing when the value is not eight integers describing a usable format.
std::optional<LabelDimensions> parseLabelDimensions(std::string_view value);
// The stored value, or the first format of the catalogue when it is unusable, or the
// default sheet (3 x 10 of 2.63 x 1 in) when there is none.
// The choice as the "Label Size" page keeps it in section Labels: Type1, Type2, ID (the
// row in the list filtered by product and type), Total and Settings. False when the file
// cannot be written.
[[nodiscard]] bool saveLabelChoice(const std::filesystem::path& ini, int product, int type,
                                   int row, const LabelFormat& format);
// The format shown as `name` (letter case ignored), with its row in the "All Labels" list
// of its product.
struct NamedLabelFormat {
  LabelFormat format;
  int row = 0;
};
std::optional<NamedLabelFormat> findLabelFormat(const LabelCatalogue& catalogue,
                                                std::string_view name);

LabelDimensions labelDimensionsOrFirst(std::string_view value,
                                       const std::vector<std::string>& catalogue);

}  // namespace mv
