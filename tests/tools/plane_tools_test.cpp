// The plane coordinate tools against hand-worked figures and against points made
// up from a chosen truth: observations computed here with atan2 and hypot, so the
// tools must give the truth back.
#include <gtest/gtest.h>

#include <cmath>

#include "survey/angle.h"
#include "tool_rows.h"

using toolstest::DmsText;
using toolstest::Num;
using toolstest::ToolTable;

namespace {

struct Pt {
  double x, y;
};

TEST(PlaneTools, ForwardWorkedFiguresAndCarriedStart) {
  ToolTable t;
  t.Compute("PMZBZHSH", {
                            "A,0,0,100,90,100,1.5,B",  // (0, 100), 101.5
                            ",,,,0,50,,",              // from A again, not from B
                            "C,10,10,,45,0,,",         // a start point without... zero distance
                            ",,,,180,10,,D",           // from C
                        });
  EXPECT_EQ(t.Message(), "");
  EXPECT_EQ(toolstest::Row(t.view, 1),
            (std::vector<std::string>{"A", "0", "0", "100", "90", "100", "1.5", "B", "0.0000", "100.0000",
                                      "101.5000"}));
  EXPECT_EQ(t.Cell(2, 9), "50.0000");
  EXPECT_EQ(t.Cell(2, 10), "0.0000");
  EXPECT_EQ(t.Cell(2, 11), "");  // no height difference typed
  EXPECT_EQ(t.Cell(3, 9), "10.0000");  // zero distance: the start point itself
  EXPECT_EQ(t.Cell(4, 9), "0.0000");
  EXPECT_EQ(t.Cell(4, 10), "10.0000");
  EXPECT_TRUE(t.view.m_bComputeOk);
}

TEST(PlaneTools, ForwardSkippedRowStillPassesItsStartPointAndElevation) {
  ToolTable t;
  t.Compute("PMZBZHSH", {
                            "A,0,0,100,90,100,,",
                            "C,500,500,20,,,,",  // no azimuth and distance: nothing computed
                            ",,,,90,10,2,",      // starts from C, elevation 20
                        });
  EXPECT_EQ(t.Message(), "");
  EXPECT_EQ(t.Cell(2, 9), "");
  EXPECT_EQ(t.Cell(3, 9), "500.0000");
  EXPECT_EQ(t.Cell(3, 10), "510.0000");
  EXPECT_EQ(t.Cell(3, 11), "22.0000");
}

TEST(PlaneTools, ForwardStopsAtTheFirstFaultyRow) {
  struct Case {
    std::vector<std::string> rows;
    std::string message;
    int computedRows;  // rows above the stop keep their results
  } cases[] = {
      {{"A,5,,,90,100,,", "B,0,0,,90,100,,"},
       "第一行的起点坐标应输入完整，\n其它行可以不输，程序默认等于上一行", 0},
      {{"A,0,0,,90,100,,", ",,,,90,100,,", "B,,3,,90,100,,", ",,,,90,100,,"},
       "第3行的起点坐标应输入完整，\n或者同时不输，程序默认等于上一行", 2},
      {{"A,0,0,10,90,100,1,", ",,,,90,100,2,", "B,7,7,,90,100,1.5,", ",,,,90,100,,"},
       "第3行数据中输入了高差，则程序将计算高程，此时应输入起点高程。\n如不需计算高程请勿输入高差", 2},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.Compute("PMZBZHSH", c.rows);
    EXPECT_EQ(t.Message(), c.message);
    EXPECT_FALSE(t.view.m_bComputeOk);
    for (int r = 1; r <= static_cast<int>(c.rows.size()); ++r)
      EXPECT_EQ(t.Cell(r, 9).empty(), r > c.computedRows) << c.message << " row " << r;
  }
}

TEST(PlaneTools, InverseWorkedFiguresAndHeightMessage) {
  ToolTable t;
  t.Compute("PMZBFSH", {"A,0,0,10,B,0,100,12.5", ",,,,C,-100,0,"});
  EXPECT_EQ(t.Message(), "");
  EXPECT_EQ(t.Cell(1, 9), " 90 00 00.0");
  EXPECT_EQ(t.Cell(1, 10), "100.0000");
  EXPECT_EQ(t.Cell(1, 11), "2.5000");
  EXPECT_EQ(t.Cell(2, 9), "180 00 00.0");
  EXPECT_EQ(t.Cell(2, 11), "");

  t.Compute("PMZBFSH", {"A,0,0,10,B,0,100,12.5", "C,1,1,,D,0,100,12.5"});
  EXPECT_EQ(t.Message(),
            "第2行数据中输入了终点高程，则程序将计算高差，此时应输入起点高程。\n如不需计算高差请勿输入终点高程");
  EXPECT_EQ(t.Cell(1, 10), "100.0000");
  EXPECT_EQ(t.Cell(2, 10), "");
}

TEST(PlaneTools, ForwardAndInverseRecoverChosenPoints) {
  // Bases from 10 m to 10 km in every quadrant, from Gauss-sized coordinates.
  const Pt start{3456789.123, 512345.678};
  const double bases[] = {10, 100, 1000, 10000};
  const double bearings[] = {0.3, 1.9, 3.5, 5.1, 6.2};
  std::vector<std::string> forward, inverse;
  std::vector<Pt> ends;
  for (double b : bases)
    for (double az : bearings) {
      // Rounded as typed, so the truth is exactly what the table holds.
      Pt e{std::stod(Num(start.x + b * std::cos(az))), std::stod(Num(start.y + b * std::sin(az)))};
      ends.push_back(e);
      double d = std::hypot(e.x - start.x, e.y - start.y);
      double a = toolstest::Azimuth(start.x, start.y, e.x, e.y);
      forward.push_back("S," + Num(start.x) + "," + Num(start.y) + ",," + DmsText(a) + "," + Num(d) + ",,E");
      inverse.push_back("S," + Num(start.x) + "," + Num(start.y) + ",,E," + Num(e.x) + "," + Num(e.y) + ",");
    }
  ToolTable t;
  t.view.m_nCoordDecimals = 6;
  t.view.m_nDistDecimals = 6;
  t.view.m_nAngleDecimals = 4;
  t.Compute("PMZBZHSH", forward);
  ASSERT_EQ(t.Message(), "");
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const int r = static_cast<int>(i) + 1;
    EXPECT_NEAR(t.Number(r, 9), ends[i].x, 2e-6) << r;
    EXPECT_NEAR(t.Number(r, 10), ends[i].y, 2e-6) << r;
  }
  t.Compute("PMZBFSH", inverse);
  ASSERT_EQ(t.Message(), "");
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const int r = static_cast<int>(i) + 1;
    const double d = std::hypot(ends[i].x - start.x, ends[i].y - start.y);
    const double a = toolstest::Azimuth(start.x, start.y, ends[i].x, ends[i].y);
    EXPECT_NEAR(t.Number(r, 10), d, 2e-6) << r;
    EXPECT_NEAR(survey::ParseAngleText(t.Cell(r, 9)), a, 1e-4 / 206264.8) << r;
  }
}

