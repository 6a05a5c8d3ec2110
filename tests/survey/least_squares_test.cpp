// CWchFch against an independent dense solve with Eigen, on sparse systems made up
// from chosen true values.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>
#include <vector>

#include "platform/fake_ports.h"
#include "survey/least_squares.h"
#include "tests/survey/random_system.h"

using namespace survey;
using survey_test::MakeSystem;
using survey_test::Reference;
using survey_test::Row;
using survey_test::Solve;
using survey_test::System;

namespace {

const char kPivotMessage[] =
    "非可逆阵，平差失败！如果选用了“Helmert验后方差守权”，请尝试取消该选项。";
const char kPlaneMessage[] = "给定的平面网数据不合理，无法完成平差!\n请检查平面数据。";
const char kHeightMessage[] = "给定的高程网数据不合理，无法完成平差!\n请检查高差数据。";

void ExpectMatches(const CWchFch& w, const Reference& r, double tol) {
  const int n = static_cast<int>(r.x.size());
  double xs = r.x.cwiseAbs().maxCoeff(), qs = r.Q.cwiseAbs().maxCoeff();
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(w.x[i], r.x(i), tol * xs) << "x" << i;
    for (int j = i; j < n; ++j) ASSERT_NEAR(w.q.Get(i, j), r.Q(i, j), tol * qs) << "Q" << i << "," << j;
  }
  EXPECT_NEAR(w.pvv1, r.pvv1, tol * (r.pvv1 + r.pvv2));
  EXPECT_NEAR(w.pvv2, r.pvv2, tol * (r.pvv1 + r.pvv2));
  EXPECT_NEAR(w.sigma0, r.sigma0, tol * r.sigma0);
}

// Both inverters: the default (Cholesky for AᵀPA) and full-pivoting Gauss-Jordan.
CGaussJordanInverter gGaussJordan;
INormalInverter* const kInverters[] = {nullptr, &gGaussJordan};

TEST(LeastSquares, MatchesDenseSolveAtEveryWeightScale) {
  for (INormalInverter* inverter : kInverters)
  for (double scale : {1e-2, 1.0, 1e4}) {
    for (unsigned seed : {1u, 2u, 3u}) {
      System s = MakeSystem(40, 60, 50, seed, scale);
      CWchFch w;
      w.SetInverter(inverter);
      s.Fill(w);
      double largest = w.Solve(false);
      Reference r = Solve(s);
      ExpectMatches(w, r, 1e-9);
      EXPECT_NEAR(largest, r.x.cwiseAbs().maxCoeff(), 1e-9 * largest);
    }
  }
}

TEST(LeastSquares, BorderedConstraintsMatchTheDenseKktSolve) {
  System s = MakeSystem(30, 45, 30, 7);
  // Two constraints: x0 − x1 = 0.5 and x2 + x3 + x4 = −1 (C·x + l3 = 0).
  s.g3.push_back({{0, 1}, {1, -1}, 0, -0.5});
  s.g3.push_back({{2, 3, 4, -1}, {1, 1, 1, 5}, 0, 1});
  CWchFch w;
  s.Fill(w);
  ASSERT_GT(w.Solve(false), -1);
  Reference r = Solve(s);
  ExpectMatches(w, r, 1e-9);
  EXPECT_NEAR(w.x[0] - w.x[1], 0.5, 1e-9);
  EXPECT_NEAR(w.x[2] + w.x[3] + w.x[4], -1, 1e-9);
  EXPECT_EQ(w.x.size(), 32u);
}

// Each group's [pvv] is Σp·v² of its residuals on every pass, not only once the
// corrections have gone to zero; the sum was always right.
TEST(LeastSquares, GroupSquareSumsComeFromTheResiduals) {
  System s = MakeSystem(20, 30, 25, 11);
  CWchFch w;
  s.Fill(w);
  ASSERT_GT(w.Solve(false), 1.0);  // a pass with a large correction
  Eigen::VectorXd xs = Eigen::Map<Eigen::VectorXd>(w.x.data(), s.t);
  auto pvv = [&](const std::vector<Row>& rows) {
    double sum = 0;
    Eigen::MatrixXd A = s.Dense(rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      double v = A.row(i).dot(xs) + rows[i].l;
      sum += rows[i].p * v * v;
    }
    return sum;
  };
  const double e1 = pvv(s.g1), e2 = pvv(s.g2);
  EXPECT_NEAR(w.pvv1, e1, 1e-10 * (e1 + e2));
  EXPECT_NEAR(w.pvv2, e2, 1e-10 * (e1 + e2));
  EXPECT_NEAR(w.Residual(1, 4), s.Dense(s.g1).row(4).dot(xs) + s.g1[4].l, 1e-9);
}

