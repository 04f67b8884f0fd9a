// The CSV import reader: decoding, separator, records, field matching and the new
// book's bytes.
#include "exchange/Csv.h"
#include "exchange/ImportBook.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  using namespace mv::imp;
  const std::string_view bytes = fuzz::bytesOf(data, size);
  const ImportFile file = parseImportFile(bytes);
  FieldMatch match(static_cast<int>(file.names.size()));
  match.autoMatch(file.names);
  const ImportedBook book = importRecords(file, match);
  (void)bookBytes(book.records);
  (void)importNotice(book);
  // Every separator over the raw text too.
  for (char sep : {',', ';', '\t'}) {
    csv::Reader reader(bytes, sep);
    std::vector<std::string> values;
    while (reader.next(values)) {
    }
  }
  return 0;
}
