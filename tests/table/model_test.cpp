// The table model: building tables, rows, cell formatting, headers and tips.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "table_fixture.h"

using tabletest::CountingView;

namespace {
constexpr double kPi = 3.14159265358979;
}

TEST(TableModel, NewTableGivesEmptyLockedCellsAndKeepsViewSettings) {
  CountingView v;
  v.OnInitialUpdate();
  v.m_nAngleUnit = 1;
  v.m_nDistDecimals = 4;
  ASSERT_TRUE(v.NewTable(5, 3, "导线计算表", true));
  EXPECT_EQ(v.GetRowCount(), 5);
  EXPECT_EQ(v.GetColCount(), 3);
  EXPECT_EQ(v.GetTitle(), "导线计算表");
  EXPECT_EQ(v.GetColumnHeaderLines(), 2);
  EXPECT_EQ(v.GetUndoCount(), 0);
  EXPECT_EQ(v.GetUndoIndex(), -1);
  for (int r = 1; r <= 5; ++r)
    for (int c = 1; c <= 3; ++c) {
      EXPECT_EQ(v.GetCellText(r, c), "");
      EXPECT_TRUE(v.IsCellLocked(r, c));
    }
  EXPECT_EQ(v.m_nAngleUnit, 1);
  EXPECT_EQ(v.m_nDistDecimals, 4);
  EXPECT_EQ(v.changed, 0) << "building a table is not a user change";
}

TEST(TableModel, NewTableWithoutRowsOrColumnsLeavesAnEmptyTable) {
  CountingView v;
  EXPECT_FALSE(v.NewTable(0, 3, "x", true));
  EXPECT_EQ(v.GetRowCount(), 0);
  EXPECT_EQ(v.GetColCount(), 0);
  EXPECT_FALSE(v.NewTable(3, 0, "x", true));
  EXPECT_FALSE(v.SetRowCount(4)) << "no columns: nothing to grow";
  EXPECT_EQ(v.GetRowCount(), 0);
}

TEST(TableModel, SetRowCountKeepsLeadingRowsAndAddsLockedOnes) {
  CountingView v;
  v.NewTable(5, 2, "", true);
  for (int r = 1; r <= 5; ++r) {
    v.SetCellText(r, 1, "P" + std::to_string(r));
    v.SetCellLocked(r, 1, false);
  }
  ASSERT_TRUE(v.SetRowCount(8));
  EXPECT_EQ(v.GetRowCount(), 8);
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(v.GetCellText(r, 1), "P" + std::to_string(r));
  for (int r = 6; r <= 8; ++r) {
    EXPECT_EQ(v.GetCellText(r, 1), "");
    EXPECT_TRUE(v.IsCellLocked(r, 1));
  }
  ASSERT_TRUE(v.SetRowCount(2));
  EXPECT_EQ(v.GetRowCount(), 2);
  EXPECT_EQ(v.GetCellText(2, 1), "P2");
  EXPECT_THROW(v.GetCellText(3, 1), std::out_of_range);
}

TEST(TableModel, InsertAndDeleteRows) {
  CountingView v;
  v.NewTable(3, 1, "", true);
  for (int r = 1; r <= 3; ++r) v.SetCellText(r, 1, std::string(1, char('A' + r - 1)));
  EXPECT_EQ(v.InsertRow(2), 4);
  EXPECT_EQ(v.GetCellText(1, 1), "A");
  EXPECT_EQ(v.GetCellText(2, 1), "");
  EXPECT_EQ(v.GetCellText(3, 1), "B");
  EXPECT_EQ(v.InsertRow(-1), 5);
  EXPECT_EQ(v.GetCellText(5, 1), "");
  EXPECT_EQ(v.GetCellText(4, 1), "C");
  EXPECT_EQ(v.DeleteRow(-1), 4);
  EXPECT_EQ(v.DeleteRow(2), 3);
  EXPECT_EQ(v.GetCellText(2, 1), "B");
  EXPECT_THROW(v.DeleteRow(9), std::out_of_range);
}

TEST(TableModel, IndicesOutsideTheTableThrow) {
  CountingView v;
  v.NewTable(2, 2, "", true);
  EXPECT_THROW(v.SetCellText(3, 1, "x"), std::out_of_range);
  EXPECT_THROW(v.SetCellText(1, 3, "x"), std::out_of_range);
  EXPECT_THROW(v.SetCellText(-1, 1, "x"), std::out_of_range);
  EXPECT_THROW(v.SetColumnHeader(3, "a", "b"), std::out_of_range);
  EXPECT_NO_THROW(v.SetColumnHeader(0, "a", "b"));
  EXPECT_FALSE(v.GetColumnStagger(7));
}

