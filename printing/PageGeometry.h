#pragma once
// Where a page of the chosen paper size sits on the sheet in the printer: every length as
// a fraction of the sheet's width or length, set by the Page Settings dialog's OK and
// read by the page view and the printer. Lengths are in tenths of a millimetre.

namespace mv {

// The physical sheets a page can be printed on, by printer paper code.
struct Sheet {
  int code = 0;
  int width = 0;   // tenths of a millimetre
  int length = 0;
  friend bool operator==(const Sheet&, const Sheet&) = default;
};
inline constexpr Sheet kLetterSheet{1, 2159, 2794};
inline constexpr Sheet kA4Sheet{9, 2100, 2970};
inline constexpr Sheet kLegalSheet{5, 2159, 3556};
// Letter for a code that is none of the three.
Sheet sheetOfCode(int code) noexcept;

struct PageGeometry {
  double widthFraction = -1;   // page width / sheet width; -1: the page fills the sheet
  double lengthFraction = -1;  // page length / sheet length; -1 as above
  double leftFraction = 0;     // left margin / sheet width
  double evenLeftFraction = 0; // left margin of even pages / sheet width
  double topFraction = 0;      // top margin / sheet length
  double gapFraction = 0;      // gap between the two pages of a sheet / sheet width
  int sheetCode = -1;          // 1 Letter, 9 A4, 5 Legal; -1 before any page settings
  bool mirror = false;         // even pages use the even-page left margin
  bool twoOnOne = false;       // two pages side by side on one sheet
  bool twoOnOneAllowed = false;  // the current layout may be printed two on one

  // A page size applies only when both fractions are above 0.
  bool placesPage() const noexcept { return widthFraction > 0 && lengthFraction > 0; }
  bool twoOnOneActive() const noexcept { return twoOnOne && twoOnOneAllowed; }

  // Choosing a printer forgets the page size and prints one page per sheet.
  void resetForNewPrinter() noexcept {
    widthFraction = lengthFraction = -1;
    twoOnOne = false;
  }
  friend bool operator==(const PageGeometry&, const PageGeometry&) = default;
};

}  // namespace mv
