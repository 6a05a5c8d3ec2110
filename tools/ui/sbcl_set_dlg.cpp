#include "tools/ui/sbcl_set_dlg.h"

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
#include "table/ui/tips.h"

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }
QString T(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& q) { return q.toUtf8().toStdString(); }
QString Num(double v) { return T(platform::FormatRoundTrip(v)); }

}  // namespace

CSbClSetDlg::CSbClSetDlg(const tools::DetailSurveySettings& settings, QWidget* parent)
    : QDialog(parent), form_(settings) {
  setWindowTitle(T("碎部测量设置"));
  const tools::DetailSurveySettings& v = form_.values;
  auto* layout = new QVBoxLayout(this);

  auto* top = new QGridLayout;
  auto* mode = new QComboBox(this);
  mode->addItems({T("斜距+天顶距"), T("平距+高差"), T("视距+天顶距")});
  mode->setCurrentIndex(v.mode >= 0 && v.mode <= 2 ? v.mode : 1);
  shownMode_ = mode->currentIndex();
  controls_[kMode] = mode;
  top->addWidget(new QLabel(T("观测方式"), this), 0, 0);
  top->addWidget(mode, 0, 1);
  auto* clockwise = new QCheckBox(T("竖盘顺时针注记"), this);
  clockwise->setChecked(v.clockwise);
  clockwise->setToolTip(T("选择此项则：垂直角=90+指标差-竖盘读数。"));
  controls_[kClockwise] = clockwise;
  top->addWidget(clockwise, 0, 2, 1, 2);

  struct Field {
    int id;
    const char* label;
    QString text;
    int row, col;
  } fields[] = {
      {kBacksight, "后视点名", T(v.backsight), 1, 0},   {kBacksightX, "坐标X：", Num(v.backsightX), 1, 2},
      {kBacksightY, "坐标Y：", Num(v.backsightY), 1, 4}, {kStation, "测站点名", T(v.station), 2, 0},
      {kStationX, "坐标X：", Num(v.stationX), 2, 2},     {kStationY, "坐标Y：", Num(v.stationY), 2, 4},
      {kStationH, "测站高程", Num(v.stationH), 3, 0},    {kInstrument, "仪高：", Num(v.instrumentHeight), 3, 2},
      {kIndexError, "指标差\"", Num(v.indexError), 3, 4}, {kBacksightH, "后视点高程", Num(v.backsightH), 4, 0},
  };
  for (const Field& f : fields) {
    QLineEdit* e = Edit(f.id);
    e->setText(f.text);
    shown_[f.id] = f.text;
    top->addWidget(new QLabel(T(f.label), this), f.row, f.col);
    top->addWidget(e, f.row, f.col + 1);
  }
  Edit(kIndexError)->setToolTip(T("注意正负。本软件中计算方法为\n(盘左读数+盘右读数-360)/2"));
  Edit(kBacksightH)->setToolTip(T("仅用于在图形中注记高程。"));
  layout->addLayout(top);

  auto* group = new QGroupBox(T("图形"), this);
  auto* g = new QGridLayout(group);
  auto* show = new QComboBox(group);
  show->addItems({T("高程"), T("点名")});
  show->setCurrentIndex(v.showNameOrHeight == 0 ? 0 : 1);
  shownShow_ = show->currentIndex();
  controls_[kShow] = show;
  g->addWidget(new QLabel(T("显示："), group), 0, 0);
  g->addWidget(show, 0, 1);
  auto* dot = new QCheckBox(T("显示小圆点"), group);
  dot->setChecked(v.showDot);
  dot->setToolTip(T("选择此项，在每个碎部点绘制一个小圆点，即高程点。否则显示一个小细点，在CAD中能否看到或打印取决于CAD中点的形式设置。"));
  controls_[kDot] = dot;
  g->addWidget(dot, 0, 2);
  layout->addWidget(group);
  layout->addWidget(new QLabel(T("(说明：请在“表格”设置中设定各种数据的小数取位。)"), this));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(T("确定"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(T("取消"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { TryAccept(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  tips::Install(this);
}

QWidget* CSbClSetDlg::ControlOf(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QLineEdit* CSbClSetDlg::Edit(int id) {
  if (QWidget* w = ControlOf(id)) return static_cast<QLineEdit*>(w);
  auto* e = new QLineEdit(this);
  controls_[id] = e;
  return e;
}

bool CSbClSetDlg::Fetch() {
  tools::DetailSurveySettings& v = form_.values;
  // Only what was edited is read back: an edit or list still showing what it showed
  // keeps the value it stood for.
  auto edited = [this](int id) { return Edit(id)->text() != shown_[id]; };
  const int mode = static_cast<QComboBox*>(ControlOf(kMode))->currentIndex();
  if (mode != shownMode_) v.mode = mode;
  v.clockwise = static_cast<QCheckBox*>(ControlOf(kClockwise))->isChecked();
  if (edited(kBacksight)) v.backsight = S(Edit(kBacksight)->text());
  if (edited(kStation)) v.station = S(Edit(kStation)->text());
  struct Number {
    int id;
    double* out;
  } numbers[] = {
      {kBacksightX, &v.backsightX}, {kBacksightY, &v.backsightY}, {kStationX, &v.stationX},
      {kStationY, &v.stationY},     {kStationH, &v.stationH},     {kInstrument, &v.instrumentHeight},
      {kIndexError, &v.indexError}, {kBacksightH, &v.backsightH},
  };
  for (const Number& n : numbers) {
    if (!edited(n.id)) continue;
    if (!tools::CSbClSetForm::ParseNumber(S(Edit(n.id)->text()), n.out)) {
      platform::Messages().ShowMessage(tools::kDetailNumberMessage);
      Edit(n.id)->setFocus();
      Edit(n.id)->selectAll();
      return false;
    }
  }
  const int show = static_cast<QComboBox*>(ControlOf(kShow))->currentIndex();
  if (show != shownShow_) v.showNameOrHeight = show;
  v.showDot = static_cast<QCheckBox*>(ControlOf(kDot))->isChecked();
  return true;
}

bool CSbClSetDlg::TryAccept() {
  const tools::DetailSurveySettings before = form_.values;
  if (!Fetch()) {
    form_.values = before;
    return false;
  }
  const std::string message = form_.CheckOk();
  if (!message.empty()) {
    platform::Messages().ShowMessage(message);
    Edit(kStation)->setFocus();
    form_.values = before;
    return false;
  }
  accept();
  return true;
}
