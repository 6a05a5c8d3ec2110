// Every CLsqSolver (the dense CWchFch, the sparse CSparseLsq under both of its
// orderings, and whatever MakeLsqSolver picks) on the same systems, through the
// interface alone, against an independent dense Eigen solve: the same x, Q,
// [pvv], σ0 and Helmert factors, the same refusals and messages.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake_ports.h"
#include "survey/least_squares.h"
#include "survey/lsq_solver.h"
#include "survey/sparse_least_squares.h"
#include "tests/survey/random_system.h"

using namespace survey;
using survey_test::MakeSystem;
using survey_test::Reference;
using survey_test::Row;
using survey_test::System;

namespace {

const char kPivotMessage[] =
    "非可逆阵，平差失败！如果选用了“Helmert验后方差守权”，请尝试取消该选项。";
const char kPlaneMessage[] = "给定的平面网数据不合理，无法完成平差!\n请检查平面数据。";
const char kHeightMessage[] = "给定的高程网数据不合理，无法完成平差!\n请检查高差数据。";

struct Maker {
  const char* name;
  std::function<std::unique_ptr<CLsqSolver>(int t, LsqNetwork)> make;
};

const Maker kMakers[] = {
    {"Dense", [](int, LsqNetwork n) { return std::make_unique<CWchFch>(n); }},
    {"SparseMinimumDegree",
     [](int, LsqNetwork n) {
       return std::make_unique<CSparseLsq>(n == LsqNetwork::Height, CSparseLsq::Ordering::MinimumDegree);
     }},
    {"SparseCuthillMcKee",
     [](int, LsqNetwork n) {
       return std::make_unique<CSparseLsq>(n == LsqNetwork::Height, CSparseLsq::Ordering::ReverseCuthillMcKee);
     }},
    {"SparseThreaded",
     [](int, LsqNetwork n) {
       auto w = std::make_unique<CSparseLsq>(n == LsqNetwork::Height);
       w->SetThreadedFrom(0);  // small systems split over threads as large ones are
       return w;
     }},
    {"BySize", [](int t, LsqNetwork n) { return MakeLsqSolver(t, n); }},
};

class SolverSuite : public ::testing::TestWithParam<Maker> {
 protected:
  std::unique_ptr<CLsqSolver> Make(int t, LsqNetwork n = LsqNetwork::Plane) const { return GetParam().make(t, n); }
};

// Q is compared on every stride-th row and column (all of them by default).
void ExpectMatches(CLsqSolver& w, const System& s, const Reference& r, double tol, int stride = 1) {
  const int n = s.t;
  const double xs = r.x.cwiseAbs().maxCoeff(), qs = r.Q.cwiseAbs().maxCoeff();
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(w.X(i), r.x(i), tol * xs) << "x" << i;
    for (int j = i % stride; j < n && i % stride == 0; j += stride)
      ASSERT_NEAR(w.Q(i, j), r.Q(i, j), tol * qs) << "Q" << i << "," << j;
  }
  EXPECT_NEAR(w.Pvv(1), r.pvv1, tol * (r.pvv1 + r.pvv2));
  EXPECT_NEAR(w.Pvv(2), r.pvv2, tol * (r.pvv1 + r.pvv2));
  EXPECT_NEAR(w.Sigma0(), r.sigma0, tol * r.sigma0);
  const Eigen::MatrixXd A1 = s.Dense(s.g1);
  for (int i : {0, 3, static_cast<int>(s.g1.size()) - 1})
    EXPECT_NEAR(w.Residual(1, i), A1.row(i).dot(r.x.head(n)) + s.g1[i].l, tol * (1 + xs)) << "v" << i;
}

TEST_P(SolverSuite, MatchesTheDenseSolve) {
  for (double scale : {1e-2, 1.0, 1e4})
    for (unsigned seed : {1u, 2u, 3u}) {
      const System s = MakeSystem(40, 60, 50, seed, scale);
      auto w = Make(s.t);
      s.Fill(*w);
      const double largest = w->Solve();
      const Reference r = survey_test::Solve(s);
      ExpectMatches(*w, s, r, 1e-9);
      EXPECT_NEAR(largest, r.x.cwiseAbs().maxCoeff(), 1e-9 * largest);
    }
}

