#pragma once
// The OK, Cancel and Help row that the shell's dialogs end with: OK (1) is the default and
// accepts, Cancel (2) rejects, Help (9) opens the dialog's help topic. And the one way a
// window gets its help: F1 anywhere in it, and its Help button, open its topic.

#include <QDialog>
#include <QDialogButtonBox>

class QAbstractButton;

namespace mv {

QDialogButtonBox* okCancelHelpButtons(QDialog* dialog, int helpContext);

// F1 while `window` is the active window opens the help topic of helpContext, and so does
// a click on helpButton when there is one.
void giveHelp(QWidget* window, int helpContext, QAbstractButton* helpButton = nullptr);

}  // namespace mv
