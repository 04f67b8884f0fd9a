#include "exchange/ExportFile.h"

#include "exchange/ExportText.h"
#include "exchange/Vcard.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"
#include "store/Book.h"

namespace mv {

std::vector<AddressRecord> exportRecords(const Book& book) {
  return book.recordsInListOrder();
}

std::string exportBytes(const std::vector<AddressRecord>& records, ExportFormat format,
                        const ExportFields& fields) {
  switch (format) {
    case ExportFormat::Csv: return csvExportBytes(records, fields);
    case ExportFormat::Vcard: return vcard::exportCards(records);
    case ExportFormat::Text: break;
  }
  return textExportBytes(records);
}

std::filesystem::path withExportExtension(const std::filesystem::path& path,
                                          ExportFormat format) {
  const char* ext = format == ExportFormat::Csv     ? ".csv"
                    : format == ExportFormat::Vcard ? ".vcf"
                                                    : ".txt";
  return withExtension(path, ext);
}

bool writeExportFile(const std::filesystem::path& path, const std::string& bytes) {
  return writeFileAtomically(path, bytes);
}

std::string csvCompleteText(const std::filesystem::path& path) {
  return fillFormat("Data has been saved in:\n%s\n\nDo you wish to open the parent folder?",
                    {pathText(std::filesystem::absolute(path))});
}

std::string unableToWriteText(const std::filesystem::path& path) {
  return pathText(path) + "\n\n" + lastFileError();
}

}  // namespace mv
