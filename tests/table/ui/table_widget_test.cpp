// The grid widget as a user drives it, offscreen: clicks, typing, the editor's
// filter and input methods, the Ctrl keys while editing, the context menu, drag
// auto-scroll, tips and status panes, and what the screen shows (pixel probes).
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/table_ports.h"
#include "table/table_view.h"
#include "table/ui/button_st.h"
#include "table/ui/in_place_edit.h"
#include "table/ui/table_widget.h"
#include "tests/table/ui/qt_app.h"

namespace {

// Types text a key at a time, Chinese included (QTest only knows ASCII keys).
void TypeText(QWidget* w, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &release);
  }
}

class RecordingFrame final : public table::ITableFrame {
 public:
  RecordingFrame() { old_ = table::SetFramePort(this); }
  ~RecordingFrame() override { table::SetFramePort(old_); }
  void SetStatusPane(int pane, const std::string& text) override { panes[pane] = text; }
  void SetDocumentModified() override { ++modified; }
  void SwitchToDrawing(CTableView&) override {}
  std::map<int, std::string> panes;
  int modified = 0;

 private:
  table::ITableFrame* old_ = nullptr;
};

// A window with the grid and a line edit to move the focus to, over an editable
// table: column 1 point names (text), column 2 angles (type 5), column 3 digits.
class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    grid_ = new CTableWidget(&view_, window_.get());
    other_ = new QLineEdit(window_.get());
    layout->addWidget(grid_, 1);
    layout->addWidget(other_);
    window_->resize(900, 600);
    view_.SetFont(12, 3.0);
    Build(5);
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    grid_->setFocus();
    Settle();
  }
  void TearDown() override {
    window_.reset();
    Settle();
  }
  void Build(int rows) {
    view_.NewTable(rows, 3, "测试表", true);
    view_.SetReadOnly(false, true, false);
    view_.SetColumnHeader(1, "点号", "", 0, 6);
    view_.SetColumnHeader(2, "观测角", "(°' \")", 0, 9);
    view_.SetColumnHeader(3, "测回", "", 0, 4);
    view_.SetColumnInputType(2, 5);
    view_.SetColumnInputType(3, 1);
    for (int c = 1; c <= 3; ++c) view_.SetColumnLocked(c, false);
    view_.RecalcLayout(-1, -1, false);
  }
  static void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  QPoint CellCentre(int row, int col) {
    view_.RecalcLayout(-1, -1, false);
    table::Rect r = view_.GetCellRect(row, col);
    EXPECT_FALSE(r.IsEmpty()) << row << "," << col;
    return QPoint(r.left + r.Width() / 2, r.top + r.Height() / 2);
  }
  void Click(int row, int col) {
    QTest::mouseClick(grid_, Qt::LeftButton, Qt::NoModifier, CellCentre(row, col));
    Settle();
  }
  QImage Shot() {
    view_.RecalcLayout(-1, -1, false);
    return grid_->grab().toImage();
  }

  platform::FakeMessagePort port_;
  platform::ScopedMemoryServices services_;
  RecordingFrame frame_;
  CTableView view_;
  std::unique_ptr<QWidget> window_;
  CTableWidget* grid_ = nullptr;
  QLineEdit* other_ = nullptr;
};

TEST_F(GridTest, ClickClickTypeFocusOutStoresTheNormalisedAngle) {
  Click(2, 2);
  Click(2, 2);
  ASSERT_TRUE(grid_->Edit()->isVisible());
  ASSERT_TRUE(view_.IsEditing());
  QTest::keyClicks(grid_->Edit(), "123.4530");
  EXPECT_EQ(grid_->Edit()->text(), QStringLiteral("123.4530"));
  other_->setFocus();
  Settle();
  EXPECT_FALSE(grid_->Edit()->isVisible());
  EXPECT_FALSE(view_.IsEditing());
  EXPECT_EQ(view_.GetCellText(2, 2), "123 45 30");
  EXPECT_EQ(view_.GetUndoIndex(), 1) << "the edit took an undo snapshot";
}

