#include "settings/Profile.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

// A file as a user leaves it after editing it by hand in a Windows editor.
const std::string kHandEdited =
    "; settings of Mervane\r\n"
    "stray=outside any section\r\n"
    "\r\n"
    "[customize]\r\n"
    "  zoom = 90  \r\n"
    "; the page font\r\n"
    "FONT=Times New Roman\r\n"
    "Quoted=\"  padded  \"\r\n"
    "\r\n"
    "[Other]\r\n"
    "Zoom=10\r\n";

class ProfileTest : public ::testing::Test {
 protected:
  test::TestDir dir;
  std::filesystem::path ini = dir / "mervane.ini";
};

TEST_F(ProfileTest, readsAHandEditedFile) {
  test::writeFile(ini, kHandEdited);
  const Profile p(ini, "Customize");
  EXPECT_EQ(p.readInt("Zoom", 80), 90);  // odd case of section and key, blanks, CR LF
  EXPECT_EQ(p.readString("Font", "Arial", 30), "Times New Roman");
  EXPECT_EQ(p.readString("quoted", "", 30), "  padded  ");  // quotes keep inner blanks
  EXPECT_EQ(p.readString("stray", "none", 30), "none");    // keys outside sections belong nowhere
  EXPECT_EQ(p.readInt("Missing", 7), 7);
  EXPECT_EQ(Profile(ini, "other").readInt("zoom", 0), 10);
  EXPECT_EQ(p.keys(), (std::vector<std::string>{"zoom", "FONT", "Quoted"}));
}

TEST_F(ProfileTest, bareCarriageReturnsEndLinesToo) {
  // The same file as saved by an editor that ends lines in CR alone.
  std::string crOnly;
  for (const char c : kHandEdited)
    if (c != '\n') crOnly += c;
  test::writeFile(ini, crOnly);
  Profile p(ini, "Customize");
  EXPECT_EQ(p.readInt("Zoom", 80), 90);
  EXPECT_EQ(p.readString("Font", "Arial", 30), "Times New Roman");
  EXPECT_EQ(Profile(ini, "other").readInt("zoom", 0), 10);
  // A key written now goes into its own section, not after the last header.
  ASSERT_TRUE(p.writeString("BaseColor", "1,2,3"));
  EXPECT_EQ(p.readString("BaseColor", "", 30), "1,2,3");
  EXPECT_FALSE(Profile(ini, "Other").hasKey("BaseColor"));
  EXPECT_EQ(Profile(ini, "other").readInt("zoom", 0), 10);
}

TEST_F(ProfileTest, missingFileGivesDefaultsAndWritingCreatesIt) {
  Profile p(ini, "Customize");
  EXPECT_EQ(p.readString("Font", "Arial", 30), "Arial");
  EXPECT_EQ(p.readInt("Zoom", 80), 80);
  ASSERT_TRUE(p.writeInt("Zoom", 75));
  ASSERT_TRUE(Profile(ini, "MRU").writeString("MRU0", "c:\\a.adr"));
  EXPECT_EQ(test::readFile(ini), "[Customize]\nZoom=75\n\n[MRU]\nMRU0=c:\\a.adr\n");
}

TEST_F(ProfileTest, writingKeepsEveryOtherLineInPlace) {
  test::writeFile(ini, kHandEdited);
  Profile p(ini, "Customize");
  ASSERT_TRUE(p.writeInt("Zoom", 120));        // replaced where it stands, in our spelling
  ASSERT_TRUE(p.writeString("BaseColor", "1,2,3"));  // added after the section's last line
  EXPECT_EQ(test::readFile(ini),
            "; settings of Mervane\n"
            "stray=outside any section\n"
            "\n"
            "[customize]\n"
            "Zoom=120\n"
            "; the page font\n"
            "FONT=Times New Roman\n"
            "Quoted=\"  padded  \"\n"
            "BaseColor=1,2,3\n"
            "\n"
            "[Other]\n"
            "Zoom=10\n");
}

TEST_F(ProfileTest, valuesAreCutToTheirBuffer) {
  Profile p(ini, "S");
  ASSERT_TRUE(p.writeString("Face", "Bookman Old Style"));
  EXPECT_EQ(p.readString("Face", "", 8), "Bookman");  // 7 characters and the terminator
  EXPECT_EQ(p.readString("None", "Arial Narrow", 6), "Arial");  // defaults are cut too
}

TEST_F(ProfileTest, integersComeFromTheirLeadingDigits) {
  struct Row {
    const char* text;
    int value;
  };
  const Row rows[] = {
      {"42", 42},          {"-5", -5},      {"  17  ", 17},
      {"12abc", 12},       {"abc", 0},      // no digits at all
      {"", 0},             {"-", 0},        {"99999999999", 2147483647},  // held at the int limit
      {"3.9", 3},          // no rounding
  };
  for (const auto& r : rows) EXPECT_EQ(Profile::leadingInt(r.text), r.value) << r.text;
  EXPECT_EQ(parseIntList("300,-1,12"), (std::vector<int>{300, -1, 12}));
  EXPECT_EQ(parseIntList("1, 2,,x"), (std::vector<int>{1, 2, 0, 0}));
}

TEST_F(ProfileTest, aValueCannotBreakTheFileIntoNewLines) {
  Profile p(ini, "Heading");
  ASSERT_TRUE(p.writeString("Text", "first\r\n[Evil]\nKey=1"));
  EXPECT_FALSE(Profile(ini, "Evil").hasKey("Key"));
  EXPECT_EQ(p.keys(), std::vector<std::string>{"Text"});
}

TEST_F(ProfileTest, windows1252TextPassesUnchanged) {
  Profile p(ini, "Heading");
  ASSERT_TRUE(p.writeString("Text", "Caf\xE9 M\xFCller \x80"));
  EXPECT_EQ(p.readString("Text", "", 149), "Caf\xE9 M\xFCller \x80");
  EXPECT_EQ(Profile(ini, "HEADING").readString("TEXT", "", 149), "Caf\xE9 M\xFCller \x80");
}

}  // namespace
}  // namespace mv
