// The plane coordinate tools: forward and inverse computation (PMZBZHSH, PMZBFSH),
// polar stake-out (JZB), rotation about a centre (ZBXZH), included and turning
// angles (JJZHJ). Each row is one problem; rows that leave their leading cells
// empty take them from the row above. The first faulty row stops the run.
#include <cmath>
#include <string>
#include <vector>

#include "survey/angle.h"
#include "survey/geometry.h"
#include "table/cell_edit.h"
#include "tools/aux_view.h"
#include "tools/tool_draw.h"
#include "tools/tool_plugin.h"

namespace tools {
namespace {

constexpr const char* kAngleUnit = "(°' \")";
constexpr int kText = table::kInputText;
constexpr int kSigned = table::kInputSignedDecimal;
constexpr int kDecimal = table::kInputDecimal;
constexpr int kAngle = table::kInputAngle;
constexpr int kSignedAngle = table::kInputSignedAngle;
constexpr int kResult = table::kInputText;

bool Given(const CTableView& v, int row, int col) { return !v.CellText(row, col).empty(); }

// ---- layouts ---------------------------------------------------------------------

const char* kStartXTip = "不输则默认等于上一行。|1|输入起点坐标X";
const char* kStartYTip = "不输则默认等于上一行。|1|输入起点坐标Y";
const char* kStartHTip = "不输则默认等于上一行。如不需计算高程则忽略不输|1|输入起点高程。如不需计算高程则忽略不输";
const char* kNoHeightTip = "如不需计算高程则忽略不输";

std::vector<ToolColumn> ForwardLayout(const CAuxView&) {
  return {
      {"起点", "点名", 4, 4, kText, ""},
      {"", "X( m )", 1, 4, kSigned, kStartXTip},
      {"", "Y( m )", 1, 4, kSigned, kStartYTip},
      {"", "H( m )", 1, 4, kSigned, kStartHTip},
      {"方位角", kAngleUnit, 1, 4, kAngle, ""},
      {"边长", "( m )", 1, 4, kDecimal, ""},
      {"高差", "( m )", 1, 4, kSigned, kNoHeightTip},
      {"终点", "点名", 4, 4, kText, ""},
      {"", "X( m )", 1, 4, kResult, ""},
      {"", "Y( m )", 1, 4, kResult, ""},
      {"", "H( m )", 1, 4, kResult, ""},
  };
}

std::vector<ToolColumn> InverseLayout(const CAuxView&) {
  return {
      {"起点", "点名", 4, 4, kText, ""},
      {"", "X( m )", 1, 4, kSigned, kStartXTip},
      {"", "Y( m )", 1, 4, kSigned, kStartYTip},
      {"", "H( m )", 1, 4, kSigned, kStartHTip},
      {"终点", "点名", 4, 4, kText, ""},
      {"", "X( m )", 1, 4, kSigned, ""},
      {"", "Y( m )", 1, 4, kSigned, ""},
      {"", "H( m )", 1, 4, kSigned, kNoHeightTip},
      {"方位角", kAngleUnit, 1, 4, kResult, ""},
      {"边长", "( m )", 1, 4, kResult, ""},
      {"高差", "( m )", 1, 4, kResult, ""},
  };
}

std::vector<ToolColumn> StakeOutLayout(const CAuxView&) {
  return {
      {"测站点", "X( m )", 2, 4, kSigned, "不输则默认等于上一行。|1|输入测站坐标X"},
      {"", "Y( m )", 1, 4, kSigned, "不输则默认等于上一行。|1|输入测站坐标Y"},
      {"后视点", "X( m )", 2, 4, kSigned, "不输则默认等于上一行。|1|输入后视点坐标X"},
      {"", "Y( m )", 1, 4, kSigned, "不输则默认等于上一行。|1|输入后视点坐标Y"},
      {"放样点", "点名", 3, 4, kText, ""},
      {"", "X( m )", 1, 4, kSigned, ""},
      {"", "Y( m )", 1, 4, kSigned, ""},
      {"方位角", kAngleUnit, 1, 4, kResult, ""},
      {"角度", kAngleUnit, 1, 4, kResult, ""},
      {"距离", "( m )", 1, 4, kResult, ""},
  };
}

std::vector<ToolColumn> RotationLayout(const CAuxView&) {
  return {
      {"旋转中心点", "X(m)", 2, 8, kSigned, "输入旋转中心点坐标X，不输则默认等于上一行。|1|输入旋转中心点坐标X"},
      {"", "Y( m )", 1, 8, kSigned, "输入旋转中心点坐标Y，不输则默认等于上一行。|1|输入旋转中心点坐标Y"},
      {"旋转角度", kAngleUnit, 1, 8, kSignedAngle,
       "输入旋转角度，不输则默认等于上一行。|1|输入旋转角度，逆时针为负顺时针为正"},
      {"点名", "", 1, 8, kText, ""},
      {"旋转前坐标", "X( m )", 2, 8, kSigned, ""},
      {"", "Y( m )", 1, 8, kSigned, ""},
      {"旋转后坐标", "X( m )", 2, 8, kResult, ""},
      {"", "Y( m )", 1, 8, kResult, ""},
  };
}

std::vector<ToolColumn> AnglesLayout(const CAuxView&) {
  return {
      {"点A", "X( m )", 2, 4, kSigned, ""},  {"", "Y( m )", 1, 4, kSigned, ""},
      {"点B", "X( m )", 2, 4, kSigned, ""},  {"", "Y( m )", 1, 4, kSigned, ""},
      {"点C", "X( m )", 2, 4, kSigned, ""},  {"", "Y( m )", 1, 4, kSigned, ""},
      {"夹角", "左角", 2, 4, kResult, ""},   {"", "右角", 1, 4, kResult, ""},
      {"转角", kAngleUnit, 1, 4, kResult, ""},
  };
}

// ---- older stored rows -------------------------------------------------------------

// The forward computation once had six columns: no start elevation (after item 3)
// and no height difference (after item 5).
void PadForward(std::vector<std::string>& items, int) {
  if (items.size() >= 8) return;
  if (items.size() >= 3) items.insert(items.begin() + 3, std::string());
  if (items.size() >= 6) items.insert(items.begin() + 6, std::string());
}

// The inverse computation had neither start nor end elevation.
void PadInverse(std::vector<std::string>& items, int) {
  if (items.size() >= 8) return;
  if (items.size() >= 3) items.insert(items.begin() + 3, std::string());
  items.emplace_back();
}

// The stake-out had no name of the point to set out.
void PadStakeOut(std::vector<std::string>& items, int) {
  if (items.size() == 6) items.insert(items.begin() + 4, std::string());
}

// ---- the start point the forward and inverse computations share ---------------------

struct StartPoint {
  double x = 0, y = 0;
  double h = 0;
  bool hasH = false;
};

// Step 1 of both tools: the start point typed on the row or the one carried from
// the row above. False after the stop message.
bool ReadStartPoint(const CTableView& v, int r, StartPoint& s, ToolRun& run) {
  const bool gx = Given(v, r, 2), gy = Given(v, r, 3);
  if (!gx || !gy) {
    if (r == 1) {
      run.AddMessage("第一行的起点坐标应输入完整，\n其它行可以不输，程序默认等于上一行");
      return false;
    }
    if (gx || gy) {
      run.AddMessage(RowPrefix(r) + "的起点坐标应输入完整，\n或者同时不输，程序默认等于上一行");
      return false;
    }
    return true;  // both empty: the start point of the row above
  }
  s.x = CellNumber(v, r, 2);
  s.y = CellNumber(v, r, 3);
  return true;
}

// The start elevation goes with the start point: typed, cleared by a new start
// point without one, or inherited with an inherited start point. Read on every row
// that has a start point, also one that is skipped for lack of its other data, so
// the next row inheriting that start point inherits its elevation too.
void ReadStartHeight(const CTableView& v, int r, StartPoint& s) {
  if (Given(v, r, 4)) {
    s.h = CellNumber(v, r, 4);
    s.hasH = true;
  } else if (Given(v, r, 2)) {
    s.hasH = false;
  }
}

void DrawStart(ToolDraw& draw, const CTableView& v, int r, const StartPoint& s) {
  if (!Given(v, r, 2)) return;
  const std::string& name = v.CellText(r, 1);
  draw.Known(name.empty() ? std::to_string(r) + "起点" : name, s.x, s.y);
}

std::string EndName(const CTableView& v, int r, int col) {
  const std::string& name = v.CellText(r, col);
  return name.empty() ? std::to_string(r) + "终点" : name;
}

// ---- computations -------------------------------------------------------------------

void ComputeForward(CAuxView& v, ToolRun& run) {
  ToolDraw draw(v);
  StartPoint s;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!ReadStartPoint(v, r, s, run)) return;
    ReadStartHeight(v, r, s);
    if (!Given(v, r, 5) || !Given(v, r, 6)) continue;
    if (!s.hasH && Given(v, r, 7)) {
      run.AddMessage(RowPrefix(r) +
                     "数据中输入了高差，则程序将计算高程，此时应输入起点高程。\n如不需计算高程请勿输入高差");
      return;
    }
    double x = 0, y = 0;
    survey::PolarPoint(s.x, s.y, CellAngle(v, r, 5), CellNumber(v, r, 6), &x, &y);
    const bool withH = s.hasH && Given(v, r, 7);
    const double h = withH ? CellNumber(v, r, 7) + s.h : 0;
    if (!AllFinite({s.x, s.y, x, y, h})) continue;
    WriteNumber(v, r, 9, x, v.m_nCoordDecimals);
    WriteNumber(v, r, 10, y, v.m_nCoordDecimals);
    if (withH) WriteNumber(v, r, 11, h, v.m_nHeightDecimals);
    DrawStart(draw, v, r, s);
    draw.Computed(EndName(v, r, 8), x, y);
    draw.Line("坐标正算", s.x, s.y, x, y);
  }
}

