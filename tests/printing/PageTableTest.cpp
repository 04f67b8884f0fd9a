// The layout catalogue and the page table: page counts, navigation steps, the letter jump
// and the print range around a print job.
#include "printing/LayoutCatalogue.h"
#include "printing/PageTable.h"

#include <gtest/gtest.h>

#include <numeric>

namespace mv {
namespace {

TEST(LayoutCatalogue, namesNormalizingAndNeighbours) {
  struct Row {
    int command;
    const char* shortName;
    const char* longName;
    int normalized;
    int next;
    int prior;
  };
  const Row rows[] = {
      {1058, "Yearly Calendar A", "Yearly calendar, 1 year/page", 1076, 1077, 1075},  // catalogue only
      {1073, "", "", 1076, 1077, 1075},  // the unused id 15
      {1074, "1 Line Address", "Addressbook, 1 Line per subject", 1074, 1075, 1080},  // Prior wraps
      {1078, "Detailed Address", "Detailed Addressbook", 1078, 1079, 1077},
      {1079, "Envelope", "Envelope", 1079, 1074, 1078},  // Next wraps from Envelope...
      {1080, "Labels", "Labels", 1080, 1074, 1079},      // ...and from Labels
      {1081, "", "", 1076, 1077, 1075},                  // the unused id 23
      {1085, "Expenses - Annual", "Expense form, yearly", 1076, 1077, 1075},
      {1086, "Interest table", "Interest table", 1076, 1077, 1075},  // the last catalogue entry
      {1087, "", "", 1076, 1077, 1075},  // past the catalogue
      {1057, "", "", 1076, 1077, 1075},  // before it
  };
  for (const Row& r : rows) {
    EXPECT_EQ(layoutShortNameOfCommand(r.command), r.shortName) << r.command;
    EXPECT_EQ(layoutLongNameOfCommand(r.command), r.longName) << r.command;
    EXPECT_EQ(normalizeLayoutCommand(r.command), r.normalized) << r.command;
    EXPECT_EQ(nextLayoutCommand(r.command), r.next) << r.command;
    EXPECT_EQ(priorLayoutCommand(r.command), r.prior) << r.command;
  }
  EXPECT_EQ(layoutShortName(-1), "");
}

TEST(LayoutCatalogue, entriesPerPage) {
  struct Row {
    int layout;
    int labelsPerSheet;
    int expected;
  };
  const Row rows[] = {
      {1074, 30, 30}, {1075, 30, 15}, {1076, 30, 10}, {1077, 30, 6}, {1078, 30, 5},
      {1079, 30, 1},                 // one envelope per page
      {1080, 21, 21},                // labels: as many as the sheet holds
      {1080, 0, 1},                  // a sheet without labels never divides by zero
      {1080, -4, 1},
      {1060, 30, 10},                // a calendar number counts as the 3-line layout
  };
  for (const Row& r : rows)
    EXPECT_EQ(entriesPerPage(r.layout, r.labelsPerSheet), r.expected) << r.layout;
}

EntryCounts book(int total, int unmarked = 0) {
  EntryCounts c;
  c.total = total;
  c.unmarked = unmarked;
  c.perLetter[0] = total;
  return c;
}

TEST(PageTable, pageCountWithoutLabelEachPage) {
  struct Row {
    const char* what;
    EntryCounts counts;
    int layout;
    bool labelEachPage;
    int labelsPerSheet;
    int pages;
  };
  const Row rows[] = {
      {"29 entries fit one 1-line page", book(29), 1074, false, 30, 1},
      {"30 entries end on a page without entries", book(30), 1074, false, 30, 2},
      {"an empty book has one page", book(0), 1076, false, 30, 1},
      {"11 entries on 3-line pages", book(11), 1076, false, 30, 2},
      {"one envelope per entry, no blank one after", book(5), 1079, false, 30, 5},
      {"an empty book still has an envelope", book(0), 1079, false, 30, 1},
      {"labels count the unmarked entries", book(100, 61), 1080, false, 30, 3},
      {"labels on a sheet of none", book(3, 3), 1080, false, 0, 3},
      {"60 checked on 30 labels fill two sheets, no blank third", book(60, 60), 1080, false, 30, 2},
      {"no checked entry still gives one sheet", book(10, 0), 1080, false, 30, 1},
      {"31 checked on 20 labels in use", book(31, 31), 1080, false, 20, 2},
      {"Label each page leaves envelopes alone", book(5), 1079, true, 30, 5},
      {"Label each page leaves labels alone", book(40, 40), 1080, true, 30, 2},
      {"a calendar number counts as the 3-line layout", book(20), 1060, false, 30, 3},
      {"a negative count counts as none", book(-5), 1074, false, 30, 1},
  };
  for (const Row& r : rows) {
    const PageCount c = countPages(r.counts, r.layout, r.labelEachPage, r.labelsPerSheet);
    EXPECT_EQ(c.pages, r.pages) << r.what;
    EXPECT_EQ(c.firstPageOfLetter[0], 1) << r.what;
    EXPECT_EQ(std::accumulate(c.firstPageOfLetter.begin() + 1, c.firstPageOfLetter.end(), 0), 0)
        << r.what;
  }
}

TEST(PageTable, labelEachPageGivesEveryLetterItsPages) {
  EntryCounts empty;
  PageCount c = countPages(empty, 1074, true, 30);
  EXPECT_EQ(c.pages, 26);
  for (int i = 0; i < 26; ++i) EXPECT_EQ(c.firstPageOfLetter[i], i + 1) << i;

  EntryCounts tenM;
  tenM.total = 10;
  tenM.perLetter['M' - 'A'] = 10;
  c = countPages(tenM, 1076, true, 30);  // exactly one full page of M
  EXPECT_EQ(c.pages, 26);
  EXPECT_EQ(c.firstPageOfLetter['N' - 'A'], 14);

  EntryCounts elevenM = tenM;
  elevenM.perLetter['M' - 'A'] = 11;  // one more spills onto a second M page
  c = countPages(elevenM, 1076, true, 30);
  EXPECT_EQ(c.pages, 27);
  EXPECT_EQ(c.firstPageOfLetter['M' - 'A'], 13);
  EXPECT_EQ(c.firstPageOfLetter['N' - 'A'], 15);
  EXPECT_EQ(c.firstPageOfLetter['Z' - 'A'], 27);

  EntryCounts many;
  many.perLetter[0] = 31;  // A: two 1-line pages
  many.perLetter[25] = 61;  // Z: three
  c = countPages(many, 1074, true, 30);
  EXPECT_EQ(c.pages, 2 + 24 + 3);
  EXPECT_EQ(c.firstPageOfLetter[1], 3);
  EXPECT_EQ(c.firstPageOfLetter[25], 27);
}

TEST(PageTable, applyingACountKeepsThePageAndRangeInside) {
  struct Row {
    int page;
    int pages;
    int expectedPage;
    int expectedCount;
  };
  const Row rows[] = {
      {5, 10, 5, 10},  // still inside
      {10, 10, 10, 10},
      {11, 10, 1, 10},  // past the end: back to the first page
      {3, 0, 1, 1},     // never fewer than one page
  };
  for (const Row& r : rows) {
    AppState s;
    s.page = r.page;
    PageCount c;
    c.pages = r.pages;
    c.firstPageOfLetter[3] = 4;
    applyPageCount(s, c);
    EXPECT_EQ(s.page, r.expectedPage) << r.page << " of " << r.pages;
    EXPECT_EQ(s.pageCount, r.expectedCount);
    EXPECT_EQ(s.lastPrintPage, r.expectedCount);
    EXPECT_EQ(s.firstPageOfLetter[3], 4);
  }
}

TEST(PageTable, navigationStaysWithinThePages) {
  struct Row {
    int page;
    int pageCount;
    int expected;
  };
  const Row rows[] = {
      {95 + kSkipPages, 100, 100},  // skip forward from 95
      {4 - kSkipPages, 100, 1},     // skip back from 4
      {0, 30, 1},                   // a letter without a page of its own
      {31, 30, 30},
      {7, 0, 1},                    // no pages counted yet
  };
  for (const Row& r : rows) EXPECT_EQ(clampPage(r.page, r.pageCount), r.expected) << r.page;
}

TEST(PageTable, letterJumpAndTheCheckedLetter) {
  AppState s;
  EntryCounts counts;
  counts.perLetter[0] = 25;  // A on pages 1..3
  counts.perLetter[2] = 5;   // C on page 5
  s.layout = 1076;
  s.labelEachPage = true;
  applyPageCount(s, countPages(counts, s.layout, true, 30));
  ASSERT_EQ(s.pageCount, 28);
  struct Row {
    int letter;
    int page;
  };
  const Row rows[] = {{0, 1}, {1, 4}, {2, 5}, {25, 28}};
  for (const Row& r : rows) {
    EXPECT_EQ(letterPage(s, r.letter), r.page) << r.letter;
    s.page = r.page;
    EXPECT_EQ(letterOfCurrentPage(s), r.letter) << r.letter;
  }
  s.page = 2;  // the second page of A starts no letter
  EXPECT_EQ(letterOfCurrentPage(s), -1);
  EXPECT_EQ(letterPage(s, 26), 2);  // not a letter: stay
  EXPECT_EQ(letterPage(s, -1), 2);

  // Without "Label each page" only A has a first page; the others jump to page 1.
  applyPageCount(s, countPages(counts, s.layout, false, 30));
  s.page = 3;
  EXPECT_EQ(letterPage(s, 7), 1);
  EXPECT_EQ(letterOfCurrentPage(s), -1);
  s.page = 1;
  EXPECT_EQ(letterOfCurrentPage(s), 0);
}

TEST(PageTable, letterPopupOnlyOnLabelledAddressBookPages) {
  struct Row {
    int layout;
    bool labelEachPage;
    bool allowed;
  };
  const Row rows[] = {
      {1074, true, true},   {1078, true, true},   {1079, true, false},
      {1080, true, false},  {1076, false, false},
  };
  for (const Row& r : rows) {
    AppState s;
    s.layout = r.layout;
    s.labelEachPage = r.labelEachPage;
    EXPECT_EQ(letterPopupAllowed(s), r.allowed) << r.layout << r.labelEachPage;
  }
}

TEST(PageTable, printRangeAroundAPrintJob) {
  AppState s;
  s.pageCount = 12;
  s.printMode = 2;       // left over from a job that failed half-way
  s.secondPass = true;
  s.firstPrintPage = 1;
  openPrintRange(s);
  EXPECT_EQ(s.firstPrintPage, 1);
  EXPECT_EQ(s.lastPrintPage, 12);
  EXPECT_EQ(s.printMode, 0);
  EXPECT_FALSE(s.secondPass);

  // The envelope of the selected entry: the sixth entry is page 6, and the range starts
  // there.
  startAtEntry(s, 5);
  EXPECT_EQ(s.page, 6);
  openPrintRange(s);
  EXPECT_EQ(s.firstPrintPage, 6);
  EXPECT_EQ(s.lastPrintPage, 12);

  s.printMode = 1;
  s.lastPrintPage = 7;
  resetPrintRange(s);
  EXPECT_EQ(s.firstPrintPage, 1);
  EXPECT_EQ(s.lastPrintPage, 12);
  EXPECT_EQ(s.printMode, 0);
  EXPECT_EQ(s.page, 6);  // the page shown stays
}

TEST(LayoutCatalogue, fieldLineDefaults) {
  struct Row {
    int position;
    const char* expected;
    bool valid;
  };
  const Row rows[] = {
      {1, "1,1,0,0,0,0", true},   // Mr/Ms
      {6, "1,1,0,1,0,0", true},   // Company
      {9, "1,1,1,0,0,0", true},   // City
      {11, "1,1,1,0,0,0", true},  // Zip
      {12, "1,0,0,0,0,0", true},  // Country
      {13, "0,1,0,0,0,0", true},  // the numbers and addresses are off
      {18, "0,1,0,0,0,0", true},
      {0, "0,1,0,0,0,0", false},  // outside 1..18: the fallback, with the message
      {19, "0,1,0,0,0,0", false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(fieldLineDefault(r.position), r.expected) << r.position;
    EXPECT_EQ(isFieldLinePosition(r.position), r.valid) << r.position;
  }
  EXPECT_EQ(fieldLineDefaultError(19), "error:\nMDIClient::DefaultProps(19)");
}

}  // namespace
}  // namespace mv
