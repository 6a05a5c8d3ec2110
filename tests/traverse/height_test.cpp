// Height adjustment and single-run levelling against hand-worked figures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "traverse/view/dx_view.h"

namespace {

using Cells = std::vector<std::vector<std::string>>;

struct Job {
  CDxView view;
  platform::FakeMessagePort port;
  int ok = 0;
  std::string First() const { return port.Messages().empty() ? "" : port.Messages()[0]; }
};

void RunJob(Job& job, int type, const Cells& cells, int heightRoute = 0) {
  job.view.ResetScheme();
  job.view.m_nTraverseType = type;
  job.view.m_nHeightRouteType = heightRoute;
  job.view.SetInputRows(cells);
  job.ok = job.view.Compute();
}

double HeightOf(const CDxView& v, const std::string& name) {
  for (const auto& h : v.m_arrUnknownHd)
    if (h.name == name) return h.h;
  return NAN;
}

}  // namespace

// A levelling line between two known heights, adjusted rigorously as a network,
// equals the proportional distribution of its closure: by L for levelling, by L²
// for trigonometric heighting. σ0 and mh follow from the one redundancy.
TEST(HeightAdjustTest, LineEqualsProportionalDistribution) {
  const double HA = 100.000, HB = 102.000;
  const double dh[4] = {0.512, 0.634, -0.221, 1.087};  // closure W = +12 mm
  const double L[4] = {400, 650, 300, 850};
  for (int route : {0, 1}) {
    Cells cells;
    const char* names[5] = {"A", "P1", "P2", "P3", "B"};
    for (int i = 0; i < 5; ++i) {
      std::vector<std::string> r(9);
      r[0] = names[i];
      if (i < 4) {
        r[3] = std::to_string(dh[i]);
        r[4] = std::to_string(L[i]);
      }
      if (i == 0) r[7] = "100.000";
      if (i == 4) r[7] = "102.000";
      cells.push_back(r);
    }
    Job job;
    RunJob(job, 3, cells, route);
    ASSERT_EQ(job.ok, 1) << job.First();
    double w[4], sumW = 0;
    for (int i = 0; i < 4; ++i) sumW += (w[i] = route == 0 ? L[i] : L[i] * L[i]);
    const double W = (HA + dh[0] + dh[1] + dh[2] + dh[3] - HB) * 1000.0;  // mm
    ASSERT_NEAR(W, 12.0, 1e-9);
    double h = HA, before = 0;
    for (int i = 0; i < 3; ++i) {
      const double v = -W / 1000.0 * w[i] / sumW;
      h += dh[i] + v;
      before += w[i];
      EXPECT_NEAR(HeightOf(job.view, names[i + 1]), h, 1e-7) << route << " " << names[i + 1];
      EXPECT_NEAR(job.view.m_arrUnit[i].dhCorrection, v * 1000.0, 1e-4);
      // σ0 = |W|/√Σw; Q of a point = w_before·w_after/Σw.
      const double s0 = std::fabs(W) / std::sqrt(sumW);
      EXPECT_NEAR(job.view.m_dSigma0Height, s0, 1e-9 * s0);
      const double mh = s0 * std::sqrt(before * (sumW - before) / sumW);
      for (const auto& hd : job.view.m_arrUnknownHd)
        if (hd.name == names[i + 1]) {
          EXPECT_NEAR(hd.mh, mh, 1e-6 * mh);
        }
    }
  }
}

TEST(HeightAdjustTest, ZeroWeightIsRefusedNamingTheLeg) {
  Cells cells = {{"A", "", "", "0.500", "300", "", "", "100.000", ""},
                 {"P1", "", "", "0.300", "0", "", "", "", ""},
                 {"B", "", "", "", "", "", "", "100.800", ""}};
  Job job;
  RunJob(job, 3, cells);
  EXPECT_EQ(job.ok, 0);
  ASSERT_EQ(job.port.Messages().size(), 1u);
  EXPECT_EQ(job.First().rfind("第2点(P1)-第3点(B)", 0), 0u) << job.First();
  for (const auto& h : job.view.m_arrUnknownHd) EXPECT_FALSE(std::isnan(h.h));
}

