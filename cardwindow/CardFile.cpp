#include "cardwindow/CardFile.h"

#include "cardwindow/AZPopup.h"
#include "session/AppSession.h"
#include "cardwindow/CardDialogs.h"
#include "cardwindow/CardEditControls.h"
#include "cardwindow/SecondSetConnect.h"
#include "cardwindow/SummaryRtf.h"
#include "cardwindow/SummaryView.h"
#include "exchange/qt/ImportDialog.h"
#include "exchange/Vcard.h"
#include "cardwindow/DuplicatesDialog.h"
#include "exchange/ExportWizard.h"
#include "exchange/Launch.h"
#include "exchange/QtLauncher.h"
#include "exchange/RunDialog.h"
#include "platform_qt/Controls.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform_qt/QtPrompter.h"
#include "platform/Text.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace mv {
namespace {

using namespace cmd;

// The buttons of the Notes page and the names list carry control ids, not commands.
constexpr int kNotesButton = 24390;
constexpr int kNamesTree = 6110;

constexpr int kGroupRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
const QColor kListBackground(239, 239, 239);

// Images of the names list: 0/1 group closed/open, 2/3 name and selected name,
// 4/5 "Main" closed/open.
QPixmap treeImage(int image) {
  QPixmap pm(20, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (image) {
    case 0:
    case 1: {
      const QColor folder(image == 0 ? QColor(222, 172, 60) : QColor(240, 196, 90));
      p.setPen(folder.darker(140));
      p.setBrush(folder);
      p.drawRoundedRect(QRectF(2, 3, 7, 3), 1, 1);
      if (image == 0) {
        p.drawRoundedRect(QRectF(2, 5, 15, 9), 1.5, 1.5);
      } else {
        p.drawRoundedRect(QRectF(2, 5, 13, 9), 1.5, 1.5);
        QPainterPath lid;
        lid.moveTo(5, 8);
        lid.lineTo(18, 8);
        lid.lineTo(15, 14);
        lid.lineTo(2, 14);
        lid.closeSubpath();
        p.setBrush(folder.lighter(115));
        p.drawPath(lid);
      }
      break;
    }
    case 2:
    case 3: {
      const QColor person = image == 2 ? QColor(90, 110, 140) : QColor(30, 100, 200);
      p.setPen(Qt::NoPen);
      p.setBrush(person);
      p.drawEllipse(QRectF(7, 2, 6, 6));
      p.drawRoundedRect(QRectF(4.5, 9, 11, 6), 3, 3);
      break;
    }
    default: {
      const QColor book = image == 4 ? QColor(52, 101, 164) : QColor(80, 135, 205);
      p.setPen(book.darker(140));
      p.setBrush(book);
      if (image == 4) {
        p.drawRoundedRect(QRectF(4, 2, 12, 13), 1.5, 1.5);
        p.setPen(Qt::white);
        p.drawLine(QPointF(7, 2.5), QPointF(7, 14.5));
      } else {
        p.drawRoundedRect(QRectF(1, 3, 9, 11), 1, 1);
        p.drawRoundedRect(QRectF(10, 3, 9, 11), 1, 1);
        p.setPen(Qt::white);
        p.drawLine(QPointF(3, 6), QPointF(8, 6));
        p.drawLine(QPointF(12, 6), QPointF(17, 6));
      }
      break;
    }
  }
  return pm;
}

QIcon nameIcon() {
  QIcon icon(treeImage(2));
  icon.addPixmap(treeImage(3), QIcon::Selected);
  return icon;
}

// Paints a small triangle at the right end of entries with names under them, pointing
// down when the entry is expanded.
class NamesDelegate final : public QStyledItemDelegate {
 public:
  explicit NamesDelegate(QTreeWidget* tree) : QStyledItemDelegate(tree), tree_(tree) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(p, option, index);
    if (!index.model()->hasChildren(index)) return;
    const bool open = tree_->isExpanded(index);
    const int right = tree_->viewport()->width() - 8;
    const int cy = option.rect.center().y();
    QPolygonF tri;
    if (open) {
      tri << QPointF(right - 6, cy - 2) << QPointF(right, cy - 2) << QPointF(right - 3, cy + 2);
    } else {
      tri << QPointF(right - 4, cy - 3) << QPointF(right, cy) << QPointF(right - 4, cy + 3);
    }
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(Qt::NoPen);
    p->setBrush(option.state & QStyle::State_Selected
                    ? option.palette.color(QPalette::HighlightedText)
                    : option.palette.color(QPalette::Mid));
    p->drawPolygon(tri);
    p->restore();
  }

 private:
  QTreeWidget* tree_;
};

// The names list asks for the width the user last gave it or, the first time, for room
// for an entry of typical length ("Lastname Firstname Company"), so that a newcomer's
// names are not cut off.
class NamesTree final : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  // Read once at start: the card window's size, and with it the frame's, stays the same
  // for the whole session while the splitter moves room between the list and the card.
  void setRememberedWidth(int width) { remembered_ = width; }
  QSize sizeHint() const override {
    static const QString kTypicalEntry = QStringLiteral("Hoffmann Annalena Acme Corporation");
    // Indentation, icon, the item's padding and the triangle, the frame and a scroll bar.
    const int typical = fontMetrics().horizontalAdvance(kTypicalEntry) + indentation() +
                        iconSize().width() + 24 + 2 * frameWidth() +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return {std::max(minimumWidth(), remembered_ > 0 ? remembered_ : typical),
            QTreeWidget::sizeHint().height()};
  }

