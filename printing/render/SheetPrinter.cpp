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

}  // namespace mv
