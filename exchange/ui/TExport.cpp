#include "exchange/ui/TExport.h"

#include "exchange/ExportRtf.h"
#include "platform/Cp1252.h"
#include "platform/FileChooser.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/ui/Controls.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
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
constexpr const char* kRtfFilter = "Rich Text Format (*.rtf)|*.rtf";

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
  for (int f = 0; f <= kExportNotes; ++f) {
    auto* item = new QListWidgetItem(
        QString::fromLatin1(f == kExportNotes ? kExportNotesName
                                              : fieldInfo(static_cast<FieldId>(f)).listName),
        list_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(defaults[static_cast<size_t>(f)] ? Qt::Checked : Qt::Unchecked);
  }
  layout->addWidget(list_);
}

ExportFields TExportCSV::fields() const {
  ExportFields out{};
  for (int f = 0; f <= kExportNotes; ++f)
    out[static_cast<size_t>(f)] = list_->item(f)->checkState() == Qt::Checked;
  return out;
}

TExport_RTF::TExport_RTF(const std::string& before, const std::string& after, QWidget* parent)
    : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto edit = [this, layout](int id, const std::string& text, const char* name) {
    auto* e = new QPlainTextEdit(this);
    setControlId(e, id);
    setAccessible(e, QString::fromLatin1(name));
    e->setPlainText(fromCp1252(text));
    layout->addWidget(e, 1);
    return e;
  };
  before_ = edit(kBefore, before, "Text before each contact");
  auto* sample = new QLabel(QString::fromLatin1(kLetterSample), this);
  sample->setFrameShape(QFrame::StyledPanel);
  sample->setEnabled(false);
  layout->addWidget(sample);
  after_ = edit(kAfter, after, "Text after each contact");
}

std::string TExport_RTF::beforeText() const { return toCp1252(before_->toPlainText()); }
std::string TExport_RTF::afterText() const { return toCp1252(after_->toPlainText()); }

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
  } kFormats[] = {
      {kCsvRadio,
       "Data Files *.csv (Comma Separated Values)\nThis file can be opened by other programs"},
      {kTextRadio, "Plain Text *.txt"},
      {kRtfRadio, "Cover Letters \nRich Text Format (*.rtf) "},
      {kHtmlRadio, "HTML Addressbook\nYou can view the addressbook with your web browser"},
      {kVcardRadio, "Contacts *.vcf (vCard)\nPhones and mail programs can import this file"},
  };
  for (const auto& f : kFormats) {
    auto* radio = new QRadioButton(QString::fromLatin1(f.text), formats);
    setControlId(radio, f.id);
    setAccessible(radio, radio->text().section(QLatin1Char('\n'), 0, 0).trimmed());
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
        format_ = Format::Csv;
      } else if (checked(kTextRadio)) {
        format_ = Format::Text;
      } else if (checked(kRtfRadio)) {
        format_ = Format::Rtf;
      } else if (checked(kHtmlRadio)) {
        format_ = Format::Html;
      } else if (checked(kVcardRadio)) {
        format_ = Format::Vcard;
      } else {
        services_.prompter->inform("Please select a format");
        return;
      }
      step_ = FileStep;
      if (format_ == Format::Html) {
        auto* folderPage = new QWidget(this);
        auto* l = new QVBoxLayout(folderPage);
        l->addWidget(boldLabel(QStringLiteral("Select a Directory Name"), folderPage));
        l->addWidget(new QLabel(QStringLiteral("Directory:"), folderPage));
        folderEdit_ = new QLineEdit(QString::fromLatin1(kWebFolderName), folderPage);
        folderEdit_->setMaxLength(49);
        setControlId(folderEdit_, kFolderEdit);
        setAccessible(folderEdit_, QStringLiteral("Directory"));
        l->addWidget(folderEdit_);
        l->addWidget(new QLabel(QString::fromLatin1(webFolderNote()), folderPage));
        l->addStretch(1);
        showPage(folderPage);
        folderEdit_->setFocus(Qt::OtherFocusReason);
        return;
      }
      auto* filePage = new QWidget(this);
      auto* l = new QVBoxLayout(filePage);
      l->addWidget(boldLabel(QStringLiteral("Click Next to create a new file"), filePage));
      l->addWidget(new QLabel(QStringLiteral("New File Name:"), filePage));
      l->addStretch(1);
      showPage(filePage);
      fileStep();
      return;
    }
    case FileStep:
      if (format_ == Format::Html) {
        writeWebPages();
      } else {
        fileStep();
      }
      return;
    case FieldStep: writeCsv(); return;
    case LetterStep: writeLetters(); return;
  }
}

