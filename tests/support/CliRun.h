#pragma once
// One run of mervane-cli's entry point inside the test: its exit code and both streams.

#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace mv::test {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

inline CliRun cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = cli::run(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace mv::test
