#pragma once
// The surface the network drawing paints on, in doubles. One renderer draws
// through it on the screen, on a printer page, into a PDF and into a recording
// canvas in tests; the Qt side implements it once over QPainter
// (drawing/ui/qt_draw_canvas.h).
//
// Coordinates are device units with y pointing down (screen pixels, printer
// dots). The renderer does the world-to-device mapping itself, so what lands on
// paper is decided, and tested, without Qt.
//
// Keep this interface small and stable: add members, never rename them.
#include <cstddef>
#include <string_view>

#include "drawing/aci_color.h"

namespace drawing {

struct DPoint {
  double x = 0, y = 0;
  friend bool operator==(const DPoint&, const DPoint&) = default;
};

struct DRect {
  double left = 0, top = 0, right = 0, bottom = 0;
  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  bool Contains(DPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// Clips the segment a-b to the rectangle (Liang-Barsky); false when none of it
// is inside.
bool ClipSegment(DPoint& a, DPoint& b, const DRect& r);

// A colour given as an entry of the colour index (layers) or directly (the
// view's own parts: tool band, message, highlight).
struct Colour {
  int aci = 7;
  bool direct = false;
  Rgb rgb{};
  static Colour Index(int i) { return Colour{i, false, {}}; }
  static Colour Direct(int r, int g, int b) {
    return Colour{-1, true, Rgb{std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)}};
  }
  Rgb Resolve() const { return direct ? rgb : GetAciColor(aci); }
};

enum class Dash { Solid, Dash, Dot, DashDot, DashDotDot };

struct Pen {
  Colour colour;
  double width = 1;      // device units; 0 is the thinnest line the device draws
  Dash dash = Dash::Solid;
  double dashUnit = 1;   // device units per dash-pattern unit (a screen pixel)
};

// Where the text's anchor point sits on the text's box.
enum class Anchor { TopLeft, TopCenter, Center, BaselineLeft, BottomLeft };

// The face: the drawing's label face, or the desktop's interface font.
enum class Face { Label, Gui };

struct TextStyle {
  double height = 12;    // character cell height (ascent + descent) in device units
  double width = 0;      // advance of a half-width character in device units; 0 keeps the face's own
  Colour colour;
  Anchor anchor = Anchor::TopLeft;
  Face face = Face::Label;
  double angle = 0;      // degrees, counter-clockwise on the page
};

class IDrawCanvas {
 public:
  virtual ~IDrawCanvas() = default;
  virtual void SetPen(const Pen& pen) = 0;
  virtual void Line(DPoint a, DPoint b) = 0;
  // Open polyline through the points.
  virtual void Polyline(const DPoint* pts, std::size_t n) = 0;
  // Closed outline, not filled.
  virtual void Polygon(const DPoint* pts, std::size_t n) = 0;
  // A chain of cubic Bézier arcs: 1 + 3k points, not filled.
  virtual void Bezier(const DPoint* pts, std::size_t n) = 0;
  virtual void Circle(DPoint centre, double radius) = 0;
  // One device unit square at the point.
  virtual void Pixel(DPoint p, Colour c) = 0;
  virtual void FillRect(const DRect& r, Colour c) = 0;
  // Single-line text placed by its anchor.
  virtual void Text(DPoint at, std::string_view utf8, const TextStyle& style) = 0;
  // Text inside a rectangle: centred on one line for Anchor::Center, otherwise
  // word-wrapped from the top left.
  virtual void TextBox(const DRect& r, std::string_view utf8, const TextStyle& style) = 0;
  virtual void SetClip(const DRect& r) = 0;
  virtual void ResetClip() = 0;
};

}  // namespace drawing
