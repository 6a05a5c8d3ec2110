// CDxView: the two computation tables with a layout of their own, the levelling
// record book (type 5) and the coordinate traverse (type 4).
#include <algorithm>
#include <cmath>

#include "platform/gbk.h"
#include "platform/number.h"
#include "survey/format.h"
#include "traverse/view/dx_columns.h"
#include "traverse/view/dx_view.h"

namespace {

std::string Fixed(double v, int d) { return survey::FormatNumber(v, std::max(0, d)); }
double Num(const std::string& t) { return platform::ParseDouble(t); }

}  // namespace

// The heights themselves come from ComputeLevelling, which also reports a
// section that does not close on its known point; the table only shows how
// they follow from the readings.
void CDxView::ShowLevellingTable() {
  const int rows = static_cast<int>(m_arrUnit.size());
  NewTable(rows, 8, "水准测量记录计算表", true);
  if (rows <= 0) return;
  const bool mid = m_bIntermediate != 0;
  SetColumnHeader(1, "点名", "", 0, 4);
  SetColumnHeader(8, "备注", "", 0, 8);
  if (mid) {
    SetColumnHeader(2, "水准尺读数", "后视(m)", 3, 4);
    SetColumnHeader(3, "", "中视(m)", 0, 4);
    SetColumnHeader(4, "", "前视(m)", 0, 4);
    SetColumnHeader(5, "视线高", "( m )", 0, 4);
    SetColumnHeader(6, "计算高程", "( m )", 0, 4);
    SetColumnHeader(7, "调整高程", "( m )", 0, 4);
  } else {
    SetColumnHeader(2, "水准尺读数", "后视(m)", 2, 4);
    SetColumnHeader(3, "", "前视(m)", 0, 4);
    SetColumnHeader(4, "高差", "(m)", 0, 4);
    SetColumnHeader(5, "高差改正", "数(mm)", 0, 4);
    SetColumnHeader(6, "高差平差", "值(m)", 0, 4);
    SetColumnHeader(7, "高程", "( m )", 0, 4);
    for (int c = 4; c <= 6; ++c) SetColumnStagger(c, true);
  }
  for (int r = 1; r <= rows; ++r) {
    const CUnit& u = m_arrUnit[static_cast<std::size_t>(r - 1)];
    SetCellText(r, 1, u.name);
    SetCellText(r, 8, u.remark);
    SetCellText(r, 2, u.backsightText);
    if (mid) {
      SetCellText(r, 3, u.intermediateText);
      SetCellText(r, 4, u.foresightText);
    } else {
      SetCellText(r, 3, u.foresightText);
    }
  }

  auto unit = [&](int i) -> const CUnit& { return m_arrUnit[static_cast<std::size_t>(i)]; };
  bool firstSection = true;
  for (const CDmShzhD& sec : m_arrDmShzhD) {
    const int s = sec.startRow, e = std::min(sec.endRow, rows - 1);
    if (s < 0 || s >= rows) continue;
    const double c = sec.stations > 0 ? sec.correctionPerStation : 0.0;
    if (!mid) {
      SetCellDouble(s + 1, 7, unit(s).h, m_nHeightDecimals, false);
      for (int j = s + 1; j <= e; ++j) {
        double dh = Num(unit(j - 1).backsightText) - Num(unit(j).foresightText);
        SetCellDouble(j, 4, dh, m_nDhDecimals, true);
        if (sec.stations > 0) {
          SetCellDouble(j, 5, c * 1000.0, 2, true);
          SetCellDouble(j, 6, dh + c, m_nDhDecimals, true);
        }
        SetCellDouble(j + 1, 7, unit(j).h, m_nHeightDecimals, false);
      }
    } else {
      const double h0 = unit(s).h;
      double sight = h0 + Num(unit(s).backsightText);
      SetCellDouble(s + 1, 5, sight, m_nHeightDecimals, false);
      if (firstSection) SetCellDouble(s + 1, 6, h0, m_nHeightDecimals, false);
      SetCellDouble(s + 1, 7, h0, m_nHeightDecimals, false);
      for (int j = s + 1; j <= e; ++j) {
        const CUnit& u = unit(j);
        double h = 0;
        if (!u.intermediateText.empty()) {
          h = sight - Num(u.intermediateText);
        } else if (!u.foresightText.empty()) {
          h = sight - Num(u.foresightText);
        } else {
          continue;
        }
        SetCellDouble(j + 1, 6, h, m_nHeightDecimals, false);
        SetCellDouble(j + 1, 7, u.h, m_nHeightDecimals, false);
        if (u.intermediateText.empty() && !u.backsightText.empty()) {
          sight = h + Num(u.backsightText);
          SetCellDouble(j + 1, 5, sight, m_nHeightDecimals, false);
        }
      }
    }
    firstSection = false;
  }

  // Closures: the first half of the sections on line 1, the rest on line 2
  // unless line 1 still has room.
  std::string line1, line2;
  const int count = static_cast<int>(m_arrDmShzhD.size());
  for (int i = 0; i < count; ++i) {
    const CDmShzhD& sec = m_arrDmShzhD[static_cast<std::size_t>(i)];
    if (sec.stations < 1) continue;
    std::string text;
    if (count == 1) {
      text = "Wh = " + Fixed(sec.closure * 1000.0, 2) + "mm";
    } else {
      auto name = [&](int row) { return row >= 0 && row < rows ? unit(row).name : std::string(); };
      text = "W(" + name(sec.startRow) + "-" + name(sec.endRow) + ") = " + Fixed(sec.closure * 1000.0, 2) + "mm";
    }
    text += "  ";
    if (i < (count + 1) / 2 || platform::GbkWidth(line1 + text) < 56)
      line1 += text;
    else
      line2 += text;
  }
  if (!line2.empty())
    SetSignatureTexts(2, "备注", line1, line2);
  else if (!line1.empty())
    SetSignatureTexts(1, "备注", line1, "");
}

