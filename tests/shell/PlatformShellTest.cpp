// The Qt platform pieces the shell relies on: the display check and the help window.
#include "ShellTestSupport.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "installer/ui/TSetup.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Display.h"
#include "platform/ui/HelpWindow.h"
#include "platform/ui/FontChooser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace mv::test {
namespace {

TEST(Display, aWindowNeedsADisplayOrAChosenPlatform) {
  struct Row {
    std::map<std::string, std::string> env;
    bool missing;
  };
  const Row rows[] = {
      {{}, true},                                   // a bare console or a service
      {{{"DISPLAY", ""}}, true},                    // set but empty counts as missing
      {{{"DISPLAY", ":0"}}, false},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, false},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, false},  // headless on purpose
  };
  for (const Row& r : rows) {
    const auto message = missingDisplayMessage([&](const char* name) -> const char* {
      const auto it = r.env.find(name);
      return it == r.env.end() ? nullptr : it->second.c_str();
    });
    EXPECT_EQ(message.has_value(), r.missing);
    if (message) {
      EXPECT_NE(message->find("no display"), std::string::npos);
    }
  }
}

TEST(FontChooser, storedHeightsAreHundredthsOfAnInch) {
  FontSpec fontSpec = parseFontSpec("50,700,1,0,1, 255,0,0, &<<Liberation Serif", "Arial");
  const QFont f = fontOfSpec(fontSpec);
  EXPECT_DOUBLE_EQ(f.pointSizeF(), 36.0);  // half an inch
  EXPECT_TRUE(f.bold());
  EXPECT_TRUE(f.italic());
  EXPECT_TRUE(f.underline());
  EXPECT_FALSE(f.strikeOut());
  FontSpec back;
  back.color = fontSpec.color;
  takeFont(back, f);
  EXPECT_EQ(back, fontSpec);  // the round trip through the dialog's font keeps everything
}

