#pragma once
// The drawing on paper: one page at the print scale, the extent's centre at the
// page centre, through the same renderer as the screen.
class QPrinter;
class QPagedPaintDevice;

namespace drawing {
class CDrawView;
}

namespace drawing_ui {

// Prints one page; false when the printer could not be started.
bool PrintDrawing(drawing::CDrawView& view, QPrinter& printer);
// The same onto any paged device (a QPdfWriter for one).
bool PrintDrawing(drawing::CDrawView& view, QPagedPaintDevice& device);

}  // namespace drawing_ui
