#pragma once
// The names list: "Main" with every entry, then one entry per further group, each holding
// the names of its records. Its order under "Main" is the order of saving, printing and
// exporting. The card window shows it as a tree; this is the model behind that tree.

#include <array>
#include <compare>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A name: the record's name key when it was inserted, and the record's slot.
struct NameEntry {
  std::string text;
  int slot = 0;
};

struct GroupEntry {
  static constexpr int kMainData = -99;
  static constexpr int kGroupData = -1;

  std::string name;
  int data = kGroupData;  // -99 for "Main", -1 for every other group
  std::vector<NameEntry> names;
};

// Points at a top-level entry (name < 0) or at a name under it. Indexes are positions,
// so a reference is valid until the list changes.
struct EntryRef {
  int group = -1;
  int name = -1;

  bool isValid() const noexcept { return group >= 0; }
  bool isGroup() const noexcept { return group >= 0 && name < 0; }
  bool isName() const noexcept { return group >= 0 && name >= 0; }
  auto operator<=>(const EntryRef&) const = default;
};

class NamesList {
 public:
  static constexpr int kMain = 0;  // index of "Main"
  static constexpr std::string_view kMainName = "Main";

  NamesList();  // "Main" alone

  // Back to "Main" alone; next slot 0; letter flags cleared.
  void clear();

  // A Group value names a further group when it is present and is not "Main" in any
  // letter case.
  static bool namesFurtherGroup(std::string_view groupValue) noexcept;

  int groupCount() const noexcept { return static_cast<int>(groups_.size()); }
  const GroupEntry& group(int index) const { return groups_.at(static_cast<size_t>(index)); }
  const std::vector<GroupEntry>& groups() const noexcept { return groups_; }
  const std::vector<NameEntry>& mainNames() const noexcept { return groups_.front().names; }
  // The entry a reference points at (a name), or null.
  const NameEntry* name(EntryRef ref) const noexcept;

  // The top-level entry whose name equals `name` ignoring case, searching from "Main"
  // on ("main" finds "Main"); -1 when absent.
  int findGroup(std::string_view name) const noexcept;
  // Adds a group at the end of the top level unless one of that name (ignoring case)
  // exists; returns the index of the group either way. An absent name returns -1.
  int addGroup(std::string_view name);
  // Removes a group entry that holds no names (never "Main"); false otherwise.
  [[nodiscard]] bool removeEmptyGroup(int index);

  // The slot of the first name under "Main" whose WHOLE text equals `key` ignoring case;
  // -1 when none. (A prefix match would let a commit overwrite a different person's
  // record whose key merely begins with the edited one.)
  int findName(std::string_view key) const noexcept;
  // The first name under `group` whose whole text equals `text` ignoring case.
  EntryRef findNameInGroup(int group, std::string_view text) const noexcept;

  // Inserts a name under `group`: in alphabetical position after equal texts
  // (compareNamesPrimary) when `sorted`, else at the end. Returns where it went.
  EntryRef insertName(int group, std::string text, int slot, bool sorted);

  // Inserts a record's name under "Main" and, when `groupValue` names a further group,
  // under that group (created at the end of the top level if absent). Sets the letter
  // flag. Does not touch count or next slot.
  struct Inserted {
    EntryRef main;
    EntryRef group;  // invalid when the record is in "Main" only
  };
  Inserted insertRecord(int slot, std::string key, std::string_view groupValue, bool sorted);

  // Removes one name entry (the caller removes its twin under "Main" or the group).
  void removeName(EntryRef ref);

  // Orders the names under every group alphabetically (stable: equal texts keep their
  // order, as if inserted one by one after equals).
  void sortAll();

  // 26 flags, A to Z: some name key begins with that letter (after upper-casing).
  const std::array<bool, 26>& lettersPresent() const noexcept { return letters_; }
  void noteLetter(std::string_view key) noexcept;

  // Number of records in the book (names under "Main").
  int count() const noexcept { return static_cast<int>(mainNames().size()); }

  // Slot the next new record receives; set to the record count by a build, then one up
  // per added record; never lowered by deletions.
  int nextSlot() const noexcept { return nextSlot_; }
  void setNextSlot(int slot) noexcept { nextSlot_ = slot; }

 private:
  std::vector<GroupEntry> groups_;
  std::array<bool, 26> letters_{};
  int nextSlot_ = 0;
};

}  // namespace mv
