// Cell editing: the input filters, the angle normaliser, the end of an edit, the
// click rules and the keys that act on the table while an editor is open.
#include <gtest/gtest.h>

#include "table/cell_edit.h"
#include "table_fixture.h"

using platform::Answer;
using table::AcceptsChar;
using table::NormalizeAngleText;
using tabletest::CountingView;
using tabletest::RecordingFrame;
using tabletest::RecordingHost;

TEST(AngleNormaliser, GridFormPadsDegreesToThreeCharacters) {
  struct {
    const char* typed;
    const char* stored;
  } cases[] = {
      {"123.4530", "123 45 30"},
      {"12.3", " 12 30 00"},
      {"5 3 7", "  5 03 07"},
      {"123 45 30.5", "123 45 30.5"},
      {"365 75 80", "  5 15 20"},   // each field folds alone: no carry
      {"1234567", "123 56 10"},
      {"5 3 7.25", "  5 03 07.25"},
      {"5 3 .5", "  5 03 00.5"},
      {"0.5959", "  0 59 59"},
      {".5", "  0 50 00"},
      {"90", " 90 00 00"},
      {"-0.3", "-  0 30 00"},
      {"- 12.3", "- 12 30 00"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeAngleText(c.typed, true), c.stored) << c.typed;
}

TEST(AngleNormaliser, ListFormHasNoLeadingBlanks) {
  EXPECT_EQ(NormalizeAngleText("12.3", false), "12 30 00");
  EXPECT_EQ(NormalizeAngleText("5 3 7", false), "5 03 07");
  EXPECT_EQ(NormalizeAngleText("-0.3", false), "-0 30 00");
}

TEST(CellFilter, CharactersEachInputTypeTakes) {
  struct {
    int type;
    const char* before;
    int caret;
    char32_t ch;
    bool accepted;
  } cases[] = {
      {1, "12", 2, U'3', true},
      {1, "12", 2, U'-', false},
      {1, "12", 2, U'.', false},
      {1, "", 0, U'１', false},  // full-width digit
      {2, "", 0, U'-', true},
      {2, "  ", 2, U'-', true},   // blank text
      {2, "5", 1, U'-', false},   // after a digit
      {2, "5", 0, U'-', true},    // caret at the start, no "-" yet
      {2, "-5", 0, U'-', false},
      {3, "1.5", 3, U'.', false},
      {3, "15", 2, U'.', true},
      {3, "15", 0, U'-', false},
      {4, "15", 0, U'-', true},
      {4, "1.5", 1, U'.', false},
      {5, "123", 3, U' ', true},
      {5, "123", 3, U'-', false},
      {5, "12 3", 4, U'.', true},
      {6, "12", 0, U'-', true},
      {7, "abc", 3, U'中', true},
      {7, "abc", 3, U'｜', true},
      {9, "", 0, U'x', true},     // unknown types are free text
      {8, "", 0, 8, true},        // backspace always
  };
  for (const auto& c : cases)
    EXPECT_EQ(AcceptsChar(c.type, c.before, c.caret, c.ch), c.accepted)
        << "type " << c.type << " '" << c.before << "' + U+" << std::hex << static_cast<int>(c.ch);
  for (int type = 1; type <= 8; ++type) EXPECT_FALSE(AcceptsChar(type, "", 0, U',')) << type;
}

TEST(CellFilter, InsertedBlocksAreFilteredCharacterByCharacter) {
  bool refused = false;
  EXPECT_EQ(table::FilterInsertedText(3, "", 0, "1.2.3", &refused), "1.23");
  EXPECT_TRUE(refused);
  EXPECT_EQ(table::FilterInsertedText(7, "x", 1, "a,b\r\nc", &refused), "abc");
  EXPECT_TRUE(refused);
  EXPECT_EQ(table::FilterInsertedText(2, "", 0, "-12", &refused), "-12");
  EXPECT_FALSE(refused);
  EXPECT_EQ(table::FilterInsertedText(1, "", 0, "１２3", &refused), "3");
}

TEST(CellFilter, AnglesWithSixtyMinutesOrSecondsAreRefused) {
  struct {
    int type;
    const char* text;
    bool accepted;
  } cases[] = {
      {5, "155.5959", true},   {5, "155.6000", false}, {5, "194.5960", false}, {5, "0.60", false},
      {5, "0.0060", false},    {5, "12.3", true},      {5, "359.5959.9", true}, {5, "10 59 59.99", true},
      {5, "10 60 00", false},  {5, "10 0 60", false},  {5, "10 0 75.5", false}, {5, " 1.6 ", false},
      {6, "-155.6000", false}, {6, "-0.3", true},      {5, "", true},           {5, "   ", true},
      {5, "365 45 50", true},  // only minutes and seconds are checked
      {3, "155.6000", true},   {7, "10 60 00", true},  // not an angle column
  };
  for (const auto& c : cases) EXPECT_EQ(table::EditTextAccepted(c.type, c.text), c.accepted) << c.type << " '" << c.text << "'";
}

// The normaliser keeps three characters of degrees and two of minutes: a typed
// angle with more is refused rather than stored as another angle.
TEST(CellFilter, AnglesWhoseDigitsTheNormaliserWouldDropAreRefused) {
  struct {
    const char* text;
    bool accepted;
  } cases[] = {
      {"1234 5 6", false},    // would be 123°
      {"12 345 6", false},    // would lose the 5
      {"1234", false},        {"1234.5", false},     {"-1234.3000", false},
      {"1.5 30 00", false},   // would be 15°
      {"12 3.5", false},      // 3.5′ would be 3′05″
      {"12 30 155.5", false}, // 155.5″ would be 15.55″
      {"123 45 6", true},     {"123.4506", true},    {"-  5 30 00", true},  {"-5.3000", true},
      {"5 3 7.25", true},     {"5 3 .5", true},      {"12 30 1555", true},  {".5", true},
      {"12 345", true},       {"123", true},         {"- 12.3", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(table::EditTextAccepted(table::kInputSignedAngle, c.text), c.accepted) << c.text;
    EXPECT_TRUE(table::EditTextAccepted(table::kInputText, c.text)) << c.text;
  }
}

TEST(CellFilter, FinishingTheEditBox) {
  EXPECT_EQ(table::FinishEditText(7, "  a｜b；c％  "), "a|b;c%");
  EXPECT_EQ(table::FinishEditText(7, "1,234"), "1234");
  EXPECT_EQ(table::FinishEditText(5, " 123.4530 "), "123 45 30");
  EXPECT_EQ(table::FinishEditText(5, ""), "");
  EXPECT_EQ(table::FinishEditText(3, "12.5"), "12.5");
  EXPECT_EQ(table::FinishComboText(" 日期：2024,01 "), "日期：202401");
}

namespace {

class EditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    v.SetHost(&host);
    v.SetInterfaceRowHeight(22);
    v.SetClientSize(800, 600);
    tabletest::MakeInputTable(v, 4, 3);
    v.SetColumnInputType(2, table::kInputAngle);
    v.SetCellLocked(4, 3, true);
    table::NullCanvas c;
    v.OnDraw(c);  // first paint: the first undo snapshot
    v.changed = 0;
  }
  table::Rect Cell(int r, int c) { return v.GetCellRect(r, c); }
  void Click(int r, int c, int flags = 0) {
    const table::Rect rc = Cell(r, c);
    v.OnLButtonDown(rc.left + 3, rc.top + 3, flags | table::kMouseLeft);
    v.OnLButtonUp(rc.left + 3, rc.top + 3, flags);
  }
  platform::FakeMessagePort msgs;
  platform::ScopedMemoryServices services;
  RecordingFrame frame;
  RecordingHost host;
  CountingView v;
};

TEST_F(EditTest, EditEndWithAChangeNotifiesAndTakesASnapshot) {
  v.SelectCell(1, 1);
  ASSERT_TRUE(v.BeginEdit());
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].row, 1);
  EXPECT_EQ(host.shown[0].rect.left, Cell(1, 1).left + 1);
  EXPECT_EQ(host.shown[0].rect.top, Cell(1, 1).top + 1);
  v.SetEditorText("A1");
  v.EndEdit();
  EXPECT_FALSE(v.IsEditing());
  EXPECT_EQ(v.GetCellText(1, 1), "A1");
  EXPECT_EQ(v.changed, 1);
  EXPECT_EQ(v.GetUndoCount(), 2);
  EXPECT_GE(host.hidden, 1);
}

