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
  if (!bom && !looksUtf8(bytes)) {
    out.text.assign(bytes);
    return out;
  }
  out.utf8 = true;
  // Invalid sequences in a file that declared itself UTF-8 become U+FFFD, which
  // Windows-1252 cannot hold either: each is counted as a replaced character.
  const QString unicode = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
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

char detectSeparator(std::string_view text) noexcept {
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
    if (c == ',') return ',';
    if (c == ';') ++semicolons;
    if (c == '\t') ++tabs;
  }
  if (semicolons == 0 && tabs == 0) return ',';
  return tabs > semicolons ? '\t' : ';';
}

bool Reader::next(std::vector<std::string>& values) {
  values.clear();
  if (pos_ >= text_.size()) return false;
  enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
  State state = State::FieldStart;
  std::string value;
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
          if (c == '\r' && pos_ < end && text_[pos_] == '\n') ++pos_;
          values.push_back(std::move(value));
          return true;
        } else if (c == '"' && state == State::FieldStart) {
          state = State::Quoted;
        } else {
          value.push_back(c);
          state = State::Unquoted;
        }
        break;
      case State::Quoted:
        if (c == '"') {
          state = State::QuoteInQuoted;
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
          if (c == '\r' && pos_ < end && text_[pos_] == '\n') ++pos_;
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
  // The last record without a line end.
  values.push_back(std::move(value));
  return true;
}

}  // namespace mv::csv
