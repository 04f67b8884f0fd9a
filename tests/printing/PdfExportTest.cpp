// Pages written to PDF through the QPainter canvas, and the symbol font stand-in.
#include "platform/AtomicFile.h"
#include "printing/TextMeasurer.h"
#include "printing/render/PdfExport.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

AddressRecord named(const char* first) {
  AddressRecord r;
  r[FieldId::First] = first;
  r[FieldId::Last] = "Berg";
  return r;
}

TEST(PdfExport, writesTheSheetsOfTheRange) {
  test::TestDir dir;
  const PageBook book(std::vector<AddressRecord>(45, named("Anna")), 0);
  PageJob job;
  job.settings.layout = 1076;
  job.book = &book;
  job.count = countJobPages(job);
  ASSERT_EQ(job.count.pages, 5);
  struct Row {
    bool twoOnOne;
    int from, to;
    int sheets;
  };
  const Row rows[] = {
      {false, 1, 5, 5},
      {false, 4, 99, 2},  // the range ends on the last page
      {true, 1, 5, 3},    // 5 pages two on one: 3 sheets
      {true, 5, 5, 1},    // page 5 alone is on sheet 3
  };
  for (const Row& r : rows) {
    job.geometry = PageGeometry{};
    if (r.twoOnOne) {
      job.geometry.sheetCode = 1;
      job.geometry.widthFraction = 1016.0 / 2159;
      job.geometry.lengthFraction = 1524.0 / 2794;
      job.geometry.twoOnOne = true;
    }
    const auto file = dir / "out.pdf";
    const PdfResult result = writePagesPdf(job, r.from, r.to, file, 72);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.sheets, r.sheets) << r.from << "-" << r.to;
    EXPECT_EQ(test::readFile(file).substr(0, 5), "%PDF-");
  }
  const PdfResult failed = writePagesPdf(job, 1, 1, dir / "no" / "such" / "dir.pdf", 72);
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.error.empty());
  // A disk that fills up while the file is written leaves the PDF already there whole.
  const std::string before = test::readFile(dir / "out.pdf");
  failNextAtomicWriteForTesting(4096);
  const PdfResult full = writePagesPdf(job, 1, 2, dir / "out.pdf", 72);
  EXPECT_FALSE(full.ok);
  EXPECT_FALSE(full.error.empty());
  EXPECT_EQ(test::readFile(dir / "out.pdf"), before);
}

TEST(PdfExport, symbolFontDrawsEnvelopeAndTelephone) {
  TextMeasurer m;
  m.select(Font{"Wingdings", 18});
  EXPECT_EQ(m.qfont().family(), "DejaVu Sans");
  EXPECT_EQ(m.text("*("), QString(QChar(0x2709)) + QChar(0x260E));
  EXPECT_TRUE(m.qmetrics().inFont(QChar(0x2709)));
  EXPECT_TRUE(m.qmetrics().inFont(QChar(0x260E)));
  m.select(Font{"Arial", 18});
  EXPECT_EQ(m.text("*("), "*(");
}

}  // namespace
}  // namespace mv
