// Layout, painting and print plans. Font height 12 gives H = 20 and cw = 6; the
// button band is 22 pixels, so the screen's y origin is (2 + 1 + 2) × 20 + 44.
#include <gtest/gtest.h>

#include "table_fixture.h"

using table::Rect;
using tabletest::CountingView;
using tabletest::Op;
using tabletest::RecordingCanvas;

namespace {

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    v.OnInitialUpdate();
    v.SetInterfaceRowHeight(22);
    v.SetClientSize(800, 600);
    v.SetFont(12, 3.0);
  }
  // Three columns: Chinese text, an angle column, a spanned heading.
  void BuildSample(int rows = 3) {
    v.NewTable(rows, 3, "导线计算表", true);
    v.SetColumnHeader(1, "点名", "", 0, 4);
    v.SetColumnHeader(2, "观测角", "(°')", 0, 4);
    v.SetColumnHeader(3, "很长的表头文字", "(m)", 2, 4);
    v.SetCellText(1, 1, "中文abc");  // 7 bytes: Chinese counts 2
    v.SetCellText(2, 2, "123 45 30");
    v.SetCellText(3, 3, "1.5");
    v.RecalcLayout();
  }
  // 254 dpi: 10 pixels a millimetre; 210 × 220 mm gives 30 rows a page.
  static table::PrintDevice Paper(int widthMm = 210, int heightMm = 220) {
    table::PrintDevice d;
    d.dpiX = d.dpiY = 254;
    d.physWidth = widthMm * 10;
    d.physHeight = heightMm * 10;
    d.width = d.physWidth;
    return d;
  }
  CountingView v;
};

TEST_F(LayoutTest, WidthsComeFromGbkByteLengths) {
  BuildSample();
  EXPECT_EQ(v.GetRowHeight(), 20);
  EXPECT_EQ(v.GetCharWidth(), 6);
  // (7 + 3) × 6: "中文abc" is 7 bytes; the header "点名" (4) and minChars 4 are shorter.
  EXPECT_EQ(v.GetColumn(1).width, 60);
  EXPECT_EQ(v.GetColumn(1).maxTextLen, 7);
  // "(°')" is 5 bytes, "观测角" 6, the angle text 9: (9 + 3) × 6.
  EXPECT_EQ(v.GetColumn(2).width, 72);
  // A spanned heading does not widen its column: (4 + 3) × 6.
  EXPECT_EQ(v.GetColumn(3).width, 42);
  EXPECT_EQ(v.GetColumn(3).right, 174);
}

TEST_F(LayoutTest, HeaderLinesThreeAndFourDoNotWidenAColumn) {
  BuildSample();
  v.SetColumnHeaderLines(3, "一二三四五六七八九十", "很长很长很长很长");
  v.RecalcLayout();
  EXPECT_EQ(v.GetColumn(3).width, 42);
}

TEST_F(LayoutTest, YOriginAndCellRectangles) {
  BuildSample();
  const auto& l = v.Layout();
  EXPECT_EQ(l.yOrigin, 144);
  EXPECT_EQ(l.xOrigin, 60);
  EXPECT_EQ(v.GetCellRect(1, 2), (Rect{120, 144, 192, 164}));
  EXPECT_EQ(v.GetCellRect(3, 1), (Rect{60, 184, 120, 204}));
  v.SetColumnHeaderLines(1, "三", "四");
  v.m_nLinesAbove = 2;
  v.RecalcLayout();
  EXPECT_EQ(v.Layout().yOrigin, (4 + 2 + 2) * 20 + 44);
}

TEST_F(LayoutTest, StaggeredColumnSitsHalfARowLowerAndEndsHalfHigh) {
  BuildSample();
  v.SetColumnStagger(3, true);
  v.RecalcLayout();
  EXPECT_EQ(v.GetCellRect(1, 3), (Rect{192, 154, 234, 174}));
  EXPECT_EQ(v.GetCellRect(3, 3), (Rect{192, 194, 234, 204})) << "last visible row keeps its upper half";
  int row = 0, col = 0;
  EXPECT_FALSE(v.HitTest(200, 150, &row, &col)) << "above the first staggered cell";
  ASSERT_TRUE(v.HitTest(200, 160, &row, &col));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 3);
  ASSERT_TRUE(v.HitTest(125, 150, &row, &col));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(col, 2);
  EXPECT_FALSE(v.HitTest(59, 150, &row, &col));
}

