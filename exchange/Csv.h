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
// or is valid UTF-8 with bytes above 0x7F, is read as UTF-8 and converted; one that starts
// with a UTF-16 byte-order mark (as some Windows programs write) is read as UTF-16;
// anything else is taken as Windows-1252 already.
struct DecodedText {
  std::string text;    // Windows-1252, without the byte-order mark
  bool utf8 = false;   // the file was read as UTF-8
  int replaced = 0;    // characters Windows-1252 cannot hold, each now a '?'
};
DecodedText decodeToCp1252(std::string_view bytes);

// The separator of a file, decided by its header line: the most frequent of comma,
// semicolon and tab outside quotes (mail programs write ";" where the comma is the
// decimal sign); a tie goes to the comma, then the semicolon.
char detectSeparator(std::string_view text) noexcept;

// False for bytes that are no text file at all (a program, a picture, a database): a NUL
// byte in the first 4 KB, or bytes there that are neither UTF-8 nor Windows-1252. A file
// with a UTF-16 byte-order mark is text.
bool looksLikeText(std::string_view bytes) noexcept;

// Reads records one at a time, RFC 4180 style: a value in double quotes keeps its
// separators and line breaks, and "" inside it stands for one quote. Departures, for
// files that spreadsheets and hand editing really produce: a record ends at CR LF, LF or
// a lone CR; a quote inside an unquoted value is an ordinary character; text after a
// closing quote is appended to the value; a quoted value still open at the end of the
// file ends there, and the reader remembers the line where it opened.
class Reader {
 public:
  explicit Reader(std::string_view text, char separator = ',') noexcept
      : text_(text), separator_(separator) {}
  // The next record's values; false at the end of the text. An empty line is a record
  // of one empty value.
  bool next(std::vector<std::string>& values);
  std::size_t pos() const noexcept { return pos_; }
  // The line (1-based) where a quote opened that the text never closes, 0 when none; and
  // how many lines after that one the open value took in.
  int unclosedQuoteLine() const noexcept { return unclosedLine_; }
  int linesInUnclosedQuote() const noexcept { return unclosedLines_; }

 private:
  // A line break at pos_ - 1 (c): steps over the LF of a CR LF and counts the line.
  void lineBreak(char c) noexcept;

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int unclosedLine_ = 0;
  int unclosedLines_ = 0;
};

}  // namespace mv::csv
