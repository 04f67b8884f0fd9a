#include "shell/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mv {
namespace {

void arrow(QPainter& p, bool right, int x) {
  QPainterPath path;
  if (right) {
    path.moveTo(x, 5);
    path.lineTo(x + 7, 12);
    path.lineTo(x, 19);
  } else {
    path.moveTo(x + 7, 5);
    path.lineTo(x, 12);
    path.lineTo(x + 7, 19);
  }
  path.closeSubpath();
  p.fillPath(path, QColor(0, 64, 160));
}

void magnifier(QPainter& p, bool plus) {
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(220, 235, 255));
  p.drawEllipse(QRect(3, 3, 13, 13));
  p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(15, 15, 21, 21);
  p.setPen(QPen(QColor(0, 0, 0), 2));
  p.drawLine(6, 9, 13, 9);
  if (plus) p.drawLine(9, 6, 9, 13);
}

}  // namespace

QIcon toolbarIcon(int bitmap) {
  switch (bitmap) {
    case 347: case 16: case 54: case 55: case 69: case 70: case 71: case 72: case 208: break;
    default: return {};
  }
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (bitmap) {
    case 347:  // the card window: an index card
      p.setPen(QColor(60, 60, 60));
      p.setBrush(QColor(255, 252, 220));
      p.drawRect(QRect(2, 5, 19, 14));
      p.setPen(QColor(180, 40, 40));
      p.drawLine(4, 9, 19, 9);
      p.setPen(QColor(120, 120, 120));
      p.drawLine(4, 12, 17, 12);
      p.drawLine(4, 15, 14, 15);
      break;
    case 16:  // print: a printer with a sheet
      p.setPen(QColor(60, 60, 60));
      p.setBrush(Qt::white);
      p.drawRect(QRect(7, 2, 10, 8));
      p.setBrush(QColor(150, 150, 160));
      p.drawRoundedRect(QRect(2, 9, 20, 9), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRect(6, 15, 12, 7));
      break;
    case 54: magnifier(p, true); break;
    case 55: magnifier(p, false); break;
    case 69: arrow(p, true, 5); arrow(p, true, 12); break;   // skip forward
    case 70: arrow(p, true, 9); break;                       // next page
    case 71: arrow(p, false, 8); break;                      // prior page
    case 72: arrow(p, false, 5); arrow(p, false, 12); break; // skip back
    case 208: {  // font and colour
      QFont f("Liberation Serif");
      f.setPixelSize(18);
      f.setBold(true);
      p.setFont(f);
      p.setPen(QColor(20, 20, 20));
      p.drawText(QRect(0, 0, 24, 20), Qt::AlignCenter, "A");
      p.fillRect(QRect(3, 19, 18, 3), QColor(200, 30, 30));
      break;
    }
    default:
      break;
  }
  p.end();
  return QIcon(pm);
}

}  // namespace mv
