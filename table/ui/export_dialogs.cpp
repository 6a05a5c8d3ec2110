#include "table/ui/export_dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/ports.h"
#include "table/table_view.h"
#include "table/ui/text_progress.h"
#include "table/ui/ui_scale.h"
#include "table/ui/tips.h"

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
  tips::Install(this);
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

// ---- dialogs beside their grid ------------------------------------------------------

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

// ---- what the view's export dialogs share --------------------------------------------

CViewExportDlg::CViewExportDlg(CTableView& view, QWidget* viewWidget) : QDialog(viewWidget), view_(view) {
  setFont(g_fontUI);
  setModal(false);
  progress_ = new CTextProgressCtrl(this);
  progress_->SetRange(0, 100);
  progress_->SetPos(0);
  progress_->SetText(QString(" "));
  current_ = new QPushButton(T("输出到当前文件"), this);
  newFile_ = new QPushButton(T("输出到新文件"), this);
  exit_ = new QPushButton(T("退出"), this);
  exit_->setToolTip(T("结束输出。"));
  connect(exit_, &QPushButton::clicked, this, [this] { OnExit(); });
  new table_ui::CFollowView(this, viewWidget);
}

// The view may already be gone when the grid takes its dialog along: only an exit ends
// the session (files only, so there is nothing else to release).
void CViewExportDlg::EndSession(bool open) {
  if (ended_) return;
  ended_ = true;
  EndExport(open);
}

void CViewExportDlg::OnExit() {
  SetStatusText(QString());
  hide();  // before the desktop's program (or a message about it) comes up
  EndSession(exit_->text() == T("完成"));
  deleteLater();
}

void CViewExportDlg::reject() { OnExit(); }

void CViewExportDlg::closeEvent(QCloseEvent* event) {
  EndSession(false);
  QDialog::closeEvent(event);
  deleteLater();
}

void CViewExportDlg::SetStatusText(const QString& text) { progress_->SetText(text.isEmpty() ? QString(" ") : text); }
QString CViewExportDlg::StatusText() const { return progress_->Text().trimmed(); }
void CViewExportDlg::SetProgress(int pos) { progress_->SetPos(pos); }

