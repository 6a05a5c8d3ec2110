// The table settings dialog offscreen: entries OK refuses keep it open with the
// message and the focus on the entry; through the grid's "表格" button, OK with
// unchanged values still re-lays out and "0行" above hides the header items.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/fake_ports.h"
#include "table/table_set_form.h"
#include "table/table_view.h"
#include "table/ui/button_st.h"
#include "table/ui/table_set_dlg.h"
#include "table/ui/table_widget.h"
#include "tests/table/ui/qt_app.h"

namespace {

QLineEdit* EditOf(const CTableSetDlg& d, int id) { return qobject_cast<QLineEdit*>(d.Control(id)); }

QPushButton* ButtonOf(QWidget& d, const char* text) {
  for (QPushButton* b : d.findChildren<QPushButton*>())
    if (b->text() == QString::fromUtf8(text)) return b;
  return nullptr;
}

table::CTableSetForm DefaultForm() {
  CTableView v;
  return table::CTableSetForm::FromView(v);
}

}  // namespace

TEST(TableSetDlg, RefusedEntriesKeepTheDialogOpen) {
  TestApp();
  const struct {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {table::kSetFontHeight, "8", "请输入一个介于 9 和 30 之间的整数。"},
      {table::kSetFontHeight, "31", "请输入一个介于 9 和 30 之间的整数。"},
      {table::kSetFontHeight, "十二", "请输入一个整数。"},
      {table::kSetPrintHeight, "0.5", "请输入一个介于 1 和 10 之间的数。"},
      {table::kSetAngleDecimals, "3", "请输入一个介于 0 和 2 之间的整数。"},
      {table::kSetLatLonDecimals, "6", "请输入一个介于 0 和 5 之间的整数。"},
      {table::kSetMarginTop, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {table::kSetMarginBottom, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {table::kSetMarginLeft, "51", "请输入一个介于 0 和 50 之间的整数。"},
      {table::kSetMarginRight, "51", "请输入一个介于 0 和 50 之间的整数。"},
  };
  for (const auto& c : cases) {
    platform::FakeMessagePort messages;
    CTableSetDlg dlg(DefaultForm());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EditOf(dlg, c.id)->setText(QString::fromUtf8(c.text));
    ButtonOf(dlg, "确定")->click();
    EXPECT_TRUE(dlg.isVisible()) << c.id << " " << c.text;
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    ASSERT_EQ(messages.Texts().size(), 1u) << c.text;
    EXPECT_EQ(messages.Texts()[0], c.message);
    EXPECT_EQ(QApplication::focusWidget(), EditOf(dlg, c.id)) << c.text;
    EXPECT_EQ(dlg.Form().Text(c.id), DefaultForm().Text(c.id)) << "nothing taken before OK succeeds";
  }
}

TEST(TableSetDlg, ShowsTheValuesAndHidesWhatTheGridKeeps) {
  TestApp();
  table::CTableSetForm f = DefaultForm();
  f.marginLeft = 5;
  f.marginTop = 8;
  f.chainageDecimals = 9;  // out of its range, but hidden: OK still closes
  f.linesAbove = 2;
  f.padRows = true;
  CTableSetDlg dlg(f);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("表格属性设置"));
  EXPECT_EQ(EditOf(dlg, table::kSetMarginLeft)->text(), "5");
  EXPECT_EQ(EditOf(dlg, table::kSetMarginTop)->text(), "8");
  EXPECT_EQ(qobject_cast<QComboBox*>(dlg.Control(table::kSetLinesAbove))->currentText(), QString::fromUtf8("2行"));
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dlg.Control(table::kSetPadRows))->isChecked());
  for (int id : {table::kSetChainageDecimals, table::kSetGradeDecimals, table::kSetAngleUnit})
    EXPECT_FALSE(dlg.Control(id)->isVisible()) << id;
  EditOf(dlg, table::kSetDistDecimals)->setText("5");
  EditOf(dlg, table::kSetMarginRight)->setText("33");
  ButtonOf(dlg, "确定")->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.Form().distDecimals, 5);
  EXPECT_EQ(dlg.Form().marginRight, 33);
  EXPECT_EQ(dlg.Form().chainageDecimals, 9);
}

namespace {

class FrameCount final : public table::ITableFrame {
 public:
  FrameCount() { old_ = table::SetFramePort(this); }
  ~FrameCount() override { table::SetFramePort(old_); }
  void SetStatusPane(int, const std::string&) override {}
  void SetDocumentModified() override { ++modified; }
  void SwitchToDrawing(CTableView&) override {}
  int modified = 0;

 private:
  table::ITableFrame* old_ = nullptr;
};

// Answers the modal dialog once it is up: `edit` changes its controls, then OK.
void AnswerDialog(std::function<void(CTableSetDlg&)> edit) {
  QTimer::singleShot(0, [edit] {
    auto* dlg = qobject_cast<CTableSetDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    edit(*dlg);
    ButtonOf(*dlg, "确定")->click();
  });
}

}  // namespace

TEST(TableSetDlg, GridButtonRunsTheDialogAndRelaysOut) {
  TestApp();
  platform::FakeMessagePort messages;
  FrameCount frame;
  CTableView view;
  CTableWidget grid(&view);
  grid.resize(900, 500);
  view.NewTable(4, 2, "测试表", true);
  view.SetHeaderText(0, "工程名称：隧道");
  view.SetCellText(1, 1, "A");
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  (void)grid.grab();
  const int narrow = view.Layout().width.at(1);
  const int headerBottom = view.Layout().header[0].bottom;
  ASSERT_GT(headerBottom, 0);

  view.SetCellText(1, 1, "一个很长很长的点名称");
  AnswerDialog([](CTableSetDlg&) {});
  grid.Button(table::ID_TABLE_SETTINGS)->click();
  EXPECT_GT(view.Layout().width.at(1), narrow) << "OK with unchanged values re-lays out";
  EXPECT_EQ(frame.modified, 0) << "and leaves the job unmodified";

  const int titleTop = view.Layout().title.top;
  const int cellTop = view.Layout().cells.at(0).at(1).top;
  ASSERT_EQ(view.m_nLinesAbove, 1);
  AnswerDialog([](CTableSetDlg& d) {
    qobject_cast<QComboBox*>(d.Control(table::kSetLinesAbove))->setCurrentIndex(0);
    qobject_cast<QLineEdit*>(d.Control(table::kSetAngleDecimals))->setText("2");
  });
  grid.Button(table::ID_TABLE_SETTINGS)->click();
  EXPECT_EQ(view.m_nLinesAbove, 0);
  EXPECT_EQ(view.m_nAngleDecimals, 2);
  EXPECT_EQ(frame.modified, 1);
  EXPECT_TRUE(messages.Texts().empty());
  // The item line is gone: the table moves up by its height under the same title.
  EXPECT_EQ(view.Layout().cells.at(0).at(1).top, cellTop - view.GetRowHeight());
  EXPECT_EQ(view.Layout().header[0].Height(), 0);
  EXPECT_EQ(view.Layout().title.top, titleTop);
  (void)grid.grab();
}
