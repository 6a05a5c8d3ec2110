// The projection and the geocentric conversion against GeographicLib, which is
// exact to nanometres (TransverseMercator: Krüger series to order 6; Geocentric).
#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/fake_ports.h"
#include "survey/angle.h"
#include "survey/gauss_projection.h"

using namespace survey;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;

struct Ellipsoid {
  const char* name;
  int type;
  double a, invF;  // the reference values (custom ones are passed in as well)
};

const Ellipsoid kEllipsoids[] = {
    {"北京54", kEllipsoidBeijing54, 6378245, 298.3},
    {"西安80", kEllipsoidXian80, 6378140, 298.257},
    {"WGS_84", kEllipsoidWgs84, 6378137, 298.257223563},
    {"国家2000", kEllipsoidCgcs2000, 6378137, 298.257222101},
    {"custom (International 1924)", kEllipsoidCustom, 6378388, 297.0},
};

class GaussKrueger : public ::testing::TestWithParam<Ellipsoid> {};

// Latitudes across the range a Chinese survey meets and beyond, longitude offsets up
// to 3° on both sides, with and without the false easting.
TEST_P(GaussKrueger, ForwardAndInverseMatchGeographicLibWithinATenthOfAMillimetre) {
  const Ellipsoid& e = GetParam();
  const GeographicLib::TransverseMercator tm(e.a, 1 / e.invF, 1.0);
  const double L0 = 117 * kDeg;
  for (bool false500 : {false, true}) {
    CGaussProjection g;
    ASSERT_TRUE(g.SetEllipsoid(e.type, false500, e.a, e.invF, 0, 0, 0));
    double worstForward = 0, worstInverse = 0;
    for (double lat = -10; lat <= 80; lat += 2.5) {
      for (double dl = -3; dl <= 3; dl += 0.25) {
        double refEast, refNorth;
        tm.Forward(117, lat, 117 + dl, refEast, refNorth);
        double x = 0, y = 0;
        g.GeodeticToPlane(lat * kDeg, (117 + dl) * kDeg, L0, &x, &y);
        double east = false500 ? y - 500000 : y;
        worstForward = std::max({worstForward, std::fabs(x - refNorth), std::fabs(east - refEast)});

        // Inverse from GeographicLib's plane coordinates, error measured on the ground.
        double B = 0, L = 0;
        g.PlaneToGeodetic(refNorth, false500 ? refEast + 500000 : refEast, L0, &B, &L);
        double dN = (B - lat * kDeg) * e.a;
        double dE = (L - (117 + dl) * kDeg) * e.a * std::cos(lat * kDeg);
        worstInverse = std::max({worstInverse, std::fabs(dN), std::fabs(dE)});
      }
    }
    EXPECT_LT(worstForward, 1e-4) << e.name << (false500 ? " 500 km" : "");
    EXPECT_LT(worstInverse, 1e-4) << e.name << (false500 ? " 500 km" : "");
  }
}

// Past 3° the truncated series drift. The header states the worst figures measured
// here; the bounds hold them with a little room so that a worse series fails.
TEST_P(GaussKrueger, ErrorBeyondThreeDegreesStaysWithinTheStatedFigures) {
  const Ellipsoid& e = GetParam();
  const GeographicLib::TransverseMercator tm(e.a, 1 / e.invF, 1.0);
  const double L0 = 117 * kDeg;
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(e.type, false, e.a, e.invF, 0, 0, 0));
  struct Band {
    double from, to;          // |L − L0| in degrees
    double forwardMm, inverseMm;  // stated bounds
  } bands[] = {{3, 4.5, 0.2, 0.9}, {4.5, 6, 1.0, 5.0}};
  for (const Band& band : bands) {
    double worstForward = 0, worstInverse = 0;
    for (double lat = -10; lat <= 80; lat += 2.5) {
      for (double adl = band.from; adl <= band.to + 1e-9; adl += 0.125) {
        for (double dl : {-adl, adl}) {
          double refEast, refNorth;
          tm.Forward(117, lat, 117 + dl, refEast, refNorth);
          double x = 0, y = 0;
          g.GeodeticToPlane(lat * kDeg, (117 + dl) * kDeg, L0, &x, &y);
          worstForward = std::max({worstForward, std::fabs(x - refNorth), std::fabs(y - refEast)});
          double B = 0, L = 0;
          g.PlaneToGeodetic(refNorth, refEast, L0, &B, &L);
          double dN = (B - lat * kDeg) * e.a;
          double dE = (L - (117 + dl) * kDeg) * e.a * std::cos(lat * kDeg);
          worstInverse = std::max({worstInverse, std::fabs(dN), std::fabs(dE)});
        }
      }
    }
    EXPECT_LT(worstForward * 1000, band.forwardMm) << e.name << " up to " << band.to << "°";
    EXPECT_LT(worstInverse * 1000, band.inverseMm) << e.name << " up to " << band.to << "°";
  }
}

