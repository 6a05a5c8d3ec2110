// Back-computation from adjusted coordinates: corrections belong to observations.
// Legs and stations nobody measured (the orientation legs between known points, a
// station whose angle was left out) keep a correction of 0; the measured ones get
// the small figures the added errors call for.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

struct Case {
  const char* what;
  int type;
  int rigorous;
  std::vector<synth::ChainRow> rows;
};

std::vector<synth::ChainRow> WithErrors(std::vector<synth::ChainRow> rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].angleErr = (i % 2 ? 4.0 : -3.0);
    rows[i].sideErr = (i % 2 ? 0.006 : -0.004);
  }
  return rows;
}

std::vector<synth::Pt> Inner() {
  auto pts = synth::SampleConnecting();
  return {pts.begin() + 1, pts.end() - 1};  // B .. C
}

std::vector<synth::ChainRow> NetworkWithoutOneAngle() {
  auto rows = WithErrors(synth::Connecting(synth::SampleConnecting(), true, false));
  rows[3].angle = false;  // P2: sides only
  return rows;
}

TEST(BackComputeTest, CorrectionsOnlyWhereSomethingWasObserved) {
  const std::vector<Case> cases = {
      {"connecting, approximate", 0, 0, WithErrors(synth::Connecting(synth::SampleConnecting(), true, false))},
      {"closed, approximate", 0, 0, WithErrors(synth::Closed(synth::SampleClosed(), true, false))},
      {"no orientation, approximate", 1, 0, WithErrors(synth::NoOrientation(Inner(), true, false))},
      {"connecting, rigorous", 0, 1, WithErrors(synth::Connecting(synth::SampleConnecting(), true, false))},
      {"network with a station without angle", 3, 1, NetworkWithoutOneAngle()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::FakeMessagePort port;
    CDxView view;
    view.ResetScheme();
    view.m_nTraverseType = c.type;
    view.m_bRigorous = c.rigorous;
    view.m_bBackCompute = 1;
    view.SetInputRows(synth::ChainRows(c.rows));
    ASSERT_EQ(view.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    int sides = 0, angles = 0;
    for (std::size_t i = 0; i < view.m_arrUnit.size(); ++i) {
      const CDxView::CUnit& u = view.m_arrUnit[i];
      if (u.distanceText.empty()) {
        EXPECT_EQ(u.distanceCorrection, 0.0) << "row " << i + 1;
      } else {
        ++sides;
        EXPECT_LT(std::fabs(u.distanceCorrection), 30.0) << "row " << i + 1;  // mm
      }
      if (u.angleText.empty()) {
        EXPECT_EQ(u.angleCorrection, 0.0) << "row " << i + 1;
      } else {
        ++angles;
        EXPECT_LT(std::fabs(u.angleCorrection), 30.0) << "row " << i + 1;  // seconds
      }
    }
    EXPECT_GT(sides, 3);
    EXPECT_GT(angles, 3);
  }
}

}  // namespace
