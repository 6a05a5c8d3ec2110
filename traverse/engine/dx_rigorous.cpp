// Rigorous plane adjustment by indirect observations: Gauss-Newton on the
// coordinates of the unknown points, optionally followed by Helmert's
// variance-component weighting of the angle and side groups; and the
// approximate coordinates of a free network (type 3).
//
// Units inside the system: unknowns are coordinate corrections in millimetres,
// angle misclosures in seconds, side misclosures in millimetres; weights are
// 1/σβ² (σβ in seconds) and 1/σD² (σD in millimetres), so σ0 is dimensionless
// and equals 1 when the prior errors are right.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/geometry.h"
#include "traverse/engine/dx_steps.h"

using traverse::CTraverseJob;

using traverse::detail::Format;

using survey::Fold2Pi;

namespace {

// The input row of every angle and every side equation, in equation order.
// An angle needs its back and fore point; the input checks refuse one in the
// first or last row, so such a row never has an angle equation.
struct PlaneRows {
  std::vector<int> angles, sides;
};

PlaneRows PlaneObservationRows(const CTraverseJob& job) {
  PlaneRows rows;
  const int n = static_cast<int>(job.m_arrUnit.size());
  for (int i = 0; i < n; ++i) {
    const CTraverseJob::CUnit& u = job.m_arrUnit[i];
    if (!u.distanceText.empty() && i + 1 < n && static_cast<int>(rows.sides.size()) < job.m_nSideCount)
      rows.sides.push_back(i);
    if (!u.angleText.empty() && i >= 1 && i + 1 < n &&
        static_cast<int>(rows.angles.size()) < job.m_nAngleCount)
      rows.angles.push_back(i);
  }
  return rows;
}

// One linearised error equation: misclosure (mm or seconds) and the coefficients
// of up to six unknowns (−1: a known point, left out).
struct Equation {
  double l = 0;
  int count = 0;
  int idx[6] = {-1, -1, -1, -1, -1, -1};
  double coef[6] = {};
};

int UnknownIndex(const CTraverseJob& job, int row) {
  const CTraverseJob::CUnit& u = job.m_arrUnit[row];
  return (u.knownPlane == 0 && u.planeIndex >= 0) ? u.planeIndex : -1;
}
int Ix(int p) { return p < 0 ? -1 : 2 * p; }
int Iy(int p) { return p < 0 ? -1 : 2 * p + 1; }

std::string CoincideMessage(const CTraverseJob& job, int lo, int hi) {
  return Format("第%d点(%s)-第%d点(%s)的近似坐标重合，无法平差！", lo + 1, job.m_arrUnit[lo].name,
                hi + 1, job.m_arrUnit[hi].name);
}

// The side i → i+1 at the current coordinates: 1 formed, 0 an end without a plane
// point (no equation), −1 coincident ends (*error set).
int SideEquation(const CTraverseJob& job, int i, Equation* e, std::string* error) {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  if (job.GetPointXY(i, &x1, &y1) == CTraverseJob::kNoPoint ||
      job.GetPointXY(i + 1, &x2, &y2) == CTraverseJob::kNoPoint)
    return 0;
  const double dx = x2 - x1, dy = y2 - y1;
  const double s0 = std::sqrt(dx * dx + dy * dy);
  if (s0 < 1e-9) {
    *error = CoincideMessage(job, i, i + 1);
    return -1;
  }
  e->l = (s0 - job.m_arrUnit[i].distance) * 1000.0;
  const int p1 = UnknownIndex(job, i), p2 = UnknownIndex(job, i + 1);
  const int idx[4] = {Ix(p1), Iy(p1), Ix(p2), Iy(p2)};
  const double coef[4] = {-dx / s0, -dy / s0, dx / s0, dy / s0};
  std::copy(idx, idx + 4, e->idx);
  std::copy(coef, coef + 4, e->coef);
  e->count = 4;
  return 1;
}

// The angle at row i between rows i−1 and i+1, likewise.
int AngleEquation(const CTraverseJob& job, int i, Equation* e, std::string* error) {
  constexpr double kRho = CTraverseJob::kRho;
  double xs = 0, ys = 0, xb = 0, yb = 0, xf = 0, yf = 0;
  if (job.GetPointXY(i, &xs, &ys) == CTraverseJob::kNoPoint ||
      job.GetPointXY(i - 1, &xb, &yb) == CTraverseJob::kNoPoint ||
      job.GetPointXY(i + 1, &xf, &yf) == CTraverseJob::kNoPoint)
    return 0;
  const double dxb = xb - xs, dyb = yb - ys, dxf = xf - xs, dyf = yf - ys;
  const double sb2 = dxb * dxb + dyb * dyb, sf2 = dxf * dxf + dyf * dyf;
  if (sb2 < 1e-18 || sf2 < 1e-18) {
    const int other = sb2 < 1e-18 ? i - 1 : i + 1;
    *error = CoincideMessage(job, std::min(i, other), std::max(i, other));
    return -1;
  }
  const double ab = Fold2Pi(std::atan2(dyb, dxb));
  const double af = Fold2Pi(std::atan2(dyf, dxf));
  const double beta0 = Fold2Pi(af - ab);
  double l = (beta0 - job.m_arrUnit[i].angle) * kRho;
  if (l < -648000.0)
    l += 1296000.0;
  else if (l > 648000.0)
    l -= 1296000.0;
  e->l = l;
  const double a_b = -kRho * dyb / sb2 / 1000.0, b_b = kRho * dxb / sb2 / 1000.0;
  const double a_f = -kRho * dyf / sf2 / 1000.0, b_f = kRho * dxf / sf2 / 1000.0;
  const int ps = UnknownIndex(job, i), pb = UnknownIndex(job, i - 1), pf = UnknownIndex(job, i + 1);
  const int idx[6] = {Ix(ps), Iy(ps), Ix(pb), Iy(pb), Ix(pf), Iy(pf)};
  const double coef[6] = {a_b - a_f, b_b - b_f, -a_b, -b_b, a_f, b_f};
  std::copy(idx, idx + 6, e->idx);
  std::copy(coef, coef + 6, e->coef);
  e->count = 6;
  return 1;
}

// A residual beyond this many of its own standard errors is no longer noise. The
// residual of an observation scatters by σ·√r, r = 1 − p·aQaᵀ its redundancy
// share, so w = |v| / (σ√r) is a standard normal figure when the priors are right
// (Baarda's data snooping). |w| > 6 then has a chance below 2e-9, once in five
// hundred networks of a million observations; a blunder of a few centimetres in a
// side or a minute in an angle, or a solution caught in a wrong minimum, shows.
constexpr double kGrossResidualFactor = 6.0;
// An observation with less redundancy than this is barely checked by the others:
// its residual stays small whatever its error, and w would only amplify rounding.
constexpr double kMinRedundancyShare = 0.01;

// The message naming the observation with the largest w when that is gross; empty
// otherwise. Needs the cofactors of the last solution.
std::string GrossResidualMessage(const CTraverseJob& job, const PlaneRows& rows,
                                 survey::CLsqSolver& lsq) {
  double worst = kGrossResidualFactor;
  int group = 0, index = -1;
  std::string ignored;
  for (int g : {1, 2}) {
    const std::vector<int>& list = g == 1 ? rows.angles : rows.sides;
    for (int r = 0; r < static_cast<int>(list.size()); ++r) {
      const double p = lsq.Weight(g, r);
      Equation e;
      const int got = g == 1 ? AngleEquation(job, list[r], &e, &ignored)
                             : SideEquation(job, list[r], &e, &ignored);
      if (got != 1 || !(p > 0)) continue;
      double aqa = 0;
      for (int a = 0; a < e.count; ++a) {
        if (e.idx[a] < 0) continue;
        for (int b = 0; b < e.count; ++b)
          if (e.idx[b] >= 0) aqa += e.coef[a] * e.coef[b] * lsq.Q(e.idx[a], e.idx[b]);
      }
      const double share = 1.0 - p * aqa;
      if (share < kMinRedundancyShare) continue;
      const double w = std::fabs(lsq.Residual(g, r)) * std::sqrt(p / share);
      if (w > worst) {
        worst = w;
        group = g;
        index = r;
      }
    }
  }
  if (index < 0) return std::string();
  const std::string v = survey::FormatNumber(lsq.Residual(group, index), 1);
  const std::string times = survey::FormatNumber(worst, 1);
  if (group == 1) {
    const int i = rows.angles[index];
    return Format("平面平差后第%d点(%s)处角度的改正数为%s秒，是改正数中误差的%s倍，观测数据可能含有粗差，"
                  "平差结果不可靠，请检查数据准确性。",
                  i + 1, job.m_arrUnit[i].name, v, times);
  }
  const int i = rows.sides[index];
  return Format("平面平差后第%d点(%s)-第%d点(%s)边长的改正数为%s毫米，是改正数中误差的%s倍，观测数据可能含有"
                "粗差，平差结果不可靠，请检查数据准确性。",
                i + 1, job.m_arrUnit[i].name, i + 2, job.m_arrUnit[i + 1].name, v, times);
}

}  // namespace

