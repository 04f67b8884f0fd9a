// The open book: saving byte for byte, opening, the working file's versions, compaction,
// sorting, marks and the limits of the slot tables.
#include "store/AtomicFile.h"
#include "store/Book.h"
#include "support/TestDir.h"

#include "data_TestBooks.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::addRecord;
using test::fieldLines;
using test::makeRecord;
using test::namesOf;
using test::readFile;
using test::TestDir;
using test::writeFile;

class BookTest : public ::testing::Test {
 protected:
  std::filesystem::path bookPath() const { return dir_ / "book.adr"; }

  // A new book with John Smith (group Friends, mark 1, two-line notes) and Acme.
  void makeSmallBook() {
    ASSERT_EQ(book_.createNew(bookPath()), BookStatus::Ok);
    AddressRecord john = makeRecord("John", "Smith", "", "Friends", 1);
    john.notes = "Hi\r\nthere";
    addRecord(book_, john);
    addRecord(book_, makeRecord("", "", "Acme"));
  }

  static size_t count(const std::string& bytes, char c) {
    return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), c));
  }

  TestDir dir_;
  TestDir scratch_;
  Book book_{scratch_.path()};
};

TEST_F(BookTest, aSmallBookIsSavedByteForByte) {
  makeSmallBook();
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  const std::string acme =
      std::string("\x14 0 A 0\n") + fieldLines({{FieldId::Company, "Acme"}}) + "\n\x15\n";
  const std::string john = std::string("\x14 1 J 1\n") +
                           fieldLines({{FieldId::Group, "Friends"},
                                       {FieldId::First, "John"},
                                       {FieldId::Last, "Smith"}}) +
                           "Hi\r\nthere\n\x15\n";
  const size_t acmeAt = 11;
  const size_t johnAt = acmeAt + acme.size();
  const std::string expected = "TVXADR_307\n" + acme + john +
                               "\x16\n2\nMain\nFriends\n\x15  error!\n" +
                               "\n" + std::to_string(acmeAt) + " 0\nAcme\n" +
                               "Friends\n" + std::to_string(johnAt) + " 1\nJohn Smith \n";
  EXPECT_EQ(readFile(bookPath()), expected);
  EXPECT_FALSE(book_.workingFile().changed());
  EXPECT_FALSE(book_.workingFile().reorderNeeded());

  // Saving again, and saving after reopening, give the same bytes.
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  EXPECT_EQ(readFile(bookPath()), expected);
  TestDir otherScratch;
  Book again(otherScratch.path());
  ASSERT_EQ(again.open(bookPath()), BookStatus::Ok);
  ASSERT_EQ(again.save(), BookStatus::Ok);
  EXPECT_EQ(readFile(bookPath()), expected);
}

TEST_F(BookTest, anEmptyBookSavesItsTrailerOnly) {
  ASSERT_EQ(book_.createNew(bookPath()), BookStatus::Ok);
  EXPECT_EQ(readFile(bookPath()), "TVXADR_307\n");
  EXPECT_EQ(book_.names().groupCount(), 1);
  EXPECT_EQ(book_.groupToSelect(), 0);
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  EXPECT_EQ(readFile(bookPath()), "TVXADR_307\n\x16\n0\nMain\n\x15  error!\n");
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  EXPECT_EQ(book_.names().count(), 0);
}

TEST_F(BookTest, recordsOpenWhateverTheTrailerSays) {
  makeSmallBook();
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  const std::string saved = readFile(bookPath());
  const std::string records = saved.substr(0, saved.find('\x16'));
  const std::string variants[] = {
      records,                                    // no trailer at all
      records + "\x16\n",                         // end byte only
      records + "\x16\n99\nNoSuch\ngarbage\n",    // a trailer that lies
      records + "\x16\nfirst half of a cut-off tr",
  };
  for (const std::string& bytes : variants) {
    writeFile(dir_ / "cut.adr", bytes);
    Book b(scratch_.path());
    ASSERT_EQ(b.open(dir_ / "cut.adr"), BookStatus::Ok);
    EXPECT_EQ(namesOf(b, 0), (std::vector<std::string>{"Acme", "John Smith "}));
    EXPECT_EQ(b.readRecord(1)->notes, "Hi\r\nthere");
  }
}

