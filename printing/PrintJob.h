#pragma once
// What a print job prints: the range the print dialog settles, the sheets of each pass in
// each print mode (default, double-sided, even or odd pages, one or two pages per sheet),
// the refusals of a range with nothing to print, and the loop that sends the sheets of a
// pass to a printer or a PDF file, stopping at a page boundary on an abort or an error.
// The window's print command and mervane-cli print both go through here.

#include "printing/PageRenderer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mv {

namespace printMode {
inline constexpr int kDefault = 0;
inline constexpr int kDoubleSided = 1;
inline constexpr int kEvenPages = 2;
inline constexpr int kOddPages = 3;
}  // namespace printMode

inline constexpr const char* kNotEnoughPagesMessage = "Not enough pages for\nDouble-Sided printing";
// The "Printing Front Pages." question between the two passes of double-sided printing.
inline constexpr const char* kFrontPagesCaption = "Printing Front Pages.";
inline constexpr const char* kFrontPagesLines[] = {
    "1. Please WAIT until Printer is Finished.",
    "2. Then turn the stack of printed pages over.",
    "3. Insert pages back in the printer tray.",
    "4. When done,  Press OK to print back the pages",
};
// "There is no odd page in this range" or "...even...".
std::string noPageOfKindMessage(int mode);
// "Printing failed: %s".
std::string printingFailedMessage(const std::string& reason);
// "1 page", "2 pages".
std::string pagesText(int count);
// What a finished print says: "Printed N pages to FILE" or "Sent N pages to PRINTER"
// (`destination` as the file system or the printer names it, UTF-8).
std::string printedMessage(int pages, const std::string& destination, bool toFile);

// The numbers a print range counts: the pages, or two on one the sheets, which in the
// double-sided, even and odd modes come in pairs of four pages (booklet order), so that
// no page is lost at the end: 2 x ceil(pages / 4) sheets, against ceil(pages / 2) in the
// default mode.
int printableCount(const PageJob& job, int mode) noexcept;

// A settled range: first..last (1-based, inclusive) of what printableCount() counts.
struct PrintRange {
  int first = 1;
  int last = 1;
  int mode = printMode::kDefault;
  friend bool operator==(const PrintRange&, const PrintRange&) = default;
};

// What the print dialog's controls say on OK.
struct PrintChoice {
  bool all = true;
  int first = 1;
  int last = 1;
  int mode = printMode::kDefault;
};
struct SettledRange {
  PrintRange range;
  std::optional<std::string> refusal;  // shown with caption "Mervane"; the dialog stays
};
// OK of the print dialog: "All" takes the whole count; even and odd pages start on a page
// of their kind; the range ends on the last page. A double-sided range of one page, or an
// even or odd range with no page of that kind, is refused.
SettledRange settlePrintRange(const PrintChoice& choice, int count) noexcept;

// The print dialog's set-up, from what it is opened on.
std::string printDialogTitle(int layout);  // "Print Envelope", "Print Labels", "Print Addressbook"
// "All (Pages 1  to  %d)" above one page, else "All".
std::string allPagesCaption(int count);
// "Paper Size:\n%4.2f x %4.2f inch\n" (or "%4.0f x %4.0f mm") of the page the page
// settings place on the sheet; "Paper:\nDefault size" without page settings.
std::string paperSizeText(const PageGeometry& geometry, bool inch);
// The sheet is landscape two on one; the envelope remembers its own orientation.
bool printDialogLandscape(int layout, bool layoutLandscape, bool twoOnOne,
                          bool envelopeLandscape) noexcept;
// Page lists need more than one page; the modes also a layout printed page by page.
bool pageListsEnabled(int count) noexcept;
bool printModesEnabled(int count, int layout) noexcept;

// The sheets each pass prints, in order: one pass, or two in the double-sided mode (the
// fronts, then the backs once the stack is turned over). Copies repeat each pass whole.
// A sheet past the job's end is printed blank: two on one, every front gets a back so the
// turned stack lines up.
struct PrintPlan {
  std::vector<std::vector<int>> passes;
  int sheets() const noexcept;
};
PrintPlan planPrint(const PageJob& job, const PrintRange& range, int copies = 1);

// The job as printed: the range's mode puts two pages on a sheet in booklet order.
PageJob jobForRange(PageJob job, const PrintRange& range);

// The printer's mapping of a sheet of the device's printable area (pixels at dotsPerInch):
// the address-book layouts draw on the scaled logical page; the envelope and the labels
// draw in hundredths of an inch, y upwards from the top left corner.
Mapping printerMappingFor(int layout, bool sheetLandscape, PointF deviceSize,
                          PointF dotsPerInch) noexcept;

// A printer or a PDF file as a pass sees it.
class SheetOutput {
 public:
  virtual ~SheetOutput() = default;
  // Starts the next sheet (the first one is started by the output itself); false on an
  // error, whose text error() gives.
  virtual bool nextSheet() = 0;
  virtual Canvas& canvas() = 0;
  // The logical sheet spread over the printable area.
  virtual Mapping sheetMapping() = 0;
  virtual std::string error() const = 0;
};

struct PassResult {
  int sheets = 0;       // sheets drawn
  bool aborted = false; // the user stopped the job
  std::string error;    // the printer's error; sheets after it are not printed
  bool ok() const noexcept { return !aborted && error.empty(); }
};
// Draws the sheets, each on its own page of `out` (`started` says whether a page is open
// already). After each sheet `keepGoing(sheetsDrawn)` is asked; false stops the pass there.
PassResult printPass(const PageJob& job, const std::vector<int>& sheets, SheetOutput& out,
                     bool& started, const std::function<bool(int)>& keepGoing = {});

}  // namespace mv