TEST_P(SolverSuite, LargerSystemMatchesTheDenseSolve) {
  const System s = MakeSystem(300, 500, 300, 31);
  auto w = Make(s.t);
  s.Fill(*w);
  ASSERT_GT(w->Solve(), -1);
  ExpectMatches(*w, s, survey_test::Solve(s), 1e-8, 13);
}

// A chain (each row ties unknown i to i+1, a few rows to a fixed point): the
// factor stays a band, so far-off cofactors lie outside its pattern. Named pairs
// come from the selected inverse, others from solves; both must be right, and a
// second solution with new values on the same pattern must not reuse old numbers.
TEST_P(SolverSuite, CofactorsOutsideThePatternAndRepeatedSolutions) {
  System s;
  s.t = 60;
  for (int i = 0; i + 1 < s.t; ++i) s.g1.push_back({{i, i + 1}, {1.3, -1.1}, 1.0 + i % 3, 0.01 * i});
  for (int i = 0; i < s.t; i += 7) s.g2.push_back({{i}, {1}, 2, -0.2});
  s.g2.push_back({{0, s.t - 1}, {0.5, 0.5}, 1, 0.3});
  auto w = Make(s.t);
  w->NeedCofactors({{3, 40}, {41, 2}, {10, 10}});
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1)
      for (Row& r : s.g1) r.coef[0] *= 1.5, r.l += 0.7;
    s.Fill(*w);
    ASSERT_GT(w->Solve(), -1);
    const Reference r = survey_test::Solve(s);
    const double qs = r.Q.cwiseAbs().maxCoeff();
    for (auto [i, j] : {std::pair{3, 40}, {2, 41}, {40, 3}, {0, 59}, {12, 50}, {10, 10}})
      EXPECT_NEAR(w->Q(i, j), r.Q(i, j), 1e-10 * qs) << pass << ": " << i << "," << j;
    ExpectMatches(*w, s, r, 1e-9);
  }
  // Pairs named after the solution are served too.
  w->NeedCofactors({{5, 55}});
  EXPECT_NEAR(w->Q(55, 5), survey_test::Solve(s).Q(55, 5), 1e-10);
  EXPECT_EQ(w->Q(-1, 3), 0.0);
  EXPECT_EQ(w->Q(3, s.t), 0.0);
}

// Many cofactors asked at once (the precision of every leg): far-off pairs on a
// chain, enough of them that the sparse solver spreads them over threads, with
// pairs inside the pattern, diagonals, both orders and indices outside the system
// among them; each must be what Q gives alone and the dense reference.
TEST_P(SolverSuite, CofactorsAskedAtOnceMatchTheReference) {
  System s;
  s.t = 300;
  for (int i = 0; i + 1 < s.t; ++i) s.g1.push_back({{i, i + 1}, {1.3, -1.1}, 1.0 + i % 3, 0.01 * i});
  for (int i = 0; i < s.t; i += 11) s.g2.push_back({{i}, {1}, 2, -0.2});
  auto w = Make(s.t);
  s.Fill(*w);
  ASSERT_GT(w->Solve(), -1);
  const Reference r = survey_test::Solve(s);
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0; i < s.t; ++i) pairs.push_back({i, (i * 7 + 50) % s.t});
  pairs.insert(pairs.end(), {{5, 6}, {6, 5}, {9, 9}, {-1, 4}, {4, s.t}, {s.t - 1, 0}});
  std::vector<double> q;
  w->Cofactors(pairs, q);
  ASSERT_EQ(q.size(), pairs.size());
  const double qs = r.Q.cwiseAbs().maxCoeff();
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    const auto [i, j] = pairs[k];
    const bool inside = i >= 0 && j >= 0 && i < s.t && j < s.t;
    EXPECT_NEAR(q[k], inside ? r.Q(i, j) : 0.0, 1e-10 * qs) << i << "," << j;
    EXPECT_NEAR(q[k], w->Q(i, j), 1e-12 * qs) << i << "," << j;
  }
}

