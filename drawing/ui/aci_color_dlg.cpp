#include "drawing/ui/aci_color_dlg.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "drawing/aci_color.h"
#include "drawing/draw_settings.h"
#include "platform/ports.h"

namespace drawing_ui {
namespace {

QColor Aci(int i) {
  const drawing::Rgb c = drawing::GetAciColor(i);
  return QColor(c.r, c.g, c.b);
}

constexpr int kMainWidth = 480;      // "主颜色区"
constexpr int kStandardWidth = 240;  // "标准颜色区"

}  // namespace

CAciColorDlg::CAciColorDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("选择颜色"));
  auto* lay = new QVBoxLayout(this);
  area_ = new QWidget(this);
  area_->setObjectName(QStringLiteral("aciArea"));
  area_->setMouseTracking(true);
  area_->installEventFilter(this);
  lay->addWidget(area_);
  auto* info = new QHBoxLayout;
  indexLabel_ = new QLabel(QString::fromUtf8("索引颜色："), this);
  rgbLabel_ = new QLabel(QString::fromUtf8("RGB：") + QString(13, ' '), this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("edit1011"));
  edit_->setValidator(new QIntValidator(0, 999, edit_));
  edit_->setMaximumWidth(60);
  info->addWidget(indexLabel_);
  info->addWidget(rgbLabel_);
  info->addStretch();
  info->addWidget(new QLabel(QString::fromUtf8("颜色："), this));
  info->addWidget(edit_);
  lay->addLayout(info);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  lay->addWidget(box);
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& t) {
    const int i = t.toInt();
    if (i >= 1 && i <= 255) {
      current_ = i;
      area_->update();
    }
  });
  Layout();
  SetIndex(7, 7);
}

void CAciColorDlg::Layout() {
  cells_.assign(256, QRect());
  const int cell = kMainWidth / 24;
  const int gap = kMainWidth / 48;
  const int top = 8, left = 8;
  for (int col = 0; col < 24; ++col) {
    const int base = 10 * (col + 1);
    const int x = left + col * cell;
    const int upper[5] = {8, 6, 4, 2, 0}, lower[5] = {1, 3, 5, 7, 9};
    for (int r = 0; r < 5; ++r) cells_[base + upper[r]] = QRect(x, top + r * cell, cell - 1, cell - 1);
    for (int r = 0; r < 5; ++r) cells_[base + lower[r]] = QRect(x, top + 5 * cell + gap + r * cell, cell - 1, cell - 1);
  }
  const int stdTop = top + 10 * cell + gap + 16;
  const int sc = kStandardWidth / 10;
  for (int i = 1; i <= 9; ++i) cells_[i] = QRect(left + (i - 1) * sc, stdTop, sc - 1, sc - 1);
  for (int i = 250; i <= 255; ++i) cells_[i] = QRect(left + (i - 250) * sc, stdTop + sc * 4 / 3, sc - 1, sc - 1);
  // The swatches wide enough for their captions in the interface font, the
  // captions on a line of their own below them.
  const QFontMetrics fm(area_->font());
  const int textWidth = std::max(fm.horizontalAdvance(QString::fromUtf8("旧颜色")),
                                 fm.horizontalAdvance(QString::fromUtf8("新颜色")));
  const int swatch = std::max(60, textWidth + 4);
  oldRect_ = QRect(left + kStandardWidth + 24, stdTop, swatch, sc * 7 / 3);
  newRect_ = oldRect_.translated(swatch + 10, 0);
  oldCaption_ = QRect(oldRect_.left(), oldRect_.bottom() + 3, swatch, fm.height());
  newCaption_ = oldCaption_.translated(swatch + 10, 0);
  area_->setFixedSize(std::max(left * 2 + kMainWidth, newRect_.right() + left), oldCaption_.bottom() + 1 + 6);
}

QRect CAciColorDlg::CaptionRect(bool old) const { return old ? oldCaption_ : newCaption_; }

void CAciColorDlg::SetIndex(int current, int old) {
  current_ = (current >= 1 && current <= 255) ? current : 7;
  old_ = (old >= 0 && old <= 255) ? old : 7;
  edit_->setText(QString::number(current_));
  area_->update();
}

QRect CAciColorDlg::CellOf(int index) const {
  if (index < 1 || index > 255) return QRect();
  return cells_[static_cast<std::size_t>(index)];
}

int CAciColorDlg::IndexAt(const QPoint& p) const {
  for (int i = 1; i <= 255; ++i)
    if (!cells_[static_cast<std::size_t>(i)].isNull() && cells_[static_cast<std::size_t>(i)].contains(p)) return i;
  return 0;
}

QString CAciColorDlg::HoverIndexText() const { return indexLabel_->text(); }
QString CAciColorDlg::HoverRgbText() const { return rgbLabel_->text(); }

void CAciColorDlg::Hover(int index) {
  if (index == hover_) return;
  hover_ = index;
  if (index == 0) {
    indexLabel_->setText(QString::fromUtf8("索引颜色："));
    rgbLabel_->setText(QString::fromUtf8("RGB：") + QString(13, ' '));
  } else {
    const drawing::Rgb c = drawing::GetAciColor(index);
    indexLabel_->setText(QString::fromUtf8("索引颜色：%1").arg(index));
    rgbLabel_->setText(QString::asprintf("RGB：(%3d,%3d,%3d)", c.r, c.g, c.b));
  }
  area_->update();
}

void CAciColorDlg::Pick(int index) {
  if (index < 1) return;
  current_ = index;
  edit_->setText(QString::number(index));
  area_->update();
}

void CAciColorDlg::accept() {
  const int i = edit_->text().toInt();
  if (i < 1 || i > 255) {
    platform::Messages().ShowMessage(drawing::RangeText(1, 255));
    edit_->setFocus();
    return;
  }
  current_ = i;
  QDialog::accept();
}

bool CAciColorDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched != area_) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Paint: {
      QPainter p(area_);
      p.fillRect(area_->rect(), palette().window());
      for (int i = 1; i <= 255; ++i) {
        const QRect r = CellOf(i);
        if (!r.isNull()) p.fillRect(r, Aci(i));
      }
      p.fillRect(oldRect_, Aci(old_));
      p.fillRect(newRect_, Aci(current_));
      p.setPen(Qt::black);
      p.drawText(oldCaption_, Qt::AlignHCenter | Qt::AlignTop, QString::fromUtf8("旧颜色"));
      p.drawText(newCaption_, Qt::AlignHCenter | Qt::AlignTop, QString::fromUtf8("新颜色"));
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(Qt::black, 2));
      p.drawRect(CellOf(current_).adjusted(-2, -2, 2, 2));
      if (hover_ > 0) {
        p.setPen(QPen(Qt::white, 2));
        p.drawRect(CellOf(hover_).adjusted(-2, -2, 2, 2));
      }
      return true;
    }
    case QEvent::MouseMove:
      Hover(IndexAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
      return true;
    case QEvent::Leave:
      Hover(0);
      return true;
    case QEvent::MouseButtonPress:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        Pick(IndexAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
      return true;
    default: return QDialog::eventFilter(watched, event);
  }
}

}  // namespace drawing_ui
