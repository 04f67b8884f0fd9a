// A printer's offset: kept per printer, refused when it does not read, and applied to the
// printed label and envelope pages only.
#include "printing/PrinterCalibration.h"

#include "printing/PrintJob.h"
#include "printing/render/PdfExport.h"
#include "printing/render/QPainterCanvas.h"
#include "settings/Profile.h"

#include "support/PdfText.h"
#include "support/TestDir.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(PrinterCalibration, offsetsReadOnlyAsTwoWholeNumbersWithinAnInch) {
  struct Row {
    const char* text;
    std::optional<PrinterOffset> offset;
  };
  const Row rows[] = {
      {"5,-3", PrinterOffset{5, -3}},
      {" 5 , -3 ", PrinterOffset{5, -3}},
      {"100,-100", PrinterOffset{100, -100}},
      {"0,0", PrinterOffset{}},
      {"101,0", std::nullopt},    // past an inch
      {"0,-101", std::nullopt},
      {"5", std::nullopt},        // one number
      {"5,3,1", std::nullopt},    // three
      {"5.5,1", std::nullopt},    // hundredths are whole
      {"a,b", std::nullopt},
      {",", std::nullopt},
      {"", std::nullopt},
      {"99999999999999999999,0", std::nullopt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(parsePrinterOffset(r.text), r.offset);
  }
  EXPECT_EQ(formatPrinterOffset({-7, 12}), "-7,12");
}