TEST_F(ShellTest, helpCommandsOpenTheirTopics) {
  std::filesystem::create_directories(program() / "help");
  for (const char* topic : {"3", "257", "90"})
    writeFile(program() / "help" / (std::string(topic) + ".html"),
              std::string("<h1>topic ") + topic + "</h1>");
  EXPECT_EQ(helpTopicPath(90), program() / "help" / "90.html");
  EXPECT_EQ(helpTopicPath(4711), program() / "help" / "3.html");  // unknown: the contents

  MainFrame& f = start();
  f.onCommand(cmd::kHelpContent);
  ASSERT_NE(HelpWindow::instance(), nullptr);
  EXPECT_EQ(HelpWindow::instance()->currentContext(), 3);
  EXPECT_TRUE(HelpWindow::instance()->browser()->toPlainText().contains("topic 3"));
  f.onCommand(cmd::kHelpIndex);
  EXPECT_EQ(HelpWindow::instance()->currentContext(), 257);
  EXPECT_TRUE(HelpWindow::instance()->browser()->toPlainText().contains("topic 257"));
  // The contents list every topic, titled by its first heading; choosing one shows it.
  QTreeWidget* contents = HelpWindow::instance()->contents();
  const auto listed = contents->findItems("topic 90", Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_EQ(listed.size(), 1);
  contents->setCurrentItem(listed[0]);
  EXPECT_EQ(HelpWindow::instance()->currentContext(), 90);
  HelpWindow::instance()->search("TOPIC 90");
  EXPECT_TRUE(HelpWindow::instance()->browser()->toHtml().contains("90.html"));
  EXPECT_FALSE(HelpWindow::instance()->browser()->toHtml().contains("257.html"));
  // Following a result shows its topic, also the one shown before the search.
  QTextBrowser* page = HelpWindow::instance()->browser();
  const auto link = QRegularExpression("href=\"([^\"]*90.html)\"").match(page->toHtml());
  ASSERT_TRUE(link.hasMatch());
  page->setSource(QUrl(link.captured(1)));
  EXPECT_TRUE(page->toPlainText().contains("topic 90"));
  EXPECT_EQ(HelpWindow::instance()->currentContext(), 90);
  f.close();  // the help goes with the frame
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(HelpWindow::instance(), nullptr);
}

// The titles of the pages a window's help shows: F1 first, then its Help button (control
// 9) when it has one; "none" when nothing showed.
std::vector<std::string> askForHelp(QWidget& window) {
  std::vector<std::string> titles;
  const auto ask = [&](const std::function<void()>& how) {
    delete HelpWindow::instance();
    window.activateWindow();
    QApplication::processEvents();
    how();
    titles.push_back(HelpWindow::instance()
                         ? HelpWindow::instance()->currentTitle().toStdString()
                         : "none");
  };
  ask([&] { QTest::keyClick(&window, Qt::Key_F1); });
  if (auto* button = control<QAbstractButton>(&window, 9)) ask([button] { button->click(); });
  delete HelpWindow::instance();
  return titles;
}

TEST_F(ShellTest, everyWindowsHelpButtonAndF1OpenItsOwnPage) {
  std::filesystem::copy(MERVANE_HELP_TOPICS, program() / "help");
  constexpr int kSetup = -1, kRemove = -2;  // the installer's window, not the frame's
  struct Row {
    int command;        // opens the window
    const char* title;  // of its page
    bool helpButton;
  };
  const Row rows[] = {
      {cmd::kAddressBook, "The address book window", false},
      {cmd::kPrintPreview, "The page view", false},
      {cmd::kFind, "Finding a name", true},
      {cmd::kAddName, "The address book window", false},  // "Add a new name"
      {cmd::kSendEmail, "Handing addresses to other programs", false},  // the Run dialog
      {cmd::kImport, "Importing a CSV file", true},
      {cmd::kExport, "Exporting an address book", true},
      {cmd::kFindDuplicates, "Finding duplicates", true},
      {cmd::kSynchronize, "Synchronizing with a contacts server", true},
      {cmd::kPrint, "Printing", true},
      {cmd::kPrinterSetup, "Printer Setup", false},
      {cmd::kPaperSize, "Paper size and margins", true},
      {cmd::kPageSettings, "Page options and printing problems", true},
      {cmd::kPrinting, "Page options and printing problems", true},
      {cmd::kHeading, "Page heading and footnote", true},
      {cmd::kMyAddress, "My Address", true},
      {cmd::kFontAndColor, "Fonts and colours", false},
      {cmd::kLabels, "Mailing labels", true},
      {cmd::kEnvelope, "Envelopes", true},
      {kSetup, "Installing and removing Mervane", false},
      {kRemove, "Installing and removing Mervane", false},
  };

  // A saved book with one entry that has an e-mail address, shown on the card.
  MainFrame& f = start(createCardWindow);
  auto* cards = dynamic_cast<TCardFile*>(f.cardWindow());
  ASSERT_NE(cards, nullptr);
  chooser.answer(dir_ / "book.adr");
  f.onCommand(cmd::kNewFile);
  for (auto [field, text] : {std::pair{FieldId::First, "Ann"}, {FieldId::Last, "Lee"},
                             {FieldId::Email, "ann@example.org"}}) {
    QLineEdit* box = cards->card()->box(field);
    box->selectAll();
    box->insert(text);  // as typed: the card counts it as changed
  }
  f.onCommand(cmd::kAddName);
  f.onCommand(cmd::kSave);
  const auto csv = dir_ / "friends.csv";
  writeFile(csv, "First Name,Last Name\nBob,Ray\n");
  f.setDialogRunner([](QDialog& d) { return d.exec(); });

  // Every modal window that comes up is asked for help, then closed.
  std::vector<std::string> titles;
  QTimer asker;
  QObject::connect(&asker, &QTimer::timeout, [&titles] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible()) return;
    const auto seen = askForHelp(*d);
    titles.insert(titles.end(), seen.begin(), seen.end());
    d->reject();
  });
  for (const Row& r : rows) {
    SCOPED_TRACE(r.title);
    titles.clear();
    if (r.command == kSetup || r.command == kRemove) {
      TSetup::Options o;
      o.mode = r.command == kSetup ? TSetup::Mode::Setup : TSetup::Mode::Remove;
      o.prompter = &prompter;
      o.folder = dir_.path();
      o.programRunning = [] { return false; };
      TSetup setup(std::move(o));
      setup.show();
      titles = askForHelp(setup);
    } else if (r.command == cmd::kAddressBook || r.command == cmd::kPrintPreview) {
      f.onCommand(r.command);
      titles = askForHelp(f);
    } else {
      if (r.command == cmd::kImport) chooser.answer(csv, 2);  // the CSV type
      asker.start(10);
      f.onCommand(r.command);
      asker.stop();
    }
    const std::vector<std::string> expected(r.helpButton ? 2 : 1, r.title);
    EXPECT_EQ(titles, expected);
    // The contents page lists it in one of its sections (a page it forgets still shows
    // in the list, but at the end, outside every section).
    HelpWindow* help = HelpWindow::display(kHelpContents);
    const auto listed =
        help->contents()->findItems(r.title, Qt::MatchExactly | Qt::MatchRecursive);
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(),
                            [](const QTreeWidgetItem* item) { return item->parent(); }));
    delete help;
  }
}

