// The records view without a window: the forms of the three books, the page
// commands, the computed flag and the summary, printing page by page and the footer.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake_ports.h"
#include "records/gcjl_ports.h"
#include "records/gcjl_view.h"
#include "records/shb_set_form.h"
#include "tests/records/book_fixture.h"
#include "tests/table/table_fixture.h"

namespace {

using records_test::Type;
using tabletest::RecordingCanvas;
using tabletest::RecordingFrame;

// Scripted dialogs and a tree that shows what it selects, as the navigation pane does.
class FakePorts final : public records::IRecordsViewPorts {
 public:
  explicit FakePorts(CGcJlView& v) : view(v) { v.SetViewPorts(this); }
  ~FakePorts() override { view.SetViewPorts(nullptr); }
  DialogResult RunSettingsDialog(records::CShbSetForm& form) override {
    seen = form;
    if (edit) edit(form.values);
    return settingsResult;
  }
  bool RunMovePageDialog(records::CMovePageValues& v) override {
    shownPageNumber = v.m_nPageNumber;
    if (moveTo < 0) return false;
    v.m_nPageNumber = moveTo;
    return true;
  }
  void RebuildRecordsTree() override { ++rebuilt; }
  bool SelectRecordsPage(const std::string& key, int page) override {
    selected.push_back(key + std::to_string(page));
    return view.ShowPage(key, page);
  }
  void ShowRecordsHelp() override { ++help; }

  CGcJlView& view;
  DialogResult settingsResult = DialogResult::Cancel;
  std::function<void(records::CShbSetValues&)> edit;
  records::CShbSetForm seen;
  int moveTo = -1, shownPageNumber = 0, rebuilt = 0, help = 0;
  std::vector<std::string> selected;
};

class RecordsView : public ::testing::Test {
 protected:
  RecordsView() : ports(view) {
    view.OnInitialUpdate();
    view.SetClientSize(1200, 900);
  }
  // Types into the grid as the user does: the view stores it into the page.
  void Edit(int row, int col, const std::string& text) { view.OnCellEditEnd(row, col, text); }

