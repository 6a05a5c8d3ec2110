#pragma once
// Independent reference adjustment for the tests: a dense Gauss-Newton solve in
// Eigen, in SI units (metres, radians), with a numerically stable LDLᵀ of the full
// normal matrix, ellipses from an eigen-decomposition and Helmert by full
// traces. It shares no code with the program's adjustment.
#include <Eigen/Dense>

#include <cmath>
#include <map>
#include <vector>

#include "tests/traverse/synthetic2.h"

namespace ref {

struct Weights {
  double angleSec = 5.0;  // σβ
  double a = 5.0, b = 5.0;  // σD = A + B·D/1000 mm (DistanceErrorType 0)
};

struct Result {
  std::map<int, int> unknown;  // point index -> unknown number
  Eigen::VectorXd coords;      // x0, y0, x1, y1 ... metres
  Eigen::MatrixXd Q;           // m²
  double sigma0 = -1;
  double scale1 = 1, scale2 = 1;  // Helmert factors on the prior weights
  double pvv1 = 0, pvv2 = 0, r1 = 0, r2 = 0;
};

inline double Wrap(double a) {
  while (a > synth2::kPi) a -= 2 * synth2::kPi;
  while (a < -synth2::kPi) a += 2 * synth2::kPi;
  return a;
}

// Adjusts the plane network; start values are the truth moved by `offset` metres.
inline Result Adjust(const synth2::Network& net, const std::vector<synth2::Obs>& obs, const Weights& w,
                     bool helmert = false, double offset = 0.05) {
  Result r;
  for (std::size_t i = 0; i < net.points.size(); ++i)
    if (!net.points[i].known) {
      const int k = static_cast<int>(r.unknown.size());
      r.unknown[static_cast<int>(i)] = k;
    }
  const int t = 2 * static_cast<int>(r.unknown.size());
  r.coords.resize(t);
  for (auto [pi, k] : r.unknown) {
    r.coords[2 * k] = net.points[pi].x + offset;
    r.coords[2 * k + 1] = net.points[pi].y - offset;
  }
  std::vector<const synth2::Obs*> plane;
  for (const auto& o : obs)
    if (o.kind != synth2::Obs::Dh) plane.push_back(&o);
  const int m = static_cast<int>(plane.size());
  std::vector<double> p0(m);
  for (int i = 0; i < m; ++i) {
    if (plane[i]->kind == synth2::Obs::Angle) {
      const double s = w.angleSec / synth2::kRho;
      p0[i] = 1.0 / (s * s);
    } else {
      const double s = (w.a + w.b * plane[i]->value / 1000.0) / 1000.0;
      p0[i] = 1.0 / (s * s);
    }
  }
  auto xy = [&](int pi, double* x, double* y) {
    auto it = r.unknown.find(pi);
    if (it == r.unknown.end()) {
      *x = net.points[pi].x;
      *y = net.points[pi].y;
    } else {
      *x = r.coords[2 * it->second];
      *y = r.coords[2 * it->second + 1];
    }
  };
  auto col = [&](int pi) {
    auto it = r.unknown.find(pi);
    return it == r.unknown.end() ? -1 : 2 * it->second;
  };
  Eigen::MatrixXd A(m, t);
  Eigen::VectorXd l(m);
  auto linearise = [&] {
    A.setZero();
    for (int i = 0; i < m; ++i) {
      const synth2::Obs& o = *plane[i];
      if (o.kind == synth2::Obs::Side) {
        double x1, y1, x2, y2;
        xy(o.from, &x1, &y1);
        xy(o.to, &x2, &y2);
        const double s = std::hypot(x2 - x1, y2 - y1);
        l[i] = s - o.value;
        if (col(o.from) >= 0) {
          A(i, col(o.from)) -= (x2 - x1) / s;
          A(i, col(o.from) + 1) -= (y2 - y1) / s;
        }
        if (col(o.to) >= 0) {
          A(i, col(o.to)) += (x2 - x1) / s;
          A(i, col(o.to) + 1) += (y2 - y1) / s;
        }
      } else {
        double xs, ys, xb, yb, xf, yf;
        xy(o.at, &xs, &ys);
        xy(o.from, &xb, &yb);
        xy(o.to, &xf, &yf);
        l[i] = Wrap(std::atan2(yf - ys, xf - xs) - std::atan2(yb - ys, xb - xs) - o.value);
        // d atan2(dy, dx) = (dx·d(dy) − dy·d(dx)) / s²
        auto add = [&](int pi, double gx, double gy) {
          if (col(pi) >= 0) {
            A(i, col(pi)) += gx;
            A(i, col(pi) + 1) += gy;
          }
        };
        const double sf = (xf - xs) * (xf - xs) + (yf - ys) * (yf - ys);
        const double sb = (xb - xs) * (xb - xs) + (yb - ys) * (yb - ys);
        add(o.to, -(yf - ys) / sf, (xf - xs) / sf);
        add(o.at, (yf - ys) / sf, -(xf - xs) / sf);
        add(o.from, (yb - ys) / sb, -(xb - xs) / sb);
        add(o.at, -(yb - ys) / sb, (xb - xs) / sb);
      }
    }
  };
  std::vector<double> p = p0;
  auto solve = [&] {
    for (int it = 0; it < 10; ++it) {
      linearise();
      Eigen::VectorXd P = Eigen::Map<Eigen::VectorXd>(p.data(), m);
      Eigen::MatrixXd N = A.transpose() * P.asDiagonal() * A;
      Eigen::VectorXd u = A.transpose() * P.asDiagonal() * l;
      Eigen::VectorXd dx = N.ldlt().solve(-u);
      r.coords += dx;
      if (dx.cwiseAbs().maxCoeff() < 1e-8) break;  // coordinates of 3.5e6 m resolve 5e-10 m
    }
    linearise();
    Eigen::VectorXd P = Eigen::Map<Eigen::VectorXd>(p.data(), m);
    Eigen::MatrixXd N = A.transpose() * P.asDiagonal() * A;
    r.Q = N.inverse();
    r.pvv1 = r.pvv2 = 0;
    r.r1 = r.r2 = 0;
    Eigen::MatrixXd AQ = A * r.Q;
    for (int i = 0; i < m; ++i) {
      const double red = 1.0 - p[i] * AQ.row(i).dot(A.row(i));
      const double v = l[i];  // at convergence the residuals are the misclosures
      if (plane[i]->kind == synth2::Obs::Angle) {
        r.pvv1 += p[i] * v * v;
        r.r1 += red;
      } else {
        r.pvv2 += p[i] * v * v;
        r.r2 += red;
      }
    }
    const int redundancy = m - t;
    r.sigma0 = redundancy > 0 ? std::sqrt((r.pvv1 + r.pvv2) / redundancy) : -1;
  };
  solve();
  if (helmert) {
    for (int pass = 0; pass < 60; ++pass) {
      const double s1 = r.pvv1 / r.r1, s2 = r.pvv2 / r.r2;
      for (int i = 0; i < m; ++i) p[i] /= plane[i]->kind == synth2::Obs::Angle ? s1 : s2;
      r.scale1 /= s1;
      r.scale2 /= s2;
      solve();
      if (std::fabs(s1 - 1) < 1e-10 && std::fabs(s2 - 1) < 1e-10) break;
    }
  }
  return r;
}

// Error ellipse (mm, radians in [0, π)) of unknown k from σ0·Q (Q in m²).
struct Ellipse {
  double a, b, f;
};
inline Ellipse EllipseOf(const Result& r, int k) {
  Eigen::Matrix2d q = r.Q.block(2 * k, 2 * k, 2, 2) * 1e6;
  Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> es(q);
  const Eigen::Vector2d v = es.eigenvectors().col(1);
  double f = std::atan2(v[1], v[0]);
  while (f < 0) f += synth2::kPi;
  while (f >= synth2::kPi) f -= synth2::kPi;
  return {r.sigma0 * std::sqrt(es.eigenvalues()[1]), r.sigma0 * std::sqrt(std::max(0.0, es.eigenvalues()[0])), f};
}

}  // namespace ref
