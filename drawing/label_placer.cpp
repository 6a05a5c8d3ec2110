#include "drawing/label_placer.h"

#include <algorithm>
#include <cmath>

namespace drawing {
namespace {

constexpr double kMaxCoordinate = 1e9;  // beyond this a rectangle is not placed at all
constexpr long kMaxCells = 4096;         // cells one rectangle may span

bool Overlap(const DRect& a, const DRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Usable(const DRect& r) {
  return std::isfinite(r.left) && std::isfinite(r.right) && std::isfinite(r.top) && std::isfinite(r.bottom) &&
         std::abs(r.left) < kMaxCoordinate && std::abs(r.right) < kMaxCoordinate &&
         std::abs(r.top) < kMaxCoordinate && std::abs(r.bottom) < kMaxCoordinate && r.left <= r.right &&
         r.top <= r.bottom;
}

}  // namespace

LabelPlacer::LabelPlacer(double cell) : cell_(std::isfinite(cell) ? std::max(cell, 16.0) : 16.0) {}

template <class F>
void LabelPlacer::Cells(const DRect& r, F f) const {
  const long x0 = long(std::floor(r.left / cell_)), x1 = long(std::floor(r.right / cell_));
  const long y0 = long(std::floor(r.top / cell_)), y1 = long(std::floor(r.bottom / cell_));
  if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) return;
  for (long y = y0; y <= y1; ++y)
    for (long x = x0; x <= x1; ++x) f((std::int64_t(y) << 32) ^ std::int64_t(std::uint32_t(x)));
}

void LabelPlacer::Occupy(const DRect& r) {
  if (!Usable(r)) return;
  const auto index = std::uint32_t(rects_.size());
  rects_.push_back(r);
  Cells(r, [&](std::int64_t key) { grid_[key].push_back(index); });
}

bool LabelPlacer::Free(const DRect& r) const {
  if (!Usable(r)) return true;
  bool free = true;
  Cells(r, [&](std::int64_t key) {
    if (!free) return;
    auto it = grid_.find(key);
    if (it == grid_.end()) return;
    for (std::uint32_t i : it->second)
      if (Overlap(r, rects_[i])) {
        free = false;
        return;
      }
  });
  return free;
}

DPoint LabelPlacer::Place(const DRect& r, const DPoint* offsets, std::size_t n) {
  auto moved = [&](DPoint d) { return DRect{r.left + d.x, r.top + d.y, r.right + d.x, r.bottom + d.y}; };
  DPoint chosen = n ? offsets[0] : DPoint{};
  for (std::size_t i = 0; i < n; ++i)
    if (Free(moved(offsets[i]))) {
      chosen = offsets[i];
      break;
    }
  Occupy(moved(chosen));
  return chosen;
}

}  // namespace drawing