TEST_F(EditTest, EditEndWithoutAChangeDoesNothing) {
  v.SetCellText(1, 1, "A1");
  v.SelectCell(1, 1);
  v.BeginEdit();
  v.EndEdit();
  EXPECT_EQ(v.changed, 0);
  EXPECT_EQ(v.GetUndoCount(), 1);
}

TEST_F(EditTest, EscEmptiesTheCell) {
  v.SetCellText(1, 1, "A1");
  v.SelectCell(1, 1);
  v.BeginEdit();
  v.SetEditorText("changed");
  v.EndEdit(/*cancelled=*/true);
  EXPECT_EQ(v.GetCellText(1, 1), "");
  EXPECT_EQ(v.changed, 1);
  EXPECT_EQ(v.GetUndoCount(), 2);
}

TEST_F(EditTest, AngleColumnStoresTheNormalisedAngle) {
  v.SelectCell(2, 2);
  v.BeginEdit();
  v.SetEditorText("123.4530");
  v.EndEdit();
  EXPECT_EQ(v.GetCellText(2, 2), "123 45 30");
}

TEST_F(EditTest, RefusedAngleKeepsTheEditorOpenAndCommandsWait) {
  v.SetCellText(2, 2, "  1 00 00");
  v.SelectCell(2, 2);
  ASSERT_TRUE(v.BeginEdit());
  v.SetEditorText("155.6000");
  msgs.Clear();
  EXPECT_FALSE(v.EndEdit());
  EXPECT_FALSE(v.CommitEditor());
  EXPECT_EQ(msgs.Beeps(), 2);
  EXPECT_TRUE(v.IsEditing());
  EXPECT_EQ(v.GetCellText(2, 2), "  1 00 00");
  // A click elsewhere and a row command wait for the editor.
  Click(1, 1);
  EXPECT_EQ(v.m_nCurRow, 2);
  const int rows = v.GetRowCount();
  v.OnInsertRow();
  EXPECT_EQ(v.GetRowCount(), rows);
  EXPECT_TRUE(v.IsEditing());
  EXPECT_TRUE(v.EndEdit(true));  // Esc ends it
  EXPECT_FALSE(v.IsEditing());
}

