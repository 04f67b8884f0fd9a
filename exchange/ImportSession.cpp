#include "exchange/ImportSession.h"

#include "platform/FileChooser.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"

namespace mv::imp {

const char* const kDuplicatesMessage =
    "Duplicate entries were found!!\n\n\"FirstName\", \"LastName\", and \"Company\"\nof two or "
    "more items were the same.\n\nSo Import has distinguished them as duplicates by\nadding "
    "\"Dup:INDEX\" at the end of first name.\n\nLater, you can go to the address book and "
    "delete or change\nthe duplicate entries.";

ImportSession::~ImportSession() {
  if (copy_.empty()) return;
  std::error_code ec;
  std::filesystem::remove(copy_, ec);
}

bool ImportSession::open(const std::filesystem::path& csv) {
  std::string bytes;
  if (!readWholeFile(csv, bytes)) {
    error_ = fillFormat("%s\n\ncannot be read. Nothing was imported.", {pathText(csv)});
    return false;
  }
  ImportFile file = parseImportFile(bytes);
  if (!file.text) {
    error_ = fillFormat("%s\n\nis not a text file: it cannot hold comma-separated values. "
                        "Nothing was imported.",
                        {pathText(csv)});
    return false;
  }
  // The dialog works from its own copy, so a file changed by another program while the
  // user matches does not change under the import.
  const std::filesystem::path copy = scratchDir() / kImportCopyName;
  if (!writeScratchFile(copy, bytes)) {
    error_ = fillFormat("%s\n\ncannot be written (%s). Nothing was imported.",
                        {pathText(copy), lastFileError()});
    return false;
  }
  copy_ = copy;
  file_ = std::move(file);
  match_.autoMatch(file_.names);
  return true;
}

bool ImportSession::run(const ImportProgress& progress) {
  stage_ = 2;
  result_ = importRecords(file_, match_, progress);
  const std::optional<std::string> book = bookBytes(result_.records);
  if (!book) {
    error_ = "The file holds more entries than one address book can keep.";
    return false;
  }
  const std::filesystem::path path = scratchDir() / kImportBookName;
  if (!writeScratchFile(path, *book)) {
    error_ = fillFormat("%s\n\ncannot be written (%s). Nothing was imported.",
                        {pathText(path), lastFileError()});
    return false;
  }
  return true;
}

std::optional<std::filesystem::path> chooseImportedBookPath(Prompter& prompter,
                                                            FileChooser& chooser,
                                                            const std::filesystem::path& openBook) {
  prompter.inform("Next,\n\nCreate a NEW FILE\nto save the imported data.", kAppCaption,
                  Icon::Information);
  for (;;) {
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = "Enter a NEW file name";
    request.fileKind = FileKind::Books;
    request.filter = kBookFilter;
    request.selectedFilter = 1;
    request.overwritePrompt = true;  // an existing file is replaced only when the user says so
    if (!openBook.empty()) request.directory = openBook.parent_path();
    const std::optional<FileChoice> choice = chooser.choose(request);
    if (!choice) return std::nullopt;
    std::filesystem::path target = choice->path;
    if (!hasExtensionIgnoreCase(target.filename().string(), ".adr")) target += ".adr";
    std::error_code ec;
    if (!openBook.empty() && std::filesystem::equivalent(target, openBook, ec)) {
      prompter.ask(Message{fillFormat("%s\n\nis the address book that is open.\nPlease enter "
                                      "a new file name for the imported data.",
                                      {pathText(target)}),
                           kAppCaption, Icon::Exclamation, Buttons::Ok, Answer::Ok,
                           TextCoding::Utf8});
      continue;
    }
    return target;
  }
}

std::optional<std::filesystem::path> saveImportedBook(Prompter& prompter, FileChooser& chooser,
                                                      const std::filesystem::path& openBook) {
  const std::optional<std::filesystem::path> target =
      chooseImportedBookPath(prompter, chooser, openBook);
  if (!target) return std::nullopt;
  const std::filesystem::path scratch = scratchDir() / kImportBookName;
  if (!copyFileAtomically(scratch, *target)) {
    prompter.ask(Message{fillFormat("%s\n\ncannot be written (%s). The imported data was not "
                                    "saved.",
                                    {pathText(*target), lastFileError()}),
                         kAppCaption, Icon::Stop, Buttons::Ok, Answer::Ok, TextCoding::Utf8});
    return std::nullopt;
  }
  std::error_code ec;
  std::filesystem::remove(scratch, ec);
  return target;
}

}  // namespace mv::imp
