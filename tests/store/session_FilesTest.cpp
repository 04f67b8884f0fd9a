// The file commands as the user meets them: New, Open, Save, Save As, the changed
// question, closing, Rescan and Backup, and two copies of Mervane on one book.
#include "session_Fixture.h"

#include "settings/Profile.h"
#include "store/AtomicFile.h"
#include "store/OpenBooks.h"
#include "store/Rescan.h"

#include <unistd.h>

namespace mv::test {
namespace {

using Files = SessionTest;

std::string changedQuestion(const std::filesystem::path& p) {
  return pathText(p) + "\n\nAddress file has changed\nSave the changes?";
}

// Makes the open book "changed" the way the user does: edit a name and store it.
void editAndStore(CardSession& s, const std::string& phone) {
  s.select(s.names().findNameInGroup(NamesList::kMain, "John Smith "));
  s.card().type(FieldId::Home, phone);
  ASSERT_EQ(s.storeCard(StoreCommand::Commit), StoreResult::Replaced);
}

TEST_F(Files, openAsksForAnAdrOrCsvFileAndOpensTheChosenBook) {
  const auto path = writeBook("friends.adr", {person("John", "Smith", "", "Friends")});
  chooser.answer(path);
  s().onCommand(cmd::kOpen);

  ASSERT_EQ(chooser.requests().size(), 1u);
  const FileRequest& r = chooser.requests()[0];
  EXPECT_EQ(r.kind, FileRequest::Kind::Open);
  EXPECT_EQ(r.title, "Open a File");
  EXPECT_EQ(r.filter,
            "Mervane Files (*.adr)|*.adr|Text File - Comma Separated Values (*.csv)|*.csv");
  EXPECT_EQ(r.selectedFilter, 1);
  EXPECT_TRUE(r.mustExist);

  EXPECT_TRUE(s().book().isOpen());
  EXPECT_EQ(s().book().path(), path);
  EXPECT_EQ(namesOf(NamesList::kMain), (std::vector<std::string>{"John Smith "}));
  EXPECT_EQ(titles, (std::vector<std::string>{"Mervane - " + pathText(path)}));
  EXPECT_EQ(recents, (std::vector<std::filesystem::path>{path}));
  EXPECT_FALSE(s().book().workingFile().changed());
  EXPECT_EQ(s().selection(), (EntryRef{NamesList::kMain, -1}));

  // The next dialog starts in the open book's folder.
  chooser.cancel();
  s().onCommand(cmd::kOpen);
  EXPECT_EQ(chooser.requests().back().directory, dir.path());
}

TEST_F(Files, openRefusesTheRewriteScratchFileAndForeignFiles) {
  const auto scratchName = writeBook("TEMP~ADR.~~", {person("A", "B")});
  chooser.answer(scratchName);
  s().onCommand(cmd::kOpen);
  EXPECT_FALSE(s().book().isOpen());
  EXPECT_TRUE(prompter.shown().empty());  // silently

  const auto foreign = dir / "letter.adr";
  test::writeFile(foreign, "Dear John,\n");
  chooser.answer(foreign);
  s().onCommand(cmd::kOpen);
  EXPECT_FALSE(s().book().isOpen());
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().caption, "Invalid file format");
}

TEST_F(Files, aDamagedBookSaysSoWhenItOpensAndRescanLetsItBeSaved) {
  // Lines ended by a bare CR, as some editors write them: every record is read, but the
  // book must be repaired before it can be written again.
  std::string crBook = bookBytes({person("Ann", "Lee"), person("Bob", "Ray")});
  for (char& c : crBook)
    if (c == '\n') c = '\r';
  const auto path = dir / "cr.adr";
  test::writeFile(path, crBook);
  chooser.answer(path);
  s().onCommand(cmd::kOpen);
  ASSERT_TRUE(s().book().isOpen());
  EXPECT_EQ(namesOf(NamesList::kMain).size(), 2u);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, describe(BookStatus::Damaged));

