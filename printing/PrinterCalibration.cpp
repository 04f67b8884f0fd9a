#include "printing/PrinterCalibration.h"

#include "printing/LayoutCatalogue.h"
#include "printing/PageRenderer.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mv {
namespace {

std::optional<int> offsetPart(std::string_view text) {
  std::string s(text);
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || v < -kMaxPrinterOffset || v > kMaxPrinterOffset) return std::nullopt;
  return static_cast<int>(v);
}

std::string inchText(int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
  return text;
}

}  // namespace

std::optional<PrinterOffset> parsePrinterOffset(std::string_view text) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::optional<int> x = offsetPart(text.substr(0, comma));
  const std::optional<int> y = offsetPart(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return PrinterOffset{*x, *y};
}

std::string formatPrinterOffset(PrinterOffset o) {
  return std::to_string(o.x) + "," + std::to_string(o.y);
}

bool isStorablePrinterName(std::string_view name) noexcept {
  if (name.empty() || name.front() == ';' || name.front() == '[' || name.front() == ' ' ||
      name.back() == ' ')
    return false;
  for (char c : name)
    if (c == '=' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

std::string unstorablePrinterMessage(std::string_view name) {
  return "The printer name \"" + std::string(name) +
         "\" cannot be kept in the settings file; its offset was not saved.";
}

PrinterOffset readPrinterOffset(const std::filesystem::path& ini, std::string_view printer) {
  if (!isStorablePrinterName(printer)) return {};
  const Profile section(ini, std::string(keys::section::PrinterCalibration));
  return parsePrinterOffset(section.readString(printer, "0,0", 64)).value_or(PrinterOffset{});
}

OffsetWrite writePrinterOffset(const std::filesystem::path& ini, std::string_view printer,
                               PrinterOffset offset) {
  if (!isStorablePrinterName(printer)) return OffsetWrite::BadName;
  Profile section(ini, std::string(keys::section::PrinterCalibration));
  return section.writeString(printer, formatPrinterOffset(offset)) ? OffsetWrite::Saved
                                                                    : OffsetWrite::WriteFailed;
}

bool layoutTakesPrinterOffset(int layout) noexcept {
  layout = normalizeLayoutCommand(layout);
  return layout == kLabelsLayout || layout == kEnvelopeLayout;
}

Mapping offsetSheetMapping(const Mapping& sheet, PrinterOffset offset) noexcept {
  Mapping moved = sheet;
  // Whichever way the logical axes run, the device's x goes right and its y down.
  moved.viewportOrigin.x += offset.x * std::abs(sheet.scaleX());
  moved.viewportOrigin.y += offset.y * std::abs(sheet.scaleY());
  return moved;
}

std::vector<CalibrationCross> calibrationCrosses(int width, int length) {
  return {{{100, 100}},
          {{width - 100, 100}},
          {{width / 2, length / 2}},
          {{100, length - 100}},
          {{width - 100, length - 100}}};
}

void drawCalibrationSheet(Canvas& canvas, int width, int length, std::string_view printer,
                          PrinterOffset offset) {
  constexpr int kArm = 30;
  canvas.save();
  canvas.setPen(Pen{});
  canvas.setBrush(Brush::hollow());
  Font small;
  small.height = -10;
  Font title = small;
  title.height = -18;
  title.weight = kBoldWeight;
  for (const CalibrationCross& c : calibrationCrosses(width, length)) {
    canvas.drawLine({c.at.x - kArm, c.at.y}, {c.at.x + kArm + 1, c.at.y});
    canvas.drawLine({c.at.x, c.at.y - kArm}, {c.at.x, c.at.y + kArm + 1});
    canvas.drawRect({c.at.x - 5, c.at.y - 5, c.at.x + 6, c.at.y + 6});
    canvas.setFont(small);
    // The figures go inside the sheet, away from the nearer edge.
    const bool rightHalf = c.at.x > width / 2 + 1;
    const bool bottomHalf = c.at.y > length / 2 + 1;
    const Point at{c.at.x + (rightHalf ? -8 : 8), c.at.y + (bottomHalf ? -8 : 8)};
    canvas.drawText(at, inchText(c.at.x) + " in, " + inchText(c.at.y) + " in",
                    {rightHalf ? HAlign::Right : HAlign::Left,
                     bottomHalf ? VAlign::Bottom : VAlign::Top});
  }
  canvas.setFont(title);
  canvas.drawText({width / 2, 220}, "Printer calibration", {HAlign::Center, VAlign::Top});
  canvas.setFont(small);
  const std::string offsetText =
      "Offset now: " + std::to_string(offset.x) + "," + std::to_string(offset.y) +
      " (x " + inchText(offset.x) + " in to the right, y " + inchText(offset.y) +
      " in downwards)";
  canvas.drawText({width / 2, 280}, "Printer: " + std::string(printer),
                  {HAlign::Center, VAlign::Top});
  canvas.drawText({width / 2, 300}, offsetText, {HAlign::Center, VAlign::Top});
  canvas.drawTextBox(
      {150, 340, width - 150, 480},
      "Each cross is marked with where it belongs: inches from the left edge and from the top "
      "edge of the paper. Measure where the middle of each cross was printed. Where it lies "
      "further right (or lower) than its figures, take the difference in hundredths of an inch "
      "off the offset's x (or y); where it falls short, add it. Then print this sheet again.",
      HAlign::Left, TextFlow::WordBreak);
  canvas.restore();
}

PageJob calibrationJob(int sheetCode, std::string printer, PrinterOffset offset) {
  PageJob job;
  job.settings.layout = kLabelsLayout;
  job.geometry.sheetCode = sheetOfCode(sheetCode).code;
  job.count.pages = 1;
  job.printerOffset = offset;
  job.calibrationFor = std::move(printer);
  return job;
}

}  // namespace mv
