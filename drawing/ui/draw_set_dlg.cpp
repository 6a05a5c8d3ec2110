#include "drawing/ui/draw_set_dlg.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <cmath>
#include <iterator>
#include <QVBoxLayout>

#include "drawing/aci_color.h"
#include "drawing/draw_view.h"
#include "drawing/ui/aci_color_dlg.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "table/ui/tips.h"
#include "table/ui/ui_scale.h"

namespace drawing_ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str()); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

const QColor kSelected(50, 50, 150);

// The sample of a style across a rectangle, in the old pens' look.
void StyleSample(QPainter& p, const QRect& r, int style, const QColor& colour) {
  QPen pen(colour);
  pen.setCapStyle(Qt::FlatCap);
  if (style >= 10) {
    pen.setWidth(std::max(1, style - 13));
  } else {
    pen.setWidth(1);
    switch (style) {
      case 1: pen.setDashPattern({6, 2}); break;
      case 2: pen.setDashPattern({1, 2}); break;
      case 3: pen.setDashPattern({4, 2, 1, 2}); break;
      case 4: pen.setDashPattern({4, 2, 1, 2, 1, 2}); break;
      default: break;
    }
  }
  p.setPen(pen);
  const int y = r.center().y();
  const int right = style >= 10 ? r.right() - 34 : r.right() - 4;
  p.drawLine(r.left() + 4, y, right, y);
  if (style >= 10) {
    p.setPen(colour);
    p.drawText(r.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, Q(drawing::StyleWidthLabel(style)));
  }
}

class LayerDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor fg = selected ? Qt::white : Qt::black;
    p->save();
    p->fillRect(opt.rect, selected ? kSelected : QColor(Qt::white));
    p->setPen(QColor(200, 200, 200));
    p->drawRect(opt.rect.adjusted(0, 0, -1, -1));
    const QString text = index.data().toString();
    p->setPen(fg);
    switch (index.column()) {
      case 1: {  // on/off lamp
        const bool on = text == QLatin1String("1");
        const QRect lamp(opt.rect.left() + 4, opt.rect.center().y() - 7, 14, 14);
        p->setBrush(on ? QColor(250, 210, 40) : QColor(120, 120, 160));
        p->setPen(QColor(60, 60, 60));
        p->drawEllipse(lamp);
        break;
      }
      case 2: {  // swatch and number
        const int i = text.isEmpty() ? 7 : text.toInt();
        const drawing::Rgb c = drawing::GetAciColor(i);
        const int side = opt.rect.height() - 4;
        p->fillRect(QRect(opt.rect.left() + 2, opt.rect.top() + 2, side, side), QColor(c.r, c.g, c.b));
        p->setPen(fg);
        p->drawText(opt.rect.adjusted(side + 8, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QString::number(i));
        break;
      }
      case 3: StyleSample(*p, opt.rect, text.toInt(), fg); break;
      default: p->drawText(opt.rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text); break;
    }
    p->restore();
  }
};

class PickDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
    const bool selected = opt.state & (QStyle::State_Selected | QStyle::State_MouseOver);
    p->save();
    p->fillRect(opt.rect, selected ? kSelected : QColor(Qt::white));
    StyleSample(*p, opt.rect, index.data().toString().toInt(), selected ? Qt::white : Qt::black);
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(150, 16); }
};

}  // namespace

CPickCombo::CPickCombo(QWidget* parent) : QComboBox(parent) {
  setObjectName(QStringLiteral("pick102"));
  for (int s : drawing::kPickStyles) addItem(QString::number(s));
  setItemDelegate(new PickDelegate(this));
  setFont(MakeUiFont(12));
  setMaxVisibleItems(int(std::size(drawing::kPickStyles)));  // the whole list drops down
  connect(this, &QComboBox::activated, this, [this](int i) { emit PickEnd(itemText(i)); });
  hide();
}

// The closed picker shows the chosen style as its line sample, as the list does.
void CPickCombo::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  opt.currentText.clear();
  opt.currentIcon = QIcon();
  p.drawComplexControl(QStyle::CC_ComboBox, opt);
  if (currentIndex() < 0) return;
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
  StyleSample(p, field, currentText().toInt(), Qt::black);
}

void CPickCombo::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (isVisible() && !view()->isVisible()) emit PickEnd(currentText());
}

