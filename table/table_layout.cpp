// Layout, painting, scrolling and printing of CTableView. The layout is a pure
// function of the model; the screen and the page being printed each keep their
// own, so printing never disturbs what the screen shows.
#include <algorithm>
#include <cmath>

#include "platform/gbk.h"
#include "table/table_view.h"

using namespace table;

namespace table {
const char kPageTemplate[] = "第   页  共   页";

std::string PageText(int page, int pages) {
  return "第 " + std::to_string(page) + " 页  共 " + std::to_string(pages) + " 页";
}
}  // namespace table

// ---- widths and rectangles ------------------------------------------------------

void CTableView::ComputeWidths(CTableLayout& l, bool forPrint) const {
  const int m = GetColCount(), n = GetRowCount();
  const int cw = GetCharWidth();
  l.width.assign(static_cast<std::size_t>(m) + 1, 0);
  l.right.assign(static_cast<std::size_t>(m) + 1, 0);
  std::vector<int> len(static_cast<std::size_t>(m) + 1, 0);
  for (int j = 1; j <= m; ++j) {
    const CColumn& c = m_columns[j];
    int L = std::max(c.minChars, platform::GbkWidth(c.header2));
    if (c.headerSpan <= 1) L = std::max(L, platform::GbkWidth(c.header1));
    len[j] = L;
  }
  for (int r = 1; r <= n; ++r) {
    const CCol* cells = &Cell(r, 0);
    for (int j = 1; j <= m; ++j) {
      const std::string& t = cells[j].text;
      // A text can be no wider than its byte count, so short ones skip the count.
      if (static_cast<int>(t.size()) > len[j]) len[j] = std::max(len[j], platform::GbkWidth(t));
    }
  }
  const bool tight = forPrint && m_bFitWidth;
  for (int j = 1; j <= m; ++j) l.width[j] = (len[j] + (tight ? 1 : 3)) * cw;
  for (int j = 1; j <= m; ++j) l.right[j] = l.right[j - 1] + l.width[j];
  if (tight && m > 0) {
    int extra = static_cast<int>((m_plan.tableWidth - l.right[m]) / m);
    if (extra > 0) {
      for (int j = 1; j <= m; ++j) l.width[j] += extra;
      for (int j = 1; j <= m; ++j) l.right[j] = l.right[j - 1] + l.width[j];
    }
  }
  l.maxTextLen = std::move(len);
}

int CTableView::ClientRowsPerPage() const {
  if (m_nClientHeight <= 0) return 60;
  return std::max(1, m_nClientHeight / std::max(1, m_nRowHeight));
}

