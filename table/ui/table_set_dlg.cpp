#include "table/ui/table_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ports.h"
#include "table/ui/dialog_buttons.h"

namespace t = table;

namespace {

QString T(const char* s) { return QString::fromUtf8(s); }

}  // namespace

CTableSetDlg::CTableSetDlg(const t::CTableSetForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(T("表格属性设置"));
  Build();
  Load();
}

QWidget* CTableSetDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CTableSetDlg::Build() {
  auto label = [this](const char* text) { return new QLabel(T(text), this); };
  auto edit = [this](int id) {
    auto* e = new QLineEdit(this);
    e->setMaximumWidth(70);
    controls_[id] = e;
    return e;
  };
  // An edit with its label, taken from the form's table so the two never part.
  auto labelled = [&](QGridLayout* g, int id, int row, int col) {
    const t::TableSetEdit* e = t::CTableSetForm::FindEdit(id);
    QLabel* l = label(e->label);
    QLineEdit* box = edit(id);
    l->setBuddy(box);
    g->addWidget(l, row, col);
    g->addWidget(box, row, col + 1);
    if (e->hidden) {
      l->hide();
      box->hide();
    }
  };
  auto list = [this](int id, const char* const* items, int n) {
    auto* c = new QComboBox(this);
    for (int i = 0; i < n; ++i) c->addItem(T(items[i]));
    controls_[id] = c;
    return c;
  };
  auto check = [this](int id, const char* text) {
    auto* b = new QCheckBox(T(text), this);
    controls_[id] = b;
    return b;
  };

  auto* root = new QVBoxLayout(this);

  auto* font = new QGroupBox(T("字体高度"), this);
  auto* fg = new QGridLayout(font);
  labelled(fg, t::kSetFontHeight, 0, 0);
  labelled(fg, t::kSetPrintHeight, 0, 2);
  root->addWidget(font);

  auto* lines = new QHBoxLayout;
  lines->addWidget(label("表格上方显示"));
  lines->addWidget(list(t::kSetLinesAbove, t::CTableSetForm::kLinesAbove, 4));
  lines->addSpacing(16);
  lines->addWidget(label("表格下方显示"));
  lines->addWidget(list(t::kSetLineBelow, t::CTableSetForm::kLinesBelow, 2));
  lines->addStretch();
  root->addLayout(lines);

  auto* dec = new QGroupBox(T("小数取位(小数后保留的位数)"), this);
  auto* dg = new QGridLayout(dec);
  labelled(dg, t::kSetAngleDecimals, 0, 0);
  labelled(dg, t::kSetDistDecimals, 0, 2);
  labelled(dg, t::kSetDhDecimals, 0, 4);
  labelled(dg, t::kSetHeightDecimals, 1, 0);
  labelled(dg, t::kSetCoordDecimals, 1, 2);
  labelled(dg, t::kSetLatLonDecimals, 1, 4);
  labelled(dg, t::kSetChainageDecimals, 2, 0);
  labelled(dg, t::kSetGradeDecimals, 2, 2);
  QLabel* unitLabel = label("角度单位：");
  QComboBox* unit = list(t::kSetAngleUnit, t::CTableSetForm::kAngleUnits, 3);
  dg->addWidget(unitLabel, 2, 4);
  dg->addWidget(unit, 2, 5);
  unitLabel->hide();
  unit->hide();
  root->addWidget(dec);

  auto* print = new QGroupBox(T("打印设置"), this);
  auto* pg = new QGridLayout(print);
  pg->addWidget(check(t::kSetPadRows, "打印表格添加空行适应纸高"), 0, 0, 1, 8);
  pg->addWidget(check(t::kSetFitWidth, "打印表格宽度适应纸宽"), 1, 0, 1, 8);
  pg->addWidget(label("页边距(mm)"), 2, 0, 1, 8);
  labelled(pg, t::kSetMarginLeft, 3, 0);
  labelled(pg, t::kSetMarginRight, 3, 2);
  labelled(pg, t::kSetMarginTop, 3, 4);
  labelled(pg, t::kSetMarginBottom, 3, 6);
  root->addWidget(print);

  root->addLayout(table_ui::OkCancelRow(this, [this] { return TryAccept(); }));
}

void CTableSetDlg::Load() {
  for (const t::TableSetEdit& e : t::CTableSetForm::kEdits)
    static_cast<QLineEdit*>(Control(e.id))->setText(QString::fromStdString(form_.Text(e.id)));
  static_cast<QComboBox*>(Control(t::kSetLinesAbove))->setCurrentIndex(form_.linesAbove);
  static_cast<QComboBox*>(Control(t::kSetLineBelow))->setCurrentIndex(form_.lineBelow);
  static_cast<QComboBox*>(Control(t::kSetAngleUnit))->setCurrentIndex(form_.angleUnit);
  static_cast<QCheckBox*>(Control(t::kSetPadRows))->setChecked(form_.padRows);
  static_cast<QCheckBox*>(Control(t::kSetFitWidth))->setChecked(form_.fitWidth);
}

bool CTableSetDlg::TryAccept() {
  t::CTableSetForm f = form_;
  auto refuse = [this](int id, const std::string& why) {
    platform::Messages().ShowMessage(why);
    if (auto* e = qobject_cast<QLineEdit*>(Control(id))) {
      e->setFocus();
      e->selectAll();
    }
    return false;
  };
  for (const t::TableSetEdit& e : t::CTableSetForm::kEdits) {
    if (e.hidden) continue;  // keeps the value passed in
    const std::string text = static_cast<QLineEdit*>(Control(e.id))->text().toStdString();
    // An edit still showing its value keeps it whole (a print height of more
    // decimals than the six shown); its range is checked all the same.
    if (text == form_.Text(e.id)) continue;
    const std::string why = f.SetText(e.id, text);
    if (!why.empty()) return refuse(e.id, why);
  }
  int failed = 0;
  const std::string why = f.Validate(&failed);
  if (!why.empty()) return refuse(failed, why);
  // A list without a choice (never in practice) keeps the value passed in.
  auto index = [this](int id, int keep) {
    const int i = static_cast<QComboBox*>(Control(id))->currentIndex();
    return i < 0 ? keep : i;
  };
  f.linesAbove = index(t::kSetLinesAbove, f.linesAbove);
  f.lineBelow = index(t::kSetLineBelow, f.lineBelow);
  f.angleUnit = index(t::kSetAngleUnit, f.angleUnit);
  f.padRows = static_cast<QCheckBox*>(Control(t::kSetPadRows))->isChecked();
  f.fitWidth = static_cast<QCheckBox*>(Control(t::kSetFitWidth))->isChecked();
  form_ = f;
  return true;
}
