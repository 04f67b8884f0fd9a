// The page view's arithmetic: zoom limits, scroll ranges, the sheet outline, a page's
// place on the sheet and the pages that share a sheet two on one.
#include "printing/PageViewGeometry.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(PageViewGeometry, zoomStepsAndLimits) {
  struct Row {
    int command;
    double zoom;
    double after;
    bool enabled;
  };
  const Row rows[] = {
      {cmd::kZoomIn, 1.8, 1.9, true},
      {cmd::kZoomIn, 1.9, 2.0, false},   // disabled from 1.9, though the step would still work
      {cmd::kZoomIn, 2.95, 3.05, false},
      {cmd::kZoomIn, 3.0, 3.0, false},   // no step from 3.0
      {cmd::kZoomOut, 0.4, 0.3, true},
      {cmd::kZoomOut, 0.3, 0.2, false},  // disabled from 0.3
      {cmd::kZoomOut, 0.2, 0.2, false},  // no step from 0.2
      {cmd::kZoom50, 1.7, 0.5, true},
      {cmd::kZoom80, 0.2, 0.8, true},
      {cmd::kZoom90, 3.0, 0.9, true},
      {cmd::kZoom100, 0.5, 1.0, true},
      {56, 0.7, 0.7, false},        // not a zoom command
  };
  for (const Row& r : rows) {
    EXPECT_DOUBLE_EQ(zoomAfter(r.command, r.zoom), r.after) << r.command << " " << r.zoom;
    EXPECT_EQ(zoomCommandEnabled(r.command, r.zoom), r.enabled) << r.command << " " << r.zoom;
  }
  // Steps do not drift: from 0.8, eleven steps in reach exactly 1.9 and stop there.
  double zoom = 0.8;
  int steps = 0;
  while (zoomCommandEnabled(cmd::kZoomIn, zoom)) {
    zoom = zoomAfter(cmd::kZoomIn, zoom);
    ++steps;
  }
  EXPECT_EQ(steps, 11);
  EXPECT_DOUBLE_EQ(zoom, 1.9);
}

