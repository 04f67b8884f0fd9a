// The older-format converter: both formats, and what it makes must be a book that opens.
#include "fuzz/FuzzSupport.h"
#include "store/TConvert.h"
#include "store/WorkingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const std::string_view bytes = fuzz::bytesOf(data, size);
  for (OldFormat format : {OldFormat::V1800, OldFormat::V306}) {
    const std::string converted = convertOldBook(bytes, format);
    for (const ScannedRecord& r : WorkingFile::scan(converted))
      (void)adr::readRecordAt(converted, static_cast<size_t>(r.offset));
  }
  return 0;
}
