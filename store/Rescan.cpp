#include "store/Rescan.h"

#include "platform/Prompter.h"
#include "platform/Text.h"
#include "store/AdrFormat.h"
#include "store/Book.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mv {
namespace {

// The field that carries the suffix: the first part of the name key.
FieldId duplicateTarget(int cardSort) {
  if (cardSort == 1) return FieldId::Last;
  if (cardSort == 2) return FieldId::Company;
  return FieldId::First;
}

// Keys are compared in upper case; the table spares a call for every character.
void foldInto(std::string& out, std::string_view text) {
  static const auto upper = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
      table[static_cast<size_t>(c)] = static_cast<char>(upperCp1252(static_cast<unsigned char>(c)));
    return table;
  }();
  out.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) out[i] = upper[static_cast<unsigned char>(text[i])];
}

// True when the writer would put out the record's fields and notes exactly as they are
// stored: 28 whole field lines without a carriage return (the writer drops those), and
// notes that end in their line feed and are not longer than a record keeps.
bool asWriterLaysItOut(const ListedRecord& rec) {
  if (!rec.bodyAsStored || rec.fieldCount != kFieldCount) return false;
  const std::string_view fields = rec.body.substr(0, rec.body.size() - rec.notes.size());
  if (fields.find('\r') != std::string_view::npos) return false;
  return !rec.notes.empty() && rec.notes.back() == '\n' &&
         rec.notes.size() - 1 <= adr::kMaxNotesRead;
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
                    std::string& out, std::vector<Book::ListHead>* heads) {
  const WorkingFile& working = book.workingFile();
  if (!book.isOpen() || !working.isOpen()) return ScanResult::NotOpen;

  const WorkingFile::Bytes bytes = working.bytes();
  const auto& names = book.names().mainNames();
  const int count = static_cast<int>(names.size());
  const int cardSort = book.cardSort();
  const FieldId target = duplicateTarget(cardSort);
  out.assign(adr::kMagic);
  out += '\n';
  out.reserve(bytes.view().size());
  // The list built afterwards needs each record's head. Records copied as they are have
  // it at hand; when any record is rewritten, the heads are left to reading the new bytes.
  if (heads) {
    heads->clear();
    heads->reserve(names.size());
  }
  bool headsKnown = heads != nullptr;
  bool duplicates = false;

  // Last list position of every key (folded to upper case): a record has a later twin
  // exactly when its key's last position lies after its own. One pass instead of
  // comparing every pair keeps large books quick.
  // All keys folded into one buffer, one after another, rather than a string each.
  std::string foldedKeys;
  std::vector<size_t> keyStarts;
  keyStarts.reserve(names.size() + 1);
  for (const NameEntry& name : names) {
    keyStarts.push_back(foldedKeys.size());
    foldedKeys += name.text;
  }
  keyStarts.push_back(foldedKeys.size());
  foldInto(foldedKeys, foldedKeys);  // in place: each byte from itself alone
  const auto folded = [&](int j) {
    const size_t at = keyStarts[static_cast<size_t>(j)];
    return std::string_view(foldedKeys).substr(at, keyStarts[static_cast<size_t>(j) + 1] - at);
  };
  std::unordered_map<std::string_view, int> lastPosition;
  lastPosition.reserve(names.size());
  for (int j = 0; j < count; ++j) lastPosition[folded(j)] = j;

  // Progress counts list positions, those of names without a record too.
  int shownPercent = -1;
  int nextPosition = 0;
  const auto progressUpTo = [&](int position) {
    for (; nextPosition <= position; ++nextPosition) {
      const int percent = nextPosition * 100 / count;
      if (title && percent % 10 == 0 && percent != shownPercent) {
        shownPercent = percent;
        title("Rescan: " + std::to_string(percent) + "%");
      }
    }
  };

  std::string key;
  std::string foldedKey;
  book.forEachInListOrder(bytes, [&](const ListedRecord& rec) {
    const int i = rec.position;
    progressUpTo(i);
    assignNameKey(key, rec.fields[toInt(FieldId::First)], rec.fields[toInt(FieldId::Last)],
                  rec.fields[toInt(FieldId::Company)], cardSort);
    // The record's key is nearly always its list text, already folded above.
    std::string_view foldedRecordKey = folded(i);
    if (key != rec.name) {
      foldInto(foldedKey, key);
      foldedRecordKey = foldedKey;
    }
    const auto twin = lastPosition.find(foldedRecordKey);
    const bool repeated = twin != lastPosition.end() && twin->second > i;
    duplicates = duplicates || repeated;

    // The start line goes out as found: slot, initial and mark unchanged. The fields,
    // notes and end follow as the writer lays them out; a record that already has that
    // layout is copied as it is.
    if (!repeated && asWriterLaysItOut(rec)) {
      if (headsKnown) {
        Book::ListHead& head = heads->emplace_back();
        head.offset = static_cast<long>(out.size()) + 1;
        head.mark = adr::parseStartLine(rec.startLine).mark;
        head.group = rec.group();
        head.key = key;
        // A start line holding a record delimiter would read back as more than one.
        for (const char c : rec.startLine) headsKnown = headsKnown && !adr::isControlByte(c);
      }
      out += adr::kRecordStart;
      out += rec.startLine;
      out += '\n';
      out += rec.body;
      out += adr::kRecordEnd;
      out += '\n';
      return;
    }
    headsKnown = false;
    AddressRecord record = rec.read();
    if (repeated) record[target] += duplicateSuffix(i);
    const size_t recordAt = out.size();
    adr::appendRecord(out, record, record.slot, record.initial, record.mark);
    const size_t startEnd = out.find('\n', recordAt);
    out.replace(recordAt + 1, startEnd - recordAt - 1, rec.startLine);
  });
  progressUpTo(count - 1);
  if (title) title({});
  if (heads && !headsKnown) heads->clear();

  if (book.writeRewriteFile(out) != BookStatus::Ok) return ScanResult::CreateFailed;
  return duplicates ? ScanResult::Duplicates : ScanResult::Clean;
}

