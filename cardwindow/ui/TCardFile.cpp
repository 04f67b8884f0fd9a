#include "cardwindow/ui/TCardFile.h"

#include "cardwindow/ui/TAZPopup.h"
#include "cardwindow/ui/CardDialogs.h"
#include "cardwindow/ui/TCardEditControls.h"
#include "cardwindow/ui/CardPages.h"
#include "cardwindow/ui/CardToolBar.h"
#include "cardwindow/ui/TDuplicates.h"
#include "cardwindow/ui/NamesTree.h"
#include "cardwindow/SecondSetConnect.h"
#include "cardwindow/ui/SummaryView.h"
#include "exchange/ui/TExport.h"
#include "exchange/Launch.h"
#include "exchange/ui/QtLauncher.h"
#include "exchange/ui/TRunDialog.h"
#include "exchange/Vcard.h"
#include "exchange/ui/TADRImport.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/QtPrompter.h"
#include "session/AppSession.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "sync/ui/PasswordStore.h"
#include "sync/ui/SyncDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace mv {
namespace {

using namespace cmd;

// The names list carries a control id, not a command.
constexpr int kNamesTree = 6110;

}  // namespace

// The session's two name dialogs, shown with the OK button under the mouse.
class TCardFile::Dialogs final : public CardDialogs {
 public:
  explicit Dialogs(TCardFile& window) : window_(window) {}
  std::optional<NameParts> askNewName(const NameParts& prefill) override {
    TCardAdd dialog(*window_.services_.prompter, prefill.first, prefill.last, prefill.company,
                    &window_);
    moveOkUnderMouse(dialog, *dialog.okButton());
    if (window_.runDialog_(dialog) != QDialog::Accepted) return std::nullopt;
    return NameParts{dialog.first(), dialog.last(), dialog.company()};
  }
  std::optional<std::string> askNewGroup() override {
    TCardAddGroup dialog(&window_);
    if (window_.runDialog_(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.name();
  }

 private:
  TCardFile& window_;
};

TCardFile::TCardFile(ShellServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      dialogs_(std::make_unique<Dialogs>(*this)),
      runDialog_([](QDialog& d) { return d.exec(); }),
      desktopLauncher_(std::make_unique<QtLauncher>()),
      launcher_(desktopLauncher_.get()) {
  setAccessible(this, QStringLiteral("Address book"));
  SessionHooks hooks;
  hooks.setTitle = [this](const std::string& title) {
    frameTitle_ = title;
    if (services_.setFrameTitle) services_.setFrameTitle(title);
  };
  hooks.progressTitle = [this](const std::string& title) {
    if (services_.setFrameTitle) services_.setFrameTitle(title.empty() ? frameTitle_ : title);
  };
  hooks.addRecentFile = [this](const std::filesystem::path& p) {
    if (services_.addRecentFile) services_.addRecentFile(p);
  };
  hooks.cardSortChanged = [this](int order) {
    if (services_.setCardSort) services_.setCardSort(order);
  };
  hooks.cardChanged = [this] { refreshCard(); };
  hooks.listChanged = [this] { rebuildTree(); };
  hooks.showEditPage = [this] { setPage(EditPage); };
  hooks.closeWindow = [this] { closeFrame(); };
  hooks.notice = [this](const std::string& text) { showStatus(text); };
  hooks.importCsv = [this](const std::filesystem::path& csv) {
    const Book& book = session_->book();
    return importCsvFile(csv, *services_.prompter, *services_.fileChooser,
                         book.isOpen() ? book.path() : std::filesystem::path(), this,
                         runDialog_);
  };
  hooks.importVcard = [this](const std::filesystem::path& vcf) {
    const Book& book = session_->book();
    return vcard::importVcardFile(vcf, *services_.prompter, *services_.fileChooser,
                                  book.isOpen() ? book.path() : std::filesystem::path());
  };
  hooks.exportCsv = [this](const std::filesystem::path& csv,
                           const std::vector<AddressRecord>& records) {
    return exportCsvForSaveAs(csv, records);
  };
  const int sort = services_.cardSort ? services_.cardSort() : 0;
  session_ = std::make_unique<CardSession>(*services_.prompter, *services_.fileChooser,
                                           *dialogs_, services_.settingsFile, sort,
                                           std::move(hooks));
  registerCommands();
  // The book this window edits is the one the pages and the printer show.
  if (services_.appSession) services_.appSession->setBook(&session_->book());
  buildWindow();
  refreshCard();
  rebuildTree();
  setPage(EditPage);
  card_->setKeyboardReady(true);
}

TCardFile::~TCardFile() {
  if (services_.appSession) services_.appSession->setBook(nullptr);
  if (namesWidthSaver_ && namesWidthSaver_->isActive()) saveNamesWidth();
}

TAZPopup* TCardFile::azPopup() const { return azPopup_.data(); }

void TCardFile::buildWindow() {
  // Left: the tool bar row over the names list.
  auto* left = new QWidget(this);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(6, 6, 0, 6);
  leftLayout->setSpacing(4);
  auto* tools = new CardToolBar(CardToolBar::Row::Names, left);
  connect(tools, &CardToolBar::commandRequested, this, [this](int id) { onCommand(id); });
  azButton_ = tools->button(kAZ);
  sortButton_ = tools->button(kSortMenu);
  leftLayout->addWidget(tools);

  tree_ = new NamesTree(left);
  tree_->setRememberedWidth(
      Profile(services_.settingsFile, std::string(keys::section::AddressBook))
          .readInt(keys::addressBook::NamesWidth, 0));
  setControlId(tree_, kNamesTree);
  setAccessible(tree_, QStringLiteral("Names"));
  connect(tree_, &NamesTree::entryChosen, this, &TCardFile::userSelected);
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, &TCardFile::showTreeMenu);
  leftLayout->addWidget(tree_, 1);

  // Right: caption, the pages, the tabs below them, then the buttons.
  auto* right = new QWidget(this);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 6, 6, 6);
  rightLayout->setSpacing(0);

  pages_ = new CardPages(session_->card(), right);
  card_ = pages_->card();
  summary_ = pages_->summary();
  connect(card_, &TCardEditControls::commandRequested, this, [this](int id) { onCommand(id); });
  connect(pages_, &CardPages::charactersRefused, this, &TCardFile::refuseCharacters);
  connect(pages_, &CardPages::pageChosen, this,
          [this](int page) { setPage(static_cast<Page>(page)); });
  summary_->setLinkEnabled([this](int id) { return isCommandEnabled(id).value_or(false); });
  connect(summary_, &SummaryView::commandRequested, this, [this](int id) { onCommand(id); });
  connect(summary_, &SummaryView::addressRequested, this,
          [this](bool web, const QByteArray& address) {
            launch(web ? LaunchKind::Web : LaunchKind::EMail, address.toStdString());
          });
  rightLayout->addWidget(pages_, 1);
  rightLayout->addSpacing(6);

  auto* buttonRow = new QHBoxLayout;
  editButtons_ = new QWidget(right);
  // Hidden on the Notes and Link pages, the buttons keep their room, so the card window
  // is as wide on every page.
  QSizePolicy editButtonsPolicy = editButtons_->sizePolicy();
  editButtonsPolicy.setRetainSizeWhenHidden(true);
  editButtons_->setSizePolicy(editButtonsPolicy);
  auto* editRow = new QHBoxLayout(editButtons_);
  editRow->setContentsMargins(0, 0, 0, 0);
  editRow->setSpacing(1);
  auto* cardTools = new CardToolBar(CardToolBar::Row::Card, editButtons_);
  connect(cardTools, &CardToolBar::commandRequested, this, [this](int id) { onCommand(id); });
  editRow->addWidget(cardTools);
  editRow->addSpacing(10);
  const auto pushButton = [this](QWidget* parent, int id, const QString& text) {
    auto* b = new QPushButton(text, parent);
    setControlId(b, id);
    setAccessible(b, QString(text).remove(QLatin1Char('&')));
    connect(b, &QPushButton::clicked, this, [this, id] { onCommand(id); });
    return b;
  };
  // The card buttons carry the tool tips of the tool bar buttons that do the same.
  struct CardButton {
    int id;
    const char* text;
    int tool;
  };
  constexpr CardButton kCardButtons[] = {{kAddName, "&Add", kAddNameTool},
                                         {kDeleteName, "&Delete", kDeleteTool},
                                         {kChangeName, "&Change", kChangeTool}};
  for (const CardButton& c : kCardButtons) {
    QPushButton* b = pushButton(editButtons_, c.id, QString::fromLatin1(c.text));
    b->setToolTip(CardToolBar::tooltipOf(c.tool));
    editRow->addWidget(b);
  }
  buttonRow->addWidget(editButtons_);
  buttonRow->addStretch(1);
  QToolButton* web = CardToolBar::makeButton(
      right, kWebPage, QStringLiteral("Quorvel web page"),
      CardToolBar::themedIcon(this, "applications-internet", QStyle::SP_DriveNetIcon),
      true);
  connect(web, &QToolButton::clicked, this, [this] { onCommand(kWebPage); });
  buttonRow->addWidget(web);
  QPushButton* ok = pushButton(right, kOk, QStringLiteral("&OK"));
  QPushButton* cancel = pushButton(right, kCancel, QStringLiteral("Cancel"));
  buttonRow->addWidget(ok);
  buttonRow->addWidget(cancel);
  rightLayout->addLayout(buttonRow);

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->addWidget(left);
  splitter_->addWidget(right);
  // The list gets the width it asks for; room beyond that goes to the card.
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setChildrenCollapsible(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter_);
  resize(900, 600);

  // The names list's width goes to mervane.ini a moment after the splitter stops moving,
  // not at every step of the drag.
  namesWidthSaver_ = new QTimer(this);
  namesWidthSaver_->setSingleShot(true);
  namesWidthSaver_->setInterval(300);
  connect(namesWidthSaver_, &QTimer::timeout, this, &TCardFile::saveNamesWidth);
  connect(splitter_, &QSplitter::splitterMoved, this, [this] {
    namesWidth_ = tree_->width();
    namesWidthSaver_->start();
  });
}

void TCardFile::saveNamesWidth() {
  // Only a convenience: a width that cannot be remembered costs nothing but the width.
  (void)Profile(services_.settingsFile, std::string(keys::section::AddressBook))
      .writeInt(keys::addressBook::NamesWidth, namesWidth_);
}

// --- mirroring the session

void TCardFile::refreshCard() {
  if (!pages_) return;
  pages_->refresh();
  updateCaption();
}

QTreeWidgetItem* TCardFile::itemFor(EntryRef entry) const { return tree_->itemFor(entry); }

QTreeWidget* TCardFile::namesTree() const noexcept { return tree_; }

void TCardFile::rebuildTree() {
  if (!tree_) return;
  tree_->rebuild(session_->names(), session_->selection());
  updateEnabling();
  updateCaption();
}

void TCardFile::updateEnabling() {
  for (int id : {kDeleteName, kChangeName, kDeleteTool, kChangeTool, kSave, kWebPage}) {
    if (auto* w = control<QWidget>(this, id)) w->setEnabled(isCommandEnabled(id).value_or(true));
  }
  if (card_) card_->setConnectEnabled(isCommandEnabled(kConnect).value_or(false));
}

void TCardFile::updateCaption() {
  if (!pages_) return;
  const NameEntry* shown = session_->names().name(session_->selection());
  pages_->setCaption(shown ? fromCp1252(shown->text) : QString());
}

TCardFile::Page TCardFile::page() const noexcept { return static_cast<Page>(pages_->page()); }

void TCardFile::setPage(Page page) {
  pages_->setPage(static_cast<CardPages::Page>(page));
  editButtons_->setVisible(page == EditPage);
  if (page == EditPage) azButton_->setFocus(Qt::OtherFocusReason);
}

void TCardFile::userSelected(EntryRef entry) {
  find_.fieldPosition = -1;  // another record on the card: Search Again starts afresh
  // The session may store the card and rebuild the list; do it outside the tree's signal.
  QTimer::singleShot(0, this, [this, entry] { session_->select(entry); });
}

// --- commands

bool TCardFile::handlesCommand(int id) const {
  return commandOwner(id) == CommandOwner::CardWindow;
}

void TCardFile::registerCommands() {
  CommandHandlers& c = commands_;
  const auto always = [] { return true; };
  const auto bookOpen = [this] { return session_->book().isOpen(); };
  c.add(kFind, [this] { find(); }, always);
  c.add(kSearchAgain, [this] { searchAgain(); }, always);
  c.add(kAZ, [this] { showAZPopup(); }, always);
  c.add(kSortMenu, [this] { showSortMenu(sortButton_); }, always);
  c.add(
      kSecondSetMenu,
      [this] {
        updateEnabling();  // "&Connect" follows the field the shared editor shows
        card_->showSecondSetMenu();
      },
      always);
  c.add(kGroupMenu, [this] { showGroupMenu(); }, always);
  c.add(kCopySummary, [this] { summary_->selectAllAndCopy(); }, always);
  c.add(kExport, [this] { runExport(); }, bookOpen);
  c.add(kFindDuplicates, [this] { showDuplicates(); }, bookOpen);
  c.add(kSynchronize, [this] { synchronize(); }, bookOpen);
  c.add(kRescan, [this] { rescan(); }, always);
  c.add(kWebPage, [this] { exportWebPages(); }, bookOpen);
  struct FieldLaunch {
    int id;
    FieldId field;
    LaunchKind kind;
  };
  constexpr FieldLaunch kLaunches[] = {
      {kPhoneHome, FieldId::Home, LaunchKind::Dialer},
      {kPhoneOffice, FieldId::Office, LaunchKind::Dialer},
      {kPhoneMobile, FieldId::Mobile, LaunchKind::Dialer},
      {kPhoneHome2, FieldId::Home2, LaunchKind::Dialer},
      {kPhoneOffice2, FieldId::Office2, LaunchKind::Dialer},
      {kSendEmail, FieldId::Email, LaunchKind::EMail},
      {kSendEmail2, FieldId::Email2, LaunchKind::EMail},
      {kOpenWebPage, FieldId::WebSite, LaunchKind::Web},
      {kOpenWebPage2, FieldId::Web2, LaunchKind::Web},
      {kNewsGroup, FieldId::NewsGroup, LaunchKind::News},
      {kFtpSite, FieldId::FtpSite, LaunchKind::Ftp},
  };
  for (const FieldLaunch& l : kLaunches)
    c.add(l.id, [this, l] { launchField(l.field, l.kind); }, always);
  c.add(kConnect, [this] { connectSecondSet(); }, [this] {
    const bool dialer = services_.dialerPresent && services_.dialerPresent();
    const bool browser = services_.browserFound && services_.browserFound();
    return isConnectEnabled(session_->card().secondSetField(), dialer, browser);
  });
  c.add(
      kHelp,
      [this] {
        if (services_.showHelp) services_.showHelp(kHelpContext);
      },
      always);
  // Print Preview and the envelope of the selected name are the frame's to carry out;
  // the window's own buttons and menus send them here.
  for (int id : {kPrintPreview, kPrint})
    c.add(
        id,
        [this, id] {
          if (services_.postCommand) services_.postCommand(id);
        },
        always);
  c.addRun(
      kFirstLetter, kLastLetter, [this](int id) { jumpToLetter(id - kFirstLetter); },
      CommandHandlers::always);
}

bool TCardFile::hasHandler(int id) const {
  return commands_.handles(id) || session_->commands().handles(id);
}

bool TCardFile::onCommand(int id) {
  if (commands_.run(id)) return true;
  const bool handled = session_->onCommand(id);
  updateEnabling();
  return handled;
}

std::optional<bool> TCardFile::isCommandEnabled(int id) const {
  if (const std::optional<bool> own = commands_.enabled(id)) return own;
  if (handlesCommand(id)) return session_->isCommandEnabled(id);
  return std::nullopt;
}

void TCardFile::rescan() {
  const unsigned long before = session_->book().generation();
  session_->onCommand(kRescan);
  updateEnabling();
  // A rescan marks repeated names; what else looks alike is shown for merging.
  const Book& book = session_->book();
  if (book.isOpen() && book.generation() != before && !findDuplicates(book).empty())
    showDuplicates();
}

void TCardFile::synchronize() {
  if (!session_->book().isOpen() || !session_->saveBeforeSync()) return;
  updateCaption();
  const std::filesystem::path path = session_->book().path();
  sync::KeychainPasswordStore keychain;
  sync::SyncDialog dialog(path, services_.settingsFile, passwords_ ? *passwords_ : keychain, this);
  runDialog_(dialog);
  // The sync wrote the book's file: the window shows what it holds now.
  if (dialog.bookChanged()) openBook(path);
  updateEnabling();
}

void TCardFile::showDuplicates() {
  Book& book = session_->book();
  if (!book.isOpen()) return;
  session_->commitPending();
  if (!merger_) merger_ = std::make_unique<DuplicateMerger>(book);
  TDuplicates dialog(book, *merger_, *services_.prompter, this);
  runDialog_(dialog);
  if (!dialog.changedBook()) return;
  // Entries went and came back: the card shows the group, not a name that may be gone.
  session_->select({NamesList::kMain, -1});
  rebuildTree();
  refreshCard();
  updateEnabling();
}

bool TCardFile::canClose() {
  if (closing_) return true;
  return session_->canClose();
}

void TCardFile::saveWithoutAsking() { session_->saveWithoutAsking(); }

bool TCardFile::openBook(const std::filesystem::path& path) { return session_->openBook(path); }

int TCardFile::selectedEntryIndex() const { return session_->selectedMainIndex(); }

void TCardFile::showStatus(const std::string& text) {
  if (services_.showStatus) services_.showStatus(text);
}

void TCardFile::refuseCharacters(int count, bool withOthers) {
  QApplication::beep();
  showStatus(refusedCharactersText(count, withOthers));
}

void TCardFile::closeFrame() {
  // OK and Cancel have settled the book; the frame's own close query must not ask again.
  closing_ = true;
  if (QWidget* top = window(); top && top != this) {
    QTimer::singleShot(0, top, [top] { top->close(); });
  }
}

// --- menus

int TCardFile::runMenu(QMenu& menu, QPoint globalPos) {
  QAction* chosen = menu.exec(globalPos);
  return chosen ? chosen->data().toInt() : 0;
}

void TCardFile::fillSortMenu(QMenu& menu) {
  static const char* kTexts[] = {"by &First Name", "by &Last Name", "by &Company"};
  for (int order = 0; order < 3; ++order) {
    QAction* a = menu.addAction(QString::fromLatin1(kTexts[order]));
    a->setData(kSortFirst + order);
    a->setCheckable(true);
    a->setChecked(session_->book().cardSort() == order);
    a->setEnabled(session_->isCommandEnabled(kSortFirst + order));
  }
}

void TCardFile::fillGoToMenu(QMenu& menu, int firstGroup) {
  const NamesList& names = session_->names();
  for (int g = firstGroup; g < names.groupCount(); ++g) {
    QAction* a = menu.addAction(fromCp1252(names.group(g).name));
    a->setData(kGoToGroupFirst + g);
  }
}

void TCardFile::showSortMenu(QWidget* under) {
  QMenu menu(this);
  fillSortMenu(menu);
  const QPoint at = under->mapToGlobal(QPoint(0, under->height()));
  if (const int id = runMenu(menu, at)) onCommand(id);
}

void TCardFile::showGroupMenu() {
  QMenu menu(this);
  fillGoToMenu(menu, 0);
  QWidget* button = card_->groupButton();
  const QPoint at = button->mapToGlobal(
      QPoint(button->width() - menu.sizeHint().width(), button->height()));
  if (const int id = runMenu(menu, at)) onCommand(id);
}

std::unique_ptr<QMenu> TCardFile::contextMenuFor(EntryRef entry) {
  auto menu = std::make_unique<QMenu>(this);
  const auto add = [this](QMenu& into, const char* text, int id) {
    QAction* a = into.addAction(QString::fromLatin1(text));
    a->setData(id);
    a->setEnabled(isCommandEnabled(id).value_or(true));
  };
  if (entry.isGroup()) {
    add(*menu, "A to Z menu", kAZ);
    add(*menu, "Add a new &Name", kAddName);
    add(*menu, "Add a new &Group", kAddGroup);
    add(*menu, "&Delete this Group", kDeleteGroup);
    fillSortMenu(*menu->addMenu(QStringLiteral("&Sort")));
    fillGoToMenu(*menu->addMenu(QStringLiteral("&Go to")), 0);
  } else if (entry.isName()) {
    add(*menu, "Send &Email", kSendEmail);
    add(*menu, "Open &Web page", kOpenWebPage);
    add(*menu, "Phone &Home", kPhoneHome);
    add(*menu, "Phone &Office", kPhoneOffice);
    add(*menu, "&Delete this Name", kDeleteName);
    add(*menu, "&Print Envelope", kPrint);
    fillGoToMenu(*menu->addMenu(QStringLiteral("&Change to")), 1);
    fillGoToMenu(*menu->addMenu(QStringLiteral("&Go to")), 0);
  }
  return menu;
}

void TCardFile::showTreeMenu(const QPoint& pos) {
  QTreeWidgetItem* item = tree_->itemAt(pos);
  if (!item) return;
  const EntryRef entry = NamesTree::entryOf(*item);
  find_.fieldPosition = -1;
  session_->select(entry);  // shown as by a click first
  QTreeWidgetItem* shown = itemFor(session_->selection());
  const QRect row = shown ? tree_->visualItemRect(shown) : QRect(pos, pos);
  auto menu = contextMenuFor(session_->selection());
  const QPoint at = tree_->viewport()->mapToGlobal(QPoint(pos.x(), row.bottom() + 1));
  if (const int id = runMenu(*menu, at)) onCommand(id);
}

// --- A to Z

void TCardFile::showAZPopup() {
  if (azPopup_) azPopup_->close();
  azPopup_ = new TAZPopup(session_->names().lettersPresent(), this);
  connect(azPopup_, &TAZPopup::jumpRequested, this, [this](int command) {
    // Posted, as the pop-up's private message was: the jump runs after the mouse event.
    QTimer::singleShot(0, this, [this, command] { onCommand(command); });
  });
  azPopup_->showBelow(azButton_);
}

void TCardFile::jumpToLetter(int row) {
  const auto entry = letterJump(session_->names(), session_->selection(),
                                static_cast<char>('A' + row));
  if (!entry) return;  // no such name: the selection stays
  find_.fieldPosition = -1;
  session_->select(*entry);
}

// --- find

void TCardFile::find() {
  TCardFind dialog(find_, this);
  if (runDialog_(dialog) != QDialog::Accepted) return;
  dialog.apply(find_);
  if (find_.text.empty()) return;  // nothing to look for: no "Not found" with an empty text
  search();
}

void TCardFile::searchAgain() {
  if (!isPresent(find_.text)) return;
  search();
}

void TCardFile::search() {
  const auto hit = searchBook(find_, session_->book(), session_->selection());
  if (!hit) {
    services_.prompter->ask(Message{find_.text, "Not found", Icon::Information, Buttons::Ok,
                                    Answer::Ok});
    return;
  }
  if (page() != EditPage) setPage(EditPage);
  const FindState found = find_;
  session_->select(hit->entry);
  find_ = found;  // showing the record must not forget where the match was
  // Field 20 is the shared editor's copy; the match is shown where the text lives.
  QLineEdit* box = card_->box(hit->field);
  box->setFocus(Qt::OtherFocusReason);
  box->setSelection(hit->matchStart, static_cast<int>(find_.text.size()));
}

// --- export and launching

void TCardFile::runExport() {
  ExportServices services;
  services.prompter = services_.prompter;
  services.fileChooser = services_.fileChooser;
  services.records = [this] {
    // What was typed and not yet stored goes out too.
    session_->commitPending();
    return exportRecords(session_->book());
  };
  services.openFolder = [this](const std::filesystem::path& folder) { openFolder(folder); };
  services.offerDocument = [this](const std::filesystem::path& file) {
    launch(LaunchKind::Txt, pathText(file));
  };
  services.offerLetters = [this](const std::filesystem::path& file) {
    launch(LaunchKind::Rtf, pathText(file));
  };
  services.offerWebPage = [this](const std::filesystem::path& page) {
    launch(LaunchKind::LocalPage, pathText(page));
  };
  services.webBook = [this] {
    session_->commitPending();
    return webBook(session_->book());
  };
  TExport wizard(std::move(services), this);
  runDialog_(wizard);
}

void TCardFile::exportWebPages() {
  session_->commitPending();
  const WebExport web = exportWebFolder(
      programDir() / kWebFolderName, [this] { return webBook(session_->book()); }, programDir());
  if (web.status == WebExport::Status::NoFolder) {
    services_.prompter->inform(webFolderFailureText(web), kAppCaption, Icon::Exclamation,
                               TextCoding::Utf8);
    return;
  }
  if (web.status == WebExport::Status::NotWritten) {
    services_.prompter->inform(webFailureText(web.folder, web.failed), kUnableToOpenCaption,
                               Icon::None, TextCoding::Utf8);
    return;
  }
  launch(LaunchKind::LocalPage, pathText(web.page()));
}

bool TCardFile::exportCsvForSaveAs(const std::filesystem::path& csv,
                                   const std::vector<AddressRecord>& records) {
  TExportCsvDialog dialog(this);
  if (runDialog_(dialog) != QDialog::Accepted) return false;
  const std::string bytes = exportBytes(records, ExportFormat::Csv, dialog.fields());
  if (writeExportFile(csv, bytes)) return true;
  services_.prompter->inform(unableToWriteText(csv), kUnableToOpenCaption, Icon::None,
                             TextCoding::Utf8);
  return false;
}

LaunchSettings TCardFile::launchSettings() const {
  LaunchSettings settings;
  settings.ini = services_.settingsFile;
  if (services_.browserPath) settings.browserPath = services_.browserPath();
  settings.choice = [this](LaunchKind kind) {
    return services_.launchChoice ? services_.launchChoice(launchKindInfo(kind).choiceKey) : 1;
  };
  settings.setChoice = [this](LaunchKind kind, int choice) {
    if (services_.setLaunchChoice)
      services_.setLaunchChoice(launchKindInfo(kind).choiceKey, choice);
  };
  return settings;
}

bool TCardFile::launch(LaunchKind kind, const std::string& address) {
  LaunchSettings settings = launchSettings();
  const RunAsker ask = [this, &settings](const RunRequest& request) -> std::optional<RunAnswer> {
    TRunDialog dialog(
        request,
        [this, &settings, kind = request.kind](const std::string& current) {
          return chooseHelper(*services_.fileChooser, settings, kind, current);
        },
        this);
    moveOkUnderMouse(dialog, *dialog.okButton());
    if (runDialog_(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.answer();
  };
  return handOver(kind, address, ask, *launcher_, *services_.prompter, settings);
}

void TCardFile::launchField(FieldId field, LaunchKind kind) {
  // The text in the field's edit box as it stands; a second-set field shown in the shared
  // editor is read from there.
  const CardModel& card = session_->card();
  const bool shared = toInt(field) == card.secondSetField();
  const std::string text = card.text(shared ? FieldId::Buffer : field).substr(0, 49);
  launch(kind, text);
}

void TCardFile::connectSecondSet() {
  const int field = session_->card().secondSetField();
  switch (static_cast<FieldId>(field)) {
    case FieldId::Home2:
    case FieldId::Office2: launchField(static_cast<FieldId>(field), LaunchKind::Dialer); break;
    case FieldId::Email2: launchField(FieldId::Email2, LaunchKind::EMail); break;
    case FieldId::Web2: launchField(FieldId::Web2, LaunchKind::Web); break;
    case FieldId::NewsGroup: launchField(FieldId::NewsGroup, LaunchKind::News); break;
    case FieldId::FtpSite: launchField(FieldId::FtpSite, LaunchKind::Ftp); break;
    default: break;  // Other: nothing to connect to
  }
}

void TCardFile::openFolder(const std::filesystem::path& folder) {
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(pathText(folder)));
  if (launcher_->openUrl(url.toEncoded().toStdString()) != Launcher::Result::Ok)
    services_.prompter->inform(kNoAssociation, kAppCaption, Icon::Exclamation);
}

CardWindowHost* createCardWindow(QWidget* parent, ShellServices& services) {
  return new TCardFile(services, parent);
}

}  // namespace mv
