#include "settings/PageText.h"

#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cstdio>
#include <cstdlib>

namespace mv {
namespace {

namespace k = keys::pageText;

constexpr std::string_view kDefaultAttrib = "15,0,0,0,0";
constexpr std::string_view kDefaultFace = "Arial";
constexpr std::string_view kDefaultColor = "0,0,0";

}  // namespace

std::string_view pageTextSection(PageTextKind kind) {
  return kind == PageTextKind::Heading ? keys::section::Heading : keys::section::Footnote;
}

PageText defaultPageText(PageTextKind kind) {
  PageText t;
  t.align = kind == PageTextKind::Heading ? 1 : 0;
  return t;
}

PageText readPageText(const std::filesystem::path& ini, PageTextKind kind) {
  const Profile p(ini, std::string(pageTextSection(kind)));
  PageText t = defaultPageText(kind);
  t.align = p.readInt(k::Align, t.align);
  t.text = p.readString(k::Text, "", kPageTextTextBuffer);
  t.face = p.readString(k::FontFace, kDefaultFace, kPageTextFaceBuffer);
  const std::vector<int> a =
      parseIntList(p.readString(k::FontAttrib, kDefaultAttrib, kPageTextAttribBuffer));
  auto at = [&](size_t i) { return i < a.size() ? a[i] : 0; };
  // A height or weight beyond any font is the default.
  t.height = std::abs(at(0)) <= keys::kFontHeightMost ? at(0) : 0;
  t.weight = at(1) >= 0 && at(1) <= keys::kFontWeightMost ? at(1) : 0;
  t.italic = at(2);
  t.strikeOut = at(3);
  t.underline = at(4);
  t.color = parseColor(p.readString(k::Color, kDefaultColor, kPageTextColorBuffer), false);
  return t;
}

bool writePageText(const std::filesystem::path& ini, PageTextKind kind, const PageText& t) {
  Profile p(ini, std::string(pageTextSection(kind)));
  char attrib[96];
  std::snprintf(attrib, sizeof attrib, "%d,%d,%d,%d,%d", t.height, t.weight, t.italic,
                t.strikeOut, t.underline);
  bool ok = true;
  ok &= p.writeInt(k::Align, t.align);
  ok &= p.writeString(k::Text, t.text);
  ok &= p.writeString(k::FontFace, t.face);
  ok &= p.writeString(k::FontAttrib, attrib);
  ok &= p.writeString(k::Color, formatColor(t.color));
  return ok;
}

}  // namespace mv