TEST_F(BookTest, aRecordCutShortKeepsTheNextRecordIntact) {
  // The first record breaks off after two field lines; the second is whole.
  writeFile(bookPath(), "TVXADR_307\n\x14 0 _ 0\nWork\n\n" "\x14 1 A 0\n" +
                            fieldLines({{FieldId::Company, "Acme"}}) + "n\n\x15\n\x16\n");
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  EXPECT_EQ(book_.names().count(), 2);
  EXPECT_EQ((*book_.readRecord(1))[FieldId::Company], "Acme");
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  EXPECT_EQ(namesOf(book_, 0), (std::vector<std::string>{"", "Acme"}));
  EXPECT_EQ((*book_.readRecord(0))[FieldId::Group], "Work");
  EXPECT_EQ(book_.readRecord(1)->notes, "n");
}

TEST_F(BookTest, groupsComeBackFromRecordsOnly) {
  makeSmallBook();
  book_.names().addGroup("Empty");  // a group nobody names
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  EXPECT_NE(readFile(bookPath()).find("Friends\nEmpty\n\x15  error!"), std::string::npos);
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  EXPECT_EQ(book_.names().findGroup("Empty"), -1);
  EXPECT_EQ(book_.names().findGroup("Friends"), 1);
}

TEST_F(BookTest, theSavedGroupIsSelectedWhenItStillExists) {
  makeSmallBook();
  struct Row {
    const char* saved;
    int selected;
    const char* written;
  };
  const Row rows[] = {
      {"Friends", 1, "Friends"},
      {"friends", 1, "friends"},  // found without regard to case
      {"Gone", 0, "Gone"},        // no longer exists: "Main"
      {"", 0, "Main"},            // absent: "Main", also in the file
      {"   ", 0, "Main"},
  };
  for (const Row& row : rows) {
    book_.setSavedGroup(row.saved);
    EXPECT_EQ(book_.groupToSelect(), row.selected) << row.saved;
    const std::string bytes = book_.serialize();
    EXPECT_NE(bytes.find(std::string("\x16\n2\n") + row.written + "\n"), std::string::npos)
        << row.saved;
  }
}

TEST_F(BookTest, everyChangeIsAppendedAndSavingKeepsTheLastOnly) {
  makeSmallBook();
  const int slot = book_.names().findName("John Smith ");
  for (const char* phone : {"1", "2", "3"}) {
    AddressRecord r = *book_.readRecord(slot);
    r[FieldId::Home] = phone;
    ASSERT_TRUE(book_.workingFile().append(r, slot, 'J'));
  }
  const std::string working = book_.workingFile().readAll();
  EXPECT_EQ(std::count(working.begin(), working.end(), '\x14'), 5);  // Acme + 4 of John
  EXPECT_EQ((*book_.readRecord(slot))[FieldId::Home], "3");
  EXPECT_TRUE(book_.workingFile().changed());
  EXPECT_TRUE(book_.workingFile().reorderNeeded());
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  const std::string saved = readFile(bookPath());
  EXPECT_EQ(count(saved, '\x14'), 2u);
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  EXPECT_EQ((*book_.readRecord(book_.names().findName("john smith ")))[FieldId::Home], "3");
}

TEST_F(BookTest, compactionRewritesTheWorkingFileInListOrder) {
  makeSmallBook();
  // The list says Acme, John; the working file holds John first, then Acme.
  const std::string before = book_.workingFile().readAll();
  EXPECT_LT(before.find("John"), before.find("Acme"));
  ASSERT_EQ(book_.compact(), BookStatus::Ok);
  const std::string after = book_.workingFile().readAll();
  EXPECT_LT(after.find("Acme"), after.find("John"));
  EXPECT_EQ(book_.names().mainNames()[0].slot, 0);
  EXPECT_EQ(book_.names().mainNames()[1].slot, 1);
  EXPECT_TRUE(book_.workingFile().changed());
  EXPECT_FALSE(book_.workingFile().reorderNeeded());
  EXPECT_FALSE(std::filesystem::exists(book_.rewritePath()));
  EXPECT_EQ(book_.path(), bookPath());  // the current path stays
  // Nothing to do when the file is already in list order.
  EXPECT_EQ(book_.compact(), BookStatus::Ok);
  EXPECT_EQ(book_.workingFile().readAll(), after);
}

