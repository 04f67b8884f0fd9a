#include "cardwindow/ui/CardToolBar.h"

#include "commands/Commands.h"
#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"
#include "platform/ui/LazyIcon.h"

#include <QBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace mv {
namespace {

// A tool bar button: command (its tool tip stands in the command table), icon theme name
// and the style's stand-in.
struct ToolSpec {
  int id;
  const char* theme;
  QStyle::StandardPixmap fallback;
};

// Above the names list.
constexpr ToolSpec kFileTools[] = {
    {cmd::kPrintPreview, "document-print-preview", QStyle::SP_FileDialogContentsView},
    {cmd::kNewFile, "document-new", QStyle::SP_FileIcon},
    {cmd::kOpen, "document-open", QStyle::SP_DialogOpenButton},
    {cmd::kSave, "document-save", QStyle::SP_DialogSaveButton},
    {cmd::kFind, "edit-find", QStyle::SP_FileDialogDetailedView},
};

// Before the card buttons.
constexpr ToolSpec kCardTools[] = {
    {cmd::kAddNameTool, "list-add", QStyle::SP_FileDialogNewFolder},
    {cmd::kDeleteTool, "list-remove", QStyle::SP_TrashIcon},
    {cmd::kChangeTool, "document-edit", QStyle::SP_BrowserReload},
    {cmd::kClearCard, "edit-clear", QStyle::SP_DialogResetButton},
};

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

// Reading the icon theme's index and the style's picture files would be most of what
// building the card window costs: that waits until the icons are drawn.
QIcon CardToolBar::themedIcon(const QWidget* w, const char* theme,
                              QStyle::StandardPixmap fallback) {
  QStyle* style = w->style();
  return lazyIcon([style, theme, fallback] {
    // The style's picture only when the theme has none: making it reads several files.
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(theme));
    return icon.isNull() ? style->standardIcon(fallback) : icon;
  });
}

QString CardToolBar::tooltipOf(int id) { return fromCp1252(std::string(commandTooltip(id))); }

QToolButton* CardToolBar::makeButton(QWidget* parent, int id, const QString& tip,
                                     const QIcon& icon, bool large) {
  const QSize size = large ? QSize(28, 28) : QSize(24, 24);
  auto* b = new QToolButton(parent);
  setControlId(b, id);
  b->setToolTip(tip);
  setAccessible(b, tip);
  b->setIcon(icon);
  b->setIconSize(size - QSize(5, 5));
  b->setFixedSize(size);
  b->setAutoRaise(true);
  return b;
}

CardToolBar::CardToolBar(Row row, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  const auto add = [this, layout](int id, const QString& tip, const QIcon& icon, bool large) {
    QToolButton* b = makeButton(this, id, tip, icon, large);
    connect(b, &QToolButton::clicked, this, [this, id] { emit commandRequested(id); });
    layout->addWidget(b);
  };
  const auto addTool = [&](const ToolSpec& tool) {
    add(tool.id, tooltipOf(tool.id), themedIcon(this, tool.theme, tool.fallback), false);
  };
  if (row == Row::Card) {
    for (const ToolSpec& tool : kCardTools) addTool(tool);
    return;
  }
  for (const ToolSpec& tool : kFileTools) {
    if (tool.id == cmd::kFind) layout->addSpacing(4);
    addTool(tool);
  }
  layout->addStretch(1);
  // Drawn when first shown: its small bold font is one more font to look up at start.
  add(cmd::kAZ, QStringLiteral("A to Z menu... browse alphabetically"),
      lazyIcon([colour = palette().color(QPalette::WindowText)] {
        return letterIcon(QStringLiteral("A-Z"), colour);
      }),
      true);
  add(cmd::kSortMenu, QStringLiteral("Sort the items"),
      themedIcon(this, "view-sort-ascending", QStyle::SP_ArrowDown), true);
}

QToolButton* CardToolBar::button(int id) const { return control<QToolButton>(this, id); }

}  // namespace mv
