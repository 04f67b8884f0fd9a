#include "cardwindow/ui/TDuplicates.h"

#include "platform/Cp1252.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mv {
namespace {

constexpr int kGroupRole = Qt::UserRole;
constexpr int kMemberRole = Qt::UserRole + 1;
constexpr int kNotesRow = kFieldCount - 1;  // every field but the Buffer, then the notes

FieldId fieldOfRow(int row) noexcept {
  return static_cast<FieldId>(row < toInt(FieldId::Buffer) ? row : row + 1);
}

QString qs(std::string_view cp1252) { return fromCp1252(cp1252); }

QString entryText(const Book& book, int slot) {
  const std::optional<AddressRecord> r = book.readRecord(slot);
  return r ? qs(nameKey(*r, book.cardSort())).trimmed() : QString();
}

}  // namespace

TDuplicates::TDuplicates(Book& book, DuplicateMerger& merger, Prompter& prompter,
                         QWidget* parent)
    : QDialog(parent),
      book_(book),
      merger_(merger),
      prompter_(prompter),
      groups_(new QTreeWidget(this)),
      fields_(new QTableWidget(kNotesRow + 1, 3, this)),
      note_(new QLabel(this)),
      merge_(new QPushButton(QStringLiteral("&Merge"), this)),
      undo_(new QPushButton(QStringLiteral("&Undo Merge"), this)) {
  setWindowTitle(QStringLiteral("Duplicates"));
  setSizeGripEnabled(true);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  auto* help = new QPushButton(QStringLiteral("&Help"), this);
  setControlId(help, kHelp);
  setAccessible(help, QStringLiteral("Help"));
  giveHelp(this, kHelpContext, help);
  setControlId(groups_, kGroups);
  setControlId(fields_, kFields);
  setControlId(note_, kNote);
  setControlId(merge_, kMerge);
  setControlId(undo_, kUndo);
  setControlId(close, kClose);
  setAccessible(groups_, QStringLiteral("Entries that look alike"));
  setAccessible(fields_, QStringLiteral("Fields of the two entries"));
  setAccessible(merge_, QStringLiteral("Merge"));
  setAccessible(undo_, QStringLiteral("Undo Merge"));
  setAccessible(close, QStringLiteral("Close"));

  groups_->setHeaderLabels({QStringLiteral("Shared"), QStringLiteral("Entries")});
  groups_->setRootIsDecorated(true);
  groups_->header()->setStretchLastSection(false);
  groups_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  groups_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  fields_->setHorizontalHeaderLabels(
      {QStringLiteral("Field"), QStringLiteral("Keep"), QStringLiteral("Merge into it")});
  fields_->verticalHeader()->hide();
  fields_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  fields_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fields_->setSelectionMode(QAbstractItemView::NoSelection);
  fields_->horizontalHeader()->setSectionResizeMode(kFieldColumn, QHeaderView::ResizeToContents);
  fields_->horizontalHeader()->setSectionResizeMode(kFirstColumn, QHeaderView::Stretch);
  fields_->horizontalHeader()->setSectionResizeMode(kSecondColumn, QHeaderView::Stretch);
  for (int row = 0; row <= kNotesRow; ++row) {
    const QString name = row == kNotesRow
                             ? QStringLiteral("Notes (joined)")
                             : QString::fromLatin1(fieldInfo(fieldOfRow(row)).listName);
    fields_->setItem(row, kFieldColumn, new QTableWidgetItem(name));
  }
  note_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  auto* panes = new QHBoxLayout;
  panes->addWidget(groups_, 3);
  panes->addWidget(fields_, 5);
  layout->addLayout(panes, 1);
  layout->addWidget(note_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(merge_);
  buttons->addWidget(undo_);
  buttons->addWidget(close);
  buttons->addWidget(help);
  layout->addLayout(buttons);

  connect(groups_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (filling_ || !item) return;
    showPair(item->data(0, kGroupRole).toInt(), item->data(0, kMemberRole).toInt());
  });
  connect(fields_, &QTableWidget::cellClicked, this, &TDuplicates::cellClicked);
  connect(merge_, &QPushButton::clicked, this, &TDuplicates::merge);
  connect(undo_, &QPushButton::clicked, this, &TDuplicates::undo);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(960, 600);
  refill();
}

