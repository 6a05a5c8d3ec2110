// Intersections and resection recover a chosen point from observations made up
// from it; the degenerate configurations report, never a NaN as solved.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "survey/angle.h"
#include "survey/geometry.h"

using namespace survey;

namespace {

struct Pt {
  double x, y;
};

double Az(Pt a, Pt b) {  // independent azimuth: atan2 folded by hand
  double az = std::atan2(b.y - a.y, b.x - a.x);
  return az < 0 ? az + 2 * M_PI : az;
}
double Dist(Pt a, Pt b) { return std::hypot(b.x - a.x, b.y - a.y); }
// Positive when P lies on the left of A->B (x north, y east).
double LeftOf(Pt a, Pt b, Pt p) { return (b.y - a.y) * (p.x - a.x) - (b.x - a.x) * (p.y - a.y); }

constexpr double kTol = 1e-6;

TEST(Geometry, AzimuthsAndTheBasicProblems) {
  struct Case { Pt to; double deg; } cases[] = {
      {{10, 0}, 0}, {{10, 10}, 45}, {{0, 10}, 90}, {{-10, 10}, 135},
      {{-10, 0}, 180}, {{-10, -10}, 225}, {{0, -10}, 270}, {{10, -10}, 315},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(CalcAzimuth(0, 0, c.to.x, c.to.y), c.deg * M_PI / 180, 1e-12) << c.deg;
    double az, s, x2, y2;
    InverseProblem(5, 6, 5 + c.to.x, 6 + c.to.y, &az, &s);
    EXPECT_NEAR(s, std::hypot(c.to.x, c.to.y), 1e-12);
    PolarPoint(5, 6, az - 4 * kTwoPi, s, &x2, &y2);  // folded first
    EXPECT_NEAR(x2, 5 + c.to.x, 1e-9);
    EXPECT_NEAR(y2, 6 + c.to.y, 1e-9);
  }
  EXPECT_EQ(CalcAzimuth(1, 1, 1, 1), 0);
}

TEST(Geometry, StationAngleAndLocalFrame) {
  double d, a;
  // Reference north, P to the east: 90° clockwise.
  EXPECT_EQ(StationAngle(0, 0, 0, 0, 10, &d, &a), 1);
  EXPECT_NEAR(a, M_PI / 2, 1e-12);
  EXPECT_NEAR(d, 10, 1e-12);
  // Reference east, P to the north: 270°.
  StationAngle(0, 0, M_PI / 2, 10, 0, &d, &a);
  EXPECT_NEAR(a, 3 * M_PI / 2, 1e-12);
  StationAngle(3, 4, 1.0, 3, 4, &d, &a);
  EXPECT_EQ(a, 0);

  double along, across;
  // Axis on azimuth 90° (east) from (100, 200): a point 5 m east and 2 m south
  // is 5 along and 2 to the right.
  EXPECT_EQ(ToLocalFrame(100, 200, M_PI / 2, 98, 205, &along, &across), 1);
  EXPECT_NEAR(along, 5, 1e-12);
  EXPECT_NEAR(across, 2, 1e-12);
}

const Pt kTargets[] = {{1234.567, 2345.678}, {-50.25, 10.5}, {5000, -3000}, {1000.001, 1000}};
const Pt kA = {1000, 1000}, kB = {1100, 3000};

TEST(Geometry, IntersectionByDistancesRecoversThePoint) {
  for (Pt p : kTargets) {
    Pt a = kA, b = kB;
    if (LeftOf(a, b, p) < 0) std::swap(a, b);  // P must be on the left of A->B
    double x = 0, y = 0;
    ASSERT_EQ(IntersectByDistances(a.x, a.y, Dist(a, p), b.x, b.y, Dist(b, p), &x, &y), kSolved);
    EXPECT_NEAR(x, p.x, kTol);
    EXPECT_NEAR(y, p.y, kTol);
  }
}

TEST(Geometry, IntersectionByDistancesFaults) {
  double x = 7, y = 8;
  EXPECT_EQ(IntersectByDistances(1, 1, 5, 1, 1, 5, &x, &y), kDegenerate);  // A = B
  EXPECT_EQ(IntersectByDistances(0, 0, 40, 0, 100, 50, &x, &y), kNoSolution);  // too short
  EXPECT_EQ(IntersectByDistances(0, 0, 200, 0, 100, 50, &x, &y), kNoSolution); // one inside
  EXPECT_EQ(IntersectByDistances(0, 0, NAN, 0, 100, 50, &x, &y), kNoSolution);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 8);
  // Tangency, outside and inside, with rounding: solved on the line AB, or no
  // solution, but never NaN.
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-5000, 5000), r(0.05, 0.95);
  int solved = 0;
  for (int i = 0; i < 2000; ++i) {
    Pt a{u(rng), u(rng)}, b{u(rng), u(rng)};
    double g = Dist(a, b), f = r(rng);
    bool inner = i % 2;
    double sA = inner ? g / f : g * f;
    double sB = inner ? sA - g : g - sA;
    int st = IntersectByDistances(a.x, a.y, sA, b.x, b.y, sB, &x, &y);
    ASSERT_TRUE(st == kSolved || st == kNoSolution);
    if (st == kSolved) {
      ++solved;
      ASSERT_TRUE(std::isfinite(x) && std::isfinite(y));
      double ex = a.x + (b.x - a.x) * sA / g, ey = a.y + (b.y - a.y) * sA / g;
      // Near tangency the point is ill-conditioned: √(rounding of s²) off the line.
      ASSERT_NEAR(std::hypot(x - ex, y - ey), 0, 1e-7 * sA + 1e-6);
    }
  }
  EXPECT_GT(solved, 500);
}

