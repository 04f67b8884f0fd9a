#include "shell/PlaceholderWindows.h"

#include "platform/Cp1252.h"
#include "printing/AppState.h"
#include "shell/CommandTable.h"

#include <QPainter>

namespace mv {

PlaceholderCardWindow::PlaceholderCardWindow(QWidget* parent, ShellServices& services)
    : QWidget(parent), services_(services) {
  setObjectName("205");
  setAccessibleName(tr("Address book"));
  setFixedSize(640, 420);
}

bool PlaceholderCardWindow::onCommand(int) { return false; }

std::optional<bool> PlaceholderCardWindow::isCommandEnabled(int id) const {
  // Nothing to save, back up or delete in a window that holds no book.
  switch (id) {
    case cmd::kSave: case cmd::kSaveAs: case cmd::kBackup: case cmd::kDeleteGroup:
      return false;
    default:
      return std::nullopt;
  }
}

bool PlaceholderCardWindow::openBook(const std::filesystem::path& path) {
  book_ = path;
  if (services_.addRecentFile) services_.addRecentFile(path);
  update();
  return true;
}

void PlaceholderCardWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.setPen(palette().color(QPalette::WindowText));
  QString text = tr("Address book");
  if (!book_.empty()) text += "\n" + QString::fromStdString(book_.string());
  p.drawText(rect(), Qt::AlignCenter, text);
}

PlaceholderPageView::PlaceholderPageView(QWidget* parent, const AppState& state)
    : QWidget(parent), state_(state) {
  setAccessibleName(tr("Page view"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(128, 128, 128));
  setPalette(pal);
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
