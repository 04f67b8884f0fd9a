#include "settings/PrintingProblems.h"

#include "settings/Profile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(PrintingProblems, okStoresAcceptedValuesAndRefusesABadAdjustment) {
  struct Row {
    const char* offset;
    const char* top;
    bool accepted;
    int offsetAfter, headingY1After;  // starting from offset 1, HEADING_Y1 40
  };
  const Row rows[] = {
      {"-5", "10", true, -5, 10},
      {"5", "50", true, 5, 50},
      {"2", "51", true, 2, 40},        // top margin outside 10..50: unchanged, no message
      {"2", "abc", true, 2, 40},       // reads as 0: unchanged
      {"6", "20", false, 1, 40},       // refused: nothing else changes
      {"-6", "20", false, 1, 40},
      {"", "20", true, 0, 20},         // an empty box reads as 0
      {"0000000003", "20", true, 0, 20},  // only 9 characters are read: "000000000"
  };
  for (const auto& r : rows) {
    test::TestDir dir;
    CustomizeSettings s;
    s.textoutYOffset = 1;
    const PrintingProblemsResult result = applyPrintingProblems(
        s, {false, false, true, r.offset, r.top}, dir / "mervane.ini");
    EXPECT_EQ(result.outcome == PrintingProblemsOutcome::Close, r.accepted) << r.offset;
    EXPECT_EQ(result.message, r.accepted ? "" : "Value is not accepted");
    EXPECT_EQ(result.caption, r.accepted ? "" : "Mervane");
    EXPECT_EQ(s.textoutYOffset, r.offsetAfter) << r.offset;
    EXPECT_EQ(s.headingY1, r.headingY1After) << r.top;
    // The boxes are taken and the simple-output flag is on disk either way.
    EXPECT_FALSE(s.restoreDc);
    EXPECT_FALSE(s.forceNoBanding);
    EXPECT_EQ(Profile(dir / "mervane.ini", "Customize").readInt("Label_Use_TextOut", 0), 1);
  }
}

}  // namespace
}  // namespace mv