TEST(PageViewGeometry, scrollRangesAndOutline) {
  EXPECT_EQ(scrollRanges(1076, false, 1.0, 500, 600), (ScrollRanges{330, 510}));
  EXPECT_EQ(scrollRanges(1076, false, 0.5, 500, 600), (ScrollRanges{0, 0}));  // fits
  EXPECT_EQ(scrollRanges(1079, false, 1.0, 900, 300), (ScrollRanges{0, 120}));
  EXPECT_EQ(scrollRanges(1076, true, 1.0, 900, 900), (ScrollRanges{210, 0}));

  struct Row {
    int layout;
    int sheetCode;
    bool landscape;
    Size size;
  };
  const Row rows[] = {
      {1076, -1, false, {765, 995}},   // no page settings: Letter's shape
      {1076, 1, false, {765, 995}},
      {1074, 9, false, {765, 1081}},
      {1078, 5, false, {765, 1260}},
      {1076, 1, true, {1015, 765}},    // two on one turns the sheet
      {1079, 1, false, {760, 420}},
      {1080, 9, false, {850, 1100}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(sheetOutlineSize(r.layout, r.sheetCode, r.landscape), r.size) << r.layout;
}

PageGeometry fourBySixOnLetter(bool mirror) {
  PageGeometry g;
  g.sheetCode = 1;
  g.widthFraction = 1016.0 / 2159;
  g.lengthFraction = 1524.0 / 2794;
  g.leftFraction = 254.0 / 2159;      // 1 in
  g.evenLeftFraction = 508.0 / 2159;  // 2 in
  g.topFraction = 127.0 / 2794;       // half an inch
  g.mirror = mirror;
  g.twoOnOneAllowed = true;
  return g;
}

// At zoom 1 one logical unit is one pixel, so the 8.5 in sheet is 765 pixels: 90 per inch.
TEST(PageViewGeometry, pagePlacementWithMirrorMargins) {
  struct Row {
    bool mirror;
    int page;
    double leftInches;
  };
  const Row rows[] = {
      {true, 1, 1.0}, {true, 2, 2.0},  // even pages take the even-page margin
      {true, 3, 1.0}, {false, 2, 1.0},
  };
  const Mapping sheet = screenSheetMapping(false, 1.0);
  for (const Row& r : rows) {
    const PageMappings m =
        placePage(sheet, fourBySixOnLetter(r.mirror), {r.page, false, false, true, 0});
    const PointF topLeft = m.body.toDevice({0, 0});
    const PointF bottomRight = m.body.toDevice({765, 995});
    EXPECT_NEAR(topLeft.x, 10 + 90 * r.leftInches, 0.6) << r.page;
    EXPECT_NEAR(topLeft.y, 10 + 45, 0.6) << r.page;
    EXPECT_NEAR(bottomRight.x - topLeft.x, 4 * 90, 0.6) << r.page;  // the page's true size
    EXPECT_NEAR(bottomRight.y - topLeft.y, 6 * 90 * 995.0 / 990, 1) << r.page;
  }
}

TEST(PageViewGeometry, headingRoomAndNoPageSize) {
  const Mapping sheet = screenSheetMapping(false, 1.0);
  const PageMappings m = placePage(sheet, PageGeometry{}, {1, false, false, true, 30});
  // The page keeps the sheet's height; 30 units are added above the layout.
  EXPECT_EQ(m.heading.windowExtent, (PointF{765, 1025}));
  EXPECT_EQ(m.heading.toDevice({0, 0}), (PointF{10, 10}));
  EXPECT_DOUBLE_EQ(m.body.toDevice({0, 0}).y, 10 + 30 * 995.0 / 1025);
  EXPECT_DOUBLE_EQ(m.body.toDevice({0, 1025 - 30}).y, 10 + 995);
  // Envelope and labels fill the sheet whatever the page settings say.
  const PageMappings env = placePage(sheet, fourBySixOnLetter(true), {2, false, false, false, 0});
  EXPECT_EQ(env.body, sheet);
}

TEST(PageViewGeometry, twoOnOnePlacement) {
  PageGeometry g = fourBySixOnLetter(false);
  g.twoOnOne = true;
  g.gapFraction = 254.0 / 2159;
  ASSERT_TRUE(sheetLandscape(false, g.twoOnOneActive()));
  const Mapping sheet = screenSheetMapping(true, 1.0);
  const PageMappings left = placePage(sheet, g, {1, true, false, true, 0});
  const PageMappings right = placePage(sheet, g, {2, true, true, true, 0});
  const double x1 = left.body.toDevice({0, 0}).x;
  const double x2 = right.body.toDevice({0, 0}).x;
  // The right page is 790 page units and the gap further on.
  EXPECT_NEAR(x2 - x1, (790 + 995 * (254.0 / 1016)) * left.body.scaleX(), 1e-9);

  // On a landscape A4 sheet the fractions are corrected for the sheet's proportions.
  g.sheetCode = 9;
  g.widthFraction = 1016.0 / 2100;
  g.lengthFraction = 1524.0 / 2970;
  const PageMappings a4 = placePage(sheet, g, {1, true, false, true, 0});
  EXPECT_DOUBLE_EQ(a4.body.windowExtent.x, 995 / (1016.0 / 2100 / 1.1));
  EXPECT_DOUBLE_EQ(a4.body.windowExtent.y, 765 / (1524.0 / 2970 * 1.06));
  const PageMappings portrait = placePage(screenSheetMapping(false, 1.0), g, {1, false, false, true, 0});
  EXPECT_DOUBLE_EQ(portrait.body.windowExtent.x, 765 / (1016.0 / 2100));
}

TEST(PageViewGeometry, pagesOnASheet) {
  EXPECT_EQ(sheetCount(5), 3);  // the odd last page gets a sheet of its own
  EXPECT_EQ(sheetCount(26), 13);
  EXPECT_EQ(sheetCount(27), 14);
  EXPECT_EQ(sheetCount(1), 1);
  EXPECT_EQ(sheetOfPage(5), 3);
  EXPECT_EQ(sheetOfPage(4), 2);
  EXPECT_EQ(sheetOfPage(1), 1);

  struct Row {
    int sheet;
    int pages;
    int mode;
    SheetPages expected;
  };
  const Row rows[] = {
      {1, 5, 0, {1, 2}},
      {3, 5, 0, {5, 0}},  // only pages that exist are drawn
      {4, 5, 0, {0, 0}},
      {1, 4, 1, {1, 3}},  // booklet order: cut in the middle, the halves read 1-2, 3-4
      {2, 4, 1, {4, 2}},
      {3, 5, 3, {5, 0}},
      {2, 3, 2, {0, 2}},
      {4, 5, 1, {0, 0}},
      {0, 5, 0, {0, 0}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(pagesOnSheet(r.sheet, r.pages, r.mode), r.expected) << r.sheet << "/" << r.pages;
}

}  // namespace
}  // namespace mv
