// mervane-cli import, through the same entry point as the binary, checked with dump.
#include "cli/Cli.h"
#include "platform/Paths.h"
#include "support/CliRun.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sstream>

namespace mv {
namespace {

namespace fs = std::filesystem;

using test::CliRun;
using test::cli;

QJsonArray dump(const fs::path& book) {
  const CliRun r = cli({"dump", book.string()});
  EXPECT_EQ(r.code, 0) << r.err;
  return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).array();
}

QString fieldOf(const QJsonArray& records, int record, int field) {
  return records[record].toObject()["fields"].toArray()[field].toString();
}

class ImportCliTest : public ::testing::Test {
 protected:
  void SetUp() override { setScratchDirForTesting(dir_.path()); }
  test::TestDir dir_;
};

TEST_F(ImportCliTest, imports1901GeneratedAddresses) {
  const std::string csv = std::string(MERVANE_EXCHANGE_TEST_DATA) + "/addresses-1901.csv";
  const fs::path book = dir_ / "addresses.adr";
  const CliRun r = cli({"import", csv, book.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "records: 1900\nduplicates: 68\nvalues cut: 0\ncharacters replaced: 0\n"
            "lines left out: 1\n");
  const QJsonArray records = dump(book);
  ASSERT_EQ(records.size(), 1900);
  // The first line of the file, and quoted commas kept inside their values.
  EXPECT_EQ(fieldOf(records, 0, 2), "Ben");
  EXPECT_EQ(fieldOf(records, 0, 3), "Ray");
  EXPECT_EQ(fieldOf(records, 0, 6), "Northwind Traders");
  EXPECT_EQ(fieldOf(records, 0, 7), "50275 Maple Boulevard");
  EXPECT_EQ(fieldOf(records, 0, 11), "74856");
  int commas = 0;
  for (int i = 0; i < records.size(); ++i) {
    for (int f : {3, 6, 7}) commas += fieldOf(records, i, f).contains(',');
    const QString country = fieldOf(records, i, 12);  // no column shifted
    EXPECT_TRUE(country == "United States" || country == "Canada") << i;
  }
  EXPECT_GT(commas, 100);
}

TEST_F(ImportCliTest, matchesByHandAndRefusesToReplaceABook) {
  const fs::path csv = dir_ / "people.csv";
  test::writeFile(csv, "Name;Remarks;Firma\nAnn;likes tea;Acme\n");
  const fs::path book = dir_ / "people.adr";
  const std::vector<std::string> args{"import", csv.string(), book.string(), "--match",
                                      "name=First Name", "--match", "Remarks=notes",
                                      "--match", "Firma=Company"};
  CliRun r = cli(args);
  ASSERT_EQ(r.code, 0) << r.err;
  QJsonArray records = dump(book);
  ASSERT_EQ(records.size(), 1);
  EXPECT_EQ(fieldOf(records, 0, 2), "Ann");
  EXPECT_EQ(fieldOf(records, 0, 6), "Acme");
  EXPECT_EQ(records[0].toObject()["notes"].toString(), "likes tea");

  r = cli(args);  // the book exists now
  EXPECT_EQ(r.code, cli::kFailure);
  EXPECT_NE(r.err.find("--force"), std::string::npos);
  std::vector<std::string> forced = args;
  forced.push_back("--force");
  EXPECT_EQ(cli(forced).code, 0);
}

TEST_F(ImportCliTest, refusesWhatItCannotDo) {
  const fs::path csv = dir_ / "people.csv";
  test::writeFile(csv, "First Name\nAnn\n");
  const fs::path binary = dir_ / "program.csv";
  test::writeFile(binary, std::string("\x7F" "ELF\x02\x01\x01\0\0\0First Name\nAnn\n", 20));
  const fs::path strange = dir_ / "strange.csv";
  test::writeFile(strange, "Kundennr;Bemerkung\n1;gut\n");
  const fs::path empty = dir_ / "empty.csv";
  test::writeFile(empty, "");
  const struct {
    const char* what;
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {"missing file", {"import", (dir_ / "none.csv").string(), (dir_ / "a.adr").string()},
       "cannot be read"},
      {"unknown import field", {"import", csv.string(), (dir_ / "b.adr").string(), "--match",
                                "Nick=First Name"}, "no such field"},
      {"unknown program field", {"import", csv.string(), (dir_ / "c.adr").string(), "--match",
                                 "First Name=Nickname"}, "no such program field"},
      {"match without a pair", {"import", csv.string(), (dir_ / "d.adr").string(), "--match"},
       "usage"},
      {"no book named", {"import", csv.string()}, "usage"},
      {"no text file", {"import", binary.string(), (dir_ / "e.adr").string()},
       "is not a text file"},
      {"no column matches", {"import", strange.string(), (dir_ / "f.adr").string()},
       "columns not matched: Kundennr, Bemerkung\nMatch them by hand: --match"},
      {"empty file", {"import", empty.string(), (dir_ / "g.adr").string()}, "is empty"},
  };
  for (const auto& c : cases) {
    const CliRun r = cli(c.args);
    EXPECT_EQ(r.code, cli::kFailure) << c.what;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.what << ": " << r.err;
  }
  for (const char* name : {"a.adr", "b.adr", "c.adr", "d.adr", "e.adr", "f.adr", "g.adr"})
    EXPECT_FALSE(fs::exists(dir_ / name));
}

TEST_F(ImportCliTest, saysWhatDidNotComeIn) {
  const fs::path csv = dir_ / "open.csv";
  // The quote in line 3 never closes: lines 4 and 5 become part of Bob's birthday.
  test::writeFile(csv, "First Name,Birthday\nAnn,1990\nBob,\"1991\nCy,1992\nDee,1993\n");
  const fs::path book = dir_ / "open.adr";
  const CliRun r = cli({"import", csv.string(), book.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "records: 2\nduplicates: 0\nvalues cut: 0\ncharacters replaced: 0\n"
            "lines left out: 2\nquote never closed: line 3\ncolumns not matched: Birthday\n");
  EXPECT_EQ(dump(book).size(), 2);
}

}  // namespace
}  // namespace mv
