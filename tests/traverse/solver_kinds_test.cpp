// The rigorous adjustments on the dense and on the sparse solver: the sample jobs
// in examples/ and synthetic networks are computed once on each, and must give
// the same coordinates, heights, σ0, point errors, error ellipses, leg figures
// and Helmert factors. By size, a job takes the dense solver for a small network
// and the sparse one for a large one, plane and height each on its own count.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "survey/least_squares.h"
#include "survey/sparse_least_squares.h"
#include "tests/traverse/synthetic.h"
#include "tests/traverse/synthetic2.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"

namespace {

using survey::LsqSolverKind;

// Reads a sample job as the document does.
bool LoadExample(const std::string& file, CDxView& view) {
  const std::string here = __FILE__;
  auto bytes = platform::ReadFileBytes(here.substr(0, here.rfind("/tests/")) + "/examples/" + file);
  if (!bytes) return false;
  std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
  traverse::TraverseSectionData d;
  std::size_t pos = 3;  // after header, version and banner
  traverse::ReadTraverseSectionLines(lines, pos, 520, d);
  view.ResetScheme();
  view.ApplySectionData(d);
  return true;
}

struct Case {
  std::string name;
  std::function<void(CDxView&)> setUp;  // scheme and rows, not computed
};

void Typed(CDxView& v, int type, const std::vector<std::vector<std::string>>& rows, bool helmert,
           double angleRms = 0, double distA = 0, double distB = 0) {
  v.ResetScheme();
  v.m_nTraverseType = type;
  v.m_bRigorous = 1;
  v.m_bHelmert = helmert;
  if (angleRms > 0) {
    v.m_dAngleRms = angleRms;
    v.m_dDistA = distA;
    v.m_dDistB = distB;
  }
  v.SetInputRows(rows);
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  // Every sample job with a rigorous adjustment, as stored and with Helmert weighting.
  for (const char* file : {"closed-traverse.qvt", "connecting-traverse.qvt", "no-orientation-traverse.qvt",
                           "network.qvt"})
    for (bool helmert : {false, true})
      cases.push_back({std::string(file) + (helmert ? " Helmert" : ""), [file, helmert](CDxView& v) {
                         ASSERT_TRUE(LoadExample(file, v)) << file;
                         v.m_bRigorous = 1;
                         v.m_bHelmert = helmert;
                       }});
  cases.push_back({"connecting traverse with errors", [](CDxView& v) {
                     std::vector<synth::ChainRow> rows = synth::Connecting(synth::SampleConnecting());
                     const double angleErr[] = {0, 4, -3, 6, -2, 5, -1, 0};
                     for (std::size_t i = 0; i < rows.size(); ++i) {
                       rows[i].angleErr = angleErr[i];
                       rows[i].sideErr = 0.004 * std::sin(3.0 * static_cast<double>(i));
                       rows[i].dhErr = 0.003 * std::cos(2.0 * static_cast<double>(i));
                     }
                     Typed(v, 0, synth::ChainRows(rows), false);
                   }});
  cases.push_back({"noisy 4 x 5 network with heights", [](CDxView& v) {
                     const synth2::Network net = synth2::Grid(4, 5, 11, true);
                     Typed(v, 3, synth2::Rows(net, synth2::Observe(net, 4.0, 6.0, 3.0, 5)), false);
                   }});
  cases.push_back({"6 x 6 network, Helmert from priors far off", [](CDxView& v) {
                     const synth2::Network net = synth2::Grid(6, 6, 3);
                     Typed(v, 3, synth2::Rows(net, synth2::Observe(net, 4.0, 9.0, 0.0, 17)), true, 1.5, 5.0,
                           5.0);
                   }});
  return cases;
}

double Rel(double ref) { return 1e-9 * std::fabs(ref) + 1e-12; }

double AxisGap(double a, double b) {  // of two axis directions, modulo π
  double d = std::fmod(std::fabs(a - b), synth::kPi);
  return std::min(d, synth::kPi - d);
}

void ExpectSameResults(const CDxView& dense, const CDxView& sparse) {
  EXPECT_NEAR(sparse.m_dSigma0Plane, dense.m_dSigma0Plane, Rel(dense.m_dSigma0Plane));
  EXPECT_NEAR(sparse.m_dSigma0Height, dense.m_dSigma0Height, Rel(dense.m_dSigma0Height));
  ASSERT_EQ(sparse.m_arrUnknownPd.size(), dense.m_arrUnknownPd.size());
  for (std::size_t i = 0; i < dense.m_arrUnknownPd.size(); ++i) {
    const CDxView::CPd &d = dense.m_arrUnknownPd[i], &s = sparse.m_arrUnknownPd[i];
    SCOPED_TRACE(d.name);
    EXPECT_NEAR(s.x, d.x, 1e-8);
    EXPECT_NEAR(s.y, d.y, 1e-8);
    EXPECT_NEAR(s.mx, d.mx, Rel(d.mx));
    EXPECT_NEAR(s.my, d.my, Rel(d.my));
    EXPECT_NEAR(s.m, d.m, Rel(d.m));
    EXPECT_NEAR(s.ellipseA, d.ellipseA, Rel(d.ellipseA));
    EXPECT_NEAR(s.ellipseB, d.ellipseB, Rel(d.ellipseA));
    if (d.ellipseA - d.ellipseB > 1e-3 * d.ellipseA) {
      EXPECT_LT(AxisGap(s.ellipseF, d.ellipseF), 1e-7);
    }
  }
  ASSERT_EQ(sparse.m_arrUnknownHd.size(), dense.m_arrUnknownHd.size());
  for (std::size_t i = 0; i < dense.m_arrUnknownHd.size(); ++i) {
    SCOPED_TRACE(dense.m_arrUnknownHd[i].name);
    EXPECT_NEAR(sparse.m_arrUnknownHd[i].h, dense.m_arrUnknownHd[i].h, 1e-9);
    EXPECT_NEAR(sparse.m_arrUnknownHd[i].mh, dense.m_arrUnknownHd[i].mh, Rel(dense.m_arrUnknownHd[i].mh));
  }
  ASSERT_EQ(sparse.m_arrUnit.size(), dense.m_arrUnit.size());
  for (std::size_t i = 0; i < dense.m_arrUnit.size(); ++i) {
    const CDxView::CUnit &d = dense.m_arrUnit[i], &s = sparse.m_arrUnit[i];
    SCOPED_TRACE("row " + std::to_string(i + 1));
    EXPECT_NEAR(s.azimuthRms, d.azimuthRms, Rel(d.azimuthRms));
    EXPECT_NEAR(s.sideRms, d.sideRms, Rel(d.sideRms));
    EXPECT_NEAR(s.adjacentError, d.adjacentError, Rel(d.adjacentError));
    EXPECT_NEAR(s.angleCorrection, d.angleCorrection, 1e-7);
    EXPECT_NEAR(s.distanceCorrection, d.distanceCorrection, 1e-6);
    EXPECT_NEAR(s.dhCorrection, d.dhCorrection, 1e-6);
  }
  ASSERT_EQ(!sparse.m_wchPlane, !dense.m_wchPlane);
  if (dense.m_wchPlane) {
    for (int g : {1, 2}) {
      SCOPED_TRACE("group " + std::to_string(g));
      EXPECT_NEAR(sparse.m_wchPlane->LastFactor(g), dense.m_wchPlane->LastFactor(g), 1e-9);
      EXPECT_NEAR(sparse.m_wchPlane->Pvv(g), dense.m_wchPlane->Pvv(g), Rel(dense.m_wchPlane->Pvv(g)));
    }
  }
}

}  // namespace

