#include "installer/DesktopEntries.h"

#include "platform/Escape.h"
#include "store/AtomicFile.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace mv {
namespace {

fs::path envPath(const char* name) {
  const char* v = std::getenv(name);
  // XDG folders given as relative paths are ignored, as the desktop does.
  return v && *v == '/' ? fs::path(v) : fs::path();
}

// XDG_DESKTOP_DIR="$HOME/Desktop" from user-dirs.dirs; empty when not set there.
fs::path desktopFromUserDirs(const fs::path& configHome, const fs::path& home) {
  std::ifstream in(configHome / "user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DESKTOP_DIR=\"";
    if (line.rfind(key, 0) != 0) continue;
    const size_t end = line.rfind('"');
    if (end <= key.size()) return {};
    std::string value = line.substr(key.size(), end - key.size());
    if (value.rfind("$HOME", 0) == 0) return fs::path(home.string() + value.substr(5));
    return value.front() == '/' ? fs::path(value) : fs::path();
  }
  return {};
}

// A desktop entry's string value: backslash and control characters escaped.
std::string entryValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

bool writeMade(const fs::path& file, const std::string& text, IntegrationReport& report,
               fs::perms perms = fs::perms::owner_read | fs::perms::owner_write |
                                 fs::perms::group_read | fs::perms::others_read) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (!writeFileAtomically(file, text)) {
    report.failed.push_back(file);
    return false;
  }
  fs::permissions(file, perms, ec);
  report.made.push_back(file);
  return true;
}

// The databases are a convenience of the desktop: without the tools the files are still
// found by a fresh scan, so a missing tool is no failure.
void runIfPresent(const char* tool, const QStringList& args) {
  const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(tool));
  if (exe.isEmpty()) return;
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.setStandardOutputFile(QProcess::nullDevice());
  p.start(exe, args);
  if (!p.waitForFinished(20000)) p.kill();
}

void refreshDatabases(const XdgFolders& xdg) {
  std::error_code ec;
  if (fs::is_directory(xdg.dataHome / "mime", ec))
    runIfPresent("update-mime-database", {QString::fromStdString((xdg.dataHome / "mime").string())});
  if (fs::is_directory(xdg.applications(), ec))
    runIfPresent("update-desktop-database", {QString::fromStdString(xdg.applications().string())});
}

fs::path homeFolder() {
  fs::path home = envPath("HOME");
  return home.empty() ? fs::path("/") : home;
}

}  // namespace

fs::path xdgDataHome() {
  const fs::path data = envPath("XDG_DATA_HOME");
  return data.empty() ? homeFolder() / ".local" / "share" : data;
}

XdgFolders XdgFolders::fromEnvironment() {
  const fs::path home = homeFolder();
  XdgFolders xdg;
  xdg.dataHome = xdgDataHome();
  fs::path config = envPath("XDG_CONFIG_HOME");
  if (config.empty()) config = home / ".config";
  xdg.desktop = desktopFromUserDirs(config, home);
  if (xdg.desktop.empty()) xdg.desktop = home / "Desktop";
  return xdg;
}

