// The detail survey (SBCLDATA): one station oriented on one backsight, each row one
// detail point from its horizontal circle reading, distance and vertical reading
// or height difference; plotted as a point map with name and elevation labels.
#include <cmath>
#include <string>
#include <vector>

#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/geometry.h"
#include "table/cell_edit.h"
#include "tools/aux_view.h"
#include "tools/detail_survey.h"
#include "tools/tool_draw.h"
#include "tools/tool_math.h"
#include "tools/tool_plugin.h"

namespace tools {

DetailReduction ReduceSighting(int mode, bool clockwise, double indexErrorSeconds, double distance,
                               double zenithReading) {
  DetailReduction out;
  const double x = indexErrorSeconds / survey::kSecPerRad;
  const double level = survey::kPi / 2 + x;
  const double alpha = clockwise ? level - zenithReading : zenithReading - level;
  if (!std::isfinite(alpha) || !std::isfinite(distance) || !IsSighting(alpha)) return out;
  const double c = std::cos(alpha);
  out.horizontal = mode == 2 ? distance * c * c : distance * c;
  out.rise = out.horizontal * std::tan(alpha);
  out.ok = std::isfinite(out.horizontal) && std::isfinite(out.rise);
  return out;
}

namespace {

constexpr const char* kAngleUnit = "(°' \")";

bool Given(const CTableView& v, int row, int col) { return !v.CellText(row, col).empty(); }

std::vector<ToolColumn> DetailLayout(const CAuxView& view) {
  const int mode = view.m_nDetailMode;
  std::vector<ToolColumn> cols = {
      {"点名", "", 1, 4, table::kInputText, ""},
      {"水平角", kAngleUnit, 1, 8, table::kInputSignedAngle, ""},
  };
  if (mode == 1) {
    cols.push_back({"平距", "( m )", 1, 4, table::kInputDecimal, "输入平距，可以在“项目设置”中更改为视距或斜距"});
    cols.push_back({"高差", "( m )", 1, 4, table::kInputSignedDecimal, "需计算碎部点高程时输入"});
    cols.push_back({"目标高", "( m )", 1, 4, table::kInputSignedDecimal, "需计算碎部点高程时输入"});
  } else {
    cols.push_back({mode == 0 ? "斜距" : "视距", "( m )", 1, 4, table::kInputDecimal,
                    mode == 0 ? "输入斜距，可以在“项目设置”中更改为平距或斜距"
                              : "输入视距，可以在“项目设置”中更改为平距或斜距"});
    cols.push_back({"竖盘读数", kAngleUnit, 1, 4, table::kInputSignedAngle, ""});
    cols.push_back({"目标高", "( m )", 1, 4, table::kInputSignedDecimal, "需计算碎部点高程时输入"});
    cols.push_back({"平距", "( m )", 1, 4, table::kInputText, ""});
    cols.push_back({"高差", "( m )", 1, 4, table::kInputText, ""});
  }
  cols.push_back({"坐标", "X( m )", 2, 8, table::kInputText, ""});
  cols.push_back({"", "Y( m )", 1, 8, table::kInputText, ""});
  cols.push_back({"高程", "( m )", 1, 4, table::kInputText, ""});
  return cols;
}

void ComputeDetail(CAuxView& v, ToolRun& run) {
  if (v.m_strStation.empty()) {
    platform::Messages().ShowMessage("请先在“项目设置”中设定测站数据。");
    run.endedEarly = true;
    return;
  }
  const double sx = v.m_dStationX, sy = v.m_dStationY;
  // On its own station the backsight gives no direction: every point would be
  // oriented on north without a word.
  if (!(std::hypot(v.m_dBacksightX - sx, v.m_dBacksightY - sy) > 1e-6)) {
    platform::Messages().ShowMessage("测站点与后视点坐标相同，无法定向。\n请在“项目设置”中改正测站或后视点坐标。");
    run.endedEarly = true;
    return;
  }
  const double az0 = survey::CalcAzimuth(sx, sy, v.m_dBacksightX, v.m_dBacksightY);

  ToolDraw draw(v);
  draw.Begin(1);
  const bool names = v.m_nShowNameOrHeight == 1;
  draw.Layer("碎部点名", names ? 1 : 0, 0, -1, false);
  draw.Layer("碎部点高程", names ? 0 : 1, 0, -1, false);
  draw.Point(v.m_strStation, true, sx, sy, v.m_dStationH);
  draw.Point(v.m_strBacksight, true, v.m_dBacksightX, v.m_dBacksightY, v.m_dBacksightH);

  const int mode = v.m_nDetailMode;
  const double radius = v.m_bShowDot ? 0.2 : 0;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!Given(v, r, 2) || !Given(v, r, 3)) continue;
    const double beta = CellAngle(v, r, 2), s = CellNumber(v, r, 3);
    const bool target = Given(v, r, 5);
    double x = 0, y = 0;
    int elevationCol = 0;
    if (mode == 1) {
      survey::PolarPoint(sx, sy, beta + az0, s, &x, &y);
      if (!AllFinite({x, y})) continue;
      WriteNumber(v, r, 6, x, v.m_nCoordDecimals);
      WriteNumber(v, r, 7, y, v.m_nCoordDecimals);
      elevationCol = 8;
      if (Given(v, r, 4) && target) {
        const double h = v.m_dStationH + v.m_dInstrumentHeight + CellNumber(v, r, 4) - CellNumber(v, r, 5);
        if (std::isfinite(h)) WriteNumber(v, r, 8, h, v.m_nHeightDecimals);
      }
    } else {
      if (!Given(v, r, 4)) continue;
      const DetailReduction red = ReduceSighting(mode, v.m_bClockwise, v.m_dIndexError, s, CellAngle(v, r, 4));
      if (!red.ok) continue;
      survey::PolarPoint(sx, sy, beta + az0, red.horizontal, &x, &y);
      if (!AllFinite({x, y})) continue;
      WriteNumber(v, r, 6, red.horizontal, v.m_nDistDecimals);
      WriteNumber(v, r, 8, x, v.m_nCoordDecimals);
      WriteNumber(v, r, 9, y, v.m_nCoordDecimals);
      elevationCol = 10;
      if (target) {
        const double h = red.rise + v.m_dInstrumentHeight - CellNumber(v, r, 5);
        if (std::isfinite(h) && std::isfinite(v.m_dStationH + h)) {
          WriteNumber(v, r, 7, h, v.m_nDhDecimals);
          WriteNumber(v, r, 10, v.m_dStationH + h, v.m_nHeightDecimals);
        }
      }
    }
    const std::string label = target ? v.CellText(r, elevationCol) : std::string();
    draw.Detail("碎部点", v.CellText(r, 1), label, x, y, radius);
  }
}

}  // namespace

void RegisterDetailSurveyTool(ToolRegistry& r) { r.Add(ToolCode::SBCLDATA, {DetailLayout, ComputeDetail, nullptr}); }

}  // namespace tools

namespace tools {

bool CSbClSetForm::ParseNumber(const std::string& text, double* out) {
  std::size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) return false;
  const std::string t = text.substr(b, e - b + 1);
  std::size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digits = false, point = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      digits = true;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  const double v = platform::ParseDouble(t);
  if (!std::isfinite(v)) return false;
  *out = v;
  return true;
}

std::string CSbClSetForm::CheckOk() const {
  if (values.station.empty()) return kDetailStationRequired;
  for (const std::string* name : {&values.station, &values.backsight})
    if (name->find_first_of(",\r\n") != std::string::npos) return kDetailNameCharsMessage;
  return "";
}

}  // namespace tools
