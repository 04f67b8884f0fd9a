#include "printing/ui/PrintingProblemsDialog.h"

#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"
#include "platform/Cp1252.h"
#include "platform/Prompter.h"
#include "settings/PrintingProblems.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv {

namespace pp = printingProblems;

PrintingProblemsDialog::PrintingProblemsDialog(CustomizeSettings& settings,
                                               std::filesystem::path ini, Prompter& prompter,
                                               QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      ini_(std::move(ini)),
      prompter_(prompter),
      restoreDc_(new QCheckBox(fromCp1252(pp::kRestoreDcText), this)),
      noBanding_(new QCheckBox(fromCp1252(pp::kNoBandingText), this)),
      simpleOutput_(new QCheckBox(fromCp1252(pp::kSimpleOutputText), this)),
      verticalAdjust_(new QLineEdit(this)),
      topMargin_(new QLineEdit(this)) {
  setWindowTitle(tr("Printing Problems"));
  setControlId(this, pp::kDialogResource);
  setControlId(restoreDc_, pp::kRestoreDcBox);
  setControlId(noBanding_, pp::kNoBandingBox);
  setControlId(simpleOutput_, pp::kSimpleOutputBox);
  setControlId(verticalAdjust_, pp::kVerticalAdjustEdit);
  setControlId(topMargin_, pp::kTopMarginEdit);
  setAccessible(restoreDc_, fromCp1252(pp::kRestoreDcText));
  setAccessible(noBanding_, fromCp1252(pp::kNoBandingText));
  setAccessible(simpleOutput_, tr("Use simple output"));
  setAccessible(verticalAdjust_, tr("Vertical adjustment"));
  setAccessible(topMargin_, tr("Top margin adjustment"));
  verticalAdjust_->setMaxLength(static_cast<int>(pp::kEditTextLimit));
  topMargin_->setMaxLength(static_cast<int>(pp::kEditTextLimit));

  const PrintingProblemsInitial init = printingProblemsInitial(settings_);
  restoreDc_->setChecked(init.restoreDc);
  noBanding_->setChecked(init.forceNoBanding);
  simpleOutput_->setChecked(init.labelUseTextOut);
  verticalAdjust_->setText(QString::number(init.verticalAdjust));
  topMargin_->setText(QString::number(init.topMargin));

  auto* form = new QFormLayout;
  form->addRow(tr("&Vertical adjustment (-5 to 5):"), verticalAdjust_);
  form->addRow(tr("&Top margin adjustment (10 to 50):"), topMargin_);

  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &PrintingProblemsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PrintingProblemsDialog::reject);
  setControlId(buttons->button(QDialogButtonBox::Ok), 1);
  setControlId(buttons->button(QDialogButtonBox::Cancel), 2);
  setControlId(buttons->button(QDialogButtonBox::Help), 9);
  giveHelp(this, pp::kHelpContext, buttons->button(QDialogButtonBox::Help));
  for (QAbstractButton* b : buttons->buttons()) setAccessible(b, b->text().remove('&'));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(restoreDc_);
  layout->addWidget(noBanding_);
  layout->addWidget(simpleOutput_);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void PrintingProblemsDialog::accept() {
  PrintingProblemsInput input;
  input.restoreDc = restoreDc_->isChecked();
  input.forceNoBanding = noBanding_->isChecked();
  input.labelUseTextOut = simpleOutput_->isChecked();
  input.verticalAdjustText = toCp1252(verticalAdjust_->text());
  input.topMarginText = toCp1252(topMargin_->text());
  const PrintingProblemsResult r = applyPrintingProblems(settings_, input, ini_);
  if (r.outcome == PrintingProblemsOutcome::ValueNotAccepted) {
    prompter_.ask(Message{r.message, r.caption, Icon::None, Buttons::Ok, Answer::Ok});
    verticalAdjust_->setFocus();
    verticalAdjust_->selectAll();
    return;
  }
  QDialog::accept();
}

}  // namespace mv
