// The export dialogs on screen: the text dialog's defaults and choice, the
// spreadsheet and Word dialogs beside their grid: export, status, "完成" opening the
// file, hidden and shown with the grid; the Word dialog's filling, paper handlers and
// refused entries.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QRadioButton>
#include <filesystem>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/export/export_ports.h"
#include "table/table_view.h"
#include "table/ui/export_dialogs.h"
#include "table/ui/table_widget.h"
#include "table/ui/text_progress.h"
#include "table/ui/ui_scale.h"
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

class WordDialogTest : public ExcelDialogTest {
 protected:
  CExportWordSetDlg* Open() {
    pane.GetView().OnCommand(table::ID_EXPORT_WORD);
    Settle();
    return table_ui::ExportDialogsOfQt().WordDialogOf(pane.GetView());
  }
  static QLineEdit* Edit(CExportWordSetDlg* d, int id) { return qobject_cast<QLineEdit*>(d->ControlOf(id)); }
  static QPushButton* Button(CExportWordSetDlg* d, int id) { return qobject_cast<QPushButton*>(d->ControlOf(id)); }
  static QRadioButton* Radio(CExportWordSetDlg* d, int id) { return qobject_cast<QRadioButton*>(d->ControlOf(id)); }
  static QComboBox* Combo(CExportWordSetDlg* d, int id) { return qobject_cast<QComboBox*>(d->ControlOf(id)); }
};

TEST_F(WordDialogTest, OpensWithTheViewsSettingsAndExportsThenCompletionOpensTheFile) {
  CTableView& v = pane.GetView();
  v.m_nMarginTop = 0;  // left so by the table settings
  v.m_nMarginRight = 12;
  QPointer<CExportWordSetDlg> dlg = Open();
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_TRUE(messages.Messages().empty()) << "WORD has its dialog";
  EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("表格输出到WORD"));
  EXPECT_EQ(Edit(dlg, table::kWordMarginTop)->text(), "1");
  EXPECT_EQ(Edit(dlg, table::kWordMarginRight)->text(), "12");
  EXPECT_EQ(Edit(dlg, table::kWordPaperHeight)->text(), "297");
  EXPECT_EQ(Combo(dlg, table::kWordPaper)->currentText(), "A4");
  EXPECT_EQ(Combo(dlg, table::kWordFontSize)->currentText(), "10.5");
  EXPECT_TRUE(Radio(dlg, table::kWordSplit)->isChecked());
  EXPECT_TRUE(Edit(dlg, table::kWordMarginLeft)->isEnabled());
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dlg->ControlOf(table::kWordAllowOffset))->isChecked()) << "2 rows";

  Combo(dlg, table::kWordFontSize)->setEditText("12");
  Radio(dlg, table::kWordLandscape)->click();
  EXPECT_EQ(Edit(dlg, table::kWordPaperHeight)->text(), "210");
  const std::string path = (dir / "t.odt").string();
  services.files.answers = {path};
  Button(dlg, table::kWordCurrentFile)->click();
  EXPECT_EQ(dlg->StatusText(), QString::fromUtf8("输出完成。可继续输出其他表格或单击“完成”"));
  EXPECT_EQ(Button(dlg, table::kWordExit)->text(), QString::fromUtf8("完成"));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(services.files.lastOptions.defaultSuffix, "odt");
  EXPECT_FLOAT_EQ(v.m_fWordFontSize, 12.0f);
  EXPECT_EQ(v.m_nWordOrientation, 1);
  EXPECT_EQ(v.m_nWordPaperHeight, 210);
  EXPECT_EQ(v.m_nMarginTop, 1);
  EXPECT_FALSE(Edit(dlg, table::kWordMarginLeft)->isEnabled()) << "the document has its page";
  EXPECT_TRUE(Button(dlg, table::kWordNewFile)->isEnabled());

  pane.hide();
  Settle();
  EXPECT_FALSE(dlg->isVisible());
  pane.show();
  Settle();
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(Open(), dlg.data()) << "the same command shows the same dialog";

  Button(dlg, table::kWordExit)->click();
  Settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dlg);
  EXPECT_EQ(services.desktop.opened, std::vector<std::string>{path});
  EXPECT_TRUE(messages.Messages().empty());

  // The next opening shows what the view kept.
  dlg = Open();
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(Radio(dlg, table::kWordLandscape)->isChecked());
  EXPECT_EQ(Combo(dlg, table::kWordFontSize)->currentText(), "12");
  QTest::keyClick(dlg, Qt::Key_Escape);  // nothing exported: nothing opened
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dlg);
  EXPECT_EQ(services.desktop.opened.size(), 1u);
}

