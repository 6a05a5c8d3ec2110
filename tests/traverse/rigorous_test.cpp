// Rigorous plane adjustment against an independent dense Eigen solve: adjusted
// coordinates, σ0, point errors, ellipses; invariance under a rotation of the
// whole network; Helmert weighting at convergence.
#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <cmath>
#include <map>
#include <string>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "tests/traverse/reference_lsq.h"
#include "tests/traverse/synthetic.h"
#include "tests/traverse/synthetic2.h"
#include "traverse/codes.h"
#include "traverse/view/dx_view.h"

namespace {

struct Job {
  CDxView view;
  platform::FakeMessagePort port;
  int ok = 0;
};

// Types the network in as a type-3 job and computes it.
void RunJob(Job& job, const synth2::Network& net, const std::vector<synth2::Obs>& obs, bool helmert = false,
         const ref::Weights& w = {}) {
  job.view.ResetScheme();
  job.view.m_nTraverseType = 3;
  job.view.m_bHelmert = helmert;
  job.view.m_dAngleRms = w.angleSec;
  job.view.m_dDistA = w.a;
  job.view.m_dDistB = w.b;
  job.view.SetInputRows(synth2::Rows(net, obs));
  job.ok = job.view.Compute();
}

const CDxView::CPd* Unknown(const CDxView& v, const std::string& name) {
  for (const auto& p : v.m_arrUnknownPd)
    if (p.name == name) return &p;
  return nullptr;
}

double FoldPi(double a) {
  while (a < 0) a += synth2::kPi;
  while (a >= synth2::kPi) a -= synth2::kPi;
  return a;
}

double AngleGap(double a, double b) {  // of two axis directions, modulo π
  double d = std::fabs(FoldPi(a) - FoldPi(b));
  return std::min(d, synth2::kPi - d);
}

// Noisy 4 × 5 grid: 16 unknown points, 4 known corners.
struct NoisyGrid {
  synth2::Network net = synth2::Grid(4, 5, 11);
  std::vector<synth2::Obs> obs = synth2::Observe(net, 4.0, 6.0, 0.0, 5);
};

}  // namespace

TEST(RigorousPlaneTest, MatchesDenseReference) {
  NoisyGrid g;
  Job job;
  RunJob(job, g.net, g.obs);
  ASSERT_EQ(job.ok, 1) << (job.port.Messages().empty() ? "" : job.port.Messages()[0]);
  EXPECT_TRUE(job.port.Messages().empty());
  const ref::Result r = ref::Adjust(g.net, g.obs, {});
  ASSERT_GT(r.sigma0, 0.1);
  EXPECT_NEAR(job.view.m_dSigma0Plane, r.sigma0, 1e-6 * r.sigma0);
  for (auto [pi, k] : r.unknown) {
    const auto& pt = g.net.points[pi];
    const CDxView::CPd* p = Unknown(job.view, pt.name);
    ASSERT_NE(p, nullptr) << pt.name;
    EXPECT_NEAR(p->x, r.coords[2 * k], 1e-5) << pt.name;
    EXPECT_NEAR(p->y, r.coords[2 * k + 1], 1e-5) << pt.name;
    const double mx = r.sigma0 * std::sqrt(r.Q(2 * k, 2 * k)) * 1000.0;
    const double my = r.sigma0 * std::sqrt(r.Q(2 * k + 1, 2 * k + 1)) * 1000.0;
    EXPECT_NEAR(p->mx, mx, 1e-6 * mx) << pt.name;
    EXPECT_NEAR(p->my, my, 1e-6 * my) << pt.name;
    EXPECT_NEAR(p->m, std::hypot(mx, my), 1e-5 * p->m);
    const ref::Ellipse e = ref::EllipseOf(r, k);
    EXPECT_NEAR(p->ellipseA, e.a, 1e-6 * e.a) << pt.name;
    EXPECT_NEAR(p->ellipseB, e.b, 1e-6 * e.a) << pt.name;
    if (e.a - e.b > 1e-3 * e.a) {
      EXPECT_LT(AngleGap(p->ellipseF, e.f), 1e-5) << pt.name;
    }
    EXPECT_GE(p->ellipseF, 0.0);
    EXPECT_LT(p->ellipseF, synth2::kPi);
  }
  // Per-leg figures from the reference cofactors: side RMS and relative error.
  for (std::size_t i = 0; i + 1 < job.view.m_arrUnit.size(); ++i) {
    const auto& u = job.view.m_arrUnit[i];
    const auto& w = job.view.m_arrUnit[i + 1];
    if (u.distanceText.empty()) continue;
    int a = -1, b = -1;
    for (auto [pi, k] : r.unknown) {
      if (g.net.points[pi].name == u.name) a = k;
      if (g.net.points[pi].name == w.name) b = k;
    }
    Eigen::VectorXd f = Eigen::VectorXd::Zero(r.coords.size());
    const double dx = w.x - u.x, dy = w.y - u.y, s = std::hypot(dx, dy);
    if (a >= 0) {
      f[2 * a] -= dx / s;
      f[2 * a + 1] -= dy / s;
    }
    if (b >= 0) {
      f[2 * b] += dx / s;
      f[2 * b + 1] += dy / s;
    }
    const double sideRms = r.sigma0 * std::sqrt(f.dot(r.Q * f)) * 1000.0;
    EXPECT_NEAR(u.sideRms, sideRms, 1e-4 * sideRms + 1e-9) << "row " << i + 1;
  }
}

