// convert: an older book brought up to the current format in place.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "store/AdrFormat.h"
#include "store/TConvert.h"

namespace mv::cli::verbs {

int convert(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  if (auto failed = checkBook(arg, err, true)) return *failed;
  const adr::FirstWord first = adr::readFirstWord(arg);
  if (adr::classify(first) == adr::BookKind::Current) {
    out << "already in the current format\n";
    return kOk;
  }
  // The one conversion the window makes too: checked, converted and written in one step,
  // so that the file is either the old book or the whole new one.
  TConvert converter;
  switch (converter.convert(arg, first.word)) {
    case ConvertStatus::Converted: break;
    case ConvertStatus::NotOldFormat:
      err << "mervane-cli: " << arg << " is not a format that can be converted.\n";
      return kFailure;
    case ConvertStatus::ReadFailed:
      err << "mervane-cli: " << arg << " cannot be read.\n";
      return kFailure;
    case ConvertStatus::TooManyRecords:
      err << "mervane-cli: " << arg << " holds " << converter.records()
          << " entries, more than the " << adr::kMaxSlots
          << " a book can hold; it was not converted and is unchanged.\n";
      return kFailure;
    case ConvertStatus::ChangedOnDisk:
      err << "mervane-cli: " << arg << " was changed by another program while it was being "
          << "converted; it was not written over. Run convert again.\n";
      return kFailure;
    case ConvertStatus::WriteFailed:
      err << "mervane-cli: " << arg << " could not be converted; the file is unchanged.\n";
      return kFailure;
  }
  out << "converted " << converter.records() << " entries from " << utf8(first.word) << " to "
      << adr::kMagic << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
