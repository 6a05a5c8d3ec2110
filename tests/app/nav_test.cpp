// The navigation trees, the dispatch of a selection to the views, the after-load
// rule and the selection interface: the pane over the views' own trees and item
// meanings, with recording fakes in the views' place.
#include <gtest/gtest.h>

#include "app/doc.h"
#include "app/nav.h"
#include "traverse/codes.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "tests/app/fake_views.h"

namespace {

using apptest::Log;

// "text=code" per item, children indented by two blanks.
std::vector<std::string> Flatten(const app::NavTree& tree, const std::string& indent = "") {
  std::vector<std::string> out;
  for (const auto& it : tree) {
    out.push_back(indent + it.text + "=" + std::to_string(it.code));
    auto sub = Flatten(it.children, indent + "  ");
    out.insert(out.end(), sub.begin(), sub.end());
  }
  return out;
}

class NavTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::CLTView::Targets t{&frame, &recordsNav, &traverseNav, &toolsNav, &help};
    nav.SetTargets(t);
    nav.OnInitialUpdate();
    log.clear();
  }
  Log log;
  apptest::FakeFrame frame{&log};
  apptest::FakeRecords records{&log};
  apptest::FakeTraverse traverse{&log, &frame};
  apptest::FakeTools tools{&log};
  apptest::FakeHelp help{&log};
  records::CRecordsNavSource recordsNav{records};
  traverse::CTraverseNavSource traverseNav{traverse};
  tools::CToolsNavSource toolsNav{tools};
  app::CLTView nav;
};

std::vector<std::string> CustomItems() {
  std::vector<std::string> out{"自定义成果形式=0"};
  for (int i = 0; i < 10; ++i) out.push_back("  自定义表格" + std::to_string(i + 1) + "=" + std::to_string(100 + i));
  return out;
}

TEST(NavTrees, AdjustmentTreePerTraverseType) {
  using V = std::vector<std::string>;
  struct Case {
    int type;
    V before, after;  // items before and after the custom-forms branch
  };
  const Case cases[] = {
      {0,
       {"数据输入=10", "平面计算表=20", "高程计算表=21", "控制点成果表=30", "平差成果表=31", "精度评定=32", "平面查错=40"},
       {"图形=0", "  平面查错图形=90", "  导线图=91", "  展点图=92"}},
      {1,
       {"数据输入=10", "平面计算表=20", "高程计算表=21", "控制点成果表=30", "平差成果表=31", "精度评定=32"},
       {"图形=0", "  导线图=91", "  展点图=92"}},
      {2,
       {"数据输入=10", "平面计算表=20", "高程计算表=21", "控制点成果表=30", "平差成果表=31", "精度评定=32"},
       {"图形=0", "  导线图=91", "  展点图=92"}},
      {3,
       {"数据输入=10", "平面计算表=20", "高程计算表=21", "控制点成果表=30", "平差成果表=31", "精度评定=32"},
       {"图形=0", "  导线图=91", "  展点图=92"}},
      {4, {"数据输入=10", "坐标Pelmor计算表=20", "控制点成果表=30", "平差成果表=31"}, {"图形=0", "  导线图=91", "  展点图=92"}},
      {5, {"数据输入=10", "水准测量记录计算表=21"}, {}},
  };
  Log log;
  apptest::FakeTraverse traverse(&log);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    traverse.type = c.type;
    V expected = c.before;
    for (const auto& s : CustomItems()) expected.push_back(s);
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(Flatten(traverse::BuildTraverseTree(&traverse)), expected);
  }
  // No traverse view yet counts as type 0.
  EXPECT_EQ(Flatten(traverse::BuildTraverseTree(nullptr)).size(), 7u + 11u + 4u);
}

TEST(NavTrees, CustomNamesRecordsPagesToolsAndHelp) {
  Log log;
  apptest::FakeTraverse traverse(&log);
  traverse.names[1] = "坐标成果";
  auto adj = Flatten(traverse::BuildTraverseTree(&traverse));
  EXPECT_NE(std::find(adj.begin(), adj.end(), "  自定义表格1=100"), adj.end());
  EXPECT_NE(std::find(adj.begin(), adj.end(), "  坐标成果=101"), adj.end());

  apptest::FakeRecords records(&log);
  records.pages = {2, 0, 1};
  EXPECT_EQ(Flatten(records::BuildRecordsTree(&records)),
            (std::vector<std::string>{"导线观测记录=0", "  第1页=10", "  第2页=11", "水平角=0", "水准=0", "  第1页=2000",
                                      "边长高差外业成果=10000"}));

  auto toolsTree = tools::BuildToolsTree();
  ASSERT_EQ(toolsTree.size(), 3u);
  EXPECT_EQ(toolsTree[0].text, "常用计算");
  EXPECT_EQ(toolsTree[0].children.size(), 17u);
  EXPECT_EQ(toolsTree[1].children.size(), 6u);
  EXPECT_EQ(toolsTree[2].text, "碎部测量记录");
  EXPECT_EQ(toolsTree[2].code, 300);
  EXPECT_TRUE(toolsTree[0].expanded && toolsTree[1].expanded);

  EXPECT_EQ(Flatten(app::BuildHelpTree()),
            (std::vector<std::string>{"一、功能简介=0", "二、观测记录=0", "二、平差计算=0", "  1、 计算方案=0",
                                      "  2、 数据输入=0", "  3、 计算成果=0", "三、常用工具=0", "四、最近更新=0",
                                      "五、常见问答=0", "八、访问官方网站=0"}));
}

