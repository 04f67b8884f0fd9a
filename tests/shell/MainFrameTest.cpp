#include "ShellTestSupport.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"
#include "shell/CommandTable.h"
#include "printing/ui/PageView.h"
#include "printing/ui/PrintDialog.h"
#include "store/AdrFormat.h"
#include "support/PdfText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace mv::test {
namespace {

using Items = std::vector<std::pair<int, std::string>>;  // (id, label); id 0 = separator
using Menus = std::vector<std::pair<std::string, Items>>;

Menus menusOf(const MainFrame& frame) {
  Menus out;
  for (QAction* top : frame.menuBar()->actions()) {
    Items items;
    for (QAction* a : top->menu()->actions())
      items.emplace_back(a->isSeparator() ? 0 : a->data().toInt(),
                         a->isSeparator() ? "" : toCp1252(a->text()));
    out.emplace_back(toCp1252(top->text()), items);
  }
  return out;
}

const Items kFile(const char* quit) {
  return {{24333, "&New File"}, {24336, "&Open..."}, {24335, "&Save"},
          {24334, "Save &As..."}, {0, ""}, {11842, "&Rescan"}, {8049, "&Backup File"},
          {0, ""}, {8071, "&Import"}, {8072, "Import v&Card..."}, {8070, "&Export"}, {8074, "S&ynchronize..."}, {0, ""}, {16, "&Print"},
          {15, "Print Pre&view"}, {18, "Paper Si&ze"}, {17, "Printer &Setup"}, {0, ""},
          {24310, "Sa&ve and Close\t[OK]"}, {332, quit}};
}
const Items kEdit{{6100, "&Add a new name"}, {6101, "&Delete the selected name"},
                  {6102, "&Change the selected name"}, {0, ""}, {6111, "Add a new &group"},
                  {6112, "D&elete the selected group"}, {0, ""}, {330, "&Find"},
                  {331, "&Search Again"}, {0, ""}, {183, "Phone &Home"},
                  {184, "Phone &Office"}, {186, "Send &Email"}, {187, "Open &Web page"},
                  {195, "News &Group"}, {196, "FTP &Site"}};
const Items kTools{{8073, "Find &Duplicates"}};
const Items kHelp{{95, "&Content\tF1"}, {96, "&Index"}, {0, ""}, {97, "&About..."}};

TEST_F(ShellTest, cardModeMenuHoldsEveryCommandWithoutThePageViewOnes) {
  MainFrame& f = start();
  EXPECT_EQ(f.menuResource(), 1);
  const Menus expected{
      {"&File", kFile("&Quit\t[Cancel]")},
      {"&Edit", kEdit},
      {"&Setup",
       {{32, "&Labels\tCtrl+L"}, {29, "&Envelope\tCtrl+N"}, {0, ""}, {83, "Page &Settings"},
        {78, "Page &Heading"}, {79, "Page &Footnote"}, {0, ""}, {85, "&My Address"},
        {112, "&Printing"}}},
      {"&Tools", kTools},
      {"&Help", kHelp}};
  EXPECT_EQ(menusOf(f), expected);
}

TEST_F(ShellTest, pageViewMenuAddsViewLayoutAndPageMenus) {
  MainFrame& f = start();
  f.onCommand(cmd::kPrintPreview);
  EXPECT_EQ(f.menuResource(), 208);
  const Menus expected{
      {"&File", kFile("&Quit\tAlt+F4")},
      {"&Edit", kEdit},
      {"&Setup",
       {{32, "&Labels\tCtrl+L"}, {29, "&Envelope\tCtrl+N"}, {0, ""}, {83, "Page &Settings"},
        {78, "Page &Heading"}, {79, "Page &Footnote"}, {81, "Fon&t and Color"}, {0, ""},
        {85, "&My Address"}, {112, "&Printing"}}},
      {"&View",
       {{347, "&Close Preview"}, {23, "&Address Book"}, {0, ""}, {52, "&Toolbar"}, {0, ""},
        {54, "Zoom &In\t+"}, {55, "Zoom &Out\t-"}, {57, "&50%"}, {58, "&80%"}, {59, "&90%"},
        {60, "&100%"}}},
      {"&Layout",
       {{1074, "1 line Addressbook"}, {1075, "2 line Addressbook"},
        {1076, "3 line Addressbook"}, {1077, "5 line Addressbook"},
        {1078, "Detailed Addressbook"}, {1079, "Envelope"}, {1080, "Labels"}, {0, ""},
        {64, "Next Layout"}, {65, "Prior Layout"}}},
      {"&Page",
       {{70, "&Next Page\tPageDown"}, {71, "&Prior Page\tPageUp"}, {0, ""},
        {69, "Skip Pages - &Forward"}, {72, "Skip Pages - &Back"}}},
      {"&Tools", kTools},
      {"&Help", kHelp}};
  EXPECT_EQ(menusOf(f), expected);
  // Every command with a picture number shows a picture beside its text.
  for (int id : {15, 16, 18, 23, 29, 32, 54, 55, 69, 70, 71, 72, 6100, 6101, 6102, 6111, 6112,
                 24333, 24335, 24336})
    EXPECT_FALSE(f.menuAction(id)->icon().isNull()) << id;
}

TEST_F(ShellTest, modeSwitchSwapsMenusToolbarAndSizing) {
  MainFrame& f = start();
  // Card mode: no toolbar, at first a frame of the card window's size.
  EXPECT_FALSE(f.toolBar()->isVisible());
  EXPECT_EQ(f.centralWidget()->width(), 600);
  const QSize cardSize = f.size();

  f.menuAction(cmd::kPrintPreview)->trigger();  // as the user chooses Print Preview
  EXPECT_EQ(f.viewMode(), MainFrame::ViewMode::PageView);
  EXPECT_TRUE(f.toolBar()->isVisible());
  EXPECT_FALSE(card->isVisible());
  EXPECT_NE(f.minimumSize(), f.maximumSize());
  EXPECT_EQ(f.size(), cardSize);
  EXPECT_EQ(f.windowTitle().toStdString(), "Mervane - " + f.bookPath().string());

  // The user hides the toolbar; it stays hidden in card mode and comes back with the
  // next page view.
  f.onCommand(cmd::kToolbar);
  EXPECT_FALSE(f.toolBar()->isVisible());
  f.onCommand(cmd::kClosePreview);  // Close Preview
  EXPECT_EQ(f.menuResource(), 1);
  EXPECT_FALSE(f.toolBar()->isVisible());
  EXPECT_TRUE(card->isVisible());
  EXPECT_EQ(f.size(), cardSize);
  f.onCommand(cmd::kPrintPreview);
  EXPECT_TRUE(f.toolBar()->isVisible());
  f.toolBar()->actions().front()->trigger();  // the toolbar's card button, 23
  EXPECT_FALSE(f.toolBar()->isVisible());
  EXPECT_EQ(f.viewMode(), MainFrame::ViewMode::Card);
}

TEST_F(ShellTest, frameKeepsTheSizeTheUserGaveItInBothViewsFromEveryPageOfTheCard) {
  setMru(0, book("family.adr", "TVXADR_307").string());
  MainFrame& f = start(createCardWindow);
  auto* window = dynamic_cast<TCardFile*>(f.cardWindow());
  ASSERT_NE(window, nullptr);
  QApplication::processEvents();
  // At first the frame hugs the card window: menu bar, card window, status bar.
  EXPECT_EQ(f.height(), f.menuBar()->sizeHint().height() + window->height() +
                            f.statusBar()->sizeHint().height());
  QSize given = f.size();
  for (TCardFile::Page page : {TCardFile::EditPage, TCardFile::NotesPage, TCardFile::LinkPage}) {
    SCOPED_TRACE(page);
    window->setPage(page);
    given += QSize(40, 30);
    f.resize(given);  // the user makes the card window larger
    QApplication::processEvents();
    f.onCommand(cmd::kPrintPreview);  // Print Preview
    QApplication::processEvents();
    EXPECT_EQ(f.size(), given);
    given += QSize(40, 30);
    f.resize(given);  // and the page view
    QApplication::processEvents();
    f.onCommand(cmd::kClosePreview);  // Close Preview
    QApplication::processEvents();
    EXPECT_EQ(f.size(), given);
    // The card fills the window it is given.
    EXPECT_EQ(window->size(), f.centralWidget()->size());
  }
}

// Every way the open book changes while the page view shows: the pages, "Page 1 of n",
// the print dialog's count and the printed PDF follow at once.
TEST_F(ShellTest, everyChangeOfBookIsFollowedByThePagesThePrintDialogAndThePrint) {
  const auto writeBook = [&](const std::string& name, const std::string& first,
                             const std::string& last, int count) {
    std::string bytes = "TVXADR_307\n";
    for (int i = 0; i < count; ++i) {
      const AddressRecord r = person(first, last + (count > 1 ? std::to_string(100 + i) : ""));
      adr::appendRecord(bytes, r, i, savedInitial(nameKey(r, 0)), r.mark);
    }
    writeFile(dir_ / name, bytes + "\x16\n");
    return dir_ / name;
  };
  const auto a = writeBook("a.adr", "Ann", "Alpha", 1);
  const auto b = writeBook("b.adr", "Bea", "Bravo", 60);  // several pages
  const auto c = writeBook("c.adr", "Cedric", "Cole", 1);
  writeFile(dir_ / "people.csv", "First Name,Surname\nCarla,Charlie\n");
  writeFile(dir_ / "phone.vcf",
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Victor;Vera;;;\r\nFN:Vera Victor\r\nEND:VCARD\r\n");
  setMru(0, a.string());
  MainFrame& f = start(createCardWindow);
  auto* window = dynamic_cast<TCardFile*>(f.cardWindow());
  ASSERT_NE(window, nullptr);
  window->setDialogRunner([](QDialog& d) {
    auto* finish = control<QPushButton>(&d, 1);  // the import: Next, then Finish
    if (!finish) return int(QDialog::Rejected);
    finish->click();
    finish->click();
    return d.result();
  });
  std::string printCaption;
  f.setDialogRunner([&](QDialog& d) {
    if (auto* all = control<QAbstractButton>(&d, PrintDialog::kAll)) {
      printCaption = toCp1252(all->text());
      all->click();
    }
    return int(QDialog::Accepted);
  });
  f.onCommand(cmd::kPrintPreview);
  const auto openRecentA = [&] {
    for (const auto& [id, text] : f.session().recentFiles()->menuItems())
      if (text.find("a.adr") != std::string::npos) f.onCommand(id);
  };

  struct Row {
    const char* how;
    std::function<void()> change;
    std::vector<std::string> entries;  // last names, in list order
    std::string title;                 // the book's file
  };
  std::vector<std::string> bravo;
  for (int i = 0; i < 60; ++i) bravo.push_back("Bravo" + std::to_string(100 + i));
  const Row rows[] = {
      {"Open", [&] { chooser.answer(b, 1), f.onCommand(cmd::kOpen); }, bravo, "b.adr"},
      // In card mode the pages wait for the page view: it must not show the book before.
      {"a recent book in card mode, then the page view",
       [&] {
         f.onCommand(cmd::kClosePreview);
         openRecentA();
         f.onCommand(cmd::kPrintPreview);
       },
       {"Alpha"},
       "a.adr"},
      {"Open in card mode, then the page view",
       [&] {
         f.onCommand(cmd::kClosePreview);
         chooser.answer(b, 1), f.onCommand(cmd::kOpen);
         f.onCommand(cmd::kPrintPreview);
       },
       bravo,
       "b.adr"},
      {"New", [&] { chooser.answer(dir_ / "new"), f.onCommand(cmd::kNewFile); }, {}, "new.adr"},
      {"a recent book", openRecentA, {"Alpha"}, "a.adr"},
      {"Import CSV",
       [&] {
         chooser.answer(dir_ / "people.csv", 2), chooser.answer(dir_ / "fromcsv");
         f.onCommand(cmd::kImport);
       },
       {"Charlie"},
       "fromcsv.adr"},
      {"Import vCard",
       [&] {
         chooser.answer(dir_ / "phone.vcf"), chooser.answer(dir_ / "fromvcf");
         f.onCommand(cmd::kImportVcard);
       },
       {"Victor"},
       "fromvcf.adr"},
      {"handed over by a second start", [&] { f.openHandedBook(c); }, {"Cole"}, "c.adr"},
      {"Save As", [&] { chooser.answer(dir_ / "copy.adr", 1), f.onCommand(cmd::kSaveAs); },
       {"Cole"}, "copy.adr"},
  };
  int printed = 0;
  auto* view = dynamic_cast<PageView*>(f.pageView());
  ASSERT_NE(view, nullptr);
  QScrollBar* scroll = view->verticalScrollBar();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.how);
    ASSERT_GT(scroll->maximum(), 0);
    scroll->setValue(scroll->maximum());  // the user was reading the bottom of a page
    r.change();
    QApplication::processEvents();
    ASSERT_EQ(f.viewMode(), MainFrame::ViewMode::PageView);
    EXPECT_EQ(scroll->value(), 0);  // the new book shows from its top
    std::vector<std::string> shown;
    for (const AddressRecord& e : f.currentJob().book->records()) shown.push_back(e[FieldId::Last]);
    EXPECT_EQ(shown, r.entries);
    // The count the pages of these entries need, counted apart from the session's book.
    std::vector<AddressRecord> expected;
    for (const std::string& last : r.entries) expected.push_back(person("x", last));
    const PageBook apart(expected, 0);
    PageJob job = f.currentJob();
    job.book = &apart;
    const int pages = countJobPages(job).pages;
    EXPECT_EQ(f.appState().pageCount, pages);
    EXPECT_EQ(f.pageButton()->text().toStdString(), "Page 1 of " + std::to_string(pages));
    EXPECT_NE(f.windowTitle().toStdString().find(r.title), std::string::npos);

    const auto pdf = dir_ / ("printed" + std::to_string(++printed) + ".pdf");
    chooser.answer(pdf);
    f.onCommand(cmd::kPrint);
    EXPECT_EQ(printCaption, allPagesCaption(pages));
    const std::vector<std::string> sheets = pdfPages(pdf);
    ASSERT_EQ(static_cast<int>(sheets.size()), pages);
    if (!r.entries.empty()) {
      EXPECT_NE(sheets.front().find(r.entries.front()), std::string::npos);
    }
    EXPECT_EQ(toCp1252(f.statusBar()->currentMessage()),
              "Printed " + pagesText(pages) + " to " + pdf.string());
  }
}

