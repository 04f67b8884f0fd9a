#include "store/CardSession.h"

#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Keys.h"
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

constexpr std::string_view kSection = keys::section::AddressBook;
constexpr const char* kBookFilter =
    "Mervane Files (*.adr)|*.adr|Text File - Comma Separated Values (*.csv)|*.csv";
constexpr const char* kAdrOnlyFilter = "Mervane Files (*.adr)|*.adr";
constexpr int kCsvFilter = 2;

constexpr const char* kNoFileSelected = CardEditing::kNoFileSelected;
constexpr const char* kCreationError = "AddressBook:\nFile Creation Error";
constexpr const char* kChangedOnDiskQuestion =
    "%s was changed by another program since it was opened.\n\nReplace it with this copy?";

bool samePathIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b) {
  return samePathText(pathText(a), pathText(b));
}

}  // namespace

CardSession::CardSession(Prompter& prompter, FileChooser& chooser, CardDialogs& dialogs,
                         std::filesystem::path settingsFile, int cardSort, SessionHooks hooks)
    : prompter_(prompter),
      chooser_(chooser),
      settingsFile_(std::move(settingsFile)),
      hooks_(std::move(hooks)),
      book_(),
      card_(),
      selection_(),
      editing_(book_, card_, selection_, prompter_, dialogs, hooks_) {
  book_.setCardSort(cardSort);
  const Profile profile(settingsFile_, std::string(kSection));
  book_.setSavedGroup(
      profile.readString(keys::addressBook::SaveGroup, "Main", kSavedGroupChars + 1));
  int shown = profile.readInt(keys::addressBook::Buffer, CardModel::kDefaultSecondSet);
  if (shown < kFirstSecondSet || shown > kLastSecondSet) shown = CardModel::kDefaultSecondSet;
  card_.showSecondSet(shown);
  registerCommands();
}

// ---------------------------------------------------------------------------------------
// Commands

