// The geodetic conversions: geocentric XYZ <-> geodetic BLH, Gauss-Krüger forward
// and inverse, and the change of zone and projection surface (plane only, or with the
// geodetic height shifted by the ellipsoid's enlargement). The mathematics is
// survey::CGaussProjection; this file fixes the layouts, what each tool reads and
// writes, what it draws and the remarks under the table.
#include <cmath>

#include "drawing/draw_feed.h"
#include "survey/angle.h"
#include "survey/format.h"
#include "tools/aux_view.h"
#include "tools/tool_plugin.h"

namespace tools {

namespace {

const std::string kLat = "纬度(°' \")";
const std::string kLon = "经度(°' \")";
const char* kNoZone = "y坐标不应包含带号";

std::vector<ToolColumn> XyzToBlhLayout(const CAuxView&) {
  return {{"点名", "", 1, 4, 7, ""},          {"空间直角坐标", "X( m )", 3, 10, 4, ""},
          {"", "Y( m )", 1, 10, 4, ""},        {"", "Z( m )", 1, 10, 4, ""},
          {"大地坐标", kLat, 3, 10, 7, ""},    {"", kLon, 1, 10, 7, ""},
          {"", "大地高( m )", 1, 10, 7, ""}};
}

std::vector<ToolColumn> BlhToXyzLayout(const CAuxView&) {
  return {{"点名", "", 1, 4, 7, ""},        {"大地坐标", kLat, 3, 10, 6, ""},
          {"", kLon, 1, 10, 6, ""},          {"", "大地高( m )", 1, 10, 4, ""},
          {"空间直角坐标", "X( m )", 3, 10, 7, ""}, {"", "Y( m )", 1, 10, 7, ""},
          {"", "Z( m )", 1, 10, 7, ""}};
}

std::vector<ToolColumn> GaussForwardLayout(const CAuxView&) {
  return {{"点名", "", 1, 8, 7, ""},
          {"大地坐标", kLat, 2, 14, 5, ""},
          {"", kLon, 1, 14, 5, ""},
          {"高斯平面坐标", "x( m )", 2, 14, 7, ""},
          {"", "y( m )", 1, 14, 7, ""}};
}

std::vector<ToolColumn> GaussInverseLayout(const CAuxView&) {
  return {{"点名", "", 1, 8, 7, ""},
          {"高斯平面坐标", "x( m )", 2, 14, 4, ""},
          {"", "y( m )", 1, 14, 4, kNoZone},
          {"大地坐标", kLat, 2, 14, 7, ""},
          {"", kLon, 1, 14, 7, ""}};
}

std::vector<ToolColumn> ZoneChangeLayout(const CAuxView&) {
  return {{"点名", "", 1, 4, 7, ""},
          {"换带前", "x( m )", 2, 14, 4, ""},
          {"", "y( m )", 1, 14, 4, kNoZone},
          {"换带后", "x( m )", 2, 14, 7, ""},
          {"", "y( m )", 1, 14, 7, ""}};
}

std::vector<ToolColumn> ZoneChange2Layout(const CAuxView&) {
  return {{"点名", "", 1, 8, 7, ""},        {"换带前", "x( m )", 3, 10, 4, ""},
          {"", "y( m )", 1, 10, 4, kNoZone}, {"", "大地高(m)", 1, 10, 4, ""},
          {"换带后", "x( m )", 3, 10, 7, ""}, {"", "y( m )", 1, 10, 7, ""},
          {"", "大地高(m)", 1, 10, 7, ""}};
}

}  // namespace

// Configures g on the view's ellipsoid with projection height h; false after one
// message when the custom ellipsoid is impossible (then no row is computed).
bool SetToolEllipsoid(const CAuxView& v, double projHeight, survey::CGaussProjection& g, ToolRun& run) {
  if (g.SetEllipsoid(v.m_nCoordSystem, v.m_bY500km, v.m_dEllipsoidA, v.m_dEllipsoidInvF, projHeight,
                     survey::DmsToRadians(v.m_dCentreLatitude), v.m_nExpansion))
    return true;
  run.AddMessage("自定义椭球的长半轴或扁率分母不正确，无法计算。\n");
  return false;
}

// A row whose results are not all finite gets this message and no results.
bool ResultsFinite(std::initializer_list<double> values, int row, ToolRun& run) {
  for (double v : values)
    if (!std::isfinite(v)) {
      run.AddMessage(RowPrefix(row) + "计算结果无效，请检查输入数据\n");
      return false;
    }
  return true;
}

namespace {

// How far from the central meridian a plane y may lie: the inverse series serve up
// to 6° of longitude (4.5 mm there against GeographicLib), 668 km at the equator.
// A y beyond, mostly one that still carries the zone number (38 500 000), would
// give a point on the other side of the earth without a word.
constexpr double kMaxEastingFromMeridian = 700000;
constexpr double kMaxLongitudeFromMeridian = 6.0 / survey::kDegPerRad + 1e-9;

bool PlaneYServed(const CAuxView& v, double y) {
  const double e = v.m_bY500km ? y - 500000 : y;
  return std::fabs(e) <= kMaxEastingFromMeridian;
}

bool OutsideProjection(int row, ToolRun& run) {
  run.AddMessage(RowPrefix(row) + "的y坐标超出高斯投影的适用范围，y坐标不应包含带号\n");
  return false;
}

void DrawPoint(CAuxView& v, int row, double x, double y) {
  if (drawing::IDrawFeed* f = v.DrawingFeed()) f->AddControlPoint(PointName(v, row), 1, x, y, 0, -1, -1, -1);
}

std::string Height(double h) { return survey::FormatNumber(h, -1); }

void RemarkCoordSystem(CAuxView& v, const ToolRun& run, int lines, const std::string& line2) {
  v.SetSignatureTexts(lines, "备注", run.coordSystemText + "  投影面大地高：" + Height(v.m_dProjHeight), line2);
}

void ComputeXyzToBlh(CAuxView& v, ToolRun& run) {
  if (!SetToolEllipsoid(v, v.m_dProjHeight, run.geodesy, run)) return;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {2, 3, 4})) continue;
    double B = 0, L = 0, H = 0;
    run.geodesy.XyzToBlh(CellNumber(v, r, 2), CellNumber(v, r, 3), CellNumber(v, r, 4), &B, &L, &H);
    if (!ResultsFinite({B, L, H}, r, run)) continue;
    v.SetCellText(r, 5, survey::AngleToText(B, true, v.m_nLatLonDecimals, true));
    v.SetCellText(r, 6, survey::AngleToText(L, true, v.m_nLatLonDecimals, true));
    v.SetCellDouble(r, 7, H, v.m_nHeightDecimals);
  }
  RemarkCoordSystem(v, run, 1, "");
}

