// Find's match rule, range list and walk; the jump to a letter.
#include "cardwindow/CardSearch.h"

#include <gtest/gtest.h>

#include <map>

namespace mv {
namespace {

TEST(FindMatch, counterRestartsWithoutReexamining) {
  struct Row {
    const char* field;
    const char* text;
    bool matchCase;
    std::optional<int> at;
  } rows[] = {
      {"aaab", "aab", false, std::nullopt},  // the second a is not compared again
      {"Smith", "SMITH", false, 0},          // equal without regard to case
      {"Smith", "SMITH", true, std::nullopt},
      {"John Smith", "smi", false, 5},
      {"John Smith", "smi", true, std::nullopt},
      {"abcabd", "abd", false, 3},
      {"ab", "abc", false, std::nullopt},     // the field ends first
      {"anything", "", false, std::nullopt},  // nothing to look for
      {"\xE9t\xE9", "\xC9T", false, 0},       // accented letters fold too
  };
  for (const auto& row : rows) {
    EXPECT_EQ(findMatch(row.field, row.text, row.matchCase), row.at)
        << row.field << " / " << row.text;
  }
}

TEST(FindRange, entriesSelectTheFieldsTheyName) {
  const auto& entries = findRangeEntries();
  ASSERT_EQ(entries.size(), 28u);
  EXPECT_EQ(entries[0], "Search All Fields");
  EXPECT_EQ(rangeEntryToField(0), -1);
  EXPECT_EQ(entries[11], "Country");
  EXPECT_EQ(rangeEntryToField(11), toInt(FieldId::Country));
  EXPECT_EQ(entries[12], "Zip");
  EXPECT_EQ(rangeEntryToField(12), toInt(FieldId::Zip));
  EXPECT_EQ(rangeEntryToField(9), toInt(FieldId::City));
  EXPECT_EQ(entries[27], "Other1");
  EXPECT_EQ(rangeEntryToField(27), toInt(FieldId::Other));
  for (int e = 0; e < 28; ++e) EXPECT_EQ(fieldToRangeEntry(rangeEntryToField(e)), e);
}

class SearchWalkTest : public ::testing::Test {
 protected:
  void put(int slot, std::map<FieldId, std::string> values) {
    RecordFields f{};
    for (const auto& [id, v] : values) f[static_cast<size_t>(toInt(id))] = v;
    records_[slot] = f;
  }
  ReadFields reader() {
    return [this](int slot) -> std::optional<RecordFields> {
      ++reads_;
      const auto it = records_.find(slot);
      if (it == records_.end()) return std::nullopt;
      return it->second;
    };
  }
  std::map<int, RecordFields> records_;
  int reads_ = 0;
};

TEST_F(SearchWalkTest, allFieldsFindsTheEarliestNameFirst) {
  put(0, {{FieldId::MrMs, "Dr Kay"}, {FieldId::Last, "Able"}});
  put(1, {{FieldId::Last, "Kay"}});
  FindState state{.text = "kay"};
  const SearchWalk walk{{0, 1}, {0, 1}, -1, 2};
  const auto hit = searchRecords(state, walk, reader());
  ASSERT_TRUE(hit);
  EXPECT_EQ(*hit, (SearchHit{true, 0, 0, toInt(FieldId::MrMs), 3}));
  EXPECT_EQ(state.fieldPosition, toInt(FieldId::MrMs));
  EXPECT_EQ(state.matchStart, 3);

  // Search Again: the next field of the same record, then the following names.
  state.fieldPosition = toInt(FieldId::MrMs);
  auto again = searchRecords(state, SearchWalk{{0, 1}, {0, 1}, 0, 2}, reader());
  ASSERT_TRUE(again);
  EXPECT_EQ(again->slot, 1);
  EXPECT_EQ(again->field, toInt(FieldId::Last));
}

TEST_F(SearchWalkTest, cityRangeIgnoresOtherFields) {
  put(0, {{FieldId::Last, "Paris"}});
  put(1, {{FieldId::City, "Paris"}});
  FindState state{.text = "PARIS", .range = toInt(FieldId::City)};
  const auto hit = searchRecords(state, SearchWalk{{0, 1}, {0, 1}, -1, 2}, reader());
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->slot, 1);
  EXPECT_EQ(hit->field, toInt(FieldId::City));
}

TEST_F(SearchWalkTest, startGroupThenMainOnceThenNotFound) {
  put(0, {{FieldId::Last, "Zed"}});  // in the group
  put(1, {{FieldId::Last, "Kay"}});  // only in Main
  FindState state{.text = "kay"};
  auto hit = searchRecords(state, SearchWalk{{0}, {1, 0}, -1, 2}, reader());
  ASSERT_TRUE(hit);
  EXPECT_FALSE(hit->inStartGroup);
  EXPECT_EQ(hit->index, 0);

  FindState missing{.text = "nobody"};
  reads_ = 0;
  EXPECT_FALSE(searchRecords(missing, SearchWalk{{0}, {1, 0}, -1, 2}, reader()));
  EXPECT_EQ(reads_, 3);  // the group once, Main once
  EXPECT_EQ(missing.fieldPosition, -1);

  // At most three times the record count names are examined, however long the lists.
  reads_ = 0;
  SearchWalk big{std::vector<int>(50, 0), std::vector<int>(50, 0), -1, 2};
  EXPECT_FALSE(searchRecords(missing, big, reader()));
  EXPECT_EQ(reads_, 6);
}

TEST(LetterJump, firstThenBlankPrefixedKeys) {
  const std::vector<std::string> names = {"  kay ", "Adam ", " Bee", "bob ", "  Carl"};
  struct Row {
    char letter;
    int index;
  } rows[] = {
      {'A', 1},   // plain match
      {'b', 3},   // "bob" before " Bee": a plain match wins over a blank-prefixed one
      {'C', 4},   // only with two blanks
      {'K', 0},
      {'Z', -1},  // none: the selection stays
  };
  for (const auto& row : rows) EXPECT_EQ(findNameByLetter(names, row.letter), row.index) << row.letter;
}

}  // namespace
}  // namespace mv
