#pragma once
// A printer's own error in where it puts the page, corrected by an offset kept per
// printer name in section "Printer Calibration" of mervane.ini ("name=x,y", hundredths of
// an inch, x to the right and y downwards). Printed label and envelope pages are moved by
// it; the page view and the address-book layouts never are. The calibration sheet shows
// crosses at known places so that the user can measure what to correct.

#include "printing/Canvas.h"
#include "printing/Mapping.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

struct PageJob;

struct PrinterOffset {
  int x = 0;  // hundredths of an inch, to the right
  int y = 0;  // hundredths of an inch, downwards
  friend bool operator==(const PrinterOffset&, const PrinterOffset&) = default;
};
// The key of the PDF printer that stands in on a machine without printers.
inline constexpr std::string_view kPdfPrinterName = "PDF";
// An inch either way is far more than any printer is out by; more is a typing slip.
inline constexpr int kMaxPrinterOffset = 100;

// "x,y", two whole numbers from -100 to 100 (blanks around them allowed); nothing else.
std::optional<PrinterOffset> parsePrinterOffset(std::string_view text);
std::string formatPrinterOffset(PrinterOffset offset);  // "%d,%d"
inline constexpr const char* kBadOffsetMessage =
    "The printer offset must be two whole numbers from -100 to 100, in hundredths of an "
    "inch, such as \"5,-3\" (right 0.05 in, up 0.03 in).";

// A name the settings file can hold as a key: not empty, no "=", no line break or other
// control character, not beginning with ";" or "[" or a blank.
bool isStorablePrinterName(std::string_view name) noexcept;
std::string unstorablePrinterMessage(std::string_view name);

// The printer's offset; none stored (or a stored value that does not read) is 0,0.
PrinterOffset readPrinterOffset(const std::filesystem::path& ini, std::string_view printer);
enum class OffsetWrite { Saved, BadName, WriteFailed };
OffsetWrite writePrinterOffset(const std::filesystem::path& ini, std::string_view printer,
                               PrinterOffset offset);

// Printed pages of these layouts are moved by the offset: the labels and the envelope.
bool layoutTakesPrinterOffset(int layout) noexcept;
// The printer's sheet mapping moved by the offset: the logical origin lands offset
// hundredths of an inch further right and down on the device.
Mapping offsetSheetMapping(const Mapping& sheet, PrinterOffset offset) noexcept;

// The calibration sheet, drawn in hundredths of an inch from the sheet's top left corner
// (y downwards): a cross 1 in from each corner and one in the middle, each with its
// intended place written beside it, and a note on how to correct.
struct CalibrationCross {
  Point at;  // hundredths of an inch
};
std::vector<CalibrationCross> calibrationCrosses(int sheetWidth, int sheetLength);
void drawCalibrationSheet(Canvas& canvas, int sheetWidth, int sheetLength,
                          std::string_view printer, PrinterOffset offset);
// A one-page print job of the calibration sheet on a sheet of `sheetCode`, printed the
// way label pages are, with the offset.
PageJob calibrationJob(int sheetCode, std::string printer, PrinterOffset offset);

}  // namespace mv
