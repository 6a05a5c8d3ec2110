#include "table/ui/text_progress.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent) : QWidget(parent) {
  const QPalette& pal = QApplication::palette();
  bar_ = pal.color(QPalette::Highlight);
  background_ = pal.color(QPalette::Base);
  textOnBackground_ = pal.color(QPalette::Highlight);
  textOnBar_ = pal.color(QPalette::Base);
}

double CTextProgressCtrl::Fraction() const {
  if (lower_ >= upper_) return 0.0;
  double f = double(pos_ - lower_) / double(upper_ - lower_);
  return std::clamp(f, 0.0, 1.0);
}

int CTextProgressCtrl::BarWidth() const { return int(width() * Fraction()); }

QString CTextProgressCtrl::ShownText() const {
  if (!text_.isEmpty()) return text_;
  return QStringLiteral("%1%").arg(int(Fraction() * 100));
}

int CTextProgressCtrl::SetPos(int pos) {
  int old = pos_;
  // Beyond the range the bar would overflow the control and the percentage pass 100.
  pos_ = lower_ < upper_ ? std::clamp(pos, lower_, upper_) : pos;
  if (BarWidth() != lastBarWidth_) update();
  return old;
}

void CTextProgressCtrl::SetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  if (lower_ < upper_) pos_ = std::clamp(pos_, lower_, upper_);
}

void CTextProgressCtrl::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void CTextProgressCtrl::SetShowText(bool show) {
  if (show == showText_) return;
  showText_ = show;
  update();
}

void CTextProgressCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  lastBarWidth_ = -1;
}

void CTextProgressCtrl::paintEvent(QPaintEvent*) {
  if (lower_ >= upper_) return;
  QPainter p(this);
  const QRect r = rect();
  const int bw = BarWidth();
  lastBarWidth_ = bw;
  QRect barPart(r.left(), r.top(), bw, r.height());
  QRect rest(r.left() + bw, r.top(), r.width() - bw, r.height());
  p.fillRect(r, Qt::white);
  p.fillRect(barPart, bar_);
  p.fillRect(rest, background_);
  if (!showText_) return;
  const QString t = ShownText();
  p.setFont(QApplication::font());
  p.setClipRect(barPart);
  p.setPen(textOnBar_);
  p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, t);
  p.setClipRect(rest);
  p.setPen(textOnBackground_);
  p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, t);
}
