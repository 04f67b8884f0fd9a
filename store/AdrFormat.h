#pragma once
// The address-book file format: control bytes, magic words, the record start line, record
// serialisation and the line reader shared by every reader of books and working files.

#include "store/AddressRecord.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mv::adr {

inline constexpr char kRecordStart = 0x14;   // starts a record
inline constexpr char kRecordEnd = 0x15;     // ends a record; starts the trailer's error line
inline constexpr char kEndOfRecords = 0x16;  // ends the list of records

inline constexpr std::string_view kMagic = "TVXADR_307";
inline constexpr std::string_view kMagic306 = "TVXADR_306";
inline constexpr std::string_view kMagic1800 = "TVXADR_1800";

// The in-memory offset and mark tables hold this many slots; a book cannot hold more.
inline constexpr int kMaxSlots = 2000;
// Notes read back from a file keep at most this many characters.
inline constexpr std::size_t kMaxNotesRead = 7999;

inline constexpr bool isControlByte(char c) noexcept {
  // 0x14, 0x15 or 0x16 in one comparison: these loops run over every byte of a book.
  return static_cast<unsigned char>(c - kRecordStart) <= kEndOfRecords - kRecordStart;
}

// The first word of a file: up to 11 characters, ending at the first blank or line break.
struct FirstWord {
  bool readable = false;  // false: the file is missing or cannot be opened for reading
  std::string word;
};
FirstWord readFirstWord(const std::filesystem::path& path);

enum class BookKind { Current, Older, NotABook, Unreadable };
BookKind classify(const FirstWord& first) noexcept;
inline BookKind classifyFile(const std::filesystem::path& path) {
  return classify(readFirstWord(path));
}

// Creates (or replaces, atomically) a file holding only the magic line. False on failure.
[[nodiscard]] bool createBookFile(const std::filesystem::path& path);

// "%c %d %c %d\n": 0x14, slot, initial, mark.
std::string startLine(int slot, char initial, int mark);

// What a start line says. Lines written by the converter carry no mark (hasMark false,
// mark 0). `text` is the line after the 0x14 byte, with or without its line end. A number
// beyond the range of int reads as 0, as a number that is not there does.
struct StartLine {
  int slot = 0;
  char initial = '_';
  int mark = 0;
  bool hasMark = false;
};
StartLine parseStartLine(std::string_view text) noexcept;

// Where one record's start line lies. Every reader of records finds it here, so that the
// list, the card, saving and the rescan agree on what a record says.
struct StartLineAt {
  std::size_t offset = 0;  // the record's offset: just after its first 0x14 byte
  std::string_view text;   // the start line after its run of 0x14 bytes, without line end
  std::size_t next = 0;    // the first byte after the start line's line end
  // The record's lines end in a bare carriage return (the book went through an editor
  // that writes them so): a CR, a LF or a CR LF each end one of its lines.
  bool crLines = false;
  // The record cannot be told apart as it was written: its 0x14 does not begin a line, or
  // its start line runs into the next control byte or the end of the file. Such a book
  // is read, but only the rescan may rewrite it.
  bool damaged = false;
};
// `at` is a record's 0x14 byte or the byte just after it. A run of 0x14 bytes starts one
// record: the extra ones are passed over.
StartLineAt findStartLine(std::string_view bytes, std::size_t at) noexcept;

// One record as written to a book or the working file: start line with `slot`, `initial`
// and `mark`, 28 field lines, notes and a line feed, 0x15 and a line feed. Field and notes
// texts are cleaned on the way (no line break in a field, no control bytes anywhere) and
// fields are cut to 70 characters, so whatever is written reads back in the same shape.
void appendRecord(std::string& out, const AddressRecord& record, int slot, char initial,
                  int mark);

// The line end written after notes: a line feed, or a CR LF when the notes end in a
// carriage return of their own, which the reader would otherwise take for part of the
// line end.
std::string_view notesLineEnd(std::string_view notes) noexcept;

// Reads lines out of a byte buffer. A field line is taken WHOLE up to its line end and
// its value cut to 70 characters: an over-long line in a hand-edited file must not spill
// into the fields after it. A field line stops early at a control byte, which belongs to
// the next record (a damaged record then ends there with its remaining fields empty).
// A line ends in a line feed, and a carriage return before it belongs to the line end
// (a book saved by a Windows editor); a carriage return inside a field line is dropped,
// as every writer drops it. With `crLines` a bare carriage return ends a line too.
class Reader {
 public:
  explicit Reader(std::string_view bytes, std::size_t pos = 0, bool crLines = false) noexcept
      : bytes_(bytes), pos_(pos), crLines_(crLines) {}
  // Placed after the start line of the record that `at` names (see findStartLine).
  static Reader atRecord(std::string_view bytes, const StartLineAt& at) noexcept {
    return Reader(bytes, at.next, at.crLines);
  }

  std::size_t pos() const noexcept { return pos_; }
  bool atEnd() const noexcept { return pos_ >= bytes_.size(); }
  char peek() const noexcept { return atEnd() ? '\0' : bytes_[pos_]; }

  // One field line: false (and nothing consumed) at a control byte or the end.
  bool field(std::string& value);
  // The same without a copy where the line holds no carriage return: the value points
  // into the bytes or into the reader, valid until the next call.
  bool fieldText(std::string_view& value);
  // Notes up to the next control byte or the end, dropping the line end written after
  // them; keeps at most kMaxNotesRead characters. The position stops AT the control byte.
  std::string notes();
  // The same, whole and without a copy (saving keeps notes longer than a read keeps).
  std::string_view notesText() noexcept;

 private:
  std::string_view untilControlByte() noexcept;

  std::string_view bytes_;
  std::size_t pos_;
  bool crLines_ = false;
  std::string cleaned_;  // a field line without its carriage returns
};

// Reads one whole record whose start line begins at `offset` (either at its 0x14 byte or
// just after it). The record's slot, initial and mark come from the start line. A 0x14
// as the file's last byte is a record too, an empty one; none only beyond the end.
std::optional<AddressRecord> readRecordAt(std::string_view bytes, std::size_t offset);

}  // namespace mv::adr
