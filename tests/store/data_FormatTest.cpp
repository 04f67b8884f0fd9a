// The file format's pieces: first word, start line, record reader and writer, atomic writes.
#include "store/AdrFormat.h"
#include "store/WorkingFile.h"
#include "store/AtomicFile.h"
#include "support/TestDir.h"

#include "data_TestBooks.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::fieldLines;
using test::readFile;
using test::TestDir;
using test::writeFile;

TEST(AdrFormat, firstWordTellsBooksOlderBooksAndStrangersApart) {
  TestDir dir;
  struct Row {
    const char* content;
    adr::BookKind kind;
    const char* word;
  };
  const Row rows[] = {
      {"TVXADR_307\n", adr::BookKind::Current, "TVXADR_307"},
      {"TVXADR_307", adr::BookKind::Current, "TVXADR_307"},           // no line feed
      {"TVXADR_306\n", adr::BookKind::Older, "TVXADR_306"},
      {"TVXADR_1800 rest\n", adr::BookKind::Older, "TVXADR_1800"},    // word ends at blank
      {"TVXADR_3070\n", adr::BookKind::NotABook, "TVXADR_3070"},     // longer word differs
      {"TVXADR_307X_more\n", adr::BookKind::NotABook, "TVXADR_307X"}, // cut at 11 chars
      {"TVXADR\n", adr::BookKind::NotABook, "TVXADR"},
      {"", adr::BookKind::NotABook, ""},                              // empty file
  };
  for (const Row& row : rows) {
    writeFile(dir / "b.adr", row.content);
    const adr::FirstWord first = adr::readFirstWord(dir / "b.adr");
    EXPECT_TRUE(first.readable);
    EXPECT_EQ(first.word, row.word) << row.content;
    EXPECT_EQ(adr::classify(first), row.kind) << row.content;
  }
  EXPECT_EQ(adr::classifyFile(dir / "missing.adr"), adr::BookKind::Unreadable);
  EXPECT_EQ(adr::classifyFile(dir.path()), adr::BookKind::Unreadable);  // a folder
}

TEST(AdrFormat, startLineRoundTripsAndToleratesAMissingMark) {
  EXPECT_EQ(adr::startLine(12, 'J', 1), "\x14 12 J 1\n");
  EXPECT_EQ(adr::startLine(0, '\0', 1), std::string("\x14 0 \0 1\n", 8));  // not cut at the NUL
  const adr::StartLine full = adr::parseStartLine(" 12 J 1");
  EXPECT_EQ(full.slot, 12);
  EXPECT_EQ(full.initial, 'J');
  EXPECT_EQ(full.mark, 1);
  EXPECT_TRUE(full.hasMark);
  // The converter writes start lines without a mark: the mark is 0.
  const adr::StartLine noMark = adr::parseStartLine("\x14 3 A\n");
  EXPECT_EQ(noMark.slot, 3);
  EXPECT_FALSE(noMark.hasMark);
  EXPECT_EQ(noMark.mark, 0);
}

TEST(AdrFormat, startLineNumbersAreReadWithoutOverflow) {
  struct Row {
    const char* text;
    int slot;
    char initial;
    int mark;
    bool hasMark;
  };
  const Row rows[] = {
      {" 3 J 1\r\n", 3, 'J', 1, true},                     // CR LF line end
      {" 3 J 99999999999999999999", 3, 'J', 0, true},       // beyond int: 0, not -1
      {" 3 J -2147483649", 3, 'J', 0, true},                // below int
      {" 99999999999 J 1", 0, 'J', 1, true},                // a slot beyond int
      {" +4 K +1", 4, 'K', 1, true},                        // signs as "%d" takes them
      {" 5 L x", 5, 'L', 0, false},                         // no number after the initial
      {"\x14\x14 6 M 1", 6, 'M', 1, true},                  // extra start bytes
      {"", 0, '_', 0, false},                               // nothing at all
  };
  for (const Row& row : rows) {
    const adr::StartLine got = adr::parseStartLine(row.text);
    EXPECT_EQ(got.slot, row.slot) << row.text;
    EXPECT_EQ(got.initial, row.initial) << row.text;
    EXPECT_EQ(got.mark, row.mark) << row.text;
    EXPECT_EQ(got.hasMark, row.hasMark) << row.text;
  }
}

TEST(AdrFormat, everyReaderFindsTheSameStartLine) {
  // Extra start bytes before a start line: the scan, the record reader and the offset
  // either side of the first 0x14 all see the mark 1.
  AddressRecord r = test::makeRecord("Ann", "Lee");
  std::string bytes = "TVXADR_307\n\x14\x14";
  const size_t at = bytes.size() - 2;
  adr::appendRecord(bytes, r, 0, 'A', 1);
  const auto scanned = WorkingFile::scan(bytes);
  ASSERT_EQ(scanned.size(), 1u);
  EXPECT_EQ(scanned[0].mark, 1);
  EXPECT_FALSE(scanned[0].damaged);
  for (size_t offset : {at, at + 1, static_cast<size_t>(scanned[0].offset)}) {
    const auto back = adr::readRecordAt(bytes, offset);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mark, 1) << offset;
    EXPECT_EQ((*back)[FieldId::Last], "Lee") << offset;
  }
  // A 0x14 that ends the file is a record, read as an empty one, and marks the damage.
  bytes += "\x14";
  const auto two = WorkingFile::scan(bytes);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_TRUE(two[1].damaged);
  const auto empty = adr::readRecordAt(bytes, static_cast<size_t>(two[1].offset));
  ASSERT_TRUE(empty);
  EXPECT_EQ(*empty, AddressRecord{});
}

