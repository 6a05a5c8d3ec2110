// The table settings: what the dialog's edits accept, the ranges OK refuses, the
// margins paired with their members by control id, and what OK and Cancel do to the grid.
#include <gtest/gtest.h>

#include <tuple>

#include "table/table_set_form.h"
#include "tests/table/table_fixture.h"

using namespace table;
using tabletest::RecordingCanvas;
using tabletest::RecordingFrame;

namespace {

CTableSetForm ValidForm() {
  CTableView v;
  return CTableSetForm::FromView(v);
}

}  // namespace

TEST(TableSetForm, EditTextsOfTheWrongKindAreRefused) {
  const struct {
    int id;
    const char* text;
    const char* message;  // "" = taken
  } cases[] = {
      {kSetFontHeight, "12", ""},          {kSetFontHeight, " 14 ", ""},
      {kSetFontHeight, "+15", ""},         {kSetFontHeight, "abc", "请输入一个整数。"},
      {kSetFontHeight, "12.5", "请输入一个整数。"}, {kSetFontHeight, "", "请输入一个整数。"},
      {kSetAngleDecimals, "1a", "请输入一个整数。"}, {kSetMarginLeft, "99999999999", "请输入一个整数。"},
      {kSetPrintHeight, "2.5", ""},        {kSetPrintHeight, "3", ""},
      {kSetPrintHeight, "x", "请输入一个数。"},   {kSetPrintHeight, "", "请输入一个数。"},
  };
  for (const auto& c : cases) {
    CTableSetForm f = ValidForm();
    const std::string before = f.Text(c.id);
    EXPECT_EQ(f.SetText(c.id, c.text), c.message) << c.id << " '" << c.text << "'";
    if (*c.message) {
      EXPECT_EQ(f.Text(c.id), before) << "a refused text keeps the value";
    }
  }
}

