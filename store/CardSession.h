#pragma once
// What the card window does with its book, without a widget in sight. The session owns
// the book, the card and the selection, carries out the file commands (New, Open, Save,
// Save As, Backup, Rescan, Sort, OK and Cancel with the settings they hand over) and
// routes command ids; the editing rules are CardEditing's. The window owns one
// CardSession, mirrors the card and the list from it, and sends it command ids. Questions
// go through Prompter and FileChooser, the two name dialogs through CardDialogs, and
// everything the frame shows through SessionHooks.

#include "commands/CommandHandlers.h"
#include "commands/Commands.h"
#include "platform/FileChooser.h"
#include "store/Book.h"
#include "store/CardEditing.h"
#include "store/CardModel.h"
#include "store/OpenBooks.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace mv {

class Prompter;

class CardSession {
 public:
  static constexpr size_t kSavedGroupChars = 49;

  // `settingsFile` is "mervane.ini" (section AddressBook: SaveGroup, Buffer), read now.
  CardSession(Prompter& prompter, FileChooser& chooser, CardDialogs& dialogs,
              std::filesystem::path settingsFile, int cardSort = 0,
              SessionHooks hooks = {});
  CardSession(const CardSession&) = delete;
  CardSession& operator=(const CardSession&) = delete;

  // The store-side commands; false for ids this session does not handle. Ids it does
  // not handle count as enabled.
  bool onCommand(int id) { return commands_.run(id); }
  bool isCommandEnabled(int id) const { return commands_.enabled(id).value_or(true); }
  const CommandHandlers& commands() const noexcept { return commands_; }

  // --- the card and the list as the window shows them
  CardModel& card() noexcept { return card_; }
  const CardModel& card() const noexcept { return card_; }
  Book& book() noexcept { return book_; }
  const Book& book() const noexcept { return book_; }
  const NamesList& names() const noexcept { return book_.names(); }
  EntryRef selection() const noexcept { return selection_; }
  int selectedMainIndex() const noexcept { return editing_.selectedMainIndex(); }
  CardEditing& editing() noexcept { return editing_; }

  // --- the editing rules (see CardEditing)
  void select(EntryRef entry) { editing_.select(entry); }
  StoreResult storeCard(StoreCommand command) { return editing_.storeCard(command); }
  void addName() { editing_.addName(); }
  void changeName() { editing_.changeName(); }
  void deleteSelected() { editing_.deleteSelected(); }
  void addGroup() { editing_.addGroup(); }
  void clearCard() { editing_.clearCard(); }
  void goToGroup(int index) { editing_.goToGroup(index); }

  // --- files
  void newFile();
  // Open; Import preselects the CSV type. The type chosen decides: CSV imports.
  void openFile(int selectedFilter = 1);
  // Steps after the choice of a validated file; the start-up check uses this too.
  bool openBook(const std::filesystem::path& path);
  // Import vCard: the changed question, the .vcf file chosen, the import hook makes the
  // new book, which is then opened.
  void importVcard();
  void save();
  void saveAs();
  void backup();
  void rescan();
  void sort(int order);
  // Synchronize works on the book's file: an unsaved book is saved first when the user
  // agrees. False when it was not (the user said No, or the save failed).
  [[nodiscard]] bool saveBeforeSync();
  // The changed question when the book has changed; false when the user cancelled.
  [[nodiscard]] bool canClose();
  // OK: store, remember SaveGroup and Buffer, write the book, close.
  void closeWithOk();
  // Cancel / close box: the changed question, then close; false when cancelled.
  bool closeWithCancel();
  // Save and Close: store and write without asking.
  void saveWithoutAsking();

  std::string title() const;
  // Stores what was typed on the card and not yet stored (an export takes it along).
  void commitPending() { editing_.commitPending(); }

 private:
  void registerCommands();
  void showGroup(int group) { editing_.showGroup(group); }
  [[nodiscard]] bool askToSaveChanges();
  // Writes the book to its path; "File Error" and false when it cannot. A file changed on
  // disk since it was opened or saved is replaced only when the user says so; No saves
  // this copy under another name instead. False when the book was not saved.
  [[nodiscard]] bool writeBook();
  // Asked when another running copy has `path` open; true to open it all the same.
  [[nodiscard]] bool openAlthoughOpenElsewhere(const std::filesystem::path& path);
  // The record of the open book follows the book: a new one after Open, New and Save As.
  void claimOpenBook();
  void afterOpen();
  // The file dialog of New, Open, Save As, Backup or the imports (filter 1 selected).
  std::optional<FileChoice> chooseFile(FileRequest::Kind kind, const char* title,
                                       const char* filter, int selectedFilter = 1,
                                       FileKind fileKind = FileKind::Books);
  void notifyCard() const;
  void notifyList() const;

  Prompter& prompter_;
  FileChooser& chooser_;
  std::filesystem::path settingsFile_;
  SessionHooks hooks_;
  Book book_;
  CardModel card_;
  EntryRef selection_;
  CardEditing editing_;  // works on the three above
  CommandHandlers commands_;
  BookClaim claim_;  // this copy's record of its open book (store/OpenBooks.h)
};

}  // namespace mv
