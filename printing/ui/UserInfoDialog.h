#pragma once
// My Address ("Personal Information"): the user's own name and address in eighteen
// boxes, read afresh from the settings file on opening and written back, all eighteen
// keys in order, on OK. Cancel writes nothing.

#include "platform/Prompter.h"
#include "printing/MyAddress.h"

#include <QDialog>

#include <array>
#include <filesystem>

class QLineEdit;

namespace mv {

class UserInfoDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 85;
  static constexpr int kFirstBox = 100;  // boxes 100..117, frame 118

  UserInfoDialog(QWidget* parent, Prompter& prompter, std::filesystem::path ini);
  void accept() override;

 private:
  Prompter& prompter_;
  std::filesystem::path ini_;
  LabelFields stored_;
  std::array<QLineEdit*, kLabelFieldCount> boxes_{};
};

}  // namespace mv
