// The export wizard, the field list of Save As and the Run dialog, driven by control ids
// with scripted answers; then the card window's export and launch commands end to end.
#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "cardwindow/RtfReader.h"
#include "cardwindow/ui/SummaryView.h"
#include "exchange/ExportRtf.h"
#include "exchange/ui/TExport.h"
#include "exchange/ui/QtLauncher.h"
#include "exchange/ui/TRunDialog.h"
#include "platform/Paths.h"
#include "platform/ui/Controls.h"
#include "support/RecordingLauncher.h"
#include "support/ScriptedPrompter.h"
#include "settings/Profile.h"
#include "support/TestDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <deque>

namespace mv {
namespace {

AddressRecord person(const std::string& first, const std::string& city = {}) {
  AddressRecord r;
  r[FieldId::First] = first;
  r[FieldId::City] = city;
  return r;
}

class ExportWizard : public ::testing::Test {
 protected:
  std::unique_ptr<TExport> makeWizard() {
    ExportServices s;
    s.prompter = &prompter_;
    s.fileChooser = &chooser_;
    s.records = [this] {
      ++snapshots_;
      return records_;
    };
    s.openFolder = [this](const std::filesystem::path& p) { folders_.push_back(p); };
    s.offerDocument = [this](const std::filesystem::path& p) { offered_.push_back(p); };
    s.offerLetters = [this](const std::filesystem::path& p) { offered_.push_back(p); };
    s.offerWebPage = [this](const std::filesystem::path& p) { offered_.push_back(p); };
    s.webBook = [this] { return web(); };
    s.programDir = dir_ / "program";
    return std::make_unique<TExport>(std::move(s));
  }
  WebBook web() const {
    WebBook book(1);
    book[0].name = "Main";
    for (size_t i = 0; i < records_.size(); ++i)
      book[0].entries.push_back({int(i), records_[i][FieldId::First], records_[i]});
    return book;
  }
  static void check(QWidget* w, int id) { control<QRadioButton>(w, id)->setChecked(true); }
  static void next(QWidget* w) {
    control<QPushButton>(w, TExport::kNext)->click();
    QApplication::processEvents();
  }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  ScriptedFileChooser chooser_;
  std::vector<AddressRecord> records_{person("Ann", "Rome, Italy"), person("Bob")};
  int snapshots_ = 0;
  std::vector<std::filesystem::path> folders_, offered_;
};

TEST_F(ExportWizard, noFormatChosenAsksForOne) {
  auto w = makeWizard();
  EXPECT_EQ(w->windowTitle(), "Export Addressbook");
  next(w.get());
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().text, "Please select a format");
  EXPECT_EQ(w->step(), TExport::FormatStep);
  EXPECT_TRUE(chooser_.requests().empty());
}

TEST_F(ExportWizard, csvThroughTheFieldPageAndTheOfferToOpenTheFolder) {
  auto w = makeWizard();
  check(w.get(), TExport::kCsvRadio);
  chooser_.cancel();  // Cancel keeps the file page; Next asks again
  next(w.get());
  EXPECT_EQ(w->step(), TExport::FileStep);
  chooser_.answer(dir_ / "people");
  next(w.get());
  ASSERT_EQ(chooser_.requests().size(), 2u);
  const FileRequest& asked = chooser_.requests()[1];
  EXPECT_EQ(asked.title, "Enter a new file name...");
  EXPECT_EQ(asked.filter, "Text Data File - Comma Separated Values (*.csv)|*.csv");
  EXPECT_TRUE(asked.overwritePrompt);
  EXPECT_EQ(w->step(), TExport::FieldStep);

  auto* list = control<QListWidget>(w.get(), TExportCSV::kList);
  ASSERT_EQ(list->count(), 29);
  EXPECT_EQ(list->item(20)->text(), "buffer");
  EXPECT_EQ(list->item(28)->text(), "Notes");
  for (int i = 0; i < 29; ++i)
    EXPECT_EQ(list->item(i)->checkState(), i == 20 ? Qt::Unchecked : Qt::Checked) << i;
  for (int i = 0; i < 29; ++i)
    list->item(i)->setCheckState(i == 2 || i == 9 ? Qt::Checked : Qt::Unchecked);
  prompter_.answer(Answer::Yes);
  next(w.get());
  EXPECT_EQ(test::readFile(dir_ / "people.csv"),
            "First Name,City\r\nAnn,\"Rome, Italy\"\r\nBob,\r\n");
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().caption, "CSV Export is complete");
  EXPECT_EQ(prompter_.last().text, "Data has been saved in:\n" + pathText(dir_ / "people.csv") +
                                       "\n\nDo you wish to open the parent folder?");
  EXPECT_EQ(prompter_.last().buttons, Buttons::YesNo);
  EXPECT_EQ(folders_, std::vector<std::filesystem::path>{dir_.path()});
  EXPECT_EQ(w->result(), QDialog::Accepted);
  EXPECT_EQ(snapshots_, 1);
}

