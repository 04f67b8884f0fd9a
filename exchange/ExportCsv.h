#pragma once
// The comma-separated export: a header of the chosen field names, then one line per
// record in list order. A pure function of the records; ExportFile puts it on disk.

#include "store/AddressRecord.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Which of the 28 fields go into the file, by field number, and at kExportNotes whether
// the notes follow them as the last column.
inline constexpr int kExportNotes = kFieldCount;
using ExportFields = std::array<bool, kFieldCount + 1>;

// The notes column's header.
inline constexpr const char* kExportNotesName = "Notes";

// Every field except the shared editor's copy (20, "buffer"), and the notes.
ExportFields defaultExportFields() noexcept;

// The whole file: the names of the chosen fields joined by ",", then the chosen values of
// each record, every line ended by CR LF. Text stays in the book's Windows-1252. Values
// are written as they stand, quoted only where the format needs it (a value starting
// with "=" or "+" is a formula to some spreadsheets, but a phone number here, and the
// file must read back exactly); the notes keep their line breaks.
std::string csvExportBytes(const std::vector<AddressRecord>& records, const ExportFields& fields);

}  // namespace mv
