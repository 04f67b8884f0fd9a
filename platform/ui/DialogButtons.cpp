#include "platform/ui/DialogButtons.h"

#include "platform/ui/Controls.h"
#include "platform/ui/HelpWindow.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QShortcut>

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
  giveHelp(dialog, helpContext, help);
  return buttons;
}

void giveHelp(QWidget* window, int helpContext, QAbstractButton* helpButton) {
  const auto show = [helpContext] { HelpWindow::display(helpContext); };
  // A window shortcut: a dialog's key never reaches the frame behind it, nor the frame's
  // F1 a dialog, so each window answers F1 with its own topic.
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window, show, Qt::WindowShortcut);
  key->setObjectName(QStringLiteral("helpKey"));
  if (helpButton) QObject::connect(helpButton, &QAbstractButton::clicked, window, show);
}

}  // namespace mv
