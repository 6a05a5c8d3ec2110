// Clipboard, paste, undo and the row commands with their refusals.
#include <gtest/gtest.h>

#include "table_fixture.h"

using platform::Answer;
using tabletest::CountingView;

namespace {

const char kOverflow[] = "要粘贴的内容超出当前选择区域，\n按“是”允许超出，按“否”忽略超出部分";

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(4, 3); }
  void Build(int rows, int cols) {
    tabletest::MakeInputTable(v, rows, cols);
    for (int r = 1; r <= rows; ++r)
      for (int c = 1; c <= cols; ++c) v.SetCellText(r, c, std::to_string(r) + std::to_string(c));
    table::NullCanvas canvas;
    v.OnDraw(canvas);  // the first snapshot
    v.changed = 0;
    v.rowsAtChange.clear();
  }
  void Select(int r1, int c1, int r2, int c2) {
    v.SelectCell(r1, c1);
    if (r2 != r1 || c2 != c1) v.SelectCell(r2, c2, table::kMouseShift);
  }
  std::string Row(int r) {
    std::string s;
    for (int c = 1; c <= v.GetColCount(); ++c) s += (c > 1 ? "|" : "") + v.GetCellText(r, c);
    return s;
  }
  platform::FakeMessagePort msgs;
  platform::ScopedMemoryServices services;
  tabletest::RecordingFrame frame;
  CountingView v;
};

TEST_F(CommandTest, CopyIsTabSeparatedWithTrailingWhiteSpaceRemoved) {
  v.SetCellText(3, 2, "");
  v.SetCellText(3, 3, "");
  Select(2, 1, 3, 3);
  v.OnCopy();
  EXPECT_EQ(services.clipboard.text, "21\t22\t23\r\n31");
  Select(1, 2, 1, 2);
  v.OnCopy();
  EXPECT_EQ(services.clipboard.text, "12");
}

TEST_F(CommandTest, CopyWorksInAReadOnlyTable) {
  v.SetReadOnly(true, true, true);
  Select(1, 1, 1, 2);
  v.OnCopy();
  EXPECT_EQ(services.clipboard.text, "11\t12");
  EXPECT_EQ(msgs.Beeps(), 0);
}

TEST_F(CommandTest, CutEmptiesOnlyUnlockedCells) {
  v.SetCellLocked(1, 2, true);
  Select(1, 1, 1, 3);
  v.OnCut();
  EXPECT_EQ(services.clipboard.text, "11\t12\t13");
  EXPECT_EQ(Row(1), "|12|");
  EXPECT_EQ(v.changed, 1);
  EXPECT_EQ(v.GetUndoCount(), 2);
}

struct OverflowCase {
  const char* clip;
  Answer answer;
  const char* row1;
};

TEST_F(CommandTest, PasteBeyondTheSelectionAsksFirst) {
  const OverflowCase cases[] = {
      {"1.5,2.5", Answer::Yes, "1.5|2.5|13"},
      {"1.5,2.5", Answer::No, "1.5|12|13"},
      {"a\tb\tc\td", Answer::Yes, "a|b|c"},  // beyond the last column: dropped silently
  };
  for (const auto& c : cases) {
    Build(4, 3);
    msgs.Clear();
    services.clipboard.text = c.clip;
    Select(1, 1, 1, 1);
    msgs.Script({c.answer});
    v.OnPaste();
    EXPECT_EQ(Row(1), c.row1) << c.clip;
    ASSERT_EQ(msgs.Texts().size(), 1u);
    EXPECT_EQ(msgs.Texts()[0], kOverflow);
  }
}

TEST_F(CommandTest, TabLinesKeepCommasAndColonsAsUnderscores) {
  services.clipboard.text = "12:30\t5\r\na,b\tc\r\n";
  Select(1, 1, 2, 3);
  v.OnPaste();
  EXPECT_EQ(Row(1), "12_30|5|13");
  EXPECT_EQ(Row(2), "a_b|c|23");
  EXPECT_TRUE(msgs.Texts().empty()) << "inside the selection: no question";
  for (int r = 1; r <= v.GetRowCount(); ++r)
    for (int c = 1; c <= v.GetColCount(); ++c) EXPECT_EQ(v.GetCellText(r, c).find(','), std::string::npos);
}