TEST_F(ShellTest, popupMenusCheckTheCurrentItem) {
  MainFrame& f = start();
  f.onCommand(cmd::kLayoutDetailed);  // from card mode: selects, then prints
  std::unique_ptr<QMenu> layouts(f.buildPopup(213, &f));
  QStringList checked;
  for (QAction* a : layouts->actions())
    if (a->isChecked()) checked << a->text();
  EXPECT_EQ(checked, QStringList{"Detailed Address"});

  // Several letters starting on the current page: the last of them is checked.
  f.appState().firstPageOfLetter = {1, 1, 1, 2};
  std::unique_ptr<QMenu> letters(f.buildPopup(212, &f));
  checked.clear();
  for (QAction* a : letters->actions())
    if (a->isChecked()) checked << a->text();
  EXPECT_EQ(checked, QStringList{"&C"});
}


// A page view that records the commands it gets.
class FakePageView : public QWidget, public PageViewHost {
 public:
  using QWidget::QWidget;
  bool handlesCommand(int id) const override {
    return commandOwner(id) == CommandOwner::PageView;
  }
  bool onCommand(int id) override {
    commands.push_back(id);
    return true;
  }
  std::optional<bool> isCommandEnabled(int) const override { return std::nullopt; }
  bool hasHandler(int id) const override { return handlesCommand(id); }
  QWidget* widget() override { return this; }
  std::vector<int> commands;
};

// Answers the next modal dialogs as they open: each gets the next of answers.
void answerDialogs(std::vector<std::function<void(QDialog*)>> answers) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  auto pending = std::make_shared<decltype(answers)>(std::move(answers));
  QObject::connect(timer, &QTimer::timeout, [timer, pending] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    pending->front()(dialog);
    pending->erase(pending->begin());
    if (pending->empty()) timer->deleteLater();
  });
  timer->start();
}

class FrameCommandTest : public ShellTest {
 protected:
  MainFrame& startWithPageView() {
    MainFrameOptions o;
    o.prompter = &prompter;
    o.fileChooser = &chooser;
    o.webBrowserProbe = nullptr;
    o.cardWindowFactory = [this](QWidget* parent, ShellServices& s) -> CardWindowHost* {
      return card = new FakeCardWindow(parent, s);
    };
    o.pageViewFactory = [this](QWidget* parent, AppState&, ShellServices&) -> PageViewHost* {
      return view = new FakePageView(parent);
    };
    frame = std::make_unique<MainFrame>(std::move(o));
    frame->setUp();
    frame->show();
    for (int id : {29, 32, 81, 83})
      frame->setCommandHandler(id, [this, id] { handled.push_back(id); });
    return *frame;
  }
  FakePageView* view = nullptr;
  std::vector<int> handled;
};

