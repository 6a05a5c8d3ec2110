#include "traverse/ui/export_kzd_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace t = traverse;

namespace {

QString T(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& q) { return q.toUtf8().toStdString(); }

template <class W>
W* As(const std::map<int, QWidget*>& controls, int id) {
  auto it = controls.find(id);
  return it == controls.end() ? nullptr : qobject_cast<W*>(it->second);
}

}  // namespace

CExportKzdDlg::CExportKzdDlg(const t::CExportKzdForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(T("成果入库及输出到其它成图系统"));
  Build();
  Load();
  UpdateControls();
}

QWidget* CExportKzdDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CExportKzdDlg::Build() {
  auto* v = new QVBoxLayout(this);

  auto* modes = new QGroupBox(T("功能"), this);
  auto* mv = new QVBoxLayout(modes);
  auto* group = new QButtonGroup(this);
  const std::pair<int, const char*> radios[] = {{t::kIdModeRead, "读取控制点坐标"},
                                                {t::kIdModeStore, "控制点成果入库"},
                                                {t::kIdModeExport, "控制点输出到其它成图系统文件格式"}};
  for (const auto& [id, text] : radios) {
    auto* r = new QRadioButton(T(text), modes);
    controls_[id] = r;
    group->addButton(r);
    mv->addWidget(r);
    connect(r, &QRadioButton::clicked, this, [this] { UpdateControls(); });
  }
  v->addWidget(modes);

  auto* store = new QGroupBox(T("控制点数据库"), this);
  auto* sg = new QGridLayout(store);
  sg->addWidget(new QLabel(T("控制点文件"), store), 0, 0);
  auto* kzdPath = new QLineEdit(store);
  kzdPath->setMinimumWidth(320);
  controls_[t::kIdKzdPath] = kzdPath;
  sg->addWidget(kzdPath, 0, 1);
  auto* browseKzd = new QPushButton(T("浏览..."), store);
  controls_[t::kIdBrowseKzd] = browseKzd;
  connect(browseKzd, &QPushButton::clicked, this, [this] { OnBrowseKzdFile(); });
  sg->addWidget(browseKzd, 0, 2);
  sg->addWidget(new QLabel(T("同名点"), store), 1, 0);
  auto* policy = new QComboBox(store);
  policy->addItems({T("总是提示"), T("全部覆盖"), T("全部忽略")});
  controls_[t::kIdPolicy] = policy;
  sg->addWidget(policy, 1, 1);
  v->addWidget(store);

  auto* other = new QGroupBox(T("其它成图系统文件格式"), this);
  auto* og = new QGridLayout(other);
  auto edit = [&](int id, const char* label, int row) {
    og->addWidget(new QLabel(T(label), other), row, 0);
    auto* e = new QLineEdit(other);
    controls_[id] = e;
    og->addWidget(e, row, 1);
    return e;
  };
  edit(t::kIdExtension, "文件后缀名", 0);
  auto* count = new QCheckBox(T("第一行记录总点数"), other);
  controls_[t::kIdCountLine] = count;
  og->addWidget(count, 0, 2);
  og->addWidget(new QLabel(T("分隔符"), other), 1, 0);
  auto* separator = new QComboBox(other);
  separator->addItems({T("逗号"), T("分号"), T("空格"), T("TAB"), T("换行")});
  controls_[t::kIdSeparator] = separator;
  og->addWidget(separator, 1, 1);
  edit(t::kIdSequence, "数据序列", 2);
  edit(t::kIdKnownCode, "平面已知点编码", 3);
  edit(t::kIdOtherCode, "其它点编码", 4);
  edit(t::kIdExportPath, "输出文件", 5);
  auto* browseOther = new QPushButton(T("浏览..."), other);
  controls_[t::kIdBrowseOther] = browseOther;
  connect(browseOther, &QPushButton::clicked, this, [this] { OnBrowseOtherFile(); });
  og->addWidget(browseOther, 5, 2);
  auto* note = new QLabel(T("符号表示：DM点名,X为坐标X,Y为坐标Y,H为高程,BM点的编码,各符号间以半角“,”分开"), other);
  note->setMinimumWidth(note->sizeHint().width());  // one line, never cut
  og->addWidget(note, 6, 0, 1, 3);
  v->addWidget(other);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(T("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(T("取消"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (TryAccept()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  v->addWidget(buttons);
}

void CExportKzdDlg::Load() {
  const int radio = form_.mode == t::kKzdStore ? t::kIdModeStore
                    : form_.mode == t::kKzdExport ? t::kIdModeExport
                                                  : t::kIdModeRead;
  As<QRadioButton>(controls_, radio)->setChecked(true);
  As<QLineEdit>(controls_, t::kIdKzdPath)->setText(T(form_.kzdPath));
  As<QComboBox>(controls_, t::kIdPolicy)->setCurrentIndex(form_.policy);
  As<QLineEdit>(controls_, t::kIdExtension)->setText(T(form_.extension));
  As<QCheckBox>(controls_, t::kIdCountLine)->setChecked(form_.countLine);
  As<QComboBox>(controls_, t::kIdSeparator)->setCurrentIndex(form_.separator);
  As<QLineEdit>(controls_, t::kIdSequence)->setText(T(form_.sequence));
  As<QLineEdit>(controls_, t::kIdKnownCode)->setText(T(form_.knownCode));
  As<QLineEdit>(controls_, t::kIdOtherCode)->setText(T(form_.otherCode));
  As<QLineEdit>(controls_, t::kIdExportPath)->setText(T(form_.exportPath));
}

void CExportKzdDlg::Fetch() {
  form_.mode = As<QRadioButton>(controls_, t::kIdModeStore)->isChecked()    ? t::kKzdStore
               : As<QRadioButton>(controls_, t::kIdModeExport)->isChecked() ? t::kKzdExport
                                                                             : t::kKzdRead;
  form_.kzdPath = S(As<QLineEdit>(controls_, t::kIdKzdPath)->text());
  form_.policy = As<QComboBox>(controls_, t::kIdPolicy)->currentIndex();
  form_.extension = S(As<QLineEdit>(controls_, t::kIdExtension)->text());
  form_.countLine = As<QCheckBox>(controls_, t::kIdCountLine)->isChecked();
  form_.separator = As<QComboBox>(controls_, t::kIdSeparator)->currentIndex();
  form_.sequence = S(As<QLineEdit>(controls_, t::kIdSequence)->text());
  form_.knownCode = S(As<QLineEdit>(controls_, t::kIdKnownCode)->text());
  form_.otherCode = S(As<QLineEdit>(controls_, t::kIdOtherCode)->text());
  form_.exportPath = S(As<QLineEdit>(controls_, t::kIdExportPath)->text());
}

void CExportKzdDlg::UpdateControls() {
  Fetch();
  for (auto& [id, w] : controls_) w->setEnabled(form_.IsEnabled(id));
}

void CExportKzdDlg::OnBrowseKzdFile() {
  Fetch();
  if (form_.BrowseKzdFile()) As<QLineEdit>(controls_, t::kIdKzdPath)->setText(T(form_.kzdPath));
}

void CExportKzdDlg::OnBrowseOtherFile() {
  Fetch();
  const bool chosen = form_.BrowseOtherFile();
  As<QLineEdit>(controls_, t::kIdExtension)->setText(T(form_.extension));
  if (chosen) As<QLineEdit>(controls_, t::kIdExportPath)->setText(T(form_.exportPath));
}

bool CExportKzdDlg::TryAccept() {
  Fetch();
  const bool ok = form_.Accept();
  As<QLineEdit>(controls_, t::kIdExtension)->setText(T(form_.extension));
  return ok;
}