TEST(Geometry, IntersectionByDirectionsRecoversThePoint) {
  for (Pt p : kTargets) {
    double x = 0, y = 0;
    ASSERT_EQ(IntersectByDirections(kA.x, kA.y, Az(kA, p), kB.x, kB.y, Az(kB, p), &x, &y), kSolved);
    EXPECT_NEAR(x, p.x, kTol);
    EXPECT_NEAR(y, p.y, kTol);
  }
}

TEST(Geometry, IntersectionByDirectionsFoldsTheAzimuths) {
  // P due north of A: the azimuth A->P is 0, typed as 0, 360° or slightly west of
  // north as a negative value; all are the same direction.
  const Pt a{0, 0}, b{50, 80};
  struct Case { Pt p; double azA; } cases[] = {
      {{100, 0}, 0},
      {{100, 0}, kTwoPi},
      {{100, -0.001}, -0.00001},
      {{100, -0.001}, Az({0, 0}, {100, -0.001})},
      {{100, 0.001}, 0.00001 + 2 * kTwoPi},
  };
  for (const Case& c : cases) {
    double x = 0, y = 0;
    double azB = Az(b, c.p);
    ASSERT_EQ(IntersectByDirections(a.x, a.y, c.azA, b.x, b.y, azB - kTwoPi, &x, &y), kSolved) << c.azA;
    EXPECT_NEAR(x, c.p.x, 1e-3);
    EXPECT_NEAR(y, c.p.y, 1e-3);
  }
}

