#pragma once
// One address-book entry: 28 single-line fields, the notes, and the numbers that
// travel with it in files. Every subsystem names fields by FieldId.

#include <array>
#include <string>
#include <string_view>

namespace mv {

enum class FieldId : int {
  Group = 0,
  MrMs = 1,
  First = 2,
  Last = 3,
  Title = 4,
  Dept = 5,
  Company = 6,
  Address1 = 7,
  Address2 = 8,
  City = 9,
  State = 10,
  Zip = 11,
  Country = 12,
  Home = 13,
  Office = 14,
  Mobile = 15,
  Email = 16,
  WebSite = 17,
  Fax = 18,
  Describe = 19,
  Buffer = 20,  // the shared editor's copy of one second-set field
  Home2 = 21,
  Office2 = 22,
  Email2 = 23,
  Web2 = 24,
  NewsGroup = 25,
  FtpSite = 26,
  Other = 27,
};

inline constexpr int kFieldCount = 28;
inline constexpr int kFirstSecondSet = 21;
inline constexpr int kLastSecondSet = 27;
// A field holds at most 70 characters in a file; notes at most 7,989 as typed.
inline constexpr size_t kMaxFieldChars = 70;
inline constexpr size_t kMaxNotesChars = 7989;

constexpr int toInt(FieldId f) noexcept { return static_cast<int>(f); }

struct AddressRecord {
  std::array<std::string, kFieldCount> fields{};
  std::string notes;
  int slot = 0;
  char initial = '_';
  int mark = 0;  // 1 = no mailing label

  std::string& operator[](FieldId f) { return fields[static_cast<size_t>(toInt(f))]; }
  const std::string& operator[](FieldId f) const {
    return fields[static_cast<size_t>(toInt(f))];
  }
  bool operator==(const AddressRecord&) const = default;
};

// Names, limits and control ids of one field.
struct FieldInfo {
  FieldId id;
  std::string_view cardLabel;   // drawn inside the field's box on the card; empty for 8
  std::string_view listName;    // export field list
  std::string_view importName;  // import field list ("Notes" for field 20)
  int inputLimit;               // characters the edit box accepts
  int controlId;                // 131 + FieldId
};

const std::array<FieldInfo, kFieldCount>& fieldTable() noexcept;
const FieldInfo& fieldInfo(FieldId f) noexcept;

// The name key: First, Last and Company in the order of Card_Sort (0 first, 1 last,
// 2 company; other values count as 0), a blank after each non-empty beginning.
std::string nameKey(std::string_view first, std::string_view last, std::string_view company,
                     int cardSort);
std::string nameKey(const AddressRecord& record, int cardSort);
// The same written over `out`, for a caller that makes one key after another.
void assignNameKey(std::string& out, std::string_view first, std::string_view last,
                   std::string_view company, int cardSort);

// The text that makes a repeated entry distinct: "[Dup:%d]".
std::string duplicateSuffix(int index);

// The first character of a key as written in a saved file's start line: A..z in byte
// order, otherwise '_'.
char savedInitial(std::string_view nameKey) noexcept;

// Text stored into a record never holds a line break (fields) or the record delimiters
// 0x14..0x16 (fields and notes): a pasted text must not break the file.
std::string cleanFieldText(std::string_view text);
std::string cleanNotesText(std::string_view text);

}  // namespace mv
