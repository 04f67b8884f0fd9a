#include "store/Book.h"

#include "platform/Paths.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace mv {

std::string describe(BookStatus status) {
  switch (status) {
    case BookStatus::Ok: return {};
    case BookStatus::NotOpen: return "No address book is open.";
    case BookStatus::Unreadable: return "The file cannot be read.";
    case BookStatus::NotABook: return "This is not a valid Mervane format.";
    case BookStatus::TooManyRecords:
      return "The address book holds more than 2000 entries, more than this program can "
             "keep; it was not opened, so none of them is lost.";
    case BookStatus::WorkingFileError:
      return "Unable to initialize address book: can not create temp file.";
    case BookStatus::WriteError:
      return "The file could not be written; the file on disk is unchanged.";
    case BookStatus::Damaged:
      return "The address book is damaged: some of its records are not laid out as they "
             "should be. It was not changed; Rescan repairs it and keeps every record.";
  }
  return {};
}

Book::Book(std::filesystem::path scratch)
    : scratch_(std::move(scratch)), working_(scratch_ / WorkingFile::kFileName) {}

Book::Book() : Book(scratchDir()) {}

std::string Book::savedGroupOrMain() const {
  return isPresent(savedGroup_) ? savedGroup_ : std::string(NamesList::kMainName);
}

int Book::groupToSelect() const noexcept {
  const int g = names_.findGroup(savedGroupOrMain());
  return g < 0 ? NamesList::kMain : g;
}

BookStatus Book::open(const std::filesystem::path& path, bool force) {
  const adr::BookKind kind = adr::classifyFile(path);
  if (kind == adr::BookKind::Unreadable) return BookStatus::Unreadable;
  if (kind != adr::BookKind::Current && !force) return BookStatus::NotABook;
  close();
  removeStaleSaveFiles(path);
  std::string bytes;
  if (!readWholeFile(path, bytes)) return BookStatus::Unreadable;
  if (!working_.replaceWith(bytes)) {
    close();
    return BookStatus::WorkingFileError;
  }
  if (const BookStatus built = buildFrom(WorkingFile::scan(bytes), false, {});
      built != BookStatus::Ok) {
    close();
    return built;
  }
  path_ = path;
  open_ = true;
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  return BookStatus::Ok;
}

BookStatus Book::createNew(const std::filesystem::path& path) {
  if (!adr::createBookFile(path)) return BookStatus::WriteError;
  close();
  if (!working_.createEmpty()) {
    working_.remove();
    return BookStatus::WorkingFileError;
  }
  path_ = path;
  open_ = true;
  buildList();
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  return BookStatus::Ok;
}

void Book::close() {
  working_.remove();
  working_.clearTables();
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  names_.clear();
  path_.clear();
  open_ = false;
  damaged_ = false;
}

BookStatus Book::buildList(bool sorted, const TitleFn& title) {
  if (!working_.isOpen()) return BookStatus::NotOpen;
  return buildFrom(working_.scan(), sorted, title);
}

BookStatus Book::buildFrom(const std::vector<ScannedRecord>& found, bool sorted,
                           const TitleFn& title) {
  const int total = names_.count() > 0 ? names_.count() : 1;
  names_.clear();
  working_.clearTables();
  damaged_ = std::any_of(found.begin(), found.end(),
                         [](const ScannedRecord& rec) { return rec.damaged; });
  // Refuse rather than cut: the tables hold 2,000 slots, and a book cut here would lose
  // its last records at the next save.
  if (found.size() > static_cast<size_t>(adr::kMaxSlots)) return BookStatus::TooManyRecords;

  const bool showProgress = sorted && title;
  if (showProgress) title("Sorting items");
  int shown = -1;
  for (size_t i = 0; i < found.size(); ++i) {
    const int slot = static_cast<int>(i);
    const ScannedRecord& rec = found[i];
    working_.setOffset(slot, rec.offset);
    working_.setMark(slot, rec.mark);
    const std::string key =
        nameKey(rec[FieldId::First], rec[FieldId::Last], rec[FieldId::Company], cardSort_);
    if (showProgress) {
      const int percent = slot * 100 / total;
      if (percent % 10 == 0 && percent != shown) {
        char text[64];
        std::snprintf(text, sizeof text, "Sorting items %d%% ", percent);
        title(text);
        shown = percent;
      }
    }
    // Appended in file order; a sorted build orders everything once at the end, which
    // gives the same list as inserting each name after its equals, without the cost.
    names_.insertRecord(slot, key, rec[FieldId::Group], false);
  }
  if (sorted) names_.sortAll();
  names_.setNextSlot(static_cast<int>(found.size()));
  if (showProgress) title("");
  return BookStatus::Ok;
}

