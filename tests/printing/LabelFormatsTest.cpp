// The label catalogue: reading and writing labels.dat, the filters and the edits of the
// "Label Size" page, the chosen format in the settings, and the shipped catalogue.
#include "printing/LabelFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace mv {
namespace {

TEST(LabelFormats, linesParseInFullOrNotAtAll) {
  struct Row {
    const char* what;
    const char* line;
    bool parses;
  };
  const Row rows[] = {
      {"as the program writes it", "Sample;Sheet 0, 667,254, 48,127, 699,254, 3,10", true},
      {"without blanks", "A 1,1,1,0,0,1,1,1,1", true},
      {"blanks after the last number", "A 1,1,1,0,0,1,1,1,1  ", true},
      {"a number short", "A 1,1,1,0,0,1,1,1", false},
      {"text after the numbers", "A 1,1,1,0,0,1,1,1,1 x", false},
      {"a letter for a number", "A 1,1,1,0,0,1,x,1,1", false},
      {"a width of 0", "A 0, 0,254, 48,127, 699,254, 3,10", false},
      {"21 across", "A 0, 667,254, 48,127, 699,254, 21,10", false},
      {"31 down", "A 0, 667,254, 48,127, 699,254, 3,31", false},
      {"20 by 30 is the largest grid", "A 0, 10,10, 0,0, 10,10, 20,30", true},
      {"in hundredths of an inch", "A 0, 263,100, 19,50, 275,100, 3,10 in", true},
      {"another unit", "A 0, 263,100, 19,50, 275,100, 3,10 mm", false},
      {"40 inches is the most", "A 0, 4000,100, 0,0, 4000,100, 1,1 in", true},
      {"41 inches", "A 0, 4100,100, 0,0, 4100,100, 1,1 in", false},
  };
  for (const Row& r : rows) EXPECT_EQ(parseLabelLine(r.line).has_value(), r.parses) << r.what;
}

TEST(LabelFormats, sampleLineShowsItsGapsAndName) {
  const LabelFormat f = *parseLabelLine("Sample;Sheet 0, 667,254, 48,127, 699,254, 3,10");
  EXPECT_EQ(labelDisplayName(f.name), "Sample Sheet");
  EXPECT_NEAR(lengthInInches(f.width, f.unit), 2.63, 0.005);
  EXPECT_NEAR(lengthInInches(f.horizontalGap(), f.unit), 0.13, 0.005);
  EXPECT_EQ(f.verticalGap(), 0);
  // A pitch smaller than the label gives no gap, never a negative one.
  EXPECT_EQ(parseLabelLine("S 0, 667,254, 48,127, 600,200, 3,10")->horizontalGap(), 0);
  EXPECT_EQ(parseLabelLine("S 0, 667,254, 48,127, 600,200, 3,10")->verticalGap(), 0);
  // Written back as the program writes new lines.
  EXPECT_EQ(labelLine(f), "Sample;Sheet 0, 667,254, 48,127, 699,254, 3,10");
}

TEST(LabelFormats, namesAreCutAt49Characters) {
  const std::string name(60, 'N');
  const LabelFormat f = *parseLabelLine(name + " 0, 667,254, 48,127, 699,254, 3,10");
  EXPECT_EQ(f.name.size(), 49u);
}

TEST(LabelFormats, shortBlankAndIndentedLinesAreDropped) {
  const std::string bytes =
      "First;Label 0, 667,254, 48,127, 699,254, 3,10\r\n"
      "\n"
      "abcde\n"                   // 5 characters
      "            \n"                 // blanks only
      "\t\ttabbed 0, 1,1,1,1,1,1,1,1\n"  // a control character sorts before a blank
      "damaged line that stays\n"  // kept as written, never listed
      "Last 2, 100,100, 0,0, 100,100, 1,1";
  const std::vector<std::string> lines = parseLabelsDat(bytes);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "First;Label 0, 667,254, 48,127, 699,254, 3,10");
  EXPECT_EQ(lines[2], "Last 2, 100,100, 0,0, 100,100, 1,1");
  EXPECT_EQ(labelsDatBytes(lines),
            "First;Label 0, 667,254, 48,127, 699,254, 3,10\n"
            "damaged line that stays\nLast 2, 100,100, 0,0, 100,100, 1,1\n");
  EXPECT_EQ(LabelCatalogue(lines).filter(0, 0).size(), 1u);
}

