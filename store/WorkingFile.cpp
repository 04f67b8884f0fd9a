#include "store/WorkingFile.h"

#include "platform/Paths.h"

#include <algorithm>
#include <charconv>
#include <fstream>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace mv {
namespace {

bool validSlot(int slot) noexcept { return slot >= 0 && slot < adr::kMaxSlots; }

// A record is rarely longer than this (28 short lines and up to 8,000 notes characters);
// a longer one, from a hand-edited file, is read to the end of the file.
constexpr size_t kRecordChunk = 16 * 1024;

}  // namespace

WorkingFile::WorkingFile(std::filesystem::path path) : path_(std::move(path)) {}

WorkingFile::WorkingFile() : WorkingFile(scratchDir() / kFileName) {}

WorkingFile::~WorkingFile() { remove(); }

std::filesystem::path WorkingFile::tablesPath() const {
  return path_.parent_path() / kTablesFileName;
}

// Best effort and outside the write-fault steps: the notes serve a recovery, and a note
// that cannot be written must not fail the edit the user made.
void WorkingFile::note(std::string_view line) noexcept {
  if (tables_ < 0) return;
  if (holding_) {
    held_ += line;
    held_ += '\n';
    return;
  }
  std::string text(line);
  text += '\n';
  [[maybe_unused]] const ssize_t n = ::write(tables_, text.data(), text.size());
}

void WorkingFile::noteNumbers(char kind, long a, long b) noexcept {
  // "o slot offset" or "m slot mark", made without the allocations of string sums: a
  // rebuild notes two of them for every record.
  // A long has at most 20 characters, so both numbers always fit; a failed conversion
  // would still stop short of the end instead of writing past it.
  char line[2 + 2 * 21];
  char* const end = line + sizeof line;
  char* at = line;
  *at++ = kind;
  *at++ = ' ';
  const auto first = std::to_chars(at, end - 21, a);
  if (first.ec != std::errc()) return;
  at = first.ptr;
  *at++ = ' ';
  const auto second = std::to_chars(at, end, b);
  if (second.ec != std::errc()) return;
  note(std::string_view(line, static_cast<size_t>(second.ptr - line)));
}

void WorkingFile::releaseNotes() noexcept {
  holding_ = false;
  if (tables_ >= 0 && !held_.empty())
    [[maybe_unused]] const ssize_t n = ::write(tables_, held_.data(), held_.size());
  held_.clear();
}

void WorkingFile::setChanged(bool on) noexcept {
  changed_ = on;
  note(on ? "s 1" : "s 0");
}

void WorkingFile::noteBookPath(const std::filesystem::path& book) {
  bookNote_ = "b " + book.string();
  note(bookNote_);
}

bool WorkingFile::openReadWrite(bool fresh) {
  if (fileStepFails(FileStep::Open)) return false;
  if (fresh || tables_ < 0) {
    if (tables_ >= 0) ::close(tables_);
    tables_ = ::open(tablesPath().c_str(),
                     O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (fresh ? O_TRUNC : 0), 0600);
    if (fresh && !bookNote_.empty()) note(bookNote_);
  }
  file_ = std::fopen(path_.c_str(), "r+b");
  // Unbuffered: each stored change reaches the file at once (a crash keeps it), and a
  // failed append leaves no bytes in a buffer to be written later.
  if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
  return file_ != nullptr;
}

bool WorkingFile::createEmpty() {
  std::string magic(adr::kMagic);
  magic += '\n';
  return replaceWith(magic);
}

bool WorkingFile::replaceWith(std::string_view bytes) {
  // The working file is the only copy of unsaved edits: the new content goes to a file
  // beside it first, and a write that fails (a full disk) leaves the old one in use.
  std::filesystem::path fresh = path_;
  fresh += ".new";
  if (!writeScratchFile(fresh, bytes)) return false;
  if (takeOver(fresh)) return true;
  std::error_code ec;
  std::filesystem::remove(fresh, ec);
  return false;
}

bool WorkingFile::takeOver(const std::filesystem::path& written) {
  const bool wasOpen = isOpen();
  close();
  if (!renameFile(written, path_)) {
    // The old file is still there; reopened, it stays in use.
    if (wasOpen) (void)openReadWrite();
    return false;
  }
  return openReadWrite(true);
}

void WorkingFile::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool WorkingFile::reopen() { return isOpen() || openReadWrite(); }

void WorkingFile::remove() {
  close();
  if (tables_ >= 0) ::close(tables_);
  tables_ = -1;
  std::error_code ec;
  std::filesystem::remove(path_, ec);
  std::filesystem::remove(tablesPath(), ec);
}

long WorkingFile::size() const {
  if (!file_) return 0;
  if (std::fseek(file_, 0, SEEK_END) != 0) return 0;
  const long n = std::ftell(file_);
  return n < 0 ? 0 : n;
}

std::string WorkingFile::readAll() const {
  std::string bytes;
  const long n = size();
  if (n <= 0 || std::fseek(file_, 0, SEEK_SET) != 0) return bytes;
  bytes.resize(static_cast<size_t>(n));
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_));
  return bytes;
}

WorkingFile::Bytes::~Bytes() {
  if (mapped_) ::munmap(mapped_, size_);
}

