#include "records/shzh_shb.h"

#include <cmath>

#include "platform/ports.h"
#include "records/shb_grid.h"
#include "records/shb_read.h"
#include "records/shb_text.h"
#include "table/table_view.h"

namespace {

using records::Fixed;
using records::Num;
using records::SignedFixed;
using records::Trimmed;

constexpr int kDigits = 1, kDecimal = 3, kSignedDecimal = 4;
const char* const kLabels[3] = {"后-前", "后", "前"};  // by grid row mod 3

std::string PageTitle(std::size_t page) { return "水准记录第" + records::Int(static_cast<int>(page) + 1) + "页 "; }

}  // namespace

int CShzhShb::RowsPerPage() const { return 3 * (m_nTableRows / 3); }

bool CShzhShb::AddPage() {
  records::AppendPage(m_arrPages, RowsPerPage());
  return true;
}

void CShzhShb::Reset() {
  m_nLinesAbove = 2;
  m_nLinesBelow = 0;
  m_strTitle = kTitle;
  m_dPrintHeight = 3.0;
  m_nTableRows = 40;
  m_nLevellingMode = kLevelDoubleScale;
  m_bOmitDecimalPoint = 1;
  m_dStaffConstant = 301550.0;
  m_bDoubledReadings = 0;
  m_arrPages.clear();
  AddPage();
  m_bComputed = 0;
}

bool CShzhShb::SetupGrid(CTableView& g, int page, bool newTable) {
  const int rows = RowsPerPage();
  const bool single = m_nLevellingMode == kLevelSingleFace;
  if (!g.NewTable(rows, single ? 6 : 10, m_strTitle, newTable)) return false;
  g.SetReadOnly(false, false, false);
  if (single) {
    g.SetColumnHeader(1, "后视点名", "", 1, 10);
    g.SetColumnHeader(2, "前视点名", "", 1, 10);
    g.SetColumnHeader(3, "后视读数", "( m )", 1, 10);
    g.SetColumnInputType(3, kSignedDecimal);
    g.SetColumnHeader(4, "前视读数", "( m )", 1, 10);
    g.SetColumnInputType(4, kSignedDecimal);
    g.SetColumnHeader(5, "高差", "( m )", 1, 10);
    g.SetColumnHeader(6, "备注", "", 1, 12);
  } else {
    const bool precise = m_nLevellingMode == kLevelPrecise;
    const std::string unit = m_bOmitDecimalPoint ? "( mm )" : "( m )";
    auto head = [&g](int c, const char* l1, const std::string& l2, const std::string& l3, int span) {
      g.SetColumnHeader(c, l1, l2, span, 4);
      g.SetColumnHeaderLines(c, l3, "");
    };
    g.SetColumnHeader(1, "测站编号", "", 1, 4);
    g.SetColumnHeader(2, "后视点名", "前视点名", 1, 4);
    head(3, "后尺下丝", "后尺上丝", "后视距", 1);
    head(4, "前尺下丝", "前尺上丝", "前视距", 1);
    head(5, "视距差d(m)", "∑d(m)", "测段长", 1);
    head(6, "方向", "及", "尺号", 1);
    if (precise) {
      head(7, "水准尺读数", "基 本", "分 划", 2);
      head(8, "", "辅 助", "分 划", 1);
      head(9, "K", " + 基 ", " - 辅 ", 1);
    } else {
      head(7, "水准尺读数", "黑 面", unit, 2);
      head(8, "", "红 面", unit, 1);
      head(9, "K + 黑", " - 红 ", unit, 1);
    }
    g.SetColumnHeader(10, "高差中数", "", 1, 4);
    for (int c : {3, 4, 7, 8}) g.SetColumnInputType(c, m_bOmitDecimalPoint ? kDigits : kDecimal);
  }
  g.m_nLinesAbove = m_nLinesAbove;
  g.m_nLineBelow = m_nLinesBelow;
  if (single) {
    records::LockAll(g, false);
    for (int r = 1; r <= rows; ++r) g.SetCellLocked(r, 5, true);
  } else {
    records::LockAll(g, true);
    for (int r = 1; r <= rows; ++r) {
      const int p = r % 3;
      if (p == 1)
        g.SetCellLocked(r, 1, false);
      else
        g.SetCellNoBorder(r, 1, true);
      if (p != 0)
        for (int c : {2, 3, 4, 7, 8}) g.SetCellLocked(r, c, false);
      if (p != 1) g.SetCellNoBorder(r, 10, true);
    }
  }
  return LoadPageToGrid(g, page);
}

