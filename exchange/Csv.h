#pragma once
// Comma-separated text as other programs write it: the quoting of one value for writers,
// the text encoding and separator a file uses, and a reader for its records.

#include <string>
#include <string_view>
#include <vector>

namespace mv::csv {

// One value as a CSV field: enclosed in double quotes, with its quotes doubled, when it
// holds the separator, a double quote, a line break, or a blank at either end (which
// some readers would trim); otherwise unchanged.
std::string quoteValue(std::string_view value, char separator = ',');

// A file's bytes as Windows-1252 text. A file that starts with a UTF-8 byte-order mark,
// or is valid UTF-8 with bytes above 0x7F, is read as UTF-8 and converted; anything else
// is taken as Windows-1252 already.
struct DecodedText {
  std::string text;    // Windows-1252, without the byte-order mark
  bool utf8 = false;   // the file was read as UTF-8
  int replaced = 0;    // characters Windows-1252 cannot hold, each now a '?'
};
DecodedText decodeToCp1252(std::string_view bytes);

// The separator of a file, decided by its header line: a comma, unless the line has no
// comma outside quotes but has semicolons or tabs (then the more frequent of those two).
char detectSeparator(std::string_view text) noexcept;

// Reads records one at a time, RFC 4180 style: a value in double quotes keeps its
// separators and line breaks, and "" inside it stands for one quote. Departures, for
// files that spreadsheets and hand editing really produce: a record ends at CR LF, LF or
// a lone CR; a quote inside an unquoted value is an ordinary character; text after a
// closing quote is appended to the value; a quoted value still open at the end of the
// file ends there.
class Reader {
 public:
  explicit Reader(std::string_view text, char separator = ',') noexcept
      : text_(text), separator_(separator) {}
  // The next record's values; false at the end of the text. An empty line is a record
  // of one empty value.
  bool next(std::vector<std::string>& values);
  std::size_t pos() const noexcept { return pos_; }

 private:
  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
};

}  // namespace mv::csv
