#include "store/CardSession.h"

#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Profile.h"
#include "store/AdrFormat.h"
#include "store/AtomicFile.h"
#include "store/BookValidation.h"
#include "store/Rescan.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace mv {
namespace {

constexpr const char* kSection = "AddressBook";
constexpr const char* kBookFilter =
    "Mervane Files (*.adr)|*.adr|Text File - Comma Separated Values (*.csv)|*.csv";
constexpr const char* kAdrOnlyFilter = "Mervane Files (*.adr)|*.adr";
constexpr int kCsvFilter = 2;

constexpr const char* kNoFileSelected =
    "There is no file selected\nto keep the addresses\n\nPlease Open or select a New File";
constexpr const char* kLimitReached =
    "Addressbook file is reaching its limit\n\t\tPlease save this file and open a new file for "
    "other entries.";
constexpr const char* kCreationError = "AddressBook:\nFile Creation Error";
constexpr const char* kRenamedNotice =
    "Added as a new entry: %s; the entry before the change is kept";

std::filesystem::path withExtension(std::filesystem::path path, std::string_view dotExt) {
  if (!hasExtensionIgnoreCase(path.filename().string(), dotExt)) path += std::string(dotExt);
  return path;
}

bool samePathIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b) {
  return samePathText(pathText(a), pathText(b));
}

}  // namespace

bool acceptNewName(const NameParts& parts, Prompter& prompter) {
  if (isPresent(parts.first) || isPresent(parts.last) || isPresent(parts.company)) return true;
  prompter.inform(
      "Please enter at least one of:        \n\n\tFirst Name\n\tLast Name\n\tCompany\n\nThen "
      "click on OK again",
      "Not enough information", Icon::Information);
  return false;
}

CardSession::CardSession(Prompter& prompter, FileChooser& chooser, CardDialogs& dialogs,
                         std::filesystem::path settingsFile, int cardSort, SessionHooks hooks)
    : prompter_(prompter),
      chooser_(chooser),
      dialogs_(dialogs),
      settingsFile_(std::move(settingsFile)),
      hooks_(std::move(hooks)),
      book_(),
      card_(),
      selection_() {
  book_.setCardSort(cardSort);
  const Profile profile(settingsFile_, kSection);
  book_.setSavedGroup(profile.readString("SaveGroup", "Main", kSavedGroupChars + 1));
  int shown = profile.readInt("Buffer", CardModel::kDefaultSecondSet);
  if (shown < kFirstSecondSet || shown > kLastSecondSet) shown = CardModel::kDefaultSecondSet;
  card_.showSecondSet(shown);
}

// ---------------------------------------------------------------------------------------
// Commands

bool CardSession::onCommand(int id) {
  switch (id) {
    case kNewFile: newFile(); return true;
    case kOpen: openFile(); return true;
    case kImport: openFile(kCsvFilter); return true;
    case kSave: save(); return true;
    case kSaveAs: saveAs(); return true;
    case kBackup: backup(); return true;
    case kRescan: rescan(); return true;
    case kAddName:
    case kAddNameTool: addName(); return true;
    case kChangeName:
    case kChangeTool: changeName(); return true;
    case kDeleteName:
    case kDeleteTool:
    case kDeleteGroup: deleteSelected(); return true;
    case kAddGroup: addGroup(); return true;
    case kClearCard: clearCard(); return true;
    case kSortFirst:
    case kSortLast:
    case kSortCompany: sort(id - kSortFirst); return true;
    case kOk: closeWithOk(); return true;
    case kCancel: closeWithCancel(); return true;
    default: break;
  }
  if (id >= kSecondSetFirst && id <= kSecondSetLast) {
    card_.showSecondSet(kFirstSecondSet + (id - kSecondSetFirst));
    notifyCard();
    return true;
  }
  if (id >= kGoToGroupFirst && id < kGoToGroupFirst + names().groupCount()) {
    goToGroup(id - kGoToGroupFirst);
    return true;
  }
  return false;
}