TEST_F(ExportWizard, plainTextIsWrittenAndOfferedForOpening) {
  auto w = makeWizard();
  check(w.get(), TExport::kTextRadio);
  chooser_.answer(dir_ / "people.TXT");
  next(w.get());
  EXPECT_EQ(chooser_.requests().at(0).filter, "Plain Text File (*.txt)|*.txt");
  const std::string rule = std::string(35, '_') + "\n\n";
  EXPECT_EQ(test::readFile(dir_ / "people.TXT"), "Ann \nRome, Italy  \n" + rule + "Bob \n" + rule);
  EXPECT_EQ(offered_, std::vector<std::filesystem::path>{dir_ / "people.TXT"});
  EXPECT_TRUE(prompter_.shown().empty());
  EXPECT_EQ(w->result(), QDialog::Accepted);
}

TEST_F(ExportWizard, vcardIsTheFifthFormat) {
  auto w = makeWizard();
  check(w.get(), TExport::kVcardRadio);
  chooser_.answer(dir_ / "contacts");
  prompter_.answer(Answer::No);
  next(w.get());
  EXPECT_EQ(chooser_.requests().at(0).filter, "vCard File (*.vcf)|*.vcf");
  const std::string written = test::readFile(dir_ / "contacts.vcf");
  EXPECT_EQ(written.substr(0, 48),
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann\r\nN:;Ann;;;\r\nADR");
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().caption, "vCard Export is complete");
  EXPECT_TRUE(folders_.empty());
  EXPECT_TRUE(offered_.empty());
  EXPECT_EQ(w->result(), QDialog::Accepted);
}

TEST_F(ExportWizard, anUnwritableFileIsReportedWithoutTheOffer) {
  test::writeFile(dir_ / "plain", "x");
  std::filesystem::create_directories(dir_ / "program");  // the letter texts are kept
  for (int radio : {TExport::kTextRadio, TExport::kCsvRadio, TExport::kRtfRadio}) {
    SCOPED_TRACE(radio);
    prompter_.clear();
    auto w = makeWizard();
    check(w.get(), radio);
    chooser_.answer(dir_ / "plain" / "out");
    next(w.get());
    if (w->step() != TExport::FileStep) next(w.get());  // past the field or letter page
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.last().caption, "Unable to open file");
    const char* extension = radio == TExport::kRtfRadio   ? ".rtf"
                            : radio == TExport::kCsvRadio ? ".csv"
                                                          : ".txt";
    EXPECT_EQ(prompter_.last().text,  // the file, and why it cannot be written
              pathText(dir_ / "plain" / "out") + extension + "\n\nNot a directory");
  }
  EXPECT_TRUE(offered_.empty());
  EXPECT_TRUE(folders_.empty());
  EXPECT_EQ(test::readFile(dir_ / "plain"), "x");
}

