// Label template files of other label programs: every format taken in reads back from
// its labels.dat line, and every template is either added or counted as skipped.
#include "fuzz/FuzzSupport.h"
#include "printing/LabelTemplates.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const TemplateFile file = parseLabelTemplates(fuzz::bytesOf(data, size));
  LabelCatalogue catalogue({"Keep;Me 0, 667,254, 48,127, 699,254, 3,10"});
  const TemplateImport result = importLabelTemplates(catalogue, file);
  if (!file.error.empty() && (result.added != 0 || catalogue.lines().size() != 1)) std::abort();
  if (file.error.empty() &&
      result.added + result.skippedTotal() != static_cast<int>(file.templates.size()))
    std::abort();
  for (const std::string& line : catalogue.lines())
    if (!parseLabelLine(line)) std::abort();
  (void)templateImportSummary(result, "fuzz.xml");
  return 0;
}