void ComputeInverse(CAuxView& v, ToolRun& run) {
  ToolDraw draw(v);
  StartPoint s;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!ReadStartPoint(v, r, s, run)) return;
    ReadStartHeight(v, r, s);
    if (!Given(v, r, 6) || !Given(v, r, 7)) continue;
    if (!s.hasH && Given(v, r, 8)) {
      run.AddMessage(RowPrefix(r) +
                     "数据中输入了终点高程，则程序将计算高差，此时应输入起点高程。\n如不需计算高差请勿输入终点高程");
      return;
    }
    const double xe = CellNumber(v, r, 6), ye = CellNumber(v, r, 7);
    double az = 0, d = 0;
    survey::InverseProblem(s.x, s.y, xe, ye, &az, &d);
    const bool withH = s.hasH && Given(v, r, 8);
    const double dh = withH ? CellNumber(v, r, 8) - s.h : 0;
    if (!AllFinite({s.x, s.y, xe, ye, az, d, dh})) continue;
    v.SetCellAngle(r, 9, az, v.m_nAngleDecimals);
    WriteNumber(v, r, 10, d, v.m_nDistDecimals);
    if (withH) WriteNumber(v, r, 11, dh, v.m_nDhDecimals);
    DrawStart(draw, v, r, s);
    draw.Known(EndName(v, r, 5), xe, ye);
    draw.Line("坐标反算", s.x, s.y, xe, ye);
  }
}

