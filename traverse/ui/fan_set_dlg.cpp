#include "traverse/ui/fan_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/number.h"
#include "platform/ports.h"
#include "table/ui/tips.h"

namespace t = traverse;

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }
std::string S(const QString& q) { return q.toUtf8().toStdString(); }
QString Num(double v) { return T(platform::FormatRoundTrip(v).c_str()); }

struct Tip {
  int id;
  const char* text;
};
const Tip kTips[] = {
    {t::kCtlTraverseType, "导线类型。数据输入表格中输入平面数据则进行平面平差，输入了高程数据则进行高程平差，同时输入则同时进行三维平差。"},
    {t::kCtlUnknownCount, "未知点数目，用于确定表格行数。"},
    {t::kCtlReduce, "对方向、边长进行投影改化及边长的高程归化。"},
    {t::kCtlProjCorrection, "对方向、边长进行高斯投影改化。"},
    {t::kCtlDistReduce, "对边长进行高程归化。需要填写归算面的高程"},
    {t::kCtlEllipA, "自定义椭球长半轴"},
    {t::kCtlEllipInvF, "自定义椭球扁率分母"},
    {t::kCtlApproximate, "先进行角度改正，再进行坐标增量闭合差改正。"},
    {t::kCtlBackCompute, "平差后根据坐标再反算方位角、角度、边长以作为最终成果使用，否则方位角、边长等不能作为成果使用。"},
    {t::kCtlShowCorrected, "近似平差且不反算时，表格中将显示改正后的坐标增量，不选择此项则显示坐标增量改正数。"},
    {t::kCtlClosureBefore, "在计算表格备注栏中显示角度改正前的坐标增量闭合差。"},
    {t::kCtlRigorous, "采用最小二乘法进行平差。"},
    {t::kCtlDistFormula, "第一二项适用于测距仪，第三项适用于钢尺等测距。\n先验测距中误差计算公式。其中D单位公里，S单位米，SQRT表示根号。"},
    {t::kCtlDistribution0, "按坐标增量对坐标导线坐标闭合差进行改正。"},
    {t::kCtlDistribution1, "按边长对坐标导线坐标闭合差进行改正。相对其它方式，计算表格中还将增加“边长”一列。"},
    {t::kCtlDistribution2, "按坐标转换法进行平差。"},
    {t::kCtlHeightRoute, "选择是水准还是三角高程路线。坐标导线则总是按三角高程计算。"},
    {t::kCtlPlaneGrade, "选择平面控制等级，用于根据《工程测量规范》自动进行部分设置，不合适的请自行填写。"},
    {t::kCtlHeightGrade, "选择高程控制等级，用于根据《工程测量规范》自动进行限差设置，不合适请自行填写。"},
    {t::kCtlAzClosureCoef, "方位角闭合差限差，单位秒，n表示测站数。"},
    {t::kCtlRelClosureLimit, "导线全长相对闭合差限差。"},
    {t::kCtlHeightClosureCoef, "高程路线闭合差限差，L为路线长度，单位Km，n表示测站数。"},
};

}  // namespace

CFAnSetDlg::CFAnSetDlg(const t::CSchemeForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(T("项目设置"));
  Build();
  form_.Init();
  Load();
  tips::Install(this);
}

QWidget* CFAnSetDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QLineEdit* CFAnSetDlg::Edit(int id) {
  auto* e = new QLineEdit(this);
  e->setMaximumWidth(110);
  controls_[id] = e;
  return e;
}

QComboBox* CFAnSetDlg::List(int id, const QStringList& items) {
  auto* c = new QComboBox(this);
  c->addItems(items);
  controls_[id] = c;
  return c;
}

QCheckBox* CFAnSetDlg::Check(int id, const char* text) {
  auto* b = new QCheckBox(T(text), this);
  controls_[id] = b;
  connect(b, &QCheckBox::clicked, this, [this] { Clicked(); });
  return b;
}

QRadioButton* CFAnSetDlg::Radio(int id, const char* text) {
  auto* b = new QRadioButton(T(text), this);
  controls_[id] = b;
  connect(b, &QRadioButton::clicked, this, [this] { Clicked(); });
  return b;
}

