#include "drawing/ui/qt_draw_canvas.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
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

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// A stamped shape: its kind, the pen and the painter's anti-aliasing, and the
// outline in 1/16 device units from the whole pixel it is stamped at.
constexpr int kStampSteps = 16;
constexpr double kMaxStamp = 48;  // device units across, pen included
constexpr std::size_t kMaxStampPoints = 8;
using StampKey = std::array<std::int32_t, 8 + 2 * kMaxStampPoints>;

struct StampHash {
  std::size_t operator()(const StampKey& k) const {
    std::uint64_t h = 1469598103934665603ull;
    for (std::int32_t v : k) h = (h ^ std::uint32_t(v)) * 1099511628211ull;
    return std::size_t(h);
  }
};

struct StampImage {
  QImage image;
  QPoint offset;  // from the whole pixel to the image's corner
};

// Caps past which a cache starts again (a long session of zooming through many
// label heights).
constexpr std::size_t kMaxLayouts = 200000, kMaxStamps = 4096;

}  // namespace

struct QtDrawCanvas::FontEntry {
  QFont font;
  QRawFont raw;
  double ascent = 0, descent = 0;
  double stretch = 1;  // horizontal scale of the glyphs, to the asked half-width advance
  mutable std::unordered_map<std::string, Layout, TextHash, std::equal_to<>> layouts;
  mutable std::unordered_map<quint32, CoverageMask> masks;
  // Each character's glyph and advance, so that a new label needs no call into the face.
  struct Glyph {
    quint32 index = 0;
    double advance = 0;
  };
  mutable std::unordered_map<char32_t, Glyph> chars;
};

struct QtDrawCanvas::Cache::Impl {
  double dpiX = 0, dpiY = 0;  // the device the faces were measured on
  std::map<FontKey, FontEntry> fonts;
  std::size_t layouts = 0;
  // The labels of the last frame in the order they came: the next frame asks for
  // the same ones in the same order, so most are found without a look-up.
  struct Recent {
    const FontEntry* font = nullptr;
    std::string text;
    const Layout* layout = nullptr;
  };
  std::vector<Recent> recent;
  void ClearLayouts() {
    for (auto& [key, font] : fonts) font.layouts.clear();
    layouts = 0;
    recent.clear();
  }
  std::unordered_map<StampKey, StampImage, StampHash> stamps;
};

QtDrawCanvas::Cache::Cache() : d_(std::make_unique<Impl>()) {}
QtDrawCanvas::Cache::~Cache() = default;

QtDrawCanvas::QtDrawCanvas(QPainter& painter, Cache* cache)
    : p_(painter),
      own_(cache ? nullptr : std::make_unique<Cache>()),
      c_(*(cache ? cache : own_.get())->d_),
      shapePen_(Qt::black, 0) {
  p_.setBrush(Qt::NoBrush);
  p_.setPen(shapePen_);
  const QPaintDevice* dev = p_.device();
  if (dev && (c_.dpiX != dev->logicalDpiX() || c_.dpiY != dev->logicalDpiY())) {
    c_.ClearLayouts();
    c_.fonts.clear();
    c_.dpiX = dev->logicalDpiX();
    c_.dpiY = dev->logicalDpiY();
  }
  // Printers and PDF get every shape drawn as itself; a raster image is the screen.
  screen_ = p_.paintEngine() && p_.paintEngine()->type() == QPaintEngine::Raster && p_.transform().isIdentity();
  shapeAntialiasing_ = p_.testRenderHint(QPainter::Antialiasing);
  if (screen_) direct_.Attach(p_);
  lines_.reserve(1024);
}

bool QtDrawCanvas::DirectPen() const {
  return direct_.Attached() && shapeAntialiasing_ && shapePen_.isCosmetic() && shapePen_.style() == Qt::SolidLine &&
         shapePen_.color().alpha() == 255;
}

