// The viewing tools against hand figures. The fixture's window: 1000 x 800
// pixels, one pixel a logical unit, tool band 22 high, so the client area below
// the band is x 0..1000, Y -800..-22 in logical units.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/services.h"
#include "tests/drawing/draw_fixture.h"

namespace {

using drawing::CDrawView;
using drawing::DPoint;

class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_.SetMetrics(HandMetrics());
    view_.BeginDrawing(0);
  }
  CDrawView view_;
};

TEST_F(ToolsTest, ZoomAllByExtent) {
  // Inset by 200: W = 600, H = 778 - 400 = 378.
  struct Case {
    const char* what;
    double x1, y1, x2, y2;
    double N;
  } cases[] = {
      {"empty", 0, 0, 0, 0, 10000},
      {"line due north uses the height", 1000, 500, 1100, 500, 100.0 * 10000 / 378},
      {"line due east uses the width", 1000, 500, 1000, 800, 300.0 * 10000 / 600},
      {"general: the tighter fit", 1000, 500, 1100, 800, 5000},
      {"a millimetre apart: held at 1:1", 1000, 500, 1000.001, 500, 1},
  };
  for (const Case& c : cases) {
    view_.BeginDrawing(0);
    if (c.x1 || c.x2) view_.AddLine("L", c.x1, c.y1, c.x2, c.y2);
    view_.m_ptOrigin = {5, 5};
    view_.OnToolCommand(drawing::kToolZoomAll);
    EXPECT_NEAR(view_.m_dScale, c.N, 1e-9) << c.what;
    EXPECT_EQ(view_.m_ptOrigin, (DPoint{200, -200})) << c.what;
  }
}

TEST_F(ToolsTest, WindowZoomPutsTheWindowCornerOnTheInsetCorner) {
  view_.OnToolCommand(drawing::kToolWindowZoom);
  // A click without a drag zooms by 10; the clicked point lands on the inset
  // rectangle's upper-left corner (50, -72).
  view_.OnLButtonDown({300, 300});
  view_.OnLButtonUp({300, 300});
  EXPECT_NEAR(view_.m_dScale, 1000, 1e-9);
  ExpectPoint(view_.m_ptOrigin, -950, 928);
  // A huge window zooms out by at most 10.
  view_.SetScale(10000);
  view_.OnLButtonDown({100, 100});
  view_.OnMouseMove({1e6, 1e6}, true, false);
  drawing::DRect band;
  EXPECT_TRUE(view_.RubberBand(&band));
  view_.OnLButtonUp({1e6, 1e6});
  EXPECT_NEAR(view_.m_dScale, 100000, 1e-6);
  EXPECT_FALSE(view_.RubberBand(&band));
  // A small window: 90 x 67.8 of the 900 x 678 inset is exactly a tenth.
  view_.SetScale(10000);
  view_.OnLButtonDown({100, 100});
  view_.OnLButtonUp({190, 167.8});
  EXPECT_NEAR(view_.m_dScale, 1000, 1e-6);
}

TEST_F(ToolsTest, DragZoomKeepsTheDownPointAndStopsAtItsLimits) {
  view_.AddControlPoint("A", 1, 1000, 2000, 0, -1, -1, -1);
  view_.OnToolCommand(drawing::kToolZoom);
  view_.OnLButtonDown({500, 400});  // logical (500, -400)
  // World point under the button: X = (y - 2000) k + 200 = 500 at k = 1.
  view_.OnMouseMove({500, 390}, true, false);  // up by 10: zoom in
  EXPECT_NEAR(view_.m_dUnitsPerMetre, 1.1, 1e-12);
  const DPoint under = view_.WorldToLogical(1000 - 200, 2000 + 300);
  ExpectPoint(under, 500, -400, "down point stays");
  view_.OnMouseMove({500, 400}, true, false);  // down: zoom out again
  EXPECT_NEAR(view_.m_dUnitsPerMetre, 1.0, 1e-12);
  view_.OnLButtonUp({500, 400});

  struct Limit {
    double N;
    double dyDevice;
  } limits[] = {{10, -10}, {1e7, 10}};  // 1:10 refuses to grow, 1:10 000 000 to shrink
  for (auto l : limits) {
    view_.SetScale(l.N);
    const DPoint origin = view_.m_ptOrigin;
    view_.OnLButtonDown({500, 400});
    view_.OnMouseMove({500, 400 + l.dyDevice}, true, false);
    EXPECT_NEAR(view_.m_dScale, l.N, 1e-6 * l.N);
    EXPECT_EQ(view_.m_ptOrigin, origin);
    view_.OnLButtonUp({500, 400});
  }
}