TEST(PlaneTools, OlderStoredRowsArePadded) {
  ToolTable t;
  // Forward: six items, no start elevation and no height difference.
  t.Load("PMZBZHSH", {"A,0,0,90,100,B"});
  EXPECT_EQ(toolstest::Row(t.view, 1),
            (std::vector<std::string>{"A", "0", "0", "", "90", "100", "", "B", "", "", ""}));
  // Inverse: no elevations.
  t.Load("PMZBFSH", {"A,0,0,B,0,100"});
  EXPECT_EQ(toolstest::Row(t.view, 1),
            (std::vector<std::string>{"A", "0", "0", "", "B", "0", "100", "", "", "", ""}));
  // Stake-out: no name of the point to set out.
  t.Load("JZB", {"0,0,100,0,0,100"});
  EXPECT_EQ(toolstest::Row(t.view, 1),
            (std::vector<std::string>{"0", "0", "100", "0", "", "0", "100", "", "", ""}));
  // Rows of the current layout are taken as they are.
  t.Load("JZB", {"0,0,100,0,P,0,100"});
  EXPECT_EQ(t.Cell(1, 5), "P");
  t.Compute("JZB", {"0,0,100,0,0,100"});
  EXPECT_EQ(t.Cell(1, 10), "100.0000");
}

TEST(PlaneTools, StakeOutWorkedFiguresAndStops) {
  ToolTable t;
  t.Compute("JZB", {"0,0,100,0,P1,0,100", ",,,,P2,-100,0", ",,,,P3,,"});
  EXPECT_EQ(t.Message(), "");
  EXPECT_EQ(t.Cell(1, 8), " 90 00 00.0");
  EXPECT_EQ(t.Cell(1, 9), " 90 00 00.0");
  EXPECT_EQ(t.Cell(1, 10), "100.0000");
  EXPECT_EQ(t.Cell(2, 8), "180 00 00.0");
  EXPECT_EQ(t.Cell(2, 9), "180 00 00.0");
  EXPECT_EQ(t.Cell(3, 8), "");

  // Backsight to the east: the angle is the azimuth less 90°, folded.
  t.Compute("JZB", {"0,0,0,100,P,100,0"});
  EXPECT_EQ(t.Cell(1, 8), "  0 00 00.0");
  EXPECT_EQ(t.Cell(1, 9), "270 00 00.0");

  t.Compute("JZB", {"0,0,,,P,0,100"});
  EXPECT_EQ(t.Message(), "第一行的设测站点、后视点坐标应输入完整，\n其它行可以不输，程序默认等于上一行");
  EXPECT_EQ(t.Cell(1, 8), "");
  // A backsight on the station gives no direction: refused, not turned from north.
  t.Compute("JZB", {"0,0,100,0,P,0,100", "5,5,5,5,Q,1,1", ",,,,R,2,2"});
  EXPECT_EQ(t.Message(), "第2行的测站点与后视点坐标相同，无法定向");
  EXPECT_EQ(t.Cell(1, 10), "100.0000");
  EXPECT_EQ(t.Cell(2, 9), "");
  EXPECT_EQ(t.Cell(3, 9), "");
  EXPECT_FALSE(t.view.m_bComputeOk);
  t.Compute("JZB", {"0,0,100,0,P,0,100", "5,,,,Q,1,1"});
  EXPECT_EQ(t.Message(), "第2行的设测站点、后视点坐标应输入完整，\n或者同时不输，程序默认等于上一行");
  EXPECT_EQ(t.Cell(1, 10), "100.0000");
}

