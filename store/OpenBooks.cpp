#include "store/OpenBooks.h"

#include "platform/Paths.h"
#include "platform/Text.h"
#include "store/FileStamp.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace mv {
namespace {

constexpr const char* kSuffix = ".open";
// A record is a few short lines; anything longer is not ours and is not read whole.
constexpr std::streamsize kMaxRecordBytes = 8192;

std::string hostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

// The account's name as the system knows it; the environment's may be unset (cron, su).
std::string userName() {
  passwd entry{};
  passwd* found = nullptr;
  char buf[1024];
  if (::getpwuid_r(::getuid(), &entry, buf, sizeof buf, &found) == 0 && found &&
      found->pw_name && *found->pw_name)
    return found->pw_name;
  for (const char* var : {"USER", "LOGNAME"})
    if (const char* v = std::getenv(var); v && *v) return v;
  return std::to_string(static_cast<long>(::getuid()));
}

// The same book by any name (a link, "..", a relative path) is one key.
std::string canonicalText(const std::filesystem::path& book) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(book, ec);
  if (ec) p = std::filesystem::absolute(book, ec);
  return p.string();
}

// The records of one book share a prefix; each copy adds its process id.
std::string keyOf(const std::string& canonical) {
  char key[17];
  std::snprintf(key, sizeof key, "%016llx",
                static_cast<unsigned long long>(hashBytes(canonical)));
  return key;
}

std::string text(const OpenBookRecord& r) {
  std::ostringstream out;
  out << "book=" << r.book << "\npid=" << r.pid << "\nstart=" << r.start << "\nuser=" << r.user
      << "\nhost=" << r.host << "\nsince=" << r.since << "\n";
  return out.str();
}

template <typename T>
bool number(const std::string& value, T& out) {
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), out);
  return ec == std::errc() && end == value.data() + value.size();
}

bool parse(const std::filesystem::path& file, OpenBookRecord& r) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string bytes(static_cast<size_t>(kMaxRecordBytes), '\0');
  in.read(bytes.data(), kMaxRecordBytes);
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::istringstream lines(bytes);
  std::string line;
  bool havePid = false;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    if (key == "book") r.book = value;
    else if (key == "pid") havePid = number(value, r.pid);
    else if (key == "start") r.start = value;
    else if (key == "user") r.user = value;
    else if (key == "host") r.host = value;
    else if (key == "since") {
      std::int64_t since = 0;
      if (number(value, since)) r.since = since;
    }
  }
  return havePid && r.pid > 0;
}

// Whether the copy that wrote `r` still runs, as far as this host can tell.
bool runs(const OpenBookRecord& r) {
  if (r.host != hostName()) return true;
  const std::string start = processStartTime(r.pid);
  if (start.empty()) return false;
  return r.start.empty() || r.start == start;
}

std::string localTime(std::int64_t since) {
  const std::time_t t = static_cast<std::time_t>(since);
  std::tm tm{};
  if (!::localtime_r(&t, &tm)) return std::to_string(since);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &tm);
  return buf;
}

}  // namespace

OpenBookRecord OpenBookRecord::thisCopy() {
  OpenBookRecord r;
  r.pid = static_cast<long>(::getpid());
  r.start = processStartTime(r.pid);
  r.user = userName();
  r.host = hostName();
  r.since = std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count();
  return r;
}

BookClaim::BookClaim(BookClaim&& other) noexcept
    : file_(std::move(other.file_)), book_(std::move(other.book_)) {
  other.file_.clear();
  other.book_.clear();
}

BookClaim& BookClaim::operator=(BookClaim&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    book_ = std::move(other.book_);
    other.file_.clear();
    other.book_.clear();
  }
  return *this;
}

BookClaim::~BookClaim() { release(); }

void BookClaim::release() noexcept {
  if (!file_.empty()) {
    std::error_code ec;
    std::filesystem::remove(file_, ec);
  }
  file_.clear();
  book_.clear();
}

std::vector<OpenBookRecord> OpenBooks::othersHolding(const std::filesystem::path& book) const {
  std::vector<OpenBookRecord> found;
  const std::string canonical = canonicalText(book);
  const std::string prefix = keyOf(canonical) + "-";
  const OpenBookRecord me = OpenBookRecord::thisCopy();
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0 || !hasExtensionIgnoreCase(name, kSuffix)) continue;
    OpenBookRecord r;
    // A record that cannot be read, or names another book under the same key, says
    // nothing about this one.
    if (!parse(it->path(), r) || r.book != canonical) continue;
    if (r.pid == me.pid && r.host == me.host && r.start == me.start) continue;
    if (!runs(r)) {
      std::error_code gone;
      std::filesystem::remove(it->path(), gone);
      continue;
    }
    found.push_back(std::move(r));
  }
  std::sort(found.begin(), found.end(),
            [](const OpenBookRecord& a, const OpenBookRecord& b) { return a.since < b.since; });
  return found;
}

BookClaim OpenBooks::claim(const std::filesystem::path& book, const OpenBookRecord& who) const {
  BookClaim claim;
  OpenBookRecord r = who;
  r.book = canonicalText(book);
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  const std::filesystem::path file =
      folder_ / (keyOf(r.book) + "-" + std::to_string(r.pid) + kSuffix);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text(r);
  out.flush();
  if (!out) {
    out.close();
    std::filesystem::remove(file, ec);
    return claim;
  }
  claim.file_ = file;
  claim.book_ = book;
  return claim;
}

std::filesystem::path openBooksFolder() { return stateDir() / "open-books"; }

std::string openElsewhereQuestion(const std::filesystem::path& book,
                                  const OpenBookRecord& record) {
  return fillFormat(kOpenElsewhereQuestion,
                    {pathText(book), std::to_string(record.pid), record.user, record.host,
                     localTime(record.since)});
}

}  // namespace mv
