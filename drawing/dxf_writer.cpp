#include "drawing/dxf_writer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "drawing/draw_view.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/textfile.h"

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

class Dxf {
 public:
  void Pair(int code, const std::string& value) {
    out_ += std::to_string(code);
    out_ += "\r\n";
    out_ += value;
    out_ += "\r\n";
  }
  void Pair(int code, int value) { Pair(code, std::to_string(value)); }
  void Num(int code, double value) {
    if (!std::isfinite(value)) value = 0;
    Pair(code, platform::FormatFixed(value, 6));
  }
  // A survey point: DXF X east, DXF Y north.
  void Point(int code, double x, double y) {
    Num(code, y);
    Num(code + 10, x);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

struct LayerLook {
  std::string name;
  int visible = 1, colour = 7, style = 0;
};

class Writer {
 public:
  explicit Writer(const CDrawView& v) : v_(v) {}

  std::string Build() {
    CollectLayers();
    Header();
    Tables();
    d_.Pair(0, "SECTION");
    d_.Pair(2, "ENTITIES");
    Polylines();
    Lines();
    DetailPoints();
    ControlPoints();
    LabelledPoints();
    d_.Pair(0, "ENDSEC");
    d_.Pair(0, "EOF");
    return d_.Take();
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

  void Header() {
    d_.Pair(0, "SECTION");
    d_.Pair(2, "HEADER");
    d_.Pair(9, "$ACADVER");
    d_.Pair(1, "AC1009");
    d_.Pair(9, "$DWGCODEPAGE");
    d_.Pair(3, "ANSI_936");
    d_.Pair(9, "$INSBASE");
    d_.Num(10, 0);
    d_.Num(20, 0);
    d_.Num(30, 0);
    d_.Pair(9, "$EXTMIN");
    d_.Point(10, v_.m_dMinX, v_.m_dMinY);
    d_.Num(30, 0);
    d_.Pair(9, "$EXTMAX");
    d_.Point(10, v_.m_dMaxX, v_.m_dMaxY);
    d_.Num(30, 0);
    d_.Pair(9, "$TEXTSIZE");
    d_.Num(40, TextHeight());
    d_.Pair(9, "$LTSCALE");
    d_.Num(40, 1);
    d_.Pair(0, "ENDSEC");
  }

  void LType(const char* name, const char* text, const std::vector<double>& pattern) {
    d_.Pair(0, "LTYPE");
    d_.Pair(2, name);
    d_.Pair(70, 0);
    d_.Pair(3, text);
    d_.Pair(72, 65);
    d_.Pair(73, static_cast<int>(pattern.size()));
    double total = 0;
    for (double p : pattern) total += std::fabs(p);
    d_.Num(40, total);
    for (double p : pattern) d_.Num(49, p);
  }

  void Tables() {
    d_.Pair(0, "SECTION");
    d_.Pair(2, "TABLES");
    // Dash lengths in metres: millimetres on paper at 1:1000.
    d_.Pair(0, "TABLE");
    d_.Pair(2, "LTYPE");
    d_.Pair(70, 5);
    LType("CONTINUOUS", "Solid line", {});
    LType("DASHED", "__ __ __", {5.0, -1.5});
    LType("DOT", ". . . .", {0.0, -1.0});
    LType("DASHDOT", "__ . __ .", {5.0, -1.0, 0.0, -1.0});
    LType("DIVIDE", "__ . . __", {5.0, -1.0, 0.0, -1.0, 0.0, -1.0});
    d_.Pair(0, "ENDTAB");

    d_.Pair(0, "TABLE");
    d_.Pair(2, "LAYER");
    d_.Pair(70, static_cast<int>(layers_.size()) + 1);
    Layer("0", 7, true, "CONTINUOUS");
    for (const LayerLook& l : layers_) Layer(l.name, l.colour, l.visible != 0, LineType(l.style));
    d_.Pair(0, "ENDTAB");

    d_.Pair(0, "TABLE");
    d_.Pair(2, "STYLE");
    d_.Pair(70, 1);
    d_.Pair(0, "STYLE");
    d_.Pair(2, "STANDARD");
    d_.Pair(70, 0);
    d_.Num(40, 0);
    d_.Num(41, 0.7);
    d_.Num(50, 0);
    d_.Pair(71, 0);
    d_.Num(42, TextHeight());
    d_.Pair(3, "txt");
    d_.Pair(4, "gbcbig");
    d_.Pair(0, "ENDTAB");
    d_.Pair(0, "ENDSEC");
  }

  void Layer(const std::string& name, int colour, bool on, const char* ltype) {
    d_.Pair(0, "LAYER");
    d_.Pair(2, name);
    d_.Pair(70, 0);
    const int c = ClampLayerColour(colour);
    d_.Pair(62, on ? c : -c);  // a negative colour switches the layer off
    d_.Pair(6, ltype);
  }

  void Line(const std::string& layer, double x1, double y1, double x2, double y2) {
    if (Wide(layer)) {
      const double px[2] = {x1, x2}, py[2] = {y1, y2};
      Poly(layer, px, py, 2, false);
      return;
    }
    d_.Pair(0, "LINE");
    d_.Pair(8, layer);
    d_.Point(10, x1, y1);
    d_.Num(30, 0);
    d_.Point(11, x2, y2);
    d_.Num(31, 0);
  }

  void Poly(const std::string& layer, const double* xs, const double* ys, std::size_t n, bool closed) {
    d_.Pair(0, "POLYLINE");
    d_.Pair(8, layer);
    d_.Pair(66, 1);
    d_.Num(10, 0);
    d_.Num(20, 0);
    d_.Num(30, 0);
    d_.Pair(70, closed ? 1 : 0);
    const double w = Width(layer);
    if (w > 0) {
      d_.Num(40, w);
      d_.Num(41, w);
    }
    for (std::size_t i = 0; i < n; ++i) {
      d_.Pair(0, "VERTEX");
      d_.Pair(8, layer);
      d_.Point(10, xs[i], ys[i]);
      d_.Num(30, 0);
    }
    d_.Pair(0, "SEQEND");
    d_.Pair(8, layer);
  }

  void Circle(const std::string& layer, double x, double y, double r) {
    d_.Pair(0, "CIRCLE");
    d_.Pair(8, layer);
    d_.Point(10, x, y);
    d_.Num(30, 0);
    d_.Num(40, r);
  }

  void PointEntity(const std::string& layer, double x, double y) {
    d_.Pair(0, "POINT");
    d_.Pair(8, layer);
    d_.Point(10, x, y);
    d_.Num(30, 0);
  }

  // Text by its left baseline (align 0) or centred in both directions (align 4)
  // on the given survey point.
  void Text(const std::string& layer, double x, double y, const std::string& text, int align) {
    if (text.empty()) return;
    d_.Pair(0, "TEXT");
    d_.Pair(8, layer);
    d_.Point(10, x, y);
    d_.Num(30, 0);
    d_.Num(40, TextHeight());
    d_.Pair(1, text);
    d_.Num(41, 0.7);
    d_.Pair(7, "STANDARD");
    if (align != 0) {
      d_.Pair(72, align);
      d_.Point(11, x, y);
      d_.Num(31, 0);
    }
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
  Dxf d_;
};

}  // namespace

std::string BuildDxf(const CDrawView& view) { return Writer(view).Build(); }

bool WriteDxf(const CDrawView& view, const std::string& path, std::string* error) {
  std::size_t bad = 0;
  const std::string text = BuildDxf(view);
  auto gbk = platform::Utf8ToGbk(text, &bad);
  if (!gbk) {
    if (error) *error = "字符“" + platform::FirstNonGbkChar(text.substr(bad)) + "”无法以GBK编码写入DXF文件";
    return false;
  }
  return platform::WriteFileAtomic(path, *gbk, error);
}

}  // namespace drawing
