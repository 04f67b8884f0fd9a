#pragma once
// A fixture base for tests that run mervane-cli's verbs in-process on a book in a folder
// of their own, with a scratch folder of their own and the verb's output captured.

#include "cli/Cli.h"
#include "platform/Paths.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace mv::test {

class CliRunner : public ::testing::Test {
 protected:
  void SetUp() override { setScratchDirForTesting(scratch_.path()); }
  void TearDown() override { setScratchDirForTesting({}); }

  int run(std::vector<std::string> args) {
    out_.str({});
    err_.str({});
    return cli::run(args, out_, err_);
  }

  TestDir dir_;
  TestDir scratch_;
  std::filesystem::path book_ = dir_ / "book.adr";
  std::ostringstream out_;
  std::ostringstream err_;
};

}  // namespace mv::test
