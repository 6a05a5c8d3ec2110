#pragma once
// Synthetic traverse jobs: chosen true coordinates in, input-grid rows out.
//
// Observations are made up from the truth (left angles, horizontal sides,
// height differences) and written with enough digits that an exact job must
// come back to the truth within 1e-6 m. Errors can be added per row to check
// closures and their distribution against figures worked out here.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace synth {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRho = 206264.806247096;  // seconds per radian

struct Pt {
  std::string name;
  double x = 0, y = 0, h = 0;
};

// Any point type with x and y (the network builder's points too).
template <class P>
double Azimuth(const P& a, const P& b) {
  double az = std::atan2(b.y - a.y, b.x - a.x);
  if (az < 0) az += 2 * kPi;
  return az;
}
inline double Dist(const Pt& a, const Pt& b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Left angle at b from the back point a to the fore point c, in [0, 2π).
inline double LeftAngle(const Pt& a, const Pt& b, const Pt& c) {
  double v = Azimuth(b, c) - Azimuth(b, a);
  while (v < 0) v += 2 * kPi;
  while (v >= 2 * kPi) v -= 2 * kPi;
  return v;
}

// "d m s.ssssssss" (the blank form of the angle cell), full precision.
inline std::string AngleText(double rad) {
  while (rad < 0) rad += 2 * kPi;
  double deg = rad * 180.0 / kPi;
  int d = static_cast<int>(deg);
  double rest = (deg - d) * 60.0;
  int m = static_cast<int>(rest);
  double s = (rest - m) * 60.0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d %d %.8f", d, m, s);
  return buf;
}

inline std::string Num(double v, int decimals = 9) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// One row of a traverse job (types 0-3): the point, what is typed for it and
// the errors added to its observations.
struct ChainRow {
  Pt p;
  bool knownXY = false, knownH = false;
  bool angle = false;  // angle at this row (back = previous row, fore = next row)
  bool side = false;   // side to the next row
  bool dh = false;     // height difference to the next row
  double angleErr = 0; // seconds added to the true angle
  double sideErr = 0;  // metres added to the true side
  double dhErr = 0;    // metres added to the true height difference
  double weight = -1;  // typed weight; < 0: the true side length
};

// Grid rows {name, angle, side, dh, weight, X, Y, H, remark} of layout 1.
inline std::vector<std::vector<std::string>> ChainRows(const std::vector<ChainRow>& rows) {
  std::vector<std::vector<std::string>> out;
  const std::size_t n = rows.size();
  for (std::size_t i = 0; i < n; ++i) {
    const ChainRow& r = rows[i];
    std::vector<std::string> c(9);
    c[0] = r.p.name;
    if (r.angle && i > 0 && i + 1 < n)
      c[1] = AngleText(LeftAngle(rows[i - 1].p, r.p, rows[i + 1].p) + r.angleErr / kRho);
    if (i + 1 < n) {
      const double d = Dist(r.p, rows[i + 1].p);
      if (r.side) c[2] = Num(d + r.sideErr);
      if (r.dh) {
        c[3] = Num(rows[i + 1].p.h - r.p.h + r.dhErr);
        c[4] = Num(r.weight >= 0 ? r.weight : d, 6);
      }
    }
    if (r.knownXY) {
      c[5] = Num(r.p.x);
      c[6] = Num(r.p.y);
    }
    if (r.knownH) c[7] = Num(r.p.h);
    out.push_back(c);
  }
  return out;
}

// Connecting traverse (type 0): A B P1..Pk C D; A, B, C, D known, B and C with
// heights; angles at B..C, sides and height differences B..C.
inline std::vector<ChainRow> Connecting(const std::vector<Pt>& pts, bool plane = true,
                                        bool height = true) {
  std::vector<ChainRow> rows;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    ChainRow r;
    r.p = pts[i];
    const bool end = i == 1 || i == n - 2;
    r.knownXY = plane && (i == 0 || end || i == n - 1);
    r.knownH = height && end;
    r.angle = plane && i >= 1 && i <= n - 2;
    r.side = plane && i >= 1 && i <= n - 3;
    r.dh = height && i >= 1 && i <= n - 3;
    rows.push_back(r);
  }
  return rows;
}

// Closed traverse (type 0): A B P1..Pk B P1, given the points A B P1..Pk.
inline std::vector<ChainRow> Closed(const std::vector<Pt>& pts, bool plane = true,
                                    bool height = true) {
  std::vector<Pt> loop = pts;
  loop.push_back(pts[1]);
  loop.push_back(pts[2]);
  std::vector<ChainRow> rows = Connecting(loop, plane, height);
  // Only A and B are typed; the closing B and P1 are linked by name.
  const std::size_t n = rows.size();
  rows[n - 2].knownXY = false;
  rows[n - 2].knownH = false;
  rows[n - 1].knownXY = false;
  return rows;
}