void ComputeBlhToXyz(CAuxView& v, ToolRun& run) {
  if (!SetToolEllipsoid(v, v.m_dProjHeight, run.geodesy, run)) return;
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {2, 3, 4})) continue;
    double X = 0, Y = 0, Z = 0;
    run.geodesy.BlhToXyz(CellAngle(v, r, 2), CellAngle(v, r, 3), CellNumber(v, r, 4), &X, &Y, &Z);
    if (!ResultsFinite({X, Y, Z}, r, run)) continue;
    v.SetCellDouble(r, 5, X, v.m_nCoordDecimals);
    v.SetCellDouble(r, 6, Y, v.m_nCoordDecimals);
    v.SetCellDouble(r, 7, Z, v.m_nCoordDecimals);
  }
  RemarkCoordSystem(v, run, 1, "");
}

void ComputeGaussForward(CAuxView& v, ToolRun& run) {
  if (!SetToolEllipsoid(v, v.m_dProjHeight, run.geodesy, run)) return;
  const double L0 = survey::DmsToRadians(v.m_dMeridian1);
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {2, 3})) continue;
    double x = 0, y = 0;
    run.geodesy.GeodeticToPlane(CellAngle(v, r, 2), CellAngle(v, r, 3), L0, &x, &y);
    if (!ResultsFinite({x, y}, r, run)) continue;
    v.SetCellDouble(r, 4, x, v.m_nCoordDecimals);
    v.SetCellDouble(r, 5, y, v.m_nCoordDecimals);
    DrawPoint(v, r, x, y);
  }
  RemarkCoordSystem(v, run, 2, "中央子午线经度：" + run.meridianText);
}

