#include "platform/Escape.h"

#include "platform/Cp1252.h"

#include <QString>

namespace mv {

std::string rtfEscape(std::string_view cp1252, HighBytes high) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(cp1252.size());
  for (char c : cp1252) {
    const unsigned char ch = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (ch > 127 && high == HighBytes::Escaped) {
      out += "\\'";
      out += kHex[ch >> 4];
      out += kHex[ch & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string xmlEscape(std::string_view text, HighBytes high) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        if (static_cast<unsigned char>(c) < 128 || high == HighBytes::Kept) {
          out += c;
        } else {
          const QString u = fromCp1252(std::string_view(&c, 1));
          out += "&#" + std::to_string(u.isEmpty() ? 0xFFFD : u.at(0).unicode()) + ";";
        }
    }
  }
  return out;
}

}  // namespace mv
