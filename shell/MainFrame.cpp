#include "shell/MainFrame.h"

#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "platform/ui/HelpWindow.h"
#include "printing/LayoutCatalogue.h"
#include "printing/PageTable.h"
#include "printing/ui/PageView.h"
#include "settings/SettingsFiles.h"
#include "shell/CommandTable.h"
#include "shell/FramePlacement.h"
#include "shell/ToolbarIcons.h"
#include "store/Book.h"
#include "store/BookValidation.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace mv {
namespace {



}  // namespace

MainFrame::MainFrame(MainFrameOptions options, QWidget* parent)
    : QMainWindow(parent),
      runMode_(options.runMode),
      prompter_(options.prompter),
      folderChooser_(*options.fileChooser, mervaneIni()),
      fileChooser_(&folderChooser_),
      cardFactory_(std::move(options.cardWindowFactory)),
      startBook_(std::move(options.startBook)),
      pageViewFactory_(std::move(options.pageViewFactory)),
      browserProbe_(std::move(options.webBrowserProbe)),
      dialerProbe_(std::move(options.dialerProbe)),
      session_(mervaneIni()),
      dialogs_(std::make_unique<SetupDialogs>(*this, session_, *options.prompter,
                                              folderChooser_,
                                              std::move(options.printerFactory))) {
  setObjectName("MainFrame");
  setAccessibleName("Mervane");
  setWindowTitle("Mervane");
  setWindowIcon(toolbarIcon(cmd::kClosePreview));

  central_ = new QWidget(this);
  centralLayout_ = new QVBoxLayout(central_);
  centralLayout_->setContentsMargins(0, 0, 0, 0);
  centralLayout_->setSpacing(0);
  setCentralWidget(central_);

  // The saved position; the size follows from the card window and the page view.
  const FrameRect saved = parseFrameSize(readCustomize(mervaneIni()).frameSize);
  QRect work(0, 0, 1024, 768);
  if (QScreen* screen = QGuiApplication::primaryScreen()) work = screen->availableGeometry();
  const FramePoint pos = framePosition(saved.left, saved.top, work.width(), work.height());
  move(pos.left, pos.top);  // saved positions are desktop coordinates, as written

  CommandBarHooks hooks;
  hooks.run = [this](int id) { onCommand(id); };
  hooks.enabled = [this](int id) { return isCommandEnabled(id); };
  hooks.checked = [this](int id) {
    return mode_ == ViewMode::PageView && id == session_.state().layout;
  };
  hooks.viewKind = [this] { return session_.state().viewKind; };
  hooks.recentItems = [this] {
    RecentFiles* recent = session_.recentFiles();
    return recent ? recent->menuItems() : std::vector<std::pair<int, std::string>>{};
  };
  bars_ = new CommandBars(*this, std::move(hooks));
  updateToolbarTexts();
  statusBar()->setObjectName("statusBar");

  if (options.bookRecords) session_.setEntriesSource(std::move(options.bookRecords));
  session_.listen([this](SessionChange change) { followSession(change); });
  services_.appSession = &session_;
  services_.prompter = prompter_;
  services_.fileChooser = fileChooser_;
  services_.settingsFile = mervaneIni();
  services_.addRecentFile = [this](const std::filesystem::path& p) {
    // The card window calls this whenever its book changes (open, new, the imports, save
    // as); the session reads the pages again and the views follow. A recent list that
    // cannot be written is said once, with the other settings, at exit.
    bookValid_ = true;
    // The page view reads the pages whenever it comes up; in card mode they wait for it,
    // so the start (and every Open) reads the book once, not twice.
    if (!session_.bookOpened(p, mode_ == ViewMode::PageView)) settingsSaved_ = false;
  };
  // Titles name the book's file, so they come as path text (UTF-8), not Windows-1252.
  services_.setFrameTitle = [this](const std::string& t) {
    setTitleText(QString::fromStdString(t));
  };
  services_.cardSort = [this] { return session_.customize().cardSort; };
  services_.setCardSort = [this](int s) { session_.customize().cardSort = s; };
  services_.postCommand = [this](int id) {
    QTimer::singleShot(0, this, [this, id] { onCommand(id); });
  };
  services_.showHelp = [](int context) { HelpWindow::display(context); };
  services_.showStatus = [this](const std::string& text) {
    statusBar()->showMessage(fromCp1252(text));
  };
  // Until the desktop has been asked (after the first paint), a dialer counts as present
  // and no browser as found; launching asks at once when it has not been asked yet.
  services_.browserFound = [this] { return browser_.found; };
  // Numbers go to the desktop as tel: links, with a copy on the clipboard.
  services_.dialerPresent = [this] { return dialerPresent_; };
  services_.browserPath = [this] { return webBrowser().programPath; };
  services_.launchChoice = [this](std::string_view key) {
    const int* choice = hookChoice(session_.customize(), key);
    return choice ? *choice : 1;
  };
  services_.setLaunchChoice = [this](std::string_view key, int choice) {
    if (int* held = hookChoice(session_.customize(), key)) *held = choice;
  };

  PageViewHost* view =
      pageViewFactory_ ? pageViewFactory_(central_, session_.state(), services_) : nullptr;
  if (!view)
    view = new PageView(central_, session_.state(), services_,
                        {[this] { return session_.currentJob(); },
                         [this](QWidget* parent) { return buildPopup(menus::kLayouts, parent); }});
  pageView_ = view;
  pageView_->widget()->hide();
  centralLayout_->addWidget(pageView_->widget());
  registerCommands();
}