 private:
  int remembered_ = 0;
};

QIcon standardIcon(const QWidget* w, const char* theme, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(theme), w->style()->standardIcon(fallback));
}

// A tool bar button: command (its tool tip stands in the command table), icon theme name
// and the style's stand-in.
struct ToolSpec {
  int id;
  const char* theme;
  QStyle::StandardPixmap fallback;
};

// Above the names list.
constexpr ToolSpec kFileTools[] = {
    {kPrintPreview, "document-print-preview", QStyle::SP_FileDialogContentsView},
    {kNewFile, "document-new", QStyle::SP_FileIcon},
    {kOpen, "document-open", QStyle::SP_DialogOpenButton},
    {kSave, "document-save", QStyle::SP_DialogSaveButton},
    {kFind, "edit-find", QStyle::SP_FileDialogDetailedView},
};

// Before the card buttons, which take the tips of the first three.
constexpr ToolSpec kCardTools[] = {
    {kAddNameTool, "list-add", QStyle::SP_FileDialogNewFolder},
    {kDeleteTool, "list-remove", QStyle::SP_TrashIcon},
    {kChangeTool, "document-edit", QStyle::SP_BrowserReload},
    {kClearCard, "edit-clear", QStyle::SP_DialogResetButton},
};

QString tooltipOf(int id) { return fromCp1252(std::string(commandTooltip(id))); }

QIcon letterIcon(const QString& text, const QColor& colour) {
  QPixmap pm(20, 20);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QFont f;
  f.setPixelSize(text.size() > 2 ? 8 : 12);
  f.setBold(true);
  p.setFont(f);
  p.setPen(colour);
  p.drawText(pm.rect(), Qt::AlignCenter, text);
  return QIcon(pm);
}

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

QToolButton* TCardFile::toolButton(int id, const QString& tip, const QIcon& icon, QSize size) {
  auto* b = new QToolButton(this);
  setControlId(b, id);
  b->setToolTip(tip);
  setAccessible(b, tip);
  b->setIcon(icon);
  b->setIconSize(size - QSize(5, 5));
  b->setFixedSize(size);
  b->setAutoRaise(true);
  connect(b, &QToolButton::clicked, this, [this, id] { onCommand(id); });
  return b;
}

