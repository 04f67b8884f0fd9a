#pragma once
// Message boxes as the core asks for them. The window side shows them with QMessageBox;
// tests answer them with ScriptedPrompter.

#include <string>

namespace mv {

enum class Icon { None, Information, Question, Exclamation, Stop };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
  std::string text;     // Windows-1252
  std::string caption;  // "Mervane" unless the rule names another
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  // The button that Enter presses; Ok/Yes when left at Ok.
  Answer defaultButton = Answer::Ok;
};

inline constexpr const char* kAppCaption = "Mervane";

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer ask(const Message& message) = 0;

  // Shorthands for the common shapes.
  void inform(std::string text, std::string caption = kAppCaption, Icon icon = Icon::None) {
    ask(Message{std::move(text), std::move(caption), icon, Buttons::Ok, Answer::Ok});
  }
};

}  // namespace mv
