#pragma once
// A numeric edit box with up and down arrows: each arrow click steps the typed number by
// 0.1 within the box's limits; typed text is left as typed (it is checked on OK).

#include "printing/PageSettings.h"

#include <QAbstractSpinBox>

namespace mv {

class ArrowBox final : public QAbstractSpinBox {
  Q_OBJECT
 public:
  explicit ArrowBox(QWidget* parent = nullptr);
  void setLimits(ArrowLimits limits) noexcept { limits_ = limits; }
  ArrowLimits limits() const noexcept { return limits_; }
  QString value() const;
  void setValue(const QString& text);

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  ArrowLimits limits_;
};

}  // namespace mv
