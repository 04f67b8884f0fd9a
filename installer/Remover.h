#pragma once
// Removing an installation: the menu entries, shortcut, icon and MIME package the install
// record lists, the installed files, the files the program writes in its folder, and
// (only when asked) the address book; then a script that deletes the program file and
// its folder once the program has ended.

#include "installer/Installer.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mv {

// The files the running program writes in its folder; remove deletes them too. The
// address book is not among them: it goes only when the user asks.
const std::vector<std::string>& programWrittenFiles();

struct RemoveReport {
  bool installed = true;  // false: the folder holds no install record, nothing was touched
  std::vector<std::string> removed;  // paths as text
  std::vector<std::string> failed;   // paths as text
  bool folderKept = false;  // files remain beside the program (the book, or files not ours)
};

// Deletes everything the record of `folder` lists except the program file (the removal
// script deletes that), "address.adr" only with deleteData. Empty subfolders go; a file
// remove did not make stays, and so does its folder.
RemoveReport removeInstallation(const std::filesystem::path& folder, bool deleteData);

// Single quotes for /bin/sh: every byte stands for itself.
std::string quoteForShell(const std::string& text);

// The script that waits for process `pid` to end (at most 30 seconds), deletes the
// program file, the folder when it is empty, and itself.
std::string removalScriptText(long pid, const std::filesystem::path& program);

// Writes the script under a private, unique name (mkstemp) in $XDG_RUNTIME_DIR, else the
// temp folder; the path, or empty when it could not be written.
std::filesystem::path writeRemovalScript(const std::string& text);

// Starts the script detached with /bin/sh; false when it could not be started.
[[nodiscard]] bool startRemovalScript(const std::filesystem::path& script);

}  // namespace mv
