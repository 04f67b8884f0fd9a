#pragma once
// Recovery after a crash. A running copy keeps its working file in its own folder of the
// state folder, with a lock naming the copy and the notes of the tables (WorkingFile).
// At start, the folder of a copy that no longer runs is offered back when its working
// file holds changes its book does not: Yes opens the book with every change, still
// unsaved; No keeps the changes aside as a dated copy and says where.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mv {

class Prompter;

// What a copy that did not close properly left behind.
struct LeftBook {
  std::filesystem::path folder;  // the copy's scratch folder
  std::filesystem::path book;    // the book it had open (empty: none)
  bool changed = false;          // the working file holds changes the book does not
};

// The folders in `state` of copies that no longer run, newest first.
std::vector<LeftBook> findLeftBooks(const std::filesystem::path& state);

// The book as the copy last held it: the current version of every record, with its
// mark, in slot order. None when the folder holds no working file.
std::optional<std::string> recoveredBookBytes(const std::filesystem::path& folder);

// Book::open of `book` takes these bytes instead of the file's, once, and leaves the
// book marked as changed.
void setRecoveredBook(const std::filesystem::path& book, std::string bytes);
std::optional<std::string> takeRecoveredBook(const std::filesystem::path& book);

inline constexpr const char* kRecoverQuestion =
    "Mervane did not close properly.\n\nRestore the changes made to %s before it closed?";
inline constexpr const char* kKeptAsideText =
    "The changes were not restored. They are kept in:\n%s";

// The start-up offer, through the prompter. A book restored on Yes becomes the first of
// the recent books in `settingsFile`, the one the program opens. Left folders without
// changes are removed without a word. Returns the book to be restored, if any.
std::optional<std::filesystem::path> offerRecovery(Prompter& prompter,
                                                   const std::filesystem::path& settingsFile,
                                                   const std::filesystem::path& state);

}  // namespace mv
