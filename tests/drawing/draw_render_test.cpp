// The renderer against a recording canvas, with hand figures in logical units
// (the fixture's window maps one logical unit to one pixel).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/drawing/draw_fixture.h"

namespace {

using drawing::CanvasOp;
using drawing::CDrawView;
using drawing::RecordingCanvas;

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override { view_.SetMetrics(HandMetrics()); }
  // One control point at the extent corner, which sits at logical (200, -200).
  void OnePoint(int known, double E = -1, double F = -1, double orientation = -1) {
    view_.BeginDrawing(0);
    view_.AddControlPoint("A", known, 1000, 2000, 12.5, E, F, orientation);
  }
  RecordingCanvas Draw() {
    RecordingCanvas c;
    view_.DrawNetwork(c, drawing::DeviceMapping::Screen(view_.Metrics()), false);
    return c;
  }
  CDrawView view_;
};

TEST_F(RenderTest, SymbolsAboutThePoint) {
  struct Case {
    int symbol;
    std::vector<drawing::DPoint> polygon;  // device points; empty for the circle
  } cases[] = {
      {0, {{185, 215}, {215, 215}, {200, 185}}},
      {1, {{185, 185}, {215, 185}, {200, 215}}},
      {2, {{210, 210}, {210, 190}, {190, 190}, {190, 210}}},
      {3, {}},
  };
  for (const Case& k : cases) {
    view_.m_nKnownSymbol = k.symbol;
    OnePoint(1);
    const RecordingCanvas c = Draw();
    const auto polys = c.Of(CanvasOp::Polygon);
    if (k.polygon.empty()) {
      ASSERT_EQ(polys.size(), 0u);
      const auto circles = c.Of(CanvasOp::Circle);
      ASSERT_EQ(circles.size(), 1u);
      ExpectPoint(circles[0].pts[0], 200, 200);
      EXPECT_NEAR(circles[0].value, 12, 1e-9);
      continue;
    }
    ASSERT_EQ(polys.size(), 1u) << k.symbol;
    ASSERT_EQ(polys[0].pts.size(), k.polygon.size());
    for (std::size_t i = 0; i < k.polygon.size(); ++i)
      ExpectPoint(polys[0].pts[i], k.polygon[i].x, k.polygon[i].y, "symbol vertex");
    EXPECT_EQ(polys[0].pen.colour.aci, 7);
  }
}

TEST_F(RenderTest, EllipseControlPointsReplaceTheSymbol) {
  // E = 10 mm, F = 5 mm at ellipse scale 1: semi-axes 100 and 50 logical units.
  struct Case {
    double orientation;
    drawing::DPoint p0, p3, p6;  // ends of the E axis and one end of F
  } cases[] = {
      {0, {200, 300}, {250, 200}, {200, 100}},                       // E north
      {std::numbers::pi / 2, {100, 200}, {200, 250}, {300, 200}},    // E east
  };
  for (const Case& k : cases) {
    OnePoint(0, 10, 5, k.orientation);
    const RecordingCanvas c = Draw();
    EXPECT_EQ(c.Count(CanvasOp::Circle), 0) << "no symbol with an ellipse";
    const auto bez = c.Of(CanvasOp::Bezier);
    ASSERT_EQ(bez.size(), 1u);
    ASSERT_EQ(bez[0].pts.size(), 13u);
    ExpectPoint(bez[0].pts[0], k.p0.x, k.p0.y, "control point 0");
    ExpectPoint(bez[0].pts[3], k.p3.x, k.p3.y, "control point 3");
    ExpectPoint(bez[0].pts[6], k.p6.x, k.p6.y, "control point 6");
    ExpectPoint(bez[0].pts[12], k.p0.x, k.p0.y, "closed");
    const auto lines = c.Of(CanvasOp::Line);
    ASSERT_GE(lines.size(), 2u);
    ExpectPoint(lines[0].pts[1], k.p6.x, k.p6.y, "E axis");
  }
  view_.m_dEllipseScale = 2;  // halves the ellipse on the page
  OnePoint(0, 10, 5, 0);
  ExpectPoint(Draw().Of(CanvasOp::Bezier)[0].pts[6], 200, 150);
  view_.m_dEllipseScale = 0;  // a stored 0 falls back to 1:1 instead of dividing by zero
  OnePoint(0, 10, 5, 0);
  ExpectPoint(Draw().Of(CanvasOp::Bezier)[0].pts[6], 200, 100);
}

