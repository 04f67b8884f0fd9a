#pragma once
// Which running copies of Mervane have which books open. Each copy that opens a book
// leaves a small record in the user's state folder (one file per copy and book: process
// id and start time, user, host, since when) and removes it when the book closes; a copy
// about to open a book can then say that another copy has it open, and which. A record
// whose process has ended (a crash, kill -9) is stale: ignored and removed when met.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mv {

struct OpenBookRecord {
  long pid = 0;
  std::string start;  // the process's start time: a reused process id is not that copy
  std::string user;
  std::string host;
  std::int64_t since = 0;  // seconds since 1970
  std::string book;        // the book's canonical path as text

  // This running copy, now.
  static OpenBookRecord thisCopy();
};

// The record of one copy's open book: written when made, removed when dropped.
class BookClaim {
 public:
  BookClaim() = default;
  BookClaim(const BookClaim&) = delete;
  BookClaim& operator=(const BookClaim&) = delete;
  BookClaim(BookClaim&& other) noexcept;
  BookClaim& operator=(BookClaim&& other) noexcept;
  ~BookClaim();

  // The book this claim holds ("" when none).
  const std::filesystem::path& book() const noexcept { return book_; }
  // The record's file ("" when none).
  const std::filesystem::path& file() const noexcept { return file_; }
  void release() noexcept;

 private:
  friend class OpenBooks;
  std::filesystem::path file_;
  std::filesystem::path book_;
};

class OpenBooks {
 public:
  // The records lie in `folder` (normally openBooksFolder()).
  explicit OpenBooks(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // The copies other than this one that have `book` open, first opened first. Records of
  // copies that no longer run are removed on the way. A record from another host cannot be
  // checked and counts as running.
  std::vector<OpenBookRecord> othersHolding(const std::filesystem::path& book) const;
  // Notes that `who` (normally this copy) has `book` open. A record that cannot be written
  // leaves an empty claim: opening a book never fails for want of its record.
  BookClaim claim(const std::filesystem::path& book,
                  const OpenBookRecord& who = OpenBookRecord::thisCopy()) const;

 private:
  std::filesystem::path folder_;
};

// "open-books" in the user's state folder.
std::filesystem::path openBooksFolder();

// The question asked before a book that another copy has open is opened again:
// the book, then the copy's process id, user, host and since when (local time).
inline constexpr const char* kOpenElsewhereQuestion =
    "%s is already open in another copy of Mervane (process %s of %s on %s, open since "
    "%s).\n\nChanges saved by one copy can be replaced by the other.\n\nOpen it anyway?";
// That question filled in for `record`.
std::string openElsewhereQuestion(const std::filesystem::path& book,
                                  const OpenBookRecord& record);

}  // namespace mv
