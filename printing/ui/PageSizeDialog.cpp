#include "printing/ui/PageSizeDialog.h"

#include "commands/Commands.h"
#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/ArrowBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv {
namespace {

QPushButton* button(QDialogButtonBox* box, const QString& text, QDialogButtonBox::ButtonRole role,
                    int id) {
  QPushButton* b = box->addButton(text, role);
  setControlId(b, id);
  setAccessible(b, QString(text).remove('&'));
  return b;
}

}  // namespace

PageSizeDialog::PageSizeDialog(QWidget* parent, Prompter& prompter,
                               std::optional<std::vector<PaperRow>> rows, PageSetupValues stored,
                               PageGeometry geometry, PrinterPaper printer,
                               std::filesystem::path ini)
    : QDialog(parent),
      prompter_(prompter),
      form_(std::move(rows), stored, printer),
      geometry_(geometry),
      printer_(printer),
      ini_(std::move(ini)) {
  setObjectName(QString::number(cmd::kPaperSize));
  setWindowTitle("Page Settings");
  auto* layout = new QVBoxLayout(this);

  auto* paperRow = new QFormLayout;
  paper_ = new QComboBox(this);
  setControlId(paper_, 100);
  setAccessible(paper_, "Paper name:");
  paperRow->addRow(new QLabel("Paper name:", this), paper_);
  layout->addLayout(paperRow);

  auto makeBox = [this](PageBox box, const QString& name) {
    auto* b = new ArrowBox(this);
    setControlId(b, pageBoxControlId(box));
    setAccessible(b, name);
    boxes_[static_cast<size_t>(box)] = b;
    return b;
  };
  auto* groups = new QGridLayout;
  auto* dims = new QGroupBox("Dimensions", this);
  auto* dimsForm = new QFormLayout(dims);
  dimsForm->addRow("Width", makeBox(PageBox::Width, "Width"));
  dimsForm->addRow("Length", makeBox(PageBox::Length, "Length"));
  auto* margins = new QGroupBox("Margins", this);
  auto* marginsForm = new QFormLayout(margins);
  marginsForm->addRow("Left", makeBox(PageBox::Left, "Left"));
  marginsForm->addRow("Top", makeBox(PageBox::Top, "Top"));
  auto* units = new QGroupBox("Units", this);
  auto* unitsLayout = new QVBoxLayout(units);
  inches_ = new QRadioButton("Inches", units);
  millimetres_ = new QRadioButton("Milimeters", units);
  setControlId(inches_, 101);
  setControlId(millimetres_, 102);
  unitsLayout->addWidget(inches_);
  unitsLayout->addWidget(millimetres_);
  groups->addWidget(dims, 0, 0);
  groups->addWidget(margins, 0, 1);
  groups->addWidget(units, 0, 2);
  layout->addLayout(groups);

  auto* advanced = new QGroupBox("Advanced", this);
  auto* adv = new QGridLayout(advanced);
  twoOnOne_ = new QCheckBox("Print \"2 pages on 1 sheet\"", advanced);
  setControlId(twoOnOne_, 112);
  adv->addWidget(twoOnOne_, 0, 0, 1, 2);
  adv->addWidget(new QLabel("Distance between two layouts", advanced), 1, 0);
  adv->addWidget(makeBox(PageBox::Gap, "Distance between two layouts"), 1, 1);
  hint_ = new QLabel("[Sheet Size: at least 8.50x11.00]", advanced);
  setControlId(hint_, 104);
  adv->addWidget(hint_, 2, 0, 1, 2);
  mirror_ = new QCheckBox("Mirror Margins", advanced);
  setControlId(mirror_, 113);
  adv->addWidget(mirror_, 3, 0, 1, 2);
  adv->addWidget(new QLabel("Left margin for double-sided / even-numbered pages.", advanced), 4, 0);
  adv->addWidget(makeBox(PageBox::EvenLeft, "Left margin for double-sided / even-numbered pages."),
                 4, 1);
  layout->addWidget(advanced);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = button(buttons, "OK", QDialogButtonBox::AcceptRole, 1);
  ok->setDefault(true);
  button(buttons, "Cancel", QDialogButtonBox::RejectRole, 2);
  QPushButton* help = button(buttons, "&Help", QDialogButtonBox::HelpRole, 9);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  giveHelp(this, kHelpContext, help);

  // Opening: the paper list's message, then the form's first refresh.
  form_.open(prompter_);
  for (const PaperRow& row : form_.rows()) paper_->addItem(fromCp1252(row.name));
  showForm();

  connect(paper_, &QComboBox::activated, this, [this](int index) {
    form_.select(index, prompter_);
    showForm();
  });
  auto unitChosen = [this](LengthUnit unit) {
    form_.setUnit(unit, prompter_);
    showForm();
  };
  connect(inches_, &QRadioButton::clicked, this, [unitChosen] { unitChosen(LengthUnit::Inch); });
  connect(millimetres_, &QRadioButton::clicked, this,
          [unitChosen] { unitChosen(LengthUnit::Millimetre); });
  connect(mirror_, &QCheckBox::toggled, this, [this](bool on) {
    form_.setMirror(on);
    showEnabling();
  });
  connect(twoOnOne_, &QCheckBox::toggled, this, [this](bool on) {
    form_.setTwoOnOne(on);
    showEnabling();
  });
}

void PageSizeDialog::showForm() {
  paper_->setCurrentIndex(form_.selected());
  const bool inch = form_.unit() == LengthUnit::Inch;
  inches_->setChecked(inch);
  millimetres_->setChecked(!inch);
  for (int i = 0; i < kPageBoxCount; ++i) {
    const auto box = static_cast<PageBox>(i);
    boxes_[static_cast<size_t>(i)]->setLimits(arrowLimits(box, form_.unit()));
    boxes_[static_cast<size_t>(i)]->setValue(QString::fromStdString(form_.boxText(box)));
  }
  const QSignalBlocker b1(mirror_), b2(twoOnOne_);
  mirror_->setChecked(form_.mirror());
  twoOnOne_->setChecked(form_.twoOnOne());
  showEnabling();
}

void PageSizeDialog::showEnabling() {
  boxes_[static_cast<size_t>(PageBox::EvenLeft)]->setEnabled(form_.mirror());
  boxes_[static_cast<size_t>(PageBox::Gap)]->setEnabled(form_.twoOnOne());
  hint_->setText(fromCp1252(form_.sheetHint()));
  hint_->setVisible(form_.twoOnOne());
}

void PageSizeDialog::accept() {
  std::array<std::string, kPageBoxCount> typed;
  for (int i = 0; i < kPageBoxCount; ++i)
    typed[static_cast<size_t>(i)] = boxes_[static_cast<size_t>(i)]->value().toStdString();
  PageGeometry geometry = geometry_;
  PrinterPaper printer = printer_;
  if (form_.confirm(typed, prompter_, geometry, printer, ini_) ==
      PageSettingsForm::Outcome::StaysOpen) {
    showForm();  // values reset on the way are shown
    return;
  }
  geometry_ = geometry;
  printer_ = printer;
  QDialog::accept();
}

}  // namespace mv
