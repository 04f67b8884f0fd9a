#include "shell/RunMode.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

struct RunModeRow {
  std::vector<std::string> args;
  std::string program;
  RunMode expected;
};

TEST(RunMode, comesFromTheFirstArgumentAndTheProgramName) {
  const RunModeRow rows[] = {
      {{}, "/opt/mervane/mervane", RunMode::Normal},                 // no argument
      {{"setup"}, "/opt/mervane/mervane", RunMode::Setup},
      {{"remove"}, "/opt/mervane/mervane", RunMode::Remove},
      {{"first_run"}, "/opt/mervane/mervane", RunMode::FirstRun},
      {{"SETUP"}, "/opt/mervane/mervane", RunMode::Normal},          // arguments are case-sensitive
      {{"Remove"}, "mervane", RunMode::Normal},
      {{"setup "}, "mervane", RunMode::Normal},                      // exact match only
      {{"book.adr", "setup"}, "mervane", RunMode::Normal},           // only the first argument counts
      {{}, "C:/Mervane/SETUP.EXE", RunMode::Setup},                  // a copy named setup.exe installs
      {{}, "/tmp/Setup", RunMode::Setup},                            // any letter case, no extension
      {{"first_run"}, "/tmp/setup.exe", RunMode::Setup},             // the name wins over the argument
      {{"remove"}, "/tmp/setup", RunMode::Setup},
      {{}, "/tmp/setup.exe/mervane", RunMode::Normal},               // a folder named setup does not count
      {{}, "/tmp/mysetup.exe", RunMode::Normal},
  };
  for (const RunModeRow& row : rows) {
    EXPECT_EQ(runModeFrom(row.args, row.program), row.expected)
        << row.program << " " << (row.args.empty() ? "" : row.args.front());
  }
}

}  // namespace
}  // namespace mv
