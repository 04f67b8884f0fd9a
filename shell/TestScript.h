#pragma once
// A test-only way to drive the running program without a person: when the environment
// variable MERVANE_TEST_SCRIPT names a file, its lines are carried out in the card window
// as a user would (pick a name in the list, type into a box, run a command, answer the
// next question), and the program then keeps running. The crash test starts the real
// program this way and kills it in the middle of editing. Unset, nothing happens.
//
// One step a line, its parts separated by tabs (so a name may end in blanks):
//   answer <Yes|No|Ok|Cancel>   the next message box is answered so, whenever it comes
//   select <text>               the entry of the Main group with that list text
//   type <field number> <text>  the text typed into the card box of that field
//   command <id>                the command, as from its menu item or button
//   report <file> <field>       what the window holds, written to the file: each question
//                               answered so far ("asked", its text with "\n" for a line
//                               break), whether the book has unsaved changes ("changed 0|1"),
//                               then every entry of Main ("name", its list text, the field)
//   wait <file>                 carried out once the file exists: two copies take turns
//   done <file>                 the file is written: every step before it is carried out
// A step that cannot be carried out is tried again for up to 10 s (the window may still be
// opening), then ends the script; `done` then writes "failed: ..." and the reason.

#include <QObject>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace mv {

class MainFrame;

class TestScript final : public QObject {
  Q_OBJECT
 public:
  // The script MERVANE_TEST_SCRIPT names, or nothing.
  static std::unique_ptr<TestScript> fromEnvironment();
  explicit TestScript(std::vector<std::string> lines);

  // Leading `answer` steps take effect at once (the crash-recovery question comes before
  // the window); the rest run once `frame` shows its card window.
  void start();
  void attach(MainFrame& frame);

 private:
  void runSteps();
  bool step(const std::vector<std::string>& parts, std::string& why);
  void answerModalBox();

  std::vector<std::string> lines_;
  size_t next_ = 0;
  MainFrame* frame_ = nullptr;
  std::vector<std::string> answers_;  // waiting for their message boxes, oldest first
  std::vector<std::string> asked_;    // the texts of the boxes answered
  QTimer* answerer_ = nullptr;
  static constexpr int kRetries = 200;  // 10 s, 50 ms apart
  int retries_ = 0;
  std::string failure_;
};

}  // namespace mv