TEST(PlaneTools, RotationWorkedFiguresAndChosenTruth) {
  ToolTable t;
  t.Compute("ZBXZH", {"0,0,90,P,100,0", ",,-90,Q,100,0", ",,,R,100,0"});
  EXPECT_EQ(t.Message(), "第2行的旋转中心点坐标与旋转角度应输入完整，\n或者同时不输，程序默认等于上一行");
  EXPECT_EQ(t.Cell(1, 7), "0.0000");
  EXPECT_EQ(t.Cell(1, 8), "100.0000");

  t.Compute("ZBXZH", {"0,0,90,P,100,0", "0,0,-90,Q,100,0", ",,,R,100,0"});
  EXPECT_EQ(t.Message(), "");
  EXPECT_EQ(t.Cell(2, 7), "0.0000");
  EXPECT_EQ(t.Cell(2, 8), "-100.0000");
  EXPECT_EQ(t.Cell(3, 8), "-100.0000");  // centre and angle of row 2

  // Rotation by θ clockwise (x north, y east): a rotation matrix in the test.
  const Pt o{2500.25, -1300.5};
  const double thetas[] = {0.25, -1.2, 3.0};
  const Pt pts[] = {{2510, -1300}, {1500, 100}, {12500.25, -11300.5}};
  for (double th : thetas) {
    std::vector<std::string> rows;
    for (Pt p : pts) rows.push_back(Num(o.x) + "," + Num(o.y) + "," + DmsText(th) + ",P," + Num(p.x) + "," + Num(p.y));
    t.view.m_nCoordDecimals = 6;
    t.Compute("ZBXZH", rows);
    for (int i = 0; i < 3; ++i) {
      const double dx = pts[i].x - o.x, dy = pts[i].y - o.y;
      EXPECT_NEAR(t.Number(i + 1, 7), o.x + dx * std::cos(th) - dy * std::sin(th), 2e-6);
      EXPECT_NEAR(t.Number(i + 1, 8), o.y + dx * std::sin(th) + dy * std::cos(th), 2e-6);
    }
  }
}

TEST(PlaneTools, IncludedAndTurningAngles) {
  struct Case {
    std::string row;
    std::string left, right, turn;
  } cases[] = {
      {"0,0,100,0,100,100", "270 00 00.0", " 90 00 00.0", " 90 00 00.0"},
      {"0,0,100,0,100,-100", " 90 00 00.0", "270 00 00.0", "- 90 00 00.0"},
      {"0,0,100,0,200,0", "180 00 00.0", "180 00 00.0", "  0 00 00.0"},
      {"0,0,100,0,200,100", "225 00 00.0", "135 00 00.0", " 45 00 00.0"},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.Compute("JJZHJ", {c.row, "1,2,3,,5,6"});
    EXPECT_EQ(t.Cell(1, 7), c.left) << c.row;
    EXPECT_EQ(t.Cell(1, 8), c.right) << c.row;
    EXPECT_EQ(t.Cell(1, 9), c.turn) << c.row;
    EXPECT_EQ(t.Cell(2, 7), "");  // a missing coordinate: skipped
    EXPECT_EQ(t.Message(), "");
  }
}

