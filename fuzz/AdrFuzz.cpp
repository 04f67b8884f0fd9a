// The .adr reader and the names-list build: a book file opened (forced, as after "Try
// to open the file anyways?"), its list built sorted and unsorted, every record read back
// through the one walk, and the book written again and reopened.
#include "fuzz/FuzzSupport.h"
#include "store/AdrFormat.h"
#include "store/Book.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const std::string_view bytes = fuzz::bytesOf(data, size);
  static Book book(fuzz::folder());
  const auto path = fuzz::writeInput("book.adr", bytes);
  if (book.open(path, true) != BookStatus::Ok) return 0;
  size_t walked = 0;
  book.forEachInListOrder([&](const ListedRecord&) { ++walked; });
  (void)book.buildList(true);
  for (int slot = 0; slot < 8; ++slot) (void)book.readRecord(slot);
  // What a save writes must read back as the same records.
  if (!book.isDamaged()) {
    const std::string saved = book.serialize();
    const auto again = fuzz::writeInput("again.adr", saved);
    Book other(fuzz::folder() / "other");
    std::filesystem::create_directories(fuzz::folder() / "other");
    if (other.open(again, true) == BookStatus::Ok &&
        other.recordsInListOrder().size() != book.recordsInListOrder().size())
      std::abort();
  }
  book.close();
  return 0;
}
