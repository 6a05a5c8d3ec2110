// The intersection and resection tools: forward (QFJH), side (CFJH), azimuth
// (FWJH) and distance (BCHJH) intersection, three-point resection (HFJH) and the
// edge-and-angle resection (BJHFJH). One unknown point P per row; a faulty row adds
// its message and the next row is still computed.
#include <cmath>
#include <string>
#include <vector>

#include "survey/angle.h"
#include "survey/geometry.h"
#include "table/cell_edit.h"
#include "tools/aux_view.h"
#include "tools/tool_draw.h"
#include "tools/tool_math.h"
#include "tools/tool_plugin.h"

namespace tools {
namespace {

constexpr const char* kAngleUnit = "(°' \")";
constexpr int kSigned = table::kInputSignedDecimal;
constexpr int kResult = table::kInputText;
const char* kOrderTip = "A、B两点顺序为绕P逆时针编排";

// Columns 1..6 of the two-station tools: A (X, Y, observation), B (X, Y,
// observation).
std::vector<ToolColumn> TwoStations(const std::string& obsA, const std::string& obsB, int obsType, int obsChars,
                                    const std::string& obsTip, const std::string& pointTip) {
  return {
      {"A点", "X( m )", 3, 10, kSigned, pointTip},
      {"", "Y( m )", 1, 10, kSigned, pointTip},
      {"", obsA, 1, obsChars, obsType, obsTip},
      {"B点", "X( m )", 3, 10, kSigned, pointTip},
      {"", "Y( m )", 1, 10, kSigned, pointTip},
      {"", obsB, 1, obsChars, obsType, obsTip},
  };
}

std::vector<ToolColumn> WithResult(std::vector<ToolColumn> cols) {
  cols.push_back({"待求点P", "X( m )", 2, 4, kResult, ""});
  cols.push_back({"", "Y( m )", 1, 4, kResult, ""});
  return cols;
}

std::vector<ToolColumn> ForwardLayout(const CAuxView&) {
  return WithResult(TwoStations("角A", "角B", table::kInputSignedAngle, 10,
                                "A、B两点顺序为绕P逆时针编排，角度单位为度、分、秒", kOrderTip));
}

std::vector<ToolColumn> SideLayout(const CAuxView&) {
  std::vector<ToolColumn> cols = TwoStations("角A", "角B", table::kInputSignedAngle, 10,
                                             "角A、角B任意输入其中一个，单位为度、分、秒", kOrderTip);
  cols.push_back({"待求点P", "角P", 3, 10, table::kInputSignedAngle, "单位为度、分、秒"});
  cols.push_back({"", "X( m )", 1, 4, kResult, ""});
  cols.push_back({"", "Y( m )", 1, 4, kResult, ""});
  return cols;
}

std::vector<ToolColumn> AzimuthLayout(const CAuxView&) {
  return WithResult(TwoStations("AP方位角", "BP方位角", table::kInputSignedAngle, 10, "", ""));
}

std::vector<ToolColumn> DistanceLayout(const CAuxView&) {
  return WithResult(TwoStations("AP边长", "BP边长", table::kInputDecimal, 4, "", kOrderTip));
}

std::vector<ToolColumn> ResectionLayout(const CAuxView&) {
  const char* tip = "A、B、C顺序为绕P逆时针编排";
  return {
      {"A点", "X( m )", 2, 4, kSigned, tip}, {"", "Y( m )", 1, 4, kSigned, tip},
      {"B点", "X( m )", 2, 4, kSigned, tip}, {"", "Y( m )", 1, 4, kSigned, tip},
      {"C点", "X( m )", 2, 4, kSigned, tip}, {"", "Y( m )", 1, 4, kSigned, tip},
      {"角APB", kAngleUnit, 1, 4, table::kInputAngle, ""},
      {"角BPC", kAngleUnit, 1, 4, table::kInputAngle, ""},
      {"待求点P", "X( m )", 2, 4, kResult, ""}, {"", "Y( m )", 1, 4, kResult, ""},
  };
}

std::vector<ToolColumn> EdgeAngleLayout(const CAuxView&) {
  return {
      {"A点", "X( m )", 3, 4, kSigned, kOrderTip},
      {"", "Y( m )", 1, 4, kSigned, kOrderTip},
      {"", "AP距离", 1, 4, table::kInputDecimal, kOrderTip},
      {"B点", "X( m )", 3, 4, kSigned, kOrderTip},
      {"", "Y( m )", 1, 4, kSigned, kOrderTip},
      {"", "BP距离", 1, 4, table::kInputDecimal, kOrderTip},
      {"夹角APB", kAngleUnit, 1, 4, table::kInputAngle, ""},
      {"待求点P", "X( m )", 2, 4, kResult, ""},
      {"", "Y( m )", 1, 4, kResult, ""},
  };
}

// ---- the row frame ------------------------------------------------------------------

struct Row {
  CAuxView& v;
  int r;
  double Num(int col) const { return CellNumber(v, r, col); }
  double Ang(int col) const { return CellAngle(v, r, col); }
  PlanePoint Pt(int colX) const { return {Num(colX), Num(colX + 1)}; }
};

// Writes P and draws the row's figure: the known points, P, then the lines, all
// on the tool's layer. A non-finite P is neither written nor drawn.
void Solved(Row row, int colX, const std::vector<PlanePoint>& known, PlanePoint p, const std::string& layer,
            const std::vector<std::pair<int, int>>& lines) {
  for (const PlanePoint& k : known)
    if (!AllFinite({k.x, k.y})) return;
  if (!AllFinite({p.x, p.y})) return;
  CAuxView& v = row.v;
  WriteNumber(v, row.r, colX, p.x, v.m_nCoordDecimals);
  WriteNumber(v, row.r, colX + 1, p.y, v.m_nCoordDecimals);
  ToolDraw draw(v);
  const std::string n = std::to_string(row.r);
  static const char* kNames[] = {"A", "B", "C"};
  for (std::size_t i = 0; i < known.size(); ++i) draw.Known(kNames[i] + n, known[i].x, known[i].y);
  draw.Computed("P" + n, p.x, p.y);
  // Line ends: 0.. the known points, -1 P.
  auto at = [&](int i) { return i < 0 ? p : known[static_cast<std::size_t>(i)]; };
  for (const auto& [from, to] : lines) {
    const PlanePoint a = at(from), b = at(to);
    draw.Line(layer, a.x, a.y, b.x, b.y);
  }
}

constexpr int kP = -1;

// ---- computations --------------------------------------------------------------------

// Forward and side intersection share the solution once both angles are known.
// Angles that are not both positive put P behind a station or on it.
void IntersectRow(Row row, double alpha, double beta, int colX, const std::string& layer, ToolRun& run,
                  const std::string& sumMessage) {
  const PlanePoint a = row.Pt(1), b = row.Pt(4);
  PlanePoint p;
  const int status = survey::IntersectByAngles(a.x, a.y, b.x, b.y, alpha, beta, &p.x, &p.y);
  if (status == survey::kDegenerate) {
    run.AddMessage(RowPrefix(row.r) + "A、B两点重合，无法交会\n");
    return;
  }
  if (status != survey::kSolved) {
    run.AddMessage(RowPrefix(row.r) + sumMessage);
    return;
  }
  Solved(row, colX, {a, b}, p, layer, {{0, 1}, {0, kP}, {1, kP}});
}

void ComputeForward(CAuxView& v, ToolRun& run) {
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 3, 4, 5, 6})) continue;
    Row row{v, r};
    const double alpha = row.Ang(3), beta = row.Ang(6);
    // Both angles negative is the mirror figure, P on the right of A->B; mixed
    // signs or a zero angle put P behind a station or on it.
    if (!((alpha > 0 && beta > 0) || (alpha < 0 && beta < 0))) {
      run.AddMessage(RowPrefix(r) + "两角度角度输入不合理，无法交会\n");
      continue;
    }
    if (std::fabs(alpha + beta) >= survey::kPi) {
      run.AddMessage(RowPrefix(r) + "两角度之和大于等于180度，无法交会\n");
      continue;
    }
    IntersectRow(row, alpha, beta, 7, "前方交会", run, "两角度之和大于等于180度，无法交会\n");
  }
}