TEST_F(GridTest, AngleNormalisingCases) {
  struct Case { const char* typed; const char* stored; } cases[] = {
      {"12.3", " 12 30 00"}, {"5 3 7", "  5 03 07"}, {"365 45 50", "  5 45 50"}, {"123.53", "123 53 00"}};
  int row = 1;
  for (const Case& c : cases) {
    Click(row, 2);
    if (!grid_->Edit()->isVisible()) Click(row, 2);
    ASSERT_TRUE(grid_->Edit()->isVisible()) << c.typed;
    QTest::keyClicks(grid_->Edit(), c.typed);
    other_->setFocus();
    Settle();
    EXPECT_EQ(view_.GetCellText(row, 2), c.stored) << c.typed;
    ++row;
  }
}

// Minutes or seconds of 60 or more, or more digits than the normaliser keeps, would
// be stored as another angle than the one typed: the editor beeps and stays open with
// the text, whether the edit ends with Enter, a click on another cell or the focus
// going elsewhere.
TEST_F(GridTest, AngleWithSixtyMinutesOrSecondsIsRefusedAndTheEditorStays) {
  const char* refused[] = {"155.6000", "194.5960", "10 60 00", "10 00 60", "365 75 80",
                           "1234530",  "1234 5 6", "12 345 6"};
  enum End { Enter, OtherCell, FocusAway };
  for (const char* typed : refused) {
    for (End how : {Enter, OtherCell, FocusAway}) {
      SCOPED_TRACE(std::string(typed) + " end " + std::to_string(how));
      view_.SetCellText(2, 2, " 10 00 00");
      Click(2, 2);
      if (!grid_->Edit()->isVisible()) Click(2, 2);
      ASSERT_TRUE(grid_->Edit()->isVisible());
      grid_->Edit()->selectAll();
      QTest::keyClicks(grid_->Edit(), typed);
      port_.Clear();
      if (how == Enter) QTest::keyClick(grid_->Edit(), Qt::Key_Return);
      if (how == OtherCell) QTest::mouseClick(grid_, Qt::LeftButton, Qt::NoModifier, CellCentre(4, 1));
      if (how == FocusAway) other_->setFocus();
      Settle();
      EXPECT_GE(port_.Beeps(), 1);
      EXPECT_TRUE(port_.Texts().empty());
      EXPECT_TRUE(grid_->Edit()->isVisible());
      EXPECT_TRUE(view_.IsEditing());
      EXPECT_EQ(QApplication::focusWidget(), grid_->Edit());
      EXPECT_EQ(grid_->Edit()->text(), QString::fromUtf8(typed));
      EXPECT_EQ(view_.GetCellText(2, 2), " 10 00 00");
      EXPECT_EQ(view_.m_nCurRow, 2);
      // Corrected, the same edit ends and stores.
      grid_->Edit()->selectAll();
      QTest::keyClicks(grid_->Edit(), "155.5959");
      QTest::keyClick(grid_->Edit(), Qt::Key_Return);
      Settle();
      EXPECT_FALSE(view_.IsEditing());
      EXPECT_EQ(view_.GetCellText(2, 2), "155 59 59");
    }
  }
  // Esc still ends the edit (and empties the cell, as always).
  Click(2, 2);
  if (!grid_->Edit()->isVisible()) Click(2, 2);
  QTest::keyClicks(grid_->Edit(), "1.60");
  QTest::keyClick(grid_->Edit(), Qt::Key_Escape);
  Settle();
  EXPECT_FALSE(view_.IsEditing());
}