TEST_P(GaussKrueger, GeocentricMatchesGeographicLibIncludingThePoles) {
  const Ellipsoid& e = GetParam();
  const GeographicLib::Geocentric ref(e.a, 1 / e.invF);
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(e.type, false, e.a, e.invF, 0, 0, 0));
  double worst = 0;
  for (double lat : {-90.0, -89.9999, -60.0, -45.0, -44.9, -10.0, 0.0, 0.001, 23.5, 44.99, 45.0,
                     45.01, 60.0, 89.99, 90.0}) {
    for (double lon : {-179.5, -90.0, 0.0, 45.0, 117.0, 180.0}) {
      for (double h : {-10000.0, 0.0, 55.5, 8848.0, 100000.0}) {
        double X, Y, Z;
        ref.Forward(lat, lon, h, X, Y, Z);
        double x, y, z;
        g.BlhToXyz(lat * kDeg, lon * kDeg, h, &x, &y, &z);
        worst = std::max({worst, std::fabs(x - X), std::fabs(y - Y), std::fabs(z - Z)});

        double B, L, H;
        g.XyzToBlh(X, Y, Z, &B, &L, &H);
        double rlat, rlon, rh;
        ref.Reverse(X, Y, Z, rlat, rlon, rh);
        double dL = std::remainder(L - rlon * kDeg, 2 * 3.14159265358979323846);
        worst = std::max({worst, std::fabs(B - rlat * kDeg) * e.a,
                          std::fabs(dL) * e.a * std::cos(rlat * kDeg), std::fabs(H - rh)});
      }
    }
  }
  EXPECT_LT(worst, 1e-4) << e.name;
}

INSTANTIATE_TEST_SUITE_P(Ellipsoids, GaussKrueger, ::testing::ValuesIn(kEllipsoids));

TEST(GaussProjection, PresetsCarryTheirDefiningConstants) {
  for (const Ellipsoid& e : kEllipsoids) {
    CGaussProjection g;
    // Custom values passed to a preset are ignored.
    ASSERT_TRUE(g.SetEllipsoid(e.type, false, e.type ? 1.0 : e.a, e.type ? 5.0 : e.invF, 0, 0, 0));
    double b = e.a * (1 - 1 / e.invF);
    EXPECT_DOUBLE_EQ(g.a, e.a) << e.name;
    EXPECT_NEAR(g.e2, 1 - b * b / (e.a * e.a), 1e-15) << e.name;
    EXPECT_NEAR(g.c, e.a * e.a / b, 1e-6) << e.name;
  }
  EXPECT_STREQ(EllipsoidTypeName(0), "自定义");
  EXPECT_STREQ(EllipsoidTypeName(3), "WGS_84");
  EXPECT_STREQ(EllipsoidTypeName(4), "国家2000");
}

