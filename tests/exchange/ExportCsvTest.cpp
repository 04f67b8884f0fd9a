// The comma-separated export: quoting, the chosen fields, the header, line ends, and a
// whole book read back value for value.
#include "exchange/Csv.h"
#include "exchange/ExportCsv.h"
#include "exchange/ExportFile.h"
#include "platform/Paths.h"
#include "store/Book.h"
#include "store/data_TestBooks.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

namespace mv {
namespace {

AddressRecord person(std::string first, std::string last) {
  return test::makeRecord(std::move(first), std::move(last));
}

ExportFields only(std::initializer_list<FieldId> ids) {
  ExportFields f{};
  for (FieldId id : ids) f[static_cast<size_t>(toInt(id))] = true;
  return f;
}

// Our own files read back with the reader the import uses.
std::vector<std::vector<std::string>> readCsv(const std::string& bytes) {
  std::vector<std::vector<std::string>> rows;
  csv::Reader reader(bytes);
  for (std::vector<std::string> values; reader.next(values);) rows.push_back(values);
  return rows;
}

TEST(ExportCsv, quotesOnlyValuesThatNeedIt) {
  const struct {
    const char* value;
    const char* written;
  } kCases[] = {
      {"plain", "plain"},
      {"", ""},
      {"Smith, Jones & Co", "\"Smith, Jones & Co\""},         // comma kept, not ";"
      {"The \"Boss\"", "\"The \"\"Boss\"\"\""},               // quotes doubled
      {"line one\r\nline two", "\"line one\r\nline two\""},   // CR LF inside
      {"a\nb", "\"a\nb\""},                                   // LF alone
      {"semi;colon", "semi;colon"},                           // no reason to quote
      {" padded ", "\" padded \""},                           // quoted: no reader trims them
      {"M\xfcller \x80 \xe9t\xe9", "M\xfcller \x80 \xe9t\xe9"},  // Windows-1252 bytes unchanged
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(csv::quoteValue(c.value), c.written);
  }
}

TEST(ExportCsv, headerNamesTheCheckedFieldsAndEveryLineEndsInCrLf) {
  AddressRecord r = person("Ann", "Lee");
  r[FieldId::City] = "Paris, France";
  const std::string bytes = csvExportBytes({r}, only({FieldId::First, FieldId::City}));
  EXPECT_EQ(bytes, "First Name,City\r\nAnn,\"Paris, France\"\r\n");
}

TEST(ExportCsv, onlyFirstNameCheckedGivesNoCommaAtAll) {
  const std::string bytes =
      csvExportBytes({person("Ann", "Lee"), person("Bob", "Ray")}, only({FieldId::First}));
  EXPECT_EQ(bytes, "First Name\r\nAnn\r\nBob\r\n");
}

TEST(ExportCsv, bufferIsLeftOutByDefaultAndHeadedBufferWhenChosen) {
  const ExportFields defaults = defaultExportFields();
  EXPECT_FALSE(defaults[static_cast<size_t>(toInt(FieldId::Buffer))]);
  EXPECT_TRUE(defaults[kExportNotes]);
  EXPECT_EQ(std::count(defaults.begin(), defaults.end(), true), 28);
  const std::string header = csvExportBytes({}, defaults);
  EXPECT_EQ(header.find("buffer"), std::string::npos);
  EXPECT_EQ(header.substr(0, 39), "Group,Salutation,First Name,Last Name,J");
  EXPECT_EQ(csvExportBytes({}, only({FieldId::Buffer, FieldId::Other})), "buffer,Other\r\n");
}

TEST(ExportCsv, anEmptyBookWritesTheHeaderOnly) {
  EXPECT_EQ(csvExportBytes({}, only({FieldId::Email2, FieldId::Web2})),
            "E-mail Address',Web Site'\r\n");
}

// A full book of 1,900 entries, every field set with the characters that need care,
// written and read back: every value comes back byte for byte, in list order.
TEST(ExportCsv, aFullBookReadsBackValueForValue) {
  test::TestDir dir;
  std::filesystem::create_directories(dir / "scratch");
  Book book(dir / "scratch");
  ASSERT_EQ(book.createNew(dir / "big.adr"), BookStatus::Ok);
  const char* kTricky[] = {"a,b", "say \"hi\"", "\xe9l\xe8ve", "x;y", "", "'q'", " lead"};
  for (int i = 0; i < 1900; ++i) {
    AddressRecord r;
    for (int f = 0; f < kFieldCount; ++f) {
      if (f == toInt(FieldId::Buffer)) continue;
      r.fields[static_cast<size_t>(f)] =
          std::string(kTricky[(i + f) % std::size(kTricky)]) + std::to_string(i);
    }
    r[FieldId::First] = "N" + std::to_string(10000 + i);
    r[FieldId::Group] = "";
    r.notes = std::string(kTricky[i % std::size(kTricky)]) + "\r\n=" + std::to_string(i);
    ASSERT_GE(test::addRecord(book, r), 0);
  }
  const std::vector<AddressRecord> records = exportRecords(book);
  ASSERT_EQ(records.size(), 1900u);
  const ExportFields fields = defaultExportFields();
  const auto rows = readCsv(csvExportBytes(records, fields));
  ASSERT_EQ(rows.size(), 1901u);
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(rows[i + 1].size(), 28u);
    size_t column = 0;
    for (int f = 0; f < kFieldCount; ++f) {
      if (!fields[static_cast<size_t>(f)]) continue;
      ASSERT_EQ(rows[i + 1][column++], records[i].fields[static_cast<size_t>(f)])
          << "entry " << i << " field " << f;
    }
    ASSERT_EQ(rows[i + 1][column], records[i].notes) << "entry " << i;
  }
}

TEST(ExportFile, extensionsAreAddedOnlyWhenMissing) {
  const struct {
    const char* chosen;
    ExportFormat format;
    const char* written;
  } kCases[] = {
      {"/t/out", ExportFormat::Csv, "/t/out.csv"},
      {"/t/out.CSV", ExportFormat::Csv, "/t/out.CSV"},
      {"/t/out.txt", ExportFormat::Csv, "/t/out.txt.csv"},
      {"/t/out", ExportFormat::Text, "/t/out.txt"},
      {"/t/out.Txt", ExportFormat::Text, "/t/out.Txt"},
      {"/t/v1.2", ExportFormat::Text, "/t/v1.2.txt"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.chosen);
    EXPECT_EQ(withExportExtension(c.chosen, c.format), std::filesystem::path(c.written));
  }
}

TEST(ExportFile, anUnwritableDestinationReportsFailureAndLeavesNoFile) {
  test::TestDir dir;
  // A "folder" that is a file: no user can write under it.
  test::writeFile(dir / "plain", "x");
  EXPECT_FALSE(writeExportFile(dir / "plain" / "out.csv", "First Name\r\n"));
  EXPECT_EQ(test::readFile(dir / "plain"), "x");
  // A read-only folder (root writes there all the same).
  const auto folder = dir / "locked";
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
  const bool written = writeExportFile(folder / "out.csv", "First Name\r\n");
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  if (::geteuid() != 0) {
    EXPECT_FALSE(written);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
  }
}

TEST(ExportFile, anExistingFileIsReplacedWhole) {
  test::TestDir dir;
  test::writeFile(dir / "out.csv", std::string(5000, 'x'));
  ASSERT_TRUE(writeExportFile(dir / "out.csv", "First Name\r\n"));
  EXPECT_EQ(test::readFile(dir / "out.csv"), "First Name\r\n");
}

}  // namespace
}  // namespace mv