void ComputeStakeOut(CAuxView& v, ToolRun& run) {
  ToolDraw draw(v);
  double sx = 0, sy = 0, backAz = 0;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    int given = 0;
    for (int c = 1; c <= 4; ++c) given += Given(v, r, c);
    if (given == 4) {
      sx = CellNumber(v, r, 1);
      sy = CellNumber(v, r, 2);
      const double bx = CellNumber(v, r, 3), by = CellNumber(v, r, 4);
      // On its own station the backsight gives no direction: every angle would be
      // turned from north without a word.
      if (!(std::hypot(bx - sx, by - sy) > 1e-6)) {
        run.AddMessage(RowPrefix(r) + "的测站点与后视点坐标相同，无法定向");
        return;
      }
      backAz = survey::CalcAzimuth(sx, sy, bx, by);
      if (AllFinite({sx, sy, bx, by})) {
        draw.Known("测站", sx, sy);
        draw.Known("后视", bx, by);
        draw.Line("极坐标放样", sx, sy, bx, by);
      }
    } else if (r == 1) {
      run.AddMessage("第一行的设测站点、后视点坐标应输入完整，\n其它行可以不输，程序默认等于上一行");
      return;
    } else if (given > 0) {
      run.AddMessage(RowPrefix(r) + "的设测站点、后视点坐标应输入完整，\n或者同时不输，程序默认等于上一行");
      return;
    }
    if (!Given(v, r, 6) || !Given(v, r, 7)) continue;
    const double px = CellNumber(v, r, 6), py = CellNumber(v, r, 7);
    double az = 0, d = 0, angle = 0;
    survey::InverseProblem(sx, sy, px, py, &az, &d);
    survey::StationAngle(sx, sy, backAz, px, py, &d, &angle);
    if (!AllFinite({sx, sy, px, py, az, d, angle})) continue;
    v.SetCellAngle(r, 8, az, v.m_nAngleDecimals);
    v.SetCellAngle(r, 9, angle, v.m_nAngleDecimals);
    WriteNumber(v, r, 10, d, v.m_nCoordDecimals);
    const std::string& name = v.CellText(r, 5);
    draw.Computed(name.empty() ? std::to_string(r) : name, px, py);
    draw.Line("极坐标放样", sx, sy, px, py);
  }
}

