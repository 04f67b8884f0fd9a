#pragma once
// The main frame "Mervane": menu 1 in card mode and menu 208 in page-view mode, the
// toolbar (shown in page-view mode only), the status bar with command hints, and the
// main client's state (settings, heading and footnote, recent files, the open book).
// Commands are numbers; onCommand() routes them to the card window, the page view or
// the frame's own handlers.

#include "commands/CommandHandlers.h"
#include "commands/CommandTarget.h"
#include "session/AppSession.h"
#include "settings/Customize.h"
#include "settings/FolderRememberingChooser.h"
#include "settings/LangTable.h"
#include "settings/PageText.h"
#include "settings/RecentFiles.h"
#include "settings/WebBrowserProbe.h"
#include "printing/AppState.h"
#include "printing/PageRenderer.h"
#include "printing/PageSettings.h"
#include "store/AddressRecord.h"
#include "shell/CommandBars.h"
#include "shell/RunMode.h"
#include "shell/SetupDialogs.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QDialog;
class QMenu;
class QPrinter;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace mv {

class Prompter;
class FileChooser;

struct MainFrameOptions {
  RunMode runMode = RunMode::Normal;
  Prompter* prompter = nullptr;        // required
  FileChooser* fileChooser = nullptr;  // required
  CardWindowFactory cardWindowFactory; // empty: no card window
  PageViewFactory pageViewFactory;     // empty: the page view
  // The open book's entries in list order, as the pages draw them; empty: the card
  // window's book (a frame under test puts its own entries here).
  std::function<std::vector<AddressRecord>()> bookRecords;
  // Asks the desktop for its web browser at set-up when HasWebBrowser is 0; tests put a
  // stand-in here, empty skips the query.
  std::function<BrowserProbe()> webBrowserProbe = [] { return probeWebBrowser(); };
  // Whether the desktop can dial (a tel: handler), asked once at set-up; empty: it can.
  std::function<bool()> dialerProbe = [] { return hasDesktopHandler("x-scheme-handler/tel"); };
  // A book named on the command line (opened from the desktop): opened at start in place
  // of the newest recent book; empty: the recent book.
  std::filesystem::path startBook;
  // Makes the printer on first use: the system's default printer, or a PDF printer
  // that asks for a file name when there is none. Tests put a PDF printer here.
  std::function<std::unique_ptr<QPrinter>()> printerFactory;
};

class MainFrame : public QMainWindow {
  Q_OBJECT
 public:
  enum class ViewMode { Card, PageView };

  explicit MainFrame(MainFrameOptions options, QWidget* parent = nullptr);
  ~MainFrame() override;

  // The main client's set-up: loads the settings, checks and opens the start address
  // book, creates and shows the card window.
  void setUp();

  // Runs a command by id; false when nobody took it.
  bool onCommand(int id);
  bool isCommandEnabled(int id);
  // Whether the window the command table names as the id's owner has a handler for it.
  bool hasHandler(int id) const;
  // A handler installed here takes the place of the frame's own dialog for that command
  // (paper size, labels, envelope, page options, heading, footnote, my address, printer
  // setup); the frame does its own follow-up (refresh, layout change) after it returns.
  // The handler of 81 serves the Envelope layout only, in place of the envelope setup
  // opened on its font page.
  void setCommandHandler(int id, std::function<void()> handler);

  void showCardWindow();
  void showPageView();
  void selectLayout(int command);
  // Another copy of the program asked for this one.
  void bringToFront();
  // Another copy was started with a book: the open book's changes are asked about, then
  // the handed book opens (and joins the recent files).
  void openHandedBook(const std::filesystem::path& path);
  // Rebuilds the recent-file items of the File menu (done each time it opens).
  void updateFileMenu();
  // Re-evaluates the enabled state of the toolbar and the current menus.
  void updateCommandStates();

  ViewMode viewMode() const noexcept { return mode_; }
  int menuResource() const noexcept { return bars_->menuResource(); }
  // The action of a command in the current menu bar (nullptr when the menu has none).
  QAction* menuAction(int id) const;
  QMenu* fileMenu() const noexcept { return bars_->fileMenu(); }
  QToolBar* toolBar() const { return bars_->toolBar(); }
  QToolButton* pageButton() const { return bars_->pageButton(); }
  QToolButton* layoutButton() const { return bars_->layoutButton(); }
  CardWindowHost* cardWindow() const noexcept { return card_; }
  void setTitleText(const QString& title);

