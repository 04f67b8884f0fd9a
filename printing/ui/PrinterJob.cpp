#include "printing/ui/PrinterJob.h"

#include "platform/Cp1252.h"
#include "platform/FileChooser.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/ui/Controls.h"
#include "printing/render/PdfExport.h"
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

#include <filesystem>

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

std::string frontPagesText() {
  std::string text;
  for (const char* line : kFrontPagesLines) text += std::string(text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

PrintOutcome PrinterJob::run(const PageJob& job, const PrintPlan& plan) {
  // Copies: the printer makes them when it can; otherwise each pass is printed again, as
  // it always is into a file, which the printer does not write.
  const int copies = printer_.copyCount();
  const bool toFile = asksForFile(printer_);
  PrintPlan sent = plan;
  if (copies > 1 && (toFile || !printer_.supportsMultipleCopies())) {
    for (auto& pass : sent.passes) {
      const std::vector<int> once = pass;
      for (int c = 1; c < copies; ++c) pass.insert(pass.end(), once.begin(), once.end());
    }
  }
  const PrintOutcome outcome = toFile ? printToFile(job, sent) : printToPrinter(job, sent);
  if (copies > 1) printer_.setCopyCount(1);  // copies are for one job
  return outcome;
}

PrintOutcome PrinterJob::printToPrinter(const PageJob& job, const PrintPlan& plan) {
  PrintOutcome outcome;
  outcome.destination = printer_.printerName().toStdString();
  for (size_t pass = 0; pass < plan.passes.size(); ++pass) {
    if (pass > 0 &&
        prompter_.ask(Message{frontPagesText(), kFrontPagesCaption, Icon::None,
                              Buttons::OkCancel}) != Answer::Ok) {
      outcome.aborted = true;
      break;
    }
    const PassResult done = runPass(job, plan.passes[pass], static_cast<int>(pass));
    outcome.sheets += done.sheets;
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
  return outcome;
}

PrintOutcome PrinterJob::printToFile(const PageJob& job, const PrintPlan& plan) {
  PrintOutcome outcome;
  outcome.toFile = true;
  FileRequest request;
  request.kind = FileRequest::Kind::Save;
  request.title = "Print to File";
  request.filter = "PDF Files (*.pdf)|*.pdf";
  request.overwritePrompt = true;
  request.fileKind = FileKind::Pdf;
  request.requiredExtension = ".pdf";
  const std::optional<FileChoice> choice = chooser_.choose(request);
  if (!choice) {
    outcome.cancelled = true;
    return outcome;
  }
  const std::filesystem::path target = withExtension(choice->path, ".pdf");
  printer_.setOutputFileName(QString::fromStdString(target.string()));
  outcome.destination = target.string();
  // Every pass goes into the one file, the backs after the fronts, as mervane-cli writes
  // it: a file needs no turning of the stack. The document is made in memory and takes
  // the file's place in one step, so a full disk leaves a file already there as it was.
  const QPageSize paper = job.geometry.sheetCode > 0 ? pageSizeOf(job.geometry.sheetCode)
                                                     : printer_.pageLayout().pageSize();
  abort_ = new AbortDialog(parent_, "Mervane", QString::fromStdString(target.string()));
  abort_->show();
  QApplication::processEvents();
  const PdfResult written =
      writePlanPdf(job, plan, target, paper, kPdfResolution, [this](int done) {
        emit sheetPrinted(done);
        QApplication::processEvents();
        return !abort_->aborted();
      });
  delete abort_;
  abort_ = nullptr;
  outcome.sheets = written.sheets;
  outcome.aborted = written.aborted;
  if (!written.error.empty()) {
    outcome.error = written.error;
    prompter_.ask(Message{printingFailedMessage(written.error), kAppCaption, Icon::Stop,
                          Buttons::Ok});
  }
  return outcome;
}

PassResult PrinterJob::runPass(const PageJob& job, const std::vector<int>& sheets, int pass) {
  const bool landscape = jobSheetLandscape(job);
  if (job.geometry.sheetCode > 0) printer_.setPageSize(pageSizeOf(job.geometry.sheetCode));
  printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer_.setDocName(QString::fromStdString(printJobTitle("Mervane", pass)));

  abort_ = new AbortDialog(parent_, "Mervane", printer_.printerName());
  abort_->show();
  QApplication::processEvents();
  const PassResult result = paintDocument(
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
  delete abort_;
  abort_ = nullptr;
  return result;
}

}  // namespace mv