// Rows fixed: the question comes only when Yes can reach more rows of the table;
// lines past its end are dropped without asking (Yes could not grow it).
TEST_F(CommandTest, PasteIntoFixedRowsAsksOnlyWhereYesCanFill) {
  struct Case {
    int top, bottom;   // selected rows, column 1
    bool asked;
    const char* row4;  // the last row of the table after Yes (when asked)
  } cases[] = {
      {4, 4, false, "a"},   // at the end: nothing below to fill
      {3, 4, false, "b"},   // selection reaches the end
      {3, 3, true, "b"},    // row 4 is there to take "b"
      {1, 2, true, "d"},    // rows 3 and 4 can take more; "e" is dropped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.top) + "-" + std::to_string(c.bottom));
    Build(4, 3);
    v.m_bRowsFixed = true;
    services.clipboard.text = "a\nb\nc\nd\ne";
    Select(c.top, 1, c.bottom, 1);
    msgs.Clear();
    msgs.Script({Answer::Yes});
    v.OnPaste();
    EXPECT_EQ(msgs.Texts().size(), c.asked ? 1u : 0u);
    EXPECT_EQ(v.GetRowCount(), 4);
    EXPECT_EQ(v.GetCellText(4, 1), c.row4);
  }
}

TEST_F(CommandTest, PasteAnsweredNoFillsOnlyTheSelectedRows) {
  services.clipboard.text = "a\nb\nc\nd\ne";
  Select(2, 1, 3, 1);
  msgs.Script({Answer::No});
  v.OnPaste();
  EXPECT_EQ(v.GetCellText(2, 1), "a");
  EXPECT_EQ(v.GetCellText(3, 1), "b");
  EXPECT_EQ(v.GetCellText(4, 1), "41");
  EXPECT_EQ(v.GetRowCount(), 4);
}

TEST_F(CommandTest, PasteThatGrowsTheTableFillsEveryNewRow) {
  v.unlockAll = true;  // the owning view unlocks its input rows on 1324
  services.clipboard.text = "a\tA\r\nb\tB\r\nc\tC\r\nd\tD\r\ne\tE\r\n";
  Select(2, 1, 3, 1);
  msgs.Script({Answer::Yes, Answer::Yes});
  v.OnPaste();
  ASSERT_EQ(v.GetRowCount(), 6);
  EXPECT_EQ(Row(2), "a|A|23");
  EXPECT_EQ(Row(6), "e|E|") << "rows added by the paste are filled too";
  ASSERT_GE(v.rowsAtChange.size(), 2u);
  EXPECT_EQ(v.rowsAtChange[0], 6) << "the view set up the new rows before they were filled";
  // the pasted block is selected; the current cell is its bottom right
  EXPECT_EQ(v.m_nSelRow, 2);
  EXPECT_EQ(v.m_nSelCol, 1);
  EXPECT_EQ(v.m_nCurRow, 6);
  EXPECT_EQ(v.m_nCurCol, 2);
  // one undo step takes the whole paste back, row count included
  v.OnUndo();
  EXPECT_EQ(v.GetRowCount(), 4);
  EXPECT_EQ(Row(2), "21|22|23");
}

TEST_F(CommandTest, PasteNeverGrowsARowsFixedTable) {
  v.m_bRowsFixed = true;
  services.clipboard.text = "a\nb\nc";
  Select(3, 1, 3, 1);
  msgs.Script({Answer::Yes});
  v.OnPaste();
  EXPECT_EQ(v.GetRowCount(), 4);
  EXPECT_EQ(v.GetCellText(3, 1), "a");
  EXPECT_EQ(v.GetCellText(4, 1), "b");
}

TEST_F(CommandTest, PasteKeepsLockedCells) {
  v.SetCellLocked(1, 2, true);
  services.clipboard.text = "x\ty\tz";
  Select(1, 1, 1, 3);
  v.OnPaste();
  EXPECT_EQ(Row(1), "x|12|z");
}

TEST_F(CommandTest, EmptyClipboardPastesNothing) {
  for (const char* clip : {"", "\r\n"}) {
    services.clipboard.text = clip;
    Select(1, 1, 1, 1);
    v.OnPaste();
    EXPECT_EQ(Row(1), "11|12|13");
  }
  EXPECT_EQ(v.changed, 0);
}

TEST_F(CommandTest, ClearEmptiesTheUnlockedSelection) {
  v.SetCellLocked(2, 2, true);
  Select(2, 1, 3, 2);
  EXPECT_TRUE(v.OnKeyDown(table::kKeyDelete, false));
  EXPECT_EQ(Row(2), "|22|23");
  EXPECT_EQ(Row(3), "||33");
  EXPECT_EQ(v.changed, 1);
}

