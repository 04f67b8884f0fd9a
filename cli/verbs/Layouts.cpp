// layouts: the layouts `print --layout` takes, each with its number, its name on the
// layout button and the description the button's tooltip gives.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "printing/LayoutCatalogue.h"

namespace mv::cli::verbs {

int layouts(const Args&, std::ostream& out, std::ostream&) {
  for (int command = kFirstDrawnLayout; command <= kLastDrawnLayout; ++command)
    out << command << "  " << layoutShortNameOfCommand(command) << "  ("
        << layoutLongNameOfCommand(command) << ")\n";
  return kOk;
}

}  // namespace mv::cli::verbs
