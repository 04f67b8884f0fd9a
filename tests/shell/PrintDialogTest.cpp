// The print dialog driven by its control ids, and a print job on the PDF printer: the
// abort dialog, the printer's error, Print from the frame into one PDF file, and the
// double-sided question on a print queue.
#include "ShellTestSupport.h"

#include "platform/AtomicFile.h"
#include "platform/ui/Controls.h"
#include "printing/ui/PrintDialog.h"
#include "printing/ui/PrinterJob.h"
#include "support/CupsQueue.h"
#include "support/PdfText.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace mv::test {
namespace {

class PrintDialogTest : public ShellTest {
 protected:
  std::unique_ptr<PrintDialog> open(PrintDialogFacts f) {
    facts = f;
    return std::make_unique<PrintDialog>(
        nullptr, prompter, ini(),
        PrintDialogHooks{[this] { return facts; }, [this] { ++paperSizes; },
                         [this] { ++setups; }});
  }
  static PrintDialogFacts pages(int count, int current, int layout = 1076) {
    PrintDialogFacts f;
    f.layout = layout;
    f.count = f.bookletCount = count;
    f.currentPage = current;
    return f;
  }
  template <class T>
  static T* at(PrintDialog& d, int id) {
    T* c = control<T>(&d, id);
    EXPECT_NE(c, nullptr) << id;
    return c;
  }
  PrintDialogFacts facts;
  int paperSizes = 0;
  int setups = 0;
};

TEST_F(PrintDialogTest, opensOnTheCurrentPageAndPrintsItAlone) {
  auto d = open(pages(26, 5));
  EXPECT_EQ(d->windowTitle(), "Print Addressbook");
  EXPECT_EQ(at<QRadioButton>(*d, 1611)->text(), "All (Pages 1  to  26)");
  EXPECT_TRUE(at<QRadioButton>(*d, 1613)->isChecked());
  EXPECT_EQ(at<QComboBox>(*d, 1612)->currentText(), "5");
  EXPECT_EQ(at<QComboBox>(*d, 1614)->currentText(), "5");
  EXPECT_EQ(at<QComboBox>(*d, 1614)->count(), 26);
  EXPECT_TRUE(at<QComboBox>(*d, 1631)->isEnabled());
  EXPECT_EQ(at<QLabel>(*d, 111)->text(), "Paper:\nDefault size");
  d->accept();
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(d->range(), (PrintRange{5, 5, 0}));
}

TEST_F(PrintDialogTest, theListsFollowEachOther) {
  auto d = open(pages(26, 5));
  auto* first = at<QComboBox>(*d, 1612);
  auto* last = at<QComboBox>(*d, 1614);
  at<QRadioButton>(*d, 1611)->click();  // "All"
  first->setCurrentIndex(11);           // 12: "Selected pages" again, the last list follows
  EXPECT_TRUE(at<QRadioButton>(*d, 1613)->isChecked());
  EXPECT_EQ(last->currentText(), "12");
  last->setCurrentIndex(8);  // 9 while the first list shows 12
  EXPECT_EQ(first->currentText(), "9");
  d->accept();
  EXPECT_EQ(d->range(), (PrintRange{9, 9, 0}));
}

TEST_F(PrintDialogTest, theModesOnOk) {
  struct Row {
    int count, first, last, mode;
    bool accepted;
    PrintRange range;
    const char* message;
  };
  const Row rows[] = {
      {26, 3, 10, 2, true, {4, 10, 2}, nullptr},
      {26, 4, 4, 3, false, {}, "There is no odd page in this range"},
      {26, 6, 6, 1, false, {}, "Not enough pages for\nDouble-Sided printing"},
      {1, 1, 1, 1, false, {}, "Not enough pages for\nDouble-Sided printing"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.message ? r.message : "accepted");
    prompter.clear();
    auto d = open(pages(r.count, 1));
    at<QComboBox>(*d, 1614)->setCurrentIndex(r.last - 1);
    at<QComboBox>(*d, 1612)->setCurrentIndex(r.first - 1);
    at<QComboBox>(*d, 1631)->setCurrentIndex(r.mode);
    d->show();
    d->accept();
    EXPECT_EQ(d->isVisible(), !r.accepted);  // a refusal keeps the dialog open
    if (r.accepted) {
      EXPECT_EQ(d->range(), r.range);
      EXPECT_TRUE(prompter.shown().empty());
    } else {
      ASSERT_EQ(prompter.shown().size(), 1u);
      EXPECT_EQ(prompter.last().text, r.message);
      EXPECT_EQ(prompter.last().caption, "Mervane");
    }
    d->hide();
  }
  // One page: the lists and the modes are off, and "All" stays "All".
  auto d = open(pages(1, 1));
  EXPECT_TRUE(at<QRadioButton>(*d, 1611)->isChecked());
  EXPECT_EQ(at<QRadioButton>(*d, 1611)->text(), "All");
  EXPECT_FALSE(at<QComboBox>(*d, 1631)->isEnabled());
  EXPECT_FALSE(at<QComboBox>(*d, 1612)->isEnabled());
}

TEST_F(PrintDialogTest, theEnvelopeRemembersItsOrientationAndCancelRestoresTheRange) {
  {
    auto d = open(pages(3, 2, 1079));
    EXPECT_EQ(d->windowTitle(), "Print Envelope");
    EXPECT_TRUE(at<QRadioButton>(*d, 107)->isChecked());  // portrait at first
    EXPECT_FALSE(at<QComboBox>(*d, 1631)->isEnabled());
    at<QRadioButton>(*d, 106)->click();
    d->accept();
    EXPECT_TRUE(d->landscape());
  }
  auto d = open(pages(3, 2, 1079));
  EXPECT_TRUE(at<QRadioButton>(*d, 106)->isChecked());
  at<QComboBox>(*d, 1614)->setCurrentIndex(2);
  d->reject();
  EXPECT_EQ(d->range(), (PrintRange{1, 3, 0}));
  // An address-book layout is not turned by the envelope's setting.
  EXPECT_TRUE(at<QRadioButton>(*open(pages(3, 1)), 107)->isChecked());
}

TEST_F(PrintDialogTest, paperSizeRefillsTheListsFromTheNewCount) {
  auto d = open(pages(26, 5));
  facts = pages(13, 3);
  facts.geometry.sheetCode = 1;
  facts.geometry.widthFraction = 1016.0 / 2159;
  facts.geometry.lengthFraction = 1524.0 / 2794;
  at<QPushButton>(*d, 104)->click();
  EXPECT_EQ(paperSizes, 1);
  EXPECT_EQ(at<QComboBox>(*d, 1612)->count(), 13);
  EXPECT_EQ(at<QRadioButton>(*d, 1611)->text(), "All (Pages 1  to  13)");
  EXPECT_EQ(at<QLabel>(*d, 111)->text(), "Paper Size:\n4.00 x 6.00 inch\n");
  at<QPushButton>(*d, 1610)->click();
  EXPECT_EQ(setups, 1);
}

// A PDF printer job of five pages, one entry name a page.
class PrinterJobTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();  // settings in the test's own folder, not beside the test program
    for (int p = 1; p <= 5; ++p)
      for (int i = 0; i < (p == 5 ? 4 : 5); ++i)
        records.push_back(person("Pg" + std::to_string(p), std::string(1, char('a' + i))));
    book = std::make_unique<PageBook>(records, 0);
    job.settings.layout = 1078;
    job.book = book.get();
    job.count = countJobPages(job);
    ASSERT_EQ(job.count.pages, 5);
  }
  std::vector<AddressRecord> records;
  std::unique_ptr<PageBook> book;
  PageJob job;
};

