#include "installer/Remover.h"

#include "installer/DesktopEntries.h"

#include <QProcess>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace mv {
namespace {

// True when `name` below `folder` really lies there: no "..", not absolute, and no
// symbolic link on the way that leads elsewhere (a linked "help" folder of the user's).
bool liesInside(const fs::path& folder, const std::string& name) {
  if (!staysInside(name)) return false;
  std::error_code ec;
  const fs::path root = fs::weakly_canonical(folder, ec);
  if (ec) return false;
  const fs::path parent = fs::weakly_canonical((folder / name).parent_path(), ec);
  if (ec) return false;
  const auto rel = parent.lexically_relative(root);
  return !rel.empty() && *rel.begin() != "..";
}

void removeFile(const fs::path& file, RemoveReport& report) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(file, ec);
  if (!fs::exists(st)) return;
  // A folder where setup wrote a file is not ours to empty.
  if (fs::is_directory(st) || !fs::remove(file, ec))
    report.failed.push_back(file.string());
  else
    report.removed.push_back(file.string());
}

// The places setup writes outside the folder; an entry anywhere else is refused.
bool isEntryOfThisDesktop(const fs::path& entry, const XdgFolders& xdg) {
  for (const fs::path& own : {xdg.menuEntry(), xdg.removeEntry(), xdg.desktopShortcut(),
                              xdg.iconFile(), xdg.mimePackage()})
    if (entry.lexically_normal() == own.lexically_normal()) return true;
  return false;
}

}  // namespace

const std::vector<std::string>& programWrittenFiles() {
  // Its settings and the letter texts of the RTF export; scratch files live elsewhere.
  static const std::vector<std::string> names = {"mervane.ini", "mv_letter_before.txt",
                                                 "mv_letter_after.txt"};
  return names;
}

RemoveReport removeInstallation(const fs::path& folder, bool deleteData) {
  RemoveReport report;
  InstallRecord record;
  if (!readInstallRecord(folder, record)) {
    report.installed = false;
    return report;
  }
  const XdgFolders xdg = XdgFolders::fromEnvironment();
  std::vector<fs::path> entries;
  for (const auto& e : record.entries) {
    if (isEntryOfThisDesktop(e, xdg))
      entries.push_back(e);
    else
      report.refused.push_back(e.string());
  }
  std::vector<fs::path> entriesThere;
  for (const auto& e : entries) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(e, ec))) entriesThere.push_back(e);
  }
  const std::vector<fs::path> notRemoved = removeDesktopEntries(xdg, entriesThere);
  for (const auto& e : entriesThere) {
    if (std::find(notRemoved.begin(), notRemoved.end(), e) == notRemoved.end())
      report.removed.push_back(e.string());
    else
      report.failed.push_back(e.string());
  }

  std::vector<std::string> names = record.files;
  if (record.exact) {
    names.insert(names.end(), record.data.begin(), record.data.end());
    names.insert(names.end(), record.later.begin(), record.later.end());
  } else {
    for (const std::string& d : record.data) {
      std::error_code ec;
      if (d == kStarterBookName) {
        names.push_back(d);  // the book goes only on request, below
      } else if (fs::exists(fs::symlink_status(folder / d, ec))) {
        report.unproven.push_back(d);
      }
    }
  }
  for (const std::string& name : names) {
    if (name == kInstalledProgramName) continue;
    if (name == kStarterBookName && !deleteData) continue;
    if (!liesInside(folder, name)) {
      report.refused.push_back(name);
      continue;
    }
    removeFile(folder / name, report);
  }
  // The record goes last: should anything above fail, a second remove still finds it.
  if (report.failed.empty()) removeFile(folder / kInstallRecordName, report);

  // Folders setup made, deepest first; one that still holds anything stays.
  std::vector<std::string> folders = record.exact ? record.folders : std::vector<std::string>{};
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return a.size() > b.size();
  });
  for (const std::string& name : folders) {
    std::error_code ec;
    if (!liesInside(folder, name)) {
      report.refused.push_back(name);
    } else if (fs::is_directory(fs::symlink_status(folder / name, ec)) &&
               fs::is_empty(folder / name, ec) && fs::remove(folder / name, ec)) {
      report.removed.push_back((folder / name).string());
    }
  }
  report.removeFolder = record.targetMade;
  std::error_code ec;
  // Whatever is left besides the program file (which the script deletes) is not ours.
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name != kInstalledProgramName) report.folderKept = true;
  }
  return report;
}

std::string quoteForShell(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  out += '\'';
  return out;
}

std::string removalScriptText(long pid, const fs::path& program, bool removeFolder) {
  const std::string folder = program.parent_path().string();
  return "#!/bin/sh\n"
         "# Removes what is left of Mervane once the program has ended.\n"
         "i=0\n"
         "while kill -0 " + std::to_string(pid) + " 2>/dev/null && [ \"$i\" -lt 30 ]; do\n"
         "  sleep 1\n"
         "  i=$((i + 1))\n"
         "done\n"
         "rm -f -- " + quoteForShell(program.string()) + "\n" +
         (removeFolder ? "rmdir -- " + quoteForShell(folder) + " 2>/dev/null\n" : std::string()) +
         "rm -f -- \"$0\"\n";
}

fs::path writeRemovalScript(const std::string& text) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code ec;
  fs::path dir;
  if (runtime && *runtime == '/' && fs::is_directory(runtime, ec))
    dir = runtime;
  else
    dir = fs::temp_directory_path(ec);
  if (dir.empty()) dir = "/tmp";
  std::string name = (dir / "mervane-remove-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return {};
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool closed = ::close(fd) == 0;
  const bool ok = done == text.size() && closed;
  if (!ok) {
    ::unlink(name.c_str());
    return {};
  }
  return name;
}

bool startRemovalScript(const fs::path& script) {
  return QProcess::startDetached(QStringLiteral("/bin/sh"), {QString::fromStdString(script.string())},
                                 QStringLiteral("/"));
}

}  // namespace mv
