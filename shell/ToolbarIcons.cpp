#include "shell/ToolbarIcons.h"

#include "commands/Commands.h"
#include "platform/ui/LazyIcon.h"

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

// A sheet of paper with a folded corner.
void sheet(QPainter& p, QRect r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 5, r.top());
  path.lineTo(r.right(), r.top() + 5);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QColor(80, 80, 80));
  p.setBrush(Qt::white);
  p.drawPath(path);
}

// A person: head and shoulders.
void person(QPainter& p, int x, QColor shirt) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 180, 140));
  p.drawEllipse(QRect(x + 3, 3, 7, 7));
  p.setBrush(shirt);
  p.drawRoundedRect(QRect(x, 11, 13, 9), 4, 4);
}

// The small sign in the corner of the name and group pictures: plus, cross or pencil.
enum class Sign { Plus, Cross, Pencil };
void sign(QPainter& p, Sign s) {
  switch (s) {
    case Sign::Plus:
      p.setPen(QPen(QColor(0, 140, 0), 3));
      p.drawLine(18, 13, 18, 23);
      p.drawLine(13, 18, 23, 18);
      break;
    case Sign::Cross:
      p.setPen(QPen(QColor(200, 30, 30), 3));
      p.drawLine(14, 14, 22, 22);
      p.drawLine(22, 14, 14, 22);
      break;
    case Sign::Pencil:
      p.setPen(QPen(QColor(200, 150, 0), 4, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(14, 22, 22, 14);
      break;
  }
}

bool hasPicture(int bitmap) {
  switch (bitmap) {
    case cmd::kPrintPreview: case cmd::kPrint: case cmd::kPaperSize: case cmd::kEnvelope:
    case cmd::kLabels: case cmd::kZoomIn: case cmd::kZoomOut: case cmd::kSkipForward:
    case cmd::kNextPage: case cmd::kPriorPage: case cmd::kSkipBack:
    case picture::kFontAndColor: case cmd::kClosePreview: case cmd::kAddName:
    case cmd::kDeleteName: case cmd::kChangeName: case cmd::kAddGroup: case cmd::kDeleteGroup:
    case cmd::kNewFile: case cmd::kSave: case cmd::kOpen:
      return true;
    default:
      return false;
  }
}

QIcon paintedIcon(int bitmap) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (bitmap) {
    case cmd::kClosePreview:  // the card window: an index card
      p.setPen(QColor(60, 60, 60));
      p.setBrush(QColor(255, 252, 220));
      p.drawRect(QRect(2, 5, 19, 14));
      p.setPen(QColor(180, 40, 40));
      p.drawLine(4, 9, 19, 9);
      p.setPen(QColor(120, 120, 120));
      p.drawLine(4, 12, 17, 12);
      p.drawLine(4, 15, 14, 15);
      break;
    case cmd::kPrint:  // print: a printer with a sheet
      p.setPen(QColor(60, 60, 60));
      p.setBrush(Qt::white);
      p.drawRect(QRect(7, 2, 10, 8));
      p.setBrush(QColor(150, 150, 160));
      p.drawRoundedRect(QRect(2, 9, 20, 9), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRect(6, 15, 12, 7));
      break;
    case cmd::kPrintPreview:  // print preview: a page under the magnifier
      sheet(p, QRect(2, 1, 14, 19));
      magnifier(p, false);
      break;
    case cmd::kPaperSize:  // paper size: a page with its measures
      sheet(p, QRect(6, 2, 14, 19));
      p.setPen(QColor(0, 64, 160));
      p.drawLine(2, 2, 2, 21);
      p.drawLine(6, 23, 20, 23);
      break;
    case cmd::kEnvelope:  // envelope
      p.setPen(QColor(80, 80, 80));
      p.setBrush(QColor(255, 250, 235));
      p.drawRect(QRect(2, 6, 20, 13));
      p.drawLine(2, 6, 12, 13);
      p.drawLine(12, 13, 22, 6);
      break;
    case cmd::kLabels:  // labels: a sheet of them
      p.setPen(QColor(80, 80, 80));
      p.setBrush(Qt::white);
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col) p.drawRoundedRect(QRect(2 + col * 10, 3 + row * 7, 9, 5), 1, 1);
      break;
    case cmd::kAddName: person(p, 2, QColor(0, 90, 170)); sign(p, Sign::Plus); break;
    case cmd::kDeleteName: person(p, 2, QColor(0, 90, 170)); sign(p, Sign::Cross); break;
    case cmd::kChangeName: person(p, 2, QColor(0, 90, 170)); sign(p, Sign::Pencil); break;
    case cmd::kAddGroup:
    case cmd::kDeleteGroup:
      person(p, 7, QColor(120, 120, 170));
      person(p, 0, QColor(0, 90, 170));
      sign(p, bitmap == cmd::kAddGroup ? Sign::Plus : Sign::Cross);
      break;
    case cmd::kNewFile: sheet(p, QRect(4, 2, 16, 20)); break;  // new file
    case cmd::kSave:  // save: a diskette
      p.setPen(QColor(40, 40, 60));
      p.setBrush(QColor(40, 70, 140));
      p.drawRect(QRect(3, 3, 18, 18));
      p.setBrush(Qt::white);
      p.drawRect(QRect(6, 3, 12, 7));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(QRect(7, 14, 10, 7));
      break;
    case cmd::kOpen:  // open: a folder
      p.setPen(QColor(120, 90, 20));
      p.setBrush(QColor(240, 200, 90));
      p.drawRect(QRect(2, 6, 20, 14));
      p.drawRect(QRect(2, 4, 8, 3));
      break;
    case cmd::kZoomIn: magnifier(p, true); break;
    case cmd::kZoomOut: magnifier(p, false); break;
    case cmd::kSkipForward: arrow(p, true, 5); arrow(p, true, 12); break;   // skip forward
    case cmd::kNextPage: arrow(p, true, 9); break;                       // next page
    case cmd::kPriorPage: arrow(p, false, 8); break;                      // prior page
    case cmd::kSkipBack: arrow(p, false, 5); arrow(p, false, 12); break; // skip back
    case picture::kFontAndColor: {  // font and colour
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

}  // namespace

// Painted when first shown: most pictures sit in the page view's toolbar and in menus,
// which the first window does not show.
QIcon toolbarIcon(int bitmap) {
  if (!hasPicture(bitmap)) return {};
  return lazyIcon([bitmap] { return paintedIcon(bitmap); });
}

}  // namespace mv
