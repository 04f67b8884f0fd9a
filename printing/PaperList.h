#pragma once
// The list of page sizes offered by the Page Settings dialog, read from pagesize.dat in
// the program directory: a header line, then two lines per paper (its numbers, its name).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The paper code of the row whose size comes from PaperWidth and PaperHeight.
inline constexpr int kCustomPaperCode = -1;
inline constexpr size_t kMaxPaperRows = 100;

struct PaperRow {
  double width = 0;   // tenths of a millimetre
  double length = 0;  // tenths of a millimetre
  double spare = 0;   // read and not used
  int code = 0;       // kCustomPaperCode, or a printer paper code kept with the selection
  int spare1 = 0;
  int spare2 = 0;
  std::string name;   // shown in the list
  bool isCustom() const noexcept { return code == kCustomPaperCode; }
  friend bool operator==(const PaperRow&, const PaperRow&) = default;
};

// The rows of a pagesize.dat text. Reading stops at the end of the text, at an empty
// numbers or name line (one that is not present: empty, or starting with a blank or a
// control character), at a numbers line without a paper code, and after 100 rows.
std::vector<PaperRow> parsePaperList(std::string_view bytes);
// The rows of the file; nothing when it cannot be opened.
std::optional<std::vector<PaperRow>> readPaperList(const std::filesystem::path& file);
// pagesize.dat beside the program.
std::filesystem::path paperListPath();

// The name of a printer's paper code ("Letter 8.5 x 11 in" for 1, "A4 210 x 297 mm" for 9,
// "Custom" for the custom row); empty for a code the catalogue does not know.
std::string_view paperCodeName(int code) noexcept;

// The row a stored ComboIndex selects: a number outside the list selects the first row,
// so a shortened pagesize.dat never leaves the dialog without a paper. -1 when the list
// is empty.
int paperIndexOrFirst(int comboIndex, size_t rowCount) noexcept;

}  // namespace mv
