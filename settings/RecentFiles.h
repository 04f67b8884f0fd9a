#pragma once
// The list of address books used last (section MRU of mervane.ini): numbered File-menu
// items that reopen a book, newest first. MRU0 also names the book opened at start.

#include "commands/Commands.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mv {

class RecentFiles {
 public:
  static constexpr int kFirstMenuId = cmd::kFirstRecent;
  static constexpr int kMaxCapacity = 10;
  static constexpr int kDefaultCapacity = 4;
  static constexpr size_t kPathBuffer = 256;  // 255 characters per entry

  // Writes Count = capacity (cut to 0..10) to the section.
  explicit RecentFiles(std::filesystem::path ini, int capacity = kDefaultCapacity);

  int count() const noexcept { return count_; }
  const std::filesystem::path& file() const noexcept { return ini_; }

  // The raw value of entry index: "Default" when the key is missing.
  std::string entry(int index) const;
  static bool isFree(const std::string& value);  // empty or "Default"

  // Moves path (a path text, as the file system names it) to the top: an equal entry (any
  // letter case) is removed first, the others move one place down, the oldest falls off
  // the end. False when the settings file could not be written (the list then stays as
  // the file holds it).
  [[nodiscard]] bool add(const std::string& path);

  // The path of menu id kFirstMenuId + i for i in 0..count-1; none for other ids. A free entry
  // gives its value as stored.
  std::optional<std::string> pathOfMenuId(int id) const;

  // Removes entry index (0 <= index < count; others do nothing): later entries move up,
  // the last becomes empty. False when the settings file could not be written.
  bool removeAt(int index);

  // (menu id, "&%d %s") for each used entry; free entries are skipped but keep their
  // numbers, so the numbering can show a gap.
  std::vector<std::pair<int, std::string>> menuItems() const;

 private:
  static std::string keyOf(int index);
  std::filesystem::path ini_;
  int count_;
};

// The address book to open at start: MRU0 (259 characters, default "_none_"); a value
// naming the scratch file "temp~adr.~~" (any letter case) counts as "_none_"; "_none_"
// becomes programDir / "address.adr", which is written back as MRU0 with Count = 4.
std::string startBookPath(const std::filesystem::path& ini, const std::filesystem::path& programDir);

}  // namespace mv