  platform::FakeMessagePort msg;
  RecordingFrame frame;
  CGcJlView view;
  FakePorts ports;
};

TEST_F(RecordsView, NewJobHasOnePagePerBook) {
  EXPECT_EQ(view.m_strCurrentKey, "");
  EXPECT_EQ(view.GetRowCount(), 0);
  struct Case { const char* key; int rows; };
  for (const Case& c : {Case{"DX", 40}, Case{"SHPJ", 40}, Case{"SHZH", 39}}) {
    EXPECT_EQ(view.PageCount(c.key), 1) << c.key;
    ASSERT_TRUE(view.ShowPage(c.key, 0));
    EXPECT_EQ(view.GetRowCount(), c.rows) << c.key;
    EXPECT_EQ(view.GetHeaderText(0), "工程名称：");
    EXPECT_EQ(view.GetHeaderText(5), "日期：");
    EXPECT_EQ(view.GetHeaderText(6), "");
  }
}

TEST_F(RecordsView, TraverseFormFollowsTheDistanceType) {
  struct Case { int type; int cols; const char* col11; int col7Input; };
  for (const Case& c : {Case{kDistanceDirect, 11, "平均高差", 3}, Case{kDistanceSlope, 14, "斜距", 5},
                        Case{kDistanceStadia, 14, "视距", 5}}) {
    view.m_dx.m_nDistanceType = c.type;
    view.ShowPage("DX", 0);
    EXPECT_EQ(view.GetColCount(), c.cols);
    EXPECT_EQ(view.GetColumn(11).header2, c.col11);
    EXPECT_EQ(view.GetColumnInputType(7), c.col7Input);
    EXPECT_EQ(view.GetColumn(3).headerSpan, 4);
  }
  // Three sets: a block of six rows; names typed only in its first two rows; the
  // per-target results lose their border from the fourth row of the block.
  view.m_dx.m_nSets = 3;
  view.m_dx.m_nTableRows = 22;
  view.m_dx.m_arrPages[0].SetRowCount(view.m_dx.RowsPerPage());
  view.ShowPage("DX", 0);
  EXPECT_EQ(view.GetRowCount(), 18);  // whole blocks only
  for (int r = 1; r <= 6; ++r) {
    EXPECT_EQ(view.IsCellLocked(r, 1), r > 2) << r;
    EXPECT_EQ(view.IsCellNoBorder(r, 12), r > 3) << r;
    EXPECT_FALSE(view.IsCellLocked(r, 3));
  }
  // One set, direct distances: rows alternate p = 1, 2 and no result column is borderless.
  view.m_dx.m_nSets = 1;
  view.m_dx.m_nDistanceType = kDistanceDirect;
  view.ShowPage("DX", 0);
  for (int r = 1; r <= view.GetRowCount(); ++r)
    for (int c : {8, 10, 11}) EXPECT_FALSE(view.IsCellNoBorder(r, c)) << r << "," << c;
  EXPECT_TRUE(view.IsCellNoBorder(2, 1));
  EXPECT_FALSE(view.IsCellLocked(2, 10));
}

TEST_F(RecordsView, HiddenVerticalReadingsSurviveADistanceTypeChange) {
  view.m_dx.m_nDistanceType = kDistanceSlope;
  view.ShowPage("DX", 0);
  Edit(1, 7, "85.0000");
  Edit(1, 8, "275.0000");
  view.m_dx.m_nDistanceType = kDistanceDirect;
  view.ShowPage("DX", 0);
  Edit(1, 7, "100.5");  // the direct form's distance column
  view.m_dx.m_nDistanceType = kDistanceSlope;
  view.ShowPage("DX", 0);
  EXPECT_EQ(view.GetCellText(1, 7), " 85 00 00");  // shown as the angle editor writes readings
  EXPECT_EQ(view.GetCellText(1, 8), "275 00 00");
  EXPECT_EQ(view.GetCellText(1, 11), "100.5");
  EXPECT_EQ(view.m_dx.m_arrPages[0].Cell(0, 6), "85.0000");
  EXPECT_EQ(view.m_dx.m_arrPages[0].Cell(0, 7), "275.0000");
}

TEST_F(RecordsView, LevellingFormsAndLabels) {
  view.ShowPage("SHZH", 0);
  EXPECT_EQ(view.GetColCount(), 10);
  EXPECT_EQ(view.GetColumn(7).header2, "黑 面");
  EXPECT_EQ(view.GetColumn(7).header3, "( mm )");
  EXPECT_EQ(view.GetColumnInputType(7), 1);
  EXPECT_EQ(view.GetCellText(1, 6), "后");
  EXPECT_EQ(view.GetCellText(2, 6), "前");
  EXPECT_EQ(view.GetCellText(3, 6), "后-前");
  view.m_shzh.m_nLevellingMode = kLevelPrecise;
  view.m_shzh.m_bOmitDecimalPoint = 0;
  view.ShowPage("SHZH", 0);
  EXPECT_EQ(view.GetColumn(7).header2, "基 本");
  EXPECT_EQ(view.GetColumn(8).header3, "分 划");
  EXPECT_EQ(view.GetColumnInputType(3), 3);
  view.m_shzh.m_nLevellingMode = kLevelDoubleScale;
  view.ShowPage("SHZH", 0);
  EXPECT_EQ(view.GetColumn(8).header3, "( m )");
}

TEST_F(RecordsView, EditingAComputedBookEmptiesItsResults) {
  view.m_shpj.m_nSets = 1;
  view.m_shpj.m_arrPages[0].SetRowCount(view.m_shpj.RowsPerPage());
  view.m_shpj.AddPage();
  view.ShowPage("SHPJ", 0);
  Edit(1, 1, "O");
  Edit(1, 2, "A");
  Edit(1, 3, "0");
  Edit(1, 4, "180.0010");
  Edit(2, 2, "B");
  Edit(2, 3, "90");
  Edit(2, 4, "270.0020");
  view.OnCommand(table::ID_COMPUTE);
  EXPECT_TRUE(msg.Messages().empty()) << msg.Messages().front();
  EXPECT_EQ(view.GetCellText(1, 7), " 90 00 05");
  // Another page while computed shows its own results; the first page keeps them.
  view.ShowPage("SHPJ", 1);
  view.ShowPage("SHPJ", 0);
  EXPECT_EQ(view.GetCellText(1, 7), " 90 00 05");
  Edit(2, 4, "270.0030");
  EXPECT_EQ(view.m_shpj.m_bComputed, 0);
  EXPECT_EQ(view.GetCellText(1, 7), "");
  EXPECT_EQ(view.GetCellText(1, 5), "");
  EXPECT_EQ(view.m_shpj.m_arrPages[0].Cell(0, 6), "");
  EXPECT_EQ(view.m_shpj.m_arrPages[0].Cell(1, 3), "270.0030");
}

TEST_F(RecordsView, NextPreviousAndTheirBarIds) {
  view.ShowPage("DX", 0);
  view.SetHeaderText(6, "北岭");
  view.OnTableChanged();
  EXPECT_FALSE(view.FindButton(records::ID_PREVIOUS_PAGE)->enabled);
  view.OnCommand(records::ID_PREVIOUS_PAGE);  // the grid's 表格 id: page 1 stays
  EXPECT_EQ(view.m_nCurrentPage, 0);
  const int modified = frame.modified;
  view.OnCommand(records::ID_NEXT_PAGE);  // the grid's 自定义 id
  EXPECT_EQ(view.PageCount("DX"), 2);
  EXPECT_EQ(view.m_nCurrentPage, 1);
  EXPECT_EQ(view.GetHeaderText(6), "北岭");
  EXPECT_GT(frame.modified, modified);
  EXPECT_EQ(ports.rebuilt, 1);
  view.OnCommand(records::ID_PREVIOUS_PAGE);
  view.OnCommand(records::ID_NEXT_PAGE);  // only moves on
  EXPECT_EQ(view.PageCount("DX"), 2);
  EXPECT_EQ(view.m_nCurrentPage, 1);
  EXPECT_TRUE(msg.Texts().empty());  // none of the grid's own commands ran
}

TEST_F(RecordsView, NextPageStopsAtWhatTheTreeCanShow) {
  while (view.PageCount("DX") < records::kMaxTraversePages) view.m_dx.AddPage();
  view.ShowPage("DX", records::kMaxTraversePages - 1);
  view.OnNextPage();
  EXPECT_EQ(view.PageCount("DX"), records::kMaxTraversePages);
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0], "每种观测记录最多990页，不能再添加新页！");
}