QLabel* CFAnSetDlg::Label(const char* text) { return new QLabel(T(text), this); }

void CFAnSetDlg::OnIndex(QComboBox* list, void (t::CSchemeForm::*handler)(int)) {
  connect(list, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this, handler](int i) { Changed(handler, i); });
}

void CFAnSetDlg::Build() {
  auto* v = new QVBoxLayout(this);
  v->addWidget(BuildTypeBox());
  v->addWidget(BuildPlaneBox());
  v->addWidget(BuildHeightBox());
  v->addWidget(BuildDistributionBox());
  v->addWidget(BuildButtons());

  for (const Tip& tip : kTips)
    if (QWidget* w = Control(tip.id)) w->setToolTip(T(tip.text));
}

// 类型
QGroupBox* CFAnSetDlg::BuildTypeBox() {
  auto* typeBox = new QGroupBox(T("类型"), this);
  auto* tg = new QGridLayout(typeBox);
  tg->addWidget(Label("线路类型"), 0, 0);
  QComboBox* type = List(t::kCtlTraverseType, {T("闭附合导线"), T("无定向导线"), T("支导线"), T("特殊导线或网"),
                                                 T("坐标导线"), T("单面单程水准")});
  tg->addWidget(type, 0, 1);
  tg->addWidget(Label("未知点数"), 0, 2);
  tg->addWidget(Edit(t::kCtlUnknownCount), 0, 3);
  tg->addWidget(Check(t::kCtlReduce, "概算"), 1, 0);
  tg->addWidget(Label("坐标系"), 1, 1);
  QComboBox* ell = List(t::kCtlEllipsoid, {T("自定义"), T("北京54坐标系"), T("西安80坐标系"), T("WGS-84坐标系"),
                                           T("国家2000坐标系")});
  tg->addWidget(ell, 1, 2);
  tg->addWidget(Check(t::kCtlY500, "Y含500公里"), 1, 3);
  tg->addWidget(Check(t::kCtlProjCorrection, "投影改化"), 2, 0);
  tg->addWidget(Check(t::kCtlDistReduce, "边长归算高程"), 2, 1);
  tg->addWidget(Edit(t::kCtlReduceHeight), 2, 2);
  tg->addWidget(Label("长半轴a"), 3, 0);
  tg->addWidget(Edit(t::kCtlEllipA), 3, 1);
  tg->addWidget(Label("扁率分母"), 3, 2);
  tg->addWidget(Edit(t::kCtlEllipInvF), 3, 3);
  tg->addWidget(Label("平面与高程可同时平差或分开平差，由所输数据确定。"), 4, 0, 1, 4);
  OnIndex(type, &t::CSchemeForm::OnTraverseTypeChanged);
  OnIndex(ell, &t::CSchemeForm::OnEllipsoidChanged);
  return typeBox;
}

