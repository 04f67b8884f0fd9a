#include "printing/ui/LabelSheet.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/FileChooser.h"
#include "platform/Paths.h"
#include "platform/ui/Controls.h"
#include "printing/LabelTemplates.h"
#include "printing/PageRenderer.h"
#include "printing/render/QPainterCanvas.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "platform/ui/ArrowBox.h"
#include "platform/ui/DialogButtons.h"
#include "printing/ui/LabelFormatPage.h"
#include "store/AtomicFile.h"
#include "store/Book.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace mv {
namespace {

QString inches(int length, LabelUnit unit) {
  return QString::asprintf("%4.2f", lengthInInches(length, unit));
}

int lengthOf(const ArrowBox* box, LabelUnit unit) {
  return inchesToLength(box->value().trimmed().toDouble(), unit);
}

ArrowBox* lengthBox(QWidget* parent, int id, double high, const char* name) {
  auto* box = new ArrowBox(parent);
  setControlId(box, id);
  box->setLimits({id == 154 || id == 155 ? 0.0 : (id == 152 || id == 153 ? 0.5 : 0.1), high});
  setAccessible(box, name);
  return box;
}

QPushButton* button(QWidget* parent, int id, const char* text) {
  auto* b = new QPushButton(text, parent);
  setControlId(b, id);
  setAccessible(b, QString(text).remove('&'));
  return b;
}

}  // namespace

// The sheet scaled into the page: a click on a label toggles whether it is used.
class LabelSheetPreview final : public QWidget {
 public:
  explicit LabelSheetPreview(LabelSheet* sheet) : QWidget(sheet), sheet_(sheet) {
    setMinimumSize(220, 280);
    setAccessibleName("Label sheet");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const LabelDimensions d = sheet_->shownDimensions();
    const Scale s = scaleFor(d);
    QFont x("Arial");
    x.setPixelSize(10);
    p.setFont(x);
    for (int r = 0; r < d.down; ++r)
      for (int c = 0; c < d.across; ++c) {
        const QRectF label = labelAt(d, s, c, r);
        const bool used = sheet_->grid().inUse(c, r);
        p.setBrush(used ? QColor(255, 255, 255) : QColor(192, 192, 192));
        p.drawRoundedRect(label, 5, 5);
        if (!used)
          p.drawText(QRectF(label.left(), label.center().y() - 7 - 6, label.width(), 12),
                     Qt::AlignCenter, "x");
      }
  }
  void mousePressEvent(QMouseEvent* event) override {
    const LabelDimensions d = sheet_->shownDimensions();
    const Scale s = scaleFor(d);
    for (int r = 0; r < d.down; ++r)
      for (int c = 0; c < d.across; ++c)
        if (labelAt(d, s, c, r).contains(event->position())) {
          sheet_->toggleLabel(c, r);
          return;
        }
  }

 private:
  struct Scale {
    double x = 1;
    double y = 1;
  };
  // Pixels per stored unit: the sheet is drawn at least letter wide and 11.5 in long.
  Scale scaleFor(const LabelDimensions& d) const {
    const double perInch = unitsPerInch(d.unit);
    const double w = std::max<double>(d.left + d.across * (d.width + d.horizontalGap), 8.5 * perInch);
    const double h = std::max<double>(d.top + d.down * (d.height + d.verticalGap), 11.5 * perInch);
    return {width() / w, height() / h};
  }
  static QRectF labelAt(const LabelDimensions& d, const Scale& s, int c, int r) {
    return QRectF((d.left + c * (d.width + d.horizontalGap)) * s.x,
                  (d.top + r * (d.height + d.verticalGap)) * s.y, d.width * s.x, d.height * s.y);
  }
  LabelSheet* sheet_;
};

