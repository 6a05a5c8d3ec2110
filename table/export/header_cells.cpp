#include "table/export/header_cells.h"

#include <algorithm>

#include "table/table_view.h"

namespace table {

int HeaderLineCount(const CTableView& view) { return std::clamp(view.GetColumnHeaderLines(), 1, 4); }

std::vector<HeaderCell> HeaderCells(const CTableView& view) {
  const int m = view.GetColCount(), hL = HeaderLineCount(view);
  std::vector<HeaderCell> out;
  int spanEnd = 0;  // last column covered by a first-line span
  for (int j = 1; j <= m; ++j) {
    const CTableView::CColumn& c = view.GetColumn(j);
    const bool covered = j <= spanEnd;
    const std::string* lines[4] = {&c.header1, &c.header2, &c.header3, &c.header4};
    if (covered) {
      if (c.header2.empty()) {
        if (hL > 1) out.push_back({1, hL - 1, j, j, ""});
        continue;
      }
    } else if (c.header2.empty()) {
      out.push_back({0, hL - 1, j, j, c.header1});
      continue;
    } else if (c.headerSpan > 1) {
      spanEnd = std::min(m, j + c.headerSpan - 1);
      out.push_back({0, 0, j, spanEnd, c.header1});
    } else {
      out.push_back({0, 0, j, j, c.header1});
    }
    for (int L = 1; L < hL; ++L) out.push_back({L, L, j, j, *lines[L]});
  }
  return out;
}

std::string ExportItemText(const CTableView& view, int k, int page, int pages) {
  std::string t = view.GetHeaderText(k);
  if (t == kPageTemplate) t = pages > 0 ? PageText(page, pages) : std::string();
  return t;
}

bool IsHiddenStaggerCell(const CTableView& view, int row, int col) {
  return row == view.GetRowCount() && view.GetColumn(col).stagger;
}

}  // namespace table
