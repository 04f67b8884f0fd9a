#include "shell/PlaceholderWindows.h"

#include "commands/Commands.h"
#include "platform/Cp1252.h"
#include "printing/AppState.h"
#include "printing/LayoutCatalogue.h"

#include <QPainter>

namespace mv {

PlaceholderPageView::PlaceholderPageView(QWidget* parent, const AppState& state)
    : QWidget(parent), state_(state) {
  setAccessibleName(tr("Page view"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(128, 128, 128));
  setPalette(pal);
}

bool PlaceholderPageView::handlesCommand(int id) const {
  return commandOwner(id) == CommandOwner::PageView;
}

bool PlaceholderPageView::onCommand(int id) {
  if (id == cmd::kRefreshPageView) {
    update();
    return true;
  }
  return false;
}

std::optional<bool> PlaceholderPageView::isCommandEnabled(int) const { return std::nullopt; }

void PlaceholderPageView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // A sheet in Letter proportions, centred.
  const int h = std::max(50, height() - 40);
  const int w = h * 2159 / 2794;
  const QRect sheet((width() - w) / 2, 20, w, h);
  p.fillRect(sheet.translated(4, 4), QColor(64, 64, 64));
  p.fillRect(sheet, Qt::white);
  p.setPen(Qt::black);
  p.drawText(sheet, Qt::AlignCenter,
             QStringLiteral("%1\nPage %2 of %3")
                 .arg(fromCp1252(layoutShortNameOfCommand(state_.layout)))
                 .arg(state_.page)
                 .arg(state_.pageCount));
}

}  // namespace mv