TEST_F(RecordsView, MovePages) {
  for (int i = 1; i < 5; ++i) view.m_dx.AddPage();
  // Page index shown, number typed into the dialog, page order after, page shown after.
  struct Case { int from, number; const char* order; int shown; };
  for (const Case& c : {Case{4, 0, "51234", 0}, Case{0, 99, "23451", 4}, Case{2, 3, "12345", 2},
                        Case{1, 4, "13425", 3}}) {
    for (int i = 0; i < 5; ++i) view.m_dx.m_arrPages[static_cast<std::size_t>(i)].m_strHeader[6] = std::to_string(i + 1);
    view.ShowPage("DX", c.from);
    ports.moveTo = c.number;
    view.OnCommand(records::ID_MOVE_PAGE);  // the grid's CAD id
    EXPECT_EQ(ports.shownPageNumber, c.from + 1);
    std::string order;
    for (const auto& p : view.m_dx.m_arrPages) order += p.m_strHeader[6];
    EXPECT_EQ(order, c.order) << c.from << " -> " << c.number;
    EXPECT_EQ(view.m_nCurrentPage, c.shown) << c.from << " -> " << c.number;
  }
}

TEST_F(RecordsView, DeletePagesAndUndoAfterwards) {
  view.m_dx.AddPage();
  view.m_dx.AddPage();
  view.m_dx.m_arrPages[1].At(0, 0) = "second";
  view.m_dx.m_arrPages[2].At(0, 0) = "third";
  view.ShowPage("DX", 2);
  table::NullCanvas screen;
  view.OnDraw(screen);  // the first paint takes the undo base
  Edit(1, 2, "typed on page 3");
  ASSERT_TRUE(view.CanUndo());
  msg.Script({platform::Answer::No});
  view.OnCommand(records::ID_DELETE_PAGE);
  EXPECT_EQ(view.PageCount("DX"), 3);
  msg.Script({platform::Answer::Yes});
  view.OnCommand(records::ID_DELETE_PAGE);  // the grid's 图形 id
  EXPECT_EQ(view.PageCount("DX"), 2);
  EXPECT_EQ(view.m_nCurrentPage, 1);
  EXPECT_EQ(view.GetCellText(1, 1), "second");
  // The undo steps of the deleted page must not write it over this one.
  EXPECT_FALSE(view.CanUndo());
  view.OnUndo();
  EXPECT_EQ(view.m_dx.m_arrPages[1].Cell(0, 0), "second");
  // The only page deleted: a fresh page with the default header.
  view.m_dx.m_arrPages.resize(1);
  view.m_dx.m_arrPages[0].m_strHeader[0] = "改过";
  view.ShowPage("DX", 0);
  msg.Script({platform::Answer::Yes});
  view.OnDeletePage();
  EXPECT_EQ(view.PageCount("DX"), 1);
  EXPECT_EQ(view.GetHeaderText(0), "工程名称：");
}

