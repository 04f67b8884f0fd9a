#pragma once
// The view state shared by the frame, the layout navigation and the page view: current
// layout, view kind, page and page count, print range and mode, zoom.

#include "printing/LabelGrid.h"
#include "printing/LayoutCatalogue.h"
#include "printing/PageGeometry.h"

#include <array>

namespace mv {

struct AppState {
  int layout = kDefaultLayout;  // the command id of a drawn layout
  int viewKind = kPagesViewKind;
  int page = 1;
  int pageCount = 1;
  int firstPrintPage = 1;
  int lastPrintPage = 1;
  int printMode = 0;  // 0 default, 1 double-sided, 2 even pages, 3 odd pages
  bool secondPass = false;
  double zoom = 0.8;
  bool labelEachPage = false;  // Customize Card_Maximize_Address
  bool hideAddresses = false;  // page options, held for the run only
  std::array<int, 26> firstPageOfLetter{1};  // label-each-page mode: first page of A..Z
  PageGeometry geometry;  // the page size on the sheet, from the Page Settings dialog
  LabelGrid labelGrid;    // the labels of the sheet in use, all at start
  int bookGeneration = 0;  // counts the changes of book: a view shows a new book from its top
};

}  // namespace mv