TEST_F(RenderTest, LabelPositionsInBothModes) {
  OnePoint(1);
  RecordingCanvas c = Draw();
  auto texts = c.Of(CanvasOp::Text);
  ASSERT_EQ(texts.size(), 2u);  // the name and the caption
  EXPECT_EQ(texts[0].text, "A");
  ExpectPoint(texts[0].pts[0], 220, 180);  // (X + 20, Y + h / 2), h = 40
  EXPECT_NEAR(texts[0].style.height, 40, 1e-9);

  view_.DrawingMode = drawing::kModePlot;
  c = Draw();
  const auto boxes = c.Of(CanvasOp::TextBox);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "A");
  ExpectPoint(boxes[0].pts[0], 205, 140);  // (X' - 15, Y + h + 20)
  ExpectPoint(boxes[0].pts[1], 395, 200);  // w = 20 x 8 for a short name
  EXPECT_EQ(boxes[1].text, "12.500");
  ExpectPoint(boxes[1].pts[0], 205, 200);
  ExpectPoint(boxes[1].pts[1], 395, 260);
  const auto underline = c.Of(CanvasOp::Line);
  ASSERT_EQ(underline.size(), 1u);
  ExpectPoint(underline[0].pts[0], 220, 200);
  ExpectPoint(underline[0].pts[1], 380, 200);

  // A point without a value (NaN) keeps its value line empty.
  view_.BeginDrawing(1);
  view_.AddControlPoint("B", 0, 1000, 2000, std::nan(""), -1, -1, -1);
  c = Draw();
  ASSERT_EQ(c.Of(CanvasOp::TextBox).size(), 1u);
}

