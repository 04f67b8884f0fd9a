#pragma once
// The one drawing entry point of the pages: a sheet of the current layout, on the screen
// (with its outline) or on the printer and PDF files, one page per sheet or two side by
// side, each page placed by the page settings with its heading and footnote.

#include "printing/AddressPages.h"
#include "printing/AppState.h"
#include "printing/EnvelopePages.h"
#include "printing/LabelPages.h"
#include "printing/PageGeometry.h"
#include "printing/PageTable.h"
#include "printing/PageViewGeometry.h"
#include "printing/PrinterCalibration.h"

#include <optional>
#include <string>
#include <vector>

namespace mv {

struct PageJob {
  AddressPageSettings settings;  // settings.layout is the layout drawn
  const PageBook* book = nullptr;
  PageCount count;               // the layout's pages
  PageGeometry geometry;
  int printMode = 0;             // booklet order two on one in modes 1..3
  bool layoutLandscape = false;  // the address-book layouts are portrait
  LabelPageSettings labels;      // the labels layout's format, text and return address
  LabelGrid labelGrid;           // and the labels in use
  EnvelopePageSettings envelope; // the envelope layout's positions, formats and return address
  PrinterOffset printerOffset;   // moves printed label and envelope pages, never the view
  std::optional<std::string> calibrationFor;  // set: the calibration sheet of this printer
};

// The job the view state asks for: its layout, page options, page geometry and print
// mode over `settings` (page font, colours, heading and footnote), with the page count.
PageJob pageJobFor(const AppState& state, AddressPageSettings settings, const PageBook* book);
// The sheet that shows the current page: the page itself, or (page + 1) / 2 two on one.
int currentSheet(const AppState& state) noexcept;
// The toolbar's page text: "Page %d of %d", and two on one the sheet as well, so that
// the numbers say which is which.
std::string pageIndicator(const AppState& state);

// Gives a labels job its settings: its sheet follows the label format's product, and
// its pages the labels in use.
void useLabelSettings(PageJob& job, LabelPageSettings labels);

// The labels of a labels job whose lines do not all fit (see labelsThatDoNotFit); none
// for the other layouts.
std::vector<std::string> labelsThatDoNotFit(const PageJob& job);

// The job's pages for the book, the layout and "Label each page".
PageCount countJobPages(const PageJob& job) noexcept;

bool twoOnOneActive(const PageJob& job) noexcept;
bool jobSheetLandscape(const PageJob& job) noexcept;
// Sheets to draw: the pages, or half of them (rounded up) two on one.
int jobSheetCount(const PageJob& job) noexcept;

// Draws sheet `sheet` (the page itself when one page fills a sheet) in the sheet mapping:
// screenSheetMapping() on the screen, printerSheetMapping() on the printer.
void renderSheet(Canvas& canvas, const Mapping& sheetMapping, const PageJob& job, int sheet);

// On the screen: the white sheet with its border and shadow.
void drawSheetOutline(Canvas& canvas, const Size& size);

}  // namespace mv