bool CardSession::isCommandEnabled(int id) const {
  switch (id) {
    case kDeleteName:
    case kDeleteTool:
    case kChangeName:
    case kChangeTool: return selection_.isValid();
    case kDeleteGroup: return selection_.isGroup();
    case kSave:
    case kSaveAs:
    case kBackup:
    case kSortFirst:
    case kSortLast:
    case kSortCompany: return book_.isOpen();
    default: return true;
  }
}

int CardSession::selectedMainIndex() const noexcept {
  const NameEntry* entry = names().name(selection_);
  if (!entry) return -1;
  if (selection_.group == NamesList::kMain) return selection_.name;
  const auto& main = names().mainNames();
  for (size_t i = 0; i < main.size(); ++i)
    if (main[i].slot == entry->slot) return static_cast<int>(i);
  return -1;
}

std::string CardSession::title() const {
  return std::string(kAppCaption) + " - " + pathText(book_.path());
}

void CardSession::notifyCard() const {
  if (hooks_.cardChanged) hooks_.cardChanged();
}

void CardSession::notifyList() const {
  if (hooks_.listChanged) hooks_.listChanged();
}

// ---------------------------------------------------------------------------------------
// Selection

EntryRef CardSession::findBySlot(int group, int slot) const {
  if (group < 0 || group >= names().groupCount()) return {};
  const auto& list = names().group(group).names;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].slot == slot) return {group, static_cast<int>(i)};
  return {};
}

