#include "tools/tool_math.h"

#include <cmath>

#include "survey/angle.h"
#include "survey/geometry.h"

namespace tools {

double PolygonArea(const std::vector<PlanePoint>& v) {
  if (v.size() < 3) return 0;
  const double x0 = v.front().x, y0 = v.front().y;
  double sum = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const PlanePoint& p = v[i];
    const PlanePoint& q = v[(i + 1) % v.size()];
    sum += (p.x - x0) * (q.y - y0) - (q.x - x0) * (p.y - y0);
  }
  return std::fabs(sum) / 2;
}

bool IsSighting(double alpha) { return std::cos(alpha) > 1e-9; }

EdgeAngleResult EdgeAngleResection(PlanePoint a, double sA, PlanePoint b, double sB, double gamma) {
  EdgeAngleResult out;
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y) ||
      !std::isfinite(sA) || !std::isfinite(sB) || !std::isfinite(gamma))
    return out;
  if (!(sA > 0) || !(sB > 0) || std::hypot(b.x - a.x, b.y - a.y) <= 1e-8) return out;
  using survey::kPi;
  // The figure in a local orientation: P0 due north of A; from P0 the direction to
  // A is π and B lies gamma counter-clockwise from it.
  PlanePoint p0, b0;
  survey::PolarPoint(a.x, a.y, 0, sA, &p0.x, &p0.y);
  survey::PolarPoint(p0.x, p0.y, kPi - gamma, sB, &b0.x, &b0.y);
  double rho = survey::CalcAzimuth(a.x, a.y, b.x, b.y) - survey::CalcAzimuth(a.x, a.y, b0.x, b0.y);
  survey::NormalizeAngle(&rho);
  PlanePoint p1, b1;
  survey::PolarPoint(a.x, a.y, rho, sA, &p1.x, &p1.y);
  survey::PolarPoint(p1.x, p1.y, kPi - gamma + rho, sB, &b1.x, &b1.y);
  const double dx = b.x - b1.x, dy = b.y - b1.y;
  out.misclosure = std::hypot(dx, dy);
  if (!std::isfinite(out.misclosure)) return out;
  if (out.misclosure / (sA + sB) > 0.0005) {
    out.status = EdgeAngleStatus::OverLimit;
    return out;
  }
  const double share = sA / (sA + sB);
  out.p = {p1.x + share * dx, p1.y + share * dy};
  out.status = EdgeAngleStatus::Solved;
  return out;
}

}  // namespace tools