void CTableView::LayoutInto(CTableLayout& l, int firstRow, int rowsPerPage, bool forPrint) const {
  const int m = GetColCount();
  const int n = GetRowCount() + (forPrint ? m_plan.padRows : 0);
  const int H = m_nRowHeight;
  l.forPrint = forPrint;
  l.rows = n;
  l.H = H;
  l.cw = GetCharWidth();
  if (firstRow < 1) firstRow = l.firstRow < 1 ? 1 : l.firstRow;
  if (rowsPerPage < 1) rowsPerPage = ClientRowsPerPage();
  firstRow = std::max(1, std::min(firstRow, n));
  l.firstRow = firstRow;
  l.visibleRows = std::max(0, std::min(rowsPerPage, n - firstRow + 1));
  const int hL = m_nHeaderLines, LA = std::clamp(m_nLinesAbove, 0, 3);
  l.xOrigin = forPrint ? 60 : 60 - m_nHScroll;
  if (forPrint)
    l.yOrigin = (hL + LA + 2) * H + static_cast<int>(m_nMarginTop * m_nFontHeight / m_dPrintHeight);
  else
    l.yOrigin = (hL + LA + 2) * H + 2 * m_nBandHeight;
  const int xo = l.xOrigin, yo = l.yOrigin;

  l.cells.assign(static_cast<std::size_t>(l.visibleRows), {});
  for (int i = 0; i < l.visibleRows; ++i) {
    auto& row = l.cells[static_cast<std::size_t>(i)];
    row.assign(static_cast<std::size_t>(m) + 1, Rect{});
    const int top = i * H + yo;
    for (int j = 1; j <= m; ++j) {
      Rect r{xo + l.right[j - 1], top, xo + l.right[j], top + H};
      if (m_columns[j].stagger) {
        r.top += H / 2;
        r.bottom += H / 2;
        if (i == l.visibleRows - 1) r.bottom = r.top + H / 2;
      }
      row[static_cast<std::size_t>(j)] = r;
    }
  }

  // Title and the header items above the table.
  const int W = m > 0 ? l.right[m] : 0, T = W / 3, cw = l.cw;
  l.title = Rect{xo, yo - (hL + LA + 2) * H, xo + W, yo - (hL + LA + 1) * H + 4};
  auto placeLine = [&](int firstItem, int top, int bottom) {
    int start = xo;
    for (int k = 0; k < 3; ++k) {
      const int len = platform::GbkWidth(m_header[static_cast<std::size_t>(firstItem + k)]);
      int end = std::max(xo + (k + 1) * T, start + (len + 2) * cw);
      if (k == 0) end = xo + std::max(T, (len + 2) * cw);
      l.header[static_cast<std::size_t>(firstItem + k)] = Rect{start, top, end, bottom};
      start = end + 5;
    }
  };
  for (int k = 1; k <= 3; ++k) {
    if (k <= LA) {
      placeLine((k - 1) * 3, yo - (hL + LA - k + 1) * H - 5, yo - (hL + LA - k) * H - 5);
    } else {
      const int y = yo - hL * H;
      placeLine((k - 1) * 3, y, y);
    }
  }

  // Signature block and the line below: under the last row, or under the page.
  const bool holdsLast = l.HoldsLastRow();
  int below;
  if (l.visibleRows > 0) {
    const Rect first = l.cells.back()[std::min<std::size_t>(1, l.cells.back().size() - 1)];
    const int lastBottom = m > 0 ? first.bottom : yo + l.visibleRows * H;
    const int y = std::max(yo, lastBottom);
    if (holdsLast && m > 0) {
      const Rect& last = l.cells.back()[static_cast<std::size_t>(m)];
      l.signature[0] = Rect{first.right + 10, y, last.right, y + H};
      l.signature[1] = Rect{first.right + 10, y + H, last.right, y + 2 * H};
      below = y + m_nSignLines * H + 5;
    } else {
      l.signature = {};
      below = y + 5;
    }
  } else {
    l.signature = {};
    below = yo + 5;
  }
  placeLine(9, below, below + H);
}

int CTableView::RecalcLayout(int firstRow, int rowsPerPage, bool forPrint) {
  if (GetRowCount() + (forPrint ? m_plan.padRows : 0) <= 0) return 1;
  if (forPrint) {
    if (!m_bPrinting || m_printLayout.right.size() != m_columns.size()) ComputeWidths(m_printLayout, true);
    LayoutInto(m_printLayout, firstRow, rowsPerPage, true);
    return 1;
  }
  if (!m_bWidthsValid || m_layout.right.size() != m_columns.size()) {
    ComputeWidths(m_layout, false);
    for (int j = 0; j <= GetColCount(); ++j) {
      m_columns[j].width = m_layout.width[j];
      m_columns[j].right = m_layout.right[j];
      m_columns[j].maxTextLen = j < static_cast<int>(m_layout.maxTextLen.size()) ? m_layout.maxTextLen[j] : 0;
    }
    m_bWidthsValid = true;
  }
  if (firstRow < 1) firstRow = m_nFirstRow;
  LayoutInto(m_layout, firstRow, rowsPerPage, false);
  m_nFirstRow = m_layout.firstRow;
  m_bLayoutValid = true;
  return 1;
}

