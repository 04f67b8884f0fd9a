#pragma once
// File open and save dialogs as the core asks for them.

#include <filesystem>
#include <optional>
#include <string>

namespace mv {

// What a dialog asks for: each kind opens in the folder a file of its kind was last
// chosen in. None is not remembered (the helper program starts at the current helper).
enum class FileKind { None, Books, Csv, Vcard, Exports, Pdf, LabelTemplates };

struct FileRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::string title;
  // "Name (*.ext)|*.ext|Other (*.x)|*.x" as the rules write them.
  std::string filter;
  int selectedFilter = 1;  // 1-based
  bool mustExist = false;
  bool overwritePrompt = false;
  std::filesystem::path directory;  // where the dialog starts; empty = current directory
  bool executablesOnly = false;     // list only programs (and folders to reach them)
  FileKind fileKind = FileKind::None;
  // ".pdf": a name chosen without it gets it, in any letter case ("x.PDF" stays), and the
  // overwrite question is about that name. The caller appends it too (withExtension), so
  // a chooser that does not is no fault.
  std::string requiredExtension;
};

struct FileChoice {
  std::filesystem::path path;
  int filter = 1;  // 1-based index of the filter the user chose
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // nullopt when the user cancelled.
  [[nodiscard]] virtual std::optional<FileChoice> choose(const FileRequest& request) = 0;
};

}  // namespace mv