  prompter.clear();
  s().onCommand(cmd::kSave);  // Save is refused with the same words; the file stays as it was
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, describe(BookStatus::Damaged));
  EXPECT_EQ(test::readFile(path), crBook);

  prompter.clear();
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kRescan);  // Rescan repairs it
  s().onCommand(cmd::kSave);
  EXPECT_FALSE(s().book().isDamaged());
  EXPECT_NE(test::readFile(path), crBook);
  EXPECT_EQ(namesOf(NamesList::kMain).size(), 2u);
}

TEST_F(Files, openConvertsAnOlderBookAfterTheQuestion) {
  const auto path = dir / "old.adr";
  std::string old = "TVXADR_1800\n\x14 0 J\nJohn\nSmith\n";
  for (int i = 0; i < 19; ++i) old += "\n";
  old += "notes\n\x15\n";
  test::writeFile(path, old);
  chooser.answer(path);
  prompter.answer(Answer::Ok);
  s().onCommand(cmd::kOpen);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().buttons, Buttons::OkCancel);
  ASSERT_TRUE(s().book().isOpen());
  EXPECT_EQ(namesOf(NamesList::kMain), (std::vector<std::string>{"John Smith "}));
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "John Smith ")).notes, "notes");
}

TEST_F(Files, openWithTheCsvTypeHandsOverToTheImportAndOpensItsBook) {
  const auto csv = dir / "people.csv";
  test::writeFile(csv, "First,Last\nJohn,Smith\n");
  importResult = writeBook("people.adr", {person("John", "Smith")});
  chooser.answer(csv, 2);
  s().onCommand(cmd::kOpen);
  EXPECT_EQ(imported, (std::vector<std::filesystem::path>{csv}));
  EXPECT_EQ(s().book().path(), *importResult);
}

