// duplicates: the groups of entries that look alike, as the duplicates window lists them:
// what they share, then each entry by its name and slot.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "store/Book.h"
#include "store/Duplicates.h"

namespace mv::cli::verbs {

int duplicates(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  const std::vector<DuplicateGroup> groups = findDuplicates(book);
  for (const DuplicateGroup& g : groups) {
    out << reasonName(g.reason) << ": " << utf8(g.shared) << "\n";
    for (int slot : g.members) {
      const std::optional<AddressRecord> r = book.readRecord(slot);
      if (r) out << "  " << slot << "\t" << utf8(nameKey(*r, book.cardSort())) << "\n";
    }
  }
  out << groups.size() << (groups.size() == 1 ? " group" : " groups") << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