LabelSheet::LabelSheet(QWidget* parent, Prompter& prompter, LabelSheetContext context)
    : QDialog(parent),
      prompter_(prompter),
      context_(std::move(context)),
      grid_(context_.grid ? *context_.grid : LabelGrid{}),
      catalogue_(readLabelsDat(context_.labelsDat)) {
  setWindowTitle("Labels");
  tabs_ = new QTabWidget(this);
  tabs_->addTab(buildSizePage(), "Label Size");
  tabs_->addTab(buildSelectPage(), "Select Labels");
  tabs_->addTab(buildNamesPage(), "Select Names");
  tabs_->addTab(buildFormatPage(), "Format");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(okCancelHelpButtons(this, kHelpContext));

  const Profile labels(context_.ini, std::string(keys::section::Labels));
  showing_ = true;
  product_->setCurrentIndex(std::clamp(labels.readInt(keys::labels::Type1, 0), 0, 2));
  type_->setCurrentIndex(std::clamp(labels.readInt(keys::labels::Type2, 0), 0, 2));
  showing_ = false;
  refilter(labels.readInt(keys::labels::Id, 3));
}

// ---------------------------------------------------------------------------------------
// "Label Size"

QWidget* LabelSheet::buildSizePage() {
  auto* page = new QWidget(this);
  name_ = new QLineEdit(page);
  setControlId(name_, 105);
  name_->setMaxLength(static_cast<int>(kLabelNameMax));
  setAccessible(name_, "Label Name");
  list_ = new QListWidget(page);
  setControlId(list_, 101);
  setAccessible(list_, "Labels");
  product_ = new QComboBox(page);
  setControlId(product_, 20);
  product_->addItems({"Standard", "A4 Sizes", "Other"});
  setAccessible(product_, "Label Products");
  type_ = new QComboBox(page);
  setControlId(type_, 102);
  type_->addItems({"All Labels", "Address Labels", "Shipping Labels"});
  setAccessible(type_, "Labels Type");
  top_ = lengthBox(page, 151, 11, "Top Margin");
  left_ = lengthBox(page, 150, 8.5, "Left Margin");
  width_ = lengthBox(page, 152, 8.5, "Label Width");
  height_ = lengthBox(page, 153, 11, "Label Height");
  vGap_ = lengthBox(page, 155, 11, "Vertical Gap");
  hGap_ = lengthBox(page, 154, 8.5, "Horizontal Gap");
  across_ = new QSpinBox(page);
  setControlId(across_, 156);
  across_->setRange(1, kMaxLabelsAcross);
  setAccessible(across_, "Number Across");
  down_ = new QSpinBox(page);
  setControlId(down_, 157);
  down_->setRange(1, kMaxLabelsDown);
  setAccessible(down_, "Number Down");

  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel("Label Name", page));
  left->addWidget(name_);
  left->addWidget(list_);
  auto* filters = new QFormLayout;
  filters->addRow("Label Products", product_);
  filters->addRow("Labels Type", type_);
  left->addLayout(filters);
  auto* sizes = new QFormLayout;
  sizes->addRow("Top Margin", top_);
  sizes->addRow("Left Margin", left_);
  sizes->addRow("Number Across", across_);
  sizes->addRow("Number Down", down_);
  sizes->addRow("Label Width", width_);
  sizes->addRow("Label Height", height_);
  sizes->addRow("Vertical Gap", vGap_);
  sizes->addRow("Horizontal Gap", hGap_);
  auto* buttons = new QHBoxLayout;
  QPushButton* add = button(page, 106, "&Add Settings");
  QPushButton* del = button(page, 104, "&Delete Settings");
  QPushButton* change = button(page, 103, "&Change Settings");
  buttons->addWidget(add);
  buttons->addWidget(del);
  buttons->addWidget(change);
  QPushButton* templates = button(page, 108, "&Read Label Templates...");
  auto* right = new QVBoxLayout;
  auto* group = new QGroupBox("Dimensions (inches)", page);
  group->setLayout(sizes);
  right->addWidget(group);
  right->addLayout(buttons);
  right->addWidget(templates);
  right->addWidget(buildCalibration(page));
  auto* layout = new QHBoxLayout(page);
  layout->addLayout(left, 1);
  layout->addLayout(right);

  auto edited = [this] {
    if (!showing_) changed_ = true;
    if (sheetPreview_) sheetPreview_->update();
    if (format_) format_->refreshPreview();
  };
  connect(name_, &QLineEdit::textEdited, this, edited);
  for (ArrowBox* box : {top_, left_, width_, height_, vGap_, hGap_})
    connect(box->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, edited);
  connect(across_, &QSpinBox::valueChanged, this, edited);
  connect(down_, &QSpinBox::valueChanged, this, edited);
  auto filterAgain = [this] {
    if (!showing_) refilter();
  };
  connect(product_, &QComboBox::currentIndexChanged, this, filterAgain);
  connect(type_, &QComboBox::currentIndexChanged, this, filterAgain);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!showing_) showRow(row);
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { saveChoice(); });
  connect(add, &QPushButton::clicked, this, [this] { addFormat(); });
  connect(del, &QPushButton::clicked, this, [this] { deleteFormat(); });
  connect(change, &QPushButton::clicked, this, [this] { (void)changeFormat(); });
  connect(templates, &QPushButton::clicked, this, [this] { importTemplates(); });
  return page;
}