std::string Book::serialize() const {
  const std::string bytes = working_.readAll();
  struct IndexLine {
    std::string group;  // the field 0 line as stored, with its line feed
    size_t offset;
    int mark;
    const std::string* text;
  };
  std::vector<IndexLine> index;
  index.reserve(names_.mainNames().size());

  std::string out(adr::kMagic);
  out += '\n';
  out.reserve(bytes.size() + 1024);
  for (const NameEntry& entry : names_.mainNames()) {
    const long at = working_.offset(entry.slot);
    if (at <= 0 || static_cast<size_t>(at) > bytes.size()) continue;
    // The old start line: slot and initial are renewed below.
    adr::Reader r = adr::Reader::atRecord(bytes, adr::findStartLine(bytes, static_cast<size_t>(at)));
    const int mark = working_.mark(entry.slot);
    const size_t newOffset = out.size();
    out += adr::startLine(static_cast<int>(index.size()), savedInitial(entry.text), mark);
    // The field lines are copied as stored but each cut to 70 characters, so a line made
    // too long by hand does not leave the saved file unreadable for other programs.
    const size_t fieldsAt = out.size();
    std::string_view field;
    for (int f = 0; f < kFieldCount && r.fieldText(field); ++f) {
      out += field;
      out += '\n';
    }
    if (out.size() == fieldsAt) out += '\n';  // a record cut off right after its start
    std::string group = out.substr(fieldsAt, out.find('\n', fieldsAt) + 1 - fieldsAt);
    // Then the notes, byte for byte and whole, and the writer's line feed.
    const std::string_view notes = r.notesText();
    out += notes;
    out += adr::notesLineEnd(notes);
    out += adr::kRecordEnd;
    out += '\n';
    index.push_back(IndexLine{std::move(group), newOffset, mark, &entry.text});
  }

  out += adr::kEndOfRecords;
  out += '\n';
  out += std::to_string(index.size());
  out += '\n';
  out += savedGroupOrMain();
  out += '\n';
  for (int g = 1; g < names_.groupCount(); ++g) {
    out += names_.group(g).name;
    out += '\n';
  }
  out += adr::kRecordEnd;
  out += "  error!\n";
  for (const IndexLine& line : index) {
    out += line.group;
    out += std::to_string(line.offset);
    out += ' ';
    out += std::to_string(line.mark);
    out += '\n';
    out += *line.text;
    out += '\n';
  }
  return out;
}

BookStatus Book::writeBook(const std::filesystem::path& path) const {
  if (!open_ || !working_.isOpen()) return BookStatus::NotOpen;
  if (damaged_) return BookStatus::Damaged;
  return writeFileAtomically(path, serialize()) ? BookStatus::Ok : BookStatus::WriteError;
}

BookStatus Book::save() {
  if (path_.empty()) return BookStatus::NotOpen;
  const BookStatus status = writeBook(path_);
  if (status == BookStatus::Ok) {
    working_.setChanged(false);
    working_.setReorderNeeded(false);
  }
  return status;
}

BookStatus Book::saveAs(const std::filesystem::path& path) {
  const BookStatus status = writeBook(path);
  if (status == BookStatus::Ok) {
    path_ = path;
    working_.setChanged(false);
    working_.setReorderNeeded(false);
  }
  return status;
}

BookStatus Book::rewrite(bool sorted, const TitleFn& title) {
  if (!open_ || !working_.isOpen()) return BookStatus::NotOpen;
  if (damaged_) return BookStatus::Damaged;
  const std::string bytes = serialize();
  if (const BookStatus written = writeRewriteFile(bytes); written != BookStatus::Ok)
    return written;
  const BookStatus built = adoptRewriteFile(bytes, sorted, title);
  if (built == BookStatus::WorkingFileError) return built;
  working_.setChanged(true);
  working_.setReorderNeeded(true);
  return built;
}

BookStatus Book::writeRewriteFile(std::string_view bytes) const {
  // "temp~adr.~~" is a scratch copy, not the user's file: a plain write will do.
  return writeScratchFile(rewritePath(), bytes) ? BookStatus::Ok : BookStatus::WriteError;
}

BookStatus Book::adoptRewriteFile(std::string_view bytes, bool sorted, const TitleFn& title) {
  if (!working_.takeOver(rewritePath())) {
    std::error_code ec;
    std::filesystem::remove(rewritePath(), ec);
    return BookStatus::WorkingFileError;
  }
  return buildFrom(WorkingFile::scan(bytes), sorted, title);
}

BookStatus Book::compact() {
  if (!working_.reorderNeeded()) return BookStatus::Ok;
  const BookStatus status = rewrite();
  if (status == BookStatus::Ok) working_.setReorderNeeded(false);
  return status;
}

BookStatus Book::sort(int order, const TitleFn& title) {
  setCardSort(order);
  if (!open_) return BookStatus::NotOpen;
  return rewrite(true, title);
}

int Book::allocateSlot() {
  if (!open_) return -1;
  if (names_.nextSlot() >= adr::kMaxSlots) {
    if (names_.count() >= adr::kMaxSlots) return -1;
    // Deleted and replaced records leave their slots used until a rebuild; compacting
    // renumbers the live ones from 0.
    if (rewrite() != BookStatus::Ok) return -1;
    working_.setReorderNeeded(false);
  }
  const int slot = names_.nextSlot();
  names_.setNextSlot(slot + 1);
  return slot;
}

void Book::setMarkOfListed(int position, int mark) {
  const auto& names = names_.mainNames();
  if (position >= 0 && static_cast<size_t>(position) < names.size())
    working_.setMark(names[static_cast<size_t>(position)].slot, mark);
}

int Book::markOfListed(int position) const {
  const auto& names = names_.mainNames();
  if (position < 0 || static_cast<size_t>(position) >= names.size()) return 0;
  return working_.mark(names[static_cast<size_t>(position)].slot);
}

std::vector<AddressRecord> Book::recordsInListOrder() const {
  std::vector<AddressRecord> records;
  const std::string bytes = working_.readAll();
  records.reserve(names_.mainNames().size());
  for (const NameEntry& entry : names_.mainNames()) {
    const long at = working_.offset(entry.slot);
    if (at <= 0) continue;
    auto record = adr::readRecordAt(bytes, static_cast<size_t>(at));
    if (!record) continue;
    record->slot = entry.slot;
    record->mark = working_.mark(entry.slot);
    records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace mv
