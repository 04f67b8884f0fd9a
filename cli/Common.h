#pragma once
// What several verbs of mervane-cli share: the book checks every verb makes before it
// touches a book, the sort orders of the command line, the prompter that turns the
// core's questions into lines on stderr, and the GUI application that fonts need.

#include "platform/Prompter.h"

#include <cstddef>
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace mv {
class Book;
}

namespace mv::cli {

// A verb's command line: the verb itself, then its book (or file), then its options.
using Args = std::vector<std::string>;

// Windows-1252 text as the terminal's UTF-8.
std::string utf8(const std::string& cp1252);

// 0, 1, 2 for "first", "last", "company"; nothing for any other word.
std::optional<int> parseOrder(const std::string& word);
// "first name", "last name" or "company", as the sort verb reports the order.
const char* orderName(int order);
// The order named after `option` (first, last or company). False when anything else
// follows the book: an unknown word, the option without a value, or an unknown order.
bool orderOption(const Args& args, const std::string& option, std::optional<int>& order);

// Everything a verb needs before it touches a book: the file exists, can be read and is
// a book of the current format. Returns the exit code on failure.
std::optional<int> checkBook(const std::string& arg, std::ostream& err, bool olderIsOk = false);
// checkBook, then the book opened. Returns the exit code on failure.
std::optional<int> openBook(Book& book, const std::string& arg, std::ostream& err);
// The book saved; a failure is told on `err` and gives the exit code kFailure, and so
// does a book that someone else wrote since it was opened (it is then not written).
int saveBook(Book& book, const std::string& arg, std::ostream& err);

// The options of calibrate and calibration-sheet: each at most once, all with a value.
bool calibrationOptions(const Args& args, std::size_t from,
                        std::map<std::string, std::string>& given,
                        std::initializer_list<const char*> known);

// The settings' messages go to stderr; a question is answered No, which leaves things
// as the program has them at start.
class StderrPrompter final : public Prompter {
 public:
  explicit StderrPrompter(std::ostream& err) : err_(err) {}
  Answer ask(const Message& message) override;

 private:
  std::ostream& err_;
};

// Fonts need a GUI application; without a display the offscreen platform serves.
void ensureGuiApplication();
// Ends the application ensureGuiApplication made, before the program's statics go: Qt's
// font caches are torn down with it, while the library that keeps them is still there.
void releaseGuiApplication();

}  // namespace mv::cli