// Two networks in one job that no row ties together: N falls into two blocks, and
// every cofactor across them is zero, also where the factor has no entry.
TEST_P(SolverSuite, SeparateNetworksHaveNoCofactorsAcross) {
  System s;
  s.t = 40;
  for (int i = 0; i + 1 < s.t; ++i)
    if (i != 19) s.g1.push_back({{i, i + 1}, {1.2, -0.9}, 1.0 + i % 3, 0.01 * i});
  for (int i = 0; i < s.t; i += 6) s.g2.push_back({{i}, {1}, 2, -0.2});
  auto w = Make(s.t);
  s.Fill(*w);
  ASSERT_GT(w->Solve(), -1);
  ExpectMatches(*w, s, survey_test::Solve(s), 1e-9);
  for (auto [i, j] : {std::pair{3, 30}, {19, 20}, {39, 0}}) EXPECT_EQ(w->Q(i, j), 0.0) << i << "," << j;
}

// Two groups with true standard errors 1 and 3 and equal prior weights: each
// Helmert step must find the factors s_g = [pvv]_g / (m_g − tr(N_g·Q)) of an
// independent computation, and the loop the same final weights.
TEST_P(SolverSuite, HelmertFactorsMatchAnIndependentIteration) {
  System s = MakeSystem(20, 80, 60, 21);
  std::mt19937 rng(99);
  std::normal_distribution<double> noise(0, 1);
  const Eigen::VectorXd truth = Eigen::VectorXd::LinSpaced(s.t, 1, 2);
  for (auto [g, sd] : {std::pair{&s.g1, 1.0}, {&s.g2, 3.0}}) {
    const Eigen::MatrixXd A = s.Dense(*g);
    for (std::size_t i = 0; i < g->size(); ++i) {
      (*g)[i].l = -A.row(static_cast<Eigen::Index>(i)).dot(truth) + sd * noise(rng);
      (*g)[i].p = 1;
    }
  }
  const Eigen::MatrixXd A1 = s.Dense(s.g1), A2 = s.Dense(s.g2);
  const Eigen::VectorXd l1 = System::Vec(s.g1, false), l2 = System::Vec(s.g2, false);
  auto w = Make(s.t);
  s.Fill(*w);
  EXPECT_EQ(w->LastFactor(1), 1.0);
  EXPECT_EQ(w->LastFactor(2), 1.0);
  double w1 = 1, w2 = 1;
  for (int it = 0; it < 60; ++it) {
    ASSERT_GT(w->Solve(), -1);
    const Eigen::MatrixXd N1 = w1 * A1.transpose() * A1, N2 = w2 * A2.transpose() * A2;
    const Eigen::MatrixXd Q = (N1 + N2).inverse();
    const Eigen::VectorXd x = -Q * (w1 * A1.transpose() * l1 + w2 * A2.transpose() * l2);
    const Eigen::VectorXd v1 = A1 * x + l1, v2 = A2 * x + l2;
    const double s1 = w1 * v1.squaredNorm() / (static_cast<double>(A1.rows()) - (N1 * Q).trace());
    const double s2 = w2 * v2.squaredNorm() / (static_cast<double>(A2.rows()) - (N2 * Q).trace());
    EXPECT_NEAR(w->HelmertStep(), std::fabs(s1 - s2), 1e-9 * (1 + std::fabs(s1 - s2))) << it;
    EXPECT_NEAR(w->LastFactor(1), s1, 1e-9 * s1) << it;
    EXPECT_NEAR(w->LastFactor(2), s2, 1e-9 * s2) << it;
    w1 /= s1;
    w2 /= s2;
    EXPECT_NEAR(w->Weight(1, 0), w1, 1e-9 * w1);
    EXPECT_NEAR(w->Weight(2, 7), w2, 1e-9 * w2);
    s.Fill(*w, /*weights=*/false);  // the re-scaled weights carry over
  }
  ASSERT_GT(w->Solve(), -1);
  EXPECT_NEAR(w->Sigma0(), 1, 1e-9);
  EXPECT_GT(w1 / w2, 4);  // the variance ratio put in is 3² = 9
  EXPECT_LT(w1 / w2, 20);
}

