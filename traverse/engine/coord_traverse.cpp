// CTraverseJob: the coordinate traverse. The instrument reports every point in its
// own running frame started at the known start point; the observed chain gives
// sides, angles and height differences, and its misclosure on the known end
// point is distributed by increments, by side lengths, or by a plane similarity
// about the start point.
#include <cmath>

#include "platform/number.h"
#include "survey/angle.h"
#include "traverse/engine/dx_text.h"
#include "traverse/engine/traverse_job.h"

using traverse::CTraverseJob;

namespace {

bool SameName(const std::string& a, const std::string& b) { return !a.empty() && a == b; }

}  // namespace

int CTraverseJob::DistributeCoordClosure(double wx, double wy) {
  const int n = static_cast<int>(m_arrUnit.size());
  auto u = [&](int i) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  const double x0 = u(0).x, y0 = u(0).y;
  // The known end (the observed end less its closure).
  const double xEnd = u(n - 1).x - wx, yEnd = u(n - 1).y - wy;
  int rule = m_nClosureDistribution;
  const bool hasClosure = wx != 0 || wy != 0;

  if (rule == 2) {
    const double X = u(n - 1).x - x0, Y = u(n - 1).y - y0;
    // A closed traverse (or one whose end lies on its start) has no base line
    // for the similarity: it would shrink every point onto the start.
    if (std::hypot(xEnd - x0, yEnd - y0) < 1e-3 || std::hypot(X, Y) < 1e-3) {
      Say("坐标导线起终点重合，无法按坐标转换分配闭合差，已改为按边长分配。");
      rule = 1;
    } else {
      const double L2 = X * X + Y * Y;
      const double v = -(wx * X + wy * Y) / L2;
      const double w = (wy * X - wx * Y) / L2;
      for (int i = 1; i < n; ++i) {
        const double ex = u(i).x - x0, ey = u(i).y - y0;
        u(i).x += v * ex + w * ey;
        u(i).y += -w * ex + v * ey;
        u(i - 1).vx = u(i - 1).vy = 0;
      }
      return 1;
    }
  }

  double sumAbsDx = 0, sumAbsDy = 0;
  for (int i = 0; i + 1 < n; ++i) {
    sumAbsDx += std::fabs(u(i).dx);
    sumAbsDy += std::fabs(u(i).dy);
  }
  if (hasClosure && !(m_dSumD > 0)) {
    Say("坐标导线各边长均为0，无法分配坐标闭合差。");
    return 0;
  }
  // By increments, an axis without any increment cannot take its closure:
  // that axis falls back to the side lengths.
  bool xBySides = rule == 1, yBySides = rule == 1;
  if (rule == 0) {
    if (wx != 0 && !(sumAbsDx > 0)) {
      Say("坐标导线各边X坐标增量均为0，X坐标闭合差已改为按边长分配。");
      xBySides = true;
    }
    if (wy != 0 && !(sumAbsDy > 0)) {
      Say("坐标导线各边Y坐标增量均为0，Y坐标闭合差已改为按边长分配。");
      yBySides = true;
    }
  }
  for (int i = 0; i + 1 < n; ++i) {
    CUnit& a = u(i);
    const double sideShare = m_dSumD > 0 ? a.observedDistance / m_dSumD : 0.0;
    const double xShare = xBySides ? sideShare : (sumAbsDx > 0 ? std::fabs(a.dx) / sumAbsDx : 0.0);
    const double yShare = yBySides ? sideShare : (sumAbsDy > 0 ? std::fabs(a.dy) / sumAbsDy : 0.0);
    a.vx = -wx * xShare;
    a.vy = -wy * yShare;
    u(i + 1).x = a.x + a.dx + a.vx;
    u(i + 1).y = a.y + a.dy + a.vy;
  }
  return 1;
}

