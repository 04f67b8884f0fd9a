#include "platform/Paths.h"

#include "platform/Cp1252.h"
#include "platform/Text.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include <unistd.h>

namespace mv {
namespace {

std::filesystem::path& programOverride() {
  static std::filesystem::path p;
  return p;
}
std::filesystem::path& windowsOverride() {
  static std::filesystem::path p;
  return p;
}
std::filesystem::path& scratchOverride() {
  static std::filesystem::path p;
  return p;
}
std::filesystem::path& stateOverride() {
  static std::filesystem::path p;
  return p;
}

std::filesystem::path fromEnv(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? std::filesystem::path(v) : std::filesystem::path();
}

bool isUtf8(std::string_view text) noexcept {
  return QByteArrayView(text.data(), static_cast<qsizetype>(text.size())).isValidUtf8();
}

}  // namespace

// Field 22 of /proc/PID/stat: the start time in clock ticks since boot. The process name
// (field 2) may hold blanks and parentheses, so counting starts after its last ')'.
std::string processStartTime(long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream rest(stat.substr(close + 1));
  std::string field;
  for (int i = 3; i <= 22 && rest >> field; ++i) {
  }
  return field;
}

std::filesystem::path programDir() {
  if (!programOverride().empty()) return programOverride();
  if (auto p = fromEnv("MERVANE_PROGRAM_DIR"); !p.empty()) return p;
  if (QCoreApplication::instance())
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
  // A tool without an application object (mervane-cli) still finds the files beside it.
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && !exe.empty()) return exe.parent_path();
  return std::filesystem::current_path();
}

std::filesystem::path windowsDir() {
  if (!windowsOverride().empty()) return windowsOverride();
  if (auto p = fromEnv("MERVANE_WINDOWS_DIR"); !p.empty()) return p;
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (base.isEmpty()) base = QDir::homePath() + "/.config";
  const std::filesystem::path dir = std::filesystem::path(base.toStdString()) / "mervane";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

std::filesystem::path scratchDir() {
  if (!scratchOverride().empty()) return scratchOverride();
  if (auto p = fromEnv("MERVANE_SCRATCH_DIR"); !p.empty()) return p;
  // The QTemporaryDir lives until the process ends and removes the folder then; a copy
  // that is killed leaves it, with the working file, for the next start.
  static std::unique_ptr<QTemporaryDir> dir;
  if (!dir) {
    const std::string base = (stateDir() / kCopyFolderPrefix).string() + "XXXXXX";
    dir = std::make_unique<QTemporaryDir>(QString::fromStdString(base));
    if (!dir->isValid())
      dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/mervane-XXXXXX");
    if (!dir->isValid()) return std::filesystem::temp_directory_path();
    (void)writeCopyLock(dir->path().toStdString());
  }
  return std::filesystem::path(dir->path().toStdString());
}

std::filesystem::path stateDir() {
  std::filesystem::path dir = stateOverride();
  if (dir.empty()) dir = fromEnv("MERVANE_STATE_DIR");
  if (dir.empty()) {
    if (auto xdg = fromEnv("XDG_STATE_HOME"); !xdg.empty() && xdg.is_absolute())
      dir = xdg / "mervane";
    else
      dir = std::filesystem::path(QDir::homePath().toStdString()) / ".local/state/mervane";
  }
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

bool writeCopyLock(const std::filesystem::path& folder) {
  const long pid = static_cast<long>(::getpid());
  std::ofstream out(folder / kCopyLockName, std::ios::trunc);
  out << pid << ' ' << processStartTime(pid) << '\n';
  out.flush();
  return static_cast<bool>(out);
}

bool copyOfLockRuns(const std::filesystem::path& folder) {
  std::ifstream in(folder / kCopyLockName);
  long pid = 0;
  std::string start;
  if (!(in >> pid >> start) || pid <= 0) return false;
  return processStartTime(pid) == start;
}

bool namesRewriteScratch(std::string_view path) noexcept {
  const size_t slash = path.find_last_of("/\\");
  return equalsIgnoreCase(slash == std::string_view::npos ? path : path.substr(slash + 1),
                          kRewriteScratchName);
}

std::string pathText(const std::filesystem::path& path) { return path.string(); }

std::filesystem::path withExtension(const std::filesystem::path& path, std::string_view dotExt) {
  if (hasExtensionIgnoreCase(path.filename().string(), dotExt)) return path;
  std::filesystem::path out = path;
  out += std::string(dotExt);
  return out;
}

std::filesystem::path pathFromText(std::string_view text) {
  std::filesystem::path path{std::string(text)};
  if (isUtf8(text)) return path;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return path;
  std::filesystem::path older{fromCp1252(text).toStdString()};
  return std::filesystem::exists(older, ec) ? older : path;
}

bool samePathText(std::string_view a, std::string_view b) {
  // Names that are not UTF-8 would decode to replacement characters that compare equal;
  // such names are the same only when their bytes are.
  if (!isUtf8(a) || !isUtf8(b)) return a == b;
  const auto qs = [](std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
  };
  return qs(a).compare(qs(b), Qt::CaseInsensitive) == 0;
}

void setProgramDirForTesting(const std::filesystem::path& dir) { programOverride() = dir; }
void setWindowsDirForTesting(const std::filesystem::path& dir) { windowsOverride() = dir; }
void setScratchDirForTesting(const std::filesystem::path& dir) { scratchOverride() = dir; }
void setStateDirForTesting(const std::filesystem::path& dir) { stateOverride() = dir; }

}  // namespace mv