TEST_F(ExportWizard, cancelOnTheFieldPageWritesNothing) {
  auto w = makeWizard();
  check(w.get(), TExport::kCsvRadio);
  chooser_.answer(dir_ / "people.csv");
  next(w.get());
  control<QPushButton>(w.get(), TExport::kCancel)->click();
  EXPECT_EQ(w->result(), QDialog::Rejected);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(ExportWizard, lettersShowTheHintsFirstThenKeepTheTexts) {
  std::filesystem::create_directories(dir_ / "program");
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    auto w = makeWizard();
    check(w.get(), TExport::kRtfRadio);
    chooser_.answer(dir_ / "letters");
    next(w.get());
    EXPECT_EQ(chooser_.requests().back().filter, "Rich Text Format (*.rtf)|*.rtf");
    ASSERT_EQ(w->step(), TExport::LetterStep);
    auto* before = control<QPlainTextEdit>(w.get(), TExport_RTF::kBefore);
    auto* after = control<QPlainTextEdit>(w.get(), TExport_RTF::kAfter);
    if (round == 0) {
      EXPECT_EQ(before->toPlainText().toStdString(), "Type in the text that you wish to appear "
                                                     "before each contact.\nExample: your address");
      EXPECT_TRUE(after->toPlainText().startsWith("Type in the text that you wish to appear after"));
      before->setPlainText(QString::fromUtf8("From {me}\n"));
      after->setPlainText(QStringLiteral("Regards"));
    } else {
      EXPECT_EQ(before->toPlainText(), QString::fromUtf8("From {me}\n"));
      EXPECT_EQ(after->toPlainText(), QStringLiteral("Regards\n"));
    }
    next(w.get());
    EXPECT_EQ(w->result(), QDialog::Accepted);
  }
  EXPECT_EQ(test::readFile(dir_ / "program" / "mv_letter_before.txt"), "From {me}\n");
  EXPECT_EQ(test::readFile(dir_ / "program" / "mv_letter_after.txt"), "Regards\n");
  EXPECT_EQ(test::readFile(dir_ / "letters.rtf"),
            rtfLettersBytes(records_, "From {me}\n", "Regards\n"));
  EXPECT_EQ(offered_, std::vector<std::filesystem::path>(2, dir_ / "letters.rtf"));
  EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(ExportWizard, webPagesGoIntoTheTypedFolderBesideTheProgram) {
  std::filesystem::create_directories(dir_ / "program");
  for (const char* p : kWebPictures) test::writeFile(dir_ / "program" / p, "picture");
  test::writeFile(dir_ / "program" / "plain", "x");
  auto w = makeWizard();
  check(w.get(), TExport::kHtmlRadio);
  next(w.get());
  EXPECT_TRUE(chooser_.requests().empty());  // a folder, not a file dialog
  auto* folder = control<QLineEdit>(w.get(), TExport::kFolderEdit);
  EXPECT_EQ(folder->text(), "web");
  EXPECT_EQ(folder->maxLength(), 49);
  struct Refused {
    const char* typed;
    std::string said;
  };
  const Refused refusals[] = {
      {"   ", "Please type in a directory name\n\nEnter just one word"},
      // A file in the way: the folder cannot be made, and why.
      {"plain", "Can't create directory!!\n\n" + pathText(dir_ / "program" / "plain") +
                    "\nNot a directory"},
  };
  for (const Refused& r : refusals) {
    folder->setText(QString::fromLatin1(r.typed));
    next(w.get());
    EXPECT_EQ(prompter_.last().text, r.said);
    EXPECT_EQ(w->step(), TExport::FileStep);
  }
  folder->setText(QStringLiteral("pages"));
  next(w.get());
  const std::filesystem::path pages = dir_ / "program" / "pages";
  EXPECT_EQ(test::readFile(pages / "mv_data.htm"), webPages(web()).data);
  EXPECT_NE(test::readFile(pages / "mv_data.htm").find("Rome, Italy  <BR>"), std::string::npos);
  EXPECT_EQ(test::readFile(pages / "name.gif"), "picture");
  EXPECT_EQ(offered_, std::vector<std::filesystem::path>{pages / "mervane.htm"});
  EXPECT_EQ(w->result(), QDialog::Accepted);
}

TEST_F(ExportWizard, webPagesThatCannotBeWrittenAreNamedAndNotOffered) {
  auto w = makeWizard();  // no pictures beside the program
  check(w.get(), TExport::kHtmlRadio);
  next(w.get());
  next(w.get());
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().caption, "Unable to open file");
  EXPECT_EQ(prompter_.last().text, pathText(dir_ / "program" / "web") +
                                       "\nwall.jpg\nname.gif\ngroup.gif\n\nNo such file or directory");
  EXPECT_TRUE(offered_.empty());
}

