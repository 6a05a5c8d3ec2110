// The four-parameter plane and seven-parameter spatial similarity transformations
// with the parameters of the tool settings (estimated in param_estimation.cpp).
#include <cmath>
#include <algorithm>

#include "drawing/draw_feed.h"
#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/format.h"
#include "tools/aux_view.h"
#include "tools/tool_plugin.h"

namespace tools {

bool FourScaleUsable(double k) { return std::isfinite(k) && std::abs(k) >= 0.1 && std::abs(k) <= 10; }

namespace {

constexpr double kSecondsPerRadian = 206264.806247096;

std::vector<ToolColumn> FourLayout(const CAuxView&) {
  return {{"点名", "", 1, 10, 7, ""},
          {"转换前坐标", "X( m )", 2, 12, 4, ""},
          {"", "Y( m )", 1, 12, 4, ""},
          {"转换后坐标", "X( m )", 2, 12, 7, ""},
          {"", "Y( m )", 1, 12, 7, ""}};
}

std::vector<ToolColumn> SevenLayout(const CAuxView&) {
  return {{"点名", "", 1, 10, 7, ""},          {"转换前坐标", "X( m )", 3, 10, 4, ""},
          {"", "Y( m )", 1, 10, 4, ""},         {"", "Z( m )", 1, 10, 4, ""},
          {"转换后坐标", "X( m )", 3, 10, 7, ""}, {"", "Y( m )", 1, 10, 7, ""},
          {"", "Z( m )", 1, 10, 7, ""}};
}

std::string Fixed(double v, int decimals) { return survey::FormatNumber(v, std::max(0, decimals)); }

// Blanks up to a GBK length of at least n bytes.
std::string PadTo(std::string s, int n) {
  int len = platform::GbkWidth(s);
  while (len < n) {
    s += ' ';
    ++len;
  }
  return s;
}

// Leading blanks go, also those between a minus sign and the degrees.
std::string TrimLeft(std::string s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  s = s.substr(i);
  if (!s.empty() && s[0] == '-') {
    std::size_t j = 1;
    while (j < s.size() && s[j] == ' ') ++j;
    s = "-" + s.substr(j);
  }
  return s;
}

void ComputeFour(CAuxView& v, ToolRun& run) {
  const auto& p = v.m_dFourParams;
  // One rule with the settings dialog: a scale near 0, far from 1 (the ppm typed in
  // place of the factor) or not a number cannot be meant; a negative one turns the
  // points by a further 180° and computes.
  if (!FourScaleUsable(p[3])) {
    platform::Messages().ShowMessage("未在项目设置中正确输入平面坐标转换参数。\n也可以项目设置中由公共点解算。");
    run.endedEarly = true;
    v.OnProjectSettings();
    return;
  }
  const double th = survey::DmsToRadians(p[2]);
  const double a = p[3] * std::cos(th), b = p[3] * std::sin(th);
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {2, 3})) continue;
    const double x = CellNumber(v, r, 2), y = CellNumber(v, r, 3);
    const double X = a * x - b * y + p[0], Y = b * x + a * y + p[1];
    if (!ResultsFinite({X, Y}, r, run)) continue;
    v.SetCellDouble(r, 4, X, v.m_nCoordDecimals);
    v.SetCellDouble(r, 5, Y, v.m_nCoordDecimals);
    if (drawing::IDrawFeed* f = v.DrawingFeed()) f->AddControlPoint(PointName(v, r), 1, X, Y, 0, -1, -1, -1);
  }
  const int c = v.m_nCoordDecimals + 2;
  v.SetSignatureTexts(2, "参数", PadTo("坐标平移 X0 = " + Fixed(p[0], c) + "m", 30) + "Y0 = " + Fixed(p[1], c) + "m",
                      PadTo("旋转角度 = " + TrimLeft(survey::DmsNumberToText(p[2], 4)), 30) + "尺度 = " + Fixed(p[3], 10));
}

void ComputeSeven(CAuxView& v, ToolRun& run) {
  const auto& p = v.m_dSevenParams;
  bool any = false;
  for (double q : p) any = any || std::abs(q) >= 1e-10;
  if (!any) {
    platform::Messages().ShowMessage("未在项目设置中正确输入坐标转换参数。\n也可以项目设置中由公共点解算。");
    run.endedEarly = true;
    v.OnProjectSettings();
    return;
  }
  const double m = 1 + p[3] / 1000000.0;
  const double wx = p[4] / kSecondsPerRadian, wy = p[5] / kSecondsPerRadian, wz = p[6] / kSecondsPerRadian;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {2, 3, 4})) continue;
    const double x = CellNumber(v, r, 2), y = CellNumber(v, r, 3), z = CellNumber(v, r, 4);
    const double X = m * x + wz * y - wy * z + p[0];
    const double Y = m * y - wz * x + wx * z + p[1];
    const double Z = m * z + wy * x - wx * y + p[2];
    if (!ResultsFinite({X, Y, Z}, r, run)) continue;
    v.SetCellDouble(r, 5, X, v.m_nCoordDecimals);
    v.SetCellDouble(r, 6, Y, v.m_nCoordDecimals);
    v.SetCellDouble(r, 7, Z, v.m_nCoordDecimals);
  }
  const int d = std::max(v.m_nCoordDecimals + 2, 6);
  auto six = [](double q) { return survey::FormatNumber(q, 6); };
  v.SetSignatureTexts(2, "参数",
                      "坐标平移 ΔX=" + Fixed(p[0], d) + "m   ΔY=" + Fixed(p[1], d) + "m   ΔZ=" + Fixed(p[2], d) + "m",
                      "尺度=" + six(p[3]) + "ppm   旋转ωx=" + six(p[4]) + "\"   ωy=" + six(p[5]) + "\"   ωz=" +
                          six(p[6]) + "\"");
}

}  // namespace

void RegisterTransformTools(ToolRegistry& r) {
  r.Add(ToolCode::ZBZHH4CSH, {FourLayout, ComputeFour});
  r.Add(ToolCode::ZBZHH7CSH, {SevenLayout, ComputeSeven});
}

}  // namespace tools
