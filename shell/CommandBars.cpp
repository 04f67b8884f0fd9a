#include "shell/CommandBars.h"

#include "commands/Commands.h"
#include "platform/Cp1252.h"
#include "printing/LayoutCatalogue.h"
#include "shell/CommandTable.h"
#include "shell/ToolbarIcons.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace mv {
namespace {

int commandOf(const QAction* a) {
  const QVariant v = a->data();
  return v.isValid() ? v.toInt() : 0;
}

}  // namespace

CommandBars::CommandBars(QMainWindow& frame, CommandBarHooks hooks)
    : QObject(&frame), frame_(frame), hooks_(std::move(hooks)), title_(frame.windowTitle()) {
  buildAccelerators();
}

QToolBar* CommandBars::toolBar() {
  if (!toolBar_) {
    buildToolBar();
    refreshStatusTips();
    setButtonTexts(pageText_, layoutName_, layoutDescription_);
    updateStates();
  }
  return toolBar_;
}

QToolButton* CommandBars::pageButton() {
  toolBar();
  return pageButton_;
}

QToolButton* CommandBars::layoutButton() {
  toolBar();
  return layoutButton_;
}

QAction* CommandBars::commandAction(const QString& text, int id, QObject* parent) {
  auto* a = new QAction(text, parent);
  a->setData(id);
  a->setObjectName(QString::number(id));
  connect(a, &QAction::triggered, this, [this, id] { hooks_.run(id); });
  return a;
}

void CommandBars::setMenuResource(int resource) {
  if (menuResource_ == resource) return;
  menuResource_ = resource;
  recentItems_.clear();
  recentSeparator_ = nullptr;
  fileMenu_ = nullptr;
  QMenuBar* bar = frame_.menuBar();
  bar->clear();
  bar->setObjectName(QStringLiteral("menu%1").arg(resource));
  for (const MenuDef& def : mv::menuResource(resource)) {
    QMenu* menu = bar->addMenu(QString::fromStdString(def.title));
    menu->setObjectName(QString::fromStdString(def.title).remove('&'));
    for (const MenuItem& item : def.items) {
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* a = commandAction(fromCp1252(item.label), item.id, menu);
      if (item.id >= kFirstDrawnLayout && item.id <= kLastDrawnLayout) a->setCheckable(true);
      // Items whose command has a picture show it beside their text.
      a->setIcon(toolbarIcon(commandPicture(item.id)));
      menu->addAction(a);
      if (item.id == cmd::kSaveAndClose) fileMenu_ = menu;
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { prepareMenu(menu); });
  }
  refreshStatusTips();
}

QAction* CommandBars::menuAction(int id) const {
  for (QAction* top : frame_.menuBar()->actions()) {
    if (!top->menu()) continue;
    for (QAction* a : top->menu()->actions())
      if (!a->isSeparator() && commandOf(a) == id) return a;
  }
  return nullptr;
}

void CommandBars::prepareMenu(QMenu* menu) {
  if (menu == fileMenu_) updateFileMenu();
  for (QAction* a : menu->actions()) {
    const int id = commandOf(a);
    if (a->isSeparator() || id == 0) continue;
    a->setEnabled(hooks_.enabled(id));
    if (id >= kLayoutCommandBase && id <= kLayoutCommandBase + 27) a->setChecked(hooks_.checked(id));
  }
}

void CommandBars::buildToolBar() {
  toolBar_ = new QToolBar(tr("Toolbar"), &frame_);
  toolBar_->setObjectName(QString::number(cmd::kToolbar));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->toggleViewAction()->setVisible(false);
  for (const Gadget& g : toolbarGadgets()) {
    switch (g.kind) {
      case Gadget::Kind::Separator: {
        auto* gap = new QWidget(toolBar_);
        gap->setFixedWidth(g.width);
        gap->setObjectName("separator");
        toolBar_->addWidget(gap);
        break;
      }
      case Gadget::Kind::Button: {
        QAction* a = commandAction(QString(), g.command, toolBar_);
        a->setIcon(toolbarIcon(g.bitmap));
        a->setText(QString::fromStdString(statusHint(g.command, "")).trimmed());
        toolBar_->addAction(a);
        if (QWidget* w = toolBar_->widgetForAction(a)) w->setAccessibleName(a->text());
        break;
      }
      case Gadget::Kind::TextButton: {
        auto* button = new QToolButton(toolBar_);
        QAction* a = commandAction(QString(), g.command, button);
        button->setDefaultAction(a);
        button->setObjectName(QString::number(g.command));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(110);
        toolBar_->addWidget(button);
        (g.command == cmd::kPageButton ? pageButton_ : layoutButton_) = button;
        break;
      }
    }
  }
  frame_.addToolBar(Qt::TopToolBarArea, toolBar_);
  toolBar_->hide();
}

