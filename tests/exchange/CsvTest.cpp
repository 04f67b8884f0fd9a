// The CSV reader, text decoding, separator choice and value quoting, on the shapes of
// file that spreadsheets and mail programs write.
#include "exchange/Csv.h"

#include <gtest/gtest.h>

namespace mv::csv {
namespace {

using Records = std::vector<std::vector<std::string>>;

Records readAll(std::string_view text, char separator = ',') {
  Reader reader(text, separator);
  Records out;
  std::vector<std::string> values;
  while (reader.next(values)) out.push_back(values);
  return out;
}

struct ReadCase {
  const char* what;
  std::string text;
  char separator;
  Records expected;
};

TEST(CsvReader, readsRecordsAsOtherProgramsWriteThem) {
  const ReadCase cases[] = {
      {"plain", "a,b,c\n", ',', {{"a", "b", "c"}}},
      {"quoted comma stays in one value", "\"Smith, Jones & Partners\",x\n", ',',
       {{"Smith, Jones & Partners", "x"}}},
      {"doubled quotes", "\"say \"\"hi\"\"\",x\n", ',', {{"say \"hi\"", "x"}}},
      {"line break inside quotes", "\"a\nb\",c\r\nd,e\r\n", ',', {{"a\nb", "c"}, {"d", "e"}}},
      {"CR LF inside quotes kept", "\"a\r\nb\"\n", ',', {{"a\r\nb"}}},
      {"bare CR line ends", "a,b\rc,d\r", ',', {{"a", "b"}, {"c", "d"}}},
      {"CR LF line ends", "a\r\nb\r\n", ',', {{"a"}, {"b"}}},
      {"no final line end", "a,b\nc,d", ',', {{"a", "b"}, {"c", "d"}}},
      {"empty text", "", ',', {}},
      {"empty line is one empty value", "a\n\nb\n", ',', {{"a"}, {""}, {"b"}}},
      {"empty values", ",,\n", ',', {{"", "", ""}}},
      {"quote inside an unquoted value", "a\"b,c\n", ',', {{"a\"b", "c"}}},
      {"text after a closing quote", "\"a\"b,c\n", ',', {{"ab", "c"}}},
      {"quote open at end of file", "\"a,b", ',', {{"a,b"}}},
      {"quoted empty value", "\"\",x\n", ',', {{"", "x"}}},
      {"semicolon separator keeps commas", "a;b,c\n", ';', {{"a", "b,c"}}},
      {"tab separator", "a\tb c\n", '\t', {{"a", "b c"}}},
      {"percent sign", "100%,%s%d\n", ',', {{"100%", "%s%d"}}},
      {"record delimiter byte read as it stands", "a\x14z,b\n", ',', {{"a\x14z", "b"}}},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(readAll(c.text, c.separator), c.expected) << c.what;
  }
}

TEST(CsvQuote, quotesOnlyWhatNeedsIt) {
  const struct {
    std::string value;
    char separator;
    std::string expected;
  } cases[] = {
      {"plain", ',', "plain"},
      {"", ',', ""},
      {"Smith, Jones", ',', "\"Smith, Jones\""},
      {"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
      {"two\r\nlines", ',', "\"two\r\nlines\""},
      {" lead", ',', "\" lead\""},
      {"a;b", ';', "\"a;b\""},
      {"a;b", ',', "a;b"},  // a semicolon means nothing in a comma file
  };
  for (const auto& c : cases) EXPECT_EQ(quoteValue(c.value, c.separator), c.expected) << c.value;
}

TEST(CsvQuote, quotedValueReadsBackUnchanged) {
  for (std::string value : {"a,b", "\"", "x\"\"y", "line\nbreak", " padded ", ""}) {
    const Records back = readAll(quoteValue(value) + "," + quoteValue(value) + "\n");
    ASSERT_EQ(back.size(), 1u) << value;
    EXPECT_EQ(back[0], (std::vector<std::string>{value, value})) << value;
  }
}

TEST(CsvDecode, convertsUtf8AndKeepsWindows1252) {
  const struct {
    const char* what;
    std::string bytes;
    std::string text;
    bool utf8;
    int replaced;
  } cases[] = {
      {"ASCII", "First,Last\n", "First,Last\n", false, 0},
      {"byte-order mark, ASCII", "\xEF\xBB\xBFName\n", "Name\n", true, 0},
      {"byte-order mark, accents", "\xEF\xBB\xBFJos\xC3\xA9", "Jos\xE9", true, 0},
      {"UTF-8 without mark", "Ren\xC3\xA9\x65 M\xC3\xBCller", "Ren\xE9\x65 M\xFCller", true, 0},
      {"euro sign and quotes", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D", "\x80 \x93x\x94", true, 0},
      {"Windows-1252 accents", "Jos\xE9 M\xFCller", "Jos\xE9 M\xFCller", false, 0},
      {"Windows-1252 euro", "\x80 5", "\x80 5", false, 0},
      {"a Chinese character", "Li \xE4\xB8\xAD", "Li ?", true, 1},
      {"an emoji is one character", "Hi \xF0\x9F\x98\x80!", "Hi ?!", true, 1},
      {"broken UTF-8 after a mark", "\xEF\xBB\xBF\x61\xC3", "a?", true, 1},
      {"UTF-16 little-endian with its mark", std::string("\xFF\xFEJ\0\xE9\0\xAC\x20", 8),
       "J\xE9\x80", true, 0},
      {"UTF-16 big-endian with its mark", std::string("\xFE\xFF\0J\0\xE9", 6), "J\xE9", true, 0},
      {"a question mark of its own is not counted", "\xEF\xBB\xBFwhy?", "why?", true, 0},
  };
  for (const auto& c : cases) {
    const DecodedText d = decodeToCp1252(c.bytes);
    EXPECT_EQ(d.text, c.text) << c.what;
    EXPECT_EQ(d.utf8, c.utf8) << c.what;
    EXPECT_EQ(d.replaced, c.replaced) << c.what;
  }
}

TEST(CsvSeparator, followsTheHeaderLine) {
  const struct {
    const char* header;
    char expected;
  } cases[] = {
      {"First,Last;Company\n", ','},
      {"First;Last;Company\n", ';'},
      {"First\tLast\tCompany\n", '\t'},
      {"\"Name, full\";City\n", ';'},      // a comma in quotes does not count
      {"First Name\n", ','},               // one field: nothing to decide
      {"A;B\tC;D\n", ';'},                 // the more frequent
      {"Name;Werkadres, straat;Plaats\n", ';'},  // a comma inside an unquoted name
      {"Name\nx;y;z\n", ','},              // only the header line decides
      {"", ','},
  };
  for (const auto& c : cases) EXPECT_EQ(detectSeparator(c.header), c.expected) << c.header;
}

TEST(CsvText, refusesWhatIsNoTextFile) {
  const std::string utf8Cut = std::string(4095, 'a') + "\xC3\xA9";  // 4 KB ends inside "é"
  const struct {
    const char* what;
    std::string bytes;
    bool text;
  } cases[] = {
      {"a program", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10), false},
      {"UTF-8", "Name\nJos\xC3\xA9\n", true},
      {"Windows-1252", "Name\nJos\xE9 \x80\n", true},
      {"neither UTF-8 nor Windows-1252", "Name\n\x81\x8D\x90\n", false},
      {"UTF-16 with its mark, NULs and all", std::string("\xFF\xFEN\0", 4), true},
      {"a UTF-8 character cut by the 4 KB the check reads", utf8Cut, true},
      {"empty", "", true},
  };
  for (const auto& c : cases) EXPECT_EQ(looksLikeText(c.bytes), c.text) << c.what;
}

TEST(CsvReader, remembersWhereAQuoteNeverCloses) {
  const struct {
    const char* text;
    int line;
    int taken;  // lines after it that the value took in
  } cases[] = {
      {"a,b\nc,\"d\ne,f\ng,h\n", 2, 2},
      {"a,b\r\nc,\"d\r\ne,f", 2, 1},
      {"a,\"b\nc\"\nd,\"e", 3, 0},      // a closed quote over two lines counts too
      {"a,\"b\nc\"\nd,e\n", 0, 0},       // every quote closed
  };
  for (const auto& c : cases) {
    Reader reader(c.text);
    std::vector<std::string> values;
    while (reader.next(values)) {
    }
    EXPECT_EQ(reader.unclosedQuoteLine(), c.line) << c.text;
    EXPECT_EQ(reader.linesInUnclosedQuote(), c.taken) << c.text;
  }
}

}  // namespace
}  // namespace mv::csv