void ComputeRotation(CAuxView& v, ToolRun& run) {
  ToolDraw draw(v);
  draw.Layer("坐标旋转后", 1, 1, 0, true);
  double ox = 0, oy = 0, rotation = 0;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    int given = 0;
    for (int c = 1; c <= 3; ++c) given += Given(v, r, c);
    if (given == 3) {
      ox = CellNumber(v, r, 1);
      oy = CellNumber(v, r, 2);
      rotation = CellAngle(v, r, 3);
      if (AllFinite({ox, oy})) draw.Labelled("坐标旋转中心点", ox, oy, "中心点");
    } else if (r == 1) {
      run.AddMessage("第一行的旋转中心点坐标与旋转角度应输入完整，\n其它行可以不输，程序默认等于上一行");
      return;
    } else if (given > 0) {
      run.AddMessage(RowPrefix(r) + "的旋转中心点坐标与旋转角度应输入完整，\n或者同时不输，程序默认等于上一行");
      return;
    }
    if (!Given(v, r, 5) || !Given(v, r, 6)) continue;
    const double px = CellNumber(v, r, 5), py = CellNumber(v, r, 6);
    double az = 0, d = 0, x = 0, y = 0;
    survey::InverseProblem(ox, oy, px, py, &az, &d);
    survey::PolarPoint(ox, oy, az + rotation, d, &x, &y);
    if (!AllFinite({ox, oy, px, py, x, y})) continue;
    WriteNumber(v, r, 7, x, v.m_nCoordDecimals);
    WriteNumber(v, r, 8, y, v.m_nCoordDecimals);
    const std::string& cell = v.CellText(r, 4);
    const std::string name = cell.empty() ? std::to_string(r) : cell;
    draw.Labelled("坐标旋转前", px, py, name);
    draw.Labelled("坐标旋转后", x, y, name);
  }
}

void ComputeAngles(CAuxView& v, ToolRun&) {
  ToolDraw draw(v);
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {1, 2, 3, 4, 5, 6})) continue;
    const double ax = CellNumber(v, r, 1), ay = CellNumber(v, r, 2);
    const double bx = CellNumber(v, r, 3), by = CellNumber(v, r, 4);
    const double cx = CellNumber(v, r, 5), cy = CellNumber(v, r, 6);
    if (!AllFinite({ax, ay, bx, by, cx, cy})) continue;
    const std::string n = std::to_string(r);
    draw.Known("A" + n, ax, ay);
    draw.Known("B" + n, bx, by);
    draw.Known("C" + n, cx, cy);
    draw.Line("夹角转角计算", ax, ay, bx, by);
    draw.Line("夹角转角计算", bx, by, cx, cy);
    const double azAB = survey::CalcAzimuth(ax, ay, bx, by);
    const double azBC = survey::CalcAzimuth(bx, by, cx, cy);
    // Clockwise at B from B->A to B->C: the angle on the left of the path A->B->C.
    const double left = azBC - (azAB + survey::kPi);
    v.SetCellAngle(r, 7, left, v.m_nAngleDecimals);
    v.SetCellAngle(r, 8, survey::kTwoPi - left, v.m_nAngleDecimals);
    v.SetCellAngle(r, 9, survey::AngleDifference(azAB, azBC), v.m_nAngleDecimals, true);
  }
}

}  // namespace

void RegisterPlaneTools(ToolRegistry& r) {
  r.Add(ToolCode::PMZBZHSH, {ForwardLayout, ComputeForward, PadForward, 2, 4, "", 3});
  r.Add(ToolCode::PMZBFSH, {InverseLayout, ComputeInverse, PadInverse, 2, 4, "", 3});
  r.Add(ToolCode::JZB, {StakeOutLayout, ComputeStakeOut, PadStakeOut, 1, 4});
  r.Add(ToolCode::ZBXZH, {RotationLayout, ComputeRotation, nullptr, 1, 3});
  r.Add(ToolCode::JJZHJ, {AnglesLayout, ComputeAngles, nullptr});
}

}  // namespace tools