RescanStatus rescanWorkingFile(Book& book,
                               const std::function<void(const std::string&)>& title) {
  std::string rescanned;
  std::vector<Book::ListHead> heads;
  const ScanResult scanned = scanBook(book, title, rescanned, &heads);
  switch (scanned) {
    case ScanResult::NotOpen: return RescanStatus::NotOpen;
    case ScanResult::CreateFailed: return RescanStatus::CreateFailed;
    case ScanResult::Clean:
    case ScanResult::Duplicates: break;
  }
  const bool duplicates = scanned == ScanResult::Duplicates;

  WorkingFile& working = book.workingFile();
  const bool changed = working.changed();
  const bool reorder = working.reorderNeeded();
  // "temp~adr.~~" becomes the working file; its bytes are still at hand.
  if (book.adoptRewriteFile(rescanned, heads.empty() ? nullptr : &heads) != BookStatus::Ok) {
    return duplicates ? RescanStatus::DuplicatesButWorkingFileFailed
                      : RescanStatus::CleanButWorkingFileFailed;
  }
  working.setChanged(changed);
  working.setReorderNeeded(reorder);
  return duplicates ? RescanStatus::DuplicatesMarked : RescanStatus::Clean;
}

bool rescanned(RescanStatus status) noexcept {
  return status == RescanStatus::Clean || status == RescanStatus::DuplicatesMarked;
}

std::vector<Message> rescanMessages(RescanStatus status) {
  const Message noSuccess{"no success!", "", Icon::None};
  const Message clean{"File looks okay :-)", "", Icon::None};
  const Message duplicates{duplicatesMessage(), "Duplicate Entries", Icon::Information};
  const Message notAdopted{"no success!,\n\nClick CANCEL\n\nand open address book again", "",
                           Icon::None};
  switch (status) {
    case RescanStatus::Clean: return {clean};
    case RescanStatus::DuplicatesMarked: return {duplicates};
    case RescanStatus::NotOpen: return {noSuccess};
    case RescanStatus::CreateFailed:
      return {Message{"File Creation Error", kAppCaption, Icon::None}, noSuccess};
    case RescanStatus::CleanButWorkingFileFailed: return {clean, notAdopted};
    case RescanStatus::DuplicatesButWorkingFileFailed: return {duplicates, notAdopted};
  }
  return {};
}

RescanResult rescanBook(Book& book, Prompter& prompter,
                        const std::function<void(const std::string&)>& title) {
  const Answer a = prompter.ask(Message{
      "This will look for duplicate entries\nand other errors in your address "
      "file.\n\nContinue?",
      "Scan Address Book", Icon::Information, Buttons::YesNo, Answer::Yes});
  if (a != Answer::Yes) return RescanResult::Declined;

  const RescanStatus status = rescanWorkingFile(book, title);
  for (const Message& message : rescanMessages(status)) prompter.ask(message);
  switch (status) {
    case RescanStatus::Clean:
    case RescanStatus::DuplicatesMarked: return RescanResult::Done;
    case RescanStatus::NotOpen:
    case RescanStatus::CreateFailed: return RescanResult::ScanFailed;
    case RescanStatus::CleanButWorkingFileFailed:
    case RescanStatus::DuplicatesButWorkingFileFailed: return RescanResult::WorkingFileFailed;
  }
  return RescanResult::ScanFailed;
}

}  // namespace mv
