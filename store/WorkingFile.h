#pragma once
// The open book's working file "mervn.tmx": a copy of the book to which every new or
// changed record version is appended, with the tables that say where each record's
// current version lies (offsets) and what its label mark is (marks), both by slot.
// Beside it, "mervn.tbl" notes every change of the tables, the changed flag and the
// book's path as it happens, so that the edits of a copy that crashed can be rebuilt
// (store/Recovery.h).

#include "store/AdrFormat.h"
#include "store/AtomicFile.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mv {

// One record found by scanning the working file (Read book): only the fields the names
// list needs are read.
struct ScannedRecord {
  long offset = 0;   // offset just after the record's 0x14 byte (never 0)
  int mark = 0;      // 0 when the start line carries none
  bool damaged = false;  // see adr::StartLineAt::damaged
  std::array<std::string, 7> head;  // fields 0..6 (Group .. Company)
  const std::string& operator[](FieldId f) const { return head[static_cast<size_t>(toInt(f))]; }
};

class WorkingFile {
 public:
  static constexpr const char* kFileName = "mervn.tmx";
  static constexpr const char* kTablesFileName = "mervn.tbl";

  // Offsets table values besides real offsets.
  static constexpr long kNeverWritten = 0;
  static constexpr long kDeleted = -1;

  // The working file lives at `path` (normally scratchDir() / kFileName).
  explicit WorkingFile(std::filesystem::path path);
  WorkingFile();
  ~WorkingFile();  // closes and deletes the file
  WorkingFile(const WorkingFile&) = delete;
  WorkingFile& operator=(const WorkingFile&) = delete;

  const std::filesystem::path& path() const noexcept { return path_; }
  bool isOpen() const noexcept { return file_ != nullptr; }

  // Replaces the working file with the magic line only and opens it read/write.
  [[nodiscard]] bool createEmpty();
  // Replaces the working file's content with `bytes` and opens it read/write (the copy
  // of a rewrite that is already in memory). Written beside the file and renamed over
  // it, so a failed write keeps the previous content.
  [[nodiscard]] bool replaceWith(std::string_view bytes);
  // Makes the complete file `written` (beside the working file) the working file by
  // renaming it, and opens it read/write. False, and the previous working file kept,
  // when the rename fails.
  [[nodiscard]] bool takeOver(const std::filesystem::path& written);
  // Readers outside the window close the handle around their own reads and reopen it.
  void close();
  [[nodiscard]] bool reopen();
  // Closes and deletes the file (the window is going away).
  void remove();

  // Every byte of the file (empty when it is not open).
  std::string readAll() const;
  // Every byte of the file, seen in place through a read-only mapping rather than copied
  // (a copy when the file cannot be mapped). For a reader that walks the whole file once:
  // the view stays valid while the Bytes lives, even after the file is replaced, and the
  // file must not be appended to meanwhile.
  class Bytes {
   public:
    Bytes() = default;
    ~Bytes();
    Bytes(Bytes&& other) noexcept;
    Bytes& operator=(Bytes&&) = delete;
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;
    std::string_view view() const noexcept {
      return mapped_ ? std::string_view(static_cast<const char*>(mapped_), size_) : copy_;
    }
    operator std::string_view() const noexcept { return view(); }

   private:
    friend class WorkingFile;
    void* mapped_ = nullptr;
    size_t size_ = 0;
    std::string copy_;
  };
  Bytes bytes() const;
  long size() const;

  // Appends a version of `record` under `slot` with the given initial and the slot's
  // mark from the marks table; notes its offset in the offsets table and sets the changed
  // and reorder-needed flags. False when the slot is out of range or the write fails.
  [[nodiscard]] bool append(const AddressRecord& record, int slot, char initial);
  // The record's current version: 28 fields, notes (at most 7,999 characters), slot,
  // initial from the start line, and the mark from the marks table. None for a slot that
  // holds no record (offset 0 or -1) or that cannot be read.
  std::optional<AddressRecord> read(int slot) const;
  // The record whose start line is at `offset` (either convention: at the 0x14 byte or
  // just after it).
  std::optional<AddressRecord> readAt(long offset) const;

  // Read book: every record in file order (each 0x14 byte, or run of them, starts one),
  // with its offset, mark and fields 0..6. Everything else (magic, trailer, stale text)
  // is skipped.
  std::vector<ScannedRecord> scan() const;
  // The same over bytes already read (or about to be written) as the working file.
  static std::vector<ScannedRecord> scan(std::string_view bytes);

  // The tables, by slot (0..1999). offset(): 0 never written, -1 deleted.
  long offset(int slot) const noexcept;
  void setOffset(int slot, long offset) noexcept;
  int mark(int slot) const noexcept;
  void setMark(int slot, int mark) noexcept;
  void clearTables() noexcept;
  // Between holdNotes() and releaseNotes() the notes of the tables are gathered and then
  // written in one go: a rebuild of the whole list would otherwise make two writes to the
  // disk for every record.
  void holdNotes() noexcept { holding_ = true; }
  void releaseNotes() noexcept;

  bool changed() const noexcept { return changed_; }
  void setChanged(bool on) noexcept;
  // The book whose working file this is, noted for a recovery after a crash.
  void noteBookPath(const std::filesystem::path& book);
  std::filesystem::path tablesPath() const;
  bool reorderNeeded() const noexcept { return reorderNeeded_; }
  void setReorderNeeded(bool on) noexcept { reorderNeeded_ = on; }

 private:
  // `fresh`: the content was just replaced, so the notes of the tables start again.
  bool openReadWrite(bool fresh = false);
  void note(std::string_view line) noexcept;
  void noteNumbers(char kind, long a, long b) noexcept;

  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
  int tables_ = -1;  // "mervn.tbl", appended to
  std::string bookNote_;
  std::array<long, adr::kMaxSlots> offsets_{};
  std::array<int, adr::kMaxSlots> marks_{};
  bool changed_ = false;
  bool reorderNeeded_ = false;
  bool holding_ = false;
  std::string held_;  // the notes gathered while holding, each with its line end
};

}  // namespace mv
