// The traverse job computed through the plain engine: no grid, no presenter, the
// library that holds only the engine. Jobs are made up from chosen coordinates, so
// the adjustment must give the truth back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/engine/traverse_job.h"

namespace {

using synth::ChainRow;
using synth::Pt;
using traverse::CTraverseJob;

class EngineTest : public ::testing::Test {
 protected:
  int Run(int type, int rigorous, const std::vector<std::vector<std::string>>& cells) {
    job.ResetJob();
    job.m_nTraverseType = type;
    job.m_bRigorous = rigorous;
    job.SetInputRows(cells);
    port.Clear();
    return job.Compute();
  }
  std::string FirstMessage() const { return port.Messages().empty() ? "" : port.Messages()[0]; }

  platform::FakeMessagePort port;
  CTraverseJob job;
};

TEST_F(EngineTest, ConnectingTraverseComesBackToTheTruth) {
  const std::vector<ChainRow> rows = synth::Connecting(synth::SampleConnecting());
  struct Case { const char* what; int rigorous; } cases[] = {{"approximate", 0}, {"rigorous", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Run(0, c.rigorous, synth::ChainRows(rows)), 1) << FirstMessage();
    EXPECT_TRUE(port.Messages().empty());
    EXPECT_EQ(job.m_bComputed, 1);
    EXPECT_EQ(job.m_bPlane, 1);
    EXPECT_EQ(job.m_bHeight, 1);
    ASSERT_EQ(job.m_arrUnit.size(), rows.size());
    for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
      EXPECT_NEAR(job.m_arrUnit[i].x, rows[i].p.x, 1e-6) << rows[i].p.name;
      EXPECT_NEAR(job.m_arrUnit[i].y, rows[i].p.y, 1e-6) << rows[i].p.name;
      EXPECT_NEAR(job.m_arrUnit[i].h, rows[i].p.h, 1e-6) << rows[i].p.name;
    }
    EXPECT_EQ(job.m_arrUnknownPd.size(), 4u);  // P1..P4
    EXPECT_NEAR(job.m_dFBeta, 0, 1e-5);
  }
}

TEST_F(EngineTest, AngleClosureAndTheFailedCheckComeFromTheEngineAlone) {
  std::vector<ChainRow> rows = synth::Connecting(synth::SampleConnecting());
  for (auto& r : rows)
    if (r.angle) r.angleErr = 2.0;  // six angles: fβ = +12"
  ASSERT_EQ(Run(0, 0, synth::ChainRows(rows)), 1) << FirstMessage();
  EXPECT_NEAR(job.m_dFBeta, 12.0, 1e-5);
  EXPECT_NEAR(job.m_arrUnit[1 + 1].angleCorrection, -2.0, 1e-6);

  // A row without a name stops the computation with the row's message, and
  // nothing of the previous run survives.
  std::vector<std::vector<std::string>> cells = synth::ChainRows(rows);
  cells[3][0] = "";
  EXPECT_EQ(Run(0, 0, cells), 0);
  EXPECT_EQ(port.Messages(), std::vector<std::string>{"第4点名称不应为空"});
  EXPECT_EQ(job.m_bComputed, 0);
}

TEST_F(EngineTest, LevellingLineFromTrueHeights) {
  const std::vector<Pt> pts = {{"BM1", 0, 0, 100.000}, {"T1", 0, 0, 101.234}, {"T2", 0, 0, 99.876},
                               {"BM2", 0, 0, 102.500}};
  ASSERT_EQ(Run(5, 1, synth::LevellingRows(pts, {true, false, false, true})), 1) << FirstMessage();
  EXPECT_EQ(job.m_bHeight, 1);
  EXPECT_EQ(job.m_bPlane, 0);
  for (std::size_t i = 0; i < pts.size(); ++i) EXPECT_NEAR(job.m_arrUnit[i].h, pts[i].h, 1e-6) << pts[i].name;
  EXPECT_NEAR(job.m_dWh, 0, 1e-3);
}

}  // namespace
