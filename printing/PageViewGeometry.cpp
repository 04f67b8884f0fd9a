#include "printing/PageViewGeometry.h"

#include "printing/LayoutCatalogue.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mv {
namespace {

double hundredths(double zoom) noexcept { return std::round(zoom * 100) / 100; }

}  // namespace

bool isZoomCommand(int command) noexcept {
  return command == cmd::kZoomIn || command == cmd::kZoomOut ||
         (command >= cmd::kZoom50 && command <= cmd::kZoom100);
}

double zoomAfter(int command, double zoom) noexcept {
  zoom = hundredths(zoom);
  switch (command) {
    case cmd::kZoomIn: return zoom < 3.0 ? hundredths(zoom + 0.1) : zoom;
    case cmd::kZoomOut: return zoom > 0.2 ? hundredths(zoom - 0.1) : zoom;
    case cmd::kZoom50: return 0.5;
    case cmd::kZoom80: return 0.8;
    case cmd::kZoom90: return 0.9;
    case cmd::kZoom100: return 1.0;
    default: return zoom;
  }
}

bool zoomCommandEnabled(int command, double zoom) noexcept {
  zoom = hundredths(zoom);
  if (command == cmd::kZoomIn) return zoom < 1.9;
  if (command == cmd::kZoomOut) return zoom > 0.3;
  return isZoomCommand(command);
}

ScrollRanges scrollRanges(int layout, bool landscape, double zoom, int clientWidth,
                          int clientHeight) noexcept {
  double width = 810;
  double height = normalizeLayoutCommand(layout) == kEnvelopeLayout ? 400 : 1090;
  if (landscape) std::swap(width, height);
  auto range = [](double page, int client) {
    return page <= client ? 0 : static_cast<int>(page - client + 20);
  };
  return {range(width * zoom, clientWidth), range(height * zoom, clientHeight)};
}

Size sheetOutlineSize(int layout, int sheetCode, bool landscape) noexcept {
  layout = normalizeLayoutCommand(layout);
  Size size{kLogicalPageWidth, kLogicalPageHeight};
  if (layout == kEnvelopeLayout) {
    size = {760, 420};
  } else if (layout == kLabelsLayout) {
    size = {850, 1100};
  } else {
    if (sheetCode == kA4Sheet.code) size.height = 1081;
    if (sheetCode == kLegalSheet.code) size.height = 1260;
  }
  if (landscape) {
    size.height += 20;
    std::swap(size.width, size.height);
  }
  return size;
}

PointF sheetExtent(bool sheetLandscape) noexcept {
  return sheetLandscape ? PointF{kLogicalPageHeight, kLogicalPageWidth}
                        : PointF{kLogicalPageWidth, kLogicalPageHeight};
}

Mapping screenSheetMapping(bool sheetLandscape, double zoom) noexcept {
  const PointF extent = sheetExtent(sheetLandscape);
  return Mapping{{0, 0}, extent, {kViewMargin, kViewMargin}, {extent.x * zoom, extent.y * zoom}};
}

Mapping printerSheetMapping(bool sheetLandscape, PointF deviceOrigin, PointF deviceSize) noexcept {
  const PointF extent = sheetExtent(sheetLandscape);
  return Mapping::scaledPage(extent.x, extent.y, deviceOrigin, deviceSize);
}

PageMappings placePage(const Mapping& sheet, const PageGeometry& g,
                       const PagePlacement& p) noexcept {
  Mapping m = sheet;
  const double width = m.windowExtent.x;
  const double height = m.windowExtent.y;
  const bool twoOnOne = g.twoOnOneActive();
  double widthFraction = 1;
  double offsetX = 0;
  if (p.placesPageSize && g.placesPage()) {
    widthFraction = g.widthFraction;
    double lengthFraction = g.lengthFraction;
    // The logical sheet has Letter's proportions; on a landscape A4 sheet these bring the
    // page back to its size.
    if (p.sheetLandscape && g.sheetCode == kA4Sheet.code) {
      widthFraction /= 1.1;
      lengthFraction *= 1.06;
    }
    const bool evenPage = p.pageNumber % 2 == 0;
    const double left = g.mirror && evenPage ? g.evenLeftFraction : g.leftFraction;
    offsetX = std::round(width * left / widthFraction) + (twoOnOne ? 25 : 0);
    const double offsetY = std::round(height * g.topFraction / lengthFraction);
    m.windowOrigin = {m.windowOrigin.x - offsetX, m.windowOrigin.y - offsetY};
    m.windowExtent = {width / widthFraction, height / lengthFraction};
  }
  if (p.rightHalf) {
    // The second page starts a page width and a little more to the right, plus the gap.
    const double gap = g.placesPage() ? width * (g.gapFraction / widthFraction) : 0;
    m.windowOrigin.x -= 790 + gap;
  }
  if (p.headingRoom > 0) m.windowExtent.y += p.headingRoom;
  PageMappings out{m, m};
  out.body.windowOrigin.y -= p.headingRoom;
  return out;
}

int sheetCount(int pageCount) noexcept { return std::max(1, (pageCount + 1) / 2); }

int sheetOfPage(int page) noexcept { return (std::max(1, page) + 1) / 2; }

SheetPages pagesOnSheet(int sheet, int pageCount, int printMode) noexcept {
  auto exists = [pageCount](int page) { return page >= 1 && page <= pageCount ? page : 0; };
  if (sheet < 1) return {};
  if (printMode < 1 || printMode > 3) return {exists(2 * sheet - 1), exists(2 * sheet)};
  const int first = sheet % 2 == 1 ? 2 * sheet - 1 : 2 * sheet - 2;
  const int second = first + 2;
  if (sheet % 2 == 1) return {exists(first), exists(second)};
  return {exists(second), exists(first)};
}

}  // namespace mv
