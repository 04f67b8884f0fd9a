#include "platform/ui/DialogButtons.h"

#include "platform/ui/Controls.h"
#include "platform/ui/HelpWindow.h"

#include <QPushButton>

namespace mv {

QDialogButtonBox* okCancelHelpButtons(QDialog* dialog, int helpContext) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  QPushButton* help = buttons->addButton("Help", QDialogButtonBox::HelpRole);
  setControlId(ok, 1);
  setControlId(cancel, 2);
  setControlId(help, 9);
  ok->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  QObject::connect(help, &QPushButton::clicked, dialog,
                   [helpContext] { HelpWindow::display(helpContext); });
  return buttons;
}

}  // namespace mv
