#include "table/table_set_form.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "platform/number.h"
#include "table/table_view.h"

namespace table {

const std::array<TableSetEdit, 14> CTableSetForm::kEdits = {{
    {kSetFontHeight, "显示高度", 9, 30, true, false},
    {kSetPrintHeight, "打印字高(mm)", 1, 10, false, false},
    {kSetAngleDecimals, "角度(″)", 0, 2, true, false},
    {kSetDistDecimals, "距离(m)", 0, 6, true, false},
    {kSetDhDecimals, "高差(m)", 0, 6, true, false},
    {kSetHeightDecimals, "高程(m)", 0, 6, true, false},
    {kSetCoordDecimals, "坐标(m)", 0, 6, true, false},
    {kSetChainageDecimals, "桩号(m)", 0, 4, true, true},
    {kSetGradeDecimals, "坡度(%)", 0, 6, true, true},
    {kSetLatLonDecimals, "经纬度(″)", 0, 5, true, false},
    {kSetMarginTop, "上：", 0, 50, true, false},
    {kSetMarginBottom, "下：", 0, 50, true, false},
    {kSetMarginLeft, "左：", 0, 50, true, false},
    {kSetMarginRight, "右：", 0, 50, true, false},
}};

const char* const CTableSetForm::kLinesAbove[4] = {"0行", "1行", "2行", "3行"};
const char* const CTableSetForm::kLinesBelow[2] = {"0行", "1行"};
const char* const CTableSetForm::kAngleUnits[3] = {"度分秒", "度", "弧度"};

std::string EditNumberText(double v) {
  std::string s = platform::FormatFixed(v, 6);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string ReadEditNumber(const std::string& text, bool integer, double* value) {
  const auto b = text.find_first_not_of(" \t");
  const std::string t = b == std::string::npos ? "" : text.substr(b, text.find_last_not_of(" \t") - b + 1);
  if (!integer) {
    if (!platform::IsNumber(t)) return "请输入一个数。";
    *value = platform::ParseDouble(t);
    return "";
  }
  int v = 0;
  const char* first = t.data();
  if (!t.empty() && t[0] == '+') ++first;
  const char* last = t.data() + t.size();
  const auto [end, ec] = std::from_chars(first, last, v);
  if (t.empty() || ec != std::errc() || end != last) return "请输入一个整数。";
  *value = v;
  return "";
}

std::string RangeMessage(double lo, double hi, bool integer) {
  return "请输入一个介于 " + EditNumberText(lo) + " 和 " + EditNumberText(hi) + " 之间的" + (integer ? "整数。" : "数。");
}

const TableSetEdit* CTableSetForm::FindEdit(int id) {
  for (const TableSetEdit& e : kEdits)
    if (e.id == id) return &e;
  return nullptr;
}

const int* CTableSetForm::IntMember(int id) const {
  switch (id) {
    case kSetFontHeight: return &fontHeight;
    case kSetAngleDecimals: return &angleDecimals;
    case kSetDistDecimals: return &distDecimals;
    case kSetDhDecimals: return &dhDecimals;
    case kSetHeightDecimals: return &heightDecimals;
    case kSetCoordDecimals: return &coordDecimals;
    case kSetChainageDecimals: return &chainageDecimals;
    case kSetGradeDecimals: return &gradeDecimals;
    case kSetLatLonDecimals: return &latLonDecimals;
    case kSetMarginTop: return &marginTop;
    case kSetMarginBottom: return &marginBottom;
    case kSetMarginLeft: return &marginLeft;
    case kSetMarginRight: return &marginRight;
    default: return nullptr;
  }
}

int* CTableSetForm::IntMember(int id) { return const_cast<int*>(std::as_const(*this).IntMember(id)); }

std::string CTableSetForm::Text(int id) const {
  if (id == kSetPrintHeight) return EditNumberText(printHeight);
  const int* m = IntMember(id);
  return m ? std::to_string(*m) : std::string();
}

std::string CTableSetForm::SetText(int id, const std::string& text) {
  double v = 0;
  if (id == kSetPrintHeight) {
    std::string why = ReadEditNumber(text, false, &v);
    if (why.empty()) printHeight = v;
    return why;
  }
  int* m = IntMember(id);
  if (!m) return "";
  std::string why = ReadEditNumber(text, true, &v);
  if (why.empty()) *m = static_cast<int>(v);
  return why;
}

std::string CTableSetForm::Validate(int* failedId) const {
  for (const TableSetEdit& e : kEdits) {
    if (e.hidden) continue;
    const double v = e.id == kSetPrintHeight ? printHeight : *IntMember(e.id);
    if (std::isfinite(v) && v >= e.lo && v <= e.hi) continue;
    if (failedId) *failedId = e.id;
    return RangeMessage(e.lo, e.hi, e.integer);
  }
  if (failedId) *failedId = 0;
  return "";
}

CTableSetForm CTableSetForm::FromView(const CTableView& v) {
  CTableSetForm f;
  f.fontHeight = v.GetFontHeight();
  f.printHeight = v.GetPrintHeight();
  f.linesAbove = v.m_nLinesAbove;
  f.lineBelow = v.m_nLineBelow;
  f.angleDecimals = v.m_nAngleDecimals;
  f.distDecimals = v.m_nDistDecimals;
  f.dhDecimals = v.m_nDhDecimals;
  f.heightDecimals = v.m_nHeightDecimals;
  f.coordDecimals = v.m_nCoordDecimals;
  f.chainageDecimals = v.m_nChainageDecimals;
  f.gradeDecimals = v.m_nGradeDecimals;
  f.latLonDecimals = v.m_nLatLonDecimals;
  f.angleUnit = v.m_nAngleUnit;
  f.padRows = v.m_bPadRows;
  f.fitWidth = v.m_bFitWidth;
  f.marginTop = v.m_nMarginTop;
  f.marginBottom = v.m_nMarginBottom;
  f.marginLeft = v.m_nMarginLeft;
  f.marginRight = v.m_nMarginRight;
  return f;
}

CTableSetForm CTableSetForm::Defaults(int fontHeight) {
  CTableSetForm f;
  f.fontHeight = fontHeight;
  f.printHeight = 3.0;
  f.linesAbove = 1;
  f.lineBelow = 1;
  f.angleDecimals = 1;
  f.distDecimals = f.dhDecimals = f.heightDecimals = f.coordDecimals = 3;
  f.chainageDecimals = f.gradeDecimals = 3;
  f.latLonDecimals = 4;
  f.angleUnit = 0;
  f.padRows = false;
  f.fitWidth = true;
  f.marginTop = f.marginBottom = f.marginLeft = f.marginRight = 20;
  return f;
}

void CTableSetForm::ApplyTo(CTableView& v) const {
  v.m_nLinesAbove = linesAbove;
  v.m_nLineBelow = lineBelow;
  v.m_nAngleDecimals = angleDecimals;
  v.m_nDistDecimals = distDecimals;
  v.m_nDhDecimals = dhDecimals;
  v.m_nHeightDecimals = heightDecimals;
  v.m_nCoordDecimals = coordDecimals;
  v.m_nChainageDecimals = chainageDecimals;
  v.m_nGradeDecimals = gradeDecimals;
  v.m_nLatLonDecimals = latLonDecimals;
  v.m_nAngleUnit = angleUnit;
  v.m_bPadRows = padRows;
  v.m_bFitWidth = fitWidth;
  v.m_nMarginTop = marginTop;
  v.m_nMarginBottom = marginBottom;
  v.m_nMarginLeft = marginLeft;
  v.m_nMarginRight = marginRight;
  v.SetFont(fontHeight, printHeight);
}

}  // namespace table