// 平面计算设置
QGroupBox* CFAnSetDlg::BuildPlaneBox() {
  auto* planeBox = new QGroupBox(T("平面计算设置"), this);
  auto* pg = new QGridLayout(planeBox);
  pg->addWidget(Radio(t::kCtlApproximate, "选用近似平差"), 0, 0);
  pg->addWidget(Radio(t::kCtlRigorous, "选用严密平差"), 0, 1);
  pg->addWidget(Check(t::kCtlHelmert, "Helmert验后方差定权"), 0, 2, 1, 2);
  pg->addWidget(Check(t::kCtlBackCompute, "方位角边长反算"), 1, 0);
  pg->addWidget(Check(t::kCtlShowCorrected, "显示改正后的坐标增量"), 1, 1);
  pg->addWidget(Check(t::kCtlClosureBefore, "显示角度改正前的坐标增量闭合差"), 1, 2, 1, 2);
  pg->addWidget(Label("等级："), 2, 0);
  QComboBox* grade = List(t::kCtlPlaneGrade, {T("三等"), T("四等"), T("一级"), T("二级"), T("三级"), T("图根首级"),
                                               T("图根一般"), T("自定义")});
  pg->addWidget(grade, 2, 1);
  pg->addWidget(Label("先验测角中误差(\")"), 2, 2);
  pg->addWidget(Edit(t::kCtlAngleRms), 2, 3);
  pg->addWidget(Label("方位角闭合差限差："), 3, 0);
  auto* az = new QHBoxLayout;
  az->addWidget(Edit(t::kCtlAzClosureCoef));
  az->addWidget(Label("√ n"));
  pg->addLayout(az, 3, 1);
  pg->addWidget(Label("导线全长相对闭合差限差1/"), 3, 2);
  pg->addWidget(Edit(t::kCtlRelClosureLimit), 3, 3);
  QComboBox* formula = List(t::kCtlDistFormula, {T("A+B*D   (测距仪)"), T("SQRT(A*A+B*B*D*D)   (测距仪)"),
                                                  T("A * SQRT(S)　(其它)")});
  pg->addWidget(formula, 4, 0, 1, 2);
  auto* ab = new QHBoxLayout;
  ab->addWidget(Label("式中A="));
  ab->addWidget(Edit(t::kCtlDistA));
  ab->addWidget(Label("mm B="));
  ab->addWidget(Edit(t::kCtlDistB));
  ab->addWidget(Label("mm/Km"));
  pg->addLayout(ab, 4, 2, 1, 2);
  OnIndex(grade, &t::CSchemeForm::OnPlaneGradeChanged);
  OnIndex(formula, &t::CSchemeForm::OnDistFormulaChanged);
  return planeBox;
}

// 高程计算设置
QGroupBox* CFAnSetDlg::BuildHeightBox() {
  auto* heightBox = new QGroupBox(T("高程计算设置"), this);
  auto* hg = new QGridLayout(heightBox);
  hg->addWidget(Label("高程路线类型："), 0, 0);
  QComboBox* route = List(t::kCtlHeightRoute, {T("水准"), T("三角高程")});
  hg->addWidget(route, 0, 1);
  hg->addWidget(Label("水准定权"), 0, 2);
  QComboBox* weight = List(t::kCtlLevelWeight, {T("距离"), T("测站数")});
  hg->addWidget(weight, 0, 3);
  hg->addWidget(Label("距离单位"), 0, 4);
  hg->addWidget(List(t::kCtlDistUnit, {T("米"), T("公里")}), 0, 5);
  hg->addWidget(Label("等级："), 1, 0);
  QComboBox* hgrade = List(t::kCtlHeightGrade, {T("二等"), T("三等"), T("四等"), T("五等"), T("图根"), T("自定义")});
  hg->addWidget(hgrade, 1, 1);
  hg->addWidget(Label("限差："), 1, 2);
  auto* lim = new QHBoxLayout;
  lim->addWidget(Edit(t::kCtlHeightClosureCoef));
  lim->addWidget(Label("√"));
  lengthLabel_ = Label("L");
  controls_[t::kCtlLengthLabel] = lengthLabel_;
  lim->addWidget(lengthLabel_);
  // "√" and the length symbol read as one term right after the coefficient.
  lim->setSpacing(2);
  lim->addStretch(1);
  hg->addLayout(lim, 1, 3, 1, 3);
  OnIndex(route, &t::CSchemeForm::OnHeightRouteChanged);
  OnIndex(weight, &t::CSchemeForm::OnLevelWeightChanged);
  OnIndex(hgrade, &t::CSchemeForm::OnHeightGradeChanged);
  return heightBox;
}

// 坐标导线坐标闭合差分配方式
QGroupBox* CFAnSetDlg::BuildDistributionBox() {
  auto* distBox = new QGroupBox(T("坐标导线坐标闭合差分配方式"), this);
  auto* dg = new QHBoxLayout(distBox);
  dg->addWidget(Radio(t::kCtlDistribution0, "按坐标增量"));
  dg->addWidget(Radio(t::kCtlDistribution1, "按边长"));
  dg->addWidget(Radio(t::kCtlDistribution2, "坐标转换"));
  return distBox;
}

