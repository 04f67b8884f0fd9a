#pragma once
// The label and envelope fonts of section Font of mervane.ini: one value per key holding
// the font attributes, its colour and its face, "%d,%d,%d,%d,%d, %d,%d,%d, &<<%s".

#include "settings/Customize.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

struct FontSpec {
  int height = 12;
  int weight = 400;
  int italic = 0;
  int strikeOut = 0;
  int underline = 0;
  Rgb color{0, 0, 0};
  std::string face;  // resolved: never "default" or empty after parsing
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

inline constexpr std::string_view kFontSpecDefault = "12,400,0,0,0, 0,0,0, &<<default";
inline constexpr std::string_view kFontFaceMarker = "&<<";
inline constexpr size_t kFontSpecBuffer = 100;  // terminator included

// The face is every character after the first "&<<"; a face "default" (any letter case),
// an empty face or a value without the marker means pageFace (Customize Font).
FontSpec parseFontSpec(std::string_view value, std::string_view pageFace);
// "%d,%d,%d,%d,%d, %d,%d,%d, &<<%s", cut to 99 characters.
std::string formatFontSpec(const FontSpec& font);

// A key of section Font ("Labels", "Return Address", "Delivery Address" or an envelope
// format's name); a missing key gives the default, 12-high normal black in pageFace.
FontSpec readFontSpec(const std::filesystem::path& ini, std::string_view key,
                      std::string_view pageFace);
// Written when a font dialog ends with OK; goes to disk at once.
[[nodiscard]] bool writeFontSpec(const std::filesystem::path& ini, std::string_view key,
                                 const FontSpec& font);

}  // namespace mv
