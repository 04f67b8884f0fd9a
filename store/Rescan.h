#pragma once
// Rescan: rewrites the working file from the names list and makes records with the same
// name key distinct by appending "[Dup:%d]" to the field the list is sorted by.

#include "platform/Prompter.h"
#include "store/Book.h"

#include <functional>
#include <string>
#include <vector>

namespace mv {

// The support address the duplicates message sends the user to.
inline constexpr const char* kSupportAddress = "support@mervane.org";

// "Duplicate entries were found!! ..." ending with the support address and a line feed.
std::string duplicatesMessage();

enum class ScanResult { Clean, Duplicates, NotOpen, CreateFailed };

// The scan on its own: writes "temp~adr.~~" (magic line, then every live record in list
// order, start lines as found, no trailer), appending the suffix to every record whose
// key appears again further down the list; `rescanned` gets the same bytes. `title` gets
// "Rescan: %d%" every tenth of the way and an empty text at the end (restore the title).
// `heads`, when given, gets what building the list from those bytes needs, or nothing
// when the list must be built by reading them.
[[nodiscard]] ScanResult scanBook(const Book& book,
                                  const std::function<void(const std::string&)>& title,
                                  std::string& rescanned,
                                  std::vector<Book::ListHead>* heads = nullptr);

// Every way a rescan ends. The first two leave the rescanned records as the working file
// with the list built from them; the rest leave the book's file on disk as it was.
enum class [[nodiscard]] RescanStatus {
  Clean,             // no two records share a key
  DuplicatesMarked,  // records sharing a key were told apart with "[Dup:n]"
  NotOpen,           // no book or working file open: nothing was scanned
  CreateFailed,      // "temp~adr.~~" could not be written: the working file is untouched
  // The scan went as the first two say, but its copy could not become the working file
  // (the window then asks the user to open the book again).
  CleanButWorkingFileFailed,
  DuplicatesButWorkingFileFailed,
};

// The scan, then the rescanned file as the new working file and the list built from it,
// asking and showing nothing. The changed flag is left alone.
[[nodiscard]] RescanStatus rescanWorkingFile(
    Book& book, const std::function<void(const std::string&)>& title);

// True when the working file holds the rescanned records.
bool rescanned(RescanStatus status) noexcept;

// The message boxes the window shows for a status, in order: what the scan found, then
// any failure.
std::vector<Message> rescanMessages(RescanStatus status);

enum class RescanResult {
  Declined,           // the user did not answer Yes
  ScanFailed,         // nothing changed ("no success!")
  WorkingFileFailed,  // the rescanned copy could not become the working file
  Done,               // the working file holds the rescanned records; list rebuilt
};

// The whole command as the window runs it: the question, then rescanWorkingFile and its
// messages through `prompter`.
[[nodiscard]] RescanResult rescanBook(Book& book, Prompter& prompter,
                        const std::function<void(const std::string&)>& title);

}  // namespace mv