TEST_F(RecordsView, ComputeGoesOnAfterOneBookStopsAndTheSummaryTakesOnlyComputedBooks) {
  // Angle book incomplete; traverse book with one distance; levelling one section.
  view.m_shpj.m_arrPages[0].At(0, 0) = "O";
  Type(view.m_dx.m_arrPages[0], 0, {{0, "A"}, {1, "B"}, {10, "100.002"}});
  Type(view.m_dx.m_arrPages[0], 1, {{1, "C"}});
  Type(view.m_shzh.m_arrPages[0], 0, {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}, {6, "1523"}, {7, "6210"}});
  Type(view.m_shzh.m_arrPages[0], 1, {{1, "B"}, {2, "1400"}, {3, "1300"}, {6, "0691"}, {7, "5478"}});
  view.ShowPage("DX", 0);
  view.OnCompute();
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0], "水平角记录第1页 O　测站的目标点不能为空！");
  EXPECT_FALSE(view.AngleBookComputed());
  EXPECT_TRUE(view.TraverseBookComputed());
  EXPECT_TRUE(view.LevellingBookComputed());
  ASSERT_EQ(view.FieldResults().size(), 1u);  // A–B: distance and height merged
  EXPECT_EQ(view.FieldResults()[0].m_nDistCount, 1);
  EXPECT_EQ(view.FieldResults()[0].m_nHeightCount, 1);
  // An edit of the traverse book takes its legs out of the summary.
  Edit(1, 7, "100.004");
  ASSERT_EQ(view.FieldResults().size(), 1u);
  EXPECT_EQ(view.FieldResults()[0].m_nDistCount, 0);
  EXPECT_EQ(view.FieldResults()[0].m_nHeightCount, 1);
  view.ShowPage("WYZHL", -1);
  EXPECT_EQ(view.GetColCount(), 6);
  EXPECT_EQ(view.GetCellText(1, 4), "0.8320");
  EXPECT_EQ(view.GetCellText(1, 3), "");
  EXPECT_EQ(view.GetCellText(1, 6), "1");
  EXPECT_TRUE(view.IsReadOnly());
}