TEST_F(NavTest, AdjustmentDispatch) {
  struct Case {
    int code;
    Log calls;
  };
  const Case cases[] = {
      {10, {"switch 1005", "ShowTable SHUJUSHURU"}}, {20, {"switch 1005", "ShowTable PMJSH"}},
      {21, {"switch 1005", "ShowTable GCHJSH"}},     {30, {"switch 1005", "ShowTable KZD"}},
      {31, {"switch 1005", "ShowTable CHENGGUO"}},   {32, {"switch 1005", "ShowTable JINGDU"}},
      {40, {"switch 1005", "ShowTable SEEKERR"}},    {33, {"switch 1005"}},
      {89, {"switch 1005"}},                         {100, {"switch 1005", "ShowTable CUSTABLE0"}},
      {109, {"switch 1005", "ShowTable CUSTABLE9"}}, {90, {"switch 1008", "DrawErrorSearchDiagram"}},
      {91, {"switch 1008", "DrawTraverseDiagram"}},  {92, {"switch 1008", "DrawPointPlot"}},
      {93, {"switch 1008"}},                         {0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    log.clear();
    nav.OnNavSelect(1, c.code);
    EXPECT_EQ(log, c.calls);
  }
}

TEST_F(NavTest, RecordsToolsAndHelpDispatch) {
  struct Case {
    int section, code;
    Log calls;
  };
  const Case cases[] = {
      {0, 10, {"ShowPage DX 0"}},       {0, 999, {"ShowPage DX 989"}},   {0, 1003, {"ShowPage SHPJ 3"}},
      {0, 2000, {"ShowPage SHZH 0"}},   {0, 10000, {"ShowPage WYZHL -1"}}, {0, 5, {}},
      {0, 3000, {}},                    {2, 10, {"ShowTool XYZTOBLH"}},  {2, 110, {"ShowTool ZHDX"}},
      {2, 300, {"ShowTool SBCLDATA"}},  {2, 12, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.section) + "/" + std::to_string(c.code));
    nav.SelectSection(c.section);
    log.clear();
    nav.OnNavSelect(c.section, c.code);
    EXPECT_EQ(log, c.calls);
  }

  nav.SelectSection(3);
  log.clear();
  nav.OnUserSelect(3, {2, 0});  // "1、 计算方案"
  nav.OnUserSelect(3, {2});     // its branch: nothing
  nav.OnUserSelect(3, {6});  // "八、访问官方网站"
  EXPECT_EQ(log, (Log{"Help 计算方案", "Help 访问官方网站"}));
}

TEST_F(NavTest, SelectionForAnotherSectionChangesNothing) {
  ASSERT_EQ(nav.CurrentSection(), 1);
  nav.OnNavSelect(0, 10);
  nav.OnNavSelect(2, 10);
  EXPECT_TRUE(log.empty());
}

TEST_F(NavTest, SectionSwitchAndDiagramRoundTrip) {
  nav.SelectSection(2);
  nav.SelectSection(0);
  nav.SelectSection(3);
  nav.SelectSection(7);  // not a section
  EXPECT_EQ(log, (Log{"switch 1006", "switch 1004", "switch 1007"}));
  nav.SelectSection(1);
  log.clear();
  ASSERT_TRUE(nav.SelectItem(1, 91));
  ASSERT_TRUE(nav.SelectItem(1, 31));
  EXPECT_EQ(log, (Log{"switch 1008", "DrawTraverseDiagram", "switch 1005", "ShowTable CHENGGUO"}));
  EXPECT_EQ(frame.RightViewId(), 1005);
}

