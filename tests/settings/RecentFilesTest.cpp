#include "settings/RecentFiles.h"

#include "settings/Profile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using Items = std::vector<std::pair<int, std::string>>;

class RecentFilesTest : public ::testing::Test {
 protected:
  std::vector<std::string> entries(const RecentFiles& list) const {
    std::vector<std::string> out;
    for (int i = 0; i < list.count(); ++i) out.push_back(list.entry(i));
    return out;
  }
  void addAll(RecentFiles& list, std::initializer_list<const char*> paths) {
    for (const char* p : paths) EXPECT_TRUE(list.add(p));  // the last one ends up on top
  }
  test::TestDir dir;
  std::filesystem::path ini = dir / "mervane.ini";
};

TEST_F(RecentFilesTest, freshListWritesItsCapacityAndHasNoItems) {
  RecentFiles list(ini);
  EXPECT_EQ(Profile(ini, "MRU").readInt("Count", 0), 4);
  EXPECT_EQ(list.entry(0), "Default");  // a missing key
  EXPECT_TRUE(list.menuItems().empty());
  EXPECT_EQ(RecentFiles(ini, 25).count(), 10);  // capacity is cut to 10
}

TEST_F(RecentFilesTest, addingMovesToTheTopAndPushesTheOldestOut) {
  RecentFiles list(ini);
  addAll(list, {"/b/d.adr", "/b/c.adr", "/b/b.adr", "/b/a.adr"});
  EXPECT_EQ(entries(list), (std::vector<std::string>{"/b/a.adr", "/b/b.adr", "/b/c.adr", "/b/d.adr"}));

  // Already third: moves to the top, the others keep their order. Case does not matter.
  EXPECT_TRUE(list.add("/B/C.ADR"));
  EXPECT_EQ(entries(list), (std::vector<std::string>{"/B/C.ADR", "/b/a.adr", "/b/b.adr", "/b/d.adr"}));

  // A fifth book pushes the oldest out of the menu.
  EXPECT_TRUE(list.add("/b/e.adr"));
  EXPECT_EQ(list.menuItems(), (Items{{31990, "&1 /b/e.adr"},
                                     {31991, "&2 /B/C.ADR"},
                                     {31992, "&3 /b/a.adr"},
                                     {31993, "&4 /b/b.adr"}}));
}

TEST_F(RecentFilesTest, freeEntriesLeaveGapsInTheMenuNumbering) {
  test::writeFile(ini, "[MRU]\nMRU0=/x/one.adr\nMRU1=\nMRU2=Default\nMRU3=/x/four.adr\n");
  RecentFiles list(ini);
  EXPECT_EQ(list.menuItems(), (Items{{31990, "&1 /x/one.adr"}, {31993, "&4 /x/four.adr"}}));
  EXPECT_EQ(list.pathOfMenuId(31993), "/x/four.adr");
  EXPECT_EQ(list.pathOfMenuId(31994), std::nullopt);  // beyond Count
  EXPECT_EQ(list.pathOfMenuId(31989), std::nullopt);
}

TEST_F(RecentFilesTest, addingOverAFreeEntryInTheMiddleShowsNoPathTwice) {
  // MRU1 is missing (a hand-edited file); shifting must not leave /x/c.adr in two places.
  test::writeFile(ini, "[MRU]\nMRU0=/x/a.adr\nMRU2=/x/c.adr\n");
  RecentFiles list(ini);
  EXPECT_TRUE(list.add("/x/new.adr"));
  EXPECT_EQ(entries(list), (std::vector<std::string>{"/x/new.adr", "/x/a.adr", "", "/x/c.adr"}));
}

TEST_F(RecentFilesTest, removingMovesLaterEntriesUp) {
  RecentFiles list(ini);
  addAll(list, {"/d.adr", "/c.adr", "/b.adr", "/a.adr"});
  list.removeAt(1);
  EXPECT_EQ(entries(list), (std::vector<std::string>{"/a.adr", "/c.adr", "/d.adr", ""}));
  list.removeAt(4);  // outside the list: nothing happens
  list.removeAt(-1);
  EXPECT_EQ(entries(list), (std::vector<std::string>{"/a.adr", "/c.adr", "/d.adr", ""}));
  EXPECT_EQ(list.menuItems().size(), 3u);
}

TEST_F(RecentFilesTest, longPathsAreCutTo255Characters) {
  RecentFiles list(ini);
  EXPECT_TRUE(list.add("/" + std::string(300, 'p')));
  EXPECT_EQ(list.pathOfMenuId(31990)->size(), 255u);
}

TEST_F(RecentFilesTest, startBookFallsBackToTheProgramDirectory) {
  struct Row {
    const char* file;  // mervane.ini before start; empty for none
    const char* expected;
    bool writesBack;
  };
  const Row rows[] = {
      {"", "/opt/mervane/address.adr", true},                            // no MRU0
      {"[MRU]\nMRU0=/home/ann/club.adr\n", "/home/ann/club.adr", false},  // taken as it is
      {"[MRU]\nMRU0=_none_\n", "/opt/mervane/address.adr", true},
      {"[MRU]\nMRU0=/tmp/mv-1/TEMP~ADR.~~\n", "/opt/mervane/address.adr", true},  // scratch file
      {"[MRU]\nMRU0=temp~adr.~~\n", "/opt/mervane/address.adr", true},
  };
  for (const auto& r : rows) {
    std::filesystem::remove(ini);
    if (*r.file) test::writeFile(ini, r.file);
    EXPECT_EQ(startBookPath(ini, "/opt/mervane"), r.expected) << r.file;
    const Profile mru(ini, "MRU");
    if (r.writesBack) {
      EXPECT_EQ(mru.readInt("Count", 0), 4) << r.file;
      EXPECT_EQ(mru.readString("MRU0", "", 260), r.expected) << r.file;
    } else {
      EXPECT_FALSE(mru.hasKey("Count")) << r.file;
    }
  }
}

}  // namespace
}  // namespace mv