  AppSession& session() noexcept { return session_; }
  AppState& appState() noexcept { return session_.state(); }
  CustomizeSettings& customize() noexcept { return session_.customize(); }
  const PageText& heading() noexcept { return session_.heading(); }
  const PageText& footnote() noexcept { return session_.footnote(); }
  const std::filesystem::path& bookPath() const noexcept { return session_.bookPath(); }
  bool bookValid() const noexcept { return bookValid_; }
  // The desktop's web browser; asked now when it has not been asked yet.
  const BrowserProbe& webBrowser();
  const LangTable& language() const noexcept { return lang_; }

  // The page job of the current layout, page options and page settings.
  PageJob currentJob() const { return session_.currentJob(); }
  PageViewHost* pageView() const noexcept { return pageView_; }
  const PrinterPaper& printerPaper() noexcept { return session_.printerPaper(); }
  // The printer of the run, made on first use (nullptr when none can be made).
  QPrinter* printer();

  // Runs the frame's own modal dialogs (page settings, options, heading and footnote);
  // QDialog::exec() unless a test answers them.
  using DialogRunner = std::function<int(QDialog&)>;
  void setDialogRunner(DialogRunner runner);

  // Builds pop-up menu kLetters or kLayouts with the current item checked.
  QMenu* buildPopup(int resource, QWidget* parent);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void registerCommands();
  // The session changed book or pages: the toolbar, the page view and the status bar.
  void followSession(SessionChange change);
  void setToolbarVisible(bool visible);
  QSize cardModeSize() const;
  void updateToolbarTexts();
  // The item pop-up menu kLetters or kLayouts shows checked.
  int checkedItem(int resource) const;
  void refreshPageView();
  // Takes the page count of the current layout (and, with reloadBook, the book's entries
  // as they stand now, edits included) and shows it in the toolbar.
  void recountPages(bool reloadBook);
  // Says once in the status bar that entries of the book could not be read.
  void reportUnreadable();
  // Moves to page, kept within 1..page count, and shows it.
  void goToPage(int page);
  void openRecent(int id);
  // The window that declares the id its own, nullptr when none does.
  CommandTarget* targetOf(int id) const;
  // A printer or PDF output can be had (checked once).
  bool printerReady();
  void print();
  // "&Paper Size" in the print dialog: the sheet settings of the current layout.
  void printDialogPaperSize();
  void fontAndColor();
  bool labelSetup();  // true on OK
  void runHandler(int id);
  // The handler installed for the command, else the frame's own dialog (`own`, true on
  // OK); a handler counts as OK.
  bool runHandlerOr(int id, const std::function<bool()>& own);
  void shutDown();
  // A settings file could not be written: the user's choices are lost, so say so.
  void reportSettingsNotSaved();

  RunMode runMode_;
  Prompter* prompter_;
  // The given chooser behind the folder each kind of file was last chosen in: every file
  // dialog the frame and its windows open goes through it.
  FolderRememberingChooser folderChooser_;
  FileChooser* fileChooser_;
  CardWindowFactory cardFactory_;
  std::filesystem::path startBook_;
  PageViewFactory pageViewFactory_;
  std::function<BrowserProbe()> browserProbe_;
  std::function<bool()> dialerProbe_;
  bool dialerPresent_ = true;
  bool desktopProbed_ = false;
  void probeDesktop();

  // Main client state: the session holds what the views share.
  AppSession session_;
  std::unique_ptr<SetupDialogs> dialogs_;  // the printer and the page-setup dialogs
  LangTable lang_;
  BrowserProbe browser_;
  bool bookValid_ = false;
  ViewMode mode_ = ViewMode::Card;
  bool sizeGiven_ = false;  // the frame has had its first size; the user's from then on
  bool setUpDone_ = false;
  bool closeAsked_ = false;
  bool shutDown_ = false;
  bool settingsSaved_ = true;
  ShellServices services_;
  std::map<int, std::function<void()>> handlers_;
  CommandHandlers commands_;  // the frame's own commands

  // Widgets.
  QWidget* central_ = nullptr;
  QVBoxLayout* centralLayout_ = nullptr;
  CommandBars* bars_ = nullptr;
  CardWindowHost* card_ = nullptr;
  PageViewHost* pageView_ = nullptr;
};

}  // namespace mv
