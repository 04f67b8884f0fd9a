#pragma once
// What the card window does with its book, without a widget in sight: the card, the
// selection in the names list, the editing rules (store, Add, Change, Delete, Add group,
// Clear) and the file commands (New, Open, Save, Save As, Backup, Rescan, Sort, OK and
// Cancel). The window owns one CardSession, mirrors the card and the list from it, and
// sends it command ids. Questions go through Prompter and FileChooser, the two name
// dialogs through CardDialogs, and everything the frame shows through SessionHooks.

#include "commands/Commands.h"
#include "platform/FileChooser.h"
#include "store/Book.h"
#include "store/CardModel.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace mv {

class Prompter;

// First, Last and Company as the "Add a new name" dialog edits them.
struct NameParts {
  std::string first;
  std::string last;
  std::string company;
};

// The two small dialogs of the editing rules; the window implements them with TCardAdd
// and TCardAddGroup. nullopt = Cancel.
class CardDialogs {
 public:
  virtual ~CardDialogs() = default;
  // TCardAdd, prefilled; it accepts OK only when acceptNewName() agrees.
  virtual std::optional<NameParts> askNewName(const NameParts& prefill) = 0;
  // TCardAddGroup: "New Group Name", "Enter a new group name:".
  virtual std::optional<std::string> askNewGroup() = 0;
};

// TCardAdd's OK check: one of the three names present, else the "Please enter at least
// one of" message and the dialog stays open (false).
bool acceptNewName(const NameParts& parts, Prompter& prompter);

// Everything the session cannot do itself. Each may be left empty.
struct SessionHooks {
  // The main window's title: "Mervane - <path>" after New, Open and Save As. Titles are
  // UTF-8: the path is kept as the file system names it.
  std::function<void(const std::string& title)> setTitle;
  // A passing title while the list is sorted or rescanned; an empty text restores the
  // title the window had before.
  std::function<void(const std::string& title)> progressTitle;
  std::function<void(const std::filesystem::path& path)> addRecentFile;
  // Card_Sort changed by a Sort command (the shell writes it back at exit).
  std::function<void(int order)> cardSortChanged;
  // The card's boxes, the names list or the selection changed: the window refreshes.
  std::function<void()> cardChanged;
  std::function<void()> listChanged;
  // Add ends on the card's edit page.
  std::function<void()> showEditPage;
  // OK, Cancel, or a book whose working copy cannot be made: the window closes.
  std::function<void()> closeWindow;
  // Something the user should know that asks no question (the status bar shows it).
  std::function<void(const std::string& text)> notice;
  // Open with the CSV type: the import turns `csv` into a new book and returns its path
  // (nullopt when it was cancelled or failed).
  std::function<std::optional<std::filesystem::path>(const std::filesystem::path& csv)>
      importCsv;
  // Save As with the CSV type: write `csv` from `snapshot`, a book file in list order.
  // False when the export failed (it has told the user).
  std::function<bool(const std::filesystem::path& csv, const std::filesystem::path& snapshot)>
      exportCsv;
};

// Result of storing the card.
enum class StoreResult { None, Added, Replaced };
enum class StoreCommand { Commit, Add, Change };

class CardSession {
 public:
  // Commands this session carries out (their numbers stand in the command table).
  enum Command : int {
    kOk = cmd::kOk,
    kCancel = cmd::kCancel,
    kClearCard = cmd::kClearCard,
    kAddName = cmd::kAddName,
    kDeleteName = cmd::kDeleteName,
    kChangeName = cmd::kChangeName,
    kAddNameTool = cmd::kAddNameTool,
    kDeleteTool = cmd::kDeleteTool,
    kChangeTool = cmd::kChangeTool,
    kAddGroup = cmd::kAddGroup,
    kDeleteGroup = cmd::kDeleteGroup,
    kSortFirst = cmd::kSortFirst,
    kSortLast = cmd::kSortLast,
    kSortCompany = cmd::kSortCompany,
    kSecondSetFirst = cmd::kSecondSetFirst,  // show fields 21..27 in the shared editor
    kSecondSetLast = cmd::kSecondSetLast,
    kBackup = cmd::kBackup,
    kRescan = cmd::kRescan,
    kNewFile = cmd::kNewFile,
    kSaveAs = cmd::kSaveAs,
    kSave = cmd::kSave,
    kOpen = cmd::kOpen,
    kImport = cmd::kImport,  // Open with the CSV type selected
    kGoToGroupFirst = cmd::kGoToGroupFirst,  // + n: the n-th top-level entry
  };