std::filesystem::path TExport::programDir() const {
  return services_.programDir.empty() ? mv::programDir() : services_.programDir;
}

void TExport::fileStep() {
  FileRequest request;
  request.kind = FileRequest::Kind::Save;
  request.title = kFileTitle;
  request.fileKind = FileKind::Exports;
  request.filter = format_ == Format::Csv     ? kCsvFilter
                   : format_ == Format::Text  ? kTextFilter
                   : format_ == Format::Vcard ? kVcardFilter
                                              : kRtfFilter;
  request.overwritePrompt = true;
  const auto choice = services_.fileChooser->choose(request);
  if (!choice) return;  // stays on the file page; Next asks again
  if (format_ == Format::Rtf) {
    file_ = withExtension(choice->path, ".rtf");
    step_ = LetterStep;
    const std::filesystem::path dir = programDir();
    letterPage_ = new TExport_RTF(loadLetterText(dir / kLetterBeforeFile, kLetterBeforeHint),
                                  loadLetterText(dir / kLetterAfterFile, kLetterAfterHint), this);
    showPage(letterPage_);
    return;
  }
  const ExportFormat plain = format_ == Format::Csv     ? ExportFormat::Csv
                             : format_ == Format::Vcard ? ExportFormat::Vcard
                                                        : ExportFormat::Text;
  file_ = withExportExtension(choice->path, plain);
  snapshot_ = services_.records ? services_.records() : std::vector<AddressRecord>{};
  if (format_ == Format::Csv) {
    step_ = FieldStep;
    fieldPage_ = new TExportCSV(QStringLiteral("Select which fields you wish to export:"), this);
    showPage(fieldPage_);
    return;
  }
  const bool ok = write(file_, exportBytes(*snapshot_, plain));
  snapshot_.reset();
  if (ok && format_ == Format::Vcard) offerFolder("vCard Export is complete");
  accept();
  if (ok && format_ == Format::Text && services_.offerDocument)
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

void TExport::writeLetters() {
  const std::string before = letterPage_->beforeText();
  const std::string after = letterPage_->afterText();
  const std::filesystem::path dir = programDir();
  const std::vector<std::string> failed = saveLetterTexts(dir, before, after);
  if (!failed.empty())
    services_.prompter->inform(webFailureText(dir, failed), kUnableToOpenCaption, Icon::None,
                               TextCoding::Utf8);
  // The document takes the texts as the page holds them, so that it is right even when
  // the files could not be kept.
  snapshot_ = services_.records ? services_.records() : std::vector<AddressRecord>{};
  const bool ok = write(file_, rtfLettersBytes(*snapshot_, letterFileBytes(before),
                                               letterFileBytes(after)));
  snapshot_.reset();
  accept();
  if (ok && services_.offerLetters) services_.offerLetters(file_);
}

void TExport::writeWebPages() {
  const QString typed = folderEdit_->text();
  if (isBlankFolderName(typed.toStdString())) {
    services_.prompter->inform(kTypeDirectoryName);
    return;
  }
  const std::filesystem::path dir = programDir();
  const WebExport web =
      exportWebFolder(dir / pathFromText(typed.toStdString()), services_.webBook, dir);
  if (web.status == WebExport::Status::NoFolder) {
    services_.prompter->inform(webFolderFailureText(web), kAppCaption, Icon::Exclamation,
                               TextCoding::Utf8);
    return;
  }
  accept();
  if (web.status == WebExport::Status::NotWritten) {
    services_.prompter->inform(webFailureText(web.folder, web.failed), kUnableToOpenCaption,
                               Icon::None, TextCoding::Utf8);
    return;
  }
  written_ = web.page();
  if (services_.offerWebPage) services_.offerWebPage(written_);
}

bool TExport::write(const std::filesystem::path& path, const std::string& bytes) {
  if (writeExportFile(path, bytes)) {
    written_ = path;
    return true;
  }
  services_.prompter->inform(unableToWriteText(path), kUnableToOpenCaption, Icon::None,
                             TextCoding::Utf8);
  return false;
}

}  // namespace mv
