#pragma once
// Where things live: the program directory, the Windows-directory stand-in and the
// running copy's private scratch folder.

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

// The executable's folder: data files, help and "mervane.ini" lie beside the binary.
// $MERVANE_PROGRAM_DIR overrides it (tests, and installs into a read-only folder).
std::filesystem::path programDir();

// Stand-in for the Windows directory ("quorvel.ini"): $MERVANE_WINDOWS_DIR if set,
// else the user's config folder (created on demand).
std::filesystem::path windowsDir();

// One private folder per running copy for the working and scratch files
// ("mervn.tmx", "temp~adr.~~", "tmprtf~.~"...), in the state folder below. Created on
// first use with a lock that names the copy, removed at exit; after a crash it stays for
// the next start to find. $MERVANE_SCRATCH_DIR overrides it.
std::filesystem::path scratchDir();

// The user's state folder: $MERVANE_STATE_DIR, else $XDG_STATE_HOME/mervane, else
// ~/.local/state/mervane (created on demand).
std::filesystem::path stateDir();
// Scratch folders of running copies are named so, each with its lock file inside: the
// copy's process id and its start time, "<pid> <start>\n".
inline constexpr std::string_view kCopyFolderPrefix = "copy-";
inline constexpr const char* kCopyLockName = "copy.lock";
// Writes the lock of this process into `folder`.
bool writeCopyLock(const std::filesystem::path& folder);
// When the process `pid` started (clock ticks since boot, as text); empty when no such
// process runs. With the id it names one process: ids are reused, start times are not.
std::string processStartTime(long pid);
// True when the copy that wrote the lock in `folder` still runs: a process of that id
// exists and started at that time (a process id is reused after a while).
bool copyOfLockRuns(const std::filesystem::path& folder);

// The scratch file of a rewrite. It is never the user's book, in whatever folder it lies,
// so opening it, reopening it from the recent files or starting with it is refused.
inline constexpr const char* kRewriteScratchName = "temp~adr.~~";
// The Link page's summary of the shown record; the frame removes it at exit.
inline constexpr const char* kSummaryScratchName = "tmprtf~.~";
// True when the file name of `path` (either separator) is that name in any letter case.
bool namesRewriteScratch(std::string_view path) noexcept;

// A path as text, wherever the program shows or keeps one (titles, messages, the
// recent-files list, mervane.ini): the file system's own bytes, UTF-8 here. A path is a
// name on disk, not field text, so a book called "Москва.adr" keeps its name; only the
// book's fields are Windows-1252.
std::string pathText(const std::filesystem::path& path);
// The path a text names. Text that is not UTF-8 and names no file is read as
// Windows-1252, the way earlier versions wrote paths to mervane.ini, when that reading
// names a file.
std::filesystem::path pathFromText(std::string_view text);
// True when two path texts name the same file by their letters, without regard to case
// (in any script).
bool samePathText(std::string_view a, std::string_view b);
// `path` with `dotExt` (".adr", ".pdf") appended unless its name already ends so, in any
// letter case: what the file dialogs' callers make of a name typed without it.
std::filesystem::path withExtension(const std::filesystem::path& path, std::string_view dotExt);

// Tests point the three folders somewhere of their own.
void setProgramDirForTesting(const std::filesystem::path& dir);
void setWindowsDirForTesting(const std::filesystem::path& dir);
void setScratchDirForTesting(const std::filesystem::path& dir);
void setStateDirForTesting(const std::filesystem::path& dir);

}  // namespace mv
