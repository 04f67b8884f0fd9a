#pragma once
// Rescan: rewrites the working file from the names list and makes records with the same
// name key distinct by appending "[Dup:%d]" to the field the list is sorted by.

#include "store/Book.h"

#include <functional>
#include <string>
#include <vector>

namespace mv {

class Prompter;

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

enum class RescanResult {
  Declined,           // the user did not answer Yes
  ScanFailed,         // nothing changed ("no success!")
  WorkingFileFailed,  // the rescanned copy could not become the working file
  Done,               // the working file holds the rescanned records; list rebuilt
};

// The whole command: the question, the scan with its messages, the rescanned file as the
// new working file and the list built from it. The changed flag is left alone.
[[nodiscard]] RescanResult rescanBook(Book& book, Prompter& prompter,
                        const std::function<void(const std::string&)>& title);

}  // namespace mv
