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

#include <chrono>
#include <cstdlib>
#include <thread>

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

// The child half of the kill test: a copy of the program (this test program, on the
// offscreen platform, with its scratch folder in the state folder like the program's)
// opens the book, edits, says so, and waits to be killed.
TEST(RecoveryChild, editsAndWaits) {
  const char* ready = std::getenv("MERVANE_RECOVERY_READY");
  if (!ready) GTEST_SKIP() << "only run by Recovery.killedInTheMiddleOfEditing";
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  test::ScriptedDialogs dialogs;
  CardSession s(prompter, chooser, dialogs, std::getenv("MERVANE_RECOVERY_INI"));
  ASSERT_TRUE(s.openBook(std::getenv("MERVANE_RECOVERY_BOOK")));
  editLikeAUser(s, dialogs, prompter);
  test::writeFile(ready, "edited");
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

TEST_F(Recovery, killedInTheMiddleOfEditingEveryEditComesBack) {
  QProcess child;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("MERVANE_STATE_DIR", QString::fromStdString(state.string()));
  env.remove("MERVANE_SCRATCH_DIR");
  env.insert("MERVANE_RECOVERY_READY", QString::fromStdString((root / "ready").string()));
  env.insert("MERVANE_RECOVERY_BOOK", QString::fromStdString(book.string()));
  env.insert("MERVANE_RECOVERY_INI", QString::fromStdString(ini.string()));
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=RecoveryChild.editsAndWaits"});
  ASSERT_TRUE(child.waitForStarted(10000));
  for (int i = 0; i < 600 && !std::filesystem::exists(root / "ready"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(std::filesystem::exists(root / "ready")) << child.readAllStandardOutput().toStdString();
  child.kill();  // SIGKILL: no destructor, no clean-up
  ASSERT_TRUE(child.waitForFinished(10000));
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

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
