#include "installer/Installer.h"

#include "installer/DesktopEntries.h"
#include "installer/Remover.h"
#include "settings/Profile.h"
#include "store/AtomicFile.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace mv {
namespace {

constexpr size_t kPathBuffer = 4096;

bool isAbsoluteName(const std::string& target) { return !target.empty() && target.front() == '/'; }

void addUnique(std::vector<std::string>& names, const std::string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

// Makes the folders between `root` and the file `name`, one level at a time, noting
// each one made so that remove can take exactly those away again.
void makeFolders(const fs::path& root, const std::string& name, std::vector<std::string>& made) {
  fs::path relative;
  for (const auto& part : fs::path(name).parent_path()) {
    relative /= part;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(root / relative, ec))) continue;
    if (fs::create_directory(root / relative, ec)) addUnique(made, relative.generic_string());
  }
}

// Copies one file through a sibling and a rename, keeping the source's permissions
// (the program and mervane-cli stay executable).
bool copyOne(const fs::path& source, const fs::path& root, const std::string& name,
             std::vector<std::string>& folders) {
  std::error_code ec;
  if (!fs::is_regular_file(source, ec)) return false;
  makeFolders(root, name, folders);
  const fs::path target = root / name;
  if (!copyFileAtomically(source, target)) return false;
  fs::permissions(target, fs::status(source, ec).permissions(), ec);
  return !ec;
}

// The files under `name` (itself when it is a file), relative to `sourceDir`, in a
// stable order.
std::vector<std::string> expand(const fs::path& sourceDir, const std::string& name) {
  std::error_code ec;
  const fs::path root = sourceDir / name;
  if (!fs::is_directory(root, ec)) return {name};
  std::vector<std::string> names;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_regular_file(ec)) names.push_back(fs::relative(it->path(), sourceDir, ec).generic_string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> readNumbered(const fs::path& ini, const char* section) {
  Profile p(ini, section);
  std::vector<std::string> values;
  for (int i = 1;; ++i) {
    const std::string key = std::to_string(i);
    if (!p.hasKey(key)) break;
    values.push_back(p.readString(key, "", kPathBuffer));
  }
  return values;
}

void writeNumbered(std::string& out, const char* section, const std::vector<std::string>& values) {
  out += '[';
  out += section;
  out += "]\n";
  for (size_t i = 0; i < values.size(); ++i) out += std::to_string(i + 1) + '=' + values[i] + '\n';
}

}  // namespace

std::string targetMessage(TargetCheck check) {
  switch (check) {
    case TargetCheck::Ready: return {};
    case TargetCheck::NotAbsolute: return "Folder name should be an absolute path,\nstarting with /";
    case TargetCheck::TooLong:
      return "Directory name is too long.\nPlease choose a name of at most 245 characters.";
    case TargetCheck::NotCreated: return "Error creating new directory!";
  }
  return {};
}

TargetCheck prepareTarget(const std::string& target, bool* made) {
  if (made) *made = false;
  if (target.size() > kMaxTargetLength) return TargetCheck::TooLong;
  if (!isAbsoluteName(target)) return TargetCheck::NotAbsolute;
  std::error_code ec;
  if (fs::is_directory(target, ec)) return TargetCheck::Ready;
  fs::create_directories(target, ec);
  if (made) *made = fs::is_directory(target, ec);
  return fs::is_directory(target, ec) ? TargetCheck::Ready : TargetCheck::NotCreated;
}

CopyReport copyInstallation(const SetupList& list, const fs::path& sourceDir,
                            const fs::path& programFile, const fs::path& target,
                            const std::function<void()>& step) {
  CopyReport report;
  const auto advance = [&] {
    if (step) step();
  };
  const auto inside = [&](const std::string& entry) {
    if (staysInside(entry)) return true;
    report.refused.push_back(entry);
    return false;
  };
  // A program file replaces only what an earlier setup wrote: a file of the user's that
  // happens to have the same name (a "wall.jpg" in the home folder) stays.
  InstallRecord earlier;
  const bool reinstall = readInstallRecord(target, earlier);
  const auto mayWrite = [&](const std::string& name) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target / name, ec))) return true;
    if (reinstall && std::find(earlier.files.begin(), earlier.files.end(), name) != earlier.files.end())
      return true;
    report.notOurs.push_back(name);
    return false;
  };
  for (const std::string& entry : list.files) {
    if (!inside(entry)) continue;
    for (const std::string& name : expand(sourceDir, entry)) {
      if (!mayWrite(name)) {
        advance();
        continue;
      }
      if (copyOne(sourceDir / name, target, name, report.folders))
        report.files.push_back(name);
      else
        report.failed.push_back(name);
      advance();
    }
  }
  for (const std::string& entry : list.data) {
    if (!inside(entry)) continue;
    for (const std::string& name : expand(sourceDir, entry)) {
      std::error_code ec;
      // The user's book and settings survive a reinstall: an existing file is kept, and
      // as it is not setup's, it is not recorded either.
      if (fs::exists(fs::symlink_status(target / name, ec))) {
        report.skipped.push_back(name);
      } else if (copyOne(sourceDir / name, target, name, report.folders)) {
        report.data.push_back(name);
      } else {
        report.failed.push_back(name);
      }
      advance();
    }
  }
  const fs::path installed = target / kInstalledProgramName;
  std::error_code ec;
  // Installing again from the installed folder itself leaves the program as it is.
  if (fs::equivalent(programFile, installed, ec))
    report.files.push_back(kInstalledProgramName);
  else if (mayWrite(kInstalledProgramName)) {
    if (copyOne(programFile, target, kInstalledProgramName, report.folders))
      report.files.push_back(kInstalledProgramName);
    else
      report.failed.push_back(kInstalledProgramName);
  }
  advance();
  return report;
}

