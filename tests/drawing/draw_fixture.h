#pragma once
// A drawing view in a window of 1000 x 800 pixels at 254 dpi, so that one pixel is
// one logical unit (0.1 mm) and hand figures stay readable: device = (X, -Y).
#include "drawing/draw_view.h"
#include "drawing/recording_canvas.h"

inline drawing::ScreenMetrics HandMetrics() {
  drawing::ScreenMetrics m;
  m.clientWidth = 1000;
  m.clientHeight = 800;
  m.dpiX = m.dpiY = 254;
  m.rowHeight = 22;
  m.charHeight = 12;
  return m;
}

inline void ExpectPoint(const drawing::DPoint& got, double x, double y, const char* what = "") {
  EXPECT_NEAR(got.x, x, 1e-6) << what;
  EXPECT_NEAR(got.y, y, 1e-6) << what;
}