TEST_F(ShellTest, aBookNamedInAnotherScriptComesBackThroughTheRecentList) {
  const auto family = book("family.adr", "TVXADR_307");
  setMru(0, family.string());
  const std::string moscow = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";  // Москва
  const auto path = dir_ / (moscow + ".adr");
  const QString shown = QString::fromStdString(path.string());
  {
    MainFrame& f = start(createCardWindow);
    chooser.answer(dir_ / moscow);
    f.onCommand(cmd::kSaveAs);  // Save As
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(f.windowTitle(), "Mervane - " + shown);
    EXPECT_EQ(mru(0), path.string());
    EXPECT_EQ(mru(1), family.string());
    f.onCommand(cmd::kQuit);  // Quit
    EXPECT_FALSE(f.isVisible());
    frame.reset();
  }
  // The next start opens it again, and the File menu names it as the file system does.
  MainFrame& f = start(createCardWindow);
  EXPECT_EQ(f.bookPath(), path);
  EXPECT_EQ(f.windowTitle(), "Mervane - " + shown);
  f.updateFileMenu();
  const QAction* newest = nullptr;
  for (QAction* a : f.fileMenu()->actions())
    if (a->data().toInt() == 31990) newest = a;
  ASSERT_NE(newest, nullptr);
  EXPECT_EQ(newest->text(), "&1 " + shown);
  // Away to another book and back through the recent list.
  f.onCommand(31991);
  EXPECT_EQ(f.bookPath(), family);
  f.onCommand(31991);
  EXPECT_EQ(f.bookPath(), path);
  EXPECT_EQ(f.windowTitle(), "Mervane - " + shown);
  EXPECT_TRUE(prompter.shown().empty());

  // A character the book cannot hold, typed into the card, is refused with a word in
  // the frame's status bar.
  CardFieldEdit* city = dynamic_cast<TCardFile*>(f.cardWindow())->card()->box(FieldId::City);
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xD0\x96"));  // Ж
  QApplication::sendEvent(city, &press);
  EXPECT_EQ(city->text(), "");
  EXPECT_EQ(f.statusBar()->currentMessage(),
            "This character cannot be stored in an address book");
}

