// Every path by which the program replaces a file of the user's, walked through every
// step at which a disk can fail it: the n-th open, write, flush, sync or rename fails,
// for n = 1, 2, ... until the write gets through. After each failure the old file is
// byte-identical, nothing is left beside it, the user has been told, the book in memory
// is as it was, and the same write succeeds once the fault is gone. The paths, one row
// each of kWritePaths: Save, Save As, Backup, the converter, the CSV, text, vCard,
// letters (RTF) and web-page (HTML) exports, labels.dat and the settings writer.
#include "exchange/ExportFile.h"
#include "exchange/ExportHtml.h"
#include "exchange/ExportRtf.h"
#include "exchange/ui/TExport.h"
#include "platform/AtomicFile.h"
#include "platform/ui/Controls.h"
#include "settings/Profile.h"
#include "printing/ui/LabelSheet.h"
#include "store/BookValidation.h"
#include "store/TConvert.h"
#include "store/session_Fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QRadioButton>

#include <cerrno>
#include <fstream>
#include <functional>
#include <optional>
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
  // What the user is told when the write fails (found in the message's text or caption);
  // empty when the caller gets the failure as a value instead (the settings are written
  // at quit, without a window to speak).
  const char* message;
  // Further files the same command replaces, one after another (the web pages, the
  // letter texts before the letters). No command can replace several files at once:
  // after a failure each holds its old bytes or its new ones, and at least one of them,
  // or the main file, its old bytes.
  std::function<std::vector<std::filesystem::path>(WriteFaults&)> alsoWritten = {};
  // The command writes settings after the main file, key by key (the label sheet's
  // choice): a failure there comes after the main file is in place.
  bool settingsAfter = false;
};

// CTest lists each row by its name.
void PrintTo(const WritePath& path, std::ostream* os) { *os << path.name; }

class WriteFaults : public ::testing::TestWithParam<WritePath> {
 protected:
  void TearDown() override {
    failFileStepForTesting(0);
    sheet.reset();
    session.reset();
    setScratchDirForTesting({});
  }

 public:
  // A fresh folder, scratch folder and session for round n.
  void startRound(int n) {
    sheet.reset();
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
    s.offerLetters = [](const std::filesystem::path&) {};
    s.offerWebPage = [](const std::filesystem::path&) {};
    s.webBook = [] { return webBookOfPeople(); };
    s.programDir = folder;
    TExport wizard(std::move(s));
    control<QRadioButton>(&wizard, radio)->setChecked(true);
    // Text and vCard are written at the second page's Next; CSV, the letters and the web
    // pages at the third page's.
    const bool third = radio == TExport::kCsvRadio || radio == TExport::kRtfRadio ||
                       radio == TExport::kHtmlRadio;
    for (int page = third ? 2 : 1; page > 0; --page) {
      control<QPushButton>(&wizard, TExport::kNext)->click();
      QApplication::processEvents();
    }
  }
  static WebBook webBookOfPeople() {
    WebGroup main{"Main", {}};
    for (const AddressRecord& r : kPeople)
      main.entries.push_back({static_cast<int>(main.entries.size()),
                              r[FieldId::First] + " " + r[FieldId::Last], r});
    return {main};
  }
  // An earlier export's web folder: its pages and the pictures the user may have changed.
  std::filesystem::path oldWebFolder() {
    std::filesystem::create_directories(folder / "web");
    for (const char* name : {kFramesetPage, kNamesPage, kDataPage, kWebPictures[0],
                             kWebPictures[1], kWebPictures[2]})
      oldFile((std::string("web/") + name).c_str());
    return folder / "web" / kFramesetPage;
  }
  // The label sheet over labels.dat and the settings, with a new format added on its
  // "Label Size" page; OK writes both.
  std::filesystem::path labelSheetWithNewFormat() {
    const auto dat = folder / "labels.dat";
    test::writeFile(dat, "Alpha;Address 0, 667,254, 48,127, 699,254, 3,10\n"
                         "A4;Address 1, 635,381, 72,152, 660,381, 3,7\n");
    test::writeFile(folder / "mervane.ini", "; kept\n[Labels]\nID=0\n");
    LabelSheetContext context;
    context.ini = folder / "mervane.ini";
    context.labelsDat = dat;
    sheet = std::make_unique<LabelSheet>(nullptr, prompter, std::move(context));
    QWidget* sizePage = sheet->pages()->widget(0);
    control<QLineEdit>(sizePage, 105)->setText("Gamma Address");
    control<QPushButton>(sizePage, 106)->click();  // Add
    EXPECT_TRUE(prompter.shown().empty());
    return dat;
  }
  // What the user sees in memory: the session's book (every record in list order and the
  // flag) and the label sheet's catalogue.
  std::tuple<std::vector<AddressRecord>, bool, std::vector<std::string>> inMemory() const {
    std::tuple<std::vector<AddressRecord>, bool, std::vector<std::string>> m;
    if (session && session->book().isOpen())
      m = {session->book().recordsInListOrder(), session->book().workingFile().changed(), {}};
    if (sheet) std::get<2>(m) = sheet->catalogue().lines();
    return m;
  }

