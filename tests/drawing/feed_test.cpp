// The recording feed stands in for the drawing view in producer tests: it must
// keep the order and the figures of every call, and follow the view's polyline
// rules (vertices go to the last polyline begun; none begun means dropped).
#include <gtest/gtest.h>

#include "drawing/recording_feed.h"

namespace {

using drawing::FeedOp;
using drawing::RecordingFeed;

// A producer as the traverse diagrams write one: begin, fix a layer's look, add.
void SmallDiagram(drawing::IDrawFeed& feed) {
  feed.BeginDrawing(drawing::kModeNetwork);
  feed.SetLayer("返", -1, 1, drawing::kStyleDash, true);
  feed.AddControlPoint("A", 1, 1000.0, 2000.0, 0.0, -1, -1, -1);
  feed.AddControlPoint("P1", 0, 1100.5, 2050.25, 12.5, 8.0, 4.0, 0.5);
  feed.AddLine("往", 1000.0, 2000.0, 1100.5, 2050.25);
  const int pl = feed.BeginPolyline("返");
  feed.AddPolylineVertex(1000.0, 2000.0);
  feed.AddPolylineVertex(1100.5, 2050.25, pl);
  feed.AddLabelledPoint("坐标旋转中心点", 1.0, 2.0, "O", "", 0, 0.0, 1, 0.0);
  feed.AddDetailPoint("碎部点", "101", "45.20", 3.0, 4.0, 0.5);
  feed.SetMessage("");
  feed.Redraw();
}

TEST(RecordingFeed, RecordsTheSequenceAWriterSent) {
  RecordingFeed feed;
  SmallDiagram(feed);
  EXPECT_EQ(feed.Transcript(),
            "BeginDrawing 0\n"
            "SetLayer 返 -1 1 1 1\n"
            "AddControlPoint A 1 1000.000 2000.000 0.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint P1 0 1100.500 2050.250 12.500 8.000 4.000 0.500\n"
            "AddLine 往 1000.000 2000.000 1100.500 2050.250\n"
            "BeginPolyline 返 0\n"
            "AddPolylineVertex -1 0 1000.000 2000.000\n"
            "AddPolylineVertex 0 0 1100.500 2050.250\n"
            "AddLabelledPoint 坐标旋转中心点 O  0 1 1.000 2.000 0.000 0.000\n"
            "AddDetailPoint 碎部点 101 45.20 3.000 4.000 0.500\n"
            "SetMessage \n"
            "Redraw\n");
  EXPECT_EQ(feed.mode, 0);
  EXPECT_EQ(feed.Count(FeedOp::AddControlPoint), 2);
  ASSERT_EQ(feed.Of(FeedOp::AddLine).size(), 1u);
  EXPECT_DOUBLE_EQ(feed.Of(FeedOp::AddLine)[0].d[3], 2050.25);
}

TEST(RecordingFeed, VerticesFollowTheViewsPolylineRules) {
  struct Case {
    const char* what;
    int begun;        // polylines begun after the clear
    int passed;       // polyline argument of the vertex
    int expected;     // where the vertex went, -1 dropped
  } cases[] = {
      {"no polyline yet: dropped", 0, -1, -1},
      {"default goes to the last begun", 3, -1, 2},
      {"an explicit earlier one", 3, 0, 0},
      {"an index past the count: dropped", 2, 2, -1},
  };
  for (const Case& c : cases) {
    RecordingFeed feed;
    feed.BeginDrawing(1);
    for (int i = 0; i < c.begun; ++i) EXPECT_EQ(feed.BeginPolyline("L"), i) << c.what;
    feed.AddPolylineVertex(1, 2, c.passed);
    const auto v = feed.Of(FeedOp::AddPolylineVertex);
    ASSERT_EQ(v.size(), 1u) << c.what;
    EXPECT_EQ(v[0].i[1], c.expected) << c.what;
  }
}

TEST(RecordingFeed, ANewDrawingRestartsPolylineNumbering) {
  RecordingFeed feed;
  feed.BeginDrawing(0);
  feed.BeginPolyline("a");
  feed.BeginPolyline("b");
  feed.SetMessage("没有数据");
  feed.BeginDrawing(1);
  EXPECT_EQ(feed.BeginPolyline("c"), 0);
  EXPECT_EQ(feed.message, "");
  EXPECT_EQ(feed.mode, 1);
  feed.ClearDrawing();
  feed.AddPolylineVertex(0, 0);
  EXPECT_EQ(feed.Of(FeedOp::AddPolylineVertex)[0].i[1], -1);
}

}  // namespace
