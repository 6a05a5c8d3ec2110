#include "table/ui/hyperlink.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ports.h"
#include "platform/services.h"

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
  setMouseTracking(true);
  ApplyFont();
  if (address_.isEmpty()) address_ = text;
  setToolTip(address_);
  Fit();
}

void CHyperLink::SetLinkAddress(const QString& address) {
  address_ = address;
  if (text().isEmpty()) setText(address);
  Fit();
  setToolTip(address_);
}

void CHyperLink::SetUnderlineFont(bool underline) {
  underline_ = underline;
  ApplyFont();
  update();
}

void CHyperLink::SetVisited(bool visited) {
  visited_ = visited;
  update();
}

void CHyperLink::SetAutoSize(bool fit) {
  fit_ = fit;
  Fit();
}

QColor CHyperLink::TextColour() const {
  if (hovered_) return kHoverColour;
  return visited_ ? kVisitedColour : kLinkColour;
}

void CHyperLink::ApplyFont() {
  QFont f = font();
  f.setUnderline(underline_);
  setFont(f);
}

void CHyperLink::Fit() {
  if (!fit_) return;
  QFontMetrics fm(font());
  QRect old = geometry();
  int w = fm.horizontalAdvance(text());
  int h = fm.height();
  int y = old.top();
  if (alignment() & Qt::AlignVCenter) y = old.center().y() - h / 2;
  int x = old.left();
  if (alignment() & Qt::AlignHCenter) x = old.center().x() - w / 2;
  else if (alignment() & Qt::AlignRight) x = old.right() + 1 - w;
  setGeometry(x, y, w, h);
}

void CHyperLink::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  p.setPen(TextColour());
  p.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}

void CHyperLink::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  hovered_ = true;
  repaint();
}

void CHyperLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  hovered_ = false;
  repaint();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
    OnClicked();
  }
}

void CHyperLink::OnClicked() {
  if (platform::Desktop().desktop->OpenWithDesktop(address_.toUtf8().toStdString())) {
    SetVisited(true);
    return;
  }
  platform::Messages().Beep();
  QString msg = QStringLiteral("Unable to open hyperlink:\n\n") + ErrorText(kNoAssociation);
  platform::Messages().ShowMessage(msg.toUtf8().toStdString(), platform::MsgIcon::Warning);
}

QString CHyperLink::ErrorText(int code) {
  switch (code) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
      return QStringLiteral(
          "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
  }
}
