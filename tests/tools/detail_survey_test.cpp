// The detail survey: worked figures, detail points made up from a chosen truth in
// the three observation modes and both circle senses with index errors, the
// station checks, the drawing sequence and the settings dialog's rules.
#include <gtest/gtest.h>

#include <cmath>

#include "tool_rows.h"
#include "tools/detail_survey.h"

using toolstest::Azimuth;
using toolstest::DmsText;
using toolstest::Num;
using toolstest::ToolTable;

namespace {

void SetStation(CAuxView& v, double x, double y, double h, double bx, double by) {
  v.m_strStation = "K1";
  v.m_dStationX = x;
  v.m_dStationY = y;
  v.m_dStationH = h;
  v.m_strBacksight = "K2";
  v.m_dBacksightX = bx;
  v.m_dBacksightY = by;
}

TEST(DetailSurvey, WorkedFiguresOfTheThreeModes) {
  struct Case {
    int mode;
    bool clockwise;
    double indexError;
    std::string row;
    std::vector<std::pair<int, std::string>> cells;
  } cases[] = {
      {1, true, 0, "a,90,100,2,1.2", {{6, "0.0000"}, {7, "100.0000"}, {8, "12.3000"}}},
      {1, true, 0, "a,90,100,2,", {{6, "0.0000"}, {7, "100.0000"}, {8, ""}}},
      {0, true, 0, "a,0,100,90,1.5", {{6, "100.0000"}, {7, "0.0000"}, {8, "100.0000"}, {9, "0.0000"}}},
      {0, true, 0, "a,0,100,80,1.5", {{6, "98.4808"}, {7, "17.3648"}, {10, "27.3648"}}},
      {0, false, 0, "a,0,100,100,1.5", {{6, "98.4808"}, {7, "17.3648"}}},
      {2, true, 0, "a,0,100,80,1.5", {{6, "96.9846"}, {7, "17.1010"}}},
      {2, true, 0, "a,0,100,80,", {{6, "96.9846"}, {7, ""}, {10, ""}}},
      // 30" of index error raise a clockwise angle by 30" and lower a counter-clockwise one.
      {0, true, 30, "a,0,100,90,1.5", {{7, "0.0145"}}},
      {0, false, 30, "a,0,100,90,1.5", {{7, "-0.0145"}}},
  };
  for (const Case& c : cases) {
    ToolTable t;
    SetStation(t.view, 0, 0, 10, 100, 0);
    t.view.m_dInstrumentHeight = 1.5;
    t.view.m_nDetailMode = c.mode;
    t.view.m_bClockwise = c.clockwise;
    t.view.m_dIndexError = c.indexError;
    t.Compute("SBCLDATA", {c.row});
    EXPECT_EQ(t.view.GetColCount(), c.mode == 1 ? 8 : 10);
    for (const auto& [col, text] : c.cells) EXPECT_EQ(t.Cell(1, col), text) << c.mode << " " << c.row << " col " << col;
    EXPECT_TRUE(t.view.m_bComputeOk);
  }
}

TEST(DetailSurvey, ChosenPointsInEveryModeAndCircleSense) {
  struct Truth {
    double x, y, h;
  };
  const double sx = 3456789.25, sy = 512345.75, sh = 43.21, inst = 1.48;
  const double bx = 3457512.0, by = 511800.0;
  const Truth points[] = {
      {3456800.0, 512400.0, 45.0}, {3456700.0, 512300.0, 30.5}, {3457000.0, 512345.75, 80.0}, {3456789.25, 512100.0, 43.21},
  };
  const double v = 1.75;
  for (int mode : {0, 1, 2})
    for (bool clockwise : {true, false})
      for (double indexError : {0.0, 25.0, -40.0}) {
        const double x = indexError / 206264.806247096;
        std::vector<std::string> rows;
        for (const Truth& p : points) {
          const double beta = std::fmod(Azimuth(sx, sy, p.x, p.y) - Azimuth(sx, sy, bx, by) + 4 * M_PI, 2 * M_PI);
          const double d = std::hypot(p.x - sx, p.y - sy);
          const double dh = p.h + v - sh - inst;  // instrument axis to target
          const double alpha = std::atan2(dh, d);
          std::string obs;
          if (mode == 1) {
            obs = Num(d) + "," + Num(dh);
          } else {
            const double z = clockwise ? M_PI / 2 + x - alpha : M_PI / 2 + x + alpha;
            const double s = mode == 0 ? d / std::cos(alpha) : d / (std::cos(alpha) * std::cos(alpha));
            obs = Num(s) + "," + DmsText(z);
          }
          rows.push_back("p," + DmsText(beta) + "," + obs + "," + Num(v));
        }
        ToolTable t;
        SetStation(t.view, sx, sy, sh, bx, by);
        t.view.m_dInstrumentHeight = inst;
        t.view.m_nDetailMode = mode;
        t.view.m_bClockwise = clockwise;
        t.view.m_dIndexError = indexError;
        t.view.m_nCoordDecimals = 6;
        t.view.m_nHeightDecimals = 6;
        t.Compute("SBCLDATA", rows);
        ASSERT_EQ(t.Message(), "");
        const int cx = mode == 1 ? 6 : 8, ch = mode == 1 ? 8 : 10;
        for (int r = 1; r <= 4; ++r) {
          const Truth& p = points[r - 1];
          EXPECT_NEAR(t.Number(r, cx), p.x, 2e-5) << mode << clockwise << indexError << " row " << r;
          EXPECT_NEAR(t.Number(r, cx + 1), p.y, 2e-5) << mode << clockwise << indexError << " row " << r;
          EXPECT_NEAR(t.Number(r, ch), p.h, 2e-5) << mode << clockwise << indexError << " row " << r;
        }
      }
}

TEST(DetailSurvey, StationChecksAndSkippedRows) {
  ToolTable t;
  t.Compute("SBCLDATA", {"a,90,100,2,1.2"});
  EXPECT_EQ(t.Message(), "请先在“项目设置”中设定测站数据。");
  EXPECT_EQ(t.Cell(1, 6), "");
  EXPECT_FALSE(t.view.m_bComputeOk);
  EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddDetailPoint), 0);

  // A backsight on the station orients nothing.
  SetStation(t.view, 10, 10, 0, 10, 10);
  t.Compute("SBCLDATA", {"a,90,100,2,1.2"});
  EXPECT_EQ(t.Message(), "测站点与后视点坐标相同，无法定向。\n请在“项目设置”中改正测站或后视点坐标。");
  EXPECT_EQ(t.Cell(1, 6), "");
  EXPECT_FALSE(t.view.m_bComputeOk);

  // Missing readings, and plumb sightings, skip the row.
  SetStation(t.view, 0, 0, 0, 100, 0);
  t.view.m_nDetailMode = 0;
  t.Compute("SBCLDATA", {"a,,100,80,1", "b,10,,80,1", "c,10,100,,1", "d,10,100,0,1", "e,10,100,180,1", "f,10,100,80,1"});
  EXPECT_EQ(t.Message(), "");
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(t.Cell(r, 8), "") << r;
  EXPECT_NE(t.Cell(6, 8), "");
  EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddDetailPoint), 1);
}

