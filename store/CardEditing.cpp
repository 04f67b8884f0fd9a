#include "store/CardEditing.h"

#include "platform/Prompter.h"
#include "platform/Text.h"

namespace mv {
namespace {

constexpr const char* kRenamedNotice =
    "Added as a new entry: %s; the entry before the change is kept";
constexpr const char* kLimitReached =
    "Addressbook file is reaching its limit\n\t\tPlease save this file and open a new file for "
    "other entries.";

}  // namespace

bool acceptNewName(const NameParts& parts, Prompter& prompter) {
  if (isPresent(parts.first) || isPresent(parts.last) || isPresent(parts.company)) return true;
  prompter.inform(
      "Please enter at least one of:        \n\n\tFirst Name\n\tLast Name\n\tCompany\n\nThen "
      "click on OK again",
      "Not enough information", Icon::Information);
  return false;
}

int notesRoom(std::size_t characters, std::size_t lineEnds, std::size_t replaced) noexcept {
  return static_cast<int>(kMaxNotesChars) - static_cast<int>(characters + lineEnds) +
         static_cast<int>(replaced);
}

std::string fitNotes(std::string_view text, int room) {
  std::string out;
  for (const char c : text) {
    if (c == '\r') continue;
    const int cost = c == '\n' ? 2 : 1;
    if (room < cost) break;
    room -= cost;
    out += c;
  }
  return out;
}

void CardEditing::notifyCard() const {
  if (hooks_.cardChanged) hooks_.cardChanged();
}

void CardEditing::notifyList() const {
  if (hooks_.listChanged) hooks_.listChanged();
}

int CardEditing::selectedMainIndex() const noexcept {
  const NameEntry* entry = names().name(selection_);
  if (!entry) return -1;
  if (selection_.group == NamesList::kMain) return selection_.name;
  const auto& main = names().mainNames();
  for (size_t i = 0; i < main.size(); ++i)
    if (main[i].slot == entry->slot) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------------------------------
// Selection

EntryRef CardEditing::findBySlot(int group, int slot) const {
  if (group < 0 || group >= names().groupCount()) return {};
  const auto& list = names().group(group).names;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].slot == slot) return {group, static_cast<int>(i)};
  return {};
}

CardEditing::Anchor CardEditing::anchorOf(EntryRef entry) const {
  Anchor a;
  if (!entry.isValid() || entry.group >= names().groupCount()) return a;
  a.group = names().group(entry.group).name;
  a.nextSlot = names().nextSlot();
  if (const NameEntry* n = names().name(entry)) {
    a.slot = n->slot;
    const auto& main = names().mainNames();
    for (size_t i = 0; i < main.size(); ++i)
      if (main[i].slot == n->slot) a.mainIndex = static_cast<int>(i);
  }
  return a;
}

EntryRef CardEditing::resolve(const Anchor& a) const {
  if (a.group.empty()) return {};
  const int group = names().findGroup(a.group);
  if (group < 0) return {NamesList::kMain, -1};
  if (a.slot < 0) return {group, -1};
  // A rebuild in between (next slot went down) numbered the records by list position.
  const bool renumbered = names().nextSlot() < a.nextSlot;
  const EntryRef found = findBySlot(group, renumbered ? a.mainIndex : a.slot);
  return found.isValid() ? found : EntryRef{group, -1};
}

void CardEditing::showGroup(int group) {
  card_.clear();
  const std::string name =
      group >= 0 && group < names().groupCount() ? names().group(group).name : "Main";
  card_.put(FieldId::Group, name);
  card_.clearModified();
}

void CardEditing::showEntry(EntryRef entry) {
  if (entry.isGroup()) {
    showGroup(entry.group);
  } else if (const NameEntry* n = names().name(entry)) {
    if (auto record = book_.readRecord(n->slot)) card_.load(*record);
  }
  notifyCard();
}

void CardEditing::selectQuietly(EntryRef entry) {
  selection_ = entry;
  notifyList();
}

void CardEditing::select(EntryRef entry) {
  if (entry.isName()) {
    const NameEntry* n = names().name(entry);
    if (!n) return;
    if (card_.anyModified()) {
      // Storing may insert a name and shift the positions: find the chosen one again.
      // A card that could not be stored has told the user why; the choice stands.
      const Anchor chosen = anchorOf(entry);
      static_cast<void>(storeCard(StoreCommand::Commit));
      entry = resolve(chosen);
      if (!entry.isName()) return;
    }
  } else {
    if (!entry.isGroup() || entry.group >= names().groupCount()) return;
    // A group shows an empty card: what was typed is stored first, as for a name, rather
    // than wiped.
    if (card_.anyModified()) {
      const Anchor chosen = anchorOf(entry);
      static_cast<void>(storeCard(StoreCommand::Commit));
      entry = resolve(chosen);
      if (!entry.isGroup()) return;
    }
  }
  selection_ = entry;
  showEntry(entry);
  notifyList();
}

