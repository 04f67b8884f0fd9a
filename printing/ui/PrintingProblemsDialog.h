#pragma once
// "Printing" (the Setup menu): printer reset, banding, simple label output, and the two
// adjustments of printed text. The rules live in settings/PrintingProblems.h.

#include "settings/Customize.h"

#include <QDialog>

#include <filesystem>

class QCheckBox;
class QLineEdit;

namespace mv {

class Prompter;

class PrintingProblemsDialog : public QDialog {
  Q_OBJECT
 public:
  PrintingProblemsDialog(CustomizeSettings& settings, std::filesystem::path ini,
                         Prompter& prompter, QWidget* parent = nullptr);

  // OK: stores the values and closes, or shows "Value is not accepted" and stays open.
  void accept() override;

 private:
  CustomizeSettings& settings_;
  std::filesystem::path ini_;
  Prompter& prompter_;
  QCheckBox* restoreDc_;
  QCheckBox* noBanding_;
  QCheckBox* simpleOutput_;
  QLineEdit* verticalAdjust_;
  QLineEdit* topMargin_;
};

}  // namespace mv
