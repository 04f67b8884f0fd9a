#include "shell/PageView.h"

#include "commands/Commands.h"
#include "printing/PageViewGeometry.h"
#include "printing/qt/QPainterCanvas.h"

#include <QContextMenuEvent>
#include <QImage>
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
}

bool PageView::handlesCommand(int id) const {
  return commandOwner(id) == CommandOwner::PageView;
}

bool PageView::onCommand(int id) {
  if (isZoomCommand(id)) {
    state_.zoom = zoomAfter(id, state_.zoom);
  } else if (id != cmd::kRefreshPageView) {
    return false;
  }
  updateScrollBars();
  viewport()->update();
  return true;
}

std::optional<bool> PageView::isCommandEnabled(int id) const {
  if (isZoomCommand(id)) return zoomCommandEnabled(id, state_.zoom);
  return std::nullopt;
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