QtDrawCanvas::~QtDrawCanvas() {
  FlushLines();
  ShapeHints();
}

// On screen, labels are placed on whole pixels (the painter's anti-aliasing off:
// their glyphs stay smooth, and a frame of thousands of labels costs a third
// less); shapes keep the painter's own setting.
void QtDrawCanvas::TextHints() {
  if (!screen_ || textHints_ || !shapeAntialiasing_) return;
  p_.setRenderHint(QPainter::Antialiasing, false);
  textHints_ = true;
}

void QtDrawCanvas::ShapeHints() {
  if (!textHints_) return;
  p_.setRenderHint(QPainter::Antialiasing, true);
  textHints_ = false;
}

void QtDrawCanvas::FlushLines() {
  if (lines_.empty()) return;
  p_.drawLines(lines_.data(), int(lines_.size()));
  lines_.clear();
}

// The renderer sets a layer's pen for every element; the same pen is not built again.
void QtDrawCanvas::SetPen(const drawing::Pen& pen) {
  const bool same = hasPen_ && lastPen_.colour.Resolve() == pen.colour.Resolve() &&
                    lastPen_.width == pen.width && lastPen_.dash == pen.dash && lastPen_.dashUnit == pen.dashUnit;
  if (!same) {
    FlushLines();
    lastPen_ = pen;
    hasPen_ = true;
    shapePen_ = ToQPen(pen);
    painterPen_ = PainterPen::Other;
    directPen_ = DirectPen();
    penRgb_ = shapePen_.color().rgba();
  }
}

void QtDrawCanvas::Line(drawing::DPoint a, drawing::DPoint b) {
  if (directPen_) {
    direct_.Line(a.x, a.y, b.x, b.y, penRgb_);
    return;
  }
  if (painterPen_ != PainterPen::Shape) {
    FlushLines();
    UseShapePen();
  }
  if (!screen_) {
    p_.drawLine(Q(a), Q(b));
    return;
  }
  lines_.emplace_back(Q(a), Q(b));
  if (lines_.size() >= 4096) FlushLines();
}

void QtDrawCanvas::Polyline(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 2) return;
  FlushLines();
  if (directPen_) {
    for (std::size_t i = 1; i < n; ++i) direct_.Line(pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y, penRgb_);
    return;
  }
  UseShapePen();
  QPolygonF poly;
  poly.reserve(qsizetype(n));
  for (std::size_t i = 0; i < n; ++i) poly << Q(pts[i]);
  p_.drawPolyline(poly);
}

void QtDrawCanvas::Polygon(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 2) return;
  FlushLines();
  if (Stamp(2, pts, n, 0)) return;
  if (directPen_) {
    for (std::size_t i = 0; i < n; ++i) {
      const drawing::DPoint a = pts[i], b = pts[(i + 1) % n];
      direct_.Line(a.x, a.y, b.x, b.y, penRgb_);
    }
    return;
  }
  UseShapePen();
  QPolygonF poly;
  poly.reserve(qsizetype(n));
  for (std::size_t i = 0; i < n; ++i) poly << Q(pts[i]);
  p_.drawPolygon(poly);
}

