// The envelope setup sheet driven by its control ids, and the envelope from the frame:
// printed from the card window for the selected name, and a damaged book's entries said
// once in the status bar.
#include "ShellTestSupport.h"

#include "cardwindow/ui/TCardFile.h"
#include "platform/ui/Controls.h"
#include "printing/ui/EnvelopeSheet.h"
#include "printing/ui/LabelSheet.h"
#include "store/data_TestBooks.h"
#include "support/PdfText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace mv::test {
namespace {

class EnvelopeSheetTest : public ShellTest {
 protected:
  std::unique_ptr<EnvelopeSheet> openSheet() {
    EnvelopeSheetContext c{ini(), "Arial", [this] { ++returnEdits; }, {}};
    return std::make_unique<EnvelopeSheet>(nullptr, prompter, std::move(c));
  }
  template <class T>
  static T* on(EnvelopeSheet& sheet, int page, int id) {
    return control<T>(sheet.pages()->widget(page), id);
  }
  // A saved book of Ann and Cy under "Main" and Bob in the group "Friends".
  std::filesystem::path friendsBook() {
    const auto path = dir_ / "friends.adr";
    std::filesystem::create_directories(dir_ / "build");
    Book book(dir_ / "build");
    EXPECT_EQ(book.createNew(path), BookStatus::Ok);
    (void)addRecord(book, makeRecord("Ann", "Doe"));
    (void)addRecord(book, makeRecord("Bob", "Roe", "", "Friends"));
    (void)addRecord(book, makeRecord("Cy", "Poe"));
    EXPECT_EQ(book.save(), BookStatus::Ok);
    book.close();
    return path;
  }
  int returnEdits = 0;
};

TEST_F(EnvelopeSheetTest, settingsShowTheOneDefaultAndCheckWhatIsTyped) {
  auto sheet = openSheet();
  EXPECT_EQ(sheet->windowTitle(), "Envelope Setup");
  ASSERT_EQ(sheet->pages()->count(), 3);
  EXPECT_EQ(sheet->pages()->tabText(0), "Settings");
  EXPECT_EQ(sheet->pages()->tabText(1), "Return Address");
  EXPECT_EQ(sheet->pages()->tabText(2), "Delivery Address");
  // No XY stored: the page shows what the envelope draws.
  EXPECT_EQ(on<QLineEdit>(*sheet, 0, 113)->text(), "3.50");
  EXPECT_EQ(on<QLineEdit>(*sheet, 0, 114)->text(), "1.50");
  EXPECT_EQ(on<QLineEdit>(*sheet, 0, 104)->text(), "0.00");
  struct Row {
    int id;
    const char* typed;
    const char* shown;  // after leaving the box
  };
  const Row rows[] = {{114, "0.5", "3.00"}, {113, "7", "2.00"}, {104, "1.5", "1.5"},
                      {105, "-1", "0.00"},  {114, "2.25", "2.25"}};
  for (const Row& r : rows) {
    auto* box = on<QLineEdit>(*sheet, 0, r.id);
    box->setText(r.typed);
    emit box->editingFinished();
    EXPECT_EQ(box->text(), r.shown) << r.id << " " << r.typed;
  }
  on<QLineEdit>(*sheet, 0, 114)->setText("0.5");  // typed and OK pressed at once
  on<QPushButton>(*sheet, 0, 101)->click();
  EXPECT_EQ(returnEdits, 1);
  sheet->accept();
  EXPECT_EQ(Profile(ini(), "Delivery Address").readString("XY", "", 100), "2.00, 3.00");
  EXPECT_EQ(Profile(ini(), "Return Address").readString("XY", "", 100), "1.50, 0.00");
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(EnvelopeSheetTest, formatPagesKeepTheirOwnSectionsWithoutMargins) {
  auto sheet = openSheet();
  sheet->show();
  for (int page : {1, 2}) {
    sheet->pages()->setCurrentIndex(page);
    QApplication::processEvents();
    EXPECT_FALSE(on<QLineEdit>(*sheet, page, 150)->isVisible()) << page;  // margins hidden
    EXPECT_TRUE(on<QPushButton>(*sheet, page, 107)->isVisible()) << page;  // "&Font..."
    // The preview fits its room, however small: nothing is drawn on its outer edge.
    auto* preview = on<QWidget>(*sheet, page, 119);
    preview->resize(120, 60);
    const QImage shot = preview->grab().toImage();
    const QRgb ground = shot.pixel(0, 0);
    for (int x = 0; x < shot.width(); ++x)
      for (int y : {0, 1, shot.height() - 2, shot.height() - 1})
        ASSERT_EQ(shot.pixel(x, y), ground) << page << " at " << x << "," << y;
    for (int y = 0; y < shot.height(); ++y)
      for (int x : {0, 1, shot.width() - 2, shot.width() - 1})
        ASSERT_EQ(shot.pixel(x, y), ground) << page << " at " << x << "," << y;
  }
  // The return address without its company; the delivery address centred.
  on<QListWidget>(*sheet, 1, 110)->item(5)->setCheckState(Qt::Unchecked);
  control<QAbstractButton>(sheet->pages()->widget(2), 21)->click();
  sheet->accept();
  EXPECT_EQ(Profile(ini(), "Return Address").readString("Company", "", 100), "0,1,0,1,0,0");
  EXPECT_EQ(Profile(ini(), "Delivery Address").readString("Company", "", 100), "1,1,0,1,0,0");
  EXPECT_EQ(Profile(ini(), "Delivery Address").readInt("Align", -1), 1);
  EXPECT_EQ(Profile(ini(), "Return Address").readInt("Align", -1), 0);
  EXPECT_EQ(Profile(ini(), "Delivery Address").readString("Margins", "", 100),
            "0.05,0.05,0.05,0.05");
  EXPECT_TRUE(Profile(ini(), "Font").hasKey("Delivery Address"));
  // Cancel writes nothing.
  auto again = openSheet();
  on<QLineEdit>(*again, 0, 113)->setText("5");
  again->reject();
  EXPECT_EQ(Profile(ini(), "Delivery Address").readString("XY", "", 100), "3.50, 1.50");
}

TEST_F(EnvelopeSheetTest, theFramesCommandsOpenTheSheetOnTheirPage) {
  MainFrame& f = start();
  struct Row {
    bool pageView;
    int layout;
    int command;
    int page;  // the sheet's page it opens on, -1 when it does not open
    int layoutAfter;
  };
  const Row rows[] = {
      {false, 1076, 29, 0, 1076},  // Setup > Envelope in card mode: the setup only
      {true, 1076, 29, 0, 1079},   // in the page view the envelope becomes current
      {true, 1079, 81, 2, 1079},   // Font and Color: the font page
      {true, 1079, 1001, 0, 1079}, // set up the layout (a double click in the view)
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.command);
    f.onCommand(r.pageView ? cmd::kPrintPreview : cmd::kClosePreview);
    f.appState().layout = r.layout;
    int opened = -1;
    f.setDialogRunner([&](QDialog& d) {
      if (auto* sheet = dynamic_cast<EnvelopeSheet*>(&d)) opened = sheet->pages()->currentIndex();
      d.accept();
      return int(QDialog::Accepted);
    });
    f.onCommand(r.command);
    EXPECT_EQ(opened, r.page);
    EXPECT_EQ(f.appState().layout, r.layoutAfter);
  }
  EXPECT_TRUE(f.isCommandEnabled(cmd::kEnvelope));
  // The print dialog's "&Paper Size" leads to the layout's own setup sheet, with no
  // handler installed, as in the running program.
  const std::pair<int, const char*> paperRows[] = {{1079, "Envelope Setup"}, {1080, "Labels"}};
  for (const auto& [layout, title] : paperRows) {
    SCOPED_TRACE(layout);
    f.appState().layout = layout;
    std::string sheetOpened;
    f.setDialogRunner([&](QDialog& d) {
      if (dynamic_cast<EnvelopeSheet*>(&d) || dynamic_cast<LabelSheet*>(&d)) {
        sheetOpened = d.windowTitle().toStdString();
        return int(QDialog::Rejected);
      }
      control<QPushButton>(&d, 104)->click();
      return int(QDialog::Rejected);
    });
    f.onCommand(cmd::kPrint);
    EXPECT_EQ(sheetOpened, title);
  }
}

TEST_F(EnvelopeSheetTest, printingFromTheCardWindowPrintsTheSelectedNamesEnvelopeOnly) {
  setMru(0, friendsBook().string());
  MainFrame& f = start(createCardWindow);
  auto* w = dynamic_cast<TCardFile*>(f.cardWindow());
  ASSERT_NE(w, nullptr);
  const NamesList& names = w->session().book().names();
  ASSERT_EQ(names.groupCount(), 2);
  ASSERT_EQ(names.group(1).name, "Friends");
  w->session().select({1, 0});  // Bob, under "Friends"
  f.appState().layout = 1079;
  bool opened = false;
  f.setDialogRunner([&](QDialog& d) {
    opened = d.windowTitle() == "Print Envelope";
    d.accept();  // as it opens: his page alone
    return d.result();
  });
  chooser.answer(dir_ / "bob.pdf");
  f.onCommand(cmd::kPrint);
  EXPECT_TRUE(opened);
  const auto pages = pdfPages(dir_ / "bob.pdf");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("Bob Roe"), std::string::npos) << pages[0];
  EXPECT_EQ(f.appState().pageCount, 3);  // one envelope per entry
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(EnvelopeSheetTest, anUnreadableEntryIsSaidOnceInTheStatusBar) {
  setMru(0, friendsBook().string());
  MainFrame& f = start(createCardWindow);
  auto* w = dynamic_cast<TCardFile*>(f.cardWindow());
  ASSERT_NE(w, nullptr);
  Book& book = w->session().book();
  const int cy = book.names().mainNames()[2].slot;
  book.workingFile().setOffset(cy, book.workingFile().size() + 500);
  struct Row {
    int layout;
    const char* message;
    int pages;
  };
  const Row rows[] = {
      {1080, "1 entry could not be read and is left out.", 1},
      {1079, "1 entry could not be read: its envelope has no delivery address.", 3},
      {1076, "1 entry could not be read and is left out.", 1},
  };
  f.onCommand(cmd::kPrintPreview);
  for (const Row& r : rows) {
    f.statusBar()->clearMessage();
    f.onCommand(r.layout);
    f.onCommand(cmd::kRefreshPageView);  // loads the book again
    EXPECT_EQ(f.statusBar()->currentMessage().toStdString(), r.message) << r.layout;
    EXPECT_EQ(f.appState().pageCount, r.pages) << r.layout;
    EXPECT_EQ(f.currentJob().book->records().size(), 2u);
    // Paging through draws from what was loaded: nothing more is said.
    f.statusBar()->clearMessage();
    f.onCommand(cmd::kNextPage);
    QApplication::processEvents();
    EXPECT_TRUE(f.statusBar()->currentMessage().isEmpty()) << r.layout;
  }
  EXPECT_TRUE(prompter.shown().empty());
}

}  // namespace
}  // namespace mv::test
