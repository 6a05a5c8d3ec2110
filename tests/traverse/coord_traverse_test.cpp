// Coordinate traverse: observed chains made from the truth by a known frame
// error must come back to the truth under the rule that models that error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

using synth::Pt;

// A traverse heading north-east, every leg with positive ΔX and ΔY.
std::vector<Pt> Monotone() {
  return {{"K1", 3371000.000, 501000.000, 50.000}, {"T1", 3371120.500, 501210.250, 51.200},
          {"T2", 3371300.125, 501330.000, 49.750}, {"T3", 3371380.000, 501590.800, 52.300},
          {"K2", 3371555.750, 501700.400, 53.000}};
}

// Observed chain: each true increment transformed by f, accumulated from the start.
template <class F>
std::vector<Pt> Chain(const std::vector<Pt>& truth, F f) {
  std::vector<Pt> obs = truth;
  for (std::size_t i = 1; i < truth.size(); ++i) {
    double dx = truth[i].x - truth[i - 1].x, dy = truth[i].y - truth[i - 1].y;
    f(&dx, &dy, truth[i - 1], truth[i]);
    obs[i].x = obs[i - 1].x + dx;
    obs[i].y = obs[i - 1].y + dy;
  }
  return obs;
}

class CoordTraverseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.ResetScheme();
    view.m_nTraverseType = 4;
  }
  int Run(int rule, const std::vector<Pt>& truth, const std::vector<Pt>& obs, bool plane = true,
          bool height = true) {
    view.m_nClosureDistribution = rule;
    view.SetInputRows(synth::CoordRows(truth, obs, plane, height));
    return view.Compute();
  }
  void ExpectAt(const std::vector<Pt>& truth, double tol) {
    for (std::size_t i = 0; i < truth.size(); ++i) {
      EXPECT_NEAR(view.m_arrUnit[i].x, truth[i].x, tol) << truth[i].name;
      EXPECT_NEAR(view.m_arrUnit[i].y, truth[i].y, tol) << truth[i].name;
    }
  }
  platform::FakeMessagePort port;
  CDxView view;
};

TEST_F(CoordTraverseTest, EachRuleRecoversTheErrorItModels) {
  const std::vector<Pt> truth = Monotone();
  struct Case {
    const char* what;
    int rule;
    std::vector<Pt> obs;
  };
  const Case cases[] = {
      // Separate scale errors per axis: increments grow by their own size.
      {"by increments", 0,
       Chain(truth, [](double* dx, double* dy, const Pt&, const Pt&) {
         *dx *= 1 + 2e-4;
         *dy *= 1 - 1.5e-4;
       })},
      // A constant error per metre of side in a fixed direction.
      {"by sides", 1,
       Chain(truth, [](double* dx, double* dy, const Pt& a, const Pt& b) {
         const double d = synth::Dist(a, b);
         *dx += 2e-5 * d;
         *dy -= 1e-5 * d;
       })},
      // The instrument frame turned by 20" and scaled by 30 ppm about the start.
      {"similarity", 2,
       Chain(truth, [](double* dx, double* dy, const Pt&, const Pt&) {
         const double t = 20.0 / synth::kRho, s = 1 + 3e-5;
         const double x = *dx, y = *dy;
         *dx = s * (std::cos(t) * x - std::sin(t) * y);
         *dy = s * (std::sin(t) * x + std::cos(t) * y);
       })},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    port.Clear();
    ASSERT_EQ(Run(c.rule, truth, c.obs, true, false), 1)
        << (port.Messages().empty() ? "" : port.Messages()[0]);
    EXPECT_TRUE(port.Messages().empty());
    ExpectAt(truth, 1e-6);
    const double wx = c.obs.back().x - truth.back().x, wy = c.obs.back().y - truth.back().y;
    EXPECT_NEAR(view.m_dWx, wx * 1000, 1e-6);
    EXPECT_NEAR(view.m_dWy, wy * 1000, 1e-6);
    EXPECT_NEAR(view.m_dWs, std::hypot(wx, wy) * 1000, 1e-6);
    double sumD = 0;
    for (std::size_t i = 1; i < c.obs.size(); ++i) sumD += synth::Dist(c.obs[i - 1], c.obs[i]);
    EXPECT_NEAR(view.m_dSumD, sumD, 1e-6);
    EXPECT_EQ(view.m_nRelClosureT, static_cast<int>(sumD * 1000 / (std::hypot(wx, wy) * 1000)));
  }
}

