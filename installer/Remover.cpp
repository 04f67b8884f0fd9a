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

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A name from the record stays inside the folder: "../x" or an absolute name would let a
// damaged record delete files elsewhere.
bool safeName(const std::string& name) {
  if (name.empty() || name.front() == '/') return false;
  for (const auto& part : fs::path(name))
    if (part == "..") return false;
  return true;
}

void removeFile(const fs::path& file, RemoveReport& report) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(file, ec))) return;
  if (fs::remove(file, ec))
    report.removed.push_back(file.string());
  else
    report.failed.push_back(file.string());
}

// Removes empty folders below `folder`, deepest first.
void pruneEmptyFolders(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> dirs;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) dirs.push_back(it->path());
  }
  std::sort(dirs.begin(), dirs.end(), [](const fs::path& a, const fs::path& b) {
    return a.string().size() > b.string().size();
  });
  for (const auto& d : dirs) fs::remove(d, ec);  // fails harmlessly when not empty
}

}  // namespace

const std::vector<std::string>& programWrittenFiles() {
  static const std::vector<std::string> names = {
      "wall.jpg",  "name.gif",    "group.gif",           "mervane.gid",
      "mervane.hlp", "mervane.ini", "pagesize.dat",      "labels.dat",
      "lang.dat",  "readme.txt",  "mv_letter_after.txt", "mv_letter_before.txt",
      "mervn.tmx", "temp~adr.~~", "adr~im.~~",           "tmprtf~.~"};
  return names;
}

RemoveReport removeInstallation(const fs::path& folder, bool deleteData) {
  RemoveReport report;
  InstallRecord record;
  if (!readInstallRecord(folder, record)) {
    report.installed = false;
    return report;
  }
  for (const auto& f : removeDesktopEntries(XdgFolders::fromEnvironment(), record.entries))
    report.failed.push_back(f.string());
  for (const auto& e : record.entries)
    if (isOwnEntry(e) && !contains(report.failed, e.string())) report.removed.push_back(e.string());

  std::vector<std::string> names = record.files;
  names.insert(names.end(), record.data.begin(), record.data.end());
  names.insert(names.end(), programWrittenFiles().begin(), programWrittenFiles().end());
  if (deleteData) names.push_back(kStarterBookName);
  for (const std::string& name : names) {
    if (!safeName(name) || name == kInstalledProgramName) continue;
    if (name == kStarterBookName && !deleteData) continue;
    removeFile(folder / name, report);
  }
  // The record goes last: should anything above fail, a second remove still finds it.
  if (report.failed.empty()) removeFile(folder / kInstallRecordName, report);

  pruneEmptyFolders(folder);
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

std::string removalScriptText(long pid, const fs::path& program) {
  const std::string folder = program.parent_path().string();
  return "#!/bin/sh\n"
         "# Removes what is left of Mervane once the program has ended.\n"
         "i=0\n"
         "while kill -0 " + std::to_string(pid) + " 2>/dev/null && [ \"$i\" -lt 30 ]; do\n"
         "  sleep 1\n"
         "  i=$((i + 1))\n"
         "done\n"
         "rm -f -- " + quoteForShell(program.string()) + "\n"
         "rmdir -- " + quoteForShell(folder) + " 2>/dev/null\n"
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
