// CTraverseJob: the computation driver and the approximate adjustment of closed,
// connecting, open and no-orientation traverses.
//
// Closures are computed minus known; corrections carry the opposite sign.
// Angle closures are distributed equally over the angles of the figure (a
// closed loop leaves its connection angle alone), coordinate closures in
// proportion to the side lengths, height closures in proportion to the weight
// lengths (levelling) or their squares (trigonometric heighting).
#include <cmath>

#include "survey/angle.h"
#include "survey/geometry.h"
#include "traverse/engine/traverse_job.h"

using traverse::CTraverseJob;

namespace {

// Weight length of a height difference: L for levelling, L² for trigonometric
// heighting.
double HeightWeight(const CTraverseJob& v, const CTraverseJob::CUnit& r) {
  return v.m_nHeightRouteType == 1 ? r.weightLength * r.weightLength : r.weightLength;
}

// Approximate coordinates of the unknown points on rows first..last, the start of
// the rigorous adjustment.
void SeedUnknownPlane(CTraverseJob& v, int first, int last) {
  for (int i = first; i <= last; ++i) {
    const CTraverseJob::CUnit& r = v.m_arrUnit[static_cast<std::size_t>(i)];
    if (r.knownPlane || r.planeIndex < 0) continue;
    CTraverseJob::CPd& p = v.m_arrUnknownPd[static_cast<std::size_t>(r.planeIndex)];
    p.x = r.x;
    p.y = r.y;
    p.hasValue = 1;
  }
}

void SeedUnknownHeights(CTraverseJob& v, int first, int last) {
  for (int i = first; i <= last; ++i) {
    const CTraverseJob::CUnit& r = v.m_arrUnit[static_cast<std::size_t>(i)];
    if (r.knownHeight || r.heightIndex < 0) continue;
    CTraverseJob::CHd& p = v.m_arrUnknownHd[static_cast<std::size_t>(r.heightIndex)];
    p.h = r.h;
    p.hasValue = 1;
  }
}

// Spreads the height closure m_dWh over the legs first..last (row i to i + 1) in
// proportion to their weight lengths and carries the heights on.
void DistributeHeightClosure(CTraverseJob& v, int first, int last) {
  auto u = [&](int i) -> CTraverseJob::CUnit& { return v.m_arrUnit[static_cast<std::size_t>(i)]; };
  double sumW = 0;
  for (int i = first; i <= last; ++i) sumW += HeightWeight(v, u(i));
  for (int i = first; i <= last; ++i) {
    const double w = HeightWeight(v, u(i));
    const double c = sumW > 0 ? -(v.m_dWh / 1000.0) * w / sumW : 0.0;
    u(i).dh += c;
    u(i).dhCorrection = c * 1000.0;
    u(i + 1).h = u(i).h + u(i).dh;
  }
}

}  // namespace

int CTraverseJob::RunAdjustment() {
  switch (m_nTraverseType) {
    case 0: return AdjustClosedConnectingTraverse();
    case 1: return AdjustNoOrientationTraverse();
    case 2: ComputeOpenTraverse(); return 1;
    case 3:
      if (m_bPlane && !AdjustPlaneRigorous()) return 0;
      if (m_bHeight && !AdjustHeights()) return 0;
      return 1;
    case 4: return AdjustCoordTraverse();
    case 5: return ComputeLevelling();
    default: return 0;
  }
}

int CTraverseJob::Compute() {
  // Nothing of a previous run may survive into this one.
  ResetResults();
  ConfigureProjection();

  if (!ParseAndCheckInput()) return 0;
  if (!RunAdjustment()) return 0;
  if (m_bReduce && m_nTraverseType <= 3) {
    if (!ReduceObservations()) return 0;
    if (!RunAdjustment()) return 0;
  }
  m_bComputed = 1;
  if (!m_strPlaneGross.empty()) Say(m_strPlaneGross);
  if (m_bPlane) ComputeExtents();
  if (m_onComputed) m_onComputed(m_bPlane != 0);
  return 1;
}

void CTraverseJob::ComputeOpenTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  if (n < 2) return;
  auto u = [&](int i) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  if (m_bPlane) {
    u(0).azimuth = survey::CalcAzimuth(u(0).x, u(0).y, u(1).x, u(1).y);
    for (int i = 1; i <= n - 2; ++i) {
      u(i).azimuth = survey::Fold2Pi(u(i - 1).azimuth + u(i).angle - survey::kPi);
      u(i).dx = u(i).distance * std::cos(u(i).azimuth);
      u(i).dy = u(i).distance * std::sin(u(i).azimuth);
      u(i + 1).x = u(i).x + u(i).dx;
      u(i + 1).y = u(i).y + u(i).dy;
    }
  }
  if (m_bHeight)
    for (int i = 1; i <= n - 2; ++i) u(i + 1).h = u(i).h + u(i).dh;
}

