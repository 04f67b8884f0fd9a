#pragma once
// How this copy of the program was started: from its first argument and its own file
// name (a copy named setup.exe installs).

#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class RunMode { Normal = 0, Setup = 1, Remove = -1, FirstRun = 2 };

// args excludes the program path. Only the first argument counts, compared exactly and
// case-sensitively with "remove", "setup" and "first_run"; a program file whose name
// without extension is "setup" in any letter case starts in setup mode whatever the
// argument says.
RunMode runModeFrom(const std::vector<std::string>& args, std::string_view programPath);

}  // namespace mv
