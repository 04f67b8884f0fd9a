#pragma once
// Files the user keeps (books, backups, converted books) are replaced atomically: the new
// content goes to a file beside the target, every write is checked, and only a complete
// file is renamed over the target. A failed or interrupted save leaves the old file as it was.

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

// Writes `bytes` to `target` through a sibling temporary file and a rename. Returns false
// (and leaves `target` untouched, no temporary left behind) when any step fails. A target
// that is a symbolic link is written through the link, keeping the link. A target
// without its owner's write permission is refused and kept.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Copies `source` over `target` the same way (Backup, the converter). False when the
// source cannot be read or the target cannot be written.
bool copyFileAtomically(const std::filesystem::path& source,
                        const std::filesystem::path& target);

// Every byte of a file; false when it cannot be read (a folder, a missing file).
bool readWholeFile(const std::filesystem::path& path, std::string& bytes);

// Tests simulate a disk that fills up: the next atomic write fails after `bytes` bytes
// (a negative value switches the simulation off). Applies to one write only.
void failNextAtomicWriteForTesting(long long bytes);

}  // namespace mv
