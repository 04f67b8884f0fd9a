#pragma once
// The card window's small dialogs: Find Text, Add a new name, New Group Name; and the
// placement that puts a dialog's OK button under the mouse pointer.

#include "cardwindow/CardSearch.h"
#include "store/CardEditing.h"

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <string>

class QLineEdit;
class QComboBox;
class QCheckBox;
class QPushButton;

namespace mv {

class Prompter;

// Where a dialog goes so that the centre of its OK button lies under the pointer: a
// negative left or top becomes 5; a dialog passing the right edge ends 5 pixels inside
// it, one passing the bottom ends 10 pixels above it.
QPoint placeUnderMouse(QSize dialog, QPoint okCentre, QPoint mouse, QRect screen);
// The dialog appears, when next shown, with its OK button placed so.
void moveOkUnderMouse(QDialog& dialog, QWidget& okButton);

// "Find Text": the text (101), the range (12) and "&Match Case" (103).
class TCardFind final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kHelpContext = 153;
  TCardFind(const FindState& state, QWidget* parent);
  // The dialog's choices written into a find state (field position reset).
  void apply(FindState& state) const;

 private:
  QLineEdit* text_;
  QComboBox* range_;
  QCheckBox* matchCase_;
};

// "Add a new name": First Name, Last Name and Company; OK only with one of them present.
class TCardAdd final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kFirstId = 101;
  static constexpr int kLastId = 102;
  static constexpr int kCompanyId = 103;
  static constexpr int kHelpContext = 23;  // the card window's topic says how names are added

  TCardAdd(Prompter& prompter, const std::string& first, const std::string& last,
           const std::string& company, QWidget* parent);
  std::string first() const;
  std::string last() const;
  std::string company() const;
  QPushButton* okButton() const noexcept { return ok_; }
  void accept() override;

 private:
  Prompter& prompter_;
  QLineEdit* first_;
  QLineEdit* last_;
  QLineEdit* company_;
  QPushButton* ok_;
};

// "New Group Name": one line, "Enter a new group name:".
class TCardAddGroup final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kNameId = 101;
  static constexpr int kHelpContext = 23;  // the card window's topic, with its groups
  explicit TCardAddGroup(QWidget* parent);
  std::string name() const;

 private:
  QLineEdit* name_;
};

}  // namespace mv
