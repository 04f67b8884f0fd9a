#pragma once
// The address-book window: the names tree on the left, the card with its Edit, Notes and
// Link pages on the right, the tool bar and card buttons. It shows what its CardSession
// holds and sends the session the commands; find, the A to Z jump, the menus and the
// summary are its own.

#include "cardwindow/CardSearch.h"
#include "commands/CommandTarget.h"
#include "store/CardSession.h"
#include "store/Duplicates.h"

#include <QPointer>
#include <QSet>
#include <QWidget>

#include <functional>
#include <memory>

class QDialog;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTimer;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mv {
namespace sync {
class PasswordStore;
}

class Launcher;
struct LaunchSettings;
enum class LaunchKind;
class SummaryView;
class TAZPopup;
class TCardEditControls;
class CardPages;
class NamesTree;
class NotesEdit;

class TCardFile final : public QWidget, public CardWindowHost {
  Q_OBJECT
 public:
  enum Page { EditPage = 1, NotesPage = 2, LinkPage = 3 };
  // Runs a modal dialog and returns its result (QDialog::exec() unless tests script it).
  using DialogRunner = std::function<int(QDialog&)>;

  static constexpr int kHelpContext = 23;

  TCardFile(ShellServices& services, QWidget* parent = nullptr);
  ~TCardFile() override;

  // --- CardWindowHost
  // The card-window commands of the command table.
  bool handlesCommand(int id) const override;
  bool onCommand(int id) override;
  std::optional<bool> isCommandEnabled(int id) const override;
  bool hasHandler(int id) const override;
  QWidget* widget() override { return this; }
  bool canClose() override;
  void saveWithoutAsking() override;
  bool openBook(const std::filesystem::path& path) override;
  int selectedEntryIndex() const override;

  CardSession& session() noexcept { return *session_; }
  TCardEditControls* card() const noexcept { return card_; }
  QTreeWidget* namesTree() const noexcept;
  SummaryView* summaryView() const noexcept { return summary_; }
  TAZPopup* azPopup() const;
  Page page() const noexcept;
  void setPage(Page page);

  // Tests answer the window's dialogs (Find, Add a new name, New Group Name) here.
  void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
  // Tests record the hand-overs to outside programs here (the desktop's own otherwise).
  void setLauncher(Launcher* launcher) { launcher_ = launcher; }
  // Tests keep the sync password in memory; the window keeps it in the desktop's store.
  void setPasswordStore(sync::PasswordStore* passwords) { passwords_ = passwords; }
  // The context menu of an entry as the right mouse button shows it (the caller owns it).
  std::unique_ptr<QMenu> contextMenuFor(EntryRef entry);
  // The tree item of an entry (null when it is not shown).
  QTreeWidgetItem* itemFor(EntryRef entry) const;

 private:
  class Dialogs;

  void registerCommands();
  // Rescan, then the merge window when entries look alike.
  void rescan();
  void buildWindow();
  void refreshCard();
  void rebuildTree();
  void updateEnabling();
  void updateCaption();
  void userSelected(EntryRef entry);
  void showTreeMenu(const QPoint& pos);
  void showSortMenu(QWidget* under);
  void showGroupMenu();
  void showAZPopup();
  void jumpToLetter(int row);
  void find();
  void searchAgain();
  void search();
  void fillSortMenu(QMenu& menu);
  void fillGoToMenu(QMenu& menu, int firstGroup);
  int runMenu(QMenu& menu, QPoint globalPos);
  void closeFrame();
  // Export wizard, the field list of Save As with the CSV type, and the hand-overs.
  void runExport();
  // Find Duplicates, and after a Rescan that leaves entries looking alike.
  void showDuplicates();
  // File > Synchronize: the book saved first, then the dialog; a book the sync changed is
  // read again.
  void synchronize();
  // The web-page button: the pages written into "web" beside the program, then offered.
  void exportWebPages();
  bool exportCsvForSaveAs(const std::filesystem::path& csv,
                          const std::vector<AddressRecord>& records);
  LaunchSettings launchSettings() const;
  void launchField(FieldId field, LaunchKind kind);
  void connectSecondSet();
  bool launch(LaunchKind kind, const std::string& address);
  void openFolder(const std::filesystem::path& folder);
  void saveNamesWidth();
  void showStatus(const std::string& text);
  // Characters the book cannot hold were left out of a box or the notes: a beep and a
  // word in the status bar, so that the refusal is not mistaken for a fault.
  void refuseCharacters(int count, bool withOthers);

  ShellServices& services_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<CardSession> session_;
  CommandHandlers commands_;  // the window's own; the session's come after
  std::unique_ptr<DuplicateMerger> merger_;  // merges of this window, undone until a save
  DialogRunner runDialog_;
  std::unique_ptr<Launcher> desktopLauncher_;
  Launcher* launcher_ = nullptr;
  sync::PasswordStore* passwords_ = nullptr;
  FindState find_;
  bool closing_ = false;
  std::string frameTitle_;

  NamesTree* tree_ = nullptr;
  CardPages* pages_ = nullptr;
  TCardEditControls* card_ = nullptr;
  SummaryView* summary_ = nullptr;
  QWidget* editButtons_ = nullptr;
  QToolButton* azButton_ = nullptr;
  QToolButton* sortButton_ = nullptr;
  QPointer<TAZPopup> azPopup_;
  QSplitter* splitter_ = nullptr;
  QTimer* namesWidthSaver_ = nullptr;
  int namesWidth_ = 0;  // the names list's width as the user left it
};

// The factory the main frame installs.
CardWindowHost* createCardWindow(QWidget* parent, ShellServices& services);

}  // namespace mv
