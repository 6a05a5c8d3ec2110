#include "drawing/ui/draw_print.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

#include "drawing/draw_view.h"
#include "drawing/ui/qt_draw_canvas.h"

namespace drawing_ui {

bool PrintDrawing(drawing::CDrawView& view, QPagedPaintDevice& device) {
  QPainter p;
  if (!p.begin(&device)) return false;
  p.setRenderHint(QPainter::Antialiasing);
  // The painter's origin is the printable area's corner; the page centre is the
  // centre of that area.
  const QRect area = device.pageLayout().paintRectPixels(device.logicalDpiX());
  drawing::PageMetrics page;
  page.width = area.width();
  page.height = area.height();
  page.dpiX = device.logicalDpiX();
  page.dpiY = device.logicalDpiY();
  {
    QtDrawCanvas canvas(p);
    view.OnPrint(canvas, page);
  }
  return p.end();
}

bool PrintDrawing(drawing::CDrawView& view, QPrinter& printer) {
  printer.setFromTo(1, 1);  // the drawing is always one page
  return PrintDrawing(view, static_cast<QPagedPaintDevice&>(printer));
}

}  // namespace drawing_ui
