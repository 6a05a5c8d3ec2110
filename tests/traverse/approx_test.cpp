// Approximate adjustment of connecting, closed, open and no-orientation
// traverses against synthetic jobs made from chosen true coordinates.
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

class ApproxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.ResetScheme();
    view.m_bRigorous = 0;
  }
  // Computes a job of `type`; returns Compute's result.
  int Run(int type, const std::vector<ChainRow>& rows) {
    view.m_nTraverseType = type;
    view.SetInputRows(synth::ChainRows(rows));
    return view.Compute();
  }
  const CDxView::CUnit& Row(int i) const { return view.m_arrUnit[static_cast<std::size_t>(i)]; }
  void ExpectRowsAt(const std::vector<ChainRow>& rows, double tol) {
    ASSERT_EQ(view.m_arrUnit.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].p.name.empty()) continue;
      EXPECT_NEAR(view.m_arrUnit[i].x, rows[i].p.x, tol) << "row " << i + 1;
      EXPECT_NEAR(view.m_arrUnit[i].y, rows[i].p.y, tol) << "row " << i + 1;
    }
  }
  void ExpectHeightsAt(const std::vector<ChainRow>& rows, std::size_t from, std::size_t to,
                       double tol) {
    for (std::size_t i = from; i <= to; ++i)
      EXPECT_NEAR(view.m_arrUnit[i].h, rows[i].p.h, tol) << "row " << i + 1;
  }

  platform::FakeMessagePort port;
  CDxView view;
};

