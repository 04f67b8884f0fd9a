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
  s.onCommand(cmd::kAddName);
  s.select(s.names().findNameInGroup(NamesList::kMain, "Cy Ray Acme"));
  s.card().type(FieldId::Home, "555-0199");
  s.onCommand(cmd::kChangeName);
  s.select(s.names().findNameInGroup(NamesList::kMain, "Bob King "));
  prompter.answer(Answer::Yes);  // "Delete this name?"
  s.onCommand(cmd::kDeleteName);
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
// folders in the test's own, driven through its test script (the card-window steps a
// user takes, see shell/TestScript.h).
class RealProgram : public Recovery {
 protected:
  void SetUp() override {
    Recovery::SetUp();
    for (const char* d : {"program", "home", "config", "data", "runtime"})
      std::filesystem::create_directories(root / d);
    std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
    ini = root / "program" / "mervane.ini";
    // No desktop query for a web browser at start.
    test::writeFile(ini, "[Customize]\nHasWebBrowser=1\n");
  }
  void TearDown() override {
    if (copy.state() != QProcess::NotRunning) {
      copy.kill();
      copy.waitForFinished(10000);
    }
    Recovery::TearDown();
  }
  // Starts the program with `script` and waits until its last step, `done`, has run.
  ::testing::AssertionResult runUntilDone(const std::string& script, const QStringList& args) {
    const auto done = root / "done";
    std::filesystem::remove(done);
    test::writeFile(root / "script", script + "done\t" + done.string() + "\n");
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", QString::fromStdString((root / "home").string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((root / "config").string()));
    env.insert("XDG_DATA_HOME", QString::fromStdString((root / "data").string()));
    env.insert("XDG_STATE_HOME", QString::fromStdString((root / "home").string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString((root / "runtime").string()));
    env.insert("MERVANE_PROGRAM_DIR", QString::fromStdString((root / "program").string()));
    env.insert("MERVANE_WINDOWS_DIR", QString::fromStdString((root / "program").string()));
    env.insert("MERVANE_STATE_DIR", QString::fromStdString(state.string()));
    env.insert("MERVANE_TEST_SCRIPT", QString::fromStdString((root / "script").string()));
    env.remove("MERVANE_SCRATCH_DIR");
    copy.setProcessEnvironment(env);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start(MERVANE_BINARY, args);
    if (!copy.waitForStarted(10000)) return ::testing::AssertionFailure() << "not started";
    // Polled, for up to a minute: a sanitized build starts many times slower.
    const auto finished = [&] { return !test::readFile(done).empty(); };
    for (int i = 0; i < 1200 && !finished() && copy.state() != QProcess::NotRunning; ++i)
      copy.waitForFinished(50);
    const std::string said = test::readFile(done);
    if (said != "done\n" || copy.state() != QProcess::Running)
      return ::testing::AssertionFailure()
             << "script: " << said << "program: " << copy.readAll().toStdString();
    return ::testing::AssertionSuccess();
  }
  void killCopy() {
    copy.kill();  // SIGKILL: no destructor, no clean-up
    ASSERT_TRUE(copy.waitForFinished(10000));
    EXPECT_EQ(copy.exitStatus(), QProcess::CrashExit);
  }

  QProcess copy;
};

std::string step(const std::string& verb, const std::string& a, const std::string& b = {}) {
  return verb + "\t" + a + (b.empty() ? "" : "\t" + b) + "\n";
}
std::string field(FieldId f) { return std::to_string(static_cast<int>(f)); }
std::string command(int id) { return step("command", std::to_string(id)); }

// Killed with kill -9 in the middle of editing, then started again: the question comes,
// Yes brings the book back with every edit, still unsaved, and Save keeps them.
TEST_F(RealProgram, killedInTheMiddleOfEditingEveryEditComesBack) {
  const std::string onDisk = test::readFile(book);
  ASSERT_TRUE(runUntilDone(
      // A new name, typed over a shown entry and added.
      step("select", "Ann Lee ") + step("type", field(FieldId::First), "John") +
          step("type", field(FieldId::Last), "Smith") + command(cmd::kAddName) +
          // A phone changed.
          step("select", "Cy Ray Acme") + step("type", field(FieldId::Home), "555-0199") +
          command(cmd::kChangeName) +
          // A name deleted: "Delete this name?" answered Yes.
          step("select", "Bob King ") + step("answer", "Yes") + command(cmd::kDeleteName),
      {QString::fromStdString(book.string())}));
  killCopy();
  EXPECT_EQ(test::readFile(book), onDisk);

  // Started again, without a book named: the question, answered Yes.
  const auto report = root / "report";
  ASSERT_TRUE(runUntilDone(step("answer", "Yes") +
                               step("report", report.string(), field(FieldId::Home)) +
                               command(cmd::kSave),
                           {}));
  EXPECT_EQ(test::readFile(report),
            "asked\tMervane did not close properly.\\n\\nRestore the changes made to " +
                pathText(book) +
                " before it closed?\n"
                "changed\t1\n"
                "name\tAnn Lee \t\n"
                "name\tCy Ray Acme\t555-0199\n"
                "name\tJohn Smith \t\n");
  killCopy();

  // Saved, the book holds the edits for good.
  auto s = restart();
  ASSERT_TRUE(s->openBook(book));
  EXPECT_EQ(mainNames(*s), (std::vector<std::string>{"Ann Lee ", "Cy Ray Acme", "John Smith "}));
  EXPECT_FALSE(s->book().workingFile().changed());
}

TEST_F(RealProgram, aRestoredBookOpensEvenWhenTheRecentListCannotBeWritten) {
  ASSERT_TRUE(runUntilDone(step("select", "Ann Lee ") + step("type", field(FieldId::First), "Jo") +
                               command(cmd::kAddName),
                           {QString::fromStdString(book.string())}));
  killCopy();
  // The settings file cannot be written (here: a folder stands in its place, which even
  // root cannot write a file over), so the restored book cannot become a recent one.
  std::filesystem::remove(ini);
  std::filesystem::create_directory(ini);
  const auto report = root / "report";
  ASSERT_TRUE(runUntilDone(step("answer", "Yes") + step("report", report.string(), field(FieldId::Home)), {}));
  const std::string said = test::readFile(report);
  EXPECT_NE(said.find("changed\t1\n"), std::string::npos) << said;
  EXPECT_NE(said.find("name\tJo Lee "), std::string::npos) << said;
}

}  // namespace
}  // namespace mv