std::string desktopExecArgument(const std::string& argument) {
  // An argument without reserved characters goes unquoted: simple launchers (xdg-open's
  // generic mode among them) take the first word of Exec as the program literally.
  const std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
  const bool needsQuotes =
      argument.empty() || argument.find_first_of(reserved) != std::string::npos;
  // Inside double quotes the Exec key reserves ", `, $ and \; a field code is
  // recognised everywhere, so a literal percent sign is doubled.
  std::string out = needsQuotes ? "\"" : "";
  for (char c : argument) {
    if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  if (needsQuotes) out += '"';
  // The whole key is then a string value, which escapes each backslash once more.
  return entryValue(out);
}

std::string menuEntryText(const fs::path& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=Mervane\n"
         "GenericName=Address Book\n"
         "Comment=Keep and print your addresses\n"
         "Exec=" + desktopExecArgument(program.string()) + " %f\n"
         "TryExec=" + entryValue(program.string()) + "\n"
         "Path=" + entryValue(program.parent_path().string()) + "\n"
         "Icon=mervane\n"
         "Terminal=false\n"
         "Categories=Office;ContactManagement;\n"
         "MimeType=" + std::string(kBookMimeType) + ";\n";
}

std::string removeEntryText(const fs::path& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=Remove Mervane\n"
         "Comment=Remove Mervane from this computer\n"
         "Exec=" + desktopExecArgument(program.string()) + " remove\n"
         "TryExec=" + entryValue(program.string()) + "\n"
         "Icon=mervane\n"
         "Terminal=false\n"
         "Categories=Settings;\n";
}

std::string mimePackageText() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" + xmlEscape(kBookMimeType, HighBytes::Kept) + "\">\n"
         "    <comment>Mervane address book</comment>\n"
         "    <generic-icon name=\"mervane\"/>\n"
         "    <magic priority=\"60\">\n"
         "      <match type=\"string\" offset=\"0\" value=\"TVXADR_\"/>\n"
         "    </magic>\n"
         "    <glob pattern=\"*.adr\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string iconSvg() {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <rect x="10" y="4" width="44" height="56" rx="5" fill="#1f4e8c"/>
  <rect x="14" y="4" width="40" height="56" rx="4" fill="#2f6fbf"/>
  <rect x="52" y="12" width="8" height="10" rx="2" fill="#e8b83a"/>
  <rect x="52" y="25" width="8" height="10" rx="2" fill="#d9534f"/>
  <rect x="52" y="38" width="8" height="10" rx="2" fill="#5cb85c"/>
  <rect x="20" y="14" width="28" height="36" rx="3" fill="#fdfcf7"/>
  <circle cx="34" cy="24" r="5" fill="#2f6fbf"/>
  <path d="M25 38 q9 -11 18 0 z" fill="#2f6fbf"/>
  <rect x="24" y="41" width="20" height="2" fill="#8a98a8"/>
  <rect x="24" y="45" width="14" height="2" fill="#8a98a8"/>
  <rect x="6" y="12" width="8" height="3" rx="1.5" fill="#c9ced6"/>
  <rect x="6" y="24" width="8" height="3" rx="1.5" fill="#c9ced6"/>
  <rect x="6" y="36" width="8" height="3" rx="1.5" fill="#c9ced6"/>
  <rect x="6" y="48" width="8" height="3" rx="1.5" fill="#c9ced6"/>
</svg>
)";
}

IntegrationReport integrateDesktop(const XdgFolders& xdg, const fs::path& program) {
  IntegrationReport report;
  const fs::perms runnable = fs::perms::owner_all | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec;
  writeMade(xdg.iconFile(), iconSvg(), report);
  writeMade(xdg.mimePackage(), mimePackageText(), report);
  writeMade(xdg.menuEntry(), menuEntryText(program), report);
  writeMade(xdg.removeEntry(), removeEntryText(program), report);
  // File managers start a launcher on the desktop only when it is executable.
  writeMade(xdg.desktopShortcut(), menuEntryText(program), report, runnable);
  refreshDatabases(xdg);
  return report;
}

bool isOwnEntry(const fs::path& file) {
  const std::string name = file.filename().string();
  return file.is_absolute() && (name == "mervane.desktop" || name == "mervane-remove.desktop" ||
                                name == "mervane.xml" || name == "mervane.svg");
}

std::vector<fs::path> removeDesktopEntries(const XdgFolders& xdg, const std::vector<fs::path>& entries) {
  std::vector<fs::path> failed;
  for (const fs::path& e : entries) {
    std::error_code ec;
    // A damaged record must not make remove delete files of others.
    if (!isOwnEntry(e)) continue;
    if (fs::exists(fs::symlink_status(e, ec)) && !fs::remove(e, ec)) failed.push_back(e);
  }
  refreshDatabases(xdg);
  return failed;
}

}  // namespace mv
