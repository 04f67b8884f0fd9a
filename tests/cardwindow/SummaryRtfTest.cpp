// The summary text of the Link page, its reader and the link rule.
#include "cardwindow/RtfReader.h"
#include "cardwindow/SummaryRtf.h"
#include "platform/Escape.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1"
    "\\froman\\fcharset2 Symbol;}{\\f2\\fswiss\\fprq2 MS Sans Serif;}{\\f3\\froman Times New "
    "Roman;}{\\f4\\fswiss\\fprq2 Arial;}}\n{\\colortbl\\red0\\green0\\blue0;\\red0\\green128"
    "\\blue0;\\red0\\green0\\blue255;\\red239\\green239\\blue239;\\red128\\green128\\blue128;}"
    "\n\\deflang1033\\pard\\plain\\f2\\fs1\\cf0";
const std::string kSpacer = "\\par \\plain\\f4\\fs6\\cf0  \\plain\\f2\\fs1\\cf0  \n";

AddressRecord record(std::initializer_list<std::pair<FieldId, std::string>> values) {
  AddressRecord r;
  for (const auto& [f, v] : values) r[f] = v;
  return r;
}

TEST(SummaryRtf, onlyEmailGivesNameSpacersAndOneUnderlinedLine) {
  const auto r = record({{FieldId::First, "Ann"}, {FieldId::Email, "ann@example.org"},
                         {FieldId::Title, "X"}});  // one letter: no Title line
  const std::string expected =
      kHeader + "  Ann \n" + kSpacer + kSpacer + kSpacer +
      "\\par  \\plain\\f4\\fs16\\cf4\\b\\i email:\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1"
      "\\cf2\\ul ann@example.org\\plain\\f2\\fs1\\cf3 186 \\plain\\f2\\fs1\\cf2  \n"
      "\\par \n}";
  EXPECT_EQ(summaryRtf(r), expected);
}

TEST(SummaryRtf, fullRecordWritesEveryLineInOrder) {
  const auto r = record({{FieldId::First, "John"},       {FieldId::Last, "Smith"},
                         {FieldId::Title, "Engineer"},   {FieldId::Company, "Acme"},
                         {FieldId::Address1, "1 Road"},  {FieldId::State, "NY"},  // no City
                         {FieldId::Zip, "10001"},        {FieldId::Country, "USA"},
                         {FieldId::Describe, "Friend"},  {FieldId::Home, "555-1"},
                         {FieldId::Fax, "555-9"},        {FieldId::Office2, "555-2"},
                         {FieldId::WebSite, "http://a"}, {FieldId::Web2, "b.org"},
                         {FieldId::FtpSite, "ftp.a"},    {FieldId::Other, "misc"}});
  const std::string lab = "\\par  \\plain\\f4\\fs16\\cf4\\b\\i ";
  const std::string expected =
      kHeader + "  John Smith\n" + "\\par  Engineer\n" +
      "\\par  \\plain\\f2\\fs1\\cf0\\b Acme\\plain\\f2\\fs1\\cf0\n" + "\\par  1 Road\n" +
      "\\par  10001\n" + "\\par  USA\n" + kSpacer + lab +
      "Description:\\plain\\f2\\fs1\\cf0 \\par \\tab \\plain\\f2\\fs1\\cf0 Friend\\plain\\f2"
      "\\fs1\\cf0  \n" +
      kSpacer + lab +
      "Home:\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf1\\ul 555-1\\plain\\f2\\fs1\\cf3 "
      "183 \\plain\\f2\\fs1\\cf1  \n" +
      lab + "Fax:\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf1 555-9\\plain\\f2\\fs1\\cf1  \n" +
      lab +
      "Office':\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf1\\ul 555-2\\plain\\f2\\fs1\\cf3"
      " 192 \\plain\\f2\\fs1\\cf1  \n" +
      kSpacer + lab +
      "Web:\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf2\\ul http://a\\plain\\f2\\fs1\\cf3 "
      "187 \\plain\\f2\\fs1\\cf2  \n" +
      lab +
      "Web:'\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf2\\ul b.org\\plain\\f2\\fs1\\cf3 "
      "194 \\plain\\f2\\fs1\\cf2  \n" +
      lab +
      "FTP:\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf2\\ul ftp.a\\plain\\f2\\fs1\\cf3 "
      "196 \\plain\\f2\\fs1\\cf2  \n" +
      lab + "Other:\\plain\\f2\\fs1\\cf0 \\tab  \\plain\\f2\\fs1\\cf0 misc\\plain\\f2\\fs1\\cf0  \n" +
      "\\par \n}";
  EXPECT_EQ(summaryRtf(r), expected);
}

