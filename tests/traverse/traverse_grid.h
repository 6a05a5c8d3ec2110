#pragma once
// A city-sized network of traverses for tests and benchmarks: a square grid of
// traverse lines, as a type-3 (network) job.
//
// Layout: (m+1) lines run north and (m+1) lines run east across the square, a
// junction every `legsPerCell` legs, so there are (m+1)² junctions and
// 2(m+1)(m·L+1) − (m+1)² points. Only the four corners are known. Every line
// begins and ends with an extra row on the crossing border line, so the angle at
// its first and last junction is observed; the leg to that row belongs to the
// crossing line and is not typed twice. The very first line starts on its known
// corner instead, as the table must. Every inner junction adds a fragment of
// three rows (a point of its north-running line, the junction, a point of its
// east-running line) that carries the angle between the two lines. Row order:
// the east-running lines south to north, then the north-running lines west to
// east, then the fragments; each line and fragment starts on a point an earlier
// line reaches, as a surveyor types a network.
//
// Observations: true left angles plus N(0, angleSec) and true sides plus
// N(0, sideMm + sidePpm·D), from one seeded generator, so a grid is the same on
// every run and machine. Points are jittered about the lattice so no angle is
// near 180°.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/number.h"
#include "tests/traverse/synthetic.h"

namespace tgrid {

struct Options {
  int points = 1000;        // wanted number of points (known ones included); the nearest grid
  int legsPerCell = 5;      // legs between junctions
  double leg = 135.0;       // mean leg, m
  double jitter = 0.15;     // point offsets, as a share of the leg
  double angleSec = 5.0;    // standard error of an angle, seconds
  double sideMm = 5.0;      // standard error of a side: sideMm + sidePpm · D
  double sidePpm = 5.0;
  unsigned seed = 1;
  double x0 = 3400000.0, y0 = 450000.0;  // the south-west corner
};

struct Grid {
  int cells = 0;  // m: junction cells along a side
  std::vector<synth::Pt> truth;  // every point, the four known corners first
  std::unordered_map<std::string, std::size_t> index;  // name → truth
  std::vector<std::vector<std::string>> rows;  // {name, angle, side, dh, weight, X, Y, H, remark}
  double extent = 0;  // side of the square, m

  const synth::Pt& Truth(const std::string& name) const { return truth.at(index.at(name)); }
  int Unknowns() const { return static_cast<int>(truth.size()) - 4; }
};

// Points of a grid of m cells of L legs.
inline long long PointCount(int m, int L) {
  const long long k = m + 1;
  return 2 * k * (static_cast<long long>(m) * L + 1) - k * k;
}

inline Grid Make(const Options& o) {
  const int L = std::max(1, o.legsPerCell);
  int m = 1;
  while (std::llabs(PointCount(m + 1, L) - o.points) < std::llabs(PointCount(m, L) - o.points)) ++m;
  const int n = m * L;  // lattice steps along a side

  Grid g;
  g.cells = m;
  g.extent = n * o.leg;
  std::mt19937 rng(o.seed);
  std::uniform_real_distribution<double> jit(-o.jitter * o.leg, o.jitter * o.leg);
  std::normal_distribution<double> gauss(0.0, 1.0);

  // Lattice point (r, c) lies on an east-running line (r % L == 0) or a north-running one.
  auto name = [](int r, int c) { return "G" + std::to_string(r) + "_" + std::to_string(c); };
  auto add = [&](int r, int c, bool known) {
    synth::Pt p{name(r, c), o.x0 + r * o.leg, o.y0 + c * o.leg, 0};
    if (!known) {
      p.x += jit(rng);
      p.y += jit(rng);
    }
    g.index[p.name] = g.truth.size();
    g.truth.push_back(p);
  };
  for (int r : {0, n})
    for (int c : {0, n}) add(r, c, true);
  for (int r = 0; r <= n; ++r)
    for (int c = 0; c <= n; ++c) {
      const bool corner = (r == 0 || r == n) && (c == 0 || c == n);
      if (!corner && (r % L == 0 || c % L == 0)) add(r, c, false);
    }
  auto pt = [&](int r, int c) -> const synth::Pt& { return g.Truth(name(r, c)); };
  auto known = [&](int r, int c) { return (r == 0 || r == n) && (c == 0 || c == n); };

  // One traverse line or fragment: lattice points in table order; `sides[i]` says
  // whether the leg from point i to i+1 is typed; angles at every inner row.
  struct Cell {
    int r, c;
  };
  auto emit = [&](const std::vector<Cell>& line, const std::vector<bool>& sides) {
    const std::size_t len = line.size();
    for (std::size_t i = 0; i < len; ++i) {
      const synth::Pt& p = pt(line[i].r, line[i].c);
      std::vector<std::string> row(9);
      row[0] = p.name;
      if (i > 0 && i + 1 < len) {
        const double beta = synth::LeftAngle(pt(line[i - 1].r, line[i - 1].c), p,
                                             pt(line[i + 1].r, line[i + 1].c));
        row[1] = synth::AngleText(beta + o.angleSec * gauss(rng) / synth::kRho);
      }
      if (i + 1 < len && sides[i]) {
        const double d = synth::Dist(p, pt(line[i + 1].r, line[i + 1].c));
        const double sigma = (o.sideMm + o.sidePpm * d / 1000.0) / 1000.0;
        row[2] = platform::FormatFixed(d + sigma * gauss(rng), 6);
      }
      if (known(line[i].r, line[i].c)) {
        row[5] = platform::FormatFixed(p.x, 4);
        row[6] = platform::FormatFixed(p.y, 4);
      }
      g.rows.push_back(std::move(row));
    }
  };
  // The extra end rows step one leg along the crossing border line, inwards.
  auto inward = [&](int v) { return v == n ? v - 1 : v + 1; };
  for (int k = 0; k <= m; ++k) {  // east-running line along r = kL
    const int r = k * L;
    // The table starts on a known point: the first line starts on its corner (the
    // corner angle comes again with the first north-running line).
    std::vector<Cell> line;
    if (k > 0) line.push_back({inward(r), 0});
    for (int c = 0; c <= n; ++c) line.push_back({r, c});
    line.push_back({inward(r), n});
    std::vector<bool> sides(line.size() - 1, true);
    if (k > 0) sides.front() = false;
    sides.back() = false;
    emit(line, sides);
  }
  for (int k = 0; k <= m; ++k) {  // north-running line along c = kL
    const int c = k * L;
    std::vector<Cell> line{{0, inward(c)}};
    for (int r = 0; r <= n; ++r) line.push_back({r, c});
    line.push_back({n, inward(c)});
    std::vector<bool> sides(line.size() - 1, true);
    sides.front() = sides.back() = false;
    emit(line, sides);
  }
  for (int a = 1; a < m; ++a)
    for (int b = 1; b < m; ++b) {
      const int r = a * L, c = b * L;
      emit({{r + 1, c}, {r, c}, {r, c + 1}}, {false, false});
    }
  return g;
}

}  // namespace tgrid