// A group whose residuals are zero has no variance to estimate: it keeps its
// weights while the other group is re-scaled, and nothing is reported. Here the
// sides join fixed points only (their misclosures are 0, or of rounding size);
// in the second case every misclosure is 0.
TEST_P(SolverSuite, HelmertKeepsTheWeightsOfAGroupWithoutResiduals) {
  struct Case {
    double sideMisclosure;
    bool allZero;
  };
  for (const Case c : {Case{0.0, false}, Case{0.0, true}, Case{3e-9, false}, Case{3e-9, true}}) {
    const bool allZero = c.allZero;
    const double sideMisclosure = c.sideMisclosure;
    platform::FakeMessagePort port;
    System s = MakeSystem(12, 30, 0, 6);
    for (int i = 0; i < 5; ++i) s.g2.push_back({{-1, -2}, {1, -1}, 4.0 + i, sideMisclosure});
    if (allZero)
      for (Row& r : s.g1) r.l = 0;
    auto w = Make(s.t);
    s.Fill(*w);
    ASSERT_GT(w->Solve(), -1);
    if (sideMisclosure == 0) {
      EXPECT_EQ(w->Pvv(2), 0.0);
    } else {
      EXPECT_GT(w->Pvv(2), 0.0);
    }
    const double before1 = w->Weight(1, 0);
    const double step = w->HelmertStep();
    EXPECT_EQ(w->LastFactor(2), 1.0);
    EXPECT_EQ(w->Weight(2, 3), 7.0);
    if (allZero) {
      EXPECT_EQ(step, 0.0);
      EXPECT_EQ(w->Weight(1, 0), before1);
    } else {
      const double r1 = 30.0 - 12.0;  // every unknown is fixed by group 1 alone
      EXPECT_NEAR(w->LastFactor(1), w->Pvv(1) / r1, 1e-9 * w->LastFactor(1));
      EXPECT_NEAR(step, std::fabs(w->LastFactor(1) - 1.0), 1e-12);
      EXPECT_NEAR(w->Weight(1, 0), before1 / w->LastFactor(1), 1e-12 * before1);
    }
    EXPECT_TRUE(port.Messages().empty());
  }
}

TEST_P(SolverSuite, HelmertRefusals) {
  const System s = MakeSystem(10, 20, 0, 3);
  auto w = Make(s.t);
  s.Fill(*w);
  ASSERT_GT(w->Solve(), -1);
  EXPECT_EQ(w->HelmertStep(), 0);  // one group empty
  // A group without redundancy of its own: its share is 0.
  const System t = MakeSystem(10, 10, 10, 4);
  auto w2 = Make(t.t);
  t.Fill(*w2);
  for (int i = 0; i < 10; ++i) w2->Weight(1, i) = 1e12;  // group 1 alone fixes every unknown
  ASSERT_GT(w2->Solve(), -1);
  const double before = w2->Weight(2, 4);
  EXPECT_EQ(w2->HelmertStep(), -1);
  EXPECT_EQ(w2->Weight(2, 4), before);
}

// A network without a fixed point is singular whatever the unit of the weights;
// the failure text follows the network the solver was made for.
TEST_P(SolverSuite, SingularSystemsAreRefusedWithBothMessages) {
  for (double scale : {1e-2, 1.0, 1e4})
    for (bool plane : {true, false}) {
      platform::FakeMessagePort port;
      const int t = 30;
      auto w = Make(t, plane ? LsqNetwork::Plane : LsqNetwork::Height);
      w->Init(t, 45, plane ? 20 : 0);
      std::mt19937 rng(17);
      std::uniform_real_distribution<double> u(0.3, 3.0);
      auto diffRow = [&](int group, int row, int a, int b) {
        const double c = u(rng);
        const int idx[2] = {a, b};
        const double coef[2] = {c, -c};
        ASSERT_TRUE(w->AddToRow(group, row, idx, coef, 2));
        w->Weight(group, row) = scale * u(rng);
        w->Misclosure(group, row) = u(rng);
      };
      for (int i = 0; i < 45; ++i) diffRow(1, i, i % t, (i * 7 + 3) % t == i % t ? (i + 1) % t : (i * 7 + 3) % t);
      for (int i = 0; i < (plane ? 20 : 0); ++i) diffRow(2, i, i, (i + 11) % t);
      EXPECT_EQ(w->Solve(), -1e10) << scale;
      EXPECT_EQ(port.Messages(), (std::vector<std::string>{kPivotMessage, plane ? kPlaneMessage : kHeightMessage}))
          << scale;
    }
}