TEST(RigorousPlaneTest, RotationTurnsEllipsesOnly) {
  NoisyGrid g;
  const synth2::Network turned = synth2::Rotated(g.net, 37.0, 3500400.0, 400600.0);
  Job a, b;
  RunJob(a, g.net, g.obs);
  RunJob(b, turned, g.obs);  // the same observations: angles and sides do not see the turn
  ASSERT_EQ(a.ok, 1);
  ASSERT_EQ(b.ok, 1);
  EXPECT_NEAR(a.view.m_dSigma0Plane, b.view.m_dSigma0Plane, 1e-7);
  const double turn = 37.0 * synth2::kPi / 180.0;
  for (const auto& p : a.view.m_arrUnknownPd) {
    const CDxView::CPd* q = Unknown(b.view, p.name);
    ASSERT_NE(q, nullptr);
    EXPECT_NEAR(q->ellipseA, p.ellipseA, 1e-7 * p.ellipseA) << p.name;
    EXPECT_NEAR(q->ellipseB, p.ellipseB, 1e-7 * p.ellipseA) << p.name;
    EXPECT_NEAR(q->m, p.m, 1e-7 * p.m) << p.name;
    EXPECT_LT(AngleGap(q->ellipseF, p.ellipseF + turn), 1e-6) << p.name;
    // The adjusted point itself turns with the network.
    const double dx = p.x - 3500400.0, dy = p.y - 400600.0;
    EXPECT_NEAR(q->x, 3500400.0 + std::cos(turn) * dx - std::sin(turn) * dy, 1e-5);
    EXPECT_NEAR(q->y, 400600.0 + std::sin(turn) * dx + std::cos(turn) * dy, 1e-5);
  }
}

