#include "printing/ui/PageOptionsDialog.h"

#include "commands/Commands.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv {

PageOptionsDialog::PageOptionsDialog(QWidget* parent, bool labelEachPage, bool hideAddresses)
    : QDialog(parent) {
  setObjectName(QString::number(cmd::kPageSettings));
  setWindowTitle("Options");
  auto* layout = new QVBoxLayout(this);
  label_ = new QRadioButton(
      "Label each page\nPrints 26 or more pages and each page is labeled A,B,C,D,etc", this);
  dontLabel_ = new QRadioButton("Don't label pages \n(prints at least 1 page)", this);
  hide_ = new QCheckBox("Don't show addresses\n(blank addressbook)", this);
  setControlId(label_, 13);
  setControlId(dontLabel_, 14);
  setControlId(hide_, 17);
  setAccessible(label_, "Label each page");
  setAccessible(dontLabel_, "Don't label pages");
  setAccessible(hide_, "Don't show addresses");
  label_->setChecked(labelEachPage);
  dontLabel_->setChecked(!labelEachPage);
  hide_->setChecked(hideAddresses);
  layout->addWidget(label_);
  layout->addWidget(dontLabel_);
  layout->addWidget(hide_);

  layout->addWidget(okCancelHelpButtons(this, kHelpContext));
}

bool PageOptionsDialog::labelEachPage() const { return label_->isChecked(); }
bool PageOptionsDialog::hideAddresses() const { return hide_->isChecked(); }

}  // namespace mv
