#pragma once
// Made-up least-squares systems for the solver tests: groups of sparse rows with
// weights over four orders of magnitude, every unknown observed, and their
// independent dense solution with Eigen (full-pivoting LU).
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>
#include <vector>

#include "survey/least_squares.h"

namespace survey_test {

using survey::CLsqSolver;
using survey::CWchFch;

struct Row {
  std::vector<int> idx;
  std::vector<double> coef;
  double p = 1;
  double l = 0;
};

// A made-up system: groups of sparse rows (2 to 6 unknowns each) with weights over
// four orders of magnitude, every unknown observed.
struct System {
  int t = 0;
  std::vector<Row> g1, g2, g3;

  Eigen::MatrixXd Dense(const std::vector<Row>& rows) const {
    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(rows.size(), t);
    for (std::size_t i = 0; i < rows.size(); ++i)
      for (std::size_t j = 0; j < rows[i].idx.size(); ++j)
        if (rows[i].idx[j] >= 0) A(i, rows[i].idx[j]) += rows[i].coef[j];
    return A;
  }
  static Eigen::VectorXd Vec(const std::vector<Row>& rows, bool weights) {
    Eigen::VectorXd v(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) v(i) = weights ? rows[i].p : rows[i].l;
    return v;
  }

  // Loads the system; weights only when asked (the adjustments set them once).
  // Through the solver interface, groups 1 and 2 only.
  void Fill(CLsqSolver& w, bool weights = true) const {
    w.Init(t, static_cast<int>(g1.size()), static_cast<int>(g2.size()));
    auto add = [&](int group, const std::vector<Row>& rows) {
      for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(w.AddToRow(group, static_cast<int>(i), rows[i].idx.data(), rows[i].coef.data(),
                               static_cast<int>(rows[i].idx.size())));
        if (weights) w.Weight(group, static_cast<int>(i)) = rows[i].p;
        w.Misclosure(group, static_cast<int>(i)) = rows[i].l;
      }
    };
    add(1, g1);
    add(2, g2);
  }

  void Fill(CWchFch& w, bool weights = true) const {
    w.Init(t, static_cast<int>(g1.size()), static_cast<int>(g2.size()), static_cast<int>(g3.size()), 0);
    auto add = [&](int group, const std::vector<Row>& rows, std::vector<double>* p, std::vector<double>& l) {
      for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(w.AddToRow(group, static_cast<int>(i), rows[i].idx.data(), rows[i].coef.data(),
                               static_cast<int>(rows[i].idx.size())));
        if (p && weights) (*p)[i] = rows[i].p;
        l[i] = rows[i].l;
      }
    };
    add(1, g1, &w.p1, w.l1);
    add(2, g2, &w.p2, w.l2);
    add(3, g3, nullptr, w.l3);
  }
};

inline System MakeSystem(int t, int m1, int m2, unsigned seed, double weightScale = 1) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> coef(-2, 2), lval(-5, 5), logw(-2, 2);
  std::uniform_int_distribution<int> pick(0, t - 1), cnt(2, 6);
  System s;
  s.t = t;
  auto make = [&](int m, std::vector<Row>& rows, int offset) {
    for (int i = 0; i < m; ++i) {
      Row r;
      // Every unknown appears at least once so that the system is regular.
      r.idx.push_back((i + offset) % t);
      r.coef.push_back(coef(rng) + 3);
      int c = cnt(rng);
      for (int j = 1; j < c; ++j) {
        r.idx.push_back(pick(rng));
        r.coef.push_back(coef(rng));
      }
      if (i % 7 == 3) {  // a known point among the unknowns
        r.idx.push_back(-1);
        r.coef.push_back(99);
      }
      r.p = weightScale * std::pow(10.0, logw(rng));
      r.l = lval(rng);
      rows.push_back(r);
    }
  };
  make(m1, s.g1, 0);
  make(m2, s.g2, t / 2);
  return s;
}

struct Reference {
  Eigen::VectorXd x;
  Eigen::MatrixXd Q;
  double pvv1 = 0, pvv2 = 0, sigma0 = 0;
};

// Independent solution: dense normals, full-pivoting LU inverse, residuals.
inline Reference Solve(const System& s) {
  Eigen::MatrixXd A1 = s.Dense(s.g1), A2 = s.Dense(s.g2), C = s.Dense(s.g3);
  Eigen::VectorXd P1 = System::Vec(s.g1, true), P2 = System::Vec(s.g2, true);
  Eigen::VectorXd l1 = System::Vec(s.g1, false), l2 = System::Vec(s.g2, false), l3 = System::Vec(s.g3, false);
  const int m3 = static_cast<int>(s.g3.size()), n = s.t + m3;
  Eigen::MatrixXd K = Eigen::MatrixXd::Zero(n, n);
  K.topLeftCorner(s.t, s.t) = A1.transpose() * P1.asDiagonal() * A1 + A2.transpose() * P2.asDiagonal() * A2;
  K.bottomLeftCorner(m3, s.t) = C;
  K.topRightCorner(s.t, m3) = C.transpose();
  Eigen::VectorXd u(n);
  u.head(s.t) = A1.transpose() * P1.asDiagonal() * l1 + A2.transpose() * P2.asDiagonal() * l2;
  u.tail(m3) = l3;
  Reference r;
  r.Q = K.fullPivLu().inverse();
  r.x = -r.Q * u;
  Eigen::VectorXd v1 = A1 * r.x.head(s.t) + l1, v2 = A2 * r.x.head(s.t) + l2;
  r.pvv1 = v1.dot(P1.asDiagonal() * v1);
  r.pvv2 = v2.dot(P2.asDiagonal() * v2);
  const int red = static_cast<int>(s.g1.size() + s.g2.size()) + m3 - s.t;
  r.sigma0 = red > 0 ? std::sqrt((r.pvv1 + r.pvv2) / red) : -1;
  return r;
}

}  // namespace survey_test
