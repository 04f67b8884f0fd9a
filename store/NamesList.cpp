#include "store/NamesList.h"

#include "platform/Text.h"

#include <algorithm>

namespace mv {

NamesList::NamesList() { clear(); }

void NamesList::clear() {
  groups_.clear();
  groups_.push_back(GroupEntry{std::string(kMainName), GroupEntry::kMainData, {}});
  letters_.fill(false);
  nextSlot_ = 0;
}

bool NamesList::namesFurtherGroup(std::string_view groupValue) noexcept {
  return isPresent(groupValue) && !equalsIgnoreCase(groupValue, kMainName);
}

const NameEntry* NamesList::name(EntryRef ref) const noexcept {
  if (!ref.isName() || ref.group >= groupCount()) return nullptr;
  const auto& names = groups_[static_cast<size_t>(ref.group)].names;
  return static_cast<size_t>(ref.name) < names.size() ? &names[static_cast<size_t>(ref.name)]
                                                      : nullptr;
}

int NamesList::findGroup(std::string_view name) const noexcept {
  for (size_t i = 0; i < groups_.size(); ++i)
    if (equalsIgnoreCase(groups_[i].name, name)) return static_cast<int>(i);
  return -1;
}

int NamesList::addGroup(std::string_view name) {
  if (!isPresent(name)) return -1;
  if (const int at = findGroup(name); at >= 0) return at;
  groups_.push_back(GroupEntry{std::string(name), GroupEntry::kGroupData, {}});
  return groupCount() - 1;
}

bool NamesList::removeEmptyGroup(int index) {
  if (index <= kMain || index >= groupCount()) return false;
  if (!groups_[static_cast<size_t>(index)].names.empty()) return false;
  groups_.erase(groups_.begin() + index);
  return true;
}

int NamesList::findName(std::string_view key) const noexcept {
  for (const NameEntry& entry : mainNames())
    if (equalsIgnoreCase(entry.text, key)) return entry.slot;
  return -1;
}

EntryRef NamesList::findNameInGroup(int group, std::string_view text) const noexcept {
  if (group < 0 || group >= groupCount()) return {};
  const auto& names = groups_[static_cast<size_t>(group)].names;
  for (size_t i = 0; i < names.size(); ++i)
    if (equalsIgnoreCase(names[i].text, text)) return {group, static_cast<int>(i)};
  return {};
}

EntryRef NamesList::insertName(int group, std::string text, int slot, bool sorted) {
  if (group < 0 || group >= groupCount()) return {};
  auto& names = groups_[static_cast<size_t>(group)].names;
  auto at = names.end();
  if (sorted) {
    // After every equal text, as a sorted tree control inserts.
    at = std::upper_bound(names.begin(), names.end(), text,
                          [](const std::string& t, const NameEntry& e) {
                            return compareNamesPrimary(t, e.text) < 0;
                          });
  }
  at = names.insert(at, NameEntry{std::move(text), slot});
  return {group, static_cast<int>(at - names.begin())};
}

NamesList::Inserted NamesList::insertRecord(int slot, std::string key,
                                            std::string_view groupValue, bool sorted) {
  noteLetter(key);
  Inserted result;
  if (!namesFurtherGroup(groupValue)) {
    result.main = insertName(kMain, std::move(key), slot, sorted);
    return result;
  }
  result.main = insertName(kMain, key, slot, sorted);
  result.group = insertName(addGroup(groupValue), std::move(key), slot, sorted);
  return result;
}

void NamesList::removeName(EntryRef ref) {
  if (!name(ref)) return;
  auto& names = groups_[static_cast<size_t>(ref.group)].names;
  names.erase(names.begin() + ref.name);
}

void NamesList::sortAll() {
  std::string folded;            // every text of a group folded, one after another
  std::vector<size_t> starts;    // where each text begins in `folded`, and the end
  std::vector<size_t> order;
  std::vector<NameEntry> sorted;
  for (GroupEntry& g : groups_) {
    auto& names = g.names;
    if (names.size() < 2) continue;
    // Each text folded once, then compared as bytes: the order of compareNamesPrimary.
    folded.clear();
    starts.clear();
    order.resize(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
      starts.push_back(folded.size());
      appendFoldedForNameOrder(folded, names[i].text);
      order[i] = i;
    }
    starts.push_back(folded.size());
    const std::string_view all = folded;
    const auto text = [&](size_t i) { return all.substr(starts[i], starts[i + 1] - starts[i]); };
    std::stable_sort(order.begin(), order.end(),
                     [&text](size_t a, size_t b) { return text(a) < text(b); });
    sorted.clear();
    sorted.reserve(names.size());
    for (const size_t i : order) sorted.push_back(std::move(names[i]));
    names.swap(sorted);
  }
}

void NamesList::noteLetter(std::string_view key) noexcept {
  if (key.empty()) return;
  const unsigned char c = upperCp1252(static_cast<unsigned char>(key.front()));
  if (c >= 'A' && c <= 'Z') letters_[static_cast<size_t>(c - 'A')] = true;
}

}  // namespace mv
