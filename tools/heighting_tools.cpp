// Trigonometric heighting (SJGCH), the area of a parcel (MJJSH) and the open
// traverse from azimuths (ZHDX).
#include <cmath>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/format.h"
#include "survey/geometry.h"
#include "table/cell_edit.h"
#include "tools/aux_view.h"
#include "tools/tool_draw.h"
#include "tools/tool_math.h"
#include "tools/tool_plugin.h"

namespace tools {
namespace {

constexpr const char* kAngleUnit = "(°' \")";

bool Given(const CTableView& v, int row, int col) { return !v.CellText(row, col).empty(); }

// ---- SJGCH -------------------------------------------------------------------------

std::vector<ToolColumn> HeightingLayout(const CAuxView& view) {
  const int type = view.m_nDistanceType;
  const char* distance = type == 1 ? "平距" : type == 2 ? "视距" : "斜距";
  std::vector<ToolColumn> cols = {
      {"测站点", "", 1, 4, table::kInputText, ""},
      {"照准点", "", 1, 4, table::kInputText, ""},
      {"垂直角", kAngleUnit, 1, 10, table::kInputSignedAngle, ""},
      {distance, "( m )", 1, 4, table::kInputSignedDecimal, "可以在“设置”中更改为平距或视距"},
      {"仪高", "( m )", 1, 4, table::kInputSignedDecimal, ""},
      {"目标高", "( m )", 1, 4, table::kInputSignedDecimal, ""},
  };
  if (type != 1) cols.push_back({"平距", "( m )", 1, 4, table::kInputText, ""});
  cols.push_back({"高差", "( m )", 1, 4, table::kInputText, ""});
  return cols;
}

void ComputeHeighting(CAuxView& v, ToolRun&) {
  const int type = v.m_nDistanceType;
  const double k = v.m_dRefraction;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {3, 4, 5, 6})) continue;
    const double alpha = CellAngle(v, r, 3), s = CellNumber(v, r, 4);
    const double i = CellNumber(v, r, 5), t = CellNumber(v, r, 6);
    double d = s, h = 0;
    if (type == 0 && std::fabs(std::cos(alpha)) <= 1e-9) {
      // A plumb sighting with its slope distance: straight up or down, no
      // horizontal distance, the height difference is the distance itself.
      d = 0;
      h = (std::sin(alpha) > 0 ? s : -s) + i - t;
    } else if (!IsSighting(alpha)) {
      // Otherwise a sighting at ±90° (or beyond) has no horizontal distance: its
      // tangent would print a height of seventeen digits. Such a row counts as
      // incomplete.
      continue;
    } else if (type == 1) {
      survey::TrigHeightFromHorizontal(alpha, s, i, t, k, &h);
    } else if (type == 0) {
      survey::TrigHeightFromSlope(alpha, s, i, t, k, &d, &h);
    } else {
      const double c = std::cos(alpha);
      d = s * c * c;
      survey::TrigHeightFromHorizontal(alpha, d, i, t, k, &h);
    }
    if (!AllFinite({d, h})) continue;
    if (type == 1) {
      WriteNumber(v, r, 7, h, v.m_nHeightDecimals);
    } else {
      WriteNumber(v, r, 7, d, v.m_nDistDecimals);
      WriteNumber(v, r, 8, h, v.m_nHeightDecimals);
    }
  }
}

// ---- MJJSH -------------------------------------------------------------------------

std::vector<ToolColumn> AreaLayout(const CAuxView&) {
  return {
      {"点名", "", 1, 10, table::kInputText, "点应按顺序依次输入且各边不能相交"},
      {"坐标", "X( m )", 2, 20, table::kInputSignedDecimal, ""},
      {"", "Y( m )", 1, 20, table::kInputSignedDecimal, ""},
  };
}

void ComputeArea(CAuxView& v, ToolRun& run) {
  ToolDraw draw(v);
  draw.Polyline("面积计算");
  auto fail = [&](const std::string& message) {
    platform::Messages().ShowMessage(message);
    v.SetSignatureTexts(1, "面积", "", "");
    run.endedEarly = true;
  };
  std::vector<PlanePoint> vertices;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!Given(v, r, 2) || !Given(v, r, 3)) {
      fail(RowPrefix(r) + "数据输入不完整");
      return;
    }
    const PlanePoint p{CellNumber(v, r, 2), CellNumber(v, r, 3)};
    if (!AllFinite({p.x, p.y})) {
      fail(RowPrefix(r) + "数据输入不完整");
      return;
    }
    draw.Known(PointName(v, r), p.x, p.y);
    draw.Vertex(p.x, p.y);
    vertices.push_back(p);
  }
  if (vertices.size() < 3) {
    fail("数据太少，无法计算。");
    return;
  }
  draw.Vertex(vertices.front().x, vertices.front().y);
  const double area = PolygonArea(vertices);
  const double mu = area * 0.0015;
  v.SetSignatureTexts(1, "面积",
                      survey::FormatNumber(area, 3) + "平方米，" + survey::FormatNumber(mu, 3) + "亩", "");
}

