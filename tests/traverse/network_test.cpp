// Type-3 networks made up from chosen coordinates: exact observations return the
// truth with σ0 ≈ 0, noisy ones stay within the noise; approximate coordinates
// and heights that cannot be reached are refused with the point named.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic2.h"
#include "traverse/view/dx_view.h"

namespace {

struct Job {
  CDxView view;
  platform::FakeMessagePort port;
  int ok = 0;
  std::string First() const { return port.Messages().empty() ? "" : port.Messages()[0]; }
};

void RunJob(Job& job, const synth2::Network& net, const std::vector<synth2::Obs>& obs) {
  job.view.ResetScheme();
  job.view.m_nTraverseType = 3;
  job.view.SetInputRows(synth2::Rows(net, obs));
  job.ok = job.view.Compute();
}

// Largest coordinate and height error of the unknown points against the truth.
struct Errors {
  double plane = 0, height = 0;
};
Errors Against(const CDxView& v, const synth2::Network& net) {
  Errors e;
  for (const auto& t : net.points) {
    for (const auto& p : v.m_arrUnknownPd)
      if (p.name == t.name) e.plane = std::max(e.plane, std::hypot(p.x - t.x, p.y - t.y));
    for (const auto& h : v.m_arrUnknownHd)
      if (h.name == t.name) e.height = std::max(e.height, std::fabs(h.h - t.h));
  }
  return e;
}

}  // namespace

TEST(NetworkTest, ExactObservationsReturnTheTruth) {
  struct Case {
    int rows, cols;
    bool heights;
  };
  for (const Case c : {Case{3, 3, false}, Case{4, 6, true}, Case{7, 5, true}}) {
    const synth2::Network net = synth2::Grid(c.rows, c.cols, 5, c.heights);
    Job job;
    RunJob(job, net, synth2::Observe(net));
    ASSERT_EQ(job.ok, 1) << job.First();
    EXPECT_TRUE(job.port.Messages().empty());
    const Errors e = Against(job.view, net);
    EXPECT_LT(e.plane, 1e-6) << c.rows << "x" << c.cols;
    EXPECT_GE(job.view.m_dSigma0Plane, 0.0);
    EXPECT_LT(job.view.m_dSigma0Plane, 1e-3);
    EXPECT_EQ(job.view.m_arrUnknownPd.size(), static_cast<std::size_t>(c.rows * c.cols - 4));
    if (c.heights) {
      EXPECT_LT(e.height, 1e-6);
      EXPECT_LT(job.view.m_dSigma0Height, 1e-3);
      // Rows carry the adjusted values for the tables.
      for (const auto& u : job.view.m_arrUnit)
        for (const auto& t : net.points)
          if (t.name == u.name) {
            EXPECT_NEAR(u.h, t.h, 1e-6);
          }
    }
    for (const auto& u : job.view.m_arrUnit)
      for (const auto& t : net.points)
        if (t.name == u.name) {
          EXPECT_NEAR(u.x, t.x, 1e-6);
          EXPECT_NEAR(u.y, t.y, 1e-6);
        }
  }
}

TEST(NetworkTest, NoisyObservationsStayWithinTheNoise) {
  const synth2::Network net = synth2::Grid(6, 6, 9, true);
  // 3″ angles, 4 mm sides, 3 mm height differences against the default priors
  // (5″, 5 mm + 5 ppm): σ0 below 1, points within a few centimetres.
  Job job;
  RunJob(job, net, synth2::Observe(net, 3.0, 4.0, 3.0, 21));
  ASSERT_EQ(job.ok, 1) << job.First();
  const Errors e = Against(job.view, net);
  EXPECT_LT(e.plane, 0.03);
  EXPECT_LT(e.height, 0.01);
  EXPECT_GT(job.view.m_dSigma0Plane, 0.2);
  EXPECT_LT(job.view.m_dSigma0Plane, 1.5);
  for (const auto& p : job.view.m_arrUnknownPd) {
    // Each point's error lies inside a generous multiple of its own ellipse.
    double ex = 0, ey = 0;
    for (const auto& t : net.points)
      if (t.name == p.name) {
        ex = (p.x - t.x) * 1000;
        ey = (p.y - t.y) * 1000;
      }
    EXPECT_LT(std::hypot(ex, ey), 5 * p.ellipseA / std::max(job.view.m_dSigma0Plane, 0.1) + 1) << p.name;
    EXPECT_TRUE(std::isfinite(p.ellipseA) && std::isfinite(p.ellipseB) && std::isfinite(p.ellipseF));
    EXPECT_GE(p.ellipseA, p.ellipseB);
  }
  for (const auto& h : job.view.m_arrUnknownHd) EXPECT_GT(h.mh, 0.0) << h.name;
  for (const auto& u : job.view.m_arrUnit) {
    EXPECT_TRUE(std::isfinite(u.sideRms) && std::isfinite(u.azimuthRms) && std::isfinite(u.adjacentError));
  }
}

