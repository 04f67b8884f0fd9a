#pragma once
// mervane-cli: looks into and maintains address books from a terminal, through the same
// store code the window uses. Reads no settings: order by first name unless a verb says
// otherwise, saved group "Main".

#include <ostream>
#include <string>
#include <vector>

namespace mv::cli {

// Exit codes: 0 success (check: a current book), 1 check: an older format,
// 2 a missing or unreadable file, not a Mervane book, a bad command line or a failed save.
inline constexpr int kOk = 0;
inline constexpr int kOlderFormat = 1;
inline constexpr int kFailure = 2;

// args excludes the program name. Output is UTF-8; errors go to `err` as one sentence.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace mv::cli
