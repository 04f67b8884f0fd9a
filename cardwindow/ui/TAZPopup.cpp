#include "cardwindow/ui/TAZPopup.h"

#include "platform/ui/Colours.h"
#include "platform/ui/Controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mv {

TAZPopup::TAZPopup(const std::array<bool, 26>& lettersPresent, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), present_(lettersPresent) {
  setControlId(this, cmd::kAZ);  // named after the button that opens it
  setAccessible(this, QStringLiteral("A to Z menu"));
  setAttribute(Qt::WA_DeleteOnClose);
  setMouseTracking(true);
  font_.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font_.setPixelSize(14);
  font_.setBold(true);
  rowHeight_ = QFontMetrics(font_).height();
  setFixedSize(kWidth, 26 * rowHeight_ + 6);
}

int TAZPopup::rowAt(QPoint pos) const {
  if (pos.x() < 0 || pos.x() >= width() || pos.y() < 3) return -1;
  const int row = (pos.y() - 3) / rowHeight_;
  return row >= 0 && row < 26 ? row : -1;
}

QColor TAZPopup::letterColor(int row) const {
  const QColor text = palette().color(QPalette::WindowText);
  // A letter without entries is dimmed, yet still readable on the popup's ground.
  if (row < 0 || row >= 26 || !present_[static_cast<size_t>(row)])
    return readableOn(mix(palette().color(QPalette::Base), text, 0.45),
                      palette().color(QPalette::Base), text);
  return text;
}

void TAZPopup::showBelow(QWidget* button) {
  const QPoint bottomRight = button->mapToGlobal(QPoint(button->width(), button->height()));
  move(bottomRight.x() - width(), bottomRight.y());
  show();
}

void TAZPopup::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.setFont(font_);
  for (int row = 0; row < 26; ++row) {
    const QRect r(1, 3 + row * rowHeight_, width() - 2, rowHeight_);
    QColor pen = letterColor(row);
    if (row == highlighted_) {
      p.fillRect(r, palette().color(QPalette::Highlight));
      pen = palette().color(QPalette::HighlightedText);
    }
    p.setPen(pen);
    p.drawText(r, Qt::AlignCenter, QString(QChar('A' + row)));
  }
}

bool TAZPopup::reach(int row) {
  if (row < 0 || !present_[static_cast<size_t>(row)]) return false;
  if (row != highlighted_) {
    highlighted_ = row;
    update();
    emit jumpRequested(kFirstLetterCommand + row);
  }
  return true;
}

void TAZPopup::mouseMoveEvent(QMouseEvent* event) { reach(rowAt(event->position().toPoint())); }

void TAZPopup::mousePressEvent(QMouseEvent* event) {
  if (!rect().contains(event->position().toPoint())) {
    close();  // a click elsewhere ends the pop-up as releasing the capture did
    return;
  }
  if (reach(rowAt(event->position().toPoint()))) close();
}

void TAZPopup::mouseReleaseEvent(QMouseEvent*) {}

void TAZPopup::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    if (reach(key - Qt::Key_A)) close();
    return;
  }
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    const int step = key == Qt::Key_Up ? -1 : 1;
    const int from = highlighted_ < 0 && step < 0 ? 26 : highlighted_;
    for (int row = from + step; row >= 0 && row < 26; row += step) {
      if (reach(row)) break;
    }
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace mv
