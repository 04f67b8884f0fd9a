#pragma once
// Files the user keeps (books, backups, converted books) are replaced atomically: the new
// content goes to a file beside the target, every write is checked, and only a complete
// file is renamed over the target. A failed or interrupted save leaves the old file as it was.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

// How far a write must have got before the new file takes the old one's place.
enum class Durability {
  OnDisk,       // the user's files: the bytes and the rename are flushed to the disk
  ScratchCopy,  // the running copy's own scratch files, used at once and never kept
};

// Writes `bytes` to `target` through a sibling temporary file and a rename. Returns false
// (and leaves `target` untouched, no temporary left behind) when any step fails. A target
// that is a symbolic link is written through the link, keeping the link. A target
// without its owner's write permission is refused and kept.
[[nodiscard]] bool writeFileAtomically(const std::filesystem::path& target,
                                       std::string_view bytes,
                                       Durability durability = Durability::OnDisk);

// Copies `source` over `target` the same way (Backup, the converter). False when the
// source cannot be read or the target cannot be written.
[[nodiscard]] bool copyFileAtomically(const std::filesystem::path& source,
                                      const std::filesystem::path& target);

// Writes a scratch file of our own in place (no rename): false, and the file removed,
// when any byte cannot be written.
[[nodiscard]] bool writeScratchFile(const std::filesystem::path& path, std::string_view bytes);

// Why the last of the writes above that failed on this thread did, in the system's words
// ("No space left on device", "Permission denied"), for the message that names the file.
std::string lastFileError();

// Every byte of a file; false when it cannot be read (a folder, a missing file).
[[nodiscard]] bool readWholeFile(const std::filesystem::path& path, std::string& bytes);

// The temporary files of the atomic writer are named ".~mvsave~" + the target's name + a
// number. One left behind by a save that was killed part-way is removed when its book is
// next opened or saved; one that a running save still holds is left alone.
inline constexpr std::string_view kSaveTempPrefix = ".~mvsave~";
void removeStaleSaveFiles(const std::filesystem::path& target);

// Tests simulate a disk that fills up: the next atomic write fails after `bytes` bytes
// (a negative value switches the simulation off). Applies to one write only.
void failNextAtomicWriteForTesting(long long bytes);
// The same for the n-th file written from now on (1 = the next one), by any writer of
// the store (atomic, scratch and working files); 0 switches it off. Half the file's
// bytes reach the disk before the failure.
void failFileWriteForTesting(int n);
// Whether the failure asked for is still to come (fewer files were written than n).
bool fileWriteFailurePending() noexcept;
// Every writer of the store asks this once per file: true when this file is to fail.
bool nextFileWriteFailsForTesting() noexcept;

// The steps by which every writer here (and the working file) puts bytes on disk. A test
// makes the n-th step from now on fail, whatever its kind, with `error` in errno, and so
// walks a write path through every point at which a disk can fail it.
enum class FileStep { Open, Write, Flush, Sync, Rename };
void failFileStepForTesting(int n, int error = 5 /* EIO */);
// The steps taken since the last failFileStepForTesting(); which kind the failed one was.
int fileStepsTakenForTesting() noexcept;
FileStep failedFileStepForTesting() noexcept;
// Counts one step; true (errno set) when it is the one to fail.
bool fileStepFails(FileStep step) noexcept;

// The file calls behind every writer, each counted as a step.
int openForWriting(const std::filesystem::path& path, int flags);
bool writeAllTo(int fd, std::string_view bytes);
bool writeAllTo(std::FILE* file, std::string_view bytes);  // fwrite and fflush
bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace mv