TEST_F(ShellTest, toolbarGadgetsInOrder) {
  MainFrame& f = start();
  std::vector<int> ids;  // 0 for a separator gadget
  for (QAction* a : f.toolBar()->actions()) {
    QWidget* w = f.toolBar()->widgetForAction(a);
    if (auto* b = qobject_cast<QToolButton*>(w); b && b->defaultAction() && !a->data().isValid())
      ids.push_back(b->defaultAction()->data().toInt());
    else if (a->data().isValid())
      ids.push_back(a->data().toInt());
    else
      ids.push_back(-w->width());
  }
  const std::vector<int> expected{23, -5, 16, -5, 54, 55, -5, 72, 71, 73,
                                  70, 69, -5, 67, -5, 81, -21};
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(f.pageButton()->text(), "Page 1 of 1");
  EXPECT_EQ(f.layoutButton()->text(), "3 Line Address");
  f.onCommand(cmd::kPriorLayout);  // prior layout
  EXPECT_EQ(f.layoutButton()->text(), "2 Line Address");
  EXPECT_EQ(f.layoutButton()->toolTip(), "Addressbook, 2 Line per subject");
  f.onCommand(cmd::kLayoutLabels);  // from card mode the layout menu prints, so the page view opens
  EXPECT_EQ(f.layoutButton()->text(), "Labels");
  EXPECT_EQ(f.viewMode(), MainFrame::ViewMode::PageView);
}

