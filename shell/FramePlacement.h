#pragma once
// Where the main frame goes and how large it is, as pure arithmetic.

namespace mv {

struct FramePoint {
  int left = 0;
  int top = 0;
  bool operator==(const FramePoint&) const = default;
};

// The saved position, unless it lies off the work area's left/top or beyond 0.8 of its
// width/height: such a coordinate becomes 2, so the frame is never lost off screen.
FramePoint framePosition(int savedLeft, int savedTop, int workAreaWidth, int workAreaHeight);

struct FrameSize {
  int width = 0;
  int height = 0;
  bool operator==(const FrameSize&) const = default;
};

// The frame in card mode hugs the card window: its width, and its height plus the menu
// bar, the status bar and the toolbar when shown. Page-view mode keeps the same size.
FrameSize cardModeFrameSize(int cardWidth, int cardHeight, int menuBarHeight,
                            int statusBarHeight, int toolBarHeight);

}  // namespace mv