TEST_F(PrinterJobTest, cancelInTheAbortDialogStopsAtTheNextPage) {
  auto printer = makePdfPrinter();
  PrinterJob printing(*printer, prompter, chooser, nullptr);
  chooser.answer(dir_ / "out.pdf");
  QObject::connect(&printing, &PrinterJob::sheetPrinted, [&](int done) {
    ASSERT_NE(printing.abortDialog(), nullptr);
    EXPECT_TRUE(printing.abortDialog()->isVisible());
    if (done == 2) control<QPushButton>(printing.abortDialog(), 2)->click();
  });
  const PrintOutcome outcome = printing.run(job, planPrint(job, {1, 5, 0}));
  EXPECT_TRUE(outcome.aborted);
  EXPECT_EQ(outcome.sheets, 2);
  EXPECT_EQ(pdfPages(dir_ / "out.pdf").size(), 2u);
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(PrinterJobTest, aPrintedFileReplacesTheOldOneWholeOrNotAtAll) {
  namespace fs = std::filesystem;
  auto printer = makePdfPrinter();
  PrinterJob printing(*printer, prompter, chooser, nullptr);
  const fs::path out = dir_ / "book.pdf";
  writeFile(out, "the old file");
  // The disk fills while the file is written; and a folder that is not there. Both are
  // said, never reported as printed, and the old file stays.
  failNextAtomicWriteForTesting(100);
  chooser.answer(out);
  PrintOutcome outcome = printing.run(job, planPrint(job, {1, 5, 0}));
  EXPECT_FALSE(outcome.finished());
  EXPECT_EQ(readFile(out), "the old file");
  chooser.answer(dir_ / "no" / "such" / "folder.pdf");
  outcome = printing.run(job, planPrint(job, {1, 5, 0}));
  EXPECT_FALSE(outcome.error.empty());
  ASSERT_EQ(prompter.shown().size(), 2u);
  for (const Message& said : prompter.shown())
    EXPECT_EQ(said.text.rfind("Printing failed: ", 0), 0u) << said.text;

  // Printed whole, it takes the old file's place and leaves nothing beside it.
  chooser.answer(out);
  outcome = printing.run(job, planPrint(job, {1, 5, 0}));
  EXPECT_TRUE(outcome.finished()) << outcome.error;
  EXPECT_EQ(pdfPages(out).size(), 5u);
  for (const auto& entry : fs::directory_iterator(dir_.path()))
    EXPECT_FALSE(entry.path().filename().string().starts_with(kSaveTempPrefix)) << entry.path();
}

TEST_F(PrinterJobTest, printFromTheFrameWritesTheChosenPages) {
  entries = records;
  MainFrame& f = start();
  f.onCommand(cmd::kPrintPreview);
  f.onCommand(cmd::kLayoutDetailed);
  f.onCommand(cmd::kNextPage);
  bool openedOnPage2 = false;
  f.setDialogRunner([&](QDialog& d) {
    openedOnPage2 = control<QComboBox>(&d, 1612)->currentText() == "2";
    return int(QDialog::Rejected);
  });
  f.onCommand(cmd::kPrint);
  EXPECT_TRUE(openedOnPage2);
  EXPECT_TRUE(chooser.requests().empty());  // cancelled: nothing printed
  ASSERT_TRUE(f.isCommandEnabled(cmd::kPrint));
  ASSERT_TRUE(f.isCommandEnabled(cmd::kPrinterSetup));
  // Into a PDF file every mode writes one file, double-sided the backs after the fronts
  // (as mervane-cli does), with no turning of the stack; ".pdf" is added when missing.
  // Each file dialog opens where the last PDF went.
  struct Row {
    int mode;
    const char* typed;
    const char* written;
    std::vector<const char*> pages;  // the entry each page shows
  };
  const Row rows[] = {
      {printMode::kOddPages, "odd.pdf", "odd.pdf", {"Pg1", "Pg3", "Pg5"}},
      {printMode::kDoubleSided, "both", "both.pdf", {"Pg1", "Pg3", "Pg5", "Pg2", "Pg4"}},
      {printMode::kEvenPages, "even.PDF", "even.PDF", {"Pg2", "Pg4"}},
  };
  std::filesystem::create_directories(dir_ / "pdfs");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    f.setDialogRunner([&](QDialog& d) {
      control<QRadioButton>(&d, 1611)->click();
      control<QComboBox>(&d, 1631)->setCurrentIndex(r.mode);
      d.accept();
      return d.result();
    });
    const size_t asked = chooser.requests().size();
    chooser.answer(dir_ / "pdfs" / r.typed);
    f.onCommand(cmd::kPrint);
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(chooser.requests().size(), asked + 1);
    EXPECT_EQ(chooser.requests().back().fileKind, FileKind::Pdf);
    if (asked > 0) {
      EXPECT_EQ(chooser.requests().back().directory, dir_ / "pdfs");
    }
    const auto pages = pdfPages(dir_ / "pdfs" / r.written);
    ASSERT_EQ(pages.size(), r.pages.size());
    for (size_t i = 0; i < pages.size(); ++i)
      EXPECT_NE(pages[i].find(r.pages[i]), std::string::npos) << i;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "pdfs" / "both"));
  // Afterwards the whole document in the default mode again.
  EXPECT_EQ(f.appState().printMode, 0);
  EXPECT_EQ(f.appState().firstPrintPage, 1);
  EXPECT_EQ(f.appState().lastPrintPage, 5);

  // Choosing a printer forgets the page size and two on one.
  f.appState().geometry.widthFraction = 0.5;
  f.appState().geometry.twoOnOne = true;
  f.setDialogRunner([](QDialog&) { return int(QDialog::Accepted); });
  f.onCommand(cmd::kPrinterSetup);
  EXPECT_EQ(f.appState().geometry.widthFraction, -1);
  EXPECT_FALSE(f.appState().geometry.twoOnOne);
}