TEST(AdrFormat, notesEndingInACarriageReturnKeepIt) {
  for (const std::string notes : {"ends in CR\r", "pair\r\n", "\r", "a\r\r"}) {
    AddressRecord r;
    r.notes = notes;
    std::string bytes;
    adr::appendRecord(bytes, r, 0, '_', 0);
    const auto back = adr::readRecordAt(bytes, 0);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->notes, notes);
  }
}

TEST(AdrFormat, fieldLinesAreTakenWholeAndCutTo70) {
  const std::string exact(70, 'x');
  const std::string tooLong = std::string(70, 'y') + "TAIL";
  struct Row {
    std::string input;
    std::vector<std::string> fields;  // what successive field() calls give
  };
  const Row rows[] = {
      // 70 characters read back whole
      {exact + "\nnext\n", {exact, "next"}},
      // an over-long hand-edited line loses its tail, not the next field
      {tooLong + "\nnext\n", {std::string(70, 'y'), "next"}},
      // an empty line is an empty field
      {"\nnext\n", {"", "next"}},
      // a control byte ends the record's fields: it belongs to the next record
      {"a\n\x14 1 B 0\n", {"a"}},
      // a line broken off by a control byte keeps its text
      {"abc\x15\n", {"abc"}},
  };
  for (const Row& row : rows) {
    adr::Reader r(row.input);
    std::vector<std::string> got;
    std::string value;
    while (r.field(value)) got.push_back(value);
    EXPECT_EQ(got, row.fields) << row.input;
  }
}

TEST(AdrFormat, recordReadsBackFromEitherOffsetConvention) {
  AddressRecord r = test::makeRecord("John", "Smith", "", "Friends", 1);
  r[FieldId::Other] = "other";
  r.notes = "line one\r\nline two";
  std::string bytes = "TVXADR_307\n";
  const size_t at = bytes.size();
  adr::appendRecord(bytes, r, 5, 'J', 1);
  bytes += "\x16\n";
  for (size_t offset : {at, at + 1}) {
    const auto back = adr::readRecordAt(bytes, offset);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fields, r.fields);
    EXPECT_EQ(back->notes, r.notes);
    EXPECT_EQ(back->slot, 5);
    EXPECT_EQ(back->initial, 'J');
    EXPECT_EQ(back->mark, 1);
  }
}

TEST(AdrFormat, writtenTextCannotBreakTheFile) {
  AddressRecord r;
  r[FieldId::First] = "Jo\nhn\x14";                 // pasted line break and a delimiter
  r[FieldId::Company] = std::string(80, 'c');       // longer than a field may be
  r.notes = std::string("a\x15") + "b\x16" + std::string(9000, 'n');
  std::string bytes;
  adr::appendRecord(bytes, r, 0, 'J', 0);
  EXPECT_EQ(bytes.substr(0, 8), "\x14 0 J 0\n");
  const auto back = adr::readRecordAt(bytes, 0);
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)[FieldId::First], "John");
  EXPECT_EQ((*back)[FieldId::Company], std::string(70, 'c'));
  EXPECT_EQ(back->notes.size(), adr::kMaxNotesRead);
  EXPECT_EQ(back->notes.substr(0, 4), "abnn");
  // exactly one start byte and one end byte: the record is intact
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\x14'), 1);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\x15'), 1);
}

TEST(AtomicFile, aFailedWriteLeavesTheOldFileAndNoLitter) {
  TestDir dir;
  writeFile(dir / "book.adr", "old content\n");
  failNextAtomicWriteForTesting(4);  // the disk fills up after four bytes
  EXPECT_FALSE(writeFileAtomically(dir / "book.adr", "new content that does not fit\n"));
  EXPECT_EQ(readFile(dir / "book.adr"), "old content\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
  // The simulation covered one write only.
  EXPECT_TRUE(writeFileAtomically(dir / "book.adr", "new\n"));
  EXPECT_EQ(readFile(dir / "book.adr"), "new\n");
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(writeFileAtomically(dir / "no" / "book.adr", "x"));
  EXPECT_FALSE(copyFileAtomically(dir / "missing.adr", dir / "copy.adr"));
  EXPECT_TRUE(copyFileAtomically(dir / "book.adr", dir / "copy.adr"));
  EXPECT_EQ(readFile(dir / "copy.adr"), "new\n");
  // A book reached through a link is saved where the link points; the link stays.
  std::filesystem::create_symlink(dir / "book.adr", dir / "link.adr");
  EXPECT_TRUE(writeFileAtomically(dir / "link.adr", "through the link\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.adr"));
  EXPECT_EQ(readFile(dir / "book.adr"), "through the link\n");
}

}  // namespace
}  // namespace mv
