#include "records/dx_shb.h"

#include <array>
#include <cmath>

#include "platform/ports.h"
#include "records/angle_mean.h"
#include "records/shb_grid.h"
#include "records/shb_read.h"
#include "records/shb_text.h"
#include "survey/angle.h"
#include "survey/geometry.h"
#include "table/table_view.h"

namespace {

using records::Fixed;

constexpr double kTwoPi = 6.28318530717958;
constexpr double kHalfPi = 1.5707963267949;
constexpr double kThreeHalfPi = 4.71238898038469;
constexpr double kRho = 206264.806247096;

constexpr int kAngle = 5, kDecimal = 3, kSignedDecimal = 4;

}  // namespace

int CDxShb::RowsPerPage() { return records::SetRowsPerPage(m_nSets, m_nTableRows, m_bSetsRepaired); }

bool CDxShb::AddPage() {
  records::AppendPage(m_arrPages, RowsPerPage());
  return true;
}

void CDxShb::Reset() {
  m_nSets = 2;
  m_nDistanceType = kDistanceDirect;
  m_nLinesAbove = 2;
  m_nLinesBelow = 0;
  m_strTitle = kTitle;
  m_dRefraction = 0.14;
  m_bVerticalFrom90 = 1;
  m_nTableRows = 40;
  m_dPrintHeight = 3.0;
  m_dEdmConstant = 0;
  m_dEdmScale = 0;
  m_arrPages.clear();
  AddPage();
  m_bComputed = 0;
}

int CDxShb::GridColumns() const { return m_nDistanceType == kDistanceDirect ? 11 : 14; }

int CDxShb::CellOfColumn(int col) const {
  if (col < 1) return -1;
  if (m_nDistanceType == kDistanceDirect) {
    if (col <= 6) return col - 1;
    return col <= 11 ? col + 3 : -1;
  }
  if (col <= 12) return col - 1;
  return col <= 14 ? col : -1;
}

int CDxShb::BlockPosition(int row) const { return records::BlockPos(row, 2 * (m_nSets < 1 ? 2 : m_nSets)); }

