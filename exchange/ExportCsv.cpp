#include "exchange/ExportCsv.h"

#include "exchange/Csv.h"

namespace mv {

ExportFields defaultExportFields() noexcept {
  ExportFields fields;
  fields.fill(true);
  fields[static_cast<size_t>(toInt(FieldId::Buffer))] = false;
  return fields;
}

std::string csvExportBytes(const std::vector<AddressRecord>& records,
                           const ExportFields& fields) {
  std::string out;
  const auto line = [&](auto valueOf) {
    bool first = true;
    for (int f = 0; f <= kExportNotes; ++f) {
      if (!fields[static_cast<size_t>(f)]) continue;
      if (!first) out += ',';
      first = false;
      out += valueOf(f);
    }
    out += "\r\n";
  };
  // Names are plain words of our own table: never quoted.
  line([](int f) {
    return std::string(f == kExportNotes ? kExportNotesName
                                         : fieldInfo(static_cast<FieldId>(f)).listName);
  });
  for (const AddressRecord& record : records) {
    line([&record](int f) {
      return csv::quoteValue(f == kExportNotes ? record.notes
                                               : record.fields[static_cast<size_t>(f)]);
    });
  }
  return out;
}

}  // namespace mv
