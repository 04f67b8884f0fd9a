#include "printing/ui/EnvelopeSheet.h"

#include "platform/ui/Controls.h"
#include "settings/Keys.h"
#include "platform/ui/DialogButtons.h"
#include "printing/ui/LabelFormatPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdlib>

namespace mv {

// An envelope 8.5 in wide in a framed white area, with strokes where the two addresses
// begin.
class EnvelopePositionPreview final : public QWidget {
 public:
  explicit EnvelopePositionPreview(EnvelopeSizePage* page) : QWidget(page), page_(page) {
    setMinimumSize(340, 170);
    setAccessibleName("Envelope preview");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    for (const PreviewStroke& s : envelopePreviewStrokes({0, 0, width(), height()},
                                                         page_->shownPositions())) {
      p.setPen(QPen(Qt::black, s.width));
      p.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
    }
  }

 private:
  EnvelopeSizePage* page_;
};

namespace {

QLineEdit* positionBox(QWidget* parent, int id, const char* name, double value) {
  auto* box = new QLineEdit(QString::fromStdString(formatEnvelopeValue(value)), parent);
  setControlId(box, id);
  setAccessible(box, name);
  return box;
}

QGroupBox* positionGroup(QWidget* parent, const char* title, QLineEdit* left, QLineEdit* top) {
  auto* group = new QGroupBox(title, parent);
  auto* grid = new QGridLayout(group);
  auto* leftLabel = new QLabel("&Left", group);
  leftLabel->setBuddy(left);
  auto* topLabel = new QLabel("&Top", group);
  topLabel->setBuddy(top);
  grid->addWidget(leftLabel, 0, 0);
  grid->addWidget(left, 0, 1);
  grid->addWidget(topLabel, 1, 0);
  grid->addWidget(top, 1, 1);
  grid->addWidget(new QLabel("inches", group), 0, 2);
  return group;
}

}  // namespace

EnvelopeSizePage::EnvelopeSizePage(QWidget* parent, Prompter& prompter,
                                   const EnvelopeSheetContext& context)
    : QWidget(parent), prompter_(prompter), ini_(context.ini) {
  const EnvelopePositions p = readEnvelopePositions(ini_);
  returnLeft_ = positionBox(this, kReturnLeft, "Return Address Left", p.returnLeft);
  returnTop_ = positionBox(this, kReturnTop, "Return Address Top", p.returnTop);
  deliveryLeft_ = positionBox(this, kDeliveryLeft, "Delivery Address Left", p.deliveryLeft);
  deliveryTop_ = positionBox(this, kDeliveryTop, "Delivery Address Top", p.deliveryTop);
  auto* returnButton = new QPushButton("&Return Address", this);
  setControlId(returnButton, kReturnButton);
  setAccessible(returnButton, "Return Address");
  preview_ = new EnvelopePositionPreview(this);
  setControlId(preview_, kPreview);

  auto* groups = new QHBoxLayout;
  groups->addWidget(positionGroup(this, "Return Address", returnLeft_, returnTop_));
  groups->addWidget(positionGroup(this, "Delivery Address", deliveryLeft_, deliveryTop_));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(preview_, 1);
  layout->addLayout(groups);
  layout->addWidget(returnButton, 0, Qt::AlignLeft);

  connect(returnButton, &QPushButton::clicked, this, [editReturn = context.editReturnAddress] {
    if (editReturn) editReturn();
  });
  for (QLineEdit* box : {returnLeft_, returnTop_, deliveryLeft_, deliveryTop_}) {
    connect(box, &QLineEdit::textChanged, preview_, qOverload<>(&QWidget::update));
    // A value is set right when the user leaves its box, not while it is being typed
    // (a top of "1.5" passes through "1." and would be put back at every keystroke).
    connect(box, &QLineEdit::editingFinished, this, [this] { (void)checkedPositions(); });
  }
}

EnvelopePositions EnvelopeSizePage::shownPositions() const {
  auto value = [](EnvelopeBox which, const QLineEdit* box) {
    return envelopeBoxValue(which, box->text().trimmed().toStdString());
  };
  return {value(EnvelopeBox::ReturnLeft, returnLeft_), value(EnvelopeBox::ReturnTop, returnTop_),
          value(EnvelopeBox::DeliveryLeft, deliveryLeft_),
          value(EnvelopeBox::DeliveryTop, deliveryTop_)};
}

EnvelopePositions EnvelopeSizePage::checkedPositions() {
  const EnvelopePositions p = shownPositions();
  auto show = [](QLineEdit* box, EnvelopeBox which, double value) {
    // A box whose number is in range keeps the text the user typed.
    const std::string typed = box->text().trimmed().toStdString();
    char* end = nullptr;
    const double v = std::strtod(typed.c_str(), &end);
    if (end == typed.c_str() || checkedEnvelopeValue(which, v) != v)
      box->setText(QString::fromStdString(formatEnvelopeValue(value)));
  };
  show(returnLeft_, EnvelopeBox::ReturnLeft, p.returnLeft);
  show(returnTop_, EnvelopeBox::ReturnTop, p.returnTop);
  show(deliveryLeft_, EnvelopeBox::DeliveryLeft, p.deliveryLeft);
  show(deliveryTop_, EnvelopeBox::DeliveryTop, p.deliveryTop);
  return p;
}

void EnvelopeSizePage::ok() {
  if (!writeEnvelopePositions(ini_, checkedPositions()))
    prompter_.inform("The envelope positions could not be saved in the settings file.",
                     kAppCaption, Icon::Exclamation);
}

EnvelopeSheet::EnvelopeSheet(QWidget* parent, Prompter& prompter, EnvelopeSheetContext context)
    : QDialog(parent), context_(std::move(context)) {
  setWindowTitle("Envelope Setup");
  tabs_ = new QTabWidget(this);
  size_ = new EnvelopeSizePage(this, prompter, context_);
  auto format = [&](std::string_view section, std::string_view fontKey, double width,
                    double height) {
    LabelFormatPageContext c;
    c.ini = context_.ini;
    c.section = section;
    c.fontKey = fontKey;
    c.marginsDefault = keys::envelope::MarginsDefault;
    c.showMargins = false;
    c.pageFace = context_.pageFace;
    c.chooseFont = context_.chooseFont;
    // The block as far as the preview has room for it.
    c.previewLabel = [width, height] {
      LabelDimensions d;
      d.width = inchesToLength(width, d.unit);
      d.height = inchesToLength(height, d.unit);
      return d;
    };
    return new LabelFormatPage(this, prompter, std::move(c));
  };
  returnFormat_ = format(keys::section::ReturnAddress, keys::font::ReturnAddress, 2.0, 2.0);
  deliveryFormat_ = format(keys::section::DeliveryAddress, keys::font::DeliveryAddress, 3.9, 2.0);
  tabs_->addTab(size_, "Settings");
  tabs_->addTab(returnFormat_, "Return Address");
  tabs_->addTab(deliveryFormat_, "Delivery Address");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(okCancelHelpButtons(this, kHelpContext));
}

void EnvelopeSheet::accept() {
  returnFormat_->ok();
  deliveryFormat_->ok();
  size_->ok();
  QDialog::accept();
}

}  // namespace mv
