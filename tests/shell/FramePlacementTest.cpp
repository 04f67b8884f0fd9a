#include "shell/FramePlacement.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(FramePlacement, keepsTheFrameOnTheWorkArea) {
  struct Row {
    int left, top, workWidth, workHeight;
    FramePoint expected;
  };
  const Row rows[] = {
      {-4, -4, 1024, 768, {2, 2}},      // the default "-4,-4,0,0"
      {3000, 100, 1024, 768, {2, 100}}, // far right of a 1024-wide work area
      {100, 3000, 1024, 768, {100, 2}}, // below the work area
      {819, 614, 1024, 768, {819, 614}},// just inside 0.8 x width and 0.8 x height
      {820, 615, 1024, 768, {2, 2}},    // just beyond both
      {0, 0, 1024, 768, {0, 0}},        // the corner itself is fine
      {-1, 10, 1024, 768, {2, 10}},
      {500, 300, 1920, 1080, {500, 300}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(framePosition(r.left, r.top, r.workWidth, r.workHeight), r.expected)
        << r.left << "," << r.top;
}

}  // namespace
}  // namespace mv
