// CDxView: the table switcher and the result tables built from column codes,
// the levelling record and the coordinate-traverse table.
#include <algorithm>
#include <cmath>

#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "survey/format.h"
#include "traverse/codes.h"
#include "traverse/view/dx_columns.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

namespace {

using traverse::PadGbk;

std::string Fixed(double v, int d) { return survey::FormatNumber(v, std::max(0, d)); }

// The remark's value after "测角中误差 = ": the a-posteriori angle RMS of the
// adjustment (σ0 times the prior, or the angle group's own estimate with Helmert).
std::string AngleRmsText(const CDxView& v) { return Fixed(v.m_dAngleRmsPosterior, 2) + "\""; }

}  // namespace

void CDxView::SetColumnByCode(int col, const std::string& code) {
  SetColumnCode(col, code);
  SetColumnHeader(col, "", "", 0, 4);
  const traverse::ColumnCodeInfo* info = traverse::FindColumnCode(code);
  if (!info) {
    platform::Messages().ShowMessage("指定的数据类型不存在!");
    return;
  }
  const traverse::ColumnHeader h = traverse::HeaderForCode(*info, m_nTraverseType, m_nDistUnit);
  SetColumnHeader(col, h.line1, h.line2, h.span, h.width);
}

namespace {

// Lays out a code-driven table: DM first, then the codes; a column without a code
// ("") keeps an empty header for the caller to set.
void LayCodes(CDxView& v, const std::string& title, const std::vector<std::string>& codes,
              const std::vector<std::string>& staggered) {
  const int rows = static_cast<int>(v.m_arrUnit.size());
  v.NewTable(rows, static_cast<int>(codes.size()), title, false);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const int col = static_cast<int>(i) + 1;
    if (codes[i].empty()) continue;
    v.SetColumnByCode(col, codes[i]);
    for (const std::string& s : staggered)
      if (s == codes[i]) v.SetColumnStagger(col, true);
  }
}

bool IsClosedLoop(const CDxView& v) {
  const auto& u = v.m_arrUnit;
  return u.size() >= 3 && !u[2].name.empty() && u.back().name == u[2].name;
}

// Remark of the plane computation table of closed/connecting (type 0) and
// no-orientation (type 1) traverses.
void SetPlaneRemark(CDxView& v) {
  const int type = v.m_nTraverseType;
  const bool before = v.m_bClosureBeforeAngleCorrection != 0;
  const std::string p = type == 0 && !before ? "fβ" : "Wa";
  const int w = type == 0 ? 20 : 25;
  const bool wCase = type == 1 || before;
  std::string line1, line2;
  if (type == 0) line1 = PadGbk(p + " = " + Fixed(v.m_dFBeta, 2) + "\"   ", 20);
  if (wCase)
    line1 += PadGbk("Wx = " + Fixed(v.m_dWx, 2) + "mm   ", w) + PadGbk("Wy = " + Fixed(v.m_dWy, 2) + "mm   ", w) +
             "Ws = " + Fixed(v.m_dWs, 2) + "mm";
  else
    line1 += PadGbk("fx = " + Fixed(v.m_dFx, 2) + "mm   ", w) + PadGbk("fy = " + Fixed(v.m_dFy, 2) + "mm   ", w) +
             "fs = " + Fixed(v.m_dFs, 2) + "mm";
  if (type == 0) {
    int n = v.m_nAngleCount - (IsClosedLoop(v) ? 1 : 0);
    if (n < 0) n = 0;
    line2 = PadGbk(p + "允 = " + Fixed(v.m_dAzClosureCoef * std::sqrt(static_cast<double>(n)), 2) + "\"   ", 20);
  }
  line2 += PadGbk("ΣD = " + Fixed(v.m_dSumD, 3) + "m   ", w);
  const int den = wCase ? v.m_nRelClosureT : v.m_nRelClosureK;
  line2 += (wCase ? "1/T = 1/" : "1/K = 1/") + CDxView::RelClosureText(den);
  line2 += den > v.m_nRelClosureLimit ? " < " : den == v.m_nRelClosureLimit ? " = " : " > ";
  line2 += "1/" + std::to_string(v.m_nRelClosureLimit);
  v.SetSignatureTexts(2, "备注", line1, line2);
}

