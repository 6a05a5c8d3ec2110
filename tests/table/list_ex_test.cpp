// The editable list as a dialog uses it: the input row that always follows, undo and
// redo, paste into the input row and past the selection, row commands and refusals.
#include <gtest/gtest.h>

#include "table/list_ex.h"

namespace {

// A list of columns 序号 + a, b (editable) + c (read-only), one empty input row.
struct ListFixture : ::testing::Test {
  ListFixture() {
    list.InsertColumn(0, "序号", 40, 0);
    list.InsertColumn(1, "a", 70, 7);
    list.InsertColumn(2, "b", 70, 4);
    list.InsertColumn(3, "c", 70, 0);
    list.InsertItem(0, "");
    list.Select(0, 1);
    list.PushUndo();
    list.beep = [this] { ++beeps; };
    list.SetListener([this](int code, const std::vector<int>&, int) { codes.push_back(code); });
  }
  std::vector<std::string> Col(int c) const {
    std::vector<std::string> out;
    for (int r = 0; r < list.GetItemCount(); ++r) out.push_back(list.GetItemText(r, c));
    return out;
  }
  void Type(int row, int col, const std::string& text) {
    list.Select(row, col);
    ASSERT_TRUE(list.BeginEdit());
    list.EndEdit(text);
  }
  CListEx list;
  int beeps = 0;
  std::vector<int> codes;
};

TEST_F(ListFixture, AnInputRowAlwaysFollows) {
  list.Select(0, 1);
  ASSERT_TRUE(list.BeginEdit());
  EXPECT_EQ(list.GetItemCount(), 2);  // opening the input row appends the next
  list.EndEdit("");
  EXPECT_EQ(list.GetItemCount(), 1);  // left empty: back to one row
  Type(0, 1, "1,5");
  EXPECT_EQ(Col(1), (std::vector<std::string>{"15", ""}));  // commas never reach a cell
  list.Select(0, 3);
  EXPECT_FALSE(list.BeginEdit());  // read-only column
  list.SetItemText(1, 2, "x");
  list.KeepOneEmptyRow();
  EXPECT_EQ(list.GetItemCount(), 3);
  list.SetItemText(1, 2, "");
  list.KeepOneEmptyRow();
  EXPECT_EQ(list.GetItemCount(), 2);
}

TEST_F(ListFixture, UndoAndRedoRoundTrip) {
  Type(0, 1, "1");
  Type(1, 2, "2");
  EXPECT_EQ(list.GetItemCount(), 3);
  ASSERT_TRUE(list.Undo());
  EXPECT_EQ(Col(2), (std::vector<std::string>{"", ""}));
  ASSERT_TRUE(list.Undo());
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_FALSE(list.Undo());
  EXPECT_EQ(beeps, 1);
  ASSERT_TRUE(list.Redo());
  ASSERT_TRUE(list.Redo());
  EXPECT_EQ(Col(1), (std::vector<std::string>{"1", "", ""}));
  EXPECT_EQ(Col(2), (std::vector<std::string>{"", "2", ""}));
  EXPECT_FALSE(list.Redo());
}

TEST(ListEx, UndoOfAOneColumnListKeepsItsRow) {
  CListEx list;
  list.InsertColumn(0, "序号", 40, 0);
  list.InsertColumn(1, "a", 70, 7);
  list.InsertItem(0, "");
  list.Select(0, 1);
  list.PushUndo();  // the snapshot of one empty cell is ""
  list.Select(0, 1);
  list.BeginEdit();
  list.EndEdit("9");
  ASSERT_TRUE(list.Undo());
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(list.GetItemText(0, 1), "");
}

TEST_F(ListFixture, PasteIntoTheInputRowAppendsRows) {
  int asked = 0;
  list.Select(0, 1);
  list.Paste("1\t2\r\n3\t4\r\n5\t6\r\n", [&](const std::string& q) {
    ++asked;
    EXPECT_EQ(q, CListEx::kOverflowQuestion);
    return true;
  });
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Col(1), (std::vector<std::string>{"1", "3", "5", ""}));
  EXPECT_EQ(Col(2), (std::vector<std::string>{"2", "4", "6", ""}));
  EXPECT_EQ(codes.back(), CListEx::kContentsChanged);
}

