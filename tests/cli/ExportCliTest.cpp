// mervane-cli export: the same bytes as the wizard, its options checked.
#include "cli/Cli.h"
#include "exchange/ExportFile.h"
#include "exchange/ExportHtml.h"
#include "exchange/ExportRtf.h"
#include "platform/Paths.h"
#include "store/Book.h"
#include "store/data_TestBooks.h"
#include "support/TestDir.h"
#include "DumpCompare.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mv {
namespace {

class ExportCli : public ::testing::Test {
 protected:
  ExportCli() {
    std::filesystem::create_directories(dir_ / "scratch");
    setScratchDirForTesting(dir_ / "scratch");
    Book book(dir_ / "scratch");
    EXPECT_EQ(book.createNew(dir_ / "book.adr"), BookStatus::Ok);
    AddressRecord zed = test::makeRecord("Zed", "Lee", "Acme, Inc.");
    zed[FieldId::Email] = "zed@example.org";
    zed.notes = "two\r\nlines";
    test::addRecord(book, zed);
    test::addRecord(book, test::makeRecord("Ann", "Ray"));
    EXPECT_EQ(book.save(), BookStatus::Ok);
    records_ = exportRecords(book);
  }
  int run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return cli::run(args, out_, err_);
  }

  test::TestDir dir_;
  std::vector<AddressRecord> records_;
  std::ostringstream out_, err_;
};

TEST_F(ExportCli, writesWhatTheWizardWrites) {
  const std::string book = (dir_ / "book.adr").string();
  ASSERT_EQ(run({"export", book, "--csv", (dir_ / "all.csv").string()}), cli::kOk);
  EXPECT_EQ(test::readFile(dir_ / "all.csv"), exportBytes(records_, ExportFormat::Csv));
  EXPECT_EQ(out_.str(), "Exported 2 entries to " + pathText(dir_ / "all.csv") + "\n");

  ASSERT_EQ(run({"export", book, "--csv", (dir_ / "some.csv").string(), "--fields", "2,6,16"}),
            cli::kOk);
  EXPECT_EQ(test::readFile(dir_ / "some.csv"),
            "First Name,Company,E-mail Address\r\nAnn,,\r\nZed,\"Acme, Inc.\",zed@example.org\r\n");

  ASSERT_EQ(run({"export", book, "--text", (dir_ / "all.txt").string()}), cli::kOk);
  EXPECT_EQ(test::readFile(dir_ / "all.txt"), exportBytes(records_, ExportFormat::Text));
  EXPECT_NE(test::readFile(dir_ / "all.txt").find("Notes:\ntwo\nlines\n"), std::string::npos);
}

// Values a spreadsheet would take for formulas, quotes, commas and notes over several lines
// come back exactly when Notes is matched by hand.
TEST_F(ExportCli, csvReadsBackWithNotesMatchedByHand) {
  Book book(dir_ / "scratch");
  ASSERT_EQ(book.createNew(dir_ / "tricky.adr"), BookStatus::Ok);
  AddressRecord r = test::makeRecord("=SUM(A1:A2)", "@home", "+Acme, \"Ltd\"");
  r[FieldId::Office] = "+49 30 1234";
  r[FieldId::Other] = "-5 ::: x";
  r[FieldId::City] = " padded ";
  r[FieldId::Group] = "Friends";
  r.notes = "line one, \"quoted\"\r\n=line two\r\n";
  test::addRecord(book, r);
  test::addRecord(book, test::makeRecord("Ann", "Ray"));
  ASSERT_EQ(book.save(), BookStatus::Ok);
  const std::string csv = (dir_ / "tricky.csv").string();
  const std::string again = (dir_ / "again.adr").string();
  ASSERT_EQ(run({"export", (dir_ / "tricky.adr").string(), "--csv", csv}), cli::kOk);
  EXPECT_EQ(test::readFile(csv).substr(0, 6), "Group,");
  EXPECT_NE(test::readFile(csv).find(",Notes\r\n"), std::string::npos);
  ASSERT_EQ(run({"import", csv, again, "--match", "Notes=Notes"}), cli::kOk) << err_.str();
  ASSERT_EQ(run({"dump", (dir_ / "tricky.adr").string()}), cli::kOk);
  const auto before = test::dumpedRecords(out_.str());
  ASSERT_EQ(run({"dump", again}), cli::kOk);
  const auto after = test::dumpedRecords(out_.str());
  ASSERT_TRUE(before && after);
  EXPECT_EQ(*after, *before);
}