// Where the first word of the first page starts, in points from the left.
double firstWordLeft(const std::filesystem::path& pdf) {
  const auto pages = pdfPages(pdf, {"-bbox"});
  if (pages.empty()) return -1;
  const auto m = QRegularExpression("<word xMin=\"([0-9.]+)\"").match(QString::fromStdString(pages[0]));
  return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

TEST_F(PrinterJobTest, labelsPrintMovedByThePrintersOffsetAndTheLabelSetupPrintsTheSheet) {
  entries = records;
  MainFrame& f = start();
  f.onCommand(cmd::kPrintPreview);
  f.onCommand(kLabelsLayout);
  f.setDialogRunner([](QDialog& d) {
    d.accept();
    return d.result();
  });
  chooser.answer(dir_ / "plain.pdf");
  f.onCommand(cmd::kPrint);
  // The PDF printer that stands in for a printer keeps its offset as "PDF".
  ASSERT_EQ(writePrinterOffset(ini(), "PDF", {50, 0}), OffsetWrite::Saved);
  chooser.answer(dir_ / "moved.pdf");
  f.onCommand(cmd::kPrint);
  ASSERT_GT(firstWordLeft(dir_ / "plain.pdf"), 0);
  EXPECT_NEAR(firstWordLeft(dir_ / "moved.pdf") - firstWordLeft(dir_ / "plain.pdf"), 36, 0.5);

  f.setDialogRunner([](QDialog& d) {
    EXPECT_EQ(control<QLabel>(&d, 163)->text(), "Printer: PDF");
    control<QPushButton>(&d, 162)->click();
    return int(QDialog::Rejected);
  });
  chooser.answer(dir_ / "sheet.pdf");
  f.onCommand(cmd::kLabels);
  const auto pages = pdfPages(dir_ / "sheet.pdf");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Offset now: 50,0"), std::string::npos);
}

TEST_F(PrinterJobTest, withoutAnyPrinterPrintSaysSo) {
  MainFrameOptions o;
  o.prompter = &prompter;
  o.fileChooser = &chooser;
  o.webBrowserProbe = [] { return BrowserProbe{}; };
  o.bookRecords = [this] { return records; };
  o.printerFactory = [] { return std::unique_ptr<QPrinter>(); };
  MainFrame f(std::move(o));
  f.setUp();
  // The printer is looked for when first used, not while the window starts.
  EXPECT_TRUE(f.isCommandEnabled(cmd::kPrint));
  f.onCommand(cmd::kPrint);
  ASSERT_FALSE(prompter.shown().empty());
  EXPECT_EQ(prompter.last().text, "Printer is not ready!");
  EXPECT_EQ(f.viewMode(), MainFrame::ViewMode::Card);
  EXPECT_FALSE(f.isCommandEnabled(cmd::kPrint));
  EXPECT_FALSE(f.isCommandEnabled(cmd::kPrinterSetup));
}

}  // namespace
}  // namespace mv::test