TEST(ListEx, PasteKeepsEveryLineAfterABlankLine) {
  struct Case {
    const char* clip;
    std::vector<std::string> a, b;
  };
  const Case cases[] = {
      {"1\t2\n\n3\t4\n", {"1", "", "3", ""}, {"2", "", "4", ""}},
      {"1\t2\r\n\r\n\r\n3\t4", {"1", "", "", "3", ""}, {"2", "", "", "4", ""}},
      {"\n1\t2", {"", "1", ""}, {"", "2", ""}},
      {"1,2\n\n3,4\n\n", {"1", "", "3", ""}, {"2", "", "4", ""}},
  };
  for (const Case& c : cases) {
    CListEx list;
    list.InsertColumn(0, "序号", 40, 0);
    list.InsertColumn(1, "a", 70, 7);
    list.InsertColumn(2, "b", 70, 7);
    list.InsertItem(0, "");
    list.Select(-1, 0);  // everything: the paste may fill as many rows as it brings
    list.Paste(c.clip, [](const std::string&) { return true; });
    std::vector<std::string> a, b;
    for (int r = 0; r < list.GetItemCount(); ++r) {
      a.push_back(list.GetItemText(r, 1));
      b.push_back(list.GetItemText(r, 2));
    }
    EXPECT_EQ(a, c.a) << c.clip;
    EXPECT_EQ(b, c.b) << c.clip;
  }
}

