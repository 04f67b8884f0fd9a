// Two real copies of the program: the second one finds the first and ends.
#include "platform/ui/SingleInstance.h"
#include "support/TestDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include <unistd.h>

namespace mv {
namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "program");
    std::filesystem::create_directories(dir / "runtime");
    std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
    // No desktop query for a web browser at start: the copies answer sooner.
    test::writeFile(dir / "program" / "mervane.ini", "[Customize]\nHasWebBrowser=1\n");
    env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("MERVANE_PROGRAM_DIR", QString::fromStdString((dir / "program").string()));
    env.insert("MERVANE_WINDOWS_DIR", QString::fromStdString((dir / "program").string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir / "runtime").string()));
  }
  void TearDown() override {
    for (QProcess* p : {&first, &second}) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
    }
  }
  void startCopy(QProcess& p, const QStringList& args = {}) {
    p.setProcessEnvironment(env);
    p.start(MERVANE_BINARY, args);
    ASSERT_TRUE(p.waitForStarted(10000));
  }
  // The first copy is ready once its socket is listening.
  bool waitUntilListening() {
    const auto socket = dir / "runtime" / "Mervane";
    for (int i = 0; i < 150; ++i) {
      if (std::filesystem::exists(socket)) return true;
      if (first.state() == QProcess::NotRunning) return false;
      first.waitForFinished(100);
    }
    return false;
  }

  test::TestDir dir;
  QProcessEnvironment env;
  QProcess first;
  QProcess second;
};

TEST_F(SingleInstanceTest, secondCopyRaisesTheFirstAndEnds) {
  startCopy(first);
  ASSERT_TRUE(waitUntilListening());
  startCopy(second);
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, firstRunSkipsTheCheck) {
  startCopy(first);
  ASSERT_TRUE(waitUntilListening());
  startCopy(second, {"first_run"});
  // The installer's copy opens its own window: still running after a while.
  EXPECT_FALSE(second.waitForFinished(3000));
  EXPECT_EQ(second.state(), QProcess::Running);
  EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, aCopyThatCrashedLeavesNoLockBehind) {
  startCopy(first);
  ASSERT_TRUE(waitUntilListening());
  first.kill();  // no chance to clean up: lock file and socket stay on disk
  ASSERT_TRUE(first.waitForFinished(10000));
  startCopy(second);
  EXPECT_FALSE(second.waitForFinished(3000));
  EXPECT_EQ(second.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, theFirstRunCopyTakesTheLockOnceTheInstallerEnds) {
  const QString folder = QString::fromStdString((dir / "runtime").string());
  auto installer = std::make_unique<SingleInstance>("MervaneTest", folder);
  ASSERT_EQ(installer->claim(), SingleInstance::Outcome::First);
  SingleInstance started("MervaneTest", folder);
  started.claimWithoutCheck();
  installer.reset();  // the installer's copy ends
  // Later copies now find the started one, once it has taken the free lock.
  QElapsedTimer timer;
  timer.start();
  while (!std::filesystem::exists(dir / "runtime" / "MervaneTest") && timer.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_TRUE(std::filesystem::exists(dir / "runtime" / "MervaneTest"));
}

TEST_F(SingleInstanceTest, lockHeldButNobodyAnswering) {
  // The holder is this very process, busy in a test, so its socket never answers.
  const QString folder = QString::fromStdString((dir / "runtime").string());
  SingleInstance holder("MervaneTest", folder);
  ASSERT_EQ(holder.claim(), SingleInstance::Outcome::First);
  SingleInstance later("MervaneTest", folder);
  EXPECT_EQ(later.claim(500), SingleInstance::Outcome::NoAnswer);
}

// Without a runtime folder the copies meet in the temp folder, in a folder that must be
// this user's alone: one another user made (or could enter, or points elsewhere) could
// hold a planted lock and socket that end every copy and receive its book.
TEST_F(SingleInstanceTest, aFolderSomeoneElseCouldEnterIsNotUsed) {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  const QByteArray tmp = qgetenv("TMPDIR");
  qunsetenv("XDG_RUNTIME_DIR");
  qputenv("TMPDIR", QByteArray::fromStdString(dir.path().string()));
  const auto folder = dir / ("mervane-" + std::to_string(::getuid()));
  namespace fs = std::filesystem;
  struct Row {
    const char* what;
    std::function<bool()> make;  // false: the row cannot be made here
    bool alone;
  };
  const Row rows[] = {
      {"missing: made private", [] { return true; }, false},
      {"mode 0755",
       [&] { return fs::create_directory(folder) && ::chmod(folder.c_str(), 0755) == 0; }, true},
      {"a symbolic link",
       [&] {
         fs::create_directory(dir / "elsewhere");
         ::chmod((dir / "elsewhere").c_str(), 0700);
         fs::create_directory_symlink(dir / "elsewhere", folder);
         return true;
       },
       true},
      {"another user's",
       [&] {
         return ::getuid() == 0 && fs::create_directory(folder) &&
                ::chmod(folder.c_str(), 0700) == 0 && ::chown(folder.c_str(), 65534, 65534) == 0;
       },
       true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    fs::remove_all(folder);
    fs::remove_all(dir / "elsewhere");
    if (!r.make()) continue;  // chown needs root
    SingleInstance copy("MervaneTest");
    EXPECT_EQ(copy.alone(), r.alone);
    EXPECT_EQ(copy.claim(500), SingleInstance::Outcome::First);
    // Alone, it leaves nothing where another user could find it.
    EXPECT_EQ(fs::exists(folder / "MervaneTest"), !r.alone);
  }
  fs::remove_all(folder);
  for (const auto& [name, value] : {std::pair{"XDG_RUNTIME_DIR", runtime}, std::pair{"TMPDIR", tmp}})
    value.isNull() ? (void)qunsetenv(name) : (void)qputenv(name, value);
}

// A message without an end is dropped once it passes 64 KiB; the next one is heard.
TEST_F(SingleInstanceTest, anEndlessMessageIsDroppedAndTheNextOneHeard) {
  SingleInstance holder("MervaneTest", QString::fromStdString((dir / "runtime").string()));
  ASSERT_EQ(holder.claim(), SingleInstance::Outcome::First);
  int raised = 0;
  QObject::connect(&holder, &SingleInstance::raiseRequested, [&raised] { ++raised; });
  const auto waitFor = [](const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  };
  QLocalSocket flood;
  flood.connectToServer(holder.socketPath());
  ASSERT_TRUE(flood.waitForConnected(2000));
  const QByteArray block(16 * 1024, 'x');
  for (int i = 0; i < 400 && flood.state() == QLocalSocket::ConnectedState; ++i) {
    flood.write(block);
    flood.flush();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_TRUE(waitFor([&] { return flood.state() != QLocalSocket::ConnectedState; }))
      << "6 MB without a line end were still being read";
  QLocalSocket next;
  next.connectToServer(holder.socketPath());
  ASSERT_TRUE(next.waitForConnected(2000));
  next.write(QByteArray(kRaiseMessage) + "\n");
  next.flush();
  EXPECT_TRUE(waitFor([&] { return raised == 1; }));
}

}  // namespace
}  // namespace mv
