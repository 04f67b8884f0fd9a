// Every path by which the program replaces a file of the user's, walked through every
// step at which a disk can fail it: the n-th open, write, flush, sync or rename fails,
// for n = 1, 2, ... until the write gets through. After each failure the old file is
// byte-identical, nothing is left beside it, the user has been told, the book in memory
// is as it was, and the same write succeeds once the fault is gone.
#include "exchange/ExportFile.h"
#include "exchange/ExportWizard.h"
#include "platform/AtomicFile.h"
#include "platform_qt/Controls.h"
#include "settings/Profile.h"
#include "store/BookValidation.h"
#include "store/Converter.h"
#include "store/session_Fixture.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <cerrno>
#include <fstream>
#include <functional>
#include <set>

#include <sys/mount.h>

namespace mv {
namespace {

using test::person;

const std::vector<AddressRecord> kPeople{person("Zoe", "Young", "Acme"),
                                         person("Ann", "Baker", "", "Friends"),
                                         person("Max", "Mustermann", "Beta GmbH")};

class WriteFaults;

// One write path. `prepare` makes the round's files and state and returns the file the
// write replaces; `act` is the user's command; `expected` what that file holds after it.
struct WritePath {
  const char* name;
  std::function<std::filesystem::path(WriteFaults&)> prepare;
  std::function<void(WriteFaults&)> act;
  std::function<std::string(WriteFaults&)> expected;
  // What the user is told when the write fails; empty when the caller gets the failure
  // as a value instead (the settings are written at quit, without a window to speak).
  const char* message;
};

// CTest lists each row by its name.
void PrintTo(const WritePath& path, std::ostream* os) { *os << path.name; }

class WriteFaults : public ::testing::TestWithParam<WritePath> {
 protected:
  void TearDown() override {
    failFileStepForTesting(0);
    session.reset();
    setScratchDirForTesting({});
  }

 public:
  // A fresh folder, scratch folder and session for round n.
  void startRound(int n) {
    session.reset();
    folder = root / ("round" + std::to_string(n));
    std::filesystem::create_directories(folder / "scratch");
    setScratchDirForTesting(folder / "scratch");
    prompter.clear();
    session = std::make_unique<CardSession>(prompter, chooser, dialogs, folder / "mervane.ini");
  }
  // The book open in the session; with `changed`, sorted by last name first (a stored
  // change, so a save writes other bytes than the file holds).
  std::filesystem::path openBook(bool changed) {
    bookPath = folder / "book.adr";
    test::writeFile(bookPath, test::bookBytes(kPeople));
    EXPECT_TRUE(session->openBook(bookPath));
    if (changed) session->sort(1);
    prompter.clear();
    return bookPath;
  }
  std::filesystem::path oldFile(const char* name) {
    const auto path = folder / name;
    test::writeFile(path, std::string("the older ") + name + "\n");
    return path;
  }
  void runExportWizard(int radio) {
    ExportServices s;
    s.prompter = &prompter;
    s.fileChooser = &chooser;
    s.records = [] { return kPeople; };
    s.openFolder = [](const std::filesystem::path&) {};
    s.offerDocument = [](const std::filesystem::path&) {};
    TExport wizard(std::move(s));
    control<QRadioButton>(&wizard, radio)->setChecked(true);
    // Text is written at the file page's Next; CSV after the field page's.
    for (int page = radio == TExport::kCsvRadio ? 2 : 1; page > 0; --page) {
      control<QPushButton>(&wizard, TExport::kNext)->click();
      QApplication::processEvents();
    }
  }
  // The session's book as the user sees it: every record in list order and the flag.
  std::pair<std::vector<AddressRecord>, bool> bookInMemory() const {
    if (!session || !session->book().isOpen()) return {};
    return {session->book().recordsInListOrder(), session->book().workingFile().changed()};
  }

  test::TestDir root;
  std::filesystem::path folder, bookPath;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<CardSession> session;
};

std::set<std::string> namesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().filename() != "scratch") names.insert(e.path().filename().string());
  return names;
}

