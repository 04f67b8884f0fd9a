#include "printing/qt/PdfExport.h"

#include "printing/qt/SheetPrinter.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace mv {
namespace {

QPageSize pageSizeOf(int sheetCode) {
  if (sheetCode == kA4Sheet.code) return QPageSize(QPageSize::A4);
  if (sheetCode == kLegalSheet.code) return QPageSize(QPageSize::Legal);
  return QPageSize(QPageSize::Letter);
}

}  // namespace

PdfResult writePagesPdf(const PageJob& job, int fromPage, int toPage,
                        const std::filesystem::path& file, int resolution) {
  const int pages = std::max(1, job.count.pages);
  fromPage = std::clamp(fromPage, 1, pages);
  toPage = std::clamp(toPage, fromPage, pages);
  const bool twoOnOne = twoOnOneActive(job);
  PrintRange range;
  range.first = twoOnOne ? sheetOfPage(fromPage) : fromPage;
  range.last = twoOnOne ? sheetOfPage(toPage) : toPage;
  PageJob oneByOne = job;
  oneByOne.printMode = printMode::kDefault;
  return writePlanPdf(oneByOne, planPrint(oneByOne, range), file, resolution);
}

std::optional<QPageSize> pageSizeNamed(std::string_view name) {
  const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
    const auto size = static_cast<QPageSize::PageSizeId>(id);
    if (size != QPageSize::Custom &&
        QPageSize::key(size).compare(wanted, Qt::CaseInsensitive) == 0)
      return QPageSize(size);
  }
  return std::nullopt;
}

PdfResult writePlanPdf(const PageJob& job, const PrintPlan& plan,
                       const std::filesystem::path& file, int resolution) {
  return writePlanPdf(job, plan, file, pageSizeOf(job.geometry.sheetCode), resolution);
}

PdfResult writePlanPdf(const PageJob& job, const PrintPlan& plan,
                       const std::filesystem::path& file, const QPageSize& paper,
                       int resolution) {
  PdfResult result;
  const QString path = QString::fromStdString(file.string());
  {  // QPdfWriter reports nothing when it cannot write: find out first.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly)) {
      result.error = probe.errorString().toStdString();
      return result;
    }
  }
  QPdfWriter writer(path);
  writer.setResolution(resolution);
  writer.setCreator("Mervane");
  const bool landscape = jobSheetLandscape(job);
  writer.setPageLayout(QPageLayout(paper,
                                   landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0)));
  PaintDeviceOutput out(writer, job.settings.layout, landscape);
  if (!out.begun()) {
    result.error = "the PDF file could not be started";
    return result;
  }
  bool started = false;
  for (const auto& pass : plan.passes) {
    const PassResult done = printPass(job, pass, out, started);
    result.sheets += done.sheets;
    if (!done.ok()) {
      result.error = done.error;
      return result;
    }
  }
  result.ok = out.finish();
  if (!result.ok) result.error = "the PDF file could not be finished";
  return result;
}

}  // namespace mv