MainFrame::~MainFrame() = default;

void MainFrame::probeDesktop() {
  desktopProbed_ = true;
  if (dialerProbe_) dialerPresent_ = dialerProbe_();
  if (session_.customize().hasWebBrowser)
    browser_ = BrowserProbe{true, {}};
  else if (browserProbe_)
    browser_ = browserProbe_();
}

const BrowserProbe& MainFrame::webBrowser() {
  if (!desktopProbed_) probeDesktop();
  return browser_;
}

void MainFrame::setUp() {
  const std::filesystem::path ini = mervaneIni();
  // Load the settings: the recent-files list (it writes its capacity), then Customize,
  // heading and footnote and the saved page settings, which are in force from now on;
  // then the start book and the language table.
  session_.useRecentFiles();
  session_.loadSettings(*prompter_);

  // A book handed on the command line that is no book says so and gives way to the
  // recent one.
  if (!startBook_.empty() && checkBookFile(startBook_, *prompter_) != BookCheck::Refused) {
    session_.setBookPath(startBook_);
    bookValid_ = true;
  } else {
    session_.setBookPath(pathFromText(startBookPath(ini, programDir())));
    bookValid_ = checkBookFile(session_.bookPath(), *prompter_) != BookCheck::Refused;
    if (!bookValid_) session_.recentFiles()->removeAt(0);
  }

  lang_ = LangTable::load(langDat(), session_.customize().lang);
  // Asking the desktop runs xdg-mime, a shell script that takes tens of milliseconds on a
  // real desktop, twice: it waits until the window is on screen.
  desktopProbed_ = false;
  QTimer::singleShot(0, this, [this] {
    if (desktopProbed_) return;
    probeDesktop();
    updateCommandStates();
  });

  if (runMode_ == RunMode::FirstRun) runMode_ = RunMode::Normal;
  setUpDone_ = true;

  // Without a card window (a frame under test) the card-window commands are disabled.
  card_ = cardFactory_ ? cardFactory_(central_, services_) : nullptr;
  if (card_) centralLayout_->insertWidget(0, card_->widget());
  if (bookValid_ && (!card_ || !card_->openBook(session_.bookPath()))) bookValid_ = false;
  showCardWindow();
}

// ---------------------------------------------------------------------------------------
// Menus, toolbar and title

void MainFrame::updateToolbarTexts() {
  const AppState& state = session_.state();
  bars_->setButtonTexts(pageIndicator(state), std::string(layoutShortNameOfCommand(state.layout)),
                        std::string(layoutLongNameOfCommand(state.layout)));
}

void MainFrame::updateCommandStates() { bars_->updateStates(); }

void MainFrame::updateFileMenu() { bars_->updateFileMenu(); }

QAction* MainFrame::menuAction(int id) const { return bars_->menuAction(id); }

void MainFrame::setTitleText(const QString& title) {
  setWindowTitle(title);
  bars_->setTitle(title);
}

int MainFrame::checkedItem(int resource) const {
  const AppState& state = session_.state();
  if (resource == menus::kLayouts) return state.layout;
  const int letter = letterOfCurrentPage(state);
  return letter < 0 ? -1 : cmd::kFirstLetter + letter;
}