TEST_F(ExportCli, webPagesAndLettersAreWhatTheWizardWrites) {
  const std::string book = (dir_ / "book.adr").string();
  std::filesystem::create_directories(dir_ / "program");
  setProgramDirForTesting(dir_ / "program");
  for (const char* p : kWebPictures) test::writeFile(dir_ / "program" / p, p);
  test::writeFile(dir_ / "program" / kLetterAfterFile, "Kept after\n");
  test::writeFile(dir_ / "before.txt", "Given before");

  ASSERT_EQ(run({"export", book, "--html", (dir_ / "out" / "web").string()}), cli::kOk)
      << err_.str();
  Book opened(dir_ / "scratch");
  ASSERT_EQ(opened.open(dir_ / "book.adr"), BookStatus::Ok);
  const WebPages pages = webPages(webBook(opened));
  EXPECT_EQ(test::readFile(dir_ / "out" / "web" / "mv_names.htm"), pages.names);
  EXPECT_EQ(test::readFile(dir_ / "out" / "web" / "mv_data.htm"), pages.data);
  EXPECT_EQ(test::readFile(dir_ / "out" / "web" / "mervane.htm"), pages.frameset);
  EXPECT_EQ(test::readFile(dir_ / "out" / "web" / "group.gif"), "group.gif");
  EXPECT_EQ(out_.str(), "Exported 2 entries to " + pathText(dir_ / "out" / "web" / "mervane.htm") +
                            "\n");

  // --before replaces the kept text; the kept after text is used.
  ASSERT_EQ(run({"export", book, "--rtf", (dir_ / "l.rtf").string(), "--before",
                 (dir_ / "before.txt").string()}),
            cli::kOk);
  EXPECT_EQ(test::readFile(dir_ / "l.rtf"), rtfLettersBytes(records_, "Given before", "Kept after\n"));

  test::writeFile(dir_ / "plain", "x");
  EXPECT_EQ(run({"export", book, "--html", (dir_ / "plain").string()}), cli::kFailure);
  EXPECT_NE(err_.str().find("Can't create directory!!"), std::string::npos);
  EXPECT_EQ(run({"export", book, "--rtf", (dir_ / "l.rtf").string(), "--after",
                 (dir_ / "missing.txt").string()}),
            cli::kFailure);
  EXPECT_NE(err_.str().find("missing.txt cannot be read"), std::string::npos);
  setProgramDirForTesting({});
}

TEST_F(ExportCli, refusesABadCommandLineAndAnUnwritableFile) {
  const std::string book = (dir_ / "book.adr").string();
  const std::string out = (dir_ / "x.csv").string();
  const std::vector<std::vector<std::string>> bad = {
      {"export", book},                                         // no format
      {"export", book, "--csv"},                                // no file
      {"export", book, "--csv", out, "--fields", "2,29"},       // no field 29
      {"export", book, "--csv", out, "--fields", "2,2"},        // twice
      {"export", book, "--csv", out, "--fields", "2,,3"},       // empty
      {"export", book, "--text", out, "--fields", "2"},         // text has no field choice
      {"export", book, "--csv", out, "--text", out},            // two formats
      {"export", book, "--html", out, "--rtf", out},            // two formats
      {"export", book, "--html", out, "--before", out},         // web pages have no texts
      {"export", book, "--rtf", out, "--after", out, "--after", out},  // twice
      {"export", (dir_ / "missing.adr").string(), "--csv", out},  // no book
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(args.back());
    EXPECT_EQ(run(args), cli::kFailure);
    EXPECT_FALSE(err_.str().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x.csv"));
  test::writeFile(dir_ / "plain", "x");
  EXPECT_EQ(run({"export", book, "--csv", (dir_ / "plain" / "x.csv").string()}), cli::kFailure);
  EXPECT_NE(err_.str().find("Unable to open file (Not a directory)"), std::string::npos);
}

}  // namespace
}  // namespace mv
