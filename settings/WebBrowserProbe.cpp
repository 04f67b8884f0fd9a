#include "settings/WebBrowserProbe.h"

#include "platform/Paths.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <fstream>

namespace mv {
namespace {

std::vector<std::filesystem::path> defaultDataDirs() {
  std::vector<std::filesystem::path> dirs;
  const char* home = std::getenv("XDG_DATA_HOME");
  if (home && *home) {
    dirs.emplace_back(home);
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    dirs.push_back(std::filesystem::path(h) / ".local/share");
  }
  std::string list = "/usr/local/share:/usr/share";
  if (const char* d = std::getenv("XDG_DATA_DIRS"); d && *d) list = d;
  size_t pos = 0;
  while (pos <= list.size()) {
    const size_t colon = list.find(':', pos);
    const std::string part = list.substr(pos, colon == std::string::npos ? std::string::npos : colon - pos);
    if (!part.empty()) dirs.emplace_back(part);
    if (colon == std::string::npos) break;
    pos = colon + 1;
  }
  return dirs;
}

// A desktop-file id "vendor-app.desktop" may also live as "vendor/app.desktop".
std::vector<std::filesystem::path> candidates(const std::filesystem::path& dataDir,
                                              const std::string& id) {
  const std::filesystem::path apps = dataDir / "applications";
  std::vector<std::filesystem::path> out{apps / id};
  std::string nested = id;
  for (size_t dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash + 1)) {
    std::string variant = nested;
    variant[dash] = '/';
    out.push_back(apps / variant);
  }
  return out;
}

// The Exec value of the [Desktop Entry] group, or empty.
std::string execValueOf(const std::filesystem::path& desktopFile) {
  std::ifstream in(desktopFile, std::ios::binary);
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    if (key != "Exec") continue;
    std::string value = line.substr(eq + 1);
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    return value;
  }
  return {};
}

}  // namespace

std::string execProgram(const std::string& execValue) {
  std::string program;
  size_t i = 0;
  while (i < execValue.size() && execValue[i] == ' ') ++i;
  if (i < execValue.size() && execValue[i] == '"') {
    // A quoted program may escape ", `, $ and \ with a backslash.
    for (++i; i < execValue.size() && execValue[i] != '"'; ++i) {
      if (execValue[i] == '\\' && i + 1 < execValue.size()) ++i;
      program += execValue[i];
    }
  } else {
    for (; i < execValue.size() && execValue[i] != ' ' && execValue[i] != '\t'; ++i)
      program += execValue[i];
  }
  return program;
}

// "xdg-mime query default TYPE": the desktop-file id, or empty on any failure.
std::string queryDefault(const std::string& mimeType, const BrowserProbeOptions& options) {
  QProcess process;
  process.setProgram(QString::fromStdString(options.xdgMimeProgram));
  process.setArguments({QStringLiteral("query"), QStringLiteral("default"),
                        QString::fromStdString(mimeType)});
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(QIODevice::ReadOnly);
  if (!process.waitForStarted(options.timeoutMs)) return {};
  if (!process.waitForFinished(options.timeoutMs)) {
    process.kill();
    process.waitForFinished(1000);
    return {};
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return {};
  return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().toStdString();
}

bool hasDesktopHandler(const std::string& mimeType, const BrowserProbeOptions& options) {
  return !queryDefault(mimeType, options).empty();
}

BrowserProbe probeWebBrowser(const BrowserProbeOptions& options) {
  const std::string id = queryDefault("text/html", options);
  if (id.empty() || id.find('/') != std::string::npos || id.find("..") != std::string::npos)
    return {};

  const auto dirs = options.dataDirs.empty() ? defaultDataDirs() : options.dataDirs;
  for (const auto& dir : dirs) {
    for (const auto& file : candidates(dir, id)) {
      std::error_code ec;
      if (!std::filesystem::is_regular_file(file, ec)) continue;
      const std::string program = execProgram(execValueOf(file));
      if (program.empty()) return {};
      std::string resolved = program;
      if (program.find('/') == std::string::npos) {
        const QString found = QStandardPaths::findExecutable(QString::fromStdString(program));
        if (!found.isEmpty()) resolved = found.toStdString();
      }
      return {true, pathText(std::filesystem::path(resolved))};
    }
  }
  return {};
}

}  // namespace mv
