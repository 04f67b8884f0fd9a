#pragma once
// Installing from the distribution folder: the target check and creation, copying the
// listed files (with a list of every file that could not be copied) and the install
// record that remove reads later. No windows: TSetup and the quiet mode both call this.

#include "installer/SetupList.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace mv {

enum class TargetCheck {
  Ready,        // exists or was created
  NotAbsolute,  // "Directory name should start with\n/\netc."
  TooLong,      // longer than kMaxTargetLength
  NotCreated,   // "Error creating new directory!"
};

// The message each refusal shows (empty for Ready).
std::string targetMessage(TargetCheck check);

// Checks the target and creates it with every missing parent folder.
TargetCheck prepareTarget(const std::string& target);

struct CopyReport {
  std::vector<std::string> files;    // installed names (relative to the target), program included
  std::vector<std::string> data;     // data names now in the target, copied or kept
  std::vector<std::string> skipped;  // data files that were there already (kept on purpose)
  std::vector<std::string> failed;   // names that could not be copied
  bool complete() const noexcept { return failed.empty(); }
};

// Copies `Files` (replacing), then `Data` (never replacing), then the program itself to
// target + "mervane". `step` is called once per file copied or skipped (the progress
// bar). A file that is replaced while it runs keeps running: each copy is written beside
// its target and renamed over it.
CopyReport copyInstallation(const SetupList& list, const std::filesystem::path& sourceDir,
                            const std::filesystem::path& programFile,
                            const std::filesystem::path& target,
                            const std::function<void()>& step = {});

// How many copy steps a list makes (a folder counts its files), plus one for the program:
// what the distribution writes as `Total Files`.
int countCopySteps(const SetupList& list, const std::filesystem::path& sourceDir);

// What remove needs to know about an installation, kept in the installed folder as the
// stand-in for the platform's uninstall entry (DisplayName "Mervane", UninstallString).
struct InstallRecord {
  std::string uninstallString;
  std::vector<std::string> files;  // relative to the folder, the program included
  std::vector<std::string> data;   // relative to the folder
  // Made outside the folder: menu entries, desktop shortcut, icon, MIME package.
  std::vector<std::filesystem::path> entries;
};

inline constexpr const char* kInstallRecordName = "uninstall.ini";

struct XdgFolders;

// After the copy: the menu entries, shortcut, icon and MIME package, then the install
// record. Returns what could not be made (paths as text), empty when all went well.
std::vector<std::string> registerInstallation(const std::filesystem::path& target,
                                              const CopyReport& copy, const XdgFolders& xdg);

std::string installRecordText(const InstallRecord& record);
// False when the folder has no record (nothing was installed there).
[[nodiscard]] bool readInstallRecord(const std::filesystem::path& folder, InstallRecord& record);
// Writes the record; names already recorded by an earlier installation are kept, so a
// remove after a reinstall still finds everything either one made.
[[nodiscard]] bool writeInstallRecord(const std::filesystem::path& folder, InstallRecord record);

}  // namespace mv
