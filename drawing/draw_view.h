#pragma once
// CDrawView: the network drawing (view 1008) as a std-only presenter. It holds
// the layers and the elements the producers feed in (IDrawFeed), the screen and
// print scales, and the tool state; it paints through IDrawCanvas and turns the
// widget's mouse events into zoom, pan and query. The Qt widget only forwards
// events and hosts the canvas (drawing/ui/draw_widget.h).
//
// Units: world coordinates in metres (x north, y east); logical units of 0.1 mm
// with Y up; device units (pixels, printer dots) with y down. A scale
// denominator N maps a metre to k = 10000 / N logical units.
#include <string>
#include <vector>

#include "drawing/draw_canvas.h"
#include "drawing/draw_feed.h"
#include "drawing/element_array.h"

namespace drawing {

class LabelPlacer;

// The fixed layers the renderer looks up.
inline constexpr const char* kLayerKnown = "已知点";
inline constexpr const char* kLayerUnknown = "未知点";
inline constexpr const char* kLayerKnownSymbol = "已知点符号";
inline constexpr const char* kLayerUnknownSymbol = "未知点符号";
inline constexpr const char* kLayerEllipse = "点位误差椭圆";
inline constexpr const char* kLayerDetailName = "碎部点名";
inline constexpr const char* kLayerDetailHeight = "碎部点高程";

// Point symbols: 0 "三角点", 1 "小三角点" (inverted), 2 "导线点" (square), 3 "图根点" (circle).
enum SymbolType { kSymbolTriangle = 0, kSymbolInvTriangle = 1, kSymbolSquare = 2, kSymbolCircle = 3 };

// Tool command ids.
enum DrawToolId {
  kToolSettings = 1225, kToolZoomAll = 1226, kToolWindowZoom = 1227, kToolZoom = 1228,
  kToolPan = 1229, kToolCad = 1022, kToolQuery = 1231, kToolBackToTable = 1232
};

// Cursor resources of the tools.
inline constexpr int kCursorZoom = 186, kCursorPan = 187, kCursorCross = 188;

// Ranges of the settings (a stored 0 would give an infinite scale).
inline constexpr double kMinScale = 1, kMaxScale = 1e8;           // screen scale denominator
inline constexpr double kMinPrintScale = 1, kMaxPrintScale = 1e7;
inline constexpr double kMinEllipseScale = 0.001, kMaxEllipseScale = 1e6;
inline constexpr int kMinDisplayHeightMm = 1, kMaxDisplayHeightMm = 30;
inline constexpr double kMinOutputHeightMm = 0.1, kMaxOutputHeightMm = 30;

// The window the view paints into, as the widget last reported it.
struct ScreenMetrics {
  int clientWidth = 800, clientHeight = 600;  // device pixels
  double dpiX = 96, dpiY = 96;
  int rowHeight = 22;   // the shared grid row height: the tool band's height
  int charHeight = 12;  // the interface font's character height in pixels
  Rgb face{240, 240, 240};
};

// Logical (0.1 mm, Y up) to device (y down): d = (l - windowOrg) x scale + viewportOrg,
// with the Y axis turned over.
struct DeviceMapping {
  double sx = 96.0 / 254, sy = 96.0 / 254;  // device units per logical unit
  DPoint windowOrg;                         // logical
  DPoint viewportOrg;                       // device
  DPoint ToDevice(DPoint l) const {
    return {(l.x - windowOrg.x) * sx + viewportOrg.x, -(l.y - windowOrg.y) * sy + viewportOrg.y};
  }
  DPoint ToLogical(DPoint d) const {
    return {(d.x - viewportOrg.x) / sx + windowOrg.x, -(d.y - viewportOrg.y) / sy + windowOrg.y};
  }
  static DeviceMapping Screen(const ScreenMetrics& m) { return {m.dpiX / 254, m.dpiY / 254, {}, {}}; }
};

// The printer page the drawing goes on: printable area in device dots.
struct PageMetrics {
  double width = 0, height = 0;  // device units
  double dpiX = 600, dpiY = 600;
};

// What the view asks of its window.
class IDrawHost {
 public:
  virtual ~IDrawHost() = default;
  virtual void Invalidate() = 0;                          // repaint below the tool band
  virtual void ShowTableButton(bool show) = 0;
  virtual void SetQueryTip(const std::string& text) = 0;  // the query tool's tip
  virtual void BackToTable() = 0;                         // the frame's remembered table view
  virtual void OpenSettings() = 0;                        // the settings dialog (OnDrawSettings)
  virtual void OpenCadExport() = 0;                       // the output-to-CAD dialog
};

class CDrawView : public IDrawFeed {
 public:
  struct CLayer {
    std::string name;
    int visible = 1;
    int colour = 7;
    int style = 0;
    int used = 0;
  };
  struct CPtEx {
    double x = 0, y = 0;
  };
  struct CLine {
    int layer = -1;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  };
  struct CPolyLine {
    int layer = -1;
    std::vector<CPtEx> vertices;
  };
  struct CKzd {
    double x = 0, y = 0;
    int known = 0;
    std::string name;
    double value = 0;
    double E = -1.0, F = -1.0, orientation = -1.0;
  };
  struct CDlZh {
    int layer = -1;
    double x = 0, y = 0;
    std::string label1, label2;
    int kind = 0;
    double direction = 0;
    int queryable = 1;
    double value = 0;
  };
  struct CSbd {
    int layer = -1;
    double x = 0, y = 0;
    std::string name;
    double radius = 0;
    std::string secondText;
  };

