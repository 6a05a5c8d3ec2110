#include "drawing/ui/direct_raster.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <utility>

namespace drawing_ui {
namespace {

// x weighted a, y weighted b, a + b = 256, channel by channel.
inline std::uint32_t Interpolate(std::uint32_t x, std::uint32_t a, std::uint32_t y, std::uint32_t b) {
  std::uint32_t rb = (x & 0xff00ff) * a + (y & 0xff00ff) * b;
  rb = (rb >> 8) & 0xff00ff;
  std::uint32_t ag = ((x >> 8) & 0xff00ff) * a + ((y >> 8) & 0xff00ff) * b;
  return (ag & 0xff00ff00) | rb;
}

// Liang-Barsky against [l, r] x [t, b]; false when nothing is left.
bool ClipTo(double& x0, double& y0, double& x1, double& y1, double l, double t, double r, double b) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - l, r - x0, y0 - t, b - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double u = q[i] / p[i];
    if (p[i] < 0) {
      if (u > t1) return false;
      t0 = std::max(t0, u);
    } else {
      if (u < t0) return false;
      t1 = std::min(t1, u);
    }
  }
  const double ax = x0, ay = y0;
  x1 = ax + t1 * dx;
  y1 = ay + t1 * dy;
  x0 = ax + t0 * dx;
  y0 = ay + t0 * dy;
  return true;
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
  const double l = clip_.left() - 2, t = clip_.top() - 2, r = clip_.right() + 2, b = clip_.bottom() + 2;
  const bool within = std::min(x0, x1) >= l && std::max(x0, x1) <= r && std::min(y0, y1) >= t && std::max(y0, y1) <= b;
  if (!within && !ClipTo(x0, y0, x1, y1, l, t, r, b)) return;
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
  auto put = [&](int c, int r, int a) {
    if (steep) Blend(r, c, colour, a);
    else Blend(c, r, colour, a);
  };
  auto end = [&](int c) {
    const double lo = std::max(c - 0.5, x0), hi = std::min(c + 0.5, x1);
    const double w = hi - lo;
    if (w <= 0) return;
    const double y = y0 + g * ((lo + hi) / 2 - x0);
    const double fl = std::floor(y);
    const double f = y - fl;
    put(c, int(fl), int(w * (1 - f) * 256 + 0.5));
    put(c, int(fl) + 1, int(w * f * 256 + 0.5));
  };
  end(c0);
  if (c1 == c0) return;
  end(c1);
  if (c1 - c0 < 2) return;
  // The columns between: whole width, nothing to clip when the line's box is inside.
  std::int64_t Y = std::llround((y0 + g * (c0 + 1 - x0)) * 65536);
  const std::int64_t G = std::llround(g * 65536);
  const double ylo = std::min(y0, y1), yhi = std::max(y0, y1);
  const bool inside = steep ? (ylo >= clip_.left() + 1 && yhi <= clip_.right() - 2 && c0 >= clip_.top() &&
                               c1 <= clip_.bottom())
                            : (ylo >= clip_.top() + 1 && yhi <= clip_.bottom() - 2 && c0 >= clip_.left() &&
                               c1 <= clip_.right());
  for (int c = c0 + 1; c < c1; ++c, Y += G) {
    const int r = int(Y >> 16);
    const std::uint32_t a2 = std::uint32_t((Y & 0xffff) >> 8), a1 = 256 - a2;
    if (!inside) {
      put(c, r, int(a1));
      put(c, r + 1, int(a2));
      continue;
    }
    if (steep) {
      auto* p = reinterpret_cast<std::uint32_t*>(bits_ + c * bpl_) + r;
      p[0] = Interpolate(colour, a1, p[0], a2);
      p[1] = Interpolate(colour, a2, p[1], a1);
    } else {
      auto* p = reinterpret_cast<std::uint32_t*>(bits_ + r * bpl_) + c;
      p[0] = Interpolate(colour, a1, p[0], a2);
      auto* q = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(p) + bpl_);
      q[0] = Interpolate(colour, a2, q[0], a1);
    }
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

CoverageMask GlyphMask(const QGlyphRun& glyph) {
  CoverageMask m;
  const QRawFont raw = glyph.rawFont();
  const QList<quint32> index = glyph.glyphIndexes();
  if (!raw.isValid() || index.size() != 1) return m;
  const QRectF box = raw.boundingRect(index[0]);
  if (!box.isValid() || box.width() > 4096 || box.height() > 4096) return m;
  // Drawn by the painter itself at a whole-pixel origin with room around it.
  const int ox = 2 - int(std::floor(box.left())), oy = 2 - int(std::floor(box.top()));
  const int w = int(std::ceil(box.right())) + ox + 3, h = int(std::ceil(box.bottom())) + oy + 3;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawGlyphRun(QPointF(ox, oy), glyph);
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
