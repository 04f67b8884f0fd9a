#include "shell/RunMode.h"

#include "platform/Text.h"

#include <filesystem>

namespace mv {

RunMode runModeFrom(const std::vector<std::string>& args, std::string_view programPath) {
  RunMode mode = RunMode::Normal;
  if (!args.empty()) {
    const std::string& first = args.front();
    if (first == "remove")
      mode = RunMode::Remove;
    else if (first == "setup")
      mode = RunMode::Setup;
    else if (first == "first_run")
      mode = RunMode::FirstRun;
  }
  const std::string stem = std::filesystem::path(std::string(programPath)).stem().string();
  if (equalsIgnoreCase(stem, "setup")) mode = RunMode::Setup;
  return mode;
}

}  // namespace mv