TEST_F(CoordTraverseTest, DerivedSidesAndAnglesAreWrittenIntoTheRows) {
  const std::vector<Pt> truth = Monotone();
  ASSERT_EQ(Run(1, truth, truth), 1);
  char side[32];
  std::snprintf(side, sizeof side, "%.3f", synth::Dist(truth[0], truth[1]));
  EXPECT_EQ(view.m_arrUnit[0].distanceText, side);
  for (std::size_t i = 1; i + 1 < truth.size(); ++i) {
    const double a = synth::LeftAngle(truth[i - 1], truth[i], truth[i + 1]);
    EXPECT_NEAR(view.m_arrUnit[i].observedAngle, a, 1e-9);
    EXPECT_FALSE(view.m_arrUnit[i].angleText.empty());
  }
  EXPECT_EQ(view.m_nRelClosureT, CDxView::kRelClosureNone);
}

TEST_F(CoordTraverseTest, ClosedTraverseClosesOnItsStart) {
  std::vector<Pt> truth = Monotone();
  truth.back() = truth.front();
  truth.back().h = truth.front().h;
  std::vector<Pt> obs = truth;
  obs.back().x += 0.012;
  obs.back().y -= 0.009;
  obs.back().h += 0.004;
  for (int rule : {0, 1}) {
    SCOPED_TRACE(rule);
    port.Clear();
    ASSERT_EQ(Run(rule, truth, obs), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    EXPECT_NEAR(view.m_arrUnit.back().x, truth.front().x, 1e-9);
    EXPECT_NEAR(view.m_arrUnit.back().y, truth.front().y, 1e-9);
    EXPECT_NEAR(view.m_arrUnit.back().h, truth.front().h, 1e-9);
    EXPECT_NEAR(view.m_dWs, 15.0, 1e-6);
  }
  // The similarity has no base line on a loop: it falls back to the sides and says so.
  port.Clear();
  ASSERT_EQ(Run(2, truth, obs), 1);
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "坐标导线起终点重合，无法按坐标转换分配闭合差，已改为按边长分配。");
  EXPECT_NEAR(view.m_arrUnit.back().x, truth.front().x, 1e-9);
  // By the sides: T2 moves back by its share of the run from the start.
  const double run = synth::Dist(obs[0], obs[1]) + synth::Dist(obs[1], obs[2]);
  EXPECT_NEAR(view.m_arrUnit[2].x, obs[2].x - 0.012 * run / view.m_dSumD, 1e-9);
  EXPECT_NEAR(view.m_arrUnit[2].y, obs[2].y + 0.009 * run / view.m_dSumD, 1e-9);
}

TEST_F(CoordTraverseTest, IncrementRuleWithoutIncrementsOnAnAxis) {
  // The instrument ran along one north line: no ΔY to share a Y closure by.
  std::vector<Pt> truth = {{"K1", 1000, 2000, 0}, {"T1", 1100, 2000.002, 0},
                           {"K2", 1300, 2000.006, 0}};
  std::vector<Pt> obs = truth;
  obs[1].y = obs[2].y = 2000;
  ASSERT_EQ(Run(0, truth, obs, true, false), 1);
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "坐标导线各边Y坐标增量均为0，Y坐标闭合差已改为按边长分配。");
  ExpectAt(truth, 1e-9);  // shared by the sides instead
  // The leg with dx = 0 is the one without an x correction.
  EXPECT_EQ(view.m_arrUnit[0].vx, 0.0);
}