void TCardFile::buildWindow() {
  const QSize small(24, 24);
  const QSize large(28, 28);
  const auto tool = [this](const ToolSpec& toolSpec, QSize size) {
    return toolButton(toolSpec.id, tooltipOf(toolSpec.id),
                      standardIcon(this, toolSpec.theme, toolSpec.fallback), size);
  };

  // Left: the tool bar row over the names list.
  auto* left = new QWidget(this);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(6, 6, 0, 6);
  leftLayout->setSpacing(4);
  auto* toolRow = new QHBoxLayout;
  toolRow->setSpacing(1);
  for (const ToolSpec& toolSpec : kFileTools) {
    if (toolSpec.id == kFind) toolRow->addSpacing(4);
    toolRow->addWidget(tool(toolSpec, small));
  }
  toolRow->addStretch(1);
  azButton_ = toolButton(kAZ, QStringLiteral("A to Z menu... browse alphabetically"),
                         letterIcon(QStringLiteral("A-Z"), palette().color(QPalette::WindowText)),
                         large);
  sortButton_ = toolButton(kSortMenu, QStringLiteral("Sort the items"),
                           standardIcon(this, "view-sort-ascending", QStyle::SP_ArrowDown), large);
  toolRow->addWidget(azButton_);
  toolRow->addWidget(sortButton_);
  leftLayout->addLayout(toolRow);

  auto* names = new NamesTree(left);
  names->setRememberedWidth(
      Profile(services_.settingsFile, std::string(keys::section::AddressBook))
          .readInt(keys::addressBook::NamesWidth, 0));
  tree_ = names;
  setControlId(tree_, kNamesTree);
  setAccessible(tree_, QStringLiteral("Names"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setRootIsDecorated(true);
  tree_->setUniformRowHeights(true);
  tree_->setIconSize(QSize(20, 16));
  tree_->setItemDelegate(new NamesDelegate(tree_));
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->setExpandsOnDoubleClick(true);
  tree_->setMinimumWidth(220);
  // Selected entries light up over the whole row, indentation included.
  tree_->setStyleSheet(QStringLiteral(
      "QTreeWidget { background: rgb(239,239,239); border: 1px solid palette(mid);"
      " show-decoration-selected: 1; }"
      "QTreeWidget::item { padding: 2px 14px 2px 0; }"));
  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { userSelected(item); });
  connect(tree_, &QTreeWidget::customContextMenuRequested, this, &TCardFile::showTreeMenu);
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    expandedGroups_.insert(item->text(0).toLower());
    item->setIcon(0, QIcon(treeImage(item->data(0, kGroupRole).toInt() == 0 ? 5 : 1)));
  });
  connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    expandedGroups_.remove(item->text(0).toLower());
    item->setIcon(0, QIcon(treeImage(item->data(0, kGroupRole).toInt() == 0 ? 4 : 0)));
  });
  leftLayout->addWidget(tree_, 1);

  // Right: caption, the pages, the tabs below them, then the buttons.
  auto* right = new QWidget(this);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 6, 6, 6);
  rightLayout->setSpacing(0);

  // The caption of the Notes and Link pages sits on the page it names (setPage moves it):
  // above the pages it would make the card window taller on those pages than on the
  // Edit page, and the frame, which takes its size from the card window, would grow.
  caption_ = new QLabel(right);
  setControlId(caption_, 11578);
  caption_->setMinimumHeight(24);
  QFont captionFont = caption_->font();
  captionFont.setBold(true);
  caption_->setFont(captionFont);

  pages_ = new QStackedWidget(right);
  pages_->setFrameShape(QFrame::StyledPanel);
  card_ = new TCardEditControls(session_->card(), pages_);
  connect(card_, &TCardEditControls::commandRequested, this, [this](int id) { onCommand(id); });
  connect(card_, &TCardEditControls::charactersRefused, this, &TCardFile::refuseCharacters);
  pages_->addWidget(card_);

  auto* notesPage = new QWidget(pages_);
  auto* notesLayout = new QVBoxLayout(notesPage);
  notesLayout->setContentsMargins(6, 6, 6, 6);
  notes_ = new NotesEdit(notesPage);
  notesLayout->addWidget(notes_);
  notesButton_ = new QPushButton(notesPage);
  setControlId(notesButton_, kNotesButton);
  setAccessible(notesButton_, QStringLiteral("Notes page"));
  notesButton_->setFlat(true);
  notesButton_->setFixedSize(0, 0);  // present on the Notes page, with nothing to do
  notesButton_->setFocusPolicy(Qt::NoFocus);
  notesLayout->addWidget(notesButton_);
  connect(notes_, &NotesEdit::refused, this, &TCardFile::refuseCharacters);
  connect(notes_, &QPlainTextEdit::textChanged, this, [this] {
    if (notesBusy_) return;
    // The editor shows line feeds; the book keeps carriage return and line feed pairs.
    QString text = notes_->toPlainText();
    // Text set without a key press (assistive technology) passes the same refusal as
    // typing: what the book cannot hold is taken out of the editor, and said so.
    int left = 0;
    const QString kept = keepCp1252(text, &left);
    if (left > 0) {
      notesBusy_ = true;
      notes_->setPlainText(kept);
      notes_->moveCursor(QTextCursor::End);
      notesBusy_ = false;
      refuseCharacters(left, true);
      text = kept;
    }
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    session_->card().typeNotes(toCp1252(text));
  });
  pages_->addWidget(notesPage);

  auto* linkPage = new QWidget(pages_);
  auto* linkLayout = new QVBoxLayout(linkPage);
  linkLayout->setContentsMargins(0, 0, 0, 0);
  linkLayout->setSpacing(0);
  summary_ = new SummaryView(linkPage);
  summary_->setLinkEnabled([this](int id) { return isCommandEnabled(id).value_or(false); });
  connect(summary_, &SummaryView::commandRequested, this, [this](int id) { onCommand(id); });
  connect(summary_, &SummaryView::addressRequested, this,
          [this](bool web, const QByteArray& address) {
            launch(web ? LaunchKind::Web : LaunchKind::EMail, address.toStdString());
          });
  linkLayout->addWidget(summary_);
  pages_->addWidget(linkPage);
  rightLayout->addWidget(pages_, 1);

  tabs_ = new QTabBar(right);
  setControlId(tabs_, 107);
  setAccessible(tabs_, QStringLiteral("Pages"));
  tabs_->setShape(QTabBar::RoundedSouth);
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);
  tabs_->addTab(QString());
  tabs_->addTab(QStringLiteral("     Edit      "));
  tabs_->addTab(QStringLiteral("     Notes     "));
  tabs_->addTab(QStringLiteral("     Link      "));
  tabs_->setTabEnabled(0, false);  // the empty first tab only spaces the others
  tabs_->setAccessibleName(QStringLiteral("Pages: Edit, Notes, Link"));
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (index >= EditPage && index <= LinkPage && index != page_) setPage(static_cast<Page>(index));
  });
  rightLayout->addWidget(tabs_);
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
  for (const ToolSpec& toolSpec : kCardTools) editRow->addWidget(tool(toolSpec, small));
  editRow->addSpacing(10);
  const auto pushButton = [this](QWidget* parent, int id, const QString& text) {
    auto* b = new QPushButton(text, parent);
    setControlId(b, id);
    setAccessible(b, QString(text).remove(QLatin1Char('&')));
    connect(b, &QPushButton::clicked, this, [this, id] { onCommand(id); });
    return b;
  };
  // The card buttons carry the tool tips of the tool bar buttons that do the same.
  const std::pair<int, const char*> cardButtons[] = {
      {kAddName, "&Add"}, {kDeleteName, "&Delete"}, {kChangeName, "&Change"}};
  for (size_t i = 0; i < std::size(cardButtons); ++i) {
    QPushButton* b = pushButton(editButtons_, cardButtons[i].first,
                                QString::fromLatin1(cardButtons[i].second));
    b->setToolTip(tooltipOf(kCardTools[i].id));
    editRow->addWidget(b);
  }
  buttonRow->addWidget(editButtons_);
  buttonRow->addStretch(1);
  buttonRow->addWidget(toolButton(kWebPage, QStringLiteral("Quorvel web page"),
                                  standardIcon(this, "applications-internet",
                                               QStyle::SP_DriveNetIcon),
                                  large));
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
  if (!card_) return;
  card_->refresh();
  QString notes = fromCp1252(session_->card().notes());
  notes.remove(QLatin1Char('\r'));
  if (notes_->toPlainText() != notes) {
    notesBusy_ = true;
    notes_->setPlainText(notes);
    notesBusy_ = false;
  }
  updateCaption();
  if (page_ == LinkPage) rebuildSummary();
}