Rect CTableView::GetCellRect(int row, int col) const {
  if (!m_bLayoutValid) return {};
  return m_layout.Cell(row, col);
}

bool CTableView::HitTest(int x, int y, int* row, int* col) const {
  if (!m_bLayoutValid || GetRowCount() == 0 || GetColCount() == 0) return false;
  for (int i = 0; i < m_layout.visibleRows; ++i) {
    const auto& cells = m_layout.cells[static_cast<std::size_t>(i)];
    for (int j = 1; j < static_cast<int>(cells.size()); ++j) {
      if (cells[static_cast<std::size_t>(j)].Contains(x, y)) {
        if (row) *row = m_layout.firstRow + i;
        if (col) *col = j;
        return true;
      }
    }
  }
  return false;
}

// ---- scrolling ------------------------------------------------------------------

void CTableView::UpdateScrollBars() {
  const int H = std::max(1, m_nRowHeight);
  const int clientH = std::max(0, m_nClientHeight - m_nBandHeight);
  const int n = GetRowCount(), m = GetColCount();
  ScrollState s;
  if (n > 0 && m > 0)
    s.vMax = std::max(0, n + m_nSignLines + m_nLineBelow + m_nLinesAbove - clientH / H + 10);
  int right = 0;
  if (m > 0) {
    if (!m_bWidthsValid && n > 0) RecalcLayout(-1, -1, false);
    right = m_bWidthsValid && static_cast<int>(m_layout.right.size()) > m ? m_layout.right[m] : 0;
  }
  s.hMax = std::max(0, right + 160 - m_nClientWidth);
  s.vVisible = s.vMax >= 1;
  s.hVisible = s.hMax >= 1;
  s.vPos = std::clamp(m_nFirstRow - 1, 0, s.vMax);
  s.hPos = std::clamp(m_nHScroll, 0, s.hMax);
  m_scroll = s;
  if (m_host) m_host->ScrollBarsChanged();
}

void CTableView::SetVScroll(int pos) {
  pos = std::clamp(pos, 0, m_scroll.vMax);
  m_scroll.vPos = pos;
  m_nFirstRow = pos + 1;
  RecalcLayout(pos + 1, 50, false);
  if (m_host) m_host->ScrollBarsChanged();
  Repaint();
}

void CTableView::SetHScroll(int pos) {
  pos = std::clamp(pos, 0, std::max(0, m_scroll.hMax));
  m_nHScroll = pos;
  m_scroll.hPos = pos;
  m_bLayoutValid = false;
  if (m_host) m_host->ScrollBarsChanged();
  Repaint();
}

namespace {
int Step(ScrollAction a, int pos, int max, int thumb, int line, int page) {
  switch (a) {
    case ScrollAction::LineUp: return pos - line;
    case ScrollAction::LineDown: return pos + line;
    case ScrollAction::PageUp: return pos - page;
    case ScrollAction::PageDown: return pos + page;
    case ScrollAction::Top: return 0;
    case ScrollAction::Bottom: return max;
    case ScrollAction::Thumb: return thumb;
  }
  return pos;
}
}  // namespace

void CTableView::OnVScroll(ScrollAction action, int thumbPos) {
  if (m_host) m_host->TakeFocus();
  SetVScroll(Step(action, m_scroll.vPos, m_scroll.vMax, thumbPos, 1, 10));
}

void CTableView::OnHScroll(ScrollAction action, int thumbPos) {
  if (m_host) m_host->TakeFocus();
  SetHScroll(Step(action, m_scroll.hPos, m_scroll.hMax, thumbPos, 50, 500));
}

void CTableView::OnMouseWheel(int delta) {
  OnVScroll(delta <= 0 ? ScrollAction::LineDown : ScrollAction::LineUp);
}

