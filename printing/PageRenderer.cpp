#include "printing/PageRenderer.h"

namespace mv {
namespace {

void drawOnePage(Canvas& canvas, const Mapping& sheet, const PageJob& job, int page,
                 bool rightHalf) {
  const AddressPageSettings& s = job.settings;
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

PageCount countJobPages(const PageJob& job) noexcept {
  const EntryCounts counts = job.book ? job.book->counts() : EntryCounts{};
  return countPages(counts, job.settings.layout, job.settings.labelEachPage, 0);
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
