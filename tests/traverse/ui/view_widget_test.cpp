// The traverse view on screen (offscreen): a sample job computed from its input
// table, the result tables grabbed as pictures, a page printed to PDF, and a
// 1,000-row job computed and shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QLineEdit>
#include <QImage>
#include <QPixmap>
#include <QPrinter>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "table/ui/button_st.h"
#include "table/ui/export_dialogs.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"
#include "table/ui/table_set_dlg.h"
#include "traverse/codes.h"
#include "traverse/file/traverse_section.h"
#include "traverse/ui/cus_table_set_dlg.h"
#include "traverse/ui/fan_set_dlg.h"
#include "traverse/ui/traverse_view.h"
#include "tests/traverse/ui/long_traverse.h"

namespace {

std::string Example(const char* name) {
  std::string here = __FILE__;
  return here.substr(0, here.rfind("/tests/")) + "/examples/" + name;
}

void Load(CDxView& view, const std::string& path) {
  auto bytes = platform::ReadFileBytes(path);
  ASSERT_TRUE(bytes.has_value());
  std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
  traverse::TraverseSectionData d;
  std::size_t pos = 3;
  traverse::ReadTraverseSectionLines(lines, pos, 520, d);
  view.ResetScheme();
  view.ApplySectionData(d);
}

class ViewWidgetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "view_widget_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    SetUiScale(9);
  }
  platform::FakeMessagePort messages;
};

// Counts the dark pixels of a picture (text and grid lines).
int Ink(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 100) ++n;
  return n;
}

// A host owned as the frame owns it, by its widget, which goes at the end of the
// test: a widget left behind would paint the view its host took with it.
class OwnedHost {
 public:
  explicit OwnedHost(app::IShellServices* shell = nullptr)
      : host_(new traverse_ui::CTraverseViewHost(nullptr, shell)), widget_(host_->Widget()) {}
  traverse_ui::CTraverseViewHost& Host() { return *host_; }

 private:
  traverse_ui::CTraverseViewHost* host_;  // a child of the widget
  std::unique_ptr<CTableWidget> widget_;
};

}  // namespace

TEST_F(ViewWidgetTest, ClosedTraverseComputesAndPrints) {
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  CTableWidget* w = host.Widget();
  w->resize(1400, 800);
  w->show();
  CDxView& view = host.View();
  Load(view, Example("closed-traverse.qvt"));
  view.ShowTable("SHUJUSHURU");
  EXPECT_EQ(view.GetTitle(), "闭、附合导线数据输入");
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
  EXPECT_EQ(view.TableCode, "PMJSH");
  QImage plane = w->grab().toImage();
  plane.save("traverse_plane_table.png");
  EXPECT_GT(Ink(plane), 2000);
  std::printf("plane remark: %s | %s\n", view.GetSignatureText(1).c_str(), view.GetSignatureText(2).c_str());

  view.ShowTable("JINGDU");
  EXPECT_EQ(view.GetTitle(), "精度评定表");
  QImage precision = w->grab().toImage();
  precision.save("traverse_precision_table.png");
  std::printf("precision remark: %s\n", view.GetSignatureText(1).c_str());

  view.ShowTable("GCHJSH");
  w->grab().toImage().save("traverse_height_table.png");
  std::printf("height remark: %s | %s\n", view.GetSignatureText(1).c_str(), view.GetSignatureText(2).c_str());

  view.ShowTable("PMJSH");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName("traverse_plane_table.pdf");
  host.PrintTo(printer);
  auto pdf = platform::ReadFileBytes("traverse_plane_table.pdf");
  ASSERT_TRUE(pdf.has_value());
  EXPECT_GT(pdf->size(), 1000u);
}

// The functional half of the long job; its time is measured in bench/traverse.
TEST_F(ViewWidgetTest, ThousandRowJobComputesAndShows) {
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  host.Widget()->resize(1400, 800);
  CDxView& view = host.View();
  const int n = 1000;
  traversetest::FillLongTraverse(view, n);
  view.ShowTable("SHUJUSHURU");
  ASSERT_EQ(view.GetRowCount(), n);
  view.OnCommand(table::ID_COMPUTE);  // compute, then the plane table is built
  ASSERT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
  ASSERT_EQ(view.TableCode, "PMJSH");
  view.ShowTable("JINGDU");
  EXPECT_EQ(view.TableCode, "JINGDU");
  traverse::TraverseSectionData d;
  view.GetSectionData(d);
  auto bytes = platform::EncodeGbkLines(traverse::WriteTraverseSectionLines(d));
  ASSERT_TRUE(bytes.has_value());
}

