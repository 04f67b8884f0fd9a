// mervane-cli's label verbs: templates into labels.dat, a printer's offset kept and used.
#include "store/Book.h"
#include "store/data_TestBooks.h"
#include "support/CliRunner.h"
#include "support/PdfText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::readFile;
using test::writeFile;

class LabelsCli : public test::CliRunner {
 protected:
  void SetUp() override {
    CliRunner::SetUp();
    Book book(scratch_.path());
    ASSERT_EQ(book.createNew(book_), BookStatus::Ok);
    test::addRecord(book, test::makeRecord("Robin", "Hale"));
    ASSERT_EQ(book.save(), BookStatus::Ok);
  }
  // Where the word first stands on page 1, in points from the left.
  double leftOf(const std::filesystem::path& pdf, const char* word) {
    const auto pages = test::pdfPages(pdf, {"-bbox"});
    if (pages.empty()) return -1;
    const auto m = QRegularExpression(QString("xMin=\"([0-9.]+)\"[^>]*>%1<").arg(word))
                       .match(QString::fromStdString(pages[0]));
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
  }
  // Verbs that draw need a GUI application of their own: they run in the built binary.
  int runBinary(const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    QProcess cli;
    cli.start(QCoreApplication::applicationDirPath() + "/mervane-cli", list);
    if (!cli.waitForFinished(60000)) return -1;
    out_.str(cli.readAllStandardOutput().toStdString());
    err_.str(cli.readAllStandardError().toStdString());
    return cli.exitCode();
  }
  std::filesystem::path dat_ = dir_ / "labels.dat";
  std::filesystem::path ini_ = dir_ / "mervane.ini";
};

TEST_F(LabelsCli, labelsImportAddsTheRectangularTemplatesAndSaysWhatItSkipped) {
  writeFile(dat_, "Keep;Me 0, 667,254, 48,127, 699,254, 3,10\n");
  writeFile(dir_ / "t.xml",
            "<Glabels-templates>"
            "<Template brand=\"Acme\" part=\"L7160\" size=\"A4\" description=\"Address\">"
            "<Label-rectangle width=\"63.5mm\" height=\"38.1mm\">"
            "<Layout nx=\"3\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\"/>"
            "</Label-rectangle></Template>"
            "<Template brand=\"Acme\" part=\"E1\" size=\"A4\"><Label-ellipse width=\"2in\" height=\"1in\"/></Template>"
            "</Glabels-templates>");
  EXPECT_EQ(run({"labels-import", (dir_ / "t.xml").string(), "--labels", dat_.string()}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "1 label format added, 1 skipped.\n\nSkipped:\n1 not rectangular (round, elliptic, CD "
            "or continuous)\n");
  EXPECT_EQ(readFile(dat_),
            "Acme;L7160;Address 1, 635,381, 72,151, 660,381, 3,7\n"
            "Keep;Me 0, 667,254, 48,127, 699,254, 3,10\n");
  // Chosen by its name, the new format is what the labels print on.
  ASSERT_EQ(run({"labels-choose", "acme l7160 address", "--labels", dat_.string(), "--settings",
                 ini_.string()}),
            0)
      << err_.str();
  EXPECT_EQ(readFile(ini_),
            "[Labels]\nType1=1\nType2=0\nID=0\nTotal=21\nSettings=635,381,72,151,25,0,3,7\n");
  EXPECT_EQ(run({"labels-choose", "Acme L716", "--labels", dat_.string(), "--settings",
                 ini_.string()}),
            2);
  EXPECT_NE(err_.str().find("has no label format named \"Acme L716\""), std::string::npos);
  // A broken file, a missing one and a bad command line change nothing and fail.
  writeFile(dir_ / "bad.xml", "<Glabels-templates><Template brand=\"x\"></Glabels-templates>");
  const std::string before = readFile(dat_);
  EXPECT_EQ(run({"labels-import", (dir_ / "bad.xml").string(), "--labels", dat_.string()}), 2);
  EXPECT_NE(err_.str().find("could not be read as label templates: it is not well-formed XML"),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(run({"labels-import", (dir_ / "none.xml").string(), "--labels", dat_.string()}), 2);
  EXPECT_NE(err_.str().find("the file cannot be read"), std::string::npos);
  EXPECT_EQ(run({"labels-import", (dir_ / "t.xml").string(), "--label", dat_.string()}), 2);
  EXPECT_EQ(readFile(dat_), before);
}

TEST_F(LabelsCli, calibrateKeepsTheOffsetThatPrintAndTheSheetUse) {
  writeFile(ini_, "[Labels]\nType1=0\n");
  const std::string ini = ini_.string();
  struct Refused {
    std::vector<std::string> args;
    const char* error;
  };
  const Refused refused[] = {
      {{"calibrate", "--printer", "Laser", "--offset", "5", "--settings", ini}, "two whole numbers"},
      {{"calibrate", "--printer", "Laser", "--offset", "300,0", "--settings", ini}, "-100 to 100"},
      {{"calibrate", "--printer", "a=b", "--offset", "1,1", "--settings", ini}, "cannot be kept"},
      {{"calibrate", "--offset", "1,1", "--settings", ini}, "usage:"},
      {{"calibrate", "--printer", "Laser", "--offset", "1,1", "--offset", "2,2"}, "usage:"},
  };
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.args[2] + " " + r.args[4]);
    EXPECT_EQ(run(r.args), 2);
    EXPECT_NE(err_.str().find(r.error), std::string::npos) << err_.str();
  }
  EXPECT_EQ(readFile(ini_), "[Labels]\nType1=0\n");
  ASSERT_EQ(run({"calibrate", "--printer", "Laser", "--offset", "50,-10", "--settings", ini}), 0);
  ASSERT_EQ(run({"calibrate", "--printer", "Inkjet", "--offset", "-3,4", "--settings", ini}), 0);
  EXPECT_EQ(readFile(ini_),
            "[Labels]\nType1=0\n\n[Printer Calibration]\nLaser=50,-10\nInkjet=-3,4\n");

  if (!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/mervane-cli"))
    GTEST_SKIP() << "mervane-cli is not built";
  const auto plain = dir_ / "plain.pdf";
  const auto moved = dir_ / "moved.pdf";
  ASSERT_EQ(runBinary({"print", book_.string(), "--layout", "1080", "--pdf", plain.string(),
                 "--settings", ini}),
            0)
      << err_.str();
  ASSERT_EQ(runBinary({"print", book_.string(), "--layout", "1080", "--pdf", moved.string(),
                 "--settings", ini, "--printer", "Laser"}),
            0)
      << err_.str();
  ASSERT_GT(leftOf(plain, "Robin"), 0);
  EXPECT_NEAR(leftOf(moved, "Robin") - leftOf(plain, "Robin"), 36, 0.5);

  const auto sheet = dir_ / "sheet.pdf";
  ASSERT_EQ(runBinary({"calibration-sheet", "--pdf", sheet.string(), "--printer", "Inkjet",
                 "--settings", ini}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), "Wrote the calibration sheet for Inkjet (offset -3,4) to " +
                            sheet.string() + "\n");
  const auto pages = test::pdfPages(sheet);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Printer: Inkjet"), std::string::npos);
  EXPECT_EQ(run({"calibration-sheet", "--printer", "Inkjet"}), 2);
}

}  // namespace
}  // namespace mv