TEST_F(ApproxTest, ExactConnectingTraverseReturnsTheTruth) {
  auto rows = synth::Connecting(synth::SampleConnecting());
  ASSERT_EQ(Run(0, rows), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_TRUE(port.Messages().empty());
  ExpectRowsAt(rows, 1e-6);
  ExpectHeightsAt(rows, 1, rows.size() - 2, 1e-6);
  EXPECT_NEAR(view.m_dFBeta, 0, 1e-5);
  EXPECT_NEAR(view.m_dFs, 0, 1e-4);
  EXPECT_NEAR(view.m_dWh, 0, 1e-4);
  EXPECT_EQ(view.m_nAngleCount, 6);
  EXPECT_EQ(view.m_nSideCount, 5);
  EXPECT_EQ(view.m_bComputed, 1);
  double sumD = 0;
  for (std::size_t i = 1; i + 2 < rows.size(); ++i) sumD += synth::Dist(rows[i].p, rows[i + 1].p);
  EXPECT_NEAR(view.m_dSumD, sumD, 1e-6);
  // The extents cover every row with a plane point, orientation points included.
  EXPECT_NEAR(view.m_dMinX, 3370540.300, 1e-6);
  EXPECT_NEAR(view.m_dMaxY, 502497.115, 1e-6);
}

TEST_F(ApproxTest, ExactClosedTraverseReturnsTheTruth) {
  auto rows = synth::Closed(synth::SampleClosed());
  ASSERT_EQ(Run(0, rows), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_TRUE(port.Messages().empty());
  ExpectRowsAt(rows, 1e-6);
  ExpectHeightsAt(rows, 1, rows.size() - 1, 1e-6);
  EXPECT_NEAR(view.m_dFBeta, 0, 1e-5);
  EXPECT_NEAR(view.m_dFs, 0, 1e-4);
}

TEST_F(ApproxTest, ExactOpenTraverseReturnsTheTruth) {
  auto pts = synth::SampleConnecting();
  pts.resize(6);
  auto rows = synth::Open(pts);
  ASSERT_EQ(Run(2, rows), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  ExpectRowsAt(rows, 1e-6);
  ExpectHeightsAt(rows, 1, rows.size() - 1, 1e-6);
}

TEST_F(ApproxTest, ExactNoOrientationTraverseClosesWithNoClosure) {
  auto pts = synth::SampleConnecting();
  std::vector<Pt> chain(pts.begin() + 1, pts.end() - 1);  // B P1..P4 C
  auto rows = synth::NoOrientation(chain);
  ASSERT_EQ(Run(1, rows), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_TRUE(port.Messages().empty());
  ExpectRowsAt(rows, 1e-6);
  ExpectHeightsAt(rows, 0, rows.size() - 1, 1e-6);
  EXPECT_NEAR(view.m_dWs, 0, 1e-4);
  // A closure of (practically) zero has no finite relative closure.
  EXPECT_EQ(view.m_nRelClosureT, CDxView::kRelClosureNone);
  EXPECT_EQ(CDxView::RelClosureText(view.m_nRelClosureT), "∞");
}

TEST_F(ApproxTest, ConnectingAngleClosureIsSharedEquallyOverSixAngles) {
  auto rows = synth::Connecting(synth::SampleConnecting());
  for (auto& r : rows)
    if (r.angle) r.angleErr = 2.0;  // fβ = +12"
  ASSERT_EQ(Run(0, rows), 1);
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_NEAR(view.m_dFBeta, 12.0, 1e-5);
  for (int i = 1; i <= 6; ++i) EXPECT_NEAR(Row(i).angleCorrection, -2.0, 1e-6) << i;
  // The corrected angles are the true ones: the coordinates come back exactly.
  ExpectRowsAt(rows, 1e-6);
  EXPECT_NEAR(view.m_dFs, 0, 1e-4);
}

TEST_F(ApproxTest, ClosedTraverseLeavesItsConnectionAngleUncorrected) {
  auto pts = synth::SampleClosed();
  pts.resize(6);  // A B Q1..Q4: five polygon angles
  auto rows = synth::Closed(pts);
  rows[3].angleErr = 12.0;
  ASSERT_EQ(Run(0, rows), 1);
  EXPECT_NEAR(view.m_dFBeta, 12.0, 1e-5);
  EXPECT_NEAR(Row(1).angleCorrection, 0.0, 1e-9);
  for (int i = 2; i <= 6; ++i) EXPECT_NEAR(Row(i).angleCorrection, -2.4, 1e-6) << i;
  // The loop closes on its start point and the last row repeats Q1.
  EXPECT_NEAR(Row(6).x, pts[1].x, 1e-6);
  EXPECT_NEAR(Row(7).x, Row(2).x, 1e-12);
  EXPECT_NEAR(Row(7).y, Row(2).y, 1e-12);
}

TEST_F(ApproxTest, AzimuthClosureIsFoldedAtNorth) {
  // The closing direction C -> D points due north; an angle 10" too small makes
  // the carried azimuth 359°59'50": fβ is -10", not almost a full turn.
  auto pts = synth::SampleConnecting();
  pts[7].x = pts[6].x + 250.0;
  pts[7].y = pts[6].y;
  auto rows = synth::Connecting(pts);
  rows[3].angleErr = -10.0;
  ASSERT_EQ(Run(0, rows), 1);
  EXPECT_TRUE(port.Messages().empty()) << port.Messages()[0];
  EXPECT_NEAR(view.m_dFBeta, -10.0, 1e-5);
  for (int i = 1; i <= 6; ++i) EXPECT_NEAR(Row(i).angleCorrection, 10.0 / 6, 1e-6);
}

TEST_F(ApproxTest, SideErrorGivesItsClosureAndIsDistributedBySideLength) {
  auto rows = synth::Connecting(synth::SampleConnecting());
  const int k = 3;  // leg P2 -> P3
  rows[k].sideErr = 0.050;
  ASSERT_EQ(Run(0, rows), 1);
  EXPECT_TRUE(port.Messages().empty());
  const double az = synth::Azimuth(rows[k].p, rows[k + 1].p);
  EXPECT_NEAR(view.m_dFx, 50.0 * std::cos(az), 1e-4);
  EXPECT_NEAR(view.m_dFy, 50.0 * std::sin(az), 1e-4);
  EXPECT_NEAR(view.m_dFs, 50.0, 1e-4);
  EXPECT_NEAR(view.m_dWs, 50.0, 1e-4);  // the angles are exact
  EXPECT_EQ(view.m_nRelClosureK, static_cast<int>(view.m_dSumD * 1000.0 / 50.0));
  for (int i = 1; i <= 4; ++i) {
    const double share = Row(i).distance / view.m_dSumD;
    EXPECT_NEAR(Row(i).vx, -view.m_dFx * share, 1e-9) << i;
    EXPECT_NEAR(Row(i).vy, -view.m_dFy * share, 1e-9) << i;
  }
  // The end point lands on the known point.
  EXPECT_NEAR(Row(6).x, rows[6].p.x, 1e-8);
  EXPECT_NEAR(Row(6).y, rows[6].p.y, 1e-8);
}

TEST_F(ApproxTest, NoisyConnectingTraverseStaysWithinTheNoise) {
  auto rows = synth::Connecting(synth::SampleConnecting());
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> angle(-3.0, 3.0), side(-0.003, 0.003);
  double sumD = 0, sumSideErr = 0, maxAngle = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].angle) rows[i].angleErr = angle(gen);
    if (rows[i].side) {
      rows[i].sideErr = side(gen);
      sumSideErr += std::fabs(rows[i].sideErr);
      sumD += synth::Dist(rows[i].p, rows[i + 1].p);
    }
    maxAngle = std::max(maxAngle, std::fabs(rows[i].angleErr));
  }
  ASSERT_EQ(Run(0, rows), 1);
  // Worst case of the errors' effect on any point: every angle error acting
  // over the whole length plus every side error.
  const double bound = 6 * maxAngle / synth::kRho * sumD + sumSideErr;
  for (std::size_t i = 2; i <= 5; ++i) {
    EXPECT_LT(std::hypot(Row(static_cast<int>(i)).x - rows[i].p.x,
                         Row(static_cast<int>(i)).y - rows[i].p.y),
              bound)
        << i;
  }
  EXPECT_LT(std::fabs(view.m_dFBeta), 6 * 3.0 + 1e-6);
  EXPECT_NEAR(Row(6).x, rows[6].p.x, 1e-8);
}

TEST_F(ApproxTest, HeightClosureFollowsTheWeights) {
  auto rows = synth::Connecting(synth::SampleConnecting(), false, true);
  rows[2].dhErr = 0.024;  // Wh = +24 mm
  ASSERT_EQ(Run(0, rows), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_NEAR(view.m_dWh, 24.0, 1e-6);
  double sumW = 0;
  for (int i = 1; i <= 5; ++i) sumW += Row(i).weightLength;
  for (int i = 1; i <= 5; ++i)
    EXPECT_NEAR(Row(i).dhCorrection, -24.0 * Row(i).weightLength / sumW, 1e-9) << i;
  EXPECT_NEAR(Row(6).h, rows[6].p.h, 1e-9);

  // Trigonometric heighting weighs by the square of the length.
  view.m_nHeightRouteType = 1;
  ASSERT_EQ(view.Compute(), 1);
  double sumW2 = 0;
  for (int i = 1; i <= 5; ++i) sumW2 += Row(i).weightLength * Row(i).weightLength;
  for (int i = 1; i <= 5; ++i)
    EXPECT_NEAR(Row(i).dhCorrection, -24.0 * Row(i).weightLength * Row(i).weightLength / sumW2,
                1e-9);
}

TEST_F(ApproxTest, HeightRouteOnlyAcceptsUnnamedOrientationRows) {
  auto rows = synth::Connecting(synth::SampleConnecting(), false, true);
  rows.front().p.name.clear();
  rows.back().p.name.clear();
  ASSERT_EQ(Run(0, rows), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  ExpectHeightsAt(rows, 1, rows.size() - 2, 1e-6);
}

TEST_F(ApproxTest, NoOrientationCorrectionsFollowTheSideLengths) {
  auto pts = synth::SampleConnecting();
  std::vector<Pt> chain(pts.begin() + 1, pts.end() - 1);
  auto rows = synth::NoOrientation(chain, true, false);
  // Every side 1/10000 too long: the rotation cannot absorb it, the lengths must.
  for (std::size_t i = 0; i + 1 < rows.size(); ++i)
    rows[i].sideErr = synth::Dist(rows[i].p, rows[i + 1].p) * 1e-4;
  ASSERT_EQ(Run(1, rows), 1);
  EXPECT_TRUE(port.Messages().empty());
  // After the rotation the provisional end lies on the line start -> end, too
  // far by the scale error of the straight distance.
  const double straight = synth::Dist(chain.front(), chain.back());
  EXPECT_NEAR(view.m_dWs, straight * 1e-4 * 1000.0, 1e-6);
  double sumD = 0;
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) sumD += Row(static_cast<int>(i)).distance;
  for (int i = 0; i + 1 < static_cast<int>(rows.size()); ++i) {
    EXPECT_NEAR(Row(i).vx, -view.m_dWx * Row(i).distance / sumD, 1e-9) << i;
    EXPECT_NEAR(Row(i).vy, -view.m_dWy * Row(i).distance / sumD, 1e-9) << i;
  }
  const int last = static_cast<int>(rows.size()) - 1;
  EXPECT_NEAR(Row(last).x, chain.back().x, 1e-8);
  EXPECT_NEAR(Row(last).y, chain.back().y, 1e-8);
  // The points stay within the size of the scale error.
  for (int i = 1; i < last; ++i)
    EXPECT_LT(std::hypot(Row(i).x - chain[static_cast<std::size_t>(i)].x,
                         Row(i).y - chain[static_cast<std::size_t>(i)].y),
              sumD * 1e-4);
}

TEST_F(ApproxTest, BackComputationFromAdjustedCoordinates) {
  auto rows = synth::Connecting(synth::SampleConnecting(), true, false);
  rows[3].sideErr = 0.030;
  view.m_bBackCompute = 0;
  ASSERT_EQ(Run(0, rows), 1);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(Row(i).distanceCorrection, 0.0);

  view.m_bBackCompute = 1;
  ASSERT_EQ(view.Compute(), 1);
  // Each back-computed side is the distance between its adjusted end points.
  for (int i = 1; i <= 4; ++i) {
    const double d = std::hypot(Row(i + 1).x - Row(i).x, Row(i + 1).y - Row(i).y);
    EXPECT_NEAR(Row(i).distance, d, 1e-9);
    EXPECT_NEAR(Row(i).distanceCorrection, (d - Row(i).observedDistance) * 1000.0, 1e-6);
  }
}

TEST_F(ApproxTest, ComputeClearsThePreviousResults) {
  auto rows = synth::Connecting(synth::SampleConnecting());
  rows[3].angleErr = 20.0;
  rows[2].sideErr = 0.04;
  ASSERT_EQ(Run(0, rows), 1);
  ASSERT_GT(std::fabs(view.m_dFBeta), 1.0);
  ASSERT_GT(view.m_dWs, 1.0);

  auto pts = synth::SampleConnecting();
  pts.resize(5);
  ASSERT_EQ(Run(2, synth::Open(pts)), 1);
  EXPECT_EQ(view.m_dFBeta, 0.0);
  EXPECT_EQ(view.m_dWs, 0.0);
  EXPECT_EQ(view.m_dFs, 0.0);
  EXPECT_EQ(view.m_dWh, 0.0);
  EXPECT_EQ(view.m_nRelClosureK, 0);
  EXPECT_TRUE(view.m_arrSeekErr.empty());
  EXPECT_EQ(view.m_dSigma0Plane, -1.0);

  // A failed run leaves nothing computed.
  view.m_arrUnit.clear();
  view.SetInputRows({{"A"}, {"B"}, {"C"}});
  EXPECT_EQ(view.Compute(), 0);
  EXPECT_EQ(view.m_bComputed, 0);
}

TEST_F(ApproxTest, TrimmedNamesLinkToTheSamePoint) {
  auto rows = synth::Closed(synth::SampleClosed());
  auto cells = synth::ChainRows(rows);
  cells.back()[0] = " Q1 ";  // the closing row repeats the first new point
  view.m_nTraverseType = 0;
  view.SetInputRows(cells);
  ASSERT_EQ(view.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_TRUE(view.IsClosedTraverse());
  EXPECT_NEAR(Row(static_cast<int>(rows.size()) - 1).x, rows[2].p.x, 1e-6);
}

TEST_F(ApproxTest, ComputeReportsThroughTheCallbackOnlyOnSuccess) {
  int calls = 0;
  bool plane = false;
  view.m_onComputed = [&](bool p) {
    ++calls;
    plane = p;
  };
  ASSERT_EQ(Run(0, synth::Connecting(synth::SampleConnecting())), 1);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(plane);
  view.SetInputRows({{"A"}, {"B"}, {"C"}});
  EXPECT_EQ(view.Compute(), 0);
  EXPECT_EQ(calls, 1);
}

}  // namespace
