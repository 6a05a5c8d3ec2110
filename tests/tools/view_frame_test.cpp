// The frame every tool shares: table from store and back, clearing results, the
// compute flag, messages, settings dialog round trip, bar layout, reset values.
#include <gtest/gtest.h>

#include <set>

#include "platform/fake_ports.h"
#include "tests/tools/tools_test_util.h"
#include "tools/tool_codes.h"
#include "tools/tool_plugin.h"

using namespace tools;
using toolstest::Row;
using toolstest::Type;

namespace {

struct ViewFixture : ::testing::Test {
  ViewFixture() {
    view.OnInitialUpdate();
    view.SetViewPorts(&ports);
    view.ResetToDefaults();
  }
  platform::FakeMessagePort messages;
  toolstest::FakeToolPorts ports;
  toolstest::SwitchFrame frame;
  CAuxView view;
};

TEST(ToolTable, CodesStoresAndBlocksAreOneEach) {
  std::set<std::string> codes, blocks;
  std::set<int> stores, items;
  for (const ToolInfo& t : kToolTable) {
    EXPECT_TRUE(codes.insert(t.code).second) << t.code;
    EXPECT_TRUE(blocks.insert(t.block).second) << t.block;
    EXPECT_TRUE(stores.insert(t.store).second) << t.code;
    EXPECT_TRUE(items.insert(t.item).second) << t.code;
    EXPECT_NE(t.store, kStoreFourCommonPoints);
    EXPECT_NE(t.store, kStoreSevenCommonPoints);
    EXPECT_LE(t.inputs, t.cols) << t.code;
    EXPECT_EQ(FindTool(t.code), &t);
    EXPECT_EQ(ToolOfStore(t.store), &t);
  }
  EXPECT_EQ(stores.size() + 2, static_cast<std::size_t>(kStoreCount));
  EXPECT_EQ(FindTool(""), nullptr);
  EXPECT_EQ(FindTool("gszhsh"), nullptr);
}

TEST(ToolTable, RegisteredLayoutsMatchTheTable) {
  CAuxView v;
  v.m_nDetailMode = 0;  // the table counts the detail survey's 10-column layout
  for (const std::string& code : Tools().Codes()) {
    const ToolInfo* t = FindTool(code);
    ASSERT_NE(t, nullptr) << code;
    const auto cols = Tools().Find(code)->layout(v);
    EXPECT_EQ(static_cast<int>(cols.size()), t->cols) << code;
    for (int j = 0; j < t->cols; ++j) {
      // Result columns take no typed filter; the view locks them.
      if (j >= t->inputs) {
        EXPECT_EQ(cols[static_cast<std::size_t>(j)].inputType, 7) << code << " col " << j + 1;
      }
    }
  }
}

TEST_F(ViewFixture, StoreOfSLinesShowsSPlusOneRowsAndStoresBackTheSame) {
  view.m_stores[kStoreGszhsh] = {"A,30.3000,114.2000", "B,,114.1000", ",,115"};
  ASSERT_TRUE(view.ShowTool(ToolCode::GSZHSH));
  EXPECT_EQ(ports.shown, 1);
  ASSERT_EQ(view.GetRowCount(), 4);
  EXPECT_EQ(view.GetColCount(), 5);
  EXPECT_EQ(view.m_nInputCols, 3);
  EXPECT_EQ(view.GetTitle(), "高斯投影正算");
  EXPECT_EQ(Row(view, 2), (std::vector<std::string>{"B", "", "114.1000", "", ""}));
  EXPECT_EQ(Row(view, 4), (std::vector<std::string>{"", "", "", "", ""}));
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 3; ++c) EXPECT_FALSE(view.IsCellLocked(r, c)) << r << "," << c;
    for (int c = 4; c <= 5; ++c) EXPECT_TRUE(view.IsCellLocked(r, c)) << r << "," << c;
  }
  const auto before = view.m_stores[kStoreGszhsh];
  ASSERT_TRUE(view.StoreGridToData());
  EXPECT_EQ(view.m_stores[kStoreGszhsh], before);
}

TEST_F(ViewFixture, TypingIntoTheLastRowAppendsOne) {
  view.ShowTool(ToolCode::GSZHSH);
  ASSERT_EQ(view.GetRowCount(), 1);
  Type(view, 1, 1, "P1");
  EXPECT_EQ(view.GetRowCount(), 2);
  EXPECT_FALSE(view.IsCellLocked(2, 2));
  EXPECT_GE(ports.modified, 1);
}

