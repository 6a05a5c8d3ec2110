// The tools view on screen: the settings dialog follows its page, the estimate
// button fills only the parameter edits, the common-point list paints its colours,
// and a tool computes in the grid widget.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include "drawing/draw_view.h"
#include "platform/fake_ports.h"
#include "table/ui/list_ex_widget.h"
#include "table/ui/table_widget.h"
#include "tools/ui/aux_set_dlg.h"
#include "tools/ui/tools_view.h"
#include "tools/ui/zbzhh_csh_dlg.h"

namespace {

struct UiTest : ::testing::Test {
  UiTest() {
    static int argc = 1;
    static char name[] = "tools_view_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  platform::FakeMessagePort messages;
};

QLineEdit* Edit(CAuxSetDlg& d, int id) { return static_cast<QLineEdit*>(d.Control(id)); }

TEST_F(UiTest, SettingsDialogEnablesWhatThePageAllows) {
  struct Case {
    int page;
    std::vector<int> on, off;
  };
  const Case cases[] = {{tools::kPageHeighting, {1040, 1039}, {1035, 1037, 1034, 1096, 1203, 1300}},
                        {tools::kPageZoneChange, {1035, 1036, 1089, 1034}, {1038, 1040, 1096}},
                        {tools::kPageFourParams, {1096, 1100, 1203}, {1035, 1101, 1204}}};
  for (const Case& c : cases) {
    tools::CAuxSetForm form;
    form.page = c.page;
    CAuxSetDlg dlg(form, nullptr);
    for (int id : c.on) EXPECT_TRUE(dlg.Control(id)->isEnabled()) << c.page << " " << id;
    for (int id : c.off) EXPECT_FALSE(dlg.Control(id)->isEnabled()) << c.page << " " << id;
  }
  tools::CAuxSetForm form;
  form.page = tools::kPageGauss;
  CAuxSetDlg dlg(form, nullptr);
  auto* system = static_cast<QComboBox*>(dlg.Control(1035));
  system->setCurrentIndex(0);
  EXPECT_TRUE(dlg.Control(1300)->isEnabled());
  system->setCurrentIndex(2);
  EXPECT_FALSE(dlg.Control(1301)->isEnabled());
}

TEST_F(UiTest, FourParameterScaleIsCheckedOnOk) {
  tools::CAuxSetForm form;
  form.page = tools::kPageFourParams;
  CAuxSetDlg dlg(form, nullptr);
  EXPECT_FALSE(dlg.TryAccept());  // scale 0
  EXPECT_EQ(messages.Messages().back(), "四参数中的尺度输入不当。可直接输入，也可以由公共点解算。");
  Edit(dlg, 1100)->setText("-1");
  EXPECT_TRUE(dlg.TryAccept());
  EXPECT_DOUBLE_EQ(dlg.Form().fourParams[3], -1);
}

TEST_F(UiTest, EmptiedOrJunkNumberFieldIsRefusedWithFocusOnIt) {
  struct Field {
    int page, id;
  };
  const Field fields[] = {{tools::kPageGauss, 1034},        {tools::kPageZoneChange, 1036},
                          {tools::kPageGauss, 1087},        {tools::kPageZoneChange, 1089},
                          {tools::kPageReduction, 1038},    {tools::kPageHeighting, 1039},
                          {tools::kPageFourParams, 1096},   {tools::kPageFourParams, 1100},
                          {tools::kPageSevenParams, 1101},  {tools::kPageSevenParams, 1104},
                          {tools::kPageSevenParams, 1107}};
  const char* texts[] = {"", "   ", "abc", "nan", "inf", "1e309", "12X3", "-"};
  for (const Field& f : fields) {
    for (const char* text : texts) {
      tools::CAuxSetForm form;
      form.page = f.page;
      form.fourParams[3] = 1;
      form.sevenParams[0] = 5;
      CAuxSetDlg dlg(form, nullptr);
      Edit(dlg, f.id)->setText(QString::fromUtf8(text));
      messages.Clear();
      EXPECT_FALSE(dlg.TryAccept()) << f.id << " \"" << text << '"';
      ASSERT_FALSE(messages.Messages().empty()) << f.id << " \"" << text << '"';
      EXPECT_EQ(messages.Messages().back(), "请输入一个数。");
      EXPECT_EQ(dlg.focusWidget(), dlg.Control(f.id)) << f.id;
    }
  }
  // Blanks around a number are fine; the value reaches the form.
  tools::CAuxSetForm form;
  form.page = tools::kPageGauss;
  CAuxSetDlg dlg(form, nullptr);
  Edit(dlg, 1034)->setText(" 117.3 ");
  ASSERT_TRUE(dlg.TryAccept());
  EXPECT_DOUBLE_EQ(dlg.Form().meridian1, 117.3);
}

TEST_F(UiTest, GreyedEllipsoidShowsTheChosenSystemsFigures) {
  tools::CAuxSetForm form;
  form.page = tools::kPageGauss;
  form.coordSystem = 2;
  form.ellipsoidA = 6378000;
  form.ellipsoidInvF = 299;
  CAuxSetDlg dlg(form, nullptr);
  struct Case {
    int system;
    const char *a, *invF;
  };
  const Case cases[] = {{2, "6378140", "298.257"},       {1, "6378245", "298.3"},
                        {3, "6378137", "298.257223563"}, {4, "6378137", "298.257222101"},
                        {0, "6378000", "299"}};
  auto* system = static_cast<QComboBox*>(dlg.Control(1035));
  for (const Case& c : cases) {
    system->setCurrentIndex(c.system);
    EXPECT_EQ(Edit(dlg, 1300)->text().toStdString(), c.a) << c.system;
    EXPECT_EQ(Edit(dlg, 1301)->text().toStdString(), c.invF) << c.system;
  }
  // Custom figures typed, then a preset chosen: OK keeps the custom ones for later.
  Edit(dlg, 1300)->setText("6377000");
  system->setCurrentIndex(2);
  EXPECT_EQ(Edit(dlg, 1300)->text().toStdString(), "6378140");
  system->setCurrentIndex(0);
  EXPECT_EQ(Edit(dlg, 1300)->text().toStdString(), "6377000");
  system->setCurrentIndex(2);
  ASSERT_TRUE(dlg.TryAccept());
  EXPECT_EQ(dlg.Form().coordSystem, 2);
  EXPECT_DOUBLE_EQ(dlg.Form().ellipsoidA, 6378000);
  EXPECT_DOUBLE_EQ(dlg.Form().ellipsoidInvF, 299);
}

TEST_F(UiTest, EstimateRefreshesOnlyTheParameterEdits) {
  CAuxView view;
  view.ResetToDefaults();
  view.m_stores[tools::kStoreFourCommonPoints] = {"0,0,10,20", "100,0,110,20"};
  tools::CAuxSetForm form = tools::CAuxSetForm::FromView(view, tools::kPageFourParams);
  CAuxSetDlg dlg(form, [](int) { return true; });
  Edit(dlg, 1034)->setText("117");  // typed, not yet read
  dlg.OnSolveParameters(1);
  EXPECT_EQ(Edit(dlg, 1096)->text().toStdString(), "10");
  EXPECT_EQ(Edit(dlg, 1100)->text().toStdString(), "1");
  EXPECT_EQ(Edit(dlg, 1099)->text().toStdString(), "0");
  EXPECT_EQ(Edit(dlg, 1034)->text().toStdString(), "117");
}

TEST_F(UiTest, CommonPointListPaintsItsColours) {
  CAuxView view;
  view.ResetToDefaults();
  view.m_stores[tools::kStoreFourCommonPoints] = {"1,2,3,4", "5,6,7,8"};
  CZbZhhCshDlg dlg(view, 1);
  CListExWidget* w = dlg.ListWidget();
  w->resize(460, 200);
  w->AutoSizeColumns();
  dlg.List().Select(0, 0);  // the whole first row
  const QImage img = w->grab().toImage();
  auto at = [&](int row, int col) { return img.pixelColor(w->CellRect(row, col).center() + QPoint(0, 4)); };
  EXPECT_EQ(at(0, 0), QColor(0, 63, 144));      // row header of a row selected as a row
  EXPECT_EQ(at(0, 3), QColor(182, 202, 234));   // selected cell
  EXPECT_EQ(at(1, 2), QColor(255, 255, 255));   // editable cell
  bool changed = true;
  dlg.List().SetItemText(2, 1, "9");
  EXPECT_FALSE(dlg.TryAccept(&changed));
  EXPECT_EQ(messages.Messages().back(), "第3行数据输入不完整。");
  dlg.List().SetItemText(2, 1, "");
  ASSERT_TRUE(dlg.TryAccept(&changed));
  EXPECT_FALSE(changed);
}

// Typing points as a surveyor does: Tab from cell to cell (also after Ctrl+A), and
// Esc asks before the typed points are thrown away.
TEST_F(UiTest, CommonPointListTabsBetweenCellsAndEscAsks) {
  CAuxView view;
  view.ResetToDefaults();
  CZbZhhCshDlg dlg(view, 1);
  dlg.show();
  CListExWidget* w = dlg.ListWidget();
  w->setFocus();
  auto focused = [&] { return dlg.focusWidget(); };
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  for (const char* text : {"1", "2", "3", "4", "5", "6"}) {
    QTest::keyClicks(focused(), text);
    QTest::keyClick(focused(), Qt::Key_Tab);
  }
  QTest::keyClick(focused(), Qt::Key_Backtab);
  QTest::keyClicks(focused(), "7");
  QTest::keyClick(focused(), Qt::Key_Return);
  CListEx& list = dlg.List();
  ASSERT_GE(list.GetItemCount(), 3);
  const std::vector<std::string> row0 = {list.GetItemText(0, 1), list.GetItemText(0, 2), list.GetItemText(0, 3),
                                         list.GetItemText(0, 4)};
  EXPECT_EQ(row0, (std::vector<std::string>{"1", "2", "3", "4"}));
  // Shift+Tab went back from (1, 3) to (1, 2), and 7 replaced the 6 typed there.
  EXPECT_EQ(list.GetItemText(1, 1), "5");
  EXPECT_EQ(list.GetItemText(1, 2), "7");
  EXPECT_EQ(list.GetItemText(1, 3), "");

  // Esc on the list: a question; "No" keeps the dialog and its points.
  messages.Script({platform::Answer::No});
  QTest::keyClick(w, Qt::Key_Escape);
  EXPECT_TRUE(dlg.isVisible());
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_EQ(messages.Texts().back(), "公共点坐标已修改，是否放弃修改并关闭？");
  EXPECT_EQ(list.GetItemText(0, 1), "1");
  messages.Script({platform::Answer::Yes});
  QTest::keyClick(w, Qt::Key_Escape);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(view.m_stores[tools::kStoreFourCommonPoints].empty());

  // Nothing typed: Esc closes at once.
  CZbZhhCshDlg again(view, 1);
  again.show();
  const std::size_t asked = messages.Texts().size();
  QTest::keyClick(again.ListWidget(), Qt::Key_Escape);
  EXPECT_FALSE(again.isVisible());
  EXPECT_EQ(messages.Texts().size(), asked);
}

TEST_F(UiTest, ToolComputesInTheGrid) {
  tools_ui::CToolsViewHost host;
  host.Widget()->resize(900, 400);
  host.View().m_stores[tools::kStoreGszhsh] = {"A,30,114.3"};
  ASSERT_TRUE(host.ShowTool("GSZHSH"));
  EXPECT_EQ(host.ToolRowCount("GSZHSH"), 1);
  host.View().OnCommand(table::ID_COMPUTE);
  EXPECT_TRUE(host.View().m_bComputeOk);
  EXPECT_FALSE(host.View().GetCellText(1, 4).empty());
  EXPECT_FALSE(host.Widget()->grab().isNull());
}

TEST_F(UiTest, ToolsDrawIntoTheFramesDrawingView) {
  tools_ui::CToolsViewHost host;
  host.View().m_stores[tools::kStoreQfjh] = {"0,0,45,100,0,45"};
  ASSERT_TRUE(host.ShowTool("QFJH"));
  host.View().OnCommand(table::ID_COMPUTE);  // no drawing view yet: nothing to draw into
  EXPECT_TRUE(host.View().m_bComputeOk);
  // The drawing view the frame builds later is the one drawn into.
  drawing::CDrawView draw;
  drawing::g_pDrawView = &draw;
  host.View().OnCommand(table::ID_COMPUTE);
  drawing::g_pDrawView = nullptr;
  ASSERT_EQ(draw.m_arrKzd.size(), 3u);  // A, B and P
  EXPECT_EQ(draw.m_arrLine.size(), 3u);
  EXPECT_EQ(draw.m_arrKzd[2].name, "P1");
}

}  // namespace
