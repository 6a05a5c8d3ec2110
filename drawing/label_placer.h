#pragma once
// Where the labels of one drawing pass went, so that a label which would land on
// another (two points a few centimetres apart, a name under the scale caption)
// steps to the first free place of a short list, and a label with room keeps its
// own place. Rectangles are logical units with top <= bottom as numbers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "drawing/draw_canvas.h"

namespace drawing {

class LabelPlacer {
 public:
  // cell: the side of the look-up grid, about a label's size.
  explicit LabelPlacer(double cell);
  void Occupy(const DRect& r);
  bool Free(const DRect& r) const;
  // The first offset at which the rectangle is free, or the first offset when
  // none is; the rectangle so moved is occupied.
  DPoint Place(const DRect& r, const DPoint* offsets, std::size_t n);

 private:
  // Calls f(bucket) for each grid cell under r until f returns false.
  template <class F>
  void Cells(const DRect& r, F f) const;
  void Link(std::uint32_t rect);
  double cell_;
  std::vector<DRect> rects_;
  // The grid as a hash of cells into buckets (a power of two), each a chained
  // list of rectangles: one frame places some ten thousand labels without an
  // allocation per cell.
  struct Node {
    std::uint32_t rect;
    std::int32_t next;
  };
  std::vector<std::int32_t> heads_;
  std::vector<Node> nodes_;
};

}  // namespace drawing
