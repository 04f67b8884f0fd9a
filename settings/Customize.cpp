#include "settings/Customize.h"

#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cmath>
#include <cstdio>

namespace mv {
namespace {

namespace k = keys::customize;

constexpr size_t kFontBuffer = 30;
constexpr size_t kFrameSizeBuffer = 50;
constexpr size_t kColorBuffer = 50;

bool flag(const Profile& p, std::string_view key, int def) { return p.readInt(key, def) != 0; }

int within(int value, int low, int high, int otherwise) {
  return value >= low && value <= high ? value : otherwise;
}

}  // namespace

Rgb parseColor(std::string_view text, bool clampTo255) {
  const std::vector<int> v = parseIntList(text);
  auto component = [&](size_t i) {
    const int c = i < v.size() ? v[i] : 0;
    if (clampTo255) return within(c, 0, 255, 255);
    return c & 0xFF;
  };
  return Rgb{component(0), component(1), component(2)};
}

std::string formatColor(Rgb color) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d,%d,%d", color.r, color.g, color.b);
  return buf;
}

CustomizeSettings readCustomize(const std::filesystem::path& ini) {
  const Profile p(ini, std::string(keys::section::Customize));
  CustomizeSettings s;
  s.labelUseTextOut = flag(p, k::LabelUseTextOut, 0);
  s.hasWebBrowser = flag(p, k::HasWebBrowser, 0);
  s.cardMaximizeAddress = flag(p, k::CardMaximizeAddress, 0);
  s.headingY1 = p.readInt(k::HeadingY1, 40);
  s.forceNoBanding = flag(p, k::ForceNoBanding, 1);
  s.restoreDc = flag(p, k::RestoreDc, 1);
  s.lang = within(p.readInt(k::Lang, 0), 0, 20, 0);
  s.font = p.readString(k::Font, "Arial", kFontBuffer);
  s.baseColor = parseColor(p.readString(k::BaseColor, "0,0,0", kColorBuffer), true);
  s.cardSort = within(p.readInt(k::CardSort, 0), 0, 2, 0);
  s.format = within(p.readInt(k::Format, cmd::kLayout3Line), cmd::kLayout1Line,
                    cmd::kLayoutLabels, cmd::kLayout3Line);
  s.zoom = p.readInt(k::Zoom, 80) / 100.0;
  if (s.zoom < 0.3 || s.zoom > 1.5) s.zoom = 0.8;
  s.hookHttp = p.readInt(k::HookHttp, 1);
  s.hookEMail = p.readInt(k::HookEMail, 1);
  s.hookNews = p.readInt(k::HookNews, 1);
  s.hookFtp = p.readInt(k::HookFtp, 1);
  s.hookRtf = p.readInt(k::HookRtf, 1);
  s.hookTxt = p.readInt(k::HookTxt, 1);
  s.textoutYOffset = p.readInt(k::TextoutYOffset, 0);
  s.frameSize = p.readString(k::FrameSize, "-4,-4,0,0", kFrameSizeBuffer);
  return s;
}

int zoomPercent(double factor) noexcept {
  // Truncated, but with a little slack: 0.57 is held as 0.56999..., and a plain
  // truncation would store 56 and shrink the zoom by one percent on every run.
  return static_cast<int>(std::floor(factor * 100.0 + 1e-6));
}

bool writeCustomize(const std::filesystem::path& ini, const CustomizeSettings& s) {
  Profile p(ini, std::string(keys::section::Customize));
  bool ok = true;
  ok &= p.writeInt(k::CardMaximizeAddress, s.cardMaximizeAddress ? 1 : 0);
  ok &= p.writeInt(k::HeadingY1, s.headingY1);
  ok &= p.writeInt(k::ForceNoBanding, s.forceNoBanding ? 1 : 0);
  ok &= p.writeInt(k::RestoreDc, s.restoreDc ? 1 : 0);
  ok &= p.writeInt(k::TextoutYOffset, s.textoutYOffset);
  ok &= p.writeInt(k::HookHttp, s.hookHttp);
  ok &= p.writeInt(k::HookEMail, s.hookEMail);
  ok &= p.writeInt(k::HookFtp, s.hookFtp);
  ok &= p.writeInt(k::HookNews, s.hookNews);
  ok &= p.writeInt(k::HookTxt, s.hookTxt);
  ok &= p.writeInt(k::HookRtf, s.hookRtf);
  ok &= p.writeString(k::Font, s.font);
  ok &= p.writeString(k::BaseColor, formatColor(s.baseColor));
  ok &= p.writeInt(k::Zoom, zoomPercent(s.zoom));
  ok &= p.writeInt(k::Format, s.format);
  ok &= p.writeInt(k::CardSort, s.cardSort);
  return ok;
}

FrameRect parseFrameSize(std::string_view text) {
  const std::vector<int> v = parseIntList(text);
  auto at = [&](size_t i) { return i < v.size() ? v[i] : 0; };
  return FrameRect{at(0), at(1), at(2), at(3)};
}

std::string formatFrameSize(FrameRect r) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", r.left, r.top, r.width, r.height);
  return buf;
}

bool writeFrameSize(const std::filesystem::path& ini, FrameRect rect) {
  Profile p(ini, std::string(keys::section::Customize));
  return p.writeString(k::FrameSize, formatFrameSize(rect));
}

int* hookChoice(CustomizeSettings& settings, std::string_view key) noexcept {
  namespace k = keys::customize;
  if (key == k::HookHttp) return &settings.hookHttp;
  if (key == k::HookEMail) return &settings.hookEMail;
  if (key == k::HookNews) return &settings.hookNews;
  if (key == k::HookFtp) return &settings.hookFtp;
  if (key == k::HookRtf) return &settings.hookRtf;
  if (key == k::HookTxt) return &settings.hookTxt;
  return nullptr;
}

}  // namespace mv
