#include "table/ui/export_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/ports.h"
#include "table/table_view.h"
#include "table/ui/text_progress.h"
#include "table/ui/ui_scale.h"

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }

QWidget* WidgetOf(CTableView& view) { return dynamic_cast<QWidget*>(view.Host()); }

}  // namespace

// ---- text export settings ------------------------------------------------------

CExportTextSetDlg::CExportTextSetDlg(const table::TextExportSettings& s, QWidget* parent) : QDialog(parent) {
  setWindowTitle(T("表格输出到文本文件或excel文件"));
  setFont(g_fontUI);
  auto* layout = new QVBoxLayout(this);
  const struct {
    const char* caption;
    const char* note;
  } kFormats[] = {
      {"文本文件表格方式",
       "表格类似WORD。可输出多个表格到同一文件。输出后如显得很乱，请取消记事本自动换行功能，并设置合适的字体，如Fixedsys或宋体五号。"},
      {"文本文件逗号分隔方式", "以逗号分隔各项数据，忽略表名、表头等内容。"},
      {"excel文件", "输出后需手工更改列宽、表名表头合并单元格。"},
  };
  for (int i = 0; i < 3; ++i) {
    formats_[i] = new QRadioButton(T(kFormats[i].caption), this);
    formats_[i]->setChecked(s.format == i);
    layout->addWidget(formats_[i]);
    auto* note = new QLabel(T(kFormats[i].note), this);
    note->setWordWrap(true);
    note->setContentsMargins(22, 0, 0, 6);
    layout->addWidget(note);
  }
  if (s.format < 0 || s.format > 2) formats_[0]->setChecked(true);
  open_ = new QCheckBox(T("输出后打开"), this);
  open_->setChecked(s.openAfter);
  layout->addWidget(open_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(T("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(T("取消"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

table::TextExportSettings CExportTextSetDlg::Settings() const {
  table::TextExportSettings s;
  for (int i = 0; i < 3; ++i)
    if (formats_[i]->isChecked()) s.format = i;
  s.openAfter = open_->isChecked();
  return s;
}

QWidget* CExportTextSetDlg::ControlOf(int id) const {
  switch (id) {
    case kFormatTable: return formats_[0];
    case kFormatComma: return formats_[1];
    case kFormatCsv: return formats_[2];
    case kOpenAfter: return open_;
    default: return nullptr;
  }
}

// ---- spreadsheet export ------------------------------------------------------------

namespace table_ui {

CFollowView::CFollowView(QWidget* dialog, QWidget* viewWidget)
    : QObject(dialog), dialog_(dialog), viewWidget_(viewWidget) {
  if (viewWidget) viewWidget->installEventFilter(this);
}

bool CFollowView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == viewWidget_ && event->type() == QEvent::Hide && dialog_->isVisible()) {
    hiddenWithView_ = true;
    dialog_->hide();
  } else if (watched == viewWidget_ && event->type() == QEvent::Show && hiddenWithView_) {
    hiddenWithView_ = false;
    dialog_->show();
  }
  return false;
}

}  // namespace table_ui

CExportExcelDlg::CExportExcelDlg(CTableView& view, QWidget* viewWidget) : QDialog(viewWidget), view_(view) {
  setWindowTitle(T("表格输出到EXCEL"));
  setFont(g_fontUI);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(T("将表格输出到EXCEL"), this));
  halfRow_ = new QCheckBox(T("允许向下错开半行"), this);
  halfRow_->setChecked(true);
  halfRow_->setToolTip(
      T("选择了此项且当表格中含有向下错开半行的列时，输入到EXCEL后仍然错开半行，此时输出速度缓慢。"));
  layout->addWidget(halfRow_);
  progress_ = new CTextProgressCtrl(this);
  progress_->SetRange(0, 100);
  progress_->SetPos(0);
  progress_->SetText(QString(" "));
  layout->addWidget(progress_);
  auto* row = new QHBoxLayout;
  current_ = new QPushButton(T("输出到当前文件"), this);
  current_->setToolTip(T("输出当前已打开的EXCEL文件。"));
  newFile_ = new QPushButton(T("输出到新文件"), this);
  newFile_->setToolTip(T("输出到一个新建的EXCEL文件。"));
  exit_ = new QPushButton(T("退出"), this);
  exit_->setToolTip(T("结束输出。"));
  row->addWidget(current_);
  row->addWidget(newFile_);
  row->addWidget(exit_);
  layout->addLayout(row);
  connect(current_, &QPushButton::clicked, this, [this] { Export(false); });
  connect(newFile_, &QPushButton::clicked, this, [this] { Export(true); });
  connect(exit_, &QPushButton::clicked, this, [this] { OnExit(); });
  new table_ui::CFollowView(this, viewWidget);
  view_.ExcelSession().Forget();
  setMinimumWidth(360);
}

// The view may already be gone when the grid takes its dialog along: only an exit ends
// the session (files only, so there is nothing else to release).
CExportExcelDlg::~CExportExcelDlg() = default;

void CExportExcelDlg::EndSession(bool open) {
  if (ended_) return;
  ended_ = true;
  table::EndExcelSession(view_, open);
}

void CExportExcelDlg::Export(bool newWorkbook) {
  EnableButtons(false);
  SetStatusText(T("准备就绪！"));
  SetProgress(0);
  table::ExportRun run;
  {
    platform::WaitCursor wait;
    run = table::RunExcelExport(view_, newWorkbook, halfRow_->isChecked());
  }
  SetStatusText(QString::fromStdString(run.status));
  EnableButtons(true);
  SetProgress(0);
  if (run.result != table::ExportRun::Stopped) exit_->setText(T("完成"));
}

void CExportExcelDlg::OnExit() {
  SetStatusText(QString());
  hide();  // before the desktop's program (or a message about it) comes up
  EndSession(exit_->text() == T("完成"));
  deleteLater();
}

void CExportExcelDlg::reject() { OnExit(); }

void CExportExcelDlg::closeEvent(QCloseEvent* event) {
  EndSession(false);
  QDialog::closeEvent(event);
  deleteLater();
}

void CExportExcelDlg::SetStatusText(const QString& text) { progress_->SetText(text.isEmpty() ? QString(" ") : text); }
QString CExportExcelDlg::StatusText() const { return progress_->Text().trimmed(); }
void CExportExcelDlg::SetProgress(int pos) { progress_->SetPos(pos); }

void CExportExcelDlg::EnableButtons(bool on) {
  current_->setEnabled(on);
  newFile_->setEnabled(on);
  exit_->setEnabled(on);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QWidget* CExportExcelDlg::ControlOf(int id) const {
  switch (id) {
    case kHalfRow: return halfRow_;
    case kCurrentFile: return current_;
    case kNewFile: return newFile_;
    case kExit: return exit_;
    case kProgress: return progress_;
    default: return nullptr;
  }
}

// ---- the dialogs of the grids -------------------------------------------------------

namespace table_ui {
namespace {
QtExportDialogs::DialogFactory& WordFactory() {
  static QtExportDialogs::DialogFactory f;
  return f;
}
QtExportDialogs::DialogFactory& CadFactory() {
  static QtExportDialogs::DialogFactory f;
  return f;
}

// A modeless dialog of a view from its factory: made on first use, shown again later.
void ShowFromFactory(std::map<CTableView*, QPointer<QDialog>>& dialogs, const QtExportDialogs::DialogFactory& factory,
                     CTableView& view, const char* caption) {
  if (!factory) {
    table::SayNotAvailable(caption);
    return;
  }
  QPointer<QDialog>& d = dialogs[&view];
  if (!d) d = factory(view, WidgetOf(view));
  if (!d) return;
  d->show();
  d->raise();
  d->activateWindow();
}
}  // namespace

void QtExportDialogs::SetWordDialogFactory(DialogFactory factory) { WordFactory() = std::move(factory); }
void QtExportDialogs::SetCadDialogFactory(DialogFactory factory) { CadFactory() = std::move(factory); }

bool QtExportDialogs::RunTextExportDialog(table::TextExportSettings& settings) {
  CExportTextSetDlg dlg(settings, QApplication::activeWindow());
  if (dlg.exec() != QDialog::Accepted) return false;
  settings = dlg.Settings();
  return true;
}

void QtExportDialogs::ShowExcelDialog(CTableView& view) {
  QPointer<CExportExcelDlg>& d = excel_[&view];
  if (!d) d = new CExportExcelDlg(view, WidgetOf(view));
  d->show();
  d->raise();
  d->activateWindow();
}

CExportExcelDlg* QtExportDialogs::ExcelDialogOf(CTableView& view) const {
  auto it = excel_.find(&view);
  return it == excel_.end() ? nullptr : it->second.data();
}

void QtExportDialogs::ShowWordDialog(CTableView& view) { ShowFromFactory(word_, WordFactory(), view, "WORD"); }

void QtExportDialogs::ShowCadDialog(CTableView& view) { ShowFromFactory(cad_, CadFactory(), view, "CAD"); }

QDialog* QtExportDialogs::CadDialogOf(CTableView& view) const {
  auto it = cad_.find(&view);
  return it == cad_.end() ? nullptr : it->second.data();
}

QtExportDialogs& ExportDialogsOfQt() {
  static QtExportDialogs dialogs;
  return dialogs;
}

}  // namespace table_ui