TEST_F(EditTest, CellsThatDoNotOpen) {
  v.SelectCell(4, 3);
  EXPECT_FALSE(v.BeginEdit()) << "locked";
  v.SetColumnStagger(1, true);
  v.SelectCell(4, 1);
  EXPECT_FALSE(v.BeginEdit()) << "last row of a staggered column";
  v.SetColumnStagger(1, false);
  v.SelectCell(1, 1);
  EXPECT_TRUE(v.BeginEdit());
  EXPECT_FALSE(v.BeginEdit()) << "already open";
  v.EndEdit();
  v.SetReadOnly(true, true, true);
  EXPECT_FALSE(v.BeginEdit()) << "read-only";
  EXPECT_TRUE(host.shown.size() == 1);
}

TEST_F(EditTest, AutoAppendAddsARowFirstEvenOnALockedCell) {
  v.m_bAutoAppend = true;
  v.SelectCell(4, 3);
  EXPECT_FALSE(v.BeginEdit());
  EXPECT_EQ(v.GetRowCount(), 5);
  EXPECT_EQ(v.changed, 1);
  v.SelectCell(3, 1);
  EXPECT_TRUE(v.BeginEdit());
  EXPECT_EQ(v.GetRowCount(), 5) << "only the last row appends";
}

TEST_F(EditTest, ClickOpensTheEditorAndALockedCellIsOnlySelected) {
  Click(2, 1);
  EXPECT_TRUE(v.IsEditing());
  EXPECT_EQ(v.Editor().row, 2);
  v.EndEdit();
  Click(4, 3);
  EXPECT_FALSE(v.IsEditing());
  EXPECT_EQ(v.m_nCurRow, 4);
  EXPECT_EQ(v.m_nCurCol, 3);
}

