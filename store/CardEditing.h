#pragma once
// The card window's editing rules, without a widget in sight: the selection in the names
// list, storing the card (commit, Add, Change), Delete, Add group, Clear, the jump to a
// group, and how much the notes editor takes. The session owns the book, the card and the
// selection; these rules change them and ask the user through Prompter and CardDialogs.

#include "store/Book.h"
#include "store/CardModel.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
[[nodiscard]] bool acceptNewName(const NameParts& parts, Prompter& prompter);

// The notes editor holds kMaxNotesChars characters as a file stores them, where a line end
// is a carriage return and a line feed and so counts twice. What is left for typing when
// the editor holds `characters` characters with `lineEnds` line ends and a typed text
// replaces `replaced` of them (the selection); negative when the notes are over-full.
int notesRoom(std::size_t characters, std::size_t lineEnds, std::size_t replaced) noexcept;
// What of `text` (typed, composed or pasted) fits into `room`: carriage returns are left
// out, as the editor ends a line with a line feed alone (which costs two), and the text
// stops before the first character that no longer fits.
std::string fitNotes(std::string_view text, int room);

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
  // Import vCard: as importCsv, for a .vcf file.
  std::function<std::optional<std::filesystem::path>(const std::filesystem::path& vcf)>
      importVcard;
  // Save As with the CSV type: write `csv` from `records`, the book in list order with the
  // card's pending edits. False when the export failed (it has told the user).
  std::function<bool(const std::filesystem::path& csv, const std::vector<AddressRecord>& records)>
      exportCsv;
};

// Result of storing the card.
enum class [[nodiscard]] StoreResult { None, Added, Replaced };
enum class StoreCommand { Commit, Add, Change };

class CardEditing {
 public:
  static constexpr int kMaxRecordsForAdd = 1900;
  static constexpr const char* kNoFileSelected =
      "There is no file selected\nto keep the addresses\n\nPlease Open or select a New File";

  CardEditing(Book& book, CardModel& card, EntryRef& selection, Prompter& prompter,
              CardDialogs& dialogs, const SessionHooks& hooks) noexcept
      : book_(book),
        card_(card),
        selection_(selection),
        prompter_(prompter),
        dialogs_(dialogs),
        hooks_(hooks) {}

  // The 0-based position of the selected name under "Main", -1 when none.
  int selectedMainIndex() const noexcept;

  // The user selected an entry: a name is shown on the card (pending edits are stored
  // first), a group shows an empty card with its name in the Group box.
  void select(EntryRef entry);
  // A group entry shows an empty card with the group's name ("Main" for none).
  void showGroup(int group);

  StoreResult storeCard(StoreCommand command);
  // Save, Save As, Backup, OK and the changed question store what was typed and not yet
  // stored.
  void commitPending();
  void addName();
  void changeName();
  void deleteSelected();
  void addGroup();
  void clearCard();
  void goToGroup(int index);

 private:
  const NamesList& names() const noexcept { return book_.names(); }
  bool requireBook();
  void showEntry(EntryRef entry);
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
  void notifyCard() const;
  void notifyList() const;

  Book& book_;
  CardModel& card_;
  EntryRef& selection_;
  Prompter& prompter_;
  CardDialogs& dialogs_;
  const SessionHooks& hooks_;
};

}  // namespace mv