  CDrawView();

  void SetHost(IDrawHost* host) { m_pHost = host; }
  void SetMetrics(const ScreenMetrics& m) { m_metrics = m; }
  const ScreenMetrics& Metrics() const { return m_metrics; }

  // IDrawFeed
  void BeginDrawing(int mode) override;
  void ClearDrawing() override;
  void SetLayer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) override;
  void AddControlPoint(const std::string& name, int known, double x, double y, double value, double E, double F,
                       double orientation) override;
  void AddLine(const std::string& layer, double x1, double y1, double x2, double y2) override;
  int BeginPolyline(const std::string& layer) override;
  void AddPolylineVertex(double x, double y, int polyline = -1) override;
  void AddLabelledPoint(const std::string& layer, double x, double y, const std::string& label1,
                        const std::string& label2, int kind, double direction, int queryable,
                        double value) override;
  void AddDetailPoint(const std::string& layer, const std::string& name, const std::string& secondText, double x,
                      double y, double radius) override;
  void SetMessage(const std::string& text) override;
  void Redraw() override;

  // Document new and open.
  void ResetView();
  // Screen scale denominator, held in kMinScale..kMaxScale; a value that is not a
  // finite number leaves the scale as it is.
  void SetScale(double N);
  void ShowTableButton(int show);
  int FindOrAddLayer(const std::string& name, int markUsed);
  void ExtendExtent(double x, double y);
  // Layer index of a name, -1 when there is none.
  int FindLayer(const std::string& name) const;

  // World to logical at the screen scale (the extent corner at m_ptOrigin).
  DPoint WorldToLogical(double x, double y) const { return WorldToLogical(x, y, m_dUnitsPerMetre); }
  DPoint WorldToLogical(double x, double y, double k) const;

  // Painting. OnDraw is the screen: message or network, query highlight, tool
  // band. OnPrint puts the drawing on one page at the print scale.
  void OnDraw(IDrawCanvas& canvas);
  void OnPrint(IDrawCanvas& canvas, const PageMetrics& page);
  void DrawNetwork(IDrawCanvas& canvas, const DeviceMapping& map, bool printing);
  void DrawErrorEllipse(IDrawCanvas& canvas, const DeviceMapping& map, DPoint P, double E, double F,
                        double orientation) const;
  void DrawScaleCaption(IDrawCanvas& canvas, const DeviceMapping& map) const;
  void DrawToolBand(IDrawCanvas& canvas) const;
  // The caption text of the screen scale.
  std::string ScaleCaption() const;
  // Where the caption lies on the screen, in logical units (top <= bottom as numbers).
  DRect ScaleCaptionBox() const;
  // The label height in logical units for a pass (see DrawNetwork).
  int LabelHeight(bool printing) const;
  // The pen of a layer, sized for the mapping.
  Pen LayerPen(int layer, const DeviceMapping& map) const;

