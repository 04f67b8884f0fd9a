#pragma once
// The OK, Cancel and Help row that the shell's dialogs end with: OK (1) is the default and
// accepts, Cancel (2) rejects, Help (9) opens the dialog's help topic.

#include <QDialog>
#include <QDialogButtonBox>

namespace mv {

QDialogButtonBox* okCancelHelpButtons(QDialog* dialog, int helpContext);

}  // namespace mv
