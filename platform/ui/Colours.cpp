#include "platform/ui/Colours.h"

#include <algorithm>
#include <cmath>

namespace mv {
namespace {

double relativeLuminance(const QColor& c) {
  const auto channel = [](double v) {
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
         0.0722 * channel(c.blueF());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
  const double la = relativeLuminance(a);
  const double lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor over(const QColor& c, const QColor& background) {
  const double a = c.alphaF();
  return QColor::fromRgbF(static_cast<float>(c.redF() * a + background.redF() * (1 - a)),
                          static_cast<float>(c.greenF() * a + background.greenF() * (1 - a)),
                          static_cast<float>(c.blueF() * a + background.blueF() * (1 - a)));
}

QColor mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor readableOn(const QColor& wanted, const QColor& ground, const QColor& toward) {
  const QColor start = over(wanted, ground);
  const QColor end = over(toward, ground);
  for (int step = 0; step <= 20; ++step) {
    const QColor c = mix(start, end, step / 20.0);
    if (contrastRatio(c, ground) >= kReadableContrast) return c;
  }
  return end;
}

}  // namespace mv