void CardEditing::goToGroup(int index) {
  if (index < 0 || index >= names().groupCount()) return;
  // The card keeps its content, so that Change moves the shown record to this group.
  selectQuietly({index, -1});
  card_.put(FieldId::Group, names().group(index).name);
  notifyCard();
}

// ---------------------------------------------------------------------------------------
// Editing rules

void CardEditing::commitPending() {
  // The file command goes on with what is stored; a card that could not be stored has
  // told the user why.
  if (book_.isOpen() && card_.anyModified()) static_cast<void>(storeCard(StoreCommand::Commit));
}

bool CardEditing::requireBook() {
  if (book_.isOpen()) return true;
  prompter_.inform(kNoFileSelected, kAppCaption, Icon::Information);
  return false;
}

StoreResult CardEditing::storeCard(StoreCommand command) {
  if (!requireBook()) return StoreResult::None;
  if (!card_.hasName()) return StoreResult::None;

  AddressRecord record = card_.toRecord();
  const std::string key = nameKey(record, book_.cardSort());
  book_.names().noteLetter(key);
  int slot = book_.names().findName(key);
  StoreResult result = StoreResult::None;
  bool renamed = false;

  if (slot < 0) {
    if (command == StoreCommand::Change) {
      const Answer a = prompter_.ask(
          Message{fillFormat("%s\nDoes not Exists\n\nDo you want to Add it to the Names List      ",
                             {key}),
                  "Add?", Icon::Question, Buttons::YesNo, Answer::Yes});
      if (a != Answer::Yes) return StoreResult::None;
      result = StoreResult::Added;
    }
    // Entries are keyed by their name: a shown entry whose name was changed and is stored
    // by moving on is added as a new entry beside the old one. That is intended, but the
    // user must hear of it to delete the old entry if it is not wanted.
    renamed = command == StoreCommand::Commit && selection_.isName();
    // The selection is held by what it shows: inserting moves positions, and when the
    // slots run out, allocating compacts the book and renumbers every record.
    const Anchor selected = anchorOf(selection_);
    slot = book_.allocateSlot();
    if (slot < 0) {
      prompter_.inform(kLimitReached, "Too many entries", Icon::Stop);
      return StoreResult::None;
    }
    book_.workingFile().setMark(slot, 0);
    const auto inserted =
        book_.names().insertRecord(slot, key, record[FieldId::Group], /*sorted=*/true);
    if (command != StoreCommand::Commit)
      selection_ = inserted.group.isValid() ? inserted.group : inserted.main;
    else
      selection_ = resolve(selected);
    notifyList();
  } else {
    if (command == StoreCommand::Add) {
      prompter_.inform(
          fillFormat("%s\nIs already added\n\nTo Add a NEW item:\n\tEnter a new 'FirstName', "
               "'LastName', and 'Company'      \n\nTo Change THIS item:\n\tClick on Change",
               {key}),
          "This item is already added", Icon::Information);
      return StoreResult::None;
    }
    result = StoreResult::Replaced;
  }

  record.slot = slot;
  const char initial = key.empty() ? '_' : key.front();
  if (!book_.workingFile().append(record, slot, initial)) {
    prompter_.inform("File Error", kAppCaption, Icon::Stop);
    return StoreResult::None;
  }
  card_.noteStored(record);
  if (renamed && hooks_.notice) hooks_.notice(fillFormat(kRenamedNotice, {key}));
  notifyCard();
  return result;
}

void CardEditing::addName() {
  if (names().count() > kMaxRecordsForAdd) {
    prompter_.inform(kLimitReached, "Too many entries", Icon::Stop);
    return;
  }
  const bool modified = card_.anyModified();
  if (!modified) clearCard();
  if (!card_.hasName() || !modified) {
    const NameParts prefill{card_.text(FieldId::First), card_.text(FieldId::Last),
                            card_.text(FieldId::Company)};
    const auto parts = dialogs_.askNewName(prefill);
    if (!parts) {
      if (!modified) {
        card_.undoLastEdit();
        notifyCard();
      }
      return;
    }
    card_.put(FieldId::First, parts->first);
    card_.put(FieldId::Last, parts->last);
    card_.put(FieldId::Company, parts->company);
    notifyCard();
  }
  // Add ends on the edit page whatever became of the name: a refusal has been shown.
  if (card_.hasName()) static_cast<void>(storeCard(StoreCommand::Add));
  if (hooks_.showEditPage) hooks_.showEditPage();
}

