// The label property sheet and My Address, driven by their control ids as a user would.
#include "printing/ui/LabelSheet.h"
#include "printing/ui/UserInfoDialog.h"

#include "support/ScriptedPrompter.h"
#include "platform/ui/Controls.h"
#include "printing/PageRenderer.h"
#include "settings/Profile.h"
#include "platform/ui/ArrowBox.h"
#include "support/TestDir.h"
#include "store/Book.h"
#include "store/data_TestBooks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace mv {
namespace {

class LabelSheetTest : public ::testing::Test {
 protected:
  test::TestDir dir;
  std::filesystem::path ini = dir / "mervane.ini";
  std::filesystem::path dat = dir / "labels.dat";
  ScriptedPrompter prompter;
  ScriptedFileChooser chooser;
  LabelGrid grid;
  int returnEdits = 0;
  std::vector<PageJob> printed;

  void SetUp() override {
    test::writeFile(dat,
                    "Alpha;Address 0, 667,254, 48,127, 699,254, 3,10\n"
                    "Beta;Shipping 0, 1016,508, 40,127, 1064,508, 2,5\n"
                    "A4;Address 1, 635,381, 72,152, 660,381, 3,7\n");
  }
  std::unique_ptr<LabelSheet> open() {
    LabelSheetContext c;
    c.ini = ini;
    c.labelsDat = dat;
    c.grid = &grid;
    c.editReturnAddress = [this] { ++returnEdits; };
    c.chooser = &chooser;
    c.printerName = "Laser";
    c.printJob = [this](const PageJob& job) { printed.push_back(job); };
    return std::make_unique<LabelSheet>(nullptr, prompter, std::move(c));
  }
  template <class T>
  static T* on(LabelSheet& sheet, int page, int id) {
    return control<T>(sheet.pages()->widget(page), id);
  }
};

TEST_F(LabelSheetTest, choosingAFormatAndItsFieldsIsSavedOnOk) {
  auto sheet = open();
  // ID 3 is past the two Standard rows: the first row is shown.
  auto* list = on<QListWidget>(*sheet, 0, 101);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(on<QLineEdit>(*sheet, 0, 105)->text(), "Alpha Address");
  list->setCurrentRow(1);
  EXPECT_EQ(on<QLineEdit>(*sheet, 0, 105)->text(), "Beta Shipping");
  sheet->toggleLabel(1, 0);
  // Format: the company is bold by default; make the city start no new line.
  auto* fields = on<QListWidget>(*sheet, 3, 110);
  fields->setCurrentRow(8);
  EXPECT_EQ(on<QCheckBox>(*sheet, 3, 108)->text(), "\"City\" begins in a &New Line");
  on<QCheckBox>(*sheet, 3, 108)->setChecked(false);
  on<QLineEdit>(*sheet, 3, 150)->setText("0.2");
  sheet->accept();
  const Profile labels(ini, "Labels");
  EXPECT_EQ(labels.readString("Settings", "", 100), "1016,508,40,127,48,0,2,5");
  EXPECT_EQ(labels.readInt("Total", 0), 10);
  EXPECT_EQ(labels.readInt("ID", -1), 1);
  EXPECT_EQ(labels.readString("City", "", 100), "1,0,1,0,0,0");
  EXPECT_EQ(labels.readString("Company", "", 100), "1,1,0,1,0,0");
  EXPECT_EQ(labels.readString("Margins", "", 100), "0.20,0.02,0.10,0.02");
  EXPECT_EQ(labels.readInt("Use Return Address", -1), 0);
  EXPECT_FALSE(grid.inUse(1, 0));
  EXPECT_TRUE(prompter.shown().empty());
  // Nothing was edited in the catalogue: labels.dat is as it was.
  EXPECT_EQ(test::readFile(dat).substr(0, 5), "Alpha");
}

TEST_F(LabelSheetTest, catalogueEditsSayWhyTheyAreRefusedAndAreWrittenOnOk) {
  auto sheet = open();
  auto* name = on<QLineEdit>(*sheet, 0, 105);
  on<QPushButton>(*sheet, 0, 103)->click();  // Change without a change
  EXPECT_EQ(prompter.last().text, kLabelNothingChanged);
  name->setText("ALPHA ADDRESS");
  on<QPushButton>(*sheet, 0, 106)->click();  // "Alpha Address", letter case aside
  EXPECT_EQ(prompter.last().text, kLabelAddRefused);
  name->setText("Gamma Address");
  on<QPushButton>(*sheet, 0, 106)->click();
  ASSERT_EQ(prompter.shown().size(), 2u);
  EXPECT_EQ(on<QListWidget>(*sheet, 0, 101)->count(), 3);
  // The type filter matches "Address" only.
  on<QComboBox>(*sheet, 0, 102)->setCurrentIndex(2);
  EXPECT_EQ(on<QListWidget>(*sheet, 0, 101)->count(), 1);
  sheet->reject();
  EXPECT_EQ(test::readFile(dat).substr(0, 5), "Alpha");  // Cancel keeps the file
  auto again = open();
  on<QLineEdit>(*again, 0, 105)->setText("Gamma Address");
  on<QPushButton>(*again, 0, 106)->click();
  again->accept();
  EXPECT_EQ(test::readFile(dat).substr(0, 26), "Gamma;Address 0, 668,254, ");  // 2.63 in as shown
}

TEST_F(LabelSheetTest, unselectAllKeepsTheFirstLabelAndReturnAddressIsEditedFromNames) {
  auto sheet = open();
  on<QPushButton>(*sheet, 1, 105)->click();
  EXPECT_EQ(sheet->grid().countInUse(3, 10), 1);
  EXPECT_TRUE(sheet->grid().inUse(0, 0));
  on<QPushButton>(*sheet, 2, 101)->click();
  EXPECT_EQ(returnEdits, 1);
  on<QRadioButton>(*sheet, 2, 21)->setChecked(true);
  sheet->accept();
  EXPECT_EQ(Profile(ini, "Labels").readInt("Use Return Address", 0), 1);
}

TEST_F(LabelSheetTest, selectNamesTicksByHandOrAllAtOnceAndOkMarksTheBook) {
  std::filesystem::create_directories(dir / "build");
  Book book(dir / "build");
  ASSERT_EQ(book.createNew(dir / "b.adr"), BookStatus::Ok);
  for (const char* first : {"Ann", "Bob", "Cy"}) (void)test::addRecord(book, test::makeRecord(first, "Doe"));
  const auto checks = [&] {
    std::string out;
    for (const LabelName& n : labelNamesOf(book.recordsInListOrder())) out += n.checked ? 'x' : '-';
    return out;
  };
  struct Row {
    int button;  // 0: untick the second name by hand
    const char* shown;
  };
  const Row rows[] = {{0, "x-x"}, {111, "xxx"}, {112, "---"}, {111, "xxx"}, {112, "---"}};
  LabelSheetContext c;
  c.ini = ini;
  c.labelsDat = dat;
  c.book = &book;
  LabelSheet sheet(nullptr, prompter, std::move(c));
  auto* list = on<QListWidget>(sheet, 2, 110);
  ASSERT_EQ(list->count(), 3);
  for (const Row& r : rows) {
    if (r.button == 0)
      list->item(1)->setCheckState(Qt::Unchecked);
    else
      on<QPushButton>(sheet, 2, r.button)->click();
    std::string shown;
    for (int i = 0; i < list->count(); ++i)
      shown += list->item(i)->checkState() == Qt::Checked ? 'x' : '-';
    EXPECT_EQ(shown, r.shown) << r.button;
  }
  EXPECT_EQ(checks(), "xxx");  // the book is marked on OK, not before
  sheet.accept();
  EXPECT_EQ(checks(), "---");
  EXPECT_TRUE(prompter.shown().empty());
}

TEST(UserInfoDialogTest, okWritesAllKeysAndCancelNothing) {
  test::TestDir dir;
  const auto ini = dir / "mervane.ini";
  ScriptedPrompter prompter;
  {
    UserInfoDialog d(nullptr, prompter, ini);
    EXPECT_EQ(d.windowTitle(), "Personal Information");
    control<QLineEdit>(&d, 101)->setText("Ann");
    d.reject();
  }
  EXPECT_FALSE(std::filesystem::exists(ini));
  {
    UserInfoDialog d(nullptr, prompter, ini);
    control<QLineEdit>(&d, 101)->setText("Ann");
    EXPECT_EQ(control<QLineEdit>(&d, 117)->maxLength(), 69);
    d.accept();
  }
  const Profile book(ini, "AddressBook");
  EXPECT_EQ(book.keys().size(), 18u);
  EXPECT_EQ(book.readString("First Name", "", 100), "Ann");
  EXPECT_TRUE(book.hasKey("Fax"));
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST_F(LabelSheetTest, labelTemplatesComeInFromAChosenFileAndAreWrittenOnOk) {
  const auto xml = dir / "sheets.xml";
  test::writeFile(xml,
                  "<Glabels-templates>\n"
                  " <Template brand=\"Acme\" part=\"5160\" size=\"US-Letter\">\n"
                  "  <Label-rectangle width=\"2.625in\" height=\"1in\">\n"
                  "   <Layout nx=\"3\" ny=\"10\" x0=\"0.1875in\" y0=\"0.5in\" dx=\"2.75in\" dy=\"1in\"/>\n"
                  "  </Label-rectangle>\n"
                  " </Template>\n"
                  " <Template brand=\"Acme\" part=\"R1\" size=\"US-Letter\"><Label-round radius=\"1in\"/></Template>\n"
                  "</Glabels-templates>\n");
  test::writeFile(dir / "broken.xml", "<Glabels-templates><Template");
  auto sheet = open();
  chooser.cancel();
  on<QPushButton>(*sheet, 0, 108)->click();
  EXPECT_TRUE(prompter.shown().empty());
  chooser.answer(dir / "broken.xml");
  on<QPushButton>(*sheet, 0, 108)->click();
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.shown()[0].text.rfind("broken.xml could not be read as label templates: it is "
                                           "not well-formed XML", 0),
            0u);
  chooser.answer(xml);
  on<QPushButton>(*sheet, 0, 108)->click();
  ASSERT_EQ(chooser.requests().size(), 3u);
  EXPECT_EQ(chooser.requests()[0].filter, "Label Templates (*.xml)|*.xml|All Files (*.*)|*.*");
  ASSERT_EQ(prompter.shown().size(), 2u);
  EXPECT_EQ(prompter.shown()[1].text,
            "1 label format added, 1 skipped.\n\nSkipped:\n1 not rectangular (round, elliptic, "
            "CD or continuous)");
  auto* list = on<QListWidget>(*sheet, 0, 101);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "Acme 5160");
  EXPECT_EQ(on<ArrowBox>(*sheet, 0, 152)->value(), "2.63");
  // Like Add, the catalogue reaches labels.dat on OK.
  EXPECT_EQ(test::readFile(dat).substr(0, 5), "Alpha");
  sheet->accept();
  EXPECT_EQ(test::readFile(dat).substr(0, 51), "Acme;5160 0, 263,100, 19,50, 275,100, 3,10 in\nAlpha");
}