void ComputeSide(CAuxView& v, ToolRun& run) {
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 4, 5, 7})) {
      run.AddMessage(RowPrefix(r) + "A、B两点坐标及角P必须输入\n");
      continue;
    }
    Row row{v, r};
    const double gamma = row.Ang(7);
    const bool hasA = CellsFilled(v, r, {3}), hasB = CellsFilled(v, r, {6});
    if (hasA && hasB) {
      run.AddMessage(RowPrefix(r) + "角A与角B不应同时输入\n");
      continue;
    }
    if (!hasA && !hasB) {
      run.AddMessage(RowPrefix(r) + "角A与角B不应同时为空\n");
      continue;
    }
    const double typed = hasA ? row.Ang(3) : row.Ang(6);
    const double derived = survey::kPi - typed - gamma;
    if (!(typed > 0) || !(derived > 0)) {
      run.AddMessage(RowPrefix(r) + "度角度输入不合理\n");
      continue;
    }
    const double alpha = hasA ? typed : derived, beta = hasA ? derived : typed;
    IntersectRow(row, alpha, beta, 8, "侧方交会", run, "两角度角度输入不合理，无法交会\n");
  }
}

void ComputeAzimuths(CAuxView& v, ToolRun& run) {
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 3, 4, 5, 6})) continue;
    Row row{v, r};
    const PlanePoint a = row.Pt(1), b = row.Pt(4);
    PlanePoint p;
    if (survey::IntersectByDirections(a.x, a.y, row.Ang(3), b.x, b.y, row.Ang(6), &p.x, &p.y) !=
        survey::kSolved) {
      run.AddMessage(RowPrefix(r) + "两方位无法交会，交点可能在反向延长线上\n");
      continue;
    }
    Solved(row, 7, {a, b}, p, "方位交会", {{0, 1}, {0, kP}, {1, kP}});
  }
}