TEST(RunDialog, showsTheRequestAndTheChosenHelperAtOnce) {
  RunRequest r;
  r.kind = LaunchKind::EMail;
  r.title = "Send email to:";
  r.address = "mailto:ren\xe9@example.org";
  r.helperPath = "";
  r.choice = 1;
  int asked = 0;
  TRunDialog d(r, [&asked](const std::string& current) -> std::optional<std::string> {
    ++asked;
    EXPECT_EQ(current, "");
    return std::string("/usr/bin/MUTT");
  });
  EXPECT_EQ(d.windowTitle(), "Send email to:");
  EXPECT_EQ(control<QLineEdit>(&d, TRunDialog::kAddress)->text(),
            QString::fromUtf8("mailto:ren\xc3\xa9@example.org"));
  EXPECT_TRUE(control<QRadioButton>(&d, TRunDialog::kSystemRadio)->isChecked());
  EXPECT_EQ(control<QRadioButton>(&d, TRunDialog::kHelperRadio)->text(), "Use ");
  control<QPushButton>(&d, TRunDialog::kChoose)->click();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(control<QRadioButton>(&d, TRunDialog::kHelperRadio)->text(), "Use Mutt");
  EXPECT_TRUE(control<QRadioButton>(&d, TRunDialog::kHelperRadio)->isChecked());
  control<QLineEdit>(&d, TRunDialog::kAddress)->setText(QString(150, 'a'));
  const RunAnswer a = d.answer();
  EXPECT_EQ(a.choice, 0);
  EXPECT_EQ(a.address.size(), 99u);
  EXPECT_EQ(a.helperPath, "/usr/bin/MUTT");
}

TEST(RunDialog, aLongPathOfADocumentIsHandedOverWhole) {
  const std::string path = "/home/someone/" + std::string(120, 'd') + "/web/mervane.htm";
  for (LaunchKind kind : {LaunchKind::LocalPage, LaunchKind::Rtf}) {
    RunRequest r;
    r.kind = kind;
    r.address = path;
    TRunDialog d(r, nullptr);
    EXPECT_EQ(d.answer().address, path);
  }
}

// The card window's commands with a real book, its dialogs scripted and its hand-overs
// recorded.
class CardExport : public ::testing::Test {
 protected:
  CardExport() {
    std::filesystem::create_directories(dir_ / "scratch");
    setScratchDirForTesting(dir_ / "scratch");
    services_.prompter = &prompter_;
    services_.fileChooser = &chooser_;
    services_.settingsFile = dir_ / "mervane.ini";
    services_.browserFound = [] { return true; };
    services_.dialerPresent = [] { return true; };
    services_.browserPath = [] { return std::string("/usr/bin/browser"); };
    services_.launchChoice = [this](std::string_view key) {
      return choices_.count(std::string(key)) ? choices_[std::string(key)] : 1;
    };
    services_.setLaunchChoice = [this](std::string_view key, int c) {
      choices_[std::string(key)] = c;
    };
    window_ = std::make_unique<TCardFile>(services_);
    window_->setLauncher(&launcher_);
    window_->setDialogRunner([this](QDialog& d) {
      titles_.push_back(d.windowTitle().toStdString());
      if (scripts_.empty()) return int(QDialog::Rejected);
      auto script = std::move(scripts_.front());
      scripts_.pop_front();
      return script(d);
    });
    chooser_.answer(dir_ / "book.adr");
    window_->onCommand(cmd::kNewFile);
    add("Ann", "ann@example.org", "Friends");
    add("Bob", "", "Main");
  }
  void type(FieldId f, const QString& text) {
    QLineEdit* box = window_->card()->box(f);
    box->selectAll();
    box->insert(text);
  }
  void add(const QString& first, const QString& email, const QString& group) {
    window_->onCommand(cmd::kClearCard);
    type(FieldId::First, first);
    type(FieldId::Email, email);
    type(FieldId::Group, group);
    window_->onCommand(cmd::kAddName);
    QApplication::processEvents();
  }
  std::vector<std::string> scratchFiles() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir_ / "scratch"))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  ScriptedFileChooser chooser_;
  ShellServices services_;
  RecordingLauncher launcher_;
  std::map<std::string, int> choices_;
  std::deque<std::function<int(QDialog&)>> scripts_;
  std::vector<std::string> titles_;
  std::unique_ptr<TCardFile> window_;
};

