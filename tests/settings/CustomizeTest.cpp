#include "settings/Customize.h"

#include "platform/Paths.h"
#include "settings/PageText.h"
#include "settings/Profile.h"
#include "settings/SettingsFiles.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

class CustomizeTest : public ::testing::Test {
 protected:
  CustomizeSettings readWith(const std::string& lines) {
    test::writeFile(ini, "[Customize]\n" + lines);
    return readCustomize(ini);
  }
  test::TestDir dir;
  std::filesystem::path ini = dir / "mervane.ini";
};

TEST_F(CustomizeTest, missingFileGivesTheDefaults) {
  const CustomizeSettings s = readCustomize(ini);
  EXPECT_FALSE(s.labelUseTextOut);
  EXPECT_FALSE(s.hasWebBrowser);
  EXPECT_FALSE(s.cardMaximizeAddress);
  EXPECT_EQ(s.headingY1, 40);
  EXPECT_TRUE(s.forceNoBanding);
  EXPECT_TRUE(s.restoreDc);
  EXPECT_EQ(s.lang, 0);
  EXPECT_EQ(s.font, "Arial");
  EXPECT_EQ(s.baseColor, (Rgb{0, 0, 0}));
  EXPECT_EQ(s.cardSort, 0);
  EXPECT_EQ(s.format, 1076);
  EXPECT_DOUBLE_EQ(s.zoom, 0.8);
  EXPECT_EQ(s.hookHttp + s.hookEMail + s.hookNews + s.hookFtp + s.hookRtf + s.hookTxt, 6);
  EXPECT_EQ(s.textoutYOffset, 0);
  EXPECT_EQ(s.frameSize, "-4,-4,0,0");
}

TEST_F(CustomizeTest, zoomOutsideItsRangeFallsBackTo80Percent) {
  struct Row {
    const char* value;
    double zoom;
  };
  const Row rows[] = {
      {"20", 0.8},    // 0.2 is below 0.3
      {"30", 0.3},    // lower limit kept
      {"150", 1.5},   // upper limit kept
      {"151", 0.8},   // above 1.5
      {"-100", 0.8},
      {"abc", 0.8},   // reads as 0
  };
  for (const auto& r : rows)
    EXPECT_DOUBLE_EQ(readWith(std::string("Zoom=") + r.value + "\n").zoom, r.zoom) << r.value;
}

TEST_F(CustomizeTest, valuesAreBroughtIntoTheirRanges) {
  struct Row {
    const char* line;
    int CustomizeSettings::*member;
    int expected;
  };
  const Row rows[] = {
      {"Format=1081", &CustomizeSettings::format, 1076},
      {"Format=1073", &CustomizeSettings::format, 1076},
      {"Format=1080", &CustomizeSettings::format, 1080},  // Labels is a layout of its own
      {"Card_Sort=3", &CustomizeSettings::cardSort, 0},
      {"Card_Sort=-1", &CustomizeSettings::cardSort, 0},
      {"Card_Sort=2", &CustomizeSettings::cardSort, 2},
      {"Lang=21", &CustomizeSettings::lang, 0},
      {"Lang=20", &CustomizeSettings::lang, 20},
      {"HEADING_Y1=500", &CustomizeSettings::headingY1, 500},       // any value drawing takes
      {"TEXTOUT_YOFFSET=-9", &CustomizeSettings::textoutYOffset, -9},  // likewise
      // Beyond what drawing can take (the sums overflowed): the default.
      {"HEADING_Y1=2147483647", &CustomizeSettings::headingY1, 40},
      {"TEXTOUT_YOFFSET=-2147483648", &CustomizeSettings::textoutYOffset, 0},
      {"HookRTF=7", &CustomizeSettings::hookRtf, 7},                // hooks are not flags
  };
  for (const auto& r : rows) EXPECT_EQ(readWith(std::string(r.line) + "\n").*r.member, r.expected) << r.line;

  const CustomizeSettings flags = readWith(
      "Label_Use_TextOut=5\nCard_Maximize_Address=-1\nFORCE_NOBANDING=0\nRESTORE_DC=0\n");
  EXPECT_TRUE(flags.labelUseTextOut);  // non-zero is 1
  EXPECT_TRUE(flags.cardMaximizeAddress);
  EXPECT_FALSE(flags.forceNoBanding);
  EXPECT_FALSE(flags.restoreDc);
}

TEST_F(CustomizeTest, colourComponentsOutsideTheByteBecome255) {
  EXPECT_EQ(readWith("BaseColor=300,-1,12\n").baseColor, (Rgb{255, 255, 12}));
  EXPECT_EQ(parseColor("0,128,255", true), (Rgb{0, 128, 255}));
  EXPECT_EQ(parseColor("7", true), (Rgb{7, 0, 0}));  // missing components are 0
  EXPECT_EQ(formatColor({255, 255, 12}), "255,255,12");
}