void ComputeDistances(CAuxView& v, ToolRun& run) {
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 3, 4, 5, 6})) continue;
    Row row{v, r};
    const PlanePoint a = row.Pt(1), b = row.Pt(4);
    PlanePoint p;
    if (survey::IntersectByDistances(a.x, a.y, row.Num(3), b.x, b.y, row.Num(6), &p.x, &p.y) != survey::kSolved) {
      run.AddMessage(RowPrefix(r) + "两边长无法相交，可能边长太短\n");
      continue;
    }
    Solved(row, 7, {a, b}, p, "边长交会", {{0, 1}, {0, kP}, {1, kP}});
  }
}

void ComputeResection(CAuxView& v, ToolRun& run) {
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 3, 4, 5, 6, 7, 8})) continue;
    Row row{v, r};
    const PlanePoint a = row.Pt(1), b = row.Pt(3), c = row.Pt(5);
    // Two coinciding known points leave one direction: the solution would be one
    // of them, reported as P.
    auto same = [](PlanePoint u, PlanePoint w) { return std::hypot(u.x - w.x, u.y - w.y) <= 1e-6; };
    if (same(a, b) || same(b, c) || same(a, c)) {
      run.AddMessage(RowPrefix(r) + "A、B、C三点中有两点重合，无法交会\n");
      continue;
    }
    PlanePoint p;
    if (survey::Resection(a.x, a.y, b.x, b.y, c.x, c.y, row.Ang(7), row.Ang(8), &p.x, &p.y) != survey::kSolved) {
      run.AddMessage(RowPrefix(r) + "中四点位于危险圆附近，不进行计算\n");
      continue;
    }
    Solved(row, 9, {a, b, c}, p, "后方交会", {{0, kP}, {1, kP}, {2, kP}});
  }
}

void ComputeEdgeAngle(CAuxView& v, ToolRun& run) {
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 3, 4, 5, 6, 7})) continue;
    Row row{v, r};
    const PlanePoint a = row.Pt(1), b = row.Pt(4);
    const EdgeAngleResult res = EdgeAngleResection(a, row.Num(3), b, row.Num(6), row.Ang(7));
    switch (res.status) {
      case EdgeAngleStatus::BadInput:
        run.AddMessage(RowPrefix(r) + "AP、BP距离应大于0，且A、B两点不能重合\n");
        break;
      case EdgeAngleStatus::OverLimit:
        v.SetCellText(r, 8, "超限");
        break;
      case EdgeAngleStatus::Solved:
        Solved(row, 8, {a, b}, res.p, "边角后方交会", {{0, kP}, {1, kP}});
        break;
    }
  }
}

}  // namespace

void RegisterIntersectionTools(ToolRegistry& r) {
  r.Add(ToolCode::QFJH, {ForwardLayout, ComputeForward, nullptr});
  r.Add(ToolCode::CFJH, {SideLayout, ComputeSide, nullptr});
  r.Add(ToolCode::FWJH, {AzimuthLayout, ComputeAzimuths, nullptr});
  r.Add(ToolCode::BCHJH, {DistanceLayout, ComputeDistances, nullptr});
  r.Add(ToolCode::HFJH, {ResectionLayout, ComputeResection, nullptr});
  r.Add(ToolCode::BJHFJH, {EdgeAngleLayout, ComputeEdgeAngle, nullptr});
}

}  // namespace tools
