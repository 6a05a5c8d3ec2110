// Reduction of observations to the Gauss plane against GeographicLib: a traverse
// whose angles and sides are typed as measured on the ellipsoid (geodesic angles
// and lengths) must, after "概算", carry the plane angles and sides of its true
// Gauss-Krüger coordinates: angles within 0.001″, sides within 1e-7 of their
// length, up to 150 km from the central meridian.
#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercator.hpp>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "survey/angle.h"
#include "traverse/view/dx_view.h"

namespace {

constexpr double kA = 6378137.0, kInvF = 298.257222101;  // 国家2000
constexpr double kRho = 206264.806247096;
constexpr double kPi = 3.14159265358979323846;
constexpr double kLon0 = 117.0;

struct P {
  std::string name;
  double x, y;  // Gauss-Krüger, y with 500 km
  bool known;
  double lat = 0, lon = 0;
};

double Az(double x1, double y1, double x2, double y2) {
  double a = std::atan2(y2 - y1, x2 - x1);
  return a < 0 ? a + 2 * kPi : a;
}
double Fold(double a) {
  while (a < 0) a += 2 * kPi;
  while (a >= 2 * kPi) a -= 2 * kPi;
  return a;
}
std::string AngleText(double rad) {
  double sec = Fold(rad) * kRho;
  int d = static_cast<int>(sec / 3600);
  sec -= d * 3600.0;
  int m = static_cast<int>(sec / 60);
  sec -= m * 60.0;
  return std::to_string(d) + " " + std::to_string(m) + " " + platform::FormatFixed(sec, 7);
}

// A connecting traverse A B | P1 .. P4 | C D of 1-2 km legs at easting offset dy.
std::vector<P> Traverse(double dy) {
  const double x0 = 3400000.0, y0 = 500000.0 + dy;
  std::vector<P> pts = {{"A", x0 - 1500, y0 - 900, true},  {"B", x0, y0, true},
                        {"P1", x0 + 1200, y0 + 700, false}, {"P2", x0 + 2100, y0 + 2300, false},
                        {"P3", x0 + 3600, y0 + 2500, false}, {"P4", x0 + 4300, y0 + 4100, false},
                        {"C", x0 + 5600, y0 + 4800, true},  {"D", x0 + 6100, y0 + 6500, true}};
  const GeographicLib::TransverseMercator tm(kA, 1 / kInvF, 1.0);
  for (P& p : pts) tm.Reverse(kLon0, p.y - 500000.0, p.x, p.lat, p.lon);
  return pts;
}

}  // namespace