bool CDxShb::SetupGrid(CTableView& g, int page, bool newTable) {
  const int rows = RowsPerPage();
  const int cols = GridColumns();
  if (!g.NewTable(rows, cols, m_strTitle, newTable)) return false;
  g.SetReadOnly(false, false, false);
  const bool direct = m_nDistanceType == kDistanceDirect;
  g.SetColumnHeader(1, "测站名", "仪高", 1, 4);
  g.SetColumnTip(1, "测站名必须输入，否则会忽略该站的计算而不作提示");
  g.SetColumnHeader(2, "照准点", "", 1, 4);
  g.SetColumnHeader(3, "水平角(°' \")", "盘左读数", 4, 4);
  g.SetColumnInputType(3, kAngle);
  g.SetColumnHeader(4, "", "盘右读数", 1, 4);
  g.SetColumnInputType(4, kAngle);
  g.SetColumnHeader(5, "", "2C(\")", 1, 4);
  g.SetColumnHeader(6, "", "角值", 1, 4);
  if (direct) {
    g.SetColumnHeader(7, "距离( m )", "平距", 2, 4);
    g.SetColumnInputType(7, kDecimal);
    g.SetColumnTip(7, "可在项目设置中更改为斜距或视距");
    g.SetColumnHeader(8, "", "平均距离", 1, 4);
    g.SetColumnHeader(9, "高差( m )", "观测高差", 3, 4);
    g.SetColumnInputType(9, kSignedDecimal);
    g.SetColumnTip(9, "可在项目设置中更改为按垂直角计算");
    g.SetColumnHeader(10, "", "目标高", 1, 4);
    g.SetColumnInputType(10, kSignedDecimal);
    g.SetColumnHeader(11, "", "平均高差", 1, 4);
  } else {
    g.SetColumnHeader(7, "垂直角(°' \")", "盘左读数", 4, 4);
    g.SetColumnInputType(7, kAngle);
    g.SetColumnHeader(8, "", "盘右读数", 1, 4);
    g.SetColumnInputType(8, kAngle);
    g.SetColumnHeader(9, "", "i(\")", 1, 4);
    g.SetColumnHeader(10, "", "角值", 1, 4);
    g.SetColumnHeader(11, "距离( m )", m_nDistanceType == kDistanceSlope ? "斜距" : "视距", 2, 4);
    g.SetColumnInputType(11, kDecimal);
    g.SetColumnTip(11, "可在项目设置中更改距离类型");
    g.SetColumnHeader(12, "", "平均距离", 1, 4);
    g.SetColumnHeader(13, "高差( m )", "目标高", 2, 4);
    g.SetColumnInputType(13, kSignedDecimal);
    g.SetColumnHeader(14, "", "平均高差", 1, 4);
  }
  g.m_nLinesAbove = m_nLinesAbove;
  g.m_nLineBelow = m_nLinesBelow;

  records::LockAll(g, true);
  for (int r = 1; r <= rows; ++r) {
    const int p = BlockPosition(r);
    const bool firstTwo = p == 1 || p == 2;
    if (firstTwo) {
      g.SetCellLocked(r, 1, false);
      g.SetCellLocked(r, 2, false);
    }
    g.SetCellLocked(r, 3, false);
    g.SetCellLocked(r, 4, false);
    if (direct) {
      g.SetCellLocked(r, 7, false);
      g.SetCellLocked(r, 9, false);
      if (firstTwo) g.SetCellLocked(r, 10, false);
    } else {
      g.SetCellLocked(r, 7, false);
      g.SetCellLocked(r, 8, false);
      g.SetCellLocked(r, 11, false);
      if (firstTwo) g.SetCellLocked(r, 13, false);
    }
    if (p != 1) {
      g.SetCellNoBorder(r, 1, true);
      g.SetCellNoBorder(r, 6, true);
    }
    if (p != 1 && p != 2 && p != 3) {
      for (int c : direct ? std::array<int, 3>{8, 10, 11} : std::array<int, 3>{10, 12, 14}) g.SetCellNoBorder(r, c, true);
    }
  }
  return LoadPageToGrid(g, page);
}

bool CDxShb::LoadPageToGrid(CTableView& g, int page) {
  const CPage* pg = records::PageAt(m_arrPages, page);
  if (!pg) return false;
  records::PageToGrid(g, *pg, [this](int c) { return CellOfColumn(c); });
  if (!m_bComputed) ClearResults(g, page);
  return true;
}

bool CDxShb::SavePageFromGrid(const CTableView& g, int page) {
  return records::SaveGridToPage(*this, g, page, [this](int c) { return CellOfColumn(c); });
}

void CDxShb::ClearResults(CTableView& g, int page) {
  records::ClearLockedCells(*this, g, page, [this](int c) { return CellOfColumn(c); });
}

void CDxShb::ClearComputedCells() {
  const int block = 2 * (m_nSets < 1 ? 2 : m_nSets);
  for (CPage& pg : m_arrPages)
    for (int r = 0; r < pg.RowCount(); ++r) {
      for (int cell : {4, 5, 8, 9, 11, 14}) pg.At(r, cell).clear();
      if (r % block >= 2) pg.At(r, 1).clear();  // target names copied into the later sets
    }
}