TEST_F(ShellTest, statusHintsAndTheirTitleFallback) {
  MainFrame& f = start();
  f.onCommand(cmd::kPrintPreview);
  EXPECT_EQ(f.menuAction(cmd::kNextPage)->statusTip(), "Next Page");
  EXPECT_EQ(f.menuAction(cmd::kPriorPage)->statusTip(), "Priot Page");
  EXPECT_EQ(f.menuAction(cmd::kPrint)->statusTip(), "Print the selected layout");
  // No hint of its own: the title of the frame.
  EXPECT_EQ(f.menuAction(cmd::kAbout)->statusTip(), f.windowTitle());
  EXPECT_EQ(f.pageButton()->defaultAction()->statusTip(), "Change Page");
}

TEST_F(ShellTest, commandsReachTheirWindowAndEnablingAsksTheOwner) {
  MainFrame& f = start();
  f.onCommand(cmd::kAddName);
  f.onCommand(cmd::kImport);
  f.onCommand(cmd::kZoomIn);  // a page-view command never reaches the card window
  EXPECT_EQ(card->commands, (std::vector<int>{6100, 8071}));

  EXPECT_FALSE(f.isCommandEnabled(cmd::kSave));  // the card window says so
  card->saveEnabled = true;
  EXPECT_TRUE(f.isCommandEnabled(cmd::kSave));
  f.fileMenu()->popup(QPoint(0, 0));  // opening the menu re-evaluates its items
  EXPECT_TRUE(f.menuAction(cmd::kSave)->isEnabled());
  f.fileMenu()->hide();
  // One page: no next or prior page, in the menu nor on the toolbar.
  EXPECT_FALSE(f.isCommandEnabled(cmd::kNextPage));
  EXPECT_FALSE(f.isCommandEnabled(cmd::kPriorPage));
  f.onCommand(cmd::kPrintPreview);
  for (QAction* a : f.toolBar()->actions()) {
    const int id = a->data().toInt();
    if (id >= 69 && id <= 72) {
      EXPECT_FALSE(a->isEnabled()) << id;
    }
  }
}

