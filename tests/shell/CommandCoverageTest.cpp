// Every command of the command table, in the frame with the real card window: the window
// the table names has a handler for it, and where it is enabled it does something a user
// can see.
#include "ShellTestSupport.h"

#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/TCardFile.h"
#include "cardwindow/ui/SummaryView.h"
#include "platform/ui/Controls.h"
#include "platform/Cp1252.h"
#include "platform/ui/HelpWindow.h"
#include "shell/CommandTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <set>
#include <sstream>

namespace mv::test {
namespace {

// Posted only, never shown to the user.
const std::set<int> kInternal{cmd::kRefreshPageView, cmd::kCloseMain, cmd::kSetUpLayout};

class CommandCoverage : public ShellTest {
 protected:
  // SecondSetEmail: a name selected with E-mail' in the shared editor ("&Connect" on).
  enum class State { NameSelected, GroupSelected, LinkPage, PageView, SecondSetEmail };
  static constexpr State kStates[] = {State::NameSelected, State::GroupSelected,
                                      State::LinkPage, State::PageView,
                                      State::SecondSetEmail};

  void SetUp() override {
    ShellTest::SetUp();
    // A book with two names in two groups, made and saved by the card window itself.
    MainFrame& f = startReal();
    chooser.answer(dir_ / "book.adr");
    f.onCommand(cmd::kNewFile);
    addPerson("Ann", "Lee", "Friends");
    addPerson("Bob", "Ray", "Main");
    f.onCommand(cmd::kSave);
    frame.reset();
    setMru(0, (dir_ / "book.adr").string());
    const auto other = book("other.adr", "TVXADR_307");
    setMru(1, other.string());
  }

  MainFrame& startReal() {
    MainFrameOptions o;
    o.prompter = &prompter;
    o.fileChooser = &chooser;
    o.webBrowserProbe = [] { return BrowserProbe{true, "/usr/bin/some-browser"}; };
    o.cardWindowFactory = createCardWindow;
    o.printerFactory = [] { return makePdfPrinter(); };
    frame = std::make_unique<MainFrame>(std::move(o));
    frame->setUp();
    frame->show();
    window()->setDialogRunner([this](QDialog& d) {
      interrupted = true;  // a dialog of the card window was shown
      return script ? script(d) : int(QDialog::Rejected);
    });
    return *frame;
  }
  TCardFile* window() const { return dynamic_cast<TCardFile*>(frame->cardWindow()); }
  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
  void addPerson(const QString& first, const QString& last, const QString& group) {
    window()->onCommand(cmd::kClearCard);
    for (auto [f, text] : {std::pair{FieldId::First, first}, {FieldId::Last, last},
                           {FieldId::Group, group}}) {
      QLineEdit* box = window()->card()->box(f);
      box->selectAll();
      box->insert(text);
    }
    window()->onCommand(cmd::kAddName);
    settle();
  }

  MainFrame& arrange(State state) {
    frame.reset();
    prompter.clear();
    MainFrame& f = startReal();
    window()->session().select(window()->session().names().findNameInGroup(1, "Ann Lee "));
    settle();
    // Pages to move between, the letter menu on, a search to repeat.
    AppState& app = f.appState();
    app.pageCount = 30;
    app.page = 5;
    app.labelEachPage = true;
    app.firstPageOfLetter.fill(1);
    app.zoom = 0.7;  // every zoom command changes it
    script = [](QDialog& d) {
      if (auto* text = control<QLineEdit>(&d, 101)) text->setText("Lee");
      return int(QDialog::Accepted);
    };
    window()->onCommand(cmd::kFind);
    script = nullptr;
    if (state == State::GroupSelected) window()->session().select({1, -1});
    if (state == State::LinkPage) window()->setPage(TCardFile::LinkPage);
    if (state == State::PageView) f.onCommand(cmd::kPrintPreview);
    if (state == State::SecondSetEmail) window()->onCommand(cmd::kSecondSetFirst + 2);
    settle();
    QApplication::clipboard()->setText("before");
    return f;
  }