TEST_F(GridTest, TypingOnTheGridOpensTheEditorAndReplacesTheText) {
  view_.SetCellText(3, 1, "旧点");
  view_.SelectCell(3, 1);
  grid_->setFocus();
  QTest::keyClick(grid_, 'P');
  ASSERT_TRUE(grid_->Edit()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), grid_->Edit());
  QTest::keyClicks(QApplication::focusWidget(), "7");
  EXPECT_EQ(grid_->Edit()->text(), QStringLiteral("P7"));
  QTest::keyClick(grid_->Edit(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(view_.GetCellText(3, 1), "P7");
  // Enter moved on to the next unlocked cell.
  EXPECT_EQ(view_.m_nCurRow, 3);
  EXPECT_EQ(view_.m_nCurCol, 2);
}

TEST_F(GridTest, RefusedCharactersBeepAndStayOut) {
  Click(1, 3);  // digits only
  ASSERT_TRUE(grid_->Edit()->isVisible());
  port_.Clear();
  QTest::keyClicks(grid_->Edit(), "1a,2-");
  EXPECT_EQ(grid_->Edit()->text(), QStringLiteral("12"));
  EXPECT_EQ(port_.Beeps(), 3);
}

TEST_F(GridTest, InputMethodCommitPassesTheFilter) {
  // An IME commit on the grid opens the editor; full-width digits and the comma
  // are refused in a digits column.
  view_.SelectCell(2, 3);
  grid_->setFocus();
  port_.Clear();
  QInputMethodEvent ime;
  ime.setCommitString(QStringLiteral("１２,3"));
  QApplication::sendEvent(grid_, &ime);
  ASSERT_TRUE(grid_->Edit()->isVisible());
  EXPECT_EQ(grid_->Edit()->text(), QStringLiteral("3"));
  EXPECT_GE(port_.Beeps(), 1);

  // Chinese typed through an IME into a text column arrives whole.
  other_->setFocus();
  Settle();
  view_.SelectCell(4, 1);
  grid_->setFocus();
  QInputMethodEvent pre(QStringLiteral("cezhan"), {});
  QApplication::sendEvent(grid_, &pre);
  EXPECT_TRUE(grid_->Edit()->isVisible()) << "the composition shows in the cell's editor";
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("测站"));
  QApplication::sendEvent(grid_->Edit()->isVisible() ? static_cast<QWidget*>(grid_->Edit()) : grid_, &commit);
  ASSERT_TRUE(grid_->Edit()->isVisible());
  EXPECT_EQ(grid_->Edit()->text(), QStringLiteral("测站"));
  other_->setFocus();
  Settle();
  EXPECT_EQ(view_.GetCellText(2, 3), "3");
  EXPECT_EQ(view_.GetCellText(4, 1), "测站");
}

