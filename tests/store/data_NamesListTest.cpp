// The names list: groups, finding names, alphabetical insertion.
#include "store/NamesList.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(NamesList, groupValuesThatNameAFurtherGroup) {
  struct Row {
    const char* value;
    bool further;
  };
  const Row rows[] = {
      {"Friends", true},
      {"main", false},   // "Main" in any letter case means no further group
      {"MAIN", false},
      {"Main", false},
      {"", false},       // empty
      {"  Work", false}, // starts with a blank: not present
      {"Mainly", true},  // only the whole word counts
  };
  for (const Row& row : rows)
    EXPECT_EQ(NamesList::namesFurtherGroup(row.value), row.further) << row.value;
}

TEST(NamesList, groupsDifferingInCaseShareTheFirstSpelling) {
  NamesList list;
  list.insertRecord(0, "Ann ", "Friends", false);
  list.insertRecord(1, "Bob ", "FRIENDS", false);
  list.insertRecord(2, "Cy ", "main", false);
  ASSERT_EQ(list.groupCount(), 2);
  EXPECT_EQ(list.group(1).name, "Friends");
  EXPECT_EQ(list.group(1).data, GroupEntry::kGroupData);
  EXPECT_EQ(list.group(0).data, GroupEntry::kMainData);
  EXPECT_EQ(list.group(1).names.size(), 2u);
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(list.findGroup("friends"), 1);
  EXPECT_EQ(list.findGroup("MAIN"), 0);
  EXPECT_EQ(list.findGroup("Work"), -1);
  EXPECT_EQ(list.addGroup("fRiEnDs"), 1);  // an existing name is not added again
  EXPECT_EQ(list.addGroup("Work"), 2);
  EXPECT_TRUE(list.removeEmptyGroup(2));
  EXPECT_FALSE(list.removeEmptyGroup(1));  // has names
  EXPECT_FALSE(list.removeEmptyGroup(0));  // "Main" stays
}

TEST(NamesList, findNameMatchesTheWholeKeyOnly) {
  NamesList list;
  list.insertRecord(4, "John Smith Acme", "", true);
  // A prefix is a different person: committing "John Smith " must not replace them.
  EXPECT_EQ(list.findName("John Smith "), -1);
  EXPECT_EQ(list.findName("JOHN SMITH ACME"), 4);
  list.insertRecord(7, "John Smith ", "", true);
  EXPECT_EQ(list.findName("john smith "), 7);
}

TEST(NamesList, sortedInsertGoesAfterEqualTexts) {
  NamesList list;
  list.insertName(0, "bob", 1, true);
  list.insertName(0, "Alice", 2, true);
  list.insertName(0, "BOB", 3, true);  // equal ignoring case: after the first bob
  list.insertName(0, "\xC9mile", 4, true);  // Émile beside Emile, before Fred
  list.insertName(0, "Fred", 5, true);
  std::vector<int> slots;
  for (const NameEntry& e : list.mainNames()) slots.push_back(e.slot);
  EXPECT_EQ(slots, (std::vector<int>{2, 1, 3, 4, 5}));
  // An unsorted insert appends.
  EXPECT_EQ(list.insertName(0, "Aaron", 6, false), (EntryRef{0, 5}));
}

TEST(NamesList, lettersPresentFollowTheKeysFirstCharacter) {
  NamesList list;
  list.insertRecord(0, "zoe ", "", false);
  list.insertRecord(1, "1st Bank", "", false);
  list.insertRecord(2, "\xE9lise ", "", false);  // é is not one of A..Z
  EXPECT_TRUE(list.lettersPresent()[25]);
  EXPECT_EQ(std::count(list.lettersPresent().begin(), list.lettersPresent().end(), true), 1);
  list.clear();
  EXPECT_FALSE(list.lettersPresent()[25]);
  EXPECT_EQ(list.groupCount(), 1);
}

}  // namespace
}  // namespace mv
