#pragma once
// A paged paint device (a QPrinter or a QPdfWriter) as the sheet output of a print pass:
// a QPainter on it, the canvas over the painter and the printer mapping of the layout
// over the device's printable area.

#include "printing/PrintJob.h"
#include "printing/render/QPainterCanvas.h"

#include <QPainter>

#include <functional>
#include <memory>

class QPagedPaintDevice;

namespace mv {

class PaintDeviceOutput final : public SheetOutput {
 public:
  // Starts painting on the device. deviceError says what went wrong on the device after
  // a page, empty while all is well (a QPrinter's state, a PDF file's write error).
  PaintDeviceOutput(QPagedPaintDevice& device, int layout, bool sheetLandscape,
                    std::function<std::string()> deviceError = {});
  ~PaintDeviceOutput() override;

  bool begun() const noexcept { return begun_; }
  // Ends the document; false (with error()) when the device could not finish it.
  bool finish();

  bool nextSheet() override;
  Canvas& canvas() override { return *canvas_; }
  Mapping sheetMapping() override { return mapping_; }
  std::string error() const override;

 private:
  QPagedPaintDevice& device_;
  QPainter painter_;
  std::unique_ptr<QPainterCanvas> canvas_;
  Mapping mapping_;
  std::function<std::string()> deviceError_;
  std::string error_;
  bool begun_ = false;
};

}  // namespace mv
