#pragma once
// What the fuzzers share: a private folder per fuzzing process for the readers that take
// a path, and the input as bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include <unistd.h>

namespace mv::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// One folder per process (libFuzzer's -jobs run several), left for the system to clear.
inline const std::filesystem::path& folder() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() /
             ("mervane-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

inline std::filesystem::path writeInput(const char* name, std::string_view bytes) {
  const auto path = folder() / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(),
                                                                static_cast<std::streamsize>(bytes.size()));
  return path;
}

}  // namespace mv::fuzz
