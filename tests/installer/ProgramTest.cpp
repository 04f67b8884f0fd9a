// The real program: the quiet modes' exit codes, a second copy started as setup, and a
// book named on the command line, opened by a first copy or handed to a running one.
#include "InstallerTestSupport.h"

#include "installer/Installer.h"
#include "settings/Profile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <functional>

namespace fs = std::filesystem;

namespace mv::test {
namespace {

class ProgramTest : public TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
      env.insert(name, QString::fromLocal8Bit(std::getenv(name)));
    // No desktop database tools: the tests do not depend on what the machine has.
    env.insert("PATH", "/usr/bin:/bin");
  }
  void TearDown() override {
    for (QProcess* p : {&first, &second}) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
    }
    TempHome::TearDown();
  }
  // Runs a copy to its end; its exit code.
  int run(const QString& program, const QStringList& args, const QProcessEnvironment& e) {
    QProcess p;
    p.setProcessEnvironment(e);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    output = p.readAllStandardOutput() + p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -999;
  }
  static bool waitFor(const std::function<bool()>& condition, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
      if (t.elapsed() > ms) return false;
      QThread::msleep(100);
    }
    return true;
  }
  // A program folder of the running copies, with its settings and two books.
  QProcessEnvironment programEnv() {
    fs::create_directories(dir_ / "program");
    writeFile(dir_ / "program" / "mervane.ini", "[Customize]\nHasWebBrowser=1\n");
    QProcessEnvironment e = env;
    e.insert("MERVANE_PROGRAM_DIR", QString::fromStdString((dir_ / "program").string()));
    e.insert("MERVANE_WINDOWS_DIR", QString::fromStdString((dir_ / "program").string()));
    return e;
  }
  fs::path book(const std::string& name) {
    const fs::path p = dir_ / name;
    fs::copy_file(MERVANE_STARTER_BOOK, p);
    return p;
  }
  std::string newestBook() {
    return Profile(dir_ / "program" / "mervane.ini", "MRU").readString("MRU0", "", 512);
  }

  QProcessEnvironment env;
  QString output;
  QProcess first;
  QProcess second;
};

TEST_F(ProgramTest, quietSetupAndRemoveSayHowTheyEnded) {
  makeDist();
  QProcessEnvironment fromDist = env;
  fromDist.insert("MERVANE_PROGRAM_DIR", QString::fromStdString(dist().string()));
  const QString inst = QString::fromStdString((home() / "apps" / "Mervane").string());

  EXPECT_EQ(run(MERVANE_BINARY, {"setup", "--quiet", "--target", "apps/Mervane"}, fromDist), 1);
  EXPECT_TRUE(output.contains("Folder name should be an absolute path")) << output.toStdString();
  EXPECT_EQ(run(MERVANE_BINARY, {"setup", "--quiet", "--frobnicate"}, fromDist), 2);
  EXPECT_EQ(run(MERVANE_BINARY, {"setup", "--quiet", "--target"}, fromDist), 2);

  ASSERT_EQ(run(MERVANE_BINARY, {"setup", "--quiet", "--target", inst}, fromDist), 0) << output.toStdString();
  EXPECT_TRUE(fs::exists(home() / "apps/Mervane/mervane"));
  EXPECT_TRUE(fs::exists(home() / "apps/Mervane/help/3.html"));
  EXPECT_TRUE(fs::exists(home() / ".local/share/applications/mervane.desktop"));

  // Remove from elsewhere than an installation touches nothing.
  QProcessEnvironment elsewhere = env;
  elsewhere.insert("MERVANE_PROGRAM_DIR", QString::fromStdString(dist().string()));
  EXPECT_EQ(run(MERVANE_BINARY, {"remove", "--quiet"}, elsewhere), 1);
  EXPECT_TRUE(fs::exists(dist() / "pagesize.dat"));

  EXPECT_EQ(run(inst + "/mervane", {"remove", "--quiet", "--bogus"}, env), 2);
  EXPECT_EQ(run(inst + "/mervane", {"remove", "--quiet", "--delete-data"}, env), 0) << output.toStdString();
  // The removal script deletes the program and its folder once the copy has ended.
  EXPECT_TRUE(waitFor([&] { return !fs::exists(home() / "apps/Mervane"); }));
  EXPECT_FALSE(fs::exists(home() / ".local/share/applications/mervane.desktop"));
}

// Setup and remove stay out of the program's lock: they see the running copy, say so
// and touch nothing, and the running copy goes on.
TEST_F(ProgramTest, setupAndRemoveWhileTheProgramRunsSayItAndTouchNothing) {
  makeDist();
  QProcessEnvironment fromDist = env;
  fromDist.insert("MERVANE_PROGRAM_DIR", QString::fromStdString(dist().string()));
  const QString inst = QString::fromStdString((home() / "apps" / "Mervane").string());
  ASSERT_EQ(run(MERVANE_BINARY, {"setup", "--quiet", "--target", inst}, fromDist), 0) << output.toStdString();

  const QProcessEnvironment e = programEnv();
  first.setProcessEnvironment(e);
  first.start(MERVANE_BINARY, {});
  ASSERT_TRUE(first.waitForStarted(10000));
  ASSERT_TRUE(waitFor([&] { return fs::exists(home() / "runtime" / "Mervane"); }));
  const QString other = QString::fromStdString((home() / "other").string());
  EXPECT_EQ(run(MERVANE_BINARY, {"setup", "--quiet", "--target", other}, fromDist), 3);
  EXPECT_EQ(output.trimmed(), "setup: Mervane is running. Close it, then press Retry.");
  EXPECT_EQ(run(inst + "/mervane", {"remove", "--quiet"}, env), 3);
  EXPECT_EQ(output.trimmed(), "remove: Mervane is running. Close it, then press Retry.");
  EXPECT_FALSE(fs::exists(home() / "other"));
  EXPECT_TRUE(fs::exists(home() / "apps/Mervane/pagesize.dat"));
  EXPECT_EQ(first.state(), QProcess::Running);

  first.kill();
  first.waitForFinished(5000);
  EXPECT_EQ(run(inst + "/mervane", {"remove", "--quiet"}, env), 0) << output.toStdString();
}

TEST_F(ProgramTest, aBookOnTheCommandLineOpensAndIsHandedToARunningCopy) {
  const QProcessEnvironment e = programEnv();
  const fs::path family = book("family.adr");
  const fs::path club = book("club.adr");
  first.setProcessEnvironment(e);
  first.start(MERVANE_BINARY, {QString::fromStdString(family.string())});
  ASSERT_TRUE(first.waitForStarted(10000));
  ASSERT_TRUE(waitFor([&] { return newestBook() == family.string(); })) << newestBook();

  // The second copy names its book relative to its own folder; the running copy opens it.
  second.setProcessEnvironment(e);
  second.setWorkingDirectory(QString::fromStdString(dir_.path().string()));
  second.start(MERVANE_BINARY, {"club.adr"});
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(waitFor([&] { return newestBook() == club.string(); })) << newestBook();
  EXPECT_EQ(first.state(), QProcess::Running);
}

}  // namespace
}  // namespace mv::test
