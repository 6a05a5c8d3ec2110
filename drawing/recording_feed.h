#pragma once
// A drawing feed that only records what a producer sent, for tests of the
// producers (traverse diagrams, tools) without a drawing view.
//
//   drawing::RecordingFeed feed;
//   DrawSomething(feed);
//   EXPECT_EQ(feed.Count(drawing::FeedOp::AddLine), 4);
//   EXPECT_EQ(feed.calls[1].Text(), "SetLayer 返 -1 1 1 1");
#include <string>
#include <vector>

#include "drawing/draw_feed.h"

namespace drawing {

enum class FeedOp {
  BeginDrawing, ClearDrawing, SetLayer, AddControlPoint, AddLine, BeginPolyline,
  AddPolylineVertex, AddLabelledPoint, AddDetailPoint, SetMessage, Redraw
};

const char* FeedOpName(FeedOp op);

// One recorded call. Which fields mean what, by operation:
//   BeginDrawing       i[0] mode
//   SetLayer           s[0] name; i[0] visible, i[1] colour, i[2] style, i[3] onlyIfNew
//   AddControlPoint    s[0] name; i[0] known; d = x, y, value, E, F, orientation
//   AddLine            s[0] layer; d = x1, y1, x2, y2
//   BeginPolyline      s[0] layer; i[0] the index returned
//   AddPolylineVertex  d = x, y; i[0] polyline as passed, i[1] the polyline it went to (-1 none)
//   AddLabelledPoint   s = layer, label1, label2; d = x, y, direction, value; i = kind, queryable
//   AddDetailPoint     s = layer, name, secondText; d = x, y, radius
//   SetMessage         s[0] text
struct FeedCall {
  FeedOp op = FeedOp::Redraw;
  std::vector<std::string> s;
  std::vector<int> i;
  std::vector<double> d;
  // "AddLine 往 1.000 2.000 3.000 4.000": the op, then s, i and d (d with three decimals).
  std::string Text() const;
};

class RecordingFeed final : public IDrawFeed {
 public:
  void BeginDrawing(int mode) override;
  void ClearDrawing() override;
  void SetLayer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) override;
  void AddControlPoint(const std::string& name, int known, double x, double y, double value, double E,
                       double F, double orientation) override;
  void AddLine(const std::string& layer, double x1, double y1, double x2, double y2) override;
  int BeginPolyline(const std::string& layer) override;
  void AddPolylineVertex(double x, double y, int polyline = -1) override;
  void AddLabelledPoint(const std::string& layer, double x, double y, const std::string& label1,
                        const std::string& label2, int kind, double direction, int queryable,
                        double value) override;
  void AddDetailPoint(const std::string& layer, const std::string& name, const std::string& secondText,
                      double x, double y, double radius) override;
  void SetMessage(const std::string& text) override;
  void Redraw() override;

  // Calls of one operation, in order.
  std::vector<FeedCall> Of(FeedOp op) const;
  int Count(FeedOp op) const;
  // Every call's Text(), one per line.
  std::string Transcript() const;

  std::vector<FeedCall> calls;
  int mode = -1;           // the mode of the last BeginDrawing
  int polylines = 0;       // polylines begun since the last clear
  std::string message;     // the last SetMessage text
};

}  // namespace drawing
