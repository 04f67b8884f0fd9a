#pragma once
// Where the main frame goes, as pure arithmetic.

namespace mv {

struct FramePoint {
  int left = 0;
  int top = 0;
  bool operator==(const FramePoint&) const = default;
};

// The saved position, unless it lies off the work area's left/top or beyond 0.8 of its
// width/height: such a coordinate becomes 2, so the frame is never lost off screen.
FramePoint framePosition(int savedLeft, int savedTop, int workAreaWidth, int workAreaHeight);

}  // namespace mv
