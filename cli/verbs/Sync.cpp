// sync: the book synced with a CardDAV address book, as File > Synchronize does it. The
// password comes from a file or from MERVANE_SYNC_PASSWORD, never from the command line,
// where other users could read it. Prints what was done, one count a line; an error is one
// sentence on stderr and exit code 2.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "platform/AtomicFile.h"
#include "sync/Sync.h"

#include <QCoreApplication>

namespace mv::cli::verbs {

int sync(const Args& args, std::ostream& out, std::ostream& err) {
  sync::Account account;
  std::string passwordFile;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--allow-http") {
      account.allowHttp = true;
      continue;
    }
    if (i + 1 >= args.size() || (option != "--url" && option != "--user" && option != "--password-file")) {
      err << kSyncUsage;
      return kFailure;
    }
    const std::string& value = args[++i];
    if (option == "--url")
      account.url = QUrl(QString::fromStdString(value));
    else if (option == "--user")
      account.user = QString::fromStdString(value);
    else
      passwordFile = value;
  }
  if (!account.url.isValid() || account.url.host().isEmpty()) {
    err << kSyncUsage;
    return kFailure;
  }
  if (auto failed = checkBook(args[1], err)) return *failed;
  if (!passwordFile.empty()) {
    std::string bytes;
    if (!readWholeFile(passwordFile, bytes)) {
      err << "mervane-cli: " << passwordFile << " cannot be read.\n";
      return kFailure;
    }
    // The first line: a file written by an editor ends in a line break that is no part of it.
    bytes = bytes.substr(0, bytes.find_first_of("\r\n"));
    account.password = QString::fromStdString(bytes);
  } else {
    account.password = qEnvironmentVariable("MERVANE_SYNC_PASSWORD");
  }
  // The network replies come through an event loop, which needs an application.
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "mervane-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }
  const sync::SyncOutcome outcome = sync::synchronize(args[1], account);
  if (!outcome.ok()) {
    err << outcome.message << "\n";
    return kFailure;
  }
  const sync::SyncCounts& c = outcome.counts;
  out << "received: " << c.received << "\n"
      << "sent: " << c.sent << "\n"
      << "deleted here: " << c.deletedHere << "\n"
      << "deleted there: " << c.deletedThere << "\n"
      << "conflicts: " << c.conflicts << "\n"
      << "left on the server: " << c.leftOnServer << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
