// Input checks: every refusal shows exactly one message with its row and point.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

using Cells = std::vector<std::vector<std::string>>;
// Grid columns of layout 1 (0-based here).
enum { kName = 0, kAngle, kSide, kDh, kWeight, kX, kY, kH };

Cells ConnectingCells(bool plane = true, bool height = true) {
  return synth::ChainRows(synth::Connecting(synth::SampleConnecting(), plane, height));
}
Cells ClosedCells() { return synth::ChainRows(synth::Closed(synth::SampleClosed())); }
Cells OpenCells() {
  auto pts = synth::SampleConnecting();
  pts.resize(6);
  return synth::ChainRows(synth::Open(pts));
}
Cells NoOrientationCells(bool plane = true, bool height = true) {
  auto pts = synth::SampleConnecting();
  std::vector<synth::Pt> chain(pts.begin() + 1, pts.end() - 1);
  return synth::ChainRows(synth::NoOrientation(chain, plane, height));
}

struct Case {
  const char* what;
  int type;
  std::function<Cells()> cells;
  std::function<void(CDxView&)> tweak;  // after the rows are set (file-like rows)
  const char* message;
};

class InputCheckTest : public ::testing::TestWithParam<Case> {};

TEST_P(InputCheckTest, RefusesWithItsMessage) {
  const Case& c = GetParam();
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_bRigorous = 0;
  view.m_nTraverseType = c.type;
  view.SetInputRows(c.cells());
  if (c.tweak) c.tweak(view);
  EXPECT_EQ(view.Compute(), 0);
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], c.message);
  EXPECT_EQ(view.m_bComputed, 0);
}

Cells With(Cells c, std::size_t row, int col, const std::string& text) {
  c[row][static_cast<std::size_t>(col)] = text;
  return c;
}