const char* stepName(FileStep s) {
  switch (s) {
    case FileStep::Open: return "open";
    case FileStep::Write: return "write";
    case FileStep::Flush: return "flush";
    case FileStep::Sync: return "sync";
    case FileStep::Rename: return "rename";
  }
  return "?";
}

std::string oldFormatBook() {
  std::string old = "TVXADR_306\n";
  for (const char* first : {"Ann", "Bob"}) {
    old += std::string("\x14 0 A\n") + first + "\nKing\n";
    for (int f = 3; f <= 24; ++f) old += "g" + std::to_string(f) + "\n";
    old += "notes\n\x15\n";
  }
  return old;
}

TEST_P(WriteFaults, everyFailedStepLeavesTheOldFileAndTheBookAsTheyWere) {
  const WritePath& path = GetParam();
  int failures = 0;
  for (int n = 1; n < 200; ++n) {
    startRound(n);
    const std::filesystem::path target = path.prepare(*this);
    const std::string before = test::readFile(target);
    const auto namesBefore = namesIn(target.parent_path());
    const auto memoryBefore = bookInMemory();

    failFileStepForTesting(n);
    path.act(*this);
    const bool hit = fileStepsTakenForTesting() >= n;
    const FileStep step = failedFileStepForTesting();
    failFileStepForTesting(0);
    if (!hit) {
      // Fewer steps than n: the write went through undisturbed.
      EXPECT_EQ(test::readFile(target), path.expected(*this)) << "undisturbed";
      EXPECT_EQ(namesIn(target.parent_path()).count(target.filename().string()), 1u);
      break;
    }
    ++failures;
    SCOPED_TRACE(std::string("step ") + std::to_string(n) + " (" + stepName(step) + ") failed");
    EXPECT_EQ(test::readFile(target), before);
    EXPECT_EQ(namesIn(target.parent_path()), namesBefore);
    if (*path.message) {
      ASSERT_FALSE(prompter.shown().empty());
      EXPECT_NE(prompter.last().text.find(path.message), std::string::npos)
          << prompter.last().text;
    }
    EXPECT_EQ(bookInMemory(), memoryBefore);

    // The fault gone, the same command writes the file.
    prompter.clear();
    path.act(*this);
    EXPECT_EQ(test::readFile(target), path.expected(*this));
  }
  EXPECT_GE(failures, 3) << "the path took fewer steps than a write needs";
}

// Answers for the book's own questions come first: Backup and the converter ask one.
const WritePath kWritePaths[] = {
    {"Save",
     [](WriteFaults& t) { return t.openBook(true); },
     [](WriteFaults& t) { t.session->onCommand(CardSession::kSave); },
     [](WriteFaults& t) { return t.session->book().serialize(); }, "File Error"},
    {"SaveAs",
     [](WriteFaults& t) {
       t.openBook(true);
       return t.oldFile("copy.adr");
     },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "copy.adr");
       t.session->onCommand(CardSession::kSaveAs);
     },
     [](WriteFaults& t) { return t.session->book().serialize(); }, "Error"},
    {"Backup",
     [](WriteFaults& t) {
       t.openBook(false);
       return t.oldFile("backup.adr");
     },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "backup.adr");
       t.session->onCommand(CardSession::kBackup);
     },
     [](WriteFaults& t) { return test::readFile(t.bookPath); }, "Backup failed!"},
    {"Converter",
     [](WriteFaults& t) {
       t.bookPath = t.folder / "old.adr";
       test::writeFile(t.bookPath, oldFormatBook());
       return t.bookPath;
     },
     [](WriteFaults& t) {
       t.prompter.answer(Answer::Ok);
       (void)checkBookFile(t.bookPath, t.prompter);
     },
     [](WriteFaults&) { return convertOldBook(oldFormatBook(), OldFormat::V306); },
     "Can not convert"},
    {"ExportCsv",
     [](WriteFaults& t) { return t.oldFile("people.csv"); },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "people.csv");
       t.runExportWizard(TExport::kCsvRadio);
     },
     [](WriteFaults&) { return exportBytes(kPeople, ExportFormat::Csv); }, "people.csv"},
    {"ExportText",
     [](WriteFaults& t) { return t.oldFile("people.txt"); },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "people.txt");
       t.runExportWizard(TExport::kTextRadio);
     },
     [](WriteFaults&) { return exportBytes(kPeople, ExportFormat::Text); }, "people.txt"},
    // HTML and RTF exports join here as rows of their own, as does labels.dat once the
    // label sheets are written.
    {"Settings",
     [](WriteFaults& t) {
       const auto ini = t.folder / "mervane.ini";
       test::writeFile(ini, "; kept\n[AddressBook]\nSaveGroup=Main\n");
       return ini;
     },
     [](WriteFaults& t) {
       (void)Profile(t.folder / "mervane.ini", "AddressBook").writeString("Buffer", "7");
     },
     [](WriteFaults&) { return std::string("; kept\n[AddressBook]\nSaveGroup=Main\nBuffer=7\n"); },
     ""},
};

