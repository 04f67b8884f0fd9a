#pragma once
// Installing and removing without windows, for administrators and tests:
//   setup --quiet --target DIR
//   mervane remove --quiet [--delete-data]
// Each prints what it did and returns the exit code: 0 when everything went well, 1 on
// any failure, 2 when the command line is not understood.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace mv {

bool asksForQuiet(const std::vector<std::string>& args);

// sourceDir: the distribution folder ("setupmv.ini" and the listed files); program: the
// running program file, installed as "mervane". A quiet setup does not start the program.
int runQuietSetup(const std::vector<std::string>& args, const std::filesystem::path& sourceDir,
                  const std::filesystem::path& program, std::ostream& out, std::ostream& err);

// folder: the installed folder (the running program's). The program file and the folder
// are left to the removal script, started detached before this returns.
int runQuietRemove(const std::vector<std::string>& args, const std::filesystem::path& folder,
                   long pid, std::ostream& out, std::ostream& err);

}  // namespace mv