TEST(GaussProjection, EnlargedEllipsoidProjectsLikeTheLargerEllipsoid) {
  // Enlargement a + H (method 0) gives an ellipsoid with the same flattening.
  const double H = 1500, B0 = 30 * kDeg;
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(kEllipsoidCgcs2000, true, 0, 0, H, B0, kExpandAddH));
  const GeographicLib::TransverseMercator tm(6378137 + H, 1 / 298.257222101, 1.0);
  double e, n;
  tm.Forward(114, 31.2, 116.1, e, n);
  double x, y;
  g.GeodeticToPlane(31.2 * kDeg, 116.1 * kDeg, 114 * kDeg, &x, &y);
  EXPECT_NEAR(x, n, 1e-4);
  EXPECT_NEAR(y - 500000, e, 1e-4);
}

TEST(GaussProjection, ExpansionMethodsEnlargeBy) {
  const double H = 1000, B0 = 40 * kDeg, f = 1 / 298.257223563;
  const double e2 = f * (2 - f);
  const double W = std::sqrt(1 - e2 * std::sin(B0) * std::sin(B0));
  struct Case { int method; double expected; } cases[] = {
      {kExpandAddH, H},
      {kExpandHOverW, H / W},
      {kExpandHOverFlat, H / (1 - 2 * f * B0 / kPi)},
      {kExpandHTimesW, H * W},
      {kExpandCurvature, W * W * H / std::sqrt(1 - e2)},
  };
  for (const Case& c : cases) {
    CGaussProjection g;
    ASSERT_TRUE(g.SetEllipsoid(kEllipsoidWgs84, false, 0, 0, H, B0, c.method));
    EXPECT_NEAR(g.a - 6378137, c.expected, 1e-8) << c.method;
  }
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(kEllipsoidWgs84, false, 0, 0, 0.5e-6, B0, kExpandAddH));
  EXPECT_EQ(g.a, 6378137);  // below 1e-6 m: no enlargement
}

TEST(GaussProjection, PoleOnTheAxisAtThePolarRadius) {
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(kEllipsoidWgs84, false, 0, 0, 0, 0, 0));
  const double b = 6378137 * (1 - 1 / 298.257223563);
  double B, L, H;
  g.XyzToBlh(0, 0, b, &B, &L, &H);
  EXPECT_EQ(B, 1.570796326794895);
  EXPECT_EQ(L, 0);
  EXPECT_NEAR(H, 0, 1e-8);
  g.XyzToBlh(0, 0, -b - 12.5, &B, &L, &H);
  EXPECT_EQ(B, -1.570796326794895);
  EXPECT_NEAR(H, 12.5, 1e-8);
  g.XyzToBlh(0, 0, 0, &B, &L, &H);  // the centre counts as the north pole
  EXPECT_EQ(B, 1.570796326794895);
}

TEST(GaussProjection, HostileInputEndsTheIterations) {
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(kEllipsoidXian80, false, 0, 0, 0, 0, 0));
  double B = 1, L = 1, H = 1;
  g.XyzToBlh(NAN, 1, 1, &B, &L, &H);  // returns instead of looping forever
  g.XyzToBlh(1e300, 1e300, 1e300, &B, &L, &H);
  double x = 0;
  EXPECT_FALSE(std::isfinite(g.PlaneLatitude(NAN, 0)));
  g.PlaneToGeodetic(1e300, 0, 0, &x, &L);
  SUCCEED();
}

TEST(GaussProjection, UnsetEllipsoidIsReportedAndOutputsKept) {
  platform::FakeMessagePort port;
  CGaussProjection g;
  double x = 7, y = 8, s = 100, d12 = 1, d21 = 2;
  g.GeodeticToPlane(0.5, 2, 2, &x, &y);
  g.PlaneToGeodetic(1000, 500000, 2, &x, &y);
  EXPECT_EQ(g.PlaneLatitude(1000, 0), 0);
  g.ReduceDistanceToPlane(0, 0, 1, 1, &s);
  g.ReduceDistance(0, 0, 0, 1, 1, 0, &s, true);
  g.ArcToChord(0, 0, 1, 1, &d12);
  g.ArcToChordPair(0, 0, 1, 1, &d12, &d21);
  g.ReduceDirectionsAndDistance(0, 0, 0, 1, 1, 0, &d12, &d21, &s);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 8);
  EXPECT_EQ(s, 100);
  EXPECT_EQ(d12, 1);
  EXPECT_EQ(d21, 2);
  ASSERT_EQ(port.Messages().size(), 8u);
  for (const auto& m : port.Messages()) EXPECT_EQ(m, "发生错误，尚未设置坐标类型");
  // The geocentric operations need no message.
  port.Clear();
  double X, Y, Z;
  g.BlhToXyz(0, 0, 0, &X, &Y, &Z);
  EXPECT_TRUE(port.Messages().empty());
}

