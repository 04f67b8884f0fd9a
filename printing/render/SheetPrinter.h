#pragma once
// A paged paint device (a QPrinter or a QPdfWriter) as the sheet output of a print pass:
// a QPainter on it, the canvas over the painter and the printer mapping of the layout
// over the device's printable area.

#include "printing/PrintJob.h"
#include "printing/render/QPainterCanvas.h"

#include <QPainter>

#include <functional>
#include <memory>
#include <span>
#include <vector>

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

// One document on the device, as the printer, a PDF file and a print queue all get it:
// the sheets of the passes one after the other, each on a page of its own, then the
// document ended. keepGoing is asked after every sheet with the sheets drawn so far;
// false stops the job there. The error says why the device stopped.
PassResult paintDocument(QPagedPaintDevice& device, const PageJob& job,
                         std::span<const std::vector<int>> passes,
                         std::function<std::string()> deviceError = {},
                         const std::function<bool(int)>& keepGoing = {});

}  // namespace mv
