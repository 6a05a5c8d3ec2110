// The driver's hand-over to the rigorous adjustment (the scheme default) for
// closed, connecting and no-orientation traverses: approximate coordinates and
// closures from the propagation, then least squares. Exact jobs must return
// the truth with σ0 ≈ 0; noisy ones must stay within their noise.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

using synth::ChainRow;
using synth::Pt;

struct Job {
  const char* what;
  int type;
  std::vector<ChainRow> rows;
};

std::vector<Job> Jobs() {
  auto pts = synth::SampleConnecting();
  std::vector<Pt> chain(pts.begin() + 1, pts.end() - 1);
  return {{"connecting", 0, synth::Connecting(pts)},
          {"closed", 0, synth::Closed(synth::SampleClosed())},
          {"no orientation", 1, synth::NoOrientation(chain)}};
}

class RigorousDriverTest : public ::testing::Test {
 protected:
  int Run(const Job& job) {
    view.ResetScheme();
    view.m_nTraverseType = job.type;
    view.SetInputRows(synth::ChainRows(job.rows));
    port.Clear();
    return view.Compute();
  }
  platform::FakeMessagePort port;
  CDxView view;
};

TEST_F(RigorousDriverTest, ExactJobsReturnTheTruth) {
  for (const Job& job : Jobs()) {
    SCOPED_TRACE(job.what);
    ASSERT_EQ(Run(job), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    EXPECT_TRUE(port.Messages().empty());
    for (std::size_t i = 0; i < job.rows.size(); ++i) {
      EXPECT_NEAR(view.m_arrUnit[i].x, job.rows[i].p.x, 1e-6) << job.rows[i].p.name;
      EXPECT_NEAR(view.m_arrUnit[i].y, job.rows[i].p.y, 1e-6) << job.rows[i].p.name;
    }
    for (const auto& p : view.m_arrUnknownPd) EXPECT_EQ(p.hasValue, 1) << p.name;
    EXPECT_GE(view.m_dSigma0Plane, 0.0);
    EXPECT_LT(view.m_dSigma0Plane, 1e-3);
    // Heights of the same route, adjusted by least squares too.
    for (std::size_t i = 1; i + 1 < job.rows.size(); ++i)
      EXPECT_NEAR(view.m_arrUnit[i].h, job.rows[i].p.h, 1e-6) << job.rows[i].p.name;
  }
}

TEST_F(RigorousDriverTest, ClosuresAreThoseOfTheApproximateRun) {
  // The closures describe the observations, not the adjustment method.
  auto rows = synth::Connecting(synth::SampleConnecting());
  rows[3].angleErr = 6.0;
  rows[2].sideErr = 0.020;
  rows[4].dhErr = -0.008;
  const Job job{"connecting", 0, rows};
  ASSERT_EQ(Run(job), 1);
  const double fb = view.m_dFBeta, fx = view.m_dFx, fy = view.m_dFy, wx = view.m_dWx,
               wh = view.m_dWh;
  view.m_bRigorous = 0;
  ASSERT_EQ(view.Compute(), 1);
  EXPECT_NEAR(view.m_dFBeta, fb, 1e-9);
  EXPECT_NEAR(view.m_dFx, fx, 1e-9);
  EXPECT_NEAR(view.m_dFy, fy, 1e-9);
  EXPECT_NEAR(view.m_dWx, wx, 1e-9);
  EXPECT_NEAR(view.m_dWh, wh, 1e-9);
  EXPECT_NEAR(view.m_dFBeta, 6.0, 1e-5);
  EXPECT_NEAR(view.m_dWh, -8.0, 1e-6);
}

TEST_F(RigorousDriverTest, NoisyJobsStayWithinTheNoise) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> angle(-4.0, 4.0), side(-0.004, 0.004);
  for (Job job : Jobs()) {
    SCOPED_TRACE(job.what);
    double sumD = 0, sumSide = 0;
    int angles = 0;
    for (std::size_t i = 0; i < job.rows.size(); ++i) {
      ChainRow& r = job.rows[i];
      if (r.angle) {
        r.angleErr = angle(gen);
        ++angles;
      }
      if (r.side) {
        r.sideErr = side(gen);
        sumSide += std::fabs(r.sideErr);
        sumD += synth::Dist(r.p, job.rows[i + 1].p);
      }
    }
    ASSERT_EQ(Run(job), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    const double bound = angles * 4.0 / synth::kRho * sumD + sumSide;
    for (std::size_t i = 0; i < job.rows.size(); ++i)
      EXPECT_LT(std::hypot(view.m_arrUnit[i].x - job.rows[i].p.x,
                           view.m_arrUnit[i].y - job.rows[i].p.y),
                bound)
          << job.rows[i].p.name;
    EXPECT_GT(view.m_dSigma0Plane, 0.0);
  }
}

}  // namespace
