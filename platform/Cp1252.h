#pragma once
// The one place where Windows-1252 text held by the core meets QString.

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

QString fromCp1252(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'; `lossless` tells whether that happened.
std::string toCp1252(const QString& text, bool* lossless = nullptr);

// True when Windows-1252 has a byte for this character.
bool isCp1252(QChar c) noexcept;

// Paths are file-system names (UTF-8 here) but the core shows and stores them as
// Windows-1252 text; these two convert between the two.
std::string pathToCp1252(const std::filesystem::path& path);
std::filesystem::path pathFromCp1252(std::string_view text);

}  // namespace mv
