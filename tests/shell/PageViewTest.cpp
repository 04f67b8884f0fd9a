// The page view in the frame: page counts from the book as the pages file its entries,
// zoom, what the view paints, its mouse, and the dialogs of paper size, page options,
// heading and footnote, all driven by command and control ids.
#include "ShellTestSupport.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "platform/ui/Controls.h"
#include "printing/ui/AddTextDialog.h"
#include "platform/ui/ArrowBox.h"
#include "printing/ui/PageView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

namespace mv::test {
namespace {

class PageViewTest : public ShellTest {
 protected:
  MainFrame& preview(int layout = 1074) {
    MainFrame& f = start();
    f.setDialogRunner([this](QDialog& d) { return script ? script(d) : int(QDialog::Rejected); });
    f.onCommand(cmd::kPrintPreview);
    f.onCommand(layout);
    return f;
  }
  PageView* view() const { return dynamic_cast<PageView*>(frame->pageView()); }
  QString pageText() const { return frame->pageButton()->text(); }
  void addEntries(int n, const std::string& first = "Ann") {
    for (int i = 0; i < n; ++i) entries.push_back(person(first, "X" + std::to_string(i)));
  }
  std::function<int(QDialog&)> script;
};

TEST_F(PageViewTest, pageCountsComeFromTheBookAsItStandsAndFileEveryEntryUnderItsLetter) {
  struct Row {
    std::vector<std::string> firsts;  // one entry each
    bool labels;
    const char* text;
  };
  const std::vector<std::string> thirty(30, "Ann");
  std::vector<std::string> twentyNine(29, "Ann");
  const std::vector<std::string> tenM(10, "Mia");
  const Row rows[] = {
      {thirty, false, "Page 1 of 2"},  // an exact multiple ends on a page without entries
      {twentyNine, false, "Page 1 of 1"},
      {{}, true, "Page 1 of 26"},  // an empty book still has a page per letter
      {tenM, true, "Page 1 of 26"},
      {std::vector<std::string>(31, "Mia"), true, "Page 1 of 27"},
  };
  MainFrame& f = preview();
  for (const Row& r : rows) {
    entries.clear();
    for (const std::string& first : r.firsts) entries.push_back(person(first, "X"));
    f.appState().labelEachPage = r.labels;
    f.onCommand(cmd::kRefreshPageView);  // counts the book as it stands now
    EXPECT_EQ(pageText(), r.text) << r.firsts.size();
  }
  // A digit files under A and É under E: both on the page their letter starts.
  entries = {person("9 Lives", "X"), person("\xC9mile", "X")};
  f.appState().labelEachPage = true;
  f.onCommand(cmd::kRefreshPageView);
  EXPECT_EQ(f.appState().firstPageOfLetter[4], 5);
  // Edits made in the card window show when the page view opens again.
  f.onCommand(cmd::kClosePreview);
  addEntries(40, "Zoe");
  f.onCommand(cmd::kPrintPreview);  // Z's 40 entries take two pages of the 1-line layout
  EXPECT_EQ(pageText(), "Page 1 of 27");
  f.onCommand(cmd::kLastLetter);
  EXPECT_EQ(pageText(), "Page 26 of 27");
}

TEST_F(PageViewTest, thePagesCountTheCardWindowsBookWithItsLatestEdits) {
  MainFrame& f = start(createCardWindow);
  auto* w = dynamic_cast<TCardFile*>(f.cardWindow());
  ASSERT_NE(w, nullptr);
  w->setDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
  chooser.answer(dir_ / "book.adr");
  f.onCommand(cmd::kNewFile);
  auto add = [&](const QString& first) {
    w->onCommand(cmd::kClearCard);
    QLineEdit* box = w->card()->box(FieldId::First);
    box->selectAll();
    box->insert(first);
    w->onCommand(cmd::kAddName);
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  };
  add("Ann");
  add("Zed");
  f.appState().labelEachPage = true;
  f.onCommand(cmd::kPrintPreview);
  ASSERT_NE(f.currentJob().book, nullptr);
  EXPECT_EQ(f.currentJob().book->records().size(), 2u);
  EXPECT_EQ(f.currentJob().book->counts().perLetter[25], 1);
  f.onCommand(cmd::kClosePreview);
  add("Zoe");  // not saved: the pages still show it
  f.onCommand(cmd::kPrintPreview);
  EXPECT_EQ(f.currentJob().book->counts().perLetter[25], 2);
}

TEST_F(PageViewTest, zoomCommandsStepWithinTheirLimits) {
  MainFrame& f = preview();
  struct Row {
    double before;
    int command;
    double after;
    bool enabledBefore;
  };
  const Row rows[] = {
      {1.8, cmd::kZoomIn, 1.9, true},   {1.9, cmd::kZoomIn, 1.9, false},
      {0.4, cmd::kZoomOut, 0.3, true},  {0.3, cmd::kZoomOut, 0.3, false},
      {1.2, cmd::kZoom50, 0.5, true},   {0.5, cmd::kZoom80, 0.8, true},
      {0.5, cmd::kZoom90, 0.9, true},   {0.5, cmd::kZoom100, 1.0, true},
  };
  for (const Row& r : rows) {
    f.appState().zoom = r.before;
    EXPECT_EQ(f.isCommandEnabled(r.command), r.enabledBefore) << r.command << " at " << r.before;
    if (r.enabledBefore) f.onCommand(r.command);
    EXPECT_DOUBLE_EQ(f.appState().zoom, r.after) << r.command << " at " << r.before;
  }
}

TEST_F(PageViewTest, keysDoWhatTheMenusShowAndPageDownScrollsATallPageFirst) {
  addEntries(90);  // several pages of the 1-line layout
  MainFrame& f = preview(1074);
  f.resize(700, 850);
  f.onCommand(cmd::kZoom100);  // a page taller than the view
  QApplication::processEvents();
  PageView* v = view();
  ASSERT_NE(v, nullptr);
  QScrollBar* bar = v->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  ASSERT_GT(f.appState().pageCount, 2);
  const auto press = [&](QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, key, mods);
    QKeyEvent up(QEvent::KeyRelease, key, mods);
    // As the application delivers a key: the frame's shortcuts first, then the view.
    QApplication::sendEvent(to, &down);
    QApplication::sendEvent(to, &up);
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  };
  struct Row {
    const char* what;
    int key;
    Qt::KeyboardModifiers mods;
    int page;       // after the key
    bool top;       // the view at the top of the page, else at its bottom
    double zoom;
  };
  const Row rows[] = {
      {"PageDown scrolls the tall page first", Qt::Key_PageDown, Qt::NoModifier, 1, false, 1.0},
      {"then goes to the next page, at its top", Qt::Key_PageDown, Qt::NoModifier, 2, true, 1.0},
      {"PageUp at the top: the previous page, at its bottom", Qt::Key_PageUp, Qt::NoModifier, 1,
       false, 1.0},
      {"- zooms out", Qt::Key_Minus, Qt::NoModifier, 1, false, 0.9},
      {"+ zooms in", Qt::Key_Plus, Qt::NoModifier, 1, false, 1.0},
      {"keypad -", Qt::Key_Minus, Qt::KeypadModifier, 1, false, 0.9},
      {"Ctrl++", Qt::Key_Plus, Qt::ControlModifier, 1, false, 1.0},
  };
  // The page is long enough for one PageDown to reach its bottom at this size.
  ASSERT_LE(bar->maximum(), bar->pageStep());
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    press(v, r.key, r.mods);
    EXPECT_EQ(f.appState().page, r.page);
    EXPECT_DOUBLE_EQ(f.appState().zoom, r.zoom);
    if (r.zoom == 1.0 && r.key != Qt::Key_Plus) {
      EXPECT_EQ(bar->value(), r.top ? 0 : bar->maximum());
    }
  }
}

