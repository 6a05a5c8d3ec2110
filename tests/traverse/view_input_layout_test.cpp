// The data-input tables: layouts per traverse type and which cells accept typing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "traverse/view/dx_view_input.h"

namespace t = traverse;

namespace {

// One string per row, one character per column: '#' locked, '.' open.
std::vector<std::string> Pattern(int type, int rows) {
  std::vector<std::string> out;
  for (const auto& row : t::InputLockPattern(type, rows)) {
    std::string s;
    for (bool locked : row) s += locked ? '#' : '.';
    out.push_back(s);
  }
  return out;
}

}  // namespace

// Columns: 点名 角度 边长 高差 权 X Y H 备注 (coordinate traverse: 点名, observed X Y H,
// 距离, known X Y H, 备注).
TEST(InputLockTest, PatternsPerType) {
  struct Case {
    int type, rows;
    std::vector<std::string> pattern;
  };
  const Case cases[] = {
      // Closed/connecting: orientation row, start, unknown points, end, orientation row.
      {0, 7, {".####..#.", ".........", ".....###.", ".....###.", ".....###.", "..###....", ".####..#."}},
      // No-orientation: known start and end with heights, unknown points between.
      {1, 5, {".#.......", ".....###.", ".....###.", ".....###.", ".####...."}},
      // Open: orientation row, known start, then the unknown points.
      {2, 5, {".####....", ".........", ".....###.", ".....###.", ".#######."}},
      // Network: every point may be known; no leg from the last row.
      {3, 4, {".#.......", ".........", ".........", ".####...."}},
      // Coordinate traverse: known start (no observed values), observed points, known end.
      {4, 5, {".###.....", ".....###.", ".....###.", ".....###.", "........."}},
      // Levelling: everything open.
      {5, 3, {"......", "......", "......"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Pattern(c.type, c.rows), c.pattern) << "type " << c.type;
}

TEST(InputLockTest, MinimumRows) {
  EXPECT_EQ(t::MinimumInputRows(0), 5);
  for (int type = 1; type < 6; ++type) EXPECT_EQ(t::MinimumInputRows(type), 3);
}

TEST(InputLayoutTest, TitlesHeadersAndFilters) {
  struct Case {
    int type, weight, unit;
    const char* title;
    int columns;
    const char* col5line1;
    const char* col5line2;
    int col5filter;
  };
  const Case cases[] = {
      {0, 0, 0, "闭、附合导线数据输入", 9, "高程测段", "长(m)", 3},
      {1, 0, 1, "无定向导线数据输入", 9, "高程测段", "长(km)", 3},
      {2, 1, 0, "支导线数据输入", 9, "测站数", "", 1},
      {3, 0, 0, "特殊导线或网数据输入", 9, "高程测段", "长(m)", 3},
      {4, 0, 0, "坐标导线数据输入", 9, "距离", "( m )", 3},
      {5, 0, 0, "单面单程水准测量数据输入", 6, "已知高程", "( m )", 4},
  };
  for (const Case& c : cases) {
    t::InputLayout l = t::InputLayoutFor(c.type, c.weight, c.unit);
    EXPECT_EQ(l.title, c.title);
    ASSERT_EQ(static_cast<int>(l.columns.size()), c.columns);
    EXPECT_EQ(l.columns[4].header1, c.col5line1) << c.type;
    EXPECT_EQ(l.columns[4].header2, c.col5line2) << c.type;
    EXPECT_EQ(l.columns[4].filter, c.col5filter) << c.type;
    EXPECT_EQ(l.columns[0].header1, "点名");
  }
  // Staggered columns: side, height difference and weight of the traverse layout; the
  // distance of the coordinate traverse; none in levelling.
  auto staggered = [](int type) {
    std::string s;
    for (const auto& c : t::InputLayoutFor(type, 0, 0).columns) s += c.stagger ? 'S' : '-';
    return s;
  };
  EXPECT_EQ(staggered(0), "--SSS----");
  EXPECT_EQ(staggered(4), "----S----");
  EXPECT_EQ(staggered(5), "------");
  t::InputLayout l0 = t::InputLayoutFor(0, 0, 0);
  EXPECT_EQ(l0.columns[1].header2, "(°' \")");
  EXPECT_EQ(l0.columns[1].filter, 6);
  EXPECT_EQ(l0.columns[5].header1, "坐标");
  EXPECT_EQ(l0.columns[5].span, 2);
  EXPECT_EQ(l0.columns[3].filter, 4);
  EXPECT_EQ(t::InputLayoutFor(5, 0, 0).columns[1].span, 3);
  EXPECT_EQ(t::InputLayoutFor(4, 0, 0).columns[0].tip, "输入未知点|1|输入已知点|-1|输入已知点");
}

TEST(InputTipsTest, OrientationTipsOfTheClosedTraverse) {
  auto tips = t::InputTips(0, 0);
  std::string x, y;
  for (auto& [col, tip] : tips) {
    if (col == 6) x = tip;
    if (col == 7) y = tip;
  }
  // Seven tabs and a blank before the marker of row 2.
  EXPECT_NE(x.find("注意方位角的方向性\t\t\t\t\t\t\t |2|输入起点坐标X|-1|"), std::string::npos);
  EXPECT_NE(x.find("|-2|输入终点坐标X，与起点为同一点的闭合导线可不输"), std::string::npos);
  EXPECT_EQ(x.rfind("|1|定向点坐标X。", 0), 0u);
  // Y in the same three places.
  std::string expectY = x;
  for (auto p = expectY.find("坐标X"); p != std::string::npos; p = expectY.find("坐标X", p)) expectY.replace(p, 7, "坐标Y");
  EXPECT_EQ(y, expectY);
  // Column 5 by stations.
  bool stations = false;
  for (auto& [col, tip] : t::InputTips(1, 1)) stations |= col == 5 && tip == "输入水准观测站数";
  EXPECT_TRUE(stations);
  EXPECT_TRUE(t::InputTips(4, 0).empty());
}

TEST(InputTipsTest, TrigonometricWeightFollowsTheSide) {
  struct Case {
    int type, route, unit;
    const char* distance;
    const char* dh;
    bool follows;
    const char* weight;
  };
  const Case cases[] = {
      {0, 1, 1, "1234.56", "1.2", true, "1.235"},   // km, 3 decimals
      {0, 1, 0, "1234.56", "1.2", true, "1234.56"}, // metres as typed
      {2, 1, 1, "1234.56", "", true, ""},           // no height difference: emptied
      {1, 1, 0, "", "1.2", false, ""},              // no side: the weight stays free
      {0, 0, 0, "1234.56", "1.2", false, ""},       // levelling
      {3, 1, 0, "1234.56", "1.2", false, ""},       // networks keep their own weights
  };
  for (const Case& c : cases) {
    std::string w = "untouched";
    EXPECT_EQ(t::TrigWeightFollowsDistance(c.type, c.route, c.unit, c.distance, c.dh, &w), c.follows);
    if (c.follows) {
      EXPECT_EQ(w, c.weight);
    }
  }
}