TEST(TableSetForm, RangesRefusedWithTheRangeMessage) {
  const struct {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {kSetFontHeight, "8", "请输入一个介于 9 和 30 之间的整数。"},
      {kSetFontHeight, "31", "请输入一个介于 9 和 30 之间的整数。"},
      {kSetFontHeight, "9", ""},
      {kSetFontHeight, "30", ""},
      {kSetPrintHeight, "0.5", "请输入一个介于 1 和 10 之间的数。"},
      {kSetPrintHeight, "10.01", "请输入一个介于 1 和 10 之间的数。"},
      {kSetPrintHeight, "1", ""},
      {kSetAngleDecimals, "3", "请输入一个介于 0 和 2 之间的整数。"},
      {kSetAngleDecimals, "-1", "请输入一个介于 0 和 2 之间的整数。"},
      {kSetDistDecimals, "7", "请输入一个介于 0 和 6 之间的整数。"},
      {kSetDhDecimals, "7", "请输入一个介于 0 和 6 之间的整数。"},
      {kSetHeightDecimals, "7", "请输入一个介于 0 和 6 之间的整数。"},
      {kSetCoordDecimals, "6", ""},
      {kSetLatLonDecimals, "6", "请输入一个介于 0 和 5 之间的整数。"},
      {kSetMarginTop, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {kSetMarginBottom, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {kSetMarginLeft, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {kSetMarginRight, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {kSetMarginRight, "0", ""},
      // Hidden edits keep what the view passed in, even beyond their range.
      {kSetChainageDecimals, "9", ""},
      {kSetGradeDecimals, "9", ""},
  };
  for (const auto& c : cases) {
    CTableSetForm f = ValidForm();
    ASSERT_EQ(f.SetText(c.id, c.text), "") << c.text;
    int failed = -1;
    EXPECT_EQ(f.Validate(&failed), c.message) << c.id << " = " << c.text;
    EXPECT_EQ(failed, *c.message ? c.id : 0) << "the refused control gets the focus";
  }
}

TEST(TableSetForm, MarginsPairWithTheirMembersById) {
  CTableSetForm f = ValidForm();
  ASSERT_EQ(f.SetText(kSetMarginTop, "11"), "");
  ASSERT_EQ(f.SetText(kSetMarginBottom, "12"), "");
  ASSERT_EQ(f.SetText(kSetMarginLeft, "13"), "");
  ASSERT_EQ(f.SetText(kSetMarginRight, "14"), "");
  CTableView v;
  f.ApplyTo(v);
  EXPECT_EQ(v.m_nMarginTop, 11);
  EXPECT_EQ(v.m_nMarginBottom, 12);
  EXPECT_EQ(v.m_nMarginLeft, 13);
  EXPECT_EQ(v.m_nMarginRight, 14);
  EXPECT_STREQ(CTableSetForm::FindEdit(kSetMarginLeft)->label, "左：");
  EXPECT_STREQ(CTableSetForm::FindEdit(kSetMarginTop)->label, "上：");
  const CTableSetForm back = CTableSetForm::FromView(v);
  EXPECT_EQ(back.Text(kSetMarginTop), "11");
  EXPECT_EQ(back.Text(kSetMarginRight), "14");
}

class TableSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tabletest::MakeInputTable(view, 3, 2);
    view.SetHost(&host);
    view.SetClientSize(800, 600);
    view.SetCellText(1, 1, "A");
    view.RecalcLayout();
  }
  platform::FakeMessagePort messages;
  RecordingFrame frame;
  tabletest::SettingsHost host;
  CTableView view;
};

TEST_F(TableSettingsTest, DialogGetsTheViewsValues) {
  view.m_nAngleDecimals = 2;
  view.m_nLatLonDecimals = 5;
  view.m_nMarginLeft = 7;
  view.m_bPadRows = true;
  view.m_nLinesAbove = 3;
  view.SetFont(15, 4.5);
  view.OnCommand(ID_TABLE_SETTINGS);
  ASSERT_EQ(host.runs, 1);
  EXPECT_EQ(host.seen.fontHeight, 15);
  EXPECT_DOUBLE_EQ(host.seen.printHeight, 4.5);
  EXPECT_EQ(host.seen.angleDecimals, 2);
  EXPECT_EQ(host.seen.latLonDecimals, 5);
  EXPECT_EQ(host.seen.marginLeft, 7);
  EXPECT_TRUE(host.seen.padRows);
  EXPECT_EQ(host.seen.linesAbove, 3);
}

TEST_F(TableSettingsTest, OkWritesBackAndRelaysOutEvenUnchanged) {
  const int narrow = view.Layout().width.at(1);
  // The text grows without a new layout; only the dialog's OK lays the table out again.
  view.SetCellText(1, 1, "一个很长很长的点名称");
  ASSERT_EQ(view.Layout().width.at(1), narrow);
  view.OnCommand(ID_TABLE_SETTINGS);
  EXPECT_GT(view.Layout().width.at(1), narrow) << "OK with unchanged values re-lays out";
  EXPECT_EQ(frame.modified, 0) << "and leaves the job unmodified";
  EXPECT_GT(host.invalidated, 0);

  host.edit = [](CTableSetForm& f) {
    f.fontHeight = 20;
    f.printHeight = 5;
    f.distDecimals = 5;
    f.fitWidth = false;
  };
  view.OnCommand(ID_TABLE_SETTINGS);
  EXPECT_EQ(view.GetFontHeight(), 20);
  EXPECT_DOUBLE_EQ(view.GetPrintHeight(), 5);
  EXPECT_EQ(view.GetRowHeight(), 32);
  EXPECT_EQ(view.m_nDistDecimals, 5);
  EXPECT_FALSE(view.m_bFitWidth);
  EXPECT_EQ(frame.modified, 1);
}

// Settings made for one job do not carry into the next: the grid returns to a new
// table's values, its cells at the frame's character height.
TEST_F(TableSettingsTest, ANewJobStartsFromTheDefaultSettings) {
  const CTableSetForm fresh = CTableSetForm::FromView(CTableView());
  host.edit = [](CTableSetForm& f) {
    f.fontHeight = 16;
    f.printHeight = 5;
    f.linesAbove = 3;
    f.lineBelow = 0;
    f.angleDecimals = 2;
    f.coordDecimals = 6;
    f.padRows = true;
    f.fitWidth = false;
    f.marginTop = f.marginLeft = 5;
  };
  view.OnCommand(ID_TABLE_SETTINGS);
  ASSERT_EQ(view.GetFontHeight(), 16);
  view.ResetTableSettings(12);
  const CTableSetForm now = CTableSetForm::FromView(view);
  EXPECT_EQ(now.fontHeight, 12);
  EXPECT_EQ(view.GetRowHeight(), 20);
  for (const TableSetEdit& e : CTableSetForm::kEdits) {
    if (e.id != kSetFontHeight) {
      EXPECT_EQ(now.Text(e.id), fresh.Text(e.id)) << e.id;
    }
  }
  EXPECT_EQ(now.linesAbove, fresh.linesAbove);
  EXPECT_EQ(now.lineBelow, fresh.lineBelow);
  EXPECT_EQ(now.padRows, fresh.padRows);
  EXPECT_EQ(now.fitWidth, fresh.fitWidth);
  view.ResetTableSettings(18);
  EXPECT_EQ(view.GetFontHeight(), 18);
}

TEST_F(TableSettingsTest, CancelChangesNothing) {
  host.ok = false;
  host.edit = [](CTableSetForm& f) { f.distDecimals = 6; };
  view.OnCommand(ID_TABLE_SETTINGS);
  EXPECT_EQ(host.runs, 1);
  EXPECT_EQ(view.m_nDistDecimals, 3);
  EXPECT_EQ(frame.modified, 0);
}

TEST_F(TableSettingsTest, NoLinesAboveOrBelowHidesTheHeaderItems) {
  for (int i = 0; i < 12; ++i) view.SetHeaderText(i, "项" + std::to_string(i));
  auto drawn = [this] {
    RecordingCanvas c;
    view.OnDraw(c);
    std::vector<int> items;
    for (int i = 0; i < 12; ++i)
      if (c.FindText("项" + std::to_string(i))) items.push_back(i);
    return items;
  };
  view.m_nLinesAbove = 3;
  view.m_nLineBelow = 1;
  view.RecalcLayout();
  ASSERT_EQ(drawn(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  host.edit = [](CTableSetForm& f) { f.linesAbove = 0; };
  view.OnCommand(ID_TABLE_SETTINGS);
  EXPECT_EQ(drawn(), (std::vector<int>{9, 10, 11})) << "0行 above hides the three item lines";
  host.edit = [](CTableSetForm& f) {
    f.linesAbove = 1;
    f.lineBelow = 0;
  };
  view.OnCommand(ID_TABLE_SETTINGS);
  EXPECT_EQ(drawn(), (std::vector<int>{0, 1, 2})) << "0行 below hides items 9-11";
}

// The margins the dialog sets are the ones the page uses: top and bottom move the
// table and change the rows a page holds, left and right shift it sideways.
TEST_F(TableSettingsTest, MarginsFromTheDialogReachThePrintedPage) {
  view.SetRowCount(200);
  PrintDevice paper;
  paper.dpiX = paper.dpiY = 600;
  paper.physWidth = paper.width = static_cast<int>(210 / 25.4 * 600);
  paper.physHeight = static_cast<int>(297 / 25.4 * 600);
  auto page = [&](int top, int bottom, int left, int right) {
    host.edit = [=](CTableSetForm& f) {
      f.marginTop = top;
      f.marginBottom = bottom;
      f.marginLeft = left;
      f.marginRight = right;
    };
    view.OnCommand(ID_TABLE_SETTINGS);
    const PrintPlan plan = view.OnBeginPrinting(paper);
    const PageTransform t = view.OnPrepareDC(1);
    const int y = view.PrintLayout().yOrigin;
    view.OnEndPrinting();
    return std::tuple{plan.rowsPerPage, y, t.originX};
  };
  const auto [rows0, y0, x0] = page(0, 0, 25, 25);
  const auto [rows1, y1, x1] = page(40, 0, 25, 25);
  const auto [rows2, y2, x2] = page(0, 40, 25, 25);
  const auto [rows3, y3, x3] = page(0, 0, 45, 5);
  const double pxPerMm = view.GetFontHeight() / view.GetPrintHeight();
  EXPECT_EQ(y1 - y0, static_cast<int>(40 * pxPerMm)) << "the top margin moves the table down";
  EXPECT_EQ(y2, y0) << "the bottom margin does not";
  EXPECT_LT(rows1, rows0);
  EXPECT_EQ(rows2, rows1) << "both margins take the same height from the page";
  EXPECT_NEAR(x3 - x0, 20 * 600 / 25.4, 2) << "20 mm more on the left shifts the table 20 mm right";
}