// A row or unknown that does not exist is the caller's bug: debug builds stop
// there; release builds leave the row out and refuse the solve with the failure
// text rather than return a solution without it.
TEST_P(SolverSuite, RowsOutOfRangeRefuseTheSolve) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const int idx[2] = {0, 5};
  const double coef[2] = {1, 1};
  struct Case {
    int group, row, count;
  };
  for (const Case c : {Case{3, 0, 2}, Case{1, 4, 2}, Case{2, -1, 2}, Case{1, 0, 2}}) {
    platform::FakeMessagePort port;
    auto w = Make(4, LsqNetwork::Height);
    w->Init(c.group == 1 && c.row == 0 ? 4 : 6, 4, 2);  // 6 unknowns make index 5 valid
    const int good[1] = {0};
    for (int r = 0; r < 4; ++r) {
      const int one[1] = {r};
      w->AddToRow(1, r, one, coef, 1);
      w->Weight(1, r) = 1;
    }
    w->AddToRow(2, 0, good, coef, 1);
    w->Weight(2, 0) = 1;
#ifdef NDEBUG
    EXPECT_FALSE(w->AddToRow(c.group, c.row, idx, coef, c.count));
    EXPECT_EQ(w->Solve(), -1e10);
    EXPECT_EQ(port.Messages(), std::vector<std::string>{kHeightMessage});
    // Init starts afresh.
    w->Init(1, 1, 0);
    const int one[1] = {0};
    w->AddToRow(1, 0, one, coef, 1);
    w->Weight(1, 0) = 1;
    EXPECT_GT(w->Solve(), -1e10);
#else
    EXPECT_DEATH(w->AddToRow(c.group, c.row, idx, coef, c.count), "out of range");
#endif
  }
}

TEST_P(SolverSuite, WeightsSurviveInitAndCountsAreReported) {
  auto w = Make(3);
  w->Init(3, 3, 1);
  EXPECT_EQ(w->Unknowns(), 3);
  EXPECT_EQ(w->Rows(1), 3);
  EXPECT_EQ(w->Rows(2), 1);
  for (int i = 0; i < 3; ++i) w->Weight(1, i) = i + 2;
  w->Weight(2, 0) = 9;
  w->Misclosure(1, 1) = 5;
  w->Init(3, 3, 1);
  EXPECT_EQ(w->Weight(1, 2), 4);
  EXPECT_EQ(w->Weight(2, 0), 9);
  EXPECT_EQ(w->Misclosure(1, 1), 0);
  w->Init(3, 4, 1);
  EXPECT_EQ(w->Weight(1, 2), 4);
  EXPECT_EQ(w->Weight(1, 3), 0);
  // A row of known points only adds nothing but its misclosure; a repeated
  // unknown is one term: (0.5 + 1.5)·x1 + 2·x2.
  const int known[2] = {-1, -2}, twice[3] = {1, 2, 1};
  const double c2[2] = {5, 6}, c3[3] = {0.5, 2, 1.5};
  EXPECT_TRUE(w->AddToRow(1, 0, known, c2, 2));
  EXPECT_TRUE(w->AddToRow(1, 1, twice, c3, 3));
  const int i0[1] = {0}, i2[1] = {2}, i1[1] = {1};
  const double one[1] = {1};
  w->AddToRow(1, 2, i0, one, 1);
  w->AddToRow(1, 3, i2, one, 1);
  w->AddToRow(2, 0, i1, one, 1);
  w->Misclosure(1, 0) = 1.5;
  w->Misclosure(1, 1) = -4;
  ASSERT_GT(w->Solve(), -1);
  // Rows 1, 3 and the side fix x1, x2 by least squares; check the residual of row 1.
  EXPECT_NEAR(w->Residual(1, 0), 1.5, 1e-15);
  EXPECT_NEAR(w->Residual(1, 1), 2 * w->X(1) + 2 * w->X(2) - 4, 1e-12);
  EXPECT_EQ(w->X(0), 0);
}

