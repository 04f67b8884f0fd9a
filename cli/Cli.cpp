#include "cli/Cli.h"

#include "exchange/ImportBook.h"
#include "exchange/Vcard.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "exchange/ExportFile.h"
#include "exchange/ExportHtml.h"
#include "exchange/ExportRtf.h"
#include "store/AdrFormat.h"
#include "store/Book.h"
#include "store/Converter.h"
#include "store/Duplicates.h"
#include "store/Rescan.h"
#include "platform/Prompter.h"
#include "printing/LabelTemplates.h"
#include "printing/PrinterCalibration.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "settings/SettingsFiles.h"
#include "printing/PrintJob.h"
#include "session/AppSession.h"
#include "printing/qt/PdfExport.h"

#include <QGuiApplication>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string_view>

namespace mv::cli {
namespace {

using Args = std::vector<std::string>;

std::string utf8(const std::string& cp1252) { return fromCp1252(cp1252).toUtf8().toStdString(); }

std::optional<int> parseOrder(const std::string& word) {
  if (word == "first") return 0;
  if (word == "last") return 1;
  if (word == "company") return 2;
  return std::nullopt;
}

const char* orderName(int order) {
  return order == 1 ? "last name" : (order == 2 ? "company" : "first name");
}

// The order named after `option` (first, last or company). False when anything else
// follows the book: an unknown word, the option without a value, or an unknown order.
bool orderOption(const std::vector<std::string>& args, const std::string& option,
                 std::optional<int>& order) {
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] != option || i + 1 >= args.size()) return false;
    order = parseOrder(args[++i]);
    if (!order) return false;
  }
  return true;
}

// Everything a verb needs before it touches a book: the file exists, can be read and is
// a book of the current format. Returns the exit code on failure.
std::optional<int> checkBook(const std::string& arg, std::ostream& err, bool olderIsOk = false) {
  const std::filesystem::path path = arg;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    err << "mervane-cli: " << arg << " does not exist.\n";
    return kFailure;
  }
  const adr::FirstWord first = adr::readFirstWord(path);
  switch (adr::classify(first)) {
    case adr::BookKind::Unreadable:
      err << "mervane-cli: " << arg << " cannot be read.\n";
      return kFailure;
    case adr::BookKind::NotABook:
      err << "mervane-cli: " << arg << " is not a Mervane address book.\n";
      return kFailure;
    case adr::BookKind::Older:
      if (olderIsOk) return std::nullopt;
      err << "mervane-cli: " << arg << " is an older address book (" << first.word
          << "); convert it first with: mervane-cli convert " << arg << "\n";
      return kFailure;
    case adr::BookKind::Current:
      return std::nullopt;
  }
  return kFailure;
}

std::optional<int> openBook(Book& book, const std::string& arg, std::ostream& err) {
  if (auto failed = checkBook(arg, err)) return failed;
  const BookStatus status = book.open(arg);
  if (status != BookStatus::Ok) {
    err << "mervane-cli: " << arg << ": " << describe(status) << "\n";
    return kFailure;
  }
  return std::nullopt;
}

int saveBook(Book& book, const std::string& arg, std::ostream& err) {
  const BookStatus status = book.save();
  if (status != BookStatus::Ok) {
    err << "mervane-cli: " << arg << ": " << describe(status) << "\n";
    return kFailure;
  }
  return kOk;
}

int check(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  if (auto failed = checkBook(arg, err, true)) return *failed;
  const adr::FirstWord first = adr::readFirstWord(arg);
  out << "first word: " << utf8(first.word) << "\n";
  if (adr::classify(first) == adr::BookKind::Older) {
    out << "older format: convert it with: mervane-cli convert " << arg << "\n";
    return kOlderFormat;
  }
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  out << "records: " << book.names().count() << "\n";
  if (book.isDamaged())
    out << "damaged: repair it with: mervane-cli rescan " << arg << "\n";
  for (const GroupEntry& group : book.names().groups())
    out << "group: " << utf8(group.name) << " (" << group.names.size() << ")\n";
  return kOk;
}

