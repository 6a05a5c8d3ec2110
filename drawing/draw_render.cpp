// The renderer: layers and elements onto a canvas at the screen or print scale.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numbers>

#include "drawing/draw_view.h"
#include "drawing/label_placer.h"
#include "platform/gbk.h"
#include "platform/number.h"

namespace drawing {
namespace {

constexpr double kLogicalPerScreenPixel = 254.0 / 96.0;  // dash patterns follow a 96-dpi pixel
constexpr double kBezierKappa = 0.2761423749154;         // half of 4/3 (sqrt 2 - 1)

bool Finite(double v) { return std::isfinite(v); }

TextStyle Label(double heightDevice, Colour c, Anchor anchor = Anchor::TopLeft) {
  TextStyle s;
  s.height = heightDevice;
  s.colour = c;
  s.anchor = anchor;
  return s;
}

// The label font: a cell h logical units high, each half-width character
// (h + 1) / 2 wide, as a label's place and underline are reckoned.
TextStyle LabelFont(int h, const DeviceMapping& map, Colour c, Anchor anchor = Anchor::TopLeft) {
  TextStyle s;
  s.height = h * map.sy;
  s.width = ((h + 1) / 2) * map.sx;
  s.colour = c;
  s.anchor = anchor;
  return s;
}

}  // namespace

bool ClipSegment(DPoint& a, DPoint& b, const DRect& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const DPoint a0 = a;
  if (t1 < 1) b = {a0.x + t1 * dx, a0.y + t1 * dy};
  if (t0 > 0) a = {a0.x + t0 * dx, a0.y + t0 * dy};
  return true;
}

int CDrawView::LabelHeight(bool printing) const {
  const double out = Finite(m_dOutputTextHeight) && m_dOutputTextHeight > 0 ? m_dOutputTextHeight : 25;
  if (printing) return static_cast<int>(out + 0.001);
  if (m_bFixedTextHeight) return m_nDisplayTextHeight > 0 ? m_nDisplayTextHeight : 40;
  const double print = Finite(m_dPrintScale) && m_dPrintScale > 0 ? m_dPrintScale : 1000;
  // Labels keep their paper size relative to the network, but never grow past
  // the largest height the settings allow (at 1:1 they would be metres high).
  const double h = std::min(out * print / m_dScale + 0.001, kMaxOutputHeightMm * 10);
  return static_cast<int>(h);
}

Pen CDrawView::LayerPen(int layer, const DeviceMapping& map) const {
  Pen pen;
  pen.dashUnit = kLogicalPerScreenPixel * map.sx;
  if (layer < 0 || layer >= static_cast<int>(m_arrLayer.size())) return pen;
  const CLayer& l = m_arrLayer[static_cast<std::size_t>(layer)];
  pen.colour = Colour::Index(l.colour);
  double units = 1;
  if (l.style >= 11) {
    units = l.style - 10;
  } else {
    static constexpr Dash kDash[5] = {Dash::Solid, Dash::Dash, Dash::Dot, Dash::DashDot, Dash::DashDotDot};
    pen.dash = (l.style >= 0 && l.style <= 4) ? kDash[l.style] : Dash::Solid;
  }
  pen.width = units * map.sx;
  if (pen.width < 1) pen.width = 0;  // the thinnest line of the device
  return pen;
}

void CDrawView::OnDraw(IDrawCanvas& canvas) {
  const ScreenMetrics& m = m_metrics;
  canvas.FillRect({0, 0, double(m.clientWidth), double(m.clientHeight)}, Colour::Direct(255, 255, 255));
  const DeviceMapping map = DeviceMapping::Screen(m);
  if (!m_strMessage.empty()) {
    TextStyle st;
    st.face = Face::Gui;
    st.height = m.charHeight;
    st.colour = Colour::Direct(255, 0, 0);
    canvas.TextBox({20, 43, double(m.clientWidth - 20), double(m.clientHeight - 20)},
                   "当前图形无法显示：\n\n" + m_strMessage, st);
  } else {
    DrawNetwork(canvas, map, false);
    if (m_bHit && !m_strQuery.empty()) {
      Pen red;
      red.colour = Colour::Direct(255, 0, 0);
      red.width = 0;
      canvas.SetPen(red);
      const DPoint a = map.ToDevice({m_rcHit.left, m_rcHit.bottom});
      const DPoint b = map.ToDevice({m_rcHit.right, m_rcHit.top});
      const DPoint box[4] = {a, {b.x, a.y}, b, {a.x, b.y}};
      canvas.Polygon(box, 4);
    }
    DRect band;
    if (RubberBand(&band)) {
      Pen dotted;
      dotted.width = 0;
      dotted.dash = Dash::Dot;
      canvas.SetPen(dotted);
      const DPoint box[4] = {{band.left, band.top}, {band.right, band.top}, {band.right, band.bottom},
                             {band.left, band.bottom}};
      canvas.Polygon(box, 4);
    }
  }
  DrawToolBand(canvas);
}

void CDrawView::OnPrint(IDrawCanvas& canvas, const PageMetrics& page) {
  DeviceMapping map;
  map.sx = page.dpiX / 254;
  map.sy = page.dpiY / 254;
  map.viewportOrg = {page.width / 2, page.height / 2};
  const double print = Finite(m_dPrintScale) && m_dPrintScale > 0 ? m_dPrintScale : 1000;
  const double k = 10000.0 / print;
  map.windowOrg = WorldToLogical((m_dMinX + m_dMaxX) / 2, (m_dMinY + m_dMaxY) / 2, k);
  DrawNetwork(canvas, map, true);
}

void CDrawView::DrawNetwork(IDrawCanvas& canvas, const DeviceMapping& map, bool printing) {
  const int h = LabelHeight(printing);
  const bool labels = printing || m_bFixedTextHeight || h >= 6;
  DRect vis{};
  if (!printing) {
    const DPoint a = map.ToLogical({0, 0});
    const DPoint b = map.ToLogical({double(m_metrics.clientWidth), double(m_metrics.clientHeight)});
    vis = {std::min(a.x, b.x) - 300, std::min(a.y, b.y) - 300, std::max(a.x, b.x) + 300, std::max(a.y, b.y) + 300};
  }
  Pen black;
  black.width = 0;
  canvas.SetPen(black);
  DrawPolylines(canvas, map, printing, vis);
  DrawLines(canvas, map, printing, vis);
  DrawDetailPoints(canvas, map, printing, vis, h, labels);
  LabelPlacer placer(std::max(2.0 * h, 50.0));
  if (!printing) placer.Occupy(ScaleCaptionBox());
  DrawControlPoints(canvas, map, printing, vis, h, labels, placer);
  DrawLabelledPoints(canvas, map, printing, vis, h, labels);
  if (!printing) DrawScaleCaption(canvas, map);
}

double CDrawView::PassUnits(bool printing) const {
  if (!printing) return m_dUnitsPerMetre;
  const double print = Finite(m_dPrintScale) && m_dPrintScale > 0 ? m_dPrintScale : 1000;
  return 10000.0 / print;
}

void CDrawView::DrawPolylines(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis) {
  const double k = PassUnits(printing);
  std::vector<DPoint> run;
  for (const CPolyLine& pl : m_arrPolyLine) {
    if (pl.vertices.size() < 2) continue;
    if (pl.layer >= 0 && !m_arrLayer[static_cast<std::size_t>(pl.layer)].visible) continue;
    canvas.SetPen(LayerPen(pl.layer, map));
    run.clear();
    if (printing) {
      for (const CPtEx& v : pl.vertices) run.push_back(map.ToDevice(WorldToLogical(v.x, v.y, k)));
      canvas.Polyline(run.data(), run.size());
      continue;
    }
    // Clipped segment by segment in double: a vertex far outside breaks the run
    // and the line picks up again where it comes back.
    DPoint prev = WorldToLogical(pl.vertices[0].x, pl.vertices[0].y, k);
    for (std::size_t i = 1; i < pl.vertices.size(); ++i) {
      const DPoint cur = WorldToLogical(pl.vertices[i].x, pl.vertices[i].y, k);
      DPoint a = prev, b = cur;
      if (ClipSegment(a, b, vis)) {
        const DPoint da = map.ToDevice(a);
        if (run.empty() || !(run.back() == da)) {
          if (run.size() >= 2) canvas.Polyline(run.data(), run.size());
          run.clear();
          run.push_back(da);
        }
        run.push_back(map.ToDevice(b));
        if (!(b == cur)) {  // left the area: end this run
          canvas.Polyline(run.data(), run.size());
          run.clear();
        }
      } else if (!run.empty()) {
        if (run.size() >= 2) canvas.Polyline(run.data(), run.size());
        run.clear();
      }
      prev = cur;
    }
    if (run.size() >= 2) canvas.Polyline(run.data(), run.size());
  }
}

void CDrawView::DrawLines(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis) {
  const double k = PassUnits(printing);
  for (const CLine& ln : m_arrLine) {
    if (ln.layer >= 0 && !m_arrLayer[static_cast<std::size_t>(ln.layer)].visible) continue;
    DPoint a = WorldToLogical(ln.x1, ln.y1, k), b = WorldToLogical(ln.x2, ln.y2, k);
    if (!printing) {
      if ((a.x < vis.left && b.x < vis.left) || (a.x > vis.right && b.x > vis.right) ||
          (a.y < vis.top && b.y < vis.top) || (a.y > vis.bottom && b.y > vis.bottom))
        continue;
      if (!ClipSegment(a, b, vis)) continue;
    }
    canvas.SetPen(LayerPen(ln.layer, map));
    canvas.Line(map.ToDevice(a), map.ToDevice(b));
  }
}

void CDrawView::DrawDetailPoints(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis,
                                 int h, bool labels) {
  if (m_arrSbd.empty()) return;
  const double k = PassUnits(printing);
  const int nameLayer = FindOrAddLayer(kLayerDetailName, 1);
  const int heightLayer = FindOrAddLayer(kLayerDetailHeight, 1);
  for (const CSbd& s : m_arrSbd) {
    const DPoint P = WorldToLogical(s.x, s.y, k);
    if (!printing && !vis.Contains(P)) continue;
    if (s.layer >= 0 && !m_arrLayer[static_cast<std::size_t>(s.layer)].visible) continue;
    const Pen pen = LayerPen(s.layer, map);
    canvas.SetPen(pen);
    const int r = Finite(s.radius) ? static_cast<int>(std::clamp(s.radius * 10, -1e6, 1e6)) : 0;
    if (r > 1) canvas.Circle(map.ToDevice(P), r * map.sx);
    canvas.Pixel(map.ToDevice(P), pen.colour);
    if (!labels) continue;
    const DPoint at = map.ToDevice({P.x + 20, P.y + r + h / 2});
    const CLayer& nl = m_arrLayer[static_cast<std::size_t>(nameLayer)];
    const CLayer& hl = m_arrLayer[static_cast<std::size_t>(heightLayer)];
    if (nl.visible && !s.name.empty()) canvas.Text(at, s.name, LabelFont(h, map, Colour::Index(nl.colour)));
    if (hl.visible && !s.secondText.empty())
      canvas.Text(at, s.secondText, LabelFont(h, map, Colour::Index(hl.colour)));
  }
}

void CDrawView::DrawControlPoints(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis,
                                  int h, bool labels, LabelPlacer& placer) {
  if (m_arrKzd.empty()) return;
  const double k = PassUnits(printing);
  const int ellipseLayer = FindOrAddLayer(kLayerEllipse, 1);
  const int symbolLayer[2] = {FindOrAddLayer(kLayerUnknownSymbol, 1), FindOrAddLayer(kLayerKnownSymbol, 1)};
  const int nameLayer[2] = {FindOrAddLayer(kLayerUnknown, 1), FindOrAddLayer(kLayerKnown, 1)};
  const double s = map.sx;
  for (const CKzd& c : m_arrKzd) {
    const DPoint P = WorldToLogical(c.x, c.y, k);
    if (!printing && !vis.Contains(P)) continue;
    const int known = c.known ? 1 : 0;
    bool ellipse = false;
    if (m_arrLayer[static_cast<std::size_t>(ellipseLayer)].visible && c.E > 1e-10 && Finite(c.E)) {
      canvas.SetPen(LayerPen(ellipseLayer, map));
      DrawErrorEllipse(canvas, map, P, c.E, c.F, c.orientation);
      ellipse = true;
    }
    const int sl = symbolLayer[known];
    if (!ellipse && m_arrLayer[static_cast<std::size_t>(sl)].visible) {
      canvas.SetPen(LayerPen(sl, map));
      const int symbol = known ? m_nKnownSymbol : m_nOtherSymbol;
      auto D = [&](double dx, double dy) { return map.ToDevice({P.x + dx, P.y + dy}); };
      switch (symbol) {
        case kSymbolTriangle: {
          const DPoint t[3] = {D(-15, -15), D(15, -15), D(0, 15)};
          canvas.Polygon(t, 3);
          break;
        }
        case kSymbolInvTriangle: {
          const DPoint t[3] = {D(-15, 15), D(15, 15), D(0, -15)};
          canvas.Polygon(t, 3);
          break;
        }
        case kSymbolSquare: {
          const DPoint q[4] = {D(10, -10), D(10, 10), D(-10, 10), D(-10, -10)};
          canvas.Polygon(q, 4);
          break;
        }
        default:
          canvas.Circle(map.ToDevice(P), (printing ? 8 : 12) * s);
          break;
      }
    }
    const int nl = nameLayer[known];
    const CLayer& layer = m_arrLayer[static_cast<std::size_t>(nl)];
    if (!layer.visible) continue;
    const Colour colour = Colour::Index(layer.colour);
    canvas.Pixel(map.ToDevice(P), colour);
    const double half = (h + 1) / 2;  // a half-width character of the label font
    if (DrawingMode == kModePlot) {
      const double w = half * std::max(8, platform::GbkWidth(c.name));
      const bool value = std::isfinite(c.value);
      // The name over the underline and the value under it move as one block.
      DPoint d{};
      if (labels) {
        const DRect block{P.x + 5, value ? P.y - h - 10 : P.y, P.x + 35 + w, P.y + h + 10};
        const double B = block.Height(), L = -(40 + w);
        const DPoint offsets[] = {{0, 0}, {L, 0}, {0, B}, {0, -B}, {L, B}, {L, -B}};
        d = placer.Place(block, offsets, std::size(offsets));
      }
      const double X = P.x + 20 + d.x, Y = P.y + d.y;
      canvas.SetPen(LayerPen(nl, map));
      canvas.Line(map.ToDevice({X, Y}), map.ToDevice({X + w, Y}));
      if (labels) {
        const DPoint a = map.ToDevice({X - 15, Y + h + 20}), b = map.ToDevice({X + w + 15, Y});
        canvas.TextBox({a.x, a.y, b.x, b.y}, c.name, LabelFont(h, map, colour, Anchor::Center));
        if (value) {
          const DPoint a2 = map.ToDevice({X - 15, Y}), b2 = map.ToDevice({X + w + 15, Y - h - 20});
          canvas.TextBox({a2.x, a2.y, b2.x, b2.y}, platform::FormatFixed(c.value, 3),
                         LabelFont(h, map, colour, Anchor::Center));
        }
      }
    } else if (labels) {
      const double w = half * platform::GbkWidth(c.name);
      const DRect box{P.x + 20, P.y + h / 2 - h, P.x + 20 + w, P.y + h / 2};
      const double H = h, L = -(40 + w);
      const DPoint offsets[] = {{0, 0}, {0, H}, {0, -H}, {L, 0}, {L, H}, {L, -H}, {0, 2 * H}, {0, -2 * H}};
      const DPoint d = placer.Place(box, offsets, std::size(offsets));
      canvas.Text(map.ToDevice({P.x + 20 + d.x, P.y + h / 2 + d.y}), c.name, LabelFont(h, map, colour));
    }
  }
}

void CDrawView::DrawLabelledPoints(IDrawCanvas& canvas, const DeviceMapping& map, bool printing, const DRect& vis,
                                   int h, bool labels) {
  const double k = PassUnits(printing);
  for (const CDlZh& d : m_arrDlZh) {
    if (d.kind != 0) continue;
    const DPoint P = WorldToLogical(d.x, d.y, k);
    if (!printing && !vis.Contains(P)) continue;
    if (d.layer >= 0 && !m_arrLayer[static_cast<std::size_t>(d.layer)].visible) continue;
    const Pen pen = LayerPen(d.layer, map);
    canvas.SetPen(pen);
    canvas.Circle(map.ToDevice(P), 8 * map.sx);
    canvas.Pixel(map.ToDevice(P), pen.colour);
    if (labels && !d.label1.empty())
      canvas.Text(map.ToDevice({P.x + h / 2, P.y + h / 2}), d.label1, LabelFont(h, map, pen.colour));
  }
}

void CDrawView::DrawErrorEllipse(IDrawCanvas& canvas, const DeviceMapping& map, DPoint P, double E, double F,
                                 double orientation) const {
  const double S = Finite(m_dEllipseScale) && m_dEllipseScale > 0 ? m_dEllipseScale : 1.0;
  const double s = 10.0 / S;
  const double a = s * E, b = s * (Finite(F) && F > 0 ? F : 0);
  const double theta = std::numbers::pi / 2 - (Finite(orientation) ? orientation : 0);
  const double k2 = 2 * kBezierKappa * a, k2b = 2 * kBezierKappa * b;
  const double uv[13][2] = {{-a, 0},  {-a, k2b}, {-k2, b}, {0, b},  {k2, b},   {a, k2b}, {a, 0},
                            {a, -k2b}, {k2, -b}, {0, -b}, {-k2, -b}, {-a, -k2b}, {-a, 0}};
  const double c = std::cos(theta), sn = std::sin(theta);
  DPoint pts[13];
  for (int i = 0; i < 13; ++i) {
    const double u = uv[i][0], v = uv[i][1];
    pts[i] = map.ToDevice({P.x + u * c + v * sn, P.y - (v * c - u * sn)});
  }
  canvas.Bezier(pts, 13);
  canvas.Line(pts[0], pts[6]);
  canvas.Line(pts[3], pts[9]);
}

std::string CDrawView::ScaleCaption() const {
  const std::string n = platform::FormatFixed(m_dScale, 0);
  if (DrawingMode == kModeNetwork)
    return "比例1：" + n + "  椭圆比例1：" + platform::FormatFixed(m_dEllipseScale, 3);
  return "比例1：" + n;
}

DRect CDrawView::ScaleCaptionBox() const {
  const ScreenMetrics& m = m_metrics;
  const int height = static_cast<int>(m.charHeight * 254 / m.dpiY + 5);
  const double top = static_cast<int>(-m.rowHeight * 254 / m.dpiY - 60);
  return {100, top - height, 100 + ((height + 1) / 2) * double(platform::GbkWidth(ScaleCaption())), top};
}

void CDrawView::DrawScaleCaption(IDrawCanvas& canvas, const DeviceMapping& map) const {
  const ScreenMetrics& m = m_metrics;
  const int height = static_cast<int>(m.charHeight * 254 / m.dpiY + 5);
  TextStyle st = Label(height * map.sy, Colour::Index(7));
  canvas.Text(map.ToDevice({100, double(static_cast<int>(-m.rowHeight * 254 / m.dpiY - 60))}), ScaleCaption(), st);
}

void CDrawView::DrawToolBand(IDrawCanvas& canvas) const {
  const ScreenMetrics& m = m_metrics;
  const double w = m.clientWidth, r = m.rowHeight;
  const Colour face = Colour::Direct(m.face.r, m.face.g, m.face.b);
  const Colour light = Colour::Direct(255, 255, 255), dark = Colour::Direct(105, 105, 105);
  canvas.FillRect({0, 0, w, r}, face);
  auto line = [&](double x1, double y1, double x2, double y2, Colour c) {
    Pen p;
    p.colour = c;
    p.width = 0;
    canvas.SetPen(p);
    canvas.Line({x1, y1}, {x2, y2});
  };
  line(1.5, 1.5, 1.5, r - 0.5, light);
  line(1.5, 1.5, w - 1.5, 1.5, light);
  line(w - 1.5, 1.5, w - 1.5, r - 0.5, light);
  line(0.5, 0.5, 0.5, r, dark);
  line(0.5, 0.5, w, 0.5, dark);
  line(w - 2.5, 0.5, w - 2.5, r, dark);
  // Closes the drawing area below the band.
  line(0.5, r + 0.5, w, r + 0.5, dark);
  line(0.5, r, 0.5, m.clientHeight, dark);
}

}  // namespace drawing