TEST(Geometry, IntersectionByDirectionsBehindTestFoldsAtNorth) {
  // The behind-the-station test compares the observed azimuth with the azimuth
  // to P across 0/2π: unfolded, 359°59'59.9" against 0°00'00.1" (or -45° against
  // 315°) would differ by about 2π and the point would be called behind.
  const double d = kPi / 180, s = d / 3600;
  struct Case { Pt a; double azA; Pt b; double azB; Pt p; } cases[] = {
      {{0, 0}, 315 * d, {100, 0}, 225 * d, {50, -50}},
      {{0, 0}, -45 * d, {100, 0}, 225 * d, {50, -50}},
      {{0, 0}, 315 * d, {100, 0}, -135 * d, {50, -50}},
      // A looks a tenth of a second west of north, B due west onto that ray.
      {{0, 0}, 360 * d - 0.1 * s, {1000, 1000}, 270 * d, {1000, -1000 * std::tan(0.1 * s)}},
      {{0, 0}, -0.1 * s, {1000, 1000}, 270 * d, {1000, -1000 * std::tan(0.1 * s)}},
      {{0, 0}, 0.1 * s, {1000, -1000}, 90 * d, {1000, 1000 * std::tan(0.1 * s)}},
      {{0, 0}, 360 * d + 0.1 * s, {1000, -1000}, 90 * d, {1000, 1000 * std::tan(0.1 * s)}},
      // Rays straddling north: A looks at 359°, B at 1°.
      {{0, 10}, 359 * d, {0, -10}, 1 * d, {10 / std::tan(1 * d), 0}},
  };
  for (const Case& c : cases) {
    double x = 0, y = 0;
    ASSERT_EQ(IntersectByDirections(c.a.x, c.a.y, c.azA, c.b.x, c.b.y, c.azB, &x, &y), kSolved)
        << c.azA / d << " " << c.azB / d;
    EXPECT_NEAR(x, c.p.x, 1e-6);
    EXPECT_NEAR(y, c.p.y, 1e-6);
  }
  // 135° from A and 45° from B meet only behind the stations, at (50, -50).
  double x = 0, y = 0;
  EXPECT_EQ(IntersectByDirections(0, 0, 135 * d, 100, 0, 45 * d, &x, &y), kNoSolution);
  EXPECT_NEAR(x, 50, 1e-9);  // P is written before the test
  EXPECT_NEAR(y, -50, 1e-9);
}

TEST(Geometry, IntersectionByDirectionsFaults) {
  double x = 7, y = 8;
  EXPECT_EQ(IntersectByDirections(0, 0, 0.5, 0, 0, 1.0, &x, &y), kDegenerate);
  EXPECT_EQ(x, 0);  // P := A
  EXPECT_EQ(IntersectByDirections(0, 0, 0.5, 10, 0, 0.5 + kPi, &x, &y), kNoSolution);  // parallel
  // The rays meet behind A.
  Pt p{1234.567, 2345.678};
  EXPECT_EQ(IntersectByDirections(kA.x, kA.y, Az(kA, p) + kPi, kB.x, kB.y, Az(kB, p), &x, &y), kNoSolution);
}

TEST(Geometry, IntersectionByAnglesRecoversThePoint) {
  for (Pt p : kTargets) {
    Pt a = kA, b = kB;
    if (LeftOf(a, b, p) < 0) std::swap(a, b);
    double alpha = Az(a, b) - Az(a, p), beta = Az(b, p) - Az(b, a);
    NormalizeAngle(&alpha);
    NormalizeAngle(&beta);
    if (alpha > kPi) alpha -= kTwoPi;
    if (beta > kPi) beta -= kTwoPi;
    double x = 0, y = 0;
    ASSERT_EQ(IntersectByAngles(a.x, a.y, b.x, b.y, alpha, beta, &x, &y), kSolved);
    EXPECT_NEAR(x, p.x, kTol);
    EXPECT_NEAR(y, p.y, kTol);
  }
}

TEST(Geometry, IntersectionByAnglesFaults) {
  double x = 7, y = 8;
  EXPECT_EQ(IntersectByAngles(0, 0, 0, 100, 1.0, kPi - 1.0, &x, &y), kNoSolution);  // exactly π
  EXPECT_EQ(IntersectByAngles(0, 0, 0, 100, 0.7, -0.7, &x, &y), kNoSolution);       // parallel
  EXPECT_EQ(IntersectByAngles(0, 0, 0, 0, 0.7, 0.7, &x, &y), kDegenerate);
  EXPECT_EQ(x, 7);
}

