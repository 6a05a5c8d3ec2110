#pragma once
// The drawing calls the plane, heighting, intersection and detail-survey tools make,
// in the shapes they use them: control points without an error ellipse, lines,
// polylines, labelled and detail points. Without a drawing feed every call does
// nothing, so a computation runs the same with or without the drawing view.
#include <cmath>
#include <string>

#include "drawing/draw_feed.h"
#include "tools/aux_view.h"

namespace tools {

class ToolDraw {
 public:
  explicit ToolDraw(CAuxView& view) : feed_(view.DrawingFeed()) {}

  void Begin(int mode) {
    if (feed_) feed_->BeginDrawing(mode);
  }
  void Layer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) {
    if (feed_) feed_->SetLayer(name, visible, colour, style, onlyIfNew);
  }
  void Point(const std::string& name, bool known, double x, double y, double value = 0) {
    if (feed_) feed_->AddControlPoint(name, known ? 1 : 0, x, y, value, -1, -1, -1);
  }
  void Known(const std::string& name, double x, double y) { Point(name, true, x, y); }
  void Computed(const std::string& name, double x, double y) { Point(name, false, x, y); }
  void Line(const std::string& layer, double x1, double y1, double x2, double y2) {
    if (feed_) feed_->AddLine(layer, x1, y1, x2, y2);
  }
  void Polyline(const std::string& layer) {
    if (feed_) feed_->BeginPolyline(layer);
  }
  void Vertex(double x, double y) {
    if (feed_) feed_->AddPolylineVertex(x, y, -1);
  }
  // A labelled point as the tools place them: kind 0, direction 0, queryable.
  void Labelled(const std::string& layer, double x, double y, const std::string& label) {
    if (feed_) feed_->AddLabelledPoint(layer, x, y, label, "", 0, 0, 1, 0);
  }
  void Detail(const std::string& layer, const std::string& name, const std::string& second, double x,
              double y, double radius) {
    if (feed_) feed_->AddDetailPoint(layer, name, second, x, y, radius);
  }

 private:
  drawing::IDrawFeed* feed_;
};

// Writes a number with the table's decimals; a value that rounds to zero is
// written without its sign ("0.0000", not "-0.0000" for the -1e-15 that cos 90°
// leaves).
inline void WriteNumber(CTableView& v, int row, int col, double value, int decimals) {
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  v.SetCellDouble(row, col, value, decimals);
}

// True when every value is a finite number: a result that is not is never
// written into the table or drawn.
inline bool AllFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace tools
