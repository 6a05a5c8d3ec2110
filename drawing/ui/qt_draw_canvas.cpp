#include "drawing/ui/qt_draw_canvas.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <vector>

#include "table/ui/ui_scale.h"

namespace drawing_ui {

QColor ToQColor(drawing::Colour c) {
  const drawing::Rgb rgb = c.Resolve();
  return QColor(rgb.r, rgb.g, rgb.b);
}

QPen ToQPen(const drawing::Pen& pen) {
  QPen q(ToQColor(pen.colour));
  q.setWidthF(pen.width > 0 ? pen.width : 0.0);
  q.setCosmetic(pen.width <= 0);
  q.setCapStyle(Qt::FlatCap);
  q.setJoinStyle(Qt::MiterJoin);
  if (pen.dash == drawing::Dash::Solid) return q;
  // The dash patterns of the old device pens, in screen pixels, scaled to the
  // device; QPen counts pattern lengths in pen widths.
  QList<qreal> pattern;
  switch (pen.dash) {
    case drawing::Dash::Dash: pattern = {18, 6}; break;
    case drawing::Dash::Dot: pattern = {3, 3}; break;
    case drawing::Dash::DashDot: pattern = {9, 6, 3, 6}; break;
    case drawing::Dash::DashDotDot: pattern = {9, 3, 3, 3, 3, 3}; break;
    case drawing::Dash::Solid: break;
  }
  const double w = pen.width > 0 ? pen.width : 1.0;
  const double unit = (pen.dashUnit > 0 ? pen.dashUnit : 1.0) / w;
  for (auto& v : pattern) v *= unit;
  q.setDashPattern(pattern);
  return q;
}

namespace {

QPointF Q(drawing::DPoint p) { return QPointF(p.x, p.y); }

QRectF Q(const drawing::DRect& r) { return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)).normalized(); }

QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

QtDrawCanvas::QtDrawCanvas(QPainter& painter) : p_(painter) {
  p_.setBrush(Qt::NoBrush);
  p_.setPen(QPen(Qt::black, 0));
}

void QtDrawCanvas::SetPen(const drawing::Pen& pen) { p_.setPen(ToQPen(pen)); }

void QtDrawCanvas::Line(drawing::DPoint a, drawing::DPoint b) { p_.drawLine(Q(a), Q(b)); }

void QtDrawCanvas::Polyline(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 2) return;
  QPolygonF poly;
  poly.reserve(qsizetype(n));
  for (std::size_t i = 0; i < n; ++i) poly << Q(pts[i]);
  p_.drawPolyline(poly);
}

void QtDrawCanvas::Polygon(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 2) return;
  QPolygonF poly;
  for (std::size_t i = 0; i < n; ++i) poly << Q(pts[i]);
  p_.setBrush(Qt::NoBrush);
  p_.drawPolygon(poly);
}

void QtDrawCanvas::Bezier(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 4) return;
  QPainterPath path(Q(pts[0]));
  for (std::size_t i = 1; i + 2 < n; i += 3) path.cubicTo(Q(pts[i]), Q(pts[i + 1]), Q(pts[i + 2]));
  p_.setBrush(Qt::NoBrush);
  p_.drawPath(path);
}

void QtDrawCanvas::Circle(drawing::DPoint c, double r) {
  p_.setBrush(Qt::NoBrush);
  p_.drawEllipse(Q(c), r, r);
}

void QtDrawCanvas::Pixel(drawing::DPoint p, drawing::Colour c) {
  p_.fillRect(QRectF(std::floor(p.x), std::floor(p.y), 1, 1), ToQColor(c));
}

void QtDrawCanvas::FillRect(const drawing::DRect& r, drawing::Colour c) { p_.fillRect(Q(r), ToQColor(c)); }

const QFont& QtDrawCanvas::FontFor(const drawing::TextStyle& style) {
  const long h = std::lround(std::max(1.0, style.height) * 16);  // 1/16 device unit steps
  auto key = std::make_pair(int(style.face), h);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    QFont f = style.face == drawing::Face::Gui ? QApplication::font() : MakeUiFont(12);
    f.setPixelSize(std::max(1, int(std::lround(style.height))));
    it = fonts_.emplace(key, f).first;
  }
  return it->second;
}

void QtDrawCanvas::Text(drawing::DPoint at, std::string_view utf8, const drawing::TextStyle& style) {
  if (utf8.empty()) return;
  const QString text = Utf8(utf8);
  const QFont& font = FontFor(style);
  const QFontMetricsF fm(font, p_.device());
  const double w = fm.horizontalAdvance(text);
  double dx = 0, dy = 0;  // from the anchor to the baseline start
  switch (style.anchor) {
    case drawing::Anchor::TopLeft: dy = fm.ascent(); break;
    case drawing::Anchor::TopCenter: dx = -w / 2; dy = fm.ascent(); break;
    case drawing::Anchor::Center: dx = -w / 2; dy = (fm.ascent() - fm.descent()) / 2; break;
    case drawing::Anchor::BaselineLeft: break;
    case drawing::Anchor::BottomLeft: dy = -fm.descent(); break;
  }
  p_.save();
  p_.setFont(font);
  p_.setPen(ToQColor(style.colour));
  p_.translate(Q(at));
  if (style.angle != 0) p_.rotate(-style.angle);
  p_.drawText(QPointF(dx, dy), text);
  p_.restore();
}

void QtDrawCanvas::TextBox(const drawing::DRect& r, std::string_view utf8, const drawing::TextStyle& style) {
  if (utf8.empty()) return;
  int flags = style.anchor == drawing::Anchor::Center ? (Qt::AlignCenter | Qt::TextSingleLine)
                                                     : (Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
  p_.save();
  p_.setFont(FontFor(style));
  p_.setPen(ToQColor(style.colour));
  p_.drawText(Q(r), flags, Utf8(utf8));
  p_.restore();
}

void QtDrawCanvas::SetClip(const drawing::DRect& r) { p_.setClipRect(Q(r)); }

void QtDrawCanvas::ResetClip() { p_.setClipping(false); }

}  // namespace drawing_ui
