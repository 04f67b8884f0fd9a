// The Page Settings rules: units, arrow boxes, checks and fallbacks on OK, the sheet a
// page fits, two on one, and the PageSetup keys.
#include "printing/PageSettings.h"

#include "support/ScriptedPrompter.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

const std::vector<PaperRow> kRows{
    {2159, 2794, 0, 1, 0, 0, "Letter 8.5 x 11 in"},
    {2100, 2970, 0, 9, 0, 0, "A4 210 x 297 mm"},
    {0, 0, 0, -1, 0, 0, "Custom"},
};
constexpr int kLetterRow = 0;
constexpr int kCustomRow = 2;

struct DialogRun {
  test::TestDir dir;
  ScriptedPrompter prompter;
  PageGeometry geometry;
  PrinterPaper printer;
  std::filesystem::path ini() const { return dir / "mervane.ini"; }
  DialogRun() { geometry.twoOnOneAllowed = true; }
};

PageSetupValues custom(int width, int height, bool inch = true) {
  PageSetupValues v;
  v.comboIndex = kCustomRow;
  v.paperWidth = width;
  v.paperHeight = height;
  v.inch = inch;
  return v;
}

TEST(PageSettings, fourBySixTwoOnOneFitsLetter) {
  DialogRun run;
  PageSetupValues stored = custom(1016, 1524);
  stored.twoOnOne = true;
  PageSettingsForm form(kRows, stored, run.printer);
  form.open(run.prompter);
  EXPECT_EQ(form.boxText(PageBox::Width), "4.00");
  EXPECT_EQ(form.sheetHint(), "[Sheet Size: atleast 6.00x8.00]");
  ASSERT_EQ(form.confirmAsShown(run.prompter, run.geometry, run.printer, run.ini()),
            PageSettingsForm::Outcome::Closed);
  EXPECT_TRUE(run.prompter.shown().empty());
  EXPECT_EQ(run.geometry.sheetCode, 1);
  EXPECT_DOUBLE_EQ(run.geometry.widthFraction, 1016.0 / 2159);
  EXPECT_DOUBLE_EQ(run.geometry.lengthFraction, 1524.0 / 2794);
  EXPECT_TRUE(run.geometry.twoOnOneActive());
  EXPECT_EQ(run.printer.code, 1);
  // Every key, in the order written.
  EXPECT_EQ(test::readFile(run.ini()),
            "[PageSetup]\nPaperWidth=1016\nPaperHeight=1524\nprint2on1sheet=1\nComboIndex=2\n"
            "Left=0\nTop=0\nMirror=0\nLeft_Mirror=0\nlayoutGap=0\nInch=1\n");
  EXPECT_EQ(readPageSetup(run.ini()), [&] {
    PageSetupValues v = stored;
    return v;
  }());
}

TEST(PageSettings, letterTwoOnOneAsksForNormalPrinting) {
  DialogRun run;
  PageSetupValues stored;
  stored.twoOnOne = true;
  PageSettingsForm form(kRows, stored, run.printer);
  form.open(run.prompter);
  EXPECT_EQ(form.sheetHint(), "Try a smaller paper for this option!");

  run.prompter.answer(Answer::No);
  EXPECT_EQ(form.confirmAsShown(run.prompter, run.geometry, run.printer, run.ini()),
            PageSettingsForm::Outcome::StaysOpen);
  ASSERT_EQ(run.prompter.shown().size(), 1u);
  const Message& asked = run.prompter.last();
  EXPECT_EQ(asked.text, kTooLargeForTwoOnOne);
  EXPECT_EQ(asked.caption, "Mervane");
  EXPECT_EQ(asked.icon, Icon::Question);
  EXPECT_EQ(asked.buttons, Buttons::YesNo);
  EXPECT_EQ(asked.defaultButton, Answer::No);
  EXPECT_TRUE(form.twoOnOne());
  EXPECT_EQ(run.geometry, [] {
    PageGeometry untouched;
    untouched.twoOnOneAllowed = true;
    return untouched;
  }());
  EXPECT_FALSE(std::filesystem::exists(run.ini()));

  run.prompter.answer(Answer::Yes);  // change to normal printing; the dialog stays open
  EXPECT_EQ(form.confirmAsShown(run.prompter, run.geometry, run.printer, run.ini()),
            PageSettingsForm::Outcome::StaysOpen);
  EXPECT_FALSE(form.twoOnOne());
  EXPECT_EQ(form.confirmAsShown(run.prompter, run.geometry, run.printer, run.ini()),
            PageSettingsForm::Outcome::Closed);
  EXPECT_EQ(run.geometry.sheetCode, 1);
  EXPECT_FALSE(run.geometry.twoOnOne);
}

