#include "exchange/Csv.h"

#include "platform/Cp1252.h"

#include <QString>

namespace mv::csv {

std::string quoteValue(std::string_view value, char separator) {
  bool quote = !value.empty() && (value.front() == ' ' || value.back() == ' ');
  for (char c : value) {
    if (c == separator || c == '"' || c == '\n' || c == '\r') {
      quote = true;
      break;
    }
  }
  if (!quote) return std::string(value);
  std::string out;
  out.reserve(value.size() + 2);
  out.push_back('"');
  for (char c : value) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Length of the valid UTF-8 sequence at `i`, 0 when the bytes there are not one
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t utf8Length(std::string_view s, std::size_t i) noexcept {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) n = 3;
  else if (c >= 0xF0 && c <= 0xF4) n = 4;
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
  }
  if (c == 0xE0 && b(1) < 0xA0) return 0;  // overlong
  if (c == 0xED && b(1) >= 0xA0) return 0;  // a surrogate half
  if (c == 0xF0 && b(1) < 0x90) return 0;  // overlong
  if (c == 0xF4 && b(1) >= 0x90) return 0;  // beyond U+10FFFF
  return n;
}

// 1 for a UTF-16 little-endian byte-order mark, 2 for big-endian, 0 for none.
int utf16Bom(std::string_view s) noexcept {
  if (s.size() < 2) return 0;
  if (s[0] == '\xFF' && s[1] == '\xFE') return 1;
  if (s[0] == '\xFE' && s[1] == '\xFF') return 2;
  return 0;
}

// How much of a file decides whether it is text at all.
constexpr std::size_t kTextCheckBytes = 4096;

// True when the text is UTF-8 and holds at least one byte above 0x7F: plain ASCII reads
// the same either way, and a Windows-1252 file with accents is almost never valid UTF-8.
bool looksUtf8(std::string_view s) noexcept {
  bool high = false;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = utf8Length(s, i);
    if (n == 0) return false;
    high = high || n > 1;
    i += n;
  }
  return high;
}

}  // namespace

DecodedText decodeToCp1252(std::string_view bytes) {
  DecodedText out;
  const bool bom = bytes.substr(0, kBom.size()) == kBom;
  if (bom) bytes.remove_prefix(kBom.size());
  QString unicode;
  if (!bom && utf16Bom(bytes) != 0) {
    const bool little = utf16Bom(bytes) == 1;
    bytes.remove_prefix(2);
    unicode.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
      const auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
      unicode.append(QChar(static_cast<char16_t>(hi << 8 | lo)));
    }
  } else if (!bom && !looksUtf8(bytes)) {
    out.text.assign(bytes);
    return out;
  } else {
    // Invalid sequences in a file that declared itself UTF-8 become U+FFFD, which
    // Windows-1252 cannot hold either: each is counted as a replaced character.
    unicode = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  out.utf8 = true;
  QString kept;
  kept.reserve(unicode.size());
  for (qsizetype i = 0; i < unicode.size(); ++i) {
    const QChar c = unicode[i];
    if (isCp1252(c)) {
      kept.append(c);
      continue;
    }
    ++out.replaced;
    kept.append(QLatin1Char('?'));
    // The two halves of a surrogate pair are one character.
    if (c.isHighSurrogate() && i + 1 < unicode.size() && unicode[i + 1].isLowSurrogate()) ++i;
  }
  out.text = toCp1252(kept);
  return out;
}

bool looksLikeText(std::string_view bytes) noexcept {
  if (utf16Bom(bytes) != 0) return true;
  const std::string_view head = bytes.substr(0, kTextCheckBytes);
  if (head.find('\0') != std::string_view::npos) return false;
  // UTF-8, allowing a sequence that the 4 KB boundary cuts.
  bool utf8 = true;
  for (std::size_t i = 0; i < head.size();) {
    const std::size_t n = utf8Length(head, i);
    if (n == 0) {
      utf8 = head.size() < bytes.size() && head.size() - i < 4 &&
             utf8Length(bytes.substr(0, head.size() + 4), i) != 0;
      break;
    }
    i += n;
  }
  if (utf8) return true;
  // Windows-1252 leaves five byte values undefined.
  for (char c : head) {
    switch (static_cast<unsigned char>(c)) {
      case 0x81: case 0x8D: case 0x8F: case 0x90: case 0x9D: return false;
      default: break;
    }
  }
  return true;
}

char detectSeparator(std::string_view text) noexcept {
  int commas = 0;
  int semicolons = 0;
  int tabs = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;  // the header line only
    if (c == ',') ++commas;
    if (c == ';') ++semicolons;
    if (c == '\t') ++tabs;
  }
  if (commas >= semicolons && commas >= tabs) return ',';
  return semicolons >= tabs ? ';' : '\t';
}

void Reader::lineBreak(char c) noexcept {
  if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  ++line_;
}

bool Reader::next(std::vector<std::string>& values) {
  values.clear();
  if (pos_ >= text_.size()) return false;
  enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
  State state = State::FieldStart;
  std::string value;
  int quoteLine = 0;
  const std::size_t end = text_.size();
  while (pos_ < end) {
    const char c = text_[pos_++];
    switch (state) {
      case State::FieldStart:
      case State::Unquoted:
        if (c == separator_) {
          values.push_back(std::move(value));
          value.clear();
          state = State::FieldStart;
        } else if (c == '\n' || c == '\r') {
          lineBreak(c);
          values.push_back(std::move(value));
          return true;
        } else if (c == '"' && state == State::FieldStart) {
          state = State::Quoted;
          quoteLine = line_;
        } else {
          value.push_back(c);
          state = State::Unquoted;
        }
        break;
      case State::Quoted:
        if (c == '"') {
          state = State::QuoteInQuoted;
        } else if (c == '\n' || c == '\r') {
          // Kept as written: CR LF stays two characters of the value.
          value.push_back(c);
          if (c == '\r' && pos_ < end && text_[pos_] == '\n') value.push_back(text_[pos_]);
          lineBreak(c);
        } else {
          value.push_back(c);
        }
        break;
      case State::QuoteInQuoted:
        if (c == '"') {  // a doubled quote stands for one
          value.push_back('"');
          state = State::Quoted;
        } else if (c == separator_) {
          values.push_back(std::move(value));
          value.clear();
          state = State::FieldStart;
        } else if (c == '\n' || c == '\r') {
          lineBreak(c);
          values.push_back(std::move(value));
          return true;
        } else {
          // Text after the closing quote: kept rather than lost.
          value.push_back(c);
          state = State::Unquoted;
        }
        break;
    }
  }
  if (state == State::Quoted) {
    // The quote never closed: the value took in every line after its own. A line break
    // that ends the text starts no further line.
    unclosedLine_ = quoteLine;
    const bool endsWithBreak = text_.back() == '\n' || text_.back() == '\r';
    unclosedLines_ = line_ - quoteLine - (endsWithBreak ? 1 : 0);
  }
  // The last record without a line end.
  values.push_back(std::move(value));
  return true;
}

}  // namespace mv::csv
