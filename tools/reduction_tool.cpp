// The direction and distance reduction of lines on the Gauss plane: arc-to-chord
// corrections at both ends and, with an observed distance and both heights, the
// distance reduced to the reduction surface and the plane (survey::CGaussProjection).
#include "survey/format.h"
#include "tools/aux_view.h"
#include "tools/tool_plugin.h"

namespace tools {

namespace {

constexpr double kSecondsPerRadian = 206264.806247096;

std::vector<ToolColumn> Layout(const CAuxView&) {
  const char* noZone = "y坐标不应包含带号";
  const char* noHeight = "不需进行边长改化时高程可不输";
  return {{"起点", "X( m )", 3, 4, 4, ""},      {"", "Y( m )", 1, 4, 4, noZone},
          {"", "高程(m)", 1, 4, 4, noHeight},    {"终点", "X( m )", 3, 4, 4, ""},
          {"", "Y( m )", 1, 4, 4, noZone},       {"", "高程(m)", 1, 4, 4, noHeight},
          {"观测边长", "( m )", 1, 4, 3, "不需进行边长改化时观测边长可不输"},
          {"改正后", "边长(m)", 1, 4, 7, ""},    {"方向改正", "V12(\")", 2, 4, 7, ""},
          {"", "V21(\")", 1, 4, 7, ""}};
}

void Compute(CAuxView& v, ToolRun& run) {
  survey::CGaussProjection& g = run.geodesy;
  if (!SetToolEllipsoid(v, v.m_dProjHeight, g, run)) return;
  g.SetReductionHeight(v.m_dReductionHeight);
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 4, 5})) {
      run.AddMessage(RowPrefix(r) + "起、终点坐标应输入完整\n");
      continue;
    }
    const double x1 = CellNumber(v, r, 1), y1 = CellNumber(v, r, 2), H1 = CellNumber(v, r, 3);
    const double x2 = CellNumber(v, r, 4), y2 = CellNumber(v, r, 5), H2 = CellNumber(v, r, 6);
    double s = CellNumber(v, r, 7), d12 = 0, d21 = 0;
    const bool withDistance = CellsFilled(v, r, {7});
    if (withDistance) {
      if (!CellsFilled(v, r, {3, 6})) {
        run.AddMessage(RowPrefix(r) + "输入了观测边长，要求边长改化时应该输入两点的高程");
        continue;
      }
      g.ReduceDirectionsAndDistance(x1, y1, H1, x2, y2, H2, &d12, &d21, &s);
    } else {
      g.ArcToChordPair(x1, y1, x2, y2, &d12, &d21);
    }
    if (!ResultsFinite({d12, d21, withDistance ? s : 0.0}, r, run)) continue;
    if (withDistance) v.SetCellDouble(r, 8, s, v.m_nDistDecimals);
    v.SetCellDouble(r, 9, d12 * kSecondsPerRadian, 4);
    v.SetCellDouble(r, 10, d21 * kSecondsPerRadian, 4);
  }
  v.SetSignatureTexts(1, "备注",
                      run.coordSystemText + "  投影面大地高：" + survey::FormatNumber(v.m_dProjHeight, -1) +
                          "  归算高程面：" + survey::FormatNumber(v.m_dReductionHeight, -1),
                      "");
}

}  // namespace

void RegisterReductionTool(ToolRegistry& r) { r.Add(ToolCode::FXBCHGH, {Layout, Compute}); }

}  // namespace tools
