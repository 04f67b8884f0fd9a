#include "printing/PageTable.h"

#include "printing/LabelPages.h"

#include <algorithm>

namespace mv {

PageCount countPages(const EntryCounts& counts, int layout, bool labelEachPage,
                     int labelsPerSheet) noexcept {
  layout = normalizeLayoutCommand(layout);
  const int perPage = entriesPerPage(layout, labelsPerSheet);
  PageCount result;
  if (!labelEachPage || !isAddressBookLayout(layout)) {
    if (layout == kLabelsLayout) {
      // Labels fill only the sheet's labels in use; an exact multiple needs no extra sheet.
      result.pages = labelPageCount(counts.unmarked, perPage);
      return result;
    }
    if (layout == kEnvelopeLayout) {
      // One envelope per entry: a page more would print a return address to nobody.
      result.pages = std::max({1, counts.total, counts.listed});
      return result;
    }
    result.pages = std::max(0, counts.total) / perPage + 1;
    return result;
  }
  int next = 1;
  for (size_t letter = 0; letter < counts.perLetter.size(); ++letter) {
    result.firstPageOfLetter[letter] = next;
    // A letter without entries still gets its page (integer division truncates toward
    // zero, so (0 - 1) / n + 1 is 1).
    next += (std::max(0, counts.perLetter[letter]) - 1) / perPage + 1;
  }
  result.pages = next - 1;
  return result;
}

void applyPageCount(AppState& state, const PageCount& count) noexcept {
  state.pageCount = std::max(1, count.pages);
  state.firstPageOfLetter = count.firstPageOfLetter;
  state.lastPrintPage = state.pageCount;
  if (state.page > state.pageCount) state.page = 1;
}

int clampPage(int page, int pageCount) noexcept {
  return std::clamp(page, 1, std::max(1, pageCount));
}

int letterPage(const AppState& state, int letter) noexcept {
  if (letter < 0 || letter >= static_cast<int>(state.firstPageOfLetter.size()))
    return clampPage(state.page, state.pageCount);
  return clampPage(state.firstPageOfLetter[letter], state.pageCount);
}

int letterOfCurrentPage(const AppState& state) noexcept {
  int found = -1;
  for (size_t i = 0; i < state.firstPageOfLetter.size(); ++i)
    if (state.firstPageOfLetter[i] == state.page) found = static_cast<int>(i);
  return found;
}

bool letterPopupAllowed(const AppState& state) noexcept {
  return state.labelEachPage && isAddressBookLayout(normalizeLayoutCommand(state.layout));
}

void startAtEntry(AppState& state, int entryIndex) noexcept {
  state.page = state.firstPrintPage = std::max(0, entryIndex) + 1;
}

void openPrintRange(AppState& state) noexcept {
  state.firstPrintPage = std::max(1, state.firstPrintPage);
  state.lastPrintPage = state.pageCount;
  state.printMode = 0;
  state.secondPass = false;
}

void resetPrintRange(AppState& state) noexcept {
  state.firstPrintPage = 1;
  state.lastPrintPage = state.pageCount;
  state.printMode = 0;
}

}  // namespace mv
