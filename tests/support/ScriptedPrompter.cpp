#include "support/ScriptedPrompter.h"

namespace mv {

Answer ScriptedPrompter::ask(const Message& message) {
  shown_.push_back(message);
  if (!answers_.empty()) {
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  // Nothing scripted: a plain message is acknowledged, a question is declined the
  // safe way (Cancel where there is one, else No).
  switch (message.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel: return Answer::Cancel;
    case Buttons::RetryCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

std::optional<FileChoice> ScriptedFileChooser::choose(const FileRequest& request) {
  requests_.push_back(request);
  if (answers_.empty()) return std::nullopt;
  auto a = answers_.front();
  answers_.pop_front();
  return a;
}

}  // namespace mv