// Single-run levelling, worked by hand:
//   BM1 100.000 + 1.500 → 101.500; TP1 fs 0.800 → 100.700, bs 1.200 → 101.900;
//   P intermediate 1.000 → 100.900; TP2 fs 0.600 → 101.300, bs 1.400 → 102.700;
//   BM2 fs 1.000 → 101.700 against 101.712: W = −12 mm over 3 stations, +4 mm each.
//   BM2 bs 1.100 → 102.812; P3 fs 0.500 → 102.312 (open end, no correction).
TEST(LevellingTest, HandWorkedLine) {
  Cells cells = {{"BM1", "1.500", "", "", "100.000", ""}, {"TP1", "1.200", "", "0.800", "", ""},
                 {"P", "", "1.000", "", "", ""},          {"TP2", "1.400", "", "0.600", "", ""},
                 {"BM2", "1.100", "", "1.000", "101.712", ""}, {"P3", "", "", "0.500", "", ""}};
  Job job;
  RunJob(job, 5, cells);
  ASSERT_EQ(job.ok, 1) << job.First();
  EXPECT_TRUE(job.port.Messages().empty());
  ASSERT_EQ(job.view.m_arrDmShzhD.size(), 2u);
  const auto& s0 = job.view.m_arrDmShzhD[0];
  EXPECT_EQ(s0.startRow, 0);
  EXPECT_EQ(s0.endRow, 4);
  EXPECT_EQ(s0.stations, 3);
  EXPECT_NEAR(s0.closure, -0.012, 1e-12);
  EXPECT_NEAR(s0.correctionPerStation, 0.004, 1e-12);
  const auto& s1 = job.view.m_arrDmShzhD[1];
  EXPECT_EQ(s1.startRow, 4);
  EXPECT_EQ(s1.endRow, 5);
  EXPECT_EQ(s1.stations, 0);
  EXPECT_EQ(s1.correctionPerStation, 0.0);
  const double expected[6] = {100.000, 100.704, 100.904, 101.308, 101.712, 102.312};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(job.view.m_arrUnit[i].h, expected[i], 1e-9) << "row " << i + 1;
}

TEST(LevellingTest, ThreeKnownPointsGiveTwoSections) {
  // BM1 → TP → BM2: +0.700 + 0.300 = 1.000 against 1.006 (W = −6 mm, 2 stations);
  // BM2 → BM3: +0.900 against 0.899 (W = +1 mm, 1 station).
  Cells cells = {{"BM1", "1.500", "", "", "50.000", ""},
                 {"TP", "1.300", "", "0.800", "", ""},
                 {"BM2", "1.600", "", "1.000", "51.006", ""},
                 {"BM3", "", "", "0.700", "51.905", ""}};
  Job job;
  RunJob(job, 5, cells);
  ASSERT_EQ(job.ok, 1) << job.First();
  ASSERT_EQ(job.view.m_arrDmShzhD.size(), 2u);
  EXPECT_NEAR(job.view.m_arrDmShzhD[0].correctionPerStation, 0.003, 1e-12);
  EXPECT_NEAR(job.view.m_arrDmShzhD[1].correctionPerStation, -0.001, 1e-12);
  EXPECT_EQ(job.view.m_arrDmShzhD[1].stations, 1);
  EXPECT_NEAR(job.view.m_arrUnit[1].h, 50.703, 1e-9);
  EXPECT_NEAR(job.view.m_arrUnit[2].h, 51.006, 1e-12);
  EXPECT_NEAR(job.view.m_arrUnit[3].h, 51.905, 1e-12);
  EXPECT_NEAR(job.view.m_arrUnit[0].dhCorrection, 3.0, 1e-9);  // mm on the leg BM1-TP
  EXPECT_NEAR(job.view.m_arrUnit[0].dh, 0.703, 1e-9);
}

TEST(LevellingTest, ReadingChecks) {
  struct Case {
    Cells cells;
    const char* message;
  };
  const Case cases[] = {
      {{{"A", "1.0", "", "", "", ""}, {"B", "", "", "1.0", "", ""}, {"C", "", "", "1.0", "10", ""}},
       "第一点必须输入高程。"},
      {{{"A", "1.0", "", "0.5", "10", ""}, {"B", "", "", "1.0", "", ""}, {"C", "", "", "1.0", "", ""}},
       "第一点必须输入后视读数且不应输入前视和中视。"},
      {{{"A", "1.0", "", "", "10", ""}, {"B", "1.2", "", "1.0", "", ""}, {"C", "1.0", "", "1.0", "", ""}},
       "最后一点不应观测后视。"},
      {{{"A", "1.0", "", "", "10", ""}, {"B", "1.2", "0.3", "", "", ""}, {"C", "", "", "1.0", "", ""}},
       "第2点(B)输入了中视，不应输入前视或后视。"},
      {{{"A", "1.0", "", "", "10", ""}, {"B", "1.2", "", "", "", ""}, {"C", "", "", "1.0", "", ""}},
       "第2点(B)应输入中视或前视。除第一点外必须输入中视或前视。"},
      {{{"A", "1.0", "", "", "10", ""}, {"B", "", "", "0.8", "", ""}, {"C", "", "", "1.0", "", ""}},
       "第2点(B)应输入后视。除终点外凡输入了前视的都应输入后视。"},
      {{{"A", "1.0", "", "", "10", ""}, {"B", "", "0.4", "", "10.6", ""}, {"C", "", "", "1.0", "", ""}},
       "第2点(B)是已知点且不是起点，必须输入前视。"},
  };
  for (const Case& c : cases) {
    Job job;
    RunJob(job, 5, c.cells);
    EXPECT_EQ(job.ok, 0) << c.message;
    ASSERT_EQ(job.port.Messages().size(), 1u) << c.message;
    EXPECT_EQ(job.First(), c.message);
  }
}