TEST(LabelFormats, typeFilterMatchesCaseForCase) {
  const LabelCatalogue catalogue({
      "big;Address;Labels 0, 667,254, 48,127, 699,254, 3,10",
      "address;labels 0, 667,254, 48,127, 699,254, 3,10",
      "Shipping;Labels 0, 1016,508, 40,127, 1064,508, 2,5",
      "A4;Address 1, 635,381, 72,152, 660,381, 3,7",
  });
  struct Row {
    int product, type;
    std::vector<int> lines;
  };
  const Row rows[] = {
      {0, 0, {0, 1, 2}},
      {0, 1, {0}},  // "address;labels" is not an Address format
      {0, 2, {2}},
      {1, 1, {3}},
      {2, 0, {}},
  };
  for (const Row& r : rows) {
    std::vector<int> got;
    for (const auto& row : catalogue.filter(r.product, r.type)) got.push_back(row.line);
    EXPECT_EQ(got, r.lines) << r.product << "/" << r.type;
  }
}

TEST(LabelFormats, editsPutTheirLineFirstAndRefuseTakenNamesAndBadSizes) {
  LabelCatalogue catalogue({"Alpha;Sheet 0, 667,254, 48,127, 699,254, 3,10",
                            "Beta 0, 1016,508, 40,127, 1064,508, 2,5"});
  const auto shown = catalogue.filter(0, 0);
  LabelFormat f{"ALPHA SHEET", 0, 500, 250, 50, 100, 520, 250, 3, 10};
  // The same name as "Alpha Sheet", letter case aside, is taken; one it only begins
  // ("alpha") is a sheet of its own (imported templates showed both kinds).
  EXPECT_EQ(catalogue.add(f, shown), LabelCatalogue::EditResult::NameTaken);
  EXPECT_FALSE(catalogue.modified());
  {
    LabelCatalogue other = catalogue;
    f.name = "alpha";
    EXPECT_EQ(other.add(f, shown), LabelCatalogue::EditResult::Done);
  }
  f.name = "Gamma Sheet";
  f.across = 21;
  EXPECT_EQ(catalogue.add(f, shown), LabelCatalogue::EditResult::Unusable);
  f.across = 3;
  EXPECT_EQ(catalogue.add(f, shown), LabelCatalogue::EditResult::Done);
  EXPECT_EQ(catalogue.lines().front(), "Gamma;Sheet 0, 500,250, 50,100, 520,250, 3,10");
  // Changing Beta (now line 2) moves it to the top.
  f.name = "Beta";
  f.width = 900;
  EXPECT_EQ(catalogue.change(2, f), LabelCatalogue::EditResult::Done);
  EXPECT_EQ(catalogue.lines(),
            (std::vector<std::string>{"Beta 0, 900,250, 50,100, 520,250, 3,10",
                                      "Gamma;Sheet 0, 500,250, 50,100, 520,250, 3,10",
                                      "Alpha;Sheet 0, 667,254, 48,127, 699,254, 3,10"}));
  f.height = 0;
  EXPECT_EQ(catalogue.change(0, f), LabelCatalogue::EditResult::Unusable);
  EXPECT_EQ(catalogue.remove(1), LabelCatalogue::EditResult::Done);
  EXPECT_EQ(catalogue.remove(5), LabelCatalogue::EditResult::NoRow);
  EXPECT_EQ(catalogue.lines().size(), 2u);
  EXPECT_TRUE(catalogue.modified());
}

