#include "store/Book.h"

#include "platform/Paths.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"
#include "store/Recovery.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    case BookStatus::ChangedOnDisk:
      return "The file was changed by another program since it was read; it was not "
             "written over and holds what that program wrote.";
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
  // The file as read, not the edits a crash left: those are this copy's, not the disk's.
  const FileStamp stamp = FileStamp::of(path, bytes);
  // After a crash, the user chose to get the edits back: they open, still unsaved.
  const std::optional<std::string> recovered = takeRecoveredBook(path);
  if (recovered) bytes = *recovered;
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
  working_.noteBookPath(path_);
  restored_ = recovered.has_value();
  stamp_ = stamp;
  working_.setChanged(restored_);
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
  stamp_ = FileStamp::read(path);
  working_.noteBookPath(path_);
  if (const BookStatus built = buildList(); built != BookStatus::Ok) {
    close();
    return built;
  }
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  return BookStatus::Ok;
}

void Book::close() {
  ++generation_;
  restored_ = false;
  working_.remove();
  working_.clearTables();
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  names_.clear();
  path_.clear();
  stamp_ = {};
  open_ = false;
  damaged_ = false;
}

BookStatus Book::buildList(bool sorted, const TitleFn& title) {
  if (!working_.isOpen()) return BookStatus::NotOpen;
  return buildFrom(working_.scan(), sorted, title);
}

BookStatus Book::buildFrom(const std::vector<ScannedRecord>& found, bool sorted,
                           const TitleFn& title) {
  std::vector<ListHead> heads(found.size());
  for (size_t i = 0; i < found.size(); ++i) {
    const ScannedRecord& rec = found[i];
    heads[i].offset = rec.offset;
    heads[i].mark = rec.mark;
    heads[i].group = rec[FieldId::Group];
    heads[i].key = nameKey(rec[FieldId::First], rec[FieldId::Last], rec[FieldId::Company], cardSort_);
    heads[i].damaged = rec.damaged;
  }
  return buildFrom(heads, sorted, title);
}

BookStatus Book::buildFrom(std::vector<ListHead>& found, bool sorted, const TitleFn& title) {
  // The notes of the new tables go to the disk together, once the list is built.
  struct HeldNotes {
    WorkingFile& file;
    explicit HeldNotes(WorkingFile& f) : file(f) { file.holdNotes(); }
    ~HeldNotes() { file.releaseNotes(); }
  } held(working_);
  ++generation_;
  const int total = names_.count() > 0 ? names_.count() : 1;
  names_.clear();
  working_.clearTables();
  damaged_ = std::any_of(found.begin(), found.end(),
                         [](const ListHead& rec) { return rec.damaged; });
  // Refuse rather than cut: the tables hold 2,000 slots, and a book cut here would lose
  // its last records at the next save.
  if (found.size() > static_cast<size_t>(adr::kMaxSlots)) return BookStatus::TooManyRecords;

  const bool showProgress = sorted && title;
  if (showProgress) title("Sorting items");
  int shown = -1;
  for (size_t i = 0; i < found.size(); ++i) {
    const int slot = static_cast<int>(i);
    ListHead& rec = found[i];
    working_.setOffset(slot, rec.offset);
    working_.setMark(slot, rec.mark);
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
    names_.insertRecord(slot, std::move(rec.key), rec.group, false);
  }
  if (sorted) names_.sortAll();
  names_.setNextSlot(static_cast<int>(found.size()));
  if (showProgress) title("");
  return BookStatus::Ok;
}

AddressRecord ListedRecord::read() const {
  AddressRecord record;
  record.slot = slot;
  record.mark = mark;
  record.initial = adr::parseStartLine(startLine).initial;
  for (int f = 0; f < fieldCount; ++f)
    record.fields[static_cast<size_t>(f)].assign(fields[static_cast<size_t>(f)]);
  adr::Reader notesReader(notes, 0, crLines);
  record.notes = notesReader.notes();
  return record;
}

namespace {

// adr::startLine() appended in place: saving writes one for every record, and a format
// string parsed each time costs more than the rest of the line.
void appendStartLine(std::string& out, int slot, char initial, int mark) {
  constexpr int kIntChars = 11;  // "-2147483648"
  char buf[2 * kIntChars + 8];
  char* p = buf;
  *p++ = adr::kRecordStart;
  *p++ = ' ';
  p = std::to_chars(p, p + kIntChars, slot).ptr;
  *p++ = ' ';
  *p++ = initial;
  *p++ = ' ';
  p = std::to_chars(p, p + kIntChars, mark).ptr;
  *p++ = '\n';
  out.append(buf, p);
}

// A number as std::to_string writes it, without a string of its own: the index has two
// for every record.
void appendNumber(std::string& out, long n) {
  char buf[24];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, n).ptr);
}

