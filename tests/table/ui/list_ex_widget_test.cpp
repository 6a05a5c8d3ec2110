// The editable list on screen, offscreen: its header, colours, scrolling, menus,
// tips, dragged selection and the notifications it passes on.
#include <gtest/gtest.h>

#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "qt_app.h"
#include "table/ui/header_ctrl_ex.h"
#include "table/ui/in_place_edit.h"
#include "table/ui/list_ex_widget.h"

namespace {

// 序号 + 点名 (text, with a tip) + X (decimal) + 备注 (read-only), n filled rows.
struct ListOnScreen {
  platform::FakeMessagePort messages;
  platform::ScopedMemoryServices services;
  CListEx list;
  CListExWidget* widget = nullptr;
  explicit ListOnScreen(int rows) {
    TestApp();
    list.InsertColumn(0, "序号", 40, 0);
    list.InsertColumn(1, "点名", 80, 7);
    list.InsertColumn(2, "X", 100, 4);
    list.InsertColumn(3, "备注", 80, 0);
    list.Column(1).tip = "输入点名";
    for (int r = 0; r <= rows; ++r) {
      list.InsertItem(r, "");
      if (r < rows) {
        list.SetItemText(r, 1, "P" + std::to_string(r + 1));
        list.SetItemText(r, 2, std::to_string(100 + r));
      }
    }
    list.Select(0, 1);
    list.PushUndo();
    widget = new CListExWidget(&list);
    widget->resize(360, 220);
    widget->AutoSizeColumns();
  }
  ~ListOnScreen() { delete widget; }
  QColor At(int row, int col) const {
    return widget->grab().toImage().pixelColor(widget->CellRect(row, col).center() + QPoint(0, 4));
  }
  QPoint Centre(int row, int col) const { return widget->CellRect(row, col).center(); }
  // The pointer moving over the list with no button held.
  void Hover(const QPoint& p) const {
    QMouseEvent move(QEvent::MouseMove, p, widget->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  }
};

TEST(ListExWidget, HeaderIsTheListsOwnAndShowsColumnSelection) {
  ListOnScreen s(3);
  CHeaderCtrlEx* h = s.widget->Header();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->height(), s.widget->HeaderHeight());
  EXPECT_GE(h->height(), 24);
  EXPECT_EQ(h->sectionSize(2), s.widget->CellRect(0, 2).width());
  // A click on the X header selects that column as a column.
  const QPoint x(h->sectionViewportPosition(2) + h->sectionSize(2) / 2, h->height() / 2);
  QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, x);
  EXPECT_EQ(s.list.SelectionMode(), CListEx::kColumns);
  EXPECT_TRUE(s.list.IsColumnSelected(2));
  EXPECT_EQ(h->grab().toImage().pixelColor(x + QPoint(0, 6)), QColor(0, 63, 144));
  EXPECT_EQ(s.At(1, 2), QColor(182, 202, 234));
  EXPECT_EQ(s.At(1, 3), QColor(240, 240, 240));  // read-only column, not selected
  // Dragging a divider resizes the list's column with it.
  h->resizeSection(1, 130);
  EXPECT_EQ(s.widget->CellRect(0, 1).width(), 130);
}

TEST(ListExWidget, LongListsScrollToTheCurrentRow) {
  ListOnScreen s(30);
  QScrollBar* bar = s.widget->VerticalBar();
  EXPECT_TRUE(bar->isVisibleTo(s.widget));
  EXPECT_EQ(bar->maximum(), s.list.GetItemCount() - (220 - s.widget->HeaderHeight()) / s.widget->RowHeight());
  s.list.Select(25, 1);  // moved by the model: the widget follows
  EXPECT_GT(s.widget->TopRow(), 0);
  EXPECT_LE(s.widget->TopRow(), 25);
  EXPECT_EQ(s.At(25, 0), QColor(255, 192, 111));  // the current row's header
  QTest::keyClick(s.widget, Qt::Key_Up);
  EXPECT_EQ(s.list.CurrentRow(), 24);
}

