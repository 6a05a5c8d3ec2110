// Text that is no number in a cell a tool reads: from a job file, a paste or a
// script that writes "nan" for blanks. Every tool refuses the table by row and field
// instead of computing on 0 or on the first digits; an empty optional cell still
// means what it meant.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_rows.h"

using toolstest::ToolTable;

namespace {

struct Case {
  const char* code;
  std::vector<std::string> rows;  // "{}" marks the cell under test in row 1
  const char* field;              // its name in the message
  bool angle = false;
};

std::string Fill(std::string row, const std::string& text) {
  const std::size_t at = row.find("{}");
  return row.replace(at, 2, text);
}

TEST(ToolInput, NonNumbersAreRefusedByRowAndField) {
  const Case cases[] = {
      {"PMZBZHSH", {"K1,{},0,,30,100,,P1"}, "起点X"},
      {"PMZBZHSH", {"K1,0,0,{},30,100,1,P1"}, "起点H"},
      {"PMZBZHSH", {"K1,0,0,,30,{},,P1"}, "边长"},
      {"PMZBZHSH", {"K1,0,0,,{},100,,P1"}, "方位角", true},
      {"PMZBFSH", {"K1,0,0,,P1,10,{},"}, "终点Y"},
      {"JZB", {"0,0,{},0,P1,10,10"}, "后视点X"},
      {"ZBXZH", {"0,0,30,P1,{},10"}, "旋转前坐标X"},
      {"ZBXZH", {"0,0,{},P1,10,10"}, "旋转角度", true},
      {"JJZHJ", {"{},0,10,0,10,10"}, "点AX"},
      {"SJGCH", {"A,B,5,{},1.5,2"}, "斜距"},
      {"SJGCH", {"A,B,5,100,{},2"}, "仪高"},
      {"SJGCH", {"A,B,{},100,1.5,2"}, "垂直角", true},
      {"MJJSH", {"a,{},0", "b,10,0", "c,10,10"}, "坐标X"},
      {"ZHDX", {"K1,90,{},0,0", "P2,,,,"}, "边长"},
      {"ZHDX", {"K1,90,100,{},0", "P2,,,,"}, "坐标X"},
      {"QFJH", {"{},0,45,100,0,45"}, "A点X"},
      {"CFJH", {"0,0,,100,0,45,{}"}, "角P", true},
      {"FWJH", {"0,0,315,100,{},225"}, "B点Y"},
      {"BCHJH", {"0,0,{},100,0,70"}, "AP边长"},
      {"HFJH", {"100,0,0,100,{},0,90,90"}, "C点X"},
      {"BJHFJH", {"0,0,70,100,0,{},90"}, "BP距离"},
      {"SBCLDATA", {"a,90,{},2,1.2"}, "平距"},
      {"SBCLDATA", {"a,90,100,{},1.2"}, "高差"},
      {"XYZTOBLH", {"a,{},5000000,3000000"}, "空间直角坐标X"},
      {"BLHTOXYZ", {"a,30,114,{}"}, "大地坐标大地高"},
      {"GSFSH", {"a,3300000,{}"}, "高斯平面坐标y"},
      {"GSZHSH", {"a,{},114"}, "大地坐标纬度", true},
      {"ZBHD2", {"a,3300000,500000,{}"}, "换带前大地高"},
      {"FXBCHGH", {"0,0,10,100,100,10,{}"}, "观测边长"},
      {"ZBZHH4CSH", {"a,{},0"}, "转换前坐标X"},
      {"ZBZHH7CSH", {"a,1,2,{}"}, "转换前坐标Z"},
  };
  const char* texts[] = {"nan", "inf", "-Infinity", "1e309", "abc", "12X3", "1.2.3", "-"};
  for (const Case& c : cases) {
    for (const char* text : texts) {
      ToolTable t;
      t.view.m_strStation = "K1";
      t.view.m_dBacksightX = 100;
      t.view.m_dFourParams = {0, 0, 0, 1};
      t.view.m_dSevenParams = {1, 0, 0, 0, 0, 0, 0};
      std::vector<std::string> rows = c.rows;
      rows[0] = Fill(rows[0], text);
      t.Compute(c.code, rows);
      const std::string what = c.angle ? "不是有效的角度\n" : "不是数字\n";
      EXPECT_EQ(t.Message(), std::string("第1行的") + c.field + what) << c.code << " " << rows[0];
      EXPECT_FALSE(t.view.m_bComputeOk) << c.code << " " << rows[0];
      // Nothing was computed: no result cell holds text.
      for (int r = 1; r <= t.view.GetRowCount(); ++r)
        for (int col = t.view.m_nInputCols + 1; col <= t.view.GetColCount(); ++col)
          EXPECT_EQ(t.Cell(r, col), "") << c.code << " " << rows[0] << " (" << r << "," << col << ")";
      EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddControlPoint), 0) << c.code;
    }
  }
}

TEST(ToolInput, EveryFaultyCellIsNamedAndValidTextStillComputes) {
  ToolTable t;
  t.Compute("QFJH", {"0,0,45,100,0,45", "abc,0,45,100,nan,45", " 0 , 0 ,45, 100 ,0,45"});
  EXPECT_EQ(t.Message(), "第2行的A点X不是数字\n第2行的B点Y不是数字\n");
  EXPECT_EQ(t.Cell(1, 7), "");
  // Blanks around a number, an empty optional elevation, signed and d m s angles read.
  t.Compute("PMZBZHSH", {"K1, 10 ,20,,-30 00 00,100,,P1", "K2,0,0,100,45.3,50,-2,P2"});
  EXPECT_EQ(t.Message(), "");
  EXPECT_NE(t.Cell(1, 9), "");
  EXPECT_EQ(t.Cell(1, 11), "");
  EXPECT_EQ(t.Cell(2, 11), "98.0000");
  EXPECT_TRUE(t.view.m_bComputeOk);
}

}  // namespace
