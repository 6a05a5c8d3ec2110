// The computation driver end to end: reading the input grid, the single-run
// levelling line from true heights, and the scheme reset.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

using synth::Pt;

std::vector<Pt> LevelLine() {
  return {{"BM1", 0, 0, 100.000}, {"T1", 0, 0, 101.234}, {"T2", 0, 0, 99.876},
          {"BM2", 0, 0, 102.500}, {"T3", 0, 0, 103.111}, {"T4", 0, 0, 101.050},
          {"BM3", 0, 0, 100.700}};
}

class LevellingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view.ResetScheme();
    view.m_nTraverseType = 5;
  }
  platform::FakeMessagePort port;
  CDxView view;
};

TEST_F(LevellingTest, ExactLineReturnsTheTrueHeights) {
  const auto pts = LevelLine();
  view.SetInputRows(synth::LevellingRows(pts, {true, false, false, true, false, false, true}));
  ASSERT_EQ(view.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_TRUE(port.Messages().empty());
  ASSERT_EQ(view.m_arrDmShzhD.size(), 2u);
  for (const auto& s : view.m_arrDmShzhD) {
    EXPECT_EQ(s.stations, 3);
    EXPECT_NEAR(s.closure, 0, 1e-9);
  }
  EXPECT_EQ(view.m_arrDmShzhD[0].startRow, 0);
  EXPECT_EQ(view.m_arrDmShzhD[0].endRow, 3);
  EXPECT_EQ(view.m_arrDmShzhD[1].startRow, 3);
  EXPECT_EQ(view.m_arrDmShzhD[1].endRow, 6);
  for (std::size_t i = 0; i < pts.size(); ++i)
    EXPECT_NEAR(view.m_arrUnit[i].h, pts[i].h, 1e-9) << pts[i].name;
  EXPECT_EQ(view.m_bPlane, 0);
  EXPECT_EQ(view.m_bHeight, 1);
}

TEST_F(LevellingTest, ReadingErrorIsSharedPerStationInItsSection) {
  // Hand-worked: the foresight on T2 reads 6 mm high, so the first section
  // closes 6 mm low over 3 stations: +2 mm per station.
  const auto pts = LevelLine();
  auto rows = synth::LevellingRows(pts, {true, false, false, true, false, false, true});
  rows[2][3] = synth::Num(pts[1].h + 1.5 - pts[2].h + 0.006, 6);
  view.SetInputRows(rows);
  ASSERT_EQ(view.Compute(), 1);
  ASSERT_EQ(view.m_arrDmShzhD.size(), 2u);
  EXPECT_NEAR(view.m_arrDmShzhD[0].closure, -0.006, 1e-9);
  EXPECT_NEAR(view.m_arrDmShzhD[0].correctionPerStation, 0.002, 1e-9);
  EXPECT_NEAR(view.m_arrDmShzhD[1].closure, 0, 1e-9);
  EXPECT_NEAR(view.m_arrUnit[1].h, pts[1].h + 0.002, 1e-9);
  EXPECT_NEAR(view.m_arrUnit[2].h, pts[2].h - 0.006 + 0.004, 1e-9);
  EXPECT_NEAR(view.m_arrUnit[3].h, pts[3].h, 1e-9);
  EXPECT_NEAR(view.m_arrUnit[4].h, pts[4].h, 1e-9);
}

TEST_F(LevellingTest, LineEndingOnAnUnknownPointIsOpen) {
  auto pts = LevelLine();
  pts.resize(5);
  view.SetInputRows(synth::LevellingRows(pts, {true, false, false, true, false}));
  ASSERT_EQ(view.Compute(), 1);
  ASSERT_EQ(view.m_arrDmShzhD.size(), 2u);
  EXPECT_EQ(view.m_arrDmShzhD[1].stations, 0);
  EXPECT_EQ(view.m_arrDmShzhD[1].correctionPerStation, 0.0);
  EXPECT_NEAR(view.m_arrUnit[4].h, pts[4].h, 1e-9);
}

TEST(ReadInputTableTest, GridTextsBecomeRows) {
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_nTraverseType = 2;  // an open traverse table grows by itself
  auto pts = synth::SampleConnecting();
  pts.resize(5);
  auto cells = synth::ChainRows(synth::Open(pts));
  ASSERT_TRUE(view.NewTable(static_cast<int>(cells.size()) + 2, 9, "支导线数据输入", true));
  view.TableCode = "SHUJUSHURU";
  for (std::size_t r = 0; r < cells.size(); ++r)
    for (std::size_t c = 0; c < 9; ++c)
      view.SetCellText(static_cast<int>(r) + 1, static_cast<int>(c) + 1, cells[r][c]);
  view.SetCellText(2, 1, " B ");                 // blanks around a name do not count
  view.SetCellText(static_cast<int>(cells.size()), 2, "10 00 00");  // angle in the last row
  view.ReadInputTable();
  // The two empty trailing rows are gone; the last row's leg cells are emptied.
  EXPECT_EQ(view.GetRowCount(), static_cast<int>(cells.size()));
  ASSERT_EQ(view.m_arrUnit.size(), cells.size());
  EXPECT_EQ(view.m_arrUnit[1].name, "B");
  EXPECT_EQ(view.m_arrUnit[1].angleText, cells[1][1]);
  EXPECT_EQ(view.m_arrUnit[1].distanceText, cells[1][2]);
  EXPECT_EQ(view.m_arrUnit[0].xText, cells[0][5]);
  EXPECT_TRUE(view.m_arrUnit.back().angleText.empty());
  EXPECT_TRUE(view.GetCellText(view.GetRowCount(), 2).empty());
  EXPECT_TRUE(view.IsCellLocked(view.GetRowCount(), 2));
  ASSERT_EQ(view.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  EXPECT_NEAR(view.m_arrUnit[4].x, pts[4].x, 1e-6);

  // Nothing is read while another table is shown.
  view.TableCode = "PMJSH";
  view.m_arrUnit.clear();
  view.ReadInputTable();
  EXPECT_TRUE(view.m_arrUnit.empty());
}

TEST(ResetSchemeTest, NewJobDefaultsAndAReadyProjection) {
  CDxView view;
  view.m_nTraverseType = 4;
  view.m_bRigorous = 0;
  view.m_dFBeta = 12;
  view.m_arrUnit.resize(5);
  view.ResetScheme();
  EXPECT_EQ(view.m_nTraverseType, 0);
  EXPECT_EQ(view.m_bRigorous, 1);
  EXPECT_EQ(view.m_nPlaneGrade, 2);
  EXPECT_EQ(view.m_dAzClosureCoef, 10.0);
  EXPECT_EQ(view.m_nRelClosureLimit, 15000);
  EXPECT_EQ(view.m_nHeightGrade, 2);
  EXPECT_EQ(view.m_dHeightClosureCoef, 20.0);
  EXPECT_EQ(view.m_dAngleRms, 5.0);
  EXPECT_EQ(view.m_dDistA, 5.0);
  EXPECT_EQ(view.m_dDistB, 5.0);
  EXPECT_EQ(view.m_nEllipsoid, 2);
  EXPECT_EQ(view.m_nClosureDistribution, 1);
  EXPECT_EQ(view.m_dSigma0Plane, -1.0);
  EXPECT_EQ(view.m_dFBeta, 0.0);
  EXPECT_TRUE(view.m_arrUnit.empty());
  EXPECT_EQ(view.m_nAngleDecimals, 0);
  EXPECT_EQ(view.GetHeaderText(9), "计算：");
  EXPECT_EQ(view.GetHeaderText(10), "校核：");
  // The reductions can run at once: the Xi'an 80 ellipsoid is set up.
  EXPECT_TRUE(view.m_gauss.IsReady());
  EXPECT_NEAR(view.m_gauss.a, 6378140.0, 1e-6);
}

TEST(ResetSchemeTest, ReductionPassRunsOnANewJob) {
  // With "概算" on, the second pass reduces with the scheme's projection; a
  // new job must not meet the "not set" message.
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_bRigorous = 0;
  view.m_bReduce = 1;
  view.m_bY500 = 1;
  view.SetInputRows(synth::ChainRows(synth::Connecting(synth::SampleConnecting())));
  ASSERT_EQ(view.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  for (const auto& m : port.Messages()) EXPECT_EQ(m.find("尚未设置坐标类型"), std::string::npos);
}

}  // namespace