// Consistent data (misclosures made from chosen corrections): σ0 is 0, never NaN.
TEST(LeastSquares, ConsistentDataGivesAFiniteZeroSigma) {
  for (double scale : {1e-2, 1.0, 1e4}) {
    System s = MakeSystem(25, 40, 30, 5, scale);
    Eigen::VectorXd truth = Eigen::VectorXd::LinSpaced(s.t, -3, 4);
    for (auto* g : {&s.g1, &s.g2}) {
      Eigen::MatrixXd A = s.Dense(*g);
      for (std::size_t i = 0; i < g->size(); ++i) (*g)[i].l = -A.row(i).dot(truth);
    }
    CWchFch w;
    s.Fill(w);
    ASSERT_GT(w.Solve(false), -1);
    EXPECT_TRUE(std::isfinite(w.sigma0));
    EXPECT_GE(w.sigma0, 0);
    EXPECT_LT(w.sigma0, 1e-9);
    for (int i = 0; i < s.t; ++i) EXPECT_NEAR(w.x[i], truth(i), 1e-9);
  }
}

// Helmert: two groups observed with true standard errors 1 and 3 but given equal
// prior weights; the re-weighting must arrive at the variance factors of an
// independent iteration.
TEST(LeastSquares, HelmertStepMatchesAnIndependentIteration) {
  System s = MakeSystem(20, 80, 60, 21);
  std::mt19937 rng(99);
  std::normal_distribution<double> noise(0, 1);
  Eigen::VectorXd truth = Eigen::VectorXd::LinSpaced(s.t, 1, 2);
  for (auto [g, sd] : {std::pair{&s.g1, 1.0}, {&s.g2, 3.0}}) {
    Eigen::MatrixXd A = s.Dense(*g);
    for (std::size_t i = 0; i < g->size(); ++i) {
      (*g)[i].l = -A.row(i).dot(truth) + sd * noise(rng);
      (*g)[i].p = 1;
    }
  }
  // Independent iteration.
  Eigen::MatrixXd A1 = s.Dense(s.g1), A2 = s.Dense(s.g2);
  Eigen::VectorXd l1 = System::Vec(s.g1, false), l2 = System::Vec(s.g2, false);
  double w1 = 1, w2 = 1, f1 = 1, f2 = 1;
  for (int it = 0; it < 200; ++it) {
    Eigen::MatrixXd N1 = w1 * A1.transpose() * A1, N2 = w2 * A2.transpose() * A2;
    Eigen::MatrixXd Q = (N1 + N2).inverse();
    Eigen::VectorXd x = -Q * (w1 * A1.transpose() * l1 + w2 * A2.transpose() * l2);
    Eigen::VectorXd v1 = A1 * x + l1, v2 = A2 * x + l2;
    double s1 = w1 * v1.squaredNorm() / (A1.rows() - (N1 * Q).trace());
    double s2 = w2 * v2.squaredNorm() / (A2.rows() - (N2 * Q).trace());
    w1 /= s1;
    w2 /= s2;
    f1 = s1;
    f2 = s2;
    if (std::fabs(s1 - 1) < 1e-12 && std::fabs(s2 - 1) < 1e-12) break;
  }
  ASSERT_NEAR(f1, 1, 1e-10);
  ASSERT_NEAR(f2, 1, 1e-10);

  CWchFch w;
  s.Fill(w);
  ASSERT_GT(w.Solve(false), -1);
  double d = 1;
  for (int it = 0; it < 200 && (d > 1e-12 || std::fabs(w.sigma0 - 1) > 1e-10); ++it) {
    d = w.HelmertStep();
    ASSERT_GE(d, 0);
    s.Fill(w, /*weights=*/false);  // the re-scaled weights carry over
    ASSERT_GT(w.Solve(false), -1);
  }
  EXPECT_NEAR(w.p1[0], w1, 1e-8 * w1);
  EXPECT_NEAR(w.p2[0], w2, 1e-8 * w2);
  EXPECT_NEAR(w.p1[0] / w.p2[0], w1 / w2, 1e-8 * (w1 / w2));
  EXPECT_NEAR(w.sigma0, 1, 1e-9);
  // The estimated variance ratio reflects the noise put in (3² = 9).
  EXPECT_GT(w.p1[0] / w.p2[0], 4);
  EXPECT_LT(w.p1[0] / w.p2[0], 20);
}