TEST_F(NavTest, SelectionInterface) {
  // Selecting the item already selected dispatches again.
  ASSERT_TRUE(nav.SelectItem(1, 20));
  ASSERT_TRUE(nav.SelectItem(1, 20));
  EXPECT_EQ(log, (Log{"switch 1005", "ShowTable PMJSH", "switch 1005", "ShowTable PMJSH"}));
  EXPECT_EQ(nav.SelectedCode(1), 20);
  EXPECT_TRUE(nav.SelectedIsLeaf(1));
  EXPECT_FALSE(nav.SelectItem(1, 77));

  nav.RenameItem(1, traverse::kNavCustomFirst + 3, traverse::CustomTableItemText(3, "桥梁控制网"));
  EXPECT_EQ(nav.ItemAt(1, {7, 3})->text, "桥梁控制网");
  nav.RenameItem(1, traverse::kNavCustomFirst + 3, traverse::CustomTableItemText(3, ""));
  EXPECT_EQ(nav.ItemAt(1, {7, 3})->text, "自定义表格4");

  nav.RestCaret(1);
  EXPECT_EQ(nav.SelectedCode(1), 0);
  EXPECT_FALSE(nav.SelectedIsLeaf(1));

  log.clear();
  ASSERT_TRUE(nav.SelectHelpItem("1、 计算方案"));
  EXPECT_EQ(nav.CurrentSection(), 3);
  EXPECT_EQ(log, (Log{"switch 1007", "Help 计算方案"}));
  log.clear();
  ASSERT_TRUE(nav.SelectHelpItem("二、观测记录"));
  EXPECT_EQ(log, (Log{"switch 1007", "Help 观测记录"}));
}

TEST_F(NavTest, RebuildAfterSchemeChange) {
  traverse.type = 5;
  nav.BuildTrees(1);
  EXPECT_EQ(nav.Tree(1).size(), 3u);  // 数据输入, 水准测量记录计算表, 自定义成果形式
  EXPECT_EQ(nav.SelectedItem(1)->text, "自定义成果形式");
  records.pages = {3, 0, 0};
  nav.BuildTrees(0);
  EXPECT_EQ(nav.Tree(0)[0].children.size(), 3u);
  EXPECT_TRUE(log.empty());  // rebuilding shows nothing
}

TEST_F(NavTest, TreesWaitForTheFirstUpdate) {
  app::CLTView fresh;
  fresh.SetTargets({&frame, &recordsNav, &traverseNav, &toolsNav, &help});
  fresh.BuildTrees(-1);
  EXPECT_TRUE(fresh.Tree(1).empty());
  fresh.OnInitialUpdate();
  EXPECT_FALSE(fresh.Tree(1).empty());
}

TEST_F(NavTest, AfterLoadRule) {
  platform::FakeMessagePort msg;
  platform::ScopedMemoryServices services;
  app::CVornDoc doc;
  struct Case {
    int rows;
    std::vector<std::pair<std::string, int>> toolRows;
    int section;
    Log calls;
  };
  const Case cases[] = {
      {4, {{"ZHDX", 2}}, 1, {"switch 1005", "switch 1005", "ShowTable SHUJUSHURU"}},
      {3, {{"ZHDX", 1}}, 2, {"switch 1006", "ShowTool ZHDX"}},
      {0, {{"SBCLDATA", 1}, {"GSZHSH", 3}}, 2, {"switch 1006", "ShowTool GSZHSH"}},
      {3, {}, 0, {"switch 1004"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    traverse.rows = c.rows;
    tools.rows = c.toolRows;
    doc.m_bJustLoaded = 1;
    log.clear();
    nav.AfterLoad(doc);
    EXPECT_EQ(nav.CurrentSection(), c.section);
    EXPECT_EQ(log, c.calls);
    EXPECT_EQ(doc.m_bJustLoaded, 0);
  }
  log.clear();
  nav.AfterLoad(doc);  // flag clear: nothing
  EXPECT_TRUE(log.empty());
}

TEST(NavLayout, HeadersAroundTheOpenTree) {
  // W 200, B 600, H 24: tree height B - 1 - 4H = 503.
  struct Case {
    int current;
    int tops[4];
  };
  const Case cases[] = {
      {0, {1, 527, 551, 575}},
      {1, {1, 24, 551, 575}},
      {3, {1, 24, 48, 72}},
  };
  for (const auto& c : cases)
    for (int s = 0; s < 4; ++s) {
      auto r = app::HeaderRect(s, c.current, 200, 600, 24);
      EXPECT_EQ(r.top, c.tops[s]) << c.current << "/" << s;
      EXPECT_EQ(r.bottom, s == 0 ? 24 : r.top + 24);
    }
  auto t = app::TreeRect(1, 200, 600, 24);
  EXPECT_EQ(t.top, 48);
  EXPECT_EQ(t.bottom - t.top, 600 - 96);
  EXPECT_EQ(app::HeaderAt(100, 560, 1, 200, 600, 24), 2);
  EXPECT_EQ(app::HeaderAt(100, 300, 1, 200, 600, 24), -1);
}

TEST_F(NavTest, HeaderClickSwitchesOnlyToAnotherSection) {
  nav.OnHeaderClick(100, 30, 200, 600, 24);  // the current header (section 1)
  EXPECT_TRUE(log.empty());
  nav.OnHeaderClick(100, 560, 200, 600, 24);
  EXPECT_EQ(nav.CurrentSection(), 2);
  EXPECT_EQ(log, (Log{"switch 1006"}));
}

}  // namespace