// ---------------------------------------------------------------------------------------
// Loading the settings

TEST_F(ShellTest, savedPageSettingsAreInForceFromTheStartInTheViewAndOnPaper) {
  // Saved by the Paper Size dialog in an earlier run: a pocket page of the paper list,
  // two to a sheet.
  PageSetupValues pocket;
  pocket.comboIndex = 2;
  pocket.twoOnOne = true;
  ASSERT_TRUE(writePageSetup(ini(), pocket));
  // The paper list the program ships beside itself.
  std::filesystem::copy_file(
      QCoreApplication::applicationDirPath().toStdString() + "/pagesize.dat",
      program() / "pagesize.dat");
  for (int i = 0; i < 60; ++i) entries.push_back(person("Pat", "Page" + std::to_string(100 + i)));
  MainFrame& f = start();
  EXPECT_TRUE(prompter.shown().empty());
  const PageGeometry& g = f.appState().geometry;
  EXPECT_TRUE(g.placesPage());
  EXPECT_LT(g.widthFraction, 1.0);
  EXPECT_TRUE(g.twoOnOne);

  f.onCommand(cmd::kPrintPreview);
  const int pages = f.appState().pageCount;
  ASSERT_GT(pages, 2);
  EXPECT_NE(f.pageButton()->text().toStdString().find(", sheet 1 of"), std::string::npos);
  f.setDialogRunner([](QDialog& d) {
    if (auto* all = control<QAbstractButton>(&d, PrintDialog::kAll)) all->click();
    return int(QDialog::Accepted);
  });
  chooser.answer(dir_ / "pocket.pdf");
  f.onCommand(cmd::kPrint);
  EXPECT_EQ(static_cast<int>(pdfPages(dir_ / "pocket.pdf").size()), (pages + 1) / 2);
}