int CTableView::EnsureCellVisible(int row, int col) {
  if (m_nClientWidth <= 0 || m_nClientHeight <= 0) return 0;  // no window yet
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  if (GetRowCount() == 0 || GetColCount() == 0) return 0;
  const int H = std::max(1, m_nRowHeight);
  const int left = 10, right = m_nClientWidth - 30, bottom = m_nClientHeight - 40;
  const int fit = std::max(1, (bottom - m_layout.yOrigin) / H);
  if (row < m_layout.firstRow)
    SetVScroll(row - 1);
  else if (row > m_layout.firstRow + fit - 1)
    SetVScroll(row - fit - 1);
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  if (col < 1 || col > GetColCount() || GetCellRect(row, col).Height() <= 0) return 0;
  const int x1 = m_layout.xOrigin + m_layout.right[col - 1], x2 = m_layout.xOrigin + m_layout.right[col];
  if (x1 < left)
    SetHScroll(m_nHScroll - (left - x1));
  else if (x2 > right)
    SetHScroll(m_nHScroll + (x2 - right));
  return 0;
}

// ---- painting -------------------------------------------------------------------

void CTableView::OnDraw(ICanvas& c) {
  if (m_nUndoIndex < 0) PushUndo();
  c.ResetClip();
  c.FillRect(Rect{0, 0, m_nClientWidth, m_nClientHeight}, m_clrBackground);
  if (GetRowCount() == 0 || GetColCount() == 0) {
    c.SetFont(Font{FontRole::Gui, 12, 400});
    const Rect area{10, m_nBandHeight + 10, m_nClientWidth - 10, m_nClientHeight - 10};
    if (!m_strHint.empty()) {
      TextStyle st;
      st.align = HAlign::Left;
      st.vcenter = false;
      st.wrap = true;
      c.DrawText(area, "简要提示：\n\n" + m_strHint, st);
    } else {
      c.DrawText(Rect{0, m_nBandHeight, m_nClientWidth, m_nClientHeight}, "当前表格无内容或尚未计算！", TextStyle{});
    }
    DrawFrame(c);
    return;
  }
  if (!m_bLayoutValid || !m_bWidthsValid) RecalcLayout(-1, -1, false);
  Paint(c, m_layout, false, 1, 1);
  DrawFrame(c);
}

void CTableView::DrawItemLine(ICanvas& c, const CTableLayout& l, int first, bool forPrint, int page, int pages) {
  for (int k = first; k < first + 3; ++k) {
    const Rect& r = l.header[static_cast<std::size_t>(k)];
    if (r.IsEmpty()) continue;
    if (!m_bHeaderLocked) c.FillRect(r, colors::kWhite);
    const std::string& t = m_header[static_cast<std::size_t>(k)];
    TextStyle st;
    st.align = HAlign::Left;
    c.DrawText(r, forPrint && t == kPageTemplate ? PageText(page, pages) : t, st);
  }
}