TEST_F(FrameCommandTest, setUpLayoutLabelsAndEnvelopeFollowTheCurrentLayout) {
  MainFrame& f = startWithPageView();
  struct Row {
    bool pageView;  // the mode the command is given in
    int layout;     // the current layout before it
    int command;
    int handler;    // the handler that runs, 0 none
    MainFrame::ViewMode mode;  // afterwards
    int layoutAfter;
  };
  using M = MainFrame::ViewMode;
  const Row rows[] = {
      {true, 1079, 1001, 29, M::PageView, 1079},  // envelope setup
      {true, 1080, 1001, 32, M::PageView, 1080},  // label setup
      {true, 1076, 1001, 0, M::Card, 1076},       // an address-book layout: the card window
      {true, 1076, 32, 32, M::PageView, 1080},    // in the page view Labels becomes current
      {true, 1076, 29, 29, M::PageView, 1079},
      {false, 1076, 32, 32, M::Card, 1076},       // in card mode only the setup runs
      {true, 1079, 81, 81, M::PageView, 1079},    // envelope fonts: the envelope setup
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.command);
    f.onCommand(r.pageView ? 15 : 23);
    f.appState().layout = r.layout;
    handled.clear();
    f.onCommand(r.command);
    EXPECT_EQ(handled, r.handler ? std::vector<int>{r.handler} : std::vector<int>{});
    EXPECT_EQ(f.viewMode(), r.mode);
    EXPECT_EQ(f.appState().layout, r.layoutAfter);
  }
  EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(FrameCommandTest, refreshReachesThePageViewAndCloseEndsTheFrame) {
  MainFrame& f = startWithPageView();
  f.onCommand(cmd::kPrintPreview);
  view->commands.clear();
  f.onCommand(cmd::kRefreshPageView);
  f.onCommand(cmd::kZoomIn);
  f.onCommand(cmd::kPageSettings);  // page settings: the view is refreshed afterwards
  EXPECT_EQ(view->commands, (std::vector<int>{3000, 54, 3000}));
  EXPECT_EQ(card->commands, std::vector<int>{});

  f.onCommand(cmd::kAbout);
  ASSERT_EQ(prompter.shown().size(), 1u);
  EXPECT_EQ(prompter.last().caption, "About Mervane");
  EXPECT_NE(prompter.last().text.find("Mervane"), std::string::npos);

  f.onCommand(cmd::kCloseMain);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(card->closeQueries, 1);
  EXPECT_TRUE(Profile(ini(), "Customize").hasKey("FrameSize"));
}

TEST_F(FrameCommandTest, fontAndColorStoresTheLabelFontOrThePageFont) {
  MainFrame& f = startWithPageView();
  f.onCommand(cmd::kPrintPreview);
  auto pick = [](QDialog* d) {
    auto* fonts = qobject_cast<QFontDialog*>(d);
    ASSERT_NE(fonts, nullptr);
    QFont font("DejaVu Serif");
    font.setPointSizeF(18);  // 25 hundredths of an inch
    font.setBold(true);
    fonts->setCurrentFont(font);
    d->accept();
  };
  auto red = [](QDialog* d) {
    auto* colors = qobject_cast<QColorDialog*>(d);
    ASSERT_NE(colors, nullptr);
    colors->setCurrentColor(QColor(200, 0, 0));
    d->accept();
  };

  // Labels: the label font of section Font; the page font stays.
  f.onCommand(cmd::kLayoutLabels);
  answerDialogs({pick, red});
  f.onCommand(cmd::kFontAndColor);
  const std::string labels = Profile(ini(), "Font").readString("Labels", "", 100);
  EXPECT_EQ(labels, "25,700,0,0,0, 200,0,0, &<<DejaVu Serif");
  EXPECT_EQ(f.customize().font, "Arial");
  EXPECT_EQ(f.customize().baseColor, (Rgb{0, 0, 0}));

  // Any other layout: the page font and colour, written back at exit.
  f.onCommand(cmd::kLayout5Line);
  answerDialogs({pick, red});
  f.onCommand(cmd::kFontAndColor);
  EXPECT_EQ(f.customize().font, "DejaVu Serif");
  EXPECT_EQ(f.customize().baseColor, (Rgb{200, 0, 0}));
  EXPECT_EQ(Profile(ini(), "Font").readString("Labels", "", 100), labels);

  // Cancel in the font dialog changes nothing.
  answerDialogs({[](QDialog* d) { d->reject(); }});
  f.onCommand(cmd::kFontAndColor);
  EXPECT_EQ(f.customize().font, "DejaVu Serif");

  f.onCommand(cmd::kQuit);
  const Profile customize(ini(), "Customize");
  EXPECT_EQ(customize.readString("Font", "", 30), "DejaVu Serif");
  EXPECT_EQ(customize.readString("BaseColor", "", 50), "200,0,0");
}

}  // namespace
}  // namespace mv::test