TEST(LeastSquares, HelmertRefusals) {
  System s = MakeSystem(10, 20, 0, 3);
  CWchFch w;
  s.Fill(w);
  ASSERT_GT(w.Solve(false), -1);
  std::vector<double> before = w.p1;
  EXPECT_EQ(w.HelmertStep(), 0);  // one group empty
  EXPECT_EQ(w.p1, before);

  // A group without redundancy of its own: its share is 0.
  System t = MakeSystem(10, 10, 10, 4);
  CWchFch w2;
  t.Fill(w2);
  for (int i = 0; i < 10; ++i) w2.p1[i] = 1e12;  // group 1 alone fixes every unknown
  ASSERT_GT(w2.Solve(false), -1);
  before = w2.p2;
  EXPECT_EQ(w2.HelmertStep(), -1);
  EXPECT_EQ(w2.p2, before);
}

// A network without a fixed point (every row a difference of two unknowns) is
// singular; the test must see that whatever the unit of the weights.
TEST(LeastSquares, SingularSystemsAreRefusedAtEveryWeightScale) {
  for (INormalInverter* inverter : kInverters)
  for (double scale : {1e-2, 1e-1, 1.0, 1e2, 1e4}) {
    for (bool plane : {true, false}) {
      platform::FakeMessagePort port;
      CWchFch w;
      w.SetInverter(inverter);
      const int t = 30;
      w.Init(t, 45, plane ? 20 : 0, 0, 0);
      std::mt19937 rng(17);
      std::uniform_real_distribution<double> u(0.3, 3.0);
      auto diffRow = [&](int group, int row, int a, int b, std::vector<double>& p, std::vector<double>& l) {
        double c = u(rng);  // irrational-looking coefficients: rounding, not exact zeros
        int idx[2] = {a, b};
        double coef[2] = {c, -c};
        w.AddToRow(group, row, idx, coef, 2);
        p[row] = scale * u(rng);
        l[row] = u(rng);
      };
      for (int i = 0; i < 45; ++i) diffRow(1, i, i % t, (i * 7 + 3) % t == i % t ? (i + 1) % t : (i * 7 + 3) % t, w.p1, w.l1);
      for (int i = 0; i < (plane ? 20 : 0); ++i) diffRow(2, i, i, (i + 11) % t, w.p2, w.l2);
      EXPECT_EQ(w.Solve(false), -1e10) << scale;
      ASSERT_EQ(port.Messages().size(), 2u) << scale;
      EXPECT_EQ(port.Messages()[0], kPivotMessage);
      EXPECT_EQ(port.Messages()[1], plane ? kPlaneMessage : kHeightMessage);
    }
  }
}

// The same networks with one unknown tied down are regular at every scale.
TEST(LeastSquares, RegularNetworksAreSolvedAtEveryWeightScale) {
  for (INormalInverter* inverter : kInverters)
  for (double scale : {1e-2, 1.0, 1e4}) {
    platform::FakeMessagePort port;
    System s;
    s.t = 30;
    for (int i = 0; i < 45; ++i) {
      int a = i % s.t, b = (i + 1) % s.t;
      s.g1.push_back({{a, b}, {1.7, -1.7}, scale * (1 + i % 3), 0.1 * i});
    }
    s.g1.push_back({{0}, {1}, scale, 0.3});
    CWchFch w;
    w.SetInverter(inverter);
    s.Fill(w);
    EXPECT_GT(w.Solve(false), -1) << scale;
    EXPECT_TRUE(port.Messages().empty());
    ExpectMatches(w, Solve(s), 1e-8);
  }
}

TEST(LeastSquares, ExactlySingularTwoByTwoShowsBothMessages) {
  platform::FakeMessagePort port;
  CWchFch w;
  w.Init(2, 2, 0, 0, 0);
  int idx[2] = {0, 1};
  double coef[2] = {1, 1};
  w.AddToRow(1, 0, idx, coef, 2);
  w.AddToRow(1, 1, idx, coef, 2);
  w.p1 = {1, 1};
  EXPECT_EQ(w.Solve(false), -1e10);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{kPivotMessage, kHeightMessage}));
}

