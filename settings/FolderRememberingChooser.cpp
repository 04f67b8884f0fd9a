#include "settings/FolderRememberingChooser.h"

#include "platform/Paths.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <string>

namespace mv {
namespace {

// Long enough for any folder the file system allows; a longer one is not kept, since a
// cut path could name another folder.
constexpr size_t kFolderBuffer = 4097;

std::string_view keyOf(FileKind kind) noexcept {
  switch (kind) {
    case FileKind::Books: return keys::folders::Books;
    case FileKind::Csv: return keys::folders::Csv;
    case FileKind::Vcard: return keys::folders::Vcard;
    case FileKind::Exports: return keys::folders::Exports;
    case FileKind::Pdf: return keys::folders::Pdf;
    case FileKind::LabelTemplates: return keys::folders::LabelTemplates;
    case FileKind::None: break;
  }
  return {};
}

Profile folders(const std::filesystem::path& ini) {
  return Profile(ini, std::string(keys::section::Folders));
}

}  // namespace

std::optional<std::filesystem::path> FolderRememberingChooser::folderOf(FileKind kind) const {
  const std::string_view key = keyOf(kind);
  if (key.empty()) return std::nullopt;
  const std::string text = folders(ini_).readString(key, "", kFolderBuffer);
  if (text.empty()) return std::nullopt;
  const std::filesystem::path folder = pathFromText(text);
  std::error_code ec;
  if (!folder.is_absolute() || !std::filesystem::is_directory(folder, ec)) return std::nullopt;
  return folder;
}

std::optional<FileChoice> FolderRememberingChooser::choose(const FileRequest& request) {
  FileRequest asked = request;
  // Nothing remembered yet (or the folder gone): the caller's own start folder stands.
  if (const auto folder = folderOf(request.fileKind)) asked.directory = *folder;
  std::optional<FileChoice> choice = inner_.choose(asked);
  const std::string_view key = keyOf(request.fileKind);
  if (!choice || key.empty()) return choice;
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::absolute(choice->path, ec).parent_path();
  const std::string text = pathText(folder);
  // A line break would end the value early and write a line of its own into the file.
  if (ec || text.empty() || text.size() >= kFolderBuffer ||
      text.find_first_of("\r\n") != std::string::npos)
    return choice;
  if (!folders(ini_).writeString(key, text)) saved_ = false;
  return choice;
}

}  // namespace mv
