#pragma once
// The installer's window in its "Setup" frame: the four setup steps (welcome, directory,
// install, finish) or, in remove mode, the one remove question. Every rule lives in the
// installer core; this window reads its controls, calls the core and shows the outcome.

#include "installer/SetupList.h"

#include <QWidget>

#include <filesystem>
#include <functional>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace mv {

class Prompter;

class TSetup : public QWidget {
  Q_OBJECT
 public:
  enum class Mode { Setup, Remove };
  // One topic tells both how to install and how to remove.
  static constexpr int kHelpContext = 400;

  struct Options {
    Mode mode = Mode::Setup;
    Prompter* prompter = nullptr;  // required
    // Setup: the distribution folder and the program file installed as "mervane".
    // Remove: folder is the installed folder.
    std::filesystem::path folder;
    std::filesystem::path programFile;
    // Browse: the chosen folder, empty when cancelled. Default: Qt's directory dialog.
    std::function<QString(const QString& start)> chooseDirectory;
    // "Exit Setup" and other own dialogs; QDialog::exec() when empty.
    std::function<int(QDialog&)> runDialog;
    // Starts the installed program with "first_run" (Finish); default: detached.
    std::function<bool(const std::filesystem::path& program)> launch;
    // Starts the removal script; default: /bin/sh, detached.
    std::function<bool(const std::filesystem::path& script)> startScript;
    // True while a copy of Mervane runs; default: mervaneRuns().
    std::function<bool()> programRunning;
  };

  explicit TSetup(Options options, QWidget* parent = nullptr);
  ~TSetup() override;

  // Commands: 70 Next, 71 Back, 402 Browse, 1 Finish (Yes), 2 Cancel (No).
  void onCommand(int id);
  int step() const noexcept { return step_; }
  bool finished() const noexcept { return finished_; }
  const std::string& target() const noexcept { return target_; }

 signals:
  // The installer has closed for good (it may have been hidden before): the run ends.
  void ended();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildSetup();
  void buildRemove();
  void showStep();
  void next();
  void back();
  void browse();
  void install();
  void finish();
  void cancel();
  void removeNow();
  bool confirmExit();
  bool programClosed();
  void setText(const QString& text);
  void showTargetControls(bool shown);
  void showTarget();

  Options options_;
  SetupList list_;
  std::string target_;
  int step_ = 0;
  bool finished_ = false;
  bool programInstalled_ = false;

  QVBoxLayout* right_ = nullptr;  // the controls beside the picture
  QLabel* text_ = nullptr;        // 400
  QLabel* targetLabel_ = nullptr; // 401
  QGroupBox* group_ = nullptr;    // 405
  QPushButton* browse_ = nullptr; // 402
  QPushButton* next_ = nullptr;   // 70
  QPushButton* back_ = nullptr;   // 71
  QPushButton* cancel_ = nullptr; // 2
  QProgressBar* progress_ = nullptr;  // 105
  QCheckBox* deleteData_ = nullptr;   // 107
};

}  // namespace mv
