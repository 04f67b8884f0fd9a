#include "printing/ui/PrinterJob.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogButtons.h"
#include "printing/render/PrintQueue.h"
#include "printing/render/SheetPrinter.h"

#include <QApplication>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace mv {

std::unique_ptr<QPrinter> makeSystemPrinter() {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    if (!all.isEmpty()) info = all.front();
  }
  if (info.isNull()) return makePdfPrinter();
  return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

std::unique_ptr<QPrinter> makePdfPrinter() {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  return printer;
}

bool asksForFile(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::PdfFormat;
}

std::string calibrationNameOf(const QPrinter& printer) {
  if (asksForFile(printer) || printer.printerName().isEmpty()) return std::string(kPdfPrinterName);
  return toCp1252(printer.printerName());
}

AbortDialog::AbortDialog(QWidget* parent, const QString& document, const QString& printer)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      cancel_(new QPushButton("Cancel", this)) {
  setObjectName("AbortDialog");
  setWindowTitle("Printing");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* what = new QLabel("Printing " + document, this);
  auto* where = new QLabel("on " + printer, this);
  setAccessible(what, what->text());
  setAccessible(where, where->text());
  layout->addWidget(what);
  layout->addWidget(where);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  setControlId(cancel_, 2);
  setAccessible(cancel_, "Cancel");
  giveHelp(this, kHelpContext);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    aborted_ = true;
    cancel_->setEnabled(false);
  });
}

void AbortDialog::reject() {}

PrinterJob::PrinterJob(QPrinter& printer, Prompter& prompter, FileChooser& chooser,
                       QWidget* parent)
    : QObject(parent), printer_(printer), prompter_(prompter), chooser_(chooser), parent_(parent) {}

PrinterJob::~PrinterJob() { delete abort_; }

namespace {

QPageSize pageSizeOf(int sheetCode) {
  if (sheetCode == kA4Sheet.code) return QPageSize(QPageSize::A4);
  if (sheetCode == kLegalSheet.code) return QPageSize(QPageSize::Legal);
  return QPageSize(QPageSize::Letter);
}

// A PDF ends with its end-of-file marker, give or take a line break.
bool endsAsPdf(std::string_view bytes) {
  return bytes.substr(bytes.size() > 32 ? bytes.size() - 32 : 0).find("%%EOF") !=
         std::string_view::npos;
}

std::string frontPagesText() {
  std::string text;
  for (const char* line : kFrontPagesLines) text += std::string(text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

PrintOutcome PrinterJob::run(const PageJob& job, const PrintPlan& plan) {
  PrintOutcome outcome;
  // Copies: the printer makes them when it can; otherwise each pass is printed again.
  const int copies = printer_.copyCount();
  PrintPlan sent = plan;
  if (copies > 1 && !printer_.supportsMultipleCopies()) {
    for (auto& pass : sent.passes) {
      const std::vector<int> once = pass;
      for (int c = 1; c < copies; ++c) pass.insert(pass.end(), once.begin(), once.end());
    }
  }
  for (size_t pass = 0; pass < sent.passes.size(); ++pass) {
    if (pass > 0 &&
        prompter_.ask(Message{frontPagesText(), kFrontPagesCaption, Icon::None,
                              Buttons::OkCancel}) != Answer::Ok) {
      outcome.aborted = true;
      break;
    }
    const PassResult done = runPass(job, sent.passes[pass], static_cast<int>(pass),
                                    outcome.cancelled);
    outcome.sheets += done.sheets;
    outcome.toFile = asksForFile(printer_);
    const std::string where = outcome.toFile ? printer_.outputFileName().toStdString()
                                             : printer_.printerName().toStdString();
    if (outcome.destination.empty())
      outcome.destination = where;
    else if (outcome.destination != where)
      outcome.destination += ", " + where;
    if (outcome.cancelled) break;
    if (!done.error.empty()) {
      outcome.error = done.error;
      prompter_.ask(Message{printingFailedMessage(done.error), kAppCaption, Icon::Stop,
                            Buttons::Ok});
      break;
    }
    if (done.aborted) {
      outcome.aborted = true;
      break;
    }
  }
  if (copies > 1) printer_.setCopyCount(1);  // copies are for one job
  return outcome;
}

PassResult PrinterJob::runPass(const PageJob& job, const std::vector<int>& sheets, int pass,
                               bool& cancelled) {
  PassResult result;
  // A PDF file is printed beside the one chosen and takes its place when complete, so a
  // full disk or a printing error never leaves a file already there half overwritten.
  std::filesystem::path target;
  std::filesystem::path scratch;
  if (asksForFile(printer_)) {
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = pass == 0 ? "Print to File" : "Print Back Pages to File";
    request.filter = "PDF Files (*.pdf)|*.pdf";
    request.overwritePrompt = true;
    const std::optional<FileChoice> choice = chooser_.choose(request);
    if (!choice) {
      cancelled = true;
      return result;
    }
    target = choice->path;
    scratch = target.parent_path() /
              (std::string(kSaveTempPrefix) + target.filename().string() + ".print");
    printer_.setOutputFileName(QString::fromStdString(scratch.string()));
  }
  const bool landscape = jobSheetLandscape(job);
  if (job.geometry.sheetCode > 0) printer_.setPageSize(pageSizeOf(job.geometry.sheetCode));
  printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer_.setDocName(QString::fromStdString(printJobTitle("Mervane", pass)));

  abort_ = new AbortDialog(parent_, "Mervane",
                           target.empty() ? printer_.printerName()
                                          : QString::fromStdString(target.string()));
  abort_->show();
  QApplication::processEvents();
  result = paintDocument(
      printer_, job, std::span(&sheets, 1),
      [this] {
        return printer_.printerState() == QPrinter::Error
                   ? std::string("the printer reported an error")
                   : std::string();
      },
      [this](int done) {
        emit sheetPrinted(done);
        QApplication::processEvents();
        return !abort_->aborted();
      });
  if (!target.empty()) {
    // The pages printed, all of them or those before Cancel, become the file chosen,
    // through the one atomic writer. QPrinter reports success when its writes failed (a
    // full disk), so a document that does not end as every PDF ends was not written whole
    // and must not take the place of a file already there.
    printer_.setOutputFileName(QString::fromStdString(target.string()));
    std::string bytes;
    if (result.error.empty()) {
      errno = 0;
      if (!readWholeFile(scratch, bytes) || !endsAsPdf(bytes))
        result.error = "the PDF file could not be written whole";
      else if (!writeFileAtomically(target, bytes))
        result.error = errno != 0 ? std::strerror(errno) : "the file could not be written";
    }
    std::error_code ec;
    std::filesystem::remove(scratch, ec);
  }
  delete abort_;
  abort_ = nullptr;
  return result;
}

}  // namespace mv
