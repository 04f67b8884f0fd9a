// What a print job prints: the range the dialog settles, the sheets of every mode and
// pass, and the order of the pages in the PDF file, read back with a PDF reader.
#include "printing/PrintJob.h"
#include "printing/render/PdfExport.h"
#include "printing/render/QPainterCanvas.h"

#include "support/PdfText.h"
#include "support/TestDir.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace mv {
namespace {

PageGeometry twoOnOneGeometry() {
  PageGeometry g;
  g.sheetCode = 1;
  g.widthFraction = 1016.0 / 2159;
  g.lengthFraction = 1524.0 / 2794;
  g.twoOnOne = true;
  return g;
}

PageJob jobOf(int pages, bool twoOnOne) {
  PageJob job;
  job.settings.layout = 1076;
  job.count.pages = pages;
  if (twoOnOne) job.geometry = twoOnOneGeometry();
  return job;
}

TEST(PrintJob, theDialogsRangeAndItsRefusals) {
  struct Row {
    PrintChoice choice;
    int count;
    PrintRange range;
    const char* refusal;
  };
  const Row rows[] = {
      {{false, 5, 5, 0}, 26, {5, 5, 0}, nullptr},    // opened on page 5: page 5 only
      {{true, 5, 5, 0}, 26, {1, 26, 0}, nullptr},    // "All"
      {{false, 3, 10, 2}, 26, {4, 10, 2}, nullptr},  // even pages start on an even page
      {{false, 3, 9, 3}, 26, {3, 9, 3}, nullptr},
      {{false, 20, 40, 0}, 26, {20, 26, 0}, nullptr},  // the range ends on the last page
      {{false, 4, 4, 3}, 26, {}, "There is no odd page in this range"},
      {{false, 7, 7, 2}, 26, {}, "There is no even page in this range"},
      {{false, 26, 26, 3}, 26, {}, "There is no odd page in this range"},
      {{true, 1, 1, 1}, 1, {}, "Not enough pages for\nDouble-Sided printing"},
      {{false, 6, 6, 1}, 26, {}, "Not enough pages for\nDouble-Sided printing"},
      {{false, 6, 7, 1}, 26, {6, 7, 1}, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.choice.first) + "-" + std::to_string(r.choice.last) +
                 " mode " + std::to_string(r.choice.mode));
    const SettledRange s = settlePrintRange(r.choice, r.count);
    if (r.refusal) {
      ASSERT_TRUE(s.refusal.has_value());
      EXPECT_EQ(*s.refusal, r.refusal);
    } else {
      EXPECT_FALSE(s.refusal.has_value());
      EXPECT_EQ(s.range, r.range);
    }
  }
}

TEST(PrintJob, twoOnOneCountsSheetsAndKeepsTheLastPages) {
  struct Row {
    int pages;
    int defaultSheets;
    int bookletSheets;
  };
  const Row rows[] = {{26, 13, 14}, {27, 14, 14}, {5, 3, 4}, {4, 2, 2}, {1, 1, 2}};
  for (const Row& r : rows) {
    EXPECT_EQ(printableCount(jobOf(r.pages, true), 0), r.defaultSheets) << r.pages;
    EXPECT_EQ(printableCount(jobOf(r.pages, true), 1), r.bookletSheets) << r.pages;
    EXPECT_EQ(printableCount(jobOf(r.pages, false), 1), r.pages) << r.pages;
  }
}

TEST(PrintJob, dialogTextsFollowTheLayoutAndThePageSettings) {
  EXPECT_EQ(printDialogTitle(1079), "Print Envelope");
  EXPECT_EQ(printDialogTitle(1080), "Print Labels");
  EXPECT_EQ(printDialogTitle(1077), "Print Addressbook");
  EXPECT_EQ(allPagesCaption(26), "All (Pages 1  to  26)");
  EXPECT_EQ(allPagesCaption(1), "All");
  // What a finished print says, one page or more.
  EXPECT_EQ(printedMessage(1, "/tmp/a.pdf", true), "Printed 1 page to /tmp/a.pdf");
  EXPECT_EQ(printedMessage(12, "Office", false), "Sent 12 pages to Office");
  EXPECT_EQ(paperSizeText(PageGeometry{}, true), "Paper:\nDefault size");
  PageGeometry g = twoOnOneGeometry();  // 4 x 6 inch on Letter
  EXPECT_EQ(paperSizeText(g, true), "Paper Size:\n4.00 x 6.00 inch\n");
  EXPECT_EQ(paperSizeText(g, false), "Paper Size:\n 102 x  152 mm\n");
  EXPECT_TRUE(printDialogLandscape(1076, false, true, false));   // two on one
  EXPECT_FALSE(printDialogLandscape(1079, false, true, false));  // the envelope's own
  EXPECT_TRUE(printDialogLandscape(1079, false, false, true));
  EXPECT_FALSE(printModesEnabled(5, 1080));
  EXPECT_FALSE(printModesEnabled(1, 1076));
  EXPECT_TRUE(printModesEnabled(2, 1076));
}

// The book: entries called Pg1 on page 1, Pg2 on page 2 and so on (5 a page).
std::vector<AddressRecord> pagedEntries(int pages) {
  std::vector<AddressRecord> out;
  for (int p = 1; p <= pages; ++p)
    for (int i = 0; i < (p == pages ? 4 : 5); ++i) {
      AddressRecord r;
      r[FieldId::First] = "Pg" + std::to_string(p);
      r[FieldId::Last] = std::string(1, char('a' + i));
      out.push_back(r);
    }
  return out;
}

