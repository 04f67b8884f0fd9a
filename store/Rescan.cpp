#include "store/Rescan.h"

#include "platform/Prompter.h"
#include "platform/Text.h"
#include "store/AdrFormat.h"
#include "store/Book.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>

namespace mv {
namespace {

// The field that carries the suffix: the first part of the name key.
FieldId duplicateTarget(int cardSort) {
  if (cardSort == 1) return FieldId::Last;
  if (cardSort == 2) return FieldId::Company;
  return FieldId::First;
}

std::string foldedKey(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(upperCp1252(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string duplicatesMessage() {
  return std::string(
             "Duplicate entries were found!!\n\n\"FirstName\", \"LastName\", and \"Company\"\nof "
             "two or more items were the same.\n\nSo Import has distinguished them as "
             "duplicates by\nadding \"[Dup:INDEX]\" at the end of first name.\n\nYou should "
             "compare the duplicate entries and \ndelete or change the redundencies, then "
             "save.\n\nThis should not have happened in the first place,\nso if you see this "
             "error more than a couple of times\nplease report it to ") +
         kSupportAddress + "\n";
}

ScanResult scanBook(const Book& book, const std::function<void(const std::string&)>& title,
                    std::string& out) {
  const WorkingFile& working = book.workingFile();
  if (!book.isOpen() || !working.isOpen()) return ScanResult::NotOpen;

  const std::string bytes = working.readAll();
  const auto& names = book.names().mainNames();
  const int count = static_cast<int>(names.size());
  const FieldId target = duplicateTarget(book.cardSort());
  out.assign(adr::kMagic);
  out += '\n';
  out.reserve(bytes.size());
  bool duplicates = false;

  // Last list position of every key (folded to upper case): a record has a later twin
  // exactly when its key's last position lies after its own. One pass instead of
  // comparing every pair keeps large books quick.
  std::unordered_map<std::string, int> lastPosition;
  lastPosition.reserve(names.size());
  for (int j = 0; j < count; ++j)
    lastPosition[foldedKey(names[static_cast<size_t>(j)].text)] = j;

  int shownPercent = -1;
  for (int i = 0; i < count; ++i) {
    const int percent = i * 100 / count;
    if (title && percent % 10 == 0 && percent != shownPercent) {
      shownPercent = percent;
      title("Rescan: " + std::to_string(percent) + "%");
    }

    const int slot = names[static_cast<size_t>(i)].slot;
    if (slot < 0 || slot > adr::kMaxSlots) continue;
    const long at = working.offset(slot);
    if (at <= 0) continue;  // deleted or never written
    auto record = adr::readRecordAt(bytes, static_cast<size_t>(at));
    if (!record) continue;

    // The start line goes out as found: slot, initial and mark unchanged (without the
    // extra start bytes or the line end a damaged book may have put around it).
    const std::string foundStart(adr::findStartLine(bytes, static_cast<size_t>(at)).text);

    const std::string key = nameKey(*record, book.cardSort());
    if (const auto it = lastPosition.find(foldedKey(key));
        it != lastPosition.end() && it->second > i) {
      duplicates = true;
      (*record)[target] += duplicateSuffix(i);
    }

    // The fields, notes and end as the writer lays them out, after the start line found.
    const size_t recordAt = out.size();
    adr::appendRecord(out, *record, record->slot, record->initial, record->mark);
    const size_t startEnd = out.find('\n', recordAt);
    out.replace(recordAt + 1, startEnd - recordAt - 1, foundStart);
  }
  if (title) title({});

  if (book.writeRewriteFile(out) != BookStatus::Ok) return ScanResult::CreateFailed;
  return duplicates ? ScanResult::Duplicates : ScanResult::Clean;
}

RescanResult rescanBook(Book& book, Prompter& prompter,
                        const std::function<void(const std::string&)>& title) {
  const Answer a = prompter.ask(Message{
      "This will look for duplicate entries\nand other errors in your address "
      "file.\n\nContinue?",
      "Scan Address Book", Icon::Information, Buttons::YesNo, Answer::Yes});
  if (a != Answer::Yes) return RescanResult::Declined;

  std::string rescanned;
  const ScanResult scanned = scanBook(book, title, rescanned);
  switch (scanned) {
    case ScanResult::CreateFailed:
      prompter.inform("File Creation Error", kAppCaption, Icon::None);
      [[fallthrough]];
    case ScanResult::NotOpen:
      prompter.inform("no success!", "", Icon::None);
      return RescanResult::ScanFailed;
    case ScanResult::Duplicates:
      prompter.inform(duplicatesMessage(), "Duplicate Entries", Icon::Information);
      break;
    case ScanResult::Clean:
      prompter.inform("File looks okay :-)", "", Icon::None);
      break;
  }

  WorkingFile& working = book.workingFile();
  const bool changed = working.changed();
  const bool reorder = working.reorderNeeded();
  // "temp~adr.~~" becomes the working file; its bytes are still at hand.
  if (book.adoptRewriteFile(rescanned) != BookStatus::Ok) {
    prompter.inform("no success!,\n\nClick CANCEL\n\nand open address book again", "",
                    Icon::None);
    return RescanResult::WorkingFileFailed;
  }
  working.setChanged(changed);
  working.setReorderNeeded(reorder);
  return RescanResult::Done;
}

}  // namespace mv