TEST(ListExWidget, NotificationsComeOutAsASignal) {
  ListOnScreen s(3);
  QSignalSpy spy(s.widget, &CListExWidget::listNotify);
  QTest::keyClick(s.widget, Qt::Key_Right);          // current column moves
  QTest::keyClick(s.widget, Qt::Key_Delete);         // contents change
  QTest::keyClick(s.widget, Qt::Key_I, Qt::ControlModifier);  // a row inserted
  ASSERT_EQ(spy.count(), 3);
  EXPECT_EQ(spy[0][0].toInt(), CListEx::kCurrentMoved);
  EXPECT_EQ(spy[0][2].toInt(), 2);
  EXPECT_EQ(spy[1][0].toInt(), CListEx::kContentsChanged);
  EXPECT_EQ(s.list.GetItemText(0, 2), "");
  EXPECT_EQ(spy.back()[0].toInt(), CListEx::kRowsInserted);
  EXPECT_EQ(spy.back()[1].value<QList<int>>(), QList<int>{0});
}

TEST(ListExWidget, MenusRunTheirCommandsOnTheClipboard) {
  ListOnScreen s(3);
  std::unique_ptr<QMenu> menu(s.widget->CellMenu(1, 2));
  QStringList texts;
  for (QAction* a : menu->actions()) texts << a->text() + (a->isEnabled() ? "" : " -");
  EXPECT_EQ(texts, (QStringList{"撤消\tCtrl+Z -", "恢复\tCtrl+Y -", "剪切\tCtrl+X", "拷贝\tCtrl+C",
                                "粘贴\tCtrl+V -", "插入行\tCtrl+I", "删除行\tCtrl+D", "清除\tDel", "上移一行",
                                "下移一行"}));
  EXPECT_EQ(s.list.CurrentRow(), 1);  // the right click made the cell current
  s.widget->RunCommand(table::ID_COPY);
  EXPECT_EQ(s.services.clipboard.text, "101");
  std::unique_ptr<QMenu> header(s.widget->HeaderMenu(1));
  ASSERT_EQ(header->actions().size(), 6);
  EXPECT_TRUE(header->actions()[4]->isEnabled());  // the clipboard holds text now
  s.widget->RunCommand(table::ID_CUT);
  EXPECT_EQ(s.services.clipboard.text, "P1\r\nP2\r\nP3");
  EXPECT_EQ(s.list.GetItemText(1, 1), "");
  s.widget->RunCommand(table::ID_UNDO);
  EXPECT_EQ(s.list.GetItemText(1, 1), "P2");
}

TEST(ListExWidget, TipsFollowTheCellUnderThePointer) {
  ListOnScreen s(3);
  s.Hover(s.Centre(1, 1));
  EXPECT_EQ(s.widget->CurrentTip(), "输入点名");
  s.Hover(s.Centre(1, 0));
  EXPECT_EQ(s.widget->CurrentTip().toStdString(), CListEx::kSelectedTip);
  s.Hover(s.Centre(1, 2));
  EXPECT_EQ(s.widget->CurrentTip(), "");
}

