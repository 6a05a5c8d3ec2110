#include "table/ui/button_st.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "platform/gbk.h"
#include "table/ui/ui_scale.h"

namespace {
// Windows' classic system colours, which the bar was designed against.
const QColor kBtnShadow(160, 160, 160);
const QColor kBtnHighlight(255, 255, 255);
const QColor k3dLight(227, 227, 227);
const QColor k3dDkShadow(105, 105, 105);

void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c) {
  p.setPen(QPen(c, 1));
  p.drawLine(x1, y1, x2, y2);
}
}  // namespace

CButtonST::CButtonST(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  SetActiveBgColor(false);
  SetActiveFgColor(false);
  SetInactiveBgColor(false);
  SetInactiveFgColor(false);
  setFont(g_fontUI);
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_Hover, true);
  setFocusPolicy(Qt::StrongFocus);
}

void CButtonST::SetIcon(const QIcon& icon, int width, int height) {
  icon_ = icon;
  hasIcon_ = !icon.isNull();
  iconW_ = width & 0xff;
  iconH_ = height & 0xff;
  repaint();
}

void CButtonST::SetAlign(int align) { align_ = align; update(); }
void CButtonST::SetShowText(bool show) { showText_ = show; update(); }
void CButtonST::SetFlat(bool flat) { flat_ = flat; if (!flat) hovered_ = false; update(); }
void CButtonST::SetDrawBorder(bool border) { drawBorder_ = border; update(); }
void CButtonST::SetFlatFocus(bool focus) { flatFocus_ = focus; update(); }

void CButtonST::SetActiveBgColor(bool repaint) { activeBg_ = QColor(243, 243, 239); if (repaint) update(); }
void CButtonST::SetActiveFgColor(bool repaint) { activeFg_ = QColor(255, 0, 0); if (repaint) update(); }
void CButtonST::SetInactiveBgColor(bool repaint) {
  inactiveBg_ = g_clrBtnFace;
  if (repaint) update();
}
void CButtonST::SetInactiveFgColor(bool repaint) {
  inactiveFg_ = QColor(0, 0, 0);
  if (repaint) update();
}

int CButtonST::IconSizeFor(int charHeight) {
  if (charHeight >= 48) return 48;
  if (charHeight >= 32) return 32;
  if (charHeight >= 24) return 24;
  return 16;
}

bool CButtonST::CaptionShown() const {
  if (!showText_) return false;
  QString cap = text();
  if (cap.isEmpty()) return false;
  if (hasIcon_) {
    int need = iconW_ + platform::GbkWidth(cap.toUtf8().toStdString()) * g_nCharHeight / 2 + 4;
    if (width() < need) return false;
  }
  return true;
}

QSize CButtonST::sizeHint() const { return QSize(78, std::max(20, g_nRowHeight - 2)); }

void CButtonST::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  if (!flat_) return;
  if ((QApplication::mouseButtons() & Qt::LeftButton) && !hovered_) return;
  hovered_ = true;
  update();
}

void CButtonST::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  if (hovered_) {
    hovered_ = false;
    update();
  }
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  if (flat_ && hovered_) {
    hovered_ = false;
    update();
  }
}

void CButtonST::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool pressed = isDown() || (isCheckable() && isChecked());
  const bool disabled = !isEnabled();
  const bool focused = hasFocus();
  QRect r = rect();

  if (!flat_ && focused) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  p.fillRect(r, (hovered_ || pressed) ? activeBg_ : inactiveBg_);

  const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
  if (!flat_) {
    if (pressed) {
      p.setPen(QPen(kBtnShadow, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      Line(p, l, t, rt, t, kBtnHighlight);
      Line(p, l, t, l, b, kBtnHighlight);
      Line(p, l + 1, t + 1, rt - 1, t + 1, k3dLight);
      Line(p, l + 1, t + 1, l + 1, b - 1, k3dLight);
      Line(p, l, b, rt, b, k3dDkShadow);
      Line(p, rt, t, rt, b, k3dDkShadow);
      Line(p, l + 1, b - 1, rt - 1, b - 1, kBtnShadow);
      Line(p, rt - 1, t + 1, rt - 1, b - 1, kBtnShadow);
    }
  } else if (drawBorder_ && (pressed || hovered_)) {
    const QColor tl = pressed ? kBtnShadow : kBtnHighlight;
    const QColor br = pressed ? kBtnHighlight : kBtnShadow;
    Line(p, l, t, rt, t, tl);
    Line(p, l, t, l, b, tl);
    Line(p, l, b, rt, b, br);
    Line(p, rt, t, rt, b, br);
  }

  const bool caption = CaptionShown();
  QRect capRect = r;
  if (hasIcon_) {
    const int s = IconSizeFor(g_nCharHeight);
    iconW_ = iconH_ = s;
    DrawTheIcon(p, caption, r, &capRect, pressed, disabled);
  }

  if (caption) {
    if (pressed) capRect.translate(1, 1);
    p.setFont(g_fontUI);
    QColor fg = (hovered_ || pressed) ? activeFg_ : inactiveFg_;
    if (disabled) fg = kBtnShadow;
    p.setPen(fg);
    p.drawText(capRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text());
  }

  if (focused && (!flat_ || flatFocus_)) {
    QStyleOptionFocusRect opt;
    opt.initFrom(this);
    opt.rect = rect().adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
  }
}

void CButtonST::DrawTheIcon(QPainter& p, bool hasCaption, const QRect& item, QRect* caption, bool pressed,
                            bool disabled) {
  const int w = iconW_, h = iconH_;
  QRect ir(0, 0, w, h);
  if (align_ == 0) {
    int x = hasCaption ? item.left() + 3 : item.left() + (item.width() - w) / 2;
    ir.moveTo(x, item.top() + (item.height() - h) / 2);
    if (hasCaption) caption->setLeft(item.left() + w + 3);
  } else if (align_ == 1) {
    int x = item.left() + (item.width() - w) / 2;
    int y = hasCaption ? item.top() : item.top() + (item.height() - h) / 2;
    ir.moveTo(x, y);
    if (hasCaption) caption->setTop(item.top() + h);
  } else {
    ir.moveTo(item.topLeft());
  }
  if (pressed) ir.translate(1, 1);
  QPixmap pm = icon_.pixmap(QSize(w, h), disabled ? QIcon::Disabled : QIcon::Normal);
  p.drawPixmap(ir, pm);
}
