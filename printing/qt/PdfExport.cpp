#include "printing/qt/PdfExport.h"

#include "printing/qt/QPainterCanvas.h"

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
  PdfResult result;
  const int pages = std::max(1, job.count.pages);
  fromPage = std::clamp(fromPage, 1, pages);
  toPage = std::clamp(toPage, fromPage, pages);
  const bool twoOnOne = twoOnOneActive(job);
  const int firstSheet = twoOnOne ? sheetOfPage(fromPage) : fromPage;
  const int lastSheet = twoOnOne ? sheetOfPage(toPage) : toPage;

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
  writer.setPageLayout(QPageLayout(pageSizeOf(job.geometry.sheetCode),
                                   jobSheetLandscape(job) ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0)));
  QPainter painter;
  if (!painter.begin(&writer)) {
    result.error = "the PDF file could not be started";
    return result;
  }
  QPainterCanvas canvas(painter, CanvasTarget::Printer);
  const Mapping sheet = printerSheetMapping(
      jobSheetLandscape(job), {0, 0},
      {static_cast<double>(writer.width()), static_cast<double>(writer.height())});
  for (int s = firstSheet; s <= lastSheet; ++s) {
    if (s > firstSheet) writer.newPage();
    renderSheet(canvas, sheet, job, s);
    ++result.sheets;
  }
  result.ok = painter.end();
  if (!result.ok) result.error = "the PDF file could not be finished";
  return result;
}

}  // namespace mv
