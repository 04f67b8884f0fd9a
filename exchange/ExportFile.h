#pragma once
// What the export wizard, Save As with the CSV type and mervane-cli share: the book's
// records in list order turned into a file's bytes and put on disk in one piece, and the
// texts the window shows afterwards.

#include "exchange/ExportCsv.h"
#include "platform/Paths.h"  // withExtension, for the export's file names

#include <filesystem>
#include <string>

namespace mv {

class Book;

enum class ExportFormat { Csv, Text, Vcard };

// The records of the open book in list order; nothing is written to the scratch folder
// and the book keeps its path.
std::vector<AddressRecord> exportRecords(const Book& book);

// The bytes of one export.
std::string exportBytes(const std::vector<AddressRecord>& records, ExportFormat format,
                        const ExportFields& fields = defaultExportFields());

// `path` with ".csv" or ".txt" appended unless it already ends so (any letter case).
std::filesystem::path withExportExtension(const std::filesystem::path& path,
                                          ExportFormat format);

// Writes the file atomically: false, and no file of that name left changed or half
// written, when it cannot be created or completely written.
[[nodiscard]] bool writeExportFile(const std::filesystem::path& path, const std::string& bytes);

// "Unable to open file" is the caption of the failure message; its text is the path and
// why it could not be written (the system's words).
inline constexpr const char* kUnableToOpenCaption = "Unable to open file";
std::string unableToWriteText(const std::filesystem::path& path);
inline constexpr const char* kCsvCompleteCaption = "CSV Export is complete";
// "Data has been saved in:\n%s\n\nDo you wish to open the parent folder?" (UTF-8).
std::string csvCompleteText(const std::filesystem::path& path);

}  // namespace mv
