// The heading and footnote records and the label/envelope fonts of section Font.
#include "settings/FontSpec.h"
#include "settings/PageText.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

class PageTextTest : public ::testing::Test {
 protected:
  test::TestDir dir;
  std::filesystem::path ini = dir / "mervane.ini";
};

TEST_F(PageTextTest, missingSectionsGiveTheDefaults) {
  const PageText heading = readPageText(ini, PageTextKind::Heading);
  const PageText footnote = readPageText(ini, PageTextKind::Footnote);
  EXPECT_EQ(heading.align, 1);  // centred
  EXPECT_EQ(footnote.align, 0);
  for (const PageText& t : {heading, footnote}) {
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.face, "Arial");
    EXPECT_EQ(t.height, 15);
    EXPECT_EQ(t.weight + t.italic + t.strikeOut + t.underline, 0);
    EXPECT_EQ(t.color, (Rgb{0, 0, 0}));
  }
}

TEST_F(PageTextTest, roundTripsInItsKeyOrder) {
  PageText footnote;
  footnote.text = "Printed for the club \xE9t\xE9 2026";
  footnote.align = 2;
  footnote.face = "Liberation Serif";
  footnote.height = -13;
  footnote.weight = 700;
  footnote.italic = 1;
  footnote.underline = 1;
  footnote.color = {0, 0, 128};
  ASSERT_TRUE(writePageText(ini, PageTextKind::Footnote, footnote));
  EXPECT_EQ(test::readFile(ini),
            "[Footnote]\n"
            "Align=2\n"
            "Text=Printed for the club \xE9t\xE9 2026\n"
            "Font Face=Liberation Serif\n"
            "Font Attrib=-13,700,1,0,1\n"
            "Color=0,0,128\n");
  EXPECT_EQ(readPageText(ini, PageTextKind::Footnote), footnote);
  EXPECT_EQ(readPageText(ini, PageTextKind::Heading), defaultPageText(PageTextKind::Heading));
}

TEST_F(PageTextTest, longValuesAreCutToTheirBuffers) {
  PageText heading = defaultPageText(PageTextKind::Heading);
  heading.text = std::string(200, 'x');
  heading.face = std::string(60, 'f');
  ASSERT_TRUE(writePageText(ini, PageTextKind::Heading, heading));
  const PageText back = readPageText(ini, PageTextKind::Heading);
  EXPECT_EQ(back.text.size(), 148u);
  EXPECT_EQ(back.face.size(), 48u);
}

TEST(FontSpec, parsesAttributesColourAndFace) {
  struct Row {
    const char* value;
    FontSpec expected;
  };
  const Row rows[] = {
      // "Default" in any case means the page font face.
      {"10,700,1,0,0, 255,0,0, &<<Default", {10, 700, 1, 0, 0, {255, 0, 0}, "Times New Roman"}},
      {"12,400,0,0,0, 0,0,0, &<<default", {12, 400, 0, 0, 0, {0, 0, 0}, "Times New Roman"}},
      // An empty face and a value without the marker also mean the page face.
      {"9,400,0,1,1, 0,0,0, &<<", {9, 400, 0, 1, 1, {0, 0, 0}, "Times New Roman"}},
      {"9,400,0,0,0, 0,0,0", {9, 400, 0, 0, 0, {0, 0, 0}, "Times New Roman"}},
      // The face is everything after the first marker, blanks and markers included.
      {"8,400,0,0,0, 1,2,3, &<<Courier New&<<x", {8, 400, 0, 0, 0, {1, 2, 3}, "Courier New&<<x"}},
      // A height or weight no font has (its sums overflowed): the default.
      {"2147483647,400,0,0,0, 0,0,0, &<<Arial", {0, 400, 0, 0, 0, {0, 0, 0}, "Arial"}},
      {"-1001,-5,0,0,0, 0,0,0, &<<Arial", {0, 0, 0, 0, 0, {0, 0, 0}, "Arial"}},
  };
  for (const auto& r : rows) EXPECT_EQ(parseFontSpec(r.value, "Times New Roman"), r.expected) << r.value;
}

TEST_F(PageTextTest, fontSectionKeysReadAndWrite) {
  // Missing key: 12-high normal black in the page face.
  EXPECT_EQ(readFontSpec(ini, "Labels", "Arial"), (FontSpec{12, 400, 0, 0, 0, {0, 0, 0}, "Arial"}));

  const FontSpec bold{-11, 700, 0, 0, 0, {0, 128, 0}, "Liberation Sans"};
  ASSERT_TRUE(writeFontSpec(ini, "Return Address", bold));
  EXPECT_EQ(test::readFile(ini), "[Font]\nReturn Address=-11,700,0,0,0, 0,128,0, &<<Liberation Sans\n");
  EXPECT_EQ(readFontSpec(ini, "return address", "Arial"), bold);

  FontSpec longFace = bold;
  longFace.face = std::string(120, 'z');
  EXPECT_EQ(formatFontSpec(longFace).size(), 99u);  // the value fits its 100-character buffer
}

}  // namespace
}  // namespace mv
