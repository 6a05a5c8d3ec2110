#include "drawing/dxf_writer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "drawing/draw_view.h"
#include "platform/dxf_file.h"
#include "platform/gbk.h"
#include "platform/number.h"

namespace drawing {
namespace {

constexpr double kMetresPerLogical = 0.1;  // 0.1 mm on paper at 1:1000
constexpr int kEllipseVertices = 72;

const char* LineType(int style) {
  switch (style) {
    case 1: return "DASHED";
    case 2: return "DOT";
    case 3: return "DASHDOT";
    case 4: return "DIVIDE";
    default: return "CONTINUOUS";
  }
}

struct LayerLook {
  std::string name;
  int visible = 1, colour = 7, style = 0;
};

class Writer {
 public:
  Writer(const CDrawView& v, platform::CDxfFile& d) : v_(v), d_(d) {}

  void Build() {
    CollectLayers();
    Header();
    Tables();
    d_.BeginEntities();
    Polylines();
    Lines();
    DetailPoints();
    ControlPoints();
    LabelledPoints();
    d_.End();
  }

 private:
  double TextHeight() const {
    const double out = std::isfinite(v_.m_dOutputTextHeight) && v_.m_dOutputTextHeight > 0 ? v_.m_dOutputTextHeight : 25;
    return out * kMetresPerLogical;
  }
  double EllipseScale() const {
    return std::isfinite(v_.m_dEllipseScale) && v_.m_dEllipseScale > 0 ? v_.m_dEllipseScale : 1.0;
  }

  const LayerLook* Look(const std::string& name) const {
    for (const LayerLook& l : layers_)
      if (l.name == name) return &l;
    return nullptr;
  }
  void Use(const std::string& name) {
    if (Look(name)) return;
    LayerLook l;
    l.name = name;
    const int i = v_.FindLayer(name);
    if (i >= 0) {
      const auto& src = v_.m_arrLayer[static_cast<std::size_t>(i)];
      l.visible = src.visible;
      l.colour = src.colour;
      l.style = src.style;
    }
    layers_.push_back(l);
  }
  std::string NameOf(int layer) const {
    if (layer < 0 || layer >= static_cast<int>(v_.m_arrLayer.size())) return "0";
    return v_.m_arrLayer[static_cast<std::size_t>(layer)].name;
  }
  bool Wide(const std::string& layer) const {
    const LayerLook* l = Look(layer);
    return l && l->style >= 11;
  }
  double Width(const std::string& layer) const {
    const LayerLook* l = Look(layer);
    return l && l->style >= 11 ? (l->style - 10) * kMetresPerLogical : 0;
  }

  // Only the layers that carry something, in the order of the layer table.
  void CollectLayers() {
    std::vector<std::string> names;
    auto add = [&](const std::string& n) {
      if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    };
    for (const auto& p : v_.m_arrPolyLine)
      if (p.vertices.size() >= 2) add(NameOf(p.layer));
    for (const auto& l : v_.m_arrLine) add(NameOf(l.layer));
    for (const auto& s : v_.m_arrSbd) {
      add(NameOf(s.layer));
      if (!s.name.empty()) add(kLayerDetailName);
      if (!s.secondText.empty()) add(kLayerDetailHeight);
    }
    for (const auto& k : v_.m_arrKzd) {
      add(k.known ? kLayerKnown : kLayerUnknown);
      if (k.E > 1e-10 && std::isfinite(k.E)) add(kLayerEllipse);
      else add(k.known ? kLayerKnownSymbol : kLayerUnknownSymbol);
    }
    for (const auto& d : v_.m_arrDlZh)
      if (d.kind == 0) add(NameOf(d.layer));
    std::stable_sort(names.begin(), names.end(), [this](const std::string& a, const std::string& b) {
      const int ia = v_.FindLayer(a), ib = v_.FindLayer(b);
      return (ia < 0 ? 1 << 30 : ia) < (ib < 0 ? 1 << 30 : ib);
    });
    for (const auto& n : names) Use(n);
  }