// Remark of the height computation table of types 0 and 1.
void SetHeightRemark(CDxView& v) {
  const double s = v.m_dSumWeight, k = v.m_dHeightClosureCoef;
  const std::string wh = "Wh = " + Fixed(v.m_dWh, 2) + "mm       ";
  std::string line1;
  double limit = 0;
  if (v.m_nLevelWeight == 1) {
    line1 = wh + "总测站数 = " + Fixed(s, 0);
    limit = std::sqrt(std::max(s, 0.0)) * k;
  } else if (v.m_nDistUnit == 1) {
    line1 = wh + "ΣD = " + Fixed(s, 3) + "km";
    limit = std::sqrt(std::max(s, 0.0)) * k;
  } else {
    line1 = wh + "ΣD = " + Fixed(s, 1) + "m";
    limit = std::sqrt(std::max(s, 0.0) / 1000.0) * k;
  }
  v.SetSignatureTexts(2, "备注", line1, "Wh允 = " + survey::FormatNumber(limit, 2) + "mm");
}

// Remark of the precision table; a σ below 0 (no redundancy, or no rigorous
// adjustment) has no figure to print.
void SetPrecisionRemark(CDxView& v) {
  std::string text;
  if (v.m_bPlane && v.m_bRigorous && v.m_dSigma0Plane >= 0)
    text = "平面：测角中误差 = " + AngleRmsText(v) + "      ";
  if (v.m_bHeight && v.m_dSigma0Height >= 0) {
    const double sigma = v.m_dSigma0Height;
    if (v.m_nLevelWeight == 1) {
      text += "  高程：单位权中误差(每测站) = " + survey::FormatNumber(sigma, 2) + "mm";
    } else {
      double per = sigma;
      if (v.m_nDistUnit != 1) per = v.m_nHeightRouteType == 1 ? sigma * 1000.0 : std::sqrt(1000.0) * sigma;
      text += "  高程：单位权中误差(每公里) = " + survey::FormatNumber(per, 2) + "mm";
    }
  }
  if (!text.empty()) v.SetSignatureTexts(1, "备注", text, "");
}

// The error-search table: angle and side figures (percent) of each station and leg.
// Only the figures the search computes are shown: the angles of rows 2 to n-1
// (without a closed loop's connection angle) and the legs of rows 2 to n-2.
void ShowErrorSearchTable(CDxView& v) {
  const int rows = static_cast<int>(v.m_arrUnit.size());
  v.NewTable(rows, 3, "平面查错", false);
  v.SetColumnByCode(1, "DM");
  v.SetColumnHeader(2, "角度", "( % )", 1, 15);
  v.SetColumnHeader(3, "边长", "( % )", 1, 15);
  v.SetColumnStagger(3, true);
  v.SetSignatureTexts(1, "备注", "用于闭附合导线有且仅有一个错误时。", "");
  const auto& seek = v.m_arrSeekErr;
  if (seek.empty()) return;
  const bool closed = IsClosedLoop(v);
  const int n = static_cast<int>(seek.size());
  for (int r = 1; r <= rows; ++r) {
    v.SetCellText(r, 1, v.m_arrUnit[static_cast<std::size_t>(r - 1)].name);
    const int k = r - 1;  // element of the search copy
    if (k >= n) continue;
    const CDxView::CUnit& e = seek[static_cast<std::size_t>(k)];
    if (r >= 2 && r < rows && k <= n - 2 && !(closed && k == 1) && std::isfinite(e.angle))
      v.SetCellDouble(r, 2, e.angle, 1, false);
    if (k >= 1 && r < rows - 1 && k <= n - 3 && std::isfinite(e.distance))
      v.SetCellDouble(r, 3, e.distance, 1, false);
  }
}