TEST(PlaneTools, DrawingSequences) {
  ToolTable t;
  t.Compute("PMZBZHSH", {"A,0,0,,90,100,,B", ",,,,0,50,,"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "AddControlPoint A 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint B 0 -0.000 100.000 0.000 -1.000 -1.000 -1.000\n"
            "AddLine 坐标正算 0.000 0.000 -0.000 100.000\n"
            "AddControlPoint 2终点 0 50.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddLine 坐标正算 0.000 0.000 50.000 0.000\n");
  t.Compute("PMZBFSH", {",5,5,,,6,6,"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "AddControlPoint 1起点 1 5.000 5.000 0.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint 1终点 1 6.000 6.000 0.000 -1.000 -1.000 -1.000\n"
            "AddLine 坐标反算 5.000 5.000 6.000 6.000\n");
  t.Compute("JZB", {"0,0,100,0,,0,100"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "AddControlPoint 测站 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint 后视 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddLine 极坐标放样 0.000 0.000 100.000 0.000\n"
            "AddControlPoint 1 0 0.000 100.000 0.000 -1.000 -1.000 -1.000\n"
            "AddLine 极坐标放样 0.000 0.000 0.000 100.000\n");
  t.Compute("ZBXZH", {"0,0,90,,100,0"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "SetLayer 坐标旋转后 1 1 0 1\n"
            "AddLabelledPoint 坐标旋转中心点 中心点  0 1 0.000 0.000 0.000 0.000\n"
            "AddLabelledPoint 坐标旋转前 1  0 1 100.000 0.000 0.000 0.000\n"
            "AddLabelledPoint 坐标旋转后 1  0 1 -0.000 100.000 0.000 0.000\n");
  t.Compute("JJZHJ", {"0,0,100,0,100,100"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "AddControlPoint A1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint B1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddControlPoint C1 1 100.000 100.000 0.000 -1.000 -1.000 -1.000\n"
            "AddLine 夹角转角计算 0.000 0.000 100.000 0.000\n"
            "AddLine 夹角转角计算 100.000 0.000 100.000 100.000\n");
}

TEST(PlaneTools, NonFiniteInputIsNeitherWrittenNorDrawn) {
  ToolTable t;
  t.Compute("PMZBZHSH", {"A,1e308,0,,0,1e308,,B"});
  EXPECT_EQ(t.Cell(1, 9), "");
  EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddLine), 0);
  t.Compute("ZBXZH", {"-1e308,0,90,P,1e308,0"});
  EXPECT_EQ(t.Cell(1, 7), "");
  EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddLabelledPoint), 1);  // the centre only
}

// Rows that leave their start, station or centre empty compute from the row above:
// an edit there makes their results stale as well, down to the next row that types
// its own.
TEST(PlaneTools, AnEditEmptiesTheResultsOfRowsCarryingIt) {
  struct Case {
    const char* code;
    std::vector<std::string> rows;
    int row, col;      // the edited cell
    const char* text;  // typed into it
    int result;        // a result column
    std::vector<bool> emptied;
  };
  const Case cases[] = {
      {"PMZBZHSH", {"K1,0,0,,30,100,,P1", ",,,,60,100,,P2", ",,,,90,50,,P3", "K2,10,10,,90,50,,P4"}, 1, 2, "5", 9,
       {true, true, true, false}},
      {"PMZBZHSH", {"K1,0,0,,30,100,,P1", ",,,,60,100,,P2", ",,,,90,50,,P3", "K2,10,10,,90,50,,P4"}, 2, 6, "90", 9,
       {false, true, false, false}},
      {"PMZBFSH", {"K1,0,0,,P1,10,10,", ",,,,P2,20,5,", "K2,1,1,,P3,5,5,"}, 1, 3, "2", 9, {true, true, false}},
      {"PMZBZHSH", {"K1,0,0,100,30,100,2,P1", ",,,,60,100,2,P2", "K2,10,10,50,90,50,1,P3"}, 1, 4, "200", 11,
       {true, true, false}},
      {"PMZBFSH", {"K1,0,0,100,P1,10,10,102", ",,,,P2,20,5,103", "K2,1,1,5,P3,5,5,6"}, 1, 4, "200", 11,
       {true, true, false}},
      {"JZB", {"0,0,100,0,P1,10,10", ",,,,P2,20,5", "0,0,0,100,P3,5,5"}, 1, 4, "1", 8, {true, true, false}},
      {"ZBXZH", {"0,0,30,P1,10,10", ",,,P2,20,5", "1,1,10,P3,5,5"}, 1, 3, "45", 7, {true, true, false}},
      {"JJZHJ", {"0,0,10,0,10,10", "0,0,10,0,10,10"}, 1, 1, "1", 7, {true, false}},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.Compute(c.code, c.rows);
    ASSERT_TRUE(t.view.m_bComputeOk) << c.code << " " << t.Message();
    toolstest::Type(t.view, c.row, c.col, c.text);
    EXPECT_FALSE(t.view.m_bComputeOk) << c.code;
    for (std::size_t i = 0; i < c.emptied.size(); ++i) {
      const int r = static_cast<int>(i) + 1;
      EXPECT_EQ(t.Cell(r, c.result).empty(), c.emptied[i]) << c.code << " edit row " << c.row << ", row " << r;
    }
  }
}

}  // namespace