void QtDrawCanvas::Bezier(const drawing::DPoint* pts, std::size_t n) {
  if (!pts || n < 4) return;
  FlushLines();
  if (screen_) {
    // On screen the arcs go as short chords, a few device units long: the same
    // outline to well under a pixel, without the painter's path machinery.
    flat_.clear();
    flat_.append(Q(pts[0]));
    for (std::size_t i = 1; i + 2 < n; i += 3) {
      const drawing::DPoint a = pts[i - 1], b = pts[i], c = pts[i + 1], d = pts[i + 2];
      const double len = std::hypot(b.x - a.x, b.y - a.y) + std::hypot(c.x - b.x, c.y - b.y) +
                         std::hypot(d.x - c.x, d.y - c.y);
      const int steps = std::isfinite(len) ? std::clamp(int(std::ceil(std::sqrt(len))), 1, 64) : 1;
      for (int k = 1; k <= steps; ++k) {
        const double t = double(k) / steps, u = 1 - t;
        const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
        flat_.append(QPointF(w0 * a.x + w1 * b.x + w2 * c.x + w3 * d.x, w0 * a.y + w1 * b.y + w2 * c.y + w3 * d.y));
      }
    }
    if (directPen_) {
      for (qsizetype i = 1; i < flat_.size(); ++i)
        direct_.Line(flat_[i - 1].x(), flat_[i - 1].y(), flat_[i].x(), flat_[i].y(), penRgb_);
    } else {
      UseShapePen();
      p_.drawPolyline(flat_);
    }
    return;
  }
  UseShapePen();
  path_.clear();
  path_.moveTo(Q(pts[0]));
  for (std::size_t i = 1; i + 2 < n; i += 3) path_.cubicTo(Q(pts[i]), Q(pts[i + 1]), Q(pts[i + 2]));
  p_.drawPath(path_);
}

void QtDrawCanvas::Circle(drawing::DPoint c, double r) {
  FlushLines();
  if (Stamp(1, &c, 1, r)) return;
  UseShapePen();
  p_.drawEllipse(Q(c), r, r);
}

// Symbols repeat by the thousand in one look; a symbol is drawn once into an
// image at its position within the pixel (in sixteenths) and stamped from then on,
// so what lands on the screen is what drawing it would give.
bool QtDrawCanvas::Stamp(int kind, const drawing::DPoint* pts, std::size_t n, double radius) {
  if (!screen_ || n > kMaxStampPoints || !(radius >= 0) || radius > kMaxStamp / 2) return false;
  const double pw = shapePen_.isCosmetic() ? 1 : shapePen_.widthF();
  if (!(pw <= 4)) return false;
  double minX = pts[0].x - radius, minY = pts[0].y - radius, maxX = pts[0].x + radius, maxY = pts[0].y + radius;
  for (std::size_t i = 1; i < n; ++i) {
    minX = std::min(minX, pts[i].x);
    minY = std::min(minY, pts[i].y);
    maxX = std::max(maxX, pts[i].x);
    maxY = std::max(maxY, pts[i].y);
  }
  if (!(maxX - minX <= kMaxStamp && maxY - minY <= kMaxStamp) || !std::isfinite(minX) || !std::isfinite(minY) ||
      std::abs(minX) > 1e6 || std::abs(minY) > 1e6)
    return false;
  const QPoint at(int(std::floor(minX)), int(std::floor(minY)));
  StampKey key{};
  const QColor colour = shapePen_.color();
  key[0] = kind;
  key[1] = std::int32_t(colour.rgba());
  key[2] = std::int32_t(std::lround(shapePen_.widthF() * 64)) * 2 + (shapePen_.isCosmetic() ? 1 : 0);
  key[3] = int(shapePen_.style());
  key[4] = p_.testRenderHint(QPainter::Antialiasing) ? 1 : 0;
  key[5] = std::int32_t(std::lround(radius * kStampSteps));
  key[6] = std::int32_t(n);
  if (shapePen_.style() == Qt::CustomDashLine) {
    std::int32_t h = 0;
    for (qreal v : shapePen_.dashPattern()) h = h * 31 + std::int32_t(std::lround(v * 64));
    key[7] = h;
  }
  for (std::size_t i = 0; i < n; ++i) {
    key[8 + 2 * i] = std::int32_t(std::lround((pts[i].x - at.x()) * kStampSteps));
    key[9 + 2 * i] = std::int32_t(std::lround((pts[i].y - at.y()) * kStampSteps));
  }
  auto it = c_.stamps.find(key);
  if (it == c_.stamps.end()) {
    if (c_.stamps.size() >= kMaxStamps) c_.stamps.clear();
    // The shape again from its key, in an image with room for the pen and the
    // anti-aliasing fringe.
    const int margin = int(std::ceil(pw / 2)) + 2;
    const int w = int(std::ceil(maxX - at.x())) + 2 * margin + 1, h = int(std::ceil(maxY - at.y())) + 2 * margin + 1;
    StampImage s;
    s.image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    s.image.fill(Qt::transparent);
    s.offset = QPoint(-margin, -margin);
    QPainter ip(&s.image);
    ip.setRenderHint(QPainter::Antialiasing, key[4] != 0);
    ip.setPen(shapePen_);
    ip.setBrush(Qt::NoBrush);
    auto P = [&](std::size_t i) {
      return QPointF(double(key[8 + 2 * i]) / kStampSteps + margin, double(key[9 + 2 * i]) / kStampSteps + margin);
    };
    if (kind == 1) {
      const double r = double(key[5]) / kStampSteps;
      ip.drawEllipse(P(0), r, r);
    } else {
      QPolygonF poly;
      for (std::size_t i = 0; i < n; ++i) poly << P(i);
      ip.drawPolygon(poly);
    }
    ip.end();
    it = c_.stamps.emplace(key, std::move(s)).first;
  }
  if (direct_.Attached()) {
    direct_.Image(at + it->second.offset, it->second.image);
  } else {
    ShapeHints();
    p_.drawImage(at + it->second.offset, it->second.image);
  }
  return true;
}