TEST(SolverKinds, DenseAndSparseGiveTheSameAdjustment) {
  int computed = 0, helmert = 0;
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    platform::FakeMessagePort port;
    CDxView dense, sparse;
    c.setUp(dense);
    c.setUp(sparse);
    dense.m_solverKind = LsqSolverKind::Dense;
    sparse.m_solverKind = LsqSolverKind::Sparse;
    const int okDense = dense.Compute();
    const std::vector<std::string> denseSays = port.Messages();
    port.Clear();
    const int okSparse = sparse.Compute();
    // A job refused on one solver is refused on the other, with the same words.
    EXPECT_EQ(okSparse, okDense);
    EXPECT_EQ(port.Messages(), denseSays);
    if (!okDense || !okSparse) continue;
    ++computed;
    // Each ran on the solver it was given, or the comparison proves nothing.
    if (dense.m_bPlane) {
      ASSERT_TRUE(dense.m_wchPlane && sparse.m_wchPlane);
      EXPECT_NE(dynamic_cast<const survey::CWchFch*>(dense.m_wchPlane.get()), nullptr);
      EXPECT_NE(dynamic_cast<const survey::CSparseLsq*>(sparse.m_wchPlane.get()), nullptr);
      if (dense.m_bHelmert && std::fabs(dense.m_wchPlane->LastFactor(1) - 1.0) > 0) ++helmert;
    }
    if (dense.m_bHeight && dense.m_wchHeight) {
      EXPECT_NE(dynamic_cast<const survey::CWchFch*>(dense.m_wchHeight.get()), nullptr);
      EXPECT_NE(dynamic_cast<const survey::CSparseLsq*>(sparse.m_wchHeight.get()), nullptr);
    }
    ExpectSameResults(dense, sparse);
  }
  // Most cases compute, and the Helmert loop really re-weighted in some of them.
  EXPECT_GE(computed, 8);
  EXPECT_GE(helmert, 2);
}

TEST(SolverKinds, BySizeTheJobTakesDenseForSmallNetworksAndSparseForLarge) {
  platform::FakeMessagePort port;
  struct Size {
    int rows, cols;
  };
  for (const Size sz : {Size{4, 5}, Size{10, 10}}) {
    SCOPED_TRACE(std::to_string(sz.rows) + " x " + std::to_string(sz.cols));
    const synth2::Network net = synth2::Grid(sz.rows, sz.cols, 11, true);
    CDxView v;
    Typed(v, 3, synth2::Rows(net, synth2::Observe(net, 4.0, 6.0, 3.0, 5)), false);
    ASSERT_EQ(v.Compute(), 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
    ASSERT_TRUE(v.m_wchPlane && v.m_wchHeight);
    const int planeUnknowns = 2 * static_cast<int>(v.m_arrUnknownPd.size());
    const int heightUnknowns = static_cast<int>(v.m_arrUnknownHd.size());
    EXPECT_EQ(v.m_wchPlane->Unknowns(), planeUnknowns);
    EXPECT_EQ(v.m_wchHeight->Unknowns(), heightUnknowns);
    EXPECT_EQ(dynamic_cast<const survey::CWchFch*>(v.m_wchPlane.get()) != nullptr,
              planeUnknowns <= survey::kDenseSolverLimit);
    EXPECT_EQ(dynamic_cast<const survey::CWchFch*>(v.m_wchHeight.get()) != nullptr,
              heightUnknowns <= survey::kDenseSolverLimit);
  }
}
