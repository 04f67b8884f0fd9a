#pragma once
// How a canvas turns logical units into device pixels: a window (origin and extent in
// logical units) shown in a viewport (origin and extent in device pixels). A negative
// viewport extent turns an axis round, as the printer's hundredths of an inch do with y.

namespace mv {

struct PointF {
  double x = 0;
  double y = 0;
  friend bool operator==(const PointF&, const PointF&) = default;
};

struct Mapping {
  PointF windowOrigin{0, 0};
  PointF windowExtent{1, 1};
  PointF viewportOrigin{0, 0};
  PointF viewportExtent{1, 1};
  friend bool operator==(const Mapping&, const Mapping&) = default;

  // One logical unit is one device pixel.
  static Mapping identity() noexcept { return {}; }
  // A logical page of width x height units spread over a device area, y downwards: the
  // address-book layouts' page on the sheet, or zoomed on the screen.
  static Mapping scaledPage(double width, double height, PointF deviceOrigin,
                            PointF deviceSize) noexcept;
  // Hundredths of an inch on a device of the given resolution, from deviceOrigin; with
  // yUp, y grows upwards (so rows below the origin have negative y).
  static Mapping hundredthsOfInch(PointF dotsPerInch, PointF deviceOrigin, bool yUp) noexcept;

  // The same mapping with logical (0, 0) where `logical` was: drawing at a point that need
  // not fall on a whole unit.
  Mapping movedBy(PointF logical) const noexcept {
    Mapping m = *this;
    m.windowOrigin = {windowOrigin.x - logical.x, windowOrigin.y - logical.y};
    return m;
  }

  // A mapping divides by the window extent and needs both components non-zero.
  bool valid() const noexcept;
  // Device pixels per logical unit, negative on a turned axis.
  double scaleX() const noexcept { return viewportExtent.x / windowExtent.x; }
  double scaleY() const noexcept { return viewportExtent.y / windowExtent.y; }
  PointF toDevice(PointF logical) const noexcept;
  PointF toLogical(PointF device) const noexcept;
};

}  // namespace mv
