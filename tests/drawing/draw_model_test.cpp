// The drawing model: layers, elements, extent and the reset/clear lifecycle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "drawing/draw_view.h"

namespace {

using drawing::CDrawView;

TEST(DrawModel, ResetAndClearKeepWhatTheyShould) {
  CDrawView v;
  EXPECT_EQ(v.m_dScale, 10000);
  EXPECT_EQ(v.m_ptOrigin, (drawing::DPoint{200, -200}));
  EXPECT_EQ(v.m_nDisplayTextHeight, 40);
  EXPECT_EQ(v.m_dOutputTextHeight, 25);
  EXPECT_EQ(v.m_nKnownSymbol, 0);
  EXPECT_EQ(v.m_nOtherSymbol, 3);
  EXPECT_EQ(v.DrawingMode, 1);
  v.m_dPrintScaleSetting = 2000;
  v.m_dPrintScale = 500;  // as an old-format job sets it
  v.m_dEllipseScale = 2;
  v.SetLayer("返", 0, 1, 1, false);
  v.AddLine("返", 0, 0, 1, 1);
  v.BeginDrawing(0);
  EXPECT_EQ(v.m_dPrintScale, 2000);  // the setting comes back
  EXPECT_EQ(v.DrawingMode, 0);
  EXPECT_TRUE(v.m_arrLine.empty());
  ASSERT_EQ(v.m_arrLayer.size(), 1u);
  EXPECT_EQ(v.m_arrLayer[0].visible, 0);  // hidden by the user: stays hidden
  EXPECT_EQ(v.m_arrLayer[0].used, 0);
  EXPECT_EQ(v.m_bHasExtent, 0);
  v.ResetView();
  EXPECT_TRUE(v.m_arrLayer.empty());
  EXPECT_EQ(v.m_dEllipseScale, 2);       // survives a reset
  EXPECT_EQ(v.m_dPrintScaleSetting, 2000);
}

TEST(DrawModel, SetLayerOnlyIfNewAndColourRange) {
  CDrawView v;
  v.SetLayer("返", -1, 1, 1, true);
  ASSERT_EQ(v.FindLayer("返"), 0);
  EXPECT_EQ(v.m_arrLayer[0].visible, 1);
  EXPECT_EQ(v.m_arrLayer[0].colour, 1);
  EXPECT_EQ(v.m_arrLayer[0].style, 1);
  EXPECT_EQ(v.m_arrLayer[0].used, 0);  // not listed until an element lands on it
  v.SetLayer("返", 0, 3, 0, true);     // existed: nothing changes
  EXPECT_EQ(v.m_arrLayer[0].colour, 1);
  EXPECT_EQ(v.m_arrLayer[0].visible, 1);
  struct {
    int colour, stored;
  } cases[] = {{5, 5}, {0, 5}, {-1, 5}, {255, 255}, {256, 7}, {100000, 7}};
  for (auto c : cases) {
    v.SetLayer("返", -1, c.colour, -1, false);
    EXPECT_EQ(v.m_arrLayer[0].colour, c.stored) << c.colour;
  }
  v.AddLine("返", 0, 0, 1, 1);
  EXPECT_EQ(v.m_arrLayer[0].used, 1);
  v.AddLine("Fan", 0, 0, 1, 1);
  v.AddLine("fan", 0, 0, 1, 1);
  EXPECT_EQ(v.m_arrLayer.size(), 3u);  // names are case-sensitive
}

TEST(DrawModel, ExtentAndPolylines) {
  CDrawView v;
  v.BeginDrawing(0);
  EXPECT_EQ(v.m_bHasExtent, 0);
  v.AddControlPoint("A", 1, 500, 300, 0, -1, -1, -1);
  EXPECT_EQ(v.m_bHasExtent, 1);
  EXPECT_EQ(v.m_dMinX, 500);
  EXPECT_EQ(v.m_dMaxX, 500);
  v.AddLine("边长", 400, 350, 600, 250);
  EXPECT_EQ(v.m_dMinX, 400);
  EXPECT_EQ(v.m_dMaxX, 600);
  EXPECT_EQ(v.m_dMinY, 250);
  EXPECT_EQ(v.m_dMaxY, 350);
  // Vertices without a polyline to go to are dropped, not written past the array.
  v.AddPolylineVertex(9999, 9999);
  v.AddPolylineVertex(9999, 9999, 3);
  EXPECT_EQ(v.m_dMaxX, 600);
  const int a = v.BeginPolyline("往");
  const int b = v.BeginPolyline("返");
  v.AddPolylineVertex(1, 2);
  v.AddPolylineVertex(3, 4, a);
  v.AddPolylineVertex(5, 6, b + 1);
  ASSERT_EQ(v.m_arrPolyLine.size(), 2u);
  EXPECT_EQ(v.m_arrPolyLine[0].vertices.size(), 1u);
  EXPECT_EQ(v.m_arrPolyLine[1].vertices.size(), 1u);
  EXPECT_EQ(v.m_arrPolyLine[1].vertices[0].x, 1);
}

TEST(DrawModel, ScaleIsHeld) {
  CDrawView v;
  struct {
    double in, stored;
  } cases[] = {{0.5, 1}, {0, 1}, {-5, 1}, {2500, 2500}, {1e12, drawing::kMaxScale}};
  for (auto c : cases) {
    v.SetScale(c.in);
    EXPECT_EQ(v.m_dScale, c.stored) << c.in;
    EXPECT_DOUBLE_EQ(v.m_dUnitsPerMetre, 10000 / c.stored);
  }
  v.SetScale(std::numeric_limits<double>::infinity());
  v.SetScale(std::nan(""));
  EXPECT_EQ(v.m_dScale, drawing::kMaxScale);
}

// Thousands of elements span many blocks; names longer than a short string's
// room live on the heap, so a slip in building, copying or clearing shows under
// the sanitizers.
TEST(DrawModel, ElementsKeepTheirPlaceAcrossBlocks) {
  CDrawView v;
  const int n = 5000;
  auto name = [](int i) { return "控制点-" + std::to_string(i) + "-with-a-long-name"; };
  for (int i = 0; i < n; ++i) v.AddControlPoint(name(i), i % 2, i, -i, 0, -1, -1, -1);
  const CDrawView::CKzd* first = &v.m_arrKzd[0];
  for (int i = 0; i < n; ++i) v.AddLine("边", i, 0, i + 1, 0);
  ASSERT_EQ(v.m_arrKzd.size(), std::size_t(n));
  EXPECT_EQ(&v.m_arrKzd[0], first);  // growing never moves an element
  int i = 0;
  for (const CDrawView::CKzd& k : v.m_arrKzd) {
    ASSERT_EQ(k.name, name(i)) << i;
    ASSERT_EQ(k.x, i);
    ++i;
  }
  EXPECT_EQ(i, n);
  EXPECT_EQ(v.m_arrLine.back().x2, n);
  const CDrawView copy = v;
  v.BeginDrawing(0);
  EXPECT_TRUE(v.m_arrKzd.empty());
  v.AddControlPoint("A", 1, 1, 2, 0, -1, -1, -1);
  ASSERT_EQ(v.m_arrKzd.size(), 1u);
  EXPECT_EQ(v.m_arrKzd[0].name, "A");
  ASSERT_EQ(copy.m_arrKzd.size(), std::size_t(n));
  EXPECT_EQ(copy.m_arrKzd[n - 1].name, name(n - 1));
}

}  // namespace