void QtDrawCanvas::Pixel(drawing::DPoint p, drawing::Colour c) {
  FlushLines();
  if (!(std::abs(p.x) < 1e9 && std::abs(p.y) < 1e9)) return;
  if (direct_.Attached()) {
    direct_.Pixel(int(std::floor(p.x)), int(std::floor(p.y)), ToQColor(c).rgba());
    return;
  }
  p_.fillRect(QRect(int(std::floor(p.x)), int(std::floor(p.y)), 1, 1), ToQColor(c));
}

void QtDrawCanvas::FillRect(const drawing::DRect& r, drawing::Colour c) {
  FlushLines();
  ShapeHints();
  p_.fillRect(Q(r), ToQColor(c));
}

// The asked height is the character cell (ascent + descent), not the em: a face's
// cell is commonly a quarter taller than its em. The asked width is that of a
// half-width character; full-width characters take two.
const QtDrawCanvas::FontEntry& QtDrawCanvas::FontFor(const drawing::TextStyle& style) {
  const long h = std::lround(std::max(1.0, style.height) * 16);  // 1/16 device unit steps
  const long w = style.width > 0 && std::isfinite(style.width) ? std::lround(std::min(style.width, 1e6) * 16) : 0;
  const FontKey key{int(style.face), h, w};
  if (lastFont_ && lastFontKey_ == key) return *lastFont_;
  auto it = c_.fonts.find(key);
  if (it == c_.fonts.end()) {
    it = c_.fonts.try_emplace(key).first;
    FontEntry& e = it->second;
    e.font = style.face == drawing::Face::Gui ? QApplication::font() : MakeUiFont(12);
    const double height = double(h) / 16;
    if (style.face == drawing::Face::Label) {
      // The face's cell against its em, measured large enough to be exact.
      QFont probe = e.font;
      probe.setPixelSize(1000);
      const QFontMetricsF pm(probe, p_.device());
      const double cell = pm.ascent() + pm.descent();
      const double em = cell > 0 ? height * 1000 / cell : height;
      e.font.setPixelSize(std::max(1, int(std::lround(em))));
    } else {
      e.font.setPixelSize(std::max(1, int(std::lround(height))));
    }
    const QFontMetricsF fm(e.font, p_.device());
    e.ascent = fm.ascent();
    e.descent = fm.descent();
    if (w > 0) {
      const double natural = fm.horizontalAdvance(QLatin1Char('x'));
      if (natural > 0) e.stretch = (double(w) / 16) / natural;
    }
    e.raw = QRawFont::fromFont(e.font);
  }
  lastFontKey_ = key;
  lastFont_ = &it->second;
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
// fraction of it. The layout of a label is kept for the next frame.
const QtDrawCanvas::Layout& QtDrawCanvas::LayoutOf(const FontEntry& f, std::string_view utf8) {
  if (own_) {  // nothing outlives this frame (a printed page): lay out and draw
    scratch_ = Layout{};
    LayOut(scratch_, f, utf8);
    return scratch_;
  }
  const std::size_t call = textCall_++;
  if (call < c_.recent.size()) {
    const Cache::Impl::Recent& r = c_.recent[call];
    if (r.font == &f && r.text == utf8) return *r.layout;
  }
  const Layout& l = Find(f, utf8);
  if (call < c_.recent.size()) c_.recent[call] = {&f, std::string(utf8), &l};
  else if (call == c_.recent.size()) c_.recent.push_back({&f, std::string(utf8), &l});
  return l;
}

const QtDrawCanvas::Layout& QtDrawCanvas::Find(const FontEntry& f, std::string_view utf8) {
  if (c_.layouts >= kMaxLayouts) {
    c_.ClearLayouts();
    textCall_ = 0;
  }
  auto [it, fresh] = f.layouts.try_emplace(std::string(utf8));
  Layout& l = it->second;
  if (!fresh) return l;
  ++c_.layouts;
  LayOut(l, f, utf8);
  return l;
}

void QtDrawCanvas::LayOut(Layout& l, const FontEntry& f, std::string_view utf8) const {
  if (!f.raw.isValid()) return;
  const QString text = Utf8(utf8);
  l.placed.clear();
  double x = 0;
  for (char32_t ch : text.toUcs4()) {
    auto it = f.chars.find(ch);
    if (it == f.chars.end()) {
      FontEntry::Glyph g;
      const QList<quint32> one = f.raw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
      if (one.size() == 1) {
        g.index = one.front();
        g.advance = f.raw.advancesForGlyphIndexes(one).front().x();
      }
      it = f.chars.emplace(ch, g).first;
    }
    if (it->second.index == 0) {  // a character the face lacks: the painter finds a face for it
      l.placed.clear();
      return;
    }
    l.placed.push_back({it->second.index, x, nullptr});
    x += it->second.advance * f.stretch;
  }
  if (l.placed.empty()) return;
  l.width = x;
  l.glyphs = true;
}

const QGlyphRun& QtDrawCanvas::RunOf(const FontEntry& f, const Layout& l) {
  if (!l.run) {
    QList<quint32> index;
    QList<QPointF> positions;
    index.reserve(qsizetype(l.placed.size()));
    positions.reserve(qsizetype(l.placed.size()));
    for (const Layout::Glyph& g : l.placed) {
      index.append(g.index);
      positions.append(QPointF(g.x / f.stretch, 0));  // drawn under the stretch
    }
    l.run.emplace();
    l.run->setRawFont(f.raw);
    l.run->setGlyphIndexes(index);
    l.run->setPositions(positions);
  }
  return *l.run;
}

const CoverageMask& QtDrawCanvas::MaskOf(const FontEntry& f, quint32 glyph) {
  auto it = f.masks.find(glyph);
  if (it == f.masks.end()) {
    QGlyphRun one;
    one.setRawFont(f.raw);
    one.setGlyphIndexes({glyph});
    one.setPositions({QPointF(0, 0)});
    it = f.masks.emplace(glyph, GlyphMask(one, f.stretch)).first;
  }
  return it->second;
}

void QtDrawCanvas::Text(drawing::DPoint at, std::string_view utf8, const drawing::TextStyle& style) {
  if (utf8.empty()) return;
  FlushLines();
  const FontEntry& f = FontFor(style);
  const Layout* layout = style.angle == 0 ? &LayoutOf(f, utf8) : nullptr;
  const bool glyphs = layout && layout->glyphs;
  double w = glyphs ? layout->width : 0;
  if (!glyphs && (style.anchor == drawing::Anchor::TopCenter || style.anchor == drawing::Anchor::Center))
    w = QFontMetricsF(f.font, p_.device()).horizontalAdvance(Utf8(utf8)) * f.stretch;
  double dx = 0, dy = 0;  // from the anchor to the baseline start
  switch (style.anchor) {
    case drawing::Anchor::TopLeft: dy = f.ascent; break;
    case drawing::Anchor::TopCenter: dx = -w / 2; dy = f.ascent; break;
    case drawing::Anchor::Center: dx = -w / 2; dy = (f.ascent - f.descent) / 2; break;
    case drawing::Anchor::BaselineLeft: break;
    case drawing::Anchor::BottomLeft: dy = -f.descent; break;
  }
  const QRgb rgb = ToQColor(style.colour).rgba();
  if (glyphs && direct_.Attached()) {
    // Each glyph from its mask on the whole pixel nearest its place.
    auto& l = const_cast<Layout&>(*layout);
    if (!l.masked) {
      for (Layout::Glyph& g : l.placed) g.mask = &MaskOf(f, g.index);
      l.masked = true;
    }
    const double x = at.x + dx, y = at.y + dy;
    if (!(std::abs(x) < 1e7 && std::abs(y) < 1e7)) return;
    const int baseline = int(std::floor(y + 0.5));
    for (const Layout::Glyph& g : l.placed) direct_.Mask(int(std::floor(x + g.x + 0.5)), baseline, *g.mask, rgb);
    return;
  }
  UseFont(f);
  UseTextColour(style.colour);
  const bool stretched = f.stretch != 1;
  if (glyphs) {
    TextHints();
    if (!stretched) {
      p_.drawGlyphRun(QPointF(at.x + dx, at.y + dy), RunOf(f, *layout));
      return;
    }
    p_.save();
    p_.translate(at.x + dx, at.y + dy);
    p_.scale(f.stretch, 1);
    p_.drawGlyphRun(QPointF(0, 0), RunOf(f, *layout));
    p_.restore();
  } else if (style.angle == 0 && !stretched) {
    p_.drawText(QPointF(at.x + dx, at.y + dy), Utf8(utf8));
  } else {
    p_.save();
    p_.translate(Q(at));
    p_.rotate(-style.angle);
    p_.translate(dx, dy);
    p_.scale(f.stretch, 1);
    p_.drawText(QPointF(0, 0), Utf8(utf8));
    p_.restore();
  }
}

void QtDrawCanvas::TextBox(const drawing::DRect& r, std::string_view utf8, const drawing::TextStyle& style) {
  if (utf8.empty()) return;
  FlushLines();
  int flags = style.anchor == drawing::Anchor::Center ? (Qt::AlignCenter | Qt::TextSingleLine)
                                                     : (Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
  const FontEntry& f = FontFor(style);
  UseFont(f);
  UseTextColour(style.colour);
  if (f.stretch == 1) {
    p_.drawText(Q(r), flags, Utf8(utf8));
    return;
  }
  // The box in the glyphs' unstretched space, about its centre.
  const QRectF box = Q(r);
  p_.save();
  p_.translate(box.center());
  p_.scale(f.stretch, 1);
  const double w = box.width() / f.stretch, h = box.height();
  p_.drawText(QRectF(-w / 2, -h / 2, w, h), flags, Utf8(utf8));
  p_.restore();
}

void QtDrawCanvas::SetClip(const drawing::DRect& r) {
  FlushLines();
  p_.setClipRect(Q(r));
  direct_.Clip(Q(r));
}

void QtDrawCanvas::ResetClip() {
  FlushLines();
  p_.setClipping(false);
  direct_.Unclip();
}

}  // namespace drawing_ui
