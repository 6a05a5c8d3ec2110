#include "drawing/recording_canvas.h"

namespace drawing {

void RecordingCanvas::SetPen(const Pen& p) {
  pen = p;
  calls.push_back({CanvasOp::SetPen, {}, 0, {}, p, {}, p.colour});
}

void RecordingCanvas::Line(DPoint a, DPoint b) { calls.push_back({CanvasOp::Line, {a, b}, 0, {}, pen, {}, pen.colour}); }

void RecordingCanvas::Polyline(const DPoint* pts, std::size_t n) {
  calls.push_back({CanvasOp::Polyline, std::vector<DPoint>(pts, pts + n), 0, {}, pen, {}, pen.colour});
}

void RecordingCanvas::Polygon(const DPoint* pts, std::size_t n) {
  calls.push_back({CanvasOp::Polygon, std::vector<DPoint>(pts, pts + n), 0, {}, pen, {}, pen.colour});
}

void RecordingCanvas::Bezier(const DPoint* pts, std::size_t n) {
  calls.push_back({CanvasOp::Bezier, std::vector<DPoint>(pts, pts + n), 0, {}, pen, {}, pen.colour});
}

void RecordingCanvas::Circle(DPoint c, double r) { calls.push_back({CanvasOp::Circle, {c}, r, {}, pen, {}, pen.colour}); }

void RecordingCanvas::Pixel(DPoint p, Colour c) { calls.push_back({CanvasOp::Pixel, {p}, 0, {}, pen, {}, c}); }

void RecordingCanvas::FillRect(const DRect& r, Colour c) {
  calls.push_back({CanvasOp::FillRect, {{r.left, r.top}, {r.right, r.bottom}}, 0, {}, pen, {}, c});
}

void RecordingCanvas::Text(DPoint at, std::string_view utf8, const TextStyle& style) {
  calls.push_back({CanvasOp::Text, {at}, 0, std::string(utf8), pen, style, style.colour});
}

void RecordingCanvas::TextBox(const DRect& r, std::string_view utf8, const TextStyle& style) {
  calls.push_back({CanvasOp::TextBox, {{r.left, r.top}, {r.right, r.bottom}}, 0, std::string(utf8), pen, style,
                   style.colour});
}

void RecordingCanvas::SetClip(const DRect& r) {
  calls.push_back({CanvasOp::SetClip, {{r.left, r.top}, {r.right, r.bottom}}, 0, {}, pen, {}, {}});
}

void RecordingCanvas::ResetClip() { calls.push_back({CanvasOp::ResetClip, {}, 0, {}, pen, {}, {}}); }

std::vector<CanvasCall> RecordingCanvas::Of(CanvasOp op) const {
  std::vector<CanvasCall> out;
  for (const auto& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

int RecordingCanvas::Count(CanvasOp op) const {
  int n = 0;
  for (const auto& c : calls) n += c.op == op ? 1 : 0;
  return n;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.op == CanvasOp::Text || c.op == CanvasOp::TextBox) out.push_back(c.text);
  return out;
}

}  // namespace drawing
