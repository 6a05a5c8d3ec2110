#pragma once
// The drawing as a DXF file (R12, ASCII), for any CAD program. The drawing is
// written in metres at 1:1000, the basis the CAD dialog's hint tells the user:
// one millimetre on paper is one metre, so a 2.5 mm label is 2.5 units high.
// DXF X is the survey y (east) and DXF Y the survey x (north). Text is GBK with
// $DWGCODEPAGE ANSI_936. One DXF layer per used layer, with its colour index and
// line type (a hidden layer is written switched off); ellipses are closed
// polylines of 72 vertices.
#include <string>

namespace drawing {

class CDrawView;

// The whole file as UTF-8 text (CR LF line ends); encode before writing.
std::string BuildDxf(const CDrawView& view);

// Writes the file atomically: on failure returns false, puts the reason into
// *error and leaves no partial file (nor changes an old one).
bool WriteDxf(const CDrawView& view, const std::string& path, std::string* error);

}  // namespace drawing
