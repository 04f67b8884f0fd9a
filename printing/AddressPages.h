#pragma once
// The five address-book layouts (1074..1078): the ruled organiser page with its icons,
// captions and thumb-index tab, the entries of the book at their places, and the page
// heading and footnote. Drawn in the logical page's units on any canvas.

#include "printing/Canvas.h"
#include "printing/PageTable.h"
#include "settings/Customize.h"
#include "settings/PageText.h"
#include "store/AddressRecord.h"

#include <array>
#include <string>
#include <vector>

namespace mv {

// What the address-book pages take from the settings and the page options.
struct AddressPageSettings {
  int layout = kDefaultLayout;
  int headingY1 = 40;
  std::string fontFace = "Arial";  // the page font
  Rgb baseColor{0, 0, 0};          // rules and tabs
  int cardSort = 0;                // which name is bold, and the entry letter
  bool labelEachPage = false;
  bool hideAddresses = false;      // "Don't show addresses"
  int textoutYOffset = 0;          // printed text only
  PageText heading = defaultPageText(PageTextKind::Heading);
  PageText footnote = defaultPageText(PageTextKind::Footnote);
};
AddressPageSettings addressPageSettings(const CustomizeSettings& customize, int layout);

// The letter (0 for A .. 25 for Z) an entry is filed under: the first character of its
// sort field, or failing that of First Name, Last Name and Company in turn, as its base
// letter (É under E); an entry without a letter to go by is filed under A. Counting
// pages and drawing them both use it, so every entry is on exactly one page.
int entryLetter(const AddressRecord& record, int cardSort) noexcept;

class Book;

// The entries of a book in list order as the pages read them, and the list positions
// whose record could not be read (its place in the working file is gone, or its field
// lines stop short). Nothing is printed from such a record.
struct ListedEntries {
  std::vector<AddressRecord> records;
  std::vector<int> unreadable;  // list positions, ascending
};
ListedEntries readListedEntries(const Book& book);
// The one status-bar message of a load that could not read some entries ("" for none).
// Envelopes keep their pages, without the delivery address.
std::string unreadableEntriesMessage(int count, int layout);

// The book's records in list order as the pages use them.
class PageBook {
 public:
  PageBook() = default;
  PageBook(std::vector<AddressRecord> records, int cardSort, std::vector<int> unreadable = {});

  // The entries that could be read, in list order.
  const std::vector<AddressRecord>& records() const noexcept { return records_; }
  // The list positions whose record could not be read.
  const std::vector<int>& unreadable() const noexcept { return unreadable_; }
  // The entry at a position of the names list (readable or not), nullptr when it could
  // not be read or there is none: the envelope of page p shows position p - 1.
  const AddressRecord* atListPosition(int position) const noexcept;
  // Every entry, the unmarked ones, and the entries of each letter.
  EntryCounts counts() const noexcept;
  // Positions in records() of the entries drawn on a page, at most a page's worth.
  std::vector<int> entriesOfPage(int layout, int page, bool labelEachPage,
                                 const PageCount& count) const;

 private:
  std::vector<AddressRecord> records_;
  std::vector<int> unreadable_;
  std::array<std::vector<int>, 26> byLetter_;
};

// In "Label each page" mode, the letter whose pages hold `page`.
int pageLetter(const PageCount& count, int page) noexcept;

// The layout frame: the heading stands within its left and right edges and the
// footnote under its bottom edge.
Rect contentFrame(int layout, int headingY1) noexcept;

// The height of the heading's line, 0 when there is no heading (blank text).
int headingLineHeight(Canvas& canvas, const PageText& heading);
// The room the page view adds above a page: the heading's line and 15 units.
int headingRoom(Canvas& canvas, const PageText& heading, int layout);
void drawHeading(Canvas& canvas, const PageText& heading, const Rect& frame, int headingY1);
// One line under the frame, as high as the footnote's font; what does not fit is cut off.
void drawFootnote(Canvas& canvas, const PageText& footnote, const Rect& frame);

// The body of one page of an address-book layout.
void drawAddressPage(Canvas& canvas, const AddressPageSettings& settings, const PageBook& book,
                     const PageCount& count, int page);

// Layout geometry the tests and the page view share.
inline constexpr int kPageLeft = 50;
inline constexpr int kPageRight = 710;
inline constexpr int kPhoneColumn = 490;
inline constexpr int kFormLines = 30;
inline constexpr int kLineHeight = 29;
int linesPerEntry(int layout) noexcept;
constexpr int formTop(int headingY1) noexcept { return headingY1 + 20; }

}  // namespace mv
