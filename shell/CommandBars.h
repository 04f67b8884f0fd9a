#pragma once
// The frame's menus, toolbar and keyboard accelerators, built from the command table: the
// menu bar of a menu resource (1 in card mode, 208 in page-view mode), the recent books
// in the File menu, the toolbar with its page and layout buttons, the pop-up menus of
// letters (212) and layouts (213), and the status-bar hints. What a command does, whether
// it is enabled and which items are checked, the frame says through the hooks.

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

namespace mv {

struct CommandBarHooks {
  std::function<void(int id)> run;
  std::function<bool(int id)> enabled;
  // A layout item of a menu is checked (the layout shown in the page view).
  std::function<bool(int id)> checked;
  std::function<int()> viewKind;  // the navigation texts of the status hints
  // The File menu's recent books: menu id and text.
  std::function<std::vector<std::pair<int, std::string>>()> recentItems;
};

class CommandBars final : public QObject {
  Q_OBJECT
 public:
  CommandBars(QMainWindow& frame, CommandBarHooks hooks);

  void setMenuResource(int resource);
  int menuResource() const noexcept { return menuResource_; }
  // The action of a command in the current menu bar (nullptr when the menu has none).
  QAction* menuAction(int id) const;
  QMenu* fileMenu() const noexcept { return fileMenu_; }
  // The page view's toolbar, built when first asked for: the card window starts without it.
  QToolBar* toolBar();
  QToolButton* pageButton();
  QToolButton* layoutButton();

  // Commands without a hint show the title (the book's file, kept as the file system
  // names it).
  void setTitle(const QString& title);
  void refreshStatusTips();
  // The page button's and the layout button's texts (Windows-1252 layout name).
  void setButtonTexts(const std::string& page, const std::string& layoutName,
                      const std::string& layoutDescription);
  // Re-evaluates the enabled state of the toolbar and the menus.
  void updateStates();
  // Rebuilds the recent-book items of the File menu (done each time it opens).
  void updateFileMenu();
  // Pop-up menu 212 (letters) or 213 (layouts) with `checkedId` checked.
  QMenu* buildPopup(int resource, QWidget* parent, int checkedId);
  void popUp(int resource, QToolButton* below, int checkedId);

 private:
  // An action carrying command id (as data and object name) that runs it when triggered.
  QAction* commandAction(const QString& text, int id, QObject* parent);
  void buildToolBar();
  void buildAccelerators();
  void prepareMenu(QMenu* menu);

  QMainWindow& frame_;
  CommandBarHooks hooks_;
  QString title_;
  std::string shownLayoutName_;
  // The buttons' texts, kept for a toolbar built later.
  std::string pageText_;
  std::string layoutName_;
  std::string layoutDescription_;
  int menuResource_ = 0;
  QToolBar* toolBar_ = nullptr;
  QToolButton* pageButton_ = nullptr;
  QToolButton* layoutButton_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  QList<QAction*> recentItems_;
  QAction* recentSeparator_ = nullptr;
};

}  // namespace mv
