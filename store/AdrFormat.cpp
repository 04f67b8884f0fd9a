#include "store/AdrFormat.h"

#include "store/AtomicFile.h"

#include <algorithm>
#include <charconv>
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
  const int n = std::snprintf(buf, sizeof buf, "%c %d %c %d\n", kRecordStart, slot, initial, mark);
  // Counted, not read up to a NUL: an initial read from a damaged line may be one.
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

namespace {

bool isBlank(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void skipBlanks(std::string_view& text) noexcept {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
}

// A decimal number after optional blanks, like a "%d" read; none when there are no digits.
// A number beyond the range of int is taken (so the rest of the line still reads) as 0.
std::optional<int> takeInt(std::string_view& text) noexcept {
  skipBlanks(text);
  std::string_view digits = text;
  // from_chars takes no plus sign; "%d" does.
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') return std::nullopt;
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec == std::errc::invalid_argument) return std::nullopt;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return ec == std::errc() ? value : 0;
}

}  // namespace

StartLine parseStartLine(std::string_view text) noexcept {
  StartLine result;
  while (!text.empty() && text.front() == kRecordStart) text.remove_prefix(1);
  // " %d %c %d": slot, initial, mark.
  if (const std::optional<int> slot = takeInt(text)) {
    result.slot = *slot;
    skipBlanks(text);
    if (!text.empty()) {
      result.initial = text.front();
      text.remove_prefix(1);
      if (const std::optional<int> mark = takeInt(text)) {
        result.mark = *mark;
        result.hasMark = true;
      }
    }
  }
  return result;
}

StartLineAt findStartLine(std::string_view bytes, std::size_t at) noexcept {
  StartLineAt found;
  const size_t size = bytes.size();
  if (at > size) at = size;
  // Back to the first 0x14 of the run when `at` lies just after it (the scan's offset).
  size_t first = at;
  while (first > 0 && bytes[first - 1] == kRecordStart) --first;
  size_t pos = first;
  while (pos < size && bytes[pos] == kRecordStart) ++pos;
  found.offset = first < pos ? first + 1 : first;
  // A record begins a line: after a line feed, another record's end, or the file's start.
  if (first > 0 && bytes[first - 1] != '\n' && !isControlByte(bytes[first - 1]))
    found.damaged = true;

  size_t end = pos;
  while (end < size && bytes[end] != '\n' && bytes[end] != '\r' && !isControlByte(bytes[end]))
    ++end;
  found.text = bytes.substr(pos, end - pos);
  if (end < size && bytes[end] == '\n') {
    found.next = end + 1;
    return found;
  }
  if (end >= size || bytes[end] != '\r') {
    // No line end before the next record or the end of the file.
    found.damaged = true;
    found.next = end;
    return found;
  }
  // A carriage return: part of a CR LF (or of a CR CR LF, a book converted twice)...
  size_t lf = end;
  while (lf < size && bytes[lf] == '\r') ++lf;
  if (lf < size && bytes[lf] == '\n') {
    found.next = lf + 1;
    return found;
  }
  // ...or a bare one. It ends the record's lines when the record holds more bare CRs
  // than line feeds (its notes may keep CR LF pairs); otherwise it is a stray byte inside
  // the start line, which a line feed still ends.
  size_t bareCr = 0, lineFeeds = 0, stop = end;
  for (; stop < size && !isControlByte(bytes[stop]); ++stop) {
    if (bytes[stop] == '\n') ++lineFeeds;
    else if (bytes[stop] == '\r' && (stop + 1 >= size || bytes[stop + 1] != '\n')) ++bareCr;
  }
  if (bareCr > lineFeeds) {
    found.crLines = true;
    found.damaged = true;
    found.next = end + 1;
    return found;
  }
  lf = end;
  while (lf < stop && bytes[lf] != '\n') ++lf;
  found.text = bytes.substr(pos, lf - pos);
  while (!found.text.empty() && found.text.back() == '\r') found.text.remove_suffix(1);
  found.next = lf < stop ? lf + 1 : stop;
  if (lf >= stop) found.damaged = true;  // no line feed before the next record
  return found;
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
  const size_t notesAt = out.size();
  appendCleaned(out, record.notes, kMaxNotesRead, [](char c) { return isControlByte(c); },
                !hasControlByte(record.notes));
  out += notesLineEnd(std::string_view(out).substr(notesAt));
  out += kRecordEnd;
  out += '\n';
}

bool Reader::field(std::string& value) {
  std::string_view text;
  if (!fieldText(text)) return false;
  value.assign(text);
  return true;
}

bool Reader::fieldText(std::string_view& value) {
  if (atEnd() || isControlByte(peek())) return false;
  size_t end;
  if (crLines_) {
    end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\n' && bytes_[end] != '\r' &&
           !isControlByte(bytes_[end]))
      ++end;
  } else {
    // The line feed is found first (memchr is quick); a control byte before it, rare,
    // ends the line early.
    end = bytes_.find('\n', pos_);
    if (end == std::string_view::npos) end = bytes_.size();
    if (hasControlByte(bytes_.substr(pos_, end - pos_))) {
      end = pos_;
      while (!isControlByte(bytes_[end])) ++end;
    }
  }
  std::string_view line = bytes_.substr(pos_, end - pos_);
  // The whole line is consumed even when it is longer than a field may be, so a
  // hand-edited over-long line costs only its own tail, not the fields after it.
  pos_ = end;
  if (end < bytes_.size() && (bytes_[end] == '\n' || bytes_[end] == '\r')) {
    pos_ = end + 1;
    if (bytes_[end] == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  }
  if (line.find('\r') != std::string_view::npos) {
    cleaned_.clear();
    for (const char c : line)
      if (c != '\r') cleaned_.push_back(c);
    line = cleaned_;
  }
  value = line.substr(0, line.size() < kMaxFieldChars ? line.size() : kMaxFieldChars);
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

std::string_view notesLineEnd(std::string_view notes) noexcept {
  return !notes.empty() && notes.back() == '\r' ? "\r\n" : "\n";
}

std::string_view Reader::notesText() noexcept {
  std::string_view text = untilControlByte();
  // The writer puts one line end after the notes; it is not part of them. CR LF pairs
  // inside the notes are the user's and stay.
  if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  } else if (crLines_ && !text.empty() && text.back() == '\r') {
    text.remove_suffix(1);
  }
  return text;
}

std::string Reader::notes() {
  const std::string_view text = notesText();
  return std::string(text.substr(0, text.size() < kMaxNotesRead ? text.size() : kMaxNotesRead));
}

std::optional<AddressRecord> readRecordAt(std::string_view bytes, std::size_t offset) {
  if (offset > bytes.size()) return std::nullopt;
  const StartLineAt at = findStartLine(bytes, offset);
  const StartLine start = parseStartLine(at.text);
  Reader r = Reader::atRecord(bytes, at);
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