  void Header() { d_.Header(v_.m_dMinY, v_.m_dMinX, v_.m_dMaxY, v_.m_dMaxX, TextHeight()); }

  void Tables() {
    // Dash lengths in metres: millimetres on paper at 1:1000.
    static const std::vector<platform::CDxfFile::LineType> kLineTypes = {
        {"CONTINUOUS", "Solid line", {}},
        {"DASHED", "__ __ __", {5.0, -1.5}},
        {"DOT", ". . . .", {0.0, -1.0}},
        {"DASHDOT", "__ . __ .", {5.0, -1.0, 0.0, -1.0}},
        {"DIVIDE", "__ . . __", {5.0, -1.0, 0.0, -1.0, 0.0, -1.0}},
    };
    std::vector<platform::CDxfFile::Layer> layers;
    for (const LayerLook& l : layers_)
      layers.push_back({l.name, ClampLayerColour(l.colour), l.visible != 0, LineType(l.style)});
    d_.Tables(kLineTypes, layers, TextHeight());
  }

  // Survey points go on DXF axes: DXF X east (survey y), DXF Y north (survey x).
  void Line(const std::string& layer, double x1, double y1, double x2, double y2) {
    if (Wide(layer)) {
      const double px[2] = {x1, x2}, py[2] = {y1, y2};
      Poly(layer, px, py, 2, false);
      return;
    }
    d_.Line(layer, y1, x1, y2, x2);
  }

  void Poly(const std::string& layer, const double* xs, const double* ys, std::size_t n, bool closed) {
    d_.Polyline(layer, ys, xs, n, closed, Width(layer));
  }

  void Circle(const std::string& layer, double x, double y, double r) { d_.Circle(layer, y, x, r); }

  void PointEntity(const std::string& layer, double x, double y) { d_.Point(layer, y, x); }

  // Text by its left baseline (align 0) or centred in both directions (align 4)
  // on the given survey point.
  void Text(const std::string& layer, double x, double y, const std::string& text, int align) {
    d_.Text(layer, y, x, TextHeight(), text, 0.7, align);
  }

  void Polylines() {
    std::vector<double> xs, ys;
    for (const auto& p : v_.m_arrPolyLine) {
      if (p.vertices.size() < 2) continue;
      xs.clear();
      ys.clear();
      for (const auto& pt : p.vertices) {
        xs.push_back(pt.x);
        ys.push_back(pt.y);
      }
      Poly(NameOf(p.layer), xs.data(), ys.data(), xs.size(), false);
    }
  }

  void Lines() {
    for (const auto& l : v_.m_arrLine) Line(NameOf(l.layer), l.x1, l.y1, l.x2, l.y2);
  }

  void DetailPoints() {
    const double h = TextHeight();
    for (const auto& s : v_.m_arrSbd) {
      const std::string layer = NameOf(s.layer);
      const double r = std::isfinite(s.radius) && s.radius > 0 ? s.radius : 0;  // mm on paper = m
      if (r * 10 > 1) Circle(layer, s.x, s.y, r);
      PointEntity(layer, s.x, s.y);
      // As on paper: 2 m east, the text centred on the circle's top plus half a line.
      const double east = s.y + 2.0, north = s.x + r + h / 2 - h;
      Text(kLayerDetailName, north, east, s.name, 0);
      Text(kLayerDetailHeight, north, east, s.secondText, 0);
    }
  }

