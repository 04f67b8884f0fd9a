#pragma once
// Every file dialog of the program goes through this chooser: a dialog of a kind (books,
// CSV, vCard, exports, PDF, label templates) opens in the folder a file of that kind was
// last chosen in, kept in mervane.ini's [Folders], and a choice remembers its folder.

#include "platform/FileChooser.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace mv {

class FolderRememberingChooser final : public FileChooser {
 public:
  // `inner` shows the dialog (the desktop's, or a test's script).
  FolderRememberingChooser(FileChooser& inner, std::filesystem::path ini)
      : inner_(inner), ini_(std::move(ini)) {}

  std::optional<FileChoice> choose(const FileRequest& request) override;

  // The folder remembered for the kind, when it still is one.
  std::optional<std::filesystem::path> folderOf(FileKind kind) const;
  // False once a folder could not be written to the settings file (said at exit).
  bool saved() const noexcept { return saved_; }

 private:
  FileChooser& inner_;
  std::filesystem::path ini_;
  bool saved_ = true;
};

}  // namespace mv
