// A book opened from the desktop: named on the command line of a first copy, or handed
// to the copy that already runs.
#include "ShellTestSupport.h"

namespace mv::test {
namespace {

using BookArgumentTest = ShellTest;

TEST_F(BookArgumentTest, theNamedBookOpensInPlaceOfTheRecentOne) {
  setMru(0, book("family.adr", "TVXADR_307").string());
  startBook = book("club.adr", "TVXADR_307");
  start();
  ASSERT_EQ(card->opened.size(), 1u);
  EXPECT_EQ(card->opened[0], startBook);
  EXPECT_EQ(mru(0), startBook.string());
  EXPECT_EQ(mru(1), (dir_ / "family.adr").string());
}

TEST_F(BookArgumentTest, aFileThatIsNoBookSaysSoAndTheRecentBookOpens) {
  const auto family = book("family.adr", "TVXADR_307");
  setMru(0, family.string());
  startBook = book("notes.txt", "Dear friends");
  start();
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text.rfind("Can not open:\n", 0), 0u);
  ASSERT_EQ(card->opened.size(), 1u);
  EXPECT_EQ(card->opened[0], family);
}

TEST_F(BookArgumentTest, aHandedBookAsksAboutTheOpenOneFirst) {
  setMru(0, book("family.adr", "TVXADR_307").string());
  start();
  const auto club = book("club.adr", "TVXADR_307");
  // Cancel in the changed question: the open book stays.
  card->allowClose = false;
  frame->openHandedBook(club);
  EXPECT_EQ(card->closeQueries, 1);
  EXPECT_EQ(card->opened.size(), 1u);
  card->allowClose = true;
  frame->openHandedBook(club);
  EXPECT_EQ(card->closeQueries, 2);
  ASSERT_EQ(card->opened.size(), 2u);
  EXPECT_EQ(card->opened[1], club);
  EXPECT_EQ(mru(0), club.string());
}

}  // namespace
}  // namespace mv::test