int list(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<int> order;
  if (!orderOption(args, "--sort", order)) {
    err << "mervane-cli: list takes only --sort first, last or company.\n";
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  if (order) {
    book.setCardSort(*order);
    if (const BookStatus built = book.buildList(true); built != BookStatus::Ok) {
      err << "mervane-cli: " << describe(built) << "\n";
      return kFailure;
    }
  }
  for (const GroupEntry& group : book.names().groups()) {
    out << utf8(group.name) << "\n";
    for (const NameEntry& name : group.names) out << "  " << utf8(name.text) << "\n";
  }
  return kOk;
}

QJsonValue jsonText(const std::string& cp1252) { return QJsonValue(fromCp1252(cp1252)); }

int dump(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  QJsonArray records;
  for (const AddressRecord& r : book.recordsInListOrder()) {
    QJsonArray fields;
    for (const std::string& field : r.fields) fields.append(jsonText(field));
    records.append(QJsonObject{{"slot", r.slot},
                               {"initial", jsonText(std::string(1, r.initial))},
                               {"mark", r.mark},
                               {"fields", fields},
                               {"notes", jsonText(r.notes)}});
  }
  out << QJsonDocument(records).toJson(QJsonDocument::Indented).toStdString();
  return kOk;
}

int sort(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<int> order;
  if (!orderOption(args, "--by", order) || !order) {
    err << "mervane-cli: sort needs --by first, last or company.\n";
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  if (const BookStatus status = book.sort(*order); status != BookStatus::Ok) {
    err << "mervane-cli: " << args[1] << ": " << describe(status) << "\n";
    return kFailure;
  }
  if (const int saved = saveBook(book, args[1], err); saved != kOk) return saved;
  out << "sorted " << book.names().count() << " entries by " << orderName(*order) << "\n";
  return kOk;
}

int convert(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  if (auto failed = checkBook(arg, err, true)) return *failed;
  const adr::FirstWord first = adr::readFirstWord(arg);
  if (adr::classify(first) == adr::BookKind::Current) {
    out << "already in the current format\n";
    return kOk;
  }
  // The one conversion the window makes too: checked, converted and written in one step,
  // so that the file is either the old book or the whole new one.
  TConvert converter;
  switch (converter.convert(arg, first.word)) {
    case ConvertStatus::Converted: break;
    case ConvertStatus::NotOldFormat:
      err << "mervane-cli: " << arg << " is not a format that can be converted.\n";
      return kFailure;
    case ConvertStatus::ReadFailed:
      err << "mervane-cli: " << arg << " cannot be read.\n";
      return kFailure;
    case ConvertStatus::TooManyRecords:
      err << "mervane-cli: " << arg << " holds " << converter.records()
          << " entries, more than the " << adr::kMaxSlots
          << " a book can hold; it was not converted and is unchanged.\n";
      return kFailure;
    case ConvertStatus::WriteFailed:
      err << "mervane-cli: " << arg << " could not be converted; the file is unchanged.\n";
      return kFailure;
  }
  out << "converted " << converter.records() << " entries from " << utf8(first.word) << " to "
      << adr::kMagic << "\n";
  return kOk;
}

// The groups of entries that look alike, as the duplicates window lists them: what they
// share, then each entry by its name and slot.
int duplicates(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  const std::vector<DuplicateGroup> groups = findDuplicates(book);
  for (const DuplicateGroup& g : groups) {
    out << reasonName(g.reason) << ": " << utf8(g.shared) << "\n";
    for (int slot : g.members) {
      const std::optional<AddressRecord> r = book.readRecord(slot);
      if (r) out << "  " << slot << "\t" << utf8(nameKey(*r, book.cardSort())) << "\n";
    }
  }
  out << groups.size() << (groups.size() == 1 ? " group" : " groups") << "\n";
  return kOk;
}

// The rescan the user asked for, saved at once. What it found goes to stdout once the book
// is saved; a failure goes to stderr, and then the file is as it was.
int rescan(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args[1];
  Book book;
  if (auto failed = openBook(book, arg, err)) return *failed;
  const RescanStatus status = rescanWorkingFile(book, {});
  const auto tell = [&](std::ostream& to) {
    for (const Message& message : rescanMessages(status))
      to << (message.coding == TextCoding::Utf8 ? message.text : utf8(message.text)) << "\n";
  };
  if (!rescanned(status)) {
    tell(err);
    err << "mervane-cli: " << arg << " could not be rescanned; the file is unchanged.\n";
    return kFailure;
  }
  if (const int saved = saveBook(book, arg, err); saved != kOk) return saved;
  tell(out);
  out << "rescanned " << book.names().count() << " entries\n";
  return kOk;
}

// print: the pages of a layout to a PDF file, drawn as the printer gets them, with the
// settings of an optional settings file.
constexpr const char* kPrintUsage =
    "usage: mervane-cli print BOOK --layout 1074..1080 --pdf OUT [--pages A-B]"
    " [--mode default|double|even|odd] [--copies N] [--settings INI] [--blank]"
    " [--unused c,r;c,r...] [--paper NAME] [--landscape] [--printer NAME]\n"
    "  --paper (Qt's page-size names: Letter, A4, Comm10E, DLE, C5E ...) and --landscape\n"
    "  are for the envelope (1079), one page per entry; without them it is Letter in the\n"
    "  orientation Envelope Landscape of the settings file remembers.\n"
    "  --printer NAME moves printed labels and envelopes by that printer's calibration.\n";

std::optional<int> parseMode(const std::string& word) {
  if (word == "default") return printMode::kDefault;
  if (word == "double") return printMode::kDoubleSided;
  if (word == "even") return printMode::kEvenPages;
  if (word == "odd") return printMode::kOddPages;
  return std::nullopt;
}

// The settings' messages go to stderr; a question is answered No, which leaves things
// as the program has them at start.
class StderrPrompter final : public Prompter {
 public:
  explicit StderrPrompter(std::ostream& err) : err_(err) {}
  Answer ask(const Message& message) override {
    std::string text = message.text;
    for (char& c : text)
      if (c == '\n') c = ' ';
    const bool question =
        message.buttons == Buttons::YesNo || message.buttons == Buttons::YesNoCancel;
    err_ << "mervane-cli: " << utf8(text) << (question ? " No.\n" : "\n");
    return question ? Answer::No : Answer::Ok;
  }

 private:
  std::ostream& err_;
};

// Fonts need a GUI application; without a display the offscreen platform serves.
void ensureGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "mervane-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

int print(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  int layout = 0;
  std::string pdf;
  std::string settings;
  int from = 1;
  int to = 1 << 30;
  bool ranged = false;
  int mode = printMode::kDefault;
  int copies = 1;
  bool blank = false;
  LabelGrid labelGrid;  // the labels in use are never stored: all, less those named
  std::optional<QPageSize> paper;
  bool landscape = false;
  bool envelopeOptions = false;
  std::optional<std::string> printer;  // whose calibration moves labels and envelopes
  for (size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--blank") {
      blank = true;
    } else if (a == "--landscape") {
      landscape = envelopeOptions = true;
    } else if (a == "--paper" && hasValue) {
      envelopeOptions = true;
      paper = pageSizeNamed(args[++i]);
      if (!paper) {
        err << "mervane-cli: --paper " << args[i]
            << ": no such paper size; give a name such as Letter, A4, Comm10E, DLE or C5E.\n";
        return kFailure;
      }
    } else if (a == "--layout" && hasValue) {
      layout = std::atoi(args[++i].c_str());
    } else if (a == "--pdf" && hasValue) {
      pdf = args[++i];
    } else if (a == "--settings" && hasValue) {
      settings = args[++i];
    } else if (a == "--printer" && hasValue) {
      printer = toCp1252(QString::fromStdString(args[++i]));
    } else if (a == "--unused" && hasValue) {
      if (!markUnusedLabels(args[++i], labelGrid)) {
        err << "mervane-cli: --unused takes labels as column,row from 0, such as 0,0;2,9.\n"
            << kPrintUsage;
        return kFailure;
      }
    } else if (a == "--pages" && hasValue) {
      if (std::sscanf(args[++i].c_str(), "%d-%d", &from, &to) != 2 || from < 1 || to < from) {
        err << "mervane-cli: --pages takes a range such as 2-5.\n" << kPrintUsage;
        return kFailure;
      }
      ranged = true;
    } else if (a == "--mode" && hasValue) {
      const std::optional<int> m = parseMode(args[++i]);
      if (!m) {
        err << kPrintUsage;
        return kFailure;
      }
      mode = *m;
    } else if (a == "--copies" && hasValue) {
      char* end = nullptr;
      const long n = std::strtol(args[++i].c_str(), &end, 10);
      if (end == args[i].c_str() || *end != '\0' || n < 1 || n > 999) {
        err << "mervane-cli: --copies takes a number from 1 to 999.\n" << kPrintUsage;
        return kFailure;
      }
      copies = static_cast<int>(n);
    } else {
      err << kPrintUsage;
      return kFailure;
    }
  }
  if ((!isAddressBookLayout(layout) && layout != kLabelsLayout && layout != kEnvelopeLayout) ||
      pdf.empty()) {
    err << kPrintUsage;
    return kFailure;
  }
  if (envelopeOptions && layout != kEnvelopeLayout) {
    err << "mervane-cli: --paper and --landscape are for the envelope (--layout 1079).\n";
    return kFailure;
  }
  if (!settings.empty() && !std::filesystem::exists(settings)) {
    err << "mervane-cli: " << settings << " does not exist.\n";
    return kFailure;
  }
  Book book;
  if (auto failed = openBook(book, args[1], err)) return *failed;
  ensureGuiApplication();
  StderrPrompter prompter(err);
  // The same session the window prints through, with the settings file's settings in
  // force and the book as the window would show it.
  AppSession session{std::filesystem::path(settings)};
  session.loadSettings(prompter, layout);
  AppState& state = session.state();
  state.hideAddresses = blank;
  state.labelGrid = labelGrid;
  session.setBook(&book);
  if (const int unreadable = session.reloadPages(); unreadable > 0)
    err << "mervane-cli: " << unreadableEntriesMessage(unreadable, layout) << "\n";
  const PrinterOffset offset =
      printer ? readPrinterOffset(settings.empty() ? mervaneIni() : std::filesystem::path(settings),
                                  *printer)
              : PrinterOffset{};
  const bool envelopeLandscape =
      layout == kEnvelopeLayout && (landscape || session.envelopeLandscape());
  // The range counts what the print dialog lists: pages, or sheets two on one.
  const SettledRange settled =
      settlePrintRange({!ranged, from, to, mode}, printableCount(session.currentJob(), mode));
  if (settled.refusal) {
    book.close();
    std::string text = *settled.refusal;
    for (char& c : text)
      if (c == '\n') c = ' ';
    err << "mervane-cli: " << text << "\n";
    return kFailure;
  }
  const PageJob job = session.printJob(settled.range, envelopeLandscape, offset);
  const PrintPlan plan = planPrint(job, settled.range, copies);
  const PdfResult written =
      layout == kEnvelopeLayout
          ? writePlanPdf(job, plan, pdf, paper.value_or(QPageSize(QPageSize::Letter)))
          : writePlanPdf(job, plan, pdf);
  book.close();
  if (!written.ok) {
    err << "mervane-cli: " << pdf << ": " << written.error << "\n";
    return kFailure;
  }
  out << "Wrote " << written.sheets << (written.sheets == 1 ? " sheet" : " sheets") << " of "
      << layoutShortNameOfCommand(layout) << " (" << pagesText(job.count.pages) << ") to " << pdf
      << "\n";
  return kOk;
}

// Writes an import's records as the new book and prints what the dialog would tell.
int writeImported(const imp::ImportedBook& result, const std::filesystem::path& bookPath,
                  const std::string& bookArg, std::ostream& out, std::ostream& err) {
  const std::optional<std::string> book = imp::bookBytes(result.records);
  if (!book) {
    err << "mervane-cli: the file holds more entries than one address book can keep.\n";
    return kFailure;
  }
  if (!writeFileAtomically(bookPath, *book)) {
    err << "mervane-cli: " << bookArg << " cannot be written.\n";
    return kFailure;
  }
  out << "records: " << result.records.size() << "\n"
      << "duplicates: " << result.duplicates << "\n"
      << "values cut: " << result.valuesCut << "\n"
      << "characters replaced: " << result.replaced << "\n"
      << "lines left out: " << result.linesLeftOut << "\n";
  if (result.valuesLeftOut > 0) out << "values left out: " << result.valuesLeftOut << "\n";
  return kOk;
}

constexpr const char* kImportUsage =
    "usage: mervane-cli import CSV BOOK [--match \"IMPORT NAME=Program name\"]... [--force] |\n"
    "       import FILE.vcf BOOK [--force]\n";

// Imports a CSV file into a new book, matching as the import dialog does, then the pairs
// given with --match; a .vcf file's cards map onto the fields by their property names.
// Prints what the dialog would tell: records, duplicates marked, values cut, characters
// replaced and lines left out.
int importCsv(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
    return writeImported(vcard::importCards(bytes), bookPath, args[2], out, err);
  }
  const imp::ImportFile file = imp::parseImportFile(bytes);
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
  return writeImported(imp::importRecords(file, match), bookPath, args[2], out, err);
}

