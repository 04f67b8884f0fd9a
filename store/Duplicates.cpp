#include "store/Duplicates.h"

#include "platform/Text.h"

#include <unordered_map>

namespace mv {
namespace {

constexpr std::size_t kMinPhoneDigits = 5;

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(lowerCp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trimmed(std::string_view s) noexcept {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// `text` without every "[Dup:n]".
std::string withoutDupMarks(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (startsWithIgnoreCase(text.substr(i), "[Dup:")) {
      std::size_t j = i + 5;
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
      if (j > i + 5 && j < text.size() && text[j] == ']') {
        i = j + 1;
        continue;
      }
    }
    out.push_back(text[i++]);
  }
  return std::string(trimmed(out));
}

// Values in first-seen order, each with the slots of the entries that hold it.
class Collector {
 public:
  void add(std::string value, int slot) {
    auto [it, added] = index_.try_emplace(value, groups_.size());
    if (added) groups_.push_back({std::move(value), {}});
    std::vector<int>& members = groups_[it->second].second;
    if (members.empty() || members.back() != slot) members.push_back(slot);
  }
  void appendGroups(DuplicateReason reason, std::vector<DuplicateGroup>& out) const {
    for (const auto& [value, members] : groups_)
      if (members.size() > 1) out.push_back({reason, value, members});
  }

 private:
  std::unordered_map<std::string, std::size_t> index_;
  std::vector<std::pair<std::string, std::vector<int>>> groups_;
};

}  // namespace

std::string phoneDigits(std::string_view number) {
  std::string out;
  for (char c : number)
    if (c >= '0' && c <= '9') out.push_back(c);
  return out;
}

std::string comparableNameKey(const AddressRecord& record, int cardSort) {
  const std::string key =
      nameKey(withoutDupMarks(record[FieldId::First]), withoutDupMarks(record[FieldId::Last]),
              withoutDupMarks(record[FieldId::Company]), cardSort);
  return lowered(trimmed(key));
}

std::vector<DuplicateGroup> findDuplicates(const Book& book) {
  Collector names, emails, phones;
  for (const AddressRecord& r : book.recordsInListOrder()) {
    if (std::string key = comparableNameKey(r, book.cardSort()); !key.empty())
      names.add(std::move(key), r.slot);
    for (FieldId f : {FieldId::Email, FieldId::Email2}) {
      std::string email = lowered(trimmed(r[f]));
      if (!email.empty()) emails.add(std::move(email), r.slot);
    }
    for (FieldId f : {FieldId::Home, FieldId::Office, FieldId::Mobile, FieldId::Fax,
                      FieldId::Home2, FieldId::Office2}) {
      std::string digits = phoneDigits(r[f]);
      if (digits.size() >= kMinPhoneDigits) phones.add(std::move(digits), r.slot);
    }
  }
  std::vector<DuplicateGroup> out;
  names.appendGroups(DuplicateReason::Name, out);
  emails.appendGroups(DuplicateReason::Email, out);
  phones.appendGroups(DuplicateReason::Phone, out);
  return out;
}

std::string_view reasonName(DuplicateReason reason) noexcept {
  switch (reason) {
    case DuplicateReason::Name: return "Name";
    case DuplicateReason::Email: return "E-mail";
    case DuplicateReason::Phone: return "Telephone";
  }
  return {};
}

AddressRecord mergedRecord(const AddressRecord& keep, const AddressRecord& other,
                           const FieldChoice& takeOther) {
  AddressRecord out = keep;
  for (int f = 0; f < kFieldCount; ++f) {
    if (f == toInt(FieldId::Buffer)) continue;
    const auto i = static_cast<std::size_t>(f);
    if (takeOther[i]) out.fields[i] = other.fields[i];
  }
  if (out.notes.empty()) {
    out.notes = other.notes;
  } else if (!other.notes.empty() && other.notes != keep.notes) {
    out.notes += "\r\n\r\n" + other.notes;
  }
  if (out.notes.size() > kMaxNotesChars) {
    out.notes.resize(kMaxNotesChars);
    if (out.notes.back() == '\r') out.notes.pop_back();  // never half a line end
  }
  return out;
}

FieldChoice fillEmptyFields(const AddressRecord& keep, const AddressRecord& other) {
  FieldChoice choice{};
  for (std::size_t f = 0; f < choice.size(); ++f)
    choice[f] = keep.fields[f].empty() && !other.fields[f].empty();
  choice[static_cast<std::size_t>(toInt(FieldId::Buffer))] = false;
  return choice;
}

// ---------------------------------------------------------------------------------------

void DuplicateMerger::removeEntriesOf(int slot) {
  NamesList& names = book_.names();
  for (int g = 0; g < names.groupCount(); ++g) {
    const std::vector<NameEntry>& entries = names.group(g).names;
    for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i)
      if (entries[static_cast<std::size_t>(i)].slot == slot) names.removeName({g, i});
  }
}

void DuplicateMerger::insertEntry(int slot, const AddressRecord& record) {
  const std::string key = nameKey(record, book_.cardSort());
  book_.names().noteLetter(key);
  static_cast<void>(book_.names().insertRecord(slot, key, record[FieldId::Group], true));
}

MergeResult DuplicateMerger::merge(int keepSlot, int otherSlot, const AddressRecord& merged) {
  if (!book_.isOpen()) return MergeResult::NotOpen;
  if (keepSlot == otherSlot) return MergeResult::NoSuchEntry;
  const std::optional<AddressRecord> keep = book_.readRecord(keepSlot);
  const std::optional<AddressRecord> other = book_.readRecord(otherSlot);
  if (!keep || !other) return MergeResult::NoSuchEntry;
  // Entries are found by their name: the merged one must not take a third entry's.
  const std::string key = nameKey(merged, book_.cardSort());
  if (const int holder = book_.names().findName(key);
      holder >= 0 && holder != keepSlot && holder != otherSlot)
    return MergeResult::NameTaken;

  WorkingFile& file = book_.workingFile();
  Step step;
  step.keepSlot = keepSlot;
  step.otherSlot = otherSlot;
  step.keepOffset = file.offset(keepSlot);
  step.otherOffset = file.offset(otherSlot);
  step.keepBefore = *keep;
  step.otherBefore = *other;
  AddressRecord record = merged;
  record.slot = keepSlot;
  if (!file.append(record, keepSlot, key.empty() ? '_' : key.front()))
    return MergeResult::WriteFailed;
  step.mergedOffset = file.offset(keepSlot);
  file.setOffset(otherSlot, WorkingFile::kDeleted);
  removeEntriesOf(keepSlot);
  removeEntriesOf(otherSlot);
  insertEntry(keepSlot, record);
  file.setChanged(true);
  file.setReorderNeeded(true);
  step.generation = book_.generation();
  history_.push_back(std::move(step));
  return MergeResult::Merged;
}

bool DuplicateMerger::canUndo() const {
  if (history_.empty() || !book_.isOpen()) return false;
  const Step& step = history_.back();
  const WorkingFile& file = book_.workingFile();
  // A save, a reopened book or a rebuilt list (which renumbers slots) ends the history;
  // so does an edit of the merged entry or of the deleted one's slot since.
  return step.generation == book_.generation() &&
         file.offset(step.keepSlot) == step.mergedOffset &&
         file.offset(step.otherSlot) == WorkingFile::kDeleted;
}

bool DuplicateMerger::undo() {
  if (!canUndo()) {
    history_.clear();
    return false;
  }
  const Step step = std::move(history_.back());
  history_.pop_back();
  WorkingFile& file = book_.workingFile();
  removeEntriesOf(step.keepSlot);
  // The file only grew since the merge: the earlier versions are where they were.
  file.setOffset(step.keepSlot, step.keepOffset);
  file.setOffset(step.otherSlot, step.otherOffset);
  insertEntry(step.keepSlot, step.keepBefore);
  insertEntry(step.otherSlot, step.otherBefore);
  file.setChanged(true);
  file.setReorderNeeded(true);
  return true;
}

}  // namespace mv
