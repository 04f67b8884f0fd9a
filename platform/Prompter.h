#pragma once
// Message boxes as the core asks for them. The window side shows them with QMessageBox;
// tests answer them with ScriptedPrompter.

#include <string>

namespace mv {

enum class Icon { None, Information, Question, Exclamation, Stop };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// How a message's bytes are read. The program's texts and field text are Windows-1252; a
// message that names a file holds the path as the file system gives it (UTF-8), so the
// whole text is UTF-8 and any field text in it must be converted first.
enum class TextCoding { Cp1252, Utf8 };

struct Message {
  std::string text;     // in `coding`
  std::string caption;  // "Mervane" unless the rule names another
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  // The button that Enter presses; Ok/Yes/Retry when left at Ok.
  Answer defaultButton = Answer::Ok;
  TextCoding coding = TextCoding::Cp1252;
};

inline constexpr const char* kAppCaption = "Mervane";

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer ask(const Message& message) = 0;

  // Shorthands for the common shapes.
  void inform(std::string text, std::string caption = kAppCaption, Icon icon = Icon::None,
              TextCoding coding = TextCoding::Cp1252) {
    ask(Message{std::move(text), std::move(caption), icon, Buttons::Ok, Answer::Ok, coding});
  }
};

}  // namespace mv
