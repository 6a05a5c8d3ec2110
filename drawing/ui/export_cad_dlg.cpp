#include "drawing/ui/export_cad_dlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "drawing/draw_view.h"
#include "drawing/dxf_writer.h"
#include "platform/services.h"
#include "table/ui/tips.h"

namespace drawing_ui {
namespace {
QString T(const char* s) { return QString::fromUtf8(s); }
QString Q(const std::string& s) { return QString::fromUtf8(s.c_str()); }
}  // namespace

CExportCadSetDlg::CExportCadSetDlg(drawing::CDrawView* source, QWidget* parent) : QDialog(parent) {
  setWindowTitle(T("输出到CAD"));
  setModal(false);
  if (source)
    form_.SetWriter([source](const std::string& path, std::string* error) { return drawing::WriteDxf(*source, path, error); });
  auto* lay = new QVBoxLayout(this);
  auto* formats = new QHBoxLayout;
  dwgRadio = new QRadioButton(T("DWG格式"), this);
  dxfRadio = new QRadioButton(T("DXF格式"), this);
  dwgRadio->setEnabled(false);
  dwgRadio->setToolTip(T(drawing::kDwgNotAvailable));
  dxfRadio->setToolTip(T("输出为CAD的DXF文件格式，适用于CAD各种版本。"));
  dxfRadio->setChecked(true);
  formats->addWidget(dwgRadio);
  formats->addWidget(dxfRadio);
  formats->addStretch();
  lay->addLayout(formats);
  hintLabel = new QLabel(this);
  hintLabel->setObjectName(QStringLiteral("hint1067"));
  hintLabel->setWordWrap(true);
  lay->addWidget(hintLabel);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(new QLabel(T("路径"), this));
  pathEdit = new QLineEdit(this);
  pathEdit->setObjectName(QStringLiteral("edit192"));
  pathRow->addWidget(pathEdit, 1);
  auto* browse = new QPushButton(T("..."), this);
  browse->setObjectName(QStringLiteral("browse191"));
  pathRow->addWidget(browse);
  lay->addLayout(pathRow);
  openCheck = new QCheckBox(T("DXF文件输出后打开(用于CAD2000及以上)"), this);
  openCheck->setChecked(form_.m_bOpenAfter);
  lay->addWidget(openCheck);
  progress = new QProgressBar(this);
  progress->setObjectName(QStringLiteral("progress250"));
  progress->setRange(0, 100);
  progress->setValue(0);
  progress->setTextVisible(true);
  progress->setFormat(QString());
  lay->addWidget(progress);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  newFileButton = new QPushButton(T("输出到新文件"), this);
  newFileButton->setToolTip(T("输出一个新建的CAD文件中"));
  auto* exitButton = new QPushButton(T("退出"), this);
  exitButton->setToolTip(T("结束输出"));
  buttons->addWidget(newFileButton);
  buttons->addWidget(exitButton);
  lay->addLayout(buttons);
  connect(browse, &QPushButton::clicked, this, &CExportCadSetDlg::OnBrowseDxf);
  connect(newFileButton, &QPushButton::clicked, this, &CExportCadSetDlg::OnExportToNewFile);
  connect(exitButton, &QPushButton::clicked, this, &CExportCadSetDlg::OnExit);
  tips::Install(this);
  UpdateFormatControls();
}

void CExportCadSetDlg::SetScaleHint(double scale) {
  form_.SetScaleHint(scale);
  UpdateFormatControls();
}

void CExportCadSetDlg::UpdateFormatControls() { hintLabel->setText(Q(form_.ScaleHint())); }

void CExportCadSetDlg::SetStatusText(const QString& text) { progress->setFormat(text); }

void CExportCadSetDlg::Open() {
  open_ = true;
  UpdateFormatControls();
  show();
  raise();
  activateWindow();
}

void CExportCadSetDlg::OwnerShown(bool shown) {
  if (!open_) return;
  setVisible(shown);
}

void CExportCadSetDlg::OnBrowseDxf() {
  const QString start = pathEdit->text();
  const QString path = QFileDialog::getSaveFileName(this, T("输出到CAD"), start, T("CAD数据交换文件(*.dxf)"));
  if (!path.isEmpty()) pathEdit->setText(path.endsWith(QLatin1String(".dxf")) ? path : path + T(".dxf"));
}

void CExportCadSetDlg::OnExportToNewFile() {
  form_.m_strPath = pathEdit->text().toUtf8().toStdString();
  form_.m_bOpenAfter = openCheck->isChecked();
  const bool done = form_.OnExportToNewFile();
  pathEdit->setText(Q(form_.m_strPath));
  SetStatusText(Q(form_.m_strStatus));
  if (done) OnExit();
}

void CExportCadSetDlg::OnExit() {
  open_ = false;
  SetStatusText(QString());
  hide();
}

}  // namespace drawing_ui