// export: the book as the export wizard writes it, comma-separated with the chosen
// fields, as plain text, as web pages or as cover letters.
constexpr const char* kExportUsage =
    "usage: mervane-cli export BOOK --csv OUT [--fields 0,2,3,...] | export BOOK --text OUT |\n"
    "       export BOOK --vcard OUT | export BOOK --html DIR |\n"
    "       export BOOK --rtf OUT [--before FILE] [--after FILE]\n"
    "  --html writes the pages into DIR (made if missing) with the pictures beside the\n"
    "  program; --rtf takes the letter texts from FILE, or else from the texts kept beside\n"
    "  the program.\n";

const char* entries(size_t n) { return n == 1 ? " entry" : " entries"; }

// export --html: the pages of the web-page export into DIR.
int exportWeb(const Book& book, const std::filesystem::path& dir, std::ostream& out,
              std::ostream& err) {
  if (!prepareWebFolder(dir)) {
    err << "mervane-cli: " << pathText(dir) << ": Can't create directory!!\n";
    return kFailure;
  }
  const WebBook web = webBook(book);
  const std::vector<std::string> failed = writeWebPages(dir, webPages(web), programDir());
  for (const std::string& f : failed)
    err << "mervane-cli: " << pathText(dir / f) << ": Unable to open file\n";
  if (!failed.empty()) return kFailure;
  out << "Exported " << web.front().entries.size() << entries(web.front().entries.size())
      << " to " << pathText(dir / kFramesetPage) << "\n";
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
    err << "mervane-cli: " << pathText(target) << ": Unable to open file\n";
    return kFailure;
  }
  out << "Exported " << records.size() << entries(records.size()) << " to " << pathText(target)
      << "\n";
  return kOk;
}

