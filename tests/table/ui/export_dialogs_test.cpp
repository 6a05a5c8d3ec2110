// The export dialogs on screen: the text dialog's defaults and choice, and the
// spreadsheet dialog beside its grid: export, status, "完成" opening the file,
// hidden and shown with the grid.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/export/export_ports.h"
#include "table/table_view.h"
#include "table/ui/export_dialogs.h"
#include "table/ui/table_widget.h"
#include "tests/table/ui/qt_app.h"

namespace {

namespace fs = std::filesystem;

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

TEST(ExportTextDialogTest, DefaultsAndChoice) {
  TestApp();
  CExportTextSetDlg dlg(table::TextExportSettings{});
  auto* table = qobject_cast<QRadioButton*>(dlg.ControlOf(CExportTextSetDlg::kFormatTable));
  auto* csv = qobject_cast<QRadioButton*>(dlg.ControlOf(CExportTextSetDlg::kFormatCsv));
  auto* open = qobject_cast<QCheckBox*>(dlg.ControlOf(CExportTextSetDlg::kOpenAfter));
  ASSERT_TRUE(table && csv && open);
  EXPECT_TRUE(table->isChecked());
  EXPECT_TRUE(open->isChecked());
  csv->setChecked(true);
  open->setChecked(false);
  EXPECT_EQ(dlg.Settings().format, 2);
  EXPECT_FALSE(dlg.Settings().openAfter);
}

class ExcelDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
    pane.GetView().NewTable(2, 2, "表", true);
    pane.GetView().SetCellText(1, 1, "A");
    pane.GetView().SetCellText(1, 2, "1.500");
    pane.resize(600, 400);
    pane.show();
    dir = fs::temp_directory_path() / ("quintar-excel-dlg-" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    table::SetExportDialogs(old_);
    fs::remove_all(dir);
  }
  QApplication& app = TestApp();  // before any widget
  platform::FakeMessagePort messages;
  platform::ScopedMemoryServices services;
  CTablePane<CTableView> pane;
  fs::path dir;
  table::IExportDialogs* old_ = nullptr;
};

TEST_F(ExcelDialogTest, ExportThenCompleteOpensTheFile) {
  pane.GetView().OnCommand(table::ID_EXPORT_EXCEL);
  Settle();
  QPointer<CExportExcelDlg> dlg = table_ui::ExportDialogsOfQt().ExcelDialogOf(pane.GetView());
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(dlg->isVisible());
  auto* exit = qobject_cast<QPushButton*>(dlg->ControlOf(CExportExcelDlg::kExit));
  EXPECT_EQ(exit->text(), QString::fromUtf8("退出"));
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dlg->ControlOf(CExportExcelDlg::kHalfRow))->isChecked());

  const std::string path = (dir / "t.xlsx").string();
  services.files.answers = {path};
  qobject_cast<QPushButton*>(dlg->ControlOf(CExportExcelDlg::kCurrentFile))->click();
  EXPECT_EQ(dlg->StatusText(), QString::fromUtf8("该表格已输出,可另选表格继续输出或单击“完成”"));
  EXPECT_EQ(exit->text(), QString::fromUtf8("完成"));
  EXPECT_TRUE(fs::exists(path));

  // Hidden and shown with its grid.
  pane.hide();
  Settle();
  EXPECT_FALSE(dlg->isVisible());
  pane.show();
  Settle();
  EXPECT_TRUE(dlg->isVisible());

  // The same command shows the same dialog.
  pane.GetView().OnCommand(table::ID_EXPORT_EXCEL);
  EXPECT_EQ(table_ui::ExportDialogsOfQt().ExcelDialogOf(pane.GetView()), dlg.data());

  exit->click();
  Settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dlg);
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{path});
}

TEST_F(ExcelDialogTest, ExitWithoutExportOpensNothing) {
  pane.GetView().OnCommand(table::ID_EXPORT_EXCEL);
  CExportExcelDlg* dlg = table_ui::ExportDialogsOfQt().ExcelDialogOf(pane.GetView());
  ASSERT_NE(dlg, nullptr);
  services.files.answers = {std::nullopt};
  qobject_cast<QPushButton*>(dlg->ControlOf(CExportExcelDlg::kNewFile))->click();
  EXPECT_EQ(qobject_cast<QPushButton*>(dlg->ControlOf(CExportExcelDlg::kExit))->text(), QString::fromUtf8("退出"));
  qobject_cast<QPushButton*>(dlg->ControlOf(CExportExcelDlg::kExit))->click();
  EXPECT_TRUE(services.desktop.opened.empty());
  EXPECT_TRUE(messages.Messages().empty());
}

// A view host as the data views have one: a child of the grid widget that owns the view,
// so the view goes before the widget's later children, the open dialog among them.
class ViewOwner : public QObject {
 public:
  explicit ViewOwner(QObject* parent) : QObject(parent), view(new CTableView) {}
  ~ViewOwner() override { delete view; }
  CTableView* view;
};

TEST(ExcelDialogLifeTest, GridClosedWithTheDialogOpen) {
  TestApp();
  platform::FakeMessagePort messages;
  auto* owner = new ViewOwner(nullptr);
  auto* grid = new CTableWidget(owner->view);
  owner->setParent(grid);
  owner->view->NewTable(1, 1, "表", true);
  grid->show();
  table::IExportDialogs* old = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
  owner->view->OnCommand(table::ID_EXPORT_EXCEL);
  QPointer<CExportExcelDlg> dlg = table_ui::ExportDialogsOfQt().ExcelDialogOf(*owner->view);
  ASSERT_TRUE(dlg);
  delete grid;  // the owner, the view, then the dialog
  EXPECT_FALSE(dlg);
  table::SetExportDialogs(old);
}

}  // namespace
