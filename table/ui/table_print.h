#pragma once
// Printing a grid: the device figures go to the presenter, which plans the pages;
// each page is laid out by the presenter and painted through the canvas with the
// page's transform. Used by the print dialog, direct printing and print preview.
#include "table/table_view.h"

class QPrinter;
class QWidget;

namespace table_ui {

// The printer of the session: printer, paper, orientation and margins chosen in the
// print setup, the print dialog or the preview hold for every later print, direct
// print and preview until the program ends.
QPrinter& SessionPrinter();

// "打印设置": the page and printer setup on the session printer. True on OK.
bool RunPrintSetup(QWidget* parent);

// The presenter's view of a printer: paper and printable area in device pixels.
table::PrintDevice DeviceOf(QPrinter& printer);

// Prints the pages of the printer's range (all when none is set). Returns the plan
// that was used; plan.pages is 0 when the printer could not be opened.
table::PrintPlan PrintTable(CTableView& view, QPrinter& printer);

// The plan the presenter makes for this printer, without printing.
table::PrintPlan PlanFor(CTableView& view, QPrinter& printer);

}  // namespace table_ui