// The printer's offset, in hundredths of an inch, and the sheet to measure it by.
QWidget* LabelSheet::buildCalibration(QWidget* page) {
  auto* group = new QGroupBox("Printer calibration (1/100 inch)", page);
  storedOffset_ = readPrinterOffset(context_.ini, context_.printerName);
  auto offsetBox = [&](int id, int value, const char* name) {
    auto* box = new QSpinBox(group);
    setControlId(box, id);
    box->setRange(-kMaxPrinterOffset, kMaxPrinterOffset);
    box->setValue(value);
    setAccessible(box, name);
    return box;
  };
  offsetX_ = offsetBox(160, storedOffset_.x, "Move right by");
  offsetY_ = offsetBox(161, storedOffset_.y, "Move down by");
  auto* printer = new QLabel(context_.printerName.empty()
                                 ? QString("No printer")
                                 : "Printer: " + fromCp1252(context_.printerName),
                             group);
  setControlId(printer, 163);
  QPushButton* sheet = button(group, 162, "Print calibration sheet");
  sheet->setEnabled(static_cast<bool>(context_.printJob));
  auto* form = new QFormLayout(group);
  form->addRow(printer);
  form->addRow("Move right by", offsetX_);
  form->addRow("Move down by", offsetY_);
  form->addRow(sheet);
  // Without a printer there is nobody to keep an offset for.
  offsetX_->setEnabled(!context_.printerName.empty());
  offsetY_->setEnabled(!context_.printerName.empty());
  connect(sheet, &QPushButton::clicked, this, [this] {
    // On the sheet the chosen product prints on, with the offset as the boxes say now, so
    // that a correction can be tried before it is kept.
    const int sheetCode = product_->currentIndex() == static_cast<int>(LabelProduct::A4)
                              ? kA4Sheet.code
                              : kLetterSheet.code;
    if (context_.printJob)
      context_.printJob(calibrationJob(sheetCode, context_.printerName, shownOffset()));
  });
  return group;
}

PrinterOffset LabelSheet::shownOffset() const { return {offsetX_->value(), offsetY_->value()}; }

void LabelSheet::importTemplates() {
  if (!context_.chooser) return;
  FileRequest request;
  request.title = "Read Label Templates";
  request.fileKind = FileKind::LabelTemplates;
  request.filter = "Label Templates (*.xml)|*.xml|All Files (*.*)|*.*";
  request.mustExist = true;
  const std::optional<FileChoice> choice = context_.chooser->choose(request);
  if (!choice) return;
  std::string bytes;
  TemplateImport result;
  if (!readWholeFile(choice->path, bytes))
    result.error = "the file cannot be read";
  else
    result = importLabelTemplates(catalogue_, parseLabelTemplates(bytes));
  // Added like the Add button's formats: labels.dat is written on OK.
  if (result.added > 0) refilter();
  prompter_.inform(templateImportSummary(result, pathText(choice->path.filename())),
                   kAppCaption, result.error.empty() ? Icon::Information : Icon::Exclamation,
                   TextCoding::Utf8);
}

