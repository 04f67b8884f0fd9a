#include "settings/FontSpec.h"

#include "platform/Text.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cstdio>
#include <cstdlib>

namespace mv {

FontSpec parseFontSpec(std::string_view value, std::string_view pageFace) {
  FontSpec f;
  const size_t marker = value.find(kFontFaceMarker);
  const std::string_view numbers = value.substr(0, marker);
  std::string_view face =
      marker == std::string_view::npos ? std::string_view{} : value.substr(marker + kFontFaceMarker.size());

  const std::vector<int> v = parseIntList(numbers);
  auto at = [&](size_t i, int def) { return i < v.size() ? v[i] : def; };
  // A height or weight beyond any font is the default.
  f.height = std::abs(at(0, 0)) <= keys::kFontHeightMost ? at(0, 0) : 0;
  f.weight = at(1, 0) >= 0 && at(1, 0) <= keys::kFontWeightMost ? at(1, 0) : 0;
  f.italic = at(2, 0);
  f.strikeOut = at(3, 0);
  f.underline = at(4, 0);
  // Colour components are held as the bytes of a packed red-green-blue value.
  f.color = Rgb{at(5, 0) & 0xFF, at(6, 0) & 0xFF, at(7, 0) & 0xFF};

  if (face.empty() || equalsIgnoreCase(face, "default"))
    f.face = std::string(pageFace);
  else
    f.face = std::string(face);
  return f;
}

std::string formatFontSpec(const FontSpec& f) {
  char buf[kFontSpecBuffer];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d,%d, %d,%d,%d, &<<%s", f.height, f.weight, f.italic,
                f.strikeOut, f.underline, f.color.r, f.color.g, f.color.b, f.face.c_str());
  return buf;
}

FontSpec readFontSpec(const std::filesystem::path& ini, std::string_view key,
                      std::string_view pageFace) {
  const Profile p(ini, std::string(keys::section::Font));
  return parseFontSpec(p.readString(key, kFontSpecDefault, kFontSpecBuffer), pageFace);
}

bool writeFontSpec(const std::filesystem::path& ini, std::string_view key, const FontSpec& font) {
  Profile p(ini, std::string(keys::section::Font));
  return p.writeString(key, formatFontSpec(font)) && p.flush();
}

}  // namespace mv