INSTANTIATE_TEST_SUITE_P(AllPaths, WriteFaults, ::testing::ValuesIn(kWritePaths),
                         [](const auto& info) { return std::string(info.param.name); });

// A full disk: the write reports ENOSPC part-way. The book stays, the user is told, and
// the edits are still in memory to be saved elsewhere.
TEST(DiskFull, aSaveOnAFullDiskKeepsTheBookAndTheEdits) {
  test::TestDir root;
  setScratchDirForTesting(root / "");
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  test::ScriptedDialogs dialogs;
  const auto book = root / "book.adr";
  test::writeFile(book, test::bookBytes(kPeople));
  CardSession session(prompter, chooser, dialogs, root / "mervane.ini");
  ASSERT_TRUE(session.openBook(book));
  session.sort(1);
  const std::string expected = session.book().serialize();
  failFileStepForTesting(2, ENOSPC);  // the first write of the new file's bytes
  session.onCommand(CardSession::kSave);
  EXPECT_EQ(failedFileStepForTesting(), FileStep::Write);
  failFileStepForTesting(0);
  EXPECT_EQ(test::readFile(book), test::bookBytes(kPeople));
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "File Error");
  EXPECT_TRUE(session.book().workingFile().changed());
  session.onCommand(CardSession::kSave);
  EXPECT_EQ(test::readFile(book), expected);
  setScratchDirForTesting({});
}

// The same on a real full disk, where one can be made: a small tmpfs (root, or a user
// namespace), filled up but for a few bytes.
TEST(DiskFull, aSaveOnARealFullDiskKeepsTheBookAndTheEdits) {
  test::TestDir root;
  const auto disk = root / "disk";
  std::filesystem::create_directories(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "no tmpfs here; the full disk is simulated by the test above";
  struct Unmount {
    std::filesystem::path at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{disk};

  setScratchDirForTesting(root.path());
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  test::ScriptedDialogs dialogs;
  std::vector<AddressRecord> many;
  for (int i = 0; i < 60; ++i) many.push_back(person("P" + std::to_string(i), "Q", std::string(60, 'c')));
  const auto book = disk / "book.adr";
  test::writeFile(book, test::bookBytes(many));
  CardSession session(prompter, chooser, dialogs, root / "mervane.ini");
  ASSERT_TRUE(session.openBook(book));
  session.sort(2);
  const std::string expected = session.book().serialize();
  {
    // Fill the disk: whatever is left goes to a filler, in pieces until the disk says no.
    std::ofstream filler(disk / "filler", std::ios::binary);
    const std::string chunk(1024, 'x');
    for (int i = 0; i < 1024 && filler.write(chunk.data(), chunk.size()).flush(); ++i) {
    }
  }
  session.onCommand(CardSession::kSave);
  EXPECT_EQ(test::readFile(book), test::bookBytes(many));
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "File Error");
  EXPECT_EQ(namesIn(disk), (std::set<std::string>{"book.adr", "filler"}));
  EXPECT_TRUE(session.book().workingFile().changed());

  std::filesystem::remove(disk / "filler");
  session.onCommand(CardSession::kSave);
  EXPECT_EQ(test::readFile(book), expected);
  setScratchDirForTesting({});
}

}  // namespace
}  // namespace mv
