#pragma once
// The drawing canvas over a QPainter: the one implementation behind the screen
// view, the printer, print preview and PDF. The painter's own transform is left
// alone; the renderer hands device coordinates.
#include <QFont>
#include <QGlyphRun>
#include <QRawFont>
#include <QPainter>
#include <map>
#include <utility>

#include "drawing/draw_canvas.h"

namespace drawing_ui {

QColor ToQColor(drawing::Colour c);
// The Qt pen for a drawing pen: the layer colour, the width in device units (0 =
// cosmetic) and the dash pattern measured in pen.dashUnit device units.
QPen ToQPen(const drawing::Pen& pen);

class QtDrawCanvas final : public drawing::IDrawCanvas {
 public:
  explicit QtDrawCanvas(QPainter& painter);

  void SetPen(const drawing::Pen& pen) override;
  void Line(drawing::DPoint a, drawing::DPoint b) override;
  void Polyline(const drawing::DPoint* pts, std::size_t n) override;
  void Polygon(const drawing::DPoint* pts, std::size_t n) override;
  void Bezier(const drawing::DPoint* pts, std::size_t n) override;
  void Circle(drawing::DPoint centre, double radius) override;
  void Pixel(drawing::DPoint p, drawing::Colour c) override;
  void FillRect(const drawing::DRect& r, drawing::Colour c) override;
  void Text(drawing::DPoint at, std::string_view utf8, const drawing::TextStyle& style) override;
  void TextBox(const drawing::DRect& r, std::string_view utf8, const drawing::TextStyle& style) override;
  void SetClip(const drawing::DRect& r) override;
  void ResetClip() override;

 private:
  // A face at one height with the metrics the anchors need (measured once).
  struct FontEntry {
    QFont font;
    QRawFont raw;
    double ascent = 0, descent = 0;
  };
  // The glyphs of a one-line text laid out by their advances, and its width; false
  // when the face lacks a glyph (the text then goes through the full layout).
  bool Glyphs(const FontEntry& f, const QString& text, QGlyphRun* run, double* width);
  const FontEntry& FontFor(const drawing::TextStyle& style);
  // Text changes the painter's pen and font; shapes take their pen back first.
  void UseFont(const FontEntry& f);
  void UseTextColour(drawing::Colour c);
  void UseShapePen() {
    if (painterPen_ != PainterPen::Shape) {
      p_.setPen(shapePen_);
      painterPen_ = PainterPen::Shape;
    }
  }
  QPainter& p_;
  std::map<std::pair<int, long>, FontEntry> fonts_;
  const FontEntry* font_ = nullptr;
  QPen shapePen_;
  drawing::Pen lastPen_;
  bool hasPen_ = false;
  enum class PainterPen { Shape, Text, Other } painterPen_ = PainterPen::Shape;
  QRgb textRgb_ = 0;  // the colour of the text pen
};

}  // namespace drawing_ui