TEST_F(RecordsView, PrintingABookPrintsEveryPageAndRestoresThePageShown) {
  view.m_dx.AddPage();
  view.m_dx.AddPage();
  view.m_dx.m_arrPages[2].At(0, 0) = "P3";
  view.ShowPage("DX", 0);
  table::NullCanvas screen;
  view.OnDraw(screen);
  Edit(1, 1, "P1");
  const int undo = view.GetUndoCount();
  table::PrintDevice dev;
  dev.physWidth = 4960;
  dev.physHeight = 7016;
  dev.width = 4800;
  const table::PrintPlan& plan = view.OnBeginPrinting(dev);
  EXPECT_EQ(plan.pages, 3);
  EXPECT_EQ(plan.rowsPerPage, 40);
  std::vector<std::string> footers;
  for (int p = 1; p <= plan.pages; ++p) {
    view.OnPrepareDC(p);
    RecordingCanvas c;
    view.OnPrint(c, p);
    footers.push_back(c.FindText("第 " + std::to_string(p) + " 页 共 3 页") ? "ok" : "missing");
    if (p == 3) {
      EXPECT_TRUE(c.FindText("P3"));
    }
  }
  view.OnEndPrinting();
  EXPECT_EQ(footers, (std::vector<std::string>{"ok", "ok", "ok"}));
  EXPECT_EQ(view.m_nCurrentPage, 0);
  EXPECT_EQ(view.GetCellText(1, 1), "P1");
  EXPECT_EQ(view.GetUndoCount(), undo);
  EXPECT_TRUE(view.CanUndo());
}

TEST_F(RecordsView, FooterLiesOneRowBelowTheTable) {
  view.m_dx.AddPage();
  for (int below : {0, 1}) {
    view.m_dx.m_nLinesBelow = below;
    view.ShowPage("DX", 1);
    RecordingCanvas c;
    view.OnDraw(c);
    const auto* op = c.FindText("第 2 页 共 2 页");
    ASSERT_NE(op, nullptr);
    const table::CTableLayout& l = view.Layout();
    const int top = below ? l.header[9].bottom : l.yOrigin + l.visibleRows * l.H;
    EXPECT_EQ(op->rect.top, top) << below;
    EXPECT_EQ(op->rect.Height(), l.H);
    EXPECT_EQ(op->rect.left, l.xOrigin);
    EXPECT_EQ(op->rect.right, l.xOrigin + l.right[static_cast<std::size_t>(view.GetColCount())] - 10);
    EXPECT_EQ(op->style.align, table::HAlign::Right);
  }
  view.ShowPage("WYZHL", -1);
  EXPECT_EQ(view.PageFooterText(), "");
}

TEST_F(RecordsView, SettingsReshapePagesAndAskBeforeCuttingTypedRows) {
  view.ShowPage("DX", 0);
  ports.settingsResult = records::IRecordsViewPorts::DialogResult::Ok;
  ports.edit = [](records::CShbSetValues& v) { v.m_nRowsEdit = 24; };
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(ports.seen.values.m_nRowsEdit, 40);
  EXPECT_EQ(view.GetRowCount(), 24);
  EXPECT_EQ(view.m_dx.m_arrPages[0].RowCount(), 24);
  // Typed data in the rows that would go: asked, and No keeps them.
  Edit(21, 1, "Z");  // a station's first row
  ports.edit = [](records::CShbSetValues& v) { v.m_nRowsEdit = 12; };
  msg.Script({platform::Answer::No});
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(view.GetRowCount(), 24);
  ASSERT_FALSE(msg.Texts().empty());
  EXPECT_EQ(msg.Texts()[0], "新的表格行数或测回数将删去部分已输入数据的表格行，\n是否继续？");
  // Sets 2 -> 3 with 40 rows: pages of 36.
  ports.edit = [](records::CShbSetValues& v) {
    v.m_nRowsEdit = 40;
    v.m_nSetsEdit = 3;
  };
  msg.Script({platform::Answer::Yes});
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(view.GetRowCount(), 36);
  // Cancel still recomputes; the job, as it was, is not marked modified.
  ports.settingsResult = records::IRecordsViewPorts::DialogResult::Cancel;
  const int modified = frame.modified;
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(frame.modified, modified);
}