TEST(PageSettings, rangeChecksOnOk) {
  struct Row {
    const char* what;
    std::array<std::string, kPageBoxCount> typed;  // millimetres
    std::array<double, kPageBoxCount> expected;    // tenths of a millimetre
  };
  const Row rows[] = {
      {"all in range", {"100", "150", "5", "10", "-5", "3"}, {1000, 1500, 50, 100, -50, 30}},
      {"top at half the width falls back", {"100", "150", "0", "50", "0", "0"},
       {1000, 1500, 0, 0, 0, 0}},
      {"top just below half the width stays", {"100", "150", "0", "49.9", "0", "0"},
       {1000, 1500, 0, 499, 0, 0}},
      {"top held to half the corrected width", {"300", "150", "0", "120", "0", "0"},
       {2159, 1500, 0, 0, 0, 0}},
      {"margins at the open ends fall back", {"100", "150", "-25.4", "-25.4", "152.4", "0"},
       {1000, 1500, 0, 0, 0, 0}},
      {"width and length at the ends", {"76.2", "457.2", "0", "0", "0", "0"},
       {2159, 2794, 0, 0, 0, 0}},
      {"typed text that is no number counts 0, then the printer's size", {"abc", "150", "x", "", "", ""},
       {2159, 2794, 0, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    DialogRun run;
    PageSettingsForm form(kRows, custom(1000, 1500, false), run.printer);
    form.open(run.prompter);
    form.confirm(r.typed, run.prompter, run.geometry, run.printer, run.ini());
    for (int b = 0; b < kPageBoxCount; ++b)
      EXPECT_EQ(form.value(static_cast<PageBox>(b)), r.expected[static_cast<size_t>(b)])
          << r.what << " box " << b;
  }
}

TEST(PageSettings, customSizes) {
  {  // 150 x 150 mm, typed in millimetres: stored as the custom size
    DialogRun run;
    PageSettingsForm form(kRows, custom(2159, 2794, false), run.printer);
    form.open(run.prompter);
    ASSERT_EQ(form.confirm({"150", "150", "10", "20", "0", "0"}, run.prompter, run.geometry,
                           run.printer, run.ini()),
              PageSettingsForm::Outcome::Closed);
    EXPECT_TRUE(run.prompter.shown().empty());
    EXPECT_EQ(run.geometry.sheetCode, 1);
    EXPECT_DOUBLE_EQ(run.geometry.widthFraction, 1500.0 / 2159);
    EXPECT_DOUBLE_EQ(run.geometry.leftFraction, 100.0 / 2159);
    EXPECT_DOUBLE_EQ(run.geometry.topFraction, 200.0 / 2794);
    const PageSetupValues saved = readPageSetup(run.ini());
    EXPECT_EQ(saved.paperWidth, 1500);
    EXPECT_EQ(saved.paperHeight, 1500);
    EXPECT_FALSE(saved.inch);
  }
  {  // a stored custom size under 2 cm is shown as the printer's paper
    DialogRun run;
    run.printer = {9, 2100, 2970};
    PageSettingsForm form(kRows, custom(150, 150, false), run.printer);
    form.open(run.prompter);
    EXPECT_EQ(form.boxText(PageBox::Width), "210.00");
    EXPECT_EQ(form.boxText(PageBox::Length), "297.00");
    EXPECT_EQ(form.sheetHint(), "Try a smaller paper for this option!");
    // Typed too small on OK: the printer's size, with a message; A4 is kept.
    ASSERT_EQ(form.confirm({"15", "15", "0", "0", "0", "0"}, run.prompter, run.geometry,
                           run.printer, run.ini()),
              PageSettingsForm::Outcome::Closed);
    EXPECT_EQ(run.prompter.last().text, kSizeWasReset);
    EXPECT_EQ(run.geometry.sheetCode, 9);
    EXPECT_DOUBLE_EQ(run.geometry.widthFraction, 1.0);
  }
  {  // a fixed row keeps the custom size read at opening
    DialogRun run;
    PageSetupValues stored = custom(1234, 1500);
    stored.comboIndex = kLetterRow;
    PageSettingsForm form(kRows, stored, run.printer);
    form.open(run.prompter);
    form.confirmAsShown(run.prompter, run.geometry, run.printer, run.ini());
    EXPECT_EQ(readPageSetup(run.ini()).paperWidth, 1234);
  }
}

TEST(PageSettings, sheetChoice) {
  struct Row {
    const char* what;
    double width, length;
    bool twoOnOne;
    int printerCode;
    int sheet;  // 0: fits none
  };
  const Row rows[] = {
      {"Letter on a Letter printer", 2159, 2794, false, 1, 1},
      {"two tenths of slack", 2161, 2796, false, 1, 1},
      {"A4 is too long for Letter", 2100, 2970, false, 1, 9},
      {"a page that fits both keeps the printer's A4", 2000, 2700, false, 9, 9},
      {"a Legal printer still gets Letter first", 2000, 2700, false, 5, 1},
      {"only Legal is long enough", 2159, 3400, false, 1, 5},
      {"A3 fits nothing", 2970, 4200, false, 1, 0},
      {"two 4 x 6 in pages on Letter", 1016, 1524, true, 1, 1},
      {"two A5 pages: Letter is too short across", 1480, 2100, true, 1, 9},
      {"two 8.5 x 11 in pages fit nothing", 2159, 2794, true, 1, 0},
      {"two pages wider than A4 across use Legal", 1700, 2000, true, 9, 5},
  };
  for (const Row& r : rows) {
    const auto sheet = chooseSheet(r.width, r.length, r.twoOnOne, r.printerCode);
    EXPECT_EQ(sheet ? sheet->code : 0, r.sheet) << r.what;
  }
}

TEST(PageSettings, messagesForTheListAndTheLayout) {
  {  // no pagesize.dat: the geometry is applied, nothing is written
    DialogRun run;
    PageSettingsForm form(std::nullopt, PageSetupValues{}, run.printer);
    form.open(run.prompter);
    ASSERT_EQ(run.prompter.shown().size(), 2u);
    EXPECT_EQ(run.prompter.shown()[0].text, kPaperListCannotOpen);
    EXPECT_EQ(run.prompter.shown()[0].caption, "Error");
    EXPECT_EQ(run.prompter.shown()[1].text, kPaperListCorrupted);
    run.prompter.clear();
    EXPECT_EQ(form.confirm({"4", "6", "0", "0", "0", "0"}, run.prompter, run.geometry,
                           run.printer, run.ini()),
              PageSettingsForm::Outcome::Closed);
    EXPECT_EQ(run.prompter.last().text, kPaperListCorrupted);
    EXPECT_EQ(run.geometry.sheetCode, 1);
    EXPECT_FALSE(std::filesystem::exists(run.ini()));
  }
  {  // two on one where the layout does not allow it
    DialogRun run;
    run.geometry.twoOnOneAllowed = false;
    PageSetupValues stored = custom(1016, 1524);
    stored.twoOnOne = true;
    PageSettingsForm form(kRows, stored, run.printer);
    form.open(run.prompter);
    run.prompter.answer(Answer::Yes);
    form.confirmAsShown(run.prompter, run.geometry, run.printer, run.ini());
    EXPECT_EQ(run.prompter.last().text, kTwoOnOneNotForLayout);
    EXPECT_FALSE(run.geometry.twoOnOne);
    EXPECT_FALSE(readPageSetup(run.ini()).twoOnOne);
  }
}

TEST(PageSettings, unitsAndArrows) {
  EXPECT_EQ(toTenths(8.5, LengthUnit::Inch), 2159);
  EXPECT_EQ(toTenths(3.75, LengthUnit::Inch), 953);  // 952.5 rounds up
  EXPECT_EQ(toTenths(215.9, LengthUnit::Millimetre), 2159);
  EXPECT_EQ(formatLength(2794, LengthUnit::Inch), "11.00");
  EXPECT_EQ(formatLength(2794, LengthUnit::Millimetre), "279.40");
  EXPECT_EQ(parseBoxNumber("  +2.5in"), 2.5);

  struct Row {
    const char* text;
    int direction;
    PageBox box;
    LengthUnit unit;
    const char* expected;
  };
  const Row rows[] = {
      {"10.95", 1, PageBox::Width, LengthUnit::Inch, "11.05"},  // below the limit: one more
      {"11", 1, PageBox::Width, LengthUnit::Inch, "11.00"},     // at the limit: unchanged
      {"0", -1, PageBox::Top, LengthUnit::Inch, "0.00"},
      {"-2", -1, PageBox::Left, LengthUnit::Inch, "-2.00"},
      {"-1.95", -1, PageBox::EvenLeft, LengthUnit::Inch, "-2.05"},
      {"150", 1, PageBox::Top, LengthUnit::Millimetre, "150.10"},
      {"5", 1, PageBox::Gap, LengthUnit::Millimetre, "5.00"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(arrowStep(r.text, r.direction, arrowLimits(r.box, r.unit)), r.expected) << r.text;
}

}  // namespace
}  // namespace mv