struct DoubleCase {
  double value;
  int decimals;
  bool showSign;
  const char* text;
};

TEST(TableModel, SetCellDoubleFormatsLikePrintf) {
  const DoubleCase cases[] = {
      {-0.0004, 3, false, "0.000"},  // a value rounding to zero is shown without a sign
      {-0.0004, 3, true, "+0.000"},   // as an exact zero is
      {-0.06, 1, false, "-0.1"},
      {0.5, 2, true, "+0.50"},
      {3.0, 2, true, "+3.00"},
      {-1.25, 1, true, "-1.2"},       // exact tie goes to even, as printf
      {1234.5678, 3, false, "1234.568"},
      {2.5, 0, false, "2"},
      {3512345.6789, 4, false, "3512345.6789"},
      {0.0, 3, false, "0.000"},
      // An overflowed or undefined result leaves the cell empty.
      {std::numeric_limits<double>::infinity(), 3, false, ""},
      {-std::numeric_limits<double>::infinity(), 2, true, ""},
      {std::numeric_limits<double>::quiet_NaN(), 3, true, ""},
  };
  CountingView v;
  v.NewTable(1, 1, "", true);
  for (const auto& c : cases) {
    v.SetCellDouble(1, 1, c.value, c.decimals, c.showSign);
    EXPECT_EQ(v.GetCellText(1, 1), c.text) << c.value << " with " << c.decimals;
  }
}

TEST(TableModel, SetCellIntPadsToTheFieldWidth) {
  struct {
    int value, width;
    const char* text;
  } cases[] = {{5, 3, "  5"}, {-12, 0, "-12"}, {1234, 2, "1234"}, {0, 1, "0"}, {-7, 4, "  -7"}};
  CountingView v;
  v.NewTable(1, 1, "", true);
  for (const auto& c : cases) {
    v.SetCellInt(1, 1, c.value, c.width);
    EXPECT_EQ(v.GetCellText(1, 1), c.text);
  }
}

TEST(TableModel, SetCellAngleFollowsTheAngleUnit) {
  // 1 rad = 57°17'44.806"; -90° folds to 270°.
  struct {
    int unit;
    double radians;
    int decimals;
    bool keepSign;
    const char* text;
  } cases[] = {
      {0, 1.0, 1, false, " 57 17 44.8"},
      {0, -kPi / 2, 1, false, "270 00 00.0"},
      {0, -kPi / 180, 1, true, "-  1 00 00.0"},
      {0, 5.125 * kPi / 180, 1, false, "  5 07 30.0"},
      {1, 1.0, 1, false, "57.29578"},
      {1, -kPi / 2, 1, false, "270.00000"},
      {1, -kPi / 2, 1, true, "-90.00000"},
      {2, 1.0, 1, false, "1.0000000"},
      {2, -kPi / 2, 1, false, "4.7123890"},
      {2, -kPi / 2, 0, true, "-1.570796"},
      {0, std::numeric_limits<double>::quiet_NaN(), 1, false, ""},
      {1, std::numeric_limits<double>::infinity(), 1, true, ""},
      {2, -std::numeric_limits<double>::infinity(), 1, false, ""},
  };
  CountingView v;
  v.NewTable(1, 1, "", true);
  for (const auto& c : cases) {
    v.m_nAngleUnit = c.unit;
    v.SetCellAngle(1, 1, c.radians, c.decimals, c.keepSign);
    EXPECT_EQ(v.GetCellText(1, 1), c.text) << "unit " << c.unit << " angle " << c.radians;
  }
}

TEST(TableModel, ColumnHeaderUnitMarksFollowTheAngleUnit) {
  struct {
    int unit;
    const char* line2;
    const char* expected;
  } cases[] = {
      {0, "(°')", "(°')"},
      {1, "(°')", "( °)"},
      {1, "观测角(°' \")", "观测角( °)"},
      {2, "(°')", "(弧度)"},
      {2, "方位角(°' \")", "方位角(弧度)"},
      {2, "(m)", "(m)"},
  };
  CountingView v;
  v.NewTable(1, 1, "", true);
  for (const auto& c : cases) {
    v.m_nAngleUnit = c.unit;
    v.SetColumnHeader(1, "(°')", c.line2, 0, 4);
    EXPECT_EQ(v.GetColumn(1).header2, c.expected);
    EXPECT_EQ(v.GetColumn(1).header1, "(°')") << "line 1 is never rewritten";
  }
}

