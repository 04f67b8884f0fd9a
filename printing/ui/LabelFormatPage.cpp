#include "printing/ui/LabelFormatPage.h"

#include "platform/Prompter.h"
#include "platform/ui/Controls.h"
#include "printing/render/QPainterCanvas.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace mv {

// One label, as large as the preview's room allows (at most 96 pixels an inch), with its
// text margins and the field names laid out as an address would be. Everything is
// clipped to the label's rounded frame: a block that does not fit shows cut, as it
// prints, and never runs over the frame or the dialog.
class LabelFormatPreview final : public QWidget {
 public:
  explicit LabelFormatPreview(LabelFormatPage* page) : QWidget(page), page_(page) {
    setMinimumSize(200, 90);
    setAccessibleName("Label preview");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const LabelPageSettings s = page_->settings();
    const double inchesWide = lengthInInches(s.dimensions.width, s.dimensions.unit);
    const double inchesHigh = lengthInInches(s.dimensions.height, s.dimensions.unit);
    if (!(inchesWide > 0) || !(inchesHigh > 0)) return;
    // The rounded frame stands a few pixels outside the label, so that its corners never
    // cut the text of a label without margins.
    constexpr double kBorder = 4, kOutset = 3, kRadius = 8;
    const double room = 2 * (kBorder + kOutset) + 1;
    const double perInch =
        std::min({96.0, (width() - room) / inchesWide, (height() - room) / inchesHigh});
    if (!(perInch > 0)) return;
    const double w = inchesWide * perInch;
    const double h = inchesHigh * perInch;
    const double x0 = kBorder + kOutset, y0 = kBorder + kOutset;
    // The label is a piece of paper: black on white whatever the desktop's colours.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(kBorder, kBorder, w + 2 * kOutset, h + 2 * kOutset), kRadius,
                         kRadius);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPath(frame);
    p.setClipPath(frame);
    const QRectF inner(x0 + s.margins.left * perInch, y0 + s.margins.top * perInch,
                       w - (s.margins.left + s.margins.right) * perInch,
                       h - (s.margins.top + s.margins.bottom) * perInch);
    p.setPen(Qt::gray);
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner);
    p.setClipRect(inner, Qt::IntersectClip);
    // The label's text in hundredths of an inch.
    QPainterCanvas canvas(p, CanvasTarget::Screen);
    if (!canvas.setMapping(Mapping{{0, 0}, {100, 100}, {inner.left(), inner.top()},
                                   {perInch, perInch}}))
      return;
    LabelFields names;
    for (int i = 0; i < kLabelFieldCount; ++i)
      names[static_cast<size_t>(i)] = std::string(labelFieldKey(i));
    const double logicalPerPixel = 100 / perInch;
    drawLabelText(canvas,
                  {0, 0, static_cast<int>(inner.width() * logicalPerPixel),
                   static_cast<int>(inner.height() * logicalPerPixel)},
                  names, s.text);
  }

 private:
  LabelFormatPage* page_;
};

