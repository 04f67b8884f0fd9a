#include "settings/Profile.h"

#include "platform/AtomicFile.h"
#include "platform/Text.h"
#include "settings/Keys.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace mv {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Lines end in LF, CR LF or, as the platform's reader has it, a bare CR.
std::vector<std::string> readLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  // A settings file that cannot be read (a folder in its place, say) reads as empty; the
  // stream reader would throw on it and end the program.
  std::string bytes;
  if (!readWholeFile(file, bytes)) return lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
    if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++start;
  }
  return lines;
}

bool writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  // The one atomic writer: an interrupted or failed write never leaves half a file, nor
  // a scratch file beside it.
  std::string bytes;
  for (const auto& l : lines) {
    bytes += l;
    bytes += '\n';
  }
  return writeFileAtomically(file, bytes);
}

// "[name]" → name; nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

// "key=value" → key; nullopt for comments and other lines.
std::optional<std::string_view> keyOf(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.empty() || t.front() == ';') return std::nullopt;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return trim(line.substr(0, eq));
}

struct Located {
  long sectionLine = -1;  // index of "[section]"
  long keyLine = -1;      // index of the key's line
  long lastInSection = -1;  // last non-blank line of the section
};

Located locate(const std::vector<std::string>& lines, std::string_view section,
               std::string_view key) {
  Located at;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (auto s = sectionName(lines[i])) {
      if (inside) break;
      inside = equalsIgnoreCase(*s, section);
      if (inside) {
        at.sectionLine = static_cast<long>(i);
        at.lastInSection = static_cast<long>(i);
      }
      continue;
    }
    if (!inside) continue;
    if (!trim(lines[i]).empty()) at.lastInSection = static_cast<long>(i);
    if (auto k = keyOf(lines[i]); k && at.keyLine < 0 && equalsIgnoreCase(*k, key))
      at.keyLine = static_cast<long>(i);
  }
  return at;
}

}  // namespace

Profile::Profile(std::filesystem::path file, std::string section)
    : file_(std::move(file)), section_(std::move(section)) {}

std::optional<std::string> Profile::find(std::string_view key) const {
  const auto lines = readLines(file_);
  const Located at = locate(lines, section_, key);
  if (at.keyLine < 0) return std::nullopt;
  const std::string& line = lines[static_cast<size_t>(at.keyLine)];
  std::string_view value = trim(std::string_view(line).substr(line.find('=') + 1));
  // A value in matching quotes loses them, as the platform's reader does.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::string Profile::readString(std::string_view key, std::string_view def,
                                size_t bufferSize) const {
  std::string v = find(key).value_or(std::string(def));
  if (bufferSize == 0) return {};
  if (v.size() > bufferSize - 1) v.resize(bufferSize - 1);
  return v;
}

int Profile::leadingInt(std::string_view text) noexcept {
  text = trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    v = v * 10 + (c - '0');
    if (v > 2147483647LL) v = 2147483647LL;
  }
  return static_cast<int>(negative ? -v : v);
}

namespace {

// The range of a key, matched as the key itself is found; nullptr for a key without one.
const keys::IntRange* intRangeOf(std::string_view section, std::string_view key) noexcept {
  for (const keys::IntRange& r : keys::kIntRanges)
    if (equalsIgnoreCase(r.section, section) && equalsIgnoreCase(r.key, key)) return &r;
  return nullptr;
}

}  // namespace

int Profile::readInt(std::string_view key, int def) const {
  const auto v = find(key);
  if (!v) return def;
  const int value = leadingInt(*v);
  if (const keys::IntRange* range = intRangeOf(section_, key);
      range && (value < range->least || value > range->most))
    return def;
  return value;
}

bool Profile::hasKey(std::string_view key) const { return find(key).has_value(); }

std::vector<std::string> Profile::keys() const {
  std::vector<std::string> out;
  bool inside = false;
  for (const auto& l : readLines(file_)) {
    if (auto s = sectionName(l)) {
      if (inside) break;
      inside = equalsIgnoreCase(*s, section_);
      continue;
    }
    if (inside)
      if (auto k = keyOf(l)) out.emplace_back(*k);
  }
  return out;
}

bool Profile::writeString(std::string_view key, std::string_view value) {
  auto lines = readLines(file_);
  const Located at = locate(lines, section_, key);
  // A line break inside a value would start a new line of the file and could forge keys
  // or sections; the value stays on its one line with blanks in place of the breaks.
  std::string entry = std::string(key) + "=" + std::string(value);
  for (size_t i = key.size() + 1; i < entry.size(); ++i)
    if (entry[i] == '\r' || entry[i] == '\n') entry[i] = ' ';
  if (at.keyLine >= 0) {
    // A value already there as it would be written costs no write (and no sync to disk).
    if (lines[static_cast<size_t>(at.keyLine)] == entry) return true;
    lines[static_cast<size_t>(at.keyLine)] = entry;
  } else if (at.sectionLine >= 0) {
    lines.insert(lines.begin() + at.lastInSection + 1, entry);
  } else {
    if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section_ + "]");
    lines.push_back(entry);
  }
  return writeLines(file_, lines);
}

bool Profile::writeInt(std::string_view key, int value) {
  return writeString(key, std::to_string(value));
}

bool Profile::flush() const { return true; }

std::vector<int> parseIntList(std::string_view text) {
  std::vector<int> out;
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t comma = text.find(',', pos);
    const std::string_view part =
        text.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos);
    out.push_back(Profile::leadingInt(part));
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  return out;
}

}  // namespace mv
