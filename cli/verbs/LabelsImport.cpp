// labels-import: the rectangular one-grid templates of a label template file become
// formats of labels.dat, as the "Label Size" page's file button adds them.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "printing/LabelFormats.h"
#include "printing/LabelTemplates.h"

#include <filesystem>

namespace mv::cli::verbs {

int labelsImport(const Args& args, std::ostream& out, std::ostream& err) {
  std::filesystem::path labelsDat = labelsDatPath();
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] != "--labels" || i + 1 >= args.size()) {
      err << kLabelsImportUsage;
      return kFailure;
    }
    labelsDat = args[++i];
  }
  const TemplateImport result = importLabelTemplateFile(args[1], labelsDat);
  const std::string summary = templateImportSummary(result, args[1]);
  if (!result.error.empty()) {
    err << "mervane-cli: " << summary << "\n";
    return kFailure;
  }
  out << summary << "\n";  // UTF-8: file names and XML errors
  return kOk;
}

}  // namespace mv::cli::verbs
