#pragma once
// The traverse diagrams: the error-search diagram ("平面查错图形") from the typed
// texts of the rows, the traverse diagram ("导线图") and the point plot ("展点图")
// from the computed rows. Each starts a drawing on the feed and ends with Redraw.
//
// The error-search diagram computes the traverse forward from its start ("往")
// and backward from its end ("返") with the typed angles (left angles: next
// azimuth = previous + angle - π) and sides only; the two lines coincide up to
// the station of a wrong angle. Its tests build a closed traverse from chosen
// coordinates: both lines close to 1e-6 m, and 60″ added at one station makes
// them meet there and part by tens of millimetres at the neighbours.
#include <string>
#include <vector>

#include "drawing/draw_feed.h"

namespace traverse {

class CTraverseJob;

// What the diagrams read of a row.
struct DiagramRow {
  std::string name;
  std::string xText, yText, angleText, distanceText;  // as typed
  bool plane = false;       // the row has a plane point (planeIndex >= 0)
  bool knownPlane = false;
  double x = 0, y = 0;      // adjusted coordinates
  bool height = false;      // the row has a height point (heightIndex >= 0)
  double h = 0;
  bool hasEllipse = false;  // an unknown point's error ellipse (rigorous adjustment)
  double ellipseA = 0, ellipseB = 0, ellipseF = 0;  // mm, mm, radians
};

// Messages go to feed.SetMessage and stop the diagram: "仅适应于闭附合导线!",
// "数据输入太少!", "第一点应输入坐标!", "第二点应输入坐标!",
// "导线终点(倒数第二点)应输入坐标!", "导线终点(倒数第二点)坐标应输入完整!",
// "最后一点应输入坐标!", "最后一点坐标应输入完整!", name + "点处角度没有输入!",
// name + "-" + name + "边长没有输入!".
void DrawErrorSearchDiagram(const std::vector<DiagramRow>& rows, int traverseType, drawing::IDrawFeed& feed);
void DrawTraverseDiagram(const std::vector<DiagramRow>& rows, bool rigorous, drawing::IDrawFeed& feed);
void DrawPointPlot(const std::vector<DiagramRow>& rows, drawing::IDrawFeed& feed);

// The rows of a job as last read from the input table, with its adjusted
// coordinates and, for unknown points, the error ellipses.
std::vector<DiagramRow> DiagramRows(const CTraverseJob& job);

}  // namespace traverse
