// Recovery after a crash: what the start-up offer finds, what Yes and No do, and a copy
// killed with SIGKILL in the middle of editing whose every edit comes back.
#include "platform/Paths.h"
#include "settings/Profile.h"
#include "store/Recovery.h"
#include "store/WorkingFile.h"
#include "store/session_Fixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>


namespace mv {
namespace {

using test::person;

const std::vector<AddressRecord> kPeople{person("Ann", "Lee"), person("Bob", "King"),
                                         person("Cy", "Ray", "Acme")};

// The edits of one session: a name added, a phone changed, a name deleted.
void editLikeAUser(CardSession& s, test::ScriptedDialogs& dialogs, ScriptedPrompter& prompter) {
  s.select(s.names().findNameInGroup(NamesList::kMain, "Ann Lee "));
  dialogs.names.push_back(NameParts{"John", "Smith", ""});
  s.onCommand(CardSession::kAddName);
  s.select(s.names().findNameInGroup(NamesList::kMain, "Cy Ray Acme"));
  s.card().type(FieldId::Home, "555-0199");
  s.onCommand(CardSession::kChangeName);
  s.select(s.names().findNameInGroup(NamesList::kMain, "Bob King "));
  prompter.answer(Answer::Yes);  // "Delete this name?"
  s.onCommand(CardSession::kDeleteName);
}

std::vector<std::string> mainNames(const CardSession& s) {
  std::vector<std::string> out;
  for (const auto& e : s.names().mainNames()) out.push_back(e.text);
  std::sort(out.begin(), out.end());
  return out;
}

class Recovery : public ::testing::Test {
 protected:
  void SetUp() override {
    state = root / "state";
    std::filesystem::create_directories(state);
    book = root / "book.adr";
    test::writeFile(book, test::bookBytes(kPeople));
    ini = root / "mervane.ini";
  }
  void TearDown() override { setScratchDirForTesting({}); }

  // A copy's folder as a crash leaves it: the session edits in it, then the session is
  // never closed (its working file and notes stay).
  std::filesystem::path crashedCopy(bool edit, const char* name = "copy-left") {
    const auto folder = state / name;
    std::filesystem::create_directories(folder);
    test::writeFile(folder / kCopyLockName, "999999999 1\n");  // a process that is gone
    setScratchDirForTesting(folder);
    auto* s = new CardSession(prompter, chooser, dialogs, ini);  // left, as by a crash
    EXPECT_TRUE(s->openBook(book));
    if (edit) editLikeAUser(*s, dialogs, prompter);
    left.emplace_back(s);
    prompter.clear();
    setScratchDirForTesting({});
    return folder;
  }
  std::unique_ptr<CardSession> restart() {
    setScratchDirForTesting(root / "restart");
    std::filesystem::create_directories(root / "restart");
    return std::make_unique<CardSession>(prompter, chooser, dialogs, ini);
  }

  test::TestDir root;
  std::filesystem::path state, book, ini;
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  test::ScriptedDialogs dialogs;
  std::vector<std::unique_ptr<CardSession>> left;
};

TEST_F(Recovery, whatTheStartFinds) {
  const auto edited = crashedCopy(true, "copy-edited");
  const auto untouched = crashedCopy(false, "copy-untouched");
  const auto running = state / "copy-running";
  std::filesystem::create_directories(running);
  ASSERT_TRUE(writeCopyLock(running));  // this process: it still runs
  std::filesystem::create_directories(state / "other");  // not a copy's folder

  const auto found = findLeftBooks(state);
  ASSERT_EQ(found.size(), 2u);
  for (const LeftBook& f : found) {
    EXPECT_EQ(f.book, book);
    EXPECT_EQ(f.changed, f.folder == edited) << f.folder;
  }
}

TEST_F(Recovery, yesOpensTheBookWithEveryChangeStillUnsaved) {
  crashedCopy(true);
  const std::string onDisk = test::readFile(book);
  prompter.answer(Answer::Yes);
  EXPECT_EQ(offerRecovery(prompter, ini, state), book);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "Mervane did not close properly.\n\nRestore the changes made to " +
                                      pathText(book) + " before it closed?");
  EXPECT_EQ(prompter.last().buttons, Buttons::YesNo);
  EXPECT_EQ(Profile(ini, "MRU").readString("MRU0", "", 256), pathText(book));
  EXPECT_FALSE(std::filesystem::exists(state / "copy-left"));

