#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace mv {
namespace {

long long& failAfter() {
  static long long bytes = -1;
  return bytes;
}

int& writesUntilFailure() {
  static int n = 0;
  return n;
}

struct StepFault {
  int failAt = 0;  // 0: none
  int taken = 0;
  int error = EIO;
  FileStep failed = FileStep::Open;
};
StepFault& stepFault() {
  static StepFault fault;
  return fault;
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

std::string tempPrefixFor(const std::filesystem::path& target) {
  std::string name(kSaveTempPrefix);
  name += target.filename().string();
  name += '.';
  return name;
}

// A name beside the target that no other save picks at the same moment.
std::filesystem::path siblingTempName(const std::filesystem::path& target) {
  static std::mt19937 rng{std::random_device{}()};
  return folderOf(target) / (tempPrefixFor(target) + std::to_string(rng() % 1000000));
}

bool writeAll(int fd, std::string_view bytes) { return writeAllTo(fd, bytes); }

// Why the last write of this thread that failed did, as errno had it; 0 while none has.
int& lastWriteError() {
  thread_local int error = 0;
  return error;
}

bool failedWith(int error) {
  lastWriteError() = error != 0 ? error : EIO;
  return false;
}

}  // namespace

void failFileStepForTesting(int n, int error) {
  stepFault() = StepFault{n > 0 ? n : 0, 0, error, FileStep::Open};
}

int fileStepsTakenForTesting() noexcept { return stepFault().taken; }

FileStep failedFileStepForTesting() noexcept { return stepFault().failed; }

bool fileStepFails(FileStep step) noexcept {
  StepFault& f = stepFault();
  if (f.failAt <= 0) return false;
  if (++f.taken != f.failAt) return false;
  f.failed = step;
  errno = f.error;
  return true;
}

int openForWriting(const std::filesystem::path& path, int flags) {
  if (fileStepFails(FileStep::Open)) return -1;
  return ::open(path.c_str(), flags | O_CLOEXEC, 0644);
}

// write() until everything is out; a short write (disk full) counts as failure.
bool writeAllTo(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    if (fileStepFails(FileStep::Write)) return false;
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n == 0) errno = ENOSPC;  // nothing more fits: the disk is full
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool writeAllTo(std::FILE* file, std::string_view bytes) {
  if (fileStepFails(FileStep::Write)) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return false;
  if (fileStepFails(FileStep::Flush)) return false;
  return std::fflush(file) == 0;
}

bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (fileStepFails(FileStep::Rename)) return false;
  std::error_code ec;
  std::filesystem::rename(from, to, ec);
  if (ec) errno = ec.value();
  return !ec;
}

void failNextAtomicWriteForTesting(long long bytes) { failAfter() = bytes; }

void failFileWriteForTesting(int n) { writesUntilFailure() = n > 0 ? n : 0; }

bool fileWriteFailurePending() noexcept { return writesUntilFailure() > 0; }

bool nextFileWriteFailsForTesting() noexcept {
  int& n = writesUntilFailure();
  if (n <= 0) return false;
  return --n == 0;
}

void removeStaleSaveFiles(const std::filesystem::path& target) {
  const std::string prefix = tempPrefixFor(target);
  std::error_code ec;
  std::filesystem::directory_iterator it(folderOf(target), ec);
  if (ec) return;
  for (const auto& entry : it) {
    const std::filesystem::path path = entry.path();
    if (path.filename().string().rfind(prefix, 0) != 0) continue;
    // A save in progress holds a lock on its file; a killed one holds none any more.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      std::error_code removeError;
      std::filesystem::remove(path, removeError);
    }
    ::close(fd);
  }
}

bool writeScratchFile(const std::filesystem::path& path, std::string_view bytes) {
  const bool fails = nextFileWriteFailsForTesting();
  const int fd = openForWriting(path, O_WRONLY | O_CREAT | O_TRUNC);
  if (fd < 0) return failedWith(errno);
  bool ok = writeAll(fd, fails ? bytes.substr(0, bytes.size() / 2) : bytes) && !fails;
  if (fails) errno = EIO;
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    failedWith(errno);
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  return ok;
}

bool readWholeFile(const std::filesystem::path& path, std::string& bytes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  bytes.resize(static_cast<size_t>(size));
  in.seekg(0);
  in.read(bytes.data(), size);
  return static_cast<std::streamoff>(in.gcount()) == size;
}

bool writeFileAtomically(const std::filesystem::path& link, std::string_view bytes,
                         Durability durability) {
  const bool flush = durability == Durability::OnDisk;
  const long long limit = failAfter();
  failAfter() = -1;

  // Replacing a link would cut the user's book loose from where the link points.
  std::error_code linkError;
  std::filesystem::path target = link;
  if (std::filesystem::is_symlink(link, linkError)) {
    const auto resolved = std::filesystem::weakly_canonical(link, linkError);
    if (!linkError) target = resolved;
  }

  // A book the user made read-only stays as it is. The rename would replace it anyway
  // (and root passes every permission check), so the write bit is looked at directly.
  std::error_code statError;
  const auto old = std::filesystem::status(target, statError);
  if (!statError && std::filesystem::exists(old) &&
      (old.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
    return failedWith(EACCES);

  removeStaleSaveFiles(target);
  const bool fails = nextFileWriteFailsForTesting();
  const std::filesystem::path temp = siblingTempName(target);
  const int fd = openForWriting(temp, O_WRONLY | O_CREAT | O_EXCL);
  if (fd < 0) return failedWith(errno);
  // Held until the file is renamed or removed: it tells a later cleanup that this
  // temporary file is still being written.
  ::flock(fd, LOCK_EX);

  bool ok;
  if (limit >= 0 && static_cast<size_t>(limit) < bytes.size()) {
    (void)writeAll(fd, bytes.substr(0, static_cast<size_t>(limit)));
    ok = false;  // the simulated disk filled up here
    errno = ENOSPC;
  } else if (fails) {
    (void)writeAll(fd, bytes.substr(0, bytes.size() / 2));
    ok = false;
    errno = EIO;
  } else {
    ok = writeAll(fd, bytes);
  }
  // The data must be on disk before the rename makes it the book.
  if (ok && flush) ok = !fileStepFails(FileStep::Sync) && ::fdatasync(fd) == 0;

  std::error_code ec;
  if (ok) {
    // Keep the permissions the user gave the old file.
    const auto perms = std::filesystem::status(target, ec).permissions();
    if (!ec && std::filesystem::exists(target, ec))
      std::filesystem::permissions(temp, perms, ec);
    ok = renameFile(temp, target);
    // The rename itself must survive a power cut too. The book is already replaced by
    // then, so a folder that cannot be synced is no reason to report the save as failed.
    if (ok && flush) {
      const auto dir = folderOf(target);
      if (const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
      }
    }
  }
  if (!ok) {
    failedWith(errno);
    std::filesystem::remove(temp, ec);
  }
  // Closed last: the lock keeps the file from a cleanup until it is renamed or removed.
  // A scratch copy is not synced; it is read back at once, while the page cache holds it.
  ::close(fd);
  return ok;
}

bool copyFileAtomically(const std::filesystem::path& source,
                        const std::filesystem::path& target) {
  std::string bytes;
  if (!readWholeFile(source, bytes)) return failedWith(errno);
  return writeFileAtomically(target, bytes);
}

std::string lastFileError() {
  const int error = lastWriteError();
  return error != 0 ? std::strerror(error) : "an unknown error";
}

}  // namespace mv