INSTANTIATE_TEST_SUITE_P(Solvers, SolverSuite, ::testing::ValuesIn(kMakers),
                         [](const ::testing::TestParamInfo<Maker>& info) { return info.param.name; });

// The factor and the inverse split over threads must give the figures of one
// thread to the last bit: a result may not change with the machine it runs on.
TEST(SparseLsqThreads, SplitWorkGivesTheSameFiguresToTheLastBit) {
  const System s = MakeSystem(300, 500, 300, 31);
  CSparseLsq one, split;
  split.SetThreadedFrom(0);
  for (CSparseLsq* w : {&one, &split}) {
    s.Fill(*w);
    w->NeedCofactors({{0, 299}, {17, 230}});
    ASSERT_GT(w->Solve(), -1);
  }
  EXPECT_EQ(one.Sigma0(), split.Sigma0());
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0; i < s.t; ++i) {
    EXPECT_EQ(one.X(i), split.X(i)) << i;
    for (int j = i; j < s.t; j += 7) pairs.push_back({i, j});
  }
  std::vector<double> q1, q2;
  one.Cofactors(pairs, q1);
  split.Cofactors(pairs, q2);
  for (std::size_t k = 0; k < pairs.size(); ++k)
    ASSERT_EQ(q1[k], q2[k]) << pairs[k].first << "," << pairs[k].second;
  EXPECT_EQ(one.HelmertStep(), split.HelmertStep());
}

TEST(SolverChoice, DenseUpToTheLimitSparseAbove) {
  EXPECT_NE(dynamic_cast<CWchFch*>(MakeLsqSolver(kDenseSolverLimit, LsqNetwork::Plane).get()), nullptr);
  EXPECT_NE(dynamic_cast<CSparseLsq*>(MakeLsqSolver(kDenseSolverLimit + 1, LsqNetwork::Plane).get()), nullptr);
}

// The factor stays sparse on a two-dimensional network: a grid of 60 × 60
// unknowns tied to their four neighbours. The minimum-degree ordering keeps the
// fill of L far below the band an envelope ordering needs.
TEST(SparseLsqFill, MinimumDegreeKeepsAGridSparse) {
  const int side = 120, t = side * side;
  std::vector<std::pair<int, int>> edges;
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      if (c + 1 < side) edges.push_back({r * side + c, r * side + c + 1});
      if (r + 1 < side) edges.push_back({r * side + c, (r + 1) * side + c});
    }
  std::size_t fill[2] = {0, 0};
  int k = 0;
  for (auto ordering : {CSparseLsq::Ordering::MinimumDegree, CSparseLsq::Ordering::ReverseCuthillMcKee}) {
    CSparseLsq w(false, ordering);
    w.Init(t, static_cast<int>(edges.size()), 1);
    for (std::size_t e = 0; e < edges.size(); ++e) {
      const int idx[2] = {edges[e].first, edges[e].second};
      const double coef[2] = {1, -1};
      w.AddToRow(1, static_cast<int>(e), idx, coef, 2);
      w.Weight(1, static_cast<int>(e)) = 1;
      w.Misclosure(1, static_cast<int>(e)) = 0.001 * static_cast<double>(e % 17);
    }
    const int fixed[1] = {0};
    const double one[1] = {1};
    w.AddToRow(2, 0, fixed, one, 1);
    w.Weight(2, 0) = 1;
    ASSERT_GT(w.Solve(), -1);
    fill[k++] = w.FactorSize();
  }
  EXPECT_LT(fill[0], 30u * t);        // ~n log n (22 n here)
  EXPECT_GT(fill[1], 3 * fill[0]);    // ~n^1.5 inside the band (80 n here)
}

}  // namespace