  // Everything a user could see change.
  std::string snapshot() {
    std::ostringstream out;
    MainFrame& f = *frame;
    out << prompter.shown().size() << '|' << chooser.requests().size() << '|'
        << f.isVisible() << int(f.viewMode()) << f.toolBar()->isVisible() << '|'
        << f.appState().layout << '/' << f.appState().page << '/' << f.appState().zoom << '|'
        << f.windowTitle().toStdString() << '|'
        << QApplication::clipboard()->text().toStdString() << '|'
        << (HelpWindow::instance() && HelpWindow::instance()->isVisible()) << '|';
    std::error_code ec;
    const auto book = dir_ / "book.adr";
    out << std::filesystem::file_size(book, ec) << '@'
        << std::filesystem::last_write_time(book, ec).time_since_epoch().count() << '|';
    if (TCardFile* w = window()) {
      const EntryRef sel = w->session().selection();
      out << sel.group << ',' << sel.name << '|' << w->session().card().secondSetField()
          << '|' << w->card()->box(FieldId::First)->text().toStdString() << '|'
          << w->page() << '|' << w->session().book().cardSort() << '|'
          << w->session().names().count() << '|' << (w->azPopup() != nullptr);
    }
    return out.str();
  }

  // Runs a command as the frame routes it; true when something a user sees changed or
  // a dialog, menu or pop-up came up.
  bool runAndObserve(int id) {
    const std::string before = snapshot();
    interrupted = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [this] {
      QWidget* w = QApplication::activePopupWidget();
      if (!w) w = QApplication::activeModalWidget();
      if (w) {
        interrupted = true;
        w->close();
      }
    });
    closer.start(5);
    frame->onCommand(id);
    settle();
    closer.stop();
    const bool changed = interrupted || !frame->isVisible() || snapshot() != before;
    if (HelpWindow* help = HelpWindow::instance()) help->close();
    return changed;
  }

  // The command ids on a menu and its submenus that are not enabled.
  static void collect(const QMenu& menu, std::map<int, bool>& enabled) {
    for (QAction* a : menu.actions()) {
      if (a->menu()) collect(*a->menu(), enabled);
      if (!a->isSeparator() && a->data().isValid()) enabled[a->data().toInt()] = a->isEnabled();
    }
  }

  std::function<int(QDialog&)> script;
  bool interrupted = false;
};

TEST_F(CommandCoverage, everyCommandIsEnabledSomewhereAndThereDoesSomething) {
  for (const CommandInfo& c : commandTable()) {
    const int id = c.id;
    if (kInternal.count(id)) continue;
    SCOPED_TRACE("command " + std::to_string(id));
    bool enabled = false, observed = false;
    for (State state : kStates) {
      MainFrame& f = arrange(state);
      if (!f.isCommandEnabled(id)) continue;
      enabled = true;
      if ((observed = runAndObserve(id))) break;
    }
    EXPECT_TRUE(enabled) << "never enabled";
    EXPECT_TRUE(observed) << "enabled, yet nothing happened";
  }
}

TEST_F(CommandCoverage, everyCommandOfAMenuOrTheToolbarHasAHandlerInTheWindowThatOwnsIt) {
  MainFrame& f = arrange(State::NameSelected);
  std::vector<int> shown;
  for (int resource : {1, 208, 212, 213})
    for (const MenuDef& menu : menuResource(resource))
      for (const MenuItem& item : menu.items)
        if (item.id != 0) shown.push_back(item.id);
  for (const Gadget& g : toolbarGadgets())
    if (g.command != 0) shown.push_back(g.command);
  for (const Accelerator& a : acceleratorTable()) shown.push_back(a.command);
  // The card window's own buttons and menus carry the rest of its rows.
  for (const CommandInfo& c : commandTable())
    if (c.owner == CommandOwner::CardWindow) shown.push_back(c.id);
  for (int id : shown) {
    SCOPED_TRACE("command " + std::to_string(id));
    ASSERT_NE(findCommand(id), nullptr) << "no row in the command table";
    EXPECT_TRUE(f.hasHandler(id)) << "no handler in the window that owns it";
  }
}

TEST_F(CommandCoverage, theLinkPageSendsTheCommandOfTheLinkClicked) {
  MainFrame& f = arrange(State::NameSelected);
  static_cast<void>(f);
  TCardFile* w = window();
  w->card()->box(FieldId::Email)->setText("ann@example.org");
  w->session().card().type(FieldId::Email, "ann@example.org");
  w->setPage(TCardFile::LinkPage);
  SummaryView* view = w->summaryView();
  std::vector<int> sent;
  QObject::connect(view, &SummaryView::commandRequested, [&sent](int id) { sent.push_back(id); });
  const qsizetype link = view->toPlainText().indexOf("example");
  ASSERT_GE(link, 0);
  view->clickCharacter(static_cast<int>(link));
  EXPECT_EQ(sent, std::vector<int>{cmd::kSendEmail});
}

}  // namespace
}  // namespace mv::test