// ---- ZHDX --------------------------------------------------------------------------

std::vector<ToolColumn> OpenTraverseLayout(const CAuxView&) {
  return {
      {"点名", "", 1, 10, table::kInputText, "|1|第一点应为已知点"},
      {"方位角", kAngleUnit, 1, 10, table::kInputAngle, "", true},
      {"边长", "( m )", 1, 10, table::kInputDecimal, "", true},
      {"坐标", "X( m )", 2, 10, table::kInputSignedDecimal, "不需输入|1|第一点应输入坐标"},
      {"", "Y( m )", 1, 10, table::kInputSignedDecimal, "不需输入|1|第一点应输入坐标"},
  };
}

// Only row 1 keeps its coordinates: those of later rows are computed.
void PadOpenTraverse(std::vector<std::string>& items, int row) {
  items.resize(row == 1 ? 5 : 3);
}

void ComputeOpenTraverse(CAuxView& v, ToolRun& run) {
  // A leg typed on the last row leads to a point that has no row yet: the empty row
  // after it went before the computation as a row without input. Give it back, so
  // the leg is computed (or refused by name) instead of dropped.
  if (v.GetRowCount() >= 1 && (Given(v, v.GetRowCount(), 2) || Given(v, v.GetRowCount(), 3)))
    v.SetRowCount(v.GetRowCount() + 1);
  const int n = v.GetRowCount();
  auto fail = [&](const std::string& message) {
    platform::Messages().ShowMessage(message);
    run.endedEarly = true;
  };
  if (n < 2) {
    fail("数据太少，无法计算。");
    return;
  }
  // The coordinates of rows 2..n are results even though they sit in input
  // columns: without this a failure at row j would leave the rows below it
  // showing an earlier computation's coordinates as if they were current.
  for (int r = 2; r <= n; ++r) {
    v.SetCellText(r, 4, "");
    v.SetCellText(r, 5, "");
  }
  if (!Given(v, 1, 4) || !Given(v, 1, 5)) {
    fail("第一点应为已知点，必须输入坐标。");
    return;
  }
  double x = CellNumber(v, 1, 4), y = CellNumber(v, 1, 5);
  if (!AllFinite({x, y})) {
    fail("第一点应为已知点，必须输入坐标。");
    return;
  }
  ToolDraw draw(v);
  draw.Polyline("支导线计算");
  draw.Known(PointName(v, 1), x, y);
  draw.Vertex(x, y);
  for (int j = 1; j < n; ++j) {
    if (!Given(v, j, 2) || !Given(v, j, 3)) {
      fail(RowPrefix(j) + "(" + v.CellText(j, 1) + ")方位角与边长必须输入\n");
      return;
    }
    const double az = CellAngle(v, j, 2), d = CellNumber(v, j, 3);
    const double nx = x + d * std::cos(az), ny = y + d * std::sin(az);
    if (!AllFinite({nx, ny})) {
      fail(RowPrefix(j) + "(" + v.CellText(j, 1) + ")方位角与边长必须输入\n");
      return;
    }
    x = nx;
    y = ny;
    WriteNumber(v, j + 1, 4, x, v.m_nCoordDecimals);
    WriteNumber(v, j + 1, 5, y, v.m_nCoordDecimals);
    draw.Computed(PointName(v, j + 1), x, y);
    draw.Vertex(x, y);
  }
}

}  // namespace

void RegisterHeightingTools(ToolRegistry& r) {
  r.Add(ToolCode::SJGCH, {HeightingLayout, ComputeHeighting, nullptr});
  r.Add(ToolCode::MJJSH, {AreaLayout, ComputeArea, nullptr, 0, 0, "面积"});
  r.Add(ToolCode::ZHDX, {OpenTraverseLayout, ComputeOpenTraverse, PadOpenTraverse});
}

}  // namespace tools
