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

std::string_view paperCodeName(int code) noexcept {
  struct Named {
    int code;
    std::string_view name;
  };
  static constexpr Named kNames[] = {
      {kCustomPaperCode, "Custom"},
      {1, "Letter 8.5 x 11 in"}, {2, "Letter Small 8.5 x 11 in"}, {3, "Tabloid 11 x 17 in"},
      {4, "Ledger 17 x 11 in"}, {5, "Legal 8.5 x 14 in"}, {6, "Statement 5.5 x 8.5 in"},
      {7, "Executive 7.25 x 10.5 in"}, {8, "A3 297 x 420 mm"}, {9, "A4 210 x 297 mm"},
      {10, "A4 Small 210 x 297 mm"}, {11, "A5 148 x 210 mm"}, {12, "B4 250 x 354"},
      {13, "B5 182 x 257 mm"}, {14, "Folio 8.5 x 13 in"}, {15, "Quarto 215 x 275 mm"},
      {16, "10x14 in"}, {17, "11x17 in"}, {18, "Note 8.5 x 11 in"},
      {19, "Envelope #9 3.875 x 8.875"}, {20, "Envelope #10 4.125 x 9.5"},
      {21, "Envelope #11 4.5 x 10.375"}, {22, "Envelope #12 4 x 11"},
      {23, "Envelope #14 5 x 11.5"}, {24, "C size sheet"}, {25, "D size sheet"},
      {26, "E size sheet"}, {27, "Envelope DL 110 x 220mm"}, {28, "Envelope C5 162 x 229 mm"},
      {29, "Envelope C3  324 x 458 mm"}, {30, "Envelope C4  229 x 324 mm"},
      {31, "Envelope C6  114 x 162 mm"}, {32, "Envelope C65 114 x 229 mm"},
      {33, "Envelope B4  250 x 353 mm"}, {34, "Envelope B5  176 x 250 mm"},
      {35, "Envelope B6  176 x 125 mm"}, {36, "Envelope 110 x 230 mm"},
      {37, "Envelope Monarch 3.875 x 7.5 in"}, {38, "6 3/4 Envelope 3.625 x 6.5 in"},
      {39, "US Std Fanfold 14.875 x 11 in"}, {40, "German Std Fanfold 8.5 x 12 in"},
      {41, "German Legal Fanfold 8.5 x 13 in"},
      {100, "Day-Timer Sr. Pocket 3.75 x 6.75 in"}, {101, "Day-Timer Jr. Pocket 2.75 x 5 in"},
      {102, "Day-Runners 8 x 11 in"}, {103, "Day-Runners 5.5 x 8 in"},
      {104, "Franklin Compact 4.25 x 6.75 in"},
  };
  for (const Named& n : kNames)
    if (n.code == code) return n.name;
  return {};
}

}  // namespace mv