TEST_F(RecordsView, SingleFaceDiscardsPagesOnlyAfterAsking) {
  view.m_shzh.AddPage();
  view.ShowPage("SHZH", 1);
  Edit(1, 1, "1");
  ports.settingsResult = records::IRecordsViewPorts::DialogResult::Ok;
  ports.edit = [](records::CShbSetValues& v) { v.m_nLevellingModeSel = kLevelSingleFace; };
  msg.Script({platform::Answer::No});
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(view.m_shzh.m_nLevellingMode, kLevelDoubleScale);
  EXPECT_EQ(view.PageCount("SHZH"), 2);
  msg.Script({platform::Answer::Yes});
  view.OnCommand(table::ID_SCHEME);
  EXPECT_EQ(view.m_shzh.m_nLevellingMode, kLevelSingleFace);
  EXPECT_EQ(view.PageCount("SHZH"), 1);
  EXPECT_EQ(view.m_nCurrentPage, 0);
  EXPECT_EQ(view.GetColCount(), 6);
}

TEST(ShbSetForm, EnablingAndChecks) {
  records::CShbSetForm f;
  struct Case { const char* key; int distType; int level; int control; bool enabled; };
  const Case cases[] = {
      {"DX", 0, 0, records::kCtlEdmConstant, true},   {"DX", 2, 0, records::kCtlEdmScale, false},
      {"DX", 0, 0, records::kCtlRefraction, true},    {"DX", 0, 0, records::kCtlLevellingMode, false},
      {"SHPJ", 0, 0, records::kCtlDistanceType, false}, {"SHPJ", 0, 0, records::kCtlSets, true},
      {"SHPJ", 0, 0, records::kCtlRefraction, false}, {"SHZH", 0, 2, records::kCtlStaffConstant, true},
      {"SHZH", 0, 0, records::kCtlStaffConstant, false}, {"SHZH", 0, 1, records::kCtlOmitDecimalPoint, false},
      {"SHZH", 0, 0, records::kCtlSets, false},       {"WYZHL", 0, 0, records::kCtlRows, false},
      {"WYZHL", 0, 0, records::kCtlLinesBelow, true}, {"WYZHL", 0, 0, records::kCtlFontHeight, true},
  };
  for (const Case& c : cases) {
    f.values.m_strTableKey = c.key;
    f.values.m_nDistanceTypeSel = c.distType;
    f.values.m_nLevellingModeSel = c.level;
    EXPECT_EQ(f.Enabled(c.control), c.enabled) << c.key << " " << c.control;
  }
  f.values.m_strTableKey = "DX";
  EXPECT_EQ(f.Validate(), "");
  f.values.m_nRowsEdit = 20;
  f.values.m_nSetsEdit = 12;
  EXPECT_EQ(f.Validate(), "表格行数(20)不能小于测回数(12)的2倍，\n否则每页容不下一个测站！");
  f.values.m_nRowsEdit = 300;
  EXPECT_EQ(f.Validate(), "请输入一个介于 12 和 200 之间的整数。");
}

}  // namespace