TEST_F(EditTest, ShiftClickAndDragExtendWithoutEditing) {
  Click(1, 1);
  v.EndEdit();
  Click(3, 2, table::kMouseShift);
  EXPECT_FALSE(v.IsEditing());
  EXPECT_TRUE(v.IsCellSelected(2, 2));
  const auto a = Cell(1, 1), b = Cell(2, 3);
  v.OnLButtonDown(a.left + 2, a.top + 2, table::kMouseLeft);
  v.OnMouseMove(b.left + 2, b.top + 2, table::kMouseLeft);
  v.OnLButtonUp(b.left + 2, b.top + 2, 0);
  EXPECT_FALSE(v.IsEditing());
  EXPECT_EQ(v.m_nSelRow, 2);
  EXPECT_EQ(v.m_nSelCol, 3);
}

TEST_F(EditTest, TitleHeaderAndSignatureEditors) {
  v.SetReadOnly(false, false, false);
  v.RecalcLayout();
  const auto t = v.Layout().title;
  v.OnLButtonDown(t.left + 5, t.top + 5, table::kMouseLeft);
  ASSERT_TRUE(v.IsEditing());
  EXPECT_EQ(v.Editor().row, table::kEditRowTitle);
  v.SetEditorText("新标题");
  v.EndEdit();
  EXPECT_EQ(v.GetTitle(), "新标题");
  EXPECT_EQ(v.changed, 1);
  EXPECT_GE(frame.modified, 1);

  const auto h = v.Layout().header[0];
  v.OnLButtonDown(h.left + 2, h.top + 2, table::kMouseLeft);
  ASSERT_EQ(v.Editor().kind, table::EditorState::Combo);
  EXPECT_EQ(v.Editor().col, 0);
  EXPECT_EQ(v.Editor().rect.Height(), h.Height() + 200);
  EXPECT_FALSE(v.Editor().choices.empty());
  const int undo = v.GetUndoCount();
  v.SetEditorText("工程名称：一号,线");
  v.EndEdit();
  EXPECT_EQ(v.GetHeaderText(0), "工程名称：一号线");
  EXPECT_EQ(v.changed, 2);
  EXPECT_EQ(v.GetUndoCount(), undo) << "header edits take no snapshot";

  v.SetSignatureTexts(1, "备注", "很长的说明文字", "");
  v.RecalcLayout();
  const auto s = v.Layout().signature[0];
  v.OnLButtonDown(s.left + 2, s.top + 2, table::kMouseLeft);
  ASSERT_TRUE(v.IsEditing());
  EXPECT_TRUE(v.Editor().readOnly);
  EXPECT_EQ(v.Editor().text, "很长的说明文字");
  v.EndEdit();
  EXPECT_EQ(v.GetSignatureText(1), "很长的说明文字");
}

TEST_F(EditTest, CtrlVWhileEditingCommitsTheEditorFirst) {
  services.clipboard.text = "P1";
  v.SelectCell(2, 1);
  v.BeginEdit();
  v.SetEditorText("typed");
  // Ctrl+V is taken by the table even while the editor has the focus.
  EXPECT_TRUE(v.PreTranslateKey('V', true, true));
  EXPECT_FALSE(v.IsEditing());
  EXPECT_EQ(v.GetCellText(2, 1), "P1");
  // The editor's late focus-out must not write over the paste.
  v.EndEdit();
  EXPECT_EQ(v.GetCellText(2, 1), "P1");
  // Undo goes back to the committed edit, then to the table before it.
  v.OnUndo();
  EXPECT_EQ(v.GetCellText(2, 1), "typed");
  v.OnUndo();
  EXPECT_EQ(v.GetCellText(2, 1), "");
}

TEST_F(EditTest, RedoAndRowCommandsCommitTheEditorFirst) {
  v.SelectCell(1, 1);
  v.BeginEdit();
  v.SetEditorText("x");
  v.OnInsertRow();
  EXPECT_FALSE(v.IsEditing());
  EXPECT_EQ(v.GetCellText(2, 1), "x") << "edit stored, then the row inserted above it";
}

