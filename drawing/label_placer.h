#pragma once
// Where the labels of one drawing pass went, so that a label which would land on
// another (two points a few centimetres apart, a name under the scale caption)
// steps to the first free place of a short list, and a label with room keeps its
// own place. Rectangles are logical units with top <= bottom as numbers.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
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
  template <class F>
  void Cells(const DRect& r, F f) const;
  double cell_;
  std::vector<DRect> rects_;
  std::unordered_map<std::int64_t, std::vector<std::uint32_t>> grid_;
};

}  // namespace drawing
