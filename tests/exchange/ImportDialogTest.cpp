// TADRImport driven by its control ids with scripted answers, and the File menu's Import
// and Open carrying a CSV file into a new, open book.
#include "exchange/ui/TADRImport.h"

#include "cardwindow/ui/TCardFile.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "platform/ui/Controls.h"
#include "support/TestDir.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace mv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCsv =
    "First Name,Surname,Nick,Company,Notes\n"
    "Ann,Lee,Annie,Acme,tea\n"
    "ann,lee,A,ACME,coffee\n"
    "Bo,Ray,,,\n";

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "scratch");
    setScratchDirForTesting(dir_ / "scratch");
    test::writeFile(dir_ / "people.csv", kCsv);
    ASSERT_TRUE(session_.open(dir_ / "people.csv"));
    dialog_ = std::make_unique<TADRImport>(session_, prompter_);
    dialog_->show();
  }
  QListWidget* importList() const { return control<QListWidget>(dialog_.get(), 101); }
  QListWidget* programList() const { return control<QListWidget>(dialog_.get(), 3507); }
  QPushButton* next() const { return control<QPushButton>(dialog_.get(), 1); }
  QTreeWidget* results() const { return control<QTreeWidget>(dialog_.get(), 106); }
  QString itemText(int row) const { return importList()->item(row)->text(); }
  bool checked(int row) const { return importList()->item(row)->checkState() == Qt::Checked; }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  imp::ImportSession session_;
  std::unique_ptr<TADRImport> dialog_;
};

TEST_F(ImportDialogTest, opensWithTheAutomaticMatches) {
  const QStringList expected{"First Name\t= First Name", "Surname\t= Last Name", "Nick\t= ",
                             "Company\t= Company", "Notes\t= "};
  ASSERT_EQ(importList()->count(), expected.size());
  for (int i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(itemText(i), expected[i]);
    EXPECT_EQ(checked(i), !expected[i].endsWith("= ")) << i;
  }
  ASSERT_EQ(programList()->count(), 28);
  EXPECT_EQ(programList()->item(20)->text(), "Notes");
  EXPECT_EQ(programList()->item(21)->text(), "Home Phone'");
  EXPECT_TRUE(programList()->selectedItems().isEmpty());
  EXPECT_FALSE(results()->isVisible());
  ASSERT_EQ(results()->columnCount(), 29);
  EXPECT_EQ(results()->headerItem()->text(0), "FirstName,LastName,Company");
  EXPECT_EQ(results()->headerItem()->text(28), "Other");
  EXPECT_EQ(next()->text(), "&Next >");
  EXPECT_EQ(dialog_->windowTitle(), "Import Address File");
  EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(ImportDialogTest, aProgramFieldFirstAsksForAnImportField) {
  programList()->setCurrentRow(12);
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().text,
            "First select an \"Import\" field on the left side.\nThen click on a matching "
            "\"Mervane field\"\nthat is listed in this box.");
  EXPECT_EQ(prompter_.last().caption, "");
  EXPECT_EQ(session_.match().importOf(12), imp::kNoMatch);
}

TEST_F(ImportDialogTest, takingAMatchAsksAboutTheOlderOne) {
  const struct {
    Answer answer;
    QString nick, surname;
    int lastName;  // the import field that fills Last Name afterwards
  } cases[] = {
      {Answer::Yes, "Nick\t= Last Name", "Surname\t= ", 2},
      {Answer::No, "Nick\t= ", "Surname\t= Last Name", 1},
  };
  for (const auto& c : cases) {
    session_.match().match(1, 3);
    dialog_ = std::make_unique<TADRImport>(session_, prompter_);
    prompter_.clear();
    prompter_.answer(c.answer);
    importList()->setCurrentRow(2);
    programList()->setCurrentRow(3);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.last().text,
              "Import's\nSurname\n\nis matched with:\n\nMervane's\nLast Name\n\n\nDo you wish "
              "to remove this match?");
    EXPECT_EQ(prompter_.last().caption, "Mervane");
    EXPECT_EQ(prompter_.last().buttons, Buttons::YesNo);
    EXPECT_EQ(prompter_.last().icon, Icon::Question);
    EXPECT_EQ(itemText(2), c.nick);
    EXPECT_EQ(itemText(1), c.surname);
    EXPECT_EQ(checked(2), c.answer == Answer::Yes);
    EXPECT_EQ(checked(1), c.answer == Answer::No);
    EXPECT_EQ(session_.match().importOf(3), c.lastName);
  }
}

