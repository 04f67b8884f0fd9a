#include "cardwindow/CardSearch.h"

#include "platform/Text.h"
#include "store/Book.h"

#include <algorithm>

namespace mv {
namespace {

bool sameChar(char a, char b, bool matchCase) {
  if (matchCase) return a == b;
  return upperCp1252(static_cast<unsigned char>(a)) == upperCp1252(static_cast<unsigned char>(b));
}

bool fieldSearched(int field, const FindState& state, int fieldPosition) {
  return field > fieldPosition && (state.range == -1 || state.range == field);
}

}  // namespace

std::optional<int> findMatch(std::string_view field, std::string_view text, bool matchCase) {
  if (text.empty()) return std::nullopt;
  if (matchCase ? field == text : equalsIgnoreCase(field, text)) return 0;
  size_t matched = 0;
  for (size_t i = 0; i < field.size(); ++i) {
    if (sameChar(field[i], text[matched], matchCase)) {
      if (++matched == text.size()) return static_cast<int>(i + 1 - text.size());
    } else {
      matched = 0;
    }
  }
  return std::nullopt;
}

const std::vector<std::string>& findRangeEntries() {
  static const std::vector<std::string> kEntries = {
      "Search All Fields", "Mr/Ms",         "First Name",    "Last Name",
      "Job Title",         "Department",    "Company",       "Address Line 1",
      "Address Line 2",    "City",          "Region",        "Country",
      "Zip",               "Home Number",   "Office Number", "Mobile Number",
      "EMail Address",     "Web Address",   "Fax",           "Describe",
      "buffer",            "Home2",         "Office2",       "EMail2",
      "Web2",              "News Group",    "FTP Sites",     "Other1"};
  return kEntries;
}

int rangeEntryToField(int entry) {
  if (entry <= 0 || entry >= kFieldCount) return -1;
  // The list names Country before Zip while the fields run Zip, Country: each of the two
  // entries searches the field it names.
  if (entry == 11) return toInt(FieldId::Country);
  if (entry == 12) return toInt(FieldId::Zip);
  return entry;
}

int fieldToRangeEntry(int field) {
  if (field <= 0 || field >= kFieldCount) return 0;
  if (field == toInt(FieldId::Country)) return 11;
  if (field == toInt(FieldId::Zip)) return 12;
  return field;
}

std::optional<SearchHit> searchRecords(FindState& state, const SearchWalk& walk,
                                       const ReadFields& read) {
  const long budget = 3L * std::max(walk.recordCount, 1);
  long examined = 0;
  int fieldPosition = state.fieldPosition;

  const auto examine = [&](const std::vector<int>& names, int index,
                           bool inStart) -> std::optional<SearchHit> {
    const int slot = names[static_cast<size_t>(index)];
    const auto fields = read(slot);
    if (!fields) return std::nullopt;
    for (int f = 0; f < kFieldCount; ++f) {
      if (!fieldSearched(f, state, fieldPosition)) continue;
      if (const auto at = findMatch((*fields)[static_cast<size_t>(f)], state.text,
                                    state.matchCase)) {
        return SearchHit{inStart, index, slot, f, *at};
      }
    }
    return std::nullopt;
  };

  std::optional<SearchHit> hit;
  const bool continuing = walk.continueFrom >= 0 && state.fieldPosition >= 0;
  const int first = continuing ? walk.continueFrom : 0;
  if (!continuing) fieldPosition = -1;
  for (int i = first; !hit && i < static_cast<int>(walk.startGroup.size()) && examined < budget;
       ++i, ++examined) {
    hit = examine(walk.startGroup, i, true);
    fieldPosition = -1;  // only the name of the last match continues after a field
  }
  for (int i = 0; !hit && i < static_cast<int>(walk.mainGroup.size()) && examined < budget;
       ++i, ++examined) {
    hit = examine(walk.mainGroup, i, false);
  }
  if (hit) {
    state.fieldPosition = hit->field;
    state.matchStart = hit->matchStart;
  }
  return hit;
}

int findNameByLetter(const std::vector<std::string>& names, char letter) {
  for (const std::string prefix : {"", " ", "  "}) {
    const std::string wanted = prefix + letter;
    for (size_t i = 0; i < names.size(); ++i) {
      if (startsWithIgnoreCase(names[i], wanted)) return static_cast<int>(i);
    }
  }
  return -1;
}

namespace {
int groupOf(const NamesList& names, EntryRef selection) {
  return selection.isValid() && selection.group < names.groupCount() ? selection.group
                                                                     : NamesList::kMain;
}
}  // namespace

std::optional<BookHit> searchBook(FindState& state, const Book& book, EntryRef selection) {
  const NamesList& names = book.names();
  const int group = groupOf(names, selection);
  SearchWalk walk;
  for (const auto& n : names.group(group).names) walk.startGroup.push_back(n.slot);
  for (const auto& n : names.mainNames()) walk.mainGroup.push_back(n.slot);
  walk.continueFrom = selection.isName() ? selection.name : -1;
  walk.recordCount = names.count();
  const auto hit = searchRecords(state, walk, [&book](int slot) -> std::optional<RecordFields> {
    auto record = book.readRecord(slot);
    if (!record) return std::nullopt;
    return record->fields;
  });
  if (!hit) return std::nullopt;
  return BookHit{{hit->inStartGroup ? group : NamesList::kMain, hit->index}, hit->field,
                 hit->matchStart};
}

std::optional<EntryRef> letterJump(const NamesList& names, EntryRef selection, char letter) {
  const int group = groupOf(names, selection);
  std::vector<std::string> texts;
  for (const auto& n : names.group(group).names) texts.push_back(n.text);
  const int index = findNameByLetter(texts, letter);
  if (index < 0) return std::nullopt;
  return EntryRef{group, index};
}

}  // namespace mv