QDialogButtonBox* CFAnSetDlg::BuildButtons() {
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(T("确定"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(T("取消"), QDialogButtonBox::RejectRole);
  QPushButton* help = buttons->addButton(T("帮助"), QDialogButtonBox::HelpRole);
  controls_[1] = ok;
  controls_[2] = cancel;
  controls_[t::kCtlHelp] = help;
  connect(ok, &QPushButton::clicked, this, [this] { TryAccept(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { done(kHelp); });
  return buttons;
}

void CFAnSetDlg::Changed(void (t::CSchemeForm::*handler)(int), int value) {
  if (loading_) return;
  Fetch(false);
  (form_.*handler)(value);
  Load();
}

void CFAnSetDlg::Clicked() {
  if (loading_) return;
  Fetch(false);
  form_.UpdateControls();
  Load();
}

void CFAnSetDlg::Load() {
  loading_ = true;
  const t::SchemeValues& v = form_.values;
  auto setCheck = [this](int id, int on) { static_cast<QAbstractButton*>(Control(id))->setChecked(on != 0); };
  auto setList = [this](int id, int i) { static_cast<QComboBox*>(Control(id))->setCurrentIndex(i); };
  // A field whose text was not read keeps that text, so OK still refuses it, unless
  // the change gave the field a value of its own (a preset ellipsoid's figures).
  auto setEdit = [this](int id, const QString& s) {
    const auto kept = unread_.find(id);
    if (kept != unread_.end() && kept->second == s) return;
    auto* e = static_cast<QLineEdit*>(Control(id));
    if (e->text() != s) e->setText(s);
  };
  setCheck(t::kCtlApproximate, !v.m_bRigorous);
  setCheck(t::kCtlRigorous, v.m_bRigorous);
  setCheck(t::kCtlBackCompute, v.m_bBackCompute);
  setCheck(t::kCtlClosureBefore, v.m_bClosureBeforeAngleCorrection);
  setEdit(t::kCtlDistA, Num(v.m_dDistA));
  setEdit(t::kCtlDistB, Num(v.m_dDistB));
  setEdit(t::kCtlAngleRms, Num(v.m_dAngleRms));
  setList(t::kCtlHeightRoute, v.m_nHeightRouteType);
  setList(t::kCtlLevelWeight, v.m_nLevelWeight);
  setList(t::kCtlTraverseType, v.m_nTraverseType);
  setEdit(t::kCtlUnknownCount, QString::number(form_.unknownCount));
  setList(t::kCtlDistUnit, v.m_nDistUnit);
  setCheck(t::kCtlReduce, v.m_bReduce);
  setList(t::kCtlEllipsoid, v.m_nEllipsoid);
  setCheck(t::kCtlDistReduce, v.m_bDistReduce);
  setEdit(t::kCtlReduceHeight, Num(v.m_dReduceHeight));
  setCheck(t::kCtlY500, v.m_bY500);
  setCheck(t::kCtlDistribution0, v.m_nClosureDistribution == 0);
  setCheck(t::kCtlDistribution1, v.m_nClosureDistribution == 1);
  setCheck(t::kCtlDistribution2, v.m_nClosureDistribution == 2);
  setCheck(t::kCtlShowCorrected, v.m_bShowCorrectedIncrements);
  setCheck(t::kCtlHelmert, v.m_bHelmert);
  setList(t::kCtlPlaneGrade, v.m_nPlaneGrade);
  setList(t::kCtlHeightGrade, v.m_nHeightGrade);
  setEdit(t::kCtlAzClosureCoef, Num(v.m_dAzClosureCoef));
  setEdit(t::kCtlRelClosureLimit, QString::number(v.m_nRelClosureLimit));
  setList(t::kCtlDistFormula, v.m_nDistErrorType);
  setEdit(t::kCtlHeightClosureCoef, Num(v.m_dHeightClosureCoef));
  setCheck(t::kCtlProjCorrection, v.m_bProjCorrection);
  double a = 0, invF = 0;
  form_.ShownEllipsoid(&a, &invF);
  setEdit(t::kCtlEllipA, Num(a));
  setEdit(t::kCtlEllipInvF, Num(invF));
  lengthLabel_->setText(T(form_.LengthLabel().c_str()));
  for (auto& [id, w] : controls_)
    if (id > 2 && id != t::kCtlHelp && id != t::kCtlLengthLabel) w->setEnabled(form_.IsEnabled(id));
  loading_ = false;
}

bool CFAnSetDlg::Fetch(bool check) {
  t::SchemeValues& v = form_.values;
  // The ellipsoid fields hold the custom values only while they are shown for
  // "自定义"; a preset's figures there are never taken as custom values.
  const bool customShown = v.m_nEllipsoid == 0;
  auto checked = [this](int id) { return static_cast<QAbstractButton*>(Control(id))->isChecked() ? 1 : 0; };
  auto index = [this](int id) { return static_cast<QComboBox*>(Control(id))->currentIndex(); };
  bool ok = true;
  unread_.clear();
  // Text that is not one number ("2.5x", emptied) leaves the form's value as it was:
  // its first digits are no value the surveyor gave.
  auto refuse = [&](int id, const QString& shown, const char* why) {
    unread_[id] = shown;
    if (!check || !ok) return;
    platform::Messages().ShowMessage(why);
    Control(id)->setFocus();
    ok = false;
  };
  auto number = [&](int id, double* out) {
    const auto x = platform::ReadNumber(S(static_cast<QLineEdit*>(Control(id))->text()));
    if (x) *out = *x;
    else refuse(id, Num(*out), "请输入一个数字。");
  };
  auto integer = [&](int id, int* out) {
    const auto n = platform::ReadInteger(S(static_cast<QLineEdit*>(Control(id))->text()));
    if (n) *out = *n;
    else refuse(id, QString::number(*out), "请输入一个整数。");
  };
  v.m_bRigorous = checked(t::kCtlRigorous);
  v.m_bBackCompute = checked(t::kCtlBackCompute);
  v.m_bClosureBeforeAngleCorrection = checked(t::kCtlClosureBefore);
  number(t::kCtlDistA, &v.m_dDistA);
  number(t::kCtlDistB, &v.m_dDistB);
  number(t::kCtlAngleRms, &v.m_dAngleRms);
  v.m_nHeightRouteType = index(t::kCtlHeightRoute);
  v.m_nLevelWeight = index(t::kCtlLevelWeight);
  v.m_nTraverseType = index(t::kCtlTraverseType);
  integer(t::kCtlUnknownCount, &form_.unknownCount);
  v.m_nDistUnit = index(t::kCtlDistUnit);
  v.m_bReduce = checked(t::kCtlReduce);
  v.m_nEllipsoid = index(t::kCtlEllipsoid);
  v.m_bDistReduce = checked(t::kCtlDistReduce);
  number(t::kCtlReduceHeight, &v.m_dReduceHeight);
  v.m_bY500 = checked(t::kCtlY500);
  v.m_nClosureDistribution = checked(t::kCtlDistribution0) ? 0 : checked(t::kCtlDistribution2) ? 2 : 1;
  v.m_bShowCorrectedIncrements = checked(t::kCtlShowCorrected);
  v.m_bHelmert = checked(t::kCtlHelmert);
  v.m_nPlaneGrade = index(t::kCtlPlaneGrade);
  v.m_nHeightGrade = index(t::kCtlHeightGrade);
  number(t::kCtlAzClosureCoef, &v.m_dAzClosureCoef);
  integer(t::kCtlRelClosureLimit, &v.m_nRelClosureLimit);
  v.m_nDistErrorType = index(t::kCtlDistFormula);
  number(t::kCtlHeightClosureCoef, &v.m_dHeightClosureCoef);
  v.m_bProjCorrection = checked(t::kCtlProjCorrection);
  if (customShown) {
    number(t::kCtlEllipA, &v.m_dEllipA);
    number(t::kCtlEllipInvF, &v.m_dEllipInvF);
  }
  return ok;
}

bool CFAnSetDlg::TryAccept() {
  if (!Fetch(true)) return false;
  const std::string msg = form_.Validate();
  if (!msg.empty()) {
    platform::Messages().ShowMessage(msg);
    return false;
  }
  accept();
  return true;
}