// The common case, found without the reader's checks on every line: 28 line feeds, each
// line at most 70 characters, and among those lines no record delimiter and no carriage
// return. Any reader takes such lines whole; every other record goes through the reader.
#if defined(__SSE2__)
// Sixteen bytes at a time: every byte that matters here (line feed, carriage return, the
// delimiters) lies below 0x20, and most blocks of text hold none but a line feed.
bool splitPlainFields(std::string_view bytes, size_t at, ListedRecord& rec, size_t& end) {
  const char* const base = bytes.data();
  const size_t size = bytes.size();
  const __m128i below = _mm_set1_epi8(0x1F);
  size_t lineStart = at;
  size_t block = at;
  size_t f = 0;
  while (block < size) {
    unsigned mask;
    if (size - block >= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + block));
      mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, below), v)));
    } else {
      mask = 0;
      for (size_t i = 0; i < size - block; ++i)
        if (static_cast<unsigned char>(base[block + i]) <= 0x1F) mask |= 1u << i;
    }
    while (mask != 0) {
      const size_t pos = block + static_cast<size_t>(__builtin_ctz(mask));
      mask &= mask - 1;
      const char c = base[pos];
      if (c == '\n') {
        if (pos - lineStart > kMaxFieldChars) return false;
        rec.fields[f++] = bytes.substr(lineStart, pos - lineStart);
        lineStart = pos + 1;
        if (f == rec.fields.size()) {
          rec.fieldCount = kFieldCount;
          rec.bodyAsStored = true;
          end = lineStart;
          return true;
        }
      } else if (c == '\r' || adr::isControlByte(c)) {
        return false;
      }
    }
    block += 16;
    if (block > lineStart && block - lineStart > kMaxFieldChars) return false;
  }
  return false;
}

// The notes of a record the writer ended: everything up to its 0x15 byte, when no other
// delimiter comes first. Found in one bounded pass for the first delimiter; any other
// record (no end byte near, a delimiter before it) is left to the reader.
bool findWrittenNotes(std::string_view bytes, size_t at, size_t& end) {
  constexpr size_t kWindow = adr::kMaxNotesRead + 2;
  const std::string_view window = bytes.substr(at, kWindow);
  const char* const base = window.data();
  const __m128i first = _mm_set1_epi8(adr::kRecordStart);
  const __m128i span = _mm_set1_epi8(adr::kEndOfRecords - adr::kRecordStart);
  size_t i = 0;
  for (; window.size() - i >= 16; i += 16) {
    const __m128i v =
        _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i)), first);
    const unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, span), v)));
    if (mask != 0) {
      i += static_cast<size_t>(__builtin_ctz(mask));
      break;
    }
  }
  while (i < window.size() && !adr::isControlByte(base[i])) ++i;
  if (i >= window.size() || base[i] != adr::kRecordEnd) return false;
  end = at + i;
  return true;
}
#else
bool splitPlainFields(std::string_view bytes, size_t at, ListedRecord& rec, size_t& end) {
  const char* const base = bytes.data();
  size_t pos = at;
  for (std::string_view& field : rec.fields) {
    const size_t window = std::min(kMaxFieldChars + 1, bytes.size() - pos);
    const void* lf = std::memchr(base + pos, '\n', window);
    if (!lf) return false;
    const size_t lineEnd = static_cast<size_t>(static_cast<const char*>(lf) - base);
    field = bytes.substr(pos, lineEnd - pos);
    pos = lineEnd + 1;
  }
  const std::string_view lines = bytes.substr(at, pos - at);
  for (const char c : {'\r', adr::kRecordStart, adr::kRecordEnd, adr::kEndOfRecords})
    if (lines.find(c) != std::string_view::npos) return false;
  rec.fieldCount = kFieldCount;
  rec.bodyAsStored = true;
  end = pos;
  return true;
}

// The notes of a record the writer ended: everything up to its 0x15 byte, when no other
// delimiter comes first. Found with a bounded search for that byte; any other record
// (no end byte near, a delimiter before it) is left to the reader.
bool findWrittenNotes(std::string_view bytes, size_t at, size_t& end) {
  constexpr size_t kWindow = adr::kMaxNotesRead + 2;
  const std::string_view window = bytes.substr(at, kWindow);
  const size_t close = window.find(adr::kRecordEnd);
  if (close == std::string_view::npos) return false;
  const std::string_view notes = window.substr(0, close);
  if (notes.find(adr::kRecordStart) != std::string_view::npos ||
      notes.find(adr::kEndOfRecords) != std::string_view::npos)
    return false;
  end = at + close;
  return true;
}
#endif

}  // namespace

