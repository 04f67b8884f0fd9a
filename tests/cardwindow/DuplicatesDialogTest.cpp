// A user's session with a phone's contacts: File, Import vCard into a new book, then
// Tools, Find Duplicates: two entries merged field by field, the merge undone, saved.
#include "cardwindow/ui/TDuplicates.h"

#include "cardwindow/ui/TCardFile.h"
#include "exchange/ImportSession.h"
#include "platform/Paths.h"
#include "support/ScriptedPrompter.h"
#include "platform/ui/Controls.h"
#include "support/TestDir.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace mv {
namespace {

namespace fs = std::filesystem;

// As a phone exports its contacts: Ann twice, her e-mail in other letter case and her
// number written two ways.
constexpr const char* kPhoneExport =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\n"
    "EMAIL;TYPE=INTERNET:Ann.Lee@Example.com\r\nTEL;TYPE=WORK:(555) 123-4567\r\n"
    "NOTE:Met in Rome\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Annie;;;\r\nFN:Annie Lee\r\n"
    "EMAIL;TYPE=INTERNET:ann.lee@example.COM\r\nTEL;TYPE=CELL:555.123.4567\r\n"
    "ORG:Acme\r\nNOTE:Likes tea\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Fox;Cy;;;\r\nFN:Cy Fox\r\nEND:VCARD\r\n";

class DuplicatesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "scratch");
    setScratchDirForTesting(dir_ / "scratch");
    test::writeFile(dir_ / "phone.vcf", kPhoneExport);
    services_.prompter = &prompter_;
    services_.fileChooser = &chooser_;
    services_.settingsFile = dir_ / "mervane.ini";
    window_ = std::make_unique<TCardFile>(services_);
    window_->setDialogRunner([this](QDialog& d) {
      auto* dialog = dynamic_cast<TDuplicates*>(&d);
      if (!dialog || !session) return int(QDialog::Rejected);
      session(*dialog);
      return int(QDialog::Accepted);
    });
  }
  void importPhone() {
    chooser_.answer(dir_ / "phone.vcf");
    chooser_.answer(dir_ / "contacts");
    window_->onCommand(cmd::kImportVcard);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const NameEntry& e : window_->session().names().mainNames()) out.push_back(e.text);
    return out;
  }

  test::TestDir dir_;
  ScriptedPrompter prompter_;
  ScriptedFileChooser chooser_;
  ShellServices services_;
  std::unique_ptr<TCardFile> window_;
  std::function<void(TDuplicates&)> session;  // what the user does in the window
};

TEST_F(DuplicatesWindow, importVcardMakesANewBookAndOpensIt) {
  // Cancelled where the new book is named: nothing written, nothing said to be imported.
  chooser_.answer(dir_ / "phone.vcf");
  chooser_.cancel();
  window_->onCommand(cmd::kImportVcard);
  ASSERT_EQ(prompter_.shown().size(), 1u);
  EXPECT_EQ(prompter_.shown()[0].text, "Next,\n\nCreate a NEW FILE\nto save the imported data.");
  EXPECT_FALSE(fs::exists(dir_ / "contacts.adr"));
  prompter_.clear();

  importPhone();
  ASSERT_EQ(chooser_.requests().size(), 4u);
  EXPECT_EQ(chooser_.requests()[2].title, "Import vCard");
  EXPECT_EQ(chooser_.requests()[2].filter, "vCard Files (*.vcf)|*.vcf");
  EXPECT_EQ(chooser_.requests()[3].title, "Enter a NEW file name");
  ASSERT_GE(prompter_.shown().size(), 2u);
  EXPECT_EQ(prompter_.shown().back().text, "3 cards were imported.");
  EXPECT_EQ(window_->session().book().path(), dir_ / "contacts.adr");
  EXPECT_EQ(names(), (std::vector<std::string>{"Ann Lee ", "Annie Lee Acme", "Cy Fox "}));
  EXPECT_FALSE(fs::exists(dir_ / "scratch" / imp::kImportBookName));
}

TEST_F(DuplicatesWindow, mergesTwoEntriesThenUndoes) {
  importPhone();
  prompter_.clear();
  bool looked = false;
  session = [&](TDuplicates& d) {
    auto* groups = control<QTreeWidget>(&d, TDuplicates::kGroups);
    auto* fields = control<QTableWidget>(&d, TDuplicates::kFields);
    ASSERT_TRUE(groups && fields);
    // E-mail in either letter case, the number by its digits.
    ASSERT_EQ(groups->topLevelItemCount(), 2);
    EXPECT_EQ(groups->topLevelItem(0)->text(0), "E-mail: ann.lee@example.com");
    EXPECT_EQ(groups->topLevelItem(1)->text(0), "Telephone: 5551234567");
    EXPECT_EQ(d.firstSlot(), 0);
    EXPECT_EQ(d.secondSlot(), 1);
    // Side by side; the empty Company is proposed from the second entry.
    const int company = toInt(FieldId::Company);
    EXPECT_EQ(fields->item(company, TDuplicates::kSecondColumn)->text(), "Acme");
    EXPECT_EQ(fields->item(company, TDuplicates::kSecondColumn)->checkState(), Qt::Checked);
    d.chooseSecond(FieldId::Mobile, true);
    control<QPushButton>(&d, TDuplicates::kMerge)->click();
    EXPECT_EQ(groups->topLevelItemCount(), 0);
    EXPECT_TRUE(control<QPushButton>(&d, TDuplicates::kUndo)->isEnabled());
    looked = true;
  };
  window_->onCommand(cmd::kFindDuplicates);
  ASSERT_TRUE(looked);
  EXPECT_EQ(names(), (std::vector<std::string>{"Ann Lee Acme", "Cy Fox "}));
  const AddressRecord merged = *window_->session().book().readRecord(0);
  EXPECT_EQ(merged[FieldId::Company], "Acme");
  EXPECT_EQ(merged[FieldId::Office], "(555) 123-4567");
  EXPECT_EQ(merged[FieldId::Mobile], "555.123.4567");
  EXPECT_EQ(merged.notes, "Met in Rome\r\n\r\nLikes tea");

  // Opened again later: Undo Merge brings Annie back.
  session = [](TDuplicates& d) {
    control<QPushButton>(&d, TDuplicates::kUndo)->click();
    EXPECT_EQ(control<QTreeWidget>(&d, TDuplicates::kGroups)->topLevelItemCount(), 2);
  };
  window_->onCommand(cmd::kFindDuplicates);
  EXPECT_EQ(names(), (std::vector<std::string>{"Ann Lee ", "Annie Lee Acme", "Cy Fox "}));

  // Merged again and saved: the undo has ended.
  session = [](TDuplicates& d) { control<QPushButton>(&d, TDuplicates::kMerge)->click(); };
  window_->onCommand(cmd::kFindDuplicates);
  window_->onCommand(cmd::kSave);
  session = [](TDuplicates& d) {
    EXPECT_FALSE(control<QPushButton>(&d, TDuplicates::kUndo)->isEnabled());
  };
  window_->onCommand(cmd::kFindDuplicates);
  Book saved;
  ASSERT_EQ(saved.open(dir_ / "contacts.adr"), BookStatus::Ok);
  EXPECT_EQ(saved.names().count(), 2);
  EXPECT_TRUE(prompter_.shown().empty());
}

}  // namespace
}  // namespace mv
