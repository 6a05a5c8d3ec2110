#include "table/ui/qt_canvas.h"

#include <QApplication>
#include <QPolygon>

#include "table/ui/ui_scale.h"

namespace table_ui {

QColor ToQColor(table::Color c) { return QColor(c.r, c.g, c.b); }

QRect ToQRect(const table::Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QFont ToQFont(const table::Font& f) {
  if (f.role == table::FontRole::Gui) {
    QFont g = QApplication::font();
    if (f.pixelHeight > 0) g.setPixelSize(f.pixelHeight);
    return g;
  }
  return MakeUiFont(f.pixelHeight, f.weight);
}

void QtCanvas::FillRect(const table::Rect& r, table::Color c) {
  if (r.IsEmpty()) return;
  p_.fillRect(ToQRect(r), ToQColor(c));
}

void QtCanvas::Line(int x1, int y1, int x2, int y2, table::Color c, int width) {
  // A pen line of the old device context stops one pixel short of its end point;
  // drawing it as a filled band keeps every grid line exactly where the layout put it.
  const QColor col = ToQColor(c);
  const int w = std::max(1, width);
  const int off = (w - 1) / 2;
  if (y1 == y2) {
    int a = std::min(x1, x2), b = std::max(x1, x2);
    if (b == a) b = a + 1;
    p_.fillRect(QRect(a, y1 - off, b - a, w), col);
  } else if (x1 == x2) {
    int a = std::min(y1, y2), b = std::max(y1, y2);
    if (b == a) b = a + 1;
    p_.fillRect(QRect(x1 - off, a, w, b - a), col);
  } else {
    p_.save();
    p_.setPen(QPen(col, w, Qt::SolidLine, Qt::FlatCap));
    p_.drawLine(x1, y1, x2, y2);
    p_.restore();
  }
}

void QtCanvas::FillPolygon(const table::Point* pts, int count, table::Color c) {
  if (!pts || count < 3) return;
  QPolygon poly;
  for (int i = 0; i < count; ++i) poly << QPoint(pts[i].x, pts[i].y);
  p_.save();
  p_.setPen(Qt::NoPen);
  p_.setBrush(ToQColor(c));
  p_.drawPolygon(poly);
  p_.restore();
}

void QtCanvas::SetFont(const table::Font& f) {
  auto key = std::make_tuple(int(f.role), f.pixelHeight, f.weight);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) it = fonts_.emplace(key, ToQFont(f)).first;
  p_.setFont(it->second);
}

void QtCanvas::DrawText(const table::Rect& r, std::string_view utf8, const table::TextStyle& style) {
  if (utf8.empty() || r.IsEmpty()) return;
  const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
  int flags = 0;
  switch (style.align) {
    case table::HAlign::Left: flags |= Qt::AlignLeft; break;
    case table::HAlign::Center: flags |= Qt::AlignHCenter; break;
    case table::HAlign::Right: flags |= Qt::AlignRight; break;
  }
  if (style.wrap) flags |= Qt::TextWordWrap | Qt::AlignTop;
  else if (style.vcenter) flags |= Qt::AlignVCenter | Qt::TextSingleLine;
  else flags |= Qt::AlignTop | Qt::TextSingleLine;
  const QRect qr = ToQRect(r);
  if (style.opaque) {
    QRect extent = p_.boundingRect(qr, flags, text).intersected(qr);
    p_.fillRect(extent, ToQColor(style.background));
  }
  p_.setPen(ToQColor(style.color));
  p_.drawText(qr, flags, text);
}

void QtCanvas::SetClip(const table::Rect& r) { p_.setClipRect(ToQRect(r)); }

void QtCanvas::ResetClip() { p_.setClipping(false); }

}  // namespace table_ui