TEST(SummaryRtf, valuesAreEscapedAndReadBackAsTyped) {
  struct Row {
    const char* value;
    const char* escaped;
  } rows[] = {
      {"{x}", "\\{x\\}"},          // braces would open and close a group
      {"C:\\dir", "C:\\\\dir"},    // a backslash would start a control word
      {"\\par{", "\\\\par\\{"},    // a value that looks like RTF stays text
      {"Caf\xE9", "Caf\xE9"},      // Windows-1252 letters pass as they are
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(rtfEscape(row.value, HighBytes::Kept), row.escaped);
    const auto doc = readRtf(summaryRtf(record({{FieldId::Company, row.value},
                                                {FieldId::Last, "Zed"}})));
    EXPECT_NE(doc.text().find(std::string("\n ") + row.value + "\n"), std::string::npos)
        << doc.text();
  }
}

TEST(RtfReader, summaryReadsBackWithItsFormats) {
  const auto r = record({{FieldId::First, "Ann"}, {FieldId::Last, "Lee"},
                         {FieldId::Company, "Acme"}, {FieldId::Mobile, "0777"}});
  const auto doc = readRtf(summaryRtf(r));
  ASSERT_EQ(doc.colors.size(), 5u);
  EXPECT_EQ(doc.color(1), (RtfColor{0, 128, 0}));
  EXPECT_EQ(doc.color(3), (RtfColor{239, 239, 239}));
  EXPECT_EQ(doc.color(9), (RtfColor{}));  // outside the table: black
  ASSERT_GE(doc.fonts.size(), 5u);
  EXPECT_EQ(doc.fonts[4], "Arial");

  EXPECT_EQ(doc.text(),
            " Ann Lee\n Acme\n  \n  \n Mobile:\t 0777185  \n  \n");
  const std::string text = doc.text();
  const auto company = doc.formatAt(text.find("Acme"));
  EXPECT_TRUE(company.bold);
  EXPECT_EQ(company.font, 2);
  const auto label = doc.formatAt(text.find("Mobile"));
  EXPECT_TRUE(label.bold && label.italic);
  EXPECT_EQ(label.color, 4);
  EXPECT_EQ(label.halfPoints, 16);
  const auto value = doc.formatAt(text.find("0777"));
  EXPECT_TRUE(value.underline);
  EXPECT_EQ(value.color, 1);
  const auto hidden = doc.formatAt(text.find("185"));
  EXPECT_FALSE(hidden.underline);
  EXPECT_EQ(hidden.color, 3);  // the background colour: the number is there but unseen
}

TEST(RtfReader, controlSymbolsAndGroups) {
  struct Row {
    const char* rtf;
    const char* text;
  } rows[] = {
      {"{\\rtf1 a\\'e9b}", "a\xE9" "b"},          // hexadecimal byte
      {"{\\rtf1 a{\\b b}c}", "abc"},                // a group's format ends with it
      {"{\\rtf1 x\\par\ny\\tab z}", "x\ny\tz"},     // source line ends are not text
      {"{\\rtf1 {\\*\\generator me;}t}", "t"},      // ignorable destination
      {"{\\rtf1 unclosed {\\b", "unclosed "},       // truncated text does not crash
      {"\\", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(readRtf(row.rtf).text(), row.text) << row.rtf;
  }
  const auto doc = readRtf("{\\rtf1 a{\\b b}c\\b d\\b0 e}");
  EXPECT_FALSE(doc.formatAt(0).bold);
  EXPECT_TRUE(doc.formatAt(1).bold);
  EXPECT_FALSE(doc.formatAt(2).bold);
  EXPECT_TRUE(doc.formatAt(3).bold);
  EXPECT_FALSE(doc.formatAt(4).bold);
}

TEST(SummaryLinks, clickOnAValueFindsItsCommand) {
  const auto doc = readRtf(summaryRtf(record({{FieldId::First, "Ann"},
                                              {FieldId::Email, "ann@example.org"},
                                              {FieldId::Fax, "555-9"}})));
  const std::string text = doc.text();
  const size_t at = text.find("example");
  EXPECT_TRUE(isLinkCharacter(doc, at));
  const auto link = linkAt(doc, at);
  EXPECT_EQ(link.kind, SummaryLink::Kind::Command);
  EXPECT_EQ(link.command, 186);
  EXPECT_EQ(link.text, "ann@example.org");
  EXPECT_EQ(link.start, text.find("ann@"));
  // The label and the Fax value are not links.
  EXPECT_EQ(linkAt(doc, text.find("email")).kind, SummaryLink::Kind::None);
  EXPECT_EQ(linkAt(doc, text.find("555-9")).kind, SummaryLink::Kind::None);
  EXPECT_EQ(linkAt(doc, text.size() + 3).kind, SummaryLink::Kind::None);
}

TEST(SummaryLinks, withoutANumberTheTextDecides) {
  struct Row {
    const char* rtf;
    SummaryLink::Kind kind;
  } rows[] = {
      {"{\\rtf1 \\ul HTTP://x.org\\ul0  more}", SummaryLink::Kind::Web},  // any case
      {"{\\rtf1 \\ul me@x.org\\ul0  0}", SummaryLink::Kind::Email},        // 0 is no command
      {"{\\rtf1 \\ul plain words\\ul0 }", SummaryLink::Kind::None},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(linkAt(readRtf(row.rtf), 2).kind, row.kind) << row.rtf;
  }
}

}  // namespace
}  // namespace mv
