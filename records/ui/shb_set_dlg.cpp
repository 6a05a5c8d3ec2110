#include "records/ui/shb_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QSignalBlocker>
#include <type_traits>
#include <vector>

#include "platform/number.h"
#include "platform/ports.h"
#include "table/ui/dialog_buttons.h"
#include "table/ui/tips.h"

namespace r = records;

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }
QString Num(double v) { return T(platform::FormatRoundTrip(v).c_str()); }

}  // namespace

CShbSetDlg::CShbSetDlg(const r::CShbSetForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(T("项目设置"));
  Build();
  Load();
  UpdateEnabled();
  tips::Install(this);
}

QWidget* CShbSetDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CShbSetDlg::Build() {
  auto edit = [this](int id) {
    auto* e = new QLineEdit(this);
    e->setMaximumWidth(90);
    controls_[id] = e;
    return e;
  };
  auto list = [this](int id, const char* const* items, int n) {
    auto* c = new QComboBox(this);
    for (int i = 0; i < n; ++i) c->addItem(T(items[i]));
    controls_[id] = c;
    connect(c, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
    return c;
  };
  auto check = [this](int id, const char* text) {
    auto* b = new QCheckBox(T(text), this);
    controls_[id] = b;
    return b;
  };
  auto label = [this](const char* text) { return new QLabel(T(text), this); };

  auto* root = new QVBoxLayout(this);
  auto* warn = new QGroupBox(T("警告:如已输数据,修改此4项设置可能造成数据丢失！请先备份！"), this);
  auto* wg = new QGridLayout(warn);
  wg->addWidget(label("表格行数："), 0, 0);
  wg->addWidget(edit(r::kCtlRows), 0, 1);
  wg->addWidget(label("平距与高差："), 0, 2);
  wg->addWidget(list(r::kCtlDistanceType, r::CShbSetForm::kDistanceTypes, 3), 0, 3);
  wg->addWidget(label("测回数："), 1, 0);
  wg->addWidget(edit(r::kCtlSets), 1, 1);
  wg->addWidget(label("水准观测方式："), 1, 2);
  wg->addWidget(list(r::kCtlLevellingMode, r::CShbSetForm::kLevellingModes, 3), 1, 3);
  root->addWidget(warn);

  auto* g = new QGridLayout;
  g->addWidget(label("大气折光系数"), 0, 0);
  g->addWidget(edit(r::kCtlRefraction), 0, 1);
  g->addWidget(check(r::kCtlVerticalFrom90, "垂直角=90-盘左读数"), 0, 2, 1, 3);
  g->addWidget(label("测距加常数"), 1, 0);
  g->addWidget(edit(r::kCtlEdmConstant), 1, 1);
  g->addWidget(label("mm 乘常数"), 1, 2);
  g->addWidget(edit(r::kCtlEdmScale), 1, 3);
  g->addWidget(label("ppm 基辅差："), 1, 4);
  g->addWidget(edit(r::kCtlStaffConstant), 1, 5);
  g->addWidget(check(r::kCtlOmitDecimalPoint, "水准读数输入省略小数点"), 2, 0, 1, 3);
  g->addWidget(check(r::kCtlDoubledReadings, "精密水准尺分划为实际值的2倍"), 2, 3, 1, 3);
  root->addLayout(g);

  auto* font = new QGroupBox(T("字体高度"), this);
  auto* fg = new QHBoxLayout(font);
  fg->addWidget(label("显示："));
  fg->addWidget(edit(r::kCtlFontHeight));
  fg->addWidget(label("打印(mm)："));
  fg->addWidget(edit(r::kCtlPrintHeight));
  fg->addWidget(label("输出WORD"));
  fg->addWidget(edit(r::kCtlWordFont));
  root->addWidget(font);

  auto* dec = new QGroupBox(T("小数取位"), this);
  auto* dg = new QHBoxLayout(dec);
  dg->addWidget(label("角度(\")"));
  dg->addWidget(edit(r::kCtlAngleDecimals));
  dg->addWidget(label("边长(m)"));
  dg->addWidget(edit(r::kCtlDistDecimals));
  dg->addWidget(label("高差(m)"));
  dg->addWidget(edit(r::kCtlHeightDecimals));
  root->addWidget(dec);

  auto* lines = new QHBoxLayout;
  lines->addWidget(label("表格上方显示"));
  lines->addWidget(list(r::kCtlLinesAbove, r::CShbSetForm::kLinesAbove, 4));
  lines->addWidget(label("表格下方显示"));
  lines->addWidget(list(r::kCtlLinesBelow, r::CShbSetForm::kLinesBelow, 2));
  root->addLayout(lines);

  QHBoxLayout* buttons = table_ui::OkCancelRow(this, [this] { return TryAccept(); });
  auto* help = new QPushButton(T("帮助"), this);
  buttons->insertWidget(1, help);  // after the stretch, before OK
  root->addLayout(buttons);
  connect(help, &QPushButton::clicked, this, [this] { done(kHelp); });

  Control(r::kCtlVerticalFrom90)->setToolTip(T(r::CShbSetForm::kTipVertical));
  Control(r::kCtlOmitDecimalPoint)->setToolTip(T(r::CShbSetForm::kTipOmit));
  Control(r::kCtlStaffConstant)->setToolTip(T(r::CShbSetForm::kTipStaff));
}

void CShbSetDlg::Load() {
  // A copy, and no signals while filling: a combo set early would otherwise run the
  // enable rule, which reads the combos not yet filled back into the values.
  const r::CShbSetValues v = form_.values;
  std::vector<QSignalBlocker> quiet;
  quiet.reserve(controls_.size());
  for (auto& [id, w] : controls_) quiet.emplace_back(w);
  auto setText = [this](int id, const QString& s) { static_cast<QLineEdit*>(Control(id))->setText(s); };
  auto setIndex = [this](int id, int i) { static_cast<QComboBox*>(Control(id))->setCurrentIndex(i); };
  auto setCheck = [this](int id, bool on) { static_cast<QCheckBox*>(Control(id))->setChecked(on); };
  setText(r::kCtlFontHeight, QString::number(v.m_nFontHeight));
  setText(r::kCtlPrintHeight, Num(v.m_dPrintHeightMm));
  setText(r::kCtlAngleDecimals, QString::number(v.m_nAngleDecimals));
  setText(r::kCtlDistDecimals, QString::number(v.m_nDistDecimals));
  setText(r::kCtlHeightDecimals, QString::number(v.m_nHeightDecimals));
  setText(r::kCtlSets, QString::number(v.m_nSetsEdit));
  setText(r::kCtlRows, QString::number(v.m_nRowsEdit));
  setText(r::kCtlWordFont, Num(v.m_fWordFontSize));
  setText(r::kCtlRefraction, Num(v.m_dRefractionEdit));
  setText(r::kCtlStaffConstant, Num(v.m_dStaffConstantEdit));
  setText(r::kCtlEdmConstant, Num(v.m_dEdmConstantMm));
  setText(r::kCtlEdmScale, Num(v.m_dEdmScalePpm));
  setIndex(r::kCtlLinesAbove, v.m_nLinesAboveSel);
  setIndex(r::kCtlLinesBelow, v.m_nLinesBelowSel);
  setIndex(r::kCtlDistanceType, v.m_nDistanceTypeSel);
  setIndex(r::kCtlLevellingMode, v.m_nLevellingModeSel);
  setCheck(r::kCtlVerticalFrom90, v.m_bVerticalFrom90Check);
  setCheck(r::kCtlDoubledReadings, v.m_bDoubledReadingsCheck);
  setCheck(r::kCtlOmitDecimalPoint, v.m_bOmitDecimalPointCheck);
}

void CShbSetDlg::UpdateEnabled() {
  auto* dist = static_cast<QComboBox*>(Control(r::kCtlDistanceType));
  auto* level = static_cast<QComboBox*>(Control(r::kCtlLevellingMode));
  if (!dist || !level) return;
  form_.values.m_nDistanceTypeSel = dist->currentIndex();
  form_.values.m_nLevellingModeSel = level->currentIndex();
  for (auto& [id, w] : controls_) w->setEnabled(form_.Enabled(id));
}

bool CShbSetDlg::Fetch() {
  r::CShbSetValues& v = form_.values;
  bool ok = true;
  auto text = [this](int id) { return static_cast<QLineEdit*>(Control(id))->text().trimmed(); };
  // A disabled field keeps the value it was opened with: it is neither read nor checked.
  auto on = [this](int id) { return Control(id)->isEnabled(); };
  auto integer = [&](int id, int& out) {
    if (!on(id)) return true;
    bool good = false;
    const int n = text(id).toInt(&good);
    if (good) out = n;
    else ok = false;
    return good;
  };
  auto number = [&](int id, auto& out) {
    if (!on(id)) return;
    const QString t = text(id);
    if (!platform::IsNumber(t.toStdString())) {
      ok = false;
      return;
    }
    out = static_cast<std::remove_reference_t<decltype(out)>>(platform::ParseDouble(t.toStdString()));
  };
  integer(r::kCtlFontHeight, v.m_nFontHeight);
  number(r::kCtlPrintHeight, v.m_dPrintHeightMm);
  integer(r::kCtlAngleDecimals, v.m_nAngleDecimals);
  integer(r::kCtlDistDecimals, v.m_nDistDecimals);
  integer(r::kCtlHeightDecimals, v.m_nHeightDecimals);
  integer(r::kCtlSets, v.m_nSetsEdit);
  integer(r::kCtlRows, v.m_nRowsEdit);
  number(r::kCtlWordFont, v.m_fWordFontSize);
  number(r::kCtlRefraction, v.m_dRefractionEdit);
  number(r::kCtlStaffConstant, v.m_dStaffConstantEdit);
  number(r::kCtlEdmConstant, v.m_dEdmConstantMm);
  number(r::kCtlEdmScale, v.m_dEdmScalePpm);
  v.m_nLinesAboveSel = static_cast<QComboBox*>(Control(r::kCtlLinesAbove))->currentIndex();
  v.m_nLinesBelowSel = static_cast<QComboBox*>(Control(r::kCtlLinesBelow))->currentIndex();
  v.m_nDistanceTypeSel = static_cast<QComboBox*>(Control(r::kCtlDistanceType))->currentIndex();
  v.m_nLevellingModeSel = static_cast<QComboBox*>(Control(r::kCtlLevellingMode))->currentIndex();
  v.m_bVerticalFrom90Check = static_cast<QCheckBox*>(Control(r::kCtlVerticalFrom90))->isChecked();
  v.m_bDoubledReadingsCheck = static_cast<QCheckBox*>(Control(r::kCtlDoubledReadings))->isChecked();
  v.m_bOmitDecimalPointCheck = static_cast<QCheckBox*>(Control(r::kCtlOmitDecimalPoint))->isChecked();
  return ok;
}

bool CShbSetDlg::TryAccept() {
  if (!Fetch()) {
    platform::Messages().ShowMessage("请输入一个数。");
    return false;
  }
  const std::string why = form_.Validate();
  if (!why.empty()) {
    platform::Messages().ShowMessage(why);
    return false;
  }
  return true;
}

CMovePageDlg::CMovePageDlg(const r::CMovePageValues& values, QWidget* parent) : QDialog(parent), values_(values) {
  setWindowTitle(T("移动表格页"));
  auto* root = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(T("将当前页移动至第"), this));
  edit_ = new QLineEdit(QString::number(values_.m_nPageNumber), this);
  edit_->setValidator(new QIntValidator(edit_));
  edit_->setMaximumWidth(80);
  row->addWidget(edit_);
  row->addWidget(new QLabel(T("页"), this));
  root->addLayout(row);
  root->addLayout(table_ui::OkCancelRow(this, [this] { return TryAccept(); }, false));
}

bool CMovePageDlg::TryAccept() {
  bool good = false;
  const int n = edit_->text().trimmed().toInt(&good);
  if (!good) {
    platform::Messages().ShowMessage("请输入一个整数。");
    return false;
  }
  values_.m_nPageNumber = n;
  return true;
}
