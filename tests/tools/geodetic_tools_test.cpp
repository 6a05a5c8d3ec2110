// The geodetic tools and the direction reduction as a surveyor runs them, checked
// against GeographicLib (Geocentric, exact TransverseMercator with k0 = 1, Geodesic).
#include <gtest/gtest.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <cmath>

#include "drawing/recording_feed.h"
#include "platform/fake_ports.h"
#include "platform/number.h"
#include "survey/angle.h"
#include "tests/tools/tools_test_util.h"
#include "tools/tool_plugin.h"

using namespace tools;

namespace {

constexpr double kDeg = M_PI / 180;
constexpr double kSec = 206264.806247096;

struct Ellipsoid {
  int type;
  double a, invF;
};
const Ellipsoid kEllipsoids[] = {{1, 6378245, 298.3},
                                 {2, 6378140, 298.257},
                                 {3, 6378137, 298.257223563},
                                 {4, 6378137, 298.257222101},
                                 {0, 6378388, 297.0}};

std::string Dms(double deg) {
  // d.mmss text of a decimal-degree value with 1e-7" resolution.
  const double sign = deg < 0 ? -1 : 1;
  double s = std::abs(deg) * 3600;
  const int d = static_cast<int>(s / 3600);
  s -= d * 3600;
  const int m = static_cast<int>(s / 60);
  s -= m * 60;
  return (sign < 0 ? "-" : "") + std::to_string(d) + " " + std::to_string(m) + " " + platform::FormatFixed(s, 7);
}

struct ToolFixture : ::testing::Test {
  ToolFixture() {
    view.OnInitialUpdate();
    view.SetViewPorts(&ports);
    view.SetDrawingFeed(&feed);
    view.ResetToDefaults();
    view.m_nCoordDecimals = 6;
    view.m_nHeightDecimals = 6;
    view.m_nLatLonDecimals = 6;
  }
  void Use(const Ellipsoid& e) {
    view.m_nCoordSystem = e.type;
    view.m_dEllipsoidA = e.a;
    view.m_dEllipsoidInvF = e.invF;
  }
  void Run(const char* code, const std::vector<std::string>& rows) {
    view.m_stores[FindTool(code)->store] = rows;
    view.ShowTool(code);
    view.OnCompute();
  }
  double Num(int r, int c) const { return platform::ParseDouble(view.GetCellText(r, c)); }
  double Deg(int r, int c) const { return survey::ParseAngleText(view.GetCellText(r, c)) / kDeg; }
  platform::FakeMessagePort messages;
  toolstest::FakeToolPorts ports;
  drawing::RecordingFeed feed;
  CAuxView view;
};

TEST_F(ToolFixture, GeocentricBothWaysMatchGeographicLib) {
  const double pts[][3] = {{30.5, 114.25, -1000}, {-33.9, -70.6, 10000}, {89.9999, 10, 0}, {0, -179.5, 500},
                           {45, 0, 2500}};
  for (const Ellipsoid& e : kEllipsoids) {
    Use(e);
    const GeographicLib::Geocentric g(e.a, 1 / e.invF);
    std::vector<std::string> blh, xyz;
    for (const auto& p : pts) {
      double X, Y, Z;
      g.Forward(p[0], p[1], p[2], X, Y, Z);
      blh.push_back("P," + Dms(p[0]) + "," + Dms(p[1]) + "," + platform::FormatFixed(p[2], 6));
      xyz.push_back("P," + platform::FormatFixed(X, 6) + "," + platform::FormatFixed(Y, 6) + "," + platform::FormatFixed(Z, 6));
    }
    xyz.push_back("axis,0,0,6400000");
    Run(ToolCode::BLHTOXYZ, blh);
    for (int r = 1; r <= 5; ++r) {
      double X, Y, Z;
      g.Forward(pts[r - 1][0], pts[r - 1][1], pts[r - 1][2], X, Y, Z);
      EXPECT_NEAR(Num(r, 5), X, 1e-4) << e.type << " row " << r;
      EXPECT_NEAR(Num(r, 6), Y, 1e-4);
      EXPECT_NEAR(Num(r, 7), Z, 1e-4);
    }
    Run(ToolCode::XYZTOBLH, xyz);
    for (int r = 1; r <= 6; ++r) {
      double lat, lon, h;
      g.Reverse(Num(r, 2), Num(r, 3), Num(r, 4), lat, lon, h);
      // 1e-4 m on the ground is about 3e-6".
      EXPECT_NEAR(Deg(r, 5), lat, 1e-4 / 111000) << e.type << " row " << r;
      if (r != 6) {
        EXPECT_NEAR(std::remainder(Deg(r, 6) - lon, 360.0) * std::cos(lat * kDeg), 0, 1e-4 / 111000);
      }
      EXPECT_NEAR(Num(r, 7), h, 1e-4);
    }
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_TRUE(view.m_bComputeOk);
  }
  EXPECT_EQ(feed.Count(drawing::FeedOp::AddControlPoint), 0);  // these two draw nothing
}

TEST_F(ToolFixture, GaussForwardInverseAndZoneChangeMatchTransverseMercator) {
  const double pts[][2] = {{30.5, 114.0}, {22.3, 116.9}, {40.1, 111.2}, {-12.5, 112.5}, {5, 115.5}};
  for (const Ellipsoid& e : kEllipsoids) {
    Use(e);
    const GeographicLib::TransverseMercator tm(e.a, 1 / e.invF, 1.0);
    std::vector<std::string> bl, xy;
    for (const auto& p : pts) {
      bl.push_back("," + Dms(p[0]) + "," + Dms(p[1]));
      double x, y;
      tm.Forward(114, p[0], p[1], y, x);
      xy.push_back("Q," + platform::FormatFixed(x, 6) + "," + platform::FormatFixed(y + 500000, 6));
    }
    feed.calls.clear();
    Run(ToolCode::GSZHSH, bl);
    for (int r = 1; r <= 5; ++r) {
      double x, y;
      tm.Forward(114, pts[r - 1][0], pts[r - 1][1], y, x);
      EXPECT_NEAR(Num(r, 4), x, 1e-4) << e.type << " row " << r;
      EXPECT_NEAR(Num(r, 5), y + 500000, 1e-4);
    }
    ASSERT_EQ(feed.Count(drawing::FeedOp::AddControlPoint), 5);
    EXPECT_EQ(feed.calls.back().s[0], "5");  // unnamed rows are labelled by their number

    Run(ToolCode::GSFSH, xy);
    for (int r = 1; r <= 5; ++r) {
      EXPECT_NEAR(Deg(r, 4), pts[r - 1][0], 1e-4 / 111000) << e.type << " row " << r;
      EXPECT_NEAR(Deg(r, 5), pts[r - 1][1], 1e-4 / 100000);
    }
    Run(ToolCode::ZBHD1, xy);
    for (int r = 1; r <= 5; ++r) {
      double x, y;
      tm.Forward(111, pts[r - 1][0], pts[r - 1][1], y, x);
      if (std::abs(pts[r - 1][1] - 111) > 3) continue;  // beyond 3°: only finiteness
      EXPECT_NEAR(Num(r, 4), x, 2e-4) << e.type << " row " << r;
      EXPECT_NEAR(Num(r, 5), y + 500000, 2e-4);
    }
  }
  EXPECT_EQ(view.GetSignatureText(1), "换带前：中央子午线经度：114 00 00  投影面大地高：0");
  EXPECT_EQ(view.GetSignatureText(2), "换带后：中央子午线经度：111 00 00  投影面大地高：0");
}

// A y that still carries its zone number, or lies farther from the meridian than the
// series serve, is refused by row; the other rows are computed.
TEST_F(ToolFixture, PlaneYBeyondTheProjectionIsRefusedByRow) {
  const std::string far = "的y坐标超出高斯投影的适用范围，y坐标不应包含带号\n";
  struct Case {
    const char* code;
    bool y500km;
    std::vector<std::string> rows;
    std::string message;
  };
  const Case cases[] = {
      {ToolCode::GSFSH, true, {"a,3300000,38500000", "b,3300000,500000", "c,3300000,1300000", "d,6600000,1100000"},
       "第1行" + far + "第3行" + far + "第4行" + far},
      {ToolCode::GSFSH, false, {"a,3300000,38000000", "b,3300000,0"}, "第1行" + far},
      {ToolCode::ZBHD1, true, {"a,3300000,500000", "b,3300000,38500000"}, "第2行" + far},
      {ToolCode::ZBHD2, true, {"a,3300000,38500000,10", "b,3300000,500000,10"}, "第1行" + far},
  };
  for (const Case& c : cases) {
    view.m_bY500km = c.y500km;
    messages.events.clear();
    view.ShowTool("");  // the grid of the same tool would be stored over the rows
    Run(c.code, c.rows);
    ASSERT_FALSE(messages.Messages().empty()) << c.code;
    EXPECT_EQ(messages.Messages().back(), c.message) << c.code;
    for (int r = 1; r <= static_cast<int>(c.rows.size()); ++r) {
      const bool refused = c.message.find("第" + std::to_string(r) + "行") != std::string::npos;
      const int result = std::string(c.code) == ToolCode::ZBHD2 ? 5 : 4;
      EXPECT_EQ(view.GetCellText(r, result).empty(), refused) << c.code << " row " << r;
    }
  }
}

TEST_F(ToolFixture, ZoneChangeWithHeightsFollowsTheLargerEllipsoid) {
  // ZBHD2 with projection heights 0 and 2000 m against a geocentric round trip:
  // the point (B, L, H) on a1 is the point (B', L, H - dH) on a1 + da.
  view.m_nExpansion = 0;  // a + H
  view.m_dProjHeight2 = 2000;
  view.m_dMeridian2 = 114;
  const double a1 = 6378140, invF = 298.257;
  const GeographicLib::TransverseMercator tm1(a1, 1 / invF, 1.0), tm2(a1 + 2000, 1 / invF, 1.0);
  const GeographicLib::Geocentric g1(a1, 1 / invF), g2(a1 + 2000, 1 / invF);
  double x, y;
  tm1.Forward(114, 30.5, 114.5, y, x);
  Run(ToolCode::ZBHD2, {"A," + platform::FormatFixed(x, 6) + "," + platform::FormatFixed(y + 500000, 6) + ",100"});
  double X, Y, Z, lat2, lon2, h2, x2, y2;
  g1.Forward(30.5, 114.5, 100, X, Y, Z);
  g2.Reverse(X, Y, Z, lat2, lon2, h2);
  tm2.Forward(114, lat2, lon2, y2, x2);
  EXPECT_NEAR(Num(1, 7), h2, 2e-5);
  EXPECT_NEAR(Num(1, 5), x2, 2e-4);
  EXPECT_NEAR(Num(1, 6), y2 + 500000, 2e-4);
}

TEST_F(ToolFixture, ArcToChordAndReducedDistanceMatchTheProjectedGeodesic) {
  Use(kEllipsoids[3]);
  const GeographicLib::TransverseMercator tm(6378137, 1 / 298.257222101, 1.0);
  const GeographicLib::Geodesic geod(6378137, 1 / 298.257222101);
  struct Line {
    double x1, y1, x2, y2;
  };
  const Line lines[] = {{3400000, 20000, 3405000, 28000},
                        {3400000, 120000, 3393000, 126000},
                        {2500000, -140000, 2503000, -146000},
                        {4200000, 60000, 4200500, 51000}};
  std::vector<std::string> rows;
  for (const Line& l : lines)
    rows.push_back(platform::FormatFixed(l.x1, 3) + "," + platform::FormatFixed(l.y1 + 500000, 3) + ",0," +
                   platform::FormatFixed(l.x2, 3) + "," + platform::FormatFixed(l.y2 + 500000, 3) + ",0,");
  Run(ToolCode::FXBCHGH, rows);
  ASSERT_TRUE(view.m_bComputeOk);
  for (int r = 1; r <= 4; ++r) {
    const Line& l = lines[r - 1];
    double lat1, lon1, lat2, lon2, g1, g2, k1, k2;
    tm.Reverse(114, l.y1, l.x1, lat1, lon1, g1, k1);
    tm.Reverse(114, l.y2, l.x2, lat2, lon2, g2, k2);
    double azi1, azi2;
    geod.Inverse(lat1, lon1, lat2, lon2, azi1, azi2);
    // Grid bearing of the projected geodesic at each end, against the chord's.
    const double t12 = std::atan2(l.y2 - l.y1, l.x2 - l.x1) / kDeg;
    const double d12 = std::remainder(t12 - (azi1 - g1), 360.0) * 3600;
    const double d21 = std::remainder(t12 + 180 - (azi2 + 180 - g2), 360.0) * 3600;
    EXPECT_NEAR(Num(r, 9), d12, 0.001) << "row " << r;
    EXPECT_NEAR(Num(r, 10), d21, 0.001) << "row " << r;
    EXPECT_EQ(view.GetCellText(r, 8), "");
  }
}

TEST_F(ToolFixture, ReductionRowsWithMissingInputSayWhich) {
  Run(ToolCode::FXBCHGH, {"3400000,520000,,3401000,", "3400000,520000,10,3401000,520000,,1000",
                          "3400000,520000,10,3401000,520000,12,1000"});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0], "第1行起、终点坐标应输入完整\n第2行输入了观测边长，要求边长改化时应该输入两点的高程");
  EXPECT_EQ(view.GetCellText(2, 9), "");
  EXPECT_FALSE(view.GetCellText(3, 8).empty());
  EXPECT_FALSE(view.m_bComputeOk);
  EXPECT_FALSE(view.FindButton(table::ID_SWITCH_DRAWING)->visible);
  view.ShowTool(ToolCode::GSZHSH);
  EXPECT_TRUE(view.FindButton(table::ID_SWITCH_DRAWING)->visible);
}

TEST_F(ToolFixture, ThousandsOfRowMessagesShowTheFirstLinesAndACount) {
  std::vector<std::string> rows(500, "1,2,,3,,,");
  Run(ToolCode::FXBCHGH, rows);
  ASSERT_EQ(messages.Messages().size(), 1u);
  const std::string m = messages.Messages()[0];
  EXPECT_EQ(std::count(m.begin(), m.end(), '\n'), 41);
  EXPECT_NE(m.find("另有460条信息未列出"), std::string::npos);
}

TEST_F(ToolFixture, RemarksUnderTheTable) {
  Run(ToolCode::GSZHSH, {"A,30,114"});
  EXPECT_EQ(view.GetSignatureText(0), "备注");
  EXPECT_EQ(view.GetSignatureText(1), "坐标系：西安80  投影面大地高：0");
  EXPECT_EQ(view.GetSignatureText(2), "中央子午线经度：114 00 00");
  view.m_dReductionHeight = 45.5;
  view.m_dProjHeight = 12.25;
  Run(ToolCode::FXBCHGH, {"1,2,,3,4,,"});
  EXPECT_EQ(view.GetSignatureText(1), "坐标系：西安80  投影面大地高：12.25  归算高程面：45.5");
}

}  // namespace
