// pagesize.dat: the reader's stopping rules and the list the program ships with.
#include "printing/PaperList.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

std::vector<std::string> names(const std::vector<PaperRow>& rows) {
  std::vector<std::string> out;
  for (const PaperRow& r : rows) out.push_back(r.name);
  return out;
}

TEST(PaperList, readerEdgeCases) {
  using Names = std::vector<std::string>;
  struct Row {
    const char* what;
    std::string bytes;
    Names expected;
  };
  const std::string a4 = "2100.0 ,2970.0 ,0.0 ,9 ,0 ,0\n";
  const Row rows[] = {
      {"empty file", "", {}},
      {"header only", "header\n", {}},
      {"header without a line end", "header", {}},
      {"one row", "h\n" + a4 + "A4\n", {"A4"}},
      {"last name without a line end keeps its last character", "h\n" + a4 + "A4", {"A4"}},
      {"CR LF line ends", "h\r\n2100 ,2970 ,0 ,9 ,0 ,0\r\nA4\r\nx\r\n", {"A4"}},
      {"CR line ends", "h\r2100 ,2970 ,0 ,9 ,0 ,0\rA4\r", {"A4"}},
      {"trailing blanks of a name stay", "h\n" + a4 + "A4  \n", {"A4  "}},
      {"an empty numbers line ends the list", "h\n" + a4 + "A4\n\n" + a4 + "B\n", {"A4"}},
      {"a numbers line starting with a blank ends it", "h\n" + a4 + "A4\n " + a4 + "B\n",
       {"A4"}},
      {"an empty name line ends it and drops the row", "h\n" + a4 + "A4\n" + a4 + "\n",
       {"A4"}},
      {"numbers without a name at the end are dropped", "h\n" + a4 + "A4\n" + a4, {"A4"}},
      {"no paper code ends it", "h\n" + a4 + "A4\n2100 ,2970 ,0\nB\n", {"A4"}},
      {"text for numbers ends it", "h\nLetter\n" + a4, {}},
      {"spare integers may be missing", "h\n2100 ,2970 ,0 ,9\nA4\n", {"A4"}},
  };
  for (const Row& r : rows) EXPECT_EQ(names(parsePaperList(r.bytes)), r.expected) << r.what;
}

TEST(PaperList, numbersAndLimit) {
  const auto rows = parsePaperList("h\n1841.5 ,2667.0 ,0.5 ,7 ,3 ,4\nExecutive\n");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (PaperRow{1841.5, 2667.0, 0.5, 7, 3, 4, "Executive"}));

  std::string many = "h\n";
  for (int i = 0; i < 120; ++i) many += "0 ,0 ,0 ,-1 ,0 ,0\nCustom\n";
  EXPECT_EQ(parsePaperList(many).size(), kMaxPaperRows);
}

TEST(PaperList, missingFileAndComboIndex) {
  test::TestDir dir;
  EXPECT_FALSE(readPaperList(dir / "pagesize.dat").has_value());
  test::writeFile(dir / "pagesize.dat", "h\n");
  ASSERT_TRUE(readPaperList(dir / "pagesize.dat").has_value());
  EXPECT_TRUE(readPaperList(dir / "pagesize.dat")->empty());

  struct Row {
    int comboIndex;
    size_t count;
    int expected;
  };
  const Row rows[] = {
      {0, 17, 0}, {16, 17, 16},
      {17, 17, 0},   // past the end: the first row
      {-1, 17, 0},   // negative: the first row
      {0, 0, -1},    // nothing to select
  };
  for (const Row& r : rows)
    EXPECT_EQ(paperIndexOrFirst(r.comboIndex, r.count), r.expected) << r.comboIndex;
}

// The copy the build places beside the program: every sized paper of the catalogue,
// Letter first (the default selection), Custom last.
TEST(PaperList, shippedFile) {
  const auto rows = readPaperList(MERVANE_PAGESIZE_DAT);
  ASSERT_TRUE(rows.has_value());
  ASSERT_EQ(rows->size(), 17u);
  EXPECT_EQ(rows->front(), (PaperRow{2159, 2794, 0, 1, 0, 0, "Letter 8.5 x 11 in"}));
  EXPECT_EQ(rows->at(11).name, "Day-Timer Sr. Pocket 3.75 x 6.75 in");
  EXPECT_EQ(rows->at(11).width, 952.5);
  EXPECT_TRUE(rows->back().isCustom());
  EXPECT_EQ(rows->back().name, "Custom");
  // Every shipped row is named as the catalogue names its paper code.
  for (const PaperRow& row : *rows) EXPECT_EQ(paperCodeName(row.code), row.name) << row.code;
  EXPECT_EQ(paperCodeName(42), "");
}

}  // namespace
}  // namespace mv