const Case kCases[] = {
    {"names only", 0, [] { return Cells{{"A"}, {"B"}, {"C"}, {"D"}}; }, nullptr, "无计算内容！"},
    // Magnitudes no computation survives are refused before anything overflows.
    {"side beyond computation", 0, [] { return With(ConnectingCells(), 3, kSide, "1e308"); }, nullptr,
     "第4点(P2)的边长数值过大（1e308），无法计算。"},
    {"known X beyond computation", 0, [] { return With(ConnectingCells(), 0, kX, "-1e300"); }, nullptr,
     "第1点(A)的X坐标数值过大（-1e300），无法计算。"},
    {"height difference beyond computation", 0, [] { return With(ConnectingCells(), 2, kDh, "9e99"); }, nullptr,
     "第3点(P1)的高差数值过大（9e99），无法计算。"},
    {"observed height beyond computation", 4, [] { return Cells{{"A", "", "", "", "", "1", "1"}, {"B"}, {"C"}}; },
     [](CDxView& v) { v.m_arrUnit[0].obsHText = "1e200"; }, "第1点(A)的观测高程数值过大（1e200），无法计算。"},
    {"empty name", 0, [] { return With(ConnectingCells(), 3, kName, ""); }, nullptr,
     "第4点名称不应为空"},
    {"unnamed orientation row carrying a height difference", 0,
     [] {
       Cells c = ConnectingCells(false, true);
       c[0][kName] = "";
       c[0][kDh] = "1.000";
       c[0][kWeight] = "100";
       return c;
     },
     nullptr, "第1点名称不应为空"},
    {"zone number with reduction", 0,
     [] { return With(ConnectingCells(), 0, kY, "39501230.775"); },
     [](CDxView& v) { v.m_bReduce = 1; }, "您选择了概算，第1点Y坐标不应含有带号!"},
    {"X without Y", 0, [] { return With(ConnectingCells(), 2, kX, "3371395.870"); }, nullptr,
     "第3点(P1)的平面坐标应同时填写"},
    {"height difference without weight", 0, [] { return With(ConnectingCells(), 2, kWeight, ""); },
     nullptr, "第3点(P1)-第4点(P2)输入了高差，但无距离或测站数定权"},
    {"zero weight", 0, [] { return With(ConnectingCells(), 2, kWeight, "0.000"); }, nullptr,
     "第3点(P1)-第4点(P2)的高差定权距离或测站数必须大于0。"},
    {"angle in the first row", 2,
     [] { return With(OpenCells(), 0, kAngle, "90 00 00"); }, nullptr,
     "第1点(A)是第一点，没有后视点，不应输入角度"},
    {"angle in the last row (from a file)", 3, [] { return ConnectingCells(); },
     [](CDxView& v) { v.m_arrUnit.back().angleText = "90 00 00"; },
     "第8点(D)是最后一点，没有前视点，不应输入角度"},
    {"same name, coordinates 2 mm off", 0,
     [] {
       Cells c = ConnectingCells();
       c[5][kName] = "B";
       c[5][kX] = "3371512.308";
       c[5][kY] = "501104.918";
       return c;
     },
     nullptr, "第6点(B)已有同名点但输入的坐标不一样！"},
    {"same name, different height", 0,
     [] {
       Cells c = ConnectingCells(false, true);
       c[6][kName] = "B";
       c[6][kH] = "50.200";
       return c;
     },
     nullptr, "第7点(B)已有同名点但输入的高程不一样！"},
    {"first point unknown", 3,
     [] {
       Cells c = ConnectingCells();
       c[0][kX] = c[0][kY] = "";
       return c;
     },
     nullptr, "平面计算时第一点应该为已知点！\n请输入平面坐标。"},
    {"one known point", 3,
     [] {
       Cells c = ConnectingCells();
       for (std::size_t i = 1; i < c.size(); ++i) c[i][kX] = c[i][kY] = "";
       return c;
     },
     nullptr, "平面计算时已知平面坐标的点不应少于两个！"},
    {"angle between three known points", 0,
     [] {
       Cells c = ConnectingCells();
       c[2][kX] = "3371395.870";
       c[2][kY] = "501381.402";
       return c;
     },
     nullptr, "第2点(B)及前后两点都是已知点，不应观测角度"},
    {"side between two known points", 3,
     [] {
       Cells c = ConnectingCells();
       c[0][kSide] = "333.000";
       return c;
     },
     nullptr, "第1点(A)-第2点(B)都是已知点，不应观测边长"},
    {"too few plane observations", 3,
     [] {
       Cells c = ConnectingCells();
       for (std::size_t i = 2; i <= 4; ++i) c[i][kSide] = "";
       c[3][kAngle] = "";
       return c;
     },
     nullptr, "平面计算中角度、边长观测量不足！"},
    {"heights without a known height", 0,
     [] {
       Cells c = ConnectingCells();
       for (auto& r : c) r[kH] = "";
       return c;
     },
     nullptr, "您输入了高差，程序将进行高程计算，此时应至少输入一个高程已知点！"},
    {"height difference between two known heights", 3,
     [] { return With(ConnectingCells(), 2, kH, "52.874"); }, nullptr,
     "第2点(B)-第3点(P1)都是高程已知点，不应观测高差"},
    {"too few height differences", 3,
     [] {
       // P1 -> P2 hangs loose: two unknown heights on one difference.
       Cells c = ConnectingCells();
       c[1][kDh] = c[1][kWeight] = "";
       c[3][kDh] = c[3][kWeight] = "";
       return c;
     },
     nullptr, "高程计算中高差观测量不足！"},
    // Closed or connecting traverse.
    {"three rows only", 0,
     [] {
       Cells c = ConnectingCells();
       return Cells{c[0], c[1], c[2]};
     },
     nullptr, "闭、附合导线的数据行数不足，至少应有起始定向点、起点、终点和终止定向点四行。"},
    {"start point unknown", 0,
     [] {
       Cells c = ConnectingCells();
       c[1][kX] = c[1][kY] = "";
       return c;
     },
     nullptr, "闭、附合导线第2点应该为已知点，请输入平面坐标"},
    {"end point unknown", 0,
     [] {
       Cells c = ConnectingCells();
       c[6][kX] = c[6][kY] = "";
       return c;
     },
     nullptr, "附合导线终点应该为已知点，请在倒数第二点输入平面坐标"},
    {"closing orientation unknown", 0,
     [] {
       Cells c = ConnectingCells();
       c[7][kX] = c[7][kY] = "";
       return c;
     },
     nullptr, "附合导线最后一点应该为已知点，请输入平面坐标"},
    {"closed loop ending on another point", 0,
     [] { return With(ClosedCells(), 8, kName, "Q9"); }, nullptr,
     "闭合导线最后一点如果不是已知点，则只能是第一个未知点，\n即导线第三点(Q1)！"},
    {"closed loop whose last row is typed as known", 0,
     [] {
       // Without the connection angle and first side, the typed Q1 is not
       // caught by the observation checks first.
       Cells c = ClosedCells();
       c[1][kAngle] = c[1][kSide] = "";
       c[8][kX] = "3371403.551";
       c[8][kY] = "501372.004";
       return c;
     },
     nullptr, "导线最后一点是已知点，但却与第一个未知点(即导线第三点Q1)同名！"},
    {"missing angle", 0, [] { return With(ConnectingCells(), 3, kAngle, ""); }, nullptr,
     "第4点(P2)处没有输入角度"},
    {"missing side", 0,
     [] {
       Cells c = ConnectingCells();
       c[3][kSide] = "";
       return c;
     },
     nullptr, "第4点(P2)至第5点(P3)没有输入边长"},
    {"new point named like a known one", 0, [] { return With(ConnectingCells(), 3, kName, "A"); },
     nullptr, "闭、附合导线第4点(A)不能是已知点或与已知点同名"},
    {"new point repeating an earlier one", 0,
     [] { return With(ConnectingCells(), 4, kName, "P1"); }, nullptr,
     "闭、附合导线第5点(P1)不能与前面的点同名"},
    {"height start unknown", 0, [] { return With(ConnectingCells(), 1, kH, ""); }, nullptr,
     "闭、附合高程路线起点应该为已知点，请在第二点处输入高程"},
    {"height end unknown", 0, [] { return With(ConnectingCells(), 6, kH, ""); }, nullptr,
     "附合高程路线终点应该为已知点，请在倒数第二点处输入高程"},
    {"missing height difference", 0,
     [] {
       Cells c = ConnectingCells();
       c[3][kDh] = c[3][kWeight] = "";
       c[5][kDh] = c[5][kWeight] = "";
       c[5][kH] = "57.015";
       return c;
     },
     nullptr, "第4点(P2)至第5点(P3)没有输入高差"},
    {"new height point with a typed height", 0,
     [] {
       Cells c = ConnectingCells(false, true);
       c[3][kH] = "51.309";
       return c;
     },
     nullptr, "闭、附合高程路线第4点(P2)不能是已知点或与已知点同名"},
    {"new height point repeating an earlier one", 0,
     [] { return With(ConnectingCells(false, true), 4, kName, "P1"); }, nullptr,
     "闭、附合高程路线第5点(P1)不能与前面的点同名"},
    // No-orientation traverse.
    {"start equals end", 1, [] { return With(NoOrientationCells(), 5, kName, "B"); },
     [](CDxView& v) {
       // A second known point, so that only the repeated name is wrong.
       v.m_arrUnit[2].xText = "3371188.115";
       v.m_arrUnit[2].yText = "501540.660";
       v.m_arrUnit.back().xText.clear();
       v.m_arrUnit.back().yText.clear();
       v.m_arrUnit.back().hText.clear();
     },
     "无定向导线起点与终点不能为同一点！"},
    {"no-orientation end unknown", 1,
     [] {
       Cells c = NoOrientationCells();
       c[5][kX] = c[5][kY] = "";
       c[2][kX] = "3371188.115";
       c[2][kY] = "501540.660";
       return c;
     },
     nullptr, "无定向导线终点应该为已知点，请输入平面坐标"},
    {"height route start unknown", 1,
     [] { return With(NoOrientationCells(false, true), 0, kH, ""); }, nullptr,
     "高程路线起点应该为已知点，请在第一点处输入高程"},
    {"height route end unknown", 1,
     [] { return With(NoOrientationCells(false, true), 5, kH, ""); }, nullptr,
     "高程路线终点应该为已知点，请在最后一点处输入高程"},
    {"height route point with a typed height", 1,
     [] { return With(NoOrientationCells(false, true), 2, kH, "51.309"); }, nullptr,
     "高程路线第3点(P2)不能是已知点或与已知点同名"},
    {"height route point repeating an earlier one", 1,
     [] { return With(NoOrientationCells(false, true), 3, kName, "P1"); }, nullptr,
     "高程路线第4点(P1)不能与前面的点同名"},
    // Open traverse.
    {"open traverse start unknown", 2,
     [] {
       Cells c = OpenCells();
       c[1][kX] = c[1][kY] = "";
       c[4][kX] = "3371091.447";
       c[4][kY] = "501845.231";
       return c;
     },
     nullptr, "支导线第2点应该为已知点，请输入平面坐标"},
    {"open height route start unknown", 2,
     [] {
       Cells c = OpenCells();
       c[1][kH] = "";
       c[3][kH] = "51.309";
       return c;
     },
     nullptr, "支高程路线起点应该为已知点，请在第二点处输入高程"},
    // Coordinate traverse.
    {"coordinate traverse observation incomplete", 4,
     [] {
       auto pts = synth::SampleConnecting();
       Cells c = synth::CoordRows(pts, pts);
       c[3][2] = "";
       return c;
     },
     nullptr, "第4点(P2)的观测坐标未输入完整。"},
    {"coordinate traverse observed height missing", 4,
     [] {
       auto pts = synth::SampleConnecting();
       Cells c = synth::CoordRows(pts, pts);
       c[4][3] = "";
       return c;
     },
     nullptr, "第5点(P3)的观测高程未输入。"},
    {"coordinate height route without weight", 4,
     [] {
       auto pts = synth::SampleConnecting();
       Cells c = synth::CoordRows(pts, pts, false, true);
       c[2][4] = "0";
       return c;
     },
     nullptr, "第3点(P1)-第4点(P2)必须输入距离用于计算高程时定权。\n距离必须大于0。"},
};

