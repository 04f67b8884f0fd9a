#include "exchange/ui/TRunDialog.h"

#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv {

TRunDialog::TRunDialog(const RunRequest& request, HelperChooser chooseHelper, QWidget* parent)
    : QDialog(parent),
      chooseHelper_(std::move(chooseHelper)),
      kind_(request.kind),
      isDocument_(isLocalFileKind(request.kind)) {
  setObjectName(QStringLiteral("Run"));
  setWindowTitle(fromCp1252(request.title));
  auto* layout = new QVBoxLayout(this);
  address_ = new QLineEdit(this);
  setControlId(address_, kAddress);
  setAccessible(address_, QStringLiteral("Address"));
  // An address is taken back with up to 99 characters; a document's path whole, since a
  // cut path would open another file or none.
  if (!isDocument_) address_->setMaxLength(99);
  // A document's name is a path as the file system gives it; an address is book text.
  address_->setText(isDocument_ ? QString::fromStdString(request.address)
                        : fromCp1252(request.address));
  address_->setMinimumWidth(360);
  layout->addWidget(address_);

  auto* grid = new QGridLayout;
  system_ = new QRadioButton(QStringLiteral("Use Desktop Settings"), this);
  setControlId(system_, kSystemRadio);
  setAccessible(system_, system_->text());
  system_->setToolTip(QStringLiteral("The program this desktop opens such addresses with"));
  helperRadio_ = new QRadioButton(this);
  setControlId(helperRadio_, kHelperRadio);
  auto* choose = new QPushButton(QStringLiteral("..."), this);
  setControlId(choose, kChoose);
  setAccessible(choose, QStringLiteral("Choose another application to run"));
  choose->setFixedWidth(32);
  grid->addWidget(system_, 0, 0, 1, 2);
  grid->addWidget(helperRadio_, 1, 0);
  grid->addWidget(choose, 1, 1);
  grid->setColumnStretch(0, 1);
  layout->addLayout(grid);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
  setControlId(ok_, 1);
  setAccessible(ok_, QStringLiteral("OK"));
  ok_->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  setControlId(cancel, 2);
  setAccessible(cancel, QStringLiteral("Cancel"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  setHelper(request.helperPath);
  (request.choice == 1 ? system_ : helperRadio_)->setChecked(true);
  connect(choose, &QPushButton::clicked, this, [this] {
    if (!chooseHelper_) return;
    if (const auto chosen = chooseHelper_(helper_)) {
      setHelper(*chosen);
      helperRadio_->setChecked(true);
    }
  });
}

void TRunDialog::setHelper(const std::string& path) {
  helper_ = path;
  helperRadio_->setText(QString::fromStdString(useHelperCaption(path, kind_)));
  setAccessible(helperRadio_, helperRadio_->text());
  helperRadio_->setToolTip(path.empty() && isDocument_
                               ? QStringLiteral("The program this desktop opens such documents with")
                               : QString::fromStdString(path));
}

RunAnswer TRunDialog::answer() const {
  RunAnswer a;
  const QString text = isDocument_ ? address_->text() : address_->text().left(99);
  a.address = isDocument_ ? text.toStdString() : toCp1252(text);
  a.choice = system_->isChecked() ? 1 : 0;
  a.helperPath = helper_;
  return a;
}

}  // namespace mv
