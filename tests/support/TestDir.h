#pragma once
// A fresh folder per test, removed afterwards, with small file helpers.

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace mv::test {

class TestDir {
 public:
  TestDir() : dir_(QDir::tempPath() + "/mervane-test-XXXXXX") {}
  std::filesystem::path path() const { return dir_.path().toStdString(); }
  std::filesystem::path operator/(const std::string& name) const { return path() / name; }

 private:
  QTemporaryDir dir_;
};

inline std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace mv::test