TEST_F(ToolsTest, WheelZoomsAboutTheCursorAndStopsAtOneToOne) {
  view_.OnMouseWheel(120, {400, 300});
  EXPECT_NEAR(view_.m_dUnitsPerMetre, 1.25, 1e-12);
  // logical (400, -300) stays: origin = 200 - (400 - 200) x 0.25 = 150, -200 - (-100) x 0.25 = -175.
  ExpectPoint(view_.m_ptOrigin, 150, -175);
  view_.OnMouseWheel(0, {0, 0});
  EXPECT_NEAR(view_.m_dUnitsPerMetre, 1.25, 1e-12);

  // At 1:1 the wheel changes nothing, however often it turns.
  view_.SetScale(1);
  const DPoint origin = view_.m_ptOrigin;
  for (int i = 0; i < 200; ++i) view_.OnMouseWheel(120, {700, 500});
  EXPECT_EQ(view_.m_dScale, 1);
  EXPECT_EQ(view_.m_ptOrigin, origin);
  // Just above 1:1 the last notch goes to 1:1 and keeps the cursor point.
  view_.SetScale(1.1);
  const DPoint before = view_.m_ptOrigin;
  view_.OnMouseWheel(120, {700, 500});
  EXPECT_EQ(view_.m_dScale, 1);
  ExpectPoint(view_.m_ptOrigin, before.x - (700 - before.x) * 0.1, before.y - (-500 - before.y) * 0.1);
  // Zooming out is refused below k = 0.001.
  view_.SetScale(9e6);
  view_.OnMouseWheel(-120, {1, 1});
  EXPECT_EQ(view_.m_dScale, 9e6);
}

// A high-resolution wheel sends eighths of a notch: eight of them zoom as one
// notch does, and a whole turn of such events is no faster than the notched wheel.
TEST_F(ToolsTest, WheelZoomFollowsTheDelta) {
  struct Case {
    std::vector<int> deltas;
    double factor;
  } cases[] = {
      {{120}, 1.25},
      {{15, 15, 15, 15, 15, 15, 15, 15}, 1.25},
      {{240}, 1.5625},
      {{60}, std::sqrt(1.25)},
      {{-120}, 0.8},
      {{-15, -15, -15, -15, -15, -15, -15, -15}, 0.8},
      {{120, -120}, 1.0},
  };
  for (const Case& c : cases) {
    drawing::CDrawView v;
    v.SetMetrics(view_.Metrics());
    v.SetScale(10000);
    for (int d : c.deltas) v.OnMouseWheel(d, {400, 300});
    EXPECT_NEAR(v.m_dUnitsPerMetre, c.factor, 1e-9) << c.deltas.size() << " x " << c.deltas[0];
  }
}

TEST_F(ToolsTest, PanWithTheToolAndTheMiddleButton) {
  view_.OnMButtonDown({100, 100});
  view_.OnMouseMove({150, 130}, false, true);
  ExpectPoint(view_.m_ptOrigin, 250, -230);
  view_.OnMButtonUp({150, 130});
  view_.OnMouseMove({400, 400}, false, false);
  ExpectPoint(view_.m_ptOrigin, 250, -230);
  view_.OnToolCommand(drawing::kToolPan);
  view_.OnLButtonDown({0, 0});
  view_.OnMouseMove({-10, 20}, true, false);
  ExpectPoint(view_.m_ptOrigin, 240, -250);
  view_.OnRButtonDown();
  EXPECT_EQ(view_.m_nToolMode, -1);
}

TEST_F(ToolsTest, QueryFindsTheFirstPointAndCopiesIt) {
  platform::ScopedMemoryServices services;
  view_.AddControlPoint("A", 1, 1000, 2000, 0, -1, -1, -1);   // logical (200, -200)
  view_.AddControlPoint("B", 0, 1000, 2001, 0, -1, -1, -1);   // (201, -200): overlaps A
  drawing::DRect hit;
  std::string text;
  ASSERT_TRUE(view_.QueryPointAt({205, -190}, &hit, text));
  EXPECT_EQ(text, "A: X=1000.0000; Y=2000.0000");
  EXPECT_EQ(hit.left, 185);
  EXPECT_EQ(hit.bottom, -185);
  EXPECT_FALSE(view_.QueryPointAt({300, -300}, &hit, text));
  EXPECT_EQ(text, "");

  view_.OnToolCommand(drawing::kToolQuery);
  view_.OnMouseMove({205, 195}, false, false);
  EXPECT_TRUE(view_.m_bHit);
  EXPECT_EQ(view_.m_strQuery, "A: X=1000.0000; Y=2000.0000");
  view_.OnLButtonDown({900, 700});
  EXPECT_EQ(services.clipboard.text, "");
  view_.OnLButtonDown({216, 200});  // past A's square, inside B's
  EXPECT_EQ(services.clipboard.text, "B: X=1000.0000; Y=2001.0000");
  view_.OnMouseMove({900, 700}, false, false);
  EXPECT_FALSE(view_.m_bHit);
}

TEST_F(ToolsTest, CursorsByToolBelowTheBand) {
  struct Case {
    int tool;
    double y;
    int cursor;
  } cases[] = {{drawing::kToolWindowZoom, 30, drawing::kCursorCross}, {drawing::kToolQuery, 30, drawing::kCursorCross},
               {drawing::kToolZoom, 30, drawing::kCursorZoom},         {drawing::kToolPan, 30, drawing::kCursorPan},
               {drawing::kToolPan, 10, 0},                             {drawing::kToolSettings, 30, 0}};
  for (auto c : cases) {
    view_.m_nToolMode = c.tool;
    EXPECT_EQ(view_.CursorAt({100, c.y}), c.cursor) << c.tool << " at " << c.y;
  }
}

}  // namespace