WorkingFile::Bytes::Bytes(Bytes&& other) noexcept
    : mapped_(other.mapped_), size_(other.size_), copy_(std::move(other.copy_)) {
  other.mapped_ = nullptr;
  other.size_ = 0;
}

WorkingFile::Bytes WorkingFile::bytes() const {
  Bytes out;
  // A rewrite reads every byte once: mapped, the file is neither copied nor cleared first.
  const long n = size();
  if (n > 0) {
    void* at = ::mmap(nullptr, static_cast<size_t>(n), PROT_READ, MAP_PRIVATE, ::fileno(file_), 0);
    if (at != MAP_FAILED) {
      out.mapped_ = at;
      out.size_ = static_cast<size_t>(n);
      return out;
    }
  }
  out.copy_ = readAll();
  return out;
}

bool WorkingFile::append(const AddressRecord& record, int slot, char initial) {
  if (!file_ || !validSlot(slot)) return false;
  if (std::fseek(file_, 0, SEEK_END) != 0) return false;
  long at = std::ftell(file_);
  if (at <= 0) return false;  // not even the magic line: not a working file
  const long end = at;
  std::string bytes;
  // A record begins a line: after a file that ends inside one (a damaged book's last
  // record), the new record's 0x14 must not be taken for part of it.
  if (std::fseek(file_, at - 1, SEEK_SET) != 0) return false;
  const int last = std::fgetc(file_);
  if (std::fseek(file_, 0, SEEK_END) != 0) return false;
  if (last != '\n') {
    bytes += '\n';
    ++at;
  }
  adr::appendRecord(bytes, record, slot, initial, marks_[static_cast<size_t>(slot)]);
  if (!writeAllTo(file_, bytes)) {
    // Half a record at the end would be read back as a record by the next scan.
    std::clearerr(file_);
    if (::ftruncate(::fileno(file_), end) != 0) file_ = (std::fclose(file_), nullptr);
    return false;
  }
  offsets_[static_cast<size_t>(slot)] = at;
  noteNumbers('o', slot, at);
  if (!changed_) setChanged(true);
  reorderNeeded_ = true;
  return true;
}

std::optional<AddressRecord> WorkingFile::readAt(long offset) const {
  if (!file_ || offset <= 0) return std::nullopt;
  const long total = size();
  // An offset at the very end is a 0x14 that ends the file: an empty record.
  if (offset > total || std::fseek(file_, offset, SEEK_SET) != 0) return std::nullopt;
  std::string bytes(std::min(kRecordChunk, static_cast<size_t>(total - offset)), '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_));
  // The record must end inside the chunk (at its 0x15 or the next record's start);
  // otherwise take the rest of the file.
  bool ends = false;
  size_t i = 0;
  while (i < bytes.size() && bytes[i] == adr::kRecordStart) ++i;  // its own start bytes
  for (; i < bytes.size() && !ends; ++i) ends = adr::isControlByte(bytes[i]);
  if (!ends && static_cast<long>(bytes.size()) < total - offset) {
    bytes.resize(static_cast<size_t>(total - offset));
    if (std::fseek(file_, offset, SEEK_SET) != 0) return std::nullopt;
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_));
  }
  return adr::readRecordAt(bytes, 0);
}

std::optional<AddressRecord> WorkingFile::read(int slot) const {
  if (!validSlot(slot)) return std::nullopt;
  auto record = readAt(offsets_[static_cast<size_t>(slot)]);
  if (record) {
    record->slot = slot;
    record->mark = marks_[static_cast<size_t>(slot)];
  }
  return record;
}

std::vector<ScannedRecord> WorkingFile::scan() const { return scan(bytes()); }

std::vector<ScannedRecord> WorkingFile::scan(std::string_view bytes) {
  std::vector<ScannedRecord> found;
  size_t pos = 0;
  while ((pos = bytes.find(adr::kRecordStart, pos)) != std::string_view::npos) {
    const adr::StartLineAt start = adr::findStartLine(bytes, pos);
    ScannedRecord rec;
    // Noted just after the 0x14 byte, so no record can have the offset 0 ("never
    // written"), not even in a file forced open without a magic line.
    rec.offset = static_cast<long>(start.offset);
    rec.mark = adr::parseStartLine(start.text).mark;
    rec.damaged = start.damaged;
    adr::Reader r = adr::Reader::atRecord(bytes, start);
    for (std::string& field : rec.head) {
      if (!r.field(field)) break;
    }
    pos = r.pos();
    found.push_back(std::move(rec));
  }
  return found;
}

long WorkingFile::offset(int slot) const noexcept {
  return validSlot(slot) ? offsets_[static_cast<size_t>(slot)] : kNeverWritten;
}

void WorkingFile::setOffset(int slot, long offset) noexcept {
  if (!validSlot(slot)) return;
  offsets_[static_cast<size_t>(slot)] = offset;
  noteNumbers('o', slot, offset);
}

int WorkingFile::mark(int slot) const noexcept {
  return validSlot(slot) ? marks_[static_cast<size_t>(slot)] : 0;
}

void WorkingFile::setMark(int slot, int mark) noexcept {
  if (!validSlot(slot)) return;
  marks_[static_cast<size_t>(slot)] = mark;
  noteNumbers('m', slot, mark);
}

void WorkingFile::clearTables() noexcept {
  offsets_.fill(kNeverWritten);
  marks_.fill(0);
  note("c");
}

}  // namespace mv