void CardEditing::changeName() {
  if (names().count() > kMaxRecordsForAdd) {
    prompter_.inform(kLimitReached, "Too many entries", Icon::Stop);
    return;
  }
  if (!card_.hasName()) {
    prompter_.inform(
        "Plese Click on a name in the list\nModify address, numbers, and so on ...\nThen click "
        "on Change Button again",
        "not enough info", Icon::Information);
    return;
  }
  const std::string loadedGroup = card_.buffers()[FieldId::Group];
  if (storeCard(StoreCommand::Change) != StoreResult::Replaced) return;
  const std::string group = card_.buffers()[FieldId::Group];
  if (equalsIgnoreCase(group, loadedGroup)) return;

  // The record moved to another group: rewrite so that the list shows it there.
  const std::string key = nameKey(card_.buffers(), book_.cardSort());
  if (book_.rewrite() != BookStatus::Ok) {
    prompter_.inform("File Error", kAppCaption, Icon::Stop);
    selection_ = {};
    notifyList();
    return;
  }
  int g = NamesList::namesFurtherGroup(group) ? names().findGroup(group) : NamesList::kMain;
  if (g < 0) g = NamesList::kMain;
  EntryRef entry = names().findNameInGroup(g, key);
  selection_ = entry.isValid() ? entry : EntryRef{g, -1};
  showEntry(selection_);
  notifyList();
}

void CardEditing::deleteSelected() {
  if (!selection_.isValid() || selection_.group >= names().groupCount()) {
    prompter_.inform("Select an item in the Names List\nthen click on Delete again",
                     "item not found", Icon::Information);
    return;
  }
  const EntryRef selected = selection_;

  if (selected.isName()) {
    const NameEntry* entry = names().name(selected);
    if (!entry) return;
    const Answer a = prompter_.ask(Message{entry->text, "Delete this name?", Icon::Question,
                                           Buttons::YesNo, Answer::Yes});
    if (a != Answer::Yes) return;
    const int slot = entry->slot;
    // The entry after the deleted one at the same level moves into its place.
    const bool hadNext =
        static_cast<size_t>(selected.name + 1) < names().group(selected.group).names.size();
    book_.workingFile().setOffset(slot, WorkingFile::kDeleted);
    // Every entry of this record goes, found by its slot: two different people may share
    // a name text, and the twin of the deleted one is the one with the same slot.
    for (int g = 0; g < names().groupCount(); ++g)
      for (EntryRef twin = findBySlot(g, slot); twin.isValid(); twin = findBySlot(g, slot))
        book_.names().removeName(twin);
    card_.clear();
    card_.clearModified();
    book_.workingFile().setChanged(true);
    book_.workingFile().setReorderNeeded(true);
    selection_ = hadNext ? selected : EntryRef{selected.group, -1};
    showEntry(selection_);
    notifyList();
    return;
  }

  if (selected.group == NamesList::kMain) {
    prompter_.inform(
        "Can not delete the \"Main\" group\nThis group contains all names in the addressbook",
        kAppCaption, Icon::Exclamation);
    return;
  }
  if (!names().group(selected.group).names.empty()) {
    prompter_.inform("Can't delete a group without first deleting the names in it",
                     kAppCaption, Icon::Information);
    return;
  }
  const bool hadNext = selected.group + 1 < names().groupCount();
  if (!book_.names().removeEmptyGroup(selected.group)) return;
  selection_ = hadNext ? selected : EntryRef{selected.group - 1, -1};
  showEntry(selection_);
  notifyList();
}

void CardEditing::addGroup() {
  const auto name = dialogs_.askNewGroup();
  if (!name || !isPresent(*name)) return;
  if (names().findGroup(*name) >= 0) return;
  book_.names().addGroup(*name);
  notifyList();
}

void CardEditing::clearCard() {
  if (selection_.isName()) {
    selection_ = {selection_.group, -1};
    showGroup(selection_.group);
    notifyList();
  } else {
    card_.clear();
    card_.clearModified();
  }
  notifyCard();
}


}  // namespace mv