TEST_F(LabelSheetTest, theCurrentPrintersOffsetIsShownPrintedWithAndKeptOnOk) {
  test::writeFile(ini, "[Printer Calibration]\nLaser=4,-2\nInkjet=9,9\n");
  auto sheet = open();
  EXPECT_EQ(on<QLabel>(*sheet, 0, 163)->text(), "Printer: Laser");
  auto* x = on<QSpinBox>(*sheet, 0, 160);
  auto* y = on<QSpinBox>(*sheet, 0, 161);
  EXPECT_EQ(x->value(), 4);
  EXPECT_EQ(y->value(), -2);
  x->setValue(-12);
  y->setValue(250);  // past the limit: the box holds 100
  on<QPushButton>(*sheet, 0, 162)->click();
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].calibrationFor, "Laser");
  EXPECT_EQ(printed[0].printerOffset, (PrinterOffset{-12, 100}));
  EXPECT_EQ(printed[0].geometry.sheetCode, kLetterSheet.code);
  EXPECT_EQ(readPrinterOffset(ini, "Laser"), (PrinterOffset{4, -2}));  // not before OK
  sheet->accept();
  EXPECT_EQ(readPrinterOffset(ini, "Laser"), (PrinterOffset{-12, 100}));
  EXPECT_EQ(readPrinterOffset(ini, "Inkjet"), (PrinterOffset{9, 9}));
  EXPECT_TRUE(prompter.shown().empty());
}

}  // namespace
}  // namespace mv
