#include "platform/ui/ArrowBox.h"

#include <QLineEdit>

namespace mv {

ArrowBox::ArrowBox(QWidget* parent) : QAbstractSpinBox(parent) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setAccelerated(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Room for the widest value a box shows ("-152.40") and its arrows.
  setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0000.00")) + 36);
}

QString ArrowBox::value() const { return lineEdit()->text(); }

void ArrowBox::setValue(const QString& text) { lineEdit()->setText(text); }

void ArrowBox::stepBy(int steps) {
  // One click at a time, so each is checked against the limits as the number grows.
  const int direction = steps > 0 ? 1 : -1;
  for (int i = 0; i < std::abs(steps); ++i)
    setValue(QString::fromStdString(arrowStep(value().toStdString(), direction, limits_)));
}

QAbstractSpinBox::StepEnabled ArrowBox::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace mv