TEST_F(BookTest, sortOrdersTheListAndMarksFollowTheirRecords) {
  ASSERT_EQ(book_.createNew(bookPath()), BookStatus::Ok);
  addRecord(book_, makeRecord("Zed", "Adams", "", "", 0));
  addRecord(book_, makeRecord("Amy", "Young", "", "Club", 0));
  addRecord(book_, makeRecord("", "", "Acme", "Club", 0));
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);  // file order: Acme, Amy, Zed

  // The label selection unticks Amy (position 1 in file order) before the sort.
  EXPECT_EQ(book_.markOfListed(1), 0);
  book_.setMarkOfListed(1, 1);
  std::vector<std::string> titles;
  ASSERT_EQ(book_.sort(1, [&](const std::string& t) { titles.push_back(t); }), BookStatus::Ok);
  // A company-only entry sorts among the last names.
  EXPECT_EQ(namesOf(book_, 0), (std::vector<std::string>{"Acme", "Adams Zed ", "Young Amy "}));
  EXPECT_EQ(namesOf(book_, 1), (std::vector<std::string>{"Acme", "Young Amy "}));
  EXPECT_EQ(titles.front(), "Sorting items");
  EXPECT_EQ(titles[1], "Sorting items 0% ");
  EXPECT_EQ(titles.back(), "");
  EXPECT_TRUE(book_.workingFile().changed());
  EXPECT_TRUE(book_.workingFile().reorderNeeded());

  ASSERT_EQ(book_.save(), BookStatus::Ok);
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  struct Expect {
    const char* key;
    int mark;
  };
  // The book keeps order 1 for its keys. Only Amy is unticked, though she moved from
  // position 1 to 2 and Zed from 2 to 1: marks follow records, not positions.
  for (const Expect& e : {Expect{"Acme", 0}, Expect{"Adams Zed ", 0}, Expect{"Young Amy ", 1}}) {
    const auto r = book_.readRecord(book_.names().findName(e.key));
    ASSERT_TRUE(r) << e.key;
    EXPECT_EQ(r->mark, e.mark) << e.key;
  }
  const std::string saved = readFile(bookPath());
  EXPECT_EQ(saved.substr(11, 13), "\x14 0 A 0\nClub\n");  // Acme first, position 0
}

TEST_F(BookTest, eachSortOrderRekeysTheListAndTheSavedFileFollows) {
  ASSERT_EQ(book_.createNew(bookPath()), BookStatus::Ok);
  addRecord(book_, makeRecord("Zed", "Adams", "Beta"));
  addRecord(book_, makeRecord("Amy", "Young", "Acme"));
  addRecord(book_, makeRecord("Bob", "Brown", ""));
  struct Row {
    int order;
    std::vector<std::string> names;
  };
  const Row rows[] = {
      {0, {"Amy Young Acme", "Bob Brown ", "Zed Adams Beta"}},
      {1, {"Adams Zed Beta", "Brown Bob ", "Young Amy Acme"}},
      // Bob has no company: his key is only his name, among the companies.
      {2, {"Acme Amy Young", "Beta Zed Adams", "Bob Brown"}},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(book_.sort(row.order), BookStatus::Ok) << row.order;
    EXPECT_EQ(namesOf(book_, 0), row.names) << row.order;
    // Saved and reopened, the file is in that order.
    ASSERT_EQ(book_.save(), BookStatus::Ok);
    ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
    EXPECT_EQ(namesOf(book_, 0), row.names) << row.order;
  }
}