int countCopySteps(const SetupList& list, const fs::path& sourceDir) {
  size_t steps = 1;
  for (const auto& e : list.files) steps += expand(sourceDir, e).size();
  for (const auto& e : list.data) steps += expand(sourceDir, e).size();
  return static_cast<int>(steps);
}

std::string installRecordText(const InstallRecord& record) {
  std::string out = "[Uninstall]\nDisplayName=Mervane\nUninstallString=" + record.uninstallString +
                    "\nExact=" + (record.exact ? "1" : "0") +
                    "\nTargetMade=" + (record.targetMade ? "1" : "0") + "\n";
  writeNumbered(out, "Files", record.files);
  writeNumbered(out, "Data", record.data);
  writeNumbered(out, "Folders", record.folders);
  writeNumbered(out, "Later", record.later);
  std::vector<std::string> entries;
  for (const auto& e : record.entries) entries.push_back(e.string());
  writeNumbered(out, "Entries", entries);
  return out;
}

bool readInstallRecord(const fs::path& folder, InstallRecord& record) {
  const fs::path ini = folder / kInstallRecordName;
  std::error_code ec;
  if (!fs::is_regular_file(ini, ec)) return false;
  Profile uninstall(ini, "Uninstall");
  record.uninstallString = uninstall.readString("UninstallString", "", kPathBuffer);
  record.exact = uninstall.readInt("Exact", 0) == 1;
  record.targetMade = record.exact && uninstall.readInt("TargetMade", 0) == 1;
  record.files = readNumbered(ini, "Files");
  record.data = readNumbered(ini, "Data");
  record.folders = readNumbered(ini, "Folders");
  record.later = readNumbered(ini, "Later");
  record.entries.clear();
  for (const auto& e : readNumbered(ini, "Entries")) record.entries.emplace_back(e);
  return true;
}

bool writeInstallRecord(const fs::path& folder, InstallRecord record) {
  InstallRecord earlier;
  if (readInstallRecord(folder, earlier)) {
    for (const auto& f : earlier.files) addUnique(record.files, f);
    if (earlier.exact) {
      for (const auto& d : earlier.data) addUnique(record.data, d);
      for (const auto& d : earlier.folders) addUnique(record.folders, d);
      for (const auto& l : earlier.later) addUnique(record.later, l);
      record.targetMade = record.targetMade || earlier.targetMade;
    }
    for (const auto& e : earlier.entries)
      if (std::find(record.entries.begin(), record.entries.end(), e) == record.entries.end())
        record.entries.push_back(e);
  }
  return writeFileAtomically(folder / kInstallRecordName, installRecordText(record));
}

std::vector<std::string> registerInstallation(const fs::path& target, const CopyReport& copy,
                                              const XdgFolders& xdg) {
  const fs::path program = target / kInstalledProgramName;
  const IntegrationReport made = integrateDesktop(xdg, program);
  std::vector<std::string> failed;
  for (const auto& f : made.failed) failed.push_back(f.string());
  InstallRecord record;
  record.uninstallString = quoteForShell(program.string()) + " remove";
  record.targetMade = copy.targetMade;
  record.files = copy.files;
  record.data = copy.data;
  record.folders = copy.folders;
  for (const std::string& name : programWrittenFiles()) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target / name, ec))) record.later.push_back(name);
  }
  record.entries = made.made;
  if (!writeInstallRecord(target, record)) failed.push_back((target / kInstallRecordName).string());
  return failed;
}

}  // namespace mv
