// labels.dat: the lines kept, the formats they hold, and what the "Label Size" page and a
// labels page do with a format: the filtered list, an edit written back and read again,
// the dimensions kept in the settings, and the labels laid out on the sheet.
#include "fuzz/FuzzSupport.h"
#include "printing/LabelFormats.h"
#include "printing/LabelPages.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const std::vector<std::string> lines = parseLabelsDat(fuzz::bytesOf(data, size));

  // Written back and read again, the file gives the same formats, line for line; a
  // second round changes nothing at all.
  const std::vector<std::string> again = parseLabelsDat(labelsDatBytes(lines));
  if (again.size() != lines.size()) std::abort();
  for (size_t i = 0; i < lines.size(); ++i)
    if (parseLabelLine(lines[i]) != parseLabelLine(again[i])) std::abort();
  if (parseLabelsDat(labelsDatBytes(again)) != again) std::abort();

  int laidOut = 0;
  for (const std::string& line : lines) {
    // A line's numbers as a value of section Labels would hold them.
    if (const auto stored = parseLabelDimensions(line)) {
      if (parseLabelDimensions(formatLabelDimensions(*stored)) != stored) std::abort();
    }
    const std::optional<LabelFormat> f = parseLabelLine(line);
    if (!f || ++laidOut > 8) continue;  // a long file: the first formats are laid out
    if (!isUsableLabelFormat(*f) || f->name.size() > kLabelNameMax) std::abort();
    // The line an edit writes reads back as the same format.
    if (parseLabelLine(labelLine(*f)) != f) std::abort();
    (void)labelFormatFitsSheet(*f);
    (void)labelDisplayName(f->name);
    // What section Labels keeps of it reads back unchanged.
    const LabelDimensions d = dimensionsOf(*f);
    if (parseLabelDimensions(formatLabelDimensions(d)) != d) std::abort();
    if (d.total() < 1 || d.total() > kMaxLabelsAcross * kMaxLabelsDown) std::abort();
    LabelPageSettings page;
    page.dimensions = d;
    LabelGrid grid;
    if (static_cast<int>(labelSpotsInUse(page, grid).size()) != d.total()) std::abort();
    if (grid.countInUse(d.across, d.down) != d.total()) std::abort();
    (void)labelPageCount(1901, d.total());
  }
  (void)labelDimensionsOrFirst("", lines);

  // The page's list and its edits: a change keeps the count, a delete takes one line.
  LabelCatalogue catalogue(lines);
  for (int product = 0; product < 3; ++product)
    for (int type = 0; type < 3; ++type) {
      const auto rows = catalogue.filter(product, type);
      for (const auto& row : rows)
        if (row.line < 0 || static_cast<size_t>(row.line) >= lines.size()) std::abort();
    }
  const auto rows = catalogue.filter(0, 0);
  if (!rows.empty()) {
    LabelCatalogue edited(lines);
    LabelFormat changed = rows.front().format;
    changed.across = 1;
    if (edited.change(rows.front().line, changed) != LabelCatalogue::EditResult::Done)
      std::abort();
    if (edited.lines().size() != lines.size()) std::abort();
    const auto reread = parseLabelsDat(labelsDatBytes(edited.lines()));
    if (reread.size() != lines.size() || parseLabelLine(reread.front()) != changed) std::abort();
    if (edited.remove(0) != LabelCatalogue::EditResult::Done ||
        edited.lines().size() + 1 != lines.size())
      std::abort();
  }
  return 0;
}
