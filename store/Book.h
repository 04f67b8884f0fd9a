#pragma once
// The open address book as one object the card window owns: its path, working file, names
// list, saved group name, card sort and marks. Builds the list from the working file,
// writes the book, and rewrites the working file in list order (compaction, sort).
// Never shows anything: operations return a status and the window decides what to say.
// One Book per scratch folder: the working file's name is fixed.

#include "platform/Paths.h"
#include "store/FileStamp.h"
#include "store/NamesList.h"
#include "store/WorkingFile.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class [[nodiscard]] BookStatus {
  Ok,
  NotOpen,          // no book or no working file open
  Unreadable,       // the file cannot be opened for reading
  NotABook,         // first word is not "TVXADR_307" (open refuses unless forced)
  TooManyRecords,   // more records than the 2,000-slot tables hold; nothing was opened
  WorkingFileError, // "mervn.tmx" could not be created, copied or reopened
  WriteError,       // the target could not be written; the old file is intact
  Damaged,          // records that cannot be told apart as written: only the rescan may
                    // rewrite the book; nothing was written
  ChangedOnDisk,    // the file was written by someone else since this copy read it;
                    // nothing was written (save again with OnDiskChange::Replace)
};

// What a save does when the book's file no longer holds what this copy read or last wrote.
enum class OnDiskChange {
  Refuse,   // write nothing and say ChangedOnDisk
  Replace,  // the user chose to replace it with this copy
};

// A sentence a caller may show or print for a status (empty for Ok).
std::string describe(BookStatus status);

// One record as the list-order walk meets it. The texts point into the working file's
// bytes: valid while the walk's callback runs, or as long as the caller's copy of them.
struct ListedRecord {
  int position = 0;   // index among the names under "Main"
  int slot = 0;
  int mark = 0;       // the slot's mark: marks travel with their records
  std::string_view name;       // the list entry's text
  std::string_view startLine;  // as stored: after the 0x14 byte, without its line feed
  // The field lines as the record reader takes them (each cut to 70 characters); a record
  // cut short has fewer than 28 (fieldCount), the rest are empty.
  std::array<std::string_view, kFieldCount> fields{};
  int fieldCount = 0;
  std::string_view notes;  // as stored, with the line feed written after them
  // Every byte from the first field line to the record's end. `bodyAsStored` says that
  // each field line was taken whole, so the body is exactly the fields and the notes.
  std::string_view body;
  bool bodyAsStored = false;
  bool crLines = false;  // the record's lines end in a bare carriage return (a damaged book)

  std::string_view group() const noexcept { return fields[0]; }
  // The whole record as the record reader gives it, with this slot and mark.
  AddressRecord read() const;
};

class Book {
 public:
  // Shown in the main window's title while a sort rebuilds the list: called with
  // "Sorting items" first, then "Sorting items %d% " at every tenth of the way, and
  // with an empty text at the end (restore the title).
  using TitleFn = std::function<void(const std::string& title)>;

  static constexpr const char* kRewriteFileName = kRewriteScratchName;

  // The working file and "temp~adr.~~" lie in `scratch` (normally scratchDir()).
  explicit Book(std::filesystem::path scratch);
  Book();

  bool isOpen() const noexcept { return open_; }
  // The book was opened with the edits a crashed copy left (store/Recovery.h): they are
  // not in the file yet, so the book counts as changed.
  bool restoredAfterCrash() const noexcept { return restored_; }
  // Some record of the working file could not be read as it was written (its start byte
  // inside a line, a start line without a line end, lines ended by a bare CR). Saving,
  // sorting and compaction refuse such a book with Damaged; the rescan rewrites it.
  bool isDamaged() const noexcept { return damaged_; }
  const std::filesystem::path& path() const noexcept { return path_; }
  std::filesystem::path rewritePath() const { return scratch_ / kRewriteFileName; }

  WorkingFile& workingFile() noexcept { return working_; }
  const WorkingFile& workingFile() const noexcept { return working_; }
  NamesList& names() noexcept { return names_; }
  const NamesList& names() const noexcept { return names_; }

  // Card_Sort: 0 first, 1 last, 2 company (other values count as 0).
  int cardSort() const noexcept { return cardSort_; }
  void setCardSort(int order) noexcept { cardSort_ = (order >= 0 && order <= 2) ? order : 0; }

  // The saved group name (SaveGroup when the window opened, the Group box at OK).
  const std::string& savedGroup() const noexcept { return savedGroup_; }
  void setSavedGroup(std::string name) { savedGroup_ = std::move(name); }
  // As written to a file and selected after a build: "Main" when the name is absent.
  std::string savedGroupOrMain() const;
  // The top-level entry to select after a build: the saved group, else "Main" (0).
  int groupToSelect() const noexcept;

  // Opens `path`: copies it to the working file and builds the list in file order.
  // A file whose first word is not "TVXADR_307" is refused with NotABook unless `force`
  // (the user answered Yes to "Try to open the file anyways?"). A file with more than
  // 2,000 records is refused with TooManyRecords and the previous state is kept closed.
  // Clears both flags on success.
  BookStatus open(const std::filesystem::path& path, bool force = false);
  // New: creates `path` with the magic line, an empty working file and an empty list.
  BookStatus createNew(const std::filesystem::path& path);
  // Closes and deletes the working file; no book open afterwards.
  void close();

