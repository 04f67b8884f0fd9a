#pragma once
// The frame's dialogs of printing and page setup, run against the application session:
// the printer of the run and Printer Setup, the print dialog and its job, Paper Size,
// Page Settings, Page Heading and Footnote, Labels, Envelope, My Address, Font and Color
// and Printing. Each reads the session, shows its dialog and writes back what was
// confirmed; what follows in the windows (redrawing, changing layout) is the frame's.

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace mv {

class AppSession;
class Book;
class FileChooser;
class Prompter;
struct CustomizeSettings;

class SetupDialogs {
 public:
  // Printer Setup is the system's print dialog; its F1 opens this topic.
  static constexpr int kPrinterSetupHelpContext = 17;
  using DialogRunner = std::function<int(QDialog&)>;
  using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;

  SetupDialogs(QWidget& parent, AppSession& session, Prompter& prompter, FileChooser& chooser,
               PrinterFactory printerFactory);
  ~SetupDialogs();

  // QDialog::exec() unless a test answers the dialogs.
  void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
  int run(QDialog& dialog);

  // The printer of the run, made on first use (nullptr when none can be made).
  QPrinter* printer();
  // A printer or PDF output can be had (checked once).
  bool printerReady();
  // Whether printing commands are offered: until the first print looks for the printer
  // they are. Looking loads the print system and asks its server, which the first
  // window must not wait for.
  bool printerNotMissing() const noexcept { return !printerChecked_ || printer_ != nullptr; }

  // The print dialog, then the job over the range chosen. `paperSize` serves its Paper
  // Size button. The status bar's text of a finished print; nothing when nothing printed.
  std::optional<QString> print(const std::function<void()>& paperSize);
  void printerSetup();
  void paperSize();
  void pageText(bool footnote);
  void pageOptions();
  // True on OK.
  bool printingProblems();
  // The label setup; `marks` is the book whose marks say who gets a label. True on OK.
  bool labels(Book* marks);
  // "Envelope Setup", on the "Settings" page or on the font page; true on OK.
  bool envelope(bool onFontPage);
  void myAddress();
  // Font and Color of the labels (kept in the settings file) or of the address-book
  // pages. False when cancelled; `notSaved` is set when the settings file refused it.
  bool fontAndColor(bool labels, bool& notSaved);

 private:
  QWidget& parent_;
  AppSession& session_;
  Prompter& prompter_;
  FileChooser& chooser_;
  PrinterFactory printerFactory_;
  std::unique_ptr<QPrinter> printer_;
  bool printerChecked_ = false;
  DialogRunner runDialog_;
};

}  // namespace mv
