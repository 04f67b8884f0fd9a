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
    bool built;
    std::string_view label;
  };
  const Row rows[] = {
      {6100, CommandOwner::CardWindow, true, "&Add a new name"},
      {4503, CommandOwner::CardWindow, true, ""},   // go to the fourth group: a run
      {7055, CommandOwner::CardWindow, true, ""},   // a second-set field: a run
      {11926, CommandOwner::Frame, true, ""},       // the letter Z
      {54, CommandOwner::PageView, true, "Zoom &In\t+"},
      {16, CommandOwner::Frame, true, "&Print"},
      {186, CommandOwner::CardWindow, true, "Send &Email"},
      {5, CommandOwner::Frame, true, ""},           // unknown
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    EXPECT_EQ(commandOwner(r.id), r.owner);
    EXPECT_EQ(isCommandBuilt(r.id), r.built);
    EXPECT_EQ(commandLabel(r.id), r.label);
  }
  EXPECT_EQ(commandPicture(23), 347);  // Address Book shows Close Preview's picture
  EXPECT_EQ(commandHintEntry(16), "Print the selected layout");
}

}  // namespace
}  // namespace mv
