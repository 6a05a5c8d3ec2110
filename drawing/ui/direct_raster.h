#pragma once
// Straight into the pixels of a screen image, beside the painter that draws the
// rest of the frame on it: thin anti-aliased lines, single pixels and coverage
// masks (label glyphs) in one opaque colour. A full frame of a large network is
// tens of thousands of such small pieces, where the painter spends most of its
// time on each piece rather than on its pixels.
//
// Only for a 32-bit image painted without a transform, at full opacity, over
// the source; Attach says whether the painter's target is one.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <vector>

namespace drawing_ui {

// A coverage mask (0-255) with its corner relative to a pixel origin.
struct CoverageMask {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::uint8_t> alpha;
};

class DirectRaster {
 public:
  // The painter's image when it can be written directly; false otherwise.
  bool Attach(QPainter& painter);
  bool Attached() const { return bits_ != nullptr; }
  // Clips to the rectangle (device units) within the image; Unclip lifts it.
  void Clip(const QRectF& r);
  void Unclip() { clip_ = image_; }

  // A one-pixel anti-aliased line between points in device units (pixel centres
  // at .5), as the painter's cosmetic pen with anti-aliasing draws it.
  void Line(double x0, double y0, double x1, double y1, QRgb colour);
  void Pixel(int x, int y, QRgb colour);
  // The mask with its origin at the pixel (x, y).
  void Mask(int x, int y, const CoverageMask& m, QRgb colour);
  // A premultiplied image over the pixels from its corner at `at`.
  void Image(QPoint at, const QImage& image);

 private:
  void Blend(int x, int y, QRgb colour, int alpha256);
  std::uint8_t* bits_ = nullptr;
  qsizetype bpl_ = 0;
  QRect image_, clip_;
};

// The glyph coverage of a one-glyph run drawn at a whole-pixel origin, its
// width scaled by stretch.
CoverageMask GlyphMask(const QGlyphRun& glyph, double stretch = 1);

}  // namespace drawing_ui
