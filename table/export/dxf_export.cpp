#include "table/export/dxf_export.h"

#include <algorithm>

#include "platform/dxf_file.h"
#include "platform/ports.h"

namespace table {

PrintDevice DxfPaper(int widthMm, int heightMm) {
  PrintDevice d;
  d.dpiX = d.dpiY = 2540;
  d.physWidth = d.width = std::max(1, widthMm) * 100;
  d.physHeight = std::max(1, heightMm) * 100;
  d.physOffsetY = 0;
  return d;
}

CDxfCanvas::CDxfCanvas(platform::CDxfFile& file, const PageTransform& t, const PrintDevice& paper, double offsetXMm)
    : file_(file),
      t_(t),
      mmPerDotX_(25.4 / std::max(1, paper.dpiX)),
      mmPerDotY_(25.4 / std::max(1, paper.dpiY)),
      paperHeightMm_(paper.physHeight * 25.4 / std::max(1, paper.dpiY)),
      offsetXMm_(offsetXMm) {}

double CDxfCanvas::X(double x) const { return offsetXMm_ + (t_.originX + x * t_.scaleX) * mmPerDotX_; }
double CDxfCanvas::Y(double y) const { return paperHeightMm_ - (t_.originY + y * t_.scaleY) * mmPerDotY_; }

void CDxfCanvas::Line(int x1, int y1, int x2, int y2, Color, int width) {
  ++lines;
  if (width > 1) {
    const double xs[2] = {X(x1), X(x2)}, ys[2] = {Y(y1), Y(y2)};
    file_.Polyline(kDxfLayerFrame, xs, ys, 2, false, width * t_.scaleY * mmPerDotY_);
  } else {
    file_.Line(kDxfLayerLines, X(x1), Y(y1), X(x2), Y(y2));
  }
}

void CDxfCanvas::DrawText(const Rect& r, std::string_view utf8, const TextStyle& style) {
  if (utf8.empty() || r.IsEmpty()) return;
  std::string text(utf8);
  // One line of text: a line end would end the group value.
  for (char& ch : text)
    if (ch == '\r' || ch == '\n' || ch == '\t') ch = ' ';
  int h = platform::CDxfFile::kLeft;
  double x = r.left;
  if (style.align == HAlign::Center) {
    h = platform::CDxfFile::kCenter;
    x = (r.left + r.right) / 2.0;
  } else if (style.align == HAlign::Right) {
    h = platform::CDxfFile::kRight;
    x = r.right;
  }
  const bool middle = style.vcenter && !style.wrap;
  const double y = middle ? (r.top + r.bottom) / 2.0 : r.top;
  const double height = fontHeight_ * t_.scaleY * mmPerDotY_;
  // A table squeezed to the paper's width squeezes its letters too.
  const double widthFactor = t_.scaleY > 0 ? 0.7 * t_.scaleX / t_.scaleY : 0.7;
  file_.Text(kDxfLayerText, X(x), Y(y), height, text, widthFactor, h,
             middle ? platform::CDxfFile::kVMiddle : platform::CDxfFile::kTop);
  ++texts;
}

namespace {

constexpr int kDecimals = 3;  // a micrometre on paper

void PaintPages(CTableView& view, const PrintDevice& paper, platform::CDxfFile& f) {
  const PrintPlan plan = view.OnBeginPrinting(paper);
  const double pageW = paper.physWidth * 25.4 / std::max(1, paper.dpiX);
  const double pageH = paper.physHeight * 25.4 / std::max(1, paper.dpiY);
  const int pages = std::max(1, plan.pages);
  const double textHeight = view.GetPrintHeight() > 0 ? view.GetPrintHeight() : 3.0;
  f.Header(0, 0, pages * (pageW + kDxfPageGapMm) - kDxfPageGapMm, pageH, textHeight);
  f.Tables({{"CONTINUOUS", "Solid line", {}}},
           {{kDxfLayerLines, 7, true, "CONTINUOUS"},
            {kDxfLayerFrame, 7, true, "CONTINUOUS"},
            {kDxfLayerText, 7, true, "CONTINUOUS"}},
           textHeight);
  f.BeginEntities();
  for (int page = 1; page <= pages; ++page) {
    const PageTransform t = view.OnPrepareDC(page);
    CDxfCanvas canvas(f, t, paper, (page - 1) * (pageW + kDxfPageGapMm));
    view.OnPrint(canvas, page);
  }
  view.OnEndPrinting();
  f.End();
}

bool HasContent(CTableView& view) {
  view.CommitEditor();
  return view.GetRowCount() > 0 && view.GetColCount() > 0;
}

}  // namespace

std::string BuildTableDxf(CTableView& view, const PrintDevice& paper) {
  if (!HasContent(view)) return {};
  platform::CDxfFile f(kDecimals);
  PaintPages(view, paper, f);
  return f.Take();
}

}  // namespace table

bool CTableView::ExportToDxf(const std::string& path, std::string* error, const table::PrintDevice* paper) {
  if (!table::HasContent(*this)) {
    if (error) *error = "当前表格无内容输出！";
    return false;
  }
  platform::WaitCursor wait;
  return platform::WriteDxfFile(
      [&](platform::CDxfFile& f) { table::PaintPages(*this, paper ? *paper : table::DxfPaper(), f); }, table::kDecimals,
      path, error);
}