TEST_F(BookTest, anOverLongHandEditedLineDoesNotShiftLaterFields) {
  std::string record = fieldLines({{FieldId::First, "Ann"},
                                   {FieldId::Title, std::string(100, 't')},
                                   {FieldId::Dept, "Sales"},
                                   {FieldId::Company, "Acme"}});
  writeFile(bookPath(), "TVXADR_307\n\x14 0 A 0\n" + record + "notes\n\x15\n\x16\n");
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  EXPECT_EQ(namesOf(book_, 0), (std::vector<std::string>{"Ann  Acme"}));
  const auto r = book_.readRecord(0);
  ASSERT_TRUE(r);
  EXPECT_EQ((*r)[FieldId::Title], std::string(70, 't'));
  EXPECT_EQ((*r)[FieldId::Dept], "Sales");
  EXPECT_EQ((*r)[FieldId::Company], "Acme");
  EXPECT_EQ(r->notes, "notes");
  // Saving writes the line cut to 70 characters: the file is sound again for any reader.
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  const std::string saved = readFile(bookPath());
  EXPECT_NE(saved.find("\n" + std::string(70, 't') + "\nSales\nAcme\n"), std::string::npos);
  EXPECT_EQ(saved.find(std::string(71, 't')), std::string::npos);
}

TEST_F(BookTest, aFailedSaveKeepsTheOldFileAndReportsIt) {
  makeSmallBook();
  ASSERT_EQ(book_.save(), BookStatus::Ok);
  const std::string before = readFile(bookPath());
  addRecord(book_, makeRecord("New", "Person"));
  failNextAtomicWriteForTesting(100);
  EXPECT_EQ(book_.save(), BookStatus::WriteError);
  EXPECT_EQ(readFile(bookPath()), before);
  EXPECT_TRUE(book_.workingFile().changed());  // still unsaved
  EXPECT_EQ(book_.saveAs(dir_ / "nofolder" / "x.adr"), BookStatus::WriteError);
  EXPECT_EQ(book_.path(), bookPath());
  EXPECT_EQ(book_.save(), BookStatus::Ok);
  EXPECT_NE(readFile(bookPath()), before);
}

TEST_F(BookTest, aBookLargerThanTheSlotTablesIsRefusedWhole) {
  const std::string one = "\x14 0 A 0\n" + fieldLines({{FieldId::Company, "Acme"}}) + "\n\x15\n";
  std::string bytes = "TVXADR_307\n";
  for (int i = 0; i < adr::kMaxSlots; ++i) bytes += one;
  writeFile(dir_ / "full.adr", bytes + "\x16\n");
  std::string over = bytes;
  for (int i = adr::kMaxSlots; i < 2500; ++i) over += one;
  writeFile(dir_ / "over.adr", over + "\x16\n");
  ASSERT_EQ(book_.open(dir_ / "full.adr"), BookStatus::Ok);
  EXPECT_EQ(book_.names().count(), adr::kMaxSlots);
  EXPECT_EQ(book_.allocateSlot(), -1);  // no slot left for a new record
  EXPECT_EQ(book_.open(dir_ / "over.adr"), BookStatus::TooManyRecords);
  EXPECT_FALSE(book_.isOpen());
  EXPECT_FALSE(book_.workingFile().isOpen());
  EXPECT_EQ(book_.names().count(), 0);
  EXPECT_FALSE(describe(BookStatus::TooManyRecords).empty());
}

TEST_F(BookTest, slotsAreRenumberedBeforeTheyRunOut) {
  makeSmallBook();
  // Many replaced and deleted records later, next slot has reached the table's end.
  book_.names().setNextSlot(adr::kMaxSlots);
  const int slot = book_.allocateSlot();
  EXPECT_EQ(slot, 2);  // the two live records were renumbered 0 and 1
  EXPECT_EQ(book_.names().nextSlot(), 3);
  EXPECT_EQ(namesOf(book_, 0), (std::vector<std::string>{"Acme", "John Smith "}));
  EXPECT_EQ(book_.readRecord(1)->mark, 1);
}

TEST_F(BookTest, openRefusesWhatIsNotACurrentBookUnlessForced) {
  writeFile(dir_ / "text.adr", "hello\n");
  writeFile(dir_ / "old.adr", "TVXADR_306\n");
  EXPECT_EQ(book_.open(dir_ / "missing.adr"), BookStatus::Unreadable);
  EXPECT_EQ(book_.open(dir_ / "text.adr"), BookStatus::NotABook);
  EXPECT_EQ(book_.open(dir_ / "old.adr"), BookStatus::NotABook);
  EXPECT_FALSE(book_.isOpen());
  // "Try to open the file anyways?" Yes: a file starting with a record opens.
  writeFile(dir_ / "bare.adr", "\x14 0 A 0\n" + fieldLines({{FieldId::Company, "Acme"}}));
  ASSERT_EQ(book_.open(dir_ / "bare.adr", true), BookStatus::Ok);
  EXPECT_EQ(book_.readRecord(0)->fields[6], "Acme");
  book_.close();
  EXPECT_FALSE(std::filesystem::exists(scratch_ / WorkingFile::kFileName));
}