QMenu* MainFrame::buildPopup(int resource, QWidget* parent) {
  return bars_->buildPopup(resource, parent, checkedItem(resource));
}

// ---------------------------------------------------------------------------------------
// Recent files

void MainFrame::openRecent(int id) {
  if (!session_.recentFiles()) return;
  const int index = id - RecentFiles::kFirstMenuId;
  const std::optional<std::string> path = session_.recentFiles()->pathOfMenuId(id);
  // The open book's unsaved changes are asked about first; Cancel leaves everything,
  // the entry included, as it was.
  if (card_ && !card_->canClose()) return;
  bool opened = false;
  // The scratch file of a rewrite is never a book to reopen.
  if (path && !RecentFiles::isFree(*path) && isPresent(*path) && !namesRewriteScratch(*path) &&
      card_) {
    const std::filesystem::path p = pathFromText(*path);
    // The card window reports the opened book through addRecentFile, which keeps the
    // frame's path.
    opened = checkBookFile(p, *prompter_) != BookCheck::Refused && card_->openBook(p);
  }
  if (!opened) {
    session_.recentFiles()->removeAt(index);
    prompter_->ask(Message{"Could not recall file!", kAppCaption, Icon::None, Buttons::Ok});
  }
}

// ---------------------------------------------------------------------------------------
// View modes

QSize MainFrame::cardModeSize() const {
  QSize card(640, 420);
  if (card_) {
    QWidget* w = card_->widget();
    card = w->minimumSize() == w->maximumSize() ? w->minimumSize() : w->sizeHint();
    if (!card.isValid()) card = w->size();
  }
  // The frame hugs the card window: its width, its height plus menu bar and status bar.
  return {card.width(),
          menuBar()->sizeHint().height() + card.height() + statusBar()->sizeHint().height()};
}

void MainFrame::setToolbarVisible(bool visible) { bars_->toolBar()->setVisible(visible); }

void MainFrame::showCardWindow() {
  // Leaving the page view hides the toolbar; if the user hid it there, it stays hidden.
  if (mode_ == ViewMode::PageView) setToolbarVisible(false);
  mode_ = ViewMode::Card;
  bars_->setMenuResource(menus::kCardMode);
  pageView_->widget()->hide();
  if (card_) card_->widget()->show();
  // The first time the frame hugs the card window; after that it keeps the size the user
  // gave it, whichever view shows.
  setMinimumSize(320, 240);
  if (!sizeGiven_) {
    resize(cardModeSize());
    sizeGiven_ = true;
  }
  updateCommandStates();
}

void MainFrame::showPageView() {
  if (card_) card_->widget()->hide();
  if (mode_ == ViewMode::Card) setToolbarVisible(true);
  mode_ = ViewMode::PageView;
  AppState& state = session_.state();
  state.layout = normalizeLayoutCommand(state.layout);
  state.page = 1;
  recountPages(true);
  setTitleText(QStringLiteral("Mervane - %1")
                   .arg(QString::fromStdString(pathText(session_.bookPath()))));
  updateToolbarTexts();
  bars_->setMenuResource(menus::kPageViewMode);
  bars_->refreshStatusTips();
  pageView_->widget()->show();
  pageView_->widget()->setFocus(Qt::OtherFocusReason);  // its keys turn pages and zoom
  refreshPageView();
  updateCommandStates();
}

void MainFrame::selectLayout(int command) { session_.selectLayout(command); }

void MainFrame::goToPage(int page) {
  AppState& state = session_.state();
  state.page = clampPage(page, state.pageCount);
  updateToolbarTexts();
  refreshPageView();
}

void MainFrame::refreshPageView() {
  updateToolbarTexts();
  if (mode_ == ViewMode::PageView) pageView_->onCommand(cmd::kRefreshPageView);
}

void MainFrame::reportUnreadable() {
  // Said once for the load, not on every page drawn from it.
  const int unreadable = static_cast<int>(session_.pages().unreadable().size());
  if (unreadable > 0)
    statusBar()->showMessage(
        fromCp1252(unreadableEntriesMessage(unreadable, session_.state().layout)));
}

void MainFrame::recountPages(bool reloadBook) {
  if (reloadBook) {
    (void)session_.reloadPages();
    reportUnreadable();
  } else {
    session_.recount();
  }
  updateToolbarTexts();
}