TEST(Geometry, IntersectionByAnglesOnlyAheadOfBothStations) {
  // A (0, 0), B (100, 0). The lines of two angles of mixed sign meet behind a
  // station: -60°/30° crosses at (-50, -86.6025), behind A. An angle of 0 puts P
  // on a station. None of these is an intersection; nothing is written.
  const double d = kPi / 180;
  struct Case { double alpha, beta; } refused[] = {
      {-60 * d, 30 * d}, {60 * d, -30 * d}, {30 * d, -60 * d}, {-30 * d, 60 * d},
      {0, 30 * d}, {30 * d, 0}, {0, 0}, {-100 * d, -100 * d},
  };
  for (const Case& c : refused) {
    double x = 7, y = 8;
    EXPECT_EQ(IntersectByAngles(0, 0, 100, 0, c.alpha, c.beta, &x, &y), kNoSolution)
        << c.alpha / d << " " << c.beta / d;
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
  }
  // Both positive: P on the left of A->B; both negative: the mirror figure.
  struct Solved { double alpha, beta; Pt p; } solved[] = {
      {45 * d, 45 * d, {50, -50}},
      {-45 * d, -45 * d, {50, 50}},
      {60 * d, 30 * d, {25, -25 * std::sqrt(3.0)}},
      {-60 * d, -30 * d, {25, 25 * std::sqrt(3.0)}},
  };
  for (const Solved& c : solved) {
    double x = 0, y = 0;
    ASSERT_EQ(IntersectByAngles(0, 0, 100, 0, c.alpha, c.beta, &x, &y), kSolved) << c.alpha / d;
    EXPECT_NEAR(x, c.p.x, 1e-9);
    EXPECT_NEAR(y, c.p.y, 1e-9);
  }
}

// Angles at P as the resection takes them: alpha = az(P->A) − az(P->B), beta =
// az(P->B) − az(P->C).
void ResectionAngles(Pt a, Pt b, Pt c, Pt p, double* alpha, double* beta) {
  *alpha = Az(p, a) - Az(p, b);
  *beta = Az(p, b) - Az(p, c);
}

TEST(Geometry, ResectionRecoversThePoint) {
  const Pt a{5000, 1000}, b{6000, 4000}, c{3000, 6000};
  // Among the points: east and west of B (B->P east-west, where the tangent of
  // its azimuth is infinite) and north of B.
  const Pt points[] = {{6000, 9000}, {6000, -2000}, {6000, 0}, {9000, 4000}, {-3000, 2000}, {4500, 3500}};
  for (Pt p : points) {
    double alpha, beta, x = 0, y = 0;
    ResectionAngles(a, b, c, p, &alpha, &beta);
    int st = Resection(a.x, a.y, b.x, b.y, c.x, c.y, alpha, beta, &x, &y);
    EXPECT_EQ(st, kSolved) << p.x << "," << p.y;
    EXPECT_NEAR(x, p.x, kTol);
    EXPECT_NEAR(y, p.y, kTol);
  }
  // Random configurations away from the danger circle.
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> u(-10000, 10000);
  int checked = 0;
  for (int i = 0; i < 3000; ++i) {
    Pt A{u(rng), u(rng)}, B{u(rng), u(rng)}, C{u(rng), u(rng)}, P{u(rng), u(rng)};
    if (Dist(A, B) < 500 || Dist(B, C) < 500 || Dist(A, C) < 500 || Dist(P, A) < 500 ||
        Dist(P, B) < 500 || Dist(P, C) < 500)
      continue;
    double alpha, beta, x, y;
    ResectionAngles(A, B, C, P, &alpha, &beta);
    if (Resection(A.x, A.y, B.x, B.y, C.x, C.y, alpha, beta, &x, &y) != kSolved) continue;
    ++checked;
    ASSERT_NEAR(std::hypot(x - P.x, y - P.y), 0, 1e-5) << i;
  }
  EXPECT_GT(checked, 500);
}

