#pragma once
// Building blocks for the store's tests: records, a book in its own scratch folder, and
// adding a record the way the card's commit does.

#include "store/Book.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace mv::test {

inline AddressRecord makeRecord(std::string first, std::string last, std::string company = {},
                                std::string group = {}, int mark = 0) {
  AddressRecord r;
  r[FieldId::First] = std::move(first);
  r[FieldId::Last] = std::move(last);
  r[FieldId::Company] = std::move(company);
  r[FieldId::Group] = std::move(group);
  r.mark = mark;
  return r;
}

// Adds a new record (new slot, sorted into the list, appended to the working file).
inline int addRecord(Book& book, const AddressRecord& r) {
  const int slot = book.allocateSlot();
  const std::string key = nameKey(r, book.cardSort());
  book.names().insertRecord(slot, key, r[FieldId::Group], true);
  book.workingFile().setMark(slot, r.mark);
  if (!book.workingFile().append(r, slot, key.empty() ? '_' : key.front())) return -1;
  return slot;
}

// The 28 field lines of a record with the given fields set (others empty).
inline std::string fieldLines(std::initializer_list<std::pair<FieldId, std::string>> set) {
  std::array<std::string, kFieldCount> f{};
  for (const auto& [id, value] : set) f[static_cast<size_t>(toInt(id))] = value;
  std::string out;
  for (const auto& v : f) out += v + "\n";
  return out;
}

// The names under one group, in list order.
inline std::vector<std::string> namesOf(const Book& book, int group) {
  std::vector<std::string> out;
  for (const NameEntry& e : book.names().group(group).names) out.push_back(e.text);
  return out;
}

}  // namespace mv::test
