// Books that are damaged, strange or out of reach: nothing crashes, nothing is lost, and
// a save that cannot happen keeps the old file.
#include "support/ScriptedPrompter.h"
#include "store/AtomicFile.h"
#include "store/Book.h"
#include "store/Rescan.h"
#include "support/TestDir.h"

#include "data_TestBooks.h"

#include <gtest/gtest.h>

#include <random>

namespace mv {
namespace {

using test::addRecord;
using test::fieldLines;
using test::makeRecord;
using test::namesOf;
using test::readFile;
using test::TestDir;
using test::writeFile;

class BadInput : public ::testing::Test {
 protected:
  TestDir dir_;
  TestDir scratch_;
  Book book_{scratch_.path()};
};

TEST_F(BadInput, binaryJunkIsRefusedOrReadWithoutHarm) {
  std::mt19937 rng(7);
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk.push_back(static_cast<char>(rng() & 0xFF));

  // Without the magic line it is not a book...
  writeFile(dir_ / "junk.adr", junk);
  EXPECT_EQ(book_.open(dir_ / "junk.adr"), BookStatus::NotABook);
  EXPECT_FALSE(book_.isOpen());

  // ...and forced open (the user said "open it anyways") or behind a magic line, whatever
  // looks like a record is read, every record reads back, and the book saves and reopens.
  for (const std::string& bytes : {junk, "TVXADR_307\n" + junk}) {
    writeFile(dir_ / "junk.adr", bytes);
    ASSERT_EQ(book_.open(dir_ / "junk.adr", true), BookStatus::Ok);
    for (const NameEntry& e : book_.names().mainNames())
      EXPECT_TRUE(book_.readRecord(e.slot).has_value());
    const size_t count = book_.names().mainNames().size();
    // Junk is damaged: it is not saved as it was read, and the rescan repairs it.
    ASSERT_TRUE(book_.isDamaged());
    std::filesystem::remove(dir_ / "saved.adr");
    EXPECT_EQ(book_.saveAs(dir_ / "saved.adr"), BookStatus::Damaged);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "saved.adr"));
    ScriptedPrompter prompter;
    prompter.answer(Answer::Yes);
    ASSERT_EQ(rescanBook(book_, prompter, {}), RescanResult::Done);
    EXPECT_FALSE(book_.isDamaged());
    EXPECT_EQ(book_.names().mainNames().size(), count);
    ASSERT_EQ(book_.saveAs(dir_ / "saved.adr"), BookStatus::Ok);
    ASSERT_EQ(book_.open(dir_ / "saved.adr"), BookStatus::Ok);
    EXPECT_EQ(book_.names().mainNames().size(), count);
  }
}

TEST_F(BadInput, aFileCutOffMidRecordKeepsWhatIsThere) {
  const std::string whole = std::string("TVXADR_307\n") + "\x14 0 A 0\n" +
                            fieldLines({{FieldId::Company, "Acme"}}) + "\n\x15\n" +
                            "\x14 1 J 0\n" +
                            fieldLines({{FieldId::First, "John"}, {FieldId::Last, "Smith"}}) +
                            "notes\n\x15\n\x16\n2\nMain\n";
  // Cut inside John's field lines, after his name: both names are still there.
  const size_t cut = whole.find("Smith\n") + 6;
  writeFile(dir_ / "cut.adr", whole.substr(0, cut));
  ASSERT_EQ(book_.open(dir_ / "cut.adr"), BookStatus::Ok);
  EXPECT_EQ(namesOf(book_, NamesList::kMain),
            (std::vector<std::string>{"Acme", "John Smith "}));
  const auto john = book_.readRecord(book_.names().mainNames()[1].slot);
  ASSERT_TRUE(john.has_value());
  EXPECT_EQ((*john)[FieldId::Last], "Smith");
  EXPECT_EQ((*john)[FieldId::Other], "");
}

TEST_F(BadInput, aMissingFileIsUnreadableAndChangesNothing) {
  EXPECT_EQ(book_.open(dir_ / "nowhere.adr"), BookStatus::Unreadable);
  EXPECT_FALSE(book_.isOpen());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "nowhere.adr"));
}

TEST_F(BadInput, aReadOnlyBookIsNotReplacedBySave) {
  ASSERT_EQ(book_.createNew(dir_ / "book.adr"), BookStatus::Ok);
  addRecord(book_, makeRecord("Ann", "Baker"));
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  const std::string before = readFile(dir_ / "book.adr");

  addRecord(book_, makeRecord("Bob", "Carter"));
  std::filesystem::permissions(dir_ / "book.adr", std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read);
  EXPECT_EQ(book_.save(), BookStatus::WriteError);
  EXPECT_EQ(readFile(dir_ / "book.adr"), before);
  EXPECT_TRUE(book_.workingFile().changed());  // the edit is still waiting to be saved

  // Nothing is left lying beside the book.
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.path())) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(BadInput, aRewriteThatCannotReplaceTheWorkingFileKeepsTheEdits) {
  ASSERT_EQ(book_.createNew(dir_ / "book.adr"), BookStatus::Ok);
  addRecord(book_, makeRecord("Zed", "Adams"));
  addRecord(book_, makeRecord("Amy", "Young"));
  const std::string working = book_.workingFile().readAll();
  // The rewrite's copy cannot be written (its name is taken by a folder): the working
  // file, the only copy of the unsaved names, stays as it was and in use.
  std::filesystem::create_directory(book_.rewritePath());
  EXPECT_EQ(book_.sort(1), BookStatus::WriteError);
  EXPECT_EQ(book_.workingFile().readAll(), working);
  EXPECT_EQ(namesOf(book_, 0), (std::vector<std::string>{"Amy Young ", "Zed Adams "}));
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  ASSERT_EQ(book_.open(dir_ / "book.adr"), BookStatus::Ok);
  EXPECT_EQ(book_.names().count(), 2);
}

}  // namespace
}  // namespace mv