bool CShzhShb::LoadPageToGrid(CTableView& g, int page) {
  const CPage* pg = records::PageAt(m_arrPages, page);
  if (!pg) return false;
  records::PageToGrid(g, *pg, records::SameCell<CPage>);
  if (!m_bComputed)
    for (int r = 1; r <= g.GetRowCount(); ++r)
      for (int c = 1; c <= g.GetColCount(); ++c)
        if (g.IsCellLocked(r, c)) g.SetCellText(r, c, "");
  if (m_nLevellingMode != kLevelSingleFace)
    for (int r = 1; r <= g.GetRowCount(); ++r) g.SetCellText(r, 6, kLabels[r % 3]);
  return true;
}

bool CShzhShb::SavePageFromGrid(const CTableView& g, int page) {
  return records::SaveGridToPage(*this, g, page, records::SameCell<CPage>);
}

void CShzhShb::ClearResults(CTableView& g, int page) {
  // The fixed labels of column 6 ("后-前", "后", "前") stay.
  records::ClearLockedCells(*this, g, page, records::SameCell<CPage>, m_nLevellingMode != kLevelSingleFace ? 6 : 0);
}

void CShzhShb::ClearComputedCells() {
  const bool single = m_nLevellingMode == kLevelSingleFace;
  for (CPage& pg : m_arrPages)
    for (int r = 0; r < pg.RowCount(); ++r) {
      if (single) {
        pg.At(r, 4).clear();
      } else if (r % 3 == 2) {
        for (int cell : {2, 3, 4, 6, 7, 8, 9}) pg.At(r, cell).clear();
      } else {
        pg.At(r, 4).clear();
        pg.At(r, 8).clear();
      }
    }
}

bool CShzhShb::Compute(const records::Decimals& dec, records::LegLog& legs) {
  m_bComputed = 0;
  // Results of an earlier computation, on every page, never outlive this one.
  ClearComputedCells();
  const bool ok = m_nLevellingMode == kLevelSingleFace ? ComputeSingleFace(dec, legs) : ComputeStations(legs);
  if (ok) m_bComputed = 1;
  return ok;
}

bool CShzhShb::ComputeSingleFace(const records::Decimals& dec, records::LegLog& legs) {
  auto& msg = platform::Messages();
  std::string start, previousFore;
  double sum = 0;
  int count = 0;
  for (std::size_t pi = 0; pi < m_arrPages.size(); ++pi) {
    CPage& pg = m_arrPages[pi];
    for (int r = 0; r < pg.RowCount(); ++r) {
      const std::string back = pg.Cell(r, 0), fore = pg.Cell(r, 1);
      if (back.empty() || fore.empty()) continue;
      if (pg.Cell(r, 2).empty() || pg.Cell(r, 3).empty()) {
        msg.ShowMessage(PageTitle(pi) + back + "与" + fore + "之间数据输入不完整");
        return false;
      }
      double reading[2] = {};
      for (int t = 0; t < 2; ++t) {
        const std::string& text = pg.Cell(r, 2 + t);
        const records::CellValue v = records::ReadNumberCell(text);
        if (!v.Ok()) {
          msg.ShowMessage(PageTitle(pi) + back + "与" + fore + (t == 0 ? "之间的后视读数“" : "之间的前视读数“") +
                          std::string(records::TrimBlanks(text)) + "”" + v.error + "！");
          return false;
        }
        reading[t] = v.value;
      }
      pg.At(r, 4) = SignedFixed(reading[0] - reading[1], dec.height, 4);
      if (!IsTurningPoint(back)) {
        start = back;
        sum = Num(pg.Cell(r, 4));
        count = 1;
      } else if (back != previousFore) {
        msg.ShowMessage(PageTitle(pi) + "第" + records::Int(r + 1) + "行后视点是转点,\n应该与前一站的前视点同名！");
        return false;
      } else {
        sum += Num(pg.Cell(r, 4));
        ++count;
      }
      previousFore = fore;
      if (!IsTurningPoint(fore)) legs.push_back({start, fore, records::kLegHeight, 0, sum, -1, count});
    }
  }
  return true;
}