TEST_F(Files, theChangedQuestionsThreeAnswers) {
  struct Row {
    const char* what;
    Answer answer;
    bool savedToDisk;  // the edit reached friends.adr
    bool opened;       // the other book is open afterwards
  };
  const Row rows[] = {
      {"Yes saves, then opens", Answer::Yes, true, true},
      {"No drops the changes, then opens", Answer::No, false, true},
      {"Cancel stops the command", Answer::Cancel, false, false},
  };
  for (const auto& row : rows) {
    // A fresh session per row.
    session.reset();
    prompter = ScriptedPrompter{};
    chooser = ScriptedFileChooser{};
    SetUp();
    openBook({person("John", "Smith")});
    const std::string before = test::readFile(bookPath);
    editAndStore(s(), "555-0100");
    ASSERT_TRUE(s().book().workingFile().changed());

    const auto other = writeBook("other.adr", {person("Ann", "Lee")});
    prompter.answer(row.answer);
    chooser.answer(other);
    s().onCommand(cmd::kOpen);

    ASSERT_GE(prompter.shown().size(), 1u) << row.what;
    const Message& q = prompter.shown()[0];
    EXPECT_EQ(q.text, changedQuestion(bookPath)) << row.what;
    EXPECT_EQ(q.caption, "Mervane");
    EXPECT_EQ(q.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(q.icon, Icon::Question);
    const std::string after = test::readFile(bookPath);
    EXPECT_EQ(after != before, row.savedToDisk) << row.what;
    EXPECT_EQ(after.find("555-0100") != std::string::npos, row.savedToDisk) << row.what;
    EXPECT_EQ(s().book().path() == other, row.opened) << row.what;
    EXPECT_EQ(chooser.requests().empty(), !row.opened) << row.what;
  }
}

TEST_F(Files, newCreatesAnEmptyBookWithTheAdrExtension) {
  chooser.answer(dir / "family");
  s().onCommand(cmd::kNewFile);
  const auto path = dir / "family.adr";
  ASSERT_EQ(chooser.requests().size(), 1u);
  EXPECT_EQ(chooser.requests()[0].title, "New");
  EXPECT_TRUE(chooser.requests()[0].overwritePrompt);
  EXPECT_EQ(test::readFile(path), "TVXADR_307\n");
  EXPECT_EQ(s().book().path(), path);
  EXPECT_EQ(s().names().count(), 0);
  EXPECT_EQ(titles.back(), "Mervane - " + pathText(path));
  EXPECT_EQ(recents.back(), path);

  // A folder that cannot hold the file: the creation error, and the book stays as it was.
  chooser.answer(dir / "no-such-folder" / "x.adr");
  s().onCommand(cmd::kNewFile);
  EXPECT_EQ(prompter.last().text, "AddressBook:\nFile Creation Error");
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
  EXPECT_EQ(s().book().path(), path);
}

TEST_F(Files, saveStoresThePendingEditAndWritesTheBook) {
  openBook({person("John", "Smith")});
  s().select(entry(NamesList::kMain, "John Smith "));
  card().type(FieldId::City, "Springfield");
  s().onCommand(cmd::kSave);
  EXPECT_NE(test::readFile(bookPath).find("Springfield"), std::string::npos);
  EXPECT_FALSE(s().book().workingFile().changed());
  EXPECT_FALSE(s().book().workingFile().reorderNeeded());
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Files, saveAsMovesTheBookToTheNewName) {
  openBook({person("John", "Smith")});
  chooser.answer(dir / "copy");
  s().onCommand(cmd::kSaveAs);
  const auto path = dir / "copy.adr";
  EXPECT_EQ(chooser.requests()[0].title, "Save File As");
  EXPECT_EQ(s().book().path(), path);
  EXPECT_EQ(test::readFile(path), s().book().serialize());
  EXPECT_NE(test::readFile(path).find("John\nSmith\n"), std::string::npos);
  EXPECT_EQ(titles.back(), "Mervane - " + pathText(path));
  EXPECT_EQ(recents.back(), path);
}

TEST_F(Files, aBookNamedInAnotherScriptKeepsItsNameInTitleListAndMessages) {
  // File names are the file system's (UTF-8), not field text: nothing turns into '?'.
  const std::string moscow = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";  // Москва
  openBook({person("John", "Sm\xEFth")});  // Smïth, field text in Windows-1252
  chooser.answer(dir / moscow);
  s().onCommand(cmd::kSaveAs);
  const auto path = dir / (moscow + ".adr");
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(titles.back(), "Mervane - " + (dir.path() / moscow).string() + ".adr");
  EXPECT_EQ(recents.back(), path);
  EXPECT_NE(test::readFile(path).find("Sm\xEFth"), std::string::npos);

  // Saving As the same name in other letter case writes in place, in this script too.
  chooser.answer(dir / "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.ADR");  // москва.ADR
  s().onCommand(cmd::kSaveAs);
  EXPECT_EQ(s().book().path(), path);

  // Messages that name the file carry it as it is, and say how to read them.
  s().select(entry(NamesList::kMain, "John Sm\xEFth "));
  card().type(FieldId::City, "Springfield");
  prompter.answer(Answer::Cancel);
  s().onCommand(cmd::kOpen);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, changedQuestion(path));
  EXPECT_EQ(prompter.last().coding, TextCoding::Utf8);
}

TEST_F(Files, saveAsWithTheCsvTypeHandsASnapshotToTheExportAndKeepsThePath) {
  openBook({person("John", "Smith"), person("Ann", "Lee")});
  // What is typed and not yet stored goes into the export too.
  s().select(entry(NamesList::kMain, "Ann Lee "));
  card().type(FieldId::City, "Oslo");
  chooser.answer(dir / "export", 2);
  s().onCommand(cmd::kSaveAs);
  EXPECT_EQ(exported, (std::vector<std::filesystem::path>{dir / "export.csv"}));
  ASSERT_EQ(exportedRecords.size(), 2u);
  EXPECT_EQ(exportedRecords[0][FieldId::First], "John");
  EXPECT_EQ(exportedRecords[1][FieldId::First], "Ann");
  EXPECT_EQ(exportedRecords[1][FieldId::City], "Oslo");
  EXPECT_EQ(s().book().path(), bookPath);
  EXPECT_FALSE(std::filesystem::exists(s().book().rewritePath()));
  EXPECT_TRUE(s().book().workingFile().changed());
}