TEST_F(CardExport, cancelOnTheFieldPageKeepsTheBookAndLeavesNoScratchFile) {
  const auto before = scratchFiles();
  scripts_.push_back([this](QDialog& d) {
    auto& w = dynamic_cast<TExport&>(d);
    control<QRadioButton>(&w, TExport::kCsvRadio)->setChecked(true);
    chooser_.answer(dir_ / "out.csv");
    w.next();
    EXPECT_EQ(w.step(), TExport::FieldStep);
    return int(QDialog::Rejected);
  });
  window_->onCommand(cmd::kExport);
  EXPECT_EQ(titles_, std::vector<std::string>{"Export Addressbook"});
  EXPECT_EQ(window_->session().book().path(), dir_ / "book.adr");
  EXPECT_EQ(scratchFiles(), before);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.csv"));
}

TEST_F(CardExport, saveAsCsvExportsTheChosenFieldsAndKeepsTheBooksPath) {
  chooser_.answer(dir_ / "list", 2);
  scripts_.push_back([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Export");
    auto* list = control<QListWidget>(&d, TExportCSV::kList);
    for (int i = 0; i < list->count(); ++i)
      list->item(i)->setCheckState(i == 2 || i == 16 ? Qt::Checked : Qt::Unchecked);
    return int(QDialog::Accepted);
  });
  window_->onCommand(cmd::kSaveAs);
  EXPECT_EQ(test::readFile(dir_ / "list.csv"),
            "First Name,E-mail Address\r\nAnn,ann@example.org\r\nBob,\r\n");
  EXPECT_TRUE(prompter_.shown().empty());  // no completion message here
  EXPECT_EQ(window_->session().book().path(), dir_ / "book.adr");
  EXPECT_FALSE(std::filesystem::exists(window_->session().book().rewritePath()));
}

TEST_F(CardExport, saveAsCsvToTheBooksOwnNameSavesTheBook) {
  chooser_.answer(dir_ / "book.adr", 2);
  window_->onCommand(cmd::kSaveAs);
  EXPECT_TRUE(titles_.empty());  // no field list
  EXPECT_EQ(test::readFile(dir_ / "book.adr").substr(0, 10), "TVXADR_307");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "book.adr.csv"));
}

TEST_F(CardExport, anEmailLinkOfTheSummaryReachesTheDesktopAsMailto) {
  ASSERT_EQ(window_->session().names().group(0).names.at(0).text.substr(0, 3), "Ann");
  window_->session().select({0, 0});
  window_->setPage(TCardFile::LinkPage);
  scripts_.push_back([](QDialog& d) {
    EXPECT_EQ(control<QLineEdit>(&d, TRunDialog::kAddress)->text(), "mailto:ann@example.org");
    return int(QDialog::Accepted);
  });
  SummaryView* view = window_->summaryView();
  view->clickCharacter(static_cast<int>(view->toPlainText().indexOf("example")));
  EXPECT_EQ(titles_, std::vector<std::string>{"Send email to:"});
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"open mailto:ann@example.org"});
  EXPECT_EQ(choices_["HookEMail"], 1);
}