void LabelSheet::refilter(int selectRow) {
  rows_ = catalogue_.filter(product_->currentIndex(), type_->currentIndex());
  showing_ = true;
  list_->clear();
  if (sheetList_) sheetList_->clear();
  for (const auto& row : rows_) {
    const QString name = fromCp1252(labelDisplayName(row.format.name));
    list_->addItem(name);
    if (sheetList_) sheetList_->addItem(name);
  }
  showing_ = false;
  showRow(selectRow >= 0 && static_cast<size_t>(selectRow) < rows_.size() ? selectRow : 0);
}

void LabelSheet::showRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  showing_ = true;
  list_->setCurrentRow(row);
  if (sheetList_) sheetList_->setCurrentRow(row);
  const LabelFormat& f = rows_[static_cast<size_t>(row)].format;
  name_->setText(fromCp1252(labelDisplayName(f.name)));
  unit_ = f.unit;
  top_->setValue(inches(f.top, unit_));
  left_->setValue(inches(f.left, unit_));
  width_->setValue(inches(f.width, unit_));
  height_->setValue(inches(f.height, unit_));
  hGap_->setValue(inches(f.horizontalGap(), unit_));
  vGap_->setValue(inches(f.verticalGap(), unit_));
  across_->setValue(f.across);
  down_->setValue(f.down);
  showing_ = false;
  changed_ = false;
  if (sheetPreview_) sheetPreview_->update();
  if (format_) format_->refreshPreview();
}

LabelFormat LabelSheet::readBoxes() const {
  LabelFormat f;
  f.name = labelStoredName(toCp1252(name_->text()).substr(0, kLabelNameMax));
  f.product = product_->currentIndex();
  f.unit = unit_;
  f.width = lengthOf(width_, unit_);
  f.height = lengthOf(height_, unit_);
  f.left = lengthOf(left_, unit_);
  f.top = lengthOf(top_, unit_);
  f.horizontalPitch = lengthOf(hGap_, unit_) + f.width;
  f.verticalPitch = lengthOf(vGap_, unit_) + f.height;
  f.across = across_->value();
  f.down = down_->value();
  return f;
}

LabelDimensions LabelSheet::shownDimensions() const {
  const LabelFormat f = readBoxes();
  LabelDimensions d = dimensionsOf(f);
  d.across = std::clamp(d.across, 1, kMaxLabelsAcross);
  d.down = std::clamp(d.down, 1, kMaxLabelsDown);
  return d;
}

void LabelSheet::addFormat() {
  switch (catalogue_.add(readBoxes(), rows_)) {
    case LabelCatalogue::EditResult::NameTaken:
      prompter_.inform(kLabelAddRefused, kAppCaption, Icon::Information);
      return;
    case LabelCatalogue::EditResult::Unusable:
      prompter_.inform(kLabelUnusable, kAppCaption, Icon::Exclamation);
      return;
    default: refilter();
  }
}

void LabelSheet::deleteFormat() {
  const int row = list_->currentRow();
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  const std::string name = labelDisplayName(readBoxes().name);
  if (prompter_.ask(Message{labelDeleteQuestion(name), kAppCaption, Icon::Question,
                            Buttons::YesNo}) != Answer::Yes)
    return;
  (void)catalogue_.remove(rows_[static_cast<size_t>(row)].line);
  refilter();
}

bool LabelSheet::changeFormat() {
  if (!changed_) {
    prompter_.inform(kLabelNothingChanged, kAppCaption, Icon::Information);
    return false;
  }
  const int row = list_->currentRow();
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
  if (catalogue_.change(rows_[static_cast<size_t>(row)].line, readBoxes()) !=
      LabelCatalogue::EditResult::Done) {
    prompter_.inform(kLabelUnusable, kAppCaption, Icon::Exclamation);
    return false;
  }
  refilter();
  return true;
}