// The last row of a staggered column is never shown as a cell and the editor does
// not open there: paste, cut and clear leave it alone as well.
TEST_F(CommandTest, StaggeredLastRowIsLeftAloneByPasteCutAndClear) {
  v.SetColumnStagger(2, true);
  Select(3, 1, 4, 3);
  v.OnClear();
  EXPECT_EQ(Row(3), "||");
  EXPECT_EQ(Row(4), "|42|");
  Select(4, 1, 4, 3);
  v.OnCut();
  EXPECT_EQ(services.clipboard.text, "\t42");
  EXPECT_EQ(Row(4), "|42|");

  services.clipboard.text = "a\tb\tc\r\nd\te\tf";
  Select(3, 1, 4, 3);
  v.OnPaste();
  EXPECT_EQ(Row(3), "a|b|c");
  EXPECT_EQ(Row(4), "d|42|f");

  // A paste that grows the table writes the old last row and skips the new one.
  v.unlockAll = true;
  msgs.Script({Answer::Yes});
  services.clipboard.text = "1\t2\t3\r\n4\t5\t6";
  Select(4, 1, 4, 3);
  v.OnPaste();
  ASSERT_EQ(v.GetRowCount(), 5);
  EXPECT_EQ(Row(4), "1|2|3");
  EXPECT_EQ(Row(5), "4||6");
}

// Undo restores a snapshot only into a table of its shape: a table of other
// columns shown without clearing the history starts a history of its own.
TEST_F(CommandTest, ASnapshotNeverRestoresIntoATableOfAnotherShape) {
  v.SelectCell(1, 1);
  v.BeginEdit();
  v.SetEditorText("e1");
  v.EndEdit();
  ASSERT_TRUE(v.CanUndo());

  // The same columns keep the history (the owning view rebuilds its table).
  v.NewTable(4, 3, "测试表", false);
  EXPECT_EQ(v.GetUndoCount(), 2);

  v.NewTable(2, 5, "另一表", false);
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 5; ++c) {
      v.SetCellLocked(r, c, false);
      v.SetCellText(r, c, "n" + std::to_string(r) + std::to_string(c));
    }
  EXPECT_EQ(v.GetUndoCount(), 0);
  EXPECT_FALSE(v.CanUndo());
  v.OnUndo();
  EXPECT_EQ(msgs.Beeps(), 1);
  EXPECT_EQ(Row(1), "n11|n12|n13|n14|n15");
  EXPECT_EQ(v.GetRowCount(), 2);
}

TEST_F(CommandTest, UndoRedoWalkTheHistoryAndANewEditDropsRedo) {
  for (const char* t : {"e1", "e2", "e3"}) {
    v.SelectCell(1, 1);
    v.BeginEdit();
    v.SetEditorText(t);
    v.EndEdit();
  }
  v.OnUndo();
  v.OnUndo();
  EXPECT_EQ(v.GetCellText(1, 1), "e1");
  EXPECT_TRUE(v.CanRedo());
  v.OnRedo();
  EXPECT_EQ(v.GetCellText(1, 1), "e2");
  v.OnUndo();
  v.SelectCell(1, 1);
  v.BeginEdit();
  v.SetEditorText("new");
  v.EndEdit();
  EXPECT_FALSE(v.CanRedo());
  v.OnRedo();
  EXPECT_EQ(msgs.Beeps(), 1);
  EXPECT_EQ(v.GetCellText(1, 1), "new");
  v.OnUndo();
  v.OnUndo();
  EXPECT_EQ(v.GetCellText(1, 1), "11") << "back to the table as first shown";
  v.OnUndo();
  EXPECT_EQ(msgs.Beeps(), 2);
}

TEST_F(CommandTest, UndoKeepsTextsExactlyAndRowsOfEmptyTables) {
  Build(1, 1);
  v.SetCellText(1, 1, "");
  v.ClearUndo();
  table::NullCanvas c;
  v.OnDraw(c);  // snapshot of a table whose only cell is empty
  v.SelectCell(1, 1);
  v.BeginEdit();
  v.SetEditorText("x");
  v.EndEdit();
  v.OnUndo();
  EXPECT_EQ(v.GetRowCount(), 1);
  EXPECT_EQ(v.GetCellText(1, 1), "");

  Build(3, 2);
  v.SetCellText(2, 1, "  5 03 07");  // a view's angle with its field blanks
  v.PushUndo();
  v.SelectCell(3, 1);
  v.OnInsertRow();
  EXPECT_EQ(v.GetRowCount(), 4);
  v.OnUndo();
  EXPECT_EQ(v.GetRowCount(), 3);
  EXPECT_EQ(v.GetCellText(2, 1), "  5 03 07");
  EXPECT_EQ(v.m_nCurRow, 3);
}

