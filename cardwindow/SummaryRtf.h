#pragma once
// The Link page's summary of one record: an RTF text written to "tmprtf~.~" and shown
// in the summary view. Telephone, e-mail, web, news and FTP values are underlined and
// followed by the launch command number in the background colour, so that a click on
// the value knows which command to send.

#include "platform/Paths.h"
#include "store/AddressRecord.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

inline constexpr const char* kSummaryFileName = kSummaryScratchName;

// A field value made safe for RTF text: backslash and braces are escaped, so that a
// value such as "{x}" shows as typed instead of breaking the summary.
std::string escapeRtf(std::string_view value);

// The whole summary text of a record (Windows-1252 bytes, line feeds).
std::string summaryRtf(const AddressRecord& record);

// Rewrites the summary file with the record's summary; false when it cannot be written.
[[nodiscard]] bool writeSummaryFile(const std::filesystem::path& file, const AddressRecord& record);

// Creates the summary file empty (when the window opens).
[[nodiscard]] bool createEmptySummaryFile(const std::filesystem::path& file);

}  // namespace mv
