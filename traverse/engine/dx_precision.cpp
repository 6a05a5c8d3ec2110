// Precision of the rigorous plane adjustment from the cofactors Q = N⁻¹ of its
// last solution: point errors and error ellipses of the unknown points, and for
// every leg the RMS of its side and azimuth and the relative error of its ends.
//
// Units: Q is in mm² (the unknowns are millimetres, σ0 dimensionless); point
// errors, ellipse axes, side RMS and relative errors come out in millimetres,
// azimuth RMS in seconds. Radicands that rounding leaves slightly negative are
// taken as 0, so no figure is ever NaN.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "survey/angle.h"
#include "traverse/engine/dx_steps.h"

using traverse::CTraverseJob;

namespace {


double Root(double v) { return v > 0 ? std::sqrt(v) : 0.0; }

}  // namespace

int CTraverseJob::EvaluatePrecision() {
  if (!m_wchPlane) return 0;
  survey::CLsqSolver& lsq = *m_wchPlane;
  const double s0 = std::max(m_dSigma0Plane, 0.0);
  for (int p = 0; p < static_cast<int>(m_arrUnknownPd.size()); ++p) {
    CPd& pd = m_arrUnknownPd[p];
    const double qxx = lsq.Q(2 * p, 2 * p), qyy = lsq.Q(2 * p + 1, 2 * p + 1);
    const double qxy = lsq.Q(2 * p, 2 * p + 1);
    pd.mx = qxx < 1e-10 ? 0.0 : s0 * Root(qxx);
    pd.my = qyy < 1e-10 ? 0.0 : s0 * Root(qyy);
    pd.m = std::sqrt(pd.mx * pd.mx + pd.my * pd.my);
    const double k = std::sqrt((qxx - qyy) * (qxx - qyy) + 4 * qxy * qxy);
    pd.ellipseA = s0 * Root((qxx + qyy + k) / 2);
    pd.ellipseB = s0 * Root((qxx + qyy - k) / 2);
    double f = std::atan2(2 * qxy, qxx - qyy);
    survey::NormalizeAngle(&f);
    pd.ellipseF = f / 2;
  }

  const int n = static_cast<int>(m_arrUnit.size());
  // The cofactors between the two ends of every leg, asked for at once: a leg
  // whose ends no observation joins (where two lines meet) costs the solver two
  // sparse solves, which it spreads over the cores.
  auto unknownEnds = [&](int i, int& p1, int& p2) {
    const CUnit& u = m_arrUnit[i];
    const CUnit& w = m_arrUnit[i + 1];
    if (u.planeIndex < 0 || w.planeIndex < 0) return false;
    p1 = u.knownPlane ? -1 : u.planeIndex;
    p2 = w.knownPlane ? -1 : w.planeIndex;
    return true;
  };
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0, p1 = 0, p2 = 0; i + 1 < n; ++i)
    if (unknownEnds(i, p1, p2) && p1 >= 0 && p2 >= 0) {
      const int a = 2 * std::min(p1, p2), b = 2 * std::max(p1, p2);
      pairs.insert(pairs.end(), {{a, b}, {a + 1, b + 1}, {a, b + 1}, {a + 1, b}});
    }
  std::vector<double> cross;
  lsq.Cofactors(pairs, cross);
  std::size_t next = 0;
  for (int i = 0; i + 1 < n; ++i) {
    CUnit& u = m_arrUnit[i];
    int p1 = 0, p2 = 0;
    if (!unknownEnds(i, p1, p2)) continue;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    GetPointXY(i, &x1, &y1);
    GetPointXY(i + 1, &x2, &y2);
    const double dx = x2 - x1, dy = y2 - y1;
    double qdx = 0, qdy = 0, qdxy = 0;
    if (p1 >= 0 && p2 >= 0) {
      const int a = 2 * std::min(p1, p2), b = 2 * std::max(p1, p2);
      const double* q = cross.data() + next;  // (a, b), (a+1, b+1), (a, b+1), (a+1, b)
      next += 4;
      qdx = lsq.Q(a, a) + lsq.Q(b, b) - 2 * q[0];
      qdy = lsq.Q(a + 1, a + 1) + lsq.Q(b + 1, b + 1) - 2 * q[1];
      qdxy = lsq.Q(a, a + 1) + lsq.Q(b, b + 1) - q[2] - q[3];
    } else if (p1 >= 0 || p2 >= 0) {
      const int a = 2 * std::max(p1, p2);
      qdx = lsq.Q(a, a);
      qdy = lsq.Q(a + 1, a + 1);
      qdxy = lsq.Q(a, a + 1);
    }
    if (!u.distanceText.empty() && u.distance > 0) {
      const double cx = dx / u.distance, cy = dy / u.distance;
      u.sideRms = s0 * Root(cx * cx * qdx + cy * cy * qdy + 2 * cx * cy * qdxy);
    }
    const double s2 = dx * dx + dy * dy;
    if ((p1 >= 0 || p2 >= 0) && s2 > 0) {
      const double f = dx / s2 * kRho / 1000.0, e = -dy / s2 * kRho / 1000.0;
      u.azimuthRms = s0 * Root(f * f * qdy + e * e * qdx + 2 * e * f * qdxy);
      u.adjacentError = s0 * Root(qdx + qdy);
    }
  }
  return 1;
}