// Each PDF page as the pages it shows, left to right: "4 2" for a sheet with 4 on the
// left and 2 on the right, "" for a blank sheet.
std::string pageOrder(const std::filesystem::path& pdf) {
  std::string out;
  static const QRegularExpression name("Pg(\\d+)");
  const std::vector<std::string> pages = test::pdfPages(pdf);
  for (size_t p = 0; p < pages.size(); ++p) {
    const std::string& page = pages[p];
    std::vector<std::string> seen;
    auto it = name.globalMatch(QString::fromStdString(page));
    while (it.hasNext()) {
      const std::string n = it.next().captured(1).toStdString();
      if (std::find(seen.begin(), seen.end(), n) == seen.end()) seen.push_back(n);
    }
    if (p > 0) out += "|";
    for (size_t i = 0; i < seen.size(); ++i) out += (i ? " " : "") + seen[i];
  }
  return out;
}

TEST(PrintJob, everyModeInThePdfWithAndWithoutTwoOnOne) {
  test::TestDir dir;
  const PageBook book(pagedEntries(5), 0);
  struct Row {
    bool twoOnOne;
    int mode;
    int copies;
    const char* order;  // PDF pages, | between them
  };
  const Row rows[] = {
      {false, 0, 1, "1|2|3|4|5"},
      {false, 1, 1, "1|3|5|2|4"},  // fronts, then backs: the last front has no back
      {false, 2, 1, "2|4"},
      {false, 3, 1, "1|3|5"},
      {false, 0, 2, "1|2|3|4|5|1|2|3|4|5"},
      {true, 0, 1, "1 2|3 4|5"},
      // Booklet order: cut in the middle, the halves read 1-2, 3-4, 5; the back of the
      // last front is blank so the turned stack lines up.
      {true, 1, 1, "1 3|5|4 2|"},
      {true, 2, 1, "4 2|"},
      {true, 3, 1, "1 3|5"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.twoOnOne ? "two on one" : "one a sheet") + ", mode " +
                 std::to_string(r.mode));
    PageJob job;
    job.settings.layout = 1078;
    job.book = &book;
    job.count = countJobPages(job);
    ASSERT_EQ(job.count.pages, 5);
    if (r.twoOnOne) job.geometry = twoOnOneGeometry();
    const SettledRange settled = settlePrintRange({true, 1, 1, r.mode}, printableCount(job, r.mode));
    ASSERT_FALSE(settled.refusal);
    job = jobForRange(job, settled.range);
    const auto file = dir / "out.pdf";
    const PrintPlan plan = planPrint(job, settled.range, r.copies);
    const PdfResult written = writePlanPdf(job, plan, file, 72);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.sheets, plan.sheets());
    EXPECT_EQ(pageOrder(file), r.order);
  }
}

// Where the first entry's name stands, in points from the top of the PDF page.
double nameTop(const std::filesystem::path& pdf) {
  const std::vector<std::string> pages = test::pdfPages(pdf, {"-bbox"});
  if (pages.empty()) return -1;
  static const QRegularExpression word("yMin=\"([0-9.]+)\"[^>]*>Pg1<");
  const auto m = word.match(QString::fromStdString(pages.front()));
  return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

QImage preview(const PageJob& job) {
  QImage image(900, 1100, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QPainter painter(&image);
  QPainterCanvas canvas(painter, CanvasTarget::Screen);
  renderSheet(canvas, screenSheetMapping(false, 1.0), job, 1);
  return image;
}

TEST(PrintJob, textOffsetMovesPrintedTextButNotThePreview) {
  test::TestDir dir;
  const PageBook book(pagedEntries(2), 0);
  PageJob job;
  job.settings.layout = 1078;
  job.book = &book;
  job.count = countJobPages(job);
  ASSERT_TRUE(writePagesPdf(job, 1, 1, dir / "plain.pdf", 72).ok);
  const QImage plain = preview(job);
  job.settings.textoutYOffset = 5;
  ASSERT_TRUE(writePagesPdf(job, 1, 1, dir / "moved.pdf", 72).ok);
  const double before = nameTop(dir / "plain.pdf");
  ASSERT_GT(before, 0);
  // 5 logical units of 995 over an 11-inch page: about 4 points.
  EXPECT_NEAR(nameTop(dir / "moved.pdf") - before, 5 * 792.0 / 995, 0.5);
  EXPECT_EQ(preview(job), plain);
}

TEST(PrintJob, aPassStopsAtThePageBoundaryWhenAskedTo) {
  // A stand-in printer that counts its pages and fails on the fourth when told to.
  struct Counting final : SheetOutput {
    explicit Counting(int failAt) : failAt(failAt) {}
    bool nextSheet() override {
      ++pages;
      if (pages == failAt) failed = "paper jam";
      return failed.empty();
    }
    Canvas& canvas() override { return painterCanvas; }
    Mapping sheetMapping() override { return printerSheetMapping(false, {0, 0}, {765, 995}); }
    std::string error() const override { return failed; }
    int failAt;
    int pages = 1;
    std::string failed;
    QImage image{765, 995, QImage::Format_RGB32};
    QPainter painter{&image};
    QPainterCanvas painterCanvas{painter, CanvasTarget::Printer};
  };
  const PageJob job = jobOf(5, false);
  const std::vector<int> sheets{1, 2, 3, 4, 5};
  {
    Counting out(0);
    bool started = false;
    const PassResult r = printPass(job, sheets, out, started, [](int done) { return done < 2; });
    EXPECT_EQ(r.sheets, 2);
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(out.pages, 2);
  }
  {
    Counting out(4);
    bool started = false;
    const PassResult r = printPass(job, sheets, out, started);
    EXPECT_EQ(r.sheets, 3);
    EXPECT_EQ(r.error, "paper jam");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(printingFailedMessage(r.error), "Printing failed: paper jam");
  }
}

}  // namespace
}  // namespace mv
