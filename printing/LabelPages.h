#pragma once
// The labels layout: which labels of the sheet are in use, the settings a labels page is
// drawn with, the page count and the drawing of one sheet in hundredths of an inch.

#include "printing/LabelFormats.h"
#include "printing/LabelGrid.h"
#include "printing/LabelText.h"
#include "printing/PageTable.h"
#include "settings/FontSpec.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class PageBook;

// "c,r;c,r;..." (column and row from 0): the labels left out. False, with the grid as it
// was, when an item is not two numbers within the grid.
bool markUnusedLabels(std::string_view list, LabelGrid& grid);

struct LabelMargins {  // inches inside each label
  double left = 0.10;
  double right = 0.02;
  double top = 0.10;
  double bottom = 0.02;
  friend bool operator==(const LabelMargins&, const LabelMargins&) = default;
};
// "%f,%f,%f,%f"; a value that is missing, not a number or outside 0..1 counts as 0.02.
LabelMargins parseLabelMargins(std::string_view value);
std::string formatLabelMargins(const LabelMargins& margins);  // "%4.2f,%4.2f,%4.2f,%4.2f"

// Everything a labels page is drawn with, from section Labels, the Font key "Labels" and
// the return address.
struct LabelPageSettings {
  LabelDimensions dimensions;
  int product = 0;              // Type1: the sheet the PDF and the printer use
  LabelMargins margins;
  LabelTextStyle text;
  bool useReturnAddress = false;
  LabelFields returnAddress{};
};
LabelPageSettings loadLabelPageSettings(const std::filesystem::path& ini,
                                        std::string_view pageFace,
                                        const std::vector<std::string>& catalogue);

// Where a label begins on the sheet, in hundredths of an inch: origin + index x pitch in
// the format's own unit, converted once, so that rounding never adds up across a sheet.
PointF labelOrigin(const LabelDimensions& d, int column, int row) noexcept;
// A label in use: where it begins on the sheet, and the label and its text rectangle in
// hundredths of an inch from that corner. Drawing moves the canvas's mapping to the corner
// and draws in these.
struct LabelSpot {
  PointF origin;
  Rect label;
  Rect text;
};
// The labels in use, row by row, left to right within a row.
std::vector<LabelSpot> labelSpotsInUse(const LabelPageSettings& s, const LabelGrid& grid);

// Checked entries over the labels in use, rounded up, and at least one page.
int labelPageCount(int checkedEntries, int labelsInUse) noexcept;

// One sheet: on the screen every label's outline; then the return address on every label
// in use, or the checked entries of page `page` into the labels in use.
void drawLabelsPage(Canvas& canvas, const LabelPageSettings& s, const LabelGrid& grid,
                    const PageBook& book, int page, bool hideAddresses);

// The names of the entries (or "My Address") whose lines do not all fit their label even
// at 6 pt, in the order they print: what the user is told, so that no postcode goes
// missing without a word.
std::vector<std::string> labelsThatDoNotFit(const LabelPageSettings& s, const LabelGrid& grid,
                                            const PageBook& book, bool hideAddresses);
// "labels that do not fit: N (NAME, NAME, ...)", the first five named; "" for none.
std::string labelsNotFittingMessage(const std::vector<std::string>& names);

}  // namespace mv

namespace mv {

class Book;

// The "Select Names" list: every entry in list order as "First Last - Company", checked
// when it gets a label (its mark is not 1), with the slot its mark belongs to.
struct LabelName {
  std::string text;
  int slot = 0;
  bool checked = false;
};
std::vector<LabelName> labelNamesOf(const std::vector<AddressRecord>& records);
// Marks 0 for the checked names and 1 for the others, by slot, then the working file is
// rewritten with them. False when the rewrite failed.
[[nodiscard]] bool applyLabelChecks(Book& book, const std::vector<LabelName>& names);

}  // namespace mv