int CTraverseJob::FormPlaneEquations(int firstPass) {
  survey::CLsqSolver& lsq = *m_wchPlane;
  lsq.Init(2 * static_cast<int>(m_arrUnknownPd.size()), m_nAngleCount, m_nSideCount);
  const PlaneRows rows = PlaneObservationRows(*this);
  std::string error;
  for (int sideRow = 0; sideRow < static_cast<int>(rows.sides.size()); ++sideRow) {
    const int i = rows.sides[sideRow];
    const CUnit& u = m_arrUnit[i];
    Equation e;
    const int got = SideEquation(*this, i, &e, &error);
    if (got < 0) {
      Say(error);
      return 0;
    }
    if (got == 0) continue;
    lsq.Misclosure(2, sideRow) = e.l;
    lsq.AddToRow(2, sideRow, e.idx, e.coef, e.count);
    if (firstPass) {
      const double d = u.distance;
      double var = 0;
      switch (m_nDistErrorType) {
        case 1: var = m_dDistA * m_dDistA + std::pow(m_dDistB * d / 1000.0, 2); break;
        case 2: var = m_dDistA * m_dDistA * d; break;
        default: var = std::pow(m_dDistA + m_dDistB * d / 1000.0, 2); break;
      }
      if (!(var > 1e-12)) {
        Say(Format("第%d点(%s)-第%d点(%s)边长的先验中误差为0，无法定权！", i + 1,
                   u.name.c_str(), i + 2, m_arrUnit[i + 1].name.c_str()));
        return 0;
      }
      lsq.Weight(2, sideRow) = 1.0 / var;
    }
  }
  for (int angleRow = 0; angleRow < static_cast<int>(rows.angles.size()); ++angleRow) {
    Equation e;
    const int got = AngleEquation(*this, rows.angles[angleRow], &e, &error);
    if (got < 0) {
      Say(error);
      return 0;
    }
    if (got == 0) continue;
    lsq.Misclosure(1, angleRow) = e.l;
    lsq.AddToRow(1, angleRow, e.idx, e.coef, e.count);
    if (firstPass) {
      if (!(m_dAngleRms > 1e-9)) {
        Say("测角中误差为0，无法定权！");
        return 0;
      }
      lsq.Weight(1, angleRow) = 1.0 / (m_dAngleRms * m_dAngleRms);
    }
  }
  return 1;
}