TEST_F(PageViewTest, paintsTheSheetWithItsShadowOnTheGreyGroundAndScrollsWhenZoomed) {
  addEntries(12);
  MainFrame& f = preview(1074);
  f.resize(900, 900);
  f.onCommand(cmd::kZoom50);
  QApplication::processEvents();
  PageView* v = view();
  ASSERT_NE(v, nullptr);
  const QImage image = v->grabSheet();
  const double z = 0.5;
  auto at = [&](double x, double y) {
    return image.pixelColor(static_cast<int>(10 + x * z), static_cast<int>(10 + y * z));
  };
  EXPECT_EQ(image.pixelColor(3, 3), QColor(192, 192, 192));          // the ground
  EXPECT_EQ(at(20, 500), QColor(255, 255, 255));                        // the sheet
  EXPECT_EQ(at(765 + 7, 500), QColor(96, 96, 96));                      // its shadow
  EXPECT_EQ(at(765 + 30, 500), QColor(192, 192, 192));
  EXPECT_EQ(v->verticalScrollBar()->maximum(), 0);  // the half-size sheet fits
  f.onCommand(cmd::kZoom100);
  EXPECT_GT(v->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(v->verticalScrollBar()->singleStep(), 50);
}

TEST_F(PageViewTest, rightButtonOffersTheLayoutsAndADoubleClickGoesBackToTheCard) {
  MainFrame& f = preview(1077);
  std::unique_ptr<QMenu> menu(view()->contextMenu());
  ASSERT_NE(menu, nullptr);
  std::vector<int> ids;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) {
      ids.push_back(a->data().toInt());
      EXPECT_EQ(a->isChecked(), a->data().toInt() == 1077);
    }
  EXPECT_EQ(ids, (std::vector<int>{1074, 1075, 1076, 1077, 1078, 1079, 1080}));
  menu->actions().front()->trigger();
  EXPECT_EQ(f.layoutButton()->text(), "1 Line Address");

  QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(50, 50), QPointF(50, 50),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view()->viewport(), &click);
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_EQ(f.viewMode(), MainFrame::ViewMode::Card);
}