TEST(ListExWidget, DraggingSelectsARectangleAndFramesIt) {
  ListOnScreen s(5);
  QTest::mousePress(s.widget, Qt::LeftButton, Qt::NoModifier, s.Centre(1, 1));
  QMouseEvent move(QEvent::MouseMove, s.Centre(3, 2), s.widget->mapToGlobal(s.Centre(3, 2)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(s.widget, &move);
  QTest::mouseRelease(s.widget, Qt::LeftButton, Qt::NoModifier, s.Centre(3, 2));
  EXPECT_EQ(s.list.SelectionMode(), CListEx::kRect);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 2; ++c) EXPECT_TRUE(s.list.IsSelected(r, c)) << r << "," << c;
  EXPECT_FALSE(s.list.IsSelected(4, 1));
  const QImage img = s.widget->grab().toImage();
  const QRect frame = s.widget->CellRect(1, 1).united(s.widget->CellRect(3, 2));
  EXPECT_EQ(img.pixelColor(frame.left() + 1, frame.center().y()), QColor(49, 106, 198));
  EXPECT_EQ(img.pixelColor(frame.right() - 1, frame.center().y()), QColor(49, 106, 198));
  EXPECT_EQ(s.At(2, 2), QColor(182, 202, 234));
}

// Geocentric coordinates keep every digit: columns as wide as their texts, the
// list scrolls sideways when they do not fit, and the current cell comes into view.
TEST(ListExWidget, WideTextsWidenColumnsAndScrollSideways) {
  TestApp();
  CListEx list;
  list.InsertColumn(0, "序号", 40, 0);
  const char* heads[] = {"转换前X", "转换前Y", "转换前Z", "转换后X", "转换后Y", "转换后Z"};
  for (int c = 1; c <= 6; ++c) list.InsertColumn(c, heads[c - 1], 75, 7);
  const char* texts[] = {"-2267749.000", "5009154.000", "3221290.000", "-2267800.123", "5009100.456", "3221350.789"};
  list.InsertItem(0, "");
  for (int c = 1; c <= 6; ++c) list.SetItemText(0, c, texts[c - 1]);
  list.InsertItem(1, "");
  list.Select(0, 1);
  CListExWidget w(&list);
  w.resize(420, 200);
  w.AutoSizeColumns();
  for (int c = 1; c <= 6; ++c)
    EXPECT_GE(w.CellRect(0, c).width() - 4, w.fontMetrics().horizontalAdvance(texts[c - 1])) << c;
  ASSERT_GT(w.HorizontalBar()->maximum(), 0);
  EXPECT_EQ(w.LeftOffset(), 0);
  list.Select(0, 6);  // moved by the model: the column scrolls into view
  EXPECT_GT(w.LeftOffset(), 0);
  const QRect r = w.CellRect(0, 6);
  EXPECT_GE(r.left(), 0);
  EXPECT_LE(r.right(), w.width());
  int row = -1, col = -1;
  ASSERT_TRUE(w.HitTest(r.center(), &row, &col));
  EXPECT_EQ(col, 6);
  list.Select(0, 1);
  EXPECT_GE(w.CellRect(0, 1).left(), 0);
  // A text typed wider than its column widens it.
  list.Select(1, 2);
  ASSERT_TRUE(list.BeginEdit());
  list.EndEdit("12345678901234567890.123");
  EXPECT_GE(w.CellRect(1, 2).width() - 4, w.fontMetrics().horizontalAdvance("12345678901234567890.123"));
}

// Types 8 and 9 edit in a drop-down: 8 takes typing, 9 only picks.
TEST(ListExWidget, ComboColumnsEditInADropDown) {
  TestApp();
  platform::FakeMessagePort messages;
  CListEx list;
  list.InsertColumn(0, "序号", 40, 0);
  list.InsertColumn(1, "等级", 80, 9);
  list.InsertColumn(2, "仪器", 80, 8);
  list.Column(1).choices = {"二等", "三等", "四等"};
  list.Column(2).choices = {"DS1", "DS3"};
  list.InsertItem(0, "");
  list.Select(0, 1);
  CListExWidget w(&list);
  w.resize(300, 160);
  w.AutoSizeColumns();
  w.OpenEditor();
  auto* combo = w.findChild<CInPlaceCombo*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_FALSE(combo->isEditable());
  ASSERT_EQ(combo->count(), 3);
  combo->setCurrentIndex(1);
  emit combo->activated(1);
  EXPECT_EQ(list.GetItemText(0, 1), "三等");
  EXPECT_FALSE(list.IsEditing());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  list.Select(0, 2);
  w.OpenEditor();
  combo = w.findChild<CInPlaceCombo*>();
  ASSERT_NE(combo, nullptr);
  EXPECT_TRUE(combo->isEditable());
  combo->setEditText("DS05");
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(list.GetItemText(0, 2), "DS05");
  EXPECT_EQ(list.GetItemCount(), 2);  // the input row follows the typed one
}

}  // namespace