void CDxView::ShowCoordTraverseTable() {
  const int b = m_nClosureDistribution == 1 ? 1 : 0;
  const int rows = static_cast<int>(m_arrUnit.size());
  NewTable(rows, 11 + b, "坐标Pelmor计算表", false);
  if (rows <= 0) return;
  SetColumnHeader(1, "点名", "", 0, 4);
  SetColumnHeader(2, "坐标观测值", "X( m )", 3, 4);
  SetColumnHeader(3, "", "Y( m )", 0, 4);
  SetColumnHeader(4, "", "H( m )", 0, 4);
  if (b) {
    SetColumnHeader(5, "边长", "( m )", 0, 4);
    SetColumnStagger(5, true);
  }
  SetColumnHeader(5 + b, "改正数", "Vx(mm)", 3, 4);
  SetColumnHeader(6 + b, "", "Vy(mm)", 0, 4);
  SetColumnHeader(7 + b, "", "Vh(mm)", 0, 4);
  SetColumnHeader(8 + b, "坐标平差值", "X( m )", 3, 4);
  SetColumnHeader(9 + b, "", "Y( m )", 0, 4);
  SetColumnHeader(10 + b, "", "H( m )", 0, 4);
  SetColumnHeader(11 + b, "备注", "", 0, 4);

  const bool plane = m_bPlane != 0, height = m_bHeight != 0;
  for (int r = 1; r <= rows; ++r) {
    const CUnit& u = m_arrUnit[static_cast<std::size_t>(r - 1)];
    SetCellText(r, 1, u.name);
    if (plane) {
      SetCellText(r, 2, u.obsXText);
      SetCellText(r, 3, u.obsYText);
      if (b) SetCellText(r, 5, u.distanceText.empty() ? u.weightText : u.distanceText);
      if (r > 1) {
        SetCellDouble(r, 5 + b, (u.x - Num(u.obsXText)) * 1000.0, 2, false);
        SetCellDouble(r, 6 + b, (u.y - Num(u.obsYText)) * 1000.0, 2, false);
      }
      SetCellDouble(r, 8 + b, u.x, m_nCoordDecimals, false);
      SetCellDouble(r, 9 + b, u.y, m_nCoordDecimals, false);
    }
    if (height) {
      SetCellText(r, 4, u.obsHText);
      if (!plane && b) SetCellText(r, 5, u.weightText);
      if (r > 1) SetCellDouble(r, 7 + b, (u.h - Num(u.obsHText)) * 1000.0, 2, false);
      SetCellDouble(r, 10 + b, u.h, m_nHeightDecimals, false);
    }
    SetCellText(r, 11 + b, u.remark);
  }

  using traverse::PadGbk;
  std::string line1, line2;
  if (plane)
    line1 = PadGbk("Wx = " + Fixed(m_dWx, 2) + "mm       ", 25) + PadGbk("Wy = " + Fixed(m_dWy, 2) + "mm", 25) +
            "Ws = " + Fixed(m_dWs, 2) + "mm";
  else
    line1 = PadGbk("Wx =            ", 25) + PadGbk("Wy =            ", 25) + "Ws = ";
  line2 = height ? PadGbk("Wh = " + Fixed(m_dWh, 2) + "mm       ", 25) : PadGbk("Wh =            ", 25);
  line2 += PadGbk("ΣD = " + Fixed(plane ? m_dSumD : m_dSumWeight, m_nDistDecimals) + "m     ", 25);
  line2 += plane ? "1/T = 1/" + RelClosureText(m_nRelClosureT) : "1/T = ";
  SetSignatureTexts(2, "备注", line1, line2);
}