TEST_F(ImportDialogTest, selectingAnImportFieldShowsItsMatch) {
  importList()->setCurrentRow(3);
  EXPECT_EQ(programList()->currentRow(), 6);
  EXPECT_EQ(control<QLabel>(dialog_.get(), 357)->text(),
            "Match Import's  \"Company\"\nto Mervane's \"Company\"");
  // A checked field without a match: told, and the check cleared.
  importList()->item(4)->setCheckState(Qt::Checked);
  importList()->setCurrentRow(4);
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.last().text,
            "I can't find a match for this import field.\n\nPlease see if you can find a match "
            "\nin the box on the right.");
  EXPECT_FALSE(checked(4));
  EXPECT_TRUE(programList()->selectedItems().isEmpty());
  EXPECT_EQ(control<QLabel>(dialog_.get(), 357)->text(),
            "Match Import's  \"Notes\"\nto Mervane's \"\"");
}

TEST_F(ImportDialogTest, nextImportsAndShowsTheResult) {
  importList()->setCurrentRow(4);
  programList()->setCurrentRow(20);  // Notes by hand
  next()->click();
  EXPECT_EQ(dialog_->windowTitle(), "Importing 3 Items");
  ASSERT_EQ(prompter_.shown().size(), 2u);
  EXPECT_EQ(prompter_.shown()[0].caption, "Duplicate Entries");
  EXPECT_EQ(prompter_.shown()[0].icon, Icon::Information);
  EXPECT_EQ(prompter_.shown()[0].text, imp::kDuplicatesMessage);
  EXPECT_EQ(prompter_.last().text, "Columns not matched, left out: Nick.");
  ASSERT_EQ(results()->topLevelItemCount(), 3);
  EXPECT_EQ(results()->topLevelItem(1)->text(0), "ann,lee,ACME");
  EXPECT_EQ(results()->topLevelItem(1)->text(3), "ann[Dup:2]");
  EXPECT_EQ(results()->topLevelItem(1)->text(21), "coffee");
  EXPECT_TRUE(results()->isVisible());
  for (int id : {101, 3507, 355, 356, 357, 358})
    EXPECT_FALSE(control<QWidget>(dialog_.get(), id)->isVisible()) << id;
  EXPECT_EQ(next()->text(), "&Finish");
  EXPECT_EQ(results()->geometry(),
            QRect(5, 5, dialog_->width() - 10, next()->y() - 10));
  next()->click();
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(results()->topLevelItemCount(), 0);
}

// A file none of whose columns is matched imports nothing until the user matches one; a
// numbered phone column shows how it is read.
TEST_F(ImportDialogTest, nextWaitsForAMatch) {
  test::writeFile(dir_ / "other.csv", "Kundennr,Phone 1 - Value\n7,\n");
  imp::ImportSession session;
  ASSERT_TRUE(session.open(dir_ / "other.csv"));
  session.match().setIncluded(1, false);
  TADRImport dialog(session, prompter_);
  dialog.show();
  auto* list = control<QListWidget>(&dialog, 101);
  EXPECT_EQ(list->item(1)->text(), "Phone 1 - Value\t= a phone field by its kind");
  EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
  control<QPushButton>(&dialog, 1)->click();
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_NE(prompter_.last().text.find("Columns not matched: Kundennr, Phone 1 - Value"),
            std::string::npos);
  EXPECT_EQ(session.stage(), 1);
  list->setCurrentRow(0);
  control<QListWidget>(&dialog, 3507)->setCurrentRow(2);
  control<QPushButton>(&dialog, 1)->click();
  EXPECT_EQ(session.stage(), 2);
  EXPECT_EQ(session.result().records.at(0)[FieldId::First], "7");
}