  auto s = restart();
  ASSERT_TRUE(s->openBook(book));
  EXPECT_EQ(mainNames(*s), (std::vector<std::string>{"Ann Lee ", "Cy Ray Acme", "John Smith "}));
  const auto cy = s->names().findNameInGroup(NamesList::kMain, "Cy Ray Acme");
  EXPECT_EQ((*s->book().readRecord(s->names().name(cy)->slot))[FieldId::Home], "555-0199");
  EXPECT_TRUE(s->book().workingFile().changed());
  EXPECT_EQ(test::readFile(book), onDisk);  // still unsaved
}

TEST_F(Recovery, noKeepsTheChangesAsideAndSaysWhere) {
  crashedCopy(true);
  const std::string onDisk = test::readFile(book);
  prompter.answer(Answer::No);
  EXPECT_EQ(offerRecovery(prompter, ini, state), std::nullopt);
  ASSERT_EQ(prompter.shown().size(), 2u);
  const std::string said = prompter.last().text;
  const std::string intro = "The changes were not restored. They are kept in:\n";
  ASSERT_EQ(said.rfind(intro, 0), 0u) << said;
  const std::filesystem::path kept = said.substr(intro.size());
  EXPECT_EQ(kept.parent_path(), state);
  EXPECT_EQ(kept.filename().string().rfind("book 20", 0), 0u) << kept;  // dated
  EXPECT_EQ(test::readFile(book), onDisk);
  EXPECT_FALSE(std::filesystem::exists(state / "copy-left"));

  // The copy kept aside is a book with the edits.
  auto s = restart();
  ASSERT_TRUE(s->openBook(kept));
  EXPECT_EQ(mainNames(*s), (std::vector<std::string>{"Ann Lee ", "Cy Ray Acme", "John Smith "}));
}

TEST_F(Recovery, aCopyWithoutChangesIsClearedWithoutAWord) {
  crashedCopy(false);
  EXPECT_EQ(offerRecovery(prompter, ini, state), std::nullopt);
  EXPECT_TRUE(prompter.shown().empty());
  EXPECT_FALSE(std::filesystem::exists(state / "copy-left"));
}

// The real program, on the offscreen platform with its home, settings, state and runtime
// folders in the test's own, opens the book, is driven through its test script (the same
// card-window steps a user takes) and, once the script says the edits are made, is killed
// with SIGKILL: no destructor, no clean-up. The next start offers every edit back.
TEST_F(Recovery, killedInTheMiddleOfEditingEveryEditComesBack) {
  const auto program = root / "program";
  for (const char* d : {"program", "home", "config", "data", "runtime"})
    std::filesystem::create_directories(root / d);
  std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
  ini = program / "mervane.ini";
  // No desktop query for a web browser at start.
  test::writeFile(ini, "[Customize]\nHasWebBrowser=1\n");
  const auto done = root / "edited";
  const auto field = [](FieldId f) { return std::to_string(static_cast<int>(f)); };
  const auto command = [](int id) { return "command\t" + std::to_string(id) + "\n"; };
  test::writeFile(root / "script",
                  // A new name, typed over a shown entry and added.
                  "select\tAnn Lee \n"
                  "type\t" + field(FieldId::First) + "\tJohn\n"
                  "type\t" + field(FieldId::Last) + "\tSmith\n" +
                  command(CardSession::kAddName) +
                  // A phone changed.
                  "select\tCy Ray Acme\n"
                  "type\t" + field(FieldId::Home) + "\t555-0199\n" +
                  command(CardSession::kChangeName) +
                  // A name deleted: "Delete this name?" answered Yes.
                  "select\tBob King \n"
                  "answer\tYes\n" +
                  command(CardSession::kDeleteName) +
                  "done\t" + done.string() + "\n");

  QProcess copy;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("HOME", QString::fromStdString((root / "home").string()));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString((root / "config").string()));
  env.insert("XDG_DATA_HOME", QString::fromStdString((root / "data").string()));
  env.insert("XDG_STATE_HOME", QString::fromStdString((root / "home").string()));
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString((root / "runtime").string()));
  env.insert("MERVANE_PROGRAM_DIR", QString::fromStdString(program.string()));
  env.insert("MERVANE_WINDOWS_DIR", QString::fromStdString(program.string()));
  env.insert("MERVANE_STATE_DIR", QString::fromStdString(state.string()));
  env.insert("MERVANE_TEST_SCRIPT", QString::fromStdString((root / "script").string()));
  env.remove("MERVANE_SCRATCH_DIR");
  copy.setProcessEnvironment(env);
  copy.setProcessChannelMode(QProcess::MergedChannels);
  copy.start(MERVANE_BINARY, {QString::fromStdString(book.string())});
  ASSERT_TRUE(copy.waitForStarted(10000));
  // Polled: a sanitized build starts many times slower than a plain one.
  const auto edited = [&] { return !test::readFile(done).empty(); };
  for (int i = 0; i < 1200 && !edited(); ++i) {
    if (copy.state() == QProcess::NotRunning) break;
    copy.waitForFinished(50);
  }
  ASSERT_TRUE(edited()) << copy.readAll().toStdString();
  ASSERT_EQ(test::readFile(done), "done\n");
  ASSERT_EQ(copy.state(), QProcess::Running) << copy.readAll().toStdString();
  copy.kill();  // SIGKILL
  ASSERT_TRUE(copy.waitForFinished(10000));
  EXPECT_EQ(copy.exitStatus(), QProcess::CrashExit);

  const std::string onDisk = test::readFile(book);
  prompter.answer(Answer::Yes);
  ASSERT_EQ(offerRecovery(prompter, ini, state), book);
  auto s = restart();
  ASSERT_TRUE(s->openBook(book));
  EXPECT_EQ(mainNames(*s), (std::vector<std::string>{"Ann Lee ", "Cy Ray Acme", "John Smith "}));
  const auto cy = s->names().findNameInGroup(NamesList::kMain, "Cy Ray Acme");
  EXPECT_EQ((*s->book().readRecord(s->names().name(cy)->slot))[FieldId::Home], "555-0199");
  EXPECT_TRUE(s->book().workingFile().changed());
  EXPECT_EQ(test::readFile(book), onDisk);
  // Saved, the book holds the edits for good.
  s->onCommand(CardSession::kSave);
  EXPECT_NE(test::readFile(book), onDisk);
}

}  // namespace
}  // namespace mv