TEST(RigorousPlaneTest, HelmertBalancesBothGroups) {
  // Priors far from the noise actually used: angles 4″ typed as 1.5″, sides 6 mm
  // typed as 5 + 5 ppm.
  NoisyGrid g;
  synth2::Network net = synth2::Grid(6, 6, 3);
  std::vector<synth2::Obs> obs = synth2::Observe(net, 4.0, 9.0, 0.0, 17);
  const ref::Weights w{1.5, 5.0, 5.0};
  Job job;
  RunJob(job, net, obs, true, w);
  ASSERT_EQ(job.ok, 1) << (job.port.Messages().empty() ? "" : job.port.Messages()[0]);
  EXPECT_NEAR(job.view.m_dSigma0Plane, 1.0, 1e-3);
  const ref::Result r = ref::Adjust(net, obs, w, true);
  EXPECT_NEAR(r.pvv1 / r.r1, 1.0, 1e-7);
  EXPECT_NEAR(r.pvv2 / r.r2, 1.0, 1e-7);
  for (auto [pi, k] : r.unknown) {
    const CDxView::CPd* p = Unknown(job.view, net.points[pi].name);
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->x, r.coords[2 * k], 1e-4);
    EXPECT_NEAR(p->y, r.coords[2 * k + 1], 1e-4);
  }
  // Σp·v² over its redundancy, per group, from the program's coordinates and the
  // reference's balanced weights.
  std::map<std::string, std::pair<double, double>> xy;
  for (const auto& p : job.view.m_arrUnknownPd) xy[p.name] = {p.x, p.y};
  auto at = [&](int pi) {
    const auto& pt = net.points[pi];
    return pt.known ? std::make_pair(pt.x, pt.y) : xy[pt.name];
  };
  double pvv1 = 0, pvv2 = 0;
  for (const auto& o : obs) {
    if (o.kind == synth2::Obs::Side) {
      auto [x1, y1] = at(o.from);
      auto [x2, y2] = at(o.to);
      const double v = (std::hypot(x2 - x1, y2 - y1) - o.value) * 1000.0;
      const double sd = (w.a + w.b * o.value / 1000.0);
      pvv2 += r.scale2 * v * v / (sd * sd);
    } else if (o.kind == synth2::Obs::Angle) {
      auto [xs, ys] = at(o.at);
      auto [xb, yb] = at(o.from);
      auto [xf, yf] = at(o.to);
      const double v = ref::Wrap(std::atan2(yf - ys, xf - xs) - std::atan2(yb - ys, xb - xs) - o.value) * synth2::kRho;
      pvv1 += r.scale1 * v * v / (w.angleSec * w.angleSec);
    }
  }
  EXPECT_NEAR(pvv1 / r.r1, 1.0, 1e-3);
  EXPECT_NEAR(pvv2 / r.r2, 1.0, 1e-3);
}

TEST(RigorousPlaneTest, HelmertWithoutSidesEndsAtOnce) {
  // A pure triangulation: every point fixed by angles only, no side group.
  synth2::Network net;
  auto P = [&](const char* n, double x, double y, bool k) {
    synth2::Point p;
    p.name = n;
    p.x = x;
    p.y = y;
    p.known = k;
    net.points.push_back(p);
  };
  P("A", 1000, 1000, true);    // 0
  P("B", 1000, 2000, true);    // 1
  P("C", 1800, 1500, false);   // 2
  P("D", 1900, 2400, false);   // 3
  net.lines = {{0, 2, 1}, {2, 1, 0}, {1, 0, 2}, {1, 3, 2}, {3, 2, 1}, {2, 1, 3}};
  std::vector<synth2::Obs> obs;
  for (const auto& o : synth2::Observe(net, 3.0, 0.0, 0.0, 2))
    if (o.kind == synth2::Obs::Angle) obs.push_back(o);
  // Type-3 approximate coordinates need sides, so the job is checked as typed and
  // given its approximations by hand, then adjusted.
  auto adjust = [&](Job& job, bool helmert) {
    job.view.ResetScheme();
    job.view.m_nTraverseType = 3;
    job.view.m_bHelmert = helmert;
    job.view.SetInputRows(synth2::Rows(net, obs));
    ASSERT_EQ(job.view.ParseAndCheckInput(), 1);
    for (auto& p : job.view.m_arrUnknownPd) {
      for (const auto& t : net.points)
        if (t.name == p.name) {
          p.x = t.x + 0.3;
          p.y = t.y - 0.2;
        }
      p.hasValue = 1;
    }
    job.ok = job.view.AdjustPlaneRigorous();
  };
  Job plain, helmert;
  adjust(plain, false);
  adjust(helmert, true);
  ASSERT_EQ(helmert.ok, 1);
  EXPECT_TRUE(helmert.port.Messages().empty());
  // Nothing to balance: the result is the one without Helmert, σ0 not forced to 1.
  EXPECT_NEAR(helmert.view.m_dSigma0Plane, plain.view.m_dSigma0Plane, 1e-12);
  EXPECT_GT(std::fabs(helmert.view.m_dSigma0Plane - 1.0), 0.01);
  for (std::size_t i = 0; i < plain.view.m_arrUnknownPd.size(); ++i)
    EXPECT_NEAR(helmert.view.m_arrUnknownPd[i].x, plain.view.m_arrUnknownPd[i].x, 1e-9);
}