int CTraverseJob::AdjustCoordTraverse() {
  const int n = static_cast<int>(m_arrUnit.size());
  if (n < 2) return 0;
  auto u = [&](int i) -> CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  const bool closed = SameName(u(n - 1).name, u(0).name);

  if (m_bPlane) {
    if (u(0).xText.empty() || u(0).yText.empty()) {
      Say("坐标导线的起点必须输入已知坐标数据");
      return 0;
    }
    const double x0 = platform::ParseDouble(u(0).xText);
    const double y0 = platform::ParseDouble(u(0).yText);
    u(0).x = x0;
    u(0).y = y0;
    double xEnd, yEnd;
    CUnit& e = u(n - 1);
    if (closed) {
      if (!e.xText.empty() || !e.yText.empty()) {
        const double xe = platform::ParseDouble(e.xText), ye = platform::ParseDouble(e.yText);
        if (e.xText.empty() || e.yText.empty() || std::fabs(xe - x0) > 1e-6 ||
            std::fabs(ye - y0) > 1e-6) {
          Say("坐标导线的起终点同名但输入的坐标数据不一样。");
          return 0;
        }
      }
      xEnd = x0;
      yEnd = y0;
    } else {
      if (e.xText.empty() || e.yText.empty()) {
        Say("坐标导线的终点必须输入已知坐标数据");
        return 0;
      }
      xEnd = platform::ParseDouble(e.xText);
      yEnd = platform::ParseDouble(e.yText);
    }
    const double wx = platform::ParseDouble(e.obsXText) - xEnd;
    const double wy = platform::ParseDouble(e.obsYText) - yEnd;

    m_dSumD = 0;
    for (int i = 1; i < n; ++i) {
      CUnit& p = u(i);
      CUnit& a = u(i - 1);
      p.x = platform::ParseDouble(p.obsXText);
      p.y = platform::ParseDouble(p.obsYText);
      a.dx = p.x - a.x;
      a.dy = p.y - a.y;
      a.observedDistance = std::hypot(a.dx, a.dy);
      a.distance = a.observedDistance;
      a.distanceText = platform::FormatFixed(a.observedDistance, DistanceTextDecimals());
      m_dSumD += a.observedDistance;
    }
    BackCompute();
    for (int i = 1; i + 1 < n; ++i) {
      CUnit& p = u(i);
      p.observedAngle = p.angle;
      p.angleText = survey::AngleToText(p.angle, true, AngleTextDecimals(), false);
    }

    if (!DistributeCoordClosure(wx, wy)) return 0;

    if (std::fabs(e.x - xEnd) > 1e-6 || std::fabs(e.y - yEnd) > 1e-6) {
      Say("坐标Pelmor计算发现错误。");
      return 0;
    }
    m_dWx = wx * 1000.0;
    m_dWy = wy * 1000.0;
    m_dWs = std::hypot(m_dWx, m_dWy);
    m_nRelClosureT = RelativeClosure(m_dSumD, m_dWs);
    BackCompute();
  }

  if (m_bHeight) {
    if (m_bPlane) m_dSumWeight = m_dSumD;
    if (u(0).hText.empty()) {
      Say("坐标导线的起点必须输入已知高程数据");
      return 0;
    }
    const double h0 = platform::ParseDouble(u(0).hText);
    u(0).h = h0;
    double hEnd;
    CUnit& e = u(n - 1);
    if (closed) {
      if (!e.hText.empty() && std::fabs(platform::ParseDouble(e.hText) - h0) > 1e-6) {
        Say("坐标导线的起终点同名但输入的高程数据不一样。");
        return 0;
      }
      hEnd = h0;
    } else {
      if (e.hText.empty()) {
        Say("坐标导线的终点必须输入已知高程数据");
        return 0;
      }
      hEnd = platform::ParseDouble(e.hText);
    }
    const double wh = platform::ParseDouble(e.obsHText) - hEnd;
    m_dWh = wh * 1000.0;

    double sumW2 = 0;
    for (int i = 1; i < n; ++i) {
      CUnit& p = u(i);
      CUnit& a = u(i - 1);
      p.h = platform::ParseDouble(p.obsHText);
      a.dh = p.h - a.h;
      a.dhText = platform::FormatFixed(a.dh, DhTextDecimals());
      if (m_bPlane) a.weightLength = a.observedDistance;
      sumW2 += a.weightLength * a.weightLength;
    }
    if (wh != 0 && !(sumW2 > 0)) {
      Say("坐标导线各边长均为0，无法分配高程闭合差。");
      return 0;
    }
    for (int i = 0; i + 1 < n; ++i) {
      CUnit& a = u(i);
      const double v = sumW2 > 0 ? -wh * a.weightLength * a.weightLength / sumW2 : 0.0;
      a.dh += v;
      a.dhCorrection = v * 1000.0;
      u(i + 1).h = a.h + a.dh;
    }
  }
  return 1;
}