TEST_F(CustomizeTest, stringsAreCutToTheirBuffers) {
  const CustomizeSettings s = readWith(
      "Font=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh\n"
      "FrameSize=1,2,3,4                                                 x\n");
  EXPECT_EQ(s.font, "ABCDEFGHIJKLMNOPQRSTUVWXYZabc");  // 29 characters
  EXPECT_EQ(s.frameSize.size(), 49u);
}

TEST_F(CustomizeTest, writesBackInItsOwnOrderAndOnlyTheKeysItOwns) {
  CustomizeSettings s;
  s.labelUseTextOut = true;  // written by the printing-problems dialog, not here
  s.lang = 3;                // never written
  s.cardMaximizeAddress = true;
  s.headingY1 = 30;
  s.textoutYOffset = -2;
  s.hookFtp = 0;
  s.font = "Times New Roman";
  s.baseColor = {255, 0, 10};
  s.zoom = 0.57;  // held as 0.5699999...: must still store 57
  s.format = 1080;
  s.cardSort = 2;
  ASSERT_TRUE(writeCustomize(ini, s));
  EXPECT_EQ(test::readFile(ini),
            "[Customize]\n"
            "Card_Maximize_Address=1\n"
            "HEADING_Y1=30\n"
            "FORCE_NOBANDING=1\n"
            "RESTORE_DC=1\n"
            "TEXTOUT_YOFFSET=-2\n"
            "HookHTTP=1\n"
            "HookEMail=1\n"
            "HookFTP=0\n"
            "HookNews=1\n"
            "HookTXT=1\n"
            "HookRTF=1\n"
            "Font=Times New Roman\n"
            "BaseColor=255,0,10\n"
            "Zoom=57\n"
            "Format=1080\n"
            "Card_Sort=2\n");
}

TEST_F(CustomizeTest, zoomIsStoredAsTruncatedPercentWithoutDrift) {
  EXPECT_EQ(zoomPercent(0.805), 80);  // truncated, not rounded
  EXPECT_EQ(zoomPercent(1.5), 150);
  for (int percent = 30; percent <= 150; ++percent)
    EXPECT_EQ(zoomPercent(percent / 100.0), percent) << percent;  // a read-write cycle keeps it
}

TEST_F(CustomizeTest, writingBackKeepsTheUsersOtherKeys) {
  test::writeFile(ini, "[Customize]\nHasWebBrowser=1\nLang=4\nZoom=100\n");
  CustomizeSettings s = readCustomize(ini);
  s.zoom = 1.2;
  ASSERT_TRUE(writeCustomize(ini, s));
  const CustomizeSettings again = readCustomize(ini);
  EXPECT_TRUE(again.hasWebBrowser);
  EXPECT_EQ(again.lang, 4);
  EXPECT_DOUBLE_EQ(again.zoom, 1.2);
  EXPECT_EQ(test::readFile(ini).rfind("[Customize]\nHasWebBrowser=1\nLang=4\nZoom=120\n", 0), 0u);
}

TEST_F(CustomizeTest, frameSizeRoundTripsAndIsWrittenOnItsOwn) {
  EXPECT_EQ(parseFrameSize("-4,-4,0,0"), (FrameRect{-4, -4, 0, 0}));
  EXPECT_EQ(parseFrameSize("10, 20,640,480"), (FrameRect{10, 20, 640, 480}));
  EXPECT_EQ(formatFrameSize({3000, 2, 800, 600}), "3000,2,800,600");
  ASSERT_TRUE(writeFrameSize(ini, {5, 6, 700, 500}));
  EXPECT_EQ(test::readFile(ini), "[Customize]\nFrameSize=5,6,700,500\n");
  EXPECT_EQ(readCustomize(ini).frameSize, "5,6,700,500");
}

TEST_F(CustomizeTest, exitWritesCustomizeFootnoteHeadingThenMvDir) {
  setProgramDirForTesting(dir.path());
  setWindowsDirForTesting(dir.path() / "win");
  std::filesystem::create_directories(dir.path() / "win");
  PageText heading = defaultPageText(PageTextKind::Heading);
  heading.text = "Friends";
  const PageText footnote = defaultPageText(PageTextKind::Footnote);
  ASSERT_TRUE(writeSettingsAtExit(CustomizeSettings{}, heading, footnote, "/home/ann/books"));

  const std::string text = test::readFile(mervaneIni());
  const size_t customize = text.find("[Customize]");
  const size_t foot = text.find("[Footnote]");
  const size_t head = text.find("[Heading]");
  EXPECT_LT(customize, foot);
  EXPECT_LT(foot, head);
  EXPECT_NE(head, std::string::npos);
  EXPECT_EQ(readPageText(mervaneIni(), PageTextKind::Heading), heading);
  EXPECT_EQ(test::readFile(quorvelIni()), "[Tolvex]\nMVDIR=/home/ann/books\n");
}

}  // namespace
}  // namespace mv
