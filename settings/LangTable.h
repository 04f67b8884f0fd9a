#pragma once
// The language table of lang.dat: month and weekday names for the program's date texts
// and a set of words, in the language that Customize Lang selects. Built-in English
// stands in for anything the file does not give.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

class LangTable {
 public:
  // Built-in English.
  LangTable();

  // Reads lang.dat: section Lang maps the decimal lang number to a language name
  // (29 characters, default "English"); that language's section holds "Jan".."Dec",
  // "Mon".."Sun" (19 characters each) and the words (13 characters, default the key).
  // An empty value, or one starting with a blank or control character, gives the default.
  // A lang outside 0..20 is read as 0. A missing file gives English.
  static LangTable load(const std::filesystem::path& langDat, int lang);

  const std::string& languageName() const noexcept { return language_; }
  // month 0 = January .. 11 = December; weekday 0 = Monday .. 6 = Sunday. Out-of-range
  // indexes give an empty text.
  const std::string& monthName(int month) const noexcept;
  const std::string& weekdayName(int weekday) const noexcept;
  // The first three characters of the name.
  std::string monthAbbrev(int month) const;
  std::string weekdayAbbrev(int weekday) const;
  // One of the 22 words by its key ("Notes", "Contacts", ... "Summary"); an unknown key
  // gives the key itself.
  std::string word(std::string_view key) const;

 private:
  std::string language_;
  std::array<std::string, 12> months_;
  std::array<std::string, 7> weekdays_;
  std::array<std::string, 22> words_;
};

}  // namespace mv
