#pragma once
// A temporary HOME with the XDG folders pointed into it, and a small distribution folder.

#include "support/TestDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace mv::test {

class TempHome : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
      const char* v = std::getenv(name);
      saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    std::filesystem::create_directories(home() / "runtime");
    std::filesystem::permissions(home() / "runtime", std::filesystem::perms::owner_all);
    setenv("HOME", home().c_str(), 1);
    setenv("XDG_DATA_HOME", (home() / ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home() / ".config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home() / "runtime").c_str(), 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }

  std::filesystem::path home() const { return dir_ / "home"; }
  std::filesystem::path dist() const { return dir_ / "dist"; }
  std::filesystem::path target() const { return home() / ".local/share/Mervane"; }

  // A distribution with two program files (one in a folder), a data file and the program.
  void makeDist(const std::string& version = "1") {
    std::filesystem::create_directories(dist() / "help");
    writeFile(dist() / "setup", "#!/bin/sh\n# program " + version + "\n");
    std::filesystem::permissions(dist() / "setup", std::filesystem::perms::owner_all);
    writeFile(dist() / "pagesize.dat", "paper " + version);
    writeFile(dist() / "help" / "3.html", "help " + version);
    writeFile(dist() / "address.adr", "TVXADR_307 starter " + version);
    writeFile(dist() / "setupmv.ini",
              "[Setup]\nTotal Files=5\n[Files]\n1=pagesize.dat\n2=help\n3=_END_\n"
              "[Data]\n1=address.adr\n2=_END_\n");
  }

  TestDir dir_;

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace mv::test
