// mervane-cli print --printer QUEUE without --pdf: the job goes to a CUPS queue, a cups-pdf
// queue here, whose PDFs must hold the pages that --pdf writes for the same options.
#include "platform/Paths.h"
#include "support/CliRun.h"
#include "support/CupsQueue.h"
#include "support/PdfText.h"
#include "support/TestDir.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::cli;
using test::pdfPages;

// The words of each page, in order, without the spacing: the queue's filters may set the
// same text with other gaps between the columns.
std::vector<std::string> pageWords(const std::vector<fs::path>& pdfs) {
  std::vector<std::string> pages;
  for (const fs::path& pdf : pdfs)
    for (const std::string& page : pdfPages(pdf))
      pages.push_back(QString::fromStdString(page).simplified().toStdString());
  return pages;
}

// The sheet's two sides, the shorter first: a queue feeds an envelope printed across it
// lengthwise, so it may come back turned.
std::pair<double, double> paper(const fs::path& pdf) {
  const auto m = QRegularExpression("([0-9.]+) x ([0-9.]+) pts")
                     .match(QString::fromStdString(test::pdfPageSize(pdf)));
  const double w = m.captured(1).toDouble(), h = m.captured(2).toDouble();
  return {std::min(w, h), std::max(w, h)};
}

class PrintQueueCli : public ::testing::Test {
 protected:
  void SetUp() override {
    setScratchDirForTesting(dir_.path());
    // 45 entries: five pages of the 3-line layout, ten entries a page.
    std::string csv = "First Name,Last Name,City,Phone\n";
    for (int i = 0; i < 45; ++i)
      csv += "Ann" + std::to_string(i) + ",Doe" + char('A' + i % 26) + ",Lima,555-01" +
             std::to_string(10 + i) + "\n";
    test::writeFile(dir_ / "people.csv", csv);
    ASSERT_EQ(cli({"import", (dir_ / "people.csv").string(), book_.string()}).code, 0);
  }
  void TearDown() override { setScratchDirForTesting({}); }
  std::vector<std::string> printArgs(std::vector<std::string> extra) {
    std::vector<std::string> args{"print", book_.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  test::TestDir dir_;
  fs::path book_ = dir_ / "people.adr";
};

TEST_F(PrintQueueCli, anUnknownQueueIsRefusedBeforeAnythingPrints) {
  const test::CliRun run = cli(printArgs({"--layout", "1076", "--printer", "NoSuchQueue-Mervane"}));
  EXPECT_EQ(run.code, 2);
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_NE(run.err.find("--printer NoSuchQueue-Mervane: no such print queue"), std::string::npos)
      << run.err;
}

TEST_F(PrintQueueCli, theCupsQueueGetsThePagesThePdfHolds) {
  const test::TestQueue queue = test::testQueue();
  if (!queue.skip.empty()) GTEST_SKIP() << queue.skip;
  struct Row {
    std::vector<std::string> options;
    std::vector<size_t> pagesOfJob;  // as the queue's PDFs come back
    const char* said;
  };
  const Row rows[] = {
      {{"--layout", "1076"}, {5}, "Sent 5 sheets of 3 Line Address (5 pages) to MervanePDF\n"},
      // Double-sided: the fronts, then the backs as a second job.
      {{"--layout", "1076", "--mode", "double"}, {3, 2},
       "Sent 5 sheets of 3 Line Address (5 pages) to MervanePDF\n"
       "The backs (2 sheets) were sent as a second job, after the fronts (3 sheets).\n"},
      // The copies are in the job, as they are in the PDF.
      {{"--layout", "1076", "--mode", "odd", "--pages", "2-5", "--copies", "2"}, {4},
       "Sent 4 sheets of 3 Line Address (5 pages) to MervanePDF\n"},
      // A paper of its own: the queue must not fit it to its default paper.
      {{"--layout", "1079", "--pages", "1-2", "--paper", "Comm10E", "--landscape"}, {2},
       "Sent 2 sheets of Envelope (45 pages) to MervanePDF\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.said);
    std::vector<std::string> pdfArgs = r.options;
    pdfArgs.insert(pdfArgs.end(), {"--pdf", (dir_ / "same.pdf").string()});
    ASSERT_EQ(cli(printArgs(pdfArgs)).code, 0);
    const std::vector<std::string> expected = pageWords({dir_ / "same.pdf"});

    const auto before = test::pdfsIn(queue.out);
    std::vector<std::string> queueArgs = r.options;
    queueArgs.insert(queueArgs.end(), {"--printer", queue.name});
    const test::CliRun run = cli(printArgs(queueArgs));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, r.said);
    const std::vector<fs::path> arrived = test::waitForPdfs(queue, before, r.pagesOfJob.size());
    ASSERT_EQ(arrived.size(), r.pagesOfJob.size()) << "in " << queue.out;
    for (size_t job = 0; job < arrived.size(); ++job) {
      EXPECT_EQ(pdfPages(arrived[job]).size(), r.pagesOfJob[job]) << arrived[job];
      EXPECT_EQ(paper(arrived[job]), paper(dir_ / "same.pdf"));
    }
    EXPECT_EQ(pageWords(arrived), expected);
    for (const fs::path& f : arrived) fs::remove(f);
  }
}

}  // namespace
}  // namespace mv
