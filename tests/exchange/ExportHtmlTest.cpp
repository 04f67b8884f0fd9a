// The web-page export: the three pages' exact bytes, escaping, links, the folder and the
// pictures; then the pages read by a real HTML parser (python3's html.parser).
#include "exchange/ExportHtml.h"
#include "platform/Escape.h"
#include "platform/Paths.h"
#include "store/Book.h"
#include "store/data_TestBooks.h"
#include "store/NamesList.h"
#include "support/TestDir.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace mv {
namespace {

const std::string kHead =
    "<HTML>\n<HEAD>\n\t <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=iso-8859-1\">\n\t <META NAME=\"Author\" CONTENT=\"Mervane\">\n\t <META "
    "NAME=\"GENERATOR\" CONTENT=\"Mervane\">\n\t <TITLE>";

std::string nameLine(int anchor, const std::string& text) {
  const std::string a = std::to_string(anchor);
  return "<BR>&nbsp;<A HREF=\"mv_data.htm#L" + a +
         "\" target=\"bottom\"><IMG SRC=\"name.gif\" BORDER=0 HEIGHT=17 WIDTH=20 "
         "ALIGN=TEXTTOP></A><A HREF=\"mv_data.htm#L" + a + "\" target=\"bottom\">  " + text +
         "</A>\n";
}
std::string groupLine(const std::string& name) {
  return "\t<BR><IMG SRC=\"group.gif\" HEIGHT=17 WIDTH=20 ALIGN=TEXTTOP>" + name;
}
const std::string kGroupEnd = "<BR><B><FONT FACE=\"Verdana\">&nbsp;</FONT></B>";
const std::string kRule = "<HR NOSHADE WIDTH=\"100%\">\n";

class ExportHtml : public ::testing::Test {
 protected:
  ExportHtml() {
    std::filesystem::create_directories(dir_ / "scratch");
    std::filesystem::create_directories(dir_ / "program");
    for (const char* p : kWebPictures) test::writeFile(dir_ / "program" / p, p);
    EXPECT_EQ(book_.createNew(dir_ / "book.adr"), BookStatus::Ok);
  }
  test::TestDir dir_;
  Book book_{dir_ / "scratch"};
};

TEST_F(ExportHtml, twoEntriesAndAGroupGiveThesePages) {
  AddressRecord ann = test::makeRecord("Ann", "Lee", "Acme", "Friends");
  ann[FieldId::MrMs] = "Dr.";
  ann[FieldId::City] = "Rome";
  ann[FieldId::Email] = "ann@example.org";
  ann[FieldId::WebSite] = "www.acme.example";
  ann[FieldId::Country] = "Italy";  // never written
  test::addRecord(book_, ann);
  AddressRecord bob = test::makeRecord("Bob", "Ray");
  bob[FieldId::Home] = "555-0101";
  test::addRecord(book_, bob);

  const WebPages pages = webPages(webBook(book_));
  EXPECT_EQ(pages.frameset,
            "<html>\n<head>\n<title>Mervane - Data</title>\n</head>\n<frameset "
            "cols=\"40%,60%\" border=\"10\" pixels>\n<frame src=\"mv_names.htm\">\n<frame "
            "src=\"mv_data.htm\" name=\"bottom\">\n</frameset>\n</html>\n");
  EXPECT_EQ(pages.names,
            kHead + "Mervane Names</TITLE>\n</HEAD>\n<BODY BACKGROUND=\"wall.jpg\">\n<NOBR><FONT "
                    "FACE=\"Verdana\"><FONT SIZE=-1><B>&nbsp;\n" +
                groupLine("Main") + nameLine(0, "Ann Lee Acme") + nameLine(1, "Bob Ray ") +
                kGroupEnd + groupLine("Friends") + nameLine(0, "Ann Lee Acme") + kGroupEnd +
                "<P></NOBR></FONT></B>\n</BODY>\n</HTML>\n");
  const std::string annBlock =
      "<A NAME=\"L0\"></A>\nDr. Ann Lee<BR>\n<B>Acme</B><BR>\nRome  <BR>\n"
      "<A HREF=\"mailto:ann@example.org\">ann@example.org</A><BR>\n"
      "<A HREF=\"http://www.acme.example\">http://www.acme.example</A><BR>\n" + kRule;
  EXPECT_EQ(pages.data,
            kHead + "Mervane Data</TITLE>\n</HEAD>\n<BODY BACKGROUND=\"wall.jpg\">\n<NOBR><FONT "
                    "FACE=\"Verdana\"><FONT SIZE=-1>\n" +
                annBlock + "<A NAME=\"L1\"></A>\nBob Ray<BR>\nHome:555-0101<BR>\n" + kRule +
                annBlock + "<P></NOBR></FONT>\n</BODY>\n</HTML>\n");
}

TEST_F(ExportHtml, valuesAreEscapedAndOneLetterValuesWritten) {
  const struct {
    const char* value;
    const char* written;
  } rows[] = {
      {"Smith & <Sons>", "Smith &amp; &lt;Sons&gt;"},
      {"say \"hi\"", "say &quot;hi&quot;"},
      {"Ren\xe9", "Ren&#233;"},          // é
      {"\x80 5", "&#8364; 5"},           // the euro sign is no Latin-1 character
      {"<script>x</script>", "&lt;script&gt;x&lt;/script&gt;"},
      {"100%", "100%"},
  };
  for (const auto& row : rows) EXPECT_EQ(xmlEscape(row.value, HighBytes::Escaped), row.written) << row.value;

  WebBook book(1);
  book[0].name = "Main";
  WebEntry e{7, "Q", {}};
  e.record[FieldId::First] = "Q";
  e.record[FieldId::State] = "X";
  e.record[FieldId::Email] = "a\"b@x.org";
  book[0].entries.push_back(e);
  const std::string data = webPages(book).data;
  EXPECT_NE(data.find("Q <BR>\n X <BR>\n"), std::string::npos);
  EXPECT_NE(data.find("<A HREF=\"mailto:a&quot;b@x.org\">a&quot;b@x.org</A>"), std::string::npos);
}

TEST_F(ExportHtml, webAddressesKeepTheirSchemeOrGetHttpOrStayText) {
  const struct {
    const char* typed;
    const char* target;  // empty: written as text
  } rows[] = {
      {"www.example.org", "http://www.example.org"},      // no scheme
      {"HTTPS://example.org/a", "HTTPS://example.org/a"},  // kept, any case
      {"http://x.org", "http://x.org"},
      {"ftp://files.example.org", "ftp://files.example.org"},  // not http://ftp://
      {"httpfoo.example", "http://httpfoo.example"},        // "http" alone is no scheme
      {"javascript:alert(1)", ""},
      {"JavaScript:alert(1)", ""},
      {"java\tscript:alert(1)", ""},  // as a browser reads it
      {"data:text/html,x", ""},
      {"file:///etc/passwd", ""},
      {"mailto:a@b.org", "http://mailto:a@b.org"},
  };
  for (const auto& row : rows) EXPECT_EQ(webLinkTarget(row.typed), row.target) << row.typed;

  WebBook book(1);
  WebEntry e{0, "x", {}};
  e.record[FieldId::WebSite] = "javascript:alert(1)";
  e.record[FieldId::Web2] = "ftp://f.org";
  book[0].entries.push_back(e);
  const std::string data = webPages(book).data;
  EXPECT_NE(data.find("\njavascript:alert(1)<BR>\n"), std::string::npos);
  EXPECT_EQ(data.find("HREF=\"javascript"), std::string::npos);
  EXPECT_NE(data.find("<A HREF=\"ftp://f.org\">ftp://f.org</A><BR>\n"), std::string::npos);
}

TEST_F(ExportHtml, aSecondExportKeepsCustomisedPicturesAndRewritesThePages) {
  const std::filesystem::path web = dir_ / "web";
  std::string reason;
  ASSERT_TRUE(prepareWebFolder(web, reason));
  WebPages pages{"f", "n", "d"};
  EXPECT_TRUE(writeWebPages(web, pages, dir_ / "program").empty());
  EXPECT_EQ(test::readFile(web / "name.gif"), "name.gif");
  test::writeFile(web / "wall.jpg", "my own wall");
  pages.data = "d2";
  EXPECT_TRUE(writeWebPages(web, pages, dir_ / "program").empty());
  EXPECT_EQ(test::readFile(web / "wall.jpg"), "my own wall");
  EXPECT_EQ(test::readFile(web / "mv_data.htm"), "d2");
  EXPECT_EQ(test::readFile(web / "mervane.htm"), "f");
}

TEST_F(ExportHtml, theFolderAndWhatCannotBeWrittenAreReported) {
  for (const char* blank : {"", " ", "   \t "}) EXPECT_TRUE(isBlankFolderName(blank));
  EXPECT_FALSE(isBlankFolderName(" web"));
  test::writeFile(dir_ / "plain", "x");
  // Each says why: the folder is a file, or lies below one.
  std::string reason;
  EXPECT_FALSE(prepareWebFolder(dir_ / "plain", reason));
  EXPECT_EQ(reason, "Not a directory");
  reason.clear();
  EXPECT_FALSE(prepareWebFolder(dir_ / "plain" / "web", reason));
  EXPECT_EQ(reason, "Not a directory");
  EXPECT_TRUE(prepareWebFolder(dir_ / "a" / "b", reason));
  WebExport refused;
  refused.folder = dir_ / "plain";
  refused.reason = "Not a directory";
  EXPECT_EQ(webFolderFailureText(refused),
            "Can't create directory!!\n\n" + pathText(dir_ / "plain") + "\nNot a directory");

  // Pictures missing beside the program and a page that cannot be written: each named.
  const std::filesystem::path web = dir_ / "a" / "b";
  std::filesystem::create_directory(web / "mv_data.htm");
  const auto failed = writeWebPages(web, WebPages{"f", "n", "d"}, dir_ / "nowhere");
  EXPECT_EQ(failed, (std::vector<std::string>{"wall.jpg", "name.gif", "group.gif", "mv_data.htm"}));
  EXPECT_EQ(webFailureText(web, {"mv_data.htm"}), pathText(web) + "\nmv_data.htm\n\nIs a directory");
  const std::string note = webFolderNote();
  for (const char* f : {"mervane.htm", "mv_names.htm", "mv_data.htm", "wall.jpg", "name.gif",
                        "group.gif"})
    EXPECT_NE(note.find(std::string("- ") + f), std::string::npos) << f;
}

// The pages as a browser's parser reads them: every value comes out as text, exactly,
// and every link of the names page lands on an anchor of the data page.
TEST_F(ExportHtml, anHtmlParserFindsEveryValueAsTextAndEveryAnchor) {
  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
  if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
  AddressRecord tricky = test::makeRecord("Smith & <Sons>", "O\"Neil", "{Acme} 100%", "Caf\xe9s");
  tricky[FieldId::City] = "M\xfcnchen";
  tricky[FieldId::WebSite] = "javascript:alert('x')";
  tricky[FieldId::Email] = "<b>@x.org";
  test::addRecord(book_, tricky);
  test::addRecord(book_, test::makeRecord("Zo\xeb", "\x80uro", "", "Caf\xe9s"));
  const std::filesystem::path web = dir_ / "web";
  std::string reason;
  ASSERT_TRUE(prepareWebFolder(web, reason));
  ASSERT_TRUE(writeWebPages(web, webPages(webBook(book_)), dir_ / "program").empty());

  QProcess p;
  p.start(python, {QStringLiteral(MERVANE_HTML_TEXT_PY),
                   QString::fromStdString((web / "mv_names.htm").string()),
                   QString::fromStdString((web / "mv_data.htm").string())});
  ASSERT_TRUE(p.waitForFinished(60000));
  const QString out = QString::fromUtf8(p.readAllStandardOutput());
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  for (const char* text : {"Smith & <Sons> O\"Neil", "{Acme} 100%", "M\u00fcnchen",
                           "javascript:alert('x')", "<b>@x.org", "Zo\u00eb \u20acuro",
                           "Caf\u00e9s"})
    EXPECT_TRUE(out.contains(QString::fromUtf8(text))) << text << "\n" << out.toStdString();
  // Two links per name: two names under "Main", both again under their group.
  EXPECT_TRUE(out.contains(QStringLiteral("links: 8 landed, 0 lost")));
  EXPECT_TRUE(out.contains(QStringLiteral("script elements: 0")));
}

}  // namespace
}  // namespace mv
