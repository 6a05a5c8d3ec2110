#include "drawing/ui/direct_raster.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <utility>

#include "drawing/draw_canvas.h"

namespace drawing_ui {
namespace {

// x weighted a, y weighted b, a + b = 256, channel by channel.
inline std::uint32_t Interpolate(std::uint32_t x, std::uint32_t a, std::uint32_t y, std::uint32_t b) {
  std::uint32_t rb = (x & 0xff00ff) * a + (y & 0xff00ff) * b;
  rb = (rb >> 8) & 0xff00ff;
  std::uint32_t ag = ((x >> 8) & 0xff00ff) * a + ((y >> 8) & 0xff00ff) * b;
  return (ag & 0xff00ff00) | rb;
}

// x's channels times a / 255.
inline std::uint32_t ByteMul(std::uint32_t x, std::uint32_t a) {
  std::uint32_t t = (x & 0xff00ff) * a;
  t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  x = ((x >> 8) & 0xff00ff) * a;
  x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return x | t;
}

}  // namespace

bool DirectRaster::Attach(QPainter& p) {
  bits_ = nullptr;
  auto* img = dynamic_cast<QImage*>(p.device());
  if (!img || !p.isActive() || !p.paintEngine() || p.paintEngine()->type() != QPaintEngine::Raster) return false;
  if (img->format() != QImage::Format_ARGB32_Premultiplied && img->format() != QImage::Format_RGB32) return false;
  if (!p.deviceTransform().isIdentity() || p.compositionMode() != QPainter::CompositionMode_SourceOver ||
      p.opacity() != 1.0 || !img->isDetached())
    return false;
  image_ = img->rect();
  clip_ = image_;
  if (p.hasClipping()) {
    const QRegion r = p.clipRegion();
    if (r.rectCount() != 1) return false;
    clip_ = r.boundingRect() & image_;
  }
  bits_ = img->bits();
  bpl_ = img->bytesPerLine();
  return bits_ != nullptr;
}

void DirectRaster::Clip(const QRectF& r) { clip_ = r.normalized().toRect() & image_; }

inline void DirectRaster::Blend(int x, int y, QRgb colour, int a) {
  if (a <= 0 || x < clip_.left() || x > clip_.right() || y < clip_.top() || y > clip_.bottom()) return;
  auto* p = reinterpret_cast<std::uint32_t*>(bits_ + y * bpl_) + x;
  *p = a >= 256 ? colour : Interpolate(colour, std::uint32_t(a), *p, std::uint32_t(256 - a));
}

void DirectRaster::Pixel(int x, int y, QRgb colour) { Blend(x, y, colour, 256); }

// Xiaolin Wu's line: along the major axis one step per pixel, the coverage
// shared between the two pixels the line passes between; the end pixels take
// the part of their width the line covers (flat ends, as the painter's). The
// steps between the ends go in 16.16 fixed point.
void DirectRaster::Line(double x0, double y0, double x1, double y1, QRgb colour) {
  if (!bits_ || clip_.isEmpty()) return;
  x0 -= 0.5;
  y0 -= 0.5;
  x1 -= 0.5;
  y1 -= 0.5;
  const double cl = clip_.left() - 2, ct = clip_.top() - 2, cr = clip_.right() + 2, cb = clip_.bottom() + 2;
  const bool within =
      std::min(x0, x1) >= cl && std::max(x0, x1) <= cr && std::min(y0, y1) >= ct && std::max(y0, y1) <= cb;
  if (!within) {
    drawing::DPoint a{x0, y0}, b{x1, y1};
    if (!drawing::ClipSegment(a, b, {cl, ct, cr, cb})) return;
    x0 = a.x;
    y0 = a.y;
    x1 = b.x;
    y1 = b.y;
  }
  const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
  if (steep) {
    std::swap(x0, y0);
    std::swap(x1, y1);
  }
  if (x0 > x1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  const double dx = x1 - x0;
  if (!(dx > 0)) return;
  const double g = (y1 - y0) / dx;
  const int c0 = int(std::floor(x0 + 0.5)), c1 = int(std::floor(x1 + 0.5));
  // Parts of the end pixels' width the line covers, in 256ths.
  const int w0 = int((std::min(c0 + 0.5, x1) - x0) * 256 + 0.5);
  const int w1 = c1 == c0 ? w0 : int((x1 - std::max(c1 - 0.5, x0)) * 256 + 0.5);
  // The minor coordinate at each pixel's centre in 16.16 fixed point.
  std::int64_t Y = std::int64_t(std::floor((y0 + g * (c0 - x0)) * 65536 + 0.5));
  const std::int64_t G = std::int64_t(std::floor(g * 65536 + 0.5));
  const double ylo = std::min(y0, y1) - 2, yhi = std::max(y0, y1) + 1;
  const bool inside = steep ? (ylo >= clip_.left() && yhi <= clip_.right() - 1 && c0 >= clip_.top() &&
                               c1 <= clip_.bottom())
                            : (ylo >= clip_.top() && yhi <= clip_.bottom() - 1 && c0 >= clip_.left() &&
                               c1 <= clip_.right());
  for (int c = c0; c <= c1; ++c, Y += G) {
    const int r = int(Y >> 16);
    std::uint32_t a2 = std::uint32_t((Y & 0xffff) >> 8), a1 = 256 - a2;
    if (c == c0 || c == c1) {
      const std::uint32_t w = std::uint32_t(std::clamp(c == c0 ? w0 : w1, 0, 256));
      a1 = (a1 * w) >> 8;
      a2 = (a2 * w) >> 8;
    }
    if (!inside) {
      if (steep) {
        Blend(r, c, colour, int(a1));
        Blend(r + 1, c, colour, int(a2));
      } else {
        Blend(c, r, colour, int(a1));
        Blend(c, r + 1, colour, int(a2));
      }
      continue;
    }
    std::uint32_t* p;
    std::uint32_t* q;
    if (steep) {
      p = reinterpret_cast<std::uint32_t*>(bits_ + c * bpl_) + r;
      q = p + 1;
    } else {
      p = reinterpret_cast<std::uint32_t*>(bits_ + r * bpl_) + c;
      q = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(p) + bpl_);
    }
    *p = Interpolate(colour, a1, *p, 256 - a1);
    *q = Interpolate(colour, a2, *q, 256 - a2);
  }
}

void DirectRaster::Mask(int x, int y, const CoverageMask& m, QRgb colour) {
  if (!bits_ || m.alpha.empty()) return;
  const int x0 = x + m.left, y0 = y + m.top;
  const int i0 = std::max(0, clip_.left() - x0), i1 = std::min(m.width, clip_.right() + 1 - x0);
  const int j0 = std::max(0, clip_.top() - y0), j1 = std::min(m.height, clip_.bottom() + 1 - y0);
  for (int j = j0; j < j1; ++j) {
    auto* row = reinterpret_cast<std::uint32_t*>(bits_ + (y0 + j) * bpl_) + x0;
    const std::uint8_t* a = m.alpha.data() + std::size_t(j) * std::size_t(m.width);
    for (int i = i0; i < i1; ++i) {
      const std::uint32_t c = a[i];
      if (c == 0) continue;
      if (c == 255) {
        row[i] = colour;
      } else {
        const std::uint32_t w = c + (c >> 7);
        row[i] = Interpolate(colour, w, row[i], 256 - w);
      }
    }
  }
}

void DirectRaster::Image(QPoint at, const QImage& image) {
  if (!bits_ || image.format() != QImage::Format_ARGB32_Premultiplied) return;
  const int x0 = at.x(), y0 = at.y();
  const int i0 = std::max(0, clip_.left() - x0), i1 = std::min(image.width(), clip_.right() + 1 - x0);
  const int j0 = std::max(0, clip_.top() - y0), j1 = std::min(image.height(), clip_.bottom() + 1 - y0);
  for (int j = j0; j < j1; ++j) {
    auto* row = reinterpret_cast<std::uint32_t*>(bits_ + (y0 + j) * bpl_) + x0;
    const auto* src = reinterpret_cast<const std::uint32_t*>(image.constScanLine(j));
    for (int i = i0; i < i1; ++i) {
      const std::uint32_t s = src[i], a = s >> 24;
      if (a == 0) continue;
      row[i] = a == 255 ? s : s + ByteMul(row[i], 255 - a);
    }
  }
}

CoverageMask GlyphMask(const QGlyphRun& glyph, double stretch) {
  CoverageMask m;
  const QRawFont raw = glyph.rawFont();
  const QList<quint32> index = glyph.glyphIndexes();
  if (!raw.isValid() || index.size() != 1) return m;
  if (!(stretch > 0.01 && stretch < 100)) stretch = 1;
  QRectF box = raw.boundingRect(index[0]);
  box = QRectF(box.left() * stretch, box.top(), box.width() * stretch, box.height());
  if (!box.isValid() || box.width() > 4096 || box.height() > 4096) return m;
  // Drawn by the painter itself at a whole-pixel origin with room around it.
  const int ox = 2 - int(std::floor(box.left())), oy = 2 - int(std::floor(box.top()));
  const int w = int(std::ceil(box.right())) + ox + 3, h = int(std::ceil(box.bottom())) + oy + 3;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setPen(Qt::black);
    p.translate(ox, oy);
    p.scale(stretch, 1);
    p.drawGlyphRun(QPointF(0, 0), glyph);
  }
  int l = w, t = h, r = -1, b = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (qAlpha(img.pixel(x, y))) {
        l = std::min(l, x);
        r = std::max(r, x);
        t = std::min(t, y);
        b = std::max(b, y);
      }
  if (r < 0) return m;
  m.left = l - ox;
  m.top = t - oy;
  m.width = r - l + 1;
  m.height = b - t + 1;
  m.alpha.resize(std::size_t(m.width) * std::size_t(m.height));
  for (int y = t; y <= b; ++y)
    for (int x = l; x <= r; ++x) m.alpha[std::size_t(y - t) * std::size_t(m.width) + std::size_t(x - l)] = std::uint8_t(qAlpha(img.pixel(x, y)));
  return m;
}

}  // namespace drawing_ui
