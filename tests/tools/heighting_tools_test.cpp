// Trigonometric heighting, the area of a parcel and the open traverse against
// hand-worked figures, closed forms evaluated here and figures from a chosen truth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tool_rows.h"

using toolstest::DmsText;
using toolstest::Num;
using toolstest::ToolTable;

namespace {

TEST(HeightingTools, WorkedFiguresOfTheThreeDistanceTypes) {
  struct Case {
    int type;
    std::string row;
    std::string distance, height;  // distance "" for the horizontal type (no column)
  } cases[] = {
      {1, "A,B,0,1000,1.5,1.5", "", "0.0675"},
      {1, "A,B,45,100,1.5,1.5", "", "100.0007"},
      {2, "A,B,30,100,1.5,1.5", "75.0000", "43.3016"},
      {2, "A,B,-30,100,1.5,1.5", "75.0000", "-43.3009"},
      {0, "A,B,0,1000,1.6,1.5", "1000.0000", "0.1675"},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.view.m_nDistanceType = c.type;
    t.Compute("SJGCH", {c.row});
    if (c.type == 1) {
      ASSERT_EQ(t.view.GetColCount(), 7);
      EXPECT_EQ(t.Cell(1, 7), c.height) << c.row;
    } else {
      ASSERT_EQ(t.view.GetColCount(), 8);
      EXPECT_EQ(t.Cell(1, 7), c.distance) << c.row;
      EXPECT_EQ(t.Cell(1, 8), c.height) << c.row;
    }
    EXPECT_TRUE(t.view.m_bComputeOk);
  }
}

// A negative angle of one-digit degrees typed in the grid: the editor stores it
// with its degrees padded ("-  5 30 00") and the tools compute with -5°30′.
TEST(HeightingTools, TypedNegativeAnglesOfOneDigitDegrees) {
  struct Case {
    const char* code;
    std::string row;
    int angleCol;
    const char* typed;
    int col1, col2;
    const char* expected1;  // worked by hand from the closed forms
    const char* expected2;
  } cases[] = {
      // h = 250 sin(-5°30′) + 250² cos²(-5°30′)(1 - 0.14)/12742029.4 + 1.45 - 2.00
      {"SJGCH", "A,B,,250,1.45,2.00", 3, "-5.3000", 7, 8, "248.8495", "-24.5073"},
      {"SJGCH", "A,B,,250,1.45,2.00", 3, "-0.3000", 7, 8, "249.9905", "-2.7274"},
      // (100, 0) turned by -5°30′ about the origin
      {"ZBXZH", "0,0,,P,100,0", 3, "-5.3", 7, 8, "99.5396", "-9.5846"},
      {"ZBXZH", "0,0,,P,100,0", 3, "-5 30", 7, 8, "99.5396", "-9.5846"},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.Load(c.code, {c.row});
    toolstest::Type(t.view, 1, c.angleCol, c.typed);
    ASSERT_EQ(t.Cell(1, c.angleCol)[0], '-') << c.typed;
    t.view.OnCompute();
    EXPECT_EQ(t.Cell(1, c.col1), c.expected1) << c.code << " " << c.typed << " -> '" << t.Cell(1, c.angleCol) << "'";
    EXPECT_EQ(t.Cell(1, c.col2), c.expected2) << c.code << " " << c.typed << " -> '" << t.Cell(1, c.angleCol) << "'";
  }
}

TEST(HeightingTools, SlopeDistanceAgainstTheClosedForm) {
  const double k = 0.13;
  const double f = (1 - k) / 12742029.4;
  const double angles[] = {-0.3, -0.01, 0.0, 0.05, 0.6};
  const double distances[] = {10, 850.5, 4000};
  ToolTable t;
  t.view.m_nDistanceType = 0;
  t.view.m_dRefraction = k;
  t.view.m_nDistDecimals = 6;
  t.view.m_nHeightDecimals = 6;
  std::vector<std::string> rows;
  for (double a : angles)
    for (double s : distances) rows.push_back("S,T," + DmsText(a) + "," + Num(s) + ",1.45,2.1");
  t.Compute("SJGCH", rows);
  int r = 1;
  for (double a : angles)
    for (double s : distances) {
      const double c = std::cos(a);
      EXPECT_NEAR(t.Number(r, 7), s * std::cos(a + s * c * f), 2e-6) << r;
      EXPECT_NEAR(t.Number(r, 8), s * std::sin(a) + s * s * c * c * f + 1.45 - 2.1, 2e-6) << r;
      ++r;
    }
}

// A plumb sighting (±90°) with a slope distance is measured straight up or down:
// D = 0, h = ±S + i − v. With a horizontal or stadia distance it has no meaning and,
// like an incomplete row, is skipped.
TEST(HeightingTools, PlumbSightingsAndIncompleteRows) {
  struct Case {
    int type;
    std::vector<std::string> d, h;  // rows 1..4
  };
  const Case cases[] = {
      {0, {"0.0000", "0.0000", "", "98.4807"}, {"101.0500", "-98.9500", "", "18.4155"}},
      {1, {}, {"", "", "", "18.6834"}},
      {2, {"", "", "", "96.9846"}, {"", "", "", "18.1516"}},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.view.m_nDistanceType = c.type;
    t.Compute("SJGCH", {"A,B,90,100,1.45,0.4", "A,B,-90,100,1.45,0.4", "A,B,10,,1,1", "A,B,10,100,1.45,0.4"});
    const int h = c.type == 1 ? 7 : 8;
    for (int r = 1; r <= 4; ++r) {
      if (!c.d.empty()) {
        EXPECT_EQ(t.Cell(r, 7), c.d[static_cast<std::size_t>(r - 1)]) << c.type << " row " << r;
      }
      EXPECT_EQ(t.Cell(r, h), c.h[static_cast<std::size_t>(r - 1)]) << c.type << " row " << r;
    }
    EXPECT_EQ(t.Message(), "");
    EXPECT_TRUE(t.view.m_bComputeOk);
  }
}

TEST(HeightingTools, DistanceTypeChangesTheLayout) {
  ToolTable t;
  const char* captions[] = {"斜距", "平距", "视距"};
  for (int type : {0, 1, 2}) {
    t.view.m_nDistanceType = type;
    t.Load("SJGCH", {"A,B,1,2,3,4"});
    EXPECT_EQ(t.view.GetColumn(4).header1, captions[type]);
    EXPECT_EQ(t.view.GetColCount(), type == 1 ? 7 : 8);
    EXPECT_EQ(t.Cell(1, 6), "4");
  }
}

// ---- area ------------------------------------------------------------------------

TEST(AreaTool, FiguresInBothVertexOrders) {
  struct Case {
    std::vector<std::string> rows;
    std::string text;
  } cases[] = {
      {{"1,0,0", "2,0,100", "3,100,100", "4,100,0"}, "10000.000平方米，15.000亩"},
      {{"L1,0,0", "L2,0,30", "L3,10,30", "L4,10,10", "L5,40,10", "L6,40,0"}, "600.000平方米，0.900亩"},
      {{"T1,0,0", "T2,0,50", "T3,40,20"}, "1000.000平方米，1.500亩"},
  };
  for (const Case& c : cases) {
    for (bool reversed : {false, true}) {
      std::vector<std::string> rows = c.rows;
      if (reversed) std::reverse(rows.begin(), rows.end());
      ToolTable t;
      t.Compute("MJJSH", rows);
      EXPECT_EQ(t.view.GetSignatureText(0), "面积");
      EXPECT_EQ(t.view.GetSignatureText(1), c.text) << c.rows[0] << reversed;
      EXPECT_TRUE(t.view.m_bComputeOk);
    }
  }
}

TEST(AreaTool, GaussCoordinatesKeepTheirPrecision) {
  ToolTable t;
  t.Compute("MJJSH", {"a,3456789,38512345", "b,3456789,38512346", "c,3456790,38512346", "d,3456790,38512345"});
  EXPECT_EQ(t.view.GetSignatureText(1).substr(0, 14), "1.000平方米");
}

TEST(AreaTool, IncompleteRowsAndTooFewVertices) {
  ToolTable t;
  t.Compute("MJJSH", {"1,0,0", "2,5,", "3,100,100"});
  EXPECT_EQ(t.Message(), "第2行数据输入不完整");
  EXPECT_EQ(t.view.GetSignatureText(0), "面积");
  EXPECT_EQ(t.view.GetSignatureText(1), "");
  EXPECT_FALSE(t.view.m_bComputeOk);

  t.Compute("MJJSH", {"1,0,0", "2,5,5"});
  EXPECT_EQ(t.Message(), "数据太少，无法计算。");
  EXPECT_EQ(t.view.GetSignatureText(1), "");
  EXPECT_FALSE(t.view.m_bComputeOk);
}

TEST(AreaTool, AnEditEmptiesTheArea) {
  ToolTable t;
  t.Compute("MJJSH", {"1,0,0", "2,0,100", "3,100,100", "4,100,0"});
  ASSERT_EQ(t.view.GetSignatureText(1), "10000.000平方米，15.000亩");
  toolstest::Type(t.view, 3, 2, "50");
  EXPECT_EQ(t.view.GetSignatureText(0), "面积");
  EXPECT_EQ(t.view.GetSignatureText(1), "");
  EXPECT_FALSE(t.view.m_bComputeOk);
  t.view.OnCompute();
  EXPECT_EQ(t.view.GetSignatureText(1), "7500.000平方米，11.250亩");
}

// Deleting vertices changes the parcel as much as editing them, the last rows too.
TEST(AreaTool, DeletedVerticesEmptyTheArea) {
  struct Case {
    int first, last;        // rows deleted
    const char* recomputed;  // the area of the vertices left
  } cases[] = {
      {5, 5, "10000.000平方米，15.000亩"},
      {4, 5, "5000.000平方米，7.500亩"},
      {1, 1, "10000.000平方米，15.000亩"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rows " << c.first << "-" << c.last);
    ToolTable t;
    t.Compute("MJJSH", {"1,0,0", "2,0,100", "3,100,100", "4,100,0", "5,50,-50"});
    ASSERT_EQ(t.view.GetSignatureText(1), "12500.000平方米，18.750亩");
    t.view.SelectCell(c.first, 1);
    t.view.SelectCell(c.last, 1, table::kMouseShift);
    t.view.OnDeleteRow();
    EXPECT_EQ(t.view.GetSignatureText(0), "面积");
    EXPECT_EQ(t.view.GetSignatureText(1), "");
    EXPECT_FALSE(t.view.m_bComputeOk);
    t.view.OnCompute();
    EXPECT_EQ(t.view.GetSignatureText(1), c.recomputed);
  }
}

TEST(AreaTool, DrawsTheClosedParcel) {
  ToolTable t;
  t.Compute("MJJSH", {"A,0,0", ",0,10", "C,10,0"});
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "BeginPolyline 面积计算 0\n"
            "AddControlPoint A 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddPolylineVertex -1 0 0.000 0.000\n"
            "AddControlPoint 2 1 0.000 10.000 0.000 -1.000 -1.000 -1.000\n"
            "AddPolylineVertex -1 0 0.000 10.000\n"
            "AddControlPoint C 1 10.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddPolylineVertex -1 0 10.000 0.000\n"
            "AddPolylineVertex -1 0 0.000 0.000\n");
}

// ---- open traverse ----------------------------------------------------------------

TEST(OpenTraverseTool, WorkedFigure) {
  ToolTable t;
  t.Compute("ZHDX", {"K1,90,100,0,0", "P2,0,50,,", "P3,,,,"});
  EXPECT_EQ(t.Message(), "");
  EXPECT_EQ(t.Cell(2, 4), "0.0000");
  EXPECT_EQ(t.Cell(2, 5), "100.0000");
  EXPECT_EQ(t.Cell(3, 4), "50.0000");
  EXPECT_EQ(t.Cell(3, 5), "100.0000");
  EXPECT_TRUE(t.view.m_bComputeOk);
  EXPECT_EQ(t.Drawing(),
            "BeginDrawing 0\n"
            "BeginPolyline 支导线计算 0\n"
            "AddControlPoint K1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
            "AddPolylineVertex -1 0 0.000 0.000\n"
            "AddControlPoint P2 0 -0.000 100.000 0.000 -1.000 -1.000 -1.000\n"
            "AddPolylineVertex -1 0 -0.000 100.000\n"
            "AddControlPoint P3 0 50.000 100.000 0.000 -1.000 -1.000 -1.000\n"
            "AddPolylineVertex -1 0 50.000 100.000\n");
}

TEST(OpenTraverseTool, TenLegsCloseOnTheStart) {
  // A regular decagon walked clockwise: ten legs of 123.456 m turning 36° each.
  std::vector<std::string> rows;
  for (int k = 0; k < 10; ++k)
    rows.push_back("P" + std::to_string(k + 1) + "," + std::to_string(36 * k) + ",123.456" +
                   (k == 0 ? ",3456789.0,512345.0" : ",,"));
  rows.push_back("P11,,,,");
  ToolTable t;
  t.view.m_nCoordDecimals = 10;
  t.Compute("ZHDX", rows);
  ASSERT_EQ(t.Message(), "");
  EXPECT_NEAR(t.Number(11, 4), 3456789.0, 1e-9);
  EXPECT_NEAR(t.Number(11, 5), 512345.0, 1e-9);
  // Every leg as typed: its length and its azimuth, from the written coordinates.
  for (int r = 1; r <= 10; ++r) {
    const double dx = t.Number(r + 1, 4) - t.Number(r, 4), dy = t.Number(r + 1, 5) - t.Number(r, 5);
    EXPECT_NEAR(std::hypot(dx, dy), 123.456, 1e-8) << r;
    EXPECT_NEAR(toolstest::Azimuth(0, 0, dx, dy), std::fmod(36.0 * (r - 1), 360.0) * M_PI / 180, 1e-9) << r;
  }
}

TEST(OpenTraverseTool, FailuresLeaveNoStaleCoordinates) {
  ToolTable t;
  t.Compute("ZHDX", {"K1,90,100,0,0", "P2,0,50,,", "P3,90,10,,", "P4,,,,"});
  ASSERT_EQ(t.Cell(4, 5), "110.0000");
  // Row 2 loses its azimuth: rows 3 and 4 must not keep the old coordinates.
  t.view.SetCellText(2, 2, "");
  t.messages.Clear();
  t.view.OnCompute();
  EXPECT_EQ(t.Message(), "第2行(P2)方位角与边长必须输入\n");
  EXPECT_EQ(t.Cell(2, 4), "0.0000");
  EXPECT_EQ(t.Cell(3, 4), "");
  EXPECT_EQ(t.Cell(4, 4), "");
  EXPECT_FALSE(t.view.m_bComputeOk);

  t.Compute("ZHDX", {"K1,90,100,,", "P2,,,,"});
  EXPECT_EQ(t.Message(), "第一点应为已知点，必须输入坐标。");
  t.Compute("ZHDX", {"K1,,,0,0"});
  EXPECT_EQ(t.Message(), "数据太少，无法计算。");
}

TEST(OpenTraverseTool, ALegTypedOnTheLastNamedRowIsComputed) {
  ToolTable t;
  t.Load("ZHDX", {});
  using toolstest::Type;
  Type(t.view, 1, 1, "K1");
  Type(t.view, 1, 2, "90");
  Type(t.view, 1, 3, "100");
  Type(t.view, 1, 4, "0");
  Type(t.view, 1, 5, "0");
  Type(t.view, 2, 1, "P2");
  ASSERT_EQ(t.view.GetRowCount(), 3);
  Type(t.view, 2, 2, "0");
  Type(t.view, 2, 3, "50");
  t.messages.Clear();
  t.view.OnCompute();
  EXPECT_EQ(t.Message(), "");
  ASSERT_EQ(t.view.GetRowCount(), 3);
  EXPECT_EQ(t.Cell(2, 5), "100.0000");
  EXPECT_EQ(t.Cell(3, 4), "50.0000");
  EXPECT_EQ(t.Cell(3, 5), "100.0000");
  EXPECT_TRUE(t.view.m_bComputeOk);

  // A single known row with its leg computes its end point; half a leg on the last
  // row is refused by its row, not dropped.
  struct Case {
    std::vector<std::string> rows;
    std::string message;
  };
  const Case cases[] = {
      {{"K1,90,100,0,0"}, ""},
      {{"K1,90,100,0,0", "P2,45,,,"}, "第2行(P2)方位角与边长必须输入\n"},
      {{"K1,90,100,0,0", "P2,,30,,"}, "第2行(P2)方位角与边长必须输入\n"},
  };
  for (const Case& c : cases) {
    t.Compute("ZHDX", c.rows);
    EXPECT_EQ(t.Message(), c.message) << c.rows.back();
    EXPECT_EQ(t.Cell(2, 5), "100.0000") << c.rows.back();
    EXPECT_EQ(t.view.m_bComputeOk, c.message.empty()) << c.rows.back();
  }
}

TEST(OpenTraverseTool, AnEditEmptiesThePointsAfterIt) {
  ToolTable t;
  t.Compute("ZHDX", {"K1,90,100,0,0", "P2,0,50,,", "P3,90,10,,", "P4,,,,"});
  ASSERT_EQ(t.Cell(4, 5), "110.0000");
  toolstest::Type(t.view, 2, 3, "60");
  EXPECT_EQ(t.Cell(2, 5), "100.0000");  // from the first leg, still right
  EXPECT_EQ(t.Cell(3, 4), "");
  EXPECT_EQ(t.Cell(4, 5), "");
  EXPECT_FALSE(t.view.m_bComputeOk);
  t.view.OnCompute();
  EXPECT_EQ(t.Cell(3, 4), "60.0000");
}

TEST(OpenTraverseTool, AnEmptyStoreOpensWithTwoRows) {
  ToolTable t;
  t.Load("ZHDX", {});
  EXPECT_EQ(t.view.GetRowCount(), 2);
  EXPECT_FALSE(t.view.IsCellLocked(1, 4));
  EXPECT_TRUE(t.view.IsCellLocked(2, 4));
  // Azimuth and length stand between two points.
  EXPECT_TRUE(t.view.GetColumnStagger(2));
  EXPECT_TRUE(t.view.GetColumnStagger(3));
  EXPECT_FALSE(t.view.GetColumnStagger(4));
}

TEST(OpenTraverseTool, OnlyTheFirstRowRefillsItsCoordinates) {
  ToolTable t;
  t.Load("ZHDX", {"K1,90,100,1,2", "P2,0,50,7,8", "P3"});
  EXPECT_EQ(toolstest::Row(t.view, 1), (std::vector<std::string>{"K1", "90", "100", "1", "2"}));
  EXPECT_EQ(toolstest::Row(t.view, 2), (std::vector<std::string>{"P2", "0", "50", "", ""}));
  EXPECT_EQ(toolstest::Row(t.view, 3), (std::vector<std::string>{"P3", "", "", "", ""}));
}

}  // namespace