void MainFrame::followSession(SessionChange change) {
  if (change == SessionChange::Book) {
    reportUnreadable();
    // The page view names the book it shows.
    if (mode_ == ViewMode::PageView)
      setTitleText(QStringLiteral("Mervane - %1")
                       .arg(QString::fromStdString(pathText(session_.bookPath()))));
  }
  refreshPageView();
  if (isVisible()) updateCommandStates();
}

void MainFrame::bringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainFrame::openHandedBook(const std::filesystem::path& path) {
  if (!setUpDone_ || !card_) return;
  if (!card_->canClose()) return;
  // The card window reports the opened book through addRecentFile.
  if (checkBookFile(path, *prompter_) != BookCheck::Refused) (void)card_->openBook(path);
}

// ---------------------------------------------------------------------------------------
// Commands

void MainFrame::setCommandHandler(int id, std::function<void()> handler) {
  handlers_[id] = std::move(handler);
}

bool MainFrame::runHandlerOr(int id, const std::function<bool()>& own) {
  if (!handlers_.count(id)) return own();
  runHandler(id);
  return true;
}

void MainFrame::runHandler(int id) {
  if (auto it = handlers_.find(id); it != handlers_.end() && it->second) it->second();
}

CommandTarget* MainFrame::targetOf(int id) const {
  if (card_ && card_->handlesCommand(id)) return card_;
  if (pageView_ && pageView_->handlesCommand(id)) return pageView_;
  return nullptr;
}

QPrinter* MainFrame::printer() { return dialogs_->printer(); }

void MainFrame::setDialogRunner(DialogRunner runner) { dialogs_->setDialogRunner(std::move(runner)); }

bool MainFrame::printerReady() { return dialogs_->printerReady(); }

bool MainFrame::isCommandEnabled(int id) {
  if (const CommandTarget* target = targetOf(id))
    return target->isCommandEnabled(id).value_or(true);
  if (commandOwner(id) != CommandOwner::Frame) return false;  // its window is not there
  return commands_.enabled(id).value_or(true);
}

bool MainFrame::hasHandler(int id) const {
  switch (commandOwner(id)) {
    case CommandOwner::CardWindow: return card_ && card_->hasHandler(id);
    case CommandOwner::PageView: return pageView_ && pageView_->hasHandler(id);
    case CommandOwner::Frame: break;
  }
  return commands_.handles(id);
}

bool MainFrame::onCommand(int id) {
  bool handled = true;
  if (CommandTarget* target = targetOf(id)) {
    handled = target->onCommand(id);
  } else if (commandOwner(id) != CommandOwner::Frame) {
    handled = false;  // its window is not there
  } else {
    handled = commands_.run(id);
  }
  if (isVisible()) updateCommandStates();
  return handled;
}

