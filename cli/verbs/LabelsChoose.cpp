// labels-choose: the format the labels print on, chosen by its name as the "Label Size"
// page chooses it.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "printing/LabelFormats.h"
#include "printing/LabelTemplates.h"
#include "settings/SettingsFiles.h"

#include <filesystem>

namespace mv::cli::verbs {

int labelsChoose(const Args& args, std::ostream& out, std::ostream& err) {
  std::filesystem::path labelsDat = labelsDatPath();
  std::filesystem::path ini = mervaneIni();
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size() || (args[i] != "--labels" && args[i] != "--settings")) {
      err << kLabelsChooseUsage;
      return kFailure;
    }
    (args[i] == "--labels" ? labelsDat : ini) = args[i + 1];
  }
  const std::string name = toCp1252(QString::fromStdString(args[1]));
  const std::optional<NamedLabelFormat> found =
      findLabelFormat(LabelCatalogue(readLabelsDat(labelsDat)), name);
  if (!found) {
    err << "mervane-cli: " << pathText(labelsDat) << " has no label format named \"" << args[1]
        << "\".\n";
    return kFailure;
  }
  if (!saveLabelChoice(ini, found->format.product, static_cast<int>(LabelType::All), found->row,
                       found->format)) {
    err << "mervane-cli: " << pathText(ini) << " cannot be written.\n";
    return kFailure;
  }
  const LabelDimensions d = dimensionsOf(found->format);
  out << "Labels print on " << args[1] << ": " << d.across << " x " << d.down << " labels of "
      << formatLabelDimensions(d)
      << (d.unit == LabelUnit::HundredthInch ? " (hundredths of an inch)\n"
                                              : " (tenths of a millimetre)\n");
  return kOk;
}

}  // namespace mv::cli::verbs