// "0,2,3": field numbers 0..27, each at most once.
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
    if (f >= kFieldCount || fields[static_cast<size_t>(f)]) return std::nullopt;
    fields[static_cast<size_t>(f)] = true;
    start = comma + 1;
  }
  return fields;
}

int exportBook(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
        err << "mervane-cli: --fields takes field numbers 0 to 27 separated by commas.\n";
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
    err << "mervane-cli: " << pathText(target) << ": Unable to open file\n";
    return kFailure;
  }
  out << "Exported " << records.size() << entries(records.size()) << " to " << pathText(target)
      << "\n";
  return kOk;
}

constexpr const char* kLabelsImportUsage =
    "usage: mervane-cli labels-import FILE.xml [--labels PATH]\n";

// labels-import: the rectangular one-grid templates of a label template file become
// formats of labels.dat, as the "Label Size" page's file button adds them.
int labelsImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::filesystem::path labelsDat = labelsDatPath();
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] != "--labels" || i + 1 >= args.size()) {
      err << kLabelsImportUsage;
      return kFailure;
    }
    labelsDat = args[++i];
  }
  const TemplateImport result = importLabelTemplateFile(args[1], labelsDat);
  const std::string summary = templateImportSummary(result, args[1]);
  if (!result.error.empty()) {
    err << "mervane-cli: " << summary << "\n";
    return kFailure;
  }
  out << summary << "\n";  // UTF-8: file names and XML errors
  return kOk;
}