bool CDxShb::Compute(const records::Decimals& dec, records::LegLog& legs) {
  using records::CellValue;
  m_bComputed = 0;
  // Results of an earlier computation, on every page, never outlive this one.
  ClearComputedCells();
  auto& msg = platform::Messages();
  const int s = m_nSets < 1 ? 2 : m_nSets;
  const int block = 2 * s;
  const bool direct = m_nDistanceType == kDistanceDirect;
  auto leg = [&legs](const std::string& from, const std::string& to, int kind, double d, double h, double len) {
    legs.push_back({from, to, kind, d, h, len, 1});
  };
  for (std::size_t pi = 0; pi < m_arrPages.size(); ++pi) {
    CPage& pg = m_arrPages[pi];
    const std::string title = "导线记录第" + records::Int(static_cast<int>(pi) + 1) + "页 ";
    for (int f = 0; f + block <= pg.RowCount(); f += block) {
      // References into rows f and f+1, which the loop below never resizes.
      const std::string& station = pg.Cell(f, 0);
      if (station.empty()) continue;
      const std::array<const std::string*, 2> targets = {&pg.Cell(f, 1), &pg.Cell(f + 1, 1)};
      auto target = [&targets](std::size_t t) -> const std::string& { return *targets[t]; };
      if (target(0).empty() || target(1).empty()) {
        msg.ShowMessage(title + station + "　测站的目标点不能为空！");
        return false;
      }
      // A cell the computation cannot read stops it, naming the station and the field.
      auto read = [&](const std::string& text, bool angle, const std::string& what, CellValue* out) {
        *out = angle ? records::ReadAngleCell(text) : records::ReadNumberCell(text);
        if (out->Ok()) return true;
        msg.ShowMessage(title + station + "　测站" + what + "“" + std::string(records::TrimBlanks(text)) + "”" +
                        out->error + "！");
        return false;
      };
      auto setField = [&](std::size_t t, int k, const char* field) {
        return "照准" + target(t) + "第" + records::Int(k + 1) + "测回的" + field;
      };
      const std::string& iText = pg.Cell(f + 1, 0);
      CellValue iCell;
      if (!read(iText, false, "的仪高", &iCell)) return false;
      const double i = iCell.value;
      const std::array<const std::string*, 2> vTexts = {&pg.Cell(f, 13), &pg.Cell(f + 1, 13)};
      auto vText = [&vTexts](std::size_t t) -> const std::string& { return *vTexts[t]; };
      std::array<double, 2> vHeight{};
      for (std::size_t t = 0; t < 2; ++t) {
        CellValue v;
        if (!read(vText(t), false, "照准" + target(t) + "的目标高", &v)) return false;
        vHeight[t] = v.value;
      }
      records::AngleMean horizontal;
      std::array<records::AngleMean, 2> vertical;
      std::array<double, 2> dSum{}, hSum{};
      std::array<int, 2> dCount{}, hCount{};
      for (int k = 0; k < s; ++k) {
        const int c = f + 2 * k;
        if (k > 0) {
          pg.At(c, 1) = target(0);
          pg.At(c + 1, 1) = target(1);
        }
        const std::string* h[4] = {&pg.Cell(c, 2), &pg.Cell(c, 3), &pg.Cell(c + 1, 2), &pg.Cell(c + 1, 3)};
        const int present = !h[0]->empty() + !h[1]->empty() + !h[2]->empty() + !h[3]->empty();
        if (present == 4) {
          std::array<double, 4> a{};
          for (std::size_t n = 0; n < 4; ++n) {
            CellValue v;
            if (!read(*h[n], true, setField(n / 2, k, n % 2 == 0 ? "水平角盘左读数" : "水平角盘右读数"), &v))
              return false;
            a[n] = v.value;
          }
          const double L1 = a[0], R1 = a[1], L2 = a[2], R2 = a[3];
          pg.At(c, 4) = Fixed(records::TwoC(L1, R1) * kRho, dec.angle);
          pg.At(c + 1, 4) = Fixed(records::TwoC(L2, R2) * kRho, dec.angle);
          horizontal.Add(records::SetAngle(L1, R1, L2, R2));
        } else if (present > 0) {
          msg.ShowMessage(title + station + " 测站的第" + records::Int(k + 1) + "测回数据不全");
          return false;
        }
        for (int t = 0; t < 2 && !direct; ++t) {
          const auto ti = static_cast<std::size_t>(t);
          const std::string& vl = pg.Cell(c + t, 6);
          const std::string& vr = pg.Cell(c + t, 7);
          if (!vl.empty() && !vr.empty()) {
            CellValue l, r;
            if (!read(vl, true, setField(ti, k, "垂直角盘左读数"), &l) ||
                !read(vr, true, setField(ti, k, "垂直角盘右读数"), &r))
              return false;
            const double VL = l.value, VR = r.value;
            pg.At(c + t, 8) = Fixed((VL + VR - kTwoPi) * kRho * 0.5, dec.angle);
            vertical[ti].AddPlain(((VR - kThreeHalfPi) + (kHalfPi - VL)) * 0.5);
          } else if (!vl.empty() || !vr.empty()) {
            msg.ShowMessage(title + station + " 测站的垂直角第" + records::Int(k + 1) + "测回数据不全");
            return false;
          }
        }
        for (int t = 0; t < 2; ++t) {
          const auto ti = static_cast<std::size_t>(t);
          const std::string& d = pg.Cell(c + t, 10);
          if (!d.empty()) {
            CellValue v;
            if (!read(d, false, setField(ti, k, "距离"), &v)) return false;
            dSum[ti] += v.value;
            ++dCount[ti];
          }
          if (direct && !iText.empty()) {
            const std::string& dh = pg.Cell(c + t, 12);
            if (!dh.empty() && !vText(ti).empty()) {
              CellValue v;
              if (!read(dh, false, setField(ti, k, "观测高差"), &v)) return false;
              hSum[ti] += v.value + i - vHeight[ti];
              ++hCount[ti];
            }
          }
        }
      }
      pg.At(f, 5) = horizontal.Count() > 0 ? survey::AngleToText(horizontal.Mean(), true, dec.angle, false) : "";

      std::array<double, 2> D{};
      for (int t = 0; t < 2; ++t) {
        const auto ti = static_cast<std::size_t>(t);
        const int row = f + t;
        if (dCount[ti] == 0) continue;
        const double S = dSum[ti] / dCount[ti];
        if (direct) {
          D[ti] = S * m_dEdmScale + m_dEdmConstant + S;
          pg.At(row, 11) = Fixed(D[ti], dec.dist);
          leg(station, target(ti), records::kLegDistance, D[ti], 0, D[ti]);
        }
      }
      if (direct) {
        for (int t = 0; t < 2; ++t) {
          const auto ti = static_cast<std::size_t>(t);
          if (hCount[ti] == 0) continue;
          const double h = hSum[ti] / hCount[ti];
          pg.At(f + t, 14) = Fixed(h, dec.height);
          leg(station, target(ti), records::kLegHeight, 0, h, dCount[ti] > 0 ? D[ti] : 0);
        }
        continue;
      }
      for (int t = 0; t < 2; ++t) {
        const auto ti = static_cast<std::size_t>(t);
        const int row = f + t;
        if (vertical[ti].Count() == 0) continue;
        double alpha = vertical[ti].PlainMean();
        if (!m_bVerticalFrom90) alpha = -alpha;
        pg.At(row, 9) = (alpha < 0 ? "-" : "") + survey::AngleToText(std::fabs(alpha), true, dec.angle, false);
        if (dCount[ti] == 0) continue;
        const double S = dSum[ti] / dCount[ti];
        const double v = vHeight[ti];
        double d = 0, h = 0;
        if (m_nDistanceType == kDistanceSlope) {
          const double S2 = S * m_dEdmScale + m_dEdmConstant + S;
          survey::TrigHeightFromSlope(alpha, S2, i, v, m_dRefraction, &d, &h);
        } else {
          d = S * std::cos(alpha) * std::cos(alpha);
          survey::TrigHeightFromHorizontal(alpha, d, i, v, m_dRefraction, &h);
        }
        pg.At(row, 11) = Fixed(d, t == 0 ? dec.dist : 3);
        leg(station, target(ti), records::kLegDistance, d, 0, 0);
        if (!iText.empty() && !vText(ti).empty()) {
          pg.At(row, 14) = Fixed(h, t == 0 ? dec.height : 3);
          leg(station, target(ti), records::kLegHeight, 0, h, d);
        }
      }
    }
  }
  m_bComputed = 1;
  return true;
}
