#pragma once
// A row of the card window's tool buttons: over the names list (Print Preview, New, Open,
// Save, Find, then A to Z and Sort at the right) or before the card buttons (Add,
// Delete, Change, Clear). Each button carries its command id as its control id and sends
// it when clicked; tool tips come from the command table.

#include <QStyle>
#include <QWidget>

class QIcon;
class QToolButton;

namespace mv {

class CardToolBar final : public QWidget {
  Q_OBJECT
 public:
  enum class Row { Names, Card };
  CardToolBar(Row row, QWidget* parent = nullptr);

  // The button of a command in this row (nullptr when it has none).
  QToolButton* button(int id) const;
  // One tool button of the card window, also for those outside the rows (the web page).
  static QToolButton* makeButton(QWidget* parent, int id, const QString& tip, const QIcon& icon,
                                 bool large);
  // The command table's tool tip of a command.
  static QString tooltipOf(int id);
  // The icon theme's picture of that name, or else the style's stand-in; looked up when
  // first drawn.
  static QIcon themedIcon(const QWidget* w, const char* theme, QStyle::StandardPixmap fallback);

 signals:
  void commandRequested(int id);
};

}  // namespace mv
