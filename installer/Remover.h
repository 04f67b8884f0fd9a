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

// The files the installed program writes in its own folder. Setup records those that are
// not there yet as the program's; one that was there before (the user's) stays.
const std::vector<std::string>& programWrittenFiles();

struct RemoveReport {
  bool installed = true;  // false: the folder holds no install record, nothing was touched
  std::vector<std::string> removed;  // paths as text
  std::vector<std::string> failed;   // paths as text
  // Record entries that name a place outside the folder or the desktop's own folders.
  std::vector<std::string> refused;
  // Names an earlier version's record lists as data although setup may have kept them:
  // remove cannot prove they are its own, so they stay.
  std::vector<std::string> unproven;
  bool folderKept = false;    // files remain beside the program (the book, or files not ours)
  bool removeFolder = false;  // setup made the folder: the removal script may take it
};

// Deletes what the record of `folder` says setup wrote (and the program files it wrote
// later), except the program file (the removal script deletes that), "address.adr" only
// with deleteData; then the folders setup made, when empty. Nothing else is touched.
// A record of an earlier version names no folders and counts kept data files as
// installed: then only its program files go (and the book when asked for).
RemoveReport removeInstallation(const std::filesystem::path& folder, bool deleteData);

// Single quotes for /bin/sh: every byte stands for itself.
std::string quoteForShell(const std::string& text);

// The script that waits for process `pid` to end (at most 30 seconds), deletes the
// program file, with removeFolder the folder when it is empty, and itself.
std::string removalScriptText(long pid, const std::filesystem::path& program, bool removeFolder);

// Writes the script under a private, unique name (mkstemp) in $XDG_RUNTIME_DIR, else the
// temp folder; the path, or empty when it could not be written.
std::filesystem::path writeRemovalScript(const std::string& text);

// Starts the script detached with /bin/sh; false when it could not be started.
[[nodiscard]] bool startRemovalScript(const std::filesystem::path& script);

}  // namespace mv