TEST_F(ShellTest, setUpLoadsCustomizeAndTheLanguageAndAsksForABrowserOnlyWhenNoneIsKnown) {
  writeFile(program() / "lang.dat", "[Lang]\n2=Deutsch\n[Deutsch]\nJan=Januar\nNotes=Notizen\n");
  struct Row {
    const char* customize;
    int probes;           // desktop queries for a web browser
    const char* browser;  // the browser path known afterwards
    const char* january;
  };
  const Row rows[] = {
      {"Lang=2\nFormat=1078\nZoom=57\n", 1, "/usr/bin/some-browser", "Januar"},
      {"HasWebBrowser=1\nLang=21\nFormat=1078\nZoom=57\n", 0, "", "January"},  // 21: English
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.customize);
    writeFile(ini(), std::string("[Customize]\n") + r.customize);
    browserProbes = 0;
    MainFrame& f = start();
    EXPECT_EQ(browserProbes, 0);  // the desktop is asked after the first paint
    EXPECT_TRUE(f.webBrowser().found);
    EXPECT_EQ(f.webBrowser().programPath, r.browser);
    EXPECT_EQ(browserProbes, r.probes);
    EXPECT_EQ(f.language().monthName(0), r.january);
    EXPECT_EQ(f.appState().layout, 1078);
    // The zoom goes back as it came, not one percent smaller on every run.
    f.onCommand(cmd::kQuit);
    EXPECT_EQ(Profile(ini(), "Customize").readInt("Zoom", 0), 57);
    frame.reset();
  }
}

// ---------------------------------------------------------------------------------------
// The start address book

TEST_F(ShellTest, startBookThatPassesIsOpened) {
  const auto p = book("mine.adr", "TVXADR_307");
  setMru(0, p.string());
  MainFrame& f = start();
  EXPECT_TRUE(prompter.shown().empty());
  EXPECT_TRUE(f.bookValid());
  EXPECT_EQ(card->opened, std::vector<std::filesystem::path>{p});
  EXPECT_EQ(mru(0), p.string());
}

TEST_F(ShellTest, startBookOfAForeignFormatIsRefusedAndLeavesTheList) {
  const auto p = book("other.txt", "HELLO");
  const auto second = book("second.adr", "TVXADR_307");
  setMru(0, p.string());
  setMru(1, second.string());
  MainFrame& f = start();
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text,
            "Can not open:\n" + p.string() + "\n\nThis is not a valid Mervane file format");
  EXPECT_EQ(prompter.last().caption, "Invalid file format");
  EXPECT_EQ(prompter.last().icon, Icon::Stop);
  EXPECT_FALSE(f.bookValid());
  EXPECT_TRUE(card->opened.empty());
  EXPECT_EQ(mru(0), second.string());  // the failing entry 0 is removed
}

TEST_F(ShellTest, startBookOfTheOldFormatAsksBeforeConverting) {
  struct Row {
    Answer answer;
    bool opens;
    const char* firstWordAfter;
  };
  const Row rows[] = {
      {Answer::Cancel, false, "TVXADR_306"},  // declined: refused, the file left as it was
      {Answer::Ok, true, "TVXADR_307"},       // converted in place, then opened
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.firstWordAfter);
    const auto p = book("old.adr", "TVXADR_306");
    setMru(0, p.string());
    prompter.clear();
    prompter.answer(r.answer);
    card = nullptr;
    MainFrame& f = start();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.last().text.rfind("Old AddressBook Format!\nFile is about to be modified", 0), 0u);
    EXPECT_EQ(prompter.last().caption, "Mervane");
    EXPECT_EQ(prompter.last().buttons, Buttons::OkCancel);
    EXPECT_EQ(f.bookValid(), r.opens);
    EXPECT_EQ(card->opened.size(), r.opens ? 1u : 0u);
    EXPECT_EQ(mru(0), r.opens ? p.string() : "");
    EXPECT_EQ(test::readFile(p).substr(0, 10), r.firstWordAfter);
    frame.reset();
  }
}

TEST_F(ShellTest, withoutARecentBookTheStarterBookBesideTheProgramOpens) {
  // A missing MRU0 and one naming the scratch file of a rewrite both mean "none".
  for (const char* mru0 : {"", "/somewhere/TEMP~ADR.~~"}) {
    SCOPED_TRACE(mru0);
    std::filesystem::remove(ini());
    if (*mru0) setMru(0, mru0);
    writeFile(program() / "address.adr", "TVXADR_307\n\x16\n0\nMain\n\x15  error!\n");
    card = nullptr;
    MainFrame& f = start();
    EXPECT_TRUE(f.bookValid());
    EXPECT_EQ(f.bookPath(), program() / "address.adr");
    EXPECT_EQ(Profile(ini(), "MRU").readInt("Count", 0), 4);
    EXPECT_EQ(mru(0), (program() / "address.adr").string());
    frame.reset();
  }
}

