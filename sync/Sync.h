#pragma once
// Two-way sync of one book with one CardDAV address book. The book's file keeps its
// format; what was last synced (per entry: the card's href and ETag, the card, a hash of
// the entry) lives in a state file of its own. Runs to the end before it returns; the
// window follows it through the progress callback.

#include "sync/CardDav.h"

#include <filesystem>
#include <functional>
#include <string>

namespace mv::sync {

// The most entries a sync fills a book with: what the card window lets a book grow to.
inline constexpr int kBookLimit = 1900;

struct SyncCounts {
  int received = 0;      // entries added or changed in the book
  int sent = 0;          // cards created or updated on the server
  int deletedHere = 0;   // entries deleted from the book
  int deletedThere = 0;  // cards deleted on the server
  int conflicts = 0;     // changed on both sides: the book's version kept as "[Dup:n]"
  int leftOnServer = 0;  // cards the book had no room for
};

struct SyncOptions {
  int bookLimit = kBookLimit;  // smaller in tests only
  std::filesystem::path stateFolder;  // empty: stateFolder() below
  // What has been done of how much, and what is being done ("Sending cards").
  std::function<void(int done, int total, const std::string& what)> progress;
};

struct SyncOutcome {
  DavError error = DavError::None;
  std::string message;  // one sentence when something went wrong, empty otherwise
  SyncCounts counts;    // what was done, also when a sync stopped half-way
  bool ok() const noexcept { return message.empty(); }
};

// What a sync did, as the window's summary says it.
std::string summaryText(const SyncCounts& counts);

// $XDG_STATE_HOME/mervane/sync (~/.local/state/mervane/sync without it).
std::filesystem::path stateFolder();
// The state file of one book and one address book.
std::filesystem::path stateFile(const std::filesystem::path& folder,
                                const std::filesystem::path& book, const QUrl& collection);

// Syncs the book at `book` (saved: the file is what is synced) with the account's
// address book. A refused password, a server that cannot be reached or a URL that is no
// address book leave the book and the state as they were. A server that goes away
// half-way leaves the book and the state agreeing on what was done; the next sync does
// the rest.
SyncOutcome synchronize(const std::filesystem::path& book, const Account& account,
                        const SyncOptions& options = {});

}  // namespace mv::sync
