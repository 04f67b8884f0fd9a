#pragma once
// The one place where Windows-1252 text held by the core meets QString.

#include <QString>

#include <string>
#include <string_view>

namespace mv {

QString fromCp1252(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'; `lossless` tells whether that happened.
std::string toCp1252(const QString& text, bool* lossless = nullptr);

// True when Windows-1252 has a byte for this character.
bool isCp1252(QChar c) noexcept;

// `text` without the characters Windows-1252 cannot hold; `left` (when given) counts them,
// a character outside the Basic Multilingual Plane (an emoji) as one.
QString keepCp1252(const QString& text, int* left = nullptr);

}  // namespace mv