  // Tools and mouse. Points are device pixels of the widget's client area.
  void OnToolCommand(int id);
  void OnZoomAll();
  void OnLButtonDown(DPoint device);
  void OnLButtonUp(DPoint device);
  void OnMButtonDown(DPoint device);
  void OnMButtonUp(DPoint device);
  void OnMouseMove(DPoint device, bool leftHeld, bool middleHeld);
  void OnMouseWheel(int delta, DPoint device);
  void OnRButtonDown();
  // The cursor resource for a point, 0 for the default arrow.
  int CursorAt(DPoint device) const;
  // The query hit test at a logical point: the first control point whose 30 x 30
  // square holds it. Returns false (text empty) without a hit.
  bool QueryPointAt(DPoint logical, DRect* hit, std::string& text) const;
  // The client area below the tool band in logical units.
  DRect ClientLogical() const;
  bool Dragging() const { return m_nDragButton != 0; }
  // The window-zoom rubber band in device pixels, when one is being dragged.
  bool RubberBand(DRect* device) const;

  // State (names as the rest of the program knows them).
  int m_nDisplayTextHeight = 40;
  double m_dOutputTextHeight = 25;
  double m_dPrintScale = 1000;
  double m_dPrintScaleSetting = 1000;
  double m_dEllipseScale = 1.0;
  int m_nKnownSymbol = kSymbolTriangle;
  int m_nOtherSymbol = kSymbolCircle;
  int m_bFixedTextHeight = 1;
  int DrawingMode = kModePlot;
  double m_dScale = 10000;
  double m_dUnitsPerMetre = 1;
  DPoint m_ptOrigin{200, -200};
  double m_dMinX = 0, m_dMaxX = 0, m_dMinY = 0, m_dMaxY = 0;
  int m_bHasExtent = 0;
  int m_nToolMode = -1;
  std::string m_strMessage;
  bool m_bTableButtonShown = false;

  std::vector<CLayer> m_arrLayer;
  ElementArray<CLine> m_arrLine;
  ElementArray<CPolyLine> m_arrPolyLine;
  ElementArray<CKzd> m_arrKzd;
  ElementArray<CDlZh> m_arrDlZh;
  ElementArray<CSbd> m_arrSbd;

  // Query highlight (logical units) and its text.
  DRect m_rcHit{};
  bool m_bHit = false;
  std::string m_strQuery;

 private:
  void SaveDown(DPoint logical);
  // Units per metre of a pass: the print scale on paper, the screen scale otherwise.
  double PassUnits(bool printing) const;
  // Zoom about the down point to new units per metre `k`, from the saved state.
  void ZoomAboutDown(double k);
  void DrawPolylines(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis);
  void DrawLines(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis);
  void DrawDetailPoints(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis, int h,
                        bool labels);
  void DrawControlPoints(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis, int h,
                         bool labels, LabelPlacer& placer);
  void DrawLabelledPoints(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis, int h,
                          bool labels);

  IDrawHost* m_pHost = nullptr;
  ScreenMetrics m_metrics;
  // Interaction state (logical units).
  int m_nDragButton = 0;  // 1 left, 2 middle
  DPoint m_ptDown, m_ptLast;
  DPoint m_ptSavedOrigin;
  double m_dSavedUnits = 1;
};

// The one drawing view of the program, set while its widget exists (null otherwise).
extern CDrawView* g_pDrawView;

}  // namespace drawing