// One cell of a code-driven table.
void FillCell(CDxView& v, int r, int c, const std::string& code, const traverse::FillScheme& s) {
  const auto& units = v.m_arrUnit;
  const int rows = static_cast<int>(units.size());
  const CDxView::CUnit& u = units[static_cast<std::size_t>(r - 1)];
  const bool last = r >= rows;
  const CDxView::CUnit* next = last ? nullptr : &units[static_cast<std::size_t>(r)];
  traverse::FillRow fr;
  fr.last = last;
  fr.hasPlane = u.planeIndex >= 0;
  fr.planeKnown = u.knownPlane != 0;
  fr.nextHasPlane = next && next->planeIndex >= 0;
  fr.nextPlaneKnown = next && next->knownPlane != 0;
  fr.hasHeight = u.heightIndex >= 0;
  fr.heightKnown = u.knownHeight != 0;
  fr.angleCell = !u.angleText.empty();
  fr.distanceCell = !u.distanceText.empty();
  fr.dhCell = !u.dhText.empty();
  fr.weightCell = !u.weightText.empty();
  if (!traverse::ColumnHasValue(code, s, fr)) return;

  const CDxView::CPd* pd = nullptr;
  if (!u.knownPlane && u.planeIndex >= 0 && u.planeIndex < static_cast<int>(v.m_arrUnknownPd.size()))
    pd = &v.m_arrUnknownPd[static_cast<std::size_t>(u.planeIndex)];
  const CDxView::CHd* hd = nullptr;
  if (!u.knownHeight && u.heightIndex >= 0 && u.heightIndex < static_cast<int>(v.m_arrUnknownHd.size()))
    hd = &v.m_arrUnknownHd[static_cast<std::size_t>(u.heightIndex)];

  using F = traverse::ValueFormat;
  std::string text;
  double value = 0;
  if (code == "DM") text = u.name;
  else if (code == "ZDM") text = next ? next->name : "";
  else if (code == "BZH") text = u.remark;
  else if (code == "GJ" || code == "GCZH") text = u.weightText;
  else if (code == "QGCH") text = u.dhText;
  else if (code == "X") value = u.x;
  else if (code == "Y") value = u.y;
  else if (code == "H") value = u.h;
  else if (code == "MX" || code == "MY" || code == "M" || code == "MA" || code == "MB" || code == "MF") {
    if (!pd) return;
    value = code == "MX" ? pd->mx : code == "MY" ? pd->my : code == "M" ? pd->m : code == "MA" ? pd->ellipseA
          : code == "MB" ? pd->ellipseB : pd->ellipseF;
  } else if (code == "MH") {
    if (!hd) return;
    value = hd->mh;
  }
  else if (code == "QJD") value = u.observedAngle;
  else if (code == "VJD") value = u.angleCorrection;
  else if (code == "HJD") value = u.angle;
  else if (code == "FW") value = u.azimuth;
  else if (code == "MFW") value = u.azimuthRms;
  else if (code == "QBCH") value = u.observedDistance;
  else if (code == "VBCH") value = u.distanceCorrection;
  else if (code == "HBCH") value = u.distance;
  else if (code == "MBCH") value = u.sideRms;
  else if (code == "DX" || code == "QDX") value = u.dx;
  else if (code == "HDX") value = u.dx + u.vx / 1000.0;
  else if (code == "VDX") value = u.vx;
  else if (code == "DY" || code == "QDY") value = u.dy;
  else if (code == "HDY") value = u.dy + u.vy / 1000.0;
  else if (code == "VDY") value = u.vy;
  else if (code == "VGCH") value = u.dhCorrection;
  else if (code == "HGCH") value = u.dh;
  else if (code == "MDJ") value = u.adjacentError;

  const F format = traverse::FormatForCode(code);
  if (format == F::Text) {
    v.SetCellText(r, c, text);
    return;
  }
  if (format == F::Relative) {
    v.SetCellText(r, c, traverse::RelativeErrorText(u.distance, u.sideRms));
    return;
  }
  if (!std::isfinite(value)) return;  // no NaN ever reaches a table
  switch (format) {
    case F::Coordinate: v.SetCellDouble(r, c, value, v.m_nCoordDecimals, false); break;
    case F::Height: v.SetCellDouble(r, c, value, v.m_nHeightDecimals, false); break;
    case F::Distance: v.SetCellDouble(r, c, value, v.m_nDistDecimals, false); break;
    case F::Two: v.SetCellDouble(r, c, value, 2, false); break;
    case F::SignedTwo: v.SetCellDouble(r, c, value, 2, true); break;
    case F::SignedCoord: v.SetCellDouble(r, c, value, v.m_nCoordDecimals, true); break;
    case F::SignedDh: v.SetCellDouble(r, c, value, v.m_nDhDecimals, true); break;
    case F::Angle: v.SetCellAngle(r, c, value, v.m_nAngleDecimals, false); break;
    case F::AngleDM: v.SetCellAngle(r, c, value, -1, false); break;
    default: break;
  }
}

