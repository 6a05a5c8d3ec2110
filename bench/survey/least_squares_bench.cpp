// CWchFch on synthetic plane traverse networks: rows of points joined into
// traverses with ties between neighbouring rows, angles and sides observed,
// four known points. Each run forms the error equations, builds and inverts the
// normal matrix and solves, as one adjustment pass of the traverse view does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "survey/least_squares.h"

namespace {

constexpr double kRho = 206264.806247096;

struct Network {
  std::vector<double> x, y;  // all points; the first four are known
  std::vector<std::pair<int, int>> sides;
  struct Angle { int back, station, fore; };
  std::vector<Angle> angles;
  int unknownPoints = 0;
  int Unknown(int p) const { return p < 4 ? -1 : p - 4; }
};

// `unknowns` = 2 × unknown points; rows of 25 points, 200 m apart.
Network MakeNetwork(int unknowns) {
  Network n;
  n.unknownPoints = unknowns / 2;
  const int perRow = 25;
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> jitter(-20, 20);
  // Known points: two at the start, two at the far end.
  const int total = n.unknownPoints + 4;
  const int rows = (n.unknownPoints + perRow - 1) / perRow;
  n.x = {0, 0, rows * 300.0, rows * 300.0};
  n.y = {-400, -200, -400, -200};
  for (int i = 0; i < n.unknownPoints; ++i) {
    int r = i / perRow, c = i % perRow;
    int col = (r % 2 == 0) ? c : perRow - 1 - c;  // serpentine traverse
    n.x.push_back(r * 300.0 + jitter(rng));
    n.y.push_back(col * 200.0 + jitter(rng));
  }
  // The main traverse: K1 -> first unknown -> ... -> last unknown -> K3.
  std::vector<int> chain = {0, 1};
  for (int i = 0; i < n.unknownPoints; ++i) chain.push_back(4 + i);
  chain.push_back(3);
  chain.push_back(2);
  for (std::size_t i = 1; i + 1 < chain.size(); ++i) n.sides.push_back({chain[i], chain[i + 1]});
  for (std::size_t i = 1; i + 1 < chain.size(); ++i) n.angles.push_back({chain[i - 1], chain[i], chain[i + 1]});
  // Ties between neighbouring rows every fifth column, with an angle at each end.
  for (int i = 0; i + perRow < n.unknownPoints; i += 5) {
    int r = i / perRow, c = i % perRow;
    int j = (r + 1) * perRow + (perRow - 1 - c);  // same column in the next row
    if (j >= n.unknownPoints) continue;
    int a = 4 + i, b = 4 + j;
    n.sides.push_back({a, b});
    int prevA = i > 0 ? a - 1 : 1;
    n.angles.push_back({prevA, a, b});
  }
  (void)total;
  return n;
}

// One pass: error equations at approximate coordinates 5 cm off the truth.
void Fill(const Network& n, survey::CWchFch& w, const std::vector<double>& ax,
          const std::vector<double>& ay) {
  w.Init(2 * n.unknownPoints, static_cast<int>(n.angles.size()), static_cast<int>(n.sides.size()), 0, 0);
  for (std::size_t s = 0; s < n.sides.size(); ++s) {
    auto [a, b] = n.sides[s];
    double dx = ax[b] - ax[a], dy = ay[b] - ay[a], s0 = std::hypot(dx, dy);
    double obs = std::hypot(n.x[b] - n.x[a], n.y[b] - n.y[a]);
    int ua = n.Unknown(a), ub = n.Unknown(b);
    int idx[4] = {ua < 0 ? -1 : 2 * ua, ua < 0 ? -1 : 2 * ua + 1, ub < 0 ? -1 : 2 * ub, ub < 0 ? -1 : 2 * ub + 1};
    double c[4] = {-dx / s0, -dy / s0, dx / s0, dy / s0};
    w.AddToRow(2, static_cast<int>(s), idx, c, 4);
    w.l2[s] = (s0 - obs) * 1000;
    w.p2[s] = 1 / (2.0 * 2.0);
  }
  for (std::size_t k = 0; k < n.angles.size(); ++k) {
    const auto& g = n.angles[k];
    auto dir = [&](const std::vector<double>& X, const std::vector<double>& Y, int from, int to) {
      return std::atan2(Y[to] - Y[from], X[to] - X[from]);
    };
    double beta0 = dir(ax, ay, g.station, g.fore) - dir(ax, ay, g.station, g.back);
    double obs = dir(n.x, n.y, g.station, g.fore) - dir(n.x, n.y, g.station, g.back);
    double l = std::remainder(beta0 - obs, 2 * M_PI) * kRho;
    auto coef = [&](int to, double* ca, double* cb) {
      double dx = ax[to] - ax[g.station], dy = ay[to] - ay[g.station], s2 = dx * dx + dy * dy;
      *ca = -kRho * dy / s2 / 1000;
      *cb = kRho * dx / s2 / 1000;
    };
    double ab, bb, af, bf;
    coef(g.back, &ab, &bb);
    coef(g.fore, &af, &bf);
    int us = n.Unknown(g.station), ubk = n.Unknown(g.back), uf = n.Unknown(g.fore);
    int idx[6] = {us < 0 ? -1 : 2 * us, us < 0 ? -1 : 2 * us + 1, ubk < 0 ? -1 : 2 * ubk,
                  ubk < 0 ? -1 : 2 * ubk + 1, uf < 0 ? -1 : 2 * uf, uf < 0 ? -1 : 2 * uf + 1};
    double c[6] = {ab - af, bb - bf, -ab, -bb, af, bf};
    w.AddToRow(1, static_cast<int>(k), idx, c, 6);
    w.l1[k] = l;
    w.p1[k] = 1 / (2.5 * 2.5);
  }
}

// range(0): unknowns; range(1): 0 default inverter (Cholesky), 1 full-pivoting
// Gauss-Jordan.
void BM_CWchFchSolveWithInverse(benchmark::State& state) {
  const int unknowns = static_cast<int>(state.range(0));
  survey::CGaussJordanInverter gaussJordan;
  Network n = MakeNetwork(unknowns);
  std::vector<double> ax = n.x, ay = n.y;
  for (std::size_t i = 4; i < ax.size(); ++i) {
    ax[i] += 0.05;
    ay[i] -= 0.03;
  }
  survey::CWchFch w;
  if (state.range(1) == 1) w.SetInverter(&gaussJordan);
  double largest = 0;
  for (auto _ : state) {
    Fill(n, w, ax, ay);
    largest = w.Solve(false);
    benchmark::DoNotOptimize(largest);
  }
  if (largest < 0) state.SkipWithError("singular network");
  state.counters["unknowns"] = unknowns;
  state.counters["rows"] = static_cast<double>(n.angles.size() + n.sides.size());
  state.counters["max_dx_mm"] = largest;
  state.counters["sigma0"] = w.sigma0;
}

BENCHMARK(BM_CWchFchSolveWithInverse)
    ->ArgNames({"unknowns", "gauss_jordan"})
    ->ArgsProduct({{100, 500, 2000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
