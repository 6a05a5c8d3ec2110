#include "table/ui/text_progress.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>
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
  FitText();
  update();
}

// A line of text in the control's font, at least the bar's usual height.
QSize CTextProgressCtrl::sizeHint() const {
  return QSize(200, std::max(20, QFontMetrics(font()).height() + 2 * kTextMargin));
}

bool CTextProgressCtrl::TextFitsOneLine() const {
  return QFontMetrics(font()).horizontalAdvance(ShownText()) <= TextWidth();
}

int CTextProgressCtrl::TextWidth() const { return std::max(1, width() - 2 * kTextMargin); }

// A status longer than the bar wraps, and the bar grows to show every line of it.
void CTextProgressCtrl::FitText() {
  int need = 0;
  if (showText_ && !TextFitsOneLine())
    need = QFontMetrics(font())
               .boundingRect(QRect(0, 0, TextWidth(), 100000), Qt::AlignCenter | Qt::TextWordWrap, ShownText())
               .height() +
           2 * kTextMargin;
  if (need != minimumHeight()) setMinimumHeight(need);
}

void CTextProgressCtrl::SetShowText(bool show) {
  if (show == showText_) return;
  showText_ = show;
  FitText();
  update();
}

void CTextProgressCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  lastBarWidth_ = -1;
  if (event->size().width() != event->oldSize().width()) FitText();
}

void CTextProgressCtrl::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitText();
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
  const int flags = Qt::AlignCenter | (TextFitsOneLine() ? Qt::TextSingleLine : Qt::TextWordWrap);
  const QRect text = r.adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin);
  p.setFont(font());
  p.setClipRect(barPart);
  p.setPen(textOnBar_);
  p.drawText(text, flags, t);
  p.setClipRect(rest);
  p.setPen(textOnBackground_);
  p.drawText(text, flags, t);
}