constexpr const char* kLabelsChooseUsage =
    "usage: mervane-cli labels-choose NAME [--labels PATH] [--settings INI]\n";

// labels-choose: the format the labels print on, chosen by its name as the "Label Size"
// page chooses it.
int labelsChoose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::filesystem::path labelsDat = labelsDatPath();
  std::filesystem::path ini = mervaneIni();
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size() || (args[i] != "--labels" && args[i] != "--settings")) {
      err << kLabelsChooseUsage;
      return kFailure;
    }
    (args[i] == "--labels" ? labelsDat : ini) = args[i + 1];
  }
  const std::string name = toCp1252(QString::fromStdString(args[1]));
  const std::optional<NamedLabelFormat> found =
      findLabelFormat(LabelCatalogue(readLabelsDat(labelsDat)), name);
  if (!found) {
    err << "mervane-cli: " << pathText(labelsDat) << " has no label format named \"" << args[1]
        << "\".\n";
    return kFailure;
  }
  if (!saveLabelChoice(ini, found->format.product, static_cast<int>(LabelType::All), found->row,
                       found->format)) {
    err << "mervane-cli: " << pathText(ini) << " cannot be written.\n";
    return kFailure;
  }
  const LabelDimensions d = dimensionsOf(found->format);
  out << "Labels print on " << args[1] << ": " << d.across << " x " << d.down << " labels of "
      << formatLabelDimensions(d) << " (tenths of a millimetre)\n";
  return kOk;
}

