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

std::size_t Mix(long x, long y) {
  std::uint64_t h = std::uint64_t(std::uint32_t(x)) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(std::uint32_t(y)) * 0xC2B2AE3D27D4EB4Full;
  return std::size_t(h ^ (h >> 29));
}

}  // namespace

LabelPlacer::LabelPlacer(double cell) : cell_(std::isfinite(cell) ? std::max(cell, 16.0) : 16.0) {
  heads_.assign(1024, -1);
}

template <class F>
void LabelPlacer::Cells(const DRect& r, F f) const {
  const long x0 = long(std::floor(r.left / cell_)), x1 = long(std::floor(r.right / cell_));
  const long y0 = long(std::floor(r.top / cell_)), y1 = long(std::floor(r.bottom / cell_));
  if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) return;
  for (long y = y0; y <= y1; ++y)
    for (long x = x0; x <= x1; ++x)
      if (!f(Mix(x, y) & (heads_.size() - 1))) return;
}

void LabelPlacer::Link(std::uint32_t rect) {
  Cells(rects_[rect], [&](std::size_t bucket) {
    nodes_.push_back({rect, heads_[bucket]});
    heads_[bucket] = std::int32_t(nodes_.size() - 1);
    return true;
  });
}

void LabelPlacer::Occupy(const DRect& r) {
  if (!Usable(r)) return;
  rects_.push_back(r);
  // Buckets a few times the entries, so that a look-up meets mostly its own cell.
  if (nodes_.size() + 8 > heads_.size() * 2) {
    heads_.assign(heads_.size() * 4, -1);
    nodes_.clear();
    for (std::uint32_t i = 0; i + 1 < rects_.size(); ++i) Link(i);
  }
  Link(std::uint32_t(rects_.size() - 1));
}

bool LabelPlacer::Free(const DRect& r) const {
  if (!Usable(r)) return true;
  bool free = true;
  Cells(r, [&](std::size_t bucket) {
    for (std::int32_t n = heads_[bucket]; n >= 0; n = nodes_[std::size_t(n)].next)
      if (Overlap(r, rects_[nodes_[std::size_t(n)].rect])) {
        free = false;
        return false;
      }
    return true;
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
