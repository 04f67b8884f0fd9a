#include "commands/Commands.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(Commands, everyIdHasOneRowAndRunsDoNotOverlap) {
  const auto table = commandTable();
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_LE(table[i].id, table[i].last) << table[i].id;
    for (size_t j = i + 1; j < table.size(); ++j)
      EXPECT_TRUE(table[i].last < table[j].id || table[j].last < table[i].id)
          << table[i].id << " and " << table[j].id;
  }
}

TEST(Commands, lookupsFindRunsAndTreatUnknownIdsAsTheFramesOwn) {
  struct Row {
    int id;
    CommandOwner owner;
    std::string_view label;
    std::string_view tooltip;
  };
  const Row rows[] = {
      {6100, CommandOwner::CardWindow, "&Add a new name", ""},
      {4503, CommandOwner::CardWindow, "", ""},   // go to the fourth group: a run
      {7055, CommandOwner::CardWindow, "", ""},   // a second-set field: a run
      {11926, CommandOwner::Frame, "", ""},       // the letter Z
      {54, CommandOwner::PageView, "Zoom &In\t+", ""},
      {16, CommandOwner::Frame, "&Print", ""},
      {186, CommandOwner::CardWindow, "Send &Email", ""},
      {24336, CommandOwner::CardWindow, "&Open...", "Open another addressbook file"},
      {5, CommandOwner::Frame, "", ""},           // unknown
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    EXPECT_EQ(commandOwner(r.id), r.owner);
    EXPECT_EQ(commandLabel(r.id), r.label);
    EXPECT_EQ(commandTooltip(r.id), r.tooltip);
  }
  EXPECT_EQ(commandPicture(23), 347);  // Address Book shows Close Preview's picture
  EXPECT_EQ(commandHintEntry(16), "Print the selected layout");
}

}  // namespace
}  // namespace mv