INSTANTIATE_TEST_SUITE_P(Checks, InputCheckTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST(InputCheckEdgeTest, PointWithinAMicrometreTakesTheStoredCoordinates) {
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_bRigorous = 0;
  Cells c = ConnectingCells();
  c[7][kName] = "A";  // the closing orientation is A again, typed 0.5 µm off
  c[7][kX] = "3371820.4120005";
  c[7][kY] = "501230.775";
  view.SetInputRows(c);
  ASSERT_EQ(view.ParseAndCheckInput(), 1) << port.Messages()[0];
  EXPECT_EQ(view.m_arrUnit[7].planeIndex, view.m_arrUnit[0].planeIndex);
  EXPECT_EQ(view.m_arrUnit[7].x, 3371820.412);
}

// A side or height difference in the last row leads nowhere and is ignored: stored
// files may hold one, and the job computes as without it.
TEST(InputCheckEdgeTest, LastRowSideAndHeightDifferenceAreIgnored) {
  for (int type : {0, 1}) {
    SCOPED_TRACE(type);
    platform::FakeMessagePort port;
    Cells plain = type == 0 ? ConnectingCells() : NoOrientationCells();
    Cells extra = plain;
    extra.back()[kSide] = "123.456";
    extra.back()[kDh] = "1.234";
    extra.back()[kWeight] = "0.5";
    CDxView a, b;
    for (CDxView* v : {&a, &b}) {
      v->ResetScheme();
      v->m_bRigorous = 0;
      v->m_nTraverseType = type;
    }
    a.SetInputRows(plain);
    b.SetInputRows(extra);
    ASSERT_EQ(a.Compute(), 1);
    EXPECT_EQ(b.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    EXPECT_TRUE(port.Messages().empty());
    ASSERT_EQ(a.m_arrUnit.size(), b.m_arrUnit.size());
    for (std::size_t i = 0; i < a.m_arrUnit.size(); ++i) {
      EXPECT_DOUBLE_EQ(a.m_arrUnit[i].x, b.m_arrUnit[i].x) << i;
      EXPECT_DOUBLE_EQ(a.m_arrUnit[i].y, b.m_arrUnit[i].y) << i;
      EXPECT_DOUBLE_EQ(a.m_arrUnit[i].h, b.m_arrUnit[i].h) << i;
    }
    EXPECT_DOUBLE_EQ(a.m_dSumD, b.m_dSumD);
  }
}

TEST(InputCheckEdgeTest, OpenHeightRouteNeedsNoWeights) {
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_nTraverseType = 2;
  Cells c = OpenCells();
  for (auto& r : c) r[kWeight] = "";
  view.SetInputRows(c);
  EXPECT_EQ(view.Compute(), 1);
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(view.m_nDhCount, 4);
}

TEST(InputCheckEdgeTest, BlankTextsFromAFileDoNotCount) {
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_bRigorous = 0;
  view.SetInputRows(ConnectingCells());
  view.m_arrUnit[0].angleText = "  ";  // an orientation row with a blank angle
  view.m_arrUnit[3].name = "P2 ";
  ASSERT_EQ(view.Compute(), 1) << port.Messages()[0];
  EXPECT_EQ(view.m_nAngleCount, 6);
  EXPECT_EQ(view.m_arrUnit[3].name, "P2");
}

TEST(InputCheckEdgeTest, ShortTableIsGrownToThreeRows) {
  CDxView view;
  view.ResetScheme();
  view.SetInputRows({{"A"}, {"B"}});
  EXPECT_EQ(view.m_arrUnit.size(), 3u);
}

TEST(InputCheckEdgeTest, UnnamedRowsNeverShareAPoint) {
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_bRigorous = 0;
  Cells c = ConnectingCells(false, true);
  c[0][kName] = "";
  c[0][kH] = "10.000";
  c[7][kName] = "";
  c[7][kH] = "20.000";
  view.SetInputRows(c);
  ASSERT_EQ(view.Compute(), 1) << port.Messages()[0];
  EXPECT_EQ(view.m_arrUnit[0].heightIndex, -1);
  EXPECT_EQ(view.m_arrUnit[7].heightIndex, -1);
  EXPECT_EQ(view.m_arrKnownHd.size(), 2u);  // B and C only
}

}  // namespace
