#include "shell/FramePlacement.h"

namespace mv {

FramePoint framePosition(int savedLeft, int savedTop, int workAreaWidth, int workAreaHeight) {
  FramePoint p{savedLeft, savedTop};
  if (savedLeft < 0 || savedLeft > 0.8 * workAreaWidth) p.left = 2;
  if (savedTop < 0 || savedTop > 0.8 * workAreaHeight) p.top = 2;
  return p;
}

}  // namespace mv