TEST(GaussProjection, CustomValuesThatAreNoEllipsoidAreRefused) {
  platform::FakeMessagePort port;
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(kEllipsoidWgs84, false, 0, 0, 0, 0, 0));
  double x0 = 0, y0 = 0;
  g.GeodeticToPlane(0.5, 2.01, 2, &x0, &y0);
  // Refused values keep the ellipsoid that was set: the projection goes on as before.
  for (auto [a, invF, h] : {std::tuple{6378137.0, 0.0, 0.0}, {6378137.0, 1.0, 0.0}, {-5.0, 298.0, 0.0},
                            {NAN, 298.0, 0.0}, {6378137.0, INFINITY, 0.0}, {6378137.0, 298.0, NAN}}) {
    EXPECT_FALSE(g.SetEllipsoid(kEllipsoidCustom, true, a, invF, h, 0.3, 0));
    EXPECT_TRUE(g.IsReady());
    double x = 0, y = 0;
    g.GeodeticToPlane(0.5, 2.01, 2, &x, &y);
    EXPECT_EQ(x, x0);
    EXPECT_EQ(y, y0);  // nor did the false easting change
    EXPECT_EQ(g.projectionHeight, 0.0);
  }
  EXPECT_TRUE(port.Messages().empty());
  // With nothing set before, a refusal leaves nothing set.
  CGaussProjection fresh;
  EXPECT_FALSE(fresh.SetEllipsoid(kEllipsoidCustom, false, 6378137.0, 0.5, 0, 0, 0));
  EXPECT_FALSE(fresh.IsReady());
  double x = 3, y = 4;
  fresh.GeodeticToPlane(0.5, 2, 2, &x, &y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"发生错误，尚未设置坐标类型"}));
}

// Reductions of a line: independent textbook forms (plane scale factor of the
// transverse Mercator at the mean ordinate, height reduction with the radius in the
// line's azimuth, arc-to-chord correction).
TEST(GaussProjection, PlaneFactorIgnoresTheFalseEasting) {
  CGaussProjection on, off;
  ASSERT_TRUE(on.SetEllipsoid(kEllipsoidCgcs2000, true, 0, 0, 0, 0, 0));
  ASSERT_TRUE(off.SetEllipsoid(kEllipsoidCgcs2000, false, 0, 0, 0, 0, 0));
  double s1 = 1000, s2 = 1000;
  on.ReduceDistanceToPlane(3400000, 499900, 3401000, 500100, &s1);
  off.ReduceDistanceToPlane(3400000, -100, 3401000, 100, &s2);
  EXPECT_DOUBLE_EQ(s1, s2);
  EXPECT_GT(s1, 1000);

  // At 200 km from the meridian the factor is close to the TM point scale there.
  double s = 1;
  off.ReduceDistanceToPlane(3400000, 200000, 3400000, 200000, &s);
  const double Rm = 6371000;  // about, at 30°N
  EXPECT_NEAR(s, 1 + 200000.0 * 200000 / (2 * Rm * Rm), 2e-6);
}