TEST(LeastSquares, RowsWeightsAndCounts) {
  CWchFch w;
  w.Init(3, 3, 1, 0, 0);
  // A row of known points only: [pll] and nothing else.
  int known[2] = {-1, -2};
  double c[2] = {5, 6};
  EXPECT_TRUE(w.AddToRow(1, 0, known, c, 2));
  EXPECT_TRUE(w.rows1[0].indices.empty());
  // An unknown named twice is merged into one term.
  int twice[3] = {1, 2, 1};
  double c3[3] = {0.5, 2, 1.5};
  EXPECT_TRUE(w.AddToRow(1, 1, twice, c3, 3));
  EXPECT_EQ(w.rows1[1].indices, (std::vector<int>{1, 2}));
  EXPECT_EQ(w.rows1[1].coefficients, (std::vector<double>{2.0, 2.0}));
  // Refused: a missing group, row, or an index beyond the unknowns. These are
  // the caller's bugs: debug builds stop at once, release builds refuse the solve.
  int beyond[1] = {3};
  for (int which = 0; which < 3; ++which) {
    platform::FakeMessagePort port;
    CWchFch bad;
    bad.Init(3, 3, 1, 0, 0);
    auto add = [&] {
      return which == 0 ? bad.AddToRow(4, 0, twice, c3, 1)
             : which == 1 ? bad.AddToRow(2, 1, twice, c3, 1)
                          : bad.AddToRow(2, 0, beyond, c3, 1);
    };
#ifdef NDEBUG
    EXPECT_FALSE(add());
    EXPECT_TRUE(bad.rows2[0].indices.empty());
    EXPECT_EQ(bad.Solve(false), -1e10);
    EXPECT_EQ(port.Messages(), std::vector<std::string>{kPlaneMessage});
#else
    EXPECT_DEATH(add(), "out of range");
#endif
  }

  w.p1 = {2, 3, 1};
  w.p2 = {4};
  w.l1 = {1.5, 0, 0};
  int one[1] = {0};
  double c1[1] = {1};
  w.AddToRow(2, 0, one, c1, 1);
  int last[1] = {2};
  w.AddToRow(1, 2, last, c1, 1);
  // N of the merged row: 2²·3 at (1,1), 2·2·3 at (1,2), 2²·3 at (2,2); nothing from row 0.
  EXPECT_GT(w.Solve(true), -1);
  EXPECT_EQ(w.sigma0, 1.0);
  EXPECT_EQ(w.normal1.Get(1, 1), 12);
  EXPECT_EQ(w.normal1.Get(2, 1), 12);
  EXPECT_EQ(w.normal1.Get(0, 0), 0);
  EXPECT_EQ(w.u1[1], 0);
  EXPECT_EQ(w.pvv1, 2 * 1.5 * 1.5);  // [pll] between forming and solving

  // Weights survive an Init with equal counts; a changed count keeps the first ones.
  w.Init(3, 3, 1, 0, 0);
  EXPECT_EQ(w.p1, (std::vector<double>{2, 3, 1}));
  EXPECT_EQ(w.p2, (std::vector<double>{4}));
  w.Init(3, 4, 0, 0, 0);
  EXPECT_EQ(w.p1, (std::vector<double>{2, 3, 1, 0}));
  w.Init(3, 1, 0, 0, 0);
  EXPECT_EQ(w.p1, (std::vector<double>{2}));
  EXPECT_EQ(w.l1, (std::vector<double>{0}));
}

TEST(LeastSquares, NoRedundancyGivesSigmaMinusOne) {
  System s = MakeSystem(10, 6, 4, 8);
  CWchFch w;
  s.Fill(w);
  ASSERT_GT(w.Solve(false), -1);
  EXPECT_EQ(w.sigma0, -1);
}

TEST(SymMatrix, PackedAccessAndItsRefusals) {
  platform::FakeMessagePort port;
  CSymMatrix m(3);
  m.Set(2, 0, 4.5);
  EXPECT_EQ(m.Get(0, 2), 4.5);
  EXPECT_EQ(m.values[2], 4.5);  // (0, 2) is the third packed entry
  m.Add(1, 2, 1);
  EXPECT_EQ(m.values[4], 1);    // (1, 2): (2·3 − 1 − 1)·1/2 + 2 = 4
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(m.Get(3, 0), 0);
  m.Set(0, 3, 1);
  m.Add(-1, 0, 1);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"获取法方程数据出错！", "设置法方程数据出错！",
                                                       "设置法方程数据出错！"}));
}

