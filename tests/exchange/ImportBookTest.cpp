// Matching, duplicates, the lines an import takes, and files as other programs write
// them, read into records and into a book that the store opens.
#include "exchange/ImportBook.h"

#include "store/AdrFormat.h"
#include "store/Book.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv::imp {
namespace {

// Reads `csv` and imports it with the automatic matches plus `extra` (import field
// index -> program field).
ImportedBook importText(const std::string& csv,
                        std::initializer_list<std::pair<int, int>> extra = {}) {
  const ImportFile file = parseImportFile(csv);
  FieldMatch match;
  match.autoMatch(file.names);
  for (auto [i, p] : extra) match.match(i, p);
  return importRecords(file, match);
}

const std::string& field(const ImportedBook& b, std::size_t record, FieldId f) {
  return b.records.at(record)[f];
}

TEST(ImportMatch, matchesHeadersAutomatically) {
  const struct {
    const char* what;
    std::string header;
    std::vector<int> expected;  // program field of each import field
  } cases[] = {
      {"quoted and mixed-case names", "\"First Name\",\"LAST NAME\",company\n", {2, 3, 6}},
      {"notes never automatically", "First Name,Notes,NOTES\n", {2, -1, -1}},
      {"apostrophe names", "Home Phone',E-mail Address'\n", {21, 23}},
      {"names of a mail program", "Given Name,Family Name,E-mail 1 - Value,Organization\n",
       {2, 3, 16, 6}},
      {"more synonyms", "Email,ZIP,Mobile Phone,Business Fax,Web Page,Zip Code\n",
       {16, 11, 15, 18, 17, -1}},
      {"business street before home street", "Home Street,Business Street\n", {-1, 7}},
      {"an exact name before a synonym", "E-mail,E-mail Address\n", {-1, 16}},
      {"of two equal names the later one", "First Name,First Name\n", {-1, 2}},
      {"blanks around a name", " Company ,City\n", {6, 9}},
      {"unknown names", "Birthday,Nickname\n", {-1, -1}},
  };
  for (const auto& c : cases) {
    const ImportFile file = parseImportFile(c.header);
    FieldMatch match;
    match.autoMatch(file.names);
    ASSERT_EQ(match.importCount(), static_cast<int>(c.expected.size())) << c.what;
    for (int i = 0; i < match.importCount(); ++i) {
      EXPECT_EQ(match.programOf(i), c.expected[static_cast<std::size_t>(i)]) << c.what << " " << i;
      if (c.expected[static_cast<std::size_t>(i)] >= 0) {
        EXPECT_EQ(match.importOf(c.expected[static_cast<std::size_t>(i)]), i) << c.what;
      }
    }
  }
}

TEST(ImportMatch, rematchingReleasesTheEarlierField) {
  FieldMatch match(3);
  match.match(0, 2);
  match.match(0, 3);  // the same column to a second field
  EXPECT_EQ(match.importOf(2), kNoMatch);
  EXPECT_EQ(match.importOf(3), 0);
  match.match(1, 3);  // a second column to the same field
  EXPECT_EQ(match.programOf(0), kNoMatch);
  EXPECT_EQ(match.importOf(3), 1);
  EXPECT_EQ(match.holdersOf(3, 2), std::vector<int>{1});
  EXPECT_TRUE(match.holdersOf(3, 1).empty());
}

TEST(ImportMatch, aColumnFillsOneFieldOnly) {
  const ImportedBook b = importText("First Name,Last Name\nAnn,Lee\n", {{0, 3}});
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(field(b, 0, FieldId::First), "");
  EXPECT_EQ(field(b, 0, FieldId::Last), "Ann");
}

TEST(ImportMatch, anUncheckedFieldIsLeftOut) {
  const ImportFile file = parseImportFile("First Name,City\nAnn,Rome\n");
  FieldMatch match;
  match.autoMatch(file.names);
  match.setIncluded(1, false);
  const ImportedBook b = importRecords(file, match);
  EXPECT_EQ(field(b, 0, FieldId::City), "");
  EXPECT_EQ(match.programOf(1), 9);  // the match is kept for a later check
}

TEST(ImportDuplicates, repeatedNamesAreMarkedWithTheirRecordNumber) {
  const struct {
    const char* what;
    std::string csv;
    FieldId marked;
    std::vector<std::string> values;
  } cases[] = {
      {"three identical lines, any case", "First Name,Last Name,Company\nAnn,Lee,Acme\n"
       "ann,LEE,acme\nANN,lee,Acme\n", FieldId::First, {"Ann", "ann[Dup:2]", "ANN[Dup:3]"}},
      {"no first name column: the last name", "Last Name,Company\nLee,Acme\nLee,Acme\n",
       FieldId::Last, {"Lee", "Lee[Dup:2]"}},
      {"neither first nor last: the company", "Company,City\nAcme,Rome\nAcme,Oslo\n",
       FieldId::Company, {"Acme", "Acme[Dup:2]"}},
      {"empty first name still takes the mark", "First Name,Last Name\n,Lee\n,Lee\n",
       FieldId::First, {"", "[Dup:2]"}},
      {"different companies are different entries", "First Name,Company\nAnn,A\nAnn,B\n",
       FieldId::First, {"Ann", "Ann"}},
  };
  for (const auto& c : cases) {
    const ImportedBook b = importText(c.csv);
    ASSERT_EQ(b.records.size(), c.values.size()) << c.what;
    for (std::size_t r = 0; r < c.values.size(); ++r)
      EXPECT_EQ(field(b, r, c.marked), c.values[r]) << c.what << " " << r;
  }
  const ImportedBook three = importText(cases[0].csv);
  EXPECT_EQ(three.duplicates, 2);
  EXPECT_EQ(three.keys[2], "ANN,lee,Acme");  // the key as read, before the mark
}

TEST(ImportDuplicates, theMarkAlwaysFits) {
  const std::string name69(69, 'n');
  const ImportedBook b =
      importText("First Name,Last Name\n" + name69 + ",Lee\n" + name69 + ",Lee\n");
  ASSERT_EQ(b.records.size(), 2u);
  EXPECT_EQ(field(b, 0, FieldId::First), name69);
  EXPECT_EQ(field(b, 1, FieldId::First), std::string(63, 'n') + "[Dup:2]");
  // And the book reads back with the mark in place.
  const std::string bytes = *bookBytes(b.records);
  EXPECT_NE(bytes.find(std::string(63, 'n') + "[Dup:2]\n"), std::string::npos);
}

TEST(ImportLines, takesUsableLinesOnly) {
  const struct {
    const char* what;
    std::string csv;
    std::vector<std::string> firsts;  // First Name of each record
  } cases[] = {
      {"blank matched values skipped, not counted",
       "First Name,Last Name,Birthday\nAnn,,\n , ,1990\n,,\nAnn,,\n", {"Ann", "Ann[Dup:2]"}},
      {"percent sign written unchanged", "First Name\n100%s %d\n", {"100%s %d"}},
      {"fewer values than fields", "Birthday,First Name,Last Name\n1990\nx,Bo\n", {"Bo"}},
      {"more values than fields", "First Name\nAnn,extra,more\n", {"Ann"}},
      {"a record delimiter byte becomes a blank", "First Name\nA\x14\x15\x16Z\n", {"A   Z"}},
      {"a line break in a field becomes a blank", "First Name\n\"Ann\r\nMarie\"\n",
       {"Ann Marie"}},
      {"header only", "First Name,Last Name\n", {}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) {
    const ImportedBook b = importText(c.csv);
    ASSERT_EQ(b.records.size(), c.firsts.size()) << c.what;
    for (std::size_t r = 0; r < c.firsts.size(); ++r)
      EXPECT_EQ(field(b, r, FieldId::First), c.firsts[r]) << c.what;
  }
}

TEST(ImportLines, oneImportTakes1900Entries) {
  std::string csv = "First Name\n";
  for (int i = 1; i <= 1905; ++i) csv += "P" + std::to_string(i) + "\n";
  csv += ",\n";  // a blank line at the end is not a left-out line
  int calls = 0;
  const ImportFile file = parseImportFile(csv);
  FieldMatch match;
  match.autoMatch(file.names);
  const ImportedBook b = importRecords(file, match, [&](int n) { calls = n; });
  ASSERT_EQ(b.records.size(), 1900u);
  EXPECT_EQ(b.records.back()[FieldId::First], "P1900");
  EXPECT_EQ(b.linesLeftOut, 5);
  EXPECT_EQ(calls, 1900);
  EXPECT_NE(importNotice(b).find("the last 5 lines of the file were left out"), std::string::npos);
}

TEST(ImportLines, longValuesAreCutAndCounted) {
  const ImportedBook b =
      importText("First Name,City\n" + std::string(75, 'a') + "," + std::string(70, 'c') + "\n");
  EXPECT_EQ(field(b, 0, FieldId::First), std::string(70, 'a'));
  EXPECT_EQ(field(b, 0, FieldId::City), std::string(70, 'c'));
  EXPECT_EQ(b.valuesCut, 1);
  EXPECT_EQ(importNotice(b), "1 value was longer than a field holds, cut to fit.");
}

TEST(ImportLines, notesGoIntoTheNotes) {
  // Notes matched by hand (import field 1 to program field 20).
  const ImportedBook b = importText(
      "First Name,Notes\nAnn,\"line one\nline two\rthree\"\n", {{1, kNotesField}});
  ASSERT_EQ(b.records.size(), 1u);
  EXPECT_EQ(b.records[0].notes, "line one\r\nline two\r\nthree");
  EXPECT_EQ(field(b, 0, FieldId::Buffer), "");
  const ImportedBook longNotes =
      importText("Notes\n" + std::string(8000, 'x') + "\n", {{0, kNotesField}});
  EXPECT_EQ(longNotes.records.at(0).notes.size(), kMaxNotesChars);
  EXPECT_EQ(longNotes.valuesCut, 1);
}

TEST(ImportFiles, readsFilesAsOtherProgramsWriteThem) {
  const struct {
    const char* what;
    std::string bytes;
    std::string first, last, company, city;
    int replaced;
  } cases[] = {
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF\"First Name\",Last Name\nJos\xC3\xA9,D\xC3\xBCrr\n",
       "Jos\xE9", "D\xFCrr", "", "", 0},
      {"Windows-1252", "First Name,Last Name\nJos\xE9,D\xFCrr\n", "Jos\xE9", "D\xFCrr", "", "", 0},
      {"semicolons", "First Name;Company;City\nAnn;Smith, Jones & Partners;K\xC3\xB6ln\r\n", "Ann",
       "", "Smith, Jones & Partners", "K\xF6ln", 0},
      {"tabs", "First Name\tCity\nAnn\tNew York\n", "Ann", "", "", "New York", 0},
      {"quoted commas, doubled quotes, line breaks",
       "First Name,Company,City\n\"Ann \"\"Bee\"\"\",\"Smith, Jones\",\"New\nYork\"\n",
       "Ann \"Bee\"", "", "Smith, Jones", "New York", 0},
      {"no final line end", "First Name,City\nAnn,Rome", "Ann", "", "", "Rome", 0},
      {"characters beyond Windows-1252", "First Name\n\xE6\x9D\x8E\xE5\xA8\x9C\n", "??", "", "",
       "", 2},
  };
  for (const auto& c : cases) {
    const ImportedBook b = importText(c.bytes);
    ASSERT_EQ(b.records.size(), 1u) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::First), c.first) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::Last), c.last) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::Company), c.company) << c.what;
    EXPECT_EQ(field(b, 0, FieldId::City), c.city) << c.what;
    EXPECT_EQ(b.replaced, c.replaced) << c.what;
  }
}

