// Transformation parameters from common points.
//
// Four parameters: the closed-form least-squares similarity fit on centred
// coordinates (X = a·x − b·y + X0, Y = b·x + a·y + Y0 with a = k·cosθ, b = k·sinθ).
// Seven parameters: the linearised spatial similarity (small rotations, rotation
// terms not multiplied by the scale) by normal equations. The design is formed on
// coordinates centred at the mean of the points; the shifts are then moved back to
// the origin. Both give the same least-squares estimate as the uncentred design, but
// geocentric coordinates of 6e6 m no longer square into a normal matrix with a
// condition of 1e20. Tests compare with a QR fit of the uncentred model (Eigen).
#include <array>
#include <cmath>
#include <vector>

#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/format.h"
#include "survey/matrix.h"
#include "tools/aux_section.h"
#include "tools/aux_view.h"

namespace {

constexpr double kSecondsPerRadian = 206264.806247096;

// The common points of a store. A coordinate that is empty, missing or not a number
// (a job edited by hand or written elsewhere; the dialog stores only whole points)
// stops the estimate with a message naming the point: false. Taking 0 for it would
// give parameters that look sound and move every point.
template <std::size_t N>
bool ParsePoints(const std::vector<std::string>& store, std::vector<std::array<double, N>>& pts) {
  pts.clear();
  pts.reserve(store.size());
  std::vector<std::string> items;
  for (const std::string& s : store) {
    survey::SplitText(s, items, ',');
    std::array<double, N> p{};
    for (std::size_t i = 0; i < N; ++i) {
      if (i >= items.size() || items[i].empty()) {
        platform::Messages().ShowMessage("“项目设置”中第" + std::to_string(pts.size() + 1) + "个公共点的坐标不完整。");
        return false;
      }
      const std::optional<double> v = platform::ReadNumber(items[i]);
      if (!v) {
        platform::Messages().ShowMessage("“项目设置”中第" + std::to_string(pts.size() + 1) + "个公共点的坐标不是数字。");
        return false;
      }
      p[i] = *v;
    }
    pts.push_back(p);
  }
  return true;
}

bool AllFinite(const double* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

// True when the before-points of a seven-parameter set lie on one line (or one point):
// the rotations about that line cannot be told from each other.
bool Collinear(const std::vector<std::array<double, 6>>& pts, const double mean[3]) {
  double far = 0;
  std::array<double, 3> d{};
  for (const auto& p : pts) {
    const double v[3] = {p[0] - mean[0], p[1] - mean[1], p[2] - mean[2]};
    const double r = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    if (r > far) {
      far = r;
      d = {v[0], v[1], v[2]};
    }
  }
  if (far <= 0) return true;
  const double len = std::sqrt(far);
  for (double& c : d) c /= len;
  double off = 0;
  for (const auto& p : pts) {
    const double v[3] = {p[0] - mean[0], p[1] - mean[1], p[2] - mean[2]};
    const double cx = v[1] * d[2] - v[2] * d[1], cy = v[2] * d[0] - v[0] * d[2], cz = v[0] * d[1] - v[1] * d[0];
    off = std::max(off, std::sqrt(cx * cx + cy * cy + cz * cz));
  }
  return off <= 1e-9 * len;
}

}  // namespace

namespace tools {

bool EstimateFourParameters(const std::vector<std::string>& store, double out[4]) {
  if (store.empty()) {
    platform::Messages().ShowMessage("“项目设置”中四参数公共点坐标尚未设置。");
    return false;
  }
  if (store.size() == 1) {
    platform::Messages().ShowMessage("“项目设置”中四参数公共点至少两个。");
    return false;
  }
  std::vector<std::array<double, 4>> pts;
  if (!ParsePoints(store, pts)) return false;
  const double n = static_cast<double>(pts.size());
  double mx = 0, my = 0, mX = 0, mY = 0;
  for (const auto& p : pts) {
    mx += p[0];
    my += p[1];
    mX += p[2];
    mY += p[3];
  }
  mx /= n;
  my /= n;
  mX /= n;
  mY /= n;
  double D = 0, A = 0, B = 0;
  for (const auto& p : pts) {
    const double dx = p[0] - mx, dy = p[1] - my, dX = p[2] - mX, dY = p[3] - mY;
    D += dx * dx + dy * dy;
    A += dX * dx + dY * dy;
    B += dx * dY - dX * dy;
  }
  // Coinciding before-points leave rotation and scale undetermined.
  const double spread = std::abs(mx) + std::abs(my) + 1;
  if (!(D > 1e-20 * spread * spread * n) || !std::isfinite(D + A + B)) {
    platform::Messages().ShowMessage("四参数公共点转换前的坐标重合，无法解算转换参数。");
    return false;
  }
  const double a = A / D, b = B / D;
  double r[4];
  r[0] = mX - a * mx + b * my;
  r[1] = mY - b * mx - a * my;
  r[2] = survey::RadiansToDms(std::atan2(B, A));
  r[3] = std::sqrt(A * A + B * B) / D;
  if (!AllFinite(r, 4)) {
    platform::Messages().ShowMessage("四参数公共点转换前的坐标重合，无法解算转换参数。");
    return false;
  }
  for (int i = 0; i < 4; ++i) out[i] = r[i];
  return true;
}

bool EstimateSevenParameters(const std::vector<std::string>& store, double out[7]) {
  if (store.empty()) {
    platform::Messages().ShowMessage("“项目设置”中七参数公共点坐标尚未设置。");
    return false;
  }
  std::vector<std::array<double, 6>> pts;
  if (!ParsePoints(store, pts)) return false;
  if (pts.size() == 1) {
    const auto& p = pts[0];
    double r[7] = {p[3] - p[0], p[4] - p[1], p[5] - p[2], 0, 0, 0, 0};
    if (!AllFinite(r, 7)) return false;
    for (int i = 0; i < 7; ++i) out[i] = r[i];
    return true;
  }
  double mean[3] = {0, 0, 0};
  for (const auto& p : pts)
    for (int i = 0; i < 3; ++i) mean[i] += p[static_cast<std::size_t>(i)];
  for (double& m : mean) m /= static_cast<double>(pts.size());
  if (Collinear(pts, mean)) {
    platform::Messages().ShowMessage("七参数公共点转换前的坐标共线或重合，无法解算转换参数。");
    return false;
  }
  // Normal equations of the centred design: u = (ΔX', ΔY', ΔZ', k, ωx, ωy, ωz).
  survey::CMatrix N(7, 7), U(7, 1);
  for (const auto& p : pts) {
    const double x = p[0] - mean[0], y = p[1] - mean[1], z = p[2] - mean[2];
    const double rows[3][7] = {{1, 0, 0, x, 0, -z, y}, {0, 1, 0, y, z, 0, -x}, {0, 0, 1, z, -y, x, 0}};
    const double l[3] = {p[3] - p[0], p[4] - p[1], p[5] - p[2]};
    for (int r = 0; r < 3; ++r)
      for (int i = 0; i < 7; ++i) {
        if (rows[r][i] == 0) continue;
        U[i][0] += rows[r][i] * l[r];
        for (int j = 0; j < 7; ++j) N[i][j] += rows[r][i] * rows[r][j];
      }
  }
  std::optional<survey::CMatrix> Ni = N.Inverse();
  if (!Ni) return false;
  const survey::CMatrix u = *Ni * U;
  const double k = u[3][0], wx = u[4][0], wy = u[5][0], wz = u[6][0];
  const double mx = mean[0], my = mean[1], mz = mean[2];
  double r[7];
  r[0] = u[0][0] - (k * mx - wy * mz + wz * my);
  r[1] = u[1][0] - (k * my + wx * mz - wz * mx);
  r[2] = u[2][0] - (k * mz - wx * my + wy * mx);
  r[3] = k * 1000000.0;
  r[4] = wx * kSecondsPerRadian;
  r[5] = wy * kSecondsPerRadian;
  r[6] = wz * kSecondsPerRadian;
  if (!AllFinite(r, 7)) {
    platform::Messages().ShowMessage("七参数公共点转换前的坐标共线或重合，无法解算转换参数。");
    return false;
  }
  for (int i = 0; i < 7; ++i) out[i] = r[i];
  return true;
}

}  // namespace tools

bool CAuxView::SolveFourParameters(double out[4]) const {
  return tools::EstimateFourParameters(m_stores[tools::kStoreFourCommonPoints], out);
}

bool CAuxView::SolveSevenParameters(double out[7]) const {
  return tools::EstimateSevenParameters(m_stores[tools::kStoreSevenCommonPoints], out);
}