void FillByCodes(CDxView& v) {
  traverse::FillScheme s;
  s.type = v.m_nTraverseType;
  s.rigorous = v.m_bRigorous != 0;
  s.backComputed = v.m_bBackCompute != 0;
  s.plane = v.m_bPlane != 0;
  s.tableCode = v.TableCode;
  s.sigma0Plane = v.m_dSigma0Plane;
  s.sigma0Height = v.m_dSigma0Height;
  const int rows = std::min(v.GetRowCount(), static_cast<int>(v.m_arrUnit.size()));
  const int cols = v.GetColCount();
  std::vector<std::string> codes(static_cast<std::size_t>(cols) + 1);
  for (int c = 1; c <= cols; ++c) codes[static_cast<std::size_t>(c)] = v.GetColumnCode(c);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c)
      if (!codes[static_cast<std::size_t>(c)].empty()) FillCell(v, r, c, codes[static_cast<std::size_t>(c)], s);
}

// The first and last rows go when they hold nothing but a name (the orientation
// rows of a traverse have no value in most tables).
void TrimEndRows(CDxView& v) {
  if (v.GetRowCount() <= 0) return;
  const int cols = v.GetColCount();
  if (v.m_nTraverseType == 0 && v.TableCode == traverse::kTableHeight) {
    v.DeleteRow(v.GetRowCount());
    if (v.GetRowCount() > 0) v.DeleteRow(1);
    return;
  }
  bool keepFirst = false;
  for (int c = 2; c <= cols - 1 && !keepFirst; ++c)
    keepFirst = v.GetColumnCode(c) != "ZDM" && !v.CellText(1, c).empty();
  if (!keepFirst) v.DeleteRow(1);
  const int n = v.GetRowCount();
  if (n <= 0) return;
  bool keepLast = false;
  for (int c = 2; c <= cols && !keepLast; ++c) {
    if (v.GetColumnCode(c) == "ZDM") continue;
    keepLast = !v.CellText(n, c).empty() || (v.GetColumnStagger(c) && n >= 2 && !v.CellText(n - 1, c).empty());
  }
  if (!keepLast) v.DeleteRow(n);
}

}  // namespace