QTreeWidgetItem* TCardFile::itemFor(EntryRef entry) const {
  if (!entry.isValid() || entry.group >= tree_->topLevelItemCount()) return nullptr;
  QTreeWidgetItem* group = tree_->topLevelItem(entry.group);
  if (entry.isGroup()) return group;
  return entry.name < group->childCount() ? group->child(entry.name) : nullptr;
}

void TCardFile::rebuildTree() {
  if (!tree_) return;
  treeBusy_ = true;
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  const NamesList& names = session_->names();
  const EntryRef selection = session_->selection();
  const QIcon person = nameIcon();
  for (int g = 0; g < names.groupCount(); ++g) {
    const GroupEntry& group = names.group(g);
    auto* top = new QTreeWidgetItem(tree_, QStringList{fromCp1252(group.name)});
    top->setData(0, kGroupRole, g);
    top->setData(0, kNameRole, -1);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(group.names.size()));
    for (size_t n = 0; n < group.names.size(); ++n) {
      auto* item = new QTreeWidgetItem(QStringList{fromCp1252(group.names[n].text)});
      item->setData(0, kGroupRole, g);
      item->setData(0, kNameRole, static_cast<int>(n));
      item->setIcon(0, person);
      children.append(item);
    }
    top->addChildren(children);
    const bool open = expandedGroups_.contains(top->text(0).toLower()) ||
                      (selection.isValid() && selection.group == g);
    top->setExpanded(open);
    top->setIcon(0, QIcon(treeImage(g == 0 ? (open ? 5 : 4) : (open ? 1 : 0))));
    if (open) expandedGroups_.insert(top->text(0).toLower());
  }
  if (QTreeWidgetItem* current = itemFor(selection)) {
    tree_->setCurrentItem(current);
    tree_->scrollToItem(current);
  }
  tree_->setUpdatesEnabled(true);
  treeBusy_ = false;
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
  if (!caption_) return;
  const NameEntry* shown = session_->names().name(session_->selection());
  const QString key = shown ? fromCp1252(shown->text) : QString();
  if (page_ == NotesPage) {
    caption_->setText(shown ? QStringLiteral(" Notes about: %1").arg(key)
                            : QStringLiteral(" Notes: no item selected"));
  } else if (page_ == LinkPage) {
    caption_->setText(shown ? QStringLiteral(" Summary: %1").arg(key)
                            : QStringLiteral(" Summary: no item selected"));
  }
  setAccessible(caption_, caption_->text().trimmed());
}

