#pragma once
// The canvas on a QPainter: the page view on the screen, the printer and PDF files all
// draw through it. Needs QtGui only. Drawing happens in device pixels through the
// canvas's mapping, after whatever transform the painter already had (the view's scroll
// position, say); text is drawn upright even where the mapping turns the y axis round.

#include "printing/Canvas.h"

#include <QTransform>

class QPainter;

namespace mv {

class QPainterCanvas final : public Canvas {
 public:
  // The painter must be active; its device gives the canvas's size and resolution.
  QPainterCanvas(QPainter& painter, CanvasTarget target);

  // The device of an active painter, as the canvas sees it.
  static DeviceInfo deviceOf(const QPainter& painter, CanvasTarget target);

 protected:
  void paintText(Point at, std::string_view text, TextAlign align) override;
  void paintTextBox(const Rect& box, std::string_view text, HAlign align,
                    TextFlow flow) override;
  void paintLine(Point from, Point to) override;
  void paintRect(const Rect& rect) override;
  void paintRoundedRect(const Rect& rect, int cornerWidth, int cornerHeight) override;

 private:
  void useDeviceCoordinates();
  void useShapeTools();
  void useTextTools();
  QRectF deviceRect(const Rect& rect) const;

  QPainter& painter_;
  QTransform base_;
};

}  // namespace mv