  // Rebuilds the names list from the working file (Read book): offsets and marks by
  // slot 0, 1, 2... in file order; names in file order or, when `sorted`, alphabetical.
  // TooManyRecords leaves the list empty.
  BookStatus buildList(bool sorted = false, const TitleFn& title = {});

  // The book's bytes as "Write book (Save)" produces them from the list and the working
  // file: each record written with its OWN mark (looked up by slot), so marks travel with
  // their records whatever the list order.
  std::string serialize() const;
  // Writes the book to `path` atomically. Flags untouched.
  BookStatus writeBook(const std::filesystem::path& path) const;
  // Save: writes to the current path and clears both flags on success. A file that was
  // changed on disk since it was opened or last saved is written over only on Replace.
  BookStatus save(OnDiskChange onChange = OnDiskChange::Refuse);
  // Save to another path that becomes the current path on success. A path that names the
  // book's own file (another spelling, a link) is a Save, with its check.
  BookStatus saveAs(const std::filesystem::path& path,
                    OnDiskChange onChange = OnDiskChange::Refuse);
  // The book's file holds something other than what this copy read or last wrote.
  bool changedOnDisk() const { return open_ && stamp_.differsFrom(path_); }
  // Whether `path` is the file this book was opened from (by name or by identity).
  bool isOwnFile(const std::filesystem::path& path) const;

  // Rewrites the working file in list order through "temp~adr.~~" and rebuilds the list
  // (sorted when `sorted`); afterwards changed and reorder-needed are set. The current
  // path is untouched.
  BookStatus rewrite(bool sorted = false, const TitleFn& title = {});
  // What building the list needs of a record, as reading it back would find it: where it
  // starts (just after its 0x14 byte), its mark, its Group field and its name key under
  // the book's card sort.
  struct ListHead {
    long offset = 0;
    int mark = 0;
    std::string group;  // owned: a cleaned field 0 lives only during the walk
    std::string key;
    bool damaged = false;  // as the scan found the record (see Book::isDamaged)
  };
  // The two halves of a rewrite, also used by the rescan: "temp~adr.~~" is written with
  // `bytes` (WriteError when it cannot be), then it replaces "mervn.tmx" (by a rename:
  // the same bytes, not written twice) and the list is built from `heads`, or when the
  // writer has none, by reading `bytes`. A working file that cannot be replaced stays as
  // it was (WorkingFileError).
  BookStatus writeRewriteFile(std::string_view bytes) const;
  BookStatus adoptRewriteFile(std::string_view bytes, std::vector<ListHead>* heads = nullptr,
                              bool sorted = false, const TitleFn& title = {});
  // Compaction: rewrite only when reorder-needed is set, then clear reorder-needed.
  BookStatus compact();
  // Sort: sets the card sort to `order` and rewrites with the list sorted by the new keys.
  BookStatus sort(int order, const TitleFn& title = {});

  // Takes the slot for a new record (next slot, which then moves up by one). When next
  // slot has reached the tables' end it first compacts (list entries and slots are
  // renumbered 0, 1, 2... in list order), so slots stay below 2,000. -1 when even that
  // leaves no slot (a full book) or the compaction fails.
  int allocateSlot();

  // Marks live by slot (workingFile().mark/setMark) so that they travel with their record
  // through sorting and saving. A caller that walks the list (the label name selection)
  // sets the mark of the i-th name under "Main" with this.
  void setMarkOfListed(int position, int mark);
  int markOfListed(int position) const;

  // Moves on at every save, open, close and rebuild of the list (which may renumber the
  // slots): what a caller remembers of the working file holds while it stays the same.
  unsigned long generation() const noexcept { return generation_; }

  // The record under a slot (current version), or none.
  std::optional<AddressRecord> readRecord(int slot) const { return working_.read(slot); }

  // The one walk over the records in list order (the names under "Main"): saving, the
  // rescan, the exports and the printed pages all read the book through it. A name whose
  // record is deleted or cannot be found is passed over; `unreadable`, when given, gets
  // the list positions passed over, so that a printout can say what it left out.
  void forEachInListOrder(const std::function<void(const ListedRecord&)>& visit,
                          std::vector<int>* unreadable = nullptr) const;
  // The same over a copy of the working file the caller holds (workingFile().readAll()),
  // for a caller that keeps the views after the walk.
  void forEachInListOrder(std::string_view workingBytes,
                          const std::function<void(const ListedRecord&)>& visit,
                          std::vector<int>* unreadable = nullptr) const;
  // Every record in list order, each with its own slot and mark.
  std::vector<AddressRecord> recordsInListOrder() const;

 private:
  // The saved book's bytes from the working file's `bytes`; `heads` (when given) gets what
  // reading those bytes back would find, pointing into `bytes`.
  std::string serializeFrom(std::string_view bytes, std::vector<ListHead>* heads) const;
  // Builds the list from `found`, whose keys it takes.
  BookStatus buildFrom(std::vector<ListHead>& found, bool sorted, const TitleFn& title);
  BookStatus buildFrom(const std::vector<ScannedRecord>& found, bool sorted,
                       const TitleFn& title);

  std::filesystem::path scratch_;
  std::filesystem::path path_;
  WorkingFile working_;
  NamesList names_;
  std::string savedGroup_ = "Main";
  int cardSort_ = 0;
  bool open_ = false;
  bool damaged_ = false;
  unsigned long generation_ = 0;
  bool restored_ = false;
  FileStamp stamp_;  // the book's file as last read or written here
};

}  // namespace mv
