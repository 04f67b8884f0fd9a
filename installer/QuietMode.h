#pragma once
// Installing and removing without windows, for administrators and tests:
//   setup --quiet --target DIR
//   mervane remove --quiet [--delete-data]
// Each prints what it did and returns the exit code: 0 when everything went well, 1 on
// any failure, 2 when the command line is not understood, 3 when Mervane is running
// (nothing is touched then: a running program's files are never replaced under it).

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

bool asksForQuiet(const std::vector<std::string>& args);

// What setup and remove say, in a window or on the terminal, while a copy of Mervane runs.
inline constexpr const char* kProgramRunningMessage = "Mervane is running. Close it, then press Retry.";

// True while a copy of Mervane runs; asked before anything is copied or deleted.
using RunningCheck = std::function<bool()>;

// sourceDir: the distribution folder ("setupmv.ini" and the listed files); program: the
// running program file, installed as "mervane". A quiet setup does not start the program.
int runQuietSetup(const std::vector<std::string>& args, const std::filesystem::path& sourceDir,
                  const std::filesystem::path& program, std::ostream& out, std::ostream& err,
                  const RunningCheck& running = {});

// folder: the installed folder (the running program's). The program file and the folder
// are left to the removal script, started detached before this returns.
int runQuietRemove(const std::vector<std::string>& args, const std::filesystem::path& folder,
                   long pid, std::ostream& out, std::ostream& err,
                   const RunningCheck& running = {});

}  // namespace mv
