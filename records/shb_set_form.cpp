#include "records/shb_set_form.h"

#include <cmath>

#include "records/dx_shb.h"

namespace records {

const char* const CShbSetForm::kDistanceTypes[3] = {"直接输入", "斜距与垂直角", "视距与垂直角"};
const char* const CShbSetForm::kLevellingModes[3] = {"黑红双面", "单面", "精密水准"};
const char* const CShbSetForm::kLinesAbove[4] = {"0行", "1行", "2行", "3行"};
const char* const CShbSetForm::kLinesBelow[2] = {"0行", "1行"};

bool CShbSetForm::Enabled(int id) const {
  const std::string& key = values.m_strTableKey;
  const int level = values.m_nLevellingModeSel;
  if (key == "DX") {
    switch (id) {
      case kCtlLevellingMode: case kCtlStaffConstant: case kCtlDoubledReadings: case kCtlOmitDecimalPoint: return false;
      case kCtlEdmConstant: case kCtlEdmScale: return values.m_nDistanceTypeSel < 2;
      default: return true;
    }
  }
  // The refraction and the vertical-angle rule belong to the traverse book only; the
  // EDM constants too.
  if (id == kCtlRefraction || id == kCtlVerticalFrom90 || id == kCtlEdmConstant || id == kCtlEdmScale) return false;
  if (key == "SHPJ") {
    switch (id) {
      case kCtlDistanceType: case kCtlLevellingMode: case kCtlStaffConstant: case kCtlDoubledReadings:
      case kCtlOmitDecimalPoint: return false;
      default: return true;
    }
  }
  if (key == "SHZH") {
    switch (id) {
      case kCtlSets: case kCtlDistanceType: return false;
      case kCtlStaffConstant: case kCtlDoubledReadings: return level == 2;
      case kCtlOmitDecimalPoint: return level != 1;
      default: return true;
    }
  }
  switch (id) {
    case kCtlDistanceType: case kCtlLevellingMode: case kCtlStaffConstant: case kCtlDoubledReadings: case kCtlSets:
    case kCtlRows: case kCtlOmitDecimalPoint: return false;
    default: return true;
  }
}

namespace {

std::string IntRange(int v, int lo, int hi) {
  if (v >= lo && v <= hi) return "";
  return "请输入一个介于 " + std::to_string(lo) + " 和 " + std::to_string(hi) + " 之间的整数。";
}

std::string Num(double v) {
  std::string s = std::to_string(v);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string DblRange(double v, double lo, double hi) {
  if (std::isfinite(v) && v >= lo && v <= hi) return "";
  return "请输入一个介于 " + Num(lo) + " 和 " + Num(hi) + " 之间的数。";
}

}  // namespace

std::string CShbSetForm::Validate() const {
  const CShbSetValues& v = values;
  // Only what the user can change is checked: a disabled field holds the book's own
  // value, which OK leaves as it is.
  const struct {
    int control;
    std::string why;
  } checks[] = {
      {kCtlFontHeight, IntRange(v.m_nFontHeight, 8, 30)},
      {kCtlPrintHeight, DblRange(v.m_dPrintHeightMm, 1, 10)},
      {kCtlAngleDecimals, IntRange(v.m_nAngleDecimals, 0, 2)},
      {kCtlDistDecimals, IntRange(v.m_nDistDecimals, 0, 6)},
      {kCtlSets, IntRange(v.m_nSetsEdit, 1, 16)},
      {kCtlHeightDecimals, IntRange(v.m_nHeightDecimals, 0, 6)},
      {kCtlRows, IntRange(v.m_nRowsEdit, 12, 200)},
      {kCtlWordFont, DblRange(v.m_fWordFontSize, 6, 30)},
      {kCtlRefraction, DblRange(v.m_dRefractionEdit, kRefractionMin, kRefractionMax)},
  };
  for (const auto& c : checks)
    if (!c.why.empty() && Enabled(c.control)) return c.why;
  // A page must hold at least one station, or every page of the book is cut to nothing.
  if ((v.m_strTableKey == "DX" || v.m_strTableKey == "SHPJ") && v.m_nRowsEdit < 2 * v.m_nSetsEdit)
    return "表格行数(" + std::to_string(v.m_nRowsEdit) + ")不能小于测回数(" + std::to_string(v.m_nSetsEdit) +
           ")的2倍，\n否则每页容不下一个测站！";
  return "";
}

}  // namespace records
