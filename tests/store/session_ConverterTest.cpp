#include "store/TConvert.h"

#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "store/AddressRecord.h"
#include "store/AtomicFile.h"
#include "store/BookValidation.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mv {
namespace {

// One old record: start byte and line, the field lines, the notes and (optionally) 0x15.
std::string oldRecord(const std::vector<std::string>& lines, const std::string& notes,
                      bool closed = true) {
  std::string r = "\x14 0 A\n";
  for (const auto& l : lines) r += l + "\n";
  r += notes;
  if (closed) r += "\x15\n";
  return r;
}

std::vector<std::string> lines1800(const std::string& first, const std::string& last) {
  // First, Last, Mr/Ms, Title, Company, Address, City, Zip, Home, Office, email, Web,
  // Buffer, Fax, Mobile, Home2, Office2, email2, Web2, News Group, Other.
  return {first, last, "Mr", "Boss", "Acme", "1 Main St", "Springfield", "12345", "555-1",
          "555-2", "a@b.c", "www.x", "buf", "555-3", "555-4", "h2", "o2", "e2", "w2",
          "news", "other"};
}

// Splits a converted file into its records (without the 0x14), for field checks.
std::vector<std::vector<std::string>> recordLines(const std::string& bytes) {
  std::vector<std::vector<std::string>> out;
  size_t pos = 0;
  while ((pos = bytes.find('\x14', pos)) != std::string::npos) {
    const size_t end = bytes.find('\x15', pos);
    std::vector<std::string> lines;
    size_t a = pos + 1;
    for (int i = 0; i < 29 && a < end; ++i) {  // start line + 28 fields
      const size_t nl = bytes.find('\n', a);
      lines.push_back(bytes.substr(a, nl - a));
      a = nl + 1;
    }
    lines.push_back(bytes.substr(a, end - a));  // notes
    out.push_back(lines);
    pos = end;
  }
  return out;
}

class Converter : public ::testing::Test {
 protected:
  void SetUp() override { setScratchDirForTesting(scratch.path()); }
  void TearDown() override { setScratchDirForTesting({}); }
  test::TestDir scratch;
  test::TestDir dir;
};

TEST_F(Converter, book1800WithTwoRecordsFillsTheCurrentFieldsAndLeavesTheRestEmpty) {
  const std::string old = "TVXADR_1800\n" + oldRecord(lines1800("John", "Smith"), "n1\r\n") +
                          oldRecord(lines1800("Ann", "Lee"), "n2\r\n");
  const auto path = dir / "old.adr";
  test::writeFile(path, old);

  TConvert converter;
  ASSERT_EQ(converter.convert(path, "TVXADR_1800"), ConvertStatus::Converted);
  const std::string now = test::readFile(path);
  ASSERT_EQ(now.rfind("TVXADR_307\n", 0), 0u);
  const auto recs = recordLines(now);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0][0], " 0 J");  // counter and first character of "John Smith - Acme"
  EXPECT_EQ(recs[1][0], " 1 A");
  for (const auto& rec : recs) {
    ASSERT_EQ(rec.size(), 30u);
    const auto field = [&](FieldId f) { return rec[1 + static_cast<size_t>(toInt(f))]; };
    for (FieldId f : {FieldId::Group, FieldId::Dept, FieldId::Address2, FieldId::State,
                      FieldId::Country, FieldId::Describe, FieldId::FtpSite})
      EXPECT_EQ(field(f), "") << toInt(f);
    EXPECT_EQ(field(FieldId::MrMs), "Mr");
    EXPECT_EQ(field(FieldId::Company), "Acme");
    EXPECT_EQ(field(FieldId::Zip), "12345");
    EXPECT_EQ(field(FieldId::Buffer), "buf");
    EXPECT_EQ(field(FieldId::Fax), "555-3");
    EXPECT_EQ(field(FieldId::Mobile), "555-4");
    EXPECT_EQ(field(FieldId::NewsGroup), "news");
    EXPECT_EQ(field(FieldId::Other), "other");
  }
  EXPECT_EQ(recs[1][1 + toInt(FieldId::First)], "Ann");
}