  test::TestDir root;
  std::filesystem::path folder, bookPath;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<CardSession> session;
  std::unique_ptr<LabelSheet> sheet;
  std::optional<bool> returned;  // what a write without a window to speak returned
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
    returned.reset();
    const std::filesystem::path target = path.prepare(*this);
    std::vector<std::filesystem::path> files{target};
    if (path.alsoWritten)
      for (const auto& f : path.alsoWritten(*this)) files.push_back(f);
    std::vector<std::string> before;
    for (const auto& f : files) before.push_back(test::readFile(f));
    const auto namesBefore = namesIn(target.parent_path());
    const auto memoryBefore = inMemory();

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
    std::vector<std::string> failed;
    for (const auto& f : files) failed.push_back(test::readFile(f));
    if (files.size() == 1 && !path.settingsAfter) {
      EXPECT_EQ(failed[0], before[0]);
    }
    EXPECT_EQ(namesIn(target.parent_path()), namesBefore);
    if (*path.message) {
      ASSERT_FALSE(prompter.shown().empty());
      const Message& said = prompter.last();
      EXPECT_NE((said.text + "\n" + said.caption).find(path.message), std::string::npos)
          << said.text;
    } else {
      EXPECT_EQ(returned, false) << "the failure was not returned to the caller";
    }
    EXPECT_EQ(inMemory(), memoryBefore);
    // A dialog that closed would take its edits with it.
    if (sheet && failed[0] == before[0]) {
      EXPECT_NE(sheet->result(), QDialog::Accepted) << "the label sheet closed on a failed write";
    }

    // The fault gone, the same command writes the file.
    prompter.clear();
    path.act(*this);
    EXPECT_EQ(test::readFile(target), path.expected(*this));
    bool oneKept = false;
    for (size_t i = 0; i < files.size(); ++i) {
      const std::string now = test::readFile(files[i]);
      EXPECT_TRUE(failed[i] == before[i] || failed[i] == now) << files[i] << " half written";
      oneKept = oneKept || failed[i] == before[i];
    }
    if (files.size() > 1) {
      EXPECT_TRUE(oneKept) << "every file was replaced, yet a step failed";
    }
    // The main file is in place and the settings writer failed: its further steps are
    // the Settings row's.
    if (path.settingsAfter && failed[0] != before[0]) break;
  }
  EXPECT_GE(failures, 3) << "the path took fewer steps than a write needs";
}

