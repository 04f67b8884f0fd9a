// Mervane's entry: the run mode, the display check, the single-instance rule, and the
// main frame (or, in setup and remove mode, the installer's frame).

#include "cardwindow/CardFile.h"
#include "platform_qt/Display.h"
#include "platform/Paths.h"
#include "platform_qt/QtPrompter.h"
#include "platform_qt/SingleInstance.h"
#include "shell/MainFrame.h"
#include "shell/RunMode.h"
#include "settings/SettingsFiles.h"
#include "store/Recovery.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

// Setup and remove mode: the installer arrives with its own part; until then its frame
// says so.
int runInstaller(mv::RunMode mode) {
  QWidget frame(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  frame.setWindowTitle("Setup");
  auto* label = new QLabel(mode == mv::RunMode::Remove
                               ? QObject::tr("Removing Mervane is not available in this version.")
                               : QObject::tr("Installing Mervane is not available in this version."),
                           &frame);
  label->setAccessibleName(label->text());
  auto* layout = new QVBoxLayout(&frame);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->addWidget(label);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  frame.show();
  return QApplication::exec();
}

int runProgram(mv::RunMode mode) {
  mv::SingleInstance instance;
  if (mode == mv::RunMode::FirstRun) {
    instance.claimWithoutCheck();
  } else {
    switch (instance.claim()) {
      case mv::SingleInstance::Outcome::First: break;
      case mv::SingleInstance::Outcome::Raised: return 0;
      case mv::SingleInstance::Outcome::NoAnswer: return -1;
    }
  }

  // The installer holds the lock too: it starts the installed copy with "first_run".
  if (mode == mv::RunMode::Setup || mode == mv::RunMode::Remove) return runInstaller(mode);

  // The program's own folder is the current one, as the settings and data files expect.
  QDir::setCurrent(QString::fromStdString(mv::programDir().string()));

  mv::QtPrompter prompter;
  mv::QtFileChooser chooser;
  // A copy that crashed left its edits behind: offered back before the start book opens.
  (void)mv::offerRecovery(prompter, mv::mervaneIni(), mv::stateDir());
  mv::MainFrameOptions options;
  options.runMode = mode;
  options.prompter = &prompter;
  options.fileChooser = &chooser;
  options.cardWindowFactory = mv::createCardWindow;
  mv::MainFrame frame(std::move(options));
  prompter.setParent(&frame);
  chooser.setParent(&frame);
  QObject::connect(&instance, &mv::SingleInstance::raiseRequested, &frame,
                   &mv::MainFrame::bringToFront);
  frame.setUp();
  frame.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const mv::RunMode mode = mv::runModeFrom(args, argc > 0 ? argv[0] : "");
  if (auto message = mv::missingDisplayMessage()) {
    std::fputs(message->c_str(), stderr);
    return 1;
  }
  // The application outlives the run, so an error that ends it can still be shown.
  QApplication app(argc, argv);
  // No display name: Qt would append it to every window title ("Mervane - book — Mervane").
  QApplication::setApplicationName("Mervane");
  try {
    return runProgram(mode);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Mervane: %s\n", e.what());
    QMessageBox::critical(nullptr, "Error", QString::fromLocal8Bit(e.what()));
    return -1;
  }
}