TEST_F(ViewWidgetTest, SchemeDialogMirrorsTheFormModel) {
  traverse::CSchemeForm form(traverse::SchemeValues(), 3);
  CFAnSetDlg dlg(form);
  auto* type = qobject_cast<QComboBox*>(dlg.Control(traverse::kCtlTraverseType));
  ASSERT_NE(type, nullptr);
  EXPECT_TRUE(dlg.Control(traverse::kCtlReduce)->isEnabled());
  type->setCurrentIndex(4);  // 坐标导线
  EXPECT_FALSE(dlg.Control(traverse::kCtlReduce)->isEnabled());
  EXPECT_TRUE(dlg.Control(traverse::kCtlDistribution0)->isEnabled());
  EXPECT_EQ(qobject_cast<QComboBox*>(dlg.Control(traverse::kCtlHeightRoute))->currentIndex(), 1);
  type->setCurrentIndex(0);
  qobject_cast<QLineEdit*>(dlg.Control(traverse::kCtlDistA))->setText("0");
  qobject_cast<QLineEdit*>(dlg.Control(traverse::kCtlDistB))->setText("0");
  EXPECT_FALSE(dlg.TryAccept());
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0], "测距中误差应大于0\r\n");
  qobject_cast<QLineEdit*>(dlg.Control(traverse::kCtlDistB))->setText("2");
  EXPECT_TRUE(dlg.TryAccept());
  EXPECT_DOUBLE_EQ(dlg.Form().values.m_dDistB, 2.0);
  EXPECT_EQ(dlg.Form().unknownCount, 3);
}

// A click elsewhere in the dialog redraws its fields from the form: a field holding
// text that is not one number keeps that text, and OK refuses it, instead of showing
// and taking its first digits (or 0). Whole-number fields take whole numbers only.
TEST_F(ViewWidgetTest, SchemeDialogNeverTakesTheFirstDigitsOfAField) {
  const struct {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {traverse::kCtlDistA, "2.5x", "请输入一个数字。"},
      {traverse::kCtlDistB, "", "请输入一个数字。"},
      {traverse::kCtlAngleRms, "abc", "请输入一个数字。"},
      {traverse::kCtlAngleRms, "1e309", "请输入一个数字。"},
      {traverse::kCtlUnknownCount, "2.5", "请输入一个整数。"},
      {traverse::kCtlUnknownCount, "4x", "请输入一个整数。"},
      {traverse::kCtlRelClosureLimit, "1e4", "请输入一个整数。"},
  };
  for (const auto& c : cases) {
    messages.Clear();
    traverse::CSchemeForm form(traverse::SchemeValues(), 3);
    CFAnSetDlg dlg(form);
    auto* edit = qobject_cast<QLineEdit*>(dlg.Control(c.id));
    auto* reduce = qobject_cast<QCheckBox*>(dlg.Control(traverse::kCtlReduce));
    ASSERT_TRUE(edit && reduce && reduce->isEnabled());
    edit->setText(QString::fromUtf8(c.text));
    reduce->click();
    EXPECT_EQ(edit->text().toStdString(), c.text) << c.id;
    EXPECT_FALSE(dlg.TryAccept()) << c.id << " " << c.text;
    ASSERT_EQ(messages.Texts().size(), 1u) << c.id << " " << c.text;
    EXPECT_EQ(messages.Texts()[0], c.message);
    EXPECT_EQ(dlg.Form().unknownCount, 3);
  }
}

TEST_F(ViewWidgetTest, ResultTableFollowsTheInterfaceScale) {
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  CTableWidget* w = host.Widget();
  w->resize(1400, 800);
  w->show();
  CDxView& view = host.View();
  Load(view, Example("closed-traverse.qvt"));
  view.ShowTable("SHUJUSHURU");
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
  (void)w->grab();
  const int smallRow = view.GetCellRect(2, 1).Height();
  SetUiScale(18);  // 24-pixel characters at 96 dpi
  host.ApplyUiScale();
  (void)w->grab();
  EXPECT_EQ(view.GetFontHeight(), 24);
  EXPECT_GT(view.GetCellRect(2, 1).Height(), smallRow * 3 / 2) << "rows grow with the characters";
  view.ShowTable("SHUJUSHURU");
  EXPECT_EQ(view.GetFontHeight(), 24) << "switching tables keeps the scale";
  SetUiScale(9);
  host.ApplyUiScale();
  EXPECT_EQ(view.GetFontHeight(), 12);
}