int CTraverseJob::AdjustClosedConnectingTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  if (n < 4) return 0;
  auto u = [&](int i) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  const bool closed = IsClosedTraverse();
  const int end = n - 2;

  if (m_bPlane) {
    ComputeOpenTraverse();
    const CPd& known = m_arrKnownPd[static_cast<std::size_t>(u(end).planeIndex)];
    const double xEnd = known.x, yEnd = known.y;
    double azEnd;
    if (closed) {
      azEnd = u(1).azimuth;
    } else {
      double xo = 0, yo = 0;
      GetPointXY(n - 1, &xo, &yo);
      azEnd = survey::CalcAzimuth(xEnd, yEnd, xo, yo);
    }
    // Folded at 0/2π: a traverse closing on north has fβ of a few seconds, not 2π.
    double fBeta = survey::AngleDifference(azEnd, u(end).azimuth);

    m_dWx = (u(end).x - xEnd) * 1000.0;
    m_dWy = (u(end).y - yEnd) * 1000.0;
    m_dWs = std::hypot(m_dWx, m_dWy);
    m_nRelClosureT = RelativeClosure(m_dSumD, m_dWs);

    const int m = closed ? n - 3 : n - 2;
    const double v = m > 0 ? -fBeta / m : 0.0;

    // Propagates the corrected angles; with apply the rows keep them.
    auto distribute = [&](bool apply) {
      double az = u(0).azimuth;
      double sdx = 0, sdy = 0;
      for (int i = 1; i <= end; ++i) {
        const double vi = (closed && i == 1) ? 0.0 : v;
        const double angle = u(i).angle + vi;
        az = survey::Fold2Pi(az + angle - survey::kPi);
        if (apply) {
          u(i).angle = angle;
          u(i).angleCorrection = vi * kRho;
          u(i).azimuth = az;
        }
        if (i <= n - 3) {
          const double dx = u(i).distance * std::cos(az), dy = u(i).distance * std::sin(az);
          if (apply) {
            u(i).dx = dx;
            u(i).dy = dy;
          }
          sdx += dx;
          sdy += dy;
        }
      }
      if (std::fabs(survey::AngleDifference(az, azEnd)) > 1e-6)
        Say("方位角计算出错，或计算精度不足！");
      m_dFx = (u(1).x + sdx - xEnd) * 1000.0;
      m_dFy = (u(1).y + sdy - yEnd) * 1000.0;
      m_dFs = std::hypot(m_dFx, m_dFy);
      m_nRelClosureK = RelativeClosure(m_dSumD, m_dFs);
    };

    if (!m_bRigorous) {
      distribute(true);
      for (int i = 1; i <= n - 3; ++i) {
        const double share = m_dSumD > 0 ? u(i).distance / m_dSumD : 0.0;
        const double vx = -(m_dFx / 1000.0) * share, vy = -(m_dFy / 1000.0) * share;
        u(i + 1).x = u(i).x + u(i).dx + vx;
        u(i + 1).y = u(i).y + u(i).dy + vy;
        u(i).vx = vx * 1000.0;
        u(i).vy = vy * 1000.0;
      }
      if (std::fabs(u(end).x - xEnd) > 1e-4 || std::fabs(u(end).y - yEnd) > 1e-4)
        Say("坐标计算出错，或计算精度不足！");
      if (closed) {
        u(n - 1).x = u(2).x;
        u(n - 1).y = u(2).y;
      } else {
        GetPointXY(n - 1, &u(n - 1).x, &u(n - 1).y);
      }
      if (m_bBackCompute) BackCompute();
    } else {
      if (!m_bClosureBeforeAngleCorrection) distribute(false);
      SeedUnknownPlane(*this, 2, n - 2);
      if (!AdjustPlaneRigorous()) return 0;
    }
    m_dFBeta = fBeta * kRho;
    SearchPlaneError(closed ? 1 : 0);
  }

  if (m_bHeight) {
    for (int i = 1; i <= n - 3; ++i) u(i + 1).h = u(i).h + u(i).dh;
    double hEnd = 0;
    GetPointH(end, &hEnd);
    m_dWh = (u(end).h - hEnd) * 1000.0;
    if (m_bRigorous) {
      SeedUnknownHeights(*this, 2, n - 3);
      return AdjustHeights();
    }
    DistributeHeightClosure(*this, 1, n - 3);
    if (std::fabs(u(end).h - hEnd) > 1e-4) Say("高程计算出错！");
    if (closed) u(n - 1).h = u(2).h;
  }
  return 1;
}

