#include "cardwindow/ui/SummaryView.h"

#include "platform/ui/Colours.h"
#include "platform/ui/Controls.h"
#include "platform/Cp1252.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>


namespace mv {
namespace {

constexpr int kCopyLimit = 1000;   // characters "Select All and Copy" takes
constexpr qreal kNormalPoints = 10;

// The summary's own colours are kept where they read well on the view's ground, and moved
// toward the palette's text colour where they do not (grey labels, black text on a dark
// desktop).
QTextCharFormat qtFormat(const RtfDocument& doc, const RtfFormat& f, const QPalette& palette) {
  QTextCharFormat out;
  const size_t index = static_cast<size_t>(f.font);
  const std::string name = index < doc.fonts.size() ? doc.fonts[index] : std::string();
  QStringList families;
  if (!name.empty()) families << fromCp1252(name);
  families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
  out.setFontFamilies(families);
  // The summary asks for the smallest size (\fs1) for its values; no screen shows half a
  // point, so tiny sizes mean the view's normal text size. Small labels and the 3-point
  // spacers keep the sizes they ask for.
  const qreal points = f.halfPoints / 2.0;
  out.setFontPointSize(points < 2 ? kNormalPoints : points);
  out.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  out.setFontItalic(f.italic);
  out.setFontUnderline(f.underline);
  const RtfColor c = doc.color(f.color);
  const QColor wanted(c.red, c.green, c.blue);
  const QColor ground = palette.color(QPalette::Base);
  out.setForeground(wanted.rgb() == SummaryView::kHiddenColour
                        ? ground
                        : readableOn(wanted, ground, palette.color(QPalette::Text)));
  return out;
}

}  // namespace

SummaryView::SummaryView(QWidget* parent) : QTextBrowser(parent) {
  setControlId(this, kId);
  setAccessible(this, QStringLiteral("Summary"));
  setReadOnly(true);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  QPalette pal = palette();
  // The card's grey ground on a light desktop; the window colour of a dark one.
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  setPalette(pal);
  setAutoFillBackground(true);
  // \deftab720: tab stops every half inch.
  setTabStopDistance(logicalDpiX() / 2.0);
}

void SummaryView::showDocument(const RtfDocument& rtf) {
  document_ = rtf;
  setUpdatesEnabled(false);
  clear();
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  for (const auto& run : rtf.runs) {
    const QTextCharFormat format = qtFormat(rtf, run.format, palette());
    // Paragraph ends become block breaks; one character each, so positions in the view
    // are positions in the document's text.
    const QString text = fromCp1252(run.text);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == QLatin1Char('\n')) {
        if (i > start) cursor.insertText(text.mid(start, i - start), format);
        if (i < text.size()) {
          cursor.insertBlock(QTextBlockFormat(), format);
        }
        start = i + 1;
      }
    }
  }
  cursor.endEditBlock();
  moveCursor(QTextCursor::Start);
  setUpdatesEnabled(true);
  viewport()->update();
}

int SummaryView::characterAt(QPoint viewportPos) const {
  const QPoint docPos = viewportPos + QPoint(horizontalScrollBar()->value(),
                                             verticalScrollBar()->value());
  return document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
}

void SummaryView::clickCharacter(int position) {
  if (position < 0) return;
  const SummaryLink link = linkAt(document_, static_cast<size_t>(position));
  if (!isLive(link)) return;
  if (link.kind == SummaryLink::Kind::Command)
    emit commandRequested(link.command);
  else
    emit addressRequested(link.kind == SummaryLink::Kind::Web, QByteArray::fromStdString(link.text));
}

bool SummaryView::isLive(const SummaryLink& link) const {
  // An address without a command follows the rule of the e-mail or web command.
  int command = link.command;
  switch (link.kind) {
    case SummaryLink::Kind::None: return false;
    case SummaryLink::Kind::Command: break;
    case SummaryLink::Kind::Web: command = cmd::kOpenWebPage; break;
    case SummaryLink::Kind::Email: command = cmd::kSendEmail; break;
  }
  return !linkEnabled_ || linkEnabled_(command);
}

void SummaryView::selectAllAndCopy() {
  QTextCursor cursor(document());
  cursor.setPosition(0);
  cursor.setPosition(std::min(kCopyLimit, document()->characterCount() - 1),
                     QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  copy();
  cursor.clearSelection();
  setTextCursor(cursor);
}

void SummaryView::mouseMoveEvent(QMouseEvent* event) {
  if (!textCursor().hasSelection()) {
    const int at = characterAt(event->position().toPoint());
    const bool onLink = at >= 0 && isLinkCharacter(document_, static_cast<size_t>(at)) &&
                        isLive(linkAt(document_, static_cast<size_t>(at)));
    viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
  }
  QTextBrowser::mouseMoveEvent(event);
}

void SummaryView::mouseReleaseEvent(QMouseEvent* event) {
  QTextBrowser::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && !textCursor().hasSelection()) {
    clickCharacter(characterAt(event->position().toPoint()));
  }
}

void SummaryView::mouseDoubleClickEvent(QMouseEvent* event) {
  showMenu(event->globalPosition().toPoint());
}

void SummaryView::contextMenuEvent(QContextMenuEvent* event) { showMenu(event->globalPos()); }

void SummaryView::showMenu(QPoint globalPos) {
  QMenu menu(this);
  QAction* copyAll = menu.addAction(QStringLiteral("Select All and Copy"));
  copyAll->setData(kSelectAllAndCopy);
  if (menu.exec(globalPos) == copyAll) selectAllAndCopy();
}

}  // namespace mv