bool CShzhShb::ComputeStations(records::LegLog& legs) {
  auto& msg = platform::Messages();
  const bool precise = m_nLevellingMode == kLevelPrecise;
  const bool omit = m_bOmitDecimalPoint != 0;
  const double K = precise ? m_dStaffConstant : (omit ? 4687 : 4.687);
  const double delta = precise ? 0 : (omit ? 100 : 0.1);
  std::string start, previousFore;
  double sum = 0, length = 0, sumD = 0;
  int count = 0;
  // Readings as the form writes them in each mode.
  auto diffText = [&](double v) {
    if (!omit) return Trimmed(v);
    return SignedFixed(v, 0, precise ? 6 : 4);
  };
  auto checkText = [&](double c) {
    if (precise) return omit ? SignedFixed(c, 0, 4) : Trimmed(c * 1000);
    return SignedFixed(omit ? c : c * 1000, 0, 4);
  };
  for (std::size_t pi = 0; pi < m_arrPages.size(); ++pi) {
    CPage& pg = m_arrPages[pi];
    const std::string title = PageTitle(pi);
    for (int r = 0; r + 2 < pg.RowCount(); r += 3) {
      const std::string station = pg.Cell(r, 0);
      if (station.empty()) continue;
      const std::string back = pg.Cell(r, 1), fore = pg.Cell(r + 1, 1);
      if (back.empty()) {
        msg.ShowMessage(title + station + "　测站的后视点不能为空！");
        return false;
      }
      if (fore.empty()) {
        msg.ShowMessage(title + station + "　测站的前视点不能为空！");
        return false;
      }
      // Every reading of the station, before anything is reduced.
      {
        const char* const black = precise ? "基本分划读数" : "黑面读数";
        const char* const red = precise ? "辅助分划读数" : "红面读数";
        const struct {
          int row, cell;
          std::string field;
        } readings[] = {
            {r, 2, "后尺下丝读数"}, {r + 1, 2, "后尺上丝读数"}, {r, 3, "前尺下丝读数"}, {r + 1, 3, "前尺上丝读数"},
            {r, 6, std::string("后尺") + black}, {r + 1, 6, std::string("前尺") + black},
            {r, 7, std::string("后尺") + red}, {r + 1, 7, std::string("前尺") + red},
        };
        for (const auto& rd : readings) {
          const std::string& text = pg.Cell(rd.row, rd.cell);
          const records::CellValue v = records::ReadNumberCell(text);
          if (v.Ok()) continue;
          msg.ShowMessage(title + station + "　测站的" + rd.field + "“" + std::string(records::TrimBlanks(text)) + "”" +
                          v.error + "！");
          return false;
        }
      }
      // Sight distances from the stadia hairs.
      for (int cell : {2, 3}) {
        const std::string& lower = pg.Cell(r, cell);
        const std::string& upper = pg.Cell(r + 1, cell);
        if (lower.empty() || upper.empty()) {
          msg.ShowMessage(title + station + (cell == 2 ? "　测站的后视上、下丝读数不完整！" : "　测站的前视上、下丝读数不完整！"));
          return false;
        }
        double d = std::fabs(Num(lower) - Num(upper));
        d = omit ? d / 10 : d * 100;
        if (precise && m_bDoubledReadings) d /= 2;
        pg.At(r + 2, cell) = Fixed(d, 1);
      }
      const double backDist = Num(pg.Cell(r + 2, 2)), foreDist = Num(pg.Cell(r + 2, 3));
      pg.At(r, 4) = Fixed(backDist - foreDist, 1);
      pg.At(r + 2, 4) = Fixed(backDist + foreDist, 1);
      sumD += backDist - foreDist;
      pg.At(r + 1, 4) = Fixed(sumD, 1);

      // Black (basic) and red (auxiliary) height differences.
      for (int cell : {6, 7}) {
        const std::string& b = pg.Cell(r, cell);
        const std::string& f = pg.Cell(r + 1, cell);
        pg.At(r + 2, cell) = !b.empty() && !f.empty() ? diffText(Num(b) - Num(f)) : std::string();
      }
      // Staff checks K + black − red; the second staff of a pair is K + Δ.
      double kBack = K, kFore = K;
      for (int t = 0; t < 2; ++t) {
        double& k = t == 0 ? kBack : kFore;
        const std::string& black = pg.Cell(r + t, 6);
        const std::string& red = pg.Cell(r + t, 7);
        if (black.empty() || red.empty()) {
          pg.At(r + t, 8).clear();
          continue;
        }
        double c = k + Num(black) - Num(red);
        if (c < -delta / 2) {
          c += delta;
          k += delta;
        }
        pg.At(r + t, 8) = checkText(c);
      }
      if (!pg.Cell(r, 8).empty() && !pg.Cell(r + 1, 8).empty()) {
        const double d = Num(pg.Cell(r, 8)) - Num(pg.Cell(r + 1, 8));
        pg.At(r + 2, 8) = precise && !omit ? Trimmed(d) : SignedFixed(d, 0, 4);
      } else {
        pg.At(r + 2, 8).clear();
      }
      // Mean height difference.
      double u = 0;
      int n = 0;
      if (!pg.Cell(r + 2, 6).empty()) {
        u += Num(pg.Cell(r + 2, 6));
        n = 1;
      }
      if (!pg.Cell(r + 2, 7).empty()) {
        u += Num(pg.Cell(r + 2, 7)) - kBack + kFore;
        ++n;
      }
      if (n == 0) {
        // A station without staff readings has no height difference: counting it as
        // 0 m would close the section on a made-up value.
        pg.At(r + 2, 9).clear();
        msg.ShowMessage(title + station + (precise ? "　测站没有基本、辅助分划读数！" : "　测站没有黑、红面读数！"));
        return false;
      }
      double mean = u / n;
      if (precise) {
        if (m_bDoubledReadings) mean /= 2;
        pg.At(r + 2, 9) = omit ? SignedFixed(mean * 10, 0) : Trimmed(mean);
      } else {
        pg.At(r + 2, 9) = omit ? SignedFixed(mean * 10, 0) : SignedFixed(mean, 4);
      }
      // The section.
      const double h = Num(pg.Cell(r + 2, 9)), l = Num(pg.Cell(r + 2, 4));
      if (!IsTurningPoint(back)) {
        start = back;
        sum = h;
        count = 1;
        length = l;
      } else if (back != previousFore) {
        msg.ShowMessage(title + station + "　测站的后视点是转点,\n应该与前一站的前视点同名！");
        return false;
      } else {
        sum += h;
        ++count;
        length += l;
      }
      previousFore = fore;
      if (!IsTurningPoint(fore)) {
        double metres = sum;
        if (omit) metres /= precise ? 1000000 : 10000;
        legs.push_back({start, fore, records::kLegHeight, 0, metres, length, count});
      }
    }
  }
  return true;
}