CardSession::Anchor CardSession::anchorOf(EntryRef entry) const {
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

EntryRef CardSession::resolve(const Anchor& a) const {
  if (a.group.empty()) return {};
  const int group = names().findGroup(a.group);
  if (group < 0) return {NamesList::kMain, -1};
  if (a.slot < 0) return {group, -1};
  // A rebuild in between (next slot went down) numbered the records by list position.
  const bool renumbered = names().nextSlot() < a.nextSlot;
  const EntryRef found = findBySlot(group, renumbered ? a.mainIndex : a.slot);
  return found.isValid() ? found : EntryRef{group, -1};
}

void CardSession::showGroup(int group) {
  card_.clear();
  const std::string name =
      group >= 0 && group < names().groupCount() ? names().group(group).name : "Main";
  card_.put(FieldId::Group, name);
  card_.clearModified();
}

void CardSession::showEntry(EntryRef entry) {
  if (entry.isGroup()) {
    showGroup(entry.group);
  } else if (const NameEntry* n = names().name(entry)) {
    if (auto record = book_.readRecord(n->slot)) card_.load(*record);
  }
  notifyCard();
}

void CardSession::selectQuietly(EntryRef entry) {
  selection_ = entry;
  notifyList();
}

void CardSession::select(EntryRef entry) {
  if (entry.isName()) {
    const NameEntry* n = names().name(entry);
    if (!n) return;
    if (card_.anyModified()) {
      // Storing may insert a name and shift the positions: find the chosen one again.
      const Anchor chosen = anchorOf(entry);
      storeCard(StoreCommand::Commit);
      entry = resolve(chosen);
      if (!entry.isName()) return;
    }
  } else {
    if (!entry.isGroup() || entry.group >= names().groupCount()) return;
    // A group shows an empty card: what was typed is stored first, as for a name, rather
    // than wiped.
    if (card_.anyModified()) {
      const Anchor chosen = anchorOf(entry);
      storeCard(StoreCommand::Commit);
      entry = resolve(chosen);
      if (!entry.isGroup()) return;
    }
  }
  selection_ = entry;
  showEntry(entry);
  notifyList();
}

void CardSession::goToGroup(int index) {
  if (index < 0 || index >= names().groupCount()) return;
  // The card keeps its content, so that Change moves the shown record to this group.
  selectQuietly({index, -1});
  card_.put(FieldId::Group, names().group(index).name);
  notifyCard();
}

// ---------------------------------------------------------------------------------------
// Editing rules

void CardSession::commitPending() {
  if (book_.isOpen() && card_.anyModified()) storeCard(StoreCommand::Commit);
}

bool CardSession::requireBook() {
  if (book_.isOpen()) return true;
  prompter_.inform(kNoFileSelected, kAppCaption, Icon::Information);
  return false;
}

StoreResult CardSession::storeCard(StoreCommand command) {
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

void CardSession::addName() {
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
  if (card_.hasName()) storeCard(StoreCommand::Add);
  if (hooks_.showEditPage) hooks_.showEditPage();
}

void CardSession::changeName() {
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

void CardSession::deleteSelected() {
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
  book_.names().removeEmptyGroup(selected.group);
  selection_ = hadNext ? selected : EntryRef{selected.group - 1, -1};
  showEntry(selection_);
  notifyList();
}

void CardSession::addGroup() {
  const auto name = dialogs_.askNewGroup();
  if (!name || !isPresent(*name)) return;
  if (names().findGroup(*name) >= 0) return;
  book_.names().addGroup(*name);
  notifyList();
}

void CardSession::clearCard() {
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

// ---------------------------------------------------------------------------------------
// Files

std::optional<FileChoice> CardSession::chooseFile(FileRequest::Kind kind, const char* title,
                                                  const char* filter, int selectedFilter) {
  FileRequest request;
  request.kind = kind;
  request.title = title;
  request.filter = filter;
  request.selectedFilter = selectedFilter;
  // Open needs an existing file; every save dialog asks before replacing one.
  request.mustExist = kind == FileRequest::Kind::Open;
  request.overwritePrompt = kind == FileRequest::Kind::Save;
  // The dialogs start in the open book's folder.
  if (book_.isOpen()) request.directory = book_.path().parent_path();
  return chooser_.choose(request);
}

bool CardSession::writeBook() {
  const BookStatus status = book_.save();
  if (status == BookStatus::Ok) return true;
  // A damaged book says why and what repairs it.
  prompter_.inform(status == BookStatus::Damaged ? describe(status) : "File Error", kAppCaption,
                   Icon::Stop);
  return false;
}

bool CardSession::askToSaveChanges() {
  // An edit still on the card counts as a change too: stored first, it is saved on Yes
  // and dropped only when the user says No, never silently.
  commitPending();
  if (!book_.workingFile().changed()) return true;
  const Answer a = prompter_.ask(
      Message{fillFormat("%s\n\nAddress file has changed\nSave the changes?",
                         {pathText(book_.path())}),
              kAppCaption, Icon::Question, Buttons::YesNoCancel, Answer::Yes, TextCoding::Utf8});
  if (a == Answer::Cancel) return false;
  if (a == Answer::Yes) {
    save();
    // A save that failed keeps the question open rather than dropping the edits.
    return !book_.workingFile().changed();
  }
  book_.workingFile().setChanged(false);
  book_.workingFile().setReorderNeeded(false);
  return true;
}

bool CardSession::canClose() { return askToSaveChanges(); }

void CardSession::afterOpen() {
  card_.clearAll();
  card_.clearModified();
  const int group = book_.groupToSelect();
  selection_ = {group, -1};
  showGroup(group);
  if (hooks_.addRecentFile) hooks_.addRecentFile(book_.path());
  if (hooks_.setTitle) hooks_.setTitle(title());
  book_.workingFile().setChanged(false);
  notifyCard();
  notifyList();
}

void CardSession::newFile() {
  if (!askToSaveChanges()) return;
  book_.workingFile().setChanged(false);
  const auto choice = chooseFile(FileRequest::Kind::Save, "New", kBookFilter);
  if (!choice) return;
  const std::filesystem::path path = withExtension(choice->path, ".adr");
  const BookStatus status = book_.createNew(path);
  if (status == BookStatus::WriteError) {
    prompter_.inform(kCreationError, kAppCaption, Icon::Stop);
    return;
  }
  if (status != BookStatus::Ok) {
    prompter_.inform("File Error", kAppCaption, Icon::None);
    selection_ = {};
    notifyList();
    return;
  }
  afterOpen();
}

void CardSession::openFile(int selectedFilter) {
  if (!askToSaveChanges()) return;
  const auto choice =
      chooseFile(FileRequest::Kind::Open, "Open a File", kBookFilter, selectedFilter);
  if (!choice) return;
  std::filesystem::path path = choice->path;
  if (choice->filter == kCsvFilter) {
    if (!hooks_.importCsv) return;
    auto imported = hooks_.importCsv(path);
    if (!imported) return;
    path = *imported;
  }
  // The rewrite's scratch file is never a book of its own.
  if (namesRewriteScratch(path.string())) return;
  if (!validateBookFile(path, prompter_)) return;
  openBook(path);
}

bool CardSession::openBook(const std::filesystem::path& path) {
  BookStatus status = book_.open(path);
  if (status == BookStatus::NotABook) {
    const Answer a = prompter_.ask(
        Message{"This is not a valid Mervane format\nTry to open the file anyways?",
                kAppCaption, Icon::Stop, Buttons::YesNo, Answer::No});
    if (a != Answer::Yes) {
      book_.close();
      selection_ = {};
      card_.clearAll();
      notifyCard();
      notifyList();
      return false;
    }
    status = book_.open(path, /*force=*/true);
  }
  switch (status) {
    case BookStatus::Ok: afterOpen(); return true;
    case BookStatus::Unreadable:
      prompter_.inform("File Error", kAppCaption, Icon::None);
      return false;
    case BookStatus::WorkingFileError:
      prompter_.inform("Unable to initialize address book\nDetail: can not create temp file",
                       kAppCaption, Icon::Information);
      selection_ = {};
      notifyList();
      if (hooks_.closeWindow) hooks_.closeWindow();
      return false;
    default:
      prompter_.inform(fillFormat("Can not open:\n%s\n\n", {pathText(path)}) + describe(status),
                       kAppCaption, Icon::Stop, TextCoding::Utf8);
      selection_ = {};
      notifyList();
      return false;
  }
}

void CardSession::save() {
  if (!book_.isOpen()) {
    saveAs();
    return;
  }
  commitPending();
  writeBook();
}

void CardSession::saveWithoutAsking() {
  if (book_.isOpen()) save();
}

void CardSession::saveAs() {
  if (!book_.isOpen()) {
    prompter_.inform(kNoFileSelected, kAppCaption, Icon::Information);
    return;
  }
  commitPending();
  const auto choice = chooseFile(FileRequest::Kind::Save, "Save File As", kBookFilter);
  if (!choice) return;

  if (samePathIgnoringCase(choice->path, book_.path())) {
    writeBook();
    return;
  }
  if (choice->filter == kCsvFilter) {
    const std::filesystem::path csv = withExtension(choice->path, ".csv");
    // The export reads a snapshot of the book in list order; the book itself and its
    // path stay as they are.
    const std::filesystem::path snapshot = book_.rewritePath();
    if (book_.writeBook(snapshot) != BookStatus::Ok) {
      prompter_.inform(kCreationError, kAppCaption, Icon::Stop);
      return;
    }
    if (hooks_.exportCsv) hooks_.exportCsv(csv, snapshot);
    std::error_code ec;
    std::filesystem::remove(snapshot, ec);
    book_.workingFile().setChanged(true);
    book_.workingFile().setReorderNeeded(true);
    return;
  }
  const std::filesystem::path path = withExtension(choice->path, ".adr");
  if (const BookStatus status = book_.saveAs(path); status != BookStatus::Ok) {
    prompter_.inform(status == BookStatus::Damaged ? describe(status) : kCreationError,
                     kAppCaption, Icon::Stop);
    return;
  }
  if (hooks_.addRecentFile) hooks_.addRecentFile(path);
  if (hooks_.setTitle) hooks_.setTitle(title());
}

void CardSession::backup() {
  if (!book_.isOpen()) {
    prompter_.inform(kNoFileSelected, kAppCaption, Icon::Information);
    return;
  }
  commitPending();
  if (book_.workingFile().changed()) {
    const Answer a = prompter_.ask(Message{"Should I Save this file before backup?", kAppCaption,
                                           Icon::Question, Buttons::YesNo, Answer::Yes});
    if (a == Answer::Yes) writeBook();
  }
  const auto choice = chooseFile(FileRequest::Kind::Save, "Backup Address File", kAdrOnlyFilter);
  if (!choice) return;
  const std::filesystem::path target = withExtension(choice->path, ".adr");
  // Besides the same name, the same file reached by a name without the extension, or
  // through a link: copying a book onto itself is no backup.
  std::error_code ec;
  if (samePathIgnoringCase(choice->path, book_.path()) ||
      std::filesystem::equivalent(target, book_.path(), ec)) {
    prompter_.inform("Backup failed!\n\nPlease choose a different name\nfor the backup file",
                     kAppCaption, Icon::Information);
    return;
  }
  const std::string bookText = pathText(book_.path());
  const std::string targetText = pathText(target);
  if (!copyFileAtomically(book_.path(), target)) {
    prompter_.inform("Backup failed!\n\n" + bookText + "\ncould not be copied to\n" +
                         targetText + "\n\nThe backup file was not written.",
                     kAppCaption, Icon::Stop, TextCoding::Utf8);
    return;
  }
  prompter_.inform(fillFormat("Backup is complete\n\n%s\nwas copied to\n%s\n\nYou are "
                              "currently editing this file:\n%s",
                              {bookText, targetText, bookText}),
                   kAppCaption, Icon::Information, TextCoding::Utf8);
}

void CardSession::rescan() {
  const RescanResult result = rescanBook(book_, prompter_, hooks_.progressTitle);
  if (result == RescanResult::Declined) return;
  card_.clearAll();
  card_.clearModified();
  if (result == RescanResult::Done) {
    const int group = book_.groupToSelect();
    selection_ = {group, -1};
    showGroup(group);
  } else if (result == RescanResult::WorkingFileFailed) {
    selection_ = {};
  }
  notifyCard();
  notifyList();
}

void CardSession::sort(int order) {
  if (!book_.isOpen()) return;
  card_.clear();
  card_.clearModified();
  const BookStatus status = book_.sort(order, hooks_.progressTitle);
  if (hooks_.cardSortChanged) hooks_.cardSortChanged(book_.cardSort());
  if (status != BookStatus::Ok)
    prompter_.inform(status == BookStatus::Damaged ? describe(status) : "File Error",
                     kAppCaption, Icon::Stop);
  const int group = book_.groupToSelect();
  selection_ = {group, -1};
  showGroup(group);
  notifyCard();
  notifyList();
}

void CardSession::closeWithOk() {
  commitPending();
  std::string group = card_.text(FieldId::Group);
  if (group.size() > kSavedGroupChars) group.resize(kSavedGroupChars);
  book_.setSavedGroup(group);
  Profile profile(settingsFile_, kSection);
  // The book is saved whether or not the settings file takes these two; if it cannot,
  // they hold for this run only.
  (void)profile.writeString("SaveGroup", group);
  (void)profile.writeInt("Buffer", card_.secondSetField());
  if (book_.isOpen() && !writeBook()) return;  // keep the window and the edits
  book_.workingFile().setChanged(false);
  if (hooks_.closeWindow) hooks_.closeWindow();
}

bool CardSession::closeWithCancel() {
  if (!askToSaveChanges()) return false;
  if (hooks_.closeWindow) hooks_.closeWindow();
  return true;
}

}  // namespace mv