TEST_F(ImportDialogTest, laysOutOnResize) {
  for (QSize size : {QSize(800, 600), QSize(420, 300)}) {
    dialog_->resize(size);
    QApplication::processEvents();
    QWidget* cancel = control<QWidget>(dialog_.get(), 2);
    EXPECT_EQ(cancel->geometry().right(), size.width() - 6);
    EXPECT_EQ(cancel->geometry().bottom(), size.height() - 6);
    EXPECT_EQ(next()->geometry().right(), cancel->x() - 3);
    const QRect left = importList()->geometry();
    const QRect right = programList()->geometry();
    EXPECT_EQ(left.x(), 5);
    EXPECT_EQ(right.x() - left.right() - 1, 5);
    EXPECT_EQ(left.width(), right.width());
    EXPECT_EQ(left.bottom(), next()->y() - 6);
    EXPECT_FALSE(control<QWidget>(dialog_.get(), 358)->isVisible());
  }
}

// The File menu: Import preselects the CSV type, Open the book type; the type chosen
// decides what happens to the file.
class ImportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "scratch");
    setScratchDirForTesting(dir_ / "scratch");
    test::writeFile(dir_ / "people.csv", kCsv);
    services_.prompter = &prompter_;
    services_.fileChooser = &chooser_;
    services_.settingsFile = dir_ / "mervane.ini";
    services_.setFrameTitle = [this](const std::string& t) { title_ = t; };
    window_ = std::make_unique<TCardFile>(services_);
    window_->setDialogRunner([this](QDialog& d) {
      ++dialogs_;
      auto* finish = control<QPushButton>(&d, 1);
      if (!finish) return int(QDialog::Rejected);
      finish->click();  // Next: the import runs
      finish->click();  // Finish
      return d.result();
    });
  }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  ScriptedFileChooser chooser_;
  ShellServices services_;
  std::string title_;
  int dialogs_ = 0;
  std::unique_ptr<TCardFile> window_;
};

TEST_F(ImportCommandTest, importOpensTheNewBook) {
  chooser_.answer(dir_ / "people.csv", 2);
  chooser_.answer(dir_ / "imported");
  window_->onCommand(cmd::kImport);
  ASSERT_GE(chooser_.requests().size(), 2u);
  EXPECT_EQ(chooser_.requests()[0].title, "Open a File");
  EXPECT_EQ(chooser_.requests()[0].selectedFilter, 2);
  EXPECT_EQ(chooser_.requests()[1].title, "Enter a NEW file name");
  EXPECT_EQ(dialogs_, 1);
  EXPECT_EQ(window_->session().book().path(), dir_ / "imported.adr");
  EXPECT_EQ(window_->session().names().mainNames().size(), 3u);
  EXPECT_NE(title_.find("imported.adr"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "scratch" / imp::kImportBookName));
  EXPECT_FALSE(fs::exists(dir_ / "scratch" / imp::kImportCopyName));
}

TEST_F(ImportCommandTest, theChosenTypeDecides) {
  // Open with the CSV type imports.
  chooser_.answer(dir_ / "people.csv", 2);
  chooser_.answer(dir_ / "fromOpen.adr");
  window_->onCommand(cmd::kOpen);
  EXPECT_EQ(chooser_.requests().at(0).selectedFilter, 1);
  EXPECT_EQ(window_->session().book().path(), dir_ / "fromOpen.adr");
  // Import with the book type opens the book chosen.
  test::writeFile(dir_ / "plain.adr", "TVXADR_307\n");
  chooser_.answer(dir_ / "plain.adr", 1);
  window_->onCommand(cmd::kImport);
  EXPECT_EQ(window_->session().book().path(), dir_ / "plain.adr");
  EXPECT_EQ(dialogs_, 1);
}

TEST_F(ImportCommandTest, cancellingTheDialogCreatesNothing) {
  window_->setDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
  chooser_.answer(dir_ / "people.csv", 2);
  window_->onCommand(cmd::kImport);
  EXPECT_EQ(chooser_.requests().size(), 1u);
  EXPECT_FALSE(window_->session().book().isOpen());
  EXPECT_FALSE(fs::exists(dir_ / "scratch" / imp::kImportCopyName));
}

}  // namespace
}  // namespace mv
