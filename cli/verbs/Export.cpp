// export: the book as the export wizard writes it, comma-separated with the chosen
// fields, as plain text, as a vCard file, as web pages or as cover letters.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "exchange/ExportFile.h"
#include "exchange/ExportHtml.h"
#include "exchange/ExportRtf.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "store/Book.h"

#include <algorithm>
#include <filesystem>

namespace mv::cli::verbs {
namespace {

const char* entries(size_t n) { return n == 1 ? " entry" : " entries"; }

// export --html: the pages of the web-page export into DIR.
int exportWeb(const Book& book, const std::filesystem::path& dir, std::ostream& out,
              std::ostream& err) {
  const WebExport web = exportWebFolder(dir, [&book] { return webBook(book); }, programDir());
  switch (web.status) {
    case WebExport::Status::NoFolder:
      err << "mervane-cli: " << pathText(dir) << ": Can't create directory!! (" << web.reason
          << ")\n";
      return kFailure;
    case WebExport::Status::NotWritten:
      for (const std::string& f : web.failed)
        err << "mervane-cli: " << pathText(dir / f) << ": Unable to open file (" << web.reason
            << ")\n";
      return kFailure;
    case WebExport::Status::Written: break;
  }
  out << "Exported " << web.entries << entries(web.entries) << " to " << pathText(web.page())
      << "\n";
  return kOk;
}

// export --rtf: the letters, with the texts of --before and --after or the kept ones.
int exportLetters(const Book& book, const std::filesystem::path& target,
                  const std::optional<std::filesystem::path>& beforeFile,
                  const std::optional<std::filesystem::path>& afterFile, std::ostream& out,
                  std::ostream& err) {
  std::string texts[2];
  const std::optional<std::filesystem::path>* given[2] = {&beforeFile, &afterFile};
  const char* kept[2] = {kLetterBeforeFile, kLetterAfterFile};
  for (int i = 0; i < 2; ++i) {
    if (*given[i]) {
      if (!readWholeFile(**given[i], texts[i])) {
        err << "mervane-cli: " << pathText(**given[i]) << " cannot be read.\n";
        return kFailure;
      }
    } else if (!readWholeFile(programDir() / kept[i], texts[i])) {
      texts[i].clear();  // no text kept: none in the letters, as in the window
    }
  }
  const std::vector<AddressRecord> records = exportRecords(book);
  if (!writeExportFile(target, rtfLettersBytes(records, texts[0], texts[1]))) {
    err << "mervane-cli: " << pathText(target) << ": Unable to open file (" << lastFileError()
        << ")\n";
    return kFailure;
  }
  out << "Exported " << records.size() << entries(records.size()) << " to " << pathText(target)
      << "\n";
  return kOk;
}

// "0,2,3": field numbers 0..27 and 28 for the notes, each at most once.
std::optional<ExportFields> parseFields(const std::string& list) {
  ExportFields fields{};
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string word = list.substr(start, comma - start);
    if (word.empty() || word.size() > 2 ||
        word.find_first_not_of("0123456789") != std::string::npos)
      return std::nullopt;
    const int f = std::stoi(word);
    if (f > kExportNotes || fields[static_cast<size_t>(f)]) return std::nullopt;
    fields[static_cast<size_t>(f)] = true;
    start = comma + 1;
  }
  return fields;
}

}  // namespace

int exportBook(const Args& args, std::ostream& out, std::ostream& err) {
  std::optional<ExportFormat> format;
  std::optional<std::string> other;  // "--html" or "--rtf"
  std::filesystem::path target;
  std::optional<std::filesystem::path> before, after;
  ExportFields fields = defaultExportFields();
  bool fieldsGiven = false;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--csv" || a == "--text" || a == "--vcard") && !format && !other &&
        i + 1 < args.size()) {
      format = a == "--csv" ? ExportFormat::Csv
               : a == "--vcard" ? ExportFormat::Vcard
                                : ExportFormat::Text;
      target = args[++i];
    } else if ((a == "--html" || a == "--rtf") && !format && !other && i + 1 < args.size()) {
      other = a;
      target = args[++i];
    } else if (a == "--before" && !before && i + 1 < args.size()) {
      before = args[++i];
    } else if (a == "--after" && !after && i + 1 < args.size()) {
      after = args[++i];
    } else if (a == "--fields" && !fieldsGiven && i + 1 < args.size()) {
      const auto parsed = parseFields(args[++i]);
      if (!parsed) {
        err << "mervane-cli: --fields takes field numbers 0 to 27 (28 for the notes) "
               "separated by commas.\n";
        return kFailure;
      }
      fields = *parsed;
      fieldsGiven = true;
    } else {
      err << kExportUsage;
      return kFailure;
    }
  }
  const bool letters = other && *other == "--rtf";
  if ((!format && !other) || (fieldsGiven && format != ExportFormat::Csv) ||
      ((before || after) && !letters)) {
    err << kExportUsage;
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  if (other) {
    return letters ? exportLetters(book, target, before, after, out, err)
                   : exportWeb(book, target, out, err);
  }
  const std::vector<AddressRecord> records = exportRecords(book);
  if (!writeExportFile(target, exportBytes(records, *format, fields))) {
    err << "mervane-cli: " << pathText(target) << ": Unable to open file (" << lastFileError()
        << ")\n";
    return kFailure;
  }
  out << "Exported " << records.size() << entries(records.size()) << " to " << pathText(target)
      << "\n";
  return kOk;
}

}  // namespace mv::cli::verbs
