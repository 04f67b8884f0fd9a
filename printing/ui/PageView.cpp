#include "printing/ui/PageView.h"

#include "commands/Commands.h"
#include "printing/PageTable.h"
#include "printing/PageViewGeometry.h"
#include "printing/render/QPainterCanvas.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <memory>

namespace mv {

PageView::PageView(QWidget* parent, AppState& state, ShellServices& services,
                   PageViewSources sources)
    : QAbstractScrollArea(parent), state_(state), services_(services), sources_(std::move(sources)) {
  setObjectName("PageView");
  setAccessibleName(tr("Page view"));
  setFrameShape(QFrame::NoFrame);
  viewport()->setAutoFillBackground(false);
  horizontalScrollBar()->setSingleStep(kScrollLineStep);
  verticalScrollBar()->setSingleStep(kScrollLineStep);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  const auto zoomable = [this](int id) { return zoomCommandEnabled(id, state_.zoom); };
  for (int id : {cmd::kZoomIn, cmd::kZoomOut, cmd::kZoom50, cmd::kZoom80, cmd::kZoom90,
                 cmd::kZoom100})
    commands_.addRun(
        id, id,
        [this](int zoom) {
          state_.zoom = zoomAfter(zoom, state_.zoom);
          redraw();
        },
        zoomable);
  // Sent by the frame after it counted the pages again.
  commands_.add(cmd::kRefreshPageView, [this] { redraw(); }, [] { return true; });
}

bool PageView::handlesCommand(int id) const {
  return commandOwner(id) == CommandOwner::PageView;
}

bool PageView::onCommand(int id) { return commands_.run(id); }

std::optional<bool> PageView::isCommandEnabled(int id) const { return commands_.enabled(id); }

void PageView::redraw() {
  updateScrollBars();
  // Another book starts at the top of its first page.
  if (state_.bookGeneration != shownBook_) {
    shownBook_ = state_.bookGeneration;
    arrive_ = Arrive::Top;
    horizontalScrollBar()->setValue(0);
  }
  if (arrive_ != Arrive::Anywhere)
    verticalScrollBar()->setValue(arrive_ == Arrive::Top ? 0 : verticalScrollBar()->maximum());
  arrive_ = Arrive::Anywhere;
  viewport()->update();
}

void PageView::turnPage(bool forward) {
  QScrollBar* bar = verticalScrollBar();
  if (forward ? bar->value() < bar->maximum() : bar->value() > bar->minimum()) {
    bar->triggerAction(forward ? QAbstractSlider::SliderPageStepAdd
                               : QAbstractSlider::SliderPageStepSub);
    return;
  }
  if (!(forward ? canPageForward(state_) : canPageBack(state_))) return;
  arrive_ = forward ? Arrive::Top : Arrive::Bottom;
  if (services_.postCommand) services_.postCommand(forward ? cmd::kNextPage : cmd::kPriorPage);
}

void PageView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Minus:
      // Through the frame, so that the toolbar's zoom buttons follow.
      if (services_.postCommand)
        services_.postCommand(event->key() == Qt::Key_Plus ? cmd::kZoomIn : cmd::kZoomOut);
      return;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
      turnPage(event->key() == Qt::Key_PageDown);
      return;
    default:
      QAbstractScrollArea::keyPressEvent(event);
  }
}

void PageView::updateScrollBars() {
  const PageJob job = sources_.job ? sources_.job() : PageJob{};
  const ScrollRanges r = scrollRanges(job.settings.layout, jobSheetLandscape(job), state_.zoom,
                                      viewport()->width(), viewport()->height());
  horizontalScrollBar()->setRange(0, r.horizontal);
  verticalScrollBar()->setRange(0, r.vertical);
  horizontalScrollBar()->setPageStep(viewport()->width());
  verticalScrollBar()->setPageStep(viewport()->height());
}

void PageView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void PageView::paintSheet(QPainter& painter) {
  painter.fillRect(QRect(QPoint(0, 0), viewport()->size()), QColor(192, 192, 192));
  if (!sources_.job) return;
  const PageJob job = sources_.job();
  painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  QPainterCanvas canvas(painter, CanvasTarget::Screen);
  renderSheet(canvas, screenSheetMapping(jobSheetLandscape(job), state_.zoom), job,
              currentSheet(state_));
}

void PageView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  paintSheet(painter);
}

QImage PageView::grabSheet() {
  QImage image(viewport()->size(), QImage::Format_RGB32);
  QPainter painter(&image);
  paintSheet(painter);
  return image;
}

QMenu* PageView::contextMenu() {
  return sources_.layoutMenu ? sources_.layoutMenu(this) : nullptr;
}

void PageView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu(contextMenu());
  if (menu) menu->exec(event->globalPos());
}

void PageView::mouseDoubleClickEvent(QMouseEvent*) {
  // Sets up the current layout: back to the card window for the address-book pages.
  if (services_.postCommand) services_.postCommand(cmd::kSetUpLayout);
}

}  // namespace mv