TEST(ReduceTest, GeodesicObservationsBecomePlaneObservations) {
  const GeographicLib::Geodesic geod(kA, 1 / kInvF);
  for (double dy : {-150000.0, -20000.0, 60000.0, 150000.0}) {
    const std::vector<P> pts = Traverse(dy);
    const int n = static_cast<int>(pts.size());
    std::vector<std::vector<std::string>> cells;
    for (int i = 0; i < n; ++i) {
      std::vector<std::string> r(9);
      r[0] = pts[i].name;
      if (pts[i].known) {
        r[5] = platform::FormatFixed(pts[i].x, 6);
        r[6] = platform::FormatFixed(pts[i].y, 6);
      }
      if (i >= 1 && i <= n - 2) {
        double s, azB, azF, dummy;
        geod.Inverse(pts[i].lat, pts[i].lon, pts[i - 1].lat, pts[i - 1].lon, s, azB, dummy);
        geod.Inverse(pts[i].lat, pts[i].lon, pts[i + 1].lat, pts[i + 1].lon, s, azF, dummy);
        r[1] = AngleText((azF - azB) * kPi / 180.0);
      }
      if (i >= 1 && i <= n - 3) {
        double s;
        geod.Inverse(pts[i].lat, pts[i].lon, pts[i + 1].lat, pts[i + 1].lon, s);
        r[2] = platform::FormatFixed(s, 7);
      }
      cells.push_back(r);
    }
    CDxView view;
    platform::FakeMessagePort port;
    view.ResetScheme();
    view.m_nTraverseType = 0;
    view.m_nEllipsoid = 4;
    view.m_bY500 = 1;
    view.m_bReduce = 1;
    view.m_bProjCorrection = 1;
    view.m_bDistReduce = 0;
    view.SetInputRows(cells);
    ASSERT_EQ(view.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    EXPECT_TRUE(port.Messages().empty());
    for (int i = 1; i <= n - 2; ++i) {
      const P &b = pts[i - 1], &s = pts[i], &f = pts[i + 1];
      const double plane = Fold(Az(s.x, s.y, f.x, f.y) - Az(s.x, s.y, b.x, b.y));
      double d = (view.m_arrUnit[i].observedAngle - plane) * kRho;
      if (d > 648000) d -= 1296000;
      if (d < -648000) d += 1296000;
      EXPECT_LT(std::fabs(d), 0.001) << "dy " << dy << " row " << i + 1;
      // The reduction must have mattered here: the typed angle is off by more.
      if (std::fabs(dy) > 100000) {
        const double typed = survey::ParseAngleText(cells[i][1]);
        EXPECT_GT(std::fabs(typed - plane) * kRho, 0.01) << "row " << i + 1;
      }
    }
    for (int i = 1; i <= n - 3; ++i) {
      const double plane = std::hypot(pts[i + 1].x - pts[i].x, pts[i + 1].y - pts[i].y);
      EXPECT_NEAR(view.m_arrUnit[i].distance / plane, 1.0, 1e-7) << "dy " << dy << " row " << i + 1;
    }
    // The second pass adjusts on the reduced observations: back to the truth.
    for (int i = 2; i <= n - 3; ++i) {
      EXPECT_NEAR(view.m_arrUnit[i].x, pts[i].x, 2e-3) << pts[i].name;
      EXPECT_NEAR(view.m_arrUnit[i].y, pts[i].y, 2e-3) << pts[i].name;
    }
  }
}

TEST(ReduceTest, WithoutCorrectionsTheTypedValuesReturn) {
  const std::vector<P> pts = Traverse(150000.0);
  std::vector<std::vector<std::string>> cells = {
      {"A", "", "", "", "", platform::FormatFixed(pts[0].x, 6), platform::FormatFixed(pts[0].y, 6), "", ""},
      {"B", "200 00 00", "1389.5", "", "", platform::FormatFixed(pts[1].x, 6), platform::FormatFixed(pts[1].y, 6), "", ""},
      {"P1", "150 00 00", "1800.25", "", "", "", "", "", ""},
      {"C", "180 00 00", "", "", "", platform::FormatFixed(pts[6].x, 6), platform::FormatFixed(pts[6].y, 6), "", ""},
      {"D", "", "", "", "", platform::FormatFixed(pts[7].x, 6), platform::FormatFixed(pts[7].y, 6), "", ""}};
  CDxView view;
  platform::FakeMessagePort port;
  view.ResetScheme();
  view.m_bReduce = 1;
  view.m_bY500 = 1;
  view.m_bProjCorrection = 0;
  view.m_bRigorous = 0;
  view.SetInputRows(cells);
  view.Compute();
  // Off-by-design closures are only warnings; the reduced values are the typed ones.
  EXPECT_DOUBLE_EQ(view.m_arrUnit[1].observedAngle, survey::ParseAngleText("200 00 00"));
  EXPECT_DOUBLE_EQ(view.m_arrUnit[2].observedDistance, 1800.25);
  EXPECT_DOUBLE_EQ(view.m_dSumD, 1389.5 + 1800.25);
}

TEST(ReduceTest, SideWithoutHeightIsRefusedFarEndFirst) {
  const std::vector<P> pts = Traverse(0.0);
  auto xy = [&](int i, std::vector<std::string>& r) {
    r[5] = platform::FormatFixed(pts[i].x, 6);
    r[6] = platform::FormatFixed(pts[i].y, 6);
  };
  std::vector<std::vector<std::string>> cells(6, std::vector<std::string>(9));
  const char* names[6] = {"A", "B", "P1", "P2", "C", "D"};
  const int ids[6] = {0, 1, 2, 3, 6, 7};
  for (int i = 0; i < 6; ++i) cells[i][0] = names[i];
  xy(0, cells[0]);
  xy(1, cells[1]);
  xy(6, cells[4]);
  xy(7, cells[5]);
  cells[1][7] = "50.000";  // B has a height, P1 has none
  for (int i = 1; i <= 4; ++i) {
    const P &b = pts[ids[i - 1]], &s = pts[ids[i]], &f = pts[ids[i + 1]];
    cells[i][1] = AngleText(Az(s.x, s.y, f.x, f.y) - Az(s.x, s.y, b.x, b.y));
  }
  for (int i = 1; i <= 3; ++i)
    cells[i][2] = platform::FormatFixed(std::hypot(pts[ids[i + 1]].x - pts[ids[i]].x, pts[ids[i + 1]].y - pts[ids[i]].y), 4);
  CDxView view;
  platform::FakeMessagePort port;
  view.ResetScheme();
  view.m_bReduce = 1;
  view.m_bY500 = 1;
  view.m_bDistReduce = 1;
  view.SetInputRows(cells);
  EXPECT_EQ(view.Compute(), 0);
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "P1 点无高程，B－P1边无法进行高程归化改正！");
}
