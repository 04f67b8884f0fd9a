#pragma once
// A Launcher that hands nothing to the desktop: it remembers every hand-over and answers
// with `result`, so a test can say what would have been opened, started or copied.

#include "exchange/Launch.h"

#include <string>
#include <vector>

namespace mv {

class RecordingLauncher final : public Launcher {
 public:
  Result openUrl(const std::string& url) override {
    calls.push_back("open " + url);
    return result;
  }
  Result startProgram(const std::string& program, const std::string& argument) override {
    calls.push_back("start " + program + " " + argument);
    return result;
  }
  void copyToClipboard(const std::string& textUtf8) override { calls.push_back("copy " + textUtf8); }

  std::vector<std::string> calls;
  Result result = Result::Ok;
};

}  // namespace mv
