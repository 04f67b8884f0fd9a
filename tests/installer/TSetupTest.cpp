// The setup window driven by its control ids, as a user clicks through it.
#include "InstallerTestSupport.h"

#include "installer/Installer.h"
#include "installer/QuietMode.h"
#include "installer/ui/TSetup.h"
#include "support/ScriptedPrompter.h"
#include "platform/ui/Controls.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

namespace fs = std::filesystem;

namespace mv::test {
namespace {

class TSetupTest : public TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    makeDist();
  }
  TSetup& open(TSetup::Mode mode, fs::path folder = {}) {
    TSetup::Options o;
    o.mode = mode;
    o.prompter = &prompter;
    o.folder = folder.empty() ? dist() : folder;
    o.programFile = dist() / "setup";
    o.chooseDirectory = [this](const QString&) { return chosen; };
    o.runDialog = [this](QDialog& d) {
      const auto* texts = d.findChildren<QLabel*>().value(0);
      dialogs.push_back(texts ? texts->text() : QString());
      return exitAnswer;
    };
    o.launch = [this](const fs::path& p) {
      launched.push_back(p);
      return true;
    };
    o.startScript = [this](const fs::path& p) {
      scripts.push_back(p);
      return true;
    };
    o.programRunning = [this] { return runningChecks-- > 0; };
    setup = std::make_unique<TSetup>(std::move(o));
    setup->show();
    return *setup;
  }
  QString text() const { return control<QLabel>(setup.get(), 400)->text(); }
  bool shown(int id) const { return control<QWidget>(setup.get(), id)->isVisibleTo(setup.get()); }
  bool enabled(int id) const { return control<QWidget>(setup.get(), id)->isEnabled(); }
  void click(int id) { control<QPushButton>(setup.get(), id)->click(); }

  ScriptedPrompter prompter;
  QString chosen;
  int exitAnswer = QDialog::Accepted;  // Resume
  std::vector<QString> dialogs;
  std::vector<fs::path> launched;
  std::vector<fs::path> scripts;
  int runningChecks = 0;  // how many checks still find Mervane running
  std::unique_ptr<TSetup> setup;
};

TEST_F(TSetupTest, clickingThroughInstallsAndStartsTheProgram) {
  open(TSetup::Mode::Setup);
  EXPECT_EQ(setup->windowTitle(), "Mervane");
  EXPECT_TRUE(text().startsWith("Welcome to Mervane Setup Program."));
  EXPECT_FALSE(shown(401));
  EXPECT_FALSE(shown(402));
  EXPECT_FALSE(enabled(71));

  click(70);
  EXPECT_EQ(setup->step(), 1);
  EXPECT_TRUE(text().startsWith("Setup will install Mervane to the following directory."));
  EXPECT_TRUE(shown(401));
  EXPECT_EQ(control<QLabel>(setup.get(), 401)->toolTip().toStdString(), target().string() + "/");
  EXPECT_TRUE(enabled(71));

  click(70);
  EXPECT_EQ(setup->step(), 2);
  EXPECT_EQ(text(), "Installation is complete.\n\n\nclick \"Next\" to run Mervane,");
  EXPECT_FALSE(shown(105));
  EXPECT_EQ(control<QProgressBar>(setup.get(), 105)->value(), 4);
  EXPECT_TRUE(enabled(70));
  EXPECT_FALSE(enabled(71));
  EXPECT_TRUE(fs::exists(target() / "mervane"));
  EXPECT_TRUE(prompter.shown().empty());

  click(70);
  EXPECT_EQ(launched, std::vector<fs::path>{target() / "mervane"});
  EXPECT_TRUE(setup->finished());
}

TEST_F(TSetupTest, cancelAsksAndResumeStays) {
  open(TSetup::Mode::Setup);
  click(70);
  click(2);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0], "Setup is not complete. If you quit setup now,\nMervane will not be installed.");
  EXPECT_EQ(setup->step(), 1);
  EXPECT_FALSE(setup->finished());
  EXPECT_TRUE(setup->isVisible());
  // The close box asks the same; Exit Setup ends without installing.
  exitAnswer = QDialog::Rejected;
  setup->close();
  EXPECT_EQ(dialogs.size(), 2u);
  EXPECT_TRUE(setup->finished());
  EXPECT_FALSE(fs::exists(target()));
}