void CommandBars::buildAccelerators() {
  for (const Accelerator& acc : acceleratorTable()) {
    auto* a = new QAction(&frame_);
    a->setData(acc.command);
    a->setObjectName(QStringLiteral("accelerator%1").arg(acc.command));
    a->setShortcut(QKeySequence(QKeyCombination::fromCombined(acc.key)));
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [this, id = acc.command] {
      if (hooks_.enabled(id)) hooks_.run(id);
    });
    frame_.addAction(a);
  }
}

void CommandBars::setTitle(const QString& title) {
  title_ = title;
  refreshStatusTips();
}

void CommandBars::refreshStatusTips() {
  // A command without a hint shows the title, which names the book's file and so is kept
  // as it is rather than passed through Windows-1252.
  const int viewKind = hooks_.viewKind();
  auto tip = [&](QAction* a) {
    const int id = commandOf(a);
    if (!id) return;
    const std::string hint = statusHint(id, "", viewKind);
    a->setStatusTip(hint.empty() ? title_ : fromCp1252(hint));
  };
  for (QAction* top : frame_.menuBar()->actions())
    if (top->menu())
      for (QAction* a : top->menu()->actions()) tip(a);
  if (toolBar_)
    for (QAction* a : toolBar_->actions()) tip(a);
  if (pageButton_) tip(pageButton_->defaultAction());
  if (layoutButton_) tip(layoutButton_->defaultAction());
}

void CommandBars::setButtonTexts(const std::string& page, const std::string& layoutName,
                                 const std::string& layoutDescription) {
  pageText_ = page;
  layoutName_ = layoutName;
  layoutDescription_ = layoutDescription;
  if (!toolBar_) return;
  pageButton_->defaultAction()->setText(QString::fromStdString(page));
  if (layoutName != shownLayoutName_ || layoutButton_->text().isEmpty()) {
    shownLayoutName_ = layoutName;
    layoutButton_->defaultAction()->setText(fromCp1252(layoutName));
    // The tooltip says what the layout is; the button's own text is only its short name.
    layoutButton_->defaultAction()->setToolTip(fromCp1252(layoutDescription));
  }
}

void CommandBars::updateStates() {
  if (toolBar_) {
    for (QAction* a : toolBar_->actions())
      if (const int id = commandOf(a)) a->setEnabled(hooks_.enabled(id));
    pageButton_->defaultAction()->setEnabled(hooks_.enabled(cmd::kPageButton));
    layoutButton_->defaultAction()->setEnabled(hooks_.enabled(cmd::kLayoutButton));
  }
  for (QAction* top : frame_.menuBar()->actions())
    if (top->menu()) prepareMenu(top->menu());
}

void CommandBars::updateFileMenu() {
  if (!fileMenu_) return;
  for (QAction* a : recentItems_) {
    fileMenu_->removeAction(a);
    a->deleteLater();
  }
  recentItems_.clear();
  if (recentSeparator_) {
    fileMenu_->removeAction(recentSeparator_);
    recentSeparator_->deleteLater();
    recentSeparator_ = nullptr;
  }
  QAction* saveAndClose = nullptr;
  for (QAction* a : fileMenu_->actions())
    if (commandOf(a) == cmd::kSaveAndClose) saveAndClose = a;
  // Every item goes above "Save and Close" in list order, gaps and all.
  for (const auto& [id, text] : hooks_.recentItems()) {
    QAction* a = commandAction(QString::fromStdString(text), id, fileMenu_);
    a->setStatusTip(title_);
    fileMenu_->insertAction(saveAndClose, a);
    recentItems_.push_back(a);
  }
  if (!recentItems_.isEmpty()) {
    recentSeparator_ = new QAction(fileMenu_);
    recentSeparator_->setSeparator(true);
    fileMenu_->insertAction(saveAndClose, recentSeparator_);
  }
}

QMenu* CommandBars::buildPopup(int resource, QWidget* parent, int checkedId) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QStringLiteral("menu%1").arg(resource));
  const std::vector<MenuDef> defs = mv::menuResource(resource);
  if (defs.empty()) return menu;
  for (const MenuItem& item : defs.front().items) {
    QAction* a = commandAction(fromCp1252(item.label), item.id, menu);
    a->setCheckable(true);
    a->setChecked(item.id == checkedId);
    menu->addAction(a);
  }
  return menu;
}

void CommandBars::popUp(int resource, QToolButton* below, int checkedId) {
  std::unique_ptr<QMenu> menu(buildPopup(resource, &frame_, checkedId));
  menu->exec(below->mapToGlobal(QPoint(-1, below->height())));
}

}  // namespace mv
