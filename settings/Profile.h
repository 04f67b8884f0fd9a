#pragma once
// An INI file read and written the way the Windows private-profile functions do:
// case-insensitive sections and keys, integers from their leading digits, values cut to
// their buffer, a missing file or key giving the default, and every other line of the
// file (comments included) kept in place on writing. Files are Windows-1252, written
// with LF and read with LF, CR LF or a bare CR.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class Profile {
 public:
  // A short-lived view of one section of one file.
  Profile(std::filesystem::path file, std::string section);

  // The value of key, or def when the key (or file) is missing; cut to bufferSize - 1
  // characters, as a fixed buffer of that size would hold it.
  std::string readString(std::string_view key, std::string_view def, size_t bufferSize) const;
  // Leading decimal digits with an optional minus sign; 0 when there are none; def when
  // the key is missing.
  int readInt(std::string_view key, int def) const;
  bool hasKey(std::string_view key) const;
  // Keys of the section in file order.
  std::vector<std::string> keys() const;

  // Each write goes to disk at once; false when the file cannot be written.
  [[nodiscard]] bool writeString(std::string_view key, std::string_view value);
  [[nodiscard]] bool writeInt(std::string_view key, int value);
  [[nodiscard]] bool flush() const;  // writes are immediate; kept for the callers that flush a group

  const std::filesystem::path& file() const noexcept { return file_; }
  const std::string& section() const noexcept { return section_; }

  // The integer rule on its own, for values read as text.
  static int leadingInt(std::string_view text) noexcept;

 private:
  std::optional<std::string> find(std::string_view key) const;

  std::filesystem::path file_;
  std::string section_;
};

// Reading three "%d,%d,%d"-style integers and friends from one value.
std::vector<int> parseIntList(std::string_view text);

}  // namespace mv
