#include "platform/Text.h"

#include <array>

namespace mv {
namespace {

// Folding table: every byte to its lower-case base letter, so that accented letters
// sort beside their plain forms. Built once.
struct FoldTable {
  std::array<unsigned char, 256> fold{};
  FoldTable() {
    for (int i = 0; i < 256; ++i) fold[i] = lowerCp1252(static_cast<unsigned char>(i));
    auto set = [this](std::string_view from, char to) {
      for (unsigned char c : from) fold[c] = static_cast<unsigned char>(to);
    };
    set("\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", 'a');
    set("\xC7\xE7", 'c');
    set("\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", 'e');
    set("\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", 'i');
    set("\xD1\xF1", 'n');
    set("\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", 'o');
    set("\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", 'u');
    set("\xDD\xFD\xFF\x9F", 'y');
    set("\x8A\x9A", 's');
    set("\x8E\x9E", 'z');
    set("\xD0\xF0", 'd');
  }
};

const FoldTable& table() {
  static const FoldTable t;
  return t;
}

}  // namespace

std::string fillFormat(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() &&
        (format[i + 1] == 's' || format[i + 1] == 'd') && next != args.end()) {
      out += *next++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

bool isPresent(std::string_view text) noexcept {
  return !text.empty() && static_cast<unsigned char>(text.front()) > 0x20;
}

unsigned char upperCp1252(unsigned char c) noexcept {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);
  if (c == 0xFF) return 0x9F;
  return c;
}

unsigned char lowerCp1252(unsigned char c) noexcept {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
  if (c == 0x9F) return 0xFF;
  return c;
}

int compareNamesPrimary(std::string_view a, std::string_view b) noexcept {
  const auto& f = table().fold;
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int ca = f[static_cast<unsigned char>(a[i])];
    const int cb = f[static_cast<unsigned char>(b[i])];
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string foldForNameOrder(std::string_view text) {
  const auto& f = table().fold;
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char>(f[static_cast<unsigned char>(text[i])]);
  return out;
}

void appendFoldedForNameOrder(std::string& out, std::string_view text) {
  const auto& f = table().fold;
  const size_t at = out.size();
  out.resize(at + text.size());
  for (size_t i = 0; i < text.size(); ++i)
    out[at + i] = static_cast<char>(f[static_cast<unsigned char>(text[i])]);
}

int compareNames(std::string_view a, std::string_view b) noexcept {
  if (const int r = compareNamesPrimary(a, b); r != 0) return r;
  const int r = a.compare(b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  return startsWithIgnoreCase(a, b);
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) noexcept {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (upperCp1252(static_cast<unsigned char>(text[i])) !=
        upperCp1252(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

bool hasExtensionIgnoreCase(std::string_view fileName, std::string_view dotExt) noexcept {
  const size_t slash = fileName.find_last_of("/\\");
  const std::string_view base =
      slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const size_t dot = base.find_last_of('.');
  if (dot == std::string_view::npos) return false;
  return equalsIgnoreCase(base.substr(dot), dotExt);
}

}  // namespace mv