TEST_F(LayoutTest, TitleAndHeaderItemRectangles) {
  BuildSample();
  const auto& l = v.Layout();
  EXPECT_EQ(l.title, (Rect{60, 44, 234, 68}));
  // W = 174, T = 58; "工程名称：" is 10 bytes, so the left item is (10 + 2) × 6 wide.
  EXPECT_EQ(l.header[0], (Rect{60, 79, 132, 99}));
  EXPECT_EQ(l.header[1], (Rect{137, 79, 176, 99}));
  // the page template is 16 bytes: 181 + 18 × 6
  EXPECT_EQ(l.header[2], (Rect{181, 79, 289, 99}));
  EXPECT_EQ(l.header[3].Height(), 0) << "only one line above by default";
  // The line below: 5 pixels under the last row.
  EXPECT_EQ(l.header[9].top, 209);
  EXPECT_EQ(l.header[9].Height(), 20);
}

TEST_F(LayoutTest, LinesAboveChooseWhichItemsShow) {
  BuildSample();
  struct {
    int lines;
    int shownUpTo;  // items 0..shownUpTo-1 have height
  } cases[] = {{0, 0}, {1, 3}, {2, 6}, {3, 9}};
  for (const auto& c : cases) {
    v.m_nLinesAbove = c.lines;
    v.RecalcLayout();
    for (int k = 0; k < 9; ++k)
      EXPECT_EQ(v.Layout().header[k].Height() > 0, k < c.shownUpTo) << c.lines << " lines, item " << k;
  }
}

TEST_F(LayoutTest, SignatureBlockUnderTheLastRow) {
  BuildSample();
  v.SetSignatureTexts(2, "备注", "第一行说明", "第二行说明");
  v.RecalcLayout();
  const auto& l = v.Layout();
  EXPECT_EQ(l.signature[0], (Rect{130, 204, 234, 224}));
  EXPECT_EQ(l.signature[1], (Rect{130, 224, 234, 244}));
  EXPECT_EQ(l.header[9].top, 204 + 2 * 20 + 5);
}

TEST_F(LayoutTest, ScrollRangesAndEnsureCellVisible) {
  BuildSample(100);
  v.UpdateScrollBars();
  // 100 rows + line below + line above - 578 / 20 + 10
  EXPECT_EQ(v.GetScrollState().vMax, 84);
  EXPECT_TRUE(v.GetScrollState().vVisible);
  EXPECT_EQ(v.GetScrollState().hMax, 0);
  EXPECT_FALSE(v.GetScrollState().hVisible);
  v.SetClientSize(200, 600);
  EXPECT_EQ(v.GetScrollState().hMax, 174 + 160 - 200);

  v.SetClientSize(800, 600);
  v.SelectCell(50, 1);
  EXPECT_GT(v.GetFirstRow(), 1);
  const Rect r = v.GetCellRect(50, 1);
  ASSERT_FALSE(r.IsEmpty());
  EXPECT_LE(r.bottom, 600 - 16);
  v.SelectCell(10, 2);
  EXPECT_EQ(v.GetFirstRow(), 10);
  v.OnVScroll(table::ScrollAction::Bottom);
  EXPECT_EQ(v.GetFirstRow(), 85);
  v.OnMouseWheel(120);
  EXPECT_EQ(v.GetFirstRow(), 84);
  v.OnVScroll(table::ScrollAction::Top);
  EXPECT_EQ(v.GetFirstRow(), 1);
}

TEST_F(LayoutTest, HorizontalScrollMovesTheXOrigin) {
  BuildSample();
  v.SetClientSize(150, 600);
  v.OnHScroll(table::ScrollAction::LineDown);
  v.RecalcLayout();
  EXPECT_EQ(v.Layout().xOrigin, 10);
  v.OnHScroll(table::ScrollAction::PageDown);
  v.RecalcLayout();
  EXPECT_EQ(v.Layout().xOrigin, 60 - v.GetScrollState().hMax) << "clamped to the range";
}

TEST_F(LayoutTest, PrintPlanOfPlainAndStaggeredTables) {
  struct {
    int rows;
    bool stagger;
    int pages;
    std::vector<int> firstRows;
  } cases[] = {
      {100, false, 4, {1, 31, 61, 91}},
      {100, true, 4, {1, 30, 59, 88}},
      {30, false, 1, {1}},
      {31, true, 2, {1, 30}},
      {60, true, 3, {1, 30, 59}},
  };
  for (const auto& c : cases) {
    BuildSample(c.rows);
    v.SetColumnStagger(3, c.stagger);
    const auto& plan = v.OnBeginPrinting(Paper());
    EXPECT_EQ(plan.rowsPerPage, 30);
    EXPECT_EQ(plan.pages, c.pages) << c.rows << (c.stagger ? " staggered" : "");
    EXPECT_EQ(plan.firstRows, c.firstRows);
    EXPECT_EQ(plan.padRows, 0);
    v.OnEndPrinting();
  }
}

