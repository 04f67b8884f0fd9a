#include "platform/Paths.h"

#include "platform/Cp1252.h"
#include "platform/Text.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

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

std::filesystem::path fromEnv(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? std::filesystem::path(v) : std::filesystem::path();
}

bool isUtf8(std::string_view text) noexcept {
  return QByteArrayView(text.data(), static_cast<qsizetype>(text.size())).isValidUtf8();
}

}  // namespace

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
  // The QTemporaryDir lives until the process ends and removes the folder then.
  static std::unique_ptr<QTemporaryDir> dir;
  if (!dir) {
    dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/mervane-XXXXXX");
    if (!dir->isValid()) return std::filesystem::temp_directory_path();
  }
  return std::filesystem::path(dir->path().toStdString());
}

bool namesRewriteScratch(std::string_view path) noexcept {
  const size_t slash = path.find_last_of("/\\");
  return equalsIgnoreCase(slash == std::string_view::npos ? path : path.substr(slash + 1),
                          kRewriteScratchName);
}

std::string pathText(const std::filesystem::path& path) { return path.string(); }

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

}  // namespace mv