namespace mv::test {
namespace {

// The five pages double-sided on a CUPS queue, as Printer Setup lists it: cups-pdf writes
// the fronts and the backs, two jobs, as two PDF files that must not overwrite each other.
TEST_F(PrinterJobTest, doubleSidedOnACupsQueue) {
  const TestQueue queue = testQueue();
  if (!queue.skip.empty()) GTEST_SKIP() << queue.skip;
  const QString name = QString::fromStdString(queue.name);
  ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(name));
  QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
  ASSERT_FALSE(asksForFile(printer));
  const auto before = pdfsIn(queue.out);
  PrinterJob printing(printer, prompter, chooser, nullptr);
  prompter.answer(Answer::Ok);
  const PageJob doubleSided = jobForRange(job, {1, 5, 1});
  const PrintOutcome outcome = printing.run(doubleSided, planPrint(doubleSided, {1, 5, 1}));
  EXPECT_EQ(outcome.sheets, 5);
  // Between the passes the user turns the stack over.
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().caption, "Printing Front Pages.");
  EXPECT_EQ(prompter.last().text,
            "1. Please WAIT until Printer is Finished.\n"
            "2. Then turn the stack of printed pages over.\n"
            "3. Insert pages back in the printer tray.\n"
            "4. When done,  Press OK to print back the pages");
  EXPECT_TRUE(chooser.requests().empty());
  EXPECT_TRUE(outcome.error.empty()) << outcome.error;
  EXPECT_EQ(outcome.destination, queue.name);
  const auto arrived = waitForPdfs(queue, before, 2);
  ASSERT_EQ(arrived.size(), 2u) << "in " << queue.out;
  const auto fronts = pdfPages(arrived[0]);
  const auto backs = pdfPages(arrived[1]);
  ASSERT_EQ(fronts.size(), 3u);
  ASSERT_EQ(backs.size(), 2u);
  EXPECT_NE(fronts[2].find("Pg5"), std::string::npos);
  EXPECT_NE(backs[1].find("Pg4"), std::string::npos);
  for (const auto& f : arrived) std::filesystem::remove(f);
}

}  // namespace
}  // namespace mv::test
