#pragma once
// Pages of a layout written to a PDF file exactly as the printer gets them: the printer
// mapping over the whole sheet, printed-text offset, tabs at their printed places. The
// text stays text, so the file can be searched and read by a text extractor.

#include "printing/PrintJob.h"

#include <QPageSize>

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Dots per inch of the pages drawn into a PDF file.
inline constexpr int kPdfResolution = 600;

struct PdfResult {
  bool ok = false;
  int sheets = 0;        // sheets written
  bool aborted = false;  // keepGoing stopped it: the sheets before were written
  std::string error;     // why nothing was written
};

// The sheets of every pass of the plan, one after the other in one file: double-sided,
// the fronts and then the backs, as the two passes print them. The job's print mode
// decides the order of two pages on a sheet. Needs a QGuiApplication. mervane-cli and
// the window's print to a PDF file both write through here.
PdfResult writePlanPdf(const PageJob& job, const PrintPlan& plan,
                       const std::filesystem::path& file, int resolution = kPdfResolution);
// The same on a paper of its own (an envelope, say) in place of the job's sheet.
// keepGoing is asked after every sheet with the sheets drawn so far; false ends the
// document there, and what was drawn is written.
PdfResult writePlanPdf(const PageJob& job, const PrintPlan& plan,
                       const std::filesystem::path& file, const QPageSize& paper,
                       int resolution = kPdfResolution,
                       const std::function<bool(int)>& keepGoing = {});

// The sheets of the passes as one PDF document in memory, on the paper given or else the
// job's sheet; the error says why it could not be made. Needs a QGuiApplication.
struct PdfDocument {
  std::string bytes;
  int sheets = 0;
  bool aborted = false;
  std::string error;
  QPageSize paper;  // the paper its pages are drawn for
};
PdfDocument renderPdf(const PageJob& job, std::span<const std::vector<int>> passes,
                      const std::optional<QPageSize>& paper = std::nullopt,
                      int resolution = kPdfResolution,
                      const std::function<bool(int)>& keepGoing = {});

// A paper size by the name Qt gives it ("Letter", "A4", "Comm10E", "DLE", "C5E" ...),
// in any letter case; none for a name Qt does not know.
std::optional<QPageSize> pageSizeNamed(std::string_view name);

// Pages fromPage..toPage (clamped to the job's pages); two on one, the sheets that hold
// them. Needs a QGuiApplication.
PdfResult writePagesPdf(const PageJob& job, int fromPage, int toPage,
                        const std::filesystem::path& file, int resolution = kPdfResolution);

}  // namespace mv
