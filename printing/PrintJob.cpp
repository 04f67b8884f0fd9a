#include "printing/PrintJob.h"

#include <algorithm>
#include <cstdio>

namespace mv {

std::string noPageOfKindMessage(int mode) {
  return std::string("There is no ") + (mode == printMode::kEvenPages ? "even" : "odd") +
         " page in this range";
}

std::string pagesText(int count) {
  return std::to_string(count) + (count == 1 ? " page" : " pages");
}

std::string printedMessage(int pages, const std::string& destination, bool toFile) {
  return (toFile ? "Printed " : "Sent ") + pagesText(pages) + " to " + destination;
}

std::string printingFailedMessage(const std::string& reason) {
  return "Printing failed: " + reason;
}

namespace {
bool bookletMode(int mode) noexcept {
  return mode == printMode::kDoubleSided || mode == printMode::kEvenPages ||
         mode == printMode::kOddPages;
}
}  // namespace

int printableCount(const PageJob& job, int mode) noexcept {
  const int pages = std::max(1, job.count.pages);
  if (!twoOnOneActive(job)) return pages;
  if (bookletMode(mode)) return 2 * ((pages + 3) / 4);
  return (pages + 1) / 2;
}

SettledRange settlePrintRange(const PrintChoice& c, int count) noexcept {
  SettledRange out;
  count = std::max(1, count);
  PrintRange& r = out.range;
  r.mode = c.mode;
  r.first = c.all ? 1 : std::max(1, c.first);
  r.last = c.all ? count : c.last;
  if (r.mode == printMode::kDoubleSided && r.first >= r.last) {
    out.refusal = kNotEnoughPagesMessage;
    return out;
  }
  if (r.mode == printMode::kEvenPages && r.first % 2 == 1) ++r.first;
  if (r.mode == printMode::kOddPages && r.first % 2 == 0) ++r.first;
  r.last = std::min(r.last, count);
  if (r.first > r.last) {
    // Moving the start on to a page of the wanted kind left the range: nothing of that
    // kind is in it, and printing the page of the other kind would be wrong.
    if (r.mode == printMode::kEvenPages || r.mode == printMode::kOddPages)
      out.refusal = noPageOfKindMessage(r.mode);
    r.first = r.last;
  }
  return out;
}

std::string printDialogTitle(int layout) {
  layout = normalizeLayoutCommand(layout);
  if (layout == kEnvelopeLayout) return "Print Envelope";
  if (layout == kLabelsLayout) return "Print Labels";
  return "Print Addressbook";
}

std::string allPagesCaption(int count) {
  return count > 1 ? "All (Pages 1  to  " + std::to_string(count) + ")" : "All";
}

std::string paperSizeText(const PageGeometry& g, bool inch) {
  if (!(g.widthFraction > 0)) return "Paper:\nDefault size";
  const Sheet sheet = sheetOfCode(g.sheetCode);
  const double width = sheet.width * g.widthFraction;
  const double length = sheet.length * g.lengthFraction;
  char text[96];
  if (inch)
    std::snprintf(text, sizeof text, "Paper Size:\n%4.2f x %4.2f inch\n", width * 0.003937,
                  length * 0.003937);
  else
    std::snprintf(text, sizeof text, "Paper Size:\n%4.0f x %4.0f mm\n", width * 0.1,
                  length * 0.1);
  return text;
}

bool printDialogLandscape(int layout, bool layoutLandscape, bool twoOnOne,
                          bool envelopeLandscape) noexcept {
  if (normalizeLayoutCommand(layout) == kEnvelopeLayout) return envelopeLandscape;
  return layoutLandscape || twoOnOne;
}

bool pageListsEnabled(int count) noexcept { return count > 1; }

bool printModesEnabled(int count, int layout) noexcept {
  layout = normalizeLayoutCommand(layout);
  return count > 1 && layout != kEnvelopeLayout && layout != kLabelsLayout;
}

int PrintPlan::sheets() const noexcept {
  int n = 0;
  for (const auto& pass : passes) n += static_cast<int>(pass.size());
  return n;
}

PageJob jobForRange(PageJob job, const PrintRange& range) {
  job.printMode = range.mode;
  return job;
}

PrintPlan planPrint(const PageJob& job, const PrintRange& range, int copies) {
  PrintPlan plan;
  const int step = range.mode == printMode::kDefault ? 1 : 2;
  std::vector<int> front;
  for (int s = range.first; s <= range.last; s += step) front.push_back(s);
  std::vector<std::vector<int>> passes{front};
  if (range.mode == printMode::kDoubleSided) {
    std::vector<int> back;
    if (twoOnOneActive(job)) {
      // Every front gets its back, blank or not, so the turned stack lines up.
      for (int s : front) back.push_back(s + 1);
    } else {
      for (int s = range.first + 1; s <= range.last; s += 2) back.push_back(s);
    }
    passes.push_back(back);
  }
  copies = std::max(1, copies);
  for (const auto& pass : passes) {
    std::vector<int> repeated;
    for (int c = 0; c < copies; ++c) repeated.insert(repeated.end(), pass.begin(), pass.end());
    plan.passes.push_back(std::move(repeated));
  }
  return plan;
}

Mapping printerMappingFor(int layout, bool sheetLandscape, PointF deviceSize,
                          PointF dotsPerInch) noexcept {
  if (isAddressBookLayout(normalizeLayoutCommand(layout)))
    return printerSheetMapping(sheetLandscape, {0, 0}, deviceSize);
  return Mapping::hundredthsOfInch(dotsPerInch, {0, 0}, true);
}

PassResult printPass(const PageJob& job, const std::vector<int>& sheets, SheetOutput& out,
                     bool& started, const std::function<bool(int)>& keepGoing) {
  PassResult result;
  const int drawn = twoOnOneActive(job) ? printableCount(job, job.printMode) : job.count.pages;
  for (int sheet : sheets) {
    if (started && !out.nextSheet()) {
      result.error = out.error();
      return result;
    }
    started = true;
    // A sheet past the end (the back of a last front two on one) stays blank.
    // The printer's own error is corrected on paper only: the view draws without it.
    const Mapping mapping = layoutTakesPrinterOffset(job.settings.layout)
                                ? offsetSheetMapping(out.sheetMapping(), job.printerOffset)
                                : out.sheetMapping();
    if (sheet >= 1 && sheet <= drawn) renderSheet(out.canvas(), mapping, job, sheet);
    ++result.sheets;
    if (!out.error().empty()) {
      result.error = out.error();
      return result;
    }
    if (keepGoing && !keepGoing(result.sheets) && result.sheets < static_cast<int>(sheets.size())) {
      result.aborted = true;
      return result;
    }
  }
  return result;
}

}  // namespace mv