TEST(TableModel, HeaderLinesGrowAndNeverShrinkUntilNewTable) {
  CountingView v;
  v.NewTable(2, 2, "", true);
  v.SetColumnHeaderLines(1, "三", "");
  EXPECT_EQ(v.GetColumnHeaderLines(), 3);
  v.SetColumnHeaderLines(2, "三", "四");
  EXPECT_EQ(v.GetColumnHeaderLines(), 4);
  v.SetColumnHeaderLines(2, "", "");
  EXPECT_EQ(v.GetColumnHeaderLines(), 4);
  v.NewTable(2, 2, "", true);
  EXPECT_EQ(v.GetColumnHeaderLines(), 2);
}

TEST(TableModel, CellTipsPickTheRowText) {
  struct {
    const char* tip;
    int row;
    const char* expected;
  } cases[] = {
      {"输入未知点|1|输入已知点|-1|输入已知点", 1, "输入已知点"},
      {"输入未知点|1|输入已知点|-1|输入已知点", 3, "输入未知点"},
      {"输入未知点|1|输入已知点|-1|输入已知点", 5, "输入已知点"},  // -1: the last row
      {"默认|2|第二行", 2, "第二行"},
      {"默认|2|第二行", 1, "默认"},
      {"默认|2|第二行", 5, "默认"},
      {"前一行|-2|倒数第二", 4, "倒数第二"},
      {"无标记", 3, "无标记"},
  };
  CountingView v;
  v.NewTable(5, 1, "", true);
  for (const auto& c : cases) {
    v.SetColumnTip(1, c.tip);
    EXPECT_EQ(v.GetCellTip(c.row, 1), c.expected) << c.tip << " row " << c.row;
  }
}

TEST(TableModel, HeaderItemsHaveTheirDefaults) {
  CountingView v;
  EXPECT_EQ(v.GetHeaderText(0), "工程名称：");
  EXPECT_EQ(v.GetHeaderText(2), "第   页  共   页");
  EXPECT_EQ(v.GetHeaderText(9), "计算：");
  EXPECT_EQ(v.GetHeaderText(10), "复核：");
  EXPECT_EQ(v.GetHeaderText(11), "日期：");
  EXPECT_THROW(v.GetHeaderText(12), std::out_of_range);
  v.SetSignatureTexts(5, "备注", "一", "二");
  EXPECT_EQ(v.GetSignatureLines(), 2);
}

TEST(TableModel, ShrinkingClampsCurrentCellAndSelection) {
  CountingView v;
  tabletest::MakeInputTable(v, 8, 3);
  v.SelectCell(8, 3);
  v.SelectCell(6, 1, table::kMouseShift);
  v.SetRowCount(4);
  EXPECT_EQ(v.m_nCurRow, 4);
  EXPECT_EQ(v.m_nSelRow, 4);
  int t, l, b, r;
  ASSERT_TRUE(v.GetSelection(&t, &l, &b, &r));
  EXPECT_LE(b, 4);
  v.DeleteRow(-1);
  v.DeleteRow(-1);
  EXPECT_EQ(v.m_nCurRow, 2);
  EXPECT_NO_THROW(v.OnCopy());
}

TEST(TableModel, SelectCellRefusesCellsOutsideAndShiftMovesOnlyTheCorner) {
  CountingView v;
  v.NewTable(4, 4, "", true);
  EXPECT_FALSE(v.SelectCell(0, 1));
  EXPECT_FALSE(v.SelectCell(5, 1));
  EXPECT_TRUE(v.SelectCell(2, 2));
  EXPECT_TRUE(v.SelectCell(3, 4, table::kMouseShift));
  EXPECT_EQ(v.m_nCurRow, 2);
  EXPECT_EQ(v.m_nSelCol, 4);
  EXPECT_FALSE(v.SelectCell(3, 4, table::kMouseShift)) << "corner already there";
  EXPECT_TRUE(v.IsCellSelected(3, 3));
  EXPECT_FALSE(v.IsCellSelected(1, 3));
}
