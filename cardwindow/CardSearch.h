#pragma once
// Find and Search Again over the records of a book: the match rule, the range list of
// the Find dialog, the walk over the names of the start group and then "Main", and the
// jump to the first name beginning with a letter.

#include "store/AddressRecord.h"
#include "store/NamesList.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr size_t kMaxFindChars = 48;

// What Find remembers between searches.
struct FindState {
  std::string text;        // at most 48 characters
  bool matchCase = false;
  int range = -1;          // -1 all fields, else the FieldId searched
  int fieldPosition = -1;  // FieldId of the last match; -1 = start afresh
  int matchStart = 0;      // offset of the last match within its field
};

// Where the text occurs in a field, or nothing. A field equal to the text matches at 0.
// Otherwise the field is walked once with a counter of matched characters that returns to
// 0 on a mismatch without comparing that character again (so "aab" is not found in
// "aaab"); letters compare after conversion to upper case unless matchCase.
std::optional<int> findMatch(std::string_view field, std::string_view text, bool matchCase);

// The entries of the Find dialog's range list, in order ("Search All Fields" first).
const std::vector<std::string>& findRangeEntries();
// Range list entry -> FieldId (-1 for "Search All Fields"). "Country" and "Zip" search
// the fields they name.
int rangeEntryToField(int entry);
int fieldToRangeEntry(int field);

// The names the walk sees: for each, the record's slot.
struct SearchWalk {
  std::vector<int> startGroup;  // slots of the start group's names, in list order
  std::vector<int> mainGroup;   // slots of the names under "Main", in list order
  // Index in startGroup of the name shown when the last match was found (Search Again),
  // or -1 to begin with the group's first name.
  int continueFrom = -1;
  int recordCount = 0;
};

struct SearchHit {
  bool inStartGroup = true;  // else the index is under "Main"
  int index = 0;             // position of the name in its group
  int slot = 0;
  int field = 0;
  int matchStart = 0;
  bool operator==(const SearchHit&) const = default;
};

using RecordFields = std::array<std::string, kFieldCount>;
// Reads the fields of the record in a slot; nothing when it cannot be read.
using ReadFields = std::function<std::optional<RecordFields>(int slot)>;

// Searches as Find (state.fieldPosition -1) or Search Again (the position of the last
// match with walk.continueFrom at the name that holds it): the remaining fields of that
// name, then the following names of the start group, then once every name under "Main".
// At most three times the record count names are examined. On a hit, the state's field
// position and match start are updated.
std::optional<SearchHit> searchRecords(FindState& state, const SearchWalk& walk,
                                       const ReadFields& read);

class Book;

// Find or Search Again in a book as the card window does it: the walk starts in the group
// of `selection` (Main when nothing is selected) and continues from the selected name.
// The entry is the name holding the match, in that group or under Main.
struct BookHit {
  EntryRef entry;
  int field = 0;
  int matchStart = 0;
};
std::optional<BookHit> searchBook(FindState& state, const Book& book, EntryRef selection);

// The A to Z jump within the group of `selection` (Main when nothing is selected): the
// name to show, or nothing when no name begins with the letter.
std::optional<EntryRef> letterJump(const NamesList& names, EntryRef selection, char letter);

// Jump to a letter: the first name beginning with the letter without regard to case,
// else the first beginning with a blank and the letter, else with two blanks and the
// letter. -1 when there is none.
int findNameByLetter(const std::vector<std::string>& names, char letter);

}  // namespace mv
