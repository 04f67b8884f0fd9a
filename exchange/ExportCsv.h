#pragma once
// The comma-separated export: a header of the chosen field names, then one line per
// record in list order. A pure function of the records; ExportFile puts it on disk.

#include "store/AddressRecord.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Which of the 28 fields go into the file, by field number.
using ExportFields = std::array<bool, kFieldCount>;

// Every field except the shared editor's copy (20, "buffer").
ExportFields defaultExportFields() noexcept;

// The whole file: the names of the chosen fields joined by ",", then the chosen values of
// each record, every line ended by CR LF. Text stays in the book's Windows-1252.
std::string csvExportBytes(const std::vector<AddressRecord>& records, const ExportFields& fields);

}  // namespace mv
