// import: a CSV file into a new book, matching as the import dialog does, then the pairs
// given with --match; a .vcf file's cards map onto the fields by their property names.
// Prints what the dialog would tell: records, duplicates marked, values cut, characters
// replaced, lines left out, a quote never closed and the columns not matched. A file that
// is no text, or whose columns match nothing, makes no book.
#include "cli/Cli.h"
#include "cli/verbs/Verbs.h"
#include "exchange/ImportBook.h"
#include "exchange/Vcard.h"
#include "platform/Cp1252.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"

#include <filesystem>
#include <utility>

namespace mv::cli::verbs {
namespace {

// Writes an import's records as the new book and prints what the dialog would tell.
int writeImported(const imp::ImportedBook& result, const std::filesystem::path& bookPath,
                  const std::string& bookArg, std::ostream& out, std::ostream& err) {
  const std::optional<std::string> book = imp::bookBytes(result.records);
  if (!book) {
    err << "mervane-cli: the file holds more entries than one address book can keep.\n";
    return kFailure;
  }
  if (!writeFileAtomically(bookPath, *book)) {
    err << "mervane-cli: " << bookArg << " cannot be written: " << lastFileError() << ".\n";
    return kFailure;
  }
  out << "records: " << result.records.size() << "\n"
      << "duplicates: " << result.duplicates << "\n"
      << "values cut: " << result.valuesCut << "\n"
      << "characters replaced: " << result.replaced << "\n"
      << "lines left out: " << result.linesLeftOut + result.linesInUnclosedQuote << "\n";
  if (result.valuesLeftOut > 0) out << "values left out: " << result.valuesLeftOut << "\n";
  if (result.namelessLeftOut > 0) out << "cards left out: " << result.namelessLeftOut << "\n";
  if (result.unclosedQuoteLine > 0)
    out << "quote never closed: line " << result.unclosedQuoteLine << "\n";
  if (!result.columnsNotMatched.empty())
    out << "columns not matched: " << utf8(imp::joinedNames(result.columnsNotMatched)) << "\n";
  return kOk;
}

}  // namespace

int importFile(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 3) {
    err << kImportUsage;
    return kFailure;
  }
  const std::filesystem::path csvPath = args[1];
  const std::filesystem::path bookPath = args[2];
  std::vector<std::pair<std::string, std::string>> pairs;
  bool force = false;
  for (size_t i = 3; i < args.size(); ++i) {
    if (args[i] == "--force") {
      force = true;
      continue;
    }
    const auto eq = i + 1 < args.size() ? args[i + 1].rfind('=') : std::string::npos;
    if (args[i] != "--match" || eq == std::string::npos) {
      err << kImportUsage;
      return kFailure;
    }
    // Names are typed in the terminal's UTF-8; the file's names are Windows-1252.
    const QString pair = QString::fromStdString(args[++i]);
    const qsizetype at = pair.lastIndexOf(QLatin1Char('='));
    pairs.emplace_back(toCp1252(pair.left(at)), toCp1252(pair.mid(at + 1)));
  }
  std::error_code ec;
  if (std::filesystem::exists(bookPath, ec) && !force) {
    err << "mervane-cli: " << args[2] << " exists; give --force to replace it.\n";
    return kFailure;
  }
  std::string bytes;
  if (!readWholeFile(csvPath, bytes)) {
    err << "mervane-cli: " << args[1] << " cannot be read.\n";
    return kFailure;
  }
  if (hasExtensionIgnoreCase(csvPath.filename().string(), ".vcf")) {
    if (!pairs.empty()) {
      err << "mervane-cli: a vCard file's fields are matched by their names; --match is for CSV.\n";
      return kFailure;
    }
    const imp::ImportedBook cards = vcard::importCards(bytes);
    // No book is made of a file that gave nothing: an empty book reported as a success
    // hides that the file was not what it seemed.
    if (cards.records.empty()) {
      err << "mervane-cli: " << args[1] << " holds no cards. Nothing was imported.\n";
      return kFailure;
    }
    return writeImported(cards, bookPath, args[2], out, err);
  }
  const imp::ImportFile file = imp::parseImportFile(bytes);
  if (!file.text) {
    err << "mervane-cli: " << args[1] << " is not a text file; nothing was imported.\n";
    return kFailure;
  }
  imp::FieldMatch match;
  match.autoMatch(file.names);
  for (const auto& [importName, programName] : pairs) {
    int column = -1;
    for (size_t c = 0; c < file.names.size(); ++c) {
      if (equalsIgnoreCase(file.names[c], importName)) column = static_cast<int>(c);
    }
    const int field = imp::programFieldNamed(programName);
    if (column < 0 || field < 0) {
      err << "mervane-cli: --match " << utf8(importName) << "=" << utf8(programName) << ": "
          << (column < 0 ? "the file has no such field" : "there is no such program field")
          << ".\n";
      return kFailure;
    }
    match.match(column, field);
  }
  const imp::ImportedBook result = imp::importRecords(file, match);
  bool matched = false;
  for (int c = 0; c < match.importCount() && !matched; ++c) matched = match.imports(c);
  if (file.names.empty()) {
    err << "mervane-cli: " << args[1] << " is empty: no first line names its columns.\n";
    return kFailure;
  }
  if (!matched) {
    // An empty book would look like a success: say what the file has instead.
    err << "mervane-cli: no column of " << args[1]
        << " matches a field of Mervane; nothing was imported.\n"
        << "columns not matched: " << utf8(imp::joinedNames(result.columnsNotMatched)) << "\n"
        << "Match them by hand: --match \"IMPORT NAME=Program name\".\n";
    return kFailure;
  }
  return writeImported(result, bookPath, args[2], out, err);
}

}  // namespace mv::cli::verbs
