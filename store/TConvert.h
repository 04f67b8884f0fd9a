#pragma once
// TConvert: brings "TVXADR_1800" and "TVXADR_306" address books up to "TVXADR_307".
// The old file is replaced only once the new one is complete, so a failed conversion
// leaves the user's book as it was.

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

enum class OldFormat { None, V1800, V306 };

// "TVXADR_1800" and "TVXADR_306" are convertible; every other first word (the plain
// "TVXADR" included) is not.
OldFormat oldFormatOf(std::string_view firstWord) noexcept;

// The whole conversion as a pure function: old file bytes in, current-format bytes out.
// Records are found by their 0x14; fields the old format lacks are empty; notes are
// copied byte for byte and closed with 0x15 (a last record without one gets one).
std::string convertOldBook(std::string_view oldBytes, OldFormat format);

enum class ConvertStatus {
  Converted,       // the file now holds the current format
  NotOldFormat,    // first word is not a convertible one; file untouched
  ReadFailed,      // the old file could not be read; file untouched
  TooManyRecords,  // more records than a book can hold; nothing written, file untouched
  WriteFailed,     // the scratch copy or the replacement could not be written; file untouched
  ChangedOnDisk,   // another program wrote the file while it was converted; its version kept
};

class TConvert {
 public:
  // The scratch file "~tmp~.~" lies in the running copy's scratch folder.
  TConvert();
  ~TConvert();
  TConvert(const TConvert&) = delete;
  TConvert& operator=(const TConvert&) = delete;

  // Converts the book at path in place; firstWord is what the open check read from it.
  // The whole book is read, converted and checked against the limits first; then it is
  // written to the scratch file, which replaces the book atomically. Whatever fails, the
  // book is either the old file or the complete new one.
  [[nodiscard]] ConvertStatus convert(const std::filesystem::path& path,
                                      std::string_view firstWord);

  const std::filesystem::path& scratchFile() const noexcept { return scratch_; }
  // The number of records the last conversion found (also when it refused them).
  int records() const noexcept { return records_; }

 private:
  std::filesystem::path scratch_;
  int records_ = 0;
};

}  // namespace mv