TEST(SymMatrix, OperationsMatchDenseAlgebra) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> d(-1, 1);
  const int n = 9;
  Eigen::MatrixXd A(n, n), B(n, n);
  CSymMatrix a(n), b(n);
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) {
      A(i, j) = A(j, i) = d(rng) + (i == j ? 5 : 0);
      B(i, j) = B(j, i) = d(rng);
      a.Set(i, j, A(i, j));
      b.Set(i, j, B(i, j));
    }
  EXPECT_NEAR(a.TraceOfProduct(b), (A * B).trace(), 1e-12);
  std::vector<double> v(n);
  for (double& e : v) e = d(rng);
  std::vector<double> av = a.Multiply(v);
  Eigen::VectorXd ev = A * Eigen::Map<Eigen::VectorXd>(v.data(), n);
  for (int i = 0; i < n; ++i) EXPECT_NEAR(av[i], ev(i), 1e-12);
  CSymMatrix s = a + b.Negated();
  EXPECT_NEAR(s.Get(2, 5), A(2, 5) - B(2, 5), 1e-15);
  ASSERT_TRUE(a.Invert());
  Eigen::MatrixXd Ai = A.inverse();
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) EXPECT_NEAR(a.Get(i, j), Ai(i, j), 1e-12);
  EXPECT_NEAR(VecDot({1, 2, 3}, {4, 5, 6}), 32, 0);
  EXPECT_EQ(VecSum({1, 2}, {3, 4}), (std::vector<double>{4, 6}));
}

// The inverse does not depend on how many threads the elimination is split over:
// a matrix large enough for the threaded path against Eigen.
TEST(SymMatrix, LargeInverseMatchesEigen) {
  System s = MakeSystem(300, 500, 300, 31);
  Reference r = Solve(s);
  for (INormalInverter* inverter : kInverters) {
    CWchFch w;
    w.SetInverter(inverter);
    s.Fill(w);
    ASSERT_GT(w.Solve(false), -1);
    ExpectMatches(w, r, 1e-8);
  }
}

// An indefinite symmetric matrix (the bordered kind) reaches full pivoting
// through the Cholesky inverter and comes back right.
TEST(SymMatrix, IndefiniteMatricesAreLeftToFullPivoting) {
  platform::FakeMessagePort port;
  const double rows[3][3] = {{0, 1, 2}, {1, 0, 3}, {2, 3, 0.5}};
  CSymMatrix m(3);
  Eigen::Matrix3d e;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      e(i, j) = rows[i][j];
      if (j >= i) m.Set(i, j, rows[i][j]);
    }
  CCholeskyInverter inverter;
  ASSERT_TRUE(inverter.Invert(m));
  Eigen::Matrix3d ei = e.inverse();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(m.Get(i, j), ei(i, j), 1e-12);
  CSymMatrix zero(2);
  EXPECT_FALSE(inverter.Invert(zero));
  EXPECT_EQ(port.Messages(), std::vector<std::string>{kPivotMessage});
}

}  // namespace

namespace {

// An order large enough for the threaded paths of both inverters, checked by the
// defining identities with N applied through the sparse rows: N·Q = I and the
// normal equations Aᵀ·P·(A·x + l) = 0.
TEST(SymMatrix, ThreadedInversesSatisfyNQEqualsIdentity) {
  System s = MakeSystem(700, 900, 600, 41);
  for (INormalInverter* inverter : kInverters) {
    CWchFch w;
    w.SetInverter(inverter);
    s.Fill(w);
    ASSERT_GT(w.Solve(false), -1);
    const int n = s.t;
    Eigen::MatrixXd Q(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = i; j < n; ++j) Q(i, j) = Q(j, i) = w.q.Ref(i, j);
    Eigen::MatrixXd NQ = Eigen::MatrixXd::Zero(n, n);
    Eigen::VectorXd g = Eigen::VectorXd::Zero(n);
    for (const auto* rows : {&s.g1, &s.g2}) {
      for (const Row& r : *rows) {
        Eigen::RowVectorXd aq = Eigen::RowVectorXd::Zero(n);
        double v = r.l;
        for (std::size_t j = 0; j < r.idx.size(); ++j)
          if (r.idx[j] >= 0) {
            aq += r.coef[j] * Q.row(r.idx[j]);
            v += r.coef[j] * w.x[r.idx[j]];
          }
        for (std::size_t j = 0; j < r.idx.size(); ++j)
          if (r.idx[j] >= 0) {
            NQ.row(r.idx[j]) += r.p * r.coef[j] * aq;
            g(r.idx[j]) += r.p * r.coef[j] * v;
          }
      }
    }
    EXPECT_LT((NQ - Eigen::MatrixXd::Identity(n, n)).cwiseAbs().maxCoeff(), 1e-9);
    const double uScale = Eigen::Map<Eigen::VectorXd>(w.u.data(), n).cwiseAbs().maxCoeff();
    EXPECT_LT(g.cwiseAbs().maxCoeff(), 1e-9 * (1 + uScale));
  }
}

}  // namespace
