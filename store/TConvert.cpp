#include "store/TConvert.h"

#include "platform/Paths.h"
#include "store/AddressRecord.h"
#include "store/AdrFormat.h"
#include "store/AtomicFile.h"
#include "store/FileStamp.h"
#include "store/WorkingFile.h"

#include <array>
#include <cstdio>
#include <span>
#include <system_error>

namespace mv {
namespace {

using adr::kEndOfRecords;
using adr::kRecordEnd;
using adr::kRecordStart;

// Field lines of an old record in file order, each naming the field it fills.
constexpr std::array<FieldId, 21> kFields1800 = {
    FieldId::First,   FieldId::Last,      FieldId::MrMs,   FieldId::Title,  FieldId::Company,
    FieldId::Address1, FieldId::City,     FieldId::Zip,    FieldId::Home,   FieldId::Office,
    FieldId::Email,   FieldId::WebSite,   FieldId::Buffer, FieldId::Fax,    FieldId::Mobile,
    FieldId::Home2,   FieldId::Office2,   FieldId::Email2, FieldId::Web2,   FieldId::NewsGroup,
    FieldId::Other,
};
constexpr std::array<FieldId, 24> kFields306 = {
    FieldId::First,   FieldId::Last,    FieldId::MrMs,      FieldId::Title,   FieldId::Company,
    FieldId::Address1, FieldId::City,   FieldId::State,     FieldId::Zip,     FieldId::Country,
    FieldId::Home,    FieldId::Office,  FieldId::Mobile,    FieldId::Email,   FieldId::WebSite,
    FieldId::Buffer,  FieldId::Fax,     FieldId::Home2,     FieldId::Office2, FieldId::Email2,
    FieldId::Web2,    FieldId::NewsGroup, FieldId::FtpSite, FieldId::Other,
};

// Reads the old file the way a fixed line buffer would: at most maxChars characters,
// ending after a line feed. Returns false at the end of the file. A line also ends
// before a record's start byte: a record damaged short of its field lines must not take
// the next record's start line for a field and so lose that record.
class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
  bool atEnd() const noexcept { return pos_ >= bytes_.size(); }
  char next() noexcept { return bytes_[pos_++]; }
  void back() noexcept { --pos_; }

  bool readLine(size_t maxChars, std::string& out) {
    out.clear();
    if (atEnd() || bytes_[pos_] == kRecordStart) return false;
    while (!atEnd() && bytes_[pos_] != kRecordStart && out.size() < maxChars) {
      const char c = next();
      out.push_back(c);
      if (c == '\n') break;
    }
    return true;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

std::span<const FieldId> layoutOf(OldFormat format) {
  if (format == OldFormat::V1800) return kFields1800;
  return kFields306;
}

}  // namespace

OldFormat oldFormatOf(std::string_view firstWord) noexcept {
  if (firstWord == adr::kMagic1800) return OldFormat::V1800;
  if (firstWord == adr::kMagic306) return OldFormat::V306;
  return OldFormat::None;
}

std::string convertOldBook(std::string_view oldBytes, OldFormat format) {
  std::string out(adr::kMagic);
  out += '\n';
  if (format == OldFormat::None) return out;
  const auto layout = layoutOf(format);
  Cursor in(oldBytes);
  std::string line;
  int counter = 0;
  while (!in.atEnd()) {
    if (in.next() != kRecordStart) continue;  // magic line, trailer, stray text

    AddressRecord r;
    in.readLine(73, line);  // the old start line; its numbers are not kept
    for (FieldId f : layout) {
      // An old field line holds at most 68 characters before its line feed. A line that
      // runs out at the end of the file gives what was there.
      if (!in.readLine(69, line)) break;
      if (!line.empty() && line.back() == '\n') line.pop_back();
      // The delimiters and a stray carriage return must not reach a field line.
      r[f] = cleanFieldText(line);
    }

    const std::string shown =
        r[FieldId::First] + ' ' + r[FieldId::Last] + " - " + r[FieldId::Company];
    char start[48];
    const int n =
        std::snprintf(start, sizeof start, "%c %d %c\n", kRecordStart, counter, shown.front());
    out.append(start, n > 0 ? static_cast<size_t>(n) : 0);  // the initial may be a NUL
    for (const auto& field : r.fields) {
      out += field;
      out += '\n';
    }

    // Notes, byte for byte, up to and including the record's 0x15. The next record's
    // 0x14 or the end of the file closes them too; so does the old end-of-records byte,
    // which must not end up inside a record.
    while (true) {
      if (in.atEnd()) {
        out += kRecordEnd;
        break;
      }
      const char c = in.next();
      if (c == kRecordStart) {
        out += kRecordEnd;
        in.back();
        break;
      }
      if (c == kEndOfRecords) {
        out += kRecordEnd;
        break;
      }
      out += c;
      if (c == kRecordEnd) break;
    }
    ++counter;
  }
  return out;
}

TConvert::TConvert() : scratch_(scratchDir() / "~tmp~.~") {}

TConvert::~TConvert() {
  std::error_code ec;
  std::filesystem::remove(scratch_, ec);
}

ConvertStatus TConvert::convert(const std::filesystem::path& path, std::string_view firstWord) {
  records_ = 0;
  const OldFormat format = oldFormatOf(firstWord);
  if (format == OldFormat::None) return ConvertStatus::NotOldFormat;

  std::string oldBytes;
  if (!readWholeFile(path, oldBytes)) return ConvertStatus::ReadFailed;
  const FileStamp stamp = FileStamp::of(path, oldBytes);
  const std::string converted = convertOldBook(oldBytes, format);
  // A converted book that could not be opened would leave the user with neither the old
  // file nor a usable new one: the limit is checked before anything is written.
  records_ = static_cast<int>(WorkingFile::scan(converted).size());
  if (records_ > adr::kMaxSlots) return ConvertStatus::TooManyRecords;

  // The converted book goes to the scratch file first, and the book is replaced from
  // what was actually written there.
  if (!writeScratchFile(scratch_, converted)) return ConvertStatus::WriteFailed;
  // The old file is replaced only while it still holds what was converted.
  if (stamp.differsFrom(path)) return ConvertStatus::ChangedOnDisk;
  if (!copyFileAtomically(scratch_, path)) return ConvertStatus::WriteFailed;
  return ConvertStatus::Converted;
}

}  // namespace mv
