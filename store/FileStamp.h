#pragma once
// What a book's file held when this copy last read or wrote it (size, modification time
// and a hash of its bytes), so that a save can tell that another program, or another
// copy of Mervane, has written the file since, and not write over that silently.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace mv {

struct FileStamp {
  bool known = false;  // false: nothing remembered, so nothing to compare
  std::uintmax_t size = 0;
  std::filesystem::file_time_type modified{};
  std::uint64_t hash = 0;

  // The stamp of `path` whose bytes are `bytes`, just read or just written. The time is
  // taken after the bytes, so a write that comes between the two shows as a hash that
  // differs from the file's at the next check.
  static FileStamp of(const std::filesystem::path& path, std::string_view bytes);
  // The stamp of the file as it is now; unknown when it cannot be read.
  static FileStamp read(const std::filesystem::path& path);

  // True when `path` no longer holds what this stamp remembers. Only the bytes count: a
  // file touched without a change loses nothing when it is written over, and a folder
  // shared over the network may keep times to the second only, so two writes there can
  // share one. A file that is gone, or cannot be read, counts as unchanged: writing it
  // loses nothing another program wrote, and a write that cannot happen says so itself.
  bool differsFrom(const std::filesystem::path& path) const;
};

// Tests stand in for another program that writes a book while a save, a conversion or a
// command-line verb runs: `act` runs once, at the start of the next differsFrom().
void beforeNextDiskCheckForTesting(std::function<void()> act);

// 64-bit FNV-1a: enough to tell one version of a file from another, not a safeguard
// against someone who means to make two versions collide.
std::uint64_t hashBytes(std::string_view bytes) noexcept;

}  // namespace mv
