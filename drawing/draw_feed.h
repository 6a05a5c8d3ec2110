#pragma once
// The one way a producer puts elements into the network drawing: the traverse
// diagrams, the survey tools and the tables' switch to the drawing all talk to
// this interface, never to the drawing view itself. The drawing view implements
// it; tests use drawing::RecordingFeed (drawing/recording_feed.h).
//
// World coordinates are survey coordinates in metres: x north, y east.
// Text is UTF-8. A producer calls BeginDrawing first, optionally SetLayer to fix
// a new layer's look, then the adders, then optionally SetMessage.
#include <string>

namespace drawing {

// Layer line styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot (all one
// logical unit wide); 15..20 solid lines (style - 10) logical units wide.
enum LayerStyle { kStyleSolid = 0, kStyleDash = 1, kStyleDot = 2, kStyleDashDot = 3, kStyleDashDotDot = 4 };

// Drawing modes: 0 traverse diagrams and tool drawings, 1 detail survey and point plot.
enum DrawingModeKind { kModeNetwork = 0, kModePlot = 1 };

class IDrawFeed {
 public:
  virtual ~IDrawFeed() = default;

  // Clears the elements (layers and their look survive) and sets the drawing mode.
  virtual void BeginDrawing(int mode) = 0;
  virtual void ClearDrawing() = 0;
  // Finds or creates a layer without marking it used. With onlyIfNew an existing
  // layer is left alone; otherwise visible >= 0, colour > 0 and style >= 0 are stored.
  virtual void SetLayer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) = 0;
  // A control point; known 1 for a known point. value is printed under the name in
  // drawing mode 1 (NaN: the point has none, the line stays empty). E, F in
  // millimetres and the E axis azimuth in radians, or -1 for each when the point
  // has no error ellipse.
  virtual void AddControlPoint(const std::string& name, int known, double x, double y, double value,
                               double E, double F, double orientation) = 0;
  virtual void AddLine(const std::string& layer, double x1, double y1, double x2, double y2) = 0;
  // Starts an empty polyline on the layer; returns its index.
  virtual int BeginPolyline(const std::string& layer) = 0;
  // Appends a vertex to the given polyline, or to the last one begun when polyline < 0.
  virtual void AddPolylineVertex(double x, double y, int polyline = -1) = 0;
  virtual void AddLabelledPoint(const std::string& layer, double x, double y, const std::string& label1,
                                const std::string& label2, int kind, double direction, int queryable,
                                double value) = 0;
  // A detail point: symbol radius in millimetres (0 draws a dot only).
  virtual void AddDetailPoint(const std::string& layer, const std::string& name, const std::string& secondText,
                              double x, double y, double radius) = 0;
  // A non-empty message replaces the drawing on screen.
  virtual void SetMessage(const std::string& text) = 0;
  virtual void Redraw() = 0;
};

}  // namespace drawing