TEST_F(CommandTest, UndoAfterShrinkClampsTheCurrentCell) {
  Select(4, 3, 4, 3);
  v.OnDeleteRow();
  v.OnDeleteRow();
  EXPECT_EQ(v.GetRowCount(), 2);
  EXPECT_EQ(v.m_nCurRow, 2);
  v.OnUndo();
  v.OnUndo();
  EXPECT_EQ(v.GetRowCount(), 4);
  v.OnRedo();
  v.OnRedo();
  EXPECT_EQ(v.GetRowCount(), 2);
  EXPECT_LE(v.m_nCurRow, 2);
  EXPECT_LE(v.m_nSelRow, 2);
}

TEST_F(CommandTest, InsertDeleteAndMoveRows) {
  v.SetCellLocked(2, 1, true);
  v.SelectCell(2, 2);
  v.OnInsertRow();
  EXPECT_EQ(v.GetRowCount(), 5);
  EXPECT_EQ(Row(2), "||");
  EXPECT_TRUE(v.IsCellLocked(2, 1)) << "new rows are locked";
  EXPECT_EQ(v.m_nCurRow, 2);
  Select(2, 1, 3, 1);
  v.OnDeleteRow();
  EXPECT_EQ(v.GetRowCount(), 3);
  EXPECT_EQ(Row(2), "31|32|33");
  v.SelectCell(2, 1);
  v.OnMoveRowUp();
  EXPECT_EQ(Row(1), "31|32|33");
  EXPECT_EQ(Row(2), "11|12|13");
  EXPECT_EQ(v.m_nCurRow, 1);
  v.OnMoveRowDown();
  v.OnMoveRowDown();
  EXPECT_EQ(Row(3), "31|32|33");
  EXPECT_EQ(v.m_nCurRow, 3);
  EXPECT_EQ(v.changed, 5);
  EXPECT_EQ(msgs.Beeps(), 0);
}

TEST_F(CommandTest, MovingARowLeavesFlagsWithTheirRows) {
  v.SetCellLocked(1, 3, true);
  v.SetCellNoBorder(2, 1, true);
  v.SelectCell(1, 1);
  v.OnMoveRowDown();
  EXPECT_TRUE(v.IsCellLocked(1, 3));
  EXPECT_FALSE(v.IsCellLocked(2, 3));
  EXPECT_TRUE(v.IsCellNoBorder(2, 1));
  EXPECT_EQ(Row(2), "11|12|13");
}

TEST_F(CommandTest, DeletingEveryRowLeavesOneEmptyLockedRow) {
  v.OnSelectAll();
  v.OnDeleteRow();
  ASSERT_EQ(v.GetRowCount(), 1);
  EXPECT_EQ(Row(1), "||");
  EXPECT_TRUE(v.IsCellLocked(1, 1));
  EXPECT_EQ(v.m_nCurRow, 1);
}

