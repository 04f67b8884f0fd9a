#include "printing/ui/PrintDialog.h"

#include "platform/Cp1252.h"
#include "platform/Prompter.h"
#include "platform/ui/Controls.h"
#include "printing/PageSettings.h"
#include "printing/PaperList.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "platform/ui/DialogButtons.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace mv {

PrintDialog::PrintDialog(QWidget* parent, Prompter& prompter, std::filesystem::path ini,
                         PrintDialogHooks hooks)
    : QDialog(parent),
      prompter_(prompter),
      ini_(std::move(ini)),
      hooks_(std::move(hooks)),
      paperText_(new QLabel(this)),
      landscapeBox_(new QRadioButton("Landscape", this)),
      portraitBox_(new QRadioButton("Portrait", this)),
      all_(new QRadioButton("All", this)),
      selected_(new QRadioButton("Selected pages from:", this)),
      first_(new QComboBox(this)),
      last_(new QComboBox(this)),
      mode_(new QComboBox(this)) {
  setObjectName("Print");
  auto* paperButton = new QPushButton("&Paper Size", this);
  auto* setupButton = new QPushButton("Printer &Setup", this);
  setControlId(paperText_, kPaperSizeText);
  setControlId(paperButton, kPaperSizeButton);
  setControlId(setupButton, kPrinterSetupButton);
  setControlId(landscapeBox_, kLandscape);
  setControlId(portraitBox_, kPortrait);
  setControlId(all_, kAll);
  setControlId(selected_, kSelected);
  setControlId(first_, kFirstList);
  setControlId(last_, kLastList);
  setControlId(mode_, kModeList);
  setAccessible(paperText_, "Paper size");
  setAccessible(paperButton, "Paper Size");
  setAccessible(setupButton, "Printer Setup");
  setAccessible(landscapeBox_, "Landscape");
  setAccessible(portraitBox_, "Portrait");
  setAccessible(all_, "All");
  setAccessible(selected_, "Selected pages from:");
  setAccessible(first_, "First page");
  setAccessible(last_, "Last page");
  setAccessible(mode_, "Print:");
  for (const char* m : {"Default", "Double Sided", "Even Pages", "Odd Pages"}) mode_->addItem(m);

  auto* settings = new QGroupBox("Settings", this);
  auto* settingsLayout = new QVBoxLayout(settings);
  settingsLayout->addWidget(paperText_);
  settingsLayout->addWidget(paperButton);
  settingsLayout->addWidget(setupButton);
  auto* orientation = new QGroupBox("Orientation", this);
  auto* orientationLayout = new QVBoxLayout(orientation);
  orientationLayout->addWidget(landscapeBox_);
  orientationLayout->addWidget(portraitBox_);
  auto* rangeBox = new QGroupBox("Print Range", this);
  setControlId(rangeBox, kRangeGroup);
  auto* rangeLayout = new QGridLayout(rangeBox);
  rangeLayout->addWidget(all_, 0, 0, 1, 4);
  rangeLayout->addWidget(selected_, 1, 0);
  rangeLayout->addWidget(first_, 1, 1);
  rangeLayout->addWidget(new QLabel("to:", rangeBox), 1, 2);
  rangeLayout->addWidget(last_, 1, 3);
  auto* rangeButtons = new QButtonGroup(this);
  rangeButtons->addButton(all_);
  rangeButtons->addButton(selected_);
  auto* options = new QGroupBox("Options", this);
  auto* optionsLayout = new QHBoxLayout(options);
  optionsLayout->addWidget(new QLabel("Print:", options));
  optionsLayout->addWidget(mode_);

  auto* grid = new QGridLayout;
  grid->addWidget(settings, 0, 0);
  grid->addWidget(orientation, 0, 1);
  grid->addWidget(rangeBox, 1, 0);
  grid->addWidget(options, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(okCancelHelpButtons(this, kHelpContext));

  connect(all_, &QRadioButton::clicked, this, [this] { readRange(); });
  connect(selected_, &QRadioButton::clicked, this, [this] { readRange(); });
  connect(first_, &QComboBox::currentIndexChanged, this, &PrintDialog::firstChanged);
  connect(last_, &QComboBox::currentIndexChanged, this, &PrintDialog::lastChanged);
  connect(paperButton, &QPushButton::clicked, this, [this] {
    if (hooks_.paperSize) hooks_.paperSize();
    // The page count may have changed with the sheet: the lists start again from it.
    fill();
  });
  connect(setupButton, &QPushButton::clicked, this, [this] {
    if (hooks_.printerSetup) hooks_.printerSetup();
    if (hooks_.facts) facts_.geometry = hooks_.facts().geometry;
    showPaper();
  });

  fill();
  range_.mode = printMode::kDefault;
}

void PrintDialog::fill() {
  if (hooks_.facts) facts_ = hooks_.facts();
  facts_.count = std::max(1, facts_.count);
  inch_ = readPageSetup(ini_).inch;
  const bool envelopeLandscape =
      Profile(ini_, std::string(keys::section::PageSetup))
          .readInt(keys::pageSetup::EnvelopeLandscape, 0) != 0;
  landscape_ = printDialogLandscape(facts_.layout, facts_.layoutLandscape, facts_.twoOnOne,
                                    envelopeLandscape);
  landscapeBox_->setChecked(landscape_);
  portraitBox_->setChecked(!landscape_);
  showPaper();
  setWindowTitle(fromCp1252(printDialogTitle(facts_.layout)));

  const QSignalBlocker b1(first_), b2(last_);
  first_->clear();
  last_->clear();
  for (int p = 1; p <= facts_.count; ++p) {
    first_->addItem(QString::number(p));
    last_->addItem(QString::number(p));
  }
  const int current = std::clamp(facts_.currentPage, 1, facts_.count) - 1;
  first_->setCurrentIndex(current);
  last_->setCurrentIndex(current);
  all_->setText(fromCp1252(allPagesCaption(facts_.count)));
  if (facts_.count > 1)
    selected_->setChecked(true);
  else
    all_->setChecked(true);
  mode_->setCurrentIndex(printMode::kDefault);
  readRange();
  const bool lists = pageListsEnabled(facts_.count);
  first_->setEnabled(lists);
  last_->setEnabled(lists);
  selected_->setEnabled(lists);
  mode_->setEnabled(printModesEnabled(facts_.count, facts_.layout));
}

void PrintDialog::showPaper() {
  paperText_->setText(fromCp1252(paperSizeText(facts_.geometry, inch_)));
  // The printer's sheet the page is placed on, by the paper catalogue's name.
  const std::string_view sheet =
      facts_.geometry.placesPage() ? paperCodeName(sheetOfCode(facts_.geometry.sheetCode).code)
                                   : std::string_view{};
  paperText_->setToolTip(sheet.empty() ? QString()
                                       : QStringLiteral("Printed on ") +
                                             QString::fromLatin1(sheet.data(), sheet.size()));
}

void PrintDialog::readRange() {
  if (all_->isChecked()) {
    range_.first = 1;
    range_.last = facts_.count;
  } else {
    range_.first = first_->currentIndex() + 1;
    range_.last = last_->currentIndex() + 1;
  }
}

void PrintDialog::firstChanged(int index) {
  selected_->setChecked(true);
  range_.first = index < 0 ? 1 : index + 1;
  if (last_->currentIndex() + 1 < range_.first) {
    const QSignalBlocker block(last_);
    last_->setCurrentIndex(range_.first - 1);
  }
  readRange();
}

void PrintDialog::lastChanged(int index) {
  selected_->setChecked(true);
  range_.last = index < 0 ? facts_.count : index + 1;
  if (range_.last < first_->currentIndex() + 1) {
    const QSignalBlocker block(first_);
    first_->setCurrentIndex(range_.last - 1);
  }
  readRange();
}

void PrintDialog::accept() {
  landscape_ = landscapeBox_->isChecked();
  if (normalizeLayoutCommand(facts_.layout) == kEnvelopeLayout &&
      !Profile(ini_, std::string(keys::section::PageSetup))
           .writeInt(keys::pageSetup::EnvelopeLandscape, landscape_ ? 1 : 0))
    prompter_.ask(Message{"The settings could not be saved.", kAppCaption, Icon::Exclamation,
                          Buttons::Ok});
  readRange();
  const int mode = mode_->currentIndex();
  const int count = mode == printMode::kDefault ? facts_.count : facts_.bookletCount;
  const SettledRange settled =
      settlePrintRange({all_->isChecked(), range_.first, range_.last, mode}, count);
  if (settled.refusal) {
    prompter_.ask(Message{*settled.refusal, kAppCaption, Icon::Exclamation, Buttons::Ok});
    return;
  }
  range_ = settled.range;
  QDialog::accept();
}

void PrintDialog::reject() {
  range_ = PrintRange{1, facts_.count, printMode::kDefault};
  QDialog::reject();
}

}  // namespace mv