TEST(DetailSurvey, DrawingOfStationBacksightAndPoints) {
  ToolTable t;
  SetStation(t.view, 0, 0, 10, 100, 0);
  t.view.m_dBacksightH = 11.5;
  t.view.m_dInstrumentHeight = 1.5;
  t.Compute("SBCLDATA", {"a,90,100,2,1.2", "b,0,50,,", "c,180,10,1,"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "BeginDrawing 1\n"
            "SetLayer 碎部点名 1 0 -1 0\n"
            "SetLayer 碎部点高程 0 0 -1 0\n"
            "AddControlPoint K1 1 0.000 0.000 10.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint K2 1 100.000 0.000 11.500 -1.000 -1.000 -1.000\n"
            "AddDetailPoint 碎部点 a 12.3000 -0.000 100.000 0.200\n"
            "AddDetailPoint 碎部点 b  50.000 0.000 0.200\n"
            "AddDetailPoint 碎部点 c  -10.000 -0.000 0.200\n");
  // Elevations shown, dots only.
  t.view.m_nShowNameOrHeight = 0;
  t.view.m_bShowDot = false;
  t.Compute("SBCLDATA", {"a,90,100,2,1.2"});
  const auto layers = t.feed.Of(drawing::FeedOp::SetLayer);
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_EQ(layers[0].Text(), "SetLayer 碎部点名 0 0 -1 0");
  EXPECT_EQ(layers[1].Text(), "SetLayer 碎部点高程 1 0 -1 0");
  EXPECT_EQ(t.feed.Of(drawing::FeedOp::AddDetailPoint)[0].d[2], 0);
}

TEST(DetailSurvey, ModeChangeKeepsTheFiveInputs) {
  ToolTable t;
  SetStation(t.view, 0, 0, 10, 100, 0);
  t.Load("SBCLDATA", {"a,90,100,2,1.2"});
  EXPECT_EQ(t.view.GetColCount(), 8);
  EXPECT_EQ(t.view.GetColumn(3).header1, "平距");
  t.view.m_nDetailMode = 2;
  t.view.ShowTool("SBCLDATA");
  EXPECT_EQ(t.view.GetColCount(), 10);
  EXPECT_EQ(t.view.GetColumn(3).header1, "视距");
  EXPECT_EQ(t.view.GetColumn(4).header1, "竖盘读数");
  EXPECT_EQ(toolstest::Row(t.view, 1)[4], "1.2");
}

TEST(DetailSurvey, SightingReductionClosedForms) {
  // α = 10° from a clockwise reading of 80° or a counter-clockwise one of 100°.
  const double d = M_PI / 180;
  for (bool cw : {true, false}) {
    const auto r0 = tools::ReduceSighting(0, cw, 0, 100, (cw ? 80 : 100) * d);
    ASSERT_TRUE(r0.ok);
    EXPECT_NEAR(r0.horizontal, 100 * std::cos(10 * d), 1e-12);
    EXPECT_NEAR(r0.rise, 100 * std::sin(10 * d), 1e-12);
    const auto r2 = tools::ReduceSighting(2, cw, 0, 100, (cw ? 80 : 100) * d);
    EXPECT_NEAR(r2.horizontal, 100 * std::cos(10 * d) * std::cos(10 * d), 1e-12);
  }
  EXPECT_FALSE(tools::ReduceSighting(0, true, 0, 100, 0).ok);       // α = 90°
  EXPECT_FALSE(tools::ReduceSighting(0, false, 0, 100, 0).ok);      // α = -90°
  EXPECT_FALSE(tools::ReduceSighting(2, true, 0, 100, 200 * d).ok); // beyond the vertical
}

TEST(DetailSurveyForm, OkRulesAndNumbers) {
  struct Case {
    std::string station, backsight, message;
  } cases[] = {
      {"K1", "K2", ""},
      {"", "K2", tools::kDetailStationRequired},
      {"K,1", "K2", tools::kDetailNameCharsMessage},
      {"K1", "K\n2", tools::kDetailNameCharsMessage},
      {"K1", "K2\r", tools::kDetailNameCharsMessage},
      {"K1", "", ""},
  };
  for (const Case& c : cases) {
    tools::DetailSurveySettings s;
    s.station = c.station;
    s.backsight = c.backsight;
    EXPECT_EQ(tools::CSbClSetForm(s).CheckOk(), c.message) << c.station << "/" << c.backsight;
  }
  struct Number {
    std::string text;
    bool ok;
    double value;
  } numbers[] = {
      {"12.5", true, 12.5}, {" -3 ", true, -3}, {"+.5", true, 0.5}, {"7.", true, 7},
      {"", false, 0}, {"-", false, 0}, {"1,5", false, 0}, {"1.2.3", false, 0}, {"12a", false, 0},
      {"1e5", false, 0},
  };
  for (const Number& n : numbers) {
    double v = -99;
    EXPECT_EQ(tools::CSbClSetForm::ParseNumber(n.text, &v), n.ok) << n.text;
    if (n.ok) {
      EXPECT_DOUBLE_EQ(v, n.value) << n.text;
    }
  }
}

}  // namespace

