// What the fuzzers found, kept: each input that once crashed a reader or ran into
// undefined behaviour, read again the way the fuzzer read it. The sanitized build turns a
// return of the fault into a failure here.
#include "printing/LabelFormats.h"
#include "printing/LabelPages.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace mv {
namespace {

// labels.dat: lengths near INT_MAX overflowed when a row of labels was measured against
// its sheet and laid out. A length above 40 inches now makes a format unusable: its line is
// kept in the file but not offered.
TEST(FuzzFindings, labelLengthsBeyondAnySheetAreNotLaidOut) {
  struct Row {
    const char* what;
    std::string line;
    bool usable;
  };
  const std::string huge = std::to_string(INT_MAX);
  const Row rows[] = {
      {"every length INT_MAX (the crasher)",
       "Huge 1, " + huge + "," + huge + ", " + huge + "," + huge + ", " + huge + "," + huge +
           ", 20,30",
       false},
      {"a pitch of INT_MAX", "P 0, 100,100, 0,0, " + huge + ",100, 20,1", false},
      {"a margin of INT_MAX", "M 0, 100,100, " + huge + ",0, 100,100, 1,1", false},
      {"one past 40 inches", "W 0, 10161,100, 0,0, 10161,100, 1,1", false},
      {"40 inches at most", "W 0, 10160,10160, 10160,10160, 10160,10160, 20,30", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const auto lines = parseLabelsDat(r.line + "\n");
    ASSERT_EQ(lines.size(), 1u);  // the line itself stays in the file
    const auto f = parseLabelLine(lines[0]);
    ASSERT_EQ(f.has_value(), r.usable);
    if (!f) continue;
    EXPECT_FALSE(labelFormatFitsSheet(*f));
    LabelPageSettings page;
    page.dimensions = dimensionsOf(*f);
    const auto spots = labelSpotsInUse(page, LabelGrid{});
    ASSERT_EQ(spots.size(), 600u);
    EXPECT_GT(spots.back().label.right, spots.back().label.left);
  }
  // The same lengths as a stored choice of section Labels fall back to a usable one.
  for (const std::string& value : {"100,100,0,0," + huge + ",0,1,1", huge + ",100,0,0,0,0,1,1"})
    EXPECT_FALSE(parseLabelDimensions(value).has_value()) << value;
}

// labels.dat: a line ending in several CRs lost one CR each time the catalogue was
// written back, so that an edit of one format changed the line of another.
TEST(FuzzFindings, labelLinesReadTheSameAfterEveryWriteBack) {
  const std::string file = "A;Sheet 0, 667,254, 48,127, 699,254, 3,10\r\r\r\n"
                           "Cut;of;line 0, 667,254, 48,127,10,10, 21 ,31" + std::string(50, '\r') +
                           "\nB;Sheet 1, 635,381, 72,152, 660,381, 3,7\r\n";
  const auto lines = parseLabelsDat(file);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "A;Sheet 0, 667,254, 48,127, 699,254, 3,10");
  EXPECT_EQ(parseLabelsDat(labelsDatBytes(lines)), lines);
}

// labels.dat: a line indented past its control character ("          \x15Name 0, ...")
// was offered as a format, but once changed it was written beginning with that character
// and dropped when read again: the format vanished. Such a name is not offered now; the
// line itself stays in the file.
TEST(FuzzFindings, aChangedFormatIsStillInTheCatalogueWhenReadAgain) {
  const auto lines = parseLabelsDat("          \x15TAddress 0, 1,1, 0,0, 1,1, 1,1\r\n"
                                    "Na\x01me 0, 1,1, 0,0, 1,1, 1,1\n");
  ASSERT_EQ(lines.size(), 2u);
  LabelCatalogue catalogue(lines);
  EXPECT_TRUE(catalogue.filter(0, 0).empty());
  EXPECT_EQ(parseLabelsDat(labelsDatBytes(catalogue.lines())), lines);
}

}  // namespace
}  // namespace mv
