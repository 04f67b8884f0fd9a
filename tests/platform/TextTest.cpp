#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace mv {

TEST(Text, presenceNeedsAFirstCharacterAboveTheBlank) {
  struct Row {
    const char* text;
    bool present;
  };
  const Row rows[] = {
      {"", false},         // empty
      {"   ", false},      // blanks only
      {" Smith", false},   // leading blank
      {"\tSmith", false},  // leading control character
      {"Smith", true},
      {"\xC9mile", true},  // accented first letter
  };
  for (const auto& r : rows) EXPECT_EQ(isPresent(r.text), r.present) << '"' << r.text << '"';
}

TEST(Text, namesSortCaseInsensitivelyWithAccentsBesideTheirLetters) {
  std::vector<std::string> names = {"zoe", "\xC9mile", "Emma", "adam", "Emile", "eva"};
  std::stable_sort(names.begin(), names.end(),
                   [](const auto& a, const auto& b) { return compareNames(a, b) < 0; });
  const std::vector<std::string> expected = {"adam", "Emile", "\xC9mile", "Emma", "eva", "zoe"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(compareNamesPrimary("SMITH", "smith"), 0);
  EXPECT_NE(compareNames("SMITH", "smith"), 0);  // the tie-break keeps the order total
}

TEST(Text, caseInsensitiveEqualityCoversWindows1252Letters) {
  EXPECT_TRUE(equalsIgnoreCase("main", "MAIN"));
  EXPECT_TRUE(equalsIgnoreCase("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_FALSE(equalsIgnoreCase("Main", "Mains"));
  EXPECT_TRUE(hasExtensionIgnoreCase("/x/book.ADR", ".adr"));
  EXPECT_FALSE(hasExtensionIgnoreCase("/x.adr/book", ".adr"));
}

}  // namespace mv
