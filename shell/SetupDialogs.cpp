#include "shell/SetupDialogs.h"

#include "commands/Commands.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/ui/DialogButtons.h"
#include "printing/LayoutCatalogue.h"
#include "printing/PageTable.h"
#include "printing/PaperList.h"
#include "printing/PrintJob.h"
#include "printing/PrinterCalibration.h"
#include "session/AppSession.h"
#include "settings/FontSpec.h"
#include "settings/Keys.h"
#include "printing/ui/AddTextDialog.h"
#include "printing/ui/EnvelopeSheet.h"
#include "platform/ui/FontChooser.h"
#include "printing/ui/LabelSheet.h"
#include "printing/ui/PageOptionsDialog.h"
#include "printing/ui/PageSizeDialog.h"
#include "printing/ui/PrintDialog.h"
#include "printing/ui/PrinterJob.h"
#include "printing/ui/PrintingProblemsDialog.h"
#include "printing/ui/UserInfoDialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

namespace mv {

SetupDialogs::SetupDialogs(QWidget& parent, AppSession& session, Prompter& prompter,
                           FileChooser& chooser, PrinterFactory printerFactory)
    : parent_(parent),
      session_(session),
      prompter_(prompter),
      chooser_(chooser),
      printerFactory_(printerFactory ? std::move(printerFactory)
                                     : PrinterFactory(makeSystemPrinter)) {}

SetupDialogs::~SetupDialogs() = default;

int SetupDialogs::run(QDialog& dialog) { return runDialog_ ? runDialog_(dialog) : dialog.exec(); }

QPrinter* SetupDialogs::printer() {
  if (!printerChecked_) {
    // A printer counts when it has a device; without a printer a PDF printer stands in,
    // so printing writes a PDF file.
    printer_ = printerFactory_();
    if (printer_ && !printer_->isValid()) printer_.reset();
    printerChecked_ = true;
  }
  return printer_.get();
}

bool SetupDialogs::printerReady() { return printer() != nullptr; }

std::optional<QString> SetupDialogs::print(const std::function<void()>& paperSize) {
  AppState& state = session_.state();
  const auto facts = [this] {
    const PageJob job = session_.currentJob();
    const AppState& s = session_.state();
    PrintDialogFacts f;
    f.layout = s.layout;
    f.twoOnOne = twoOnOneActive(job);
    f.count = printableCount(job, printMode::kDefault);
    f.bookletCount = printableCount(job, printMode::kDoubleSided);
    f.currentPage = currentSheet(s);
    f.layoutLandscape = job.layoutLandscape;
    f.geometry = s.geometry;
    return f;
  };
  PrintDialog dialog(&parent_, prompter_, session_.settingsFile(),
                     {facts, paperSize, [this] { printerSetup(); }});
  if (run(dialog) != QDialog::Accepted || !printer()) return std::nullopt;
  const PrintRange range = dialog.range();
  state.firstPrintPage = range.first;
  state.lastPrintPage = range.last;
  state.printMode = range.mode;
  // The dialog settles the sheet's orientation; two on one turns the pages on it.
  const bool twoOnOne = twoOnOneActive(session_.currentJob());
  const PageJob job = session_.printJob(
      range, dialog.landscape() != twoOnOne,
      readPrinterOffset(session_.settingsFile(), calibrationNameOf(*printer_)));
  PrinterJob printing(*printer_, prompter_, chooser_, &parent_);
  const PrintOutcome outcome = printing.run(job, planPrint(job, range));
  // A finished print says where it went; a failure has said so already.
  if (!outcome.finished() || outcome.sheets == 0) return std::nullopt;
  std::string said = printedMessage(outcome.sheets, outcome.destination, outcome.toFile);
  // Printed with what fits; which labels lost lines is said with it.
  if (const std::string lost = labelsNotFittingMessage(labelsThatDoNotFit(job)); !lost.empty())
    said += "; " + lost;
  return QString::fromStdString(said);
}

void SetupDialogs::printerSetup() {
  QPrinter* p = printer();
  if (!p) return;
  QPrintDialog dialog(p, &parent_);
  dialog.setObjectName(QString::number(cmd::kPrinterSetup));
  dialog.setWindowTitle("Printer Setup");
  giveHelp(&dialog, kPrinterSetupHelpContext);
  // Choosing a printer forgets the page size and two on one: they were set for the
  // sheet of the printer before.
  if (run(dialog) == QDialog::Accepted) session_.state().geometry.resetForNewPrinter();
}

void SetupDialogs::paperSize() {
  const std::filesystem::path& ini = session_.settingsFile();
  PageGeometry geometry = session_.state().geometry;
  geometry.twoOnOneAllowed = isAddressBookLayout(session_.state().layout);
  PageSizeDialog dialog(&parent_, prompter_, readPaperList(paperListPath()), readPageSetup(ini),
                        geometry, session_.printerPaper(), ini);
  if (run(dialog) != QDialog::Accepted) return;
  session_.state().geometry = dialog.geometry();
  session_.printerPaper() = dialog.printer();
}

void SetupDialogs::pageText(bool footnote) {
  AddTextDialog dialog(&parent_, session_.heading(), session_.footnote(), footnote ? 1 : 0);
  if (run(dialog) == QDialog::Accepted) dialog.takeInto(session_.heading(), session_.footnote());
}

void SetupDialogs::pageOptions() {
  AppState& state = session_.state();
  PageOptionsDialog dialog(&parent_, state.labelEachPage, state.hideAddresses);
  if (run(dialog) != QDialog::Accepted) return;
  state.labelEachPage = dialog.labelEachPage();
  state.hideAddresses = dialog.hideAddresses();
}

bool SetupDialogs::printingProblems() {
  PrintingProblemsDialog dialog(session_.customize(), session_.settingsFile(), prompter_,
                                &parent_);
  return run(dialog) == QDialog::Accepted;
}

bool SetupDialogs::labels(Book* marks) {
  LabelSheetContext context;
  context.ini = session_.settingsFile();
  context.labelsDat = labelsDatPath();
  context.book = marks;
  context.grid = &session_.state().labelGrid;
  context.pageFace = session_.customize().font;
  context.editReturnAddress = [this] { myAddress(); };
  context.chooseFont = [this](FontSpec& font) { return chooseFontAndColor(&parent_, font, false); };
  context.chooser = &chooser_;
  if (QPrinter* p = printer()) {
    context.printerName = calibrationNameOf(*p);
    context.printJob = [this](const PageJob& job) {
      PrinterJob printing(*printer_, prompter_, chooser_, &parent_);
      printing.run(job, planPrint(job, {1, 1, printMode::kDefault}));
    };
  }
  LabelSheet sheet(&parent_, prompter_, std::move(context));
  const bool accepted = run(sheet) == QDialog::Accepted;
  session_.dropPageSettings();
  return accepted;
}

bool SetupDialogs::envelope(bool onFontPage) {
  EnvelopeSheetContext context;
  context.ini = session_.settingsFile();
  context.pageFace = session_.customize().font;
  context.editReturnAddress = [this] { myAddress(); };
  context.chooseFont = [this](FontSpec& font) { return chooseFontAndColor(&parent_, font, false); };
  EnvelopeSheet sheet(&parent_, prompter_, std::move(context));
  if (onFontPage) sheet.pages()->setCurrentIndex(EnvelopeSheet::kFontPage);
  const bool accepted = run(sheet) == QDialog::Accepted;
  session_.dropPageSettings();  // every caller shows the envelope layout again afterwards
  return accepted;
}

void SetupDialogs::myAddress() {
  UserInfoDialog dialog(&parent_, prompter_, session_.settingsFile());
  (void)run(dialog);
  session_.dropPageSettings();  // the return address the labels and envelopes print
}

bool SetupDialogs::fontAndColor(bool labels, bool& notSaved) {
  CustomizeSettings& customize = session_.customize();
  if (labels) {
    const std::filesystem::path& ini = session_.settingsFile();
    FontSpec fontSpec = readFontSpec(ini, keys::font::Labels, customize.font);
    if (!chooseFontAndColor(&parent_, fontSpec, false)) return false;
    notSaved = !writeFontSpec(ini, keys::font::Labels, fontSpec);
    session_.dropPageSettings();
    return true;
  }
  // The address-book layouts scale their text, so only scalable faces are offered.
  FontSpec page;
  page.face = customize.font;
  page.color = customize.baseColor;
  if (!chooseFontAndColor(&parent_, page, true)) return false;
  customize.font = page.face.substr(0, 29);
  customize.baseColor = page.color;
  return true;
}

}  // namespace mv
