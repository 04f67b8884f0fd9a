#include "printing/render/PrintQueue.h"

#include "printing/render/PdfExport.h"

#include <cups/cups.h>
#include <cups/pwg.h>

#include <QSizeF>

#include <optional>
#include <span>
#include <type_traits>

#include <dlfcn.h>

namespace mv {

namespace {

// libcups is opened when a queue is first used, not linked: it brings a dozen libraries
// (TLS, Kerberos, service discovery) that a window which never prints would otherwise
// load, and fault in, before its first paint. The functions used, named once:
#define MV_CUPS_FUNCTIONS(X)                                                            \
  X(cupsGetDests2) X(cupsFreeDests) X(cupsGetNamedDest) X(pwgMediaForSize) X(cupsAddOption) \
  X(cupsFreeOptions) X(cupsCreateJob) X(cupsStartDocument) X(cupsWriteRequestData)         \
  X(cupsFinishDocument) X(cupsCancelJob2) X(cupsLastErrorString)

struct CupsLibrary {
#define MV_CUPS_POINTER(name) decltype(&::name) name = nullptr;
  MV_CUPS_FUNCTIONS(MV_CUPS_POINTER)
#undef MV_CUPS_POINTER
};

// nullptr when libcups is not there (or lacks a function): no queue can be used then.
const CupsLibrary* cups() {
  static const std::optional<CupsLibrary> library = []() -> std::optional<CupsLibrary> {
    void* handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!handle) return std::nullopt;
    CupsLibrary l;
    bool complete = true;
    const auto bind = [&](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
      complete = complete && function;
    };
#define MV_CUPS_BIND(name) bind(l.name, #name);
    MV_CUPS_FUNCTIONS(MV_CUPS_BIND)
#undef MV_CUPS_BIND
    if (!complete) return std::nullopt;
    return l;
  }();
  return library ? &*library : nullptr;
}

#undef MV_CUPS_FUNCTIONS

}  // namespace

std::vector<std::string> printQueueNames() {
  const CupsLibrary* c = cups();
  if (!c) return {};
  cups_dest_t* dests = nullptr;
  const int count = c->cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    if (!dests[i].instance) names.emplace_back(dests[i].name);
  c->cupsFreeDests(count, dests);
  return names;
}

bool printQueueExists(const std::string& queue) {
  if (queue.empty()) return false;  // CUPS would take an empty name as the default queue
  const CupsLibrary* c = cups();
  if (!c) return false;
  cups_dest_t* dest = c->cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) return false;
  c->cupsFreeDests(1, dest);
  return true;
}

std::string printJobTitle(const std::string& title, int pass) {
  return pass == 0 ? title : title + " (back pages)";
}

namespace {

// One PDF document as one job; the error is CUPS's own words. The job names its paper:
// without it the queue fits the pages to its own default paper (A4 here, Letter there).
std::string sendJob(const CupsLibrary& c, const std::string& queue, const std::string& title,
                    const PdfDocument& document) {
  const std::string& pdf = document.bytes;
  const QSizeF mm = document.paper.size(QPageSize::Millimeter);
  cups_option_t* options = nullptr;
  int count = 0;
  if (pwg_media_t* media =
          c.pwgMediaForSize(int(mm.width() * 100 + 0.5), int(mm.height() * 100 + 0.5)))
    count = c.cupsAddOption("media", media->pwg, count, &options);
  const int id = c.cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), title.c_str(), count, options);
  c.cupsFreeOptions(count, options);
  if (id == 0) return c.cupsLastErrorString();
  std::string error;
  if (c.cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), id, title.c_str(), CUPS_FORMAT_PDF, 1) !=
          HTTP_STATUS_CONTINUE ||
      c.cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) != HTTP_STATUS_CONTINUE) {
    error = c.cupsLastErrorString();
    c.cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str());
  } else if (c.cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str()) != IPP_STATUS_OK) {
    error = c.cupsLastErrorString();
  }
  // A job that did not get all its pages must not print what it got.
  if (!error.empty()) c.cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), id, 0);
  return error;
}

}  // namespace

QueueResult printPlanToQueue(const PageJob& job, const PrintPlan& plan, const std::string& queue,
                             const std::string& title, const std::optional<QPageSize>& paper) {
  QueueResult result;
  if (!cups()) {
    result.error = "the print system's library (libcups.so.2) could not be loaded";
    return result;
  }
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
    if (std::string error = sendJob(*cups(), queue, printJobTitle(title, int(pass)), document);
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
