#include "settings/LangTable.h"

#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(LangTable, missingFileGivesBuiltInEnglish) {
  test::TestDir dir;
  const LangTable t = LangTable::load(dir / "lang.dat", 0);
  EXPECT_EQ(t.languageName(), "English");
  EXPECT_EQ(t.monthName(0), "January");
  EXPECT_EQ(t.monthAbbrev(8), "Sep");
  EXPECT_EQ(t.weekdayName(6), "Sunday");
  EXPECT_EQ(t.weekdayAbbrev(2), "Wed");
  EXPECT_EQ(t.word("Appointments"), "Appointments");
  EXPECT_EQ(t.monthName(12), "");
}

TEST(LangTable, readsTheSelectedLanguageAndReplacesUnusableValues) {
  test::TestDir dir;
  test::writeFile(dir / "lang.dat",
                  "[Lang]\r\n0=English\r\n2=Deutsch\r\n"
                  "[Deutsch]\r\n"
                  "Jan=Januar\r\n"
                  "Mar=M\xE4rz\r\n"
                  "Feb=\r\n"              // empty: the default
                  "Apr= April\r\n"        // the reader trims blanks, so this one is usable
                  "Mon=\x01Montag\r\n"    // starts with a control character: the default
                  "Notes=Notizen\r\n"
                  "Appointments=Terminvereinbarungen\r\n");  // cut to 13 characters
  const LangTable t = LangTable::load(dir / "lang.dat", 2);
  EXPECT_EQ(t.languageName(), "Deutsch");
  EXPECT_EQ(t.monthName(0), "Januar");
  EXPECT_EQ(t.monthName(2), "M\xE4rz");
  EXPECT_EQ(t.monthName(1), "February");
  EXPECT_EQ(t.monthName(3), "April");
  EXPECT_EQ(t.weekdayName(0), "Monday");
  EXPECT_EQ(t.word("Notes"), "Notizen");
  EXPECT_EQ(t.word("Appointments"), "Terminvereinb");
  EXPECT_EQ(t.word("Summary"), "Summary");

  // A number outside 0..20 selects language 0.
  EXPECT_EQ(LangTable::load(dir / "lang.dat", 21).monthName(0), "January");
}

}  // namespace
}  // namespace mv
