#pragma once
// Synthetic plane networks for the rigorous-adjustment tests and benchmark: true
// points, traverse lines through them, observations made up from the truth (with
// optional Gaussian noise), and the rows of the data-input table (types 0-3:
// 点名 角度 边长 高差 权 X Y H 备注) that type them in.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/number.h"
#include "tests/traverse/synthetic.h"

namespace synth2 {

using synth::AngleText;
using synth::Azimuth;
using synth::kPi;
using synth::kRho;

struct Point {
  std::string name;
  double x = 0, y = 0, h = 0;
  bool known = false;
  bool knownH = false;
};

// One observation as the input table carries it: an angle at row `row` between the
// points of rows row−1 and row+1, or a side / height difference from row to row+1.
struct Obs {
  enum Kind { Angle, Side, Dh } kind;
  int at, from, to;  // point indices: station (angle) / from; back; fore (angle) / to
  double value;      // radians, metres
  double weight = 0; // height weight L (Dh)
};

struct Network {
  std::vector<Point> points;
  std::vector<std::vector<int>> lines;  // point indices of each traverse line
  bool heights = false;
};

inline double Fold(double a) {
  while (a >= 2 * kPi) a -= 2 * kPi;
  while (a < 0) a += 2 * kPi;
  return a;
}

// Observations of every line in table order. Angles whose three points are known
// and sides/differences between two known points are left out, as the input
// checks require.
inline std::vector<Obs> Observe(const Network& net, double angleNoiseSec = 0, double sideNoiseMm = 0,
                                double dhNoiseMm = 0, unsigned seed = 1) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> g(0.0, 1.0);
  std::vector<Obs> out;
  for (const auto& line : net.lines) {
    const int len = static_cast<int>(line.size());
    for (int k = 0; k < len; ++k) {
      const Point& p = net.points[line[k]];
      if (k > 0 && k + 1 < len) {
        const Point& b = net.points[line[k - 1]];
        const Point& f = net.points[line[k + 1]];
        if (!(p.known && b.known && f.known)) {
          double beta = Fold(Azimuth(p, f) - Azimuth(p, b)) + angleNoiseSec * g(rng) / kRho;
          out.push_back({Obs::Angle, line[k], line[k - 1], line[k + 1], Fold(beta)});
        }
      }
      if (k + 1 < len) {
        const Point& f = net.points[line[k + 1]];
        if (!(p.known && f.known)) {
          double s = std::hypot(f.x - p.x, f.y - p.y) + sideNoiseMm * g(rng) / 1000.0;
          out.push_back({Obs::Side, line[k], line[k], line[k + 1], s});
        }
        if (net.heights && !(p.knownH && f.knownH)) {
          const double L = std::hypot(f.x - p.x, f.y - p.y);
          out.push_back({Obs::Dh, line[k], line[k], line[k + 1], f.h - p.h + dhNoiseMm * g(rng) / 1000.0, L});
        }
      }
    }
  }
  return out;
}

// Rows of the data-input table, consuming `obs` in the order Observe produced.
inline std::vector<std::vector<std::string>> Rows(const Network& net, const std::vector<Obs>& obs) {
  std::vector<std::vector<std::string>> rows;
  std::size_t o = 0;
  for (const auto& line : net.lines) {
    const int len = static_cast<int>(line.size());
    for (int k = 0; k < len; ++k) {
      const Point& p = net.points[line[k]];
      std::vector<std::string> r(9);
      r[0] = p.name;
      if (p.known) {
        r[5] = platform::FormatFixed(p.x, 9);
        r[6] = platform::FormatFixed(p.y, 9);
      }
      if (net.heights && p.knownH) r[7] = platform::FormatFixed(p.h, 6);
      if (o < obs.size() && obs[o].kind == Obs::Angle && obs[o].at == line[k] && k > 0 && k + 1 < len &&
          obs[o].from == line[k - 1] && obs[o].to == line[k + 1]) {
        r[1] = AngleText(obs[o].value);
        ++o;
      }
      if (o < obs.size() && obs[o].kind == Obs::Side && k + 1 < len && obs[o].from == line[k] &&
          obs[o].to == line[k + 1]) {
        r[2] = platform::FormatFixed(obs[o].value, 7);
        ++o;
      }
      if (o < obs.size() && obs[o].kind == Obs::Dh && k + 1 < len && obs[o].from == line[k] &&
          obs[o].to == line[k + 1]) {
        r[3] = platform::FormatFixed(obs[o].value, 7);
        r[4] = platform::FormatFixed(obs[o].weight, 3);
        ++o;
      }
      rows.push_back(r);
    }
  }
  return rows;
}

// A rows × cols grid of points about 300 m apart (jittered), the four corners
// known; lines along both outer columns, then every grid row, then the inner
// columns. Every unknown point is reached by an angle-and-side chain.
inline Network Grid(int rowsN, int colsN, unsigned seed = 7, bool heights = false) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> j(-60.0, 60.0);
  Network net;
  net.heights = heights;
  auto id = [&](int r, int c) { return r * colsN + c; };
  for (int r = 0; r < rowsN; ++r)
    for (int c = 0; c < colsN; ++c) {
      Point p;
      p.name = "G" + std::to_string(r) + "_" + std::to_string(c);
      p.x = 3500000.0 + 300.0 * r + j(rng);
      p.y = 400000.0 + 300.0 * c + j(rng);
      p.h = 50.0 + 0.01 * r * c + 0.5 * std::sin(r + 0.3 * c);
      const bool corner = (r == 0 || r == rowsN - 1) && (c == 0 || c == colsN - 1);
      p.known = corner;
      p.knownH = corner;
      net.points.push_back(p);
    }
  auto column = [&](int c) {
    std::vector<int> l;
    for (int r = 0; r < rowsN; ++r) l.push_back(id(r, c));
    net.lines.push_back(l);
  };
  column(0);
  column(colsN - 1);
  for (int r = 0; r < rowsN; ++r) {
    std::vector<int> l;
    for (int c = 0; c < colsN; ++c) l.push_back(id(r, c));
    net.lines.push_back(l);
  }
  for (int c = 1; c + 1 < colsN; ++c) column(c);
  return net;
}

// The network turned by `deg` degrees about (x0, y0).
inline Network Rotated(Network net, double deg, double x0, double y0) {
  const double a = deg * kPi / 180.0, c = std::cos(a), s = std::sin(a);
  for (Point& p : net.points) {
    const double dx = p.x - x0, dy = p.y - y0;
    p.x = x0 + c * dx - s * dy;
    p.y = y0 + s * dx + c * dy;
  }
  return net;
}

}  // namespace synth2
