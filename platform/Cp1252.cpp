#include "platform/Cp1252.h"

#include <array>

namespace mv {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five bytes the code page leaves undefined,
// which we map to the C1 control of the same value so that no byte is ever lost.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteFor(char16_t u) noexcept {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == u && u != 0) return 0x80 + i;
  }
  if (u >= 0x80 && u <= 0x9F && kHigh[u - 0x80] == 0) return u;
  return -1;
}

}  // namespace

QString fromCp1252(std::string_view bytes) {
  // Written in place: appending a character at a time cost more than the names tree's
  // items did at start.
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  char16_t* to = reinterpret_cast<char16_t*>(out.data());
  for (unsigned char b : bytes)
    *to++ = b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0 ? kHigh[b - 0x80] : char16_t{b};
  return out;
}

std::string toCp1252(const QString& text, bool* lossless) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  bool ok = true;
  for (QChar c : text) {
    const int b = byteFor(c.unicode());
    if (b < 0) {
      ok = false;
      out.push_back('?');
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  if (lossless) *lossless = ok;
  return out;
}

bool isCp1252(QChar c) noexcept { return byteFor(c.unicode()) >= 0; }

QString keepCp1252(const QString& text, int* left) {
  QString kept;
  kept.reserve(text.size());
  int dropped = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (isCp1252(c)) {
      kept.append(c);
      continue;
    }
    ++dropped;
    // The two halves of a surrogate pair are one character.
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  }
  if (left) *left = dropped;
  return kept;
}

}  // namespace mv