// Labels step aside from each other and from the scale caption; one with room
// keeps its own place.
TEST_F(RenderTest, LabelsThatWouldCollideStepAside) {
  // The error search's points a few centimetres apart: 1 m at 1:1000 is 1 mm.
  view_.BeginDrawing(0);
  view_.AddControlPoint("GP02", 0, 1000.00, 2000.00, 0, -1, -1, -1);
  view_.AddControlPoint("GP02'", 0, 1000.02, 2000.01, 0, -1, -1, -1);
  view_.AddControlPoint("GP02\"", 0, 999.98, 2000.02, 0, -1, -1, -1);
  view_.AddControlPoint("GP09", 0, 950.00, 2050.00, 0, -1, -1, -1);  // 7 cm away
  view_.SetScale(1000);
  RecordingCanvas c = Draw();
  std::vector<drawing::DRect> boxes;
  for (const auto& t : c.Of(CanvasOp::Text)) {
    if (t.text.rfind("GP", 0) != 0) continue;
    const double w = 20 * double(t.text.size());  // (40 + 1) / 2 per half-width character
    boxes.push_back({t.pts[0].x, t.pts[0].y, t.pts[0].x + w, t.pts[0].y + 40});
    EXPECT_NEAR(t.style.width, 20, 1e-9) << t.text;
  }
  ASSERT_EQ(boxes.size(), 4u);
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const auto& a = boxes[i];
      const auto& b = boxes[j];
      EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
          << "labels " << i << " and " << j << " overlap";
    }
  // The first and the far one where the renderer always puts them: (X + 20, Y + h / 2).
  const drawing::DPoint p0 = view_.WorldToLogical(1000, 2000), p3 = view_.WorldToLogical(950, 2050);
  ExpectPoint({boxes[0].left, boxes[0].top}, p0.x + 20, -(p0.y + 20), "first label");
  ExpectPoint({boxes[3].left, boxes[3].top}, p3.x + 20, -(p3.y + 20), "far label");

  // The point plot on a 96 dpi screen: the corner point's name would sit on the
  // caption "比例1：10000".
  drawing::ScreenMetrics m;  // 800 x 600 at 96 dpi, band 22 pixels
  view_.SetMetrics(m);
  view_.BeginDrawing(1);
  view_.AddControlPoint("K1", 1, 1000, 2000, 51.234, -1, -1, -1);
  view_.SetScale(10000);
  c = Draw();
  const drawing::DeviceMapping map = drawing::DeviceMapping::Screen(m);
  const drawing::DRect cap = view_.ScaleCaptionBox();
  const drawing::DPoint capA = map.ToDevice({cap.left, cap.bottom}), capB = map.ToDevice({cap.right, cap.top});
  const auto named = c.Of(CanvasOp::TextBox);
  ASSERT_EQ(named.size(), 2u);
  for (const auto& t : named) {
    const double inkTop = (t.pts[0].y + t.pts[1].y) / 2 - t.style.height / 2;
    const double inkBottom = inkTop + t.style.height;
    const bool overlaps = t.pts[0].x < capB.x && capA.x < t.pts[1].x && inkTop < capB.y && capA.y < inkBottom;
    EXPECT_FALSE(overlaps) << t.text;
  }
  // Before: the name would have overlapped the caption where the Part puts it.
  const double h = view_.LabelHeight(false);
  const drawing::DPoint P = view_.WorldToLogical(1000, 2000);
  const drawing::DRect partPlace{P.x + 5, P.y - h - 10, P.x + 35 + 20 * 8, P.y + h + 10};
  EXPECT_TRUE(partPlace.left < cap.right && cap.left < partPlace.right && partPlace.top < cap.bottom &&
              cap.top < partPlace.bottom)
      << "the fixture must put the name on the caption";
}

TEST_F(RenderTest, LabelsVanishWhenTooSmallUnlessTheHeightIsFixed) {
  OnePoint(1);
  view_.SetScale(100000);
  view_.m_bFixedTextHeight = 0;
  EXPECT_EQ(view_.LabelHeight(false), 0);
  EXPECT_EQ(Draw().Count(CanvasOp::Text), 1);  // the caption only
  view_.m_bFixedTextHeight = 1;
  EXPECT_EQ(view_.LabelHeight(false), 40);
  EXPECT_EQ(Draw().Count(CanvasOp::Text), 2);
  // Zoomed to 1:1 the scaled label would be 2.5 m high; it stops at 30 mm.
  view_.m_bFixedTextHeight = 0;
  view_.SetScale(1);
  EXPECT_EQ(view_.LabelHeight(false), 300);
  EXPECT_EQ(view_.LabelHeight(true), 25);
}

TEST_F(RenderTest, HiddenLayersHideOnlyTheirPart) {
  OnePoint(1);
  Draw();  // the renderer creates the fixed layers
  view_.m_arrLayer[view_.FindLayer(drawing::kLayerKnownSymbol)].visible = 0;
  RecordingCanvas c = Draw();
  EXPECT_EQ(c.Count(CanvasOp::Polygon), 0);
  EXPECT_EQ(c.Texts().front(), "A");
  view_.m_arrLayer[view_.FindLayer(drawing::kLayerKnown)].visible = 0;
  c = Draw();
  EXPECT_EQ(c.Texts().size(), 1u);  // only the caption
  EXPECT_EQ(view_.m_arrLayer[view_.FindLayer(drawing::kLayerEllipse)].used, 1);
}