// ---------------------------------------------------------------------------------------
// Recent files

TEST_F(ShellTest, recentFilesSitAboveSaveAndCloseWithTheirOwnNumbers) {
  const auto a = book("a.adr", "TVXADR_307");
  const auto c = book("c.adr", "TVXADR_307");
  setMru(0, a.string());
  setMru(1, "");         // free
  setMru(2, c.string());
  setMru(3, "Default");  // free
  MainFrame& f = start();
  f.updateFileMenu();
  f.updateFileMenu();  // rebuilding does not pile items up
  Items tail;
  const QList<QAction*> actions = f.fileMenu()->actions();
  for (qsizetype i = actions.size() - 6; i < actions.size(); ++i)
    tail.emplace_back(actions[i]->isSeparator() ? 0 : actions[i]->data().toInt(),
                      actions[i]->isSeparator() ? "" : toCp1252(actions[i]->text()));
  const Items expected{{0, ""},
                       {31990, "&1 " + a.string()},
                       {31992, "&3 " + c.string()},  // the gap keeps entry 3's number
                       {0, ""},
                       {24310, "Sa&ve and Close\t[OK]"},
                       {332, "&Quit\t[Cancel]"}};
  EXPECT_EQ(tail, expected);

  f.onCommand(31992);
  EXPECT_EQ(card->opened.back(), c);
  EXPECT_EQ(mru(0), c.string());  // the card window moved it to the top
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(ShellTest, recentFileAsksAboutTheOpenBooksChangesFirst) {
  const auto a = book("a.adr", "TVXADR_307");
  const auto c = book("c.adr", "TVXADR_307");
  setMru(0, a.string());
  setMru(1, c.string());
  MainFrame& f = start();
  const size_t opened = card->opened.size();
  card->allowClose = false;  // the user cancels the changed question
  f.onCommand(31991);
  EXPECT_EQ(card->closeQueries, 1);
  EXPECT_EQ(card->opened.size(), opened);  // the edited book stays open
  EXPECT_TRUE(prompter.shown().empty());   // and the entry is not "lost"
  EXPECT_EQ(mru(1), c.string());
}

TEST_F(ShellTest, recentFileThatCannotBeRecalledIsRemoved) {
  const auto a = book("a.adr", "TVXADR_307");
  setMru(0, a.string());
  setMru(1, (dir_ / "gone.adr").string());
  setMru(2, (dir_ / "temp~adr.~~").string());
  writeFile(dir_ / "temp~adr.~~", "TVXADR_307\n");
  MainFrame& f = start();
  const size_t opened = card->opened.size();

  f.onCommand(31991);  // the file was deleted
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().text, "Could not recall file!");
  EXPECT_EQ(prompter.last().caption, "Mervane");
  EXPECT_EQ(prompter.last().buttons, Buttons::Ok);
  EXPECT_EQ(mru(1), (dir_ / "temp~adr.~~").string());

  f.onCommand(31991);  // now the scratch file of a rewrite: refused though it exists
  EXPECT_EQ(prompter.shown().size(), 2u);
  EXPECT_EQ(mru(1), "");
  EXPECT_EQ(card->opened.size(), opened);
}

// ---------------------------------------------------------------------------------------
// Closing

TEST_F(ShellTest, quitCancelledByTheCardWindowKeepsTheFrame) {
  MainFrame& f = start();
  card->allowClose = false;
  f.onCommand(cmd::kQuit);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(card->closeQueries, 1);
  EXPECT_FALSE(Profile(ini(), "Customize").hasKey("Format"));
}

TEST_F(ShellTest, quitWritesFrameSizeSettingsAndRemovesTheRtfScratch) {
  writeFile(scratchDir() / "tmprtf~.~", "{\\rtf1}");
  MainFrame& f = start();
  f.onCommand(cmd::kNextLayout);  // next layout: 1077, saved as Format
  f.onCommand(cmd::kQuit);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(card->closeQueries, 1);  // asked once, not again by the close itself
  EXPECT_FALSE(std::filesystem::exists(scratchDir() / "tmprtf~.~"));

  const Profile customize(ini(), "Customize");
  EXPECT_EQ(customize.readInt("Format", 0), 1077);
  EXPECT_TRUE(customize.hasKey("FrameSize"));
  // Customize in its order, then Footnote and Heading.
  const std::string text = readFile(ini());
  std::vector<size_t> at;
  for (const char* key : {"FrameSize=", "Card_Maximize_Address=", "HEADING_Y1=", "HookRTF=",
                          "Font=", "Card_Sort=", "[Footnote]", "[Heading]"})
    at.push_back(text.find(key));
  for (size_t i = 1; i < at.size(); ++i) {
    ASSERT_NE(at[i], std::string::npos) << i;
    EXPECT_LT(at[i - 1], at[i]) << i;
  }
  EXPECT_TRUE(Profile(windowsDir() / "quorvel.ini", "Tolvex").hasKey("MVDIR"));
}

