#pragma once
// The import of a CSV file into a new book, without a window: the file's import fields,
// their match to the 28 record fields, and the records and book bytes the import makes.

#include "store/AddressRecord.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv::imp {

inline constexpr std::size_t kMaxNameChars = 99;   // characters of one header name
inline constexpr int kMaxImportRecords = 1900;     // records of one import
inline constexpr int kNotesField = 20;             // the import's "Notes": the record's notes
inline constexpr int kNoMatch = -1;

// The import's names of the 28 program fields, in record field order.
std::string_view programFieldName(int index) noexcept;
// The program field named `name` (letter case ignored), -1 when none.
int programFieldNamed(std::string_view name) noexcept;

// A CSV file as the import sees it.
struct ImportFile {
  std::vector<std::string> names;               // import field names (header), Windows-1252
  std::vector<std::vector<std::string>> lines;  // the data lines, values as read
  char separator = ',';
  bool utf8 = false;
  int replaced = 0;  // characters Windows-1252 cannot hold, now '?'
  bool text = true;  // false: the bytes are no text file (then names and lines are empty)
  int unclosedQuoteLine = 0;  // the line where a quote opened that never closes, 0 if none
  int linesInUnclosedQuote = 0;  // the lines after it that the open value took in
};
ImportFile parseImportFile(std::string_view bytes);

// The program field that the header names of other programs (mail programs,
// spreadsheets) usually mean; -1 for a name this table does not know.
int knownHeaderField(std::string_view name) noexcept;

// A column of the numbered groups that Google Contacts writes ("Phone 1 - Type",
// "Phone 1 - Value", "Address 1 - Street"…): a phone's value lands by its type, and one
// address of each entry is taken, the work address first.
enum class GroupRole : unsigned char {
  None,
  PhoneType,
  PhoneValue,
  AddressType,
  AddressPart,  // the street, city… of an address: `field` says which
  AddressPoBox,  // the second street line unless the extended address fills it
};
struct GroupColumn {
  GroupRole role = GroupRole::None;
  int number = 0;  // the group's number: 1 in "Phone 1 - Value"
  int field = -1;  // AddressPart: the program field
};
// What a header names as a group column; role None when it is none.
GroupColumn groupColumnNamed(std::string_view name) noexcept;

// Which import field fills which program field, kept in both directions, and which
// import fields the user checked. An import field fills at most one program field and a
// program field takes at most one import field. Columns of numbered groups fill their
// fields line by line instead (see GroupColumn) until the user matches them by hand.
class FieldMatch {
 public:
  explicit FieldMatch(int importCount = 0);

  int importCount() const noexcept { return static_cast<int>(programOf_.size()); }
  int programOf(int importField) const noexcept;
  int importOf(int programField) const noexcept;
  bool included(int importField) const noexcept;
  const GroupColumn& groupOf(int importField) const noexcept;
  // The field this column fills on a line where the column matched to it is empty (the
  // home street where the business street is, the whole address at once); -1 for none.
  int fallbackOf(int importField) const noexcept;
  // Matched to a field, a second choice for one or read as part of a group, and
  // checked: the column is imported.
  bool imports(int importField) const noexcept;

  // Exact names first (letter case and surrounding blanks ignored; of two equal names
  // the later one wins), then numbered groups, then the names other programs use, for the
  // fields still free; a further known name for a field already taken becomes its second
  // choice. "Notes" is never matched automatically.
  void autoMatch(const std::vector<std::string>& names);
  // Other import fields that hold `programField`, in list order: matching `importField`
  // to it would take it from them.
  std::vector<int> holdersOf(int programField, int importField) const;
  // Matches both ways and includes the field; the import field's earlier program field
  // and the program field's earlier import fields are released.
  void match(int importField, int programField);
  void unmatch(int importField);
  void setIncluded(int importField, bool included);

 private:
  std::vector<int> programOf_;
  std::vector<GroupColumn> groups_;
  std::vector<int> fallbackOf_;
  std::vector<bool> included_;
  std::array<int, kFieldCount> importOf_;
};

// What an import made and what the user should be told about it.
struct ImportedBook {
  std::vector<AddressRecord> records;
  std::vector<std::string> keys;  // "First,Last,Company" of each record, before marking
  int duplicates = 0;             // records marked "[Dup:%d]"
  int valuesCut = 0;              // values longer than their field or the notes hold
  int linesLeftOut = 0;           // usable lines beyond the 1,900 of one import
  int replaced = 0;               // characters Windows-1252 cannot hold
  int valuesLeftOut = 0;          // values with no field to go into (a third e-mail...)
  int namelessLeftOut = 0;        // cards with no name, company, e-mail or telephone
  int unclosedQuoteLine = 0;      // the line where a quote opened that never closes
  int linesInUnclosedQuote = 0;   // lines after it that its value took in, left out
  std::vector<std::string> columnsNotMatched;  // names of the columns not imported
};

// What fills a column, as the matching list shows it after "= ": a program field's name,
// or how a group column is read; empty when nothing.
std::string matchText(const FieldMatch& match, int importField);

// Called every 10 records with the number written so far.
using ImportProgress = std::function<void(int records)>;

// One record per usable line (a line with a matched, included value that is present),
// at most 1,900. Line breaks and the record delimiters 0x14..0x16 in a field value
// become blanks; a value is cut to 70 characters. A phone, e-mail or web value that
// holds several separated by " ::: " (as Google writes them) fills the field and its
// second (Home Phone'…) where it has one and no column of its own; the rest are counted
// as left out. Records whose First, Last and Company repeat an earlier record's (letter
// case ignored) get "[Dup:n]" (n = record number) on the first of those three fields
// that is matched, the value shortened to make room.
ImportedBook importRecords(const ImportFile& file, const FieldMatch& match,
                           const ImportProgress& progress = {});

// The new book's bytes: the magic line and the records. nullopt when there are more
// records than a book holds.
std::optional<std::string> bookBytes(const std::vector<AddressRecord>& records);

// Column names as a list: "A, B, C".
std::string joinedNames(const std::vector<std::string>& names);

// What the user should know after an import beyond the duplicates (cut values, replaced
// characters, left-out lines, a quote never closed, columns not matched), one sentence a
// line; empty when nothing. `lineOne` and `lineMany` name what the left-out lines were
// to the user.
std::string importNotice(const ImportedBook& result,
                         const char* lineOne = "line of the file was",
                         const char* lineMany = "lines of the file were");

}  // namespace mv::imp