TEST(LabelFormats, storedChoiceFallsBackToTheFirstUsableFormat) {
  const std::vector<std::string> catalogue{"damaged", "Beta 0, 1016,508, 40,127, 1064,508, 2,5"};
  const LabelDimensions beta{1016, 508, 40, 127, 48, 0, 2, 5};
  struct Row {
    const char* what;
    const char* value;
    LabelDimensions expected;
  };
  const Row rows[] = {
      {"the default", "668,254,48,127,31,0,3,10", LabelDimensions{}},
      {"seven numbers", "668,254,48,127,31,0,3", beta},
      {"0 across", "668,254,48,127,31,0,0,10", beta},
      {"a negative gap", "668,254,48,127,-31,0,3,10", beta},
      {"31 down", "668,254,48,127,31,0,3,31", beta},
      {"hundredths of an inch", "263,100,19,50,12,0,3,10,in",
       LabelDimensions{263, 100, 19, 50, 12, 0, 3, 10, LabelUnit::HundredthInch}},
      {"text after the numbers", "668,254,48,127,31,0,3,10,x", LabelDimensions{}},
  };
  for (const Row& r : rows) EXPECT_EQ(labelDimensionsOrFirst(r.value, catalogue), r.expected) << r.what;
  EXPECT_EQ(labelDimensionsOrFirst("x", {}), LabelDimensions{});
  EXPECT_EQ(formatLabelDimensions(beta), "1016,508,40,127,48,0,2,5");
  const auto inches = parseLabelLine("A 0, 263,100, 19,50, 275,100, 3,10 in");
  EXPECT_EQ(formatLabelDimensions(dimensionsOf(*inches)), "263,100,19,50,12,0,3,10,in");
}

// The catalogue shipped beside the program: real sheets, each in its product, each fits
// its sheet, names unique.
TEST(LabelFormats, shippedCatalogueFitsItsSheets) {
  const std::vector<std::string> lines = readLabelsDat(MERVANE_LABELS_DAT);
  ASSERT_GE(lines.size(), 100u);
  std::set<std::string> names;
  int perProduct[3] = {};
  for (const std::string& line : lines) {
    const std::optional<LabelFormat> f = parseLabelLine(line);
    ASSERT_TRUE(f) << line;
    EXPECT_TRUE(labelFormatFitsSheet(*f)) << line;
    EXPECT_TRUE(names.insert(f->name).second) << "twice: " << line;
    ASSERT_GE(f->product, 0);
    ASSERT_LE(f->product, 2);
    ++perProduct[f->product];
    // The US sheets are letter, the A4 sheets are A4.
    const bool a4Name = f->name.find(";L7") != std::string::npos ||
                        f->name.find(";J8") != std::string::npos;
    EXPECT_EQ(a4Name, f->product == 1) << line;
  }
  EXPECT_GT(perProduct[0], 50);
  EXPECT_GT(perProduct[1], 20);
  EXPECT_GT(perProduct[2], 0);
  // The default row (ID 3 of Standard, All) is a 3 x 10 address sheet like the default
  // settings.
  const auto rows = LabelCatalogue(lines).filter(0, 0);
  ASSERT_GT(rows.size(), 3u);
  EXPECT_EQ(dimensionsOf(rows[3].format).across, 3);
  EXPECT_EQ(dimensionsOf(rows[3].format).down, 10);
  for (const char* family : {"5160", "5161", "5162", "5163", "5164", "5167", "5195", "L7160",
                             "L7161", "L7162", "L7163", "L7165", "L7651"}) {
    const std::string prefix = std::string("Avery;") + family + ";";
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& n) {
      return n.rfind(prefix, 0) == 0;
    })) << family;
  }
}

TEST(LabelFormats, addressAndShippingSheetsSayWhatTheyAre) {
  const LabelCatalogue catalogue(readLabelsDat(MERVANE_LABELS_DAT));
  EXPECT_GE(catalogue.filter(0, 1).size(), 30u);
  EXPECT_GE(catalogue.filter(0, 2).size(), 20u);
  EXPECT_GE(catalogue.filter(1, 1).size(), 15u);
  EXPECT_GE(catalogue.filter(1, 2).size(), 10u);
}

TEST(LabelFormats, aNameWithATabOrLineBreakStillReadsBack) {
  LabelFormat f{"", 0, 667, 254, 48, 127, 699, 254, 3, 10};
  f.name = labelStoredName("Pasted\tname\nhere");
  const std::optional<LabelFormat> back = parseLabelLine(labelLine(f));
  ASSERT_TRUE(back);
  EXPECT_EQ(labelDisplayName(back->name), "Pasted name here");
}

}  // namespace
}  // namespace mv