int CTraverseJob::AdjustPlaneRigorous() {
  m_dSigma0Plane = -1;
  m_dAngleRmsPosterior = -1;
  m_strPlaneGross.clear();
  if (m_nTraverseType == 3 && !ComputeApproxCoords()) return 0;

  const int nUnknown = static_cast<int>(m_arrUnknownPd.size());
  m_wchPlane = survey::MakeLsqSolver(2 * nUnknown, survey::LsqNetwork::Plane, m_solverKind);
  survey::CLsqSolver& lsq = *m_wchPlane;
  auto applyCorrections = [&] {
    for (int p = 0; p < nUnknown; ++p) {
      m_arrUnknownPd[p].x += lsq.X(2 * p) / 1000.0;
      m_arrUnknownPd[p].y += lsq.X(2 * p + 1) / 1000.0;
    }
  };
  const char* const kNotConverged = "平面平差时循环迭代平差未能收敛，请检查数据准确性。";

  double prev = 1e8;
  for (int i = 1;; ++i) {
    if (!FormPlaneEquations(i == 1)) return 0;
    const double a = lsq.Solve();
    if (a < -1) return 0;
    if (!std::isfinite(a) || (i > 10 && a > prev) || i > 500) {
      Say(kNotConverged);
      return 0;
    }
    applyCorrections();
    prev = a;
    if (a <= 1) break;
  }

  // Helmert weighting needs both groups; with only angles (or only sides) there is
  // nothing to balance, so the loop is skipped rather than run to its pass limit.
  // The angle group's variance factor accumulated over the Helmert steps: its
  // weights are now 1 / (σβ² · factor).
  double angleFactor = 1;
  bool helmert = false;
  if (m_bHelmert && m_nAngleCount > 0 && m_nSideCount > 0) {
    helmert = true;
    double d = 1e10, last = 1e8;
    int r = 0;
    // Besides |s1 − s2| and σ0, each group's own factor must have settled, so that
    // both groups end with [pvv]/r = 1 to better than 1e-3 (the first two tests
    // alone still allow factors of 1 ± 0.0015).
    auto unsettled = [&] {
      return std::fabs(lsq.LastFactor(1) - 1.0) > 1e-4 || std::fabs(lsq.LastFactor(2) - 1.0) > 1e-4;
    };
    // A group without residuals keeps its weights (its factor is exactly 1), and
    // σ0 cannot come to 1 then: the other group alone is balanced.
    auto sigma0Off = [&] {
      return lsq.LastFactor(1) != 1.0 && lsq.LastFactor(2) != 1.0 && std::fabs(lsq.Sigma0() - 1.0) > 0.001;
    };
    while (d > 0.001 || sigma0Off() || last > 1 || unsettled()) {
      const double dPrev = d;
      d = lsq.HelmertStep();
      if (d >= 0) angleFactor *= lsq.LastFactor(1);
      if (d < 0) {
        Say("平面平差Helmert验后方差迭代定权时发现错误，可能先验误差设置严重偏离，也可能因为本网角度或"
            "边长多余观测分量太少等原因不适合使用Helmert定权，请取消Helmert验后方差定权后重试。");
        return 0;
      }
      if (!FormPlaneEquations(0)) return 0;
      last = lsq.Solve();
      if (last < -1) return 0;
      if (!std::isfinite(last)) last = 1e300;
      applyCorrections();
      ++r;
      if ((r > 50 && d > dPrev) || r > 500) {
        Say("平面平差时Helmert验后方差迭代定权未能收敛，可能先验误差设置严重偏离，也可能因为本网不适合"
            "使用Helmert定权，请取消Helmert验后方差定权后重试。");
        return 0;
      }
    }
  }

  m_dSigma0Plane = lsq.Sigma0();
  // σ0 alone repeats the prior once Helmert has rescaled the groups to σ0 = 1;
  // the angles' own estimate is in their factor.
  if (m_dSigma0Plane >= 0)
    m_dAngleRmsPosterior = helmert ? m_dAngleRms * std::sqrt(angleFactor) : m_dSigma0Plane * m_dAngleRms;
  for (CPd& p : m_arrUnknownPd) p.mx = p.my = p.m = p.ellipseA = p.ellipseB = p.ellipseF = 0;
  for (CUnit& u : m_arrUnit) u.azimuthRms = u.sideRms = u.adjacentError = 0;
  if (m_nAngleCount + m_nSideCount - 2 * nUnknown > 0) EvaluatePrecision();

  for (CUnit& u : m_arrUnit) {
    if (u.planeIndex < 0) continue;
    const CPd& p = u.knownPlane ? m_arrKnownPd[u.planeIndex] : m_arrUnknownPd[u.planeIndex];
    u.x = p.x;
    u.y = p.y;
  }
  BackCompute();
  // The result stays for the user to look into, with the worst observation named.
  if (m_nAngleCount + m_nSideCount - 2 * nUnknown > 0)
    m_strPlaneGross = GrossResidualMessage(*this, PlaneObservationRows(*this), lsq);
  return 1;
}

