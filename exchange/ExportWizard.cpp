#include "exchange/ExportWizard.h"

#include "platform/Cp1252.h"
#include "platform/FileChooser.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform_qt/Controls.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv {
namespace {

constexpr const char* kFileTitle = "Enter a new file name...";
constexpr const char* kCsvFilter = "Text Data File - Comma Separated Values (*.csv)|*.csv";
constexpr const char* kTextFilter = "Plain Text File (*.txt)|*.txt";
constexpr const char* kVcardFilter = "vCard File (*.vcf)|*.vcf";

QLabel* boldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  return label;
}

// The wizard's picture: a sheet of lines leaving a card box.
QPixmap wizardPicture() {
  QPixmap pm(120, 260);
  pm.fill(QColor(52, 101, 164));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(QColor(80, 135, 205));
  p.drawRoundedRect(QRectF(20, 150, 80, 50), 4, 4);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(36, 60, 56, 76));
  p.setPen(QPen(QColor(52, 101, 164), 2));
  for (int y = 74; y < 130; y += 10) p.drawLine(44, y, 84, y);
  return pm;
}

}  // namespace

TExportCSV::TExportCSV(const QString& prompt, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(boldLabel(prompt, this));
  list_ = new QListWidget(this);
  setControlId(list_, kList);
  setAccessible(list_, QStringLiteral("Fields to export"));
  const ExportFields defaults = defaultExportFields();
  for (int f = 0; f < kFieldCount; ++f) {
    auto* item = new QListWidgetItem(
        QString::fromLatin1(fieldInfo(static_cast<FieldId>(f)).listName), list_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(defaults[static_cast<size_t>(f)] ? Qt::Checked : Qt::Unchecked);
  }
  layout->addWidget(list_);
}

ExportFields TExportCSV::fields() const {
  ExportFields out{};
  for (int f = 0; f < kFieldCount; ++f)
    out[static_cast<size_t>(f)] = list_->item(f)->checkState() == Qt::Checked;
  return out;
}

TExportCsvDialog::TExportCsvDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Export"));
  auto* layout = new QVBoxLayout(this);
  page_ = new TExportCSV(QStringLiteral("Select the fields which you wish to export:"), this);
  layout->addWidget(page_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  setControlId(ok, 1);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  setControlId(cancel, 2);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(340, 480);
}

TExport::TExport(ExportServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("Export Addressbook"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* picture = new QLabel(this);
  setControlId(picture, kPicture);
  picture->setPixmap(wizardPicture());
  picture->setAlignment(Qt::AlignTop);
  top->addWidget(picture);
  frame_ = new QFrame(this);
  setControlId(frame_, kFrame);
  frame_->setMinimumSize(420, 280);
  new QVBoxLayout(frame_);
  top->addWidget(frame_, 1);
  layout->addLayout(top);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* nextButton = buttons->addButton(QStringLiteral("&Next >"), QDialogButtonBox::ActionRole);
  setControlId(nextButton, kNext);
  setAccessible(nextButton, QStringLiteral("Next"));
  nextButton->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  setControlId(cancel, kCancel);
  setAccessible(cancel, QStringLiteral("Cancel"));
  layout->addWidget(buttons);
  connect(nextButton, &QPushButton::clicked, this, &TExport::next);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  // Cancel at any step drops the snapshot: nothing of it stays behind.
  connect(this, &QDialog::rejected, this, [this] { snapshot_.reset(); });

  auto* formats = new QWidget(this);
  auto* fl = new QVBoxLayout(formats);
  fl->addWidget(boldLabel(QStringLiteral("Select a Format"), formats));
  const struct {
    int id;
    const char* text;
    bool built;
  } kFormats[] = {
      {kCsvRadio,
       "Data Files *.csv (Comma Separated Values)\nThis file can be opened by other programs",
       true},
      {kTextRadio, "Plain Text *.txt", true},
      {kRtfRadio, "Cover Letters \nRich Text Format (*.rtf) ", false},
      {kHtmlRadio, "HTML Addressbook\nYou can view the addressbook with your web browser", false},
      {kVcardRadio, "Contacts *.vcf (vCard)\nPhones and mail programs can import this file",
       true},
  };
  for (const auto& f : kFormats) {
    auto* radio = new QRadioButton(QString::fromLatin1(f.text), formats);
    setControlId(radio, f.id);
    setAccessible(radio, radio->text().section(QLatin1Char('\n'), 0, 0).trimmed());
    radio->setEnabled(f.built);  // letters and web pages are written elsewhere, later
    fl->addWidget(radio);
  }
  fl->addStretch(1);
  showPage(formats);
}

void TExport::showPage(QWidget* page) {
  // The page before goes at once (not at the next turn of the event loop), so that the
  // frame never shows two pages.
  if (page_) {
    page_->hide();
    frame_->layout()->removeWidget(page_);
    page_->deleteLater();
  }
  page_ = page;
  frame_->layout()->addWidget(page);
  page->show();
}

void TExport::next() {
  switch (step_) {
    case FormatStep: {
      const auto checked = [this](int id) {
        auto* r = control<QRadioButton>(this, id);
        return r && r->isChecked();
      };
      if (checked(kCsvRadio)) {
        format_ = ExportFormat::Csv;
      } else if (checked(kTextRadio)) {
        format_ = ExportFormat::Text;
      } else if (checked(kVcardRadio)) {
        format_ = ExportFormat::Vcard;
      } else {
        services_.prompter->inform("Please select a format");
        return;
      }
      step_ = FileStep;
      auto* filePage = new QWidget(this);
      auto* l = new QVBoxLayout(filePage);
      l->addWidget(boldLabel(QStringLiteral("Click Next to create a new file"), filePage));
      l->addWidget(new QLabel(QStringLiteral("New File Name:"), filePage));
      l->addStretch(1);
      showPage(filePage);
      fileStep();
      return;
    }
    case FileStep: fileStep(); return;
    case FieldStep: writeCsv(); return;
  }
}

void TExport::fileStep() {
  FileRequest request;
  request.kind = FileRequest::Kind::Save;
  request.title = kFileTitle;
  request.filter = format_ == ExportFormat::Csv     ? kCsvFilter
                   : format_ == ExportFormat::Vcard ? kVcardFilter
                                                    : kTextFilter;
  request.overwritePrompt = true;
  const auto choice = services_.fileChooser->choose(request);
  if (!choice) return;  // stays on the file page; Next asks again
  file_ = withExportExtension(choice->path, format_);
  snapshot_ = services_.records ? services_.records() : std::vector<AddressRecord>{};
  if (format_ == ExportFormat::Csv) {
    step_ = FieldStep;
    fieldPage_ = new TExportCSV(QStringLiteral("Select which fields you wish to export:"), this);
    showPage(fieldPage_);
    return;
  }
  const bool ok = write(file_, exportBytes(*snapshot_, format_));
  snapshot_.reset();
  if (ok && format_ == ExportFormat::Vcard) offerFolder("vCard Export is complete");
  accept();
  if (ok && format_ == ExportFormat::Text && services_.offerDocument)
    services_.offerDocument(file_);
}

void TExport::writeCsv() {
  const bool ok = write(file_, exportBytes(*snapshot_, ExportFormat::Csv, fieldPage_->fields()));
  snapshot_.reset();
  if (ok) offerFolder(kCsvCompleteCaption);
  accept();
}

void TExport::offerFolder(const char* caption) {
  const Answer a = services_.prompter->ask(Message{csvCompleteText(file_), caption,
                                                   Icon::Question, Buttons::YesNo, Answer::Yes,
                                                   TextCoding::Utf8});
  if (a == Answer::Yes && services_.openFolder)
    services_.openFolder(std::filesystem::absolute(file_).parent_path());
}

bool TExport::write(const std::filesystem::path& path, const std::string& bytes) {
  if (writeExportFile(path, bytes)) {
    written_ = path;
    return true;
  }
  services_.prompter->inform(pathText(path), kUnableToOpenCaption, Icon::None, TextCoding::Utf8);
  return false;
}

}  // namespace mv
