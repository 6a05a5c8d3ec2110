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

QtDrawCanvas::QtDrawCanvas(QPainter& painter) : p_(painter), shapePen_(Qt::black, 0) {
  p_.setBrush(Qt::NoBrush);
  p_.setPen(shapePen_);
}

// The renderer sets a layer's pen for every element; the same pen is not built again.
void QtDrawCanvas::SetPen(const drawing::Pen& pen) {
  const bool same = hasPen_ && lastPen_.colour.Resolve() == pen.colour.Resolve() &&
                    lastPen_.width == pen.width && lastPen_.dash == pen.dash && lastPen_.dashUnit == pen.dashUnit;
  if (!same) {
    lastPen_ = pen;
    hasPen_ = true;
    shapePen_ = ToQPen(pen);
    painterPen_ = PainterPen::Other;
  }
  UseShapePen();
}

void QtDrawCanvas::Line(drawing::DPoint a, drawing::DPoint b) {
  UseShapePen();
  p_.drawLine(Q(a), Q(b));
}

void QtDrawCanvas::Polyline(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 2) return;
  UseShapePen();
  QPolygonF poly;
  poly.reserve(qsizetype(n));
  for (std::size_t i = 0; i < n; ++i) poly << Q(pts[i]);
  p_.drawPolyline(poly);
}

void QtDrawCanvas::Polygon(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 2) return;
  UseShapePen();
  QPolygonF poly;
  poly.reserve(qsizetype(n));
  for (std::size_t i = 0; i < n; ++i) poly << Q(pts[i]);
  p_.drawPolygon(poly);
}

void QtDrawCanvas::Bezier(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 4) return;
  UseShapePen();
  QPainterPath path(Q(pts[0]));
  for (std::size_t i = 1; i + 2 < n; i += 3) path.cubicTo(Q(pts[i]), Q(pts[i + 1]), Q(pts[i + 2]));
  p_.drawPath(path);
}

void QtDrawCanvas::Circle(drawing::DPoint c, double r) {
  UseShapePen();
  p_.drawEllipse(Q(c), r, r);
}

void QtDrawCanvas::Pixel(drawing::DPoint p, drawing::Colour c) {
  p_.fillRect(QRectF(std::floor(p.x), std::floor(p.y), 1, 1), ToQColor(c));
}

void QtDrawCanvas::FillRect(const drawing::DRect& r, drawing::Colour c) { p_.fillRect(Q(r), ToQColor(c)); }

const QtDrawCanvas::FontEntry& QtDrawCanvas::FontFor(const drawing::TextStyle& style) {
  const long h = std::lround(std::max(1.0, style.height) * 16);  // 1/16 device unit steps
  auto key = std::make_pair(int(style.face), h);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    FontEntry e;
    e.font = style.face == drawing::Face::Gui ? QApplication::font() : MakeUiFont(12);
    e.font.setPixelSize(std::max(1, int(std::lround(style.height))));
    const QFontMetricsF fm(e.font, p_.device());
    e.ascent = fm.ascent();
    e.descent = fm.descent();
    e.raw = QRawFont::fromFont(e.font);
    it = fonts_.emplace(key, e).first;
  }
  return it->second;
}

void QtDrawCanvas::UseFont(const FontEntry& f) {
  if (font_ == &f) return;
  p_.setFont(f.font);
  font_ = &f;
}

void QtDrawCanvas::UseTextColour(drawing::Colour c) {
  const QRgb rgb = ToQColor(c).rgb();
  if (painterPen_ == PainterPen::Text && rgb == textRgb_) return;
  p_.setPen(QColor::fromRgb(rgb));
  painterPen_ = PainterPen::Text;
  textRgb_ = rgb;
}

// Labels are names and numbers on one line: their glyphs placed by their advances
// look as the full layout would, and a frame of some ten thousand labels costs a
// fraction of it.
bool QtDrawCanvas::Glyphs(const FontEntry& f, const QString& text, QGlyphRun* run, double* width) {
  if (!f.raw.isValid()) return false;
  const QList<quint32> glyphs = f.raw.glyphIndexesForString(text);
  if (glyphs.isEmpty() || glyphs.contains(0u)) return false;
  const QList<QPointF> advances = f.raw.advancesForGlyphIndexes(glyphs);
  QList<QPointF> positions;
  positions.reserve(glyphs.size());
  double x = 0;
  for (const QPointF& a : advances) {
    positions.append(QPointF(x, 0));
    x += a.x();
  }
  run->setRawFont(f.raw);
  run->setGlyphIndexes(glyphs);
  run->setPositions(positions);
  *width = x;
  return true;
}

void QtDrawCanvas::Text(drawing::DPoint at, std::string_view utf8, const drawing::TextStyle& style) {
  if (utf8.empty()) return;
  const QString text = Utf8(utf8);
  const FontEntry& f = FontFor(style);
  UseFont(f);
  UseTextColour(style.colour);
  QGlyphRun run;
  double w = 0;
  const bool glyphs = style.angle == 0 && Glyphs(f, text, &run, &w);
  if (!glyphs && (style.anchor == drawing::Anchor::TopCenter || style.anchor == drawing::Anchor::Center))
    w = QFontMetricsF(f.font, p_.device()).horizontalAdvance(text);
  double dx = 0, dy = 0;  // from the anchor to the baseline start
  switch (style.anchor) {
    case drawing::Anchor::TopLeft: dy = f.ascent; break;
    case drawing::Anchor::TopCenter: dx = -w / 2; dy = f.ascent; break;
    case drawing::Anchor::Center: dx = -w / 2; dy = (f.ascent - f.descent) / 2; break;
    case drawing::Anchor::BaselineLeft: break;
    case drawing::Anchor::BottomLeft: dy = -f.descent; break;
  }
  if (glyphs) {
    p_.drawGlyphRun(QPointF(at.x + dx, at.y + dy), run);
  } else if (style.angle == 0) {
    p_.drawText(QPointF(at.x + dx, at.y + dy), text);
  } else {
    p_.save();
    p_.translate(Q(at));
    p_.rotate(-style.angle);
    p_.drawText(QPointF(dx, dy), text);
    p_.restore();
  }
}

void QtDrawCanvas::TextBox(const drawing::DRect& r, std::string_view utf8, const drawing::TextStyle& style) {
  if (utf8.empty()) return;
  int flags = style.anchor == drawing::Anchor::Center ? (Qt::AlignCenter | Qt::TextSingleLine)
                                                     : (Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
  UseFont(FontFor(style));
  UseTextColour(style.colour);
  p_.drawText(Q(r), flags, Utf8(utf8));
}

void QtDrawCanvas::SetClip(const drawing::DRect& r) { p_.setClipRect(Q(r)); }

void QtDrawCanvas::ResetClip() { p_.setClipping(false); }

}  // namespace drawing_ui
