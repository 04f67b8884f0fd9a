#pragma once
// The arithmetic of the page view and the printed sheet, without a window: zoom steps
// and their limits, scroll ranges, the sheet outline, the mappings of the sheet on the
// screen and the printer, where a page sits on the sheet (page size, margins, mirror
// margins, the room for the heading) and which pages share a sheet two on one.

#include "commands/Commands.h"
#include "printing/Mapping.h"
#include "printing/PageGeometry.h"

namespace mv {

// The logical page of the address-book layouts, portrait.
inline constexpr int kLogicalPageWidth = 765;
inline constexpr int kLogicalPageHeight = 995;
// Space between the view's corner and the sheet, in pixels.
inline constexpr int kViewMargin = 10;

bool isZoomCommand(int command) noexcept;
// The factor after a zoom command; other commands leave it. Steps are kept to whole
// hundredths, so ten steps in and ten out come back to the same factor.
double zoomAfter(int command, double zoom) noexcept;
bool zoomCommandEnabled(int command, double zoom) noexcept;

struct ScrollRanges {
  int horizontal = 0;  // 0: no scroll bar in that direction
  int vertical = 0;
  friend bool operator==(const ScrollRanges&, const ScrollRanges&) = default;
};
inline constexpr int kScrollLineStep = 50;
ScrollRanges scrollRanges(int layout, bool landscape, double zoom, int clientWidth,
                          int clientHeight) noexcept;

// The sheet outline the view draws, in logical units: the paper's proportions for
// Letter (or no page settings), A4 and Legal; the envelope and the labels' sheet have
// their own.
struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
Size sheetOutlineSize(int layout, int sheetCode, bool landscape) noexcept;
inline constexpr int kSheetShadow = 15;

// The logical sheet: 765 x 995, turned round when the sheet is used in landscape.
PointF sheetExtent(bool sheetLandscape) noexcept;
// On the screen: one logical unit is zoom pixels, kViewMargin from the corner.
Mapping screenSheetMapping(bool sheetLandscape, double zoom) noexcept;
// On the printer: the sheet spread over the printable area.
Mapping printerSheetMapping(bool sheetLandscape, PointF deviceOrigin, PointF deviceSize) noexcept;

// The sheet is turned when two portrait pages stand side by side; the layout's own
// orientation is not changed by it.
constexpr bool sheetLandscape(bool layoutLandscape, bool twoOnOneActive) noexcept {
  return layoutLandscape != twoOnOneActive;
}

// Where one page is drawn on a sheet of the given mapping.
struct PagePlacement {
  int pageNumber = 1;       // even pages take the even-page margin with mirror margins on
  bool sheetLandscape = false;
  bool rightHalf = false;   // the second page of a sheet two on one
  bool placesPageSize = true;  // address-book layouts; envelope and labels fill the sheet
  int headingRoom = 0;      // units added above the page for the heading and footnote
};
struct PageMappings {
  Mapping heading;  // the page with the room above it: the heading is drawn here
  Mapping body;     // the same, moved down by the room: the layout and the footnote
};
PageMappings placePage(const Mapping& sheet, const PageGeometry& geometry,
                       const PagePlacement& placement) noexcept;

// Two pages on one sheet. Every page has a sheet, an odd last page one of its own.
int sheetCount(int pageCount) noexcept;
int sheetOfPage(int page) noexcept;
// The pages on the left and right half of a sheet, 0 for a half left empty. The default
// mode puts pages 2S-1 and 2S on sheet S; the double-sided modes put them in booklet
// order (sheet 1: 1 and 3, sheet 2: 4 and 2), to be cut in the middle.
struct SheetPages {
  int left = 0;
  int right = 0;
  friend bool operator==(const SheetPages&, const SheetPages&) = default;
};
SheetPages pagesOnSheet(int sheet, int pageCount, int printMode) noexcept;

}  // namespace mv
