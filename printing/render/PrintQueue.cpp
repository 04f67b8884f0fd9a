#include "printing/render/PrintQueue.h"

#include "printing/render/PdfExport.h"

#include <cups/cups.h>
#include <cups/pwg.h>

#include <QSizeF>

#include <span>

namespace mv {

std::vector<std::string> printQueueNames() {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    if (!dests[i].instance) names.emplace_back(dests[i].name);
  cupsFreeDests(count, dests);
  return names;
}

bool printQueueExists(const std::string& queue) {
  if (queue.empty()) return false;  // CUPS would take an empty name as the default queue
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) return false;
  cupsFreeDests(1, dest);
  return true;
}

std::string printJobTitle(const std::string& title, int pass) {
  return pass == 0 ? title : title + " (back pages)";
}

namespace {

// One PDF document as one job; the error is CUPS's own words. The job names its paper:
// without it the queue fits the pages to its own default paper (A4 here, Letter there).
std::string sendJob(const std::string& queue, const std::string& title,
                    const PdfDocument& document) {
  const std::string& pdf = document.bytes;
  const QSizeF mm = document.paper.size(QPageSize::Millimeter);
  cups_option_t* options = nullptr;
  int count = 0;
  if (pwg_media_t* media = pwgMediaForSize(int(mm.width() * 100 + 0.5),
                                           int(mm.height() * 100 + 0.5)))
    count = cupsAddOption("media", media->pwg, count, &options);
  const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), title.c_str(), count, options);
  cupsFreeOptions(count, options);
  if (id == 0) return cupsLastErrorString();
  std::string error;
  if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), id, title.c_str(), CUPS_FORMAT_PDF,
                        1) != HTTP_STATUS_CONTINUE ||
      cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) != HTTP_STATUS_CONTINUE) {
    error = cupsLastErrorString();
    cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str());
  } else if (cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str()) != IPP_STATUS_OK) {
    error = cupsLastErrorString();
  }
  // A job that did not get all its pages must not print what it got.
  if (!error.empty()) cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), id, 0);
  return error;
}

}  // namespace

QueueResult printPlanToQueue(const PageJob& job, const PrintPlan& plan, const std::string& queue,
                             const std::string& title, const std::optional<QPageSize>& paper) {
  QueueResult result;
  if (!printQueueExists(queue)) {
    result.error = "no such print queue";
    return result;
  }
  for (size_t pass = 0; pass < plan.passes.size(); ++pass) {
    if (plan.passes[pass].empty()) continue;
    const PdfDocument document =
        renderPdf(job, std::span(plan.passes).subspan(pass, 1), paper);
    if (!document.error.empty()) {
      result.error = document.error;
      return result;
    }
    if (std::string error = sendJob(queue, printJobTitle(title, int(pass)), document);
        !error.empty()) {
      result.error = error;
      return result;
    }
    result.sheets += document.sheets;
    result.sheetsOfJob.push_back(document.sheets);
  }
  return result;
}

}  // namespace mv
