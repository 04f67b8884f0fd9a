#include "store/BookValidation.h"

#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "store/AdrFormat.h"
#include "store/TConvert.h"

namespace mv {
namespace {

constexpr const char* kOldFormatQuestion =
    "Old AddressBook Format!\nFile is about to be modified\n\nYou can click cancel, quite TVX, "
    "and make a backup copy    \nof your AddressBook file if you haven't done so.\n\nClick OK "
    "to Convert";

}  // namespace

BookCheck checkBookFile(const std::filesystem::path& path, Prompter& prompter) {
  const std::string shown = pathText(path);
  if (!isPresent(shown)) return BookCheck::Refused;
  const adr::FirstWord first = adr::readFirstWord(path);
  if (!first.readable) return BookCheck::Refused;

  if (first.word == adr::kMagic) return BookCheck::Passed;

  if (oldFormatOf(first.word) != OldFormat::None) {
    const Answer a = prompter.ask(Message{kOldFormatQuestion, kAppCaption, Icon::Information,
                                          Buttons::OkCancel, Answer::Ok});
    if (a != Answer::Ok) return BookCheck::Refused;
    TConvert converter;
    const ConvertStatus status = converter.convert(path, first.word);
    if (status == ConvertStatus::Converted) return BookCheck::Converted;
    // Reported, so that the user does not take the untouched file for a converted one.
    const char* why =
        status == ConvertStatus::TooManyRecords
            ? "The address book holds more than 2000 entries, more than this program can "
              "keep; it was left as it was."
        : status == ConvertStatus::ChangedOnDisk
            ? "Another program changed the file while it was being converted; it was left "
              "as that program wrote it."
            : "The file could not be rewritten and was left as it was.";
    prompter.inform("Can not convert:\n" + shown + "\n\n" + why, kAppCaption, Icon::Stop,
                    TextCoding::Utf8);
    return BookCheck::Refused;
  }

  prompter.inform("Can not open:\n" + shown + "\n\nThis is not a valid Mervane file format",
                  "Invalid file format", Icon::Stop, TextCoding::Utf8);
  return BookCheck::Refused;
}

}  // namespace mv