// Answers for the book's own questions come first: Backup and the converter ask one.
const WritePath kWritePaths[] = {
    {"Save",
     [](WriteFaults& t) { return t.openBook(true); },
     [](WriteFaults& t) { t.session->onCommand(cmd::kSave); },
     [](WriteFaults& t) { return t.session->book().serialize(); }, "File Error"},
    {"SaveAs",
     [](WriteFaults& t) {
       t.openBook(true);
       return t.oldFile("copy.adr");
     },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "copy.adr");
       t.session->onCommand(cmd::kSaveAs);
     },
     [](WriteFaults& t) { return t.session->book().serialize(); }, "Error"},
    {"Backup",
     [](WriteFaults& t) {
       t.openBook(false);
       return t.oldFile("backup.adr");
     },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "backup.adr");
       t.session->onCommand(cmd::kBackup);
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
    {"ExportVcard",
     [](WriteFaults& t) { return t.oldFile("people.vcf"); },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "people.vcf");
       t.prompter.answer(Answer::No);  // "Do you wish to open the parent folder?"
       t.runExportWizard(TExport::kVcardRadio);
     },
     [](WriteFaults&) { return exportBytes(kPeople, ExportFormat::Vcard); }, "people.vcf"},
    {"ExportRtfLetters",
     [](WriteFaults& t) {
       t.oldFile(kLetterBeforeFile);
       t.oldFile(kLetterAfterFile);
       return t.oldFile("letters.rtf");
     },
     [](WriteFaults& t) {
       t.chooser.answer(t.folder / "letters.rtf");
       t.runExportWizard(TExport::kRtfRadio);
     },
     [](WriteFaults& t) {
       return rtfLettersBytes(kPeople, test::readFile(t.folder / kLetterBeforeFile),
                              test::readFile(t.folder / kLetterAfterFile));
     },
     kUnableToOpenCaption,
     [](WriteFaults& t) {
       return std::vector{t.folder / kLetterBeforeFile, t.folder / kLetterAfterFile};
     }},
    {"ExportHtml",
     [](WriteFaults& t) { return t.oldWebFolder(); },
     [](WriteFaults& t) { t.runExportWizard(TExport::kHtmlRadio); },
     [](WriteFaults&) { return webPages(WriteFaults::webBookOfPeople()).frameset; },
     kUnableToOpenCaption,
     [](WriteFaults& t) {
       return std::vector{t.folder / "web" / kNamesPage, t.folder / "web" / kDataPage};
     }},
    {"LabelsDat",
     [](WriteFaults& t) { return t.labelSheetWithNewFormat(); },
     [](WriteFaults& t) { t.sheet->accept(); },
     [](WriteFaults& t) { return labelsDatBytes(t.sheet->catalogue().lines()); },
     "could not be", {}, /*settingsAfter=*/true},
    {"Settings",
     [](WriteFaults& t) {
       const auto ini = t.folder / "mervane.ini";
       test::writeFile(ini, "; kept\n[AddressBook]\nSaveGroup=Main\n");
       return ini;
     },
     [](WriteFaults& t) {
       t.returned = Profile(t.folder / "mervane.ini", "AddressBook").writeString("Buffer", "7");
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
  session.onCommand(cmd::kSave);
  EXPECT_EQ(failedFileStepForTesting(), FileStep::Write);
  failFileStepForTesting(0);
  EXPECT_EQ(test::readFile(book), test::bookBytes(kPeople));
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "File Error");
  EXPECT_TRUE(session.book().workingFile().changed());
  session.onCommand(cmd::kSave);
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
  session.onCommand(cmd::kSave);
  EXPECT_EQ(test::readFile(book), test::bookBytes(many));
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "File Error");
  EXPECT_EQ(namesIn(disk), (std::set<std::string>{"book.adr", "filler"}));
  EXPECT_TRUE(session.book().workingFile().changed());

  std::filesystem::remove(disk / "filler");
  session.onCommand(cmd::kSave);
  EXPECT_EQ(test::readFile(book), expected);
  setScratchDirForTesting({});
}

}  // namespace
}  // namespace mv