// A table too wide for the paper gets a smaller font, and the status that says so is
// longer than the dialog is wide: it wraps and shows whole, at the usual and at a large
// interface font.
TEST_F(WordDialogTest, TheStatusOfASmallerFontShowsWhole) {
  const int uiPt = g_nFontPt;
  CTableView& v = pane.GetView();
  v.NewTable(3, 12, "坐标成果表", true);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 12; ++c) v.SetCellText(r, c, "38512345.678");
  for (int pt : {9, 18}) {
    SetUiScale(pt);
    QPointer<CExportWordSetDlg> dlg = Open();
    ASSERT_TRUE(dlg);
    Settle();
    auto* status = qobject_cast<CTextProgressCtrl*>(dlg->ControlOf(table::kWordProgress));
    ASSERT_NE(status, nullptr);
    const int oneLine = status->height();
    services.files.answers = {(dir / ("wide" + std::to_string(pt) + ".odt")).string()};
    Button(dlg, table::kWordNewFile)->click();
    Settle();
    const QString text = dlg->StatusText();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("表格宽于纸张，字体已缩小为"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("输出完成。可继续输出其他表格或单击“完成”"))) << text.toStdString();
    const QFontMetrics fm(status->font());
    EXPECT_GT(fm.horizontalAdvance(text), status->width()) << pt << ": the text is longer than the bar";
    const QRect need = fm.boundingRect(QRect(0, 0, status->width() - 4, 100000), Qt::AlignCenter | Qt::TextWordWrap, text);
    EXPECT_LE(need.height(), status->height() - 4) << pt << ": every line of the status is shown";
    EXPECT_GT(status->height(), oneLine) << pt;
    const QRect onDialog(status->mapTo(dlg, QPoint(0, 0)), status->size());
    EXPECT_TRUE(dlg->rect().contains(onDialog)) << pt;
    EXPECT_LE(onDialog.bottom(), Button(dlg, table::kWordExit)->mapTo(dlg, QPoint(0, 0)).y()) << pt;
    Button(dlg, table::kWordExit)->click();
    Settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  SetUiScale(uiPt);
}

TEST_F(WordDialogTest, PaperHandlers) {
  CExportWordSetDlg* dlg = Open();
  ASSERT_NE(dlg, nullptr);
  QComboBox* paper = Combo(dlg, table::kWordPaper);
  paper->setCurrentIndex(1);
  emit paper->activated(1);
  EXPECT_EQ(Edit(dlg, table::kWordPaperHeight)->text(), "420");
  Radio(dlg, table::kWordLandscape)->click();
  EXPECT_EQ(Edit(dlg, table::kWordPaperHeight)->text(), "297");
  EXPECT_EQ(Edit(dlg, table::kWordPaperWidth)->text(), "420");
  Edit(dlg, table::kWordPaperWidth)->setFocus();
  QTest::keyClick(Edit(dlg, table::kWordPaperWidth), Qt::Key_Backspace);
  EXPECT_EQ(paper->currentText(), QString::fromUtf8("自定义"));
  Radio(dlg, table::kWordOneTable)->click();
  for (int id : {table::kWordPaper, table::kWordPaperHeight, table::kWordMarginBottom, table::kWordPortrait})
    EXPECT_FALSE(dlg->ControlOf(id)->isEnabled()) << id;
  Radio(dlg, table::kWordSplit)->click();
  EXPECT_TRUE(dlg->ControlOf(table::kWordPaper)->isEnabled());
  Button(dlg, table::kWordExit)->click();
}

TEST_F(WordDialogTest, RefusedEntriesKeepTheDialogOpenAndWriteNothing) {
  const struct {
    int id;
    const char* text;
    const char* message;
  } cases[] = {
      {table::kWordFontSize, "abc", "请输入一个数。"},
      {table::kWordFontSize, "80", "请输入一个介于 6 和 72 之间的数。"},
      {table::kWordPaperHeight, "0", "请输入一个介于 50 和 1500 之间的整数。"},
      {table::kWordPaperWidth, "2000", "请输入一个介于 50 和 1500 之间的整数。"},
      {table::kWordMarginTop, "0", "请输入一个介于 1 和 50 之间的整数。"},
      {table::kWordMarginRight, "60", "请输入一个介于 1 和 50 之间的整数。"},
  };
  CTableView& v = pane.GetView();
  for (const auto& c : cases) {
    platform::FakeMessagePort said;
    QPointer<CExportWordSetDlg> dlg = Open();
    ASSERT_TRUE(dlg);
    if (auto* combo = qobject_cast<QComboBox*>(dlg->ControlOf(c.id))) combo->setEditText(QString::fromUtf8(c.text));
    else Edit(dlg, c.id)->setText(QString::fromUtf8(c.text));
    services.files.answers = {(dir / "never.odt").string()};
    Button(dlg, table::kWordNewFile)->click();
    EXPECT_TRUE(dlg->isVisible()) << c.text;
    EXPECT_EQ(said.Texts(), std::vector<std::string>{c.message}) << c.text;
    EXPECT_EQ(services.files.answers.size(), 1u) << "no file asked for";
    EXPECT_FALSE(fs::exists(dir / "never.odt"));
    EXPECT_EQ(Button(dlg, table::kWordExit)->text(), QString::fromUtf8("退出"));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == dlg->ControlOf(c.id) || (focus && focus->parentWidget() == dlg->ControlOf(c.id))) << c.text;
    EXPECT_EQ(v.m_nMarginTop, 20) << "nothing reached the view";
    Button(dlg, table::kWordExit)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  services.files.answers.clear();
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
  table::IExportDialogs* old = table::SetExportDialogs(&table_ui::ExportDialogsOfQt());
  for (int command : {table::ID_EXPORT_EXCEL, table::ID_EXPORT_WORD}) {
    auto* owner = new ViewOwner(nullptr);
    auto* grid = new CTableWidget(owner->view);
    owner->setParent(grid);
    owner->view->NewTable(1, 1, "表", true);
    grid->show();
    owner->view->OnCommand(command);
    QPointer<QDialog> dlg = command == table::ID_EXPORT_EXCEL
                                ? static_cast<QDialog*>(table_ui::ExportDialogsOfQt().ExcelDialogOf(*owner->view))
                                : table_ui::ExportDialogsOfQt().WordDialogOf(*owner->view);
    ASSERT_TRUE(dlg) << command;
    delete grid;  // the owner, the view, then the dialog
    EXPECT_FALSE(dlg) << command;
  }
  table::SetExportDialogs(old);
}

}  // namespace
