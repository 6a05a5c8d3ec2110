#include "tools/ui/aux_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/number.h"
#include "platform/ports.h"
#include "survey/gauss_projection.h"
#include "tools/aux_view.h"
#include "table/ui/tips.h"

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }
QString T(const std::string& s) { return QString::fromStdString(s); }
// Ten decimals without trailing zeros: enough for d.mmss and scales, never "1e-05".
QString Num(double v) {
  std::string s = platform::FormatFixed(v, 10);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return T(s);
}

const char* kLatTip = "在度后加小数点表示，如12.34567表示12度34分56.7秒";

}  // namespace

CAuxSetDlg::CAuxSetDlg(const tools::CAuxSetForm& form, std::function<bool(int)> commonPoints, QWidget* parent)
    : QDialog(parent), form_(form), commonPoints_(std::move(commonPoints)) {
  setWindowTitle(T("常用工具设置"));
  auto* layout = new QVBoxLayout(this);

  auto* geo = new QGroupBox(T("坐标系与中央子午线经度"), this);
  auto* g = new QGridLayout(geo);
  auto* system = new QComboBox(geo);
  system->addItems({T("自定义"), T("北京54坐标系"), T("西安80坐标系"), T("WGS-84坐标系"), T("国家2000坐标系")});
  system->setToolTip(T("选择坐标系，可以自定义椭球"));
  controls_[1035] = system;
  g->addWidget(new QLabel(T("坐标系"), geo), 0, 0);
  g->addWidget(system, 0, 1);
  auto* y500 = new QCheckBox(T("Y坐标含500KM"), geo);
  controls_[1037] = y500;
  g->addWidget(y500, 0, 2, 1, 2);
  auto* expansion = new QComboBox(geo);
  expansion->addItems({T("da=dH"), T("da=dH/W"), T("da=dH/(1-2αB/π)"), T("dN=dH"), T("dRm=dH")});
  expansion->setToolTip(T("当投影面大地高不为0时，选择椭球膨胀方式。"));
  controls_[1044] = expansion;
  struct Field {
    int id;
    const char* label;
    int row, col;
    const char* tip;
  };
  const Field geoFields[] = {
      {1300, "长半轴a(m)", 1, 0, ""},
      {1301, "扁率分母1/", 1, 2, ""},
      {1095, "测区纬度", 2, 2, "当投影面大地高不为0时，输入测区中心纬度，在度后加小数点表示，如12.34567表示12度34分56.7秒"},
      {1034, "", 3, 0, "中央子午线经度。在度后加小数点表示，如12.34567表示12度34分56.7秒"},
      {1087, "投影面大地高(m)", 3, 2, "当投影面不采用参考椭球面时，输入投影面大地高，等于正常高+高程异常"},
      {1036, "换带后：中央子午线经度(DMS)", 4, 0, "换带后中央子午线经度。在度后加小数点表示，如12.34567表示12度34分56.7秒"},
      {1089, "投影面大地高(m)", 4, 2, "当换带后投影面不采用参考椭球面时，输入投影面大地高，等于正常高+高程异常"},
  };
  g->addWidget(new QLabel(T("椭球膨胀方式"), geo), 2, 0);
  g->addWidget(expansion, 2, 1);
  for (const Field& f : geoFields) {
    QLineEdit* e = Edit(f.id);
    if (*f.tip) e->setToolTip(T(f.tip));
    auto* label = new QLabel(f.id == 1034 ? T(form_.Meridian1Caption()) : T(f.label), geo);
    if (f.id == 1034) controls_[1109] = label;
    g->addWidget(label, f.row, f.col);
    g->addWidget(e, f.row, f.col + 1);
  }
  layout->addWidget(geo);
  (void)kLatTip;

  auto* row = new QHBoxLayout;
  auto* red = new QGroupBox(T("方向边长改化"), this);
  auto* r = new QGridLayout(red);
  r->addWidget(new QLabel(T("归化高程面(m)"), red), 0, 0);
  r->addWidget(Edit(1038), 0, 1);
  row->addWidget(red);
  auto* tri = new QGroupBox(T("三角高程"), this);
  auto* t = new QGridLayout(tri);
  auto* dist = new QComboBox(tri);
  dist->addItems({T("斜距"), T("平距"), T("视距")});
  controls_[1040] = dist;
  t->addWidget(new QLabel(T("距离类型"), tri), 0, 0);
  t->addWidget(dist, 0, 1);
  t->addWidget(new QLabel(T("大气折光系数"), tri), 1, 0);
  t->addWidget(Edit(1039), 1, 1);
  row->addWidget(tri);
  layout->addLayout(row);

  auto* four = new QGroupBox(T("四参数平面坐标转换参数"), this);
  auto* f4 = new QGridLayout(four);
  const std::pair<int, const char*> fourFields[] = {
      {1096, "X平移(m)："}, {1098, "Y平移(m)："}, {1099, "旋转角度(DMS)"}, {1100, "尺度："}};
  for (int i = 0; i < 4; ++i) {
    f4->addWidget(new QLabel(T(fourFields[i].second), four), i / 2, (i % 2) * 2);
    f4->addWidget(Edit(fourFields[i].first), i / 2, (i % 2) * 2 + 1);
  }
  auto* solve4 = new QPushButton(T("由公共点解算"), four);
  controls_[1203] = solve4;
  f4->addWidget(solve4, 2, 3);
  connect(solve4, &QPushButton::clicked, this, [this] { OnSolveParameters(1); });
  layout->addWidget(four);

  auto* seven = new QGroupBox(T("七参数空间坐标转换参数"), this);
  auto* f7 = new QGridLayout(seven);
  const std::pair<int, const char*> sevenFields[] = {{1101, "X平移(m)"},     {1102, "Y平移(m)"},
                                                     {1105, "Z平移(m)"},     {1104, "尺度："},
                                                     {1103, "X轴旋转(\")"}, {1106, "Y轴旋转(\")"},
                                                     {1107, "Z轴旋转(\")"}};
  for (int i = 0; i < 7; ++i) {
    f7->addWidget(new QLabel(T(sevenFields[i].second), seven), i / 3, (i % 3) * 2);
    f7->addWidget(Edit(sevenFields[i].first), i / 3, (i % 3) * 2 + 1);
  }
  auto* solve7 = new QPushButton(T("由公共点解算"), seven);
  controls_[1204] = solve7;
  f7->addWidget(solve7, 2, 5);
  connect(solve7, &QPushButton::clicked, this, [this] { OnSolveParameters(2); });
  layout->addWidget(seven);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(T("确定"), QDialogButtonBox::AcceptRole);
  buttons->addButton(T("取消"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (TryAccept()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  // Every data control starts disabled; the page enables its own.
  for (auto& [id, w] : controls_)
    if (id != 1109) w->setEnabled(form_.Enabled(id));
  connect(system, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
    form_.coordSystem = i;
    UpdateCustomEllipsoid();
  });
  Load();
  tips::Install(this);
}

QLineEdit* CAuxSetDlg::Edit(int id) {
  auto* e = new QLineEdit(this);
  controls_[id] = e;
  return e;
}

void CAuxSetDlg::Show(int id, double value) {
  const QString text = Num(value);
  static_cast<QLineEdit*>(controls_[id])->setText(text);
  shown_[id] = text;
}

QWidget* CAuxSetDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CAuxSetDlg::UpdateCustomEllipsoid() {
  auto* a = static_cast<QLineEdit*>(controls_[1300]);
  auto* invF = static_cast<QLineEdit*>(controls_[1301]);
  for (int id : {1300, 1301}) controls_[id]->setEnabled(form_.Enabled(id));
  // A preset system shows its own figures; the custom ones typed so far come back
  // when "自定义" is chosen again.
  double presetA = 0, presetInvF = 0;
  const bool preset = survey::PresetEllipsoid(form_.coordSystem, &presetA, &presetInvF);
  if (preset) {
    if (!showingPreset_) {
      customA_ = a->text();
      customInvF_ = invF->text();
    }
    a->setText(Num(presetA));
    invF->setText(Num(presetInvF));
  } else if (showingPreset_) {
    a->setText(customA_);
    invF->setText(customInvF_);
  }
  showingPreset_ = preset;
}

void CAuxSetDlg::LoadParameters(int mode) {
  if (mode == 1) {
    const int ids[] = {1096, 1098, 1099, 1100};
    for (int i = 0; i < 4; ++i) Show(ids[i], form_.fourParams[static_cast<std::size_t>(i)]);
  } else {
    const int ids[] = {1101, 1102, 1105, 1104, 1103, 1106, 1107};
    for (int i = 0; i < 7; ++i) Show(ids[i], form_.sevenParams[static_cast<std::size_t>(i)]);
  }
}

void CAuxSetDlg::Load() {
  static_cast<QComboBox*>(controls_[1035])->setCurrentIndex(form_.coordSystem >= 0 && form_.coordSystem <= 4 ? form_.coordSystem : 2);
  static_cast<QCheckBox*>(controls_[1037])->setChecked(form_.y500km);
  static_cast<QComboBox*>(controls_[1044])->setCurrentIndex(form_.expansion);
  static_cast<QComboBox*>(controls_[1040])->setCurrentIndex(form_.distanceType);
  const std::pair<int, double> values[] = {{1034, form_.meridian1},     {1036, form_.meridian2},
                                           {1038, form_.reductionHeight}, {1039, form_.refraction},
                                           {1300, form_.ellipsoidA},     {1301, form_.ellipsoidInvF},
                                           {1095, form_.centreLatitude}, {1087, form_.projHeight},
                                           {1089, form_.projHeight2}};
  for (const auto& [id, v] : values) Show(id, v);
  LoadParameters(1);
  LoadParameters(2);
  showingPreset_ = false;
  UpdateCustomEllipsoid();
}

bool CAuxSetDlg::Fetch() {
  form_.coordSystem = static_cast<QComboBox*>(controls_[1035])->currentIndex();
  form_.y500km = static_cast<QCheckBox*>(controls_[1037])->isChecked();
  form_.expansion = static_cast<QComboBox*>(controls_[1044])->currentIndex();
  form_.distanceType = static_cast<QComboBox*>(controls_[1040])->currentIndex();
  std::pair<int, double*> values[] = {
      {1034, &form_.meridian1},     {1036, &form_.meridian2},      {1038, &form_.reductionHeight},
      {1039, &form_.refraction},    {1300, &form_.ellipsoidA},     {1301, &form_.ellipsoidInvF},
      {1095, &form_.centreLatitude}, {1087, &form_.projHeight},    {1089, &form_.projHeight2},
      {1096, &form_.fourParams[0]}, {1098, &form_.fourParams[1]},  {1099, &form_.fourParams[2]},
      {1100, &form_.fourParams[3]}, {1101, &form_.sevenParams[0]}, {1102, &form_.sevenParams[1]},
      {1105, &form_.sevenParams[2]}, {1104, &form_.sevenParams[3]}, {1103, &form_.sevenParams[4]},
      {1106, &form_.sevenParams[5]}, {1107, &form_.sevenParams[6]}};
  for (auto& [id, p] : values) {
    auto* e = static_cast<QLineEdit*>(controls_[id]);
    // A greyed edit keeps the value the dialog opened with (the ellipsoid edits show
    // a preset's figures then, not the custom values).
    if (!e->isEnabled()) continue;
    // An edit still showing its value keeps it whole (the field has ten decimals).
    if (e->text() == shown_[id]) continue;
    // An emptied field is not 0: it is refused like any text that is not a number.
    const std::optional<double> v = platform::ReadNumber(e->text().toStdString());
    if (!v) {
      platform::Messages().ShowMessage("请输入一个数。");
      e->setFocus();
      e->selectAll();
      return false;
    }
    *p = *v;
  }
  return true;
}

bool CAuxSetDlg::TryAccept() {
  if (!Fetch()) return false;
  const std::string message = form_.Validate();
  if (!message.empty()) {
    platform::Messages().ShowMessage(message);
    return false;
  }
  return true;
}

void CAuxSetDlg::OnSolveParameters(int mode) {
  if (!commonPoints_ || !commonPoints_(mode)) return;  // cancelled: values as they are
  CAuxView* view = form_.view ? form_.view : g_pToolsView;
  if (!view) return;
  // Only the parameter controls take the estimate; what was typed elsewhere stays.
  bool ok = mode == 1 ? view->SolveFourParameters(form_.fourParams.data())
                      : view->SolveSevenParameters(form_.sevenParams.data());
  if (ok) LoadParameters(mode);
}