TEST_F(ViewWidgetTest, BarButtonsWithoutTheirWorkSaySo) {
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  CTableWidget* w = host.Widget();
  w->resize(1400, 800);
  w->show();
  Load(host.View(), Example("closed-traverse.qvt"));
  host.View().ShowTable("SHUJUSHURU");
  const struct {
    int id;
    const char* text;
  } cases[] = {{table::ID_EXPORT_CAD, "此版本尚未提供“CAD”功能。"}};
  for (const auto& c : cases) {
    CButtonST* b = w->Button(c.id);
    ASSERT_NE(b, nullptr) << c.id;
    b->click();
    ASSERT_FALSE(messages.Texts().empty()) << c.text;
    EXPECT_EQ(messages.Texts().back(), c.text);
  }
  host.View().OnCommand(table::ID_COMPUTE);
  const std::size_t before = messages.Texts().size();
  w->Button(table::ID_COMPUTE)->click();
  for (std::size_t i = before; i < messages.Texts().size(); ++i)
    EXPECT_EQ(messages.Texts()[i].find("尚未提供"), std::string::npos) << "计算 is the view's own work";
}

TEST_F(ViewWidgetTest, WordOpensItsDialogBesideTheResults) {
  table::IExportDialogs* old = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  CTableWidget* w = host.Widget();
  w->resize(1400, 800);
  w->show();
  Load(host.View(), Example("closed-traverse.qvt"));
  host.View().ShowTable("SHUJUSHURU");
  host.View().OnCommand(table::ID_COMPUTE);
  w->Button(table::ID_EXPORT_WORD)->click();
  QPointer<CExportWordSetDlg> dlg = table_ui::ExportDialogsOfQt().WordDialogOf(host.View());
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_TRUE(messages.Texts().empty()) << messages.Texts()[0];
  dlg->OnExit();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dlg);
  table::SetExportDialogs(old);
}

TEST_F(ViewWidgetTest, ANewJobClosesTheWordDialogOfThePreviousOne) {
  table::IExportDialogs* old = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
  platform::ScopedMemoryServices services;
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  CTableWidget* w = host.Widget();
  w->resize(1400, 800);
  w->show();
  Load(host.View(), Example("closed-traverse.qvt"));
  host.View().ShowTable("SHUJUSHURU");
  host.View().OnCommand(table::ID_COMPUTE);
  w->Button(table::ID_EXPORT_WORD)->click();
  QPointer<CExportWordSetDlg> dlg = table_ui::ExportDialogsOfQt().WordDialogOf(host.View());
  ASSERT_TRUE(dlg);
  const std::string path = (std::filesystem::temp_directory_path() / ("quintar-reset-" + std::to_string(::getpid()) + ".odt")).string();
  services.files.answers = {path};
  ASSERT_TRUE(dlg->Export(false));
  ASSERT_EQ(host.View().WordSession().path, path);

  host.View().ResetScheme();  // what File→Open and File→New do first
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dlg) << "the dialog with the previous job's file and paper is gone";
  EXPECT_TRUE(host.View().WordSession().path.empty());
  EXPECT_TRUE(services.desktop.opened.empty()) << "closing opens nothing";
  std::filesystem::remove(path);
  table::SetExportDialogs(old);
}

// The shell as the frame hands it to the view factory, recording what the view asks.
struct RecordingShell final : app::IShellServices {
  std::vector<std::string> calls;
  CDxView* view = nullptr;
  int selected = 0;
  bool SelectNavItem(int section, int code) override {
    calls.push_back("select " + std::to_string(section) + " " + std::to_string(code));
    if (code == 20 && view) view->ShowTable("PMJSH");  // the pane dispatches the item
    return true;
  }
  int SelectedNavCode(int) const override { return selected; }
  bool SelectedNavIsLeaf(int) const override { return selected != 0; }
  void RebuildNavTree(int section) override { calls.push_back("rebuild " + std::to_string(section)); }
  void ClearNavSelection(int section) override { calls.push_back("clear " + std::to_string(section)); }
  void RestNavCaret(int section) override { calls.push_back(section == 1 ? "custom forms" : "caret " + std::to_string(section)); }
  bool SelectHelpItem(const std::string& text) override {
    calls.push_back("help " + text);
    return true;
  }
  bool IsDocumentModified() const override { return false; }
  void SetDocumentModified() override { calls.push_back("modified"); }
  void SwitchView(int id) override { calls.push_back("switch " + std::to_string(id)); }
  void ShowDrawing() override { calls.push_back("drawing"); }
  void RenameNavItem(int section, int code, const std::string& text) override {
    if (section == 1) calls.push_back("rename " + std::to_string(code - traverse::kNavCustomFirst) + " " + text);
  }
};

