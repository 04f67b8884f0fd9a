#include "printing/ui/UserInfoDialog.h"

#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mv {
namespace {

// Captions by box; Street Address Line 2 has none, it continues the address.
constexpr const char* kCaptions[kLabelFieldCount] = {
    "Mr/Ms", "First",   "Last", "Title", "Dept",   "Company", "Address", "",        "City",
    "State", "Zip",     "Country", "Home", "Office", "Mobile", "email", "Web Site", "Fax"};

}  // namespace

UserInfoDialog::UserInfoDialog(QWidget* parent, Prompter& prompter, std::filesystem::path ini)
    : QDialog(parent), prompter_(prompter), ini_(std::move(ini)), stored_(readMyAddress(ini_)) {
  setWindowTitle("Personal Information");
  auto* frame = new QFrame(this);
  setControlId(frame, 118);
  frame->setFrameShape(QFrame::Box);
  auto* grid = new QGridLayout(frame);
  const LabelFields shown = myAddressForBoxes(stored_);
  for (int i = 0; i < kLabelFieldCount; ++i) {
    auto* box = new QLineEdit(frame);
    setControlId(box, kFirstBox + i);
    box->setMaxLength(static_cast<int>(kMyAddressChars));
    box->setText(fromCp1252(shown[static_cast<size_t>(i)]));
    setAccessible(box, *kCaptions[i] ? kCaptions[i] : "Address line 2");
    boxes_[static_cast<size_t>(i)] = box;
  }
  // Name row; the full-width rows; City/State and Zip/Country pairs; the numbers on the
  // right.
  auto place = [&](int i, int row, int column, int span = 1) {
    if (*kCaptions[i]) grid->addWidget(new QLabel(kCaptions[i], frame), row, column);
    grid->addWidget(boxes_[static_cast<size_t>(i)], row, column + 1, 1, span);
  };
  place(0, 0, 0);
  place(1, 0, 2);
  place(2, 0, 4);
  for (int i = 3; i <= 7; ++i) place(i, i - 2, 0, 5);
  place(8, 6, 0);
  place(9, 6, 2, 3);
  place(10, 7, 0);
  place(11, 7, 2, 3);
  for (int i = 12; i <= 17; ++i) place(i, i - 12, 6);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(okCancelHelpButtons(this, kHelpContext));
}

void UserInfoDialog::accept() {
  LabelFields typed;
  for (size_t i = 0; i < typed.size(); ++i) typed[i] = toCp1252(boxes_[i]->text());
  if (!writeMyAddress(ini_, myAddressToWrite(stored_, typed)))
    prompter_.inform("Your address could not be saved in the settings file.", kAppCaption,
                     Icon::Exclamation);
  QDialog::accept();
}

}  // namespace mv