void CDxView::ShowTable(const std::string& code) {
  CommandScope scope(*this);
  if (TableCode == traverse::kTableInput && GetRowCount() >= 1) SaveInputTable();
  if (code != TableCode) TableCode = code;

  if (table::CBarButton* b = FindButton(traverse::ID_READ_OBSERVATIONS))
    b->enabled = TableCode == traverse::kTableInput && m_nTraverseType < 4;
  NewTable(0, 0, "", false);
  if (table::CBarButton* b = FindButton(table::ID_CUSTOM))
    b->enabled = TableCode.find(traverse::kTableCustomPrefix) != std::string::npos;
  ButtonsChanged();
  if (code.empty()) return;

  m_strHint = m_arrUnit.empty() ? FirstUseHint(true) : "";
  SetReadOnly(true, true, true);
  m_bAutoAppend = false;

  const int type = m_nTraverseType;
  if (code == traverse::kTableInput) {
    m_bAutoAppend = type == 2 || type == 3 || type == 5;
    if (type <= 3)
      SetupTraverseInputTable();
    else if (type == 4)
      SetupCoordTraverseInputTable();
    else
      SetupLevellingInputTable();
    return;
  }

  if (!m_bComputed) {
    OnCompute();
    return;
  }

  const bool approxNoBack = !m_bRigorous && !m_bBackCompute;
  bool fillAndTrim = true;
  if (code == traverse::kTablePlane) {
    if (type == 4) {
      if (m_bPlane || m_bHeight) {
        ShowCoordTraverseTable();
        return;
      }
    } else if (m_bPlane) {
      if (type == 2) {
        LayCodes(*this, "支导线坐标计算表", {"DM", "QJD", "FW", "QBCH", "QDX", "QDY", "X", "Y"},
                 {"FW", "QBCH", "QDX", "QDY"});
        SetSignatureTexts(1, "备注", "ΣD = " + Fixed(m_dSumD, 3) + "m   ", "");
      } else if (!approxNoBack) {
        LayCodes(*this, m_bRigorous ? "导线严密平差计算表" : "Pelmor计算表",
                 {"DM", "QJD", "VJD", "FW", "QBCH", "VBCH", "HBCH", "X", "Y"}, {"FW", "QBCH", "VBCH", "HBCH"});
      } else {
        std::vector<std::string> codes = {"DM", "QJD"};
        if (type != 1) codes.push_back("VJD");
        codes.insert(codes.end(), {"FW", "QBCH"});
        std::vector<std::string> incr = m_bShowCorrectedIncrements ? std::vector<std::string>{"QDX", "QDY", "HDX", "HDY"}
                                                                   : std::vector<std::string>{"DX", "VDX", "DY", "VDY"};
        codes.insert(codes.end(), incr.begin(), incr.end());
        codes.insert(codes.end(), {"X", "Y"});
        std::vector<std::string> stag = {"FW", "QBCH"};
        stag.insert(stag.end(), incr.begin(), incr.end());
        LayCodes(*this, "Pelmor计算表", codes, stag);
      }
      if (type == 0 || type == 1) {
        SetPlaneRemark(*this);
      } else if (type == 3 && m_dSigma0Plane > 0) {
        SetSignatureTexts(1, "备注", "测角中误差 = " + AngleRmsText(*this), "");
      }
    }
  } else if (code == traverse::kTableHeight) {
    if (m_bHeight) {
      if (type == 5) {
        ShowLevellingTable();
        return;
      }
      if (type == 2) {
        LayCodes(*this, "支高程路线计算表", {"DM", "QGCH", "H", ""}, {"QGCH"});
        SetColumnHeader(2, "高差观测", "值(m)", 1, 10);
        SetColumnHeader(3, "高程", "( m )", 1, 10);
        SetColumnHeader(4, "备注", "", 1, 8);
      } else if (type <= 3) {
        LayCodes(*this, m_nHeightRouteType == 1 ? "三角高程路线平差计算表" : "水准路线平差计算表",
                 {"DM", m_nLevelWeight == 1 ? "GCZH" : "GJ", "QGCH", "VGCH", "HGCH", "H", ""}, {});
        for (int c = 2; c <= 5; ++c) SetColumnStagger(c, true);
        SetColumnHeader(7, "备注", "", 1, 8);
        if (type <= 1) SetHeightRemark(*this);
      }
    }
  } else if (code == traverse::kTableControl) {
    LayCodes(*this, "控制点成果表", {"DM", "X", "Y", "H", "BZH"}, {});
  } else if (code == traverse::kTableResults) {
    LayCodes(*this, "平差计算成果表", {"DM", "X", "Y", "H", "HJD", "ZDM", "FW", "HBCH", "HGCH"}, {});
  } else if (code == traverse::kTablePrecision) {
    LayCodes(*this, "精度评定表", {"DM", "MX", "MY", "M", "MA", "MB", "MF", "MH", "MDJ", "MFW", "MBCH", "FBCH"},
             {"MDJ", "MFW", "MBCH", "FBCH"});
    if (type <= 1 || type == 3) SetPrecisionRemark(*this);
  } else if (code == traverse::kTableErrorSearch) {
    ShowErrorSearchTable(*this);
    fillAndTrim = false;
  } else if (code.rfind(traverse::kTableCustomPrefix, 0) == 0) {
    const int i = platform::ParseInt(code.substr(std::char_traits<char>::length(traverse::kTableCustomPrefix)));
    if (i < 0 || i >= static_cast<int>(m_cusTables.size())) return;
    const CCusTable& def = m_cusTables[static_cast<std::size_t>(i)];
    if (def.codes.empty()) {
      OnCustomTable();
      if (m_pViewPorts) m_pViewPorts->ClearTreeSelection();
      return;
    }
    std::vector<std::string> codes = {"DM"};
    std::vector<bool> low(1, false);
    for (const std::string& c : def.codes) {
      bool l = false;
      codes.push_back(traverse::StripLowSuffix(c, &l));
      low.push_back(l);
    }
    LayCodes(*this, def.name, codes, {});
    for (std::size_t i = 1; i < low.size(); ++i)
      if (low[i]) SetColumnStagger(static_cast<int>(i) + 1, true);
  }

  if (fillAndTrim) {
    FillByCodes(*this);
    TrimEndRows(*this);
  }
  const int rows = GetRowCount(), cols = GetColCount();
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) SetCellLocked(r, c, true);
  RecalcLayout();
}
