#include "store/FileStamp.h"

#include "platform/AtomicFile.h"

#include <string>
#include <utility>
#include <system_error>

namespace mv {
namespace {

std::function<void()>& diskCheckHook() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

void beforeNextDiskCheckForTesting(std::function<void()> act) {
  diskCheckHook() = std::move(act);
}

std::uint64_t hashBytes(std::string_view bytes) noexcept {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

FileStamp FileStamp::of(const std::filesystem::path& path, std::string_view bytes) {
  FileStamp stamp;
  std::error_code ec;
  // Through a link to the file it points to: that is the file a save writes.
  const auto modified = std::filesystem::last_write_time(path, ec);
  if (ec) return stamp;
  stamp.known = true;
  stamp.size = bytes.size();
  stamp.modified = modified;
  stamp.hash = hashBytes(bytes);
  return stamp;
}

FileStamp FileStamp::read(const std::filesystem::path& path) {
  std::string bytes;
  if (!readWholeFile(path, bytes)) return {};
  return of(path, bytes);
}

bool FileStamp::differsFrom(const std::filesystem::path& path) const {
  if (auto& hook = diskCheckHook()) std::exchange(hook, {})();
  if (!known) return false;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return false;
  if (size != this->size) return true;
  const FileStamp now = read(path);
  return now.known && (now.size != this->size || now.hash != hash);
}

}  // namespace mv