void CardSession::registerCommands() {
  CommandHandlers& c = commands_;
  const auto always = [] { return true; };
  const auto bookOpen = [this] { return book_.isOpen(); };
  const auto nameOrGroup = [this] { return selection_.isValid(); };
  c.add(cmd::kNewFile, [this] { newFile(); }, always);
  c.add(cmd::kOpen, [this] { openFile(); }, always);
  c.add(cmd::kImport, [this] { openFile(kCsvFilter); }, always);
  c.add(cmd::kImportVcard, [this] { importVcard(); }, always);
  c.add(cmd::kSave, [this] { save(); }, bookOpen);
  c.add(cmd::kSaveAs, [this] { saveAs(); }, bookOpen);
  c.add(cmd::kBackup, [this] { backup(); }, bookOpen);
  c.add(cmd::kRescan, [this] { rescan(); }, always);
  for (int id : {cmd::kAddName, cmd::kAddNameTool}) c.add(id, [this] { addName(); }, always);
  for (int id : {cmd::kChangeName, cmd::kChangeTool})
    c.add(id, [this] { changeName(); }, nameOrGroup);
  for (int id : {cmd::kDeleteName, cmd::kDeleteTool})
    c.add(id, [this] { deleteSelected(); }, nameOrGroup);
  c.add(cmd::kDeleteGroup, [this] { deleteSelected(); }, [this] { return selection_.isGroup(); });
  c.add(cmd::kAddGroup, [this] { addGroup(); }, always);
  c.add(cmd::kClearCard, [this] { clearCard(); }, always);
  c.addRun(cmd::kSortFirst, cmd::kSortCompany, [this](int id) { sort(id - cmd::kSortFirst); },
           [this](int) { return book_.isOpen(); });
  c.add(cmd::kOk, [this] { closeWithOk(); }, always);
  c.add(cmd::kCancel, [this] { (void)closeWithCancel(); }, always);
  // Fields 21..27 in the shared editor.
  c.addRun(
      cmd::kSecondSetFirst, cmd::kSecondSetLast,
      [this](int id) {
        card_.showSecondSet(kFirstSecondSet + (id - cmd::kSecondSetFirst));
        notifyCard();
      },
      CommandHandlers::always);
  // + n: the n-th top-level entry; only the groups the list has.
  const auto groupShown = [this](int id) {
    return id < cmd::kGoToGroupFirst + names().groupCount();
  };
  c.addRun(
      cmd::kGoToGroupFirst, cmd::kGoToGroupLast,
      [this, groupShown](int id) {
        if (groupShown(id)) goToGroup(id - cmd::kGoToGroupFirst);
      },
      groupShown);
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
// Files

std::optional<FileChoice> CardSession::chooseFile(FileRequest::Kind kind, const char* title,
                                                  const char* filter, int selectedFilter,
                                                  FileKind fileKind) {
  FileRequest request;
  request.kind = kind;
  request.fileKind = fileKind;
  request.title = title;
  request.filter = filter;
  request.selectedFilter = selectedFilter;
  // Open needs an existing file; every save dialog asks before replacing one.
  request.mustExist = kind == FileRequest::Kind::Open;
  request.overwritePrompt = kind == FileRequest::Kind::Save;
  // Until a folder of the kind is remembered, the dialogs start in the open book's folder.
  if (book_.isOpen()) request.directory = book_.path().parent_path();
  return chooser_.choose(request);
}

bool CardSession::writeBook() {
  BookStatus status = book_.save();
  if (status == BookStatus::ChangedOnDisk) {
    // Another copy or program saved the book since this copy read it: its version is
    // written over only when the user chooses to. No (the default) keeps both.
    const Answer a = prompter_.ask(Message{
        fillFormat(kChangedOnDiskQuestion, {pathText(book_.path())}), kAppCaption,
        Icon::Question, Buttons::YesNoCancel, Answer::No, TextCoding::Utf8});
    if (a == Answer::Cancel) return false;
    if (a == Answer::No) {
      saveAs();
      return !book_.workingFile().changed() && !book_.changedOnDisk();
    }
    status = book_.save(OnDiskChange::Replace);
  }
  if (status == BookStatus::Ok) return true;
  // A damaged book says why and what repairs it.
  prompter_.inform(status == BookStatus::Damaged ? describe(status) : "File Error", kAppCaption,
                   Icon::Stop);
  return false;
}

bool CardSession::openAlthoughOpenElsewhere(const std::filesystem::path& path) {
  const std::vector<OpenBookRecord> others = OpenBooks(openBooksFolder()).othersHolding(path);
  if (others.empty()) return true;
  const Answer a =
      prompter_.ask(Message{openElsewhereQuestion(path, others.front()), kAppCaption,
                            Icon::Question, Buttons::YesNo, Answer::No, TextCoding::Utf8});
  return a == Answer::Yes;
}

void CardSession::claimOpenBook() {
  if (!book_.isOpen()) {
    claim_.release();
    return;
  }
  if (claim_.book() == book_.path()) return;
  claim_ = OpenBooks(openBooksFolder()).claim(book_.path());
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

bool CardSession::saveBeforeSync() {
  commitPending();
  if (!book_.workingFile().changed()) return true;
  const Answer a = prompter_.ask(
      Message{fillFormat("%s\n\nThe book must be saved before it is synchronized.\nSave it now?",
                         {pathText(book_.path())}),
              kAppCaption, Icon::Question, Buttons::YesNo, Answer::Yes, TextCoding::Utf8});
  if (a != Answer::Yes) return false;
  save();
  return !book_.workingFile().changed();
}

void CardSession::afterOpen() {
  card_.clearAll();
  card_.clearModified();
  const int group = book_.groupToSelect();
  selection_ = {group, -1};
  showGroup(group);
  if (hooks_.addRecentFile) hooks_.addRecentFile(book_.path());
  if (hooks_.setTitle) hooks_.setTitle(title());
  book_.workingFile().setChanged(book_.restoredAfterCrash());
  claimOpenBook();
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
      chooseFile(FileRequest::Kind::Open, "Open a File", kBookFilter, selectedFilter,
                 selectedFilter == kCsvFilter ? FileKind::Csv : FileKind::Books);
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

void CardSession::importVcard() {
  if (!askToSaveChanges()) return;
  const auto choice =
      chooseFile(FileRequest::Kind::Open, "Import vCard", "vCard Files (*.vcf)|*.vcf", 1,
                 FileKind::Vcard);
  if (!choice || !hooks_.importVcard) return;
  const auto imported = hooks_.importVcard(choice->path);
  if (!imported || !validateBookFile(*imported, prompter_)) return;
  openBook(*imported);
}

bool CardSession::openBook(const std::filesystem::path& path) {
  // The book this copy already has open is not "open elsewhere".
  if (!book_.isOwnFile(path) && !openAlthoughOpenElsewhere(path)) return false;
  BookStatus status = book_.open(path);
  if (status == BookStatus::NotABook) {
    const Answer a = prompter_.ask(
        Message{"This is not a valid Mervane format\nTry to open the file anyways?",
                kAppCaption, Icon::Stop, Buttons::YesNo, Answer::No});
    if (a != Answer::Yes) {
      book_.close();
      claimOpenBook();
      selection_ = {};
      card_.clearAll();
      notifyCard();
      notifyList();
      return false;
    }
    status = book_.open(path, /*force=*/true);
  }
  switch (status) {
    case BookStatus::Ok:
      afterOpen();
      // Said now rather than at the first save or sort, which a damaged book refuses.
      if (book_.isDamaged())
        prompter_.inform(describe(BookStatus::Damaged), kAppCaption, Icon::Exclamation);
      return true;
    case BookStatus::Unreadable:
      prompter_.inform("File Error", kAppCaption, Icon::None);
      return false;
    case BookStatus::WorkingFileError:
      prompter_.inform("Unable to initialize address book\nDetail: can not create temp file",
                       kAppCaption, Icon::Information);
      claimOpenBook();
      selection_ = {};
      notifyList();
      if (hooks_.closeWindow) hooks_.closeWindow();
      return false;
    default:
      prompter_.inform(fillFormat("Can not open:\n%s\n\n", {pathText(path)}) + describe(status),
                       kAppCaption, Icon::Stop, TextCoding::Utf8);
      claimOpenBook();
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
  // A failed write has shown "File Error" and leaves the book marked as changed.
  static_cast<void>(writeBook());
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

  // The book's own file, by this name or another (a missing ".adr", a link): a Save, with
  // its check for a file changed on disk.
  if (samePathIgnoringCase(choice->path, book_.path()) ||
      (choice->filter != kCsvFilter && book_.isOwnFile(withExtension(choice->path, ".adr")))) {
    static_cast<void>(writeBook());  // as Save: a failure has been shown
    return;
  }
  if (choice->filter == kCsvFilter) {
    const std::filesystem::path csv = withExtension(choice->path, ".csv");
    // The export gets the records in list order, read once; the book itself and its
    // path stay as they are. A failed export has told the user already.
    if (hooks_.exportCsv) static_cast<void>(hooks_.exportCsv(csv, book_.recordsInListOrder()));
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
  claimOpenBook();
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
    // A save that fails has said so; the backup copies the book as last saved.
    if (a == Answer::Yes) static_cast<void>(writeBook());
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
  Profile profile(settingsFile_, std::string(kSection));
  // The book is saved whether or not the settings file takes these two; if it cannot,
  // they hold for this run only.
  (void)profile.writeString(keys::addressBook::SaveGroup, group);
  (void)profile.writeInt(keys::addressBook::Buffer, card_.secondSetField());
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