TEST(Geometry, ResectionOnTheDangerCircle) {
  // A, B, C on the circle of radius 1000 about (0, 0), P on it too and near it.
  auto on = [](double deg, double r = 1000) {
    return Pt{r * std::cos(deg * M_PI / 180), r * std::sin(deg * M_PI / 180)};
  };
  const Pt a = on(0), b = on(100), c = on(200);
  // P on the circle and 5 % off it, on every arc, with A, B, C seen counter-
  // clockwise and clockwise from P.
  for (double where : {50.0, 150.0, 250.0, 290.0, 340.0}) {
    for (bool reversed : {false, true}) {
      for (double r : {1000.0, 1050.0, 960.0}) {
        Pt p = on(where, r);
        Pt A = reversed ? c : a, C = reversed ? a : c;
        double alpha, beta, x = NAN, y = NAN;
        ResectionAngles(A, b, C, p, &alpha, &beta);
        int st = Resection(A.x, A.y, b.x, b.y, C.x, C.y, alpha, beta, &x, &y);
        EXPECT_EQ(st, kDegenerate) << where << " " << reversed << " " << r;
        if (r != 1000.0) {  // near the circle P is still written and right
          EXPECT_NEAR(x, p.x, 1e-4);
          EXPECT_NEAR(y, p.y, 1e-4);
        }
      }
    }
  }
  // Well inside the circle: solved.
  Pt p = on(290, 200);
  double alpha, beta, x, y;
  ResectionAngles(a, b, c, p, &alpha, &beta);
  EXPECT_EQ(Resection(a.x, a.y, b.x, b.y, c.x, c.y, alpha, beta, &x, &y), kSolved);
  EXPECT_NEAR(x, p.x, kTol);
  // Non-finite input: degenerate, P untouched.
  x = 7;
  EXPECT_EQ(Resection(a.x, a.y, b.x, b.y, c.x, c.y, NAN, beta, &x, &y), kDegenerate);
  EXPECT_EQ(x, 7);
}

TEST(Geometry, TrigonometricHeights) {
  // Level sight over 1 km: curvature and refraction (1 − k)·D²/2R, the textbook
  // 0.0675 m for k = 0.14.
  double h = 0;
  TrigHeightFromHorizontal(0, 1000, 1.5, 1.5, 0.14, &h);
  EXPECT_NEAR(h, 0.0675, 0.0001);
  // Without refraction, against the rigorous figure on a sphere of radius R: the
  // instrument at R + i, the target reached by the straight line of sight, the
  // height of the ground under the target, and D the arc at the mean height of
  // the two ends of the sight.
  const double R = kTwoEarthRadius / 2;
  for (double deg : {-20.0, -3.0, 0.0, 5.0, 30.0}) {
    for (double S : {150.0, 2500.0, 8000.0}) {
      const double alpha = deg * M_PI / 180, i = 1.45, v = 2.0;
      const double tx = S * std::cos(alpha), ty = R + i + S * std::sin(alpha);
      const double rT = std::hypot(tx, ty), theta = std::atan2(tx, ty);
      const double hTrue = rT - R - v;
      const double dTrue = (R + (i + rT - R) / 2) * theta;
      double D = 0, h1 = 0, h2 = 0;
      TrigHeightFromSlope(alpha, S, i, v, 0, &D, &h1);
      const double third = S * S * S / (R * R) / 4;  // the forms stop at second order
      EXPECT_NEAR(h1, hTrue, 1e-3 + third) << deg << " " << S;
      EXPECT_NEAR(D, dTrue, 2e-3) << deg << " " << S;
      // From the horizontal distance along the instrument's horizon.
      TrigHeightFromHorizontal(alpha, S * std::cos(alpha), i, v, 0, &h2);
      EXPECT_NEAR(h2, hTrue, 1e-3 + third) << deg << " " << S;
    }
  }
}

}  // namespace