namespace {

// Every book keeps a title edited in the grid, and a new job starts with the books'
// own titles again (none leaks from the job before).
TEST_F(RecordsView, TitlesAreStoredAndResetWithTheJob) {
  struct Case { const char* key; const char* title; };
  for (const Case& c : {Case{"DX", "导线观测记录"}, Case{"SHPJ", "水平角观测记录"}, Case{"SHZH", "水准观测记录"}}) {
    view.ShowPage(c.key, 0);
    EXPECT_EQ(view.GetTitle(), c.title);
    view.SetTitle(std::string("北岭") + c.title);
    view.OnTableChanged();
    view.ShowPage("WYZHL", -1);
    view.ShowPage(c.key, 0);
    EXPECT_EQ(view.GetTitle(), std::string("北岭") + c.title) << c.key;
  }
  view.ResetRecords();
  for (const Case& c : {Case{"DX", "导线观测记录"}, Case{"SHPJ", "水平角观测记录"}, Case{"SHZH", "水准观测记录"}}) {
    view.ShowPage(c.key, 0);
    EXPECT_EQ(view.GetTitle(), c.title) << c.key;
  }
}

}  // namespace

namespace {

// A slope-distance station A (targets B, C) on each of two traverse pages.
void TwoSlopePages(CDxShb& b) {
  b.m_nDistanceType = kDistanceSlope;
  b.m_nTableRows = 12;
  b.m_arrPages.clear();
  b.AddPage();
  b.AddPage();
  for (int p = 0; p < 2; ++p) {
    const std::string a = p == 0 ? "A" : "P";
    Type(b.m_arrPages[static_cast<std::size_t>(p)], 0,
         {{0, a}, {1, "B"}, {2, "0.0000"}, {3, "180.0000"}, {6, "85.0000"}, {7, "275.0000"}, {10, "100.000"},
          {13, "1.60"}});
    Type(b.m_arrPages[static_cast<std::size_t>(p)], 1,
         {{0, "1.50"}, {1, "C"}, {2, "90.0000"}, {3, "270.0000"}, {6, "95.0000"}, {7, "265.0000"}, {10, "120.000"},
          {13, "1.50"}});
  }
}

// A settings change recomputes from clean pages: no result of the old settings stays
// in any page, shown or not, nor in the summary.
TEST_F(RecordsView, ASettingsChangeLeavesNoStaleResults) {
  TwoSlopePages(view.m_dx);
  view.ShowPage("DX", 0);
  view.OnCompute();
  ASSERT_TRUE(msg.Messages().empty()) << msg.Messages()[0];
  for (const auto& page : view.m_dx.m_arrPages) ASSERT_FALSE(page.Cell(0, 14).empty());
  ASSERT_EQ(view.FieldResults()[0].m_nHeightCount, 1);
  ports.settingsResult = records::IRecordsViewPorts::DialogResult::Ok;
  ports.edit = [](records::CShbSetValues& v) { v.m_nDistanceTypeSel = kDistanceDirect; };
  view.OnCommand(table::ID_SCHEME);
  EXPECT_TRUE(view.TraverseBookComputed());
  for (std::size_t p = 0; p < 2; ++p)
    for (int row : {0, 1}) {
      // The direct form has typed distances but no observed height differences here.
      EXPECT_EQ(view.m_dx.m_arrPages[p].Cell(row, 14), "") << "page " << p + 1 << " row " << row;
      EXPECT_EQ(view.m_dx.m_arrPages[p].Cell(row, 9), "") << "page " << p + 1 << " row " << row;
      EXPECT_FALSE(view.m_dx.m_arrPages[p].Cell(row, 11).empty());
    }
  for (const auto& w : view.FieldResults()) EXPECT_EQ(w.m_nHeightCount, 0) << w.m_strFrom << w.m_strTo;
  EXPECT_EQ(view.GetCellText(1, 11), "");  // 平均高差 of the form shown
}

// A computation that stops keeps the results before the faulty station and none of
// the earlier computation after it.
TEST_F(RecordsView, AStoppedComputationLeavesNoOldResultsBehind) {
  TwoSlopePages(view.m_dx);
  view.OnCompute();
  ASSERT_FALSE(view.m_dx.m_arrPages[1].Cell(0, 5).empty());
  view.m_dx.m_arrPages[0].At(1, 1).clear();  // a target name gone on page 1
  view.OnCompute();
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0], "导线记录第1页 A　测站的目标点不能为空！");
  EXPECT_FALSE(view.TraverseBookComputed());
  EXPECT_EQ(view.m_dx.m_arrPages[1].Cell(0, 5), "");
  EXPECT_EQ(view.m_dx.m_arrPages[1].Cell(0, 14), "");
}