TEST_F(CardExport, linksWithoutACommandOpenTheWebPageOrStartAnEmail) {
  SummaryView* view = window_->summaryView();
  view->showDocument(readRtf("{\\rtf1 \\ul HTTP://x.org/a b\\ul0  - \\ul me@x.org\\ul0  0}"));
  scripts_.push_back([](QDialog&) { return int(QDialog::Accepted); });
  scripts_.push_back([](QDialog&) { return int(QDialog::Accepted); });
  const QString text = view->toPlainText();
  view->clickCharacter(static_cast<int>(text.indexOf("x.org")));
  view->clickCharacter(static_cast<int>(text.indexOf("me@")));
  EXPECT_EQ(titles_, (std::vector<std::string>{"Open Web Site:", "Send email to:"}));
  EXPECT_EQ(launcher_.calls, (std::vector<std::string>{"open HTTP://x.org/a%20b",
                                                       "open mailto:me@x.org"}));
}

TEST_F(CardExport, theWebButtonWritesThePagesAndOffersTheLocalPage) {
  setProgramDirForTesting(dir_ / "program");
  std::filesystem::create_directories(dir_ / "program");
  for (const char* p : kWebPictures) test::writeFile(dir_ / "program" / p, "picture");
  EXPECT_EQ(window_->isCommandEnabled(cmd::kWebPage), std::optional<bool>(true));
  scripts_.push_back([](QDialog&) { return int(QDialog::Accepted); });
  window_->onCommand(cmd::kWebPage);
  const std::filesystem::path web = dir_ / "program" / "web";
  EXPECT_EQ(titles_, std::vector<std::string>{"Export is complete. Open Local Web Page?"});
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"open file://" + web.string() +
                                                      "/mervane.htm"});
  // Ann is in "Friends" as well: twice in both pages, under one anchor.
  const std::string names = test::readFile(web / "mv_names.htm");
  EXPECT_NE(names.find("Friends<BR>&nbsp;<A HREF=\"mv_data.htm#L0\""), std::string::npos);
  const std::string data = test::readFile(web / "mv_data.htm");
  EXPECT_NE(data.find("<A NAME=\"L0\"></A>\nAnn"), data.rfind("<A NAME=\"L0\"></A>\nAnn"));

  // The folder cannot be made: said, nothing offered.
  std::filesystem::remove_all(web);
  test::writeFile(web, "x");
  launcher_.calls.clear();
  window_->onCommand(cmd::kWebPage);
  EXPECT_EQ(prompter_.last().text,
            "Can't create directory!!\n\n" + pathText(web) + "\nNot a directory");
  EXPECT_TRUE(launcher_.calls.empty());
  setProgramDirForTesting({});
}

TEST_F(CardExport, connectHandsOverTheSharedEditorsField) {
  window_->onCommand(cmd::kSecondSetFirst);  // Home2 in the shared editor
  type(FieldId::Buffer, "555-0101");
  EXPECT_EQ(window_->isCommandEnabled(cmd::kConnect), std::optional<bool>(true));
  window_->onCommand(cmd::kConnect);
  EXPECT_EQ(launcher_.calls, (std::vector<std::string>{"copy 555-0101", "open tel:5550101"}));
  window_->onCommand(cmd::kSecondSetLast);  // Other: nothing to connect to
  EXPECT_EQ(window_->isCommandEnabled(cmd::kConnect), std::optional<bool>(false));
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// The desktop's own mail handler, run by hand in a HOME where a stand-in handler is
// registered for mailto: (xdg-mime default stand-in.desktop x-scheme-handler/mailto).
TEST_F(CardExport, DISABLED_anEmailLinkReachesTheDesktopsMailHandler) {
  QtLauncher desktop;
  window_->setLauncher(&desktop);
  window_->session().select({0, 0});
  window_->setPage(TCardFile::LinkPage);
  scripts_.push_back([](QDialog&) { return int(QDialog::Accepted); });
  SummaryView* view = window_->summaryView();
  view->clickCharacter(static_cast<int>(view->toPlainText().indexOf("example")));
  EXPECT_TRUE(prompter_.shown().empty());
}

}  // namespace
}  // namespace mv