TEST_F(CoordTraverseTest, SimilarityWithTheEndDueNorth) {
  std::vector<Pt> truth = {{"K1", 1000, 2000, 0}, {"T1", 1100, 2030, 0}, {"K2", 1300, 2000, 0}};
  std::vector<Pt> obs = Chain(truth, [](double* dx, double* dy, const Pt&, const Pt&) {
    const double t = 15.0 / synth::kRho;
    const double x = *dx, y = *dy;
    *dx = std::cos(t) * x - std::sin(t) * y;
    *dy = std::sin(t) * x + std::cos(t) * y;
  });
  ASSERT_EQ(Run(2, truth, obs, true, false), 1);
  ExpectAt(truth, 1e-6);
}

TEST_F(CoordTraverseTest, HeightsFollowTheSquaredLegLengths) {
  const std::vector<Pt> truth = Monotone();
  std::vector<Pt> obs = truth;
  for (std::size_t i = 1; i < obs.size(); ++i) obs[i].h += 0.010;  // first leg 10 mm high
  ASSERT_EQ(Run(1, truth, obs), 1);
  EXPECT_NEAR(view.m_dWh, 10.0, 1e-6);
  double sum2 = 0;
  for (std::size_t i = 0; i + 1 < truth.size(); ++i) sum2 += std::pow(synth::Dist(truth[i], truth[i + 1]), 2);
  for (std::size_t i = 0; i + 1 < truth.size(); ++i) {
    const double d2 = std::pow(synth::Dist(truth[i], truth[i + 1]), 2);
    EXPECT_NEAR(view.m_arrUnit[i].dhCorrection, -10.0 * d2 / sum2, 1e-6) << i;
  }
  EXPECT_NEAR(view.m_arrUnit.back().h, truth.back().h, 1e-9);
  EXPECT_NEAR(view.m_dSumWeight, view.m_dSumD, 1e-12);
}

TEST_F(CoordTraverseTest, StartAndEndChecks) {
  using Cells = std::vector<std::vector<std::string>>;
  const std::vector<Pt> truth = Monotone();
  std::vector<Pt> loop = truth;
  loop.back() = loop.front();
  struct Case {
    const char* what;
    std::vector<Pt> points;
    void (*tweak)(Cells&);
    const char* message;
  };
  const Case cases[] = {
      {"start known only through the closing row", loop,
       [](Cells& c) {
         c[4][5] = c[0][5];
         c[4][6] = c[0][6];
         c[0][5] = c[0][6] = "";
       },
       // The start counts as unknown until linked by name: the first-point check.
       "平面计算时第一点应该为已知点！\n请输入平面坐标。"},
      {"end without coordinates", truth,
       [](Cells& c) {
         c[4][5] = c[4][6] = "";
         c[2][5] = "3371300.125";  // a second known point elsewhere
         c[2][6] = "501330.000";
       },
       "坐标导线的终点必须输入已知坐标数据"},
      {"closed, end typed 1 mm away", loop,
       [](Cells& c) {
         c[4][5] = "3371000.001";
         c[4][6] = "501000.000";
       },
       // The name links the end to the start first, which refuses the difference.
       "第5点(K1)已有同名点但输入的坐标不一样！"},
      {"start without height", truth, [](Cells& c) { c[0][7] = ""; },
       "坐标导线的起点必须输入已知高程数据"},
      {"end without height", truth, [](Cells& c) { c[4][7] = ""; },
       "坐标导线的终点必须输入已知高程数据"},
      {"closed, end height different", loop, [](Cells& c) { c[4][7] = "50.002"; },
       "第5点(K1)已有同名点但输入的高程不一样！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Cells cells = synth::CoordRows(c.points, c.points);
    c.tweak(cells);
    port.Clear();
    view.m_nClosureDistribution = 1;
    view.SetInputRows(cells);
    EXPECT_EQ(view.Compute(), 0);
    ASSERT_EQ(port.Messages().size(), 1u);
    EXPECT_EQ(port.Messages()[0], c.message);
  }
}

}  // namespace
