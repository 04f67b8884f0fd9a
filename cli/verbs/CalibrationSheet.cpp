// calibration-sheet: the crosses page as the printer gets it, to a PDF file.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "platform/Cp1252.h"
#include "printing/LabelFormats.h"
#include "printing/PrintJob.h"
#include "printing/PrinterCalibration.h"
#include "printing/render/PdfExport.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "settings/SettingsFiles.h"

#include <filesystem>

namespace mv::cli::verbs {

int calibrationSheet(const Args& args, std::ostream& out, std::ostream& err) {
  std::map<std::string, std::string> given;
  if (!calibrationOptions(args, 1, given, {"--pdf", "--printer", "--settings"}) ||
      !given.count("--pdf")) {
    err << kCalibrationSheetUsage;
    return kFailure;
  }
  const std::filesystem::path ini =
      given.count("--settings") ? std::filesystem::path(given["--settings"]) : mervaneIni();
  const std::string printer =
      given.count("--printer") ? toCp1252(QString::fromStdString(given["--printer"]))
                                : std::string(kPdfPrinterName);
  // The sheet the labels print on: A4 for an "A4 Sizes" format, else US letter.
  const Profile labels(ini, std::string(keys::section::Labels));
  const int product = labels.readInt(keys::labels::Type1, 0);
  const int sheet = product == static_cast<int>(LabelProduct::A4) ? kA4Sheet.code
                                                                   : kLetterSheet.code;
  const PageJob job = calibrationJob(sheet, printer, readPrinterOffset(ini, printer));
  ensureGuiApplication();
  const PdfResult written = writePagesPdf(job, 1, 1, given["--pdf"]);
  if (!written.ok) {
    err << "mervane-cli: " << given["--pdf"] << ": " << written.error << "\n";
    return kFailure;
  }
  out << "Wrote the calibration sheet for " << utf8(printer) << " (offset "
      << formatPrinterOffset(job.printerOffset) << ") to " << given["--pdf"] << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
