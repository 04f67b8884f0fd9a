#pragma once
// Test doubles: record every message or file request and answer from a queue.

#include "platform/FileChooser.h"
#include "platform/Prompter.h"

#include <deque>
#include <vector>

namespace mv {

class ScriptedPrompter final : public Prompter {
 public:
  Answer ask(const Message& message) override;
  void answer(Answer a) { answers_.push_back(a); }
  const std::vector<Message>& shown() const noexcept { return shown_; }
  const Message& last() const { return shown_.back(); }
  void clear() { shown_.clear(); }

 private:
  std::vector<Message> shown_;
  std::deque<Answer> answers_;
};

class ScriptedFileChooser final : public FileChooser {
 public:
  std::optional<FileChoice> choose(const FileRequest& request) override;
  void answer(std::filesystem::path path, int filter = 1) {
    answers_.push_back(FileChoice{std::move(path), filter});
  }
  void cancel() { answers_.push_back(std::nullopt); }
  const std::vector<FileRequest>& requests() const noexcept { return requests_; }

 private:
  std::vector<FileRequest> requests_;
  std::deque<std::optional<FileChoice>> answers_;
};

}  // namespace mv