TEST_F(ViewWidgetTest, TheViewReachesTheShellThroughItsServices) {
  RecordingShell shell;
  OwnedHost owned(&shell);
  traverse_ui::CTraverseViewHost& host = owned.Host();
  shell.view = &host.View();
  Load(host.View(), Example("closed-traverse.qvt"));
  host.View().ShowTable("SHUJUSHURU");
  shell.calls.clear();
  host.View().OnCommand(table::ID_COMPUTE);
  // After computing, the plane item of the adjustment tree is selected (nothing was).
  ASSERT_FALSE(shell.calls.empty());
  EXPECT_EQ(shell.calls.front(), "select 1 20");
  EXPECT_EQ(host.View().TableCode, "PMJSH");
  // A result leaf the user had selected is selected again instead.
  shell.calls.clear();
  shell.selected = 31;
  host.View().OnCommand(table::ID_COMPUTE);
  ASSERT_FALSE(shell.calls.empty());
  EXPECT_EQ(shell.calls.front(), "select 1 31");
}

namespace {

QPushButton* ButtonOf(QWidget& d, const char* text) {
  for (QPushButton* b : d.findChildren<QPushButton*>())
    if (b->text() == QString::fromUtf8(text)) return b;
  return nullptr;
}

// Answers the next modal dialog of type D once it is up.
template <class D>
void AnswerDialog(std::function<void(D&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dlg = qobject_cast<D*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    answer(*dlg);
  });
}

// The texts of the column with this code, rows 1..n.
std::vector<std::string> ColumnTexts(const CDxView& v, const std::string& code) {
  std::vector<std::string> out;
  for (int c = 1; c <= v.GetColCount(); ++c)
    if (v.GetColumnCode(c) == code)
      for (int r = 1; r <= v.GetRowCount(); ++r)
        if (!v.CellText(r, c).empty()) out.push_back(v.CellText(r, c));
  return out;
}

}  // namespace

TEST_F(ViewWidgetTest, SettingsDialogChangesTheAdjustmentTablesDecimals) {
  OwnedHost owned;
  traverse_ui::CTraverseViewHost& host = owned.Host();
  CTableWidget* w = host.Widget();
  w->resize(1400, 800);
  w->show();
  CDxView& view = host.View();
  Load(view, Example("closed-traverse.qvt"));
  view.ShowTable("SHUJUSHURU");
  view.OnCommand(table::ID_COMPUTE);
  ASSERT_EQ(view.TableCode, "PMJSH");
  const std::vector<std::string> x = ColumnTexts(view, "X");
  ASSERT_FALSE(x.empty());
  EXPECT_EQ(x.back().size() - x.back().find('.'), 4u) << x.back();
  AnswerDialog<CTableSetDlg>([](CTableSetDlg& d) {
    qobject_cast<QLineEdit*>(d.Control(table::kSetAngleDecimals))->setText("3");  // refused: 0-2
    ButtonOf(d, "确定")->click();
    ASSERT_TRUE(d.isVisible());
    qobject_cast<QLineEdit*>(d.Control(table::kSetAngleDecimals))->setText("1");
    qobject_cast<QLineEdit*>(d.Control(table::kSetCoordDecimals))->setText("4");
    ButtonOf(d, "确定")->click();
  });
  w->Button(table::ID_TABLE_SETTINGS)->click();
  ASSERT_EQ(messages.Texts(), (std::vector<std::string>{"请输入一个介于 0 和 2 之间的整数。"}));
  EXPECT_EQ(view.TableCode, "PMJSH");
  const std::vector<std::string> x4 = ColumnTexts(view, "X");
  ASSERT_EQ(x4.size(), x.size());
  EXPECT_EQ(x4.back().size() - x4.back().find('.'), 5u) << x4.back();
  EXPECT_NEAR(platform::ParseDouble(x4.back()), platform::ParseDouble(x.back()), 0.00051) << "the same point";
  w->grab().toImage().save("traverse_plane_table_4_decimals.png");
}