  void ControlPoints() {
    const double h = TextHeight();
    const double S = EllipseScale();
    for (const auto& k : v_.m_arrKzd) {
      const bool ellipse = k.E > 1e-10 && std::isfinite(k.E);
      if (ellipse) {
        // Semi-axes E / S and F / S millimetres on paper, metres here; E along
        // the azimuth `orientation` (clockwise from north).
        const double a = k.E / S, b = (std::isfinite(k.F) && k.F > 0 ? k.F : 0) / S;
        const double t = std::isfinite(k.orientation) ? k.orientation : 0;
        const double ct = std::cos(t), st = std::sin(t);
        double xs[kEllipseVertices], ys[kEllipseVertices];
        for (int i = 0; i < kEllipseVertices; ++i) {
          const double p = 2 * std::numbers::pi * i / kEllipseVertices;
          const double u = a * std::cos(p), w = b * std::sin(p);  // u along E, w along F (right of E)
          xs[i] = k.x + u * ct - w * st;
          ys[i] = k.y + u * st + w * ct;
        }
        Poly(kLayerEllipse, xs, ys, kEllipseVertices, true);
        Line(kLayerEllipse, k.x - a * ct, k.y - a * st, k.x + a * ct, k.y + a * st);
        Line(kLayerEllipse, k.x + b * st, k.y - b * ct, k.x - b * st, k.y + b * ct);
      } else {
        Symbol(k.known ? kLayerKnownSymbol : kLayerUnknownSymbol, k.known ? v_.m_nKnownSymbol : v_.m_nOtherSymbol,
               k.x, k.y);
      }
      const std::string layer = k.known ? kLayerKnown : kLayerUnknown;
      const double east = k.y + 2.0;  // 20 units right of the point
      if (v_.DrawingMode == kModePlot) {
        const double w = ((static_cast<int>(h / kMetresPerLogical + 0.001) + 1) / 2) * kMetresPerLogical *
                         std::max(8, platform::GbkWidth(k.name));
        Line(layer, k.x, east, k.x, east + w);
        Text(layer, k.x + (h + 2.0) / 2, east + w / 2, k.name, 4);
        if (std::isfinite(k.value)) Text(layer, k.x - (h + 2.0) / 2, east + w / 2, platform::FormatFixed(k.value, 3), 4);
      } else {
        Text(layer, k.x - h / 2, east, k.name, 0);
      }
    }
  }

  // Symbols as on paper: offsets of 1.5 m (15 units) and 1.0 m, circles of 0.8 m.
  void Symbol(const std::string& layer, int symbol, double x, double y) {
    auto tri = [&](double s) {
      // (east, north) offsets of the triangle's corners; s = +1 apex up, -1 down.
      const double xs[3] = {x - 1.5 * s, x - 1.5 * s, x + 1.5 * s};
      const double ys[3] = {y - 1.5, y + 1.5, y};
      Poly(layer, xs, ys, 3, true);
    };
    switch (symbol) {
      case kSymbolTriangle: tri(1); break;
      case kSymbolInvTriangle: tri(-1); break;
      case kSymbolSquare: {
        const double xs[4] = {x - 1, x + 1, x + 1, x - 1};
        const double ys[4] = {y + 1, y + 1, y - 1, y - 1};
        Poly(layer, xs, ys, 4, true);
        break;
      }
      default: Circle(layer, x, y, 0.8); break;
    }
  }

  void LabelledPoints() {
    const double h = TextHeight();
    for (const auto& d : v_.m_arrDlZh) {
      if (d.kind != 0) continue;
      const std::string layer = NameOf(d.layer);
      Circle(layer, d.x, d.y, 0.8);
      Text(layer, d.x + h / 2 - h, d.y + h / 2, d.label1, 0);
    }
  }

  const CDrawView& v_;
  std::vector<LayerLook> layers_;
  platform::CDxfFile& d_;
};

}  // namespace

std::string BuildDxf(const CDrawView& view) {
  platform::CDxfFile d;
  Writer(view, d).Build();
  return d.Take();
}

// Piece by piece into the file: 20,000 ellipses make some 150 MB of text.
bool WriteDxf(const CDrawView& view, const std::string& path, std::string* error) {
  return platform::WriteDxfFile([&view](platform::CDxfFile& d) { Writer(view, d).Build(); }, 6, path, error);
}

}  // namespace drawing