TEST_F(Converter, book306KeepsStateCountryAndFtp) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 24; ++i) lines.push_back("v" + std::to_string(i));
  const std::string out =
      convertOldBook("TVXADR_306\n" + oldRecord(lines, "\n"), OldFormat::V306);
  const auto rec = recordLines(out).at(0);
  const auto field = [&](FieldId f) { return rec[1 + static_cast<size_t>(toInt(f))]; };
  EXPECT_EQ(field(FieldId::First), "v1");
  EXPECT_EQ(field(FieldId::State), "v8");
  EXPECT_EQ(field(FieldId::Country), "v10");
  EXPECT_EQ(field(FieldId::Buffer), "v16");
  EXPECT_EQ(field(FieldId::FtpSite), "v23");
  EXPECT_EQ(field(FieldId::Other), "v24");
  EXPECT_EQ(field(FieldId::Group), "");
  EXPECT_EQ(field(FieldId::Describe), "");
}

TEST_F(Converter, notesAreKeptByteForByteAndTheLastRecordIsClosed) {
  struct Row {
    const char* what;
    std::string notes;
    bool closed;
    std::string expectedTail;  // what follows the 28th field line
  };
  const Row rows[] = {
      // line breaks, tabs and accented letters copied as they are
      {"closed", "line 1\r\nline\t2 \xE9\r\n", true, "line 1\r\nline\t2 \xE9\r\n\x15"},
      // the last record of the file without its 0x15 gets one
      {"unclosed", "last words\n", false, "last words\n\x15"},
      // nothing at all after the fields
      {"empty", "", false, "\x15"},
  };
  for (const auto& row : rows) {
    const std::string out = convertOldBook(
        "TVXADR_1800\n" + oldRecord(lines1800("A", "B"), row.notes, row.closed),
        OldFormat::V1800);
    ASSERT_GE(out.size(), row.expectedTail.size()) << row.what;
    EXPECT_EQ(out.substr(out.size() - row.expectedTail.size()), row.expectedTail) << row.what;
    EXPECT_EQ(out.back(), '\x15') << row.what;
  }
}

TEST_F(Converter, aRecordRunningIntoTheNextOneStillFindsIt) {
  // Notes directly followed by the next record's 0x14: the first gets its 0x15, and the
  // second record is converted too.
  const std::string old = "TVXADR_1800\n" + oldRecord(lines1800("A", "B"), "x", false) +
                          oldRecord(lines1800("C", "D"), "y\n");
  const auto recs = recordLines(convertOldBook(old, OldFormat::V1800));
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].back(), "x");
  EXPECT_EQ(recs[1][1 + toInt(FieldId::First)], "C");

  // A record broken off after two field lines, the second without its line feed: its
  // other fields are empty and the next record is still converted whole.
  const std::string broken = "TVXADR_1800\n\x14 0 E\nEve\nStone" +
                             oldRecord(lines1800("Fay", "Gold"), "z\n");
  const auto two = recordLines(convertOldBook(broken, OldFormat::V1800));
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0][1 + toInt(FieldId::Last)], "Stone");
  EXPECT_EQ(two[0][1 + toInt(FieldId::Company)], "");
  EXPECT_EQ(two[1][1 + toInt(FieldId::First)], "Fay");
  EXPECT_EQ(two[1][1 + toInt(FieldId::Other)], "other");
}

TEST_F(Converter, fieldsNeverCarryDelimitersOrCarriageReturns) {
  auto lines = lines1800("Jo\x16hn\r", "Smith");
  const std::string out =
      convertOldBook("TVXADR_1800\n" + oldRecord(lines, "n\n"), OldFormat::V1800);
  EXPECT_EQ(recordLines(out).at(0)[1 + toInt(FieldId::First)], "John");
}

TEST_F(Converter, aNulAsTheInitialKeepsTheStartLineWhole) {
  const std::string out = convertOldBook(
      "TVXADR_1800\n" + oldRecord(lines1800(std::string("\0x", 2), "Smith"), "n\n"),
      OldFormat::V1800);
  const auto rec = recordLines(out).at(0);
  EXPECT_EQ(rec[0], std::string(" 0 \0", 4));
  EXPECT_EQ(rec[1 + toInt(FieldId::Last)], "Smith");
}

