#pragma once
// "setupmv.ini", the list that travels with the distribution: which files the installer
// copies over an earlier installation (`Files`), which it copies only when missing
// (`Data`), how many copy steps the progress bar counts and where to install.

#include <filesystem>
#include <string>
#include <vector>

namespace mv {

inline constexpr const char* kSetupListName = "setupmv.ini";
inline constexpr const char* kInstalledProgramName = "mervane";
inline constexpr const char* kStarterBookName = "address.adr";
// Keys 1..19 of `Files` and `Data`; the first "_END_" or missing key ends a list.
inline constexpr int kMaxListedFiles = 19;
// The longest target the installer accepts. A longer one is refused, never cut.
inline constexpr size_t kMaxTargetLength = 245;

struct SetupList {
  int totalFiles = 2;
  std::string target;  // as written, with a trailing '/'
  // Names relative to the distribution folder; a name may be a folder (help, pictures),
  // which is copied with everything in it.
  std::vector<std::string> files;
  std::vector<std::string> data;
};

// ~/.local/share/Mervane/ (under $XDG_DATA_HOME when it is set), with the trailing '/'.
std::string defaultTarget();

// The list as the installer sees it; a missing file gives the defaults and empty lists.
SetupList readSetupList(const std::filesystem::path& ini);
// Browse keeps the chosen folder for the next run; false when the list cannot be
// written (a read-only medium), which costs only that memory.
[[nodiscard]] bool writeSetupTarget(const std::filesystem::path& ini, const std::string& target);

// The target with a trailing '/' added when it has none.
std::string withTrailingSlash(std::string target);

// True for a name that stays below the folder it is read against: not empty, not
// absolute, no ".." part. Setup copies and remove deletes only such names; "../x" in a
// damaged list would otherwise reach files of others.
bool staysInside(const std::string& name);

}  // namespace mv