TEST_F(TSetupTest, aRefusedTargetReturnsToTheDirectoryStep) {
  struct Case {
    QString chosen;
    std::string message;
  } cases[] = {
      {"relative/Mervane", "Folder name should be an absolute path,\nstarting with /"},
      {"/" + QString(250, 'x'), targetMessage(TargetCheck::TooLong)},
  };
  for (const Case& c : cases) {
    prompter.clear();
    open(TSetup::Mode::Setup);
    chosen = c.chosen;
    click(70);
    click(402);
    EXPECT_EQ(setup->target(), c.chosen.toStdString() + "/");
    // Browse keeps the choice in the list for the next run.
    EXPECT_NE(readFile(dist() / kSetupListName).find("Target_Directory=" + c.chosen.toStdString()),
              std::string::npos);
    click(70);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().text, c.message);
    EXPECT_EQ(setup->step(), 1);
    EXPECT_TRUE(shown(401));
  }
}

TEST_F(TSetupTest, aFileThatCannotBeCopiedIsNamedAndTheInstallationIsNotComplete) {
  fs::remove(dist() / "pagesize.dat");
  open(TSetup::Mode::Setup);
  click(70);
  click(70);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_NE(prompter.last().text.find("pagesize.dat"), std::string::npos);
  EXPECT_TRUE(text().startsWith("Installation is not complete."));
  EXPECT_TRUE(text().contains("pagesize.dat"));
  EXPECT_FALSE(text().contains("Installation is complete"));
}

TEST_F(TSetupTest, removeAsksAndKeepsTheBookUnlessTold) {
  open(TSetup::Mode::Setup);
  click(70);
  click(70);
  click(70);
  open(TSetup::Mode::Remove, target());
  EXPECT_EQ(control<QLabel>(setup.get(), 104)->text(),
            "\n  Are you sure you want to remove\n  Mervane\n  from your computer?");
  const std::pair<int, const char*> boxes[] = {
      {101, "Delete Files"}, {102, "Remove Shortcuts"}, {103, "Remove Menu Entries"}};
  for (const auto& [id, label] : boxes) {
    auto* box = control<QCheckBox>(setup.get(), id);
    EXPECT_EQ(box->text(), label);
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(box->isEnabled());
  }
  EXPECT_FALSE(control<QCheckBox>(setup.get(), 107)->isChecked());
  int ended = 0;
  QObject::connect(setup.get(), &TSetup::ended, [&] { ++ended; });
  click(1);
  // The window was hidden first; the run must still end.
  EXPECT_EQ(ended, 1);
  ASSERT_EQ(scripts.size(), 1u);
  EXPECT_TRUE(setup->finished());
  EXPECT_TRUE(fs::exists(target() / "address.adr"));
  EXPECT_FALSE(fs::exists(target() / "pagesize.dat"));
  fs::remove(scripts[0]);
}

TEST_F(TSetupTest, removeNoLeavesEverything) {
  open(TSetup::Mode::Setup);
  click(70);
  click(70);
  open(TSetup::Mode::Remove, target());
  click(2);
  EXPECT_TRUE(setup->finished());
  EXPECT_TRUE(scripts.empty());
  EXPECT_TRUE(fs::exists(target() / "pagesize.dat"));
  EXPECT_TRUE(dialogs.empty());
}

// Mervane runs for a number of checks; the user answers Retry or Cancel each time.
TEST_F(TSetupTest, aRunningMervaneIsNamedUntilItIsClosedOrTheUserGivesUp) {
  struct Case {
    TSetup::Mode mode;
    int runningChecks;
    std::vector<Answer> answers;
    bool done;  // installed, or removed
  } cases[] = {
      {TSetup::Mode::Setup, 1, {Answer::Cancel}, false},                // back to the directory step
      {TSetup::Mode::Setup, 2, {Answer::Retry, Answer::Retry}, true},  // closed at the third look
      {TSetup::Mode::Remove, 1, {Answer::Cancel}, false},               // the question stays
      {TSetup::Mode::Remove, 1, {Answer::Retry}, true},
  };
  for (const Case& c : cases) {
    const bool removing = c.mode == TSetup::Mode::Remove;
    prompter.clear();
    fs::remove_all(target());
    if (removing) {
      open(TSetup::Mode::Setup);
      click(70);
      click(70);
    }
    open(c.mode, removing ? target() : fs::path());
    if (!removing) click(70);
    runningChecks = c.runningChecks;
    for (Answer a : c.answers) prompter.answer(a);
    click(removing ? 1 : 70);
    ASSERT_EQ(prompter.shown().size(), c.answers.size());
    for (const Message& m : prompter.shown()) {
      EXPECT_EQ(m.text, "Mervane is running. Close it, then press Retry.");
      EXPECT_EQ(m.buttons, Buttons::RetryCancel);
    }
    EXPECT_EQ(fs::exists(target() / "pagesize.dat"), removing != c.done);
    EXPECT_EQ(setup->finished(), removing && c.done);
    if (!removing) {
      EXPECT_EQ(setup->step(), c.done ? 2 : 1);
    }
    for (const fs::path& p : scripts) fs::remove(p);
    scripts.clear();
  }
}

}  // namespace
}  // namespace mv::test
