#include "store/AdrFormat.h"

#include "store/AtomicFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace mv::adr {
namespace {

constexpr size_t kFirstWordMax = 11;

bool isWordBreak(int c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

FirstWord readFirstWord(const std::filesystem::path& path) {
  FirstWord result;
  std::ifstream in(path, std::ios::binary);
  if (!in) return result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return result;
  result.readable = true;
  // Like a "%11s" read: leading white space is skipped, the word ends at the next one.
  int c = in.get();
  while (c != EOF && isWordBreak(c)) c = in.get();
  while (c != EOF && !isWordBreak(c) && result.word.size() < kFirstWordMax) {
    result.word.push_back(static_cast<char>(c));
    c = in.get();
  }
  return result;
}

BookKind classify(const FirstWord& first) noexcept {
  if (!first.readable) return BookKind::Unreadable;
  if (first.word == kMagic) return BookKind::Current;
  if (first.word == kMagic306 || first.word == kMagic1800) return BookKind::Older;
  return BookKind::NotABook;
}

bool createBookFile(const std::filesystem::path& path) {
  std::string bytes(kMagic);
  bytes += '\n';
  return writeFileAtomically(path, bytes);
}

std::string startLine(int slot, char initial, int mark) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%c %d %c %d\n", kRecordStart, slot, initial, mark);
  return buf;
}

StartLine parseStartLine(std::string_view text) noexcept {
  StartLine result;
  if (!text.empty() && text.front() == kRecordStart) text.remove_prefix(1);
  char buf[256];
  const size_t n = text.size() < sizeof buf - 1 ? text.size() : sizeof buf - 1;
  text.copy(buf, n);
  buf[n] = '\0';
  int slot = 0;
  char initial = '_';
  int mark = 0;
  const int got = std::sscanf(buf, " %d %c %d", &slot, &initial, &mark);
  if (got >= 1) result.slot = slot;
  if (got >= 2) result.initial = initial;
  if (got >= 3) {
    result.mark = mark;
    result.hasMark = true;
  }
  return result;
}

namespace {

// Whether a text holds a record delimiter (or, for a field, a line break). Written as one
// pass without an early exit over byte-wide flags, which the compiler turns into vector
// code: these run over every byte of a book.
bool hasControlByte(std::string_view text) noexcept {
  unsigned char found = 0;
  for (const char c : text)
    found |= static_cast<unsigned char>(static_cast<unsigned char>(c) - 0x14u < 3u);
  return found != 0;
}

bool hasFieldBreaker(std::string_view text) noexcept {
  // Minimum distances to the delimiters and to the two line-break bytes.
  unsigned char control = 0xFF, lf = 0xFF, cr = 0xFF;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    control = std::min(control, static_cast<unsigned char>(u - 0x14u));
    lf = std::min(lf, static_cast<unsigned char>(u ^ '\n'));
    cr = std::min(cr, static_cast<unsigned char>(u ^ '\r'));
  }
  return control < 3 || lf == 0 || cr == 0;
}

// Appends at most `limit` characters of text, leaving out the bytes `skip` refuses.
// Nearly every text is clean and short enough and is copied whole.
template <class Skip>
void appendCleaned(std::string& out, std::string_view text, size_t limit, Skip skip,
                   bool clean) {
  if (clean && text.size() <= limit) {
    out.append(text);
    return;
  }
  size_t kept = 0;
  size_t run = 0;  // start of the current clean run
  for (size_t i = 0; i < text.size() && kept < limit; ++i) {
    if (skip(text[i])) {
      out.append(text.data() + run, i - run);
      run = i + 1;
      continue;
    }
    ++kept;
    if (kept == limit) {
      out.append(text.data() + run, i + 1 - run);
      return;
    }
  }
  if (run < text.size()) out.append(text.data() + run, text.size() - run);
}

}  // namespace

void appendRecord(std::string& out, const AddressRecord& record, int slot, char initial,
                  int mark) {
  out += startLine(slot, initial, mark);
  for (const std::string& field : record.fields) {
    appendCleaned(out, field, kMaxFieldChars,
                  [](char c) { return c == '\n' || c == '\r' || isControlByte(c); },
                  !hasFieldBreaker(field));
    out += '\n';
  }
  appendCleaned(out, record.notes, kMaxNotesRead, [](char c) { return isControlByte(c); },
                !hasControlByte(record.notes));
  out += '\n';
  out += kRecordEnd;
  out += '\n';
}

std::string_view Reader::line() noexcept {
  const size_t start = pos_;
  const size_t end = bytes_.find('\n', start);
  if (end == std::string_view::npos) {
    pos_ = bytes_.size();
    return bytes_.substr(start);
  }
  pos_ = end + 1;
  return bytes_.substr(start, end - start);
}

bool Reader::field(std::string& value) {
  std::string_view text;
  if (!fieldText(text)) return false;
  value.assign(text);
  return true;
}

bool Reader::fieldText(std::string_view& value) noexcept {
  if (atEnd() || isControlByte(peek())) return false;
  // The line feed is found first (memchr is quick); a control byte before it, rare, ends
  // the line early.
  size_t end = bytes_.find('\n', pos_);
  if (end == std::string_view::npos) end = bytes_.size();
  if (hasControlByte(bytes_.substr(pos_, end - pos_))) {
    end = pos_;
    while (!isControlByte(bytes_[end])) ++end;
  }
  // The whole line is consumed even when it is longer than a field may be, so a
  // hand-edited over-long line costs only its own tail, not the fields after it.
  const size_t len = end - pos_;
  value = bytes_.substr(pos_, len < kMaxFieldChars ? len : kMaxFieldChars);
  pos_ = (end < bytes_.size() && bytes_[end] == '\n') ? end + 1 : end;
  return true;
}

std::string_view Reader::untilControlByte() noexcept {
  size_t end = pos_;
  // Notes run to hundreds of characters: whole blocks without a delimiter are passed
  // over first.
  constexpr size_t kBlock = 64;
  while (end + kBlock <= bytes_.size() && !hasControlByte(bytes_.substr(end, kBlock)))
    end += kBlock;
  while (end < bytes_.size() && !isControlByte(bytes_[end])) ++end;
  const std::string_view text = bytes_.substr(pos_, end - pos_);
  pos_ = end;
  return text;
}

std::string Reader::notes() {
  std::string_view text = untilControlByte();
  // The writer puts one line feed after the notes; it is not part of them.
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (text.size() > kMaxNotesRead) text = text.substr(0, kMaxNotesRead);
  return std::string(text);
}

bool Reader::skipToRecordStart() noexcept {
  const size_t at = bytes_.find(kRecordStart, pos_);
  if (at == std::string_view::npos) {
    pos_ = bytes_.size();
    return false;
  }
  pos_ = at;
  return true;
}

std::optional<AddressRecord> readRecordAt(std::string_view bytes, std::size_t offset) {
  if (offset >= bytes.size()) return std::nullopt;
  Reader r(bytes, offset);
  if (r.peek() == kRecordStart) r.seek(offset + 1);
  const StartLine start = parseStartLine(r.line());
  AddressRecord record;
  record.slot = start.slot;
  record.initial = start.initial;
  record.mark = start.mark;
  for (std::string& field : record.fields) {
    if (!r.field(field)) break;
  }
  record.notes = r.notes();
  return record;
}

}  // namespace mv::adr