TEST(PrinterCalibration, eachPrinterKeepsItsOwnOffset) {
  test::TestDir dir;
  const auto ini = dir / "mervane.ini";
  test::writeFile(ini, "[Labels]\nType1=1\n");
  EXPECT_EQ(writePrinterOffset(ini, "Laser", {5, -3}), OffsetWrite::Saved);
  EXPECT_EQ(writePrinterOffset(ini, "Laser 2", {-10, 20}), OffsetWrite::Saved);
  EXPECT_EQ(writePrinterOffset(ini, "PDF", {1, 1}), OffsetWrite::Saved);
  EXPECT_EQ(writePrinterOffset(ini, "Laser", {6, -3}), OffsetWrite::Saved);
  EXPECT_EQ(readPrinterOffset(ini, "Laser"), (PrinterOffset{6, -3}));
  EXPECT_EQ(readPrinterOffset(ini, "Laser 2"), (PrinterOffset{-10, 20}));
  EXPECT_EQ(readPrinterOffset(ini, "PDF"), (PrinterOffset{1, 1}));
  EXPECT_EQ(readPrinterOffset(ini, "Inkjet"), PrinterOffset{});
  EXPECT_EQ(test::readFile(ini),
            "[Labels]\nType1=1\n\n[Printer Calibration]\nLaser=6,-3\nLaser 2=-10,20\nPDF=1,1\n");
  // Names the file cannot hold as keys are refused, and nothing is written.
  for (const char* bad : {"", "a=b", ";x", "[x]", " lead", "line\nbreak"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(isStorablePrinterName(bad));
    EXPECT_EQ(writePrinterOffset(ini, bad, {1, 2}), OffsetWrite::BadName);
  }
  EXPECT_EQ(test::readFile(ini).find("a=b"), std::string::npos);
  // A hand-edited value that does not read counts as no offset.
  test::writeFile(ini, "[Printer Calibration]\nLaser=far,away\nWide=500,0\n");
  EXPECT_EQ(readPrinterOffset(ini, "Laser"), PrinterOffset{});
  EXPECT_EQ(readPrinterOffset(ini, "Wide"), PrinterOffset{});
}

// Where the first word `word` stands on the first PDF page, in points from the top left.
std::optional<PointF> wordAt(const std::filesystem::path& pdf, const QString& word) {
  const std::vector<std::string> pages = test::pdfPages(pdf, {"-bbox"});
  if (pages.empty()) return std::nullopt;
  const QRegularExpression re("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>" +
                              QRegularExpression::escape(word) + "<");
  std::optional<PointF> best;
  for (auto it = re.globalMatch(QString::fromStdString(pages.front())); it.hasNext();) {
    const auto m = it.next();
    const PointF p{m.captured(1).toDouble(), m.captured(2).toDouble()};
    if (!best || p.x + p.y < best->x + best->y) best = p;
  }
  return best;
}

QImage preview(const PageJob& job) {
  QImage image(900, 1150, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QPainter painter(&image);
  QPainterCanvas canvas(painter, CanvasTarget::Screen);
  renderSheet(canvas, screenSheetMapping(false, 1.0), job, 1);
  return image;
}

struct Moved {
  int layout;
  bool moves;
};

TEST(PrinterCalibration, theOffsetMovesPrintedLabelsButNotThePreviewNorTheAddressPages) {
  std::vector<AddressRecord> records(3);
  for (AddressRecord& r : records) {
    r[FieldId::First] = "Pat";
    r[FieldId::Last] = "Lee";
  }
  const PageBook book(records, 0);
  for (const Moved& row : {Moved{kLabelsLayout, true}, Moved{1078, false}, Moved{1074, false}}) {
    SCOPED_TRACE(row.layout);
    test::TestDir dir;
    PageJob job;
    job.settings.layout = row.layout;
    job.book = &book;
    useLabelSettings(job, LabelPageSettings{});
    ASSERT_TRUE(writePagesPdf(job, 1, 1, dir / "plain.pdf", 72).ok);
    const QImage plain = preview(job);
    job.printerOffset = {50, -25};  // half an inch right, a quarter up
    ASSERT_TRUE(writePagesPdf(job, 1, 1, dir / "moved.pdf", 72).ok);
    const std::optional<PointF> before = wordAt(dir / "plain.pdf", "Pat");
    const std::optional<PointF> after = wordAt(dir / "moved.pdf", "Pat");
    ASSERT_TRUE(before && after);
    EXPECT_NEAR(after->x - before->x, row.moves ? 36 : 0, 0.5);
    EXPECT_NEAR(after->y - before->y, row.moves ? -18 : 0, 0.5);
    EXPECT_EQ(preview(job), plain);
  }
}

TEST(PrinterCalibration, theSheetShowsItsCrossesWhereTheyBelongMovedByTheOffset) {
  test::TestDir dir;
  const PageJob plain = calibrationJob(kLetterSheet.code, "Laser", {});
  ASSERT_TRUE(writePagesPdf(plain, 1, 1, dir / "plain.pdf", 72).ok);
  const auto pages = test::pdfPages(dir / "plain.pdf");
  ASSERT_EQ(pages.size(), 1u);
  for (const char* text : {"1.00 in, 1.00 in", "7.50 in, 1.00 in", "4.25 in, 5.50 in",
                           "1.00 in, 10.00 in", "7.50 in, 10.00 in", "Printer: Laser",
                           "Offset now: 0,0"})
    EXPECT_NE(pages[0].find(text), std::string::npos) << text;
  // The top left cross's figures start just right of and below the cross at 1 in, 1 in.
  const std::optional<PointF> at = wordAt(dir / "plain.pdf", "1.00");
  ASSERT_TRUE(at);
  EXPECT_NEAR(at->x, 72 * 1.08, 1.5);
  EXPECT_NEAR(at->y, 72 * 1.08, 3);
  ASSERT_TRUE(writePagesPdf(calibrationJob(kLetterSheet.code, "Laser", {10, 20}), 1, 1,
                            dir / "moved.pdf", 72)
                  .ok);
  const std::optional<PointF> moved = wordAt(dir / "moved.pdf", "1.00");
  ASSERT_TRUE(moved);
  EXPECT_NEAR(moved->x - at->x, 7.2, 0.5);
  EXPECT_NEAR(moved->y - at->y, 14.4, 0.5);
  // An A4 sheet puts the far crosses an inch from its own edges.
  ASSERT_TRUE(writePagesPdf(calibrationJob(kA4Sheet.code, "Laser", {}), 1, 1, dir / "a4.pdf", 72).ok);
  EXPECT_NE(test::pdfPages(dir / "a4.pdf")[0].find("7.27 in, 10.69 in"), std::string::npos);
}

}  // namespace
}  // namespace mv
