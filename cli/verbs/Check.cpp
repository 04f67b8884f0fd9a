// check: what a file is (a current book, an older one, something else) and, for a book,
// its records, its groups and whether it needs a rescan.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "store/AdrFormat.h"
#include "store/Book.h"

namespace mv::cli::verbs {

int check(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  if (auto failed = checkBook(arg, err, true)) return *failed;
  const adr::FirstWord first = adr::readFirstWord(arg);
  out << "first word: " << utf8(first.word) << "\n";
  if (adr::classify(first) == adr::BookKind::Older) {
    out << "older format: convert it with: mervane-cli convert " << arg << "\n";
    return kOlderFormat;
  }
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  out << "records: " << book.names().count() << "\n";
  if (book.isDamaged())
    out << "damaged: repair it with: mervane-cli rescan " << arg << "\n";
  for (const GroupEntry& group : book.names().groups())
    out << "group: " << utf8(group.name) << " (" << group.names.size() << ")\n";
  return kOk;
}

}  // namespace mv::cli::verbs
