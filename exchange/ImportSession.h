#pragma once
// One run of the import dialog without its widgets: the copy of the chosen file it works
// from, the matching, the import into the intermediate book, and the steps after Finish
// that turn the intermediate book into the user's new book.

#include "exchange/ImportBook.h"

#include <filesystem>
#include <optional>
#include <string>

namespace mv {

class Prompter;
class FileChooser;

namespace imp {

// Scratch files in the running copy's private folder.
inline constexpr const char* kImportCopyName = "tm~iexi.~~";  // the CSV file as read
inline constexpr const char* kImportBookName = "adr~im.~~";   // the intermediate book

inline constexpr const char* kBookFilter =
    "Mervane Files (*.adr)|*.adr|Text File - Comma Separated Values (*.csv)|*.csv";

class ImportSession {
 public:
  ImportSession() = default;
  ImportSession(const ImportSession&) = delete;
  ImportSession& operator=(const ImportSession&) = delete;
  // Removes the copy of the file.
  ~ImportSession();

  // Copies `csv` into the scratch copy, reads it and matches its fields automatically.
  // False, with `error()` set and no scratch file left, when it cannot be read or copied
  // or is no text file.
  bool open(const std::filesystem::path& csv);
  const std::string& error() const noexcept { return error_; }

  const ImportFile& file() const noexcept { return file_; }
  FieldMatch& match() noexcept { return match_; }
  const FieldMatch& match() const noexcept { return match_; }

  // Stage 1 matches, stage 2 has imported.
  int stage() const noexcept { return stage_; }
  // Imports into the intermediate book; false (error() set) when it cannot be written or
  // the records would not fit one book. The stage becomes 2 either way.
  bool run(const ImportProgress& progress = {});
  const ImportedBook& result() const noexcept { return result_; }

 private:
  std::filesystem::path copy_;
  ImportFile file_;
  FieldMatch match_;
  ImportedBook result_;
  int stage_ = 1;
  std::string error_;
};

// The message after an import that marked duplicates (caption kDuplicatesCaption).
extern const char* const kDuplicatesMessage;
inline constexpr const char* kDuplicatesCaption = "Duplicate Entries";

// Tells the user a new book comes next and asks its name (".adr" added); the book that
// is open is refused and asked again. nullopt when the user cancelled.
std::optional<std::filesystem::path> chooseImportedBookPath(Prompter& prompter,
                                                            FileChooser& chooser,
                                                            const std::filesystem::path& openBook);

// After Finish: "Next, … Create a NEW FILE", the save dialog, the intermediate book
// copied over the chosen name (".adr" added) and removed. nullopt when the user
// cancelled or the copy failed (the intermediate book stays then). The path of the book
// that is open (`openBook`) is refused: the import never replaces it.
std::optional<std::filesystem::path> saveImportedBook(Prompter& prompter, FileChooser& chooser,
                                                      const std::filesystem::path& openBook);

}  // namespace imp
}  // namespace mv
