#pragma once
// The printer of the run and one print command on it: the system's default printer
// (CUPS through Qt), or on a machine without printers a PDF printer that asks for a file
// name. To a printer the passes of a print plan are each their own document, with the
// "Printing Front Pages." question between the two double-sided passes; to a PDF file
// every pass goes into the one file. The abort dialog is up while they print.

#include "printing/PrintJob.h"

#include <QDialog>

#include <memory>
#include <string>

class QPrinter;
class QPushButton;

namespace mv {

class FileChooser;
class Prompter;

// The system's default printer, else the first it has, else a PDF printer.
std::unique_ptr<QPrinter> makeSystemPrinter();
// A PDF printer: printing to it asks for the file.
std::unique_ptr<QPrinter> makePdfPrinter();
// The printer prints to a file that printing asks for.
bool asksForFile(const QPrinter& printer);
// The name its calibration is kept under: the printer's, or "PDF" for the PDF printer.
std::string calibrationNameOf(const QPrinter& printer);

// While a pass prints: the document and the printer, and Cancel, which stops the job at
// the next page boundary (and is then disabled). It has no close box.
class AbortDialog : public QDialog {
  Q_OBJECT
 public:
  AbortDialog(QWidget* parent, const QString& document, const QString& printer);
  bool aborted() const noexcept { return aborted_; }
  void reject() override;  // Escape does not close it; Cancel aborts

 private:
  QPushButton* cancel_;
  bool aborted_ = false;
};

struct PrintOutcome {
  int sheets = 0;        // sheets sent, over all passes
  bool aborted = false;  // by the user, in the abort dialog or at the front-pages question
  bool cancelled = false;  // no file name given for the PDF printer
  std::string error;     // the printer's error: the job stopped there
  bool toFile = false;   // printed to a PDF file rather than a printer
  std::string destination;  // the file or the printer's name
  bool finished() const noexcept { return !aborted && !cancelled && error.empty(); }
};

class PrinterJob : public QObject {
  Q_OBJECT
 public:
  PrinterJob(QPrinter& printer, Prompter& prompter, FileChooser& chooser, QWidget* parent);
  ~PrinterJob() override;

  // Prints every pass of the plan; an error is reported as "Printing failed: %s". A PDF
  // file's name gets ".pdf" when it was chosen without it.
  PrintOutcome run(const PageJob& job, const PrintPlan& plan);
  // The abort dialog of the pass printing now (nullptr between passes).
  AbortDialog* abortDialog() const noexcept { return abort_; }

 signals:
  // After each sheet, with the sheets of the document so far (a pass to a printer, every
  // pass to a file), before the abort dialog is looked at.
  void sheetPrinted(int sheetsOfDocument);

 private:
  PrintOutcome printToPrinter(const PageJob& job, const PrintPlan& plan);
  PrintOutcome printToFile(const PageJob& job, const PrintPlan& plan);
  PassResult runPass(const PageJob& job, const std::vector<int>& sheets, int pass);

  QPrinter& printer_;
  Prompter& prompter_;
  FileChooser& chooser_;
  QWidget* parent_;
  AbortDialog* abort_ = nullptr;
};

}  // namespace mv