void LabelSheet::saveChoice() {
  if (changed_) (void)changeFormat();
  const int row = list_->currentRow();
  if (product_->currentIndex() < 0 || row < 0 || static_cast<size_t>(row) >= rows_.size())
    return;
  if (!saveLabelChoice(context_.ini, product_->currentIndex(), type_->currentIndex(), row,
                       rows_[static_cast<size_t>(row)].format))
    prompter_.inform("The label format could not be saved in the settings file.", kAppCaption,
                     Icon::Exclamation);
}

bool LabelSheet::sizeOk() {
  const LabelDimensions d = shownDimensions();
  grid_.ensureOneInUse(d.across, d.down);
  // The chosen row is kept by its place in the list, which is only right once the list
  // is on disk: a failed write keeps the sheet open with the edits, to try OK again or to
  // cancel them.
  if (catalogue_.modified() &&
      !writeFileAtomically(context_.labelsDat, labelsDatBytes(catalogue_.lines()))) {
    prompter_.inform("labels.dat could not be written; the label list is unchanged.",
                     kAppCaption, Icon::Exclamation);
    return false;
  }
  saveChoice();
  if (shownOffset() != storedOffset_ && !context_.printerName.empty()) {
    switch (writePrinterOffset(context_.ini, context_.printerName, shownOffset())) {
      case OffsetWrite::BadName:
        prompter_.inform(unstorablePrinterMessage(context_.printerName), kAppCaption,
                         Icon::Exclamation);
        break;
      case OffsetWrite::WriteFailed:
        prompter_.inform("The printer offset could not be saved in the settings file.",
                         kAppCaption, Icon::Exclamation);
        break;
      case OffsetWrite::Saved: storedOffset_ = shownOffset(); break;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// "Select Labels"

QWidget* LabelSheet::buildSelectPage() {
  auto* page = new QWidget(this);
  sheetList_ = new QListWidget(page);
  setControlId(sheetList_, 102);
  setAccessible(sheetList_, "Label Name");
  sheetPreview_ = new LabelSheetPreview(this);
  sheetPreview_->setParent(page);
  setControlId(sheetPreview_, 107);
  QPushButton* all = button(page, 104, "Select All");
  QPushButton* none = button(page, 105, "UnSelect All");
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel("Label Name", page));
  left->addWidget(sheetList_);
  auto* note = new QLabel(
      "<- \nLabels that are marked by 'X' will not be used for printing.\n\nClick on labels "
      "to select/unselect.",
      page);
  note->setWordWrap(true);
  left->addWidget(note);
  left->addWidget(all);
  left->addWidget(none);
  auto* layout = new QHBoxLayout(page);
  layout->addLayout(left);
  layout->addWidget(sheetPreview_, 1);
  connect(sheetList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!showing_) showRow(row);
  });
  connect(all, &QPushButton::clicked, this, [this] {
    grid_.setAll(true);
    sheetPreview_->update();
  });
  connect(none, &QPushButton::clicked, this, [this] {
    grid_.setAll(false);
    const LabelDimensions d = shownDimensions();
    grid_.ensureOneInUse(d.across, d.down);
    sheetPreview_->update();
  });
  return page;
}

void LabelSheet::toggleLabel(int column, int row) {
  grid_.toggle(column, row);
  const LabelDimensions d = shownDimensions();
  grid_.ensureOneInUse(d.across, d.down);
  sheetPreview_->update();
}

// ---------------------------------------------------------------------------------------
// "Select Names"