// A contacts export shaped like a common mail program's: its own header names, quoted
// commas, UTF-8 accents, a semicolon inside a value, a multi-line note, a group.
TEST(ImportFiles, mailProgramExportLandsInTheRightFields) {
  const std::string csv =
      "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Work Phone,"
      "Home Phone,Fax Number,Mobile Number,Home Address,Home City,Home State,Home ZipCode,"
      "Home Country,Work Address,Work City,Job Title,Department,Organization,Web Page 1,"
      "Notes,Group\r\n"
      "Zo\xC3\xAB,\"M\xC3\xBCller, Jr.\",Zo\xC3\xAB M\xC3\xBCller,zoe,zoe@example.org,z@work.example,"
      "+49 30 1234,030 555,+49 30 999,0170 1,\"Hauptstra\xC3\x9F\x65 5; Hof\",Berlin,,10115,"
      "Germany,\"Suite 2, Unter den Linden 1\",Berlin,Engineer,R&D,\"Smith, Jones & Partners\","
      "https://zoe.example,\"Met in M\xC3\xA1laga\nLikes tea\",Friends\r\n";
  const ImportFile file = parseImportFile(csv);
  FieldMatch match;
  match.autoMatch(file.names);
  match.match(21, kNotesField);  // the user matches Notes by hand
  const ImportedBook b = importRecords(file, match);
  ASSERT_EQ(b.records.size(), 1u);
  const AddressRecord& r = b.records[0];
  const std::pair<FieldId, std::string> expected[] = {
      {FieldId::Group, "Friends"},
      {FieldId::First, "Zo\xEB"},
      {FieldId::Last, "M\xFCller, Jr."},
      {FieldId::Title, "Engineer"},
      {FieldId::Dept, "R&D"},
      {FieldId::Company, "Smith, Jones & Partners"},
      {FieldId::Address1, "Suite 2, Unter den Linden 1"},  // work address first
      {FieldId::City, "Berlin"},
      {FieldId::Zip, "10115"},
      {FieldId::Country, "Germany"},
      {FieldId::Home, "030 555"},
      {FieldId::Office, "+49 30 1234"},
      {FieldId::Mobile, "0170 1"},
      {FieldId::Email, "zoe@example.org"},
      {FieldId::Email2, "z@work.example"},
      {FieldId::WebSite, "https://zoe.example"},
      {FieldId::Fax, "+49 30 999"},
  };
  for (const auto& [f, value] : expected) EXPECT_EQ(r[f], value) << toInt(f);
  EXPECT_EQ(r.notes, "Met in M\xE1laga\r\nLikes tea");

  // The store opens the new book and puts the entry into its group.
  test::TestDir dir;
  const auto path = dir / "zoe.adr";
  test::writeFile(path, *bookBytes(b.records));
  Book book(dir.path());
  ASSERT_EQ(book.open(path), BookStatus::Ok);
  const std::vector<AddressRecord> back = book.recordsInListOrder();
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].fields, r.fields);
  EXPECT_EQ(back[0].notes, r.notes);
  ASSERT_EQ(book.names().groups().size(), 2u);
  EXPECT_EQ(book.names().groups()[1].name, "Friends");
}

TEST(ImportBookBytes, writesTheMagicLineAndRefusesTooManyRecords) {
  EXPECT_EQ(*bookBytes({}), "TVXADR_307\n");
  std::vector<AddressRecord> many(static_cast<std::size_t>(adr::kMaxSlots) + 1);
  EXPECT_FALSE(bookBytes(many).has_value());
}

}  // namespace
}  // namespace mv::imp
