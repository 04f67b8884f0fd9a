#pragma once
// "Validate the file": the one check a book passes before it is opened, used by the Open
// command and by the main frame's start-up check. Current books pass; older books are
// converted once the user agrees; anything else is refused with a message.

#include <filesystem>

namespace mv {

class Prompter;

enum class BookCheck {
  Passed,     // first word "TVXADR_307"
  Converted,  // an older book the user agreed to convert; it now has the current format
  Refused,    // missing, unreadable, not a book, conversion declined or failed
};

// - an absent path (empty or starting with a blank) or a file that cannot be opened:
//   refused without a message;
// - "TVXADR_307": passes;
// - "TVXADR_306" / "TVXADR_1800": the old-format question (OK/Cancel); OK converts in
//   place and passes, Cancel refuses; a failed conversion (a write, or more entries than
//   a book holds) is reported and refuses, the file left as it was;
// - any other first word: "Can not open: ... not a valid Mervane file format", refused.
BookCheck checkBookFile(const std::filesystem::path& path, Prompter& prompter);

inline bool validateBookFile(const std::filesystem::path& path, Prompter& prompter) {
  return checkBookFile(path, prompter) != BookCheck::Refused;
}

}  // namespace mv