void Book::forEachInListOrder(std::string_view bytes,
                              const std::function<void(const ListedRecord&)>& visit,
                              std::vector<int>* unreadable) const {
  ListedRecord rec;
  // Field values of a record the reader had to clean (carriage returns, over-long lines).
  std::array<std::string, kFieldCount> cleaned;
  const auto& names = names_.mainNames();
  for (size_t i = 0; i < names.size(); ++i) {
    const NameEntry& entry = names[i];
    const long at = working_.offset(entry.slot);
    if (at <= 0 || static_cast<size_t>(at) > bytes.size()) {
      if (unreadable) unreadable->push_back(static_cast<int>(i));
      continue;
    }
    // Found as every reader of records finds it, so the walk, the card and the rescan agree.
    const adr::StartLineAt start = adr::findStartLine(bytes, static_cast<size_t>(at));
    rec.position = static_cast<int>(i);
    rec.slot = entry.slot;
    rec.mark = working_.mark(entry.slot);
    rec.name = entry.text;
    rec.startLine = start.text;
    rec.crLines = start.crLines;
    const size_t bodyAt = start.next;
    size_t notesAt = bodyAt;
    if (size_t fieldsEnd = 0; !start.crLines && bodyAt < bytes.size() &&
                              splitPlainFields(bytes, bodyAt, rec, fieldsEnd)) {
      notesAt = fieldsEnd;
    } else {
      adr::Reader r = adr::Reader::atRecord(bytes, start);
      rec.fieldCount = 0;
      rec.bodyAsStored = false;
      for (size_t f = 0; f < cleaned.size(); ++f) {
        if (!r.field(cleaned[f])) break;
        rec.fields[f] = cleaned[f];
        ++rec.fieldCount;
      }
      for (size_t f = static_cast<size_t>(rec.fieldCount); f < rec.fields.size(); ++f)
        rec.fields[f] = {};
      notesAt = r.pos();
    }
    if (size_t notesEnd = 0; !start.crLines && findWrittenNotes(bytes, notesAt, notesEnd)) {
      rec.notes = bytes.substr(notesAt, notesEnd - notesAt);
    } else {
      // Up to the next control byte, with the line end written after the notes.
      adr::Reader r(bytes, notesAt, start.crLines);
      (void)r.notesText();
      rec.notes = bytes.substr(notesAt, r.pos() - notesAt);
    }
    rec.body = bytes.substr(bodyAt, notesAt + rec.notes.size() - bodyAt);
    visit(rec);
  }
}

void Book::forEachInListOrder(const std::function<void(const ListedRecord&)>& visit,
                              std::vector<int>* unreadable) const {
  if (!working_.isOpen()) return;
  forEachInListOrder(working_.bytes(), visit, unreadable);
}

std::string Book::serializeFrom(std::string_view bytes, std::vector<ListHead>* heads) const {
  struct IndexLine {
    std::string group;  // field 0 as read (a view could outlive a cleaned value)
    size_t offset;
    int mark;
    std::string_view text;
  };
  std::vector<IndexLine> index;
  index.reserve(names_.mainNames().size());
  if (heads) {
    heads->clear();
    heads->reserve(names_.mainNames().size());
  }

  std::string out(adr::kMagic);
  out += '\n';
  // The records and, in the trailer, an index entry of some hundred bytes for each.
  out.reserve(bytes.size() + names_.mainNames().size() * 128 + 1024);
  forEachInListOrder(bytes, [&](const ListedRecord& rec) {
    const size_t newOffset = out.size();
    // The start line is renewed: slot by position, initial by the list text, own mark.
    appendStartLine(out, static_cast<int>(index.size()), savedInitial(rec.name), rec.mark);
    // The field lines are copied as stored but each cut to 70 characters, so a line made
    // too long by hand does not leave the saved file unreadable for other programs. Most
    // records have no such line and go out in one piece.
    if (rec.bodyAsStored && rec.fieldCount > 0) {
      out += rec.body;
    } else {
      for (int f = 0; f < rec.fieldCount; ++f) {
        out += rec.fields[static_cast<size_t>(f)];
        out += '\n';
      }
      if (rec.fieldCount == 0) out += '\n';  // a record cut off right after its start
      // Then the notes and their line feed, byte for byte, up to the record's end.
      out += rec.notes;
    }
    out += adr::kRecordEnd;
    out += '\n';
    index.push_back(IndexLine{std::string(rec.group()), newOffset, rec.mark, rec.name});
    if (heads) {
      ListHead& head = heads->emplace_back();
      head.offset = static_cast<long>(newOffset) + 1;
      head.mark = rec.mark;
      head.group = rec.group();
      // Made now, while the record's bytes are at hand.
      assignNameKey(head.key, rec.fields[toInt(FieldId::First)], rec.fields[toInt(FieldId::Last)],
                    rec.fields[toInt(FieldId::Company)], cardSort_);
    }
  });

  const size_t trailerAt = out.size();
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
    out += '\n';
    appendNumber(out, static_cast<long>(line.offset));
    out += ' ';
    appendNumber(out, line.mark);
    out += '\n';
    out += line.text;
    out += '\n';
  }
  // A group name holding a record-start byte would read back as one more record: then the
  // heads are not what reading the bytes finds, and the caller reads them instead.
  if (heads && out.find(adr::kRecordStart, trailerAt) != std::string::npos) heads->clear();
  return out;
}