TEST_F(GridTest, ShiftInsertInTheEditorDropsCommas) {
  services_.clipboard.text = "12,5";
  Click(1, 1);
  ASSERT_TRUE(grid_->Edit()->isVisible());
  port_.Clear();
  QTest::keyClick(grid_->Edit(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(grid_->Edit()->text(), QStringLiteral("125"));
  EXPECT_EQ(port_.Beeps(), 1);
  other_->setFocus();
  Settle();
  EXPECT_EQ(view_.GetCellText(1, 1), "125");
}

TEST_F(GridTest, CtrlVWhileEditingPastesIntoTheTableAndTheEditorCannotOverwriteIt) {
  services_.clipboard.text = "A1\t10\r\nA2\t20\r\n";
  Click(1, 1);
  ASSERT_TRUE(grid_->Edit()->isVisible());
  QTest::keyClicks(grid_->Edit(), "typed");
  port_.Script({platform::Answer::Yes});  // the paste runs beyond the one selected cell
  QTest::keyClick(grid_->Edit(), Qt::Key_V, Qt::ControlModifier);
  Settle();
  EXPECT_FALSE(grid_->Edit()->isVisible());
  EXPECT_FALSE(view_.IsEditing());
  ASSERT_EQ(port_.Texts().size(), 1u);
  EXPECT_EQ(port_.Texts()[0], "要粘贴的内容超出当前选择区域，\n按“是”允许超出，按“否”忽略超出部分");
  EXPECT_EQ(view_.GetCellText(1, 1), "A1");
  EXPECT_EQ(view_.GetCellText(1, 2), "10");
  EXPECT_EQ(view_.GetCellText(2, 1), "A2");
  EXPECT_EQ(view_.GetCellText(2, 2), "20");
  // A later focus change must not bring the typed text back.
  other_->setFocus();
  Settle();
  EXPECT_EQ(view_.GetCellText(1, 1), "A1");
  EXPECT_TRUE(grid_->Button(table::ID_UNDO)->isEnabled());
}

TEST_F(GridTest, EscapeInTheEditorEmptiesTheCell) {
  view_.SetCellText(2, 1, "P2");
  Click(2, 1);
  ASSERT_TRUE(grid_->Edit()->isVisible());
  QTest::keyClick(grid_->Edit(), Qt::Key_Escape);
  Settle();
  EXPECT_FALSE(grid_->Edit()->isVisible());
  EXPECT_EQ(view_.GetCellText(2, 1), "");
  EXPECT_TRUE(grid_->hasFocus());
}

TEST_F(GridTest, CtrlKeysOnTheGrid) {
  view_.SetCellText(1, 1, "A");
  view_.SetCellText(2, 1, "B");
  view_.ClearUndo();
  (void)Shot();  // the first paint takes the first snapshot
  view_.SelectCell(1, 1);
  grid_->setFocus();
  QTest::keyClick(grid_, Qt::Key_I, Qt::ControlModifier);  // insert a row before row 1
  EXPECT_EQ(view_.GetRowCount(), 6);
  EXPECT_EQ(view_.GetCellText(2, 1), "A");
  QTest::keyClick(grid_, Qt::Key_Z, Qt::ControlModifier);  // undo
  EXPECT_EQ(view_.GetRowCount(), 5);
  EXPECT_EQ(view_.GetCellText(1, 1), "A");
  QTest::keyClick(grid_, Qt::Key_Y, Qt::ControlModifier);  // redo
  EXPECT_EQ(view_.GetRowCount(), 6);
  QTest::keyClick(grid_, Qt::Key_A, Qt::ControlModifier);
  int t, l, b, r;
  ASSERT_TRUE(view_.GetSelection(&t, &l, &b, &r));
  EXPECT_EQ(b, 6);
  EXPECT_EQ(r, 3);
  QTest::keyClick(grid_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(services_.clipboard.text.substr(0, 10), "\t\t\r\nA\t\t\r\nB");
}

TEST_F(GridTest, FrameShortcutsStayWithTheFrameGridKeysWinOverThem) {
  // The frame's accelerators, as menu actions of the window.
  int saves = 0, pastes = 0;
  auto* save = new QAction(window_.get());
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  QObject::connect(save, &QAction::triggered, [&] { ++saves; });
  auto* paste = new QAction(window_.get());
  paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  QObject::connect(paste, &QAction::triggered, [&] { ++pastes; });
  window_->addAction(save);
  window_->addAction(paste);
  services_.clipboard.text = "Q1";
  view_.SelectCell(2, 1);
  grid_->setFocus();
  QTest::keyClick(grid_, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(grid_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(pastes, 0);
  EXPECT_EQ(view_.GetCellText(2, 1), "Q1");
}

TEST_F(GridTest, ArrowsAndTabMoveTheCurrentCell) {
  view_.SelectCell(2, 1);
  grid_->setFocus();
  QTest::keyClick(grid_, Qt::Key_Right);
  EXPECT_EQ(view_.m_nCurCol, 2);
  QTest::keyClick(grid_, Qt::Key_Down);
  EXPECT_EQ(view_.m_nCurRow, 3);
  QTest::keyClick(grid_, Qt::Key_Tab);
  EXPECT_EQ(view_.m_nCurCol, 3);
  EXPECT_TRUE(grid_->hasFocus()) << "Tab stays in the grid";
  QTest::keyClick(grid_, Qt::Key_Tab);
  EXPECT_EQ(view_.m_nCurRow, 4);
  EXPECT_EQ(view_.m_nCurCol, 1);
}

TEST_F(GridTest, ContextMenuGreysWhatTheStateForbids) {
  services_.clipboard.text.clear();
  std::vector<std::pair<QString, bool>> seen;
  QTimer::singleShot(50, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions()) seen.push_back({a->text(), a->isEnabled()});
    menu->close();
  });
  QTest::mouseClick(grid_, Qt::RightButton, Qt::NoModifier, CellCentre(1, 2));
  Settle();
  std::vector<std::pair<QString, bool>> want = {
      {QStringLiteral("撤消\tCtrl+Z"), false}, {QStringLiteral("恢复\tCtrl+Y"), false},
      {QStringLiteral("剪切\tCtrl+X"), true},  {QStringLiteral("拷贝\tCtrl+C"), true},
      {QStringLiteral("粘贴\tCtrl+V"), false}, {QStringLiteral("插入行\tCtrl+I"), true},
      {QStringLiteral("删除行\tCtrl+D"), true}, {QStringLiteral("清除\tDel"), true},
      {QStringLiteral("上移一行"), false},      {QStringLiteral("下移一行"), true}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(view_.m_nCurRow, 1);
  EXPECT_EQ(view_.m_nCurCol, 2);
}

TEST_F(GridTest, ContextMenuCommandRuns) {
  view_.SetCellText(1, 1, "A");
  view_.SetCellText(2, 1, "B");
  QTimer::singleShot(50, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* a : menu->actions())
      if (a->data().toInt() == table::ID_MOVE_ROW_DOWN) menu->setActiveAction(a);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QTest::mouseClick(grid_, Qt::RightButton, Qt::NoModifier, CellCentre(1, 1));
  Settle();
  EXPECT_EQ(view_.GetCellText(1, 1), "B");
  EXPECT_EQ(view_.GetCellText(2, 1), "A");
  EXPECT_EQ(view_.m_nCurRow, 2);
}

TEST_F(GridTest, ReadOnlyTableOffersOnlyCopy) {
  view_.SetReadOnly(true, true, true);
  QStringList seen;
  QTimer::singleShot(50, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (QAction* a : menu->actions()) seen << a->text();
      menu->close();
    }
  });
  QTest::mouseClick(grid_, Qt::RightButton, Qt::NoModifier, CellCentre(2, 2));
  Settle();
  EXPECT_EQ(seen, QStringList{QStringLiteral("拷贝\tCtrl+C")});
}

TEST_F(GridTest, DragBelowTheGridScrollsEveryFiftyMilliseconds) {
  Build(100);
  Settle();
  ASSERT_TRUE(grid_->VerticalBar()->isVisible());
  const QPoint start = CellCentre(view_.GetFirstRow(), 1);
  QTest::mousePress(grid_, Qt::LeftButton, Qt::NoModifier, start);
  EXPECT_TRUE(grid_->DragTimerActive());
  const int before = view_.GetScrollState().vPos;
  QPoint below(start.x(), grid_->height() - 5);
  QMouseEvent move(QEvent::MouseMove, below, grid_->mapToGlobal(below), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QElapsedTimer clock;
  clock.start();
  QApplication::sendEvent(grid_, &move);
  // Ticks come no faster than every 50 ms; a loaded machine may make them slower.
  while (view_.GetScrollState().vPos - before < 3 && clock.elapsed() < 5000) QTest::qWait(10);
  const int after = view_.GetScrollState().vPos;
  const qint64 ms = clock.elapsed();
  EXPECT_GE(after - before, 3);
  EXPECT_LE(after - before, ms / 50 + 1) << ms << " ms";
  EXPECT_EQ(grid_->VerticalBar()->value(), view_.GetScrollState().vPos);
  int t, l, b, r;
  ASSERT_TRUE(view_.GetSelection(&t, &l, &b, &r));
  EXPECT_GT(b, t) << "the selection followed the scroll";
  QTest::mouseRelease(grid_, Qt::LeftButton, Qt::NoModifier, below);
  EXPECT_FALSE(grid_->DragTimerActive());
  const int atRelease = view_.GetScrollState().vPos;
  QTest::qWait(120);
  EXPECT_EQ(view_.GetScrollState().vPos, atRelease) << "no scrolling after the release";
}

TEST_F(GridTest, ScrollBarsAndWheel) {
  Build(100);
  Settle();
  QScrollBar* v = grid_->VerticalBar();
  ASSERT_TRUE(v->isVisible());
  EXPECT_EQ(v->width(), 16);
  EXPECT_EQ(v->x(), grid_->width() - 16);
  EXPECT_EQ(v->maximum(), view_.GetScrollState().vMax);
  v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(view_.GetScrollState().vPos, 1);
  EXPECT_EQ(view_.GetFirstRow(), 2);
  v->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(view_.GetScrollState().vPos, 11);
  EXPECT_EQ(v->value(), 11);
  QWheelEvent wheel(QPointF(100, 200), grid_->mapToGlobal(QPointF(100, 200)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid_, &wheel);
  EXPECT_EQ(view_.GetScrollState().vPos, 10);
  v->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(view_.GetFirstRow(), 1);
}

TEST_F(GridTest, ButtonBarLayout) {
  const auto& bar = grid_->BarButtons();
  ASSERT_EQ(bar.size(), 11u);
  const char* captions[] = {"方案", "表格", "计算", "自定义", "文本", "WORD", "EXCEL", "CAD", "图形", "撤消", "恢复"};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(bar[i]->text().toStdString(), captions[i]);
    EXPECT_EQ(bar[i]->geometry(), QRect(2 + 80 * i, 2, 78, g_nRowHeight - 2)) << captions[i];
  }
  EXPECT_FALSE(grid_->Button(table::ID_SWITCH_DRAWING)->isVisible());
  EXPECT_FALSE(grid_->Button(table::ID_UNDO)->isEnabled());
  EXPECT_FALSE(grid_->Button(table::ID_REDO)->isEnabled());
  EXPECT_EQ(grid_->Button(table::ID_UNDO)->toolTip(), QStringLiteral("撤消一步操作。快捷键Ctrl+Z"));
}

TEST_F(GridTest, ButtonsAndBandFollowTheInterfaceScale) {
  const int oldPt = g_nFontPt;
  SetUiScale(18);  // 24-pixel characters at 96 dpi
  view_.SetFont(g_nCharHeight, 3.0);
  grid_->ApplyUiScale();
  Settle();
  EXPECT_EQ(g_nCharHeight, 24);
  EXPECT_EQ(g_nRowHeight, 42);
  CButtonST* b = grid_->Button(table::ID_COMPUTE);
  EXPECT_EQ(b->height(), 40);
  (void)b->grab();
  EXPECT_EQ(b->IconWidth(), 24);
  EXPECT_GT(view_.GetCellRect(1, 1).top, 3 * 42) << "the table starts below the taller band";
  SetUiScale(oldPt);
  view_.SetFont(g_nCharHeight, 3.0);
  grid_->ApplyUiScale();
}

TEST_F(GridTest, UndoButtonUndoesAnEdit) {
  Click(1, 1);
  QTest::keyClicks(grid_->Edit(), "K1");
  other_->setFocus();
  Settle();
  ASSERT_EQ(view_.GetCellText(1, 1), "K1");
  CButtonST* undo = grid_->Button(table::ID_UNDO);
  ASSERT_TRUE(undo->isEnabled());
  QTest::mouseClick(undo, Qt::LeftButton);
  EXPECT_EQ(view_.GetCellText(1, 1), "");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_TRUE(grid_->Button(table::ID_REDO)->isEnabled());
}

TEST_F(GridTest, UnhandledBarCommandsAreSignalled) {
  std::vector<int> ids;
  QObject::connect(grid_, &CTableWidget::commandUnhandled, [&](int id) { ids.push_back(id); });
  QTest::mouseClick(grid_->Button(table::ID_COMPUTE), Qt::LeftButton);
  EXPECT_EQ(ids, std::vector<int>{table::ID_COMPUTE});
}

TEST_F(GridTest, StatusPanesAndTipsFollowThePointer) {
  view_.SetColumnTip(1, "输入未知点|1|输入已知点|-1|输入已知点");
  view_.SelectCell(5, 3);
  QTest::mouseMove(grid_, CellCentre(3, 1));
  Settle();
  EXPECT_EQ(frame_.panes[1], "当前行：3");
  EXPECT_EQ(frame_.panes[2], "当前列：1");
  EXPECT_EQ(QToolTip::text(), QStringLiteral("输入未知点"));
  QTest::mouseMove(grid_, CellCentre(1, 1));
  Settle();
  EXPECT_EQ(QToolTip::text(), QStringLiteral("输入已知点"));
  QTest::mouseMove(grid_, CellCentre(5, 3));
  Settle();
  EXPECT_EQ(QToolTip::text(), QStringLiteral("按右键进行编辑操作"));
}

TEST_F(GridTest, HeaderItemComboOffersChoicesAndRefusesCommas) {
  const table::Rect item = view_.Layout().header[0];
  ASSERT_FALSE(item.IsEmpty());
  QTest::mouseClick(grid_, Qt::LeftButton, Qt::NoModifier,
                    QPoint(item.left + item.Width() / 2, item.top + item.Height() / 2));
  Settle();
  CInPlaceCombo* combo = grid_->Combo();
  ASSERT_TRUE(combo->isVisible());
  EXPECT_LE(combo->height(), item.Height() + 1) << "the box is one item high; its list drops down";
  QStringList choices;
  for (int i = 0; i < combo->count(); ++i) choices << combo->itemText(i);
  EXPECT_TRUE(choices.contains(QStringLiteral("第   页  共   页")));
  EXPECT_TRUE(choices.contains(QStringLiteral("测量单位：")));
  port_.Clear();
  TypeText(combo->lineEdit(), QStringLiteral("等级：二,级"));
  EXPECT_EQ(combo->currentText(), QStringLiteral("等级：二级"));
  EXPECT_EQ(port_.Beeps(), 1);
  other_->setFocus();
  Settle();
  EXPECT_FALSE(combo->isVisible());
  EXPECT_EQ(view_.GetHeaderText(0), "等级：二级");
}

TEST_F(GridTest, EditableTitleIsEditedInTheTitleFont) {
  view_.SetReadOnly(false, false, false);
  view_.RecalcLayout(-1, -1, false);
  const table::Rect t = view_.Layout().title;
  QTest::mouseClick(grid_, Qt::LeftButton, Qt::NoModifier, QPoint(t.left + t.Width() / 2, t.top + t.Height() / 2));
  Settle();
  ASSERT_TRUE(grid_->Edit()->isVisible());
  EXPECT_TRUE(grid_->Edit()->font().bold());
  grid_->Edit()->selectAll();
  TypeText(grid_->Edit(), QStringLiteral("闭合导线"));
  other_->setFocus();
  Settle();
  EXPECT_EQ(view_.GetTitle(), "闭合导线");
  EXPECT_GE(frame_.modified, 1);
}

TEST_F(GridTest, SignatureLineOpensReadOnly) {
  view_.SetSignatureTexts(1, "备注", "起算点A、B为已知点，坐标取自控制点库", "");
  view_.RecalcLayout(-1, -1, false);
  const table::Rect s = view_.Layout().signature[0];
  ASSERT_FALSE(s.IsEmpty());
  QTest::mouseClick(grid_, Qt::LeftButton, Qt::NoModifier, QPoint(s.left + 20, s.top + s.Height() / 2));
  Settle();
  ASSERT_TRUE(grid_->Edit()->isVisible());
  EXPECT_TRUE(grid_->Edit()->isReadOnly());
  EXPECT_EQ(grid_->Edit()->selectedText(), QStringLiteral("起算点A、B为已知点，坐标取自控制点库"));
  port_.Clear();
  QTest::keyClicks(grid_->Edit(), "x");
  EXPECT_EQ(port_.Beeps(), 1);
  other_->setFocus();
  Settle();
  EXPECT_EQ(view_.GetSignatureText(1), "起算点A、B为已知点，坐标取自控制点库");
}

// ---- what the screen shows ---------------------------------------------------------

TEST_F(GridTest, SelectionColourAndCurrentCellFrame) {
  view_.SelectCell(2, 1);
  view_.SelectCell(3, 2, table::kMouseShift);
  QImage img = Shot();
  const QRgb blue = RgbOf(49, 106, 198);
  for (auto [r, c] : {std::pair{2, 1}, {2, 2}, {3, 1}, {3, 2}}) {
    table::Rect rc = view_.GetCellRect(r, c);
    EXPECT_EQ(Px(img, rc.left + 3, rc.top + 3), blue) << r << "," << c;
  }
  table::Rect outside = view_.GetCellRect(3, 3);
  EXPECT_EQ(Px(img, outside.left + 3, outside.top + 3), RgbOf(255, 255, 255));
  // The current cell (2,1) carries the red frame.
  table::Rect cur = view_.GetCellRect(2, 1);
  const int midY = cur.top + cur.Height() / 2, midX = cur.left + cur.Width() / 2;
  EXPECT_EQ(Px(img, cur.right - 1, midY), RgbOf(255, 0, 0));
  EXPECT_EQ(Px(img, midX, cur.bottom - 1), RgbOf(255, 0, 0));
  EXPECT_EQ(Px(img, midX, cur.top), RgbOf(255, 0, 0));
}

TEST_F(GridTest, SingleSelectedCellIsWhiteWithBlueText) {
  view_.SetCellText(2, 2, "88 88 88");
  view_.SelectCell(2, 2);
  QImage img = Shot();
  table::Rect rc = view_.GetCellRect(2, 2);
  EXPECT_EQ(Px(img, rc.left + 2, rc.top + 3), RgbOf(255, 255, 255));
  int blue = 0;
  for (int y = rc.top + 1; y < rc.bottom - 1; ++y)
    for (int x = rc.left + 1; x < rc.right - 1; ++x) blue += Px(img, x, y) == RgbOf(49, 106, 198);
  EXPECT_GT(blue, 20) << "the text stands on the selection blue";
}

TEST_F(GridTest, NoBorderCellLosesItsTopLine) {
  view_.SelectCell(1, 1);
  view_.SetCellNoBorder(4, 2, true);
  QImage img = Shot();
  table::Rect nb = view_.GetCellRect(4, 2), normal = view_.GetCellRect(4, 3), locked = view_.GetCellRect(4, 1);
  EXPECT_EQ(Px(img, nb.left + nb.Width() / 2, nb.top), RgbOf(255, 255, 255));
  EXPECT_EQ(Px(img, normal.left + normal.Width() / 2, normal.top), RgbOf(0, 0, 0));
  EXPECT_EQ(Px(img, locked.left + locked.Width() / 2, locked.top), RgbOf(0, 0, 0));
}

TEST_F(GridTest, LockedCellsKeepTheBackground) {
  view_.SetCellLocked(3, 3, true);
  view_.SelectCell(1, 1);
  QImage img = Shot();
  table::Rect rc = view_.GetCellRect(3, 3);
  const table::Color bg = view_.GetBackground();
  EXPECT_EQ(Px(img, rc.left + 3, rc.top + 3), RgbOf(bg.r, bg.g, bg.b));
  EXPECT_NE(Px(img, rc.left + 3, rc.top + 3), RgbOf(255, 255, 255)) << "editable tables have the face colour";
}

TEST_F(GridTest, EmptyTableShowsTheHint) {
  view_.NewTable(0, 0, "", true);
  QImage img = Shot();
  int dark = 0;
  for (int y = g_nRowHeight + 5; y < img.height() - 20; ++y)
    for (int x = 5; x < img.width() - 20; ++x) dark += QColor(img.pixel(x, y)).lightness() < 100;
  EXPECT_GT(dark, 30) << "the line 当前表格无内容或尚未计算！ is drawn";
}

}  // namespace

namespace {

// A derived presenter, as the traverse, records and tools views are.
class CountingView : public CTableView {
 public:
  void OnInitialUpdate() override {
    ++initialUpdates;
    CTableView::OnInitialUpdate();
  }
  void OnTableChanged() override {
    ++changes;
    CTableView::OnTableChanged();
  }
  int initialUpdates = 0;
  int changes = 0;
};

TEST(TablePane, OwnsPresenterAndWidgetAndDestroysThemInOrder) {
  TestApp();
  platform::FakeMessagePort port;
  auto pane = std::make_unique<CTablePane<CountingView>>();
  CountingView& v = pane->GetView();
  EXPECT_EQ(v.initialUpdates, 1) << "the derived view's initial update runs once";
  EXPECT_EQ(v.Host(), pane->Grid());
  v.NewTable(3, 2, "表", true);
  v.SetReadOnly(false, true, false);
  v.SetColumnLocked(1, false);
  v.SelectCell(1, 1);
  pane->resize(600, 400);
  pane->show();
  (void)pane->Grid()->grab();
  v.OnClear();
  EXPECT_GE(v.changes, 1);
  // Under the sanitizers a widget outliving its presenter shows up here.
  pane.reset();
}

}  // namespace
