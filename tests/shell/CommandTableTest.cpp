#include "shell/CommandTable.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(CommandTable, navigationHintsComeFromTheViewKindTable) {
  struct Row {
    int id;
    int viewKind;
    std::string expected;
  };
  const Row rows[] = {
      {69, 218, "Skip 10 Pages"},
      {70, 218, "Next Page"},
      {71, 218, "Priot Page"},  // the program's own spelling
      {72, 218, "Skip 10 Pages"},
      {73, 218, "Change Page"},
      {70, 214, "Next Year"},
      {69, 214, "Mervane - /books/a.adr"},  // entry 0 is empty: blank, so the title
      {73, 217, "Change date of calendar"},
      {16, 218, "Print the selected layout"},
      {24310, 218, "Save settings and close program"},
      {97, 218, "Mervane - /books/a.adr"},  // no hint: the title
      {6100, 218, "Mervane - /books/a.adr"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(statusHint(r.id, "Mervane - /books/a.adr", r.viewKind), r.expected) << r.id;
}

TEST(CommandTable, letterAndLayoutPopups) {
  const auto letters = menuResource(212).front().items;
  ASSERT_EQ(letters.size(), 26u);
  EXPECT_EQ(letters.front().id, 11901);
  EXPECT_EQ(letters.front().label, "&A");
  EXPECT_EQ(letters.back().id, 11926);
  EXPECT_EQ(letters.back().label, "&Z");

  std::vector<std::pair<int, std::string>> layouts;
  const std::vector<MenuDef> popup = menuResource(213);
  for (const MenuItem& i : popup.front().items) layouts.emplace_back(i.id, i.label);
  const std::vector<std::pair<int, std::string>> expected{
      {1074, "1 Line Address"}, {1075, "2 Line Address"}, {1076, "3 Line Address"},
      {1077, "5 Line Address"}, {1078, "Detailed Address"}, {1079, "Envelope"},
      {1080, "Labels"}};
  EXPECT_EQ(layouts, expected);
}

}  // namespace
}  // namespace mv
