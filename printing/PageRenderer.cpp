#include "printing/PageRenderer.h"

#include <cmath>

namespace mv {
namespace {

// Labels and envelopes are laid out in hundredths of an inch from the sheet's corner: on
// the screen the sheet's units are those already; on the printer they follow its
// resolution.
void drawInchSheet(Canvas& canvas, const Mapping& sheet, const PageJob& job, int page) {
  const Mapping m =
      canvas.onPrinter()
          ? Mapping::hundredthsOfInch(canvas.device().dotsPerInch, sheet.viewportOrigin, false)
          : sheet;
  if (!canvas.setMapping(m)) return;
  if (job.calibrationFor) {
    const Sheet paper = sheetOfCode(job.geometry.sheetCode);
    drawCalibrationSheet(canvas, static_cast<int>(std::lround(paper.width / 2.54)),
                         static_cast<int>(std::lround(paper.length / 2.54)), *job.calibrationFor,
                         job.printerOffset);
    return;
  }
  static const PageBook kEmpty;
  const PageBook& book = job.book ? *job.book : kEmpty;
  if (normalizeLayoutCommand(job.settings.layout) == kEnvelopeLayout)
    drawEnvelopePage(canvas, job.envelope, book, page, job.settings.hideAddresses);
  else
    drawLabelsPage(canvas, job.labels, job.labelGrid, book, page, job.settings.hideAddresses);
}

void drawOnePage(Canvas& canvas, const Mapping& sheet, const PageJob& job, int page,
                 bool rightHalf) {
  const AddressPageSettings& s = job.settings;
  if (const int layout = normalizeLayoutCommand(s.layout);
      layout == kLabelsLayout || layout == kEnvelopeLayout) {
    drawInchSheet(canvas, sheet, job, page);
    return;
  }
  const int room = headingRoom(canvas, s.heading, s.layout);
  const PageMappings m =
      placePage(sheet, job.geometry,
                {page, jobSheetLandscape(job), rightHalf, isAddressBookLayout(s.layout), room});
  const Rect frame = contentFrame(s.layout, s.headingY1);
  if (!canvas.setMapping(m.heading)) return;
  drawHeading(canvas, s.heading, frame, s.headingY1);
  if (!canvas.setMapping(m.body)) return;
  static const PageBook kEmpty;
  drawAddressPage(canvas, s, job.book ? *job.book : kEmpty, job.count, page);
  drawFootnote(canvas, s.footnote, frame);
}

}  // namespace

PageJob pageJobFor(const AppState& state, AddressPageSettings settings, const PageBook* book) {
  PageJob job;
  job.settings = std::move(settings);
  job.settings.layout = normalizeLayoutCommand(state.layout);
  job.settings.labelEachPage = state.labelEachPage;
  job.settings.hideAddresses = state.hideAddresses;
  job.book = book;
  job.geometry = state.geometry;
  job.printMode = state.printMode;
  job.labelGrid = state.labelGrid;
  job.count = countJobPages(job);
  return job;
}

namespace {
bool twoOnOneIn(const AppState& state) noexcept {
  PageGeometry g = state.geometry;
  g.twoOnOneAllowed = isAddressBookLayout(normalizeLayoutCommand(state.layout));
  return g.twoOnOneActive();
}
}  // namespace

int currentSheet(const AppState& state) noexcept {
  return twoOnOneIn(state) ? sheetOfPage(state.page) : state.page;
}

std::string pageIndicator(const AppState& state) {
  std::string text =
      "Page " + std::to_string(state.page) + " of " + std::to_string(state.pageCount);
  if (twoOnOneIn(state))
    text += ", sheet " + std::to_string(currentSheet(state)) + " of " +
            std::to_string(sheetCount(state.pageCount));
  return text;
}

PageCount countJobPages(const PageJob& job) noexcept {
  const EntryCounts counts = job.book ? job.book->counts() : EntryCounts{};
  const LabelDimensions& d = job.labels.dimensions;
  return countPages(counts, job.settings.layout, job.settings.labelEachPage,
                    job.labelGrid.countInUse(d.across, d.down));
}

void useLabelSettings(PageJob& job, LabelPageSettings labels) {
  job.labels = std::move(labels);
  if (normalizeLayoutCommand(job.settings.layout) == kLabelsLayout)
    job.geometry.sheetCode = labelSheetOf(job.labels.product).width == kA4Sheet.width
                                 ? kA4Sheet.code
                                 : kLetterSheet.code;
  job.count = countJobPages(job);
}

std::vector<std::string> labelsThatDoNotFit(const PageJob& job) {
  if (normalizeLayoutCommand(job.settings.layout) != kLabelsLayout || !job.book) return {};
  return labelsThatDoNotFit(job.labels, job.labelGrid, *job.book, job.settings.hideAddresses);
}

bool twoOnOneActive(const PageJob& job) noexcept {
  PageGeometry g = job.geometry;
  g.twoOnOneAllowed = isAddressBookLayout(normalizeLayoutCommand(job.settings.layout));
  return g.twoOnOneActive();
}

bool jobSheetLandscape(const PageJob& job) noexcept {
  return sheetLandscape(job.layoutLandscape, twoOnOneActive(job));
}

int jobSheetCount(const PageJob& job) noexcept {
  return twoOnOneActive(job) ? sheetCount(job.count.pages) : job.count.pages;
}

void drawSheetOutline(Canvas& canvas, const Size& size) {
  canvas.save();
  canvas.setPen(Pen::none());
  canvas.setBrush(Brush::solid({96, 96, 96}));
  canvas.drawRect({size.width, kSheetShadow, size.width + kSheetShadow, size.height + kSheetShadow});
  canvas.drawRect({kSheetShadow, size.height, size.width + kSheetShadow, size.height + kSheetShadow});
  canvas.setPen(Pen{});
  canvas.setBrush(Brush::solid({255, 255, 255}));
  canvas.drawRect({0, 0, size.width, size.height});
  canvas.restore();
}

void renderSheet(Canvas& canvas, const Mapping& sheetMapping, const PageJob& job, int sheet) {
  const bool landscape = jobSheetLandscape(job);
  if (!canvas.setMapping(sheetMapping)) return;
  if (!canvas.onPrinter())
    drawSheetOutline(canvas, sheetOutlineSize(job.settings.layout, job.geometry.sheetCode,
                                              landscape));
  PageJob placed = job;
  placed.geometry.twoOnOneAllowed = isAddressBookLayout(normalizeLayoutCommand(job.settings.layout));
  if (!twoOnOneActive(job)) {
    drawOnePage(canvas, sheetMapping, placed, sheet, false);
  } else {
    const SheetPages pages = pagesOnSheet(sheet, job.count.pages, job.printMode);
    if (pages.left) drawOnePage(canvas, sheetMapping, placed, pages.left, false);
    if (pages.right) drawOnePage(canvas, sheetMapping, placed, pages.right, true);
  }
  (void)canvas.setMapping(sheetMapping);
}

}  // namespace mv