TEST(RigorousPlaneTest, NoRedundancyGivesNoPrecision) {
  // An open chain fixed exactly by its observations: 2 unknowns, 2 observations.
  synth2::Network net;
  synth2::Point a{"A", 1000, 1000, 0, true}, b{"B", 1000, 1300, 0, true}, c{"C", 1250, 1400, 0, false};
  net.points = {a, b, c};
  net.lines = {{0, 1, 2}};
  auto obs = synth2::Observe(net);
  Job job;
  RunJob(job, net, obs);
  ASSERT_EQ(job.ok, 1) << (job.port.Messages().empty() ? "" : job.port.Messages()[0]);
  EXPECT_EQ(job.view.m_dSigma0Plane, -1.0);
  ASSERT_EQ(job.view.m_arrUnknownPd.size(), 1u);
  const auto& p = job.view.m_arrUnknownPd[0];
  EXPECT_NEAR(p.x, 1250, 1e-6);
  EXPECT_NEAR(p.y, 1400, 1e-6);
  EXPECT_EQ(p.mx, 0.0);
  EXPECT_EQ(p.ellipseA, 0.0);
}

// Observations that fit without any residual (beyond rounding) leave Helmert
// weighting nothing to estimate for their group: [pvv] = 0. On a straight traverse the angles (all
// 180°) fix only the cross-track coordinates and the sides only the along-track
// ones, so side errors leave the angles without residuals; a rectangle typed
// from its design figures leaves none in either group. Such a group keeps its
// weights, the other is balanced, the result is that of the adjustment without
// Helmert, and no message blames the priors. On both solvers.
TEST(RigorousPlaneTest, HelmertKeepsTheWeightsOfAGroupWithoutResiduals) {
  struct Case {
    const char* what;
    std::vector<synth::Pt> points;  // A B ... (C D for a connecting traverse)
    bool closed;
    std::vector<double> sideErr;    // metres, per row
    bool sidesWithResiduals;
  };
  const Case cases[] = {
      {"straight connecting traverse, side errors",
       {{"A", 800, 5000, 0}, {"B", 1000, 5000, 0}, {"P1", 1200, 5000, 0}, {"P2", 1400, 5000, 0},
        {"P3", 1600, 5000, 0}, {"C", 1800, 5000, 0}, {"D", 2000, 5000, 0}},
       false, {0, 0.012, -0.007, 0.009, 0.004, 0, 0}, true},
      {"rectangle typed from its design",
       {{"A", 600, 1000, 0}, {"B", 1000, 1000, 0}, {"Q1", 1000, 1250, 0}, {"Q2", 1400, 1250, 0},
        {"Q3", 1400, 1000, 0}},
       true, {}, false},
  };
  for (const Case& c : cases)
    for (auto kind : {survey::LsqSolverKind::Dense, survey::LsqSolverKind::Sparse}) {
      SCOPED_TRACE(std::string(c.what) + (kind == survey::LsqSolverKind::Dense ? ", dense" : ", sparse"));
      std::vector<synth::ChainRow> rows =
          c.closed ? synth::Closed(c.points, true, false) : synth::Connecting(c.points, true, false);
      for (std::size_t i = 0; i < c.sideErr.size() && i < rows.size(); ++i) rows[i].sideErr = c.sideErr[i];
      std::vector<std::vector<std::string>> cells = synth::ChainRows(rows);
      for (std::size_t i = 1; i + 1 < rows.size(); ++i) {  // right and straight angles, as typed
        if (!rows[i].angle) continue;
        const double deg = std::round(synth::LeftAngle(rows[i - 1].p, rows[i].p, rows[i + 1].p) * 180 / synth::kPi);
        cells[i][1] = std::to_string(static_cast<int>(deg)) + ".0000";
      }
      Job plain, helmert;
      for (Job* job : {&plain, &helmert}) {
        job->view.ResetScheme();
        job->view.m_nTraverseType = 0;
        job->view.m_bRigorous = 1;
        job->view.m_bHelmert = job == &helmert;
        job->view.m_solverKind = kind;
        job->view.SetInputRows(cells);
        job->ok = job->view.Compute();
      }
      ASSERT_EQ(plain.ok, 1) << (plain.port.Messages().empty() ? "" : plain.port.Messages()[0]);
      ASSERT_EQ(helmert.ok, 1) << (helmert.port.Messages().empty() ? "" : helmert.port.Messages()[0]);
      EXPECT_TRUE(helmert.port.Messages().empty()) << helmert.port.Messages()[0];
      survey::CLsqSolver& w = *helmert.view.m_wchPlane;
      ASSERT_LT(w.Pvv(1), 1e-18);  // the fixture is what it claims: rounding only
      EXPECT_EQ(w.LastFactor(1), 1.0);
      EXPECT_EQ(w.Weight(1, 0), 1.0 / (plain.view.m_dAngleRms * plain.view.m_dAngleRms));
      if (c.sidesWithResiduals) {
        EXPECT_GT(w.Pvv(2), 0.0);
        EXPECT_NEAR(w.LastFactor(2), 1.0, 1e-4);  // the sides are balanced
      } else {
        EXPECT_LT(w.Pvv(2), 1e-18);
        EXPECT_EQ(w.LastFactor(2), 1.0);
      }
      for (std::size_t i = 0; i < plain.view.m_arrUnknownPd.size(); ++i) {
        EXPECT_NEAR(helmert.view.m_arrUnknownPd[i].x, plain.view.m_arrUnknownPd[i].x, 1e-9);
        EXPECT_NEAR(helmert.view.m_arrUnknownPd[i].y, plain.view.m_arrUnknownPd[i].y, 1e-9);
      }
    }
}

