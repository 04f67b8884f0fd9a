#include "printing/EnvelopePages.h"

#include "printing/MyAddress.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mv {
namespace {

struct BoxRange {
  double low;
  double high;
  double fallback;
};

BoxRange rangeOf(EnvelopeBox box) noexcept {
  switch (box) {
    case EnvelopeBox::DeliveryLeft: return {1, 6, 2};
    case EnvelopeBox::DeliveryTop: return {1, 6, 3};
    default: return {0, 4, 0};
  }
}

// "%f, %f": a part that is not a number keeps the default.
void readXY(const Profile& profile, double& x, double& y) {
  const std::string text = profile.readString(keys::position::XY, "", 100);
  if (text.empty()) return;
  double a = x;
  double b = y;
  const int got = std::sscanf(text.c_str(), "%lf , %lf", &a, &b);
  if (got >= 1) x = a;
  if (got >= 2) y = b;
}

int hundredths(double inches) noexcept {
  return static_cast<int>(std::lround(inches * 100));
}

}  // namespace

double checkedEnvelopeValue(EnvelopeBox box, double value) noexcept {
  const BoxRange r = rangeOf(box);
  return value >= r.low && value <= r.high ? value : r.fallback;
}

EnvelopePositions checkedEnvelopePositions(EnvelopePositions p) noexcept {
  p.returnLeft = checkedEnvelopeValue(EnvelopeBox::ReturnLeft, p.returnLeft);
  p.returnTop = checkedEnvelopeValue(EnvelopeBox::ReturnTop, p.returnTop);
  p.deliveryLeft = checkedEnvelopeValue(EnvelopeBox::DeliveryLeft, p.deliveryLeft);
  p.deliveryTop = checkedEnvelopeValue(EnvelopeBox::DeliveryTop, p.deliveryTop);
  return p;
}

double envelopeBoxValue(EnvelopeBox box, std::string_view text) {
  const std::string s(text);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  // Nothing that reads as a number counts as out of range.
  return checkedEnvelopeValue(box, end == s.c_str() ? NAN : v);
}

std::string formatEnvelopeValue(double inches) {
  char text[32];
  std::snprintf(text, sizeof text, "%4.2f", inches);
  return text;
}

EnvelopePositions readEnvelopePositions(const std::filesystem::path& ini) {
  EnvelopePositions p;
  readXY(Profile(ini, std::string(keys::section::ReturnAddress)), p.returnLeft, p.returnTop);
  readXY(Profile(ini, std::string(keys::section::DeliveryAddress)), p.deliveryLeft,
         p.deliveryTop);
  return checkedEnvelopePositions(p);
}

bool writeEnvelopePositions(const std::filesystem::path& ini, const EnvelopePositions& p) {
  auto xy = [](double x, double y) {
    char text[64];
    std::snprintf(text, sizeof text, "%4.2f, %4.2f", x, y);
    return std::string(text);
  };
  Profile back(ini, std::string(keys::section::ReturnAddress));
  Profile delivery(ini, std::string(keys::section::DeliveryAddress));
  const bool ok = back.writeString(keys::position::XY, xy(p.returnLeft, p.returnTop)) &&
                  delivery.writeString(keys::position::XY, xy(p.deliveryLeft, p.deliveryTop));
  return back.flush() && delivery.flush() && ok;
}

EnvelopePageSettings loadEnvelopePageSettings(const std::filesystem::path& ini,
                                              std::string_view pageFace) {
  EnvelopePageSettings s;
  s.positions = readEnvelopePositions(ini);
  s.returnText = readLabelTextStyle(ini, keys::section::ReturnAddress,
                                    keys::font::ReturnAddress, pageFace);
  s.deliveryText = readLabelTextStyle(ini, keys::section::DeliveryAddress,
                                      keys::font::DeliveryAddress, pageFace);
  s.returnAddress = readMyAddress(ini);
  return s;
}

Rect returnBlock(const EnvelopePositions& p, bool onScreen) noexcept {
  const int shift = onScreen ? kReturnScreenShift : 0;
  const int left = hundredths(p.returnLeft) + shift;
  const int top = hundredths(p.returnTop) + shift;
  return {left, top, left + kReturnBlockSize, top + kReturnBlockSize};
}

Rect deliveryBlock(const EnvelopePositions& p) noexcept {
  const int left = hundredths(p.deliveryLeft);
  const int top = hundredths(p.deliveryTop);
  return {left, top, left + kDeliveryBlockSize, top + kDeliveryBlockSize};
}

void drawEnvelopePage(Canvas& canvas, const EnvelopePageSettings& s, const PageBook& book,
                      int page, bool hideAddresses) {
  if (hideAddresses) return;
  // Positions stored by hand outside their ranges are drawn where the page shows them.
  const EnvelopePositions p = checkedEnvelopePositions(s.positions);
  canvas.save();
  drawLabelText(canvas, returnBlock(p, !canvas.onPrinter()), s.returnAddress, s.returnText);
  if (const AddressRecord* entry = book.atListPosition(page - 1))
    drawLabelText(canvas, deliveryBlock(p), labelFieldsOf(*entry), s.deliveryText);
  canvas.restore();
}

std::vector<PreviewStroke> envelopePreviewStrokes(const Rect& area, const EnvelopePositions& p) {
  std::vector<PreviewStroke> strokes;
  const double scale = area.width() / 8.5;  // pixels per inch
  const EnvelopePositions c = checkedEnvelopePositions(p);
  const int rx = area.left + 5 + static_cast<int>(c.returnLeft * scale);
  const int ry = area.top + 5 + static_cast<int>(c.returnTop * scale);
  if (ry + 15 < area.bottom) {
    const int lengths[] = {10, 15, 20, 15};
    const int widths[] = {1, 2, 1, 1};
    for (int i = 0; i < 4; ++i)
      strokes.push_back({{rx, ry + 5 * i}, {rx + lengths[i], ry + 5 * i}, widths[i]});
  }
  const int dx = area.left + 2 + static_cast<int>(c.deliveryLeft * scale);
  const int dy = area.top + 2 + static_cast<int>(c.deliveryTop * scale);
  if (dy + 40 < area.bottom) {
    const int lengths[] = {40, 25, 30, 55, 60, 50};
    const int downs[] = {0, 9, 16, 24, 32, 40};
    const int widths[] = {1, 2, 1, 1, 1, 1};
    for (int i = 0; i < 6; ++i)
      strokes.push_back({{dx, dy + downs[i]}, {dx + lengths[i], dy + downs[i]}, widths[i]});
  }
  return strokes;
}

}  // namespace mv
