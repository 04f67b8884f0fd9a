// rescan: the rescan the user asked for, saved at once. What it found goes to stdout once
// the book is saved; a failure goes to stderr, and then the file is as it was.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "store/Book.h"
#include "store/Rescan.h"

namespace mv::cli::verbs {

int rescan(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  const RescanStatus status = rescanWorkingFile(book, {});
  const auto tell = [&](std::ostream& to) {
    for (const Message& message : rescanMessages(status))
      to << (message.coding == TextCoding::Utf8 ? message.text : utf8(message.text)) << "\n";
  };
  if (!rescanned(status)) {
    tell(err);
    err << "mervane-cli: " << arg << " could not be rescanned; the file is unchanged.\n";
    return kFailure;
  }
  if (const int saved = saveBook(book, arg, err); saved != kOk) return saved;
  tell(out);
  out << "rescanned " << book.names().count() << " entries\n";
  return kOk;
}

}  // namespace mv::cli::verbs
