// The cover letters: the document's exact bytes, escaping, the letter files and their
// blank last line; then the document read by a real RTF reader (unrtf).
#include "exchange/ExportRtf.h"
#include "platform/Escape.h"
#include "support/TestDir.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace mv {
namespace {

const std::string kHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman"
    "\\fcharset2 Symbol;}{\\f2\\fswiss\\fprq2 Arial;}{\\f3\\froman Times New Roman;}}"
    "{\\colortbl\\red0\\green0\\blue0;}\\pard\\plain\\f2\\fs20\\cf0 ";
const std::string P = "\n\\par ";

TEST(ExportRtf, anEmptyBookIsTheHeaderAndABrace) {
  EXPECT_EQ(rtfLettersBytes({}, "Dear Sir,\n", "Bye\n"), kHeader + "}");
}

TEST(ExportRtf, eachEntryHasTheTextsAroundItsAddressBlock) {
  AddressRecord company;
  company[FieldId::Company] = "Acme";
  AddressRecord full;
  full[FieldId::MrMs] = "Dr.";
  full[FieldId::First] = "Ann";
  full[FieldId::Last] = "Lee";
  full[FieldId::State] = "X";  // one letter: written
  full[FieldId::Home] = "1";
  full[FieldId::Office] = "2";
  full[FieldId::Mobile] = "3";
  full[FieldId::Fax] = "4";
  full[FieldId::Email] = "a@b.org";
  full[FieldId::WebSite] = "b.org";
  full[FieldId::Country] = "Italy";  // under the town line
  full.notes = "private";
  // The last line of a text without its line feed is used.
  const std::string doc = rtfLettersBytes({company, full}, "From me\n", "Yours,\nMe");
  EXPECT_EQ(doc, kHeader +
                     // only a company: the company line alone
                     "From me" + P + P + P + "Acme" + P + P + "Yours," + P + "Me" + P +
                     P + P + P + P + P + "\n\\page " +  // the next letter on a page of its own
                     "From me" + P + P + P + "Dr. Ann Lee" + P + " X " + P + "Italy" + P +
                     "Home Tel: 1" + P +
                     "Office Tel: 2" + P + "Mobile: 3" + P + "Fax: 4" + P + "email: a@b.org" +
                     P + "Web Page: b.org" + P + P + "Yours," + P + "Me" + P + P + P + P + P +
                     P + "}");
}

TEST(ExportRtf, valuesAndTextsAreEscaped) {
  const struct {
    const char* value;
    const char* written;
  } rows[] = {
      {"{Acme}", "\\{Acme\\}"},
      {"a\\b", "a\\\\b"},
      {"100% sure", "100% sure"},       // a percent sign is no format
      {"Ren\xe9 \x80", "Ren\\'e9 \\'80"},
      {"\\par x", "\\\\par x"},          // no control word from a value
  };
  for (const auto& row : rows) EXPECT_EQ(rtfEscape(row.value, HighBytes::Escaped), row.written) << row.value;
  AddressRecord r;
  r[FieldId::Company] = "{Acme} 100%";
  const std::string doc = rtfLettersBytes({r}, "{%s}\n", "");
  EXPECT_NE(doc.find("\\{%s\\}" + P + P + P + "\\{Acme\\} 100%" + P), std::string::npos);
}

TEST(ExportRtf, letterTextsKeepTheirLinesAndTheBlankLastLineRule) {
  const struct {
    const char* edit;  // as the page holds it
    const char* file;  // as saved
    const char* back;  // as the page shows it again
  } rows[] = {
      {"Dear Sir,\r\nYours", "Dear Sir,\nYours\n", "Dear Sir,\r\nYours\r\n"},
      {"Dear Sir,\r\n", "Dear Sir,\n", "Dear Sir,\r\n"},           // blank last line
      {"Dear Sir,\r\n   ", "Dear Sir,\n   ", "Dear Sir,\r\n   \r\n"},  // blanks kept
      {"a\n\nb\n", "a\n\nb\n", "a\r\n\r\nb\r\n"},
      {"", "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(letterFileBytes(row.edit), row.file) << row.edit;
    EXPECT_EQ(letterEditText(row.file), row.back) << row.file;
    // Shown and saved again, the letter keeps its lines.
    EXPECT_EQ(letterLines(letterFileBytes(letterEditText(row.file))), letterLines(row.file))
        << row.file;
  }
  // No line is cut, however long; a file written elsewhere with CR LF reads the same.
  const std::string longLine(2500, 'x');
  EXPECT_EQ(letterLines(longLine + "\r\nend"), (std::vector<std::string>{longLine, "end"}));
}

TEST(ExportRtf, theTextsAreKeptBesideTheProgram) {
  test::TestDir dir;
  EXPECT_EQ(loadLetterText(dir / kLetterBeforeFile, kLetterBeforeHint), kLetterBeforeHint);
  EXPECT_TRUE(saveLetterTexts(dir.path(), "Hello\r\n", "Bye").empty());
  EXPECT_EQ(test::readFile(dir / "mv_letter_before.txt"), "Hello\n");
  EXPECT_EQ(test::readFile(dir / "mv_letter_after.txt"), "Bye\n");
  EXPECT_EQ(loadLetterText(dir / kLetterAfterFile, kLetterAfterHint), "Bye\r\n");
  AddressRecord r;
  r[FieldId::First] = "Ann";
  EXPECT_EQ(rtfLettersFromFolder({r}, dir.path()),
            kHeader + "Hello" + P + P + P + "Ann " + P + P + "Bye" + P + P + P + P + P + P + "}");
  EXPECT_EQ(saveLetterTexts(dir / "missing", "a", "b"),
            (std::vector<std::string>{"mv_letter_before.txt", "mv_letter_after.txt"}));
}

// A real RTF reader finds every value and every line of the texts in every letter.
TEST(ExportRtf, unrtfReadsEveryLetter) {
  const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
  if (unrtf.isEmpty()) GTEST_SKIP() << "unrtf is not installed";
  std::vector<AddressRecord> records(3);
  records[0][FieldId::First] = "Ann";
  records[0][FieldId::Company] = "{Acme} & Sons";
  records[0][FieldId::Address1] = "C:\\Program Files\\x";
  records[1][FieldId::First] = "Ren\xe9";
  records[1][FieldId::Email] = "rene@example.org";
  records[1][FieldId::City] = "100% City";
  records[1][FieldId::Country] = "Sverige";
  records[2][FieldId::Company] = "Only Company";
  test::TestDir dir;
  test::writeFile(dir / "letters.rtf",
                  rtfLettersBytes(records, "Our address {here}\n", "Dear friend,\nregards"));
  QProcess p;
  p.start(unrtf, {QStringLiteral("--text"), QString::fromStdString((dir / "letters.rtf").string())});
  ASSERT_TRUE(p.waitForFinished(60000));
  ASSERT_EQ(p.exitCode(), 0);
  const QString text = QString::fromLatin1(p.readAllStandardOutput());
  for (const char* value : {"Ann ", "{Acme} & Sons", "C:\\Program Files\\x", "Ren\xe9 ",
                            "email: rene@example.org", "100% City", "Sverige", "Only Company"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(value))) << value << "\n" << text.toStdString();
  EXPECT_EQ(text.count(QStringLiteral("Our address {here}")), 3);
  EXPECT_EQ(text.count(QStringLiteral("Dear friend,")), 3);
  EXPECT_EQ(text.count(QStringLiteral("regards")), 3);
}

}  // namespace
}  // namespace mv
