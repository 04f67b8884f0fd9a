// list: the names list as the window shows it, "Main" and then each group, in the book's
// own order or in the one --sort names (the book is not changed).
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "store/Book.h"

namespace mv::cli::verbs {

int list(const Args& args, std::ostream& out, std::ostream& err) {
  std::optional<int> order;
  if (!orderOption(args, "--sort", order)) {
    err << "mervane-cli: list takes only --sort first, last or company.\n";
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  if (order) {
    book.setCardSort(*order);
    if (const BookStatus built = book.buildList(true); built != BookStatus::Ok) {
      err << "mervane-cli: " << describe(built) << "\n";
      return kFailure;
    }
  }
  for (const GroupEntry& group : book.names().groups()) {
    out << utf8(group.name) << "\n";
    for (const NameEntry& name : group.names) out << "  " << utf8(name.text) << "\n";
  }
  return kOk;
}

}  // namespace mv::cli::verbs