void TCardFile::rebuildSummary() {
  summary_->showDocument(readRtf(summaryRtf(session_->card().toRecord())));
}

void TCardFile::setPage(Page page) {
  page_ = page;
  tabs_->blockSignals(true);
  tabs_->setCurrentIndex(page);
  tabs_->blockSignals(false);
  pages_->setCurrentIndex(page - 1);
  editButtons_->setVisible(page == EditPage);
  if (page != EditPage) {
    if (auto* layout = qobject_cast<QBoxLayout*>(pages_->widget(page - 1)->layout()))
      layout->insertWidget(0, caption_);
  }
  caption_->setVisible(page != EditPage);
  notesButton_->setVisible(page == NotesPage);
  updateCaption();
  if (page == LinkPage) rebuildSummary();
  if (page == EditPage) azButton_->setFocus(Qt::OtherFocusReason);
}

void TCardFile::userSelected(QTreeWidgetItem* item) {
  if (treeBusy_ || !item) return;
  const EntryRef entry{item->data(0, kGroupRole).toInt(), item->data(0, kNameRole).toInt()};
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
  const EntryRef entry{item->data(0, kGroupRole).toInt(), item->data(0, kNameRole).toInt()};
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
  const NamesList& names = session_->names();
  const EntryRef selection = session_->selection();
  const int group = selection.isValid() && selection.group < names.groupCount()
                        ? selection.group : NamesList::kMain;
  std::vector<std::string> texts;
  for (const auto& n : names.group(group).names) texts.push_back(n.text);
  const int index = findNameByLetter(texts, static_cast<char>('A' + row));
  if (index < 0) return;  // no such name: the selection stays
  find_.fieldPosition = -1;
  session_->select({group, index});
}

// --- find

void TCardFile::find() {
  TCardFind dialog(find_, this);
  connect(&dialog, &TCardFind::helpRequested, this, [this](int context) {
    if (services_.showHelp) services_.showHelp(context);
  });
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
  const NamesList& names = session_->names();
  const EntryRef selection = session_->selection();
  const int group = selection.isValid() && selection.group < names.groupCount()
                        ? selection.group : NamesList::kMain;
  SearchWalk walk;
  for (const auto& n : names.group(group).names) walk.startGroup.push_back(n.slot);
  for (const auto& n : names.mainNames()) walk.mainGroup.push_back(n.slot);
  walk.continueFrom = selection.isName() ? selection.name : -1;
  walk.recordCount = names.count();
  const Book& book = session_->book();
  const auto hit = searchRecords(find_, walk, [&book](int slot) -> std::optional<RecordFields> {
    auto record = book.readRecord(slot);
    if (!record) return std::nullopt;
    return record->fields;
  });
  if (!hit) {
    services_.prompter->ask(Message{find_.text, "Not found", Icon::Information, Buttons::Ok,
                                    Answer::Ok});
    return;
  }
  if (page_ != EditPage) setPage(EditPage);
  const FindState found = find_;
  session_->select({hit->inStartGroup ? group : NamesList::kMain, hit->index});
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
    services_.prompter->inform(kCannotCreateDirectory);
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
  services_.prompter->inform(pathText(csv), kUnableToOpenCaption, Icon::None, TextCoding::Utf8);
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
