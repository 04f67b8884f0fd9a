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
  NotAbsolute,  // "Folder name should be an absolute path,\nstarting with /"
  TooLong,      // longer than kMaxTargetLength
  NotCreated,   // "Error creating new directory!"
};

// The message each refusal shows (empty for Ready).
std::string targetMessage(TargetCheck check);

// Checks the target and creates it with every missing parent folder; `made` (when given)
// says whether the target itself was made now, so that remove may take it away again.
TargetCheck prepareTarget(const std::string& target, bool* made = nullptr);

// What setup wrote into the target: remove later deletes exactly this and nothing else.
struct CopyReport {
  std::vector<std::string> files;    // written (relative to the target), program included
  std::vector<std::string> data;     // data files written because they were missing
  std::vector<std::string> skipped;  // data files that were there already (kept, not ours)
  std::vector<std::string> folders;  // folders made inside the target, parents first
  std::vector<std::string> refused;  // list entries that are absolute or climb out ("..")
  std::vector<std::string> notOurs;  // program files not written: a file not setup's is there
  std::vector<std::string> failed;   // names that could not be copied
  bool targetMade = false;           // set by the caller from prepareTarget()
  bool complete() const noexcept { return failed.empty() && refused.empty() && notOurs.empty(); }
};

// Copies `Files` (replacing), then `Data` (never replacing), then the program itself to
// target + "mervane"; a program file replaces only a file that an earlier setup wrote
// there. `step` is called once per file copied or skipped (the progress
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
// Records written before `Exact=1` existed listed kept data files as installed and said
// nothing of folders; remove treats such a record with suspicion (see Remover.h).
struct InstallRecord {
  std::string uninstallString;
  bool exact = true;        // the lists name only what setup wrote
  bool targetMade = false;  // setup made the folder itself
  std::vector<std::string> files;    // relative to the folder, the program included
  std::vector<std::string> data;     // relative to the folder, only those setup wrote
  std::vector<std::string> folders;  // relative to the folder, made by setup
  // Files the installed program writes beside itself ("mervane.ini") that were not there
  // when it was installed: the program's own, so remove takes them too.
  std::vector<std::string> later;
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
// remove after a reinstall still finds everything either one made. Data names of an
// earlier record without `Exact` are dropped: it cannot say which of them setup wrote.
[[nodiscard]] bool writeInstallRecord(const std::filesystem::path& folder, InstallRecord record);

}  // namespace mv