QWidget* LabelSheet::buildNamesPage() {
  auto* page = new QWidget(this);
  namesList_ = new QListWidget(page);
  setControlId(namesList_, 110);
  setAccessible(namesList_, "Names in Address Book");
  if (context_.book) names_ = labelNamesOf(context_.book->recordsInListOrder());
  for (const LabelName& name : names_) {
    auto* item = new QListWidgetItem(fromCp1252(name.text), namesList_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(name.checked ? Qt::Checked : Qt::Unchecked);
  }
  useNames_ = new QRadioButton("Use Selected &Names in Address Book", page);
  setControlId(useNames_, 19);
  setAccessible(useNames_, "Use Selected Names in Address Book");
  useReturn_ = new QRadioButton("Use Return &Address", page);
  setControlId(useReturn_, 21);
  setAccessible(useReturn_, "Use Return Address");
  const Profile labels(context_.ini, std::string(keys::section::Labels));
  (labels.readInt(keys::labels::UseReturnAddress, 0) == 1 ? useReturn_ : useNames_)
      ->setChecked(true);
  QPushButton* edit = button(page, 101, "&Edit Return Address");
  connect(edit, &QPushButton::clicked, this, [this] {
    if (context_.editReturnAddress) context_.editReturnAddress();
  });
  // A book of some thousand entries is not ticked one by one.
  QPushButton* all = button(page, 111, "Select A&ll");
  QPushButton* none = button(page, 112, "Select N&one");
  connect(all, &QPushButton::clicked, this, [this] { checkAllNames(Qt::Checked); });
  connect(none, &QPushButton::clicked, this, [this] { checkAllNames(Qt::Unchecked); });
  auto* selection = new QHBoxLayout;
  selection->addWidget(all);
  selection->addWidget(none);
  selection->addStretch(1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel("Names in Address Book", page));
  layout->addWidget(namesList_, 1);
  layout->addLayout(selection);
  layout->addWidget(useNames_);
  layout->addWidget(useReturn_);
  layout->addWidget(edit);
  return page;
}

void LabelSheet::checkAllNames(Qt::CheckState state) {
  // One repaint for the whole list, not one per entry.
  namesList_->setUpdatesEnabled(false);
  for (int i = 0; i < namesList_->count(); ++i) namesList_->item(i)->setCheckState(state);
  namesList_->setUpdatesEnabled(true);
}

bool LabelSheet::namesOk() {
  bool marksChanged = false;
  for (int i = 0; i < namesList_->count(); ++i) {
    const bool checked = namesList_->item(i)->checkState() == Qt::Checked;
    LabelName& name = names_[static_cast<size_t>(i)];
    marksChanged = marksChanged || name.checked != checked;
    name.checked = checked;
  }
  // Marks 3, 5... already get a label: they become 0 only when a rewrite is needed anyway.
  if (context_.book && marksChanged && !applyLabelChecks(*context_.book, names_))
    prompter_.inform("The address book could not be rewritten with the chosen names.",
                     kAppCaption, Icon::Exclamation);
  Profile labels(context_.ini, std::string(keys::section::Labels));
  if (!labels.writeInt(keys::labels::UseReturnAddress, useReturn_->isChecked() ? 1 : 0))
    prompter_.inform("The label settings could not be saved.", kAppCaption, Icon::Exclamation);
  return true;
}

// ---------------------------------------------------------------------------------------
// "Format"

QWidget* LabelSheet::buildFormatPage() {
  LabelFormatPageContext c;
  c.ini = context_.ini;
  c.section = keys::section::Labels;
  c.fontKey = keys::font::Labels;
  c.marginsDefault = keys::labels::MarginsDefault;
  c.pageFace = context_.pageFace;
  c.chooseFont = context_.chooseFont;
  c.previewLabel = [this] { return shownDimensions(); };
  format_ = new LabelFormatPage(this, prompter_, std::move(c));
  return format_;
}

LabelPageSettings LabelSheet::formatPreviewSettings() const { return format_->settings(); }

void LabelSheet::accept() {
  if (!sizeOk()) return;
  namesOk();
  format_->ok();
  if (context_.grid) *context_.grid = grid_;
  QDialog::accept();
}

}  // namespace mv