TEST_F(Files, closingWithOkRemembersGroupAndSecondSetAndSaves) {
  openBook({person("John", "Smith", "", "Friends")});
  s().onCommand(7052 + 3);  // Web2 in the shared editor
  s().select({s().names().findGroup("Friends"), -1});
  editAndStore(s(), "555-0111");
  s().onCommand(cmd::kOk);
  const Profile profile(settings, "AddressBook");
  EXPECT_EQ(profile.readString("SaveGroup", "", 50), "Friends");
  EXPECT_EQ(profile.readInt("Buffer", 0), 24);
  EXPECT_NE(test::readFile(bookPath).find("555-0111"), std::string::npos);
  EXPECT_EQ(closed, 1);

  // The next window starts with them.
  CardSession next(prompter, chooser, dialogs, settings);
  EXPECT_EQ(next.card().secondSetField(), 24);
  EXPECT_EQ(next.book().savedGroup(), "Friends");
}

TEST_F(Files, closingWithCancelAsksAndCancelKeepsTheWindow) {
  openBook({person("John", "Smith")});
  editAndStore(s(), "555-0122");
  prompter.answer(Answer::Cancel);
  s().onCommand(cmd::kCancel);
  EXPECT_EQ(closed, 0);
  prompter.answer(Answer::No);
  s().onCommand(cmd::kCancel);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(test::readFile(bookPath).find("555-0122"), std::string::npos);
}

TEST_F(Files, anEditStillOnTheCardIsAskedAboutBeforeClosingOrOpening) {
  // Typed but neither added nor changed: closing must not drop it without asking.
  openBook({person("John", "Smith")});
  s().select(entry(NamesList::kMain, "John Smith "));
  card().type(FieldId::Home, "555-0199");
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kCancel);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().caption, "Mervane");
  EXPECT_EQ(closed, 1);
  EXPECT_NE(test::readFile(bookPath).find("555-0199"), std::string::npos);

  // The same for Open: No drops the edit, and only then.
  openBook({person("John", "Smith")});
  s().select(entry(NamesList::kMain, "John Smith "));
  card().type(FieldId::Home, "555-0100");
  prompter.answer(Answer::No);
  chooser.cancel();
  s().onCommand(cmd::kOpen);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(test::readFile(bookPath).find("555-0100"), std::string::npos);
}

TEST_F(Files, sortByLastNameRekeysTheListAndMarksTheBookChanged) {
  openBook({person("Zed", "Adams"), person("Ann", "Young"), person("", "", "Acme")});
  s().onCommand(cmd::kSortLast);
  EXPECT_EQ(namesOf(NamesList::kMain),
            (std::vector<std::string>{"Acme", "Adams Zed ", "Young Ann "}));
  EXPECT_EQ(s().book().cardSort(), 1);
  EXPECT_TRUE(s().book().workingFile().changed());
  EXPECT_EQ(s().selection(), (EntryRef{NamesList::kMain, -1}));
}

// Each write that cannot happen is reported, and the edits it would have carried stay.
TEST_F(Files, failuresAreReportedAndNothingIsLost) {
  openBook({person("John", "Smith")});
  editAndStore(s(), "555-0133");

  // The book was made read-only: Save and OK report "File Error"; the window stays open.
  std::filesystem::permissions(bookPath, std::filesystem::perms::owner_read);
  s().onCommand(cmd::kSave);
  s().onCommand(cmd::kOk);
  EXPECT_EQ(texts(), (std::vector<std::string>{"File Error", "File Error"}));
  EXPECT_EQ(prompter.last().caption, "Mervane");
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(s().book().workingFile().changed());
  prompter.clear();

  // Rescan cannot create its scratch copy: the two failure messages, the book unchanged.
  std::filesystem::create_directory(s().book().rewritePath());
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kRescan);
  ASSERT_EQ(prompter.shown().size(), 3u);
  EXPECT_EQ(prompter.shown()[1].text, "File Creation Error");
  EXPECT_EQ(prompter.shown()[2].text, "no success!");
  EXPECT_EQ(prompter.shown()[2].caption, "");
  std::filesystem::remove(s().book().rewritePath());
  EXPECT_EQ(recordAt(entry(NamesList::kMain, "John Smith "))[FieldId::Home], "555-0133");
  prompter.clear();

  // Another book whose working copy cannot be made: the window closes.
  const auto other = writeBook("other.adr", {person("Ann", "Lee")});
  std::filesystem::path blocked = scratch.path() / WorkingFile::kFileName;
  blocked += ".new";
  std::filesystem::create_directory(blocked);
  EXPECT_FALSE(s().openBook(other));
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         "Unable to initialize address book\nDetail: can not create temp file"}));
  EXPECT_EQ(closed, 1);
}

