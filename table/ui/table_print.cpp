#include "table/ui/table_print.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QTransform>

#include "table/ui/qt_canvas.h"

namespace table_ui {

QPrinter& SessionPrinter() {
  // Made on first use (a QPrinter needs the application) and kept for the session.
  static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
  return *printer;
}

bool RunPrintSetup(QWidget* parent) {
  QPageSetupDialog dialog(&SessionPrinter(), parent);
  dialog.setWindowTitle(QString::fromUtf8("打印设置"));
  return dialog.exec() == QDialog::Accepted;
}

table::PrintDevice DeviceOf(QPrinter& printer) {
  table::PrintDevice d;
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  d.physWidth = paper.width();
  d.physHeight = paper.height();
  d.dpiX = printer.logicalDpiX();
  d.dpiY = printer.logicalDpiY();
  d.width = page.width();
  d.physOffsetY = page.top() - paper.top();
  return d;
}

table::PrintPlan PlanFor(CTableView& view, QPrinter& printer) {
  view.CommitEditor();
  table::PrintPlan plan = view.OnBeginPrinting(DeviceOf(printer));
  view.OnEndPrinting();
  return plan;
}

table::PrintPlan PrintTable(CTableView& view, QPrinter& printer) {
  view.CommitEditor();
  table::PrintPlan plan = view.OnBeginPrinting(DeviceOf(printer));
  int from = 1, to = plan.pages;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    from = std::max(1, printer.fromPage());
    to = std::min(plan.pages, printer.toPage() > 0 ? printer.toPage() : plan.pages);
  }
  QPainter painter;
  if (to < from || !painter.begin(&printer)) {
    view.OnEndPrinting();
    plan.pages = 0;
    return plan;
  }
  for (int page = from; page <= to; ++page) {
    if (page > from) printer.newPage();
    const table::PageTransform t = view.OnPrepareDC(page);
    painter.resetTransform();
    painter.setClipping(false);
    painter.setTransform(QTransform(t.scaleX, 0, 0, t.scaleY, t.originX, t.originY));
    QtCanvas canvas(painter);
    view.OnPrint(canvas, page);
  }
  painter.end();
  view.OnEndPrinting();
  return plan;
}

}  // namespace table_ui
