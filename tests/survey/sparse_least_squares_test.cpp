// CSparseLsq against an independent dense Eigen solve of the same random system
// and of a linearised traverse network of a few thousand unknowns, and its
// refusal of a singular one.
#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "platform/fake_ports.h"
#include "survey/lsq_solver.h"
#include "survey/sparse_least_squares.h"

// The sparse solver alone against a dense Eigen solve of the same random system,
// including cofactors outside the envelope and the Helmert traces.
TEST(SparseLsqTest, AgreesWithDenseSolve) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const int t = 40, m1 = 70, m2 = 50;
  survey::CSparseLsq lsq;
  lsq.Init(t, m1, m2);
  Eigen::MatrixXd A = Eigen::MatrixXd::Zero(m1 + m2, t);
  Eigen::VectorXd l(m1 + m2), p(m1 + m2);
  for (int r = 0; r < m1 + m2; ++r) {
    const int g = r < m1 ? 1 : 2, row = r < m1 ? r : r - m1;
    const int c0 = (r * 7) % (t - 3);
    int idx[3] = {g == 2 && row < t ? row : c0, c0 + 1 + (r % 2), (c0 * 5 + 11) % t};
    double coef[3] = {u(rng), u(rng), u(rng)};
    lsq.AddToRow(g, row, idx, coef, 3);
    for (int k = 0; k < 3; ++k) A(r, idx[k]) += coef[k];
    l[r] = u(rng);
    p[r] = 0.5 + u(rng) * 0.4 + (g == 2 ? 1.0 : 0.0);
    lsq.Weight(g, row) = p[r];
    lsq.Misclosure(g, row) = l[r];
  }
  ASSERT_GT(lsq.Solve(), 0.0);
  const Eigen::MatrixXd N = A.transpose() * p.asDiagonal() * A;
  const Eigen::MatrixXd Q = N.inverse();
  const Eigen::VectorXd x = -Q * (A.transpose() * p.asDiagonal() * l);
  for (int i = 0; i < t; ++i) EXPECT_NEAR(lsq.X(i), x[i], 1e-9 * (1 + std::fabs(x[i])));
  for (int i = 0; i < t; ++i)
    for (int j = 0; j < t; ++j) ASSERT_NEAR(lsq.Q(i, j), Q(i, j), 1e-9 * (1 + std::fabs(Q(i, i)))) << i << "," << j;
  const Eigen::VectorXd v = A * x + l;
  const double pvv = v.dot(p.asDiagonal() * v);
  EXPECT_NEAR(lsq.Sigma0(), std::sqrt(pvv / (m1 + m2 - t)), 1e-10);
  // Helmert: the factors are pvv_g / (m_g − tr(N_g Q)).
  Eigen::VectorXd p1 = p, p2 = p;
  p1.tail(m2).setZero();
  p2.head(m1).setZero();
  const double r1 = m1 - (A.transpose() * p1.asDiagonal() * A * Q).trace();
  const double r2 = m2 - (A.transpose() * p2.asDiagonal() * A * Q).trace();
  const double s1 = v.head(m1).dot(p.head(m1).asDiagonal() * v.head(m1)) / r1;
  const double s2 = v.tail(m2).dot(p.tail(m2).asDiagonal() * v.tail(m2)) / r2;
  EXPECT_NEAR(lsq.HelmertStep(), std::fabs(s1 - s2), 1e-9);
  EXPECT_NEAR(lsq.Weight(1, 0), p[0] / s1, 1e-12);
  EXPECT_NEAR(lsq.Weight(2, 0), p[m1] / s2, 1e-12);
}

TEST(SparseLsqTest, SingularSystemShowsBothMessages) {
  platform::FakeMessagePort port;
  survey::CSparseLsq lsq;
  lsq.Init(2, 2, 0);
  int idx[1] = {0};
  double one[1] = {1.0};
  lsq.AddToRow(1, 0, idx, one, 1);
  lsq.AddToRow(1, 1, idx, one, 1);  // unknown 1 is never observed
  lsq.Weight(1, 0) = lsq.Weight(1, 1) = 1;
  EXPECT_LT(lsq.Solve(), -1.0);
  ASSERT_EQ(port.Messages().size(), 2u);
  EXPECT_EQ(port.Messages()[0], "非可逆阵，平差失败！如果选用了“Helmert验后方差守权”，请尝试取消该选项。");
  EXPECT_EQ(port.Messages()[1], "给定的平面网数据不合理，无法完成平差!\n请检查平面数据。");
}

