#include "printing/PaperList.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Keys.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace mv {
namespace {

// One line and where the next begins. The line keeps no line end: CR, LF or CR LF is
// removed, and nothing else, so a name on the last line without a line end keeps its
// last character.
struct Line {
  std::string_view text;
  size_t next = 0;
};

std::optional<Line> lineAt(std::string_view bytes, size_t from) {
  if (from >= bytes.size()) return std::nullopt;
  size_t end = bytes.find_first_of("\r\n", from);
  if (end == std::string_view::npos) return Line{bytes.substr(from), bytes.size()};
  size_t next = end + 1;
  if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
  return Line{bytes.substr(from, end - from), next};
}

}  // namespace

std::vector<PaperRow> parsePaperList(std::string_view bytes) {
  std::vector<PaperRow> rows;
  std::optional<Line> header = lineAt(bytes, 0);
  if (!header) return rows;
  size_t at = header->next;
  while (rows.size() < kMaxPaperRows) {
    const std::optional<Line> numbers = lineAt(bytes, at);
    if (!numbers || !isPresent(numbers->text)) break;
    PaperRow row;
    const std::string text(numbers->text);  // sscanf needs the terminator
    if (std::sscanf(text.c_str(), "%lf ,%lf ,%lf ,%d ,%d ,%d", &row.width, &row.length,
                    &row.spare, &row.code, &row.spare1, &row.spare2) < 4)
      break;
    const std::optional<Line> name = lineAt(bytes, numbers->next);
    if (!name || !isPresent(name->text)) break;
    row.name = std::string(name->text);
    rows.push_back(std::move(row));
    at = name->next;
  }
  return rows;
}

std::optional<std::vector<PaperRow>> readPaperList(const std::filesystem::path& file) {
  std::string bytes;
  if (!readWholeFile(file, bytes)) return std::nullopt;
  return parsePaperList(bytes);
}

std::filesystem::path paperListPath() { return programDir() / keys::file::PageSizeDat; }

int paperIndexOrFirst(int comboIndex, size_t rowCount) noexcept {
  if (rowCount == 0) return -1;
  return comboIndex >= 0 && static_cast<size_t>(comboIndex) < rowCount ? comboIndex : 0;
}

}  // namespace mv
