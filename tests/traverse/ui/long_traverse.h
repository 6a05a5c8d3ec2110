#pragma once
// A connecting traverse of n rows (n - 4 new stations) going east with a gentle
// zigzag, typed into the view's input rows: the long job of the view's widget test
// and of its benchmark.
#include <cmath>
#include <string>
#include <vector>

#include "platform/number.h"
#include "traverse/view/dx_view.h"

namespace traversetest {

inline void FillLongTraverse(CDxView& view, int n) {
  std::vector<double> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    x[static_cast<std::size_t>(i)] = 3381000.0 + (i % 2 ? 35.0 : 0.0) + i * 0.5;
    y[static_cast<std::size_t>(i)] = 500000.0 + i * 150.0;
  }
  auto X = [&](int i) { return x[static_cast<std::size_t>(i)]; };
  auto Y = [&](int i) { return y[static_cast<std::size_t>(i)]; };
  auto az = [&](int a, int b) {
    double t = std::atan2(Y(b) - Y(a), X(b) - X(a));
    return t < 0 ? t + 2 * M_PI : t;
  };
  view.m_arrUnit.assign(static_cast<std::size_t>(n), CDxView::CUnit());
  for (int i = 0; i < n; ++i) {
    CDxView::CUnit& u = view.m_arrUnit[static_cast<std::size_t>(i)];
    u.name = "P" + std::to_string(i);
    if (i >= 1 && i <= n - 2) {
      double a = az(i, i + 1) - az(i, i - 1);
      if (a < 0) a += 2 * M_PI;
      double sec = a * 180 / M_PI * 3600;
      int d = static_cast<int>(sec / 3600);
      sec -= d * 3600;
      int m = static_cast<int>(sec / 60);
      sec -= m * 60;
      u.angleText = std::to_string(d) + " " + std::to_string(m) + " " + platform::FormatFixed(sec, 4);
    }
    if (i >= 1 && i <= n - 3) u.distanceText = platform::FormatFixed(std::hypot(X(i + 1) - X(i), Y(i + 1) - Y(i)), 4);
    if (i <= 1 || i >= n - 2) {
      u.xText = platform::FormatFixed(X(i), 4);
      u.yText = platform::FormatFixed(Y(i), 4);
    }
  }
}

}  // namespace traversetest