TEST(NetworkTest, UnreachablePointsAreNamed) {
  // A point tied to the network by a side alone: no angle, no position.
  synth2::Network net = synth2::Grid(3, 3, 5);
  synth2::Point lost;
  lost.name = "Z9";
  lost.x = 3500100;
  lost.y = 400100;
  net.points.push_back(lost);
  const int z = static_cast<int>(net.points.size()) - 1;
  net.lines.push_back({4, z});
  Job job;
  RunJob(job, net, synth2::Observe(net));
  EXPECT_EQ(job.ok, 0);
  ASSERT_EQ(job.port.Messages().size(), 1u);
  const int row = static_cast<int>(job.view.m_arrUnit.size());  // the last row carries Z9
  EXPECT_EQ(job.First(), "第" + std::to_string(row) + "点(Z9)未能推算得近似坐标");
}

// A chain from a located point that lacks its first side stops the computation at
// once, even where another line could have placed the point.
TEST(NetworkTest, MissingSideOfAnUnorientedChainStopsAtOnce) {
  // A(1000,1000) with no side to P; B(1000,1200), C(1200,1200) known; P(1100,1300)
  // reached from C by the angle B-C-P (315°) and the side C-P.
  const std::vector<std::vector<std::string>> rows = {
      {"A", "", "", "", "", "1000", "1000"}, {"P"}, {"B", "", "", "", "", "1000", "1200"},
      {"C", "315.0000", "141.4213562", "", "", "1200", "1200"}, {"P"}};
  CDxView view;
  platform::FakeMessagePort port;
  view.ResetScheme();
  view.m_nTraverseType = 3;
  view.SetInputRows(rows);
  EXPECT_EQ(view.Compute(), 0);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"第1点(A)-第2点(P)缺少边长！"}));
}

TEST(NetworkTest, HeightWithoutKnownNeighbourIsNamed) {
  // Two height points joined to each other only.
  synth2::Network net = synth2::Grid(3, 3, 5, true);
  synth2::Point a, b;
  a.name = "H1";
  b.name = "H2";
  a.x = 3500050;
  a.y = 400500;
  b.x = 3500080;
  b.y = 400520;
  net.points.push_back(a);
  net.points.push_back(b);
  const int ia = static_cast<int>(net.points.size()) - 2;
  std::vector<synth2::Obs> obs = synth2::Observe(net);
  auto rows = synth2::Rows(net, obs);
  rows.push_back({"H1", "", "", "0.5000", "30.000", "", "", "", ""});
  rows.push_back({"H2", "", "", "", "", "", "", "", ""});
  (void)ia;
  Job job;
  job.view.ResetScheme();
  job.view.m_nTraverseType = 3;
  job.view.SetInputRows(rows);
  job.ok = job.view.Compute();
  EXPECT_EQ(job.ok, 0);
  ASSERT_EQ(job.port.Messages().size(), 1u);
  EXPECT_EQ(job.First(), "第" + std::to_string(rows.size() - 1) +
                             "点(H1)未能推算得近似高程，\n请检查该点是否直接或间接与高程已知点相连");
}
