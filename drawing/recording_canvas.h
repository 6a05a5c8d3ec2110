#pragma once
// A drawing canvas that records every call with its figures, for tests of the
// renderer: which symbol at which device point, which text where, what was culled.
#include <string>
#include <vector>

#include "drawing/draw_canvas.h"

namespace drawing {

enum class CanvasOp { SetPen, Line, Polyline, Polygon, Bezier, Circle, Pixel, FillRect, Text, TextBox, SetClip, ResetClip };

struct CanvasCall {
  CanvasOp op = CanvasOp::Line;
  std::vector<DPoint> pts;  // Line: 2; Circle: centre; rectangles: top-left, bottom-right
  double value = 0;         // Circle radius
  std::string text;
  Pen pen;                  // the pen in force (SetPen: the new one)
  TextStyle style;          // Text, TextBox
  Colour colour;            // Pixel, FillRect
};

class RecordingCanvas final : public IDrawCanvas {
 public:
  void SetPen(const Pen& pen) override;
  void Line(DPoint a, DPoint b) override;
  void Polyline(const DPoint* pts, std::size_t n) override;
  void Polygon(const DPoint* pts, std::size_t n) override;
  void Bezier(const DPoint* pts, std::size_t n) override;
  void Circle(DPoint centre, double radius) override;
  void Pixel(DPoint p, Colour c) override;
  void FillRect(const DRect& r, Colour c) override;
  void Text(DPoint at, std::string_view utf8, const TextStyle& style) override;
  void TextBox(const DRect& r, std::string_view utf8, const TextStyle& style) override;
  void SetClip(const DRect& r) override;
  void ResetClip() override;

  std::vector<CanvasCall> Of(CanvasOp op) const;
  int Count(CanvasOp op) const;
  // The texts drawn (Text and TextBox), in order.
  std::vector<std::string> Texts() const;
  void Clear() { calls.clear(); }

  std::vector<CanvasCall> calls;
  Pen pen;
};

}  // namespace drawing