TEST_F(EditTest, KeyRouting) {
  v.SelectCell(1, 1);
  v.BeginEdit();
  EXPECT_FALSE(v.PreTranslateKey('C', true, true)) << "Ctrl+C reaches the editor";
  EXPECT_FALSE(v.PreTranslateKey('Z', true, true));
  EXPECT_FALSE(v.PreTranslateKey(table::kKeyRight, false, true)) << "Right moves the caret";
  EXPECT_TRUE(v.IsEditing());
  EXPECT_TRUE(v.PreTranslateKey('A', true, true));
  EXPECT_FALSE(v.IsEditing());
  EXPECT_EQ(v.m_nSelRow, 4);
  EXPECT_EQ(v.m_nSelCol, 3);
}

TEST_F(EditTest, TabAndEnterSkipLockedCells) {
  v.SetCellLocked(1, 2, true);
  v.SetCellLocked(1, 3, true);
  v.SelectCell(1, 1);
  v.PreTranslateKey(table::kKeyTab, false, false);
  EXPECT_EQ(v.m_nCurRow, 2);
  EXPECT_EQ(v.m_nCurCol, 1);
  v.SelectCell(3, 3);
  v.PreTranslateKey(table::kKeyEnter, false, false);
  EXPECT_EQ(v.m_nCurRow, 4);
  EXPECT_EQ(v.m_nCurCol, 1);
  v.SelectCell(4, 2);
  v.PreTranslateKey(table::kKeyTab, false, false);
  EXPECT_EQ(v.m_nCurCol, 2) << "no unlocked cell after it: nothing moves";
}

TEST_F(EditTest, ArrowKeys) {
  v.SelectCell(1, 3);
  v.PreTranslateKey(table::kKeyRight, false, false);
  EXPECT_EQ(v.m_nCurRow, 2);
  EXPECT_EQ(v.m_nCurCol, 1);
  v.PreTranslateKey(table::kKeyLeft, false, false);
  EXPECT_EQ(v.m_nCurCol, 1);
  v.PreTranslateKey(table::kKeyDown, false, false);
  EXPECT_EQ(v.m_nCurRow, 3);
  v.PreTranslateKey(table::kKeyUp, false, false);
  EXPECT_EQ(v.m_nCurRow, 2);
  v.SelectCell(4, 3);
  v.PreTranslateKey(table::kKeyRight, false, false);
  EXPECT_EQ(v.m_nCurRow, 4);
  EXPECT_EQ(v.m_nCurCol, 3);
  v.PreTranslateKey(table::kKeyDown, false, false);
  EXPECT_EQ(v.m_nCurRow, 4);
}

TEST_F(EditTest, TypingOpensTheEditorWithEverythingSelected) {
  v.SetCellText(1, 1, "old");
  v.SelectCell(1, 1);
  ASSERT_TRUE(v.BeginEditByTyping());
  EXPECT_TRUE(host.shown.back().selectAll);
  EXPECT_EQ(host.shown.back().text, "old");
}

TEST_F(EditTest, StatusPanesAndTips) {
  v.SetColumnTip(1, "输入未知点|1|输入已知点");
  const auto a = Cell(1, 1), b = Cell(2, 1);
  v.OnMouseMove(a.left + 2, a.top + 2, 0);
  EXPECT_EQ(frame.panes[0], "当前行：1");
  EXPECT_EQ(frame.panes[1], "当前列：1");
  EXPECT_EQ(host.tips.back(), "输入已知点");
  v.OnMouseMove(b.left + 2, b.top + 2, 0);
  EXPECT_EQ(host.tips.back(), "输入未知点");
  const size_t n = host.tips.size();
  v.OnMouseMove(b.left + 4, b.top + 3, 0);
  EXPECT_EQ(host.tips.size(), n) << "re-issued only on entering another item";
  v.SelectCell(3, 1);
  const auto c = Cell(3, 1);
  v.OnMouseMove(c.left + 2, c.top + 2, 0);
  EXPECT_EQ(host.tips.back(), "按右键进行编辑操作");
  v.OnMouseMove(5, 590, 0);
  EXPECT_EQ(frame.panes[0], "当前行：");
}

}  // namespace