// Open traverse (type 2): A B P1..Pk; A, B known, B with height.
inline std::vector<ChainRow> Open(const std::vector<Pt>& pts, bool plane = true,
                                  bool height = true) {
  std::vector<ChainRow> rows;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    ChainRow r;
    r.p = pts[i];
    r.knownXY = plane && i <= 1;
    r.knownH = height && i == 1;
    r.angle = plane && i >= 1 && i <= n - 2;
    r.side = plane && i >= 1 && i <= n - 2;
    r.dh = height && i >= 1 && i <= n - 2;
    rows.push_back(r);
  }
  return rows;
}

// No-orientation traverse (type 1): B P1..Pk C; B and C known with heights.
inline std::vector<ChainRow> NoOrientation(const std::vector<Pt>& pts, bool plane = true,
                                           bool height = true) {
  std::vector<ChainRow> rows;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    ChainRow r;
    r.p = pts[i];
    const bool end = i == 0 || i == n - 1;
    r.knownXY = plane && end;
    r.knownH = height && end;
    r.angle = plane && i >= 1 && i <= n - 2;
    r.side = plane && i + 1 < n;
    r.dh = height && i + 1 < n;
    rows.push_back(r);
  }
  return rows;
}

// Coordinate traverse (type 4) rows {name, obsX, obsY, obsH, weight, X, Y, H, remark}:
// the first row carries the known start, every later row the observed point, the
// last row also its known coordinates (unless closed: named like the first).
inline std::vector<std::vector<std::string>> CoordRows(const std::vector<Pt>& truth,
                                                       const std::vector<Pt>& observed,
                                                       bool plane = true, bool height = true) {
  std::vector<std::vector<std::string>> out;
  const std::size_t n = truth.size();
  const bool closed = truth.back().name == truth.front().name;
  for (std::size_t i = 0; i < n; ++i) {
    std::vector<std::string> c(9);
    c[0] = truth[i].name;
    if (i > 0) {
      if (plane) {
        c[1] = Num(observed[i].x);
        c[2] = Num(observed[i].y);
      }
      if (height) c[3] = Num(observed[i].h);
    }
    if (i + 1 < n && !plane) c[4] = Num(Dist(truth[i], truth[i + 1]), 6);
    const bool typed = i == 0 || (i + 1 == n && !closed);
    if (typed && plane) {
      c[5] = Num(truth[i].x);
      c[6] = Num(truth[i].y);
    }
    if (typed && height) c[7] = Num(truth[i].h);
    out.push_back(c);
  }
  return out;
}

// Single-run levelling (type 5) rows {name, backsight, intermediate, foresight, H, remark}
// from true heights: a set-up between every two consecutive points, the line of
// sight at h_i + back; `known` marks the rows with typed heights.
inline std::vector<std::vector<std::string>> LevellingRows(const std::vector<Pt>& pts,
                                                           const std::vector<bool>& known,
                                                           double backsight = 1.5) {
  std::vector<std::vector<std::string>> out;
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::vector<std::string> c(6);
    c[0] = pts[i].name;
    if (i + 1 < n) c[1] = Num(backsight, 6);
    if (i > 0) c[3] = Num(pts[i - 1].h + backsight - pts[i].h, 6);
    if (known[i]) c[4] = Num(pts[i].h, 6);
    out.push_back(c);
  }
  return out;
}

// A realistic connecting traverse: orientation A, start B, four new points,
// end C, orientation D (x north, y east, metres; legs of 180-320 m).
inline std::vector<Pt> SampleConnecting() {
  return {
      {"A", 3371820.412, 501230.775, 48.210},  {"B", 3371512.306, 501104.918, 50.112},
      {"P1", 3371395.870, 501381.402, 52.874}, {"P2", 3371188.115, 501540.660, 51.309},
      {"P3", 3371091.447, 501845.231, 55.672}, {"P4", 3370874.980, 502013.506, 57.015},
      {"C", 3370802.641, 502318.870, 56.420},  {"D", 3370540.300, 502497.115, 54.880},
  };
}

// A closed loop round B: A, B, then five new points.
inline std::vector<Pt> SampleClosed() {
  return {
      {"A", 3371820.412, 501230.775, 48.210},  {"B", 3371512.306, 501104.918, 50.112},
      {"Q1", 3371403.551, 501372.004, 51.730}, {"Q2", 3371170.228, 501418.660, 53.994},
      {"Q3", 3371049.105, 501210.337, 52.418}, {"Q4", 3371151.872, 500986.205, 51.006},
      {"Q5", 3371360.944, 500941.770, 49.847},
  };
}

}  // namespace synth