void MainFrame::registerCommands() {
  CommandHandlers& c = commands_;
  const auto always = [] { return true; };
  const auto pageForward = [this] { return setUpDone_ && canPageForward(session_.state()); };
  const auto pageBack = [this] { return setUpDone_ && canPageBack(session_.state()); };
  // Every layout number; those of the menu also print from card mode, which switches to
  // the page view.
  c.addRun(
      kLayoutCommandBase, kLayoutCommandBase + 27,
      [this](int id) {
        selectLayout(id);
        if (id >= kFirstDrawnLayout && id <= kLastDrawnLayout && mode_ == ViewMode::Card)
          print();
      },
      CommandHandlers::always);
  c.add(
      cmd::kRefreshPageView,
      [this] {
        recountPages(true);
        refreshPageView();
      },
      always);
  c.addRun(
      cmd::kFirstRecent, cmd::kLastRecent, [this](int id) { openRecent(id); },
      CommandHandlers::always);
  c.addRun(
      cmd::kFirstLetter, cmd::kLastLetter,
      [this](int id) { goToPage(letterPage(session_.state(), id - cmd::kFirstLetter)); },
      CommandHandlers::always);
  c.add(cmd::kPrintPreview, [this] { showPageView(); }, always);
  for (int id : {cmd::kAddressBook, cmd::kClosePreview})
    c.add(id, [this] { showCardWindow(); }, always);
  c.add(
      cmd::kSetUpLayout,
      [this] {
        const int layout = session_.state().layout;
        if (layout == kEnvelopeLayout)
          onCommand(cmd::kEnvelope);
        else if (layout == kLabelsLayout)
          onCommand(cmd::kLabels);
        else
          showCardWindow();
      },
      always);
  c.add(cmd::kToolbar, [this] { setToolbarVisible(!bars_->toolBar()->isVisible()); }, always);
  c.add(cmd::kPrint, [this] { print(); }, [this] { return dialogs_->printerNotMissing(); });
  // The frame's dialogs of page settings; a test's handler may stand in for each.
  const auto pageDialog = [this](int id, std::function<void()> own, bool reload) {
    return [this, id, own = std::move(own), reload] {
      (void)runHandlerOr(id, [&own] {
        own();
        return true;
      });
      recountPages(reload);
      refreshPageView();
    };
  };
  c.add(cmd::kPaperSize, pageDialog(cmd::kPaperSize, [this] { dialogs_->paperSize(); }, false), always);
  c.add(cmd::kPrinterSetup, pageDialog(cmd::kPrinterSetup, [this] { dialogs_->printerSetup(); }, false),
        [this] { return dialogs_->printerNotMissing(); });
  for (int id : {cmd::kHeading, cmd::kFootnote})
    c.add(id, pageDialog(id, [this, id] { dialogs_->pageText(id == cmd::kFootnote); }, false),
          always);
  c.add(cmd::kPageSettings, pageDialog(cmd::kPageSettings, [this] { dialogs_->pageOptions(); }, true),
        always);
  c.add(
      cmd::kMyAddress,
      [this] {
        (void)runHandlerOr(cmd::kMyAddress, [this] {
          dialogs_->myAddress();
          return true;
        });
      },
      always);
  c.add(
      cmd::kLabels,
      [this] {
        if (runHandlerOr(cmd::kLabels, [this] { return labelSetup(); }) &&
            mode_ == ViewMode::PageView) {
          recountPages(true);  // the marks may have changed
          selectLayout(kLabelsLayout);
        }
      },
      always);
  c.add(
      cmd::kEnvelope,
      [this] {
        if (runHandlerOr(cmd::kEnvelope, [this] { return dialogs_->envelope(false); }) &&
            mode_ == ViewMode::PageView)
          selectLayout(kEnvelopeLayout);
      },
      always);
  c.add(
      cmd::kPrinting,
      [this] {
        if (dialogs_->printingProblems()) selectLayout(session_.state().layout);
      },
      always);
  c.add(cmd::kFontAndColor, [this] { fontAndColor(); }, always);
  c.add(cmd::kHelpContent, [] { HelpWindow::display(kHelpContents); }, always);
  c.add(cmd::kHelpIndex, [] { HelpWindow::display(kHelpKeySearch); }, always);
  c.add(
      cmd::kHelpOnView,
      [this] {
        if (mode_ == ViewMode::PageView)
          HelpWindow::display(PageView::kHelpContext);
        else if (card_)
          card_->onCommand(cmd::kHelp);  // the card window knows its topic
        else
          HelpWindow::display(kHelpContents);
      },
      always);
  c.add(
      cmd::kAbout,
      [this] {
        prompter_->ask(Message{"Mervane " + std::string(MERVANE_VERSION) +
                                   "\n\nAn address book that prints address-book pages, "
                                   "mailing labels and envelopes.",
                               "About Mervane", Icon::Information, Buttons::Ok});
      },
      always);
  c.add(
      cmd::kNextLayout,
      [this] { selectLayout(nextLayoutCommand(session_.state().layout)); }, always);
  c.add(
      cmd::kPriorLayout,
      [this] { selectLayout(priorLayoutCommand(session_.state().layout)); }, always);
  c.add(cmd::kNextPage, [this] { goToPage(session_.state().page + 1); }, pageForward);
  c.add(cmd::kPriorPage, [this] { goToPage(session_.state().page - 1); }, pageBack);
  const auto skip = [this](int pages) {
    return [this, pages] {
      goToPage(session_.state().page + pages);
      recountPages(true);
      refreshPageView();
    };
  };
  c.add(cmd::kSkipForward, skip(kSkipPages), pageForward);
  c.add(cmd::kSkipBack, skip(-kSkipPages), pageBack);
  c.add(
      cmd::kLayoutButton,
      [this] { bars_->popUp(menus::kLayouts, bars_->layoutButton(), checkedItem(menus::kLayouts)); }, always);
  const auto lettersAllowed = [this] {
    return setUpDone_ && letterPopupAllowed(session_.state());
  };
  c.add(
      cmd::kPageButton,
      [this, lettersAllowed] {
        if (lettersAllowed()) bars_->popUp(menus::kLetters, bars_->pageButton(), checkedItem(menus::kLetters));
      },
      lettersAllowed);
  c.add(
      cmd::kSaveAndClose,
      [this] {
        if (card_) card_->saveWithoutAsking();
        close();
      },
      always);
  c.add(
      cmd::kQuit,
      [this] {
        if (card_ && !card_->canClose()) return;
        closeAsked_ = true;
        if (!close()) closeAsked_ = false;
      },
      always);
  c.add(cmd::kCloseMain, [this] { close(); }, always);
}

