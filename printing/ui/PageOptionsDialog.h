#pragma once
// The page options ("Options"): label each page, or not, and don't show addresses.

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace mv {

class PageOptionsDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 90;
  PageOptionsDialog(QWidget* parent, bool labelEachPage, bool hideAddresses);
  bool labelEachPage() const;
  bool hideAddresses() const;

 private:
  QRadioButton* label_ = nullptr;
  QRadioButton* dontLabel_ = nullptr;
  QCheckBox* hide_ = nullptr;
};

}  // namespace mv
