#pragma once
// The Run dialog: the address to hand over (edit 103), "Use Desktop Settings" (102)
// against "Use <helper>" (101), and "..." (108) to pick another helper, which is stored
// at once. It only shows and reads its controls; the hand-over is Launch's.

#include "exchange/Launch.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mv {

class TRunDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelperRadio = 101, kSystemRadio = 102, kAddress = 103, kChoose = 108;
  // Asked by "...": the chosen program (already stored), or nullopt when cancelled.
  using HelperChooser = std::function<std::optional<std::string>(const std::string& current)>;

  TRunDialog(const RunRequest& request, HelperChooser chooseHelper, QWidget* parent = nullptr);

  RunAnswer answer() const;
  QPushButton* okButton() const noexcept { return ok_; }

 private:
  void setHelper(const std::string& path);

  HelperChooser chooseHelper_;
  std::string helper_;
  LaunchKind kind_ = LaunchKind::Web;
  bool isDocument_ = false;
  QLineEdit* address_ = nullptr;
  QRadioButton* system_ = nullptr;
  QRadioButton* helperRadio_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace mv