namespace {

TEST(DetailSurvey, OpeningWithoutStationAsksForItFirst) {
  ToolTable t;
  t.ports.answer = false;  // the user cancels
  t.Load("SBCLDATA", {});
  EXPECT_EQ(t.ports.detailDialogs, 1);
  EXPECT_EQ(t.view.GetRowCount(), 1);  // the table is still usable
  t.messages.Clear();
  t.view.OnCompute();
  t.Load("SBCLDATA", {"a,90,100,2,1.2"});
  t.messages.Clear();
  t.view.OnCompute();
  EXPECT_EQ(t.Message(), "请先在“项目设置”中设定测站数据。");
  // With a station the tool opens straight away.
  SetStation(t.view, 0, 0, 0, 100, 0);
  const int before = t.ports.detailDialogs;
  t.Load("SBCLDATA", {"a,90,100,2,1.2"});
  EXPECT_EQ(t.ports.detailDialogs, before);
}

}  // namespace

namespace {

// A job with rows but no station: the station typed into the dialog that opening
// the tool brings computes the rows, and what is flagged and drawn is what is shown.
TEST(DetailSurvey, StationGivenOnOpeningComputesTheRowsShown) {
  ToolTable t;
  t.ports.editDetail = [](tools::DetailSurveySettings& s) {
    s.station = "K1";
    s.stationH = 10;
    s.backsight = "K2";
    s.backsightX = 100;
  };
  t.feed.calls.clear();
  t.Load("SBCLDATA", {"a,90,100,2,1.2", "b,0,50,1,1.2"});
  EXPECT_EQ(t.ports.detailDialogs, 1);
  ASSERT_GE(t.view.GetRowCount(), 2);
  EXPECT_EQ(t.Cell(1, 7), "100.0000");
  EXPECT_EQ(t.Cell(1, 8), "10.8000");
  EXPECT_EQ(t.Cell(2, 6), "50.0000");
  EXPECT_TRUE(t.view.m_bComputeOk);
  EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddDetailPoint), 2);
}

}  // namespace
