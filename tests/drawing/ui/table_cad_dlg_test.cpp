// A grid's "CAD": the button opens the view's CAD dialog beside the grid; the
// dialog refuses a path that is not a ".dxf" name, reports a failed write with the
// path and keeps the dialog, writes the table's DXF and opens it or says so, and
// comes and goes with its grid.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProgressBar>
#include <filesystem>

#include "drawing/ui/export_cad_dlg.h"
#include "drawing/ui/table_cad_dlg.h"
#include "platform/fake_ports.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "table/table_view.h"
#include "table/ui/button_st.h"
#include "table/ui/export_dialogs.h"
#include "table/ui/table_print.h"
#include "table/ui/table_widget.h"
#include "tests/table/export_fixture.h"
#include "tests/table/ui/qt_app.h"

namespace {

namespace fs = std::filesystem;

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

class TableCadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
    drawing_ui::RegisterTableCadDialog();
    tabletest::FillCoordinateTable(pane.GetView());
    pane.resize(700, 400);
    pane.show();
    Settle();
  }
  void TearDown() override {
    table_ui::QtExportDialogs::SetCadDialogFactory({});
    table::SetExportDialogs(old_);
  }
  drawing_ui::CExportCadSetDlg* Dialog() {
    return dynamic_cast<drawing_ui::CExportCadSetDlg*>(table_ui::ExportDialogsOfQt().CadDialogOf(pane.GetView()));
  }
  QApplication& app = TestApp();
  platform::FakeMessagePort messages;
  platform::ScopedMemoryServices services;
  CTablePane<CTableView> pane;
  tabletest::TempDir dir{"table-cad-dlg"};
  table::IExportDialogs* old_ = nullptr;
};

TEST_F(TableCadTest, ButtonOpensTheDialogThatWritesTheTable) {
  pane.Grid()->Button(table::ID_EXPORT_CAD)->click();
  Settle();
  drawing_ui::CExportCadSetDlg* dlg = Dialog();
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("输出到CAD"));
  dlg->openCheck->setChecked(false);

  const std::string missing = dir.File("missing/t.dxf");
  const std::string good = dir.File("t.dxf");
  const struct Case {
    std::string path;
    std::string message;  // the start of the one message shown
    std::string status;
    bool written, stays;
  } cases[] = {
      {dir.File("T.DXF"), "请正确填写DXF文件的保存路径！", "", false, true},
      {dir.File("t.dxf.txt"), "请正确填写DXF文件的保存路径！", "", false, true},
      {missing, "输出到dxf文件失败：\n" + missing + "\n", "输出失败", false, true},
      {good, "输出到dxf文件完成。", "", true, false},
  };
  for (const Case& c : cases) {
    messages.Clear();
    dlg->pathEdit->setText(QString::fromStdString(c.path));
    dlg->newFileButton->click();
    Settle();
    ASSERT_EQ(messages.Messages().size(), 1u) << c.path;
    EXPECT_EQ(messages.Messages()[0].rfind(c.message, 0), 0u) << messages.Messages()[0];
    EXPECT_EQ(dlg->progress->format().toStdString(), c.status) << c.path;
    EXPECT_EQ(fs::exists(c.path), c.written) << c.path;
    EXPECT_EQ(dlg->isVisible(), c.stays) << c.path;
  }
  EXPECT_TRUE(services.desktop.opened.empty());
  const auto bytes = platform::ReadFileBytes(good);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->rfind("0\r\nSECTION\r\n2\r\nHEADER\r\n", 0), 0u);

  // Again from the bar: the same dialog, and with "打开" the file is opened.
  pane.Grid()->Button(table::ID_EXPORT_CAD)->click();
  EXPECT_EQ(Dialog(), dlg);
  EXPECT_TRUE(dlg->isVisible());
  dlg->openCheck->setChecked(true);
  dlg->newFileButton->click();
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{good});
}

TEST_F(TableCadTest, LaidOutOnThePaperOfThePrintSetUp) {
  QPrinter& printer = table_ui::SessionPrinter();
  const QPageLayout old = printer.pageLayout();
  printer.setPageSize(QPageSize(QPageSize::A3));
  printer.setPageOrientation(QPageLayout::Landscape);
  pane.GetView().OnCommand(table::ID_EXPORT_CAD);
  drawing_ui::CExportCadSetDlg* dlg = Dialog();
  ASSERT_NE(dlg, nullptr);
  dlg->openCheck->setChecked(false);
  const std::string path = dir.File("a3.dxf");
  dlg->pathEdit->setText(QString::fromStdString(path));
  dlg->newFileButton->click();
  printer.setPageLayout(old);
  const auto bytes = platform::ReadFileBytes(path);
  ASSERT_TRUE(bytes);
  // One page, 420 mm wide and 297 mm high.
  EXPECT_NE(bytes->find("$EXTMAX\r\n10\r\n420.000\r\n20\r\n297.000\r\n"), std::string::npos);
}

TEST_F(TableCadTest, HiddenAndShownWithItsGrid) {
  pane.GetView().OnCommand(table::ID_EXPORT_CAD);
  drawing_ui::CExportCadSetDlg* dlg = Dialog();
  ASSERT_NE(dlg, nullptr);
  Settle();
  pane.hide();
  Settle();
  EXPECT_FALSE(dlg->isVisible());
  pane.show();
  Settle();
  EXPECT_TRUE(dlg->isVisible());
}

}  // namespace
