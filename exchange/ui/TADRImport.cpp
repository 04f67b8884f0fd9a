#include "exchange/ui/TADRImport.h"

#include "platform/Cp1252.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace mv {
namespace {

constexpr int kMargin = 5;

QString qs(std::string_view cp1252) { return fromCp1252(cp1252); }

// Draws the "name\t= match" items as two columns, the names as wide as the widest one,
// so that every match lines up and is shown whole (the list scrolls sideways).
class MatchItemDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void setNameWidth(int width) noexcept { nameWidth_ = width; }

  // The item as the style draws it, without its text: the two columns are drawn here.
  QStyleOptionViewItem withoutText(const QStyleOptionViewItem& option, const QModelIndex& index,
                                   QString& text) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    text = opt.text;
    opt.text.clear();
    return opt;
  }
  static QStyle* styleOf(const QStyleOptionViewItem& opt) {
    return opt.widget ? opt.widget->style() : QApplication::style();
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QString text;
    QStyleOptionViewItem opt = withoutText(option, index, text);
    const QWidget* widget = opt.widget;
    QStyle* style = styleOf(opt);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect r = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget)
                        .adjusted(kTextMargin, 0, 0, 0);
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected
                                          ? QPalette::HighlightedText
                                          : QPalette::Text));
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text.left(tab));
    if (tab >= 0) {
      painter->drawText(r.adjusted(nameWidth_, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                        text.mid(tab + 1));
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QString text;
    QStyleOptionViewItem opt = withoutText(option, index, text);
    QSize size =
        styleOf(opt)->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), opt.widget);
    const QFontMetrics metrics(opt.font);
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    const int textWidth = tab < 0 ? metrics.horizontalAdvance(text)
                                  : nameWidth_ + metrics.horizontalAdvance(text.mid(tab + 1));
    size.rwidth() += textWidth + 3 * kTextMargin;
    size.setHeight(std::max(size.height(), metrics.height() + 2));
    return size;
  }

 private:
  static constexpr int kTextMargin = 3;
  int nameWidth_ = 0;
};

}  // namespace