// The summary says which books it holds; an empty one is still its form.
TEST_F(RecordsView, SummaryNamesItsBooksAndShowsItsFormWhenEmpty) {
  view.m_strSignOff[0] = "工程名称：北岭";
  view.ShowPage("WYZHL", -1);
  EXPECT_EQ(view.GetRowCount(), 1);
  EXPECT_EQ(view.GetTitle(), "边长、高差外业成果");
  EXPECT_EQ(view.GetHeaderText(0), "工程名称：北岭");
  EXPECT_EQ(view.GetColumn(6).header2, "测站数");
  EXPECT_EQ(view.GetSignatureText(1), "本表无已计算的观测记录");
  EXPECT_EQ(view.GetSignatureText(2), "导线记录、水准记录未计算或计算后已修改，未列入本表");

  TwoSlopePages(view.m_dx);
  view.OnCompute();
  view.ShowPage("WYZHL", -1);
  EXPECT_EQ(view.GetSignatureLines(), 1);
  EXPECT_EQ(view.GetSignatureText(1), "本表取自已计算的导线记录、水准记录");
  view.ShowPage("SHZH", 0);
  Edit(1, 1, "1");
  view.ShowPage("WYZHL", -1);
  EXPECT_EQ(view.GetSignatureLines(), 2);
  EXPECT_EQ(view.GetSignatureText(1), "本表取自已计算的导线记录");
  EXPECT_EQ(view.GetSignatureText(2), "水准记录未计算或计算后已修改，未列入本表");
}

// Readings kept in the d.mmss notation (as files hold them) show as typed ones do,
// and stay stored as they were until edited.
TEST_F(RecordsView, ReadingsShowAsTypedOnesWhateverTheirNotation) {
  view.m_dx.m_nDistanceType = kDistanceSlope;
  auto& page = view.m_dx.m_arrPages[0];
  struct Case { int row, cell, col; const char* stored; const char* shown; };
  const Case cases[] = {
      {0, 2, 3, "0.00120", "  0 00 12.0"}, {0, 3, 4, "180.0006", "180 00 06"},
      {1, 2, 3, "90.0024", " 90 00 24"},   {0, 6, 7, "89.51266", " 89 51 26.6"},
      {1, 7, 8, "  5 03 07", "  5 03 07"}, {2, 2, 3, "10.5960", "10.5960"},  // no carry: kept as read
      {0, 10, 11, "254.796", "254.796"},   // not an angle
  };
  for (const Case& c : cases) page.At(c.row, c.cell) = c.stored;
  view.ShowPage("DX", 0);
  for (const Case& c : cases) EXPECT_EQ(view.GetCellText(c.row + 1, c.col), c.shown) << c.stored;
  view.SaveCurrentPage();
  for (const Case& c : cases) EXPECT_EQ(page.Cell(c.row, c.cell), c.stored);
  Edit(1, 3, "  0 00 13");  // what the editor stores for "0.0013"
  EXPECT_EQ(page.Cell(0, 2), "  0 00 13");
  EXPECT_EQ(page.Cell(0, 3), "180.0006");
  // On paper alike.
  table::PrintDevice dev;
  dev.physWidth = 4960;
  dev.physHeight = 7016;
  dev.width = 4800;
  view.OnBeginPrinting(dev);
  view.OnPrepareDC(1);
  RecordingCanvas c;
  view.OnPrint(c, 1);
  view.OnEndPrinting();
  EXPECT_TRUE(c.FindText("180 00 06"));
  EXPECT_FALSE(c.FindText("180.0006"));
}

}  // namespace
