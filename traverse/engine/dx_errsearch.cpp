// Plane error search of a closed or connecting traverse: the traverse is
// propagated with the typed observations forward from the start point and
// backward from the end point. An angle blunder at a station makes the two
// propagations meet there (angle figure 1/d); a side blunder shifts the end
// parallel to that side (side figure 1/δ, δ the angle between leg and closure,
// not below 3°). Both sets of figures are percentages that sum to 100.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/number.h"
#include "survey/angle.h"
#include "survey/geometry.h"
#include "traverse/engine/dx_steps.h"

using traverse::CTraverseJob;

int CTraverseJob::SearchPlaneError(int closed) {
  m_arrSeekErr.clear();
  const int n = static_cast<int>(m_arrUnit.size());
  if (m_nTraverseType != 0 || !m_bPlane || n < 4) return 0;
  m_arrSeekErr = m_arrUnit;
  for (CUnit& s : m_arrSeekErr) s.x = s.y = s.azimuth = s.angle = s.distance = 0;

  std::vector<double> beta(n, 0.0), side(n, 0.0);
  for (int k = 0; k < n; ++k) {
    double b = survey::ParseAngleText(m_arrUnit[k].angleText);
    survey::NormalizeAngle(&b);
    beta[k] = b;
    side[k] = platform::ParseDouble(m_arrUnit[k].distanceText);
  }
  auto fold = [](double a) {
    survey::NormalizeAngle(&a);
    return a;
  };

  // Forward from the start point.
  double xs = 0, ys = 0, xe = 0, ye = 0;
  GetPointXY(1, &xs, &ys);
  GetPointXY(n - 2, &xe, &ye);
  std::vector<double> fx(n, 0.0), fy(n, 0.0), fa(n, 0.0);
  fa[0] = m_arrUnit[0].azimuth;
  fx[1] = xs;
  fy[1] = ys;
  for (int k = 1; k <= n - 3; ++k) {
    fa[k] = fold(fa[k - 1] + beta[k] - survey::kPi);
    survey::PolarPoint(fx[k], fy[k], fa[k], side[k], &fx[k + 1], &fy[k + 1]);
  }
  for (int k = 0; k < n; ++k) {
    m_arrSeekErr[k].x = fx[k];
    m_arrSeekErr[k].y = fy[k];
    m_arrSeekErr[k].azimuth = fa[k];
  }

  // Backward from the end point.
  std::vector<double> bx(n, 0.0), by(n, 0.0), ba(n, 0.0);
  bx[n - 2] = xe;
  by[n - 2] = ye;
  ba[n - 2] = closed ? fold(fa[0] + beta[1]) : fold(m_arrUnit[n - 2].azimuth + survey::kPi);
  for (int j = n - 3; j >= 1; --j) {
    ba[j] = fold(ba[j + 1] - beta[j + 1] + survey::kPi);
    survey::PolarPoint(bx[j + 1], by[j + 1], ba[j], side[j], &bx[j], &by[j]);
  }

  const double c = survey::CalcAzimuth(fx[n - 2], fy[n - 2], xe, ye);

  std::vector<double> w(n, 0.0), s(n, 0.0);
  double sumW = 0, sumS = 0;
  for (int k = closed ? 2 : 1; k <= n - 2; ++k) {
    const double d = std::max(std::hypot(fx[k] - bx[k], fy[k] - by[k]), 1e-9);
    w[k] = 1.0 / d;
    sumW += w[k];
  }
  for (int k = 1; k <= n - 3; ++k) {
    double delta = 1e300;
    for (int m = -2; m <= 2; ++m) delta = std::min(delta, std::fabs(fa[k] - c + m * survey::kPi));
    delta = std::max(delta, 0.052359877559829904);
    s[k] = 1.0 / delta;
    sumS += s[k];
  }
  for (int k = 0; k < n; ++k) {
    m_arrSeekErr[k].angle = sumW > 0 ? w[k] / sumW * 100.0 : 0.0;
    m_arrSeekErr[k].distance = sumS > 0 ? s[k] / sumS * 100.0 : 0.0;
  }
  return 1;
}