void ComputeGaussInverse(CAuxView& v, ToolRun& run) {
  if (!SetToolEllipsoid(v, v.m_dProjHeight, run.geodesy, run)) return;
  const double L0 = survey::DmsToRadians(v.m_dMeridian1);
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (!CellsFilled(v, r, {2, 3})) continue;
    const double x = CellNumber(v, r, 2), y = CellNumber(v, r, 3);
    if (!PlaneYServed(v, y)) {
      OutsideProjection(r, run);
      continue;
    }
    double B = 0, L = 0;
    run.geodesy.PlaneToGeodetic(x, y, L0, &B, &L);
    if (!ResultsFinite({B, L}, r, run)) continue;
    if (std::fabs(L - L0) > kMaxLongitudeFromMeridian) {
      OutsideProjection(r, run);
      continue;
    }
    // Signed: a southern latitude is not 347°.
    v.SetCellAngle(r, 4, B, v.m_nLatLonDecimals, true);
    v.SetCellAngle(r, 5, L, v.m_nLatLonDecimals, true);
    DrawPoint(v, r, x, y);
  }
  RemarkCoordSystem(v, run, 2, "中央子午线经度：" + run.meridianText);
}

void ComputeZoneChange(CAuxView& v, ToolRun& run, bool withHeight) {
  survey::CGaussProjection& p1 = run.geodesy;
  survey::CGaussProjection p2;
  if (!SetToolEllipsoid(v, v.m_dProjHeight, p1, run) || !SetToolEllipsoid(v, v.m_dProjHeight2, p2, run)) return;
  const double L0 = survey::DmsToRadians(v.m_dMeridian1), L1 = survey::DmsToRadians(v.m_dMeridian2);
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    if (withHeight ? !CellsFilled(v, r, {2, 3, 4}) : !CellsFilled(v, r, {2, 3})) continue;
    double B = 0, L = 0, x = 0, y = 0;
    if (!PlaneYServed(v, CellNumber(v, r, 3))) {
      OutsideProjection(r, run);
      continue;
    }
    p1.PlaneToGeodetic(CellNumber(v, r, 2), CellNumber(v, r, 3), L0, &B, &L);
    if (std::isfinite(L) && std::fabs(L - L0) > kMaxLongitudeFromMeridian) {
      OutsideProjection(r, run);
      continue;
    }
    double H = withHeight ? CellNumber(v, r, 4) : 0;
    if (withHeight) p1.ApplyExpansionShift(&B, &H, p2.a - p1.a);
    p2.GeodeticToPlane(B, L, L1, &x, &y);
    if (!ResultsFinite({x, y, H}, r, run)) continue;
    const int c = withHeight ? 5 : 4;
    v.SetCellDouble(r, c, x, v.m_nCoordDecimals);
    v.SetCellDouble(r, c + 1, y, v.m_nCoordDecimals);
    if (withHeight) v.SetCellDouble(r, 7, H, v.m_nHeightDecimals);
    DrawPoint(v, r, x, y);
  }
  v.SetSignatureTexts(2, "备注",
                      "换带前：中央子午线经度：" + run.meridianText + "  投影面大地高：" + Height(v.m_dProjHeight),
                      "换带后：中央子午线经度：" + MeridianToText(v.m_dMeridian2, v.m_nLatLonDecimals) +
                          "  投影面大地高：" + Height(v.m_dProjHeight2));
}

}  // namespace

void RegisterGeodeticTools(ToolRegistry& r) {
  r.Add(ToolCode::XYZTOBLH, {XyzToBlhLayout, ComputeXyzToBlh});
  r.Add(ToolCode::BLHTOXYZ, {BlhToXyzLayout, ComputeBlhToXyz});
  r.Add(ToolCode::GSZHSH, {GaussForwardLayout, ComputeGaussForward});
  r.Add(ToolCode::GSFSH, {GaussInverseLayout, ComputeGaussInverse});
  r.Add(ToolCode::ZBHD1, {ZoneChangeLayout, [](CAuxView& v, ToolRun& run) { ComputeZoneChange(v, run, false); }});
  r.Add(ToolCode::ZBHD2, {ZoneChange2Layout, [](CAuxView& v, ToolRun& run) { ComputeZoneChange(v, run, true); }});
}

}  // namespace tools