// The options of calibrate and calibration-sheet: each at most once, all with a value.
bool calibrationOptions(const std::vector<std::string>& args, size_t from,
                        std::map<std::string, std::string>& given,
                        std::initializer_list<const char*> known) {
  for (size_t i = from; i < args.size(); i += 2) {
    bool ok = i + 1 < args.size() && !given.count(args[i]);
    ok = ok && std::find_if(known.begin(), known.end(),
                            [&](const char* k) { return args[i] == k; }) != known.end();
    if (!ok) return false;
    given[args[i]] = args[i + 1];
  }
  return true;
}

constexpr const char* kCalibrateUsage =
    "usage: mervane-cli calibrate --printer NAME --offset X,Y [--settings INI]\n"
    "  X and Y in hundredths of an inch, -100 to 100: X to the right, Y downwards.\n";

// calibrate: keeps a printer's offset in the settings file.
int calibrate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::map<std::string, std::string> given;
  if (!calibrationOptions(args, 1, given, {"--printer", "--offset", "--settings"}) ||
      !given.count("--printer") || !given.count("--offset")) {
    err << kCalibrateUsage;
    return kFailure;
  }
  const std::optional<PrinterOffset> offset = parsePrinterOffset(given["--offset"]);
  if (!offset) {
    err << "mervane-cli: " << kBadOffsetMessage << "\n";
    return kFailure;
  }
  const std::string printer = toCp1252(QString::fromStdString(given["--printer"]));
  const std::filesystem::path ini =
      given.count("--settings") ? std::filesystem::path(given["--settings"]) : mervaneIni();
  switch (writePrinterOffset(ini, printer, *offset)) {
    case OffsetWrite::BadName:
      err << "mervane-cli: " << utf8(unstorablePrinterMessage(printer)) << "\n";
      return kFailure;
    case OffsetWrite::WriteFailed:
      err << "mervane-cli: " << pathText(ini) << " cannot be written.\n";
      return kFailure;
    case OffsetWrite::Saved: break;
  }
  out << "Printer " << given["--printer"] << ": labels and envelopes print moved by "
      << formatPrinterOffset(*offset) << " hundredths of an inch (right, down)\n";
  return kOk;
}

constexpr const char* kCalibrationSheetUsage =
    "usage: mervane-cli calibration-sheet --pdf OUT [--printer NAME] [--settings INI]\n";

// calibration-sheet: the crosses page as the printer gets it, to a PDF file.
int calibrationSheet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::map<std::string, std::string> given;
  if (!calibrationOptions(args, 1, given, {"--pdf", "--printer", "--settings"}) ||
      !given.count("--pdf")) {
    err << kCalibrationSheetUsage;
    return kFailure;
  }
  const std::filesystem::path ini =
      given.count("--settings") ? std::filesystem::path(given["--settings"]) : mervaneIni();
  const std::string printer =
      given.count("--printer") ? toCp1252(QString::fromStdString(given["--printer"]))
                                : std::string(kPdfPrinterName);
  // The sheet the labels print on: A4 for an "A4 Sizes" format, else US letter.
  const Profile labels(ini, std::string(keys::section::Labels));
  const int product = labels.readInt(keys::labels::Type1, 0);
  const int sheet = product == static_cast<int>(LabelProduct::A4) ? kA4Sheet.code
                                                                   : kLetterSheet.code;
  const PageJob job = calibrationJob(sheet, printer, readPrinterOffset(ini, printer));
  ensureGuiApplication();
  const PdfResult written = writePagesPdf(job, 1, 1, given["--pdf"]);
  if (!written.ok) {
    err << "mervane-cli: " << given["--pdf"] << ": " << written.error << "\n";
    return kFailure;
  }
  out << "Wrote the calibration sheet for " << utf8(printer) << " (offset "
      << formatPrinterOffset(job.printerOffset) << ") to " << given["--pdf"] << "\n";
  return kOk;
}

