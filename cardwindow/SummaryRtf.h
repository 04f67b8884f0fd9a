#pragma once
// The Link page's summary of one record: an RTF text handed to the summary view.
// Telephone, e-mail, web, news and FTP values are underlined and followed by the launch
// command number in the background colour, so that a click on the value knows which
// command to send.

#include "platform/Paths.h"
#include "store/AddressRecord.h"

#include <string>
#include <string_view>

namespace mv {

// The summary reaches its view without a file; the frame removes a scratch file of this
// name at exit, left by earlier versions.
inline constexpr const char* kSummaryFileName = kSummaryScratchName;

// The whole summary text of a record (Windows-1252 bytes, line feeds).
std::string summaryRtf(const AddressRecord& record);

}  // namespace mv
