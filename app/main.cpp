// Mervane's entry: the run mode, the display check, the single-instance rule, and the
// main frame (or, in setup and remove mode, the installer's frame).

#include "cardwindow/ui/TCardFile.h"
#include "installer/QuietMode.h"
#include "installer/ui/RunningCopy.h"
#include "installer/ui/TSetup.h"
#include "platform/ui/Display.h"
#include "platform/Paths.h"
#include "platform/ui/QtPrompter.h"
#include "platform/ui/SingleInstance.h"
#include "shell/MainFrame.h"
#include "shell/RunMode.h"
#include "shell/TestScript.h"
#include "settings/SettingsFiles.h"
#include "store/Recovery.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Setup and remove mode: the installer's window in its "Setup" frame. It installs from
// the folder it was started in and removes the folder it runs from. It stays out of the
// single-instance lock: it must run beside Mervane to tell the user to close it, and the
// copy it starts at the end must find the lock free.
int runInstaller(mv::RunMode mode) {
  mv::QtPrompter prompter;
  mv::TSetup::Options options;
  options.mode = mode == mv::RunMode::Remove ? mv::TSetup::Mode::Remove : mv::TSetup::Mode::Setup;
  options.prompter = &prompter;
  options.folder = mv::programDir();
  options.programFile = QCoreApplication::applicationFilePath().toStdString();
  mv::TSetup setup(std::move(options));
  prompter.setParent(&setup);
  // Remove hides its window before it ends, so the last-window rule cannot end the run.
  QObject::connect(&setup, &mv::TSetup::ended, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  setup.show();
  return QApplication::exec();
}

// A first argument that names a file is a book to open (from the desktop or a file
// manager); the run-mode words never get here.
std::filesystem::path bookArgument(const std::vector<std::string>& args, mv::RunMode mode) {
  if (mode != mv::RunMode::Normal || args.empty()) return {};
  std::error_code ec;
  const std::filesystem::path p(args.front());
  if (!std::filesystem::is_regular_file(p, ec)) return {};
  return std::filesystem::absolute(p, ec);
}

int runProgram(mv::RunMode mode, const std::filesystem::path& book) {
  if (mode == mv::RunMode::Setup || mode == mv::RunMode::Remove) return runInstaller(mode);
  mv::SingleInstance instance;
  if (mode == mv::RunMode::FirstRun) {
    instance.claimWithoutCheck();
  } else {
    switch (instance.claim(5000, QString::fromStdString(book.string()))) {
      case mv::SingleInstance::Outcome::First: break;
      case mv::SingleInstance::Outcome::Raised: return 0;
      case mv::SingleInstance::Outcome::NoAnswer: return -1;
    }
  }

  // The program's own folder is the current one, as the settings and data files expect.
  QDir::setCurrent(QString::fromStdString(mv::programDir().string()));

  mv::QtPrompter prompter;
  mv::QtFileChooser chooser;
  // Tests drive the program through a script (MERVANE_TEST_SCRIPT); unset, there is none.
  const std::unique_ptr<mv::TestScript> script = mv::TestScript::fromEnvironment();
  if (script) script->start();
  // A copy that crashed left its edits behind: offered back before the start book opens.
  // The restored book is the start book itself, not only the first recent one: a recent
  // list that cannot be written (said at exit) must not lose the edits.
  const std::optional<std::filesystem::path> restored =
      mv::offerRecovery(prompter, mv::mervaneIni(), mv::stateDir());
  mv::MainFrameOptions options;
  options.runMode = mode;
  options.prompter = &prompter;
  options.fileChooser = &chooser;
  options.cardWindowFactory = mv::createCardWindow;
  options.startBook = restored ? *restored : book;
  mv::MainFrame frame(std::move(options));
  prompter.setParent(&frame);
  chooser.setParent(&frame);
  QObject::connect(&instance, &mv::SingleInstance::raiseRequested, &frame,
                   &mv::MainFrame::bringToFront);
  // Queued: the changed question must not run inside the socket's own handler.
  QObject::connect(
      &instance, &mv::SingleInstance::bookHanded, &frame,
      [&frame](const QString& path) { frame.openHandedBook(path.toStdString()); },
      Qt::QueuedConnection);
  frame.setUp();
  frame.show();
  if (script) script->attach(frame);
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const mv::RunMode mode = mv::runModeFrom(args, argc > 0 ? argv[0] : "");
  // The quiet installer and remover need no display: they run on a server or in a test.
  if ((mode == mv::RunMode::Setup || mode == mv::RunMode::Remove) && mv::asksForQuiet(args)) {
    QCoreApplication app(argc, argv);
    const std::filesystem::path here = mv::programDir();
    const mv::RunningCheck running = [] { return mv::mervaneRuns(); };
    if (mode == mv::RunMode::Setup)
      return mv::runQuietSetup(args, here, QCoreApplication::applicationFilePath().toStdString(),
                               std::cout, std::cerr, running);
    return mv::runQuietRemove(args, here, static_cast<long>(::getpid()), std::cout, std::cerr,
                              running);
  }
  if (auto message = mv::missingDisplayMessage()) {
    std::fputs(message->c_str(), stderr);
    return 1;
  }
  // The application outlives the run, so an error that ends it can still be shown.
  QApplication app(argc, argv);
  // No display name: Qt would append it to every window title ("Mervane - book — Mervane").
  QApplication::setApplicationName("Mervane");
  try {
    return runProgram(mode, bookArgument(args, mode));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Mervane: %s\n", e.what());
    QMessageBox::critical(nullptr, "Error", QString::fromLocal8Bit(e.what()));
    return -1;
  }
}