  static constexpr int kMaxRecordsForAdd = 1900;
  static constexpr size_t kSavedGroupChars = 49;

  // `settingsFile` is "mervane.ini" (section AddressBook: SaveGroup, Buffer), read now.
  CardSession(Prompter& prompter, FileChooser& chooser, CardDialogs& dialogs,
              std::filesystem::path settingsFile, int cardSort = 0,
              SessionHooks hooks = {});

  // The store-side commands; false for ids this session does not handle.
  bool onCommand(int id);
  bool isCommandEnabled(int id) const;

  // --- the card and the list as the window shows them
  CardModel& card() noexcept { return card_; }
  const CardModel& card() const noexcept { return card_; }
  Book& book() noexcept { return book_; }
  const Book& book() const noexcept { return book_; }
  const NamesList& names() const noexcept { return book_.names(); }
  EntryRef selection() const noexcept { return selection_; }
  // The 0-based position of the selected name under "Main", -1 when none.
  int selectedMainIndex() const noexcept;

  // The user selected an entry: a name is shown on the card (pending edits are stored
  // first), a group shows an empty card with its name in the Group box.
  void select(EntryRef entry);

  // --- the rules, callable on their own
  StoreResult storeCard(StoreCommand command);
  void addName();
  void changeName();
  void deleteSelected();
  void addGroup();
  void clearCard();
  void goToGroup(int index);

  // --- files
  void newFile();
  // Open; Import preselects the CSV type. The type chosen decides: CSV imports.
  void openFile(int selectedFilter = 1);
  // Steps after the choice of a validated file; the start-up check uses this too.
  bool openBook(const std::filesystem::path& path);
  void save();
  void saveAs();
  void backup();
  void rescan();
  void sort(int order);
  // The changed question when the book has changed; false when the user cancelled.
  bool canClose();
  // OK: store, remember SaveGroup and Buffer, write the book, close.
  void closeWithOk();
  // Cancel / close box: the changed question, then close; false when cancelled.
  bool closeWithCancel();
  // Save and Close: store and write without asking.
  void saveWithoutAsking();

  std::string title() const;

 private:
  bool requireBook();
  // Save, Save As, Backup and OK store what was typed and not yet stored.
  void commitPending();
  bool askToSaveChanges();
  // Writes the book to its path; "File Error" and false when it cannot.
  bool writeBook();
  void showEntry(EntryRef entry);
  void showGroup(int group);
  void selectQuietly(EntryRef entry);
  EntryRef findBySlot(int group, int slot) const;
  // An entry held by its group's name and its record, across inserts and rebuilds.
  struct Anchor {
    std::string group;   // empty: no entry
    int slot = -1;       // -1: the group entry itself
    int mainIndex = -1;  // position under "Main" (the slot after a renumbering rebuild)
    int nextSlot = 0;
  };
  Anchor anchorOf(EntryRef entry) const;
  EntryRef resolve(const Anchor& anchor) const;
  void afterOpen();
  // The file dialog of New, Open, Save As or Backup (filter 1 selected).
  std::optional<FileChoice> chooseFile(FileRequest::Kind kind, const char* title,
                                       const char* filter, int selectedFilter = 1);
  void notifyCard() const;
  void notifyList() const;

  Prompter& prompter_;
  FileChooser& chooser_;
  CardDialogs& dialogs_;
  std::filesystem::path settingsFile_;
  SessionHooks hooks_;
  Book book_;
  CardModel card_;
  EntryRef selection_;
};

}  // namespace mv