// --- Two copies on one book

TEST_F(Files, aBookChangedOnDiskIsNeverWrittenOverSilently) {
  enum class Disk { Untouched, Changed, SameSizeAndTime };
  struct Row {
    const char* what;
    int command;
    Disk disk;
    std::vector<Answer> answers;
    const char* chosen;    // the file dialog's answer (none: no dialog expected)
    bool asked;            // the question about the changed file
    bool bookHoldsOurs;    // book.adr holds this copy's edit (else the other program's)
    const char* oursIn;    // another file that must hold this copy's edit
  };
  const Row rows[] = {
      {"Save, file as it was: saved", cmd::kSave, Disk::Untouched, {}, nullptr, false, true,
       nullptr},
      {"Save, Yes replaces it", cmd::kSave, Disk::Changed, {Answer::Yes}, nullptr, true, true,
       nullptr},
      {"Save, No saves under another name", cmd::kSave, Disk::Changed, {Answer::No}, "mine",
       true, false, "mine.adr"},
      {"Save, Cancel writes nothing", cmd::kSave, Disk::Changed, {Answer::Cancel}, nullptr,
       true, false, nullptr},
      // Same size, same time: only the bytes tell.
      {"Save, a change of the same size and time", cmd::kSave, Disk::SameSizeAndTime,
       {Answer::Cancel}, nullptr, true, false, nullptr},
      {"Save As a new name leaves the other's file", cmd::kSaveAs, Disk::Changed, {}, "mine",
       false, false, "mine.adr"},
      {"Save As its own name is a Save", cmd::kSaveAs, Disk::Changed, {Answer::Cancel},
       "book.adr", true, false, nullptr},
      {"Save As its own name without .adr", cmd::kSaveAs, Disk::Changed, {Answer::Cancel},
       "book", true, false, nullptr},
      {"OK, Cancel keeps the window open", cmd::kOk, Disk::Changed, {Answer::Cancel}, nullptr,
       true, false, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    session.reset();
    prompter = ScriptedPrompter{};
    chooser = ScriptedFileChooser{};
    closed = 0;
    SetUp();
    openBook({person("John", "Smith")});
    editAndStore(s(), "555-0100");
    // Another copy saves its own edit meanwhile; "Jane" is as long as "John".
    const auto modified = std::filesystem::last_write_time(bookPath);
    if (row.disk == Disk::Changed) test::writeFile(bookPath, bookBytes({person("Janet", "Smith")}));
    if (row.disk == Disk::SameSizeAndTime) {
      test::writeFile(bookPath, bookBytes({person("Jane", "Smith")}));
      std::filesystem::last_write_time(bookPath, modified);
    }
    const std::string theirs = test::readFile(bookPath);
    for (Answer a : row.answers) prompter.answer(a);
    if (row.chosen) chooser.answer(dir / row.chosen);

    s().onCommand(row.command);

    const std::string question =
        pathText(bookPath) +
        " was changed by another program since it was opened.\n\nReplace it with this copy?";
    EXPECT_EQ(texts(), row.asked ? std::vector<std::string>{question} : std::vector<std::string>{});
    if (row.asked) {
      EXPECT_EQ(prompter.shown()[0].buttons, Buttons::YesNoCancel);
      EXPECT_EQ(prompter.shown()[0].caption, "Mervane");
    }
    EXPECT_EQ(chooser.requests().size(), row.chosen ? 1u : 0u);
    const std::string onDisk = test::readFile(bookPath);
    if (row.bookHoldsOurs) {
      EXPECT_NE(onDisk.find("555-0100"), std::string::npos);
    } else if (row.disk != Disk::Untouched) {
      EXPECT_EQ(onDisk, theirs);
    }
    if (row.oursIn) {
      EXPECT_NE(test::readFile(dir / row.oursIn).find("555-0100"), std::string::npos);
      EXPECT_EQ(s().book().path(), dir / row.oursIn);
    }
    // Nothing written anywhere: the edit is still this copy's, not yet saved.
    if (!row.bookHoldsOurs && !row.oursIn) {
      EXPECT_TRUE(s().book().workingFile().changed());
      EXPECT_EQ(closed, 0);
    }
  }
}

TEST_F(Files, aBookOpenInAnotherRunningCopyIsAskedAboutAStaleRecordIsNot) {
  const auto other = writeBook("other.adr", {person("Ann", "Lee")});
  // This copy's own records.
  const auto ours = [this] {
    std::vector<std::string> names;
    const std::string mine = "-" + std::to_string(::getpid()) + ".open";
    for (const auto& e : std::filesystem::directory_iterator(state.path() / "open-books")) {
      const std::string name = e.path().filename().string();
      if (name.size() > mine.size() && name.ends_with(mine)) names.push_back(name);
    }
    return names;
  };
  // A running process that is not this one stands in for the other copy.
  OpenBookRecord them = OpenBookRecord::thisCopy();
  them.pid = static_cast<long>(::getppid());
  them.start = processStartTime(them.pid);
  them.user = "ann";
  struct Row {
    const char* what;
    bool stale;
    Answer answer;
    bool asked;
    bool opened;
  };
  const Row rows[] = {
      {"No leaves it closed", false, Answer::No, true, false},
      {"Yes opens it", false, Answer::Yes, true, true},
      {"the copy has ended (its process id now someone else's)", true, Answer::No, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    OpenBookRecord who = them;
    if (row.stale) who.start = "1";
    BookClaim theirs = OpenBooks(openBooksFolder()).claim(other, who);
    ASSERT_FALSE(theirs.book().empty());
    prompter.clear();
    prompter.answer(row.answer);
    EXPECT_EQ(s().openBook(other), row.opened);
    ASSERT_EQ(prompter.shown().size(), row.asked ? 1u : 0u);
    if (row.asked) {
      const std::string& text = prompter.last().text;
      EXPECT_EQ(text.rfind(pathText(other) + " is already open in another copy of Mervane "
                           "(process " + std::to_string(them.pid) + " of ann on " + them.host +
                           ", open since ", 0),
                0u)
          << text;
      EXPECT_EQ(prompter.last().buttons, Buttons::YesNo);
    }
    // A stale record is removed when met; a live one stays.
    EXPECT_EQ(std::filesystem::exists(theirs.file()), !row.stale);
    EXPECT_EQ(s().book().path() == other, row.opened);
    if (row.opened) openBook({person("John", "Smith")});  // the next row opens it afresh
  }
  s().openBook(other);
  // This copy's record follows its book: one, for the book it has open, and none once the
  // window is gone.
  const std::vector<std::string> onOther = ours();
  EXPECT_EQ(onOther.size(), 1u);
  ASSERT_TRUE(s().openBook(bookPath));
  EXPECT_EQ(ours().size(), 1u);
  EXPECT_NE(ours(), onOther);
  session.reset();
  EXPECT_TRUE(ours().empty());
}

// --- Rescan

TEST_F(Files, rescanMarksEveryRepeatedKeyButTheLast) {
  std::vector<AddressRecord> records;
  for (int i = 0; i < 10; ++i) records.push_back(person("P" + std::to_string(i), "X"));
  for (int i : {4, 7, 9}) records[static_cast<size_t>(i)] = person("John", "Smith");
  records[7][FieldId::Home] = "keep me";
  openBook(records);

  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kRescan);
  ASSERT_EQ(prompter.shown().size(), 2u);
  EXPECT_EQ(prompter.shown()[0].caption, "Scan Address Book");
  EXPECT_EQ(prompter.shown()[1].caption, "Duplicate Entries");
  const std::string& msg = prompter.shown()[1].text;
  EXPECT_TRUE(msg.ends_with("please report it to support@mervane.org\n")) << msg;

  const auto names = namesOf(NamesList::kMain);
  EXPECT_EQ(names[4], "John[Dup:4] Smith ");
  EXPECT_EQ(names[7], "John[Dup:7] Smith ");
  EXPECT_EQ(names[9], "John Smith ");
  EXPECT_EQ(recordAt({NamesList::kMain, 7})[FieldId::Home], "keep me");
  // Progress went through the title and the title was restored.
  EXPECT_EQ(progress.front(), "Rescan: 0%");
  EXPECT_EQ(progress.back(), "");
  EXPECT_FALSE(s().book().workingFile().changed());  // reaches the file with the next Save
}

TEST_F(Files, rescanOfACleanBookSaysSoAndKeepsEveryRecord) {
  openBook({person("Ann", "Lee"), person("John", "Smith"), person("Zed", "Zee")});
  s().select(entry(NamesList::kMain, "John Smith "));
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kDeleteName);  // a deleted record is not written by the rescan
  prompter.clear();
  const auto before = s().book().recordsInListOrder();
  prompter.answer(Answer::Yes);
  s().onCommand(cmd::kRescan);
  ASSERT_EQ(prompter.shown().size(), 2u);
  EXPECT_EQ(prompter.last().text, "File looks okay :-)");
  const auto after = s().book().recordsInListOrder();
  ASSERT_EQ(after.size(), 2u);
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].fields, before[i].fields);

  prompter.answer(Answer::No);  // anything but Yes stops
  s().onCommand(cmd::kRescan);
  EXPECT_EQ(prompter.shown().size(), 3u);
}