int CTraverseJob::AdjustNoOrientationTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  if (n < 3) return 0;
  auto u = [&](int i) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  const int last = n - 1;

  if (m_bPlane) {
    const CPd& known = m_arrKnownPd[static_cast<std::size_t>(u(last).planeIndex)];
    const double xEnd = known.x, yEnd = known.y;
    // Start due north, then turn the whole figure onto the known end point.
    u(1).x = u(0).x + u(0).distance;
    u(1).y = u(0).y;
    ComputeOpenTraverse();
    const double turn = survey::Fold2Pi(survey::CalcAzimuth(u(0).x, u(0).y, xEnd, yEnd) -
                             survey::CalcAzimuth(u(0).x, u(0).y, u(last).x, u(last).y));
    u(0).azimuth = turn;
    survey::PolarPoint(u(0).x, u(0).y, turn, u(0).distance, &u(1).x, &u(1).y);
    ComputeOpenTraverse();

    m_dWx = (u(last).x - xEnd) * 1000.0;
    m_dWy = (u(last).y - yEnd) * 1000.0;
    m_dWs = std::hypot(m_dWx, m_dWy);
    m_nRelClosureT = RelativeClosure(m_dSumD, m_dWs);

    if (m_bRigorous) {
      SeedUnknownPlane(*this, 1, last - 1);
      if (!AdjustPlaneRigorous()) return 0;
    } else {
      for (int i = 0; i <= n - 2; ++i) {
        u(i).dx = u(i).distance * std::cos(u(i).azimuth);
        u(i).dy = u(i).distance * std::sin(u(i).azimuth);
        const double share = m_dSumD > 0 ? u(i).distance / m_dSumD : 0.0;
        const double vx = -(m_dWx / 1000.0) * share, vy = -(m_dWy / 1000.0) * share;
        u(i + 1).x = u(i).x + u(i).dx + vx;
        u(i + 1).y = u(i).y + u(i).dy + vy;
        u(i).vx = vx * 1000.0;
        u(i).vy = vy * 1000.0;
      }
      if (std::fabs(u(last).x - xEnd) > 1e-4 || std::fabs(u(last).y - yEnd) > 1e-4)
        Say("坐标计算出错，或计算精度不足！");
      if (m_bBackCompute) BackCompute();
    }
  }

  if (m_bHeight) {
    for (int i = 0; i <= n - 2; ++i) u(i + 1).h = u(i).h + u(i).dh;
    double hEnd = 0;
    GetPointH(last, &hEnd);
    m_dWh = (u(last).h - hEnd) * 1000.0;
    if (m_bRigorous) {
      SeedUnknownHeights(*this, 1, last - 1);
      return AdjustHeights();
    }
    DistributeHeightClosure(*this, 0, n - 2);
  }
  return 1;
}

// A correction exists only where something was observed: the orientation legs
// between known points, a station without an angle and a leg to a point without
// plane coordinates keep a correction of 0 instead of the whole back-computed
// value (a side of several hundred metres "corrected" by as much).
int CTraverseJob::BackCompute() {
  const int n = static_cast<int>(m_arrUnit.size());
  auto planeLeg = [&](int i) {
    return m_arrUnit[static_cast<std::size_t>(i)].planeIndex >= 0 &&
           m_arrUnit[static_cast<std::size_t>(i + 1)].planeIndex >= 0;
  };
  for (int i = 0; i + 1 < n; ++i) {
    CUnit& a = m_arrUnit[static_cast<std::size_t>(i)];
    const CUnit& b = m_arrUnit[static_cast<std::size_t>(i + 1)];
    if (!planeLeg(i)) {
      a.angleCorrection = a.distanceCorrection = 0;
      continue;
    }
    survey::InverseProblem(a.x, a.y, b.x, b.y, &a.azimuth, &a.distance);
    a.angleCorrection = 0;
    if (i >= 1 && planeLeg(i - 1)) {
      const CUnit& prev = m_arrUnit[static_cast<std::size_t>(i - 1)];
      a.angle = survey::Fold2Pi(a.azimuth - prev.azimuth + survey::kPi);
      if (!a.angleText.empty()) {
        double c = (a.angle - a.observedAngle) * kRho;
        if (c > 648000) c -= 1296000;
        if (c < -648000) c += 1296000;
        a.angleCorrection = c;
      }
    }
    a.distanceCorrection = a.distanceText.empty() ? 0 : (a.distance - a.observedDistance) * 1000.0;
  }
  return 1;
}

void CTraverseJob::ComputeExtents() {
  if (!m_bComputed || !m_bPlane) return;
  bool first = true;
  for (const CUnit& u : m_arrUnit) {
    if (u.planeIndex < 0) continue;
    if (first) {
      m_dMinX = m_dMaxX = u.x;
      m_dMinY = m_dMaxY = u.y;
      first = false;
      continue;
    }
    m_dMinX = std::min(m_dMinX, u.x);
    m_dMaxX = std::max(m_dMaxX, u.x);
    m_dMinY = std::min(m_dMinY, u.y);
    m_dMaxY = std::max(m_dMaxY, u.y);
  }
}
