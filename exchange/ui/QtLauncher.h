#pragma once
// The Launcher of this desktop: URLs go to the desktop's handlers, helper programs are
// started with an argument list (never a shell), text goes to the system clipboard.

#include "exchange/Launch.h"

namespace mv {

class QtLauncher final : public Launcher {
 public:
  Result openUrl(const std::string& url) override;
  Result startProgram(const std::string& program, const std::string& argument) override;
  void copyToClipboard(const std::string& textUtf8) override;
};

}  // namespace mv
