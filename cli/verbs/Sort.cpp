// sort: the book sorted by the order --by names and saved.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "store/Book.h"

namespace mv::cli::verbs {

int sort(const Args& args, std::ostream& out, std::ostream& err) {
  std::optional<int> order;
  if (!orderOption(args, "--by", order) || !order) {
    err << "mervane-cli: sort needs --by first, last or company.\n";
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  if (const BookStatus status = book.sort(*order); status != BookStatus::Ok) {
    err << "mervane-cli: " << args[1] << ": " << describe(status) << "\n";
    return kFailure;
  }
  if (const int saved = saveBook(book, args[1], err); saved != kOk) return saved;
  out << "sorted " << book.names().count() << " entries by " << orderName(*order) << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
