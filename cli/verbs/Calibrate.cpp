// calibrate: keeps a printer's offset in the settings file.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "printing/PrinterCalibration.h"
#include "settings/SettingsFiles.h"

#include <filesystem>

namespace mv::cli::verbs {

int calibrate(const Args& args, std::ostream& out, std::ostream& err) {
  std::map<std::string, std::string> given;
  if (!calibrationOptions(args, 1, given, {"--printer", "--offset", "--settings"}) ||
      !given.count("--printer") || !given.count("--offset")) {
    err << kCalibrateUsage;
    return kFailure;
  }
  const std::optional<PrinterOffset> offset = parsePrinterOffset(given["--offset"]);
  if (!offset) {
    err << "mervane-cli: " << kBadOffsetMessage << "\n";
    return kFailure;
  }
  const std::string printer = toCp1252(QString::fromStdString(given["--printer"]));
  const std::filesystem::path ini =
      given.count("--settings") ? std::filesystem::path(given["--settings"]) : mervaneIni();
  switch (writePrinterOffset(ini, printer, *offset)) {
    case OffsetWrite::BadName:
      err << "mervane-cli: " << utf8(unstorablePrinterMessage(printer)) << "\n";
      return kFailure;
    case OffsetWrite::WriteFailed:
      err << "mervane-cli: " << pathText(ini) << " cannot be written.\n";
      return kFailure;
    case OffsetWrite::Saved: break;
  }
  out << "Printer " << given["--printer"] << ": labels and envelopes print moved by "
      << formatPrinterOffset(*offset) << " hundredths of an inch (right, down)\n";
  return kOk;
}

}  // namespace mv::cli::verbs