TEST_F(Converter, otherFirstWordsLeaveTheFileUntouched) {
  const auto path = dir / "x.adr";
  test::writeFile(path, "TVXADR\nwhatever");
  TConvert converter;
  EXPECT_EQ(converter.convert(path, "TVXADR"), ConvertStatus::NotOldFormat);
  EXPECT_EQ(test::readFile(path), "TVXADR\nwhatever");
}

TEST_F(Converter, aFailedConversionKeepsTheOldFile) {
  const std::string old = "TVXADR_1800\n" + oldRecord(lines1800("John", "Smith"), "n\n");
  const auto path = dir / "old.adr";
  test::writeFile(path, old);

  // The scratch folder does not exist: the converted copy cannot be written.
  setScratchDirForTesting(scratch / "missing");
  {
    TConvert converter;
    EXPECT_EQ(converter.convert(path, "TVXADR_1800"), ConvertStatus::WriteFailed);
  }
  EXPECT_EQ(test::readFile(path), old);
  // Opened through the window, the user agrees, is told, and the book is not opened.
  ScriptedPrompter prompter;
  prompter.answer(Answer::Ok);
  EXPECT_EQ(checkBookFile(path, prompter), BookCheck::Refused);
  EXPECT_EQ(prompter.last().text, "Can not convert:\n" + pathText(path) +
                                      "\n\nThe file could not be rewritten and was left as it was.");
  EXPECT_EQ(test::readFile(path), old);

  // A book that cannot be read is reported, not replaced by an empty one.
  setScratchDirForTesting(scratch.path());
  TConvert converter;
  EXPECT_EQ(converter.convert(dir / "absent.adr", "TVXADR_1800"), ConvertStatus::ReadFailed);
  EXPECT_FALSE(std::filesystem::exists(dir / "absent.adr"));
}

TEST_F(Converter, theWindowRefusesABookTooLargeToOpenBeforeWritingAnything) {
  std::string old = "TVXADR_306\n";
  for (int r = 0; r < 2001; ++r) old += oldRecord({"Ann", "Lee"}, "n\n");
  const auto path = dir / "big.adr";
  test::writeFile(path, old);
  ScriptedPrompter prompter;
  prompter.answer(Answer::Ok);
  EXPECT_EQ(checkBookFile(path, prompter), BookCheck::Refused);
  EXPECT_EQ(test::readFile(path), old);
  EXPECT_FALSE(std::filesystem::exists(scratch / "~tmp~.~"));
  EXPECT_NE(prompter.last().text.find("more than 2000 entries"), std::string::npos);
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
}

TEST_F(Converter, theWindowKeepsTheOldBookWhicheverFileWriteFails) {
  const std::string old = "TVXADR_1800\n" + oldRecord(lines1800("John", "Smith"), "n\n");
  const auto path = dir / "old.adr";
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    test::writeFile(path, old);
    ScriptedPrompter prompter;
    prompter.answer(Answer::Ok);
    failFileWriteForTesting(n);
    const BookCheck result = checkBookFile(path, prompter);
    const bool faulted = !fileWriteFailurePending();
    failFileWriteForTesting(0);
    if (!faulted) {
      EXPECT_EQ(result, BookCheck::Converted);
      EXPECT_EQ(test::readFile(path).substr(0, 11), "TVXADR_307\n");
      break;
    }
    EXPECT_EQ(result, BookCheck::Refused);
    EXPECT_EQ(test::readFile(path), old);
    EXPECT_NE(prompter.last().text.find("left as it was"), std::string::npos);
  }
}

TEST_F(Converter, theScratchFileIsRemovedWithTheConverter) {
  const auto path = dir / "old.adr";
  test::writeFile(path, "TVXADR_306\n");
  std::filesystem::path tmp;
  {
    TConvert converter;
    tmp = converter.scratchFile();
    EXPECT_EQ(tmp.filename(), "~tmp~.~");
    EXPECT_EQ(converter.convert(path, "TVXADR_306"), ConvertStatus::Converted);
    EXPECT_TRUE(std::filesystem::exists(tmp));
  }
  EXPECT_FALSE(std::filesystem::exists(tmp));
  EXPECT_EQ(test::readFile(path), "TVXADR_307\n");
}

}  // namespace
}  // namespace mv