void MainFrame::print() {
  if (!printerReady()) {
    prompter_->ask(Message{"Printer is not ready!", kAppCaption, Icon::None, Buttons::Ok});
    return;
  }
  AppState& state = session_.state();
  if (mode_ == ViewMode::Card) {
    const int selected = state.layout == kEnvelopeLayout && card_ ? card_->selectedEntryIndex() : -1;
    showPageView();
    if (selected >= 0) {
      // The envelope of the selected name only.
      startAtEntry(state, selected);
      updateToolbarTexts();
      refreshPageView();
    }
  }
  openPrintRange(state);
  if (const std::optional<QString> printed = dialogs_->print([this] { printDialogPaperSize(); }))
    statusBar()->showMessage(*printed);
  state.secondPass = false;
  resetPrintRange(state);
  refreshPageView();
}

void MainFrame::printDialogPaperSize() {
  const int layout = session_.state().layout;
  if (layout == kLabelsLayout) {
    (void)runHandlerOr(cmd::kLabels, [this] { return labelSetup(); });
    recountPages(true);
  } else if (layout == kEnvelopeLayout) {
    (void)runHandlerOr(cmd::kEnvelope, [this] { return dialogs_->envelope(false); });
  } else {
    dialogs_->paperSize();
  }
  QTimer::singleShot(0, this, [this] { onCommand(cmd::kRefreshPageView); });
}

bool MainFrame::labelSetup() { return dialogs_->labels(bookValid_ ? session_.book() : nullptr); }

void MainFrame::fontAndColor() {
  const int layout = session_.state().layout;
  if (layout == kEnvelopeLayout) {
    // The envelope setup, opened on its font page.
    (void)runHandlerOr(cmd::kFontAndColor, [this] { return dialogs_->envelope(true); });
    if (mode_ == ViewMode::PageView) selectLayout(kEnvelopeLayout);
    return;
  }
  bool notSaved = false;
  if (!dialogs_->fontAndColor(layout == kLabelsLayout, notSaved)) return;
  if (notSaved) reportSettingsNotSaved();
  refreshPageView();
}

// ---------------------------------------------------------------------------------------
// Closing

void MainFrame::closeEvent(QCloseEvent* event) {
  // Quit has asked the card window already; every other way of closing asks here.
  const bool asked = closeAsked_;
  closeAsked_ = false;
  if (!asked && card_ && !card_->canClose()) {
    event->ignore();
    return;
  }
  if (runMode_ == RunMode::Normal && setUpDone_) {
    const QRect r = frameGeometry();
    if (!writeFrameSize(mervaneIni(), FrameRect{r.left(), r.top(), r.width(), r.height()}))
      settingsSaved_ = false;
  }
  hide();
  shutDown();
  event->accept();
}

void MainFrame::shutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (HelpWindow* help = HelpWindow::instance()) help->close();
  std::error_code ec;
  std::filesystem::remove(scratchDir() / kSummaryScratchName, ec);
  if (runMode_ == RunMode::Normal && setUpDone_) {
    session_.customize().format = session_.state().layout;
    session_.customize().zoom = session_.state().zoom;
    session_.customize().cardMaximizeAddress = session_.state().labelEachPage;
    if (!writeSettingsAtExit(session_.customize(), session_.heading(), session_.footnote(), std::filesystem::current_path(ec)))
      settingsSaved_ = false;
  }
  if (!folderChooser_.saved()) settingsSaved_ = false;
  // Said once, however many of the writes failed.
  if (!settingsSaved_) reportSettingsNotSaved();
}

void MainFrame::reportSettingsNotSaved() {
  prompter_->ask(Message{"The settings could not be saved.", kAppCaption, Icon::Exclamation,
                         Buttons::Ok});
}

}  // namespace mv
