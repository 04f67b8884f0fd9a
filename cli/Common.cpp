#include "cli/Common.h"

#include "cli/Cli.h"
#include "platform/Cp1252.h"
#include "store/AdrFormat.h"
#include "store/Book.h"

#include <QGuiApplication>

#include <algorithm>
#include <filesystem>

namespace mv::cli {

std::string utf8(const std::string& cp1252) { return fromCp1252(cp1252).toUtf8().toStdString(); }

std::optional<int> parseOrder(const std::string& word) {
  if (word == "first") return 0;
  if (word == "last") return 1;
  if (word == "company") return 2;
  return std::nullopt;
}

const char* orderName(int order) {
  return order == 1 ? "last name" : (order == 2 ? "company" : "first name");
}

bool orderOption(const Args& args, const std::string& option, std::optional<int>& order) {
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] != option || i + 1 >= args.size()) return false;
    order = parseOrder(args[++i]);
    if (!order) return false;
  }
  return true;
}

std::optional<int> checkBook(const std::string& arg, std::ostream& err, bool olderIsOk) {
  const std::filesystem::path path = arg;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    err << "mervane-cli: " << arg << " does not exist.\n";
    return kFailure;
  }
  const adr::FirstWord first = adr::readFirstWord(path);
  switch (adr::classify(first)) {
    case adr::BookKind::Unreadable:
      err << "mervane-cli: " << arg << " cannot be read.\n";
      return kFailure;
    case adr::BookKind::NotABook:
      err << "mervane-cli: " << arg << " is not a Mervane address book.\n";
      return kFailure;
    case adr::BookKind::Older:
      if (olderIsOk) return std::nullopt;
      err << "mervane-cli: " << arg << " is an older address book (" << first.word
          << "); convert it first with: mervane-cli convert " << arg << "\n";
      return kFailure;
    case adr::BookKind::Current:
      return std::nullopt;
  }
  return kFailure;
}

std::optional<int> openBook(Book& book, const std::string& arg, std::ostream& err) {
  if (auto failed = checkBook(arg, err)) return failed;
  const BookStatus status = book.open(arg);
  if (status != BookStatus::Ok) {
    err << "mervane-cli: " << arg << ": " << describe(status) << "\n";
    return kFailure;
  }
  return std::nullopt;
}

int saveBook(Book& book, const std::string& arg, std::ostream& err) {
  const BookStatus status = book.save();
  if (status == BookStatus::ChangedOnDisk) {
    // A verb reads and writes in one go: someone else wrote the book in between.
    err << "mervane-cli: " << arg << " was changed by another program while this command "
        << "ran; it was not written over. Run the command again.\n";
    return kFailure;
  }
  if (status != BookStatus::Ok) {
    err << "mervane-cli: " << arg << ": " << describe(status) << "\n";
    return kFailure;
  }
  return kOk;
}

bool calibrationOptions(const Args& args, size_t from, std::map<std::string, std::string>& given,
                        std::initializer_list<const char*> known) {
  for (size_t i = from; i < args.size(); i += 2) {
    bool ok = i + 1 < args.size() && !given.count(args[i]);
    ok = ok && std::find_if(known.begin(), known.end(),
                            [&](const char* k) { return args[i] == k; }) != known.end();
    if (!ok) return false;
    given[args[i]] = args[i + 1];
  }
  return true;
}

Answer StderrPrompter::ask(const Message& message) {
  std::string text = message.text;
  for (char& c : text)
    if (c == '\n') c = ' ';
  const bool question =
      message.buttons == Buttons::YesNo || message.buttons == Buttons::YesNoCancel;
  err_ << "mervane-cli: " << utf8(text) << (question ? " No.\n" : "\n");
  return question ? Answer::No : Answer::Ok;
}

namespace {
QGuiApplication* madeHere = nullptr;
}  // namespace

void ensureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "mervane-cli";
  static char* argv[] = {name, nullptr};
  madeHere = new QGuiApplication(argc, argv);
}

void releaseGuiApplication() {
  delete madeHere;
  madeHere = nullptr;
}

}  // namespace mv::cli
