#include "store/AtomicFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace mv {
namespace {

long long& failAfter() {
  static long long bytes = -1;
  return bytes;
}

// A name beside the target that no other save picks at the same moment.
std::filesystem::path siblingTempName(const std::filesystem::path& target) {
  static std::mt19937 rng{std::random_device{}()};
  const auto dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  return dir / ("." + target.filename().string() + ".new" + std::to_string(rng() % 1000000));
}

// write() until everything is out; a short write (disk full) counts as failure.
bool writeAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void failNextAtomicWriteForTesting(long long bytes) { failAfter() = bytes; }

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  const long long limit = failAfter();
  failAfter() = -1;

  const std::filesystem::path temp = siblingTempName(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;

  bool ok;
  if (limit >= 0 && static_cast<size_t>(limit) < bytes.size()) {
    writeAll(fd, bytes.substr(0, static_cast<size_t>(limit)));
    ok = false;  // the simulated disk filled up here
  } else {
    ok = writeAll(fd, bytes);
  }
  // The data must be on disk before the rename makes it the book.
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;

  std::error_code ec;
  if (ok) {
    // Keep the permissions the user gave the old file.
    const auto perms = std::filesystem::status(target, ec).permissions();
    if (!ec && std::filesystem::exists(target, ec))
      std::filesystem::permissions(temp, perms, ec);
    ec.clear();
    std::filesystem::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) std::filesystem::remove(temp, ec);
  return ok;
}

bool copyFileAtomically(const std::filesystem::path& source,
                        const std::filesystem::path& target) {
  std::ifstream in(source, std::ios::binary);
  if (!in) return false;
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return false;
  return writeFileAtomically(target, bytes);
}

}  // namespace mv