LabelFormatPage::LabelFormatPage(QWidget* parent, Prompter& prompter,
                                 LabelFormatPageContext context)
    : QWidget(parent), prompter_(prompter), context_(std::move(context)) {
  const Profile section(context_.ini, context_.section);
  const LabelTextStyle stored =
      readLabelTextStyle(context_.ini, context_.section, context_.fontKey, context_.pageFace);
  options_ = stored.options;
  font_ = stored.font;
  fields_ = new QListWidget(this);
  setControlId(fields_, 110);
  setAccessible(fields_, "Print these fields:");
  for (int i = 0; i < kLabelFieldCount; ++i) {
    auto* item = new QListWidgetItem(QString::fromLatin1(labelFieldKey(i).data(),
                                                         int(labelFieldKey(i).size())),
                                     fields_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(options_[static_cast<size_t>(i)].print == 1 ? Qt::Checked : Qt::Unchecked);
  }
  newLine_ = new QCheckBox(this);
  setControlId(newLine_, 108);
  comma_ = new QCheckBox(this);
  setControlId(comma_, 106);
  bold_ = new QCheckBox(this);
  setControlId(bold_, 103);
  alignLeft_ = new QRadioButton("&Left", this);
  setControlId(alignLeft_, 19);
  alignCenter_ = new QRadioButton("&Center", this);
  setControlId(alignCenter_, 21);
  alignRight_ = new QRadioButton("&Right", this);
  setControlId(alignRight_, 101);
  (stored.align == HAlign::Center  ? alignCenter_
   : stored.align == HAlign::Right ? alignRight_
                                   : alignLeft_)
      ->setChecked(true);
  margins_ = parseLabelMargins(
      section.readString(keys::labels::Margins, context_.marginsDefault, 100));
  auto marginBox = [this](int id, double value, const char* name) {
    auto* box = new QLineEdit(QString::asprintf("%4.2f", value), this);
    setControlId(box, id);
    setAccessible(box, name);
    return box;
  };
  marginLeft_ = marginBox(150, margins_.left, "Left margin");
  marginRight_ = marginBox(102, margins_.right, "Right margin");
  marginTop_ = marginBox(151, margins_.top, "Top margin");
  marginBottom_ = marginBox(104, margins_.bottom, "Bottom margin");
  auto* font = new QPushButton("&Font...", this);
  setControlId(font, 107);
  setAccessible(font, "Font...");
  preview_ = new LabelFormatPreview(this);
  setControlId(preview_, 119);

  auto* options = new QVBoxLayout;
  options->addWidget(newLine_);
  options->addWidget(comma_);
  options->addWidget(bold_);
  auto* aligns = new QHBoxLayout;
  aligns->addWidget(alignLeft_);
  aligns->addWidget(alignCenter_);
  aligns->addWidget(alignRight_);
  auto* alignGroup = new QGroupBox("Alignment", this);
  alignGroup->setLayout(aligns);
  auto* margins = new QGridLayout;
  // A label's mnemonic moves to its box (without a buddy the "&" would show).
  const auto addMargin = [&](const char* text, QLineEdit* box, int row, int column) {
    auto* label = new QLabel(text, this);
    label->setBuddy(box);
    margins->addWidget(label, row, column);
    margins->addWidget(box, row, column + 1);
  };
  addMargin("&Left", marginLeft_, 0, 0);
  addMargin("&Right", marginRight_, 0, 2);
  addMargin("&Top", marginTop_, 1, 0);
  addMargin("Botto&m", marginBottom_, 1, 2);
  auto* marginGroup = new QGroupBox("Margins (inches)", this);
  marginGroup->setLayout(margins);
  marginGroup->setVisible(context_.showMargins);
  auto* right = new QVBoxLayout;
  right->addLayout(options);
  right->addWidget(alignGroup);
  right->addWidget(marginGroup);
  right->addWidget(font);
  right->addWidget(preview_, 1);
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel("Print these fields:", this));
  left->addWidget(fields_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right, 1);

  connect(fields_, &QListWidget::currentRowChanged, this, [this](int row) { showField(row); });
  connect(fields_, &QListWidget::itemChanged, this, [this] { storeFieldOptions(); });
  for (QCheckBox* box : {newLine_, comma_, bold_})
    connect(box, &QCheckBox::toggled, this, [this] { storeFieldOptions(); });
  for (QRadioButton* r : {alignLeft_, alignCenter_, alignRight_})
    connect(r, &QRadioButton::toggled, preview_, qOverload<>(&QWidget::update));
  for (QLineEdit* e : {marginLeft_, marginRight_, marginTop_, marginBottom_})
    connect(e, &QLineEdit::textChanged, preview_, qOverload<>(&QWidget::update));
  connect(font, &QPushButton::clicked, this, [this] {
    FontSpec chosen = font_;
    if (context_.chooseFont && context_.chooseFont(chosen)) {
      font_ = chosen;
      preview_->update();
    }
  });
  fields_->setCurrentRow(0);
}

void LabelFormatPage::refreshPreview() { preview_->update(); }

void LabelFormatPage::showField(int field) {
  if (field < 0 || field >= kLabelFieldCount) return;
  field_ = -1;  // no storing while the boxes are set
  const FieldLineOption& o = options_[static_cast<size_t>(field)];
  const QString name = fields_->item(field)->text();
  newLine_->setText(QString("\"%1\" begins in a &New Line").arg(name));
  comma_->setText(QString("\"%1\" ends with a C&omma").arg(name));
  bold_->setText(QString("\"%1\" is in Bold Font").arg(name));
  newLine_->setChecked(o.newLine == 1);
  comma_->setChecked(o.comma == 1);
  bold_->setChecked(o.bold == 1);
  field_ = field;
}

void LabelFormatPage::storeFieldOptions() {
  for (int i = 0; i < kLabelFieldCount; ++i)
    options_[static_cast<size_t>(i)].print = fields_->item(i)->checkState() == Qt::Checked;
  if (field_ >= 0) {
    FieldLineOption& o = options_[static_cast<size_t>(field_)];
    o.newLine = newLine_->isChecked();
    o.comma = comma_->isChecked();
    o.bold = bold_->isChecked();
  }
  preview_->update();
}

LabelPageSettings LabelFormatPage::settings() const {
  LabelPageSettings s;
  if (context_.previewLabel) s.dimensions = context_.previewLabel();
  s.margins = context_.showMargins
                  ? parseLabelMargins(QString("%1,%2,%3,%4")
                                          .arg(marginLeft_->text(), marginRight_->text(),
                                               marginTop_->text(), marginBottom_->text())
                                          .toStdString())
                  : LabelMargins{0, 0, 0, 0};
  s.text.options = options_;
  s.text.align = alignCenter_->isChecked()  ? HAlign::Center
                 : alignRight_->isChecked() ? HAlign::Right
                                            : HAlign::Left;
  s.text.font = font_;
  return s;
}

void LabelFormatPage::ok() {
  const LabelPageSettings s = settings();
  // Hidden margins are kept as they were read: the drawing does not use them.
  const LabelMargins margins = context_.showMargins ? s.margins : margins_;
  Profile section(context_.ini, context_.section);
  const bool ok = writeFieldLineOptions(context_.ini, context_.section, s.text.options) &&
                  section.writeString(keys::labels::Margins, formatLabelMargins(margins)) &&
                  section.writeInt(keys::labels::Align, storedLabelAlign(s.text.align)) &&
                  writeFontSpec(context_.ini, context_.fontKey, font_) && section.flush();
  if (!ok)
    prompter_.inform(context_.section == keys::section::Labels
                         ? "The label format could not be saved in the settings file."
                         : "The " + context_.section + " format could not be saved in the settings file.",
                     kAppCaption, Icon::Exclamation);
}

}  // namespace mv