void CViewExportDlg::EnableButtons(bool on) {
  current_->setEnabled(on);
  newFile_->setEnabled(on);
  exit_->setEnabled(on);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// ---- spreadsheet export ------------------------------------------------------------

CExportExcelDlg::CExportExcelDlg(CTableView& view, QWidget* viewWidget) : CViewExportDlg(view, viewWidget) {
  setWindowTitle(T("表格输出到EXCEL"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(T("将表格输出到EXCEL"), this));
  halfRow_ = new QCheckBox(T("允许向下错开半行"), this);
  halfRow_->setChecked(true);
  halfRow_->setToolTip(
      T("选择了此项且当表格中含有向下错开半行的列时，输入到EXCEL后仍然错开半行，此时输出速度缓慢。"));
  layout->addWidget(halfRow_);
  layout->addWidget(progress_);
  auto* row = new QHBoxLayout;
  current_->setToolTip(T("输出当前已打开的EXCEL文件。"));
  newFile_->setToolTip(T("输出到一个新建的EXCEL文件。"));
  row->addWidget(current_);
  row->addWidget(newFile_);
  row->addWidget(exit_);
  layout->addLayout(row);
  connect(current_, &QPushButton::clicked, this, [this] { Export(false); });
  connect(newFile_, &QPushButton::clicked, this, [this] { Export(true); });
  view_.ExcelSession().Forget();
  setMinimumWidth(360);
  tips::Install(this);
}

CExportExcelDlg::~CExportExcelDlg() = default;

void CExportExcelDlg::EndExport(bool open) { table::EndExcelSession(view_, open); }

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

// ---- word-processor export -------------------------------------------------------

CExportWordSetDlg::CExportWordSetDlg(CTableView& view, QWidget* viewWidget)
    : CViewExportDlg(view, viewWidget), form_(table::CWordSetForm::FromView(view)) {
  namespace t = table;
  setWindowTitle(T("表格输出到WORD"));
  auto* root = new QVBoxLayout(this);
  auto add = [this](int id, QWidget* w, const char* tip = nullptr) {
    controls_[id] = w;
    if (tip) w->setToolTip(T(tip));
    return w;
  };
  auto edit = [&](int id) {
    auto* e = new QLineEdit(this);
    e->setMaximumWidth(70);
    e->setText(QString::fromStdString(form_.Text(id)));
    add(id, e);
    return e;
  };
  auto labelled = [&](QGridLayout* g, int id, int row, int col) {
    auto* l = new QLabel(T(t::CWordSetForm::FindEdit(id)->label), this);
    QLineEdit* e = edit(id);
    l->setBuddy(e);
    g->addWidget(l, row, col);
    g->addWidget(e, row, col + 1);
  };

  auto* tableBox = new QGroupBox(T("表格"), this);
  auto* tg = new QVBoxLayout(tableBox);
  auto* offset = new QCheckBox(T("允许行向下错开"), this);
  offset->setChecked(form_.allowOffset);
  add(t::kWordAllowOffset, offset,
      "选择了此项且当表格中含有向下错开半行的列时，输入到WORD后仍然错开半行，“拆分为每页一个表格”功能无效。此时输出速度缓慢。");
  auto* one = new QRadioButton(T("输出为一个表格"), this);
  add(t::kWordOneTable, one, "当前表格输出WORD后仍然是一个表格。");
  auto* split = new QRadioButton(T("拆分为每页一个表格"), this);
  add(t::kWordSplit, split, "当前表格输出WORD后拆分为每页一个表格，并自动填写第几页共几页。");
  (form_.split == 1 ? split : one)->setChecked(true);
  tg->addWidget(offset);
  tg->addWidget(one);
  tg->addWidget(split);
  auto* fontRow = new QHBoxLayout;
  auto* fontLabel = new QLabel(T("字体高度"), this);
  auto* font = new QComboBox(this);
  font->setEditable(true);
  for (const char* f : t::CWordSetForm::kFontSizes) font->addItem(T(f));
  font->setEditText(QString::fromStdString(form_.Text(t::kWordFontSize)));
  add(t::kWordFontSize, font, "9小五号字体,10.5五号字体。");
  fontLabel->setBuddy(font);
  fontRow->addWidget(fontLabel);
  fontRow->addWidget(font);
  fontRow->addStretch();
  tg->addLayout(fontRow);
  root->addWidget(tableBox);

  auto* page = new QGroupBox(T("页面设置"), this);
  auto* pg = new QGridLayout(page);
  auto* paper = new QComboBox(this);
  for (const char* p : t::CWordSetForm::kPapers) paper->addItem(T(p));
  paper->setCurrentIndex(form_.paper);
  add(t::kWordPaper, paper);
  auto* paperLabel = new QLabel(T("纸张类型"), this);
  paperLabel->setBuddy(paper);
  pg->addWidget(paperLabel, 0, 0);
  pg->addWidget(paper, 0, 1);
  auto* portrait = new QRadioButton(T("纵向"), this);
  auto* landscape = new QRadioButton(T("横向"), this);
  add(t::kWordPortrait, portrait);
  add(t::kWordLandscape, landscape);
  (form_.orientation == 1 ? landscape : portrait)->setChecked(true);
  auto* orientation = new QButtonGroup(this);  // apart from the table radios
  orientation->addButton(portrait);
  orientation->addButton(landscape);
  pg->addWidget(portrait, 0, 2);
  pg->addWidget(landscape, 0, 3);
  labelled(pg, t::kWordPaperHeight, 1, 0);
  labelled(pg, t::kWordPaperWidth, 1, 2);
  labelled(pg, t::kWordMarginTop, 2, 0);
  labelled(pg, t::kWordMarginBottom, 2, 2);
  labelled(pg, t::kWordMarginLeft, 3, 0);
  labelled(pg, t::kWordMarginRight, 3, 2);
  pg->addWidget(new QLabel(T("(mm)"), this), 1, 4);
  root->addWidget(page);

  root->addWidget(progress_);
  controls_[t::kWordProgress] = progress_;
  auto* row = new QHBoxLayout;
  current_->setToolTip(T("输出到当前已打开的WORD文档。"));
  newFile_->setToolTip(T("输出新建的WORD文档。"));
  controls_[t::kWordCurrentFile] = current_;
  controls_[t::kWordNewFile] = newFile_;
  controls_[t::kWordExit] = exit_;
  row->addWidget(current_);
  row->addWidget(newFile_);
  row->addWidget(exit_);
  root->addLayout(row);

  connect(split, &QRadioButton::toggled, this, [this](bool on) { EnablePageControls(on); });
  connect(portrait, &QRadioButton::clicked, this, [this] {
    form_.SetOrientation(0);
    ShowPaperSize();
  });
  connect(landscape, &QRadioButton::clicked, this, [this] {
    form_.SetOrientation(1);
    ShowPaperSize();
  });
  connect(paper, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    form_.SetPaper(index);
    ShowPaperSize();
  });
  // Typing a size (not filling it in) makes the paper a custom one.
  for (int id : {t::kWordPaperHeight, t::kWordPaperWidth})
    connect(static_cast<QLineEdit*>(ControlOf(id)), &QLineEdit::textEdited, this, [this] {
      form_.paper = 2;
      static_cast<QComboBox*>(ControlOf(table::kWordPaper))->setCurrentIndex(2);
    });
  connect(current_, &QPushButton::clicked, this, [this] { Export(false); });
  connect(newFile_, &QPushButton::clicked, this, [this] { Export(true); });
  EnablePageControls(form_.split == 1);
  view_.WordSession().Forget();
  setMinimumWidth(380);
  tips::Install(this);
}

CExportWordSetDlg::~CExportWordSetDlg() = default;

void CExportWordSetDlg::EndExport(bool open) { view_.EndOfficeExport(open); }

QWidget* CExportWordSetDlg::ControlOf(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CExportWordSetDlg::ShowPaperSize() {
  static_cast<QLineEdit*>(ControlOf(table::kWordPaperHeight))->setText(QString::number(form_.paperHeight));
  static_cast<QLineEdit*>(ControlOf(table::kWordPaperWidth))->setText(QString::number(form_.paperWidth));
}

void CExportWordSetDlg::EnablePageControls(bool on) {
  for (int id : {table::kWordPaper, table::kWordPaperHeight, table::kWordPaperWidth, table::kWordPortrait,
                 table::kWordLandscape, table::kWordMarginTop, table::kWordMarginBottom, table::kWordMarginLeft,
                 table::kWordMarginRight})
    ControlOf(id)->setEnabled(on);
}

bool CExportWordSetDlg::ApplySettings() {
  table::CWordSetForm f = form_;
  auto refuse = [this](int id, const std::string& why) {
    platform::Messages().ShowMessage(why);
    QWidget* w = ControlOf(id);
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    return false;
  };
  for (const table::WordSetEdit& e : table::CWordSetForm::kEdits) {
    QWidget* w = ControlOf(e.id);
    const QString text = e.id == table::kWordFontSize ? static_cast<QComboBox*>(w)->currentText()
                                                      : static_cast<QLineEdit*>(w)->text();
    const std::string why = f.SetText(e.id, text.toStdString());
    if (!why.empty()) return refuse(e.id, why);
  }
  int failed = 0;
  const std::string why = f.Validate(&failed);
  if (!why.empty()) return refuse(failed, why);
  f.allowOffset = static_cast<QCheckBox*>(ControlOf(table::kWordAllowOffset))->isChecked();
  f.split = static_cast<QRadioButton*>(ControlOf(table::kWordSplit))->isChecked() ? 1 : 0;
  f.orientation = static_cast<QRadioButton*>(ControlOf(table::kWordLandscape))->isChecked() ? 1 : 0;
  form_ = f;
  form_.ApplyTo(view_);
  return true;
}

bool CExportWordSetDlg::Export(bool newDocument) {
  // The view's paper, font and print margins as they were: an export that stopped
  // before anything (no file chosen, the question declined) leaves them so; the
  // dialog keeps the entries for the next try.
  const table::CWordSetForm::ViewValues before = table::CWordSetForm::ViewValuesOf(view_);
  if (!ApplySettings()) return false;
  EnableButtons(false);
  SetStatusText(T("准备就绪！"));
  SetProgress(0);
  table::ExportRun run;
  {
    platform::WaitCursor wait;
    run = table::RunWordExport(view_, newDocument, form_.allowOffset);
  }
  if (run.result == table::ExportRun::Stopped) table::CWordSetForm::Restore(view_, before);
  EnableButtons(true);
  SetProgress(0);
  SetStatusText(QString::fromStdString(run.status));
  if (run.result == table::ExportRun::Stopped) return false;
  // The document has its page now: this opening keeps it.
  EnablePageControls(false);
  for (int id : {table::kWordOneTable, table::kWordSplit, table::kWordFontSize}) ControlOf(id)->setEnabled(false);
  if (run.result == table::ExportRun::Failed) return false;
  exit_->setText(T("完成"));
  return true;
}

// ---- the dialogs of the grids -------------------------------------------------------

namespace table_ui {
namespace {
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

void QtExportDialogs::SetCadDialogFactory(DialogFactory factory) { CadFactory() = std::move(factory); }

bool QtExportDialogs::RunTextExportDialog(table::TextExportSettings& settings) {
  CExportTextSetDlg dlg(settings, QApplication::activeWindow());
  if (dlg.exec() != QDialog::Accepted) return false;
  settings = dlg.Settings();
  return true;
}

namespace {

// The view's dialog of this kind: made beside its grid on first use, then shown again.
template <class Dlg>
void Show(std::map<CTableView*, QPointer<Dlg>>& dialogs, CTableView& view) {
  QPointer<Dlg>& d = dialogs[&view];
  if (!d) d = new Dlg(view, WidgetOf(view));
  d->show();
  d->raise();
  d->activateWindow();
}

template <class Dlg>
Dlg* Find(const std::map<CTableView*, QPointer<Dlg>>& dialogs, CTableView& view) {
  auto it = dialogs.find(&view);
  return it == dialogs.end() ? nullptr : it->second.data();
}

}  // namespace

void QtExportDialogs::ShowExcelDialog(CTableView& view) { Show(excel_, view); }
void QtExportDialogs::ShowWordDialog(CTableView& view) { Show(word_, view); }
CExportExcelDlg* QtExportDialogs::ExcelDialogOf(CTableView& view) const { return Find(excel_, view); }
CExportWordSetDlg* QtExportDialogs::WordDialogOf(CTableView& view) const { return Find(word_, view); }

void QtExportDialogs::CloseWordDialog(CTableView& view) {
  if (CExportWordSetDlg* d = Find(word_, view)) d->close();  // ends the session, opens nothing
}

void QtExportDialogs::ShowCadDialog(CTableView& view) { ShowFromFactory(cad_, CadFactory(), view, "CAD"); }

QDialog* QtExportDialogs::CadDialogOf(CTableView& view) const { return Find(cad_, view); }

QtExportDialogs& ExportDialogsOfQt() {
  static QtExportDialogs dialogs;
  return dialogs;
}

}  // namespace table_ui