std::string Book::serialize() const { return serializeFrom(working_.bytes(), nullptr); }

BookStatus Book::writeBook(const std::filesystem::path& path) const {
  if (!open_ || !working_.isOpen()) return BookStatus::NotOpen;
  if (damaged_) return BookStatus::Damaged;
  return writeFileAtomically(path, serialize()) ? BookStatus::Ok : BookStatus::WriteError;
}

bool Book::isOwnFile(const std::filesystem::path& path) const {
  if (!open_) return false;
  if (path == path_) return true;
  std::error_code ec;
  return std::filesystem::equivalent(path, path_, ec);
}

BookStatus Book::save(OnDiskChange onChange) {
  if (path_.empty()) return BookStatus::NotOpen;
  if (!open_ || !working_.isOpen()) return BookStatus::NotOpen;
  if (damaged_) return BookStatus::Damaged;
  // Checked as late as can be, right before the bytes go out: another copy that saved
  // since this one read the book would otherwise lose its edits without a word.
  if (onChange == OnDiskChange::Refuse && stamp_.differsFrom(path_))
    return BookStatus::ChangedOnDisk;
  const std::string bytes = serialize();
  if (!writeFileAtomically(path_, bytes)) return BookStatus::WriteError;
  stamp_ = FileStamp::of(path_, bytes);
  ++generation_;
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  return BookStatus::Ok;
}

BookStatus Book::saveAs(const std::filesystem::path& path, OnDiskChange onChange) {
  if (isOwnFile(path)) return save(onChange);
  if (!open_ || !working_.isOpen()) return BookStatus::NotOpen;
  if (damaged_) return BookStatus::Damaged;
  const std::string bytes = serialize();
  if (!writeFileAtomically(path, bytes)) return BookStatus::WriteError;
  stamp_ = FileStamp::of(path, bytes);
  ++generation_;
  path_ = path;
  working_.noteBookPath(path_);
  working_.setChanged(false);
  working_.setReorderNeeded(false);
  return BookStatus::Ok;
}

BookStatus Book::rewrite(bool sorted, const TitleFn& title) {
  if (!open_ || !working_.isOpen()) return BookStatus::NotOpen;
  if (damaged_) return BookStatus::Damaged;
  const WorkingFile::Bytes source = working_.bytes();
  // The list is built from what the walk already knows of each record, not by reading
  // the new bytes again; `heads` points into `source`, kept until then.
  std::vector<ListHead> heads;
  const std::string bytes = serializeFrom(source, &heads);
  if (const BookStatus written = writeRewriteFile(bytes); written != BookStatus::Ok)
    return written;
  const BookStatus built =
      adoptRewriteFile(bytes, heads.empty() ? nullptr : &heads, sorted, title);
  if (built == BookStatus::WorkingFileError) return built;
  working_.setChanged(true);
  working_.setReorderNeeded(true);
  return built;
}

BookStatus Book::writeRewriteFile(std::string_view bytes) const {
  // "temp~adr.~~" is a scratch copy, not the user's file: a plain write will do.
  return writeScratchFile(rewritePath(), bytes) ? BookStatus::Ok : BookStatus::WriteError;
}

BookStatus Book::adoptRewriteFile(std::string_view bytes, std::vector<ListHead>* heads,
                                  bool sorted, const TitleFn& title) {
  if (!working_.takeOver(rewritePath())) {
    std::error_code ec;
    std::filesystem::remove(rewritePath(), ec);
    return BookStatus::WorkingFileError;
  }
  if (heads) return buildFrom(*heads, sorted, title);
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
  records.reserve(names_.mainNames().size());
  forEachInListOrder([&records](const ListedRecord& rec) { records.push_back(rec.read()); });
  return records;
}

}  // namespace mv