TEST_F(CommandTest, RefusedCommandsBeepAndChangeNothing) {
  struct {
    const char* what;
    bool readOnly, rowsFixed;
    int row;
    void (CTableView::*cmd)();
  } cases[] = {
      {"cut read-only", true, false, 2, &CTableView::OnCut},
      {"paste read-only", true, false, 2, &CTableView::OnPaste},
      {"clear read-only", true, false, 2, &CTableView::OnClear},
      {"undo read-only", true, false, 2, &CTableView::OnUndo},
      {"insert read-only", true, false, 2, &CTableView::OnInsertRow},
      {"delete read-only", true, false, 2, &CTableView::OnDeleteRow},
      {"move read-only", true, false, 2, &CTableView::OnMoveRowUp},
      {"insert rows fixed", false, true, 2, &CTableView::OnInsertRow},
      {"delete rows fixed", false, true, 2, &CTableView::OnDeleteRow},
      {"move up rows fixed", false, true, 2, &CTableView::OnMoveRowUp},
      {"move down rows fixed", false, true, 2, &CTableView::OnMoveRowDown},
      {"move down on the last row", false, false, 4, &CTableView::OnMoveRowDown},
      {"move up on the first row", false, false, 1, &CTableView::OnMoveRowUp},
      {"insert without a current row", false, false, 0, &CTableView::OnInsertRow},
      {"undo with nothing done", false, false, 2, &CTableView::OnUndo},
      {"redo with nothing undone", false, false, 2, &CTableView::OnRedo},
  };
  for (const auto& c : cases) {
    Build(4, 3);
    v.m_bRowsFixed = c.rowsFixed;
    services.clipboard.text = "zz";
    if (c.row > 0) v.SelectCell(c.row, 1);
    else v.m_nCurRow = v.m_nSelRow = 0;
    v.SetReadOnly(c.readOnly, true, false);
    msgs.Clear();
    (v.*c.cmd)();
    EXPECT_EQ(msgs.Beeps(), 1) << c.what;
    EXPECT_EQ(v.GetRowCount(), 4) << c.what;
    EXPECT_EQ(Row(1), "11|12|13") << c.what;
    EXPECT_EQ(Row(2), "21|22|23") << c.what;
    EXPECT_EQ(v.changed, 0) << c.what;
  }
}

TEST_F(CommandTest, SelectAll) {
  EXPECT_TRUE(v.PreTranslateKey('A', true, false));
  EXPECT_EQ(v.m_nCurRow, 1);
  EXPECT_EQ(v.m_nCurCol, 1);
  EXPECT_EQ(v.m_nSelRow, 4);
  EXPECT_EQ(v.m_nSelCol, 3);
  v.NewTable(0, 0, "", true);
  v.OnSelectAll();
  EXPECT_EQ(v.m_nCurRow, 0);
  EXPECT_EQ(v.m_nSelRow, 0);
  EXPECT_FALSE(v.GetSelection(nullptr, nullptr, nullptr, nullptr));
  v.OnPaste();
  v.OnCopy();
  EXPECT_EQ(msgs.Beeps(), 0);
}

TEST_F(CommandTest, ContextMenuItemsAndGreying) {
  v.RecalcLayout();
  const auto r = v.GetCellRect(4, 1);
  services.clipboard.text = "";
  auto menu = v.OnRButtonDown(r.left + 2, r.top + 2);
  ASSERT_EQ(menu.size(), 10u);
  EXPECT_EQ(menu[0].text, "撤消\tCtrl+Z");
  EXPECT_TRUE(menu[0].grayed);
  EXPECT_TRUE(menu[1].grayed);
  EXPECT_EQ(menu[4].text, "粘贴\tCtrl+V");
  EXPECT_TRUE(menu[4].grayed) << "nothing to paste";
  EXPECT_EQ(menu[8].text, "上移一行");
  EXPECT_FALSE(menu[8].grayed);
  EXPECT_TRUE(menu[9].grayed) << "the last row cannot move down";
  EXPECT_EQ(v.m_nCurRow, 4);
  v.m_bRowsFixed = true;
  EXPECT_EQ(v.OnRButtonDown(r.left + 2, r.top + 2).size(), 6u);
  v.SetReadOnly(true, true, true);
  menu = v.OnRButtonDown(r.left + 2, r.top + 2);
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_EQ(menu[0].id, table::ID_COPY);
  EXPECT_TRUE(v.OnRButtonDown(1, 1).empty()) << "only over a cell";
}

TEST_F(CommandTest, BarButtonsFollowTheUndoState) {
  auto* undo = v.FindButton(table::ID_UNDO);
  auto* redo = v.FindButton(table::ID_REDO);
  ASSERT_NE(undo, nullptr);
  EXPECT_FALSE(undo->enabled);
  Select(1, 1, 1, 1);
  v.OnClear();
  EXPECT_TRUE(undo->enabled);
  v.OnCommand(table::ID_UNDO);
  EXPECT_FALSE(undo->enabled);
  EXPECT_TRUE(redo->enabled);
  EXPECT_EQ(v.Buttons().size(), 11u);
  EXPECT_FALSE(v.FindButton(table::ID_SWITCH_DRAWING)->visible);
  EXPECT_EQ(v.FindButton(table::ID_REDO)->x, 2 + 10 * 80);
  v.OnCommand(table::ID_SWITCH_DRAWING);
  EXPECT_EQ(frame.switched, 1);
}

}  // namespace