// Approximate coordinates of a network: first chains of angles and sides that
// start from a located point (oriented by a located back point, or, without one,
// oriented afterwards on the first located point the chain reaches), then single
// points fixed from a located station whose angle has one located neighbour. An
// oriented chain that runs onto a located point gets its closure distributed
// by the compass rule, so a large network does not drift.
int CTraverseJob::ComputeApproxCoords() {
  if (!m_bPlane) return 1;
  const int n = static_cast<int>(m_arrUnit.size());
  auto hasPoint = [&](int r) { return r >= 0 && r < n && m_arrUnit[r].planeIndex >= 0; };
  auto located = [&](int r) {
    if (!hasPoint(r)) return false;
    const CUnit& u = m_arrUnit[r];
    return u.knownPlane != 0 || m_arrUnknownPd[u.planeIndex].hasValue != 0;
  };
  auto coords = [&](int r, double* x, double* y) {
    const CUnit& u = m_arrUnit[r];
    const CPd& p = u.knownPlane ? m_arrKnownPd[u.planeIndex] : m_arrUnknownPd[u.planeIndex];
    *x = p.x;
    *y = p.y;
  };
  auto place = [&](int r, double x, double y) {
    CUnit& u = m_arrUnit[r];
    CPd& p = m_arrUnknownPd[u.planeIndex];
    p.x = x;
    p.y = y;
    p.hasValue = 1;
    u.x = x;
    u.y = y;
  };
  auto hasAngle = [&](int r) { return !m_arrUnit[r].angleText.empty(); };
  auto hasSide = [&](int r) { return !m_arrUnit[r].distanceText.empty(); };
  auto samePoint = [&](int a, int b) {
    return m_arrUnit[a].knownPlane == m_arrUnit[b].knownPlane &&
           m_arrUnit[a].planeIndex == m_arrUnit[b].planeIndex;
  };

  // First series.
  for (bool placed = true; placed;) {
    placed = false;
    for (int i = 0; i + 1 < n; ++i) {
      if (!hasPoint(i) || !hasPoint(i + 1) || !located(i) || located(i + 1)) continue;
      // Row i−1 is the back point only when row i carries the angle between them;
      // otherwise it ends another line of the table.
      if (i >= 1 && hasAngle(i) && located(i - 1) && !samePoint(i - 1, i)) {
        double xb, yb, x, y;
        coords(i - 1, &xb, &yb);
        coords(i, &x, &y);
        double az = survey::CalcAzimuth(xb, yb, x, y);
        // Rows placed by this chain and the chain length up to each, for the closure.
        std::vector<std::pair<int, double>> chain;
        double length = 0;
        for (int k = i; k + 1 < n; ++k) {
          if (!hasPoint(k + 1)) break;
          const bool closes = located(k + 1);
          if (!hasAngle(k) || !hasSide(k)) break;
          az = Fold2Pi(az + m_arrUnit[k].angle - survey::kPi);
          double xk, yk, xn, yn;
          coords(k, &xk, &yk);
          survey::PolarPoint(xk, yk, az, m_arrUnit[k].distance, &xn, &yn);
          length += m_arrUnit[k].distance;
          if (closes) {
            // The chain ends on a point located before it: its coordinate closure is
            // shared in proportion to the length run (compass rule). Carried on
            // unclosed, the misfit turns the next chain from here and grows
            // junction after junction.
            const bool own = std::any_of(chain.begin(), chain.end(),
                                         [&](const auto& c) { return samePoint(c.first, k + 1); });
            double tx, ty;
            coords(k + 1, &tx, &ty);
            if (!own && length > 0)
              for (const auto& [row, run] : chain) {
                double cx, cy;
                coords(row, &cx, &cy);
                place(row, cx + (tx - xn) * run / length, cy + (ty - yn) * run / length);
              }
            break;
          }
          place(k + 1, xn, yn);
          chain.emplace_back(k + 1, length);
          placed = true;
        }
        continue;
      }
      // Unoriented: walk a provisional chain, first leg due north, to the first
      // located point other than the start, then turn the first leg onto it. A
      // missing side or angle on the way stops the computation at once.
      if (!hasSide(i)) {
        Say(Format("第%d点(%s)-第%d点(%s)缺少边长！", i + 1, m_arrUnit[i].name.c_str(), i + 2,
                   m_arrUnit[i + 1].name.c_str()));
        return 0;
      }
      double x0, y0;
      coords(i, &x0, &y0);
      double px = x0 + m_arrUnit[i].distance, py = y0;  // provisional point i+1
      double az = 0.0;
      bool oriented = false;
      double rotation = 0.0;
      for (int k = i + 1; k + 1 < n; ++k) {
        if (!hasPoint(k + 1)) break;
        if (!hasAngle(k)) {
          Say(Format("第%d点(%s)处缺少角度！", k + 1, m_arrUnit[k].name.c_str()));
          return 0;
        }
        if (!hasSide(k)) {
          Say(Format("第%d点(%s)-第%d点(%s)缺少边长！", k + 1, m_arrUnit[k].name.c_str(), k + 2,
                     m_arrUnit[k + 1].name.c_str()));
          return 0;
        }
        az = Fold2Pi(az + m_arrUnit[k].angle - survey::kPi);
        double nx, ny;
        survey::PolarPoint(px, py, az, m_arrUnit[k].distance, &nx, &ny);
        px = nx;
        py = ny;
        if (located(k + 1)) {
          double tx, ty;
          coords(k + 1, &tx, &ty);
          const double dt = std::hypot(tx - x0, ty - y0), dp = std::hypot(px - x0, py - y0);
          if (dt > 1e-6 && dp > 1e-6) {
            rotation = survey::CalcAzimuth(x0, y0, tx, ty) - survey::CalcAzimuth(x0, y0, px, py);
            oriented = true;
            break;
          }
        }
      }
      if (oriented) {
        double xn, yn;
        survey::PolarPoint(x0, y0, Fold2Pi(rotation), m_arrUnit[i].distance, &xn, &yn);
        place(i + 1, xn, yn);
        placed = true;
      }
    }
  }

  auto allLocated = [&] {
    for (const CPd& p : m_arrUnknownPd)
      if (!p.hasValue) return false;
    return true;
  };

  // Second series: one point at a time from a station with one located neighbour.
  for (bool placed = true; placed && !allLocated();) {
    placed = false;
    for (int m = 1; m + 1 < n; ++m) {
      if (!located(m) || !hasAngle(m) || !hasPoint(m - 1) || !hasPoint(m + 1)) continue;
      const double beta = Fold2Pi(survey::ParseAngleText(m_arrUnit[m].angleText));
      double xm, ym;
      coords(m, &xm, &ym);
      if (!located(m - 1) && located(m + 1) && hasSide(m - 1)) {
        double xf, yf, xn, yn;
        coords(m + 1, &xf, &yf);
        const double s = platform::ParseDouble(m_arrUnit[m - 1].distanceText);
        survey::PolarPoint(xm, ym, survey::CalcAzimuth(xm, ym, xf, yf) - beta, s, &xn, &yn);
        place(m - 1, xn, yn);
        placed = true;
      } else if (located(m - 1) && !located(m + 1) && hasSide(m)) {
        double xb, yb, xn, yn;
        coords(m - 1, &xb, &yb);
        const double s = platform::ParseDouble(m_arrUnit[m].distanceText);
        survey::PolarPoint(xm, ym, survey::CalcAzimuth(xm, ym, xb, yb) + beta, s, &xn, &yn);
        place(m + 1, xn, yn);
        placed = true;
      }
    }
  }

  for (int p = 0; p < static_cast<int>(m_arrUnknownPd.size()); ++p) {
    if (m_arrUnknownPd[p].hasValue) continue;
    for (int r = 0; r < n; ++r)
      if (m_arrUnit[r].knownPlane == 0 && m_arrUnit[r].planeIndex == p) {
        Say(Format("第%d点(%s)未能推算得近似坐标", r + 1, m_arrUnit[r].name.c_str()));
        return 0;
      }
    Say(Format("第%d点(%s)未能推算得近似坐标", 1, m_arrUnknownPd[p].name.c_str()));
    return 0;
  }
  return 1;
}