TEST_F(ListFixture, PasteAnsweredNoStaysInTheSelection) {
  list.Paste("1\t2\t3\n4", [](const std::string&) { return false; });
  EXPECT_EQ(Col(1), (std::vector<std::string>{"1", ""}));
  EXPECT_EQ(Col(2), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(Col(3), (std::vector<std::string>{"", ""}));  // read-only never written
}

TEST_F(ListFixture, ClearLeavesReadOnlyColumnsAndCopySkipsTheInputRow) {
  Type(0, 1, "a1");
  Type(0, 2, "b1");
  list.SetItemText(0, 3, "keep");
  list.Select(-1, 0);  // everything
  EXPECT_EQ(list.CopyText(), "a1\tb1\tkeep");
  list.Clear();
  EXPECT_EQ(list.GetItemText(0, 1), "");
  EXPECT_EQ(list.GetItemText(0, 3), "keep");
}

TEST_F(ListFixture, RowCommandsRefusedOnTheInputRowAndInColumnMode) {
  Type(0, 1, "r1");
  Type(1, 1, "r2");
  ASSERT_EQ(list.GetItemCount(), 3);
  list.Select(2, 1);
  EXPECT_FALSE(list.InsertRowCommand());
  EXPECT_FALSE(list.DeleteRowCommand());
  EXPECT_FALSE(list.MoveRowCommand(-1));
  list.Select(1, 1);
  EXPECT_FALSE(list.MoveRowCommand(1));  // not into the input row
  list.Select(-1, 1);
  EXPECT_FALSE(list.InsertRowCommand());
  EXPECT_EQ(beeps, 5);
  list.Select(1, 1);
  ASSERT_TRUE(list.MoveRowCommand(-1));
  EXPECT_EQ(Col(1), (std::vector<std::string>{"r2", "r1", ""}));
  list.Select(0, 1);
  ASSERT_TRUE(list.InsertRowCommand());
  EXPECT_EQ(Col(1), (std::vector<std::string>{"", "r2", "r1", ""}));
  list.Select(0, 0);
  list.Select(2, 0, CListEx::kShift);
  ASSERT_TRUE(list.DeleteRowCommand());
  EXPECT_EQ(Col(1), (std::vector<std::string>{""}));
}

// The menus as (text, greyed) in order.
std::vector<std::pair<std::string, bool>> Items(const std::vector<table::MenuItem>& menu) {
  std::vector<std::pair<std::string, bool>> out;
  for (const auto& m : menu) out.emplace_back(m.text, m.grayed);
  return out;
}

TEST_F(ListFixture, CellMenuGreysWhatTheRowAllows) {
  Type(0, 1, "r1");
  Type(1, 1, "r2");  // rows r1, r2 and the input row
  struct Case {
    int row, col;
    bool canPaste;
    bool insertDelete, up, down;  // greyed
  } cases[] = {
      {0, 1, true, false, true, false},   // first data row: no move up
      {1, 2, false, false, false, true},  // last data row: no move down
      {2, 1, true, true, true, true},     // the input row: no row command
  };
  for (const Case& c : cases) {
    const auto menu = Items(list.OnRButtonDown(c.row, c.col, c.canPaste));
    ASSERT_EQ(menu.size(), 10u);
    EXPECT_EQ(menu[0], std::make_pair(std::string("撤消\tCtrl+Z"), false));
    EXPECT_EQ(menu[1], std::make_pair(std::string("恢复\tCtrl+Y"), true));
    EXPECT_EQ(menu[4], std::make_pair(std::string("粘贴\tCtrl+V"), !c.canPaste));
    EXPECT_EQ(menu[5], std::make_pair(std::string("插入行\tCtrl+I"), c.insertDelete));
    EXPECT_EQ(menu[6], std::make_pair(std::string("删除行\tCtrl+D"), c.insertDelete));
    EXPECT_EQ(menu[7].first, "清除\tDel");
    EXPECT_EQ(menu[8], std::make_pair(std::string("上移一行"), c.up));
    EXPECT_EQ(menu[9], std::make_pair(std::string("下移一行"), c.down));
    EXPECT_EQ(list.CurrentRow(), c.row);
    EXPECT_EQ(list.CurrentCol(), c.col);
  }
  // A right click inside the selection keeps it; a selected row stays a row.
  list.Select(0, 0);
  list.Select(1, 0, CListEx::kShift);
  list.OnRButtonDown(1, 0, false);
  EXPECT_EQ(list.SelectionMode(), CListEx::kRows);
  EXPECT_TRUE(list.IsRowSelected(0));
  // Fixed rows: no row commands at all.
  list.SetRowsFixed(true);
  EXPECT_EQ(list.OnRButtonDown(0, 1, false).size(), 6u);
}

TEST_F(ListFixture, HeaderMenuSelectsTheColumnOnce) {
  Type(0, 1, "r1");
  const auto menu = list.OnHeaderRButtonDown(2, false);
  std::vector<int> ids;
  for (const auto& m : menu) ids.push_back(m.id);
  EXPECT_EQ(ids, (std::vector<int>{1225, 1226, 1227, 1228, 1229, 1232}));
  EXPECT_EQ(list.SelectionMode(), CListEx::kColumns);
  EXPECT_TRUE(list.IsColumnSelected(2));
  // Ctrl adds column 1; a right click on an already selected column keeps both.
  list.Select(-1, 1, CListEx::kCtrl);
  list.OnHeaderRButtonDown(2, false);
  EXPECT_TRUE(list.IsColumnSelected(1));
  EXPECT_TRUE(list.IsColumnSelected(2));
}

TEST_F(ListFixture, CommandsRunThroughOneEntry) {
  Type(0, 1, "r1");
  Type(0, 2, "5");
  std::string clip;
  list.Select(0, 1);
  list.Select(0, 2, CListEx::kShift);
  codes.clear();
  ASSERT_TRUE(list.OnCommand(table::ID_COPY, &clip, "", nullptr));
  EXPECT_EQ(clip, "r1\t5");
  ASSERT_TRUE(list.OnCommand(table::ID_CLEAR, nullptr, "", nullptr));
  EXPECT_EQ(list.GetItemText(0, 1), "");
  ASSERT_TRUE(list.OnCommand(table::ID_UNDO, nullptr, "", nullptr));
  EXPECT_EQ(list.GetItemText(0, 1), "r1");
  EXPECT_FALSE(list.OnCommand(table::ID_PASTE, nullptr, "", nullptr));  // nothing to paste
  list.Select(0, 1);
  ASSERT_TRUE(list.OnCommand(table::ID_INSERT_ROW, nullptr, "", nullptr));
  EXPECT_EQ(codes, (std::vector<int>{CListEx::kContentsChanged, CListEx::kContentsChanged, CListEx::kCurrentMoved,
                                     CListEx::kRowsInserted}));
  EXPECT_EQ(beeps, 1);
  EXPECT_FALSE(list.OnCommand(4711, nullptr, "", nullptr));
}

TEST_F(ListFixture, TipsFollowTheSelection) {
  list.Column(1).tip = "点名";
  Type(0, 1, "r1");
  list.Select(0, 2);
  EXPECT_EQ(list.TipAt(0, 0), CListEx::kSelectedTip);  // the row header
  EXPECT_EQ(list.TipAt(0, 1), "点名");
  EXPECT_EQ(list.TipAt(0, 2), "");                   // the one selected cell
  list.Select(0, 0);                                 // the row
  EXPECT_EQ(list.TipAt(0, 1), CListEx::kSelectedTip);
  EXPECT_EQ(list.TipAt(1, 1), "点名");
  EXPECT_EQ(list.TipAt(9, 1), "");
}


}  // namespace
