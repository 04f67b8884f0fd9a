#pragma once
// The page view: the current sheet of the current layout drawn as it will print, on a
// light grey ground, zoomed and scrolled. It draws through the same renderSheet() as the
// printer and PDF files, so what it shows is what prints.

#include "commands/CommandHandlers.h"
#include "commands/CommandTarget.h"
#include "printing/PageRenderer.h"

#include <QAbstractScrollArea>

#include <functional>

class QMenu;

namespace mv {

struct PageViewSources {
  std::function<PageJob()> job;                 // the job of the current state
  std::function<QMenu*(QWidget*)> layoutMenu;   // menu 213 with the current layout checked
};

class PageView final : public QAbstractScrollArea, public PageViewHost {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 15;  // F1 in the page view (the frame's, as its menus)

  PageView(QWidget* parent, AppState& state, ShellServices& services, PageViewSources sources);

  // The zoom commands and the refresh (3000).
  bool handlesCommand(int id) const override;
  bool onCommand(int id) override;
  std::optional<bool> isCommandEnabled(int id) const override;
  bool hasHandler(int id) const override { return commands_.handles(id); }
  QWidget* widget() override { return this; }

  // The pop-up the right mouse button opens (the caller owns it).
  QMenu* contextMenu();
  // Draws what the view shows into an image of the viewport's size (tests look at it).
  QImage grabSheet();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // + and - zoom; PageDown and PageUp scroll a page taller than the view first, then go to
  // the next or previous page, as a PDF viewer does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void updateScrollBars();
  void paintSheet(QPainter& painter);

  void redraw();
  // Moves by a page of the document: true when there was one to go to.
  void turnPage(bool forward);

  AppState& state_;
  ShellServices& services_;
  PageViewSources sources_;
  CommandHandlers commands_;
  // Where the next page shows after PageDown (its top) or PageUp (its bottom).
  enum class Arrive { Anywhere, Top, Bottom } arrive_ = Arrive::Anywhere;
  int shownBook_ = 0;  // the state's book generation last drawn
};

}  // namespace mv