void TDuplicates::refill() {
  found_ = findDuplicates(book_);
  filling_ = true;
  groups_->clear();
  for (int g = 0; g < static_cast<int>(found_.size()); ++g) {
    const DuplicateGroup& group = found_[static_cast<std::size_t>(g)];
    auto* top = new QTreeWidgetItem(groups_);
    top->setText(0, qs(reasonName(group.reason)) + QStringLiteral(": ") + qs(group.shared));
    top->setText(1, QString::number(group.members.size()));
    top->setData(0, kGroupRole, g);
    top->setData(0, kMemberRole, 0);
    for (int m = 0; m < static_cast<int>(group.members.size()); ++m) {
      auto* child = new QTreeWidgetItem(top);
      child->setText(0, entryText(book_, group.members[static_cast<std::size_t>(m)]));
      child->setData(0, kGroupRole, g);
      child->setData(0, kMemberRole, m);
    }
    top->setExpanded(true);
  }
  filling_ = false;
  note_->setText(found_.empty()
                     ? QStringLiteral("No entries share a name, an e-mail address or a "
                                      "telephone number.")
                     : QStringLiteral("Pick a group or one of its entries, tick the value to "
                                      "keep in each row, then Merge. The second entry is "
                                      "deleted; Undo Merge brings it back until you save."));
  first_ = second_ = -1;
  if (!found_.empty()) {
    groups_->setCurrentItem(groups_->topLevelItem(0));
    showPair(0, 0);
  } else {
    fillFields();
  }
}

void TDuplicates::showPair(int group, int member) {
  if (group < 0 || group >= static_cast<int>(found_.size())) return;
  const std::vector<int>& members = found_[static_cast<std::size_t>(group)].members;
  first_ = members.front();
  const int other = member > 0 && member < static_cast<int>(members.size()) ? member : 1;
  second_ = members[static_cast<std::size_t>(other)];
  fillFields();
}

void TDuplicates::fillFields() {
  const std::optional<AddressRecord> a = first_ >= 0 ? book_.readRecord(first_) : std::nullopt;
  const std::optional<AddressRecord> b = second_ >= 0 ? book_.readRecord(second_) : std::nullopt;
  const FieldChoice proposal = a && b ? fillEmptyFields(*a, *b) : FieldChoice{};
  filling_ = true;
  for (int row = 0; row <= kNotesRow; ++row) {
    for (int column : {kFirstColumn, kSecondColumn}) {
      const std::optional<AddressRecord>& r = column == kFirstColumn ? a : b;
      std::string value;
      if (r) value = row == kNotesRow ? r->notes : (*r)[fieldOfRow(row)];
      auto* cell = new QTableWidgetItem(qs(value).simplified());
      if (row == kNotesRow || !r) {
        cell->setFlags(Qt::ItemIsEnabled);
      } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool second = proposal[static_cast<std::size_t>(toInt(fieldOfRow(row)))];
        cell->setCheckState((column == kSecondColumn) == second ? Qt::Checked : Qt::Unchecked);
      }
      fields_->setItem(row, column, cell);
    }
  }
  filling_ = false;
  updateButtons();
}

void TDuplicates::cellClicked(int row, int column) {
  if (filling_ || row == kNotesRow || column == kFieldColumn) return;
  chooseSecond(fieldOfRow(row), column == kSecondColumn);
}

void TDuplicates::chooseSecond(FieldId field, bool second) {
  int row = toInt(field);
  if (field == FieldId::Buffer || first_ < 0) return;
  if (row > toInt(FieldId::Buffer)) --row;
  fields_->item(row, kFirstColumn)->setCheckState(second ? Qt::Unchecked : Qt::Checked);
  fields_->item(row, kSecondColumn)->setCheckState(second ? Qt::Checked : Qt::Unchecked);
}

FieldChoice TDuplicates::choice() const {
  FieldChoice out{};
  for (int row = 0; row < kNotesRow; ++row) {
    const QTableWidgetItem* cell = fields_->item(row, kSecondColumn);
    out[static_cast<std::size_t>(toInt(fieldOfRow(row)))] =
        cell && cell->checkState() == Qt::Checked;
  }
  return out;
}

void TDuplicates::merge() {
  const std::optional<AddressRecord> a = first_ >= 0 ? book_.readRecord(first_) : std::nullopt;
  const std::optional<AddressRecord> b = second_ >= 0 ? book_.readRecord(second_) : std::nullopt;
  if (!a || !b) return;
  const AddressRecord merged = mergedRecord(*a, *b, choice());
  switch (merger_.merge(first_, second_, merged)) {
    case MergeResult::Merged: changed_ = true; break;
    case MergeResult::NameTaken:
      prompter_.inform(fillFormat("Another entry is named\n%s\n\nChoose another First, Last or "
                                  "Company for the merged entry.",
                                  {nameKey(merged, book_.cardSort())}),
                       "Merge", Icon::Information);
      return;
    case MergeResult::WriteFailed:
      prompter_.inform("File Error", kAppCaption, Icon::Stop);
      return;
    case MergeResult::NotOpen:
    case MergeResult::NoSuchEntry: return;
  }
  refill();
}

void TDuplicates::undo() {
  if (!merger_.undo()) {
    prompter_.inform("The merge can no longer be undone: the book has been saved or changed "
                     "since.",
                     "Undo Merge", Icon::Information);
    updateButtons();
    return;
  }
  changed_ = true;
  refill();
}

void TDuplicates::updateButtons() {
  merge_->setEnabled(first_ >= 0 && second_ >= 0);
  undo_->setEnabled(merger_.canUndo());
}

}  // namespace mv