void CTableView::Paint(ICanvas& c, const CTableLayout& l, bool forPrint, int page, int pages) {
  const int m = GetColCount(), n = GetRowCount();
  const int H = l.H, xo = l.xOrigin, yo = l.yOrigin;
  const int W = l.right[static_cast<std::size_t>(m)];
  int yEnd = yo + l.visibleRows * H;
  c.SetFont(Font{FontRole::Cell, m_nFontHeight, 400});

  int st = 0, sl = 0, sb = -1, sr = -1;
  const bool hasSel = !forPrint && GetSelection(&st, &sl, &sb, &sr);
  const bool single = hasSel && st == sb && sl == sr;
  const CCol kPad;
  TextStyle normal;
  TextStyle white;
  white.color = colors::kWhite;

  // Cells, row by row.
  Rect current;
  for (int i = 0; i < l.visibleRows; ++i) {
    const int r = l.firstRow + i;
    const bool lastVisible = i == l.visibleRows - 1;
    const auto& rects = l.cells[static_cast<std::size_t>(i)];
    for (int j = 1; j <= m; ++j) {
      const Rect& rc = rects[static_cast<std::size_t>(j)];
      const CCol& cell = r <= n ? Cell(r, j) : kPad;
      const bool selected = hasSel && r >= st && r <= sb && j >= sl && j <= sr;
      const bool isCurrent = !forPrint && r == m_nCurRow && j == m_nCurCol;
      const TextStyle* style = &normal;
      TextStyle opaque;
      if (isCurrent && !cell.locked) {
        current = rc;
        if (single) {
          c.FillRect(rc, colors::kWhite);
          opaque = white;
          opaque.opaque = true;
          opaque.background = colors::kSelection;
          style = &opaque;
        } else {
          c.FillRect(rc, colors::kSelection);
          style = &white;
        }
      } else if (selected) {
        c.FillRect(rc, colors::kSelection);
        style = &white;
      } else if (!cell.locked && !forPrint) {
        c.FillRect(rc, colors::kWhite);
      }
      if (!cell.noBorder) c.Line(rc.left, rc.top, rc.right, rc.top, colors::kBlack, 1);
      const bool emptyHalf = lastVisible && m_columns[j].stagger;
      if (!emptyHalf && !cell.text.empty()) c.DrawText(rc, cell.text, *style);
    }
  }
  if (!current.IsEmpty()) {
    const Color red = colors::kRed;
    c.Line(current.left, current.top, current.right - 1, current.top, red, 1);
    c.Line(current.right - 1, current.top, current.right - 1, current.bottom - 1, red, 1);
    c.Line(current.right - 1, current.bottom - 1, current.left, current.bottom - 1, red, 1);
    c.Line(current.left, current.bottom - 1, current.left, current.top, red, 1);
  }

  // The marker of the current row.
  if (!forPrint && m_nCurRow >= l.firstRow && m_nCurRow < l.firstRow + l.visibleRows) {
    const int x0 = xo + l.right[0];
    const int yc = yo + (m_nCurRow - l.firstRow) * H + H / 2;
    const Point tri[3] = {{x0 - 15, yc}, {x0 - 21, yc - 4}, {x0 - 21, yc + 4}};
    c.FillPolygon(tri, 3, colors::kBlack);
  }

  // Header items above the table.
  for (int k = 0; k < std::clamp(m_nLinesAbove, 0, 3); ++k) DrawItemLine(c, l, k * 3, forPrint, page, pages);

  // Signature block under the last row.
  const bool holdsLast = l.HoldsLastRow();
  if (holdsLast && m_nSignLines > 0) {
    c.Line(xo, yEnd, xo + W, yEnd, colors::kBlack, 1);
    c.DrawText(Rect{xo, yEnd, xo + l.right[1], yEnd + m_nSignLines * H}, m_sign[0], normal);
    TextStyle left;
    left.align = HAlign::Left;
    for (int k = 0; k < m_nSignLines; ++k) c.DrawText(l.signature[static_cast<std::size_t>(k)], m_sign[k + 1], left);
    yEnd += m_nSignLines * H;
  }
  if (m_nLineBelow > 0 && (forPrint || holdsLast)) DrawItemLine(c, l, 9, forPrint, page, pages);

  // Title.
  c.SetFont(Font{FontRole::Title, m_nFontHeight + 4, 900});
  if (!m_bTitleLocked) c.FillRect(l.title, colors::kWhite);
  c.DrawText(l.title, m_strTitle, normal);
  c.SetFont(Font{FontRole::Cell, m_nFontHeight, 400});

  // The frame of the table and its inner lines.
  const int hL = m_nHeaderLines;
  const int top = yo - hL * H;
  c.Line(xo, top, xo + W, top, colors::kBlack, 2);
  c.Line(xo + W, top, xo + W, yEnd, colors::kBlack, 2);
  c.Line(xo + W, yEnd, xo, yEnd, colors::kBlack, 2);
  c.Line(xo, yEnd, xo, top, colors::kBlack, 2);
  if (m >= 1) c.Line(xo + l.right[1], yo, xo + l.right[1], yEnd, colors::kBlack, 1);
  for (int j = 2; j <= m; ++j) c.Line(xo + l.right[j], yo, xo + l.right[j], yo + l.visibleRows * H, colors::kBlack, 1);
  DrawColumnHeaders(c, l);
  c.Line(xo, yo, xo + W, yo, colors::kBlack, 1);
  PaintOverlay(c, l, forPrint, page, pages);
}

