#include "settings/RecentFiles.h"

#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <algorithm>

namespace mv {
namespace {

Profile section(const std::filesystem::path& ini) {
  return Profile(ini, std::string(keys::section::MRU));
}

}  // namespace

RecentFiles::RecentFiles(std::filesystem::path ini, int capacity)
    : ini_(std::move(ini)), count_(std::clamp(capacity, 0, kMaxCapacity)) {
  // A settings file that cannot be written still lists what it holds; every change
  // below reports its own failure.
  (void)section(ini_).writeInt(keys::mru::Count, count_);
}

std::string RecentFiles::keyOf(int index) {
  return std::string(keys::mru::EntryPrefix) + std::to_string(index);
}

std::string RecentFiles::entry(int index) const {
  return section(ini_).readString(keyOf(index), keys::mru::FreeEntry, kPathBuffer);
}

bool RecentFiles::isFree(const std::string& value) {
  return value.empty() || value == keys::mru::FreeEntry;
}

bool RecentFiles::add(const std::string& path) {
  // The newest book opened again (every start) leaves the list as it is.
  if (count_ > 0 && entry(0) == path) return true;
  bool ok = true;
  for (int i = 0; i < count_; ++i) {
    if (samePathText(entry(i), path)) {
      ok = removeAt(i);
      break;
    }
  }
  Profile p = section(ini_);
  // Shift down from the end. A free entry is not copied onto a free key, so no
  // "Default" values are created; but it is copied (as empty) onto a used key, or that
  // key would keep its old path and the list would show it twice.
  for (int n = count_ - 1; n >= 0; --n) {
    const std::string value = entry(n);
    if (value == keys::mru::FreeEntry) {
      if (!isFree(entry(n + 1))) ok = p.writeString(keyOf(n + 1), "") && ok;
      continue;
    }
    ok = p.writeString(keyOf(n + 1), value) && ok;
  }
  if (count_ > 0) ok = p.writeString(keyOf(0), path) && ok;
  return p.flush() && ok;
}

std::optional<std::string> RecentFiles::pathOfMenuId(int id) const {
  const int index = id - kFirstMenuId;
  if (index < 0 || index >= count_) return std::nullopt;
  return entry(index);
}

bool RecentFiles::removeAt(int index) {
  if (index < 0 || index >= count_) return true;
  Profile p = section(ini_);
  bool ok = true;
  for (int j = index + 1; j < count_; ++j) {
    const std::string value = entry(j);
    ok = p.writeString(keyOf(j - 1), isFree(value) ? std::string() : value) && ok;
  }
  ok = p.writeString(keyOf(count_ - 1), "") && ok;
  return p.flush() && ok;
}

std::vector<std::pair<int, std::string>> RecentFiles::menuItems() const {
  std::vector<std::pair<int, std::string>> items;
  for (int i = 0; i < count_; ++i) {
    const std::string value = entry(i);
    if (isFree(value)) continue;
    items.emplace_back(kFirstMenuId + i, "&" + std::to_string(i + 1) + " " + value);
  }
  return items;
}

std::string startBookPath(const std::filesystem::path& ini, const std::filesystem::path& programDir) {
  Profile p(ini, std::string(keys::section::MRU));
  const std::string newestKey = std::string(keys::mru::EntryPrefix) + "0";
  std::string path = p.readString(newestKey, "_none_", 260);
  if (namesRewriteScratch(path)) path = "_none_";
  if (path == "_none_") {
    path = pathText(programDir / "address.adr");
    // Only a default is recorded here: the path is the same whether it could be or not.
    (void)(p.writeInt(keys::mru::Count, RecentFiles::kDefaultCapacity) &&
           p.writeString(newestKey, path) && p.flush());
  }
  return path;
}

}  // namespace mv
