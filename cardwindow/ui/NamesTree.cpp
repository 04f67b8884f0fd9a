#include "cardwindow/ui/NamesTree.h"

#include "platform/Cp1252.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace mv {
namespace {

constexpr int kGroupRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

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

QIcon groupIcon(int group, bool open) {
  return QIcon(treeImage(group == 0 ? (open ? 5 : 4) : (open ? 1 : 0)));
}

QIcon nameIcon() {
  QIcon icon(treeImage(2));
  icon.addPixmap(treeImage(3), QIcon::Selected);
  return icon;
}

// The application's style, but a selected entry lights up over its whole row, indentation
// included.
class WholeRowSelected final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ItemView_ShowDecorationSelected) return 1;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

constexpr int kPadding = 2;
constexpr int kTriangleRoom = 14;

// Paints a small triangle at the right end of entries with names under them, pointing
// down when the entry is expanded.
class NamesDelegate final : public QStyledItemDelegate {
 public:
  explicit NamesDelegate(QTreeWidget* tree) : QStyledItemDelegate(tree), tree_(tree) {}
  // A little room above and below each name, and the triangle's at its right end.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(kTriangleRoom, 2 * kPadding);
  }
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    // The name stops before the triangle's room; the selection still fills the row.
    QStyleOptionViewItem name(option);
    name.rect.adjust(0, 0, -kTriangleRoom, 0);
    QStyledItemDelegate::paint(p, name, index);
    if (option.state & QStyle::State_Selected)
      p->fillRect(option.rect.adjusted(option.rect.width() - kTriangleRoom, 0, 0, 0),
                  option.palette.brush(option.state & QStyle::State_Active ? QPalette::Active
                                                                          : QPalette::Inactive,
                                       QPalette::Highlight));
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

// An entry of the list. Its place and picture are answered by the item, not stored in it
// as values: a book of 1,900 names is built at every start and every change of the list.
class NameItem final : public QTreeWidgetItem {
 public:
  NameItem(const QString& text, int group, int name, const QIcon& icon)
      : QTreeWidgetItem(QStringList{text}, UserType), group_(group), name_(name), icon_(icon) {}
  QVariant data(int column, int role) const override {
    if (column == 0) {
      if (role == kGroupRole) return group_;
      if (role == kNameRole) return name_;
      if (role == Qt::DecorationRole) return icon_;
    }
    return QTreeWidgetItem::data(column, role);
  }

 private:
  int group_;
  int name_;
  QIcon icon_;
};

}  // namespace

NamesTree::NamesTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setIconSize(QSize(20, 16));
  setItemDelegate(new NamesDelegate(this));
  setContextMenuPolicy(Qt::CustomContextMenu);
  setExpandsOnDoubleClick(true);
  setMinimumWidth(220);
  // Selected entries light up over the whole row, indentation included. The ground is the
  // window colour (light grey on a light desktop), so the text colour reads on it in a
  // dark palette too; a plain line in the mid colour frames it. Set through the palette
  // and the style's hint, not a style sheet: restyling the list through one cost more
  // at start than filling it with 1,900 names.
  auto* style = new WholeRowSelected;
  style->setParent(this);
  setStyle(style);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette ground = palette();
  ground.setColor(QPalette::Base, ground.color(QPalette::Window));
  setPalette(ground);
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!building_ && item) emit entryChosen(entryOf(*item));
  });
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    expandedGroups_.insert(item->text(0).toLower());
    item->setIcon(0, groupIcon(item->data(0, kGroupRole).toInt(), true));
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    expandedGroups_.remove(item->text(0).toLower());
    item->setIcon(0, groupIcon(item->data(0, kGroupRole).toInt(), false));
  });
}

bool NamesTree::event(QEvent* event) {
  if (event->type() != QEvent::Paint) return QTreeWidget::event(event);
  // The frame: one line in the mid colour (the style would draw it in the text colour).
  QPainter p(this);
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  return true;
}

QSize NamesTree::sizeHint() const {
  static const QString kTypicalEntry = QStringLiteral("Hoffmann Annalena Acme Corporation");
  // Indentation, icon, the item's padding and the triangle, the frame and a scroll bar.
  const int typical = fontMetrics().horizontalAdvance(kTypicalEntry) + indentation() +
                      iconSize().width() + 24 + 2 * frameWidth() +
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  return {std::max(minimumWidth(), remembered_ > 0 ? remembered_ : typical),
          QTreeWidget::sizeHint().height()};
}

EntryRef NamesTree::entryOf(const QTreeWidgetItem& item) {
  return {item.data(0, kGroupRole).toInt(), item.data(0, kNameRole).toInt()};
}

QTreeWidgetItem* NamesTree::itemFor(EntryRef entry) const {
  if (!entry.isValid() || entry.group >= topLevelItemCount()) return nullptr;
  QTreeWidgetItem* group = topLevelItem(entry.group);
  if (entry.isGroup()) return group;
  return entry.name < group->childCount() ? group->child(entry.name) : nullptr;
}

void NamesTree::rebuild(const NamesList& names, EntryRef selection) {
  building_ = true;
  setUpdatesEnabled(false);
  clear();
  const QIcon person = nameIcon();
  for (int g = 0; g < names.groupCount(); ++g) {
    const GroupEntry& group = names.group(g);
    auto* top = new QTreeWidgetItem(this, QStringList{fromCp1252(group.name)});
    top->setData(0, kGroupRole, g);
    top->setData(0, kNameRole, -1);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(group.names.size()));
    for (size_t n = 0; n < group.names.size(); ++n) {
      children.append(
          new NameItem(fromCp1252(group.names[n].text), g, static_cast<int>(n), person));
    }
    top->addChildren(children);
    const bool open = expandedGroups_.contains(top->text(0).toLower()) ||
                      (selection.isValid() && selection.group == g);
    top->setExpanded(open);
    top->setIcon(0, groupIcon(g, open));
    if (open) expandedGroups_.insert(top->text(0).toLower());
  }
  if (QTreeWidgetItem* current = itemFor(selection)) {
    setCurrentItem(current);
    scrollToItem(current);
  }
  setUpdatesEnabled(true);
  building_ = false;
}

}  // namespace mv