// Records of every shape the walk meets. Saving copies most records whole and the rest
// line by line; either way each comes out as the reader takes it, and the list a rewrite
// builds from the walk is the list reading the rewritten file gives.
TEST_F(BookTest, theListOrderWalkReadsEveryShapeOfRecordAsTheReaderDoes) {
  const std::string longLine(75, 'L');
  struct Row {
    const char* what;
    std::string stored;  // after the start line, up to the next record
    std::string saved;   // what saving writes after the renewed start line
  };
  const std::string whole = fieldLines({{FieldId::First, "Ann"}});
  const std::vector<Row> rows = {
      // the common case: 28 lines, notes and end byte, copied in one piece
      {"whole", whole + "notes\n\x15\n", whole + "notes\n\x15\n"},
      // a hand-made over-long line is cut to 70 characters; the next field stays put
      {"over-long", "x\n" + longLine + "\nBo\n" + fieldLines({}).substr(3) + "\x15\n",
       "x\n" + longLine.substr(0, 70) + "\nBo\n" + fieldLines({}).substr(3) + "\x15\n"},
      // the longest line taken whole, one more character is cut; a tab is plain text
      {"70 characters", "x\n" + std::string(70, 'M') + "\nB\tb\n" + fieldLines({}).substr(3) +
                            "\x15\n",
       "x\n" + std::string(70, 'M') + "\nB\tb\n" + fieldLines({}).substr(3) + "\x15\n"},
      {"71 characters", "x\n" + std::string(71, 'M') + "\nBo\n" + fieldLines({}).substr(3) +
                            "\x15\n",
       "x\n" + std::string(70, 'M') + "\nBo\n" + fieldLines({}).substr(3) + "\x15\n"},
      // cut off after three lines: no more fields, no notes
      {"cut short", "G\nMr\nCy\n\x15\n", "G\nMr\nCy\n\x15\n"},
      // no end byte: the next record's start, at the beginning of a line, ends it
      {"no end byte", whole + "n\n", whole + "n\n\x15\n"},
      // notes of their own without the line feed the writer puts after them
      {"notes without line feed", whole + "a\nb\x15\n", whole + "a\nb\x15\n"},
      // nothing after the start line
      {"empty", "\x15\n", "\n\x15\n"},
  };
  std::string book = "TVXADR_307\n";
  for (size_t i = 0; i < rows.size(); ++i)
    book += "\x14 " + std::to_string(i) + " A 0\n" + rows[i].stored;
  book += "\x16\n";
  writeFile(bookPath(), book);
  ASSERT_EQ(book_.open(bookPath()), BookStatus::Ok);
  ASSERT_EQ(book_.names().count(), static_cast<int>(rows.size()));

  int seen = 0;
  book_.forEachInListOrder([&](const ListedRecord& rec) {
    SCOPED_TRACE(rows[static_cast<size_t>(rec.position)].what);
    EXPECT_EQ(rec.slot, rec.position);
    EXPECT_EQ(rec.read(), *book_.readRecord(rec.slot));
    ++seen;
  });
  EXPECT_EQ(seen, static_cast<int>(rows.size()));

  const std::string saved = book_.serialize();
  size_t at = saved.find('\x14');
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].what);
    const size_t body = saved.find('\n', at) + 1;
    ASSERT_EQ(saved.substr(body, rows[i].saved.size()), rows[i].saved);
    at = body + rows[i].saved.size();
  }

  for (int order : {1, 0}) {
    ASSERT_EQ(book_.sort(order), BookStatus::Ok);
    const std::vector<std::string> sorted = namesOf(book_, 0);
    const std::vector<AddressRecord> records = book_.recordsInListOrder();
    ASSERT_EQ(book_.buildList(true), BookStatus::Ok);
    EXPECT_EQ(namesOf(book_, 0), sorted);
    EXPECT_EQ(book_.recordsInListOrder(), records);
  }
}

}  // namespace
}  // namespace mv