TEST_F(ViewFixture, SwitchingToolsKeepsRowsButNotResults) {
  view.m_stores[kStoreGszhsh] = {"A,30,114.3"};
  view.m_stores[kStoreGsfsh] = {"B,3300000,500000"};
  view.ShowTool(ToolCode::GSZHSH);
  view.OnCompute();
  EXPECT_FALSE(view.GetCellText(1, 4).empty());
  EXPECT_EQ(view.GetRowCount(), 1);  // the computation dropped the empty row
  Type(view, 1, 1, "A");              // opening the last row appends one
  EXPECT_EQ(view.GetRowCount(), 2);
  Type(view, 2, 1, "C");
  view.ShowTool(ToolCode::GSFSH);
  EXPECT_EQ(view.GetCellText(1, 1), "B");
  view.ShowTool(ToolCode::GSZHSH);
  EXPECT_EQ(view.GetRowCount(), 3);
  EXPECT_EQ(view.GetCellText(2, 1), "C");
  EXPECT_EQ(view.GetCellText(1, 4), "");
  EXPECT_EQ(view.m_stores[kStoreGszhsh], (std::vector<std::string>{"A,30,114.3", "C,,"}));
}

TEST_F(ViewFixture, OnlyTheOneTrailingEmptyRowIsDropped) {
  struct Case {
    std::vector<std::vector<std::string>> rows;  // cells 1..3 of every row
    std::vector<std::string> stored;
  };
  const Case cases[] = {
      {{{"", "", ""}}, {}},
      {{{"A", "1", "2"}, {"", "", ""}}, {"A,1,2"}},
      {{{"A", "1", "2"}, {"", "", "9"}}, {"A,1,2", ",,9"}},              // input only in the last column
      {{{"A", "1", "2"}, {"", "", ""}, {"", "", ""}}, {"A,1,2", ",,"}},  // n-1 commas
  };
  for (const Case& c : cases) {
    view.ShowTool("");
    view.m_stores[kStoreGszhsh].clear();
    view.ShowTool(ToolCode::GSZHSH);
    view.SetRowCount(static_cast<int>(c.rows.size()));
    for (std::size_t r = 0; r < c.rows.size(); ++r)
      for (int j = 0; j < 3; ++j) view.SetCellText(static_cast<int>(r) + 1, j + 1, c.rows[r][static_cast<std::size_t>(j)]);
    EXPECT_TRUE(view.StoreGridToData());
    EXPECT_EQ(view.m_stores[kStoreGszhsh], c.stored);
  }
  // The kept row of commas goes at the next computation.
  view.OnCompute();
  EXPECT_EQ(view.GetRowCount(), 1);
  EXPECT_EQ(view.m_stores[kStoreGszhsh], (std::vector<std::string>{"A,1,2"}));
}

TEST_F(ViewFixture, ComputeOnEmptyRowsLeavesOneRowAndNoMessage) {
  view.m_stores[kStoreGszhsh] = {",,", ",,"};
  view.ShowTool(ToolCode::GSZHSH);
  view.OnCompute();
  EXPECT_EQ(view.GetRowCount(), 1);
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_FALSE(view.m_bComputeOk);
  EXPECT_FALSE(view.IsCellLocked(1, 1));
}

TEST_F(ViewFixture, ComputeSetsTheFlagAndAnEditClearsIt) {
  view.m_stores[kStoreGszhsh] = {"A,30,114.3", "B,31,114.1"};
  view.ShowTool(ToolCode::GSZHSH);
  view.OnCompute();
  ASSERT_TRUE(view.m_bComputeOk);
  const std::string bx = view.GetCellText(2, 4);
  ASSERT_FALSE(bx.empty());
  Type(view, 1, 2, "32");
  EXPECT_FALSE(view.m_bComputeOk);
  EXPECT_EQ(view.GetCellText(1, 4), "");  // stale result gone
  EXPECT_EQ(view.GetCellText(2, 4), bx);  // the untouched row keeps its result
  Type(view, 2, 1, "B2");                 // the name is input too
  EXPECT_EQ(view.GetCellText(2, 4), "");
}

TEST_F(ViewFixture, DrawingButtonSwitchesOnlyAfterAClearComputation) {
  view.m_stores[kStoreGszhsh] = {"A,30,114.3"};
  view.ShowTool(ToolCode::GSZHSH);
  EXPECT_TRUE(view.FindButton(table::ID_SWITCH_DRAWING)->visible);
  view.OnCommand(table::ID_SWITCH_DRAWING);
  EXPECT_EQ(frame.switched, 1);
  // A custom ellipsoid that cannot exist: one message, no results, no switch.
  view.m_nCoordSystem = 0;
  view.m_dEllipsoidA = -5;
  view.OnCommand(table::ID_SWITCH_DRAWING);
  EXPECT_EQ(frame.switched, 1);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(view.GetCellText(1, 4), "");
}

TEST_F(ViewFixture, UnknownCodeLeavesNoCurrentTool) {
  view.m_stores[kStoreGszhsh] = {"A,30,114.3"};
  view.ShowTool(ToolCode::GSZHSH);
  EXPECT_FALSE(view.ShowTool("NOSUCH"));
  EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"未知的数据类型"}));
  EXPECT_EQ(view.m_strToolCode, "");
  EXPECT_EQ(view.GetRowCount(), 0);
  EXPECT_FALSE(view.StoreGridToData());
  view.OnCompute();  // nothing current: nothing happens
  EXPECT_EQ(view.m_stores[kStoreGszhsh], (std::vector<std::string>{"A,30,114.3"}));
}

