#include "cli/Cli.h"
#include "cli/Common.h"

#include <iostream>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const int code = mv::cli::run(args, std::cout, std::cerr);
  mv::cli::releaseGuiApplication();
  return code;
}
