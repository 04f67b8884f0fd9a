#include "printing/ui/AddTextDialog.h"

#include "platform/Cp1252.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/FontChooser.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace mv {

FontSpec fontSpecOfPageText(const PageText& text) {
  FontSpec f;
  f.face = text.face;
  f.height = static_cast<int>(std::lround(text.height * 100.0 / 90.0));
  f.weight = text.weight;
  f.italic = text.italic;
  f.strikeOut = text.strikeOut;
  f.underline = text.underline;
  f.color = text.color;
  return f;
}

void takeFontSpec(PageText& text, const FontSpec& f) {
  text.face = f.face.substr(0, kPageTextFaceBuffer - 1);
  text.height = static_cast<int>(std::lround(f.height * 90.0 / 100.0));
  text.weight = f.weight;
  text.italic = f.italic;
  text.strikeOut = f.strikeOut;
  text.underline = f.underline;
  text.color = f.color;
}

AddTextDialog::AddTextDialog(QWidget* parent, const PageText& heading, const PageText& footnote,
                             int startPage, FontDialog fontDialog)
    : QDialog(parent), fontDialog_(std::move(fontDialog)) {
  setObjectName("AddText");
  setWindowTitle("Add Text");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  if (!fontDialog_)
    fontDialog_ = [this](FontSpec& f) { return chooseFontAndColor(this, f, true); };
  pages_[0].value = heading;
  pages_[1].value = footnote;
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_);
  buildPage(0, "Heading");
  buildPage(1, "Footnote");

  layout->addWidget(okCancelHelpButtons(this, kHelpContext));
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { setUpPage(index); });
  setCurrentPage(startPage);
  setUpPage(tabs_->currentIndex());
}

void AddTextDialog::buildPage(int index, const QString& title) {
  Page& p = pages_[static_cast<size_t>(index)];
  p.widget = new QWidget(tabs_);
  p.widget->setObjectName(QStringLiteral("page%1").arg(index));
  auto* layout = new QVBoxLayout(p.widget);
  p.text = new QLineEdit(p.widget);
  setControlId(p.text, 101);
  setAccessible(p.text, title);
  p.text->setMaxLength(index == 0 ? kHeadingLength : kFootnoteLength);
  layout->addWidget(p.text);
  auto* group = new QGroupBox("Alignment", p.widget);
  auto* row = new QHBoxLayout(group);
  const char* names[] = {"Left", "Center", "Right"};
  for (int a = 0; a < 3; ++a) {
    auto* radio = new QRadioButton(names[a], group);
    setControlId(radio, 102 + a);
    row->addWidget(radio);
    p.align[static_cast<size_t>(a)] = radio;
    connect(radio, &QRadioButton::clicked, this, [&p] {
      p.value.align = p.align[1]->isChecked() ? 1 : (p.align[2]->isChecked() ? 2 : 0);
    });
  }
  layout->addWidget(group);
  auto* font = new QPushButton("&Font", p.widget);
  setControlId(font, 105);
  setAccessible(font, "Font");
  connect(font, &QPushButton::clicked, this, [this, index] { chooseFont(index); });
  layout->addWidget(font, 0, Qt::AlignLeft);
  layout->addStretch();
  tabs_->addTab(p.widget, title);
}

void AddTextDialog::setUpPage(int index) {
  if (index < 0 || index > 1) return;
  Page& p = pages_[static_cast<size_t>(index)];
  if (p.setUp) return;
  p.setUp = true;
  p.text->setText(fromCp1252(p.value.text));
  const int align = p.value.align >= 0 && p.value.align <= 2 ? p.value.align : 0;
  p.align[static_cast<size_t>(align)]->setChecked(true);
}

QWidget* AddTextDialog::page(int index) const { return pages_.at(static_cast<size_t>(index)).widget; }

void AddTextDialog::setCurrentPage(int index) { tabs_->setCurrentIndex(index == 1 ? 1 : 0); }

void AddTextDialog::chooseFont(int index) {
  Page& p = pages_[static_cast<size_t>(index)];
  FontSpec f = fontSpecOfPageText(p.value);
  if (fontDialog_(f)) takeFontSpec(p.value, f);
}

void AddTextDialog::takeInto(PageText& heading, PageText& footnote) const {
  PageText* records[] = {&heading, &footnote};
  for (size_t i = 0; i < 2; ++i) {
    const Page& p = pages_[i];
    if (!p.setUp) continue;
    PageText value = p.value;
    value.text = toCp1252(p.text->text()).substr(0, i == 0 ? kHeadingLength : kFootnoteLength);
    *records[i] = value;
  }
}

}  // namespace mv