namespace {

// The error equations of a rigorous traverse adjustment, linearised as the plane
// adjustment forms them (angles in seconds, sides and unknowns in millimetres):
// a jittered grid of points 300 m apart, the four corners known, traverse lines
// along every grid row and then every grid column, left angles at the inner
// points of each line, every side measured, noise of 5″ and 5 mm + 5 ppm.
struct TraverseGrid {
  struct Eq {
    std::vector<int> idx;
    std::vector<double> coef;
    double p = 0, l = 0;
  };
  int t = 0;
  std::vector<Eq> angles, sides;
  std::vector<int> unknown;                 // point -> first unknown, −1 known
  std::vector<std::pair<int, int>> joins;   // last point of a line, first of the next

  TraverseGrid(int rowsN, int colsN) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> jitter(-60.0, 60.0);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> x, y;
    for (int r = 0; r < rowsN; ++r)
      for (int c = 0; c < colsN; ++c) {
        x.push_back(300.0 * r + jitter(rng));
        y.push_back(300.0 * c + jitter(rng));
        const bool corner = (r == 0 || r == rowsN - 1) && (c == 0 || c == colsN - 1);
        unknown.push_back(corner ? -1 : t);
        if (!corner) t += 2;
      }
    std::vector<std::vector<int>> lines;
    for (int r = 0; r < rowsN; ++r) {
      lines.emplace_back();
      for (int c = 0; c < colsN; ++c) lines.back().push_back(r * colsN + c);
    }
    for (int c = 0; c < colsN; ++c) {
      lines.emplace_back();
      for (int r = 0; r < rowsN; ++r) lines.back().push_back(r * colsN + c);
    }
    auto ix = [&](int pt, int k) { return unknown[pt] < 0 ? -1 : unknown[pt] + k; };
    const double rho = 206264.806247096;
    for (std::size_t li = 0; li < lines.size(); ++li) {
      const std::vector<int>& line = lines[li];
      if (li + 1 < lines.size() && unknown[line.back()] >= 0 && unknown[lines[li + 1].front()] >= 0)
        joins.push_back({line.back(), lines[li + 1].front()});
      for (std::size_t k = 0; k + 1 < line.size(); ++k) {
        const int a = line[k], b = line[k + 1];
        const double dx = x[b] - x[a], dy = y[b] - y[a], s = std::hypot(dx, dy);
        const double sigma = 5.0 + 5.0 * s / 1000.0;
        sides.push_back({{ix(a, 0), ix(a, 1), ix(b, 0), ix(b, 1)},
                         {-dx / s, -dy / s, dx / s, dy / s},
                         1.0 / (sigma * sigma),
                         sigma * noise(rng)});
      }
      for (std::size_t k = 1; k + 1 < line.size(); ++k) {
        const int st = line[k], bk = line[k - 1], fo = line[k + 1];
        const double dxb = x[bk] - x[st], dyb = y[bk] - y[st], dxf = x[fo] - x[st], dyf = y[fo] - y[st];
        const double sb2 = dxb * dxb + dyb * dyb, sf2 = dxf * dxf + dyf * dyf;
        const double ab = -rho * dyb / sb2 / 1000.0, bb = rho * dxb / sb2 / 1000.0;
        const double af = -rho * dyf / sf2 / 1000.0, bf = rho * dxf / sf2 / 1000.0;
        angles.push_back({{ix(st, 0), ix(st, 1), ix(bk, 0), ix(bk, 1), ix(fo, 0), ix(fo, 1)},
                          {ab - af, bb - bf, -ab, -bb, af, bf},
                          1.0 / 25.0,
                          5.0 * noise(rng)});
      }
    }
  }

  void Fill(survey::CLsqSolver& w) const {
    w.Init(t, static_cast<int>(angles.size()), static_cast<int>(sides.size()));
    int g = 1;
    for (const std::vector<Eq>* eqs : {&angles, &sides}) {
      for (std::size_t r = 0; r < eqs->size(); ++r) {
        const Eq& e = (*eqs)[r];
        w.AddToRow(g, static_cast<int>(r), e.idx.data(), e.coef.data(), static_cast<int>(e.idx.size()));
        w.Weight(g, static_cast<int>(r)) = e.p;
        w.Misclosure(g, static_cast<int>(r)) = e.l;
      }
      ++g;
    }
  }
};

struct Ellipse {
  double a, b;
};

Ellipse EllipseOf(double qxx, double qyy, double qxy, double s0) {
  const double k = std::sqrt((qxx - qyy) * (qxx - qyy) + 4 * qxy * qxy);
  return {s0 * std::sqrt((qxx + qyy + k) / 2), s0 * std::sqrt((qxx + qyy - k) / 2)};
}

}  // namespace