TEST_F(LayoutTest, PadRowsFillTheLastPageWithoutTouchingTheTable) {
  BuildSample(70);
  v.m_bPadRows = true;
  const auto& plan = v.OnBeginPrinting(Paper());
  EXPECT_EQ(plan.pages, 3);
  EXPECT_EQ(plan.padRows, 20);
  v.OnPrepareDC(3);
  EXPECT_EQ(v.PrintLayout().firstRow, 61);
  EXPECT_EQ(v.PrintLayout().visibleRows, 30);
  EXPECT_EQ(v.GetRowCount(), 70) << "pad rows are printed, not added";
  v.OnEndPrinting();
  EXPECT_EQ(v.GetRowCount(), 70);
  EXPECT_EQ(v.changed, 0);
}

TEST_F(LayoutTest, StaggeredPadRowsKeepTheSignatureOnTheLastPage) {
  BuildSample(100);
  v.SetColumnStagger(3, true);
  v.SetSignatureTexts(2, "备注", "说明一", "说明二");
  v.m_bPadRows = true;
  const auto& plan = v.OnBeginPrinting(Paper());
  ASSERT_EQ(plan.pages, 4);
  // The pages hold 30 + 3 × 29 = 117 rows; two of them go to the signature.
  EXPECT_EQ(plan.padRows, 15);
  RecordingCanvas page4;
  v.OnPrint(page4, 4);
  EXPECT_TRUE(v.PrintLayout().HoldsLastRow());
  EXPECT_NE(page4.FindText("说明一"), nullptr) << "the signature block is on the last page";
  RecordingCanvas page3;
  v.OnPrint(page3, 3);
  EXPECT_EQ(page3.FindText("说明一"), nullptr);
  v.OnEndPrinting();
}

TEST_F(LayoutTest, PrintWidthsAndFitToPaper) {
  // A table narrower than the paper gets wider columns.
  BuildSample();
  v.OnBeginPrinting(Paper());
  // tight widths (L + 1) × cw: 48, 60, 30 = 138; table width 12 × 170 / 3 = 680
  const int extra = (680 - 138) / 3;
  EXPECT_DOUBLE_EQ(v.GetPrintPlan().tableWidth, 680.0);
  EXPECT_DOUBLE_EQ(v.GetPrintPlan().scale, 2.5);
  v.OnPrepareDC(1);
  EXPECT_EQ(v.PrintLayout().width[2], 60 + extra);
  auto t = v.OnPrepareDC(1);
  EXPECT_DOUBLE_EQ(t.scaleX, 2.5);
  EXPECT_DOUBLE_EQ(t.scaleY, 2.5);
  v.OnEndPrinting();

  // Margins leaving no room: the angle column prints (9 + 1) × cw.
  v.m_nMarginLeft = v.m_nMarginRight = 100;
  v.OnBeginPrinting(Paper());
  v.OnPrepareDC(1);
  EXPECT_EQ(v.PrintLayout().width[2], 60);
  v.OnEndPrinting();
  v.m_nMarginLeft = v.m_nMarginRight = 20;

  // A table twice as wide as the paper is compressed to half.
  v.NewTable(3, 4, "宽表", true);
  for (int j = 1; j <= 4; ++j) v.SetColumnHeader(j, "", "", 0, 56);  // (56 + 1) × 6 = 342 each
  v.OnBeginPrinting(Paper());
  t = v.OnPrepareDC(1);
  EXPECT_DOUBLE_EQ(t.scaleX, 1.25);
  EXPECT_DOUBLE_EQ(t.scaleY, 2.5);
  v.OnEndPrinting();

  v.m_bFitWidth = false;
  v.OnBeginPrinting(Paper());
  t = v.OnPrepareDC(1);
  EXPECT_DOUBLE_EQ(t.scaleX, 2.5);
  // width (56 + 3) × 6 × 4 = 1416; (2100 - (1416 + 120) × 2.5) / 2
  EXPECT_EQ(t.originX, static_cast<int>((2100 - 1536 * 2.5) * 0.5));
  v.OnEndPrinting();
}

TEST_F(LayoutTest, PageNumberTemplatePrintsRealNumbers) {
  BuildSample(100);
  RecordingCanvas screen;
  v.OnDraw(screen);
  EXPECT_NE(screen.FindText("第   页  共   页"), nullptr);
  v.OnBeginPrinting(Paper());
  RecordingCanvas page2;
  v.OnPrint(page2, 2);
  EXPECT_NE(page2.FindText("第 2 页  共 4 页"), nullptr);
  EXPECT_EQ(page2.FindText("第   页  共   页"), nullptr);
  v.OnEndPrinting();
}

class PaintTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    tabletest::MakeInputTable(v, 4, 3);
    v.SetCellLocked(1, 1, true);
    for (int r = 1; r <= 4; ++r)
      for (int c = 1; c <= 3; ++c) v.SetCellText(r, c, std::to_string(r) + std::to_string(c));
  }
  RecordingCanvas Paint() {
    RecordingCanvas c;
    v.OnDraw(c);
    return c;
  }
};

TEST_F(PaintTest, SingleCurrentCellIsWhiteWithBlueTextBackgroundAndRedFrame) {
  v.SelectCell(2, 2);
  RecordingCanvas c = Paint();
  const Rect r = v.GetCellRect(2, 2);
  EXPECT_TRUE(c.HasFill(r, table::colors::kWhite));
  const Op* t = c.FindText("22");
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->style.opaque);
  EXPECT_EQ(t->style.background, table::colors::kSelection);
  EXPECT_EQ(t->color, table::colors::kWhite);
  int red = 0;
  for (const auto& o : c.ops) red += o.kind == Op::Line && o.color == table::colors::kRed;
  EXPECT_EQ(red, 4);
  // the row marker: tip 15, base 21 pixels left of column 1, 8 high
  bool marker = false;
  for (const auto& o : c.ops)
    if (o.kind == Op::Poly) marker = o.rect == Rect{39, r.top + 6, 45, r.top + 14};
  EXPECT_TRUE(marker);
}

TEST_F(PaintTest, RangeSelectionIsFilledBlueWithWhiteText) {
  v.SelectCell(2, 2);
  v.SelectCell(3, 3, table::kMouseShift);
  RecordingCanvas c = Paint();
  for (int r = 2; r <= 3; ++r)
    for (int col = 2; col <= 3; ++col) EXPECT_TRUE(c.HasFill(v.GetCellRect(r, col), table::colors::kSelection));
  EXPECT_EQ(c.FindText("33")->color, table::colors::kWhite);
  EXPECT_EQ(c.FindText("43")->color, table::colors::kBlack);
  EXPECT_TRUE(c.HasFill(v.GetCellRect(4, 3), table::colors::kWhite)) << "unlocked cells are white";
  EXPECT_FALSE(c.HasFill(v.GetCellRect(1, 1), table::colors::kWhite)) << "locked cells keep the background";
}

TEST_F(PaintTest, NoBorderCellLosesItsTopLine) {
  v.SetCellNoBorder(3, 2, true);
  RecordingCanvas c = Paint();
  const Rect a = v.GetCellRect(3, 2), b = v.GetCellRect(3, 3);
  EXPECT_FALSE(c.HasLine(a.left, a.top, a.right, a.top));
  EXPECT_TRUE(c.HasLine(b.left, b.top, b.right, b.top));
}

TEST_F(PaintTest, PrintingUsesNoSelectionColours) {
  v.SelectCell(2, 2);
  v.SelectCell(3, 3, table::kMouseShift);
  v.OnBeginPrinting(Paper());
  RecordingCanvas c;
  v.OnPrint(c, 1);
  for (const auto& o : c.ops) {
    EXPECT_FALSE(o.kind == Op::Fill && o.color == table::colors::kSelection);
    EXPECT_FALSE(o.kind == Op::Line && o.color == table::colors::kRed);
    EXPECT_NE(o.kind, Op::Poly);
  }
  v.OnEndPrinting();
}

TEST_F(PaintTest, LastRowOfAStaggeredColumnStaysEmpty) {
  v.SetColumnStagger(3, true);
  RecordingCanvas c = Paint();
  EXPECT_NE(c.FindText("33"), nullptr);
  EXPECT_EQ(c.FindText("43"), nullptr);
}

TEST_F(PaintTest, FirstPaintTakesTheFirstUndoSnapshot) {
  EXPECT_EQ(v.GetUndoIndex(), -1);
  Paint();
  EXPECT_EQ(v.GetUndoIndex(), 0);
  EXPECT_EQ(v.GetUndoCount(), 1);
}

TEST_F(LayoutTest, EmptyTableShowsTheHintOrTheNotice) {
  v.NewTable(0, 0, "", true);
  RecordingCanvas a;
  v.OnDraw(a);
  EXPECT_NE(a.FindText("当前表格无内容或尚未计算！"), nullptr);
  v.m_strHint = "请先计算";
  RecordingCanvas b;
  v.OnDraw(b);
  const Op* t = b.FindText("简要提示：\n\n请先计算");
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->style.wrap);
}

}  // namespace
