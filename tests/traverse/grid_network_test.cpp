// City-sized traverse networks (tests/traverse/traverse_grid.h) through the plain
// engine: an exact grid comes back to the truth, the approximate coordinates of a
// noisy one stay near it, and a large noisy grid converges to σ0 ≈ 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "tests/traverse/traverse_grid.h"
#include "traverse/engine/traverse_job.h"

namespace {

using traverse::CTraverseJob;

class GridNetworkTest : public ::testing::Test {
 protected:
  void Load(const tgrid::Grid& g, const tgrid::Options& o) {
    job.ResetJob();
    job.m_nTraverseType = 3;
    job.m_dAngleRms = o.angleSec > 0 ? o.angleSec : 5.0;
    job.m_dDistA = o.sideMm > 0 ? o.sideMm : 5.0;
    job.m_dDistB = o.sidePpm;
    job.SetInputRows(g.rows);
    port.Clear();
  }
  // Largest distance of an unknown point from its truth, m.
  double MaxError(const tgrid::Grid& g, std::string* worst = nullptr) const {
    double e = 0;
    for (const CTraverseJob::CPd& p : job.m_arrUnknownPd) {
      const synth::Pt& t = g.Truth(p.name);
      const double d = std::hypot(p.x - t.x, p.y - t.y);
      if (d > e) {
        e = d;
        if (worst) *worst = p.name;
      }
    }
    return e;
  }
  std::string FirstMessage() const { return port.Messages().empty() ? "" : port.Messages()[0]; }

  platform::FakeMessagePort port;
  CTraverseJob job;
};

}  // namespace

TEST_F(GridNetworkTest, ExactGridComesBackToTheTruth) {
  tgrid::Options o;
  o.points = 600;
  o.angleSec = o.sideMm = o.sidePpm = 0;
  const tgrid::Grid g = tgrid::Make(o);
  EXPECT_EQ(static_cast<long long>(g.truth.size()), tgrid::PointCount(g.cells, o.legsPerCell));
  Load(g, o);
  ASSERT_EQ(job.Compute(), 1) << FirstMessage();
  EXPECT_TRUE(port.Messages().empty()) << FirstMessage();
  EXPECT_EQ(static_cast<int>(job.m_arrUnknownPd.size()), g.Unknowns());
  EXPECT_LT(MaxError(g), 1e-5);  // sides are typed to a micrometre
}

// Chains between junctions are oriented on the leg they arrive by. Carried on
// without their closure, each chain's misfit turned the next one, and on a grid
// of a thousand points the approximations strayed by hundreds of metres. With
// the closure distributed they must stay within a tenth of a leg, so the first
// linearisation of the adjustment is sound.
TEST_F(GridNetworkTest, ApproximateCoordinatesDoNotDrift) {
  struct Case {
    int points;
    double noise;  // times 5" and 5 mm + 5 ppm
  } cases[] = {{1000, 1}, {2000, 1}, {2000, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.points) + " points, noise x" + std::to_string(c.noise));
    tgrid::Options o;
    o.points = c.points;
    o.angleSec *= c.noise;
    o.sideMm *= c.noise;
    o.sidePpm *= c.noise;
    const tgrid::Grid g = tgrid::Make(o);
    Load(g, o);
    ASSERT_EQ(job.ParseAndCheckInput(), 1) << FirstMessage();
    ASSERT_EQ(job.ComputeApproxCoords(), 1) << FirstMessage();
    std::string worst;
    EXPECT_LT(MaxError(g, &worst), 0.1 * o.leg) << worst;
  }
}

// One blunder in a noisy grid: the adjustment still converges, but its result
// must come with a message naming the row and point of the worst residual. A
// side error cannot be told apart from its neighbours on the same straight
// stretch between two junctions, so any side of that stretch may be named.
TEST_F(GridNetworkTest, GrossResidualNamesItsRowAndPoint) {
  tgrid::Options o;
  o.points = 600;
  const tgrid::Grid clean = tgrid::Make(o);
  const int L = o.legsPerCell;
  std::size_t row = 0;  // an inner junction of the third east-running line
  const std::string name = "G" + std::to_string(2 * L) + "_" + std::to_string(2 * L);
  while (clean.rows[row][0] != name) ++row;
  ASSERT_FALSE(clean.rows[row][1].empty());
  ASSERT_FALSE(clean.rows[row][2].empty());
  auto at = [&](std::size_t r) { return "第" + std::to_string(r + 1) + "点(" + clean.rows[r][0] + ")"; };

  struct Case {
    const char* what;
    double angleSec, sideM;             // added to the row's angle and side
    std::vector<std::string> expected;  // one of them in the message; none: no message
  } cases[] = {
      {"no blunder", 0, 0, {}},
      {"angle +2'", 120, 0, {"平面平差后" + at(row) + "处角度的改正数为"}},
      {"side +15 cm", 0, 0.15, {}},
  };
  for (std::size_t k = 0; k < static_cast<std::size_t>(L); ++k)
    cases[2].expected.push_back("平面平差后" + at(row + k) + "-" + at(row + k + 1) + "边长的改正数为");
  double cleanSigma0 = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tgrid::Grid g = clean;
    std::vector<std::string>& cells = g.rows[row];
    if (c.angleSec != 0) {
      int d = 0, m = 0;
      double s = 0;
      ASSERT_EQ(std::sscanf(cells[1].c_str(), "%d %d %lf", &d, &m, &s), 3);
      cells[1] = synth::AngleText(((d * 60.0 + m) * 60.0 + s + c.angleSec) / synth::kRho);
    }
    if (c.sideM != 0) cells[2] = platform::FormatFixed(platform::ParseDouble(cells[2]) + c.sideM, 6);
    Load(g, o);
    ASSERT_EQ(job.Compute(), 1) << FirstMessage();
    if (c.expected.empty()) {
      EXPECT_TRUE(port.Messages().empty()) << FirstMessage();
      EXPECT_NEAR(job.m_dSigma0Plane, 1.0, 0.15);
      cleanSigma0 = job.m_dSigma0Plane;
      continue;
    }
    ASSERT_EQ(port.Messages().size(), 1u);
    const std::string text = FirstMessage();
    EXPECT_TRUE(std::any_of(c.expected.begin(), c.expected.end(),
                            [&](const std::string& e) { return text.find(e) != std::string::npos; }))
        << text;
    EXPECT_NE(text.find("粗差"), std::string::npos) << text;
    // The result is kept for the user to look into.
    EXPECT_EQ(job.m_bComputed, 1);
    EXPECT_GT(job.m_dSigma0Plane, cleanSigma0);
  }
}

// A city network: 5" and 5 mm + 5 ppm of noise, no blunder. It must converge to
// σ0 within 10 % of 1, with no message. Twenty thousand points take about twenty
// seconds in the sanitizer build; the benchmarks run the same grid up to 100,000.
TEST_F(GridNetworkTest, LargeGridConvergesToUnitSigma) {
  tgrid::Options o;
  o.points = 20000;
  const tgrid::Grid g = tgrid::Make(o);
  Load(g, o);
  ASSERT_EQ(job.Compute(), 1) << FirstMessage();
  EXPECT_TRUE(port.Messages().empty()) << FirstMessage();
  EXPECT_NEAR(job.m_dSigma0Plane, 1.0, 0.1);
  std::string worst;
  EXPECT_LT(MaxError(g, &worst), 0.5) << worst;
}
