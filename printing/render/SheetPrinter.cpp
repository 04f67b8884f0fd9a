#include "printing/render/SheetPrinter.h"

#include <QPagedPaintDevice>

namespace mv {

PaintDeviceOutput::PaintDeviceOutput(QPagedPaintDevice& device, int layout, bool sheetLandscape,
                                     std::function<std::string()> deviceError)
    : device_(device), deviceError_(std::move(deviceError)) {
  begun_ = painter_.begin(&device_);
  if (!begun_) {
    error_ = "the printer could not start the document";
    return;
  }
  canvas_ = std::make_unique<QPainterCanvas>(painter_, CanvasTarget::Printer);
  mapping_ = printerMappingFor(
      layout, sheetLandscape,
      {static_cast<double>(device_.width()), static_cast<double>(device_.height())},
      {static_cast<double>(device_.logicalDpiX()), static_cast<double>(device_.logicalDpiY())});
}

PaintDeviceOutput::~PaintDeviceOutput() {
  if (painter_.isActive()) painter_.end();
}

bool PaintDeviceOutput::nextSheet() {
  if (!begun_) return false;
  if (!device_.newPage() && error_.empty()) error_ = "the printer could not start a new page";
  return error().empty();
}

bool PaintDeviceOutput::finish() {
  if (!begun_) return false;
  if (painter_.isActive() && !painter_.end() && error_.empty())
    error_ = "the printer could not finish the document";
  return error().empty();
}

std::string PaintDeviceOutput::error() const {
  if (!error_.empty()) return error_;
  return deviceError_ ? deviceError_() : std::string();
}

PassResult paintDocument(QPagedPaintDevice& device, const PageJob& job,
                         std::span<const std::vector<int>> passes,
                         std::function<std::string()> deviceError,
                         const std::function<bool(int)>& keepGoing) {
  PassResult result;
  PaintDeviceOutput out(device, job.settings.layout, jobSheetLandscape(job),
                        std::move(deviceError));
  if (!out.begun()) {
    result.error = out.error();
    return result;
  }
  bool started = false;
  for (const auto& pass : passes) {
    // The sheets of the passes before count on, so keepGoing sees the whole document.
    const int before = result.sheets;
    const PassResult done =
        printPass(job, pass, out, started,
                  keepGoing ? std::function<bool(int)>([&](int n) { return keepGoing(before + n); })
                            : std::function<bool(int)>());
    result.sheets += done.sheets;
    result.aborted = done.aborted;
    result.error = done.error;
    if (!done.ok()) break;
  }
  // A document stopped part-way is still ended: the sheets drawn are kept.
  if (!out.finish() && result.error.empty()) result.error = out.error();
  return result;
}

}  // namespace mv
