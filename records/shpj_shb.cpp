#include "records/shpj_shb.h"

#include "platform/ports.h"
#include "records/angle_mean.h"
#include "records/shb_grid.h"
#include "records/shb_read.h"
#include "records/shb_text.h"
#include "survey/angle.h"
#include "table/table_view.h"

namespace {
constexpr double kRho = 206264.806247096;
constexpr int kAngle = 5;
}  // namespace

int CShpjShb::RowsPerPage() { return records::SetRowsPerPage(m_nSets, m_nTableRows, m_bSetsRepaired); }

bool CShpjShb::AddPage() {
  records::AppendPage(m_arrPages, RowsPerPage());
  return true;
}

void CShpjShb::Reset() {
  m_nSets = 2;
  m_nLinesAbove = 2;
  m_nLinesBelow = 0;
  m_strTitle = kTitle;
  m_nTableRows = 40;
  m_dPrintHeight = 3.0;
  m_arrPages.clear();
  AddPage();
  m_bComputed = 0;
}

int CShpjShb::BlockPosition(int row) const { return records::BlockPos(row, 2 * (m_nSets < 1 ? 2 : m_nSets)); }

bool CShpjShb::SetupGrid(CTableView& g, int page, bool newTable) {
  const int rows = RowsPerPage();
  if (!g.NewTable(rows, 7, m_strTitle, newTable)) return false;
  g.SetReadOnly(false, false, false);
  g.SetColumnHeader(1, "测站名", "", 1, 8);
  g.SetColumnTip(1, "测站名必须输入，否则会忽略该站的计算而不作提示");
  g.SetColumnHeader(2, "照准点", "", 1, 8);
  g.SetColumnHeader(3, "盘左读数", "(°' \")", 1, 10);
  g.SetColumnInputType(3, kAngle);
  g.SetColumnHeader(4, "盘右读数", "(°' \")", 1, 10);
  g.SetColumnInputType(4, kAngle);
  g.SetColumnHeader(5, "2C", "(\")", 1, 6);
  g.SetColumnHeader(6, "方向值", "(°' \")", 1, 10);
  g.SetColumnHeader(7, "平均角值", "(°' \")", 1, 10);
  g.m_nLinesAbove = m_nLinesAbove;
  g.m_nLineBelow = m_nLinesBelow;
  records::LockAll(g, false);
  for (int r = 1; r <= rows; ++r) {
    const int p = BlockPosition(r);
    if (p != 1) {
      g.SetCellLocked(r, 1, true);
      g.SetCellNoBorder(r, 1, true);
      g.SetCellNoBorder(r, 7, true);
    }
    if (p != 1 && p != 2) g.SetCellLocked(r, 2, true);
    for (int c = 5; c <= 7; ++c) g.SetCellLocked(r, c, true);
  }
  return LoadPageToGrid(g, page);
}

bool CShpjShb::LoadPageToGrid(CTableView& g, int page) {
  const CPage* pg = records::PageAt(m_arrPages, page);
  if (!pg) return false;
  records::PageToGrid(g, *pg, records::SameCell<CPage>);
  if (!m_bComputed) {
    // Later sets repeat the target names of the first.
    for (int r = 1; r <= g.GetRowCount(); ++r)
      for (int c = 1; c <= g.GetColCount(); ++c) {
        if (!g.IsCellLocked(r, c)) continue;
        g.SetCellText(r, c, c == 2 && r > 2 ? g.CellText(r - 2, 2) : std::string());
      }
  }
  return true;
}

bool CShpjShb::SavePageFromGrid(const CTableView& g, int page) {
  return records::SaveGridToPage(*this, g, page, records::SameCell<CPage>);
}

void CShpjShb::ClearResults(CTableView& g, int page) { records::ClearLockedCells(*this, g, page, records::SameCell<CPage>); }

void CShpjShb::ClearComputedCells() {
  const int block = 2 * (m_nSets < 1 ? 2 : m_nSets);
  for (CPage& pg : m_arrPages)
    for (int r = 0; r < pg.RowCount(); ++r) {
      for (int cell : {4, 5, 6}) pg.At(r, cell).clear();
      if (r % block >= 2) pg.At(r, 1).clear();  // target names copied into the later sets
    }
}

bool CShpjShb::Compute(const records::Decimals& dec) {
  m_bComputed = 0;
  ClearComputedCells();
  auto& msg = platform::Messages();
  const int s = m_nSets < 1 ? 2 : m_nSets;
  const int block = 2 * s;
  for (std::size_t pi = 0; pi < m_arrPages.size(); ++pi) {
    CPage& pg = m_arrPages[pi];
    const std::string title = "水平角记录第" + records::Int(static_cast<int>(pi) + 1) + "页 ";
    for (int f = 0; f + block <= pg.RowCount(); f += block) {
      const std::string station = pg.Cell(f, 0);
      if (station.empty()) continue;
      const std::string first = pg.Cell(f, 1), second = pg.Cell(f + 1, 1);
      if (first.empty() || second.empty()) {
        msg.ShowMessage(title + station + "　测站的目标点不能为空！");
        return false;
      }
      records::AngleMean mean;
      for (int k = 0; k < s; ++k) {
        const int c = f + 2 * k;
        if (k > 0) {
          pg.At(c, 1) = first;
          pg.At(c + 1, 1) = second;
        }
        if (pg.Cell(c, 2).empty() || pg.Cell(c, 3).empty() || pg.Cell(c + 1, 2).empty() || pg.Cell(c + 1, 3).empty()) {
          msg.ShowMessage(title + station + "　测站的数据不全！");
          return false;
        }
        double a4[4] = {};
        for (int n = 0; n < 4; ++n) {
          const std::string& text = pg.Cell(c + n / 2, 2 + n % 2);
          const records::CellValue v = records::ReadAngleCell(text);
          if (!v.Ok()) {
            msg.ShowMessage(title + station + "　测站照准" + (n < 2 ? first : second) + "第" + records::Int(k + 1) +
                            (n % 2 == 0 ? "测回的盘左读数“" : "测回的盘右读数“") +
                            std::string(records::TrimBlanks(text)) + "”" + v.error + "！");
            return false;
          }
          a4[n] = v.value;
        }
        const double L1 = a4[0], R1 = a4[1], L2 = a4[2], R2 = a4[3];
        pg.At(c, 4) = records::Fixed(records::TwoC(L1, R1) * kRho, dec.angle);
        pg.At(c + 1, 4) = records::Fixed(records::TwoC(L2, R2) * kRho, dec.angle);
        const double a = records::SetAngle(L1, R1, L2, R2);
        pg.At(c, 5) = survey::AngleToText(0, true, dec.angle, false);
        pg.At(c + 1, 5) = survey::AngleToText(a, true, dec.angle, false);
        mean.Add(a);
      }
      pg.At(f, 6) = survey::AngleToText(mean.Mean(), true, dec.angle, false);
    }
  }
  m_bComputed = 1;
  return true;
}
