// Plane error search of closed and connecting traverses: a blunder in one angle
// or one side gets the largest figure; the figures of each kind sum to 100.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "traverse/view/dx_view.h"

namespace {

constexpr double kRho = 206264.806247096;
constexpr double kPi = 3.14159265358979323846;

struct Pt {
  const char* name;
  double x, y;
};

double Az(const Pt& a, const Pt& b) {
  double t = std::atan2(b.y - a.y, b.x - a.x);
  return t < 0 ? t + 2 * kPi : t;
}
std::string AngleText(double rad) {
  while (rad < 0) rad += 2 * kPi;
  while (rad >= 2 * kPi) rad -= 2 * kPi;
  double sec = rad * kRho;
  int d = static_cast<int>(sec / 3600);
  sec -= d * 3600.0;
  int m = static_cast<int>(sec / 60);
  sec -= m * 60.0;
  return std::to_string(d) + " " + std::to_string(m) + " " + platform::FormatFixed(sec, 6);
}

// Type-0 rows through pts (first and last two known; a closed traverse repeats
// the start as end point and the first unknown as closing orientation point).
// angleErr[i] seconds and sideErr[i] metres are added to row i.
std::vector<std::vector<std::string>> Rows(const std::vector<Pt>& pts, bool closed, const std::vector<double>& angleErr,
                                           const std::vector<double>& sideErr, double noiseSec, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> g(0.0, 1.0);
  const int n = static_cast<int>(pts.size());
  std::vector<std::vector<std::string>> rows(n, std::vector<std::string>(9));
  for (int i = 0; i < n; ++i) {
    rows[i][0] = pts[i].name;
    const bool known = i <= 1 || i >= n - 2;
    if (known && !(closed && i == n - 1)) {
      rows[i][5] = platform::FormatFixed(pts[i].x, 6);
      rows[i][6] = platform::FormatFixed(pts[i].y, 6);
    }
    if (i >= 1 && i <= n - 2)
      rows[i][1] = AngleText(Az(pts[i], pts[i + 1]) - Az(pts[i], pts[i - 1]) +
                             (angleErr[i] + noiseSec * g(rng)) / kRho);
    if (i >= 1 && i <= n - 3)
      rows[i][2] = platform::FormatFixed(std::hypot(pts[i + 1].x - pts[i].x, pts[i + 1].y - pts[i].y) + sideErr[i], 4);
  }
  return rows;
}

const std::vector<Pt> kConnecting = {{"A", 1000, 1000},  {"B", 2000, 1500},  {"P1", 2600, 2400},
                                     {"P2", 2900, 3500}, {"P3", 3700, 4100}, {"P4", 3900, 5200},
                                     {"P5", 4800, 5900}, {"C", 5100, 7000},  {"D", 6000, 7600}};

struct Figures {
  std::vector<double> angle, side;
};

Figures Search(const std::vector<std::vector<std::string>>& rows, int* ok) {
  CDxView view;
  platform::FakeMessagePort port;
  view.ResetScheme();
  view.SetInputRows(rows);
  *ok = view.Compute();
  Figures f;
  for (const auto& u : view.m_arrSeekErr) {
    f.angle.push_back(u.angle);
    f.side.push_back(u.distance);
  }
  return f;
}

int ArgMax(const std::vector<double>& v) {
  return static_cast<int>(std::max_element(v.begin(), v.end()) - v.begin());
}

}  // namespace

TEST(ErrorSearchTest, AngleBlunderPointsAtItsStation) {
  const int n = static_cast<int>(kConnecting.size());
  for (int station = 2; station <= n - 3; ++station) {
    std::vector<double> ae(n, 0.0), se(n, 0.0);
    ae[station] = 60.0;
    int ok = 0;
    const Figures f = Search(Rows(kConnecting, false, ae, se, 2.0, 40 + station), &ok);
    ASSERT_EQ(ok, 1);
    ASSERT_EQ(static_cast<int>(f.angle.size()), n);
    EXPECT_EQ(ArgMax(f.angle), station) << "blunder at row " << station + 1;
    EXPECT_NEAR(std::accumulate(f.angle.begin(), f.angle.end(), 0.0), 100.0, 1e-9);
    EXPECT_NEAR(std::accumulate(f.side.begin(), f.side.end(), 0.0), 100.0, 1e-9);
  }
}

TEST(ErrorSearchTest, SideBlunderPointsAtItsLeg) {
  const int n = static_cast<int>(kConnecting.size());
  std::vector<double> ae(n, 0.0), se(n, 0.0);
  se[3] = 0.40;  // leg P2 → P3
  int ok = 0;
  const Figures f = Search(Rows(kConnecting, false, ae, se, 0.0, 1), &ok);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(ArgMax(f.side), 3);
  EXPECT_NEAR(std::accumulate(f.side.begin(), f.side.end(), 0.0), 100.0, 1e-9);
}

TEST(ErrorSearchTest, ClosedTraverseSkipsTheConnectionAngle) {
  // A (orientation), B start and end, loop B P1 P2 P3 P4 B, closing on P1.
  const std::vector<Pt> loop = {{"A", 1000, 1000}, {"B", 2000, 1500}, {"P1", 2600, 2600},
                                {"P2", 3500, 2900}, {"P3", 3900, 2000}, {"P4", 3000, 1100},
                                {"B", 2000, 1500}, {"P1", 2600, 2600}};
  const int n = static_cast<int>(loop.size());
  std::vector<double> ae(n, 0.0), se(n, 0.0);
  ae[3] = 60.0;
  int ok = 0;
  const Figures f = Search(Rows(loop, true, ae, se, 1.0, 5), &ok);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(f.angle[1], 0.0);
  EXPECT_EQ(ArgMax(f.angle), 3);
  EXPECT_NEAR(std::accumulate(f.angle.begin(), f.angle.end(), 0.0), 100.0, 1e-9);
}
