#include "drawing/recording_feed.h"

#include <charconv>

namespace drawing {

const char* FeedOpName(FeedOp op) {
  switch (op) {
    case FeedOp::BeginDrawing: return "BeginDrawing";
    case FeedOp::ClearDrawing: return "ClearDrawing";
    case FeedOp::SetLayer: return "SetLayer";
    case FeedOp::AddControlPoint: return "AddControlPoint";
    case FeedOp::AddLine: return "AddLine";
    case FeedOp::BeginPolyline: return "BeginPolyline";
    case FeedOp::AddPolylineVertex: return "AddPolylineVertex";
    case FeedOp::AddLabelledPoint: return "AddLabelledPoint";
    case FeedOp::AddDetailPoint: return "AddDetailPoint";
    case FeedOp::SetMessage: return "SetMessage";
    case FeedOp::Redraw: return "Redraw";
  }
  return "?";
}

std::string FeedCall::Text() const {
  std::string t = FeedOpName(op);
  for (const auto& x : s) t += " " + x;
  for (int x : i) t += " " + std::to_string(x);
  for (double x : d) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 3);
    t += " ";
    t.append(buf, r.ptr);
  }
  return t;
}

void RecordingFeed::BeginDrawing(int m) {
  calls.push_back({FeedOp::BeginDrawing, {}, {m}, {}});
  mode = m;
  polylines = 0;
  message.clear();
}

void RecordingFeed::ClearDrawing() {
  calls.push_back({FeedOp::ClearDrawing, {}, {}, {}});
  polylines = 0;
  message.clear();
}

void RecordingFeed::SetLayer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) {
  calls.push_back({FeedOp::SetLayer, {name}, {visible, colour, style, onlyIfNew ? 1 : 0}, {}});
}

void RecordingFeed::AddControlPoint(const std::string& name, int known, double x, double y, double value,
                                    double E, double F, double orientation) {
  calls.push_back({FeedOp::AddControlPoint, {name}, {known}, {x, y, value, E, F, orientation}});
}

void RecordingFeed::AddLine(const std::string& layer, double x1, double y1, double x2, double y2) {
  calls.push_back({FeedOp::AddLine, {layer}, {}, {x1, y1, x2, y2}});
}

int RecordingFeed::BeginPolyline(const std::string& layer) {
  const int index = polylines++;
  calls.push_back({FeedOp::BeginPolyline, {layer}, {index}, {}});
  return index;
}

void RecordingFeed::AddPolylineVertex(double x, double y, int polyline) {
  // Like the view: no polyline to append to means the vertex is dropped.
  int target = polyline < 0 ? polylines - 1 : polyline;
  if (target >= polylines) target = -1;
  calls.push_back({FeedOp::AddPolylineVertex, {}, {polyline, target}, {x, y}});
}

void RecordingFeed::AddLabelledPoint(const std::string& layer, double x, double y, const std::string& label1,
                                     const std::string& label2, int kind, double direction, int queryable,
                                     double value) {
  calls.push_back({FeedOp::AddLabelledPoint, {layer, label1, label2}, {kind, queryable}, {x, y, direction, value}});
}

void RecordingFeed::AddDetailPoint(const std::string& layer, const std::string& name,
                                   const std::string& secondText, double x, double y, double radius) {
  calls.push_back({FeedOp::AddDetailPoint, {layer, name, secondText}, {}, {x, y, radius}});
}

void RecordingFeed::SetMessage(const std::string& text) {
  calls.push_back({FeedOp::SetMessage, {text}, {}, {}});
  message = text;
}

void RecordingFeed::Redraw() { calls.push_back({FeedOp::Redraw, {}, {}, {}}); }

std::vector<FeedCall> RecordingFeed::Of(FeedOp op) const {
  std::vector<FeedCall> out;
  for (const auto& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

int RecordingFeed::Count(FeedOp op) const {
  int n = 0;
  for (const auto& c : calls) n += c.op == op ? 1 : 0;
  return n;
}

std::string RecordingFeed::Transcript() const {
  std::string t;
  for (const auto& c : calls) t += c.Text() + "\n";
  return t;
}

}  // namespace drawing
