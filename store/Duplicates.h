#pragma once
// Entries that may be the same person: found by a shared name key, e-mail address or
// telephone number, merged two at a time into one entry with each field chosen, and the
// merge undone until the book is next saved.

#include "store/Book.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class DuplicateReason { Name, Email, Phone };

// Entries sharing one value. An entry can be in several groups (its e-mail with one
// entry, its telephone with another).
struct DuplicateGroup {
  DuplicateReason reason = DuplicateReason::Name;
  std::string shared;      // the name (without "[Dup:n]"), e-mail or digits, as compared
  std::vector<int> members;  // the slots of its entries, in list order
};

// The digits of a telephone number: "(555) 123-4567" and "555.123.4567" are both
// "5551234567". Numbers of fewer than five digits are compared by no one (an extension
// alone says nothing).
std::string phoneDigits(std::string_view number);
// The name key as entries are compared: the marks "[Dup:n]" that an import or Rescan
// appends removed, blanks trimmed, letter case ignored.
std::string comparableNameKey(const AddressRecord& record, int cardSort);

// Groups by name, then e-mail (letter case ignored; both e-mail fields), then telephone
// (the six telephone fields and the fax), each in the list order of its first entry.
std::vector<DuplicateGroup> findDuplicates(const Book& book);
// "Name", "E-mail" or "Telephone".
std::string_view reasonName(DuplicateReason reason) noexcept;

// `keep` with the fields for which `takeOther` is true taken from `other`. The notes are
// joined (keep's first, a blank line between) when both have some and they differ, cut
// to what the notes hold. The Buffer field is left alone.
using FieldChoice = std::array<bool, kFieldCount>;
AddressRecord mergedRecord(const AddressRecord& keep, const AddressRecord& other,
                           const FieldChoice& takeOther);
// For the window's first proposal: a field is taken from `other` where `keep` has none.
FieldChoice fillEmptyFields(const AddressRecord& keep, const AddressRecord& other);

enum class MergeResult {
  Merged,
  NotOpen,       // no book
  NoSuchEntry,   // a slot holds no record (or both are the same)
  NameTaken,     // a third entry already has the merged name
  WriteFailed,   // the working file could not be written; nothing changed
};

// Merges and undoes on one book. The merged record replaces `keep` under its slot and
// name; `other` is deleted. Both stay in the working file (it only ever grows between
// saves), so undo puts their earlier versions back by their offsets.
class DuplicateMerger {
 public:
  explicit DuplicateMerger(Book& book) noexcept : book_(book) {}

  MergeResult merge(int keepSlot, int otherSlot, const AddressRecord& merged);
  // True while the last merge can be undone: nothing saved, reopened or rebuilt since.
  bool canUndo() const;
  // Undoes the last merge; false when it can no longer be undone (the history is then
  // dropped).
  bool undo();
  int undoCount() const noexcept { return static_cast<int>(history_.size()); }

 private:
  struct Step {
    int keepSlot = -1;
    int otherSlot = -1;
    long keepOffset = 0;   // the versions before the merge
    long otherOffset = 0;
    long mergedOffset = 0;  // where the merged version went
    AddressRecord keepBefore;
    AddressRecord otherBefore;
    unsigned long generation = 0;
  };
  void removeEntriesOf(int slot);
  void insertEntry(int slot, const AddressRecord& record);

  Book& book_;
  std::vector<Step> history_;
};

}  // namespace mv