TEST_F(ViewFixture, SettingsDialogOkWritesBackAndRecomputes) {
  view.m_stores[kStoreGszhsh] = {"A,30,114.3"};
  view.ShowTool(ToolCode::GSZHSH);
  ports.edit = [](CAuxSetForm& f) { f.meridian1 = 117; };
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(ports.lastPage, kPageGauss);
  EXPECT_DOUBLE_EQ(view.m_dMeridian1, 117);
  EXPECT_TRUE(view.m_bComputeOk);
  EXPECT_EQ(view.GetSignatureText(2), "中央子午线经度：117 00 00");
  const int modified = ports.modified;
  ports.answer = false;
  ports.edit = [](CAuxSetForm& f) { f.meridian1 = 120; };
  view.OnCommand(table::ID_SCHEME);
  EXPECT_DOUBLE_EQ(view.m_dMeridian1, 117);
  EXPECT_EQ(ports.modified, modified);
}

TEST_F(ViewFixture, PagesFollowTheTool) {
  const std::pair<const char*, int> cases[] = {
      {ToolCode::XYZTOBLH, 10}, {ToolCode::BLHTOXYZ, 10}, {ToolCode::GSZHSH, 11}, {ToolCode::GSFSH, 11},
      {ToolCode::ZBHD1, 12},    {ToolCode::ZBHD2, 12},    {ToolCode::FXBCHGH, 13}, {ToolCode::SJGCH, 14},
      {ToolCode::ZBZHH4CSH, 15}, {ToolCode::ZBZHH7CSH, 16}, {ToolCode::JZB, -1},  {"", -1}};
  for (const auto& [code, page] : cases) EXPECT_EQ(AuxSetPageOf(code), page) << code;
}

TEST_F(ViewFixture, BarButtonsInOneRow) {
  struct Case {
    int width, rowHeight, charHeight, pitch;
  };
  // pitch = min(h + 4c + 12, (width - 10) / 10), at least h
  const Case cases[] = {{2000, 22, 12, 82}, {610, 22, 12, 60}, {100, 22, 12, 22}};
  for (const Case& c : cases) {
    view.SetBarMetrics(c.rowHeight, c.charHeight);
    view.OnSize(c.width, 400);
    const int order[] = {1108, 1007, 1019, 1021, 1020, 1130, 1022, 1133, 1225, 1226};
    for (int k = 0; k < 10; ++k) {
      const table::CBarButton* b = view.FindButton(order[k]);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->x, 2 + k * c.pitch) << c.width << " button " << order[k];
      EXPECT_EQ(b->x + b->width, (k + 1) * c.pitch);
    }
  }
  EXPECT_FALSE(view.FindButton(table::ID_CUSTOM)->visible);
  EXPECT_EQ(view.FindButton(table::ID_SCHEME)->tip, "计算方案");
  ASSERT_EQ(view.GetHeaderChoices().size(), 22u);
  EXPECT_EQ(view.GetHeaderChoices()[1], "　　　公路　　　段");
  EXPECT_EQ(view.GetHeaderChoices()[21].substr(0, std::string("日期：20").size()), "日期：20");
}

TEST_F(ViewFixture, ResetRestoresTheNewJob) {
  view.m_stores[kStoreZhdx] = {"1,2,3,4,5"};
  view.ShowTool(ToolCode::GSZHSH);
  view.m_nCoordSystem = 4;
  view.m_dFourParams = {1, 2, 3, 4};
  view.m_nCoordDecimals = 2;
  view.m_bShowDot = false;
  view.SetHeaderText(0, "工程名称：常用工具示例");
  view.SetHeaderText(10, "复核：张三");
  view.m_nLinesAbove = 3;
  view.m_nLineBelow = 0;
  view.ResetToDefaults();
  EXPECT_EQ(view.GetHeaderText(0), "工程名称：");
  EXPECT_EQ(view.GetHeaderText(10), "复核：");
  EXPECT_EQ(view.m_nLinesAbove, 1);
  EXPECT_EQ(view.m_nLineBelow, 1);
  EXPECT_EQ(view.m_strToolCode, "");
  EXPECT_EQ(view.GetRowCount(), 0);
  EXPECT_EQ(view.m_nCoordSystem, 2);
  EXPECT_DOUBLE_EQ(view.m_dMeridian1, 114);
  EXPECT_DOUBLE_EQ(view.m_dMeridian2, 111);
  EXPECT_DOUBLE_EQ(view.m_dRefraction, 0.14);
  EXPECT_DOUBLE_EQ(view.m_dEllipsoidInvF, 298.257222101);
  EXPECT_EQ(view.m_dFourParams, (std::array<double, 4>{}));
  EXPECT_EQ(view.m_nCoordDecimals, 4);
  EXPECT_EQ(view.m_nAngleDecimals, 1);
  EXPECT_EQ(view.m_nChainageDecimals, 3);
  EXPECT_TRUE(view.m_bPadRows);
  EXPECT_TRUE(view.m_bShowDot);
  EXPECT_EQ(view.m_nDetailMode, 1);
  for (const auto& s : view.m_stores) EXPECT_TRUE(s.empty());
}

}  // namespace
