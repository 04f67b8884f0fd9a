#pragma once
// The A to Z pop-up: one row per letter, letters that begin some name in the normal
// colour and the others in grey; passing over a letter with names jumps to it at once,
// a click jumps and closes. From the keyboard, a letter key jumps and closes, Up and Down
// step over the letters with names, Return and Escape close.

#include "commands/Commands.h"

#include <QWidget>

#include <array>

namespace mv {

class TAZPopup final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 40;
  static constexpr int kFirstLetterCommand = cmd::kFirstLetter;  // + row: A .. Z

  TAZPopup(const std::array<bool, 26>& lettersPresent, QWidget* parent);

  int rowHeight() const noexcept { return rowHeight_; }
  // The row under a point of the pop-up, -1 outside the rows.
  int rowAt(QPoint pos) const;
  // The colour a row's letter is drawn in: grey for a letter without names.
  QColor letterColor(int row) const;
  // Below `button`, right edges together.
  void showBelow(QWidget* button);

 signals:
  // A letter with names was reached (the first letter command + row); sent only when the
  // row changes.
  void jumpRequested(int command);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool reach(int row);

  std::array<bool, 26> present_;
  int rowHeight_ = 16;
  int highlighted_ = -1;
  QFont font_;
};

}  // namespace mv
