#pragma once
// The DXF export of a grid ("CAD"): the printed pages as a drawing. The print plan
// lays the table out on the paper and paints each page through CDxfCanvas, so the
// drawing holds the lines and texts of the print, page by page, side by side from
// left to right with a 10 mm gap. Units are millimetres on paper: one unit is one
// millimetre, which is one metre at 1:1000, the scale of the drawing's DXF; a 3 mm
// print text is 3 units high. Grid lines go on layer "表格线", the 2-pixel frame as
// polylines of the pen's width on "表格外框", the texts on "表格文字".
#include <string>

#include "table/canvas.h"
#include "table/table_view.h"

namespace platform {
class CDxfFile;
}

namespace table {

inline constexpr double kDxfPageGapMm = 10;
inline constexpr const char* kDxfLayerLines = "表格线";
inline constexpr const char* kDxfLayerFrame = "表格外框";
inline constexpr const char* kDxfLayerText = "表格文字";

// A paper of the given size for the print plan: the whole sheet printable and a
// device pixel of 0.01 mm.
PrintDevice DxfPaper(int widthMm = 210, int heightMm = 297);

// Records the painting of one printed page into a DXF file. Fills are left out (the
// paper is white), and so are clips: a text is written whole, justified in its
// rectangle as on paper.
class CDxfCanvas final : public ICanvas {
 public:
  // `t` maps table pixels to device pixels of `paper`; the page's left edge lies
  // offsetXMm to the right of the drawing's origin.
  CDxfCanvas(platform::CDxfFile& file, const PageTransform& t, const PrintDevice& paper, double offsetXMm);
  void FillRect(const Rect&, Color) override {}
  void Line(int x1, int y1, int x2, int y2, Color c, int width) override;
  void FillPolygon(const Point*, int, Color) override {}
  void SetFont(const Font& f) override { fontHeight_ = f.pixelHeight; }
  void DrawText(const Rect& r, std::string_view utf8, const TextStyle& style) override;
  void SetClip(const Rect&) override {}
  void ResetClip() override {}

  int lines = 0, texts = 0;  // entities written

 private:
  double X(double x) const;
  double Y(double y) const;

  platform::CDxfFile& file_;
  PageTransform t_;
  double mmPerDotX_, mmPerDotY_, paperHeightMm_, offsetXMm_;
  int fontHeight_ = 12;
};

// The whole file as UTF-8 text (CR LF), laid out on `paper`; empty for a table
// without rows or columns.
std::string BuildTableDxf(CTableView& view, const PrintDevice& paper = DxfPaper());

}  // namespace table