TADRImport::TADRImport(imp::ImportSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      prompter_(prompter),
      importList_(new QListWidget(this)),
      programList_(new QListWidget(this)),
      fileCaption_(new QLabel(QStringLiteral("Import file \nhas these fields:"), this)),
      programCaption_(new QLabel(QStringLiteral("Mervane\nMatching Fields:"), this)),
      matchCaption_(new QLabel(QStringLiteral("Select a match:"), this)),
      note_(new QLabel(QStringLiteral("Click on an item in left list box, then click on a match "
                                      "listed in the right list box. \r\nCheck the fields "
                                      "that you need to import."),
                       this)),
      results_(new QTreeWidget(this)),
      progress_(new QProgressBar(this)),
      next_(new QPushButton(QStringLiteral("&Next >"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      help_(new QPushButton(QStringLiteral("&Help"), this)) {
  setWindowTitle(QStringLiteral("Import Address File"));
  setSizeGripEnabled(true);
  setControlId(importList_, kImportList);
  setControlId(programList_, kProgramList);
  setControlId(fileCaption_, kFileCaption);
  setControlId(programCaption_, kProgramCaption);
  setControlId(matchCaption_, kMatchCaption);
  setControlId(note_, kNote);
  setControlId(results_, kResultList);
  setControlId(next_, 1);
  setControlId(cancel_, 2);
  setControlId(help_, kHelp);
  setAccessible(help_, QStringLiteral("Help"));
  giveHelp(this, kHelpContext, help_);
  progress_->setObjectName(QStringLiteral("progress"));
  setAccessible(importList_, QStringLiteral("Import file has these fields"));
  setAccessible(programList_, QStringLiteral("Mervane Matching Fields"));
  setAccessible(results_, QStringLiteral("Imported entries"));
  setAccessible(progress_, QStringLiteral("Import progress"));
  setAccessible(next_, QStringLiteral("Next"));
  setAccessible(cancel_, QStringLiteral("Cancel"));
  note_->setWordWrap(true);
  note_->hide();
  matchCaption_->setWordWrap(true);
  progress_->hide();
  next_->setDefault(true);

  // The result list: the duplicate key, then one column per program field.
  QStringList heads{QStringLiteral("FirstName,LastName,Company")};
  for (int p = 0; p < kFieldCount; ++p) heads << qs(imp::programFieldName(p));
  results_->setColumnCount(static_cast<int>(heads.size()));
  results_->setHeaderLabels(heads);
  results_->setRootIsDecorated(false);
  results_->header()->setStretchLastSection(false);
  results_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Whole names and values, scrolled sideways, rather than "Business Pho…".
  for (QListWidget* list : {importList_, programList_}) {
    list->setTextElideMode(Qt::ElideNone);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  }
  results_->setSelectionBehavior(QAbstractItemView::SelectRows);
  results_->setUniformRowHeights(true);
  results_->hide();

  // The names' column is as wide as the widest name.
  auto* delegate = new MatchItemDelegate(importList_);
  int nameWidth = 0;
  for (const std::string& name : session_.file().names)
    nameWidth = std::max(nameWidth, importList_->fontMetrics().horizontalAdvance(qs(name)));
  delegate->setNameWidth(nameWidth +
                         importList_->fontMetrics().horizontalAdvance(QStringLiteral("  ")));
  importList_->setItemDelegate(delegate);

  filling_ = true;
  for (int p = 0; p < kFieldCount; ++p) programList_->addItem(qs(imp::programFieldName(p)));
  const imp::FieldMatch& match = session_.match();
  for (int i = 0; i < match.importCount(); ++i) {
    auto* item = new QListWidgetItem(importList_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    refreshItem(i);
  }
  filling_ = false;

  connect(importList_, &QListWidget::itemSelectionChanged, this, &TADRImport::importSelected);
  connect(programList_, &QListWidget::itemSelectionChanged, this, &TADRImport::programSelected);
  connect(importList_, &QListWidget::itemChanged, this, &TADRImport::checkChanged);
  connect(next_, &QPushButton::clicked, this, &TADRImport::next);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  resize(560, 380);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  layOut();
}

void TADRImport::refreshItem(int importField) {
  QListWidgetItem* item = importList_->item(importField);
  if (!item) return;
  const imp::FieldMatch& match = session_.match();
  const bool wasFilling = filling_;
  filling_ = true;
  item->setText(qs(session_.file().names[static_cast<std::size_t>(importField)]) +
                QStringLiteral("\t= ") + qs(imp::matchText(match, importField)));
  item->setCheckState(match.imports(importField) ? Qt::Checked : Qt::Unchecked);
  filling_ = wasFilling;
}

void TADRImport::selectProgramQuietly(int programField) {
  filling_ = true;
  programList_->clearSelection();
  if (programField != imp::kNoMatch) {
    programList_->setCurrentRow(programField);
  } else {
    programList_->setCurrentRow(-1);
  }
  filling_ = false;
}

void TADRImport::importSelected() {
  if (filling_) return;
  const int i = importList_->currentRow();
  if (i < 0 || importList_->selectedItems().isEmpty()) return;
  QListWidgetItem* item = importList_->item(i);
  const imp::FieldMatch& match = session_.match();
  int p = match.programOf(i);
  const imp::GroupColumn& group = match.groupOf(i);
  if (item->checkState() == Qt::Checked && p == imp::kNoMatch &&
      match.fallbackOf(i) == imp::kNoMatch && group.role == imp::GroupRole::None) {
    prompter_.inform(
        "I can't find a match for this import field.\n\nPlease see if you can find a match "
        "\nin the box on the right.",
        "");
    filling_ = true;
    item->setCheckState(Qt::Unchecked);
    filling_ = false;
    session_.match().setIncluded(i, false);
  }
  // The field a second choice or an address part fills shows as its match.
  if (group.role == imp::GroupRole::AddressPart) p = group.field;
  if (p == imp::kNoMatch) p = match.fallbackOf(i);
  selectProgramQuietly(p);
  matchCaption_->setText(qs(fillFormat("Match Import's  \"%s\"\nto Mervane's \"%s\"",
                                       {session_.file().names[static_cast<std::size_t>(i)],
                                        imp::programFieldName(p)})));
}

void TADRImport::programSelected() {
  if (filling_) return;
  const int p = programList_->currentRow();
  if (p < 0 || programList_->selectedItems().isEmpty()) return;
  const int i = importList_->selectedItems().isEmpty() ? -1 : importList_->currentRow();
  if (i < 0) {
    prompter_.inform(
        "First select an \"Import\" field on the left side.\nThen click on a matching "
        "\"Mervane field\"\nthat is listed in this box.",
        "");
    selectProgramQuietly(imp::kNoMatch);
    return;
  }
  imp::FieldMatch& match = session_.match();
  const auto& names = session_.file().names;
  for (int other : match.holdersOf(p, i)) {
    const Answer a = prompter_.ask(Message{
        fillFormat("Import's\n%s\n\nis matched with:\n\nMervane's\n%s\n\n\nDo you wish to "
                   "remove this match?",
                   {names[static_cast<std::size_t>(other)], imp::programFieldName(p)}),
        kAppCaption, Icon::Question, Buttons::YesNo, Answer::Yes});
    if (a != Answer::Yes) {
      // The older match stays, so the new one cannot take its place: a column must not
      // look matched while another fills its field.
      selectProgramQuietly(match.programOf(i));
      return;
    }
  }
  std::vector<int> released = match.holdersOf(p, i);
  match.match(i, p);
  for (int other : released) refreshItem(other);
  refreshItem(i);
  importList_->doItemsLayout();  // a longer match widens the list's scrolling range
  matchCaption_->setText(qs(fillFormat("Match Import's  \"%s\"\nto Mervane's \"%s\"",
                                       {names[static_cast<std::size_t>(i)],
                                        imp::programFieldName(p)})));
  importList_->viewport()->update();
}

void TADRImport::checkChanged(QListWidgetItem* item) {
  if (filling_) return;
  const int i = importList_->row(item);
  // An unchecked field is left out of the import; its match is kept for a later check.
  session_.match().setIncluded(i, item->checkState() == Qt::Checked);
}

void TADRImport::next() {
  if (session_.stage() == 1) {
    const imp::FieldMatch& match = session_.match();
    bool matched = false;
    for (int i = 0; i < match.importCount() && !matched; ++i) matched = match.imports(i);
    if (session_.file().names.empty()) {
      prompter_.ask(Message{"The file is empty: no first line names its columns, so nothing "
                            "can be imported.",
                            kAppCaption, Icon::Exclamation, Buttons::Ok});
      return;
    }
    if (!matched) {
      // An import of nothing would make an empty book: the user matches first.
      prompter_.ask(Message{
          fillFormat("No column of the file is matched to a Mervane field, so nothing "
                     "would be imported.\n\nColumns not matched: %s\n\nClick a column on "
                     "the left, then its field on the right.",
                     {imp::joinedNames(session_.file().names)}),
          kAppCaption, Icon::Exclamation, Buttons::Ok});
      return;
    }
    runImport();
    return;
  }
  results_->clear();
  accept();
}

void TADRImport::runImport() {
  next_->setEnabled(false);
  cancel_->setEnabled(false);
  progress_->setRange(0, std::max<int>(1, std::min<int>(static_cast<int>(session_.file().lines.size()),
                                                        imp::kMaxImportRecords)));
  progress_->setValue(0);
  progress_->show();
  layOut();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = session_.run([this](int records) {
    setWindowTitle(QStringLiteral("Importing items: %1").arg(records));
    progress_->setValue(records);
    // Let the caption and the bar repaint; clicks wait until the import is done.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  });
  QApplication::restoreOverrideCursor();
  progress_->hide();
  next_->setEnabled(true);
  cancel_->setEnabled(true);
  if (!ok) {
    prompter_.ask(Message{session_.error(), kAppCaption, Icon::Stop, Buttons::Ok, Answer::Ok,
                          TextCoding::Utf8});
    reject();
    return;
  }
  const imp::ImportedBook& result = session_.result();
  setWindowTitle(QStringLiteral("Importing %1 Items").arg(result.records.size()));

  results_->setUpdatesEnabled(false);
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(result.records.size()));
  for (std::size_t r = 0; r < result.records.size(); ++r) {
    const AddressRecord& record = result.records[r];
    auto* row = new QTreeWidgetItem;
    row->setText(0, qs(result.keys[r]));
    for (int p = 0; p < kFieldCount; ++p) {
      const std::string& value = p == imp::kNotesField ? record.notes
                                                      : record.fields[static_cast<std::size_t>(p)];
      if (!value.empty()) row->setText(p + 1, qs(value).simplified());
    }
    rows.append(row);
  }
  results_->addTopLevelItems(rows);
  for (int c = 0; c < results_->columnCount(); ++c) results_->resizeColumnToContents(c);
  results_->setUpdatesEnabled(true);

  if (result.duplicates > 0) {
    prompter_.ask(Message{imp::kDuplicatesMessage, imp::kDuplicatesCaption, Icon::Information,
                          Buttons::Ok});
  }
  const std::string notice = imp::importNotice(result);
  if (!notice.empty()) prompter_.inform(notice, kAppCaption, Icon::Information);

  for (QWidget* w : std::initializer_list<QWidget*>{fileCaption_, programCaption_, matchCaption_,
                                                    note_, importList_, programList_}) {
    w->hide();
  }
  results_->show();
  next_->setText(QStringLiteral("&Finish"));
  setAccessible(next_, QStringLiteral("Finish"));
  layOut();
}

void TADRImport::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layOut();
}

void TADRImport::layOut() {
  const QSize client = size();
  const QSize button = next_->sizeHint().expandedTo(cancel_->sizeHint()).expandedTo(QSize(75, 23));
  const int buttonTop = client.height() - kMargin - button.height();
  help_->setGeometry(kMargin, buttonTop, button.width(), button.height());
  cancel_->setGeometry(client.width() - kMargin - button.width(), buttonTop, button.width(),
                       button.height());
  next_->setGeometry(cancel_->x() - 2 - button.width(), buttonTop, button.width(),
                     button.height());
  // The progress bar runs along the bottom, between Help and the other buttons.
  const int progressLeft = help_->geometry().right() + 1 + kMargin;
  progress_->setGeometry(progressLeft, buttonTop, std::max(0, next_->x() - kMargin - progressLeft),
                         button.height());
  const int bottom = buttonTop - kMargin;
  if (session_.stage() == 2) {
    results_->setGeometry(kMargin, kMargin, client.width() - 2 * kMargin,
                          std::max(0, bottom - kMargin));
    return;
  }
  note_->hide();
  const int width = std::max(0, (client.width() - 3 * kMargin) / 2);
  const int line = fontMetrics().lineSpacing();
  const int captionHeight = 2 * line + 4;
  const int left = kMargin;
  const int right = 2 * kMargin + width;
  fileCaption_->setGeometry(left, kMargin, width, captionHeight);
  programCaption_->setGeometry(right, kMargin, width, captionHeight);
  const int listTop = kMargin + captionHeight + 2;
  importList_->setGeometry(left, listTop, width, std::max(0, bottom - listTop));
  matchCaption_->setGeometry(right, listTop, width, captionHeight);
  const int programTop = listTop + captionHeight + 2;
  programList_->setGeometry(right, programTop, width, std::max(0, bottom - programTop));
}

std::optional<std::filesystem::path> importCsvFile(
    const std::filesystem::path& csv, Prompter& prompter, FileChooser& chooser,
    const std::filesystem::path& openBook, QWidget* parent,
    const std::function<int(QDialog&)>& runDialog) {
  imp::ImportSession session;
  if (!session.open(csv)) {
    prompter.ask(Message{session.error(), kAppCaption, Icon::Stop, Buttons::Ok, Answer::Ok,
                         TextCoding::Utf8});
    return std::nullopt;
  }
  {
    TADRImport dialog(session, prompter, parent);
    const int answer = runDialog ? runDialog(dialog) : dialog.exec();
    if (answer != QDialog::Accepted) return std::nullopt;
  }
  return imp::saveImportedBook(prompter, chooser, openBook);
}

}  // namespace mv
