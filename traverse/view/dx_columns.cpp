#include "traverse/view/dx_columns.h"

#include <cmath>
#include <cstdio>

#include "platform/gbk.h"
#include "traverse/codes.h"

namespace traverse {

const std::vector<ColumnCodeInfo>& ColumnCodes() {
  static const std::vector<ColumnCodeInfo> codes = {
      {"DM", "点名", "", 1, 4},
      {"ZDM", "至点", "", 1, 4},
      {"X", "坐标", "X( m )", 2, 4},
      {"Y", "", "Y( m )", 1, 4},
      {"H", "高程", "( m )", 1, 4},
      {"BZH", "备注", "", 1, 8},
      {"MX", "点位中误差", "Mx(mm)", 3, 4},
      {"MY", "", "My(mm)", 1, 4},
      {"M", "", "M(mm)", 1, 4},
      {"MA", "误差椭圆参数", "A(mm)", 3, 4},
      {"MB", "", "B(mm)", 1, 4},
      {"MF", "", "F(度 分)", 1, 4},
      {"MH", "高程中误", "差(mm)", 1, 4},
      {"QJD", "观测角度", "(°' \")", 1, 4},
      {"VJD", "角度改正", "( \" )", 1, 4},
      {"HJD", "角度平差", "值(°' \")", 1, 4},
      {"FW", "方位角", "(°' \")", 1, 4},
      {"MFW", "方位角中", "误差(\")", 1, 4},
      {"QBCH", "边长观测", "值(m)", 1, 4},
      {"VBCH", "边长改正", "数(mm)", 1, 4},
      {"HBCH", "边长平差", "值(m)", 1, 4},
      {"MBCH", "边长中误", "差(mm)", 1, 4},
      {"FBCH", "边长相对", "中误差", 1, 4},
      {"DX", "坐标增量", "Δx(m)", 4, 4},
      {"QDX", "改正前坐标增量", "Δx(m)", 2, 4},
      {"HDX", "改正后坐标增量", "Δx(m)", 2, 4},
      {"VDX", "", "改正(mm)", 1, 4},
      {"DY", "", "Δy(m)", 1, 4},
      {"QDY", "", "Δy(m)", 1, 4},
      {"HDY", "", "Δy(m)", 1, 4},
      {"VDY", "", "改正(mm)", 1, 4},
      {"GJ", "距离", "( m )", 1, 4},
      {"GCZH", "测站数", "", 1, 4},
      {"QGCH", "高差观测", "值(m)", 1, 4},
      {"VGCH", "高差改正", "数(mm)", 1, 4},
      {"HGCH", "高差平差", "值(m)", 1, 4},
      {"MDJ", "相邻点位", "误差(mm)", 1, 4},
      {"DJMG", "高程点间", "误差(mm)", 1, 4},
  };
  return codes;
}

const ColumnCodeInfo* FindColumnCode(std::string_view code) {
  for (const ColumnCodeInfo& c : ColumnCodes())
    if (code == c.code) return &c;
  return nullptr;
}

ColumnHeader HeaderForCode(const ColumnCodeInfo& info, int traverseType, int distUnit) {
  ColumnHeader h{info.header1, info.header2, info.span, info.width};
  std::string_view code = info.code;
  if (code == "QDX" && traverseType == 2) h.line1 = "坐标增量";
  if (code == "GJ" && distUnit == 1) h.line2 = "( km )";
  return h;
}

std::string StripLowSuffix(std::string_view code, bool* staggered) {
  bool low = code.size() >= 3 && code.substr(code.size() - 3) == "LOW";
  if (staggered) *staggered = low;
  return std::string(low ? code.substr(0, code.size() - 3) : code);
}

bool ColumnHasValue(std::string_view c, const FillScheme& s, const FillRow& r) {
  const bool rigOrBack = s.rigorous || s.backComputed;
  const bool planeSigma = s.sigma0Plane >= 0;
  const bool bothPlane = !r.last && r.hasPlane && r.nextHasPlane;
  if (c == "DM" || c == "BZH") return true;
  if (c == "ZDM") return !r.last;
  if (c == "X" || c == "Y") return r.hasPlane;
  if (c == "H") return r.hasHeight;
  if (c == "MX" || c == "MY" || c == "M" || c == "MA" || c == "MB" || c == "MF")
    return planeSigma && r.hasPlane && !r.planeKnown;
  if (c == "MH") return s.sigma0Height >= 0 && r.hasHeight && !r.heightKnown;
  if (c == "QJD") return r.angleCell;
  if (c == "VJD") return s.type != 2 && (s.type != 1 || rigOrBack) && r.angleCell;
  if (c == "HJD") return rigOrBack && r.angleCell;
  if (c == "FW") return s.plane && (s.type != 0 || rigOrBack || s.tableCode == traverse::kTablePlane) && bothPlane;
  if (c == "MFW") return planeSigma && bothPlane && !(r.planeKnown && r.nextPlaneKnown);
  if (c == "QBCH") return r.distanceCell;
  if (c == "VBCH") return s.type != 2 && rigOrBack && r.distanceCell;
  if (c == "HBCH") return rigOrBack && r.distanceCell;
  if (c == "MBCH" || c == "FBCH") return r.distanceCell && planeSigma;
  if (c == "DX" || c == "QDX" || c == "DY" || c == "QDY") return !s.rigorous && r.distanceCell;
  if (c == "HDX" || c == "VDX" || c == "HDY" || c == "VDY")
    return s.type != 2 && !s.rigorous && !s.backComputed && r.distanceCell;
  if (c == "GJ" || c == "GCZH") return r.weightCell;
  if (c == "QGCH") return r.dhCell;
  if (c == "VGCH" || c == "HGCH") return s.type != 2 && r.dhCell;
  if (c == "MDJ") return planeSigma && bothPlane && !(r.planeKnown && r.nextPlaneKnown);
  return false;  // DJMG and unknown codes
}

ValueFormat FormatForCode(std::string_view c) {
  if (c == "DM" || c == "ZDM" || c == "BZH" || c == "GJ" || c == "GCZH" || c == "QGCH") return ValueFormat::Text;
  if (c == "X" || c == "Y") return ValueFormat::Coordinate;
  if (c == "H") return ValueFormat::Height;
  if (c == "MX" || c == "MY" || c == "M" || c == "MA" || c == "MB" || c == "MH" || c == "VJD" || c == "MFW" ||
      c == "VBCH" || c == "MBCH" || c == "MDJ")
    return ValueFormat::Two;
  if (c == "MF") return ValueFormat::AngleDM;
  if (c == "QJD" || c == "HJD" || c == "FW") return ValueFormat::Angle;
  if (c == "QBCH" || c == "HBCH") return ValueFormat::Distance;
  if (c == "FBCH") return ValueFormat::Relative;
  if (c == "DX" || c == "QDX" || c == "HDX" || c == "DY" || c == "QDY" || c == "HDY") return ValueFormat::SignedCoord;
  if (c == "VDX" || c == "VDY" || c == "VGCH") return ValueFormat::SignedTwo;
  if (c == "HGCH") return ValueFormat::SignedDh;
  return ValueFormat::None;
}

std::string RelativeErrorText(double side, double rmsMm) {
  if (!(rmsMm >= 1e-8) || !std::isfinite(side)) return "";
  const double r = side * 1000.0 / rmsMm;
  char buf[64];
  if (r >= 100000.0) {
    const double n = std::floor(r / 10000.0 + 0.5);
    if (n > 2e9) return "";
    std::snprintf(buf, sizeof buf, "1/%3d万", static_cast<int>(n));
  } else {
    std::snprintf(buf, sizeof buf, "1/%5d", static_cast<int>(std::floor(r + 0.5)));
  }
  return buf;
}

std::string PadGbk(std::string text, int width) {
  int w = platform::GbkWidth(text);
  if (w < width) text.append(static_cast<std::size_t>(width - w), ' ');
  return text;
}

}  // namespace traverse