TEST_F(PageViewTest, pageOptionsLabelEachPageAndCancelLeavesThem) {
  addEntries(5);
  MainFrame& f = preview(1076);
  EXPECT_EQ(pageText(), "Page 1 of 1");
  EXPECT_FALSE(f.isCommandEnabled(cmd::kPageButton));  // the letters need labelled pages
  script = [](QDialog& d) {
    control<QRadioButton>(&d, 13)->setChecked(true);
    control<QCheckBox>(&d, 17)->setChecked(true);
    return int(QDialog::Rejected);
  };
  f.onCommand(cmd::kPageSettings);
  EXPECT_EQ(pageText(), "Page 1 of 1");
  script = [](QDialog& d) {
    control<QRadioButton>(&d, 13)->setChecked(true);
    return int(QDialog::Accepted);
  };
  f.onCommand(cmd::kPageSettings);
  EXPECT_EQ(pageText(), "Page 1 of 26");
  EXPECT_TRUE(f.appState().labelEachPage);
  EXPECT_FALSE(f.appState().hideAddresses);
  EXPECT_TRUE(f.isCommandEnabled(cmd::kPageButton));
}

class PaperSizeTest : public PageViewTest {
 protected:
  void SetUp() override {
    PageViewTest::SetUp();
    writeFile(program() / "pagesize.dat",
              "header\n2159.0 ,2794.0 ,0.0 ,1 ,0 ,0\nLetter\n1500 ,1500 ,0 ,-1 ,0 ,0\nCustom\n");
  }
  // Types the size in inches, turns two on one on or off, and presses OK.
  static std::function<int(QDialog&)> typeSize(const char* width, const char* length, bool two) {
    return [=](QDialog& d) {
      control<ArrowBox>(&d, 108)->setValue(width);
      control<ArrowBox>(&d, 107)->setValue(length);
      control<QCheckBox>(&d, 112)->setChecked(two);
      d.accept();
      return d.result();
    };
  }
};