// --- Backup

TEST_F(Files, backupCopiesTheSavedFileAndSaysWhere) {
  openBook({person("John", "Smith")});
  editAndStore(s(), "555-0133");
  prompter.answer(Answer::Yes);  // Should I Save this file before backup?
  chooser.answer(dir / "safe");
  s().onCommand(cmd::kBackup);
  const auto target = dir / "safe.adr";
  EXPECT_EQ(chooser.requests().back().title, "Backup Address File");
  EXPECT_EQ(prompter.shown()[0].text, "Should I Save this file before backup?");
  EXPECT_EQ(test::readFile(target), test::readFile(bookPath));
  EXPECT_NE(test::readFile(target).find("555-0133"), std::string::npos);
  const std::string book = pathText(bookPath);
  EXPECT_EQ(prompter.last().text, "Backup is complete\n\n" + book + "\nwas copied to\n" +
                                      pathText(target) +
                                      "\n\nYou are currently editing this file:\n" + book);
  EXPECT_EQ(s().book().path(), bookPath);
}

TEST_F(Files, backupOntoItsOwnPathIsRefused) {
  openBook({person("John", "Smith")});
  const std::string before = test::readFile(bookPath);
  for (const auto& choice : {bookPath, dir / "BOOK.ADR", dir / "book"}) {
    prompter.clear();
    chooser.answer(choice);
    s().onCommand(cmd::kBackup);
    ASSERT_EQ(prompter.shown().size(), 1u) << choice;
    EXPECT_EQ(prompter.last().text,
              "Backup failed!\n\nPlease choose a different name\nfor the backup file");
  }
  EXPECT_EQ(test::readFile(bookPath), before);
}

TEST_F(Files, aFailedBackupCopyIsReportedNotCelebrated) {
  openBook({person("John", "Smith")});
  const auto target = dir / "safe.adr";
  test::writeFile(target, "older backup");
  chooser.answer(target);
  failNextAtomicWriteForTesting(3);  // the disk fills up during the copy
  s().onCommand(cmd::kBackup);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
  EXPECT_EQ(prompter.last().text.rfind("Backup failed!", 0), 0u);
  EXPECT_EQ(test::readFile(target), "older backup");  // the old backup is not half-replaced
}

}  // namespace
}  // namespace mv::test