void CTableView::DrawColumnHeaders(ICanvas& c, const CTableLayout& l) {
  const int m = GetColCount(), H = l.H, hL = m_nHeaderLines;
  const int xo = l.xOrigin, yo = l.yOrigin, top = yo - hL * H;
  const TextStyle st;
  for (int j = 1; j <= m; ++j) {
    const CColumn& col = m_columns[j];
    const int x1 = xo + l.right[j - 1], x2 = xo + l.right[j];
    int lineTop = top;
    if (col.header2.empty()) {
      c.DrawText(Rect{x1, top, x2, yo}, col.header1, st);
    } else {
      if (col.headerSpan > 1) {
        const int last = std::min(m, j + col.headerSpan - 1);
        const int xs = xo + l.right[last];
        c.DrawText(Rect{x1, top, xs, top + H}, col.header1, st);
        c.Line(x1, yo - (hL - 1) * H, xs, yo - (hL - 1) * H, colors::kBlack, 1);
      } else if (!col.header1.empty()) {
        c.DrawText(Rect{x1, top, x2, top + H}, col.header1, st);
      } else {
        lineTop = top + H;  // covered by a span on its left
      }
      c.DrawText(Rect{x1, top + H, x2, top + 2 * H}, col.header2, st);
      if (hL > 2) c.DrawText(Rect{x1, top + 2 * H, x2, top + 3 * H}, col.header3, st);
      if (hL > 3) c.DrawText(Rect{x1, top + 3 * H, x2, top + 4 * H}, col.header4, st);
    }
    c.Line(x1, lineTop, x1, yo, colors::kBlack, 1);
  }
}

void CTableView::DrawFrame(ICanvas& c) {
  const int w = m_nClientWidth, h = m_nClientHeight, band = m_nBandHeight;
  c.FillRect(Rect{0, 0, w, band}, m_clrFace);
  c.Line(0, 0, w - 1, 0, colors::kHighlight, 1);
  c.Line(0, 0, 0, band - 1, colors::kHighlight, 1);
  c.Line(0, band - 1, w - 1, band - 1, colors::kDarkShadow, 1);
  c.Line(w - 1, 0, w - 1, band - 1, colors::kDarkShadow, 1);
  c.Line(0, band, 0, h, colors::kDarkShadow, 1);
  c.Line(0, band, w, band, colors::kDarkShadow, 1);
  if (m_scroll.vVisible && m_scroll.hVisible) c.FillRect(Rect{w - 16, h - 16, w, h}, m_clrFace);
}

// ---- printing -------------------------------------------------------------------