TEST(GaussProjection, DistanceReductionAndArcToChord) {
  CGaussProjection g;
  ASSERT_TRUE(g.SetEllipsoid(kEllipsoidCgcs2000, true, 0, 0, 0, 0, 0));
  g.SetReductionHeight(0);
  // A line at 1000 m above the surface shrinks by H/R_A, R_A Euler's radius of
  // curvature in the line's azimuth (here the meridian: R_A = M).
  const GeographicLib::TransverseMercator tm(6378137, 1 / 298.257222101, 1.0);
  double lat, lon;
  tm.Reverse(0, 50000, 3401000, lat, lon);
  const double e2 = g.e2, sl = std::sin(lat * kDeg);
  const double M = 6378137 * (1 - e2) / std::pow(1 - e2 * sl * sl, 1.5);
  double s = 2000;
  g.ReduceDistance(3400000, 550000, 1000, 3402000, 550000, 1000, &s, false);
  EXPECT_NEAR(s / 2000, 1 - 1000 / M + 1000.0 * 1000 / (M * M), 5e-9);  // the radius is a first-order form
  // East-west: R_A = N.
  const double N = 6378137 / std::sqrt(1 - e2 * sl * sl);
  s = 2000;
  g.ReduceDistance(3401000, 549000, 1000, 3401000, 551000, 1000, &s, false);
  EXPECT_NEAR(s / 2000, 1 - 1000 / N + 1000.0 * 1000 / (N * N), 5e-9);
  // Reduction surface at the line's height: nothing changes.
  g.SetReductionHeight(1000);
  s = 2000;
  g.ReduceDistance(3400000, 550000, 1000, 3402000, 550000, 1000, &s, false);
  EXPECT_DOUBLE_EQ(s, 2000);

  double d12 = 0, d21 = 0, single = 0;
  g.ArcToChordPair(3400000, 550000, 3410000, 560000, &d12, &d21);
  g.ArcToChord(3400000, 550000, 3410000, 560000, &single);
  EXPECT_EQ(single, d12);
  // δ12 ≈ −Δx·(2y1 + y2)/(6R²): −10 km × 160 km / 6R², in seconds about −8.1".
  EXPECT_NEAR(d12 * kSecPerRad, -10000.0 * 160000 / (6 * 6.3719e6 * 6.3719e6) * kSecPerRad, 0.01);
  EXPECT_NEAR(d21 * kSecPerRad, 10000.0 * 170000 / (6 * 6.3719e6 * 6.3719e6) * kSecPerRad, 0.01);
  double e12 = 0, e21 = 0, s3 = 1000;
  EXPECT_EQ(g.ReduceDirectionsAndDistance(3400000, 550000, 1000, 3410000, 560000, 1000, &e12, &e21, &s3), 0);
  EXPECT_EQ(e12, d12);
  EXPECT_EQ(e21, d21);
  double s4 = 1000;
  g.ReduceDistance(3400000, 550000, 1000, 3410000, 560000, 1000, &s4, true);
  EXPECT_DOUBLE_EQ(s3, s4);
}

TEST(GaussProjection, ExpansionShiftMovesThePointOntoTheLargerEllipsoid) {
  // The shifted (B, H) on the ellipsoid with a + da is the same Cartesian point.
  CGaussProjection small, large;
  const double da = 800;
  ASSERT_TRUE(small.SetEllipsoid(kEllipsoidXian80, false, 0, 0, 0, 0, 0));
  ASSERT_TRUE(large.SetEllipsoid(kEllipsoidCustom, false, 6378140 + da, 298.257, 0, 0, 0));
  double B = 35 * kDeg, H = 1200, X, Y, Z;
  small.BlhToXyz(B, 0.3, H, &X, &Y, &Z);
  EXPECT_EQ(small.ApplyExpansionShift(&B, &H, da), 1);
  double B2, L2, H2;
  large.XyzToBlh(X, Y, Z, &B2, &L2, &H2);
  EXPECT_NEAR((B - B2) * 6.4e6, 0, 5e-3);  // first-order shift: millimetres
  EXPECT_NEAR(H - H2, 0, 5e-3);
  double B3 = 0.6, H3 = 10;
  small.ApplyExpansionShift(&B3, &H3, 1e-11);
  EXPECT_EQ(B3, 0.6);
  EXPECT_EQ(H3, 10);
}

}  // namespace