TEST_F(ViewWidgetTest, CustomTableDefinedThroughItsDialogAndSaved) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "quintar-custable-widget";
  std::filesystem::remove_all(dir);
  RecordingShell shell;
  OwnedHost owned(&shell);
  traverse_ui::CTraverseViewHost& host = owned.Host();
  shell.view = &host.View();
  CDxView& view = host.View();
  view.SetCustomTableFolders("", dir.string() + "/");
  host.Widget()->resize(1400, 800);
  host.Widget()->show();
  Load(view, Example("closed-traverse.qvt"));
  view.ShowTable("SHUJUSHURU");
  view.OnCommand(table::ID_COMPUTE);
  shell.calls.clear();
  AnswerDialog<CCusTableSetDlg>([](CCusTableSetDlg& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("自定义表格"));
    ButtonOf(d, "确定")->click();  // no name yet: refused
    ASSERT_TRUE(d.isVisible());
    d.NameEdit()->setText(QString::fromUtf8("坐标与边长"));
    d.Choice(0)->setChecked(true);   // 坐标XY
    d.Choice(13)->setChecked(true);  // 观测边长
    ButtonOf(d, "确定")->click();
  });
  view.ShowTable("CUSTABLE0");
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"表格名称不能为空！"}));
  EXPECT_EQ(view.GetTitle(), "坐标与边长");
  EXPECT_EQ(view.GetColCount(), 4);
  EXPECT_TRUE(view.GetColumnStagger(4));
  EXPECT_NE(std::find(shell.calls.begin(), shell.calls.end(), "rename 0 坐标与边长"), shell.calls.end());
  EXPECT_EQ(host.CustomTableName(0), "坐标与边长");
  auto bytes = platform::ReadFileBytes((dir / "table.cus").string());
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(platform::SplitGbkLines(*bytes).at(1), "X,Y,QBCHLOW,");
  host.Widget()->grab().toImage().save("traverse_custom_table.png");
  std::filesystem::remove_all(dir);
}

// The greyed ellipsoid fields show the figures of the chosen system; the custom
// values are shown for "自定义" and kept whatever preset is chosen in between.
TEST_F(ViewWidgetTest, SchemeDialogShowsTheChosenEllipsoid) {
  traverse::SchemeValues v;
  v.m_bReduce = 1;
  v.m_nEllipsoid = 2;  // 西安80
  v.m_dEllipA = 6378200.5;
  v.m_dEllipInvF = 298.25;
  traverse::CSchemeForm form(v, 3);
  CFAnSetDlg dlg(form);
  auto* list = qobject_cast<QComboBox*>(dlg.Control(traverse::kCtlEllipsoid));
  auto* a = qobject_cast<QLineEdit*>(dlg.Control(traverse::kCtlEllipA));
  auto* invF = qobject_cast<QLineEdit*>(dlg.Control(traverse::kCtlEllipInvF));
  ASSERT_TRUE(list && a && invF);
  const struct {
    int index;
    double a, invF;
  } cases[] = {{2, 6378140, 298.257},     {1, 6378245, 298.3},          {0, 6378200.5, 298.25},
               {3, 6378137, 298.257223563}, {4, 6378137, 298.257222101}, {0, 6378200.5, 298.25}};
  for (const auto& c : cases) {
    list->setCurrentIndex(c.index);
    EXPECT_DOUBLE_EQ(platform::ParseDouble(a->text().toStdString()), c.a) << c.index;
    EXPECT_DOUBLE_EQ(platform::ParseDouble(invF->text().toStdString()), c.invF) << c.index;
    EXPECT_EQ(a->isEnabled(), c.index == 0);
  }
  list->setCurrentIndex(2);
  EXPECT_TRUE(dlg.TryAccept());
  EXPECT_EQ(dlg.Form().values.m_nEllipsoid, 2);
  EXPECT_DOUBLE_EQ(dlg.Form().values.m_dEllipA, 6378200.5);
  EXPECT_DOUBLE_EQ(dlg.Form().values.m_dEllipInvF, 298.25);
}