PrintPlan CTableView::PaginateFor(int paperHeightMm, int paperWidthMm) const {
  PrintPlan p;
  p.paperHeightMm = paperHeightMm;
  p.paperWidthMm = paperWidthMm;
  p.rowHeightMm = m_nFontHeight > 0 ? m_nRowHeight * m_dPrintHeight / m_nFontHeight : 0;
  p.tableWidth = m_nFontHeight * (p.paperWidthMm - m_nMarginLeft - m_nMarginRight) / m_dPrintHeight;
  const int n = GetRowCount();
  const bool stagger = HasStaggeredColumn();
  p.rowsPerPage = 0;
  p.pages = 1;
  if (n > 0) {
    int rpp = static_cast<int>(m_nFontHeight * (p.paperHeightMm - m_nMarginTop - m_nMarginBottom) / m_dPrintHeight /
                               m_nRowHeight) -
              m_nHeaderLines - m_nLineBelow - m_nLinesAbove - 2;
    rpp = std::max(2, rpp);
    p.rowsPerPage = rpp;
    p.pages = (n - 1) / rpp + 1;
    if (p.pages > 1 && stagger) p.pages = (n - rpp - 1) / (rpp - 1) + 2;
    // Rows the pages really hold: after the first, each staggered page repeats the
    // previous page's last row.
    const int capacity = stagger ? rpp + (rpp - 1) * (p.pages - 1) : rpp * p.pages;
    if (m_bPadRows) p.padRows = std::max(0, capacity - m_nSignLines - n);
    for (int k = 1; k <= p.pages; ++k) p.firstRows.push_back((stagger ? rpp - 1 : rpp) * (k - 1) + 1);
  }
  return p;
}

const PrintPlan& CTableView::OnBeginPrinting(const PrintDevice& dev) {
  CommitEditor();
  int height = 297, width = 210;
  if (dev.dpiX > 0 && dev.dpiY > 0) {
    height = static_cast<int>(dev.physHeight * 25.4 / dev.dpiY + 0.1);
    width = static_cast<int>(dev.physWidth * 25.4 / dev.dpiX + 0.1);
  }
  PrintPlan p = PaginateFor(height, width);
  p.scale = (dev.dpiY / 25.4) * m_dPrintHeight / m_nFontHeight;
  m_plan = p;
  m_printDevice = dev;
  m_bPrinting = false;  // widths for the paper are computed afresh
  ComputeWidths(m_printLayout, true);
  m_bPrinting = true;
  return m_plan;
}

void CTableView::RefreshPrintWidths() {
  if (m_bPrinting) ComputeWidths(m_printLayout, true);
}

PageTransform CTableView::OnPrepareDC(int page) {
  PageTransform t;
  if (!m_bPrinting) return t;
  page = std::clamp(page, 1, std::max(1, m_plan.pages));
  m_nPrintPage = page;
  const int first = page <= static_cast<int>(m_plan.firstRows.size()) ? m_plan.firstRows[page - 1] : 1;
  RecalcLayout(first, std::max(1, m_plan.rowsPerPage), true);
  const int m = GetColCount();
  const double right = m > 0 ? m_printLayout.right[m] : 0;
  const int xo = m_printLayout.xOrigin;
  const double scale = m_plan.scale;
  if (m_bFitWidth && right > 0) {
    const double e = std::clamp(m_plan.tableWidth / right, 0.5, 1.0);
    t.scaleX = static_cast<int>(scale * e * 1000) / 1000.0;
    t.scaleY = static_cast<int>(scale * 1000) / 1000.0;
    t.originX = static_cast<int>((m_printDevice.width - (right + 2 * xo) * scale * e +
                                  (m_nMarginLeft - m_nMarginRight) * scale * m_nFontHeight / m_dPrintHeight) *
                                 0.5);
    t.originY = -m_printDevice.physOffsetY;
  } else {
    t.scaleX = t.scaleY = static_cast<int>(scale * 1000) / 1000.0;
    t.originX = static_cast<int>((m_printDevice.width - (right + 2 * xo) * scale) * 0.5);
    t.originY = 0;
  }
  return t;
}

void CTableView::OnPrint(ICanvas& c, int page) {
  if (!m_bPrinting) return;
  if (page != m_nPrintPage || m_printLayout.rows == 0) OnPrepareDC(page);
  if (GetColCount() == 0 || m_printLayout.rows == 0) return;
  Paint(c, m_printLayout, true, m_nPrintPage, m_plan.pages);
}

void CTableView::OnEndPrinting() {
  m_bPrinting = false;
  m_plan.padRows = 0;
  m_printLayout = CTableLayout{};
  m_bWidthsValid = false;
  m_bLayoutValid = false;
  Repaint();
}