TEST_F(RenderTest, CullingAndClippingInDouble) {
  view_.BeginDrawing(0);
  view_.AddLine("L", 1000, 2000, 1000, 2001);        // the corner: inside
  // Both ends far to the right of the window: skipped before any pen.
  view_.AddLine("L", 1000, 2000 + 1e6, 990, 2000 + 2e6);
  // A Gauss-sized jump out and back in: the vertices after it still draw.
  const int pl = view_.BeginPolyline("P");
  view_.AddPolylineVertex(1000, 2000, pl);
  view_.AddPolylineVertex(1000, 2000 + 5e6, pl);
  view_.AddPolylineVertex(990, 2010, pl);
  view_.AddPolylineVertex(980, 2020, pl);
  view_.AddControlPoint("far", 0, 1000, 2000 + 5e6, 0, -1, -1, -1);
  view_.SetScale(1000);  // k = 10
  const RecordingCanvas c = Draw();
  EXPECT_EQ(c.Count(CanvasOp::Line), 1);
  EXPECT_EQ(c.Count(CanvasOp::Circle), 0) << "the far control point is culled";
  const auto runs = c.Of(CanvasOp::Polyline);
  ASSERT_FALSE(runs.empty());
  // Vertex 3 at (990, 2010): X = 10 x 10 + 200 = 300, Y = -10 x 10 - 200 = -300;
  // vertex 4: (400, -400).
  bool third = false, fourth = false;
  for (const auto& r : runs)
    for (const auto& p : r.pts) {
      third |= std::fabs(p.x - 300) < 1e-6 && std::fabs(p.y - 300) < 1e-6;
      fourth |= std::fabs(p.x - 400) < 1e-6 && std::fabs(p.y - 400) < 1e-6;
      EXPECT_LT(std::fabs(p.x), 2000) << "clipped to the window";
    }
  EXPECT_TRUE(third);
  EXPECT_TRUE(fourth);
}

TEST_F(RenderTest, CaptionAndMessageScreen) {
  view_.ResetView();
  view_.BeginDrawing(0);
  EXPECT_EQ(view_.ScaleCaption(), "比例1：10000  椭圆比例1：1.000");
  view_.BeginDrawing(1);
  view_.SetScale(2500);
  EXPECT_EQ(view_.ScaleCaption(), "比例1：2500");
  RecordingCanvas c;
  view_.OnDraw(c);
  // Caption at logical (100, int(-22 x 254 / 254 - 60)) = (100, -82).
  const auto texts = c.Of(CanvasOp::Text);
  ASSERT_EQ(texts.size(), 1u);
  ExpectPoint(texts[0].pts[0], 100, 82);

  view_.AddControlPoint("A", 1, 0, 0, 0, -1, -1, -1);
  view_.SetMessage("数据输入太少!");
  c.Clear();
  view_.OnDraw(c);
  const auto boxes = c.Of(CanvasOp::TextBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "当前图形无法显示：\n\n数据输入太少!");
  EXPECT_EQ(boxes[0].style.colour.Resolve(), (drawing::Rgb{255, 0, 0}));
  ExpectPoint(boxes[0].pts[0], 20, 43);
  ExpectPoint(boxes[0].pts[1], 980, 780);
  EXPECT_EQ(c.Count(CanvasOp::Polygon), 0) << "no element under a message";
  EXPECT_GE(c.Count(CanvasOp::FillRect), 2) << "white page and tool band";
}

TEST_F(RenderTest, LayerPensFollowTheStyle) {
  view_.BeginDrawing(0);
  struct Case {
    int style;
    drawing::Dash dash;
    double width;  // device units at 254 dpi
  } cases[] = {{0, drawing::Dash::Solid, 1}, {1, drawing::Dash::Dash, 1}, {4, drawing::Dash::DashDotDot, 1},
               {15, drawing::Dash::Solid, 5}, {20, drawing::Dash::Solid, 10}};
  for (const Case& k : cases) {
    view_.SetLayer("L", 1, 3, k.style, false);
    const drawing::Pen p = view_.LayerPen(view_.FindLayer("L"), drawing::DeviceMapping::Screen(view_.Metrics()));
    EXPECT_EQ(p.dash, k.dash) << k.style;
    EXPECT_NEAR(p.width, k.width, 1e-9) << k.style;
    EXPECT_EQ(p.colour.aci, 3);
  }
}

}  // namespace