// How many arguments follow a verb.
enum class Arity {
  One,        // just its book (or file)
  OneOrMore,  // a book, file or option, then options
};

struct Verb {
  std::string_view name;
  // What the verb prints when its command line is wrong: "usage: mervane-cli NAME ..." and
  // the lines that explain it. The help lists every verb's.
  const char* usage;
  Arity arity;
  int (*handler)(const Args& args, std::ostream& out, std::ostream& err);
};

// Every verb, in the order the help lists them.
constexpr std::array kVerbs{
    Verb{"check", "usage: mervane-cli check BOOK\n", Arity::One, check},
    Verb{"list", "usage: mervane-cli list BOOK [--sort first|last|company]\n", Arity::OneOrMore,
         list},
    Verb{"dump", "usage: mervane-cli dump BOOK\n", Arity::One, dump},
    Verb{"sort", "usage: mervane-cli sort BOOK --by first|last|company\n", Arity::OneOrMore,
         sort},
    Verb{"rescan", "usage: mervane-cli rescan BOOK\n", Arity::One, rescan},
    Verb{"convert", "usage: mervane-cli convert BOOK\n", Arity::One, convert},
    Verb{"import", kImportUsage, Arity::OneOrMore, importCsv},
    Verb{"duplicates", "usage: mervane-cli duplicates BOOK\n", Arity::One, duplicates},
    Verb{"export", kExportUsage, Arity::OneOrMore, exportBook},
    Verb{"print", kPrintUsage, Arity::OneOrMore, print},
    Verb{"labels-import", kLabelsImportUsage, Arity::OneOrMore, labelsImport},
    Verb{"labels-choose", kLabelsChooseUsage, Arity::OneOrMore, labelsChoose},
    Verb{"calibrate", kCalibrateUsage, Arity::OneOrMore, calibrate},
    Verb{"calibration-sheet", kCalibrationSheetUsage, Arity::OneOrMore, calibrationSheet},
};

constexpr std::string_view kUsageStart = "usage: mervane-cli ";

// The help stacks the usages under one "usage:", so each must start with it and its verb.
constexpr bool usageNamesVerb(const Verb& verb) {
  const std::string_view usage = verb.usage;
  const std::string_view rest = usage.substr(std::min(kUsageStart.size(), usage.size()));
  return usage.starts_with(kUsageStart) && rest.starts_with(verb.name) &&
         rest.size() > verb.name.size() &&
         (rest[verb.name.size()] == ' ' || rest[verb.name.size()] == '\n');
}
static_assert(std::ranges::all_of(kVerbs, usageNamesVerb));

// Every verb's usage, one under another.
void writeUsage(std::ostream& to) {
  constexpr std::string_view kUsageWord = "usage: ";
  bool first = true;
  for (const Verb& verb : kVerbs) {
    to << (first ? kUsageWord : "       ")
       << std::string_view(verb.usage).substr(kUsageWord.size());
    first = false;
  }
}

const Verb* findVerb(std::string_view name) {
  const auto found = std::ranges::find(kVerbs, name, &Verb::name);
  return found == kVerbs.end() ? nullptr : &*found;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    writeUsage(out);
    return kOk;
  }
  const Verb* verb = args.empty() ? nullptr : findVerb(args[0]);
  if (!verb) {
    writeUsage(err);
    return kFailure;
  }
  const bool fits = verb->arity == Arity::One ? args.size() == 2 : args.size() >= 2;
  if (!fits) {
    err << verb->usage;
    return kFailure;
  }
  return verb->handler(args, out, err);
}

}  // namespace mv::cli