// A network of a few thousand unknowns against its dense solution: corrections,
// the cofactors the precision reads (the blocks of points, legs and the joins of
// one line to the next, which lie outside the factor's pattern), σ0, point errors
// and ellipse axes, all to 1e-9.
TEST(SparseLsqTest, TraverseGridMatchesDenseSolve) {
  const TraverseGrid net(32, 32);
  ASSERT_GT(net.t, 2000);
  std::unique_ptr<survey::CLsqSolver> w = survey::MakeLsqSolver(net.t, survey::LsqNetwork::Plane);
  ASSERT_NE(dynamic_cast<survey::CSparseLsq*>(w.get()), nullptr);
  net.Fill(*w);
  ASSERT_GT(w->Solve(), 0.0);

  Eigen::MatrixXd N = Eigen::MatrixXd::Zero(net.t, net.t);
  Eigen::VectorXd u = Eigen::VectorXd::Zero(net.t);
  const std::size_t m = net.angles.size() + net.sides.size();
  for (const auto* eqs : {&net.angles, &net.sides})
    for (const TraverseGrid::Eq& e : *eqs)
      for (std::size_t a = 0; a < e.idx.size(); ++a) {
        if (e.idx[a] < 0) continue;
        u[e.idx[a]] += e.p * e.coef[a] * e.l;
        for (std::size_t b = 0; b < e.idx.size(); ++b)
          if (e.idx[b] >= 0) N(e.idx[a], e.idx[b]) += e.p * e.coef[a] * e.coef[b];
      }
  const Eigen::LLT<Eigen::MatrixXd> llt(N);
  ASSERT_EQ(llt.info(), Eigen::Success);
  const Eigen::VectorXd x = -llt.solve(u);
  double pvv = 0;
  for (const auto* eqs : {&net.angles, &net.sides})
    for (const TraverseGrid::Eq& e : *eqs) {
      double v = e.l;
      for (std::size_t a = 0; a < e.idx.size(); ++a)
        if (e.idx[a] >= 0) v += e.coef[a] * x[e.idx[a]];
      pvv += e.p * v * v;
    }
  const double s0 = std::sqrt(pvv / static_cast<double>(static_cast<int>(m) - net.t));
  const double xs = x.cwiseAbs().maxCoeff();
  for (int i = 0; i < net.t; ++i) ASSERT_NEAR(w->X(i), x[i], 1e-9 * xs) << "x" << i;
  EXPECT_NEAR(w->Sigma0(), s0, 1e-9 * s0);

  // Cofactors of the sampled unknowns: Q(i, j) = (L⁻¹e_i)·(L⁻¹e_j) with N = L·Lᵀ.
  std::vector<int> pts;
  for (std::size_t p = 0; p < net.unknown.size(); p += 9)
    if (net.unknown[p] >= 0) pts.push_back(static_cast<int>(p));
  for (const auto& [a, b] : net.joins) pts.insert(pts.end(), {a, b});
  std::sort(pts.begin(), pts.end());
  pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
  std::map<int, int> col;  // unknown -> column of E
  for (int p : pts)
    for (int k = 0; k < 2; ++k) col.emplace(net.unknown[p] + k, static_cast<int>(col.size()));
  Eigen::MatrixXd E = Eigen::MatrixXd::Zero(net.t, static_cast<Eigen::Index>(col.size()));
  for (const auto& [i, c] : col) E(i, c) = 1.0;
  const Eigen::MatrixXd W = llt.matrixL().solve(E);
  auto q = [&](int i, int j) { return W.col(col.at(i)).dot(W.col(col.at(j))); };
  double qs = 0;
  for (const auto& [i, c] : col) qs = std::max(qs, q(i, i));
  for (int p : pts) {
    const int i = net.unknown[p];
    for (auto [a, b] : {std::pair{i, i}, {i + 1, i + 1}, {i, i + 1}})
      ASSERT_NEAR(w->Q(a, b), q(a, b), 1e-9 * qs) << "point " << p;
    const double mx = s0 * std::sqrt(q(i, i)), my = s0 * std::sqrt(q(i + 1, i + 1));
    EXPECT_NEAR(w->Sigma0() * std::sqrt(w->Q(i, i)), mx, 1e-9 * mx) << "point " << p;
    EXPECT_NEAR(w->Sigma0() * std::sqrt(w->Q(i + 1, i + 1)), my, 1e-9 * my) << "point " << p;
    const Ellipse e = EllipseOf(q(i, i), q(i + 1, i + 1), q(i, i + 1), s0);
    const Ellipse f = EllipseOf(w->Q(i, i), w->Q(i + 1, i + 1), w->Q(i, i + 1), w->Sigma0());
    EXPECT_NEAR(f.a, e.a, 1e-9 * e.a) << "point " << p;
    EXPECT_NEAR(f.b, e.b, 1e-9 * e.a) << "point " << p;
  }
  ASSERT_GT(net.joins.size(), 40u);
  for (const auto& [pa, pb] : net.joins) {
    const int a = net.unknown[pa], b = net.unknown[pb];
    for (int ka = 0; ka < 2; ++ka)
      for (int kb = 0; kb < 2; ++kb)
        ASSERT_NEAR(w->Q(a + ka, b + kb), q(a + ka, b + kb), 1e-9 * qs) << "join " << pa << "-" << pb;
  }
}
