#pragma once
// The Page Settings dialog: paper, size, margins, units, mirror margins and two pages on
// one sheet. The rules are PageSettingsForm's; this window reads its controls into the
// form and shows what the form holds. Controls carry their resource ids.

#include "platform/Prompter.h"
#include "printing/PageSettings.h"

#include <QDialog>

#include <array>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace mv {

class ArrowBox;

class PageSizeDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 18;

  // geometry: the current page geometry, its two-on-one permission the current layout's.
  PageSizeDialog(QWidget* parent, Prompter& prompter,
                 std::optional<std::vector<PaperRow>> rows, PageSetupValues stored,
                 PageGeometry geometry, PrinterPaper printer, std::filesystem::path ini);

  // After OK: what the dialog set.
  const PageGeometry& geometry() const noexcept { return geometry_; }
  const PrinterPaper& printer() const noexcept { return printer_; }
  PageSettingsForm& form() noexcept { return form_; }

  void accept() override;

 private:
  void showForm();
  void showEnabling();

  Prompter& prompter_;
  PageSettingsForm form_;
  PageGeometry geometry_;
  PrinterPaper printer_;
  std::filesystem::path ini_;
  QComboBox* paper_ = nullptr;
  std::array<ArrowBox*, kPageBoxCount> boxes_{};
  QRadioButton* inches_ = nullptr;
  QRadioButton* millimetres_ = nullptr;
  QCheckBox* twoOnOne_ = nullptr;
  QCheckBox* mirror_ = nullptr;
  QLabel* hint_ = nullptr;
};

}  // namespace mv