CLayerList::CLayerList(QWidget* parent) : QTableWidget(parent) {
  setObjectName(QStringLiteral("list1010"));
  setItemDelegate(new LayerDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->hide();
  InsertLayerColumns();
  const int rowHeight = std::max(20, int(std::abs(g_nCharHeight * 1.5 + 2)));
  verticalHeader()->setDefaultSectionSize(rowHeight);
  picker_ = new CPickCombo(viewport());
  connect(picker_, &CPickCombo::PickEnd, this, &CLayerList::OnPickEnd);
  pickColour = [this](int current, int* chosen) {
    CAciColorDlg dlg(this);
    dlg.SetIndex(current, current);
    if (dlg.exec() != QDialog::Accepted) return false;
    *chosen = dlg.Index();
    return true;
  };
}

void CLayerList::InsertLayerColumns() {
  setColumnCount(4);
  setHorizontalHeaderLabels({QString::fromUtf8("图层名称"), QString::fromUtf8("开关"), QString::fromUtf8("颜色"),
                             QString::fromUtf8("线型")});
  const int widths[4] = {150, 80, 80, 150};
  for (int i = 0; i < 4; ++i) setColumnWidth(i, widths[i]);
}

void CLayerList::SetRows(const std::vector<drawing::DrawSettings::Row>& rows) {
  setRowCount(int(rows.size()));
  for (int r = 0; r < int(rows.size()); ++r) {
    const auto& row = rows[std::size_t(r)];
    const std::string cells[4] = {row.name, row.visible, row.colour, row.style};
    for (int c = 0; c < 4; ++c) setItem(r, c, new QTableWidgetItem(Q(cells[c])));
  }
}

std::vector<drawing::DrawSettings::Row> CLayerList::Rows() const {
  std::vector<drawing::DrawSettings::Row> rows;
  for (int r = 0; r < rowCount(); ++r) {
    auto text = [&](int c) { return item(r, c) ? S(item(r, c)->text()) : std::string(); };
    rows.push_back({text(0), text(1), text(2), text(3)});
  }
  return rows;
}

void CLayerList::ClickCell(int row, int column) {
  picker_->hide();
  if (row < 0 || row >= rowCount()) return;
  QTableWidgetItem* cell = item(row, column);
  if (!cell) return;
  switch (column) {
    case 1: cell->setText(cell->text() == QLatin1String("1") ? QStringLiteral("0") : QStringLiteral("1")); break;
    case 2: {
      const int current = cell->text().isEmpty() ? 7 : cell->text().toInt();
      int chosen = current;
      if (pickColour && pickColour(current, &chosen)) cell->setText(QString::number(chosen));
      break;
    }
    case 3: {
      const int v = cell->text().toInt();
      pickRow_ = row;
      // Over the cell, as wide as the column; its list drops down below it.
      picker_->setGeometry(visualItemRect(cell));
      picker_->setCurrentIndex(v < 11 ? v : v - 10);
      picker_->show();
      picker_->setFocus();
      break;
    }
    default: break;
  }
  viewport()->update();
}

void CLayerList::OnPickEnd(const QString& text) {
  if (pickRow_ >= 0 && pickRow_ < rowCount() && item(pickRow_, 3)) item(pickRow_, 3)->setText(text);
  picker_->hide();
  picker_->setCurrentIndex(-1);
  pickRow_ = -1;
  viewport()->update();
}

void CLayerList::mousePressEvent(QMouseEvent* event) {
  QTableWidget::mousePressEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && index.isValid()) ClickCell(index.row(), index.column());
}

