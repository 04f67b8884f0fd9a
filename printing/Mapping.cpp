#include "printing/Mapping.h"

namespace mv {

Mapping Mapping::scaledPage(double width, double height, PointF deviceOrigin,
                            PointF deviceSize) noexcept {
  return Mapping{{0, 0}, {width, height}, deviceOrigin, deviceSize};
}

Mapping Mapping::hundredthsOfInch(PointF dotsPerInch, PointF deviceOrigin, bool yUp) noexcept {
  return Mapping{{0, 0}, {100, 100}, deviceOrigin,
                 {dotsPerInch.x, yUp ? -dotsPerInch.y : dotsPerInch.y}};
}

bool Mapping::valid() const noexcept {
  return windowExtent.x != 0 && windowExtent.y != 0 && viewportExtent.x != 0 &&
         viewportExtent.y != 0;
}

PointF Mapping::toDevice(PointF logical) const noexcept {
  return {(logical.x - windowOrigin.x) * scaleX() + viewportOrigin.x,
          (logical.y - windowOrigin.y) * scaleY() + viewportOrigin.y};
}

PointF Mapping::toLogical(PointF device) const noexcept {
  return {(device.x - viewportOrigin.x) / scaleX() + windowOrigin.x,
          (device.y - viewportOrigin.y) / scaleY() + windowOrigin.y};
}

}  // namespace mv
