// The import and export verbs of mervane-cli with vCard files: a book exported and
// imported again, and the entries that look alike listed.
#include "cli/Cli.h"
#include "platform/Paths.h"
#include "store/Book.h"
#include "support/CliRun.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

namespace fs = std::filesystem;

using test::CliRun;
using test::cli;

class VcardCli : public ::testing::Test {
 protected:
  void SetUp() override { setScratchDirForTesting(dir_.path()); }
  test::TestDir dir_;
};

TEST_F(VcardCli, exportsTheBookAndImportsItAgain) {
  const std::string csv = std::string(MERVANE_EXCHANGE_TEST_DATA) + "/addresses-1901.csv";
  const fs::path book = dir_ / "address.adr";
  ASSERT_EQ(cli({"import", csv, book.string()}).code, 0);
  const fs::path vcf = dir_ / "address.vcf";
  const CliRun exported = cli({"export", book.string(), "--vcard", vcf.string()});
  ASSERT_EQ(exported.code, 0) << exported.err;
  EXPECT_EQ(exported.out, "Exported 1900 entries to " + pathText(vcf) + "\n");

  const fs::path again = dir_ / "again.adr";
  const CliRun imported = cli({"import", vcf.string(), again.string()});
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_EQ(imported.out,
            "records: 1900\nduplicates: 0\nvalues cut: 0\ncharacters replaced: 0\n"
            "lines left out: 0\n");

  Book first, second;
  ASSERT_EQ(first.open(book), BookStatus::Ok);
  const std::vector<AddressRecord> a = first.recordsInListOrder();
  first.close();
  ASSERT_EQ(second.open(again), BookStatus::Ok);
  const std::vector<AddressRecord> b = second.recordsInListOrder();
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (FieldId f : {FieldId::First, FieldId::Last, FieldId::Company, FieldId::Address1,
                      FieldId::City, FieldId::Zip, FieldId::Email, FieldId::Office})
      ASSERT_EQ(a[i][f], b[i][f]) << i;
  }

  EXPECT_EQ(cli({"import", vcf.string(), again.string()}).code, cli::kFailure)
      << "an existing book is replaced only with --force";
  EXPECT_EQ(cli({"import", vcf.string(), again.string(), "--match", "A=First"}).code,
            cli::kFailure);
  // A file without a card makes no empty book that looks like a success.
  const fs::path notCards = dir_ / "contacts.vcf";
  test::writeFile(notCards, "First Name,Last Name\nAnn,Lee\n");
  const CliRun refused = cli({"import", notCards.string(), (dir_ / "none.adr").string()});
  EXPECT_EQ(refused.code, cli::kFailure);
  EXPECT_NE(refused.err.find("holds no cards. Nothing was imported."), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "none.adr"));
}

TEST_F(VcardCli, listsEntriesThatLookAlike) {
  const fs::path vcf = dir_ / "phone.vcf";
  test::writeFile(vcf,
                  "BEGIN:VCARD\nVERSION:3.0\nN:Lee;Ann;;;\nEMAIL:Ann@Example.com\n"
                  "TEL;TYPE=WORK:(555) 123-4567\nEND:VCARD\n"
                  "BEGIN:VCARD\nVERSION:3.0\nN:Lee;Annie;;;\nEMAIL:ann@example.COM\n"
                  "TEL;TYPE=CELL:555.123.4567\nEND:VCARD\n"
                  "BEGIN:VCARD\nVERSION:3.0\nN:Fox;Cy;;;\nEND:VCARD\n");
  const fs::path book = dir_ / "phone.adr";
  ASSERT_EQ(cli({"import", vcf.string(), book.string()}).code, 0);
  const CliRun r = cli({"duplicates", book.string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "E-mail: ann@example.com\n  0\tAnn Lee \n  1\tAnnie Lee \n"
            "Telephone: 5551234567\n  0\tAnn Lee \n  1\tAnnie Lee \n"
            "2 groups\n");
}

}  // namespace
}  // namespace mv