CDrawSetDlg::CDrawSetDlg(const drawing::CDrawView& view, QWidget* parent)
    : QDialog(parent), values_(drawing::GetDrawSettings(view)) {
  setWindowTitle(QString::fromUtf8("图形设置"));
  auto T = [](const char* s) { return QString::fromUtf8(s); };
  auto* lay = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  fixedCheck = new QCheckBox(T("固定显示字高"), this);
  fixedCheck->setChecked(values_.fixedHeight);
  displayEdit = new QLineEdit(QString::number(values_.displayHeightMm), this);
  outputEdit = new QLineEdit(Q(platform::FormatRoundTrip(values_.outputHeightMm)), this);
  printEdit = new QLineEdit(Q(platform::FormatRoundTrip(values_.printScale)), this);
  ellipseEdit = new QLineEdit(Q(platform::FormatRoundTrip(values_.ellipseScale)), this);
  printLabel = new QLabel(T("打印比例：网图1："), this);
  knownCombo = new QComboBox(this);
  otherCombo = new QComboBox(this);
  for (const char* n : drawing::kSymbolNames) {
    knownCombo->addItem(T(n));
    otherCombo->addItem(T(n));
  }
  knownCombo->setCurrentIndex(std::clamp(values_.knownSymbol, 0, 3));
  otherCombo->setCurrentIndex(std::clamp(values_.otherSymbol, 0, 3));
  displayEdit->setToolTip(T("在图形中字体显示的大小。"));
  outputEdit->setToolTip(T("图形打印及输出到CAD中的字体大小。"));
  fixedCheck->setToolTip(T("固定字体显示大小，在便在任意比例下能看清点名。"));
  printEdit->setToolTip(T("图形打印及输出到CAD的比例。"));
  if (values_.drawingMode == drawing::kModeNetwork) {
    ellipseEdit->setToolTip(T("误差椭圆的比例。"));
  } else {
    ellipseEdit->setEnabled(false);
    printLabel->setText(T("打印比例　1："));
  }
  displayEdit->setEnabled(fixedCheck->isChecked());
  connect(fixedCheck, &QCheckBox::toggled, displayEdit, &QWidget::setEnabled);
  grid->addWidget(fixedCheck, 0, 0);
  grid->addWidget(displayEdit, 0, 1);
  grid->addWidget(new QLabel(T("输出字高(mm)"), this), 0, 2);
  grid->addWidget(outputEdit, 0, 3);
  grid->addWidget(printLabel, 1, 0);
  grid->addWidget(printEdit, 1, 1);
  grid->addWidget(new QLabel(T("误差椭圆1："), this), 1, 2);
  grid->addWidget(ellipseEdit, 1, 3);
  grid->addWidget(new QLabel(T("平面已知点类型："), this), 2, 0);
  grid->addWidget(knownCombo, 2, 1);
  grid->addWidget(new QLabel(T("其它点类型："), this), 2, 2);
  grid->addWidget(otherCombo, 2, 3);
  lay->addLayout(grid);
  lay->addWidget(new QLabel(T("图层管理：(关闭不需显示的内容或设置颜色、线型以便区分显示)"), this));
  list_ = new CLayerList(this);
  list_->SetRows(values_.layers);
  list_->setMinimumSize(480, 220);
  lay->addWidget(list_);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  lay->addWidget(box);
  tips::Install(this);
}

bool CDrawSetDlg::TakeValues() {
  drawing::DrawSettings v = values_;
  v.fixedHeight = fixedCheck->isChecked();
  // Text that is not one number ("2.5x", emptied) is refused, not read by its first
  // digits; a disabled field keeps its value.
  auto refuse = [](QLineEdit* edit, const char* why) {
    platform::Messages().ShowMessage(why);
    edit->setFocus();
    edit->selectAll();
    return false;
  };
  auto number = [&](QLineEdit* edit, double* out) {
    if (!edit->isEnabled()) return true;
    const auto x = platform::ReadNumber(S(edit->text()));
    if (!x) return refuse(edit, "请输入一个数。");
    *out = *x;
    return true;
  };
  double display = v.displayHeightMm;
  if (!number(displayEdit, &display) || !number(outputEdit, &v.outputHeightMm) || !number(printEdit, &v.printScale) ||
      !number(ellipseEdit, &v.ellipseScale))
    return false;
  if (display != std::floor(display) || std::fabs(display) > 1e9) return refuse(displayEdit, "请输入一个整数。");
  v.displayHeightMm = static_cast<int>(display);
  // A list still on what it showed keeps the value it stood for.
  if (knownCombo->currentIndex() != std::clamp(values_.knownSymbol, 0, 3)) v.knownSymbol = knownCombo->currentIndex();
  if (otherCombo->currentIndex() != std::clamp(values_.otherSymbol, 0, 3)) v.otherSymbol = otherCombo->currentIndex();
  v.layers = list_->Rows();
  if (!fixedCheck->isChecked()) v.displayHeightMm = values_.displayHeightMm;
  const std::string bad = drawing::CheckDrawSettings(v);
  if (!bad.empty()) {
    platform::Messages().ShowMessage(bad);
    return false;
  }
  values_ = v;
  return true;
}

void CDrawSetDlg::accept() {
  if (TakeValues()) QDialog::accept();
}

}  // namespace drawing_ui
