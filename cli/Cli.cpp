#include "cli/Cli.h"

#include "cli/verbs/Verbs.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace mv::cli {
namespace {

// How many arguments follow a verb.
enum class Arity {
  None,       // nothing after its name
  One,        // just its book (or file)
  OneOrMore,  // a book, file or option, then options
};

struct Verb {
  std::string_view name;
  // What the verb prints when its command line is wrong: "usage: mervane-cli NAME ..." and
  // the lines that explain it. The help lists every verb's.
  const char* usage;
  Arity arity;
  int (*handler)(const Args& args, std::ostream& out, std::ostream& err);
};

// Every verb, in the order the help lists them.
constexpr std::array kVerbs{
    Verb{"check", "usage: mervane-cli check BOOK\n", Arity::One, verbs::check},
    Verb{"list", "usage: mervane-cli list BOOK [--sort first|last|company]\n", Arity::OneOrMore,
         verbs::list},
    Verb{"dump", "usage: mervane-cli dump BOOK\n", Arity::One, verbs::dump},
    Verb{"sort", "usage: mervane-cli sort BOOK --by first|last|company\n", Arity::OneOrMore,
         verbs::sort},
    Verb{"rescan", "usage: mervane-cli rescan BOOK\n", Arity::One, verbs::rescan},
    Verb{"convert", "usage: mervane-cli convert BOOK\n", Arity::One, verbs::convert},
    Verb{"import", verbs::kImportUsage, Arity::OneOrMore, verbs::importFile},
    Verb{"duplicates", "usage: mervane-cli duplicates BOOK\n", Arity::One, verbs::duplicates},
    Verb{"export", verbs::kExportUsage, Arity::OneOrMore, verbs::exportBook},
    Verb{"sync", verbs::kSyncUsage, Arity::OneOrMore, verbs::sync},
    Verb{"print", verbs::kPrintUsage, Arity::OneOrMore, verbs::print},
    Verb{"labels-import", verbs::kLabelsImportUsage, Arity::OneOrMore, verbs::labelsImport},
    Verb{"labels-choose", verbs::kLabelsChooseUsage, Arity::OneOrMore, verbs::labelsChoose},
    Verb{"calibrate", verbs::kCalibrateUsage, Arity::OneOrMore, verbs::calibrate},
    Verb{"calibration-sheet", verbs::kCalibrationSheetUsage, Arity::OneOrMore,
         verbs::calibrationSheet},
    Verb{"layouts", "usage: mervane-cli layouts\n", Arity::None, verbs::layouts},
};

constexpr std::string_view kUsageStart = "usage: mervane-cli ";

// The help stacks the usages under one "usage:", so each must start with it and its verb.
constexpr bool usageNamesVerb(const Verb& verb) {
  const std::string_view usage = verb.usage;
  const std::string_view rest = usage.substr(std::min(kUsageStart.size(), usage.size()));
  return usage.starts_with(kUsageStart) && rest.starts_with(verb.name) &&
         rest.size() > verb.name.size() &&
         (rest[verb.name.size()] == ' ' || rest[verb.name.size()] == '\n');
}
static_assert(std::ranges::all_of(kVerbs, usageNamesVerb));

// Every verb's usage, one under another.
void writeUsage(std::ostream& to) {
  constexpr std::string_view kUsageWord = "usage: ";
  bool first = true;
  for (const Verb& verb : kVerbs) {
    to << (first ? kUsageWord : "       ")
       << std::string_view(verb.usage).substr(kUsageWord.size());
    first = false;
  }
}

const Verb* findVerb(std::string_view name) {
  const auto found = std::ranges::find(kVerbs, name, &Verb::name);
  return found == kVerbs.end() ? nullptr : &*found;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    writeUsage(out);
    return kOk;
  }
  const Verb* verb = args.empty() ? nullptr : findVerb(args[0]);
  if (!verb) {
    writeUsage(err);
    return kFailure;
  }
  const bool fits = verb->arity == Arity::None  ? args.size() == 1
                    : verb->arity == Arity::One ? args.size() == 2
                                                : args.size() >= 2;
  if (!fits) {
    err << verb->usage;
    return kFailure;
  }
  return verb->handler(args, out, err);
}

}  // namespace mv::cli