// Angles really 6″ typed with a prior of 2″, sides 2 mm as typed: with Helmert the
// shown angle error is the angle group's own estimate (checked against the
// reference adjustment's Helmert factor, and against the noise put in), not the
// prior that Helmert's σ0 = 1 would repeat; without Helmert it is σ0 × the prior.
TEST(RigorousPlaneTest, ShownAngleErrorIsTheAnglesEstimate) {
  synth2::Network net = synth2::Grid(6, 6, 3);
  std::vector<synth2::Obs> obs = synth2::Observe(net, 6.0, 2.0, 0.0, 23);
  const ref::Weights w{2.0, 2.0, 0.0};
  for (bool helmert : {true, false}) {
    Job job;
    RunJob(job, net, obs, helmert, w);
    ASSERT_EQ(job.ok, 1) << (job.port.Messages().empty() ? "" : job.port.Messages()[0]);
    const ref::Result r = ref::Adjust(net, obs, w, helmert);
    const double expected = helmert ? w.angleSec / std::sqrt(r.scale1) : r.sigma0 * w.angleSec;
    EXPECT_NEAR(job.view.m_dAngleRmsPosterior, expected, 1e-3 * expected) << helmert;
    if (helmert) {
      EXPECT_NEAR(job.view.m_dSigma0Plane, 1.0, 1e-3);
      EXPECT_NEAR(job.view.m_dAngleRmsPosterior, 6.0, 1.2);
    }
    const std::string figure = platform::FormatFixed(expected, 2) + "\"";
    job.view.ShowTable(traverse::kTablePrecision);
    EXPECT_EQ(job.view.GetSignatureText(1).rfind("平面：测角中误差 = " + figure, 0), 0u) << job.view.GetSignatureText(1);
    job.view.ShowTable(traverse::kTablePlane);
    EXPECT_EQ(job.view.GetSignatureText(1), "测角中误差 = " + figure);
  }
}