TEST_F(ShellTest, saveAndCloseStoresWithoutAsking) {
  MainFrame& f = start();
  f.onCommand(cmd::kSaveAndClose);
  EXPECT_EQ(card->silentSaves, 1);
  EXPECT_FALSE(f.isVisible());
}


TEST_F(ShellTest, layoutCommandsInThePageView) {
  // Label each page on the 3-line layout (10 to a page): A's 30 entries fill pages 1-3,
  // B's 31 pages 4-7, C starts on page 8 and every later letter has a page: 31 pages.
  for (int i = 0; i < 30; ++i) entries.push_back(person("Ann", "A" + std::to_string(i)));
  for (int i = 0; i < 31; ++i) entries.push_back(person("Bob", "B" + std::to_string(i)));
  writeFile(ini(), "[Customize]\nCard_Maximize_Address=1\n");
  MainFrame& f = start();
  f.onCommand(cmd::kPrintPreview);
  struct Row {
    int command;
    int expectedLayout;
    const char* button;
  };
  const Row rows[] = {
      {1080, 1080, "Labels"},
      {64, 1074, "1 Line Address"},    // Next from Labels wraps to the 1-line layout
      {65, 1080, "Labels"},            // Prior from the 1-line layout wraps to Labels
      {1060, 1076, "3 Line Address"},  // a calendar number becomes the 3-line layout
      {1079, 1079, "Envelope"},
      {64, 1074, "1 Line Address"},    // Next from Envelope wraps too
  };
  for (const Row& r : rows) {
    f.onCommand(r.command);
    EXPECT_EQ(f.appState().layout, r.expectedLayout) << r.command;
    EXPECT_EQ(f.layoutButton()->text(), r.button) << r.command;
    EXPECT_EQ(f.viewMode(), MainFrame::ViewMode::PageView);
  }
  f.onCommand(cmd::kLayout3Line);
  const std::pair<int, const char*> steps[] = {
      {11903, "Page 8 of 31"},  // letter C
      {69, "Page 18 of 31"},  {69, "Page 28 of 31"},
      {69, "Page 31 of 31"},  // at most the page count
      {72, "Page 21 of 31"},  {11904, "Page 9 of 31"},  // letter D
      {72, "Page 1 of 31"},   // at least page 1
      {71, "Page 1 of 31"},   {70, "Page 2 of 31"},
  };
  for (const auto& [command, text] : steps) {
    f.onCommand(command);
    EXPECT_EQ(f.pageButton()->text(), text) << command;
    EXPECT_EQ(f.isCommandEnabled(cmd::kNextPage), f.appState().page < 31) << command;
    EXPECT_EQ(f.isCommandEnabled(cmd::kPriorPage), f.appState().page > 1) << command;
  }
}

TEST_F(ShellTest, keyboardAcceleratorsRunTheirCommands) {
  MainFrame& f = start();
  std::map<QString, int> keys;
  for (QAction* a : f.actions())
    if (!a->shortcut().isEmpty()) keys[a->shortcut().toString()] = a->data().toInt();
  EXPECT_EQ(keys, (std::map<QString, int>{{"Num++", 54}, {"Ctrl++", 54}, {"Ctrl+=", 54},
                                           {"Num+-", 55}, {"Ctrl+-", 55}, {"F1", 3002},
                                           {"Alt+F4", 24310}, {"Ctrl+A", 23}, {"Ctrl+L", 32},
                                           {"Ctrl+N", 29}}));
}


TEST_F(ShellTest, savedFramePositionIsUsedWhileOnTheWorkArea) {
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  struct Row {
    std::string saved;
    QPoint expected;
  };
  const Row rows[] = {
      {"-4,-4,0,0", {2, 2}},  // the default
      {"30,40,500,400", {30, 40}},
      {std::to_string(work.width()) + ",40,500,400", {2, 40}},  // off to the right
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(Profile(ini(), "Customize").writeString("FrameSize", r.saved));
    MainFrame& f = start();
    EXPECT_EQ(f.frameGeometry().topLeft(), r.expected) << r.saved;
    frame.reset();
  }
}

}  // namespace
}  // namespace mv::test
