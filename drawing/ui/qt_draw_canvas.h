#pragma once
// The drawing canvas over a QPainter: the one implementation behind the screen
// view, the printer, print preview and PDF. The painter's own transform is left
// alone; the renderer hands device coordinates. Printers and PDF get every
// element drawn by the painter as it comes; on a screen image the canvas stamps
// small symbols from images and writes thin lines and labels into the pixels.
#include <QFont>
#include <QGlyphRun>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <memory>
#include <utility>
#include <string_view>
#include <optional>
#include <tuple>
#include <vector>

#include "drawing/draw_canvas.h"
#include "drawing/ui/direct_raster.h"

namespace drawing_ui {

QColor ToQColor(drawing::Colour c);
// The Qt pen for a drawing pen: the layer colour, the width in device units (0 =
// cosmetic) and the dash pattern measured in pen.dashUnit device units.
QPen ToQPen(const drawing::Pen& pen);

class QtDrawCanvas final : public drawing::IDrawCanvas {
  struct FontEntry;
  using FontKey = std::tuple<int, long, long>;  // face, height and width in 1/16 device units

 public:
  // What a view keeps from one frame to the next: the faces, the glyph layout of
  // each label and the small symbols already drawn once. A frame of the whole
  // network repeats a few thousand labels and symbols that look the same every
  // time; a zoom or pan moves them without changing their look.
  class Cache {
   public:
    Cache();
    ~Cache();
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;

   private:
    friend class QtDrawCanvas;
    struct Impl;
    std::unique_ptr<Impl> d_;
  };

  // Without a cache the canvas keeps one for itself, for this frame only.
  explicit QtDrawCanvas(QPainter& painter, Cache* cache = nullptr);
  ~QtDrawCanvas() override;

  void SetPen(const drawing::Pen& pen) override;
  void Line(drawing::DPoint a, drawing::DPoint b) override;
  void Polyline(const drawing::DPoint* pts, std::size_t n) override;
  void Polygon(const drawing::DPoint* pts, std::size_t n) override;
  void Bezier(const drawing::DPoint* pts, std::size_t n) override;
  void Circle(drawing::DPoint centre, double radius) override;
  void Pixel(drawing::DPoint p, drawing::Colour c) override;
  void FillRect(const drawing::DRect& r, drawing::Colour c) override;
  void Text(drawing::DPoint at, std::string_view utf8, const drawing::TextStyle& style) override;
  void TextBox(const drawing::DRect& r, std::string_view utf8, const drawing::TextStyle& style) override;
  void SetClip(const drawing::DRect& r) override;
  void ResetClip() override;

 private:
  // The glyphs of a one-line text laid out by their advances, and its width;
  // glyphs is false when the face lacks a glyph (the text then goes through the
  // full layout).
  struct Layout {
    mutable std::optional<QGlyphRun> run;  // made when the painter draws the label
    double width = 0;
    bool glyphs = false;
    bool masked = false;  // the masks below are looked up
    // The glyphs at their places along the baseline, with their masks for direct drawing.
    struct Glyph {
      quint32 index = 0;
      double x = 0;
      const CoverageMask* mask = nullptr;
    };
    std::vector<Glyph> placed;
  };
  // Direct drawing: the pen is a thin solid anti-aliased line in an opaque colour.
  bool DirectPen() const;
  const CoverageMask& MaskOf(const FontEntry& f, quint32 glyph);
  const Layout& LayoutOf(const FontEntry& f, std::string_view utf8);
  const Layout& Find(const FontEntry& f, std::string_view utf8);
  void LayOut(Layout& l, const FontEntry& f, std::string_view utf8) const;
  static const QGlyphRun& RunOf(const FontEntry& f, const Layout& l);
  const FontEntry& FontFor(const drawing::TextStyle& style);
  // Lines in a row with one pen go to the painter in one call.
  void FlushLines();
  // A small outline in the current pen from its image, drawn the first time;
  // false when the shape is too large or the device is not a screen image.
  bool Stamp(int kind, const drawing::DPoint* pts, std::size_t n, double radius);
  // Labels on screen go on whole pixels; shapes keep the painter's anti-aliasing.
  void TextHints();
  void ShapeHints();
  // Text changes the painter's pen and font; shapes take their pen back first.
  void UseFont(const FontEntry& f);
  void UseTextColour(drawing::Colour c);
  void UseShapePen() {
    ShapeHints();
    if (painterPen_ != PainterPen::Shape) {
      p_.setPen(shapePen_);
      painterPen_ = PainterPen::Shape;
    }
  }
  QPainter& p_;
  std::unique_ptr<Cache> own_;
  Cache::Impl& c_;
  bool screen_ = false;  // a raster image (the screen): symbols may be stamped
  DirectRaster direct_;
  bool directPen_ = false;
  QRgb penRgb_ = 0xff000000;
  std::vector<QLineF> lines_;
  bool shapeAntialiasing_ = false;  // the painter's setting for shapes
  bool textHints_ = false;          // anti-aliasing is off for a label
  QPainterPath path_;
  QPolygonF flat_;
  const FontEntry* font_ = nullptr;
  const FontEntry* lastFont_ = nullptr;  // the face FontFor gave last
  FontKey lastFontKey_;
  std::size_t textCall_ = 0;  // labels asked for in this frame
  Layout scratch_;            // the label being drawn when nothing is kept
  QPen shapePen_;
  drawing::Pen lastPen_;
  bool hasPen_ = false;
  enum class PainterPen { Shape, Text, Other } painterPen_ = PainterPen::Shape;
  QRgb textRgb_ = 0;  // the colour of the text pen
};

}  // namespace drawing_ui
