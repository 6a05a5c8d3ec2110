// CSparseLsq against an independent dense Eigen solve of the same random system,
// and its refusal of a singular one.
#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <cmath>
#include <random>

#include "platform/fake_ports.h"
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
