#pragma once
// The page table of the current layout: how many pages the book fills, where each letter
// starts in "Label each page" mode, the steps of the page navigation and the print range
// around a print job. Plain arithmetic on AppState, shared by the frame and the page view.

#include "printing/AppState.h"

#include <array>

namespace mv {

inline constexpr int kSkipPages = 10;

// What the page count needs to know of the open book.
struct EntryCounts {
  int total = 0;     // every entry that could be read
  int listed = 0;    // every entry of the list, read or not: one envelope each
  int unmarked = 0;  // entries whose mark is not 1: the ones the labels print
  std::array<int, 26> perLetter{};  // entries per initial A..Z
};

struct PageCount {
  int pages = 1;
  // First page of A..Z; without "Label each page" 1 for A and 0 for every other letter.
  std::array<int, 26> firstPageOfLetter{1};
  friend bool operator==(const PageCount&, const PageCount&) = default;
};

// Without "Label each page" the entries fill pages of entriesPerPage and one page more
// (so an exact multiple ends on a page without entries, and an empty book has one page);
// labels fill the labels in use (labelsPerSheet) and need no page more than they fill;
// the envelope has a page for every entry of the list (one at least).
// With it (address-book layouts only) each letter gets its own pages, at least one, so
// there are never fewer than 26. Labels count the unmarked entries, the others all.
PageCount countPages(const EntryCounts& counts, int layout, bool labelEachPage,
                     int labelsPerSheet) noexcept;

// Takes a new page count: the print range ends on its last page, and a current page past
// it goes back to page 1.
void applyPageCount(AppState& state, const PageCount& count) noexcept;

// The navigation steps keep the page within 1..page count.
int clampPage(int page, int pageCount) noexcept;
constexpr bool canPageForward(const AppState& s) noexcept { return s.page < s.pageCount; }
constexpr bool canPageBack(const AppState& s) noexcept { return s.page > 1; }

// The page a letter button (0 for A .. 25 for Z) jumps to, within 1..page count; a
// letter outside A..Z stays on the current page.
int letterPage(const AppState& state, int letter) noexcept;
// The letter whose first page is the current page (the last of several), or -1.
int letterOfCurrentPage(const AppState& state) noexcept;
// The letter pop-up is offered only in "Label each page" mode on an address-book layout.
bool letterPopupAllowed(const AppState& state) noexcept;

// Printing an envelope from the card window starts on the page of the selected entry
// (0-based list position).
void startAtEntry(AppState& state, int entryIndex) noexcept;
// Before the print dialog: the whole document, or from the entry's page chosen above,
// in the default mode with no second pass running.
void openPrintRange(AppState& state) noexcept;
// After a print command, printed or not: the whole document in the default mode.
void resetPrintRange(AppState& state) noexcept;

}  // namespace mv