TEST_F(PaperSizeTest, twoOnOneFitsASmallPageAsksForALargeOneAndCancelChangesNothing) {
  addEntries(45);
  MainFrame& f = preview(1078);  // 45 / 5 + 1 = 10 pages
  const PageGeometry before = f.appState().geometry;
  script = [](QDialog& d) {
    control<ArrowBox>(&d, 108)->setValue("4.00");
    return int(QDialog::Rejected);
  };
  f.onCommand(cmd::kPaperSize);
  EXPECT_EQ(f.appState().geometry, before);

  script = typeSize("4.00", "6.00", true);
  f.onCommand(cmd::kPaperSize);
  EXPECT_TRUE(f.appState().geometry.twoOnOneActive());
  EXPECT_EQ(f.appState().geometry.sheetCode, 1);
  EXPECT_NEAR(f.appState().geometry.widthFraction, 1016.0 / 2159, 1e-3);
  EXPECT_EQ(prompter.shown().size(), 0u);
  f.onCommand(cmd::kNextPage);
  f.onCommand(cmd::kNextPage);
  EXPECT_EQ(pageText(), "Page 3 of 10, sheet 2 of 5");

  // A Letter page two on one fits no sheet: the question, No keeps the dialog open.
  prompter.answer(Answer::No);
  script = typeSize("8.50", "11.00", true);
  f.onCommand(cmd::kPaperSize);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, kTooLargeForTwoOnOne);
  EXPECT_TRUE(f.appState().geometry.twoOnOneActive());  // unchanged
}

TEST_F(PaperSizeTest, arrowsStepWithinTheirLimitsInTheChosenUnit) {
  MainFrame& f = preview();
  struct Row {
    int box;
    const char* start;
    int steps;
    const char* end;
  };
  const Row inches[] = {
      {108, "10.95", 1, "11.05"}, {108, "11.05", 1, "11.05"}, {110, "0.00", -1, "0.00"},
      {105, "-1.95", -2, "-2.05"}, {118, "0.00", 3, "0.30"},
  };
  script = [&](QDialog& d) {
    for (const Row& r : inches) {
      auto* box = control<ArrowBox>(&d, r.box);
      box->setValue(r.start);
      box->stepBy(r.steps);
      EXPECT_EQ(box->value(), r.end) << r.box << " from " << r.start;
    }
    control<QRadioButton>(&d, 102)->click();  // millimetres: the boxes show the stored size
    EXPECT_EQ(control<ArrowBox>(&d, 108)->value(), "215.90");
    EXPECT_FALSE(control<ArrowBox>(&d, 111)->isEnabled());  // until Mirror Margins
    control<QCheckBox>(&d, 113)->setChecked(true);
    EXPECT_TRUE(control<ArrowBox>(&d, 111)->isEnabled());
    return int(QDialog::Rejected);
  };
  f.onCommand(cmd::kPaperSize);
}

TEST_F(PageViewTest, headingAndFootnoteTakeOnlyTheShownPagesAndCancelLeavesBoth) {
  MainFrame& f = preview();
  const PageText heading = f.heading();
  const PageText footnote = f.footnote();
  script = [](QDialog& d) {
    control<QLineEdit>(dynamic_cast<AddTextDialog&>(d).page(0), 101)->setText("Cancelled");
    return int(QDialog::Rejected);
  };
  f.onCommand(cmd::kHeading);
  EXPECT_EQ(f.heading(), heading);

  script = [](QDialog& d) {
    QWidget* page = dynamic_cast<AddTextDialog&>(d).page(0);
    control<QLineEdit>(page, 101)->setText("Family and friends");
    control<QRadioButton>(page, 104)->click();
    return int(QDialog::Accepted);
  };
  f.onCommand(cmd::kHeading);
  EXPECT_EQ(f.heading().text, "Family and friends");
  EXPECT_EQ(f.heading().align, 2);
  EXPECT_EQ(f.footnote(), footnote);  // its page was never shown

  script = [](QDialog& d) {
    auto& dialog = dynamic_cast<AddTextDialog&>(d);
    control<QLineEdit>(dialog.page(1), 101)->setText(QString(200, 'x'));
    return int(QDialog::Accepted);
  };
  f.onCommand(cmd::kFootnote);
  EXPECT_EQ(f.footnote().text, std::string(149, 'x'));
  EXPECT_EQ(f.heading().text, "Family and friends");
}

TEST(AddTextFont, theFontDialogSeesHundredthsOfAnInchAndKeepsTheSign) {
  for (int height : {15, -15, 90, -27}) {
    PageText text;
    text.height = height;
    PageText back;
    takeFontSpec(back, fontSpecOfPageText(text));
    EXPECT_EQ(back.height, height);
    EXPECT_EQ(fontSpecOfPageText(text).height > 0, height > 0);
  }
}

}  // namespace
}  // namespace mv::test
