#include "store/Recovery.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "settings/Keys.h"
#include "settings/Profile.h"
#include "settings/RecentFiles.h"
#include "store/AdrFormat.h"
#include "store/WorkingFile.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <map>
#include <sstream>

namespace mv {
namespace {

// The tables as the notes left them.
struct Notes {
  std::array<long, adr::kMaxSlots> offsets{};
  std::array<int, adr::kMaxSlots> marks{};
  std::string book;
  bool changed = false;
};

Notes readNotes(const std::filesystem::path& file) {
  Notes n;
  std::string bytes;
  if (!readWholeFile(file, bytes)) return n;
  std::istringstream in(bytes);
  std::string line;
  // A line cut short by the crash is the last one and is passed over.
  while (std::getline(in, line) && !in.eof()) {
    if (line.size() < 1) continue;
    std::istringstream words(line.substr(1));
    long slot = -1, value = 0;
    switch (line[0]) {
      case 'b': n.book = line.size() > 2 ? line.substr(2) : std::string(); break;
      case 'c':
        n.offsets.fill(WorkingFile::kNeverWritten);
        n.marks.fill(0);
        break;
      case 's': n.changed = line == "s 1"; break;
      case 'o':
      case 'm':
        if (!(words >> slot >> value) || slot < 0 || slot >= adr::kMaxSlots) break;
        if (line[0] == 'o')
          n.offsets[static_cast<size_t>(slot)] = value;
        else
          n.marks[static_cast<size_t>(slot)] = static_cast<int>(value);
        break;
      default: break;
    }
  }
  return n;
}

std::map<std::filesystem::path, std::string>& pending() {
  static std::map<std::filesystem::path, std::string> books;
  return books;
}

std::string stamp() {
  const std::time_t now = std::time(nullptr);
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d %H.%M.%S", std::localtime(&now));
  return text;
}

}  // namespace

std::vector<LeftBook> findLeftBooks(const std::filesystem::path& state) {
  std::vector<std::pair<std::filesystem::file_time_type, LeftBook>> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(state, ec)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || name.rfind(kCopyFolderPrefix, 0) != 0) continue;
    if (copyOfLockRuns(entry.path())) continue;
    const auto working = entry.path() / WorkingFile::kFileName;
    const Notes notes = readNotes(entry.path() / WorkingFile::kTablesFileName);
    LeftBook left{entry.path(), notes.book,
                  notes.changed && std::filesystem::exists(working, ec) && !notes.book.empty()};
    std::error_code timeError;
    auto when = std::filesystem::last_write_time(working, timeError);
    found.emplace_back(timeError ? std::filesystem::file_time_type{} : when, std::move(left));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<LeftBook> books;
  for (auto& f : found) books.push_back(std::move(f.second));
  return books;
}

std::optional<std::string> recoveredBookBytes(const std::filesystem::path& folder) {
  std::string working;
  if (!readWholeFile(folder / WorkingFile::kFileName, working)) return std::nullopt;
  const Notes notes = readNotes(folder / WorkingFile::kTablesFileName);
  std::string out(adr::kMagic);
  out += '\n';
  int slot = 0;
  for (size_t s = 0; s < notes.offsets.size(); ++s) {
    const long at = notes.offsets[s];
    if (at <= 0 || static_cast<size_t>(at) > working.size()) continue;
    auto record = adr::readRecordAt(std::string_view(working).substr(static_cast<size_t>(at)), 0);
    if (!record) continue;
    adr::appendRecord(out, *record, slot++, record->initial, notes.marks[s]);
  }
  return out;
}

void setRecoveredBook(const std::filesystem::path& book, std::string bytes) {
  pending()[book] = std::move(bytes);
}

std::optional<std::string> takeRecoveredBook(const std::filesystem::path& book) {
  auto& books = pending();
  const auto it = books.find(book);
  if (it == books.end()) return std::nullopt;
  std::string bytes = std::move(it->second);
  books.erase(it);
  return bytes;
}

std::optional<std::filesystem::path> offerRecovery(Prompter& prompter,
                                                   const std::filesystem::path& settingsFile,
                                                   const std::filesystem::path& state) {
  std::optional<std::filesystem::path> restored;
  for (const LeftBook& left : findLeftBooks(state)) {
    std::error_code ec;
    const auto bytes = left.changed ? recoveredBookBytes(left.folder) : std::nullopt;
    if (bytes) {
      const Answer a = prompter.ask(
          Message{fillFormat(kRecoverQuestion, {pathText(left.book)}), "Mervane",
                  Icon::Question, Buttons::YesNo, Answer::Yes, TextCoding::Utf8});
      if (a == Answer::Yes && !restored) {
        setRecoveredBook(left.book, *bytes);
        const int capacity = Profile(settingsFile, std::string(keys::section::MRU))
                                 .readInt(keys::mru::Count, RecentFiles::kDefaultCapacity);
        (void)RecentFiles(settingsFile, capacity).add(pathText(left.book));
        restored = left.book;
      } else {
        const auto kept = state / (left.book.stem().string() + " " + stamp() + ".adr");
        if (!writeFileAtomically(kept, *bytes)) {
          // Nothing is lost: the folder stays for the next start.
          prompter.inform("The changes could not be kept aside; they are offered again at "
                          "the next start.",
                          "Mervane", Icon::Stop);
          continue;
        }
        prompter.inform(fillFormat(kKeptAsideText, {pathText(kept)}), "Mervane",
                        Icon::Information, TextCoding::Utf8);
      }
    }
    std::filesystem::remove_all(left.folder, ec);
  }
  return restored;
}

}  // namespace mv
