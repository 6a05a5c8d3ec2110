#pragma once
// Helpers the three books share for moving a page between book and grid.
#include <string>

#include "table/table_view.h"

namespace records {

// Position of grid row r in a block of `blockRows` rows: r mod blockRows, except
// that a block of 2 rows gives 1 and 2 (never 0).
inline int BlockPos(int row, int blockRows) {
  if (blockRows <= 0) return 1;
  const int p = row % blockRows;
  return blockRows == 2 && p == 0 ? 2 : p;
}

// The twelve header items between grid and page.
template <class Page>
void HeaderToGrid(CTableView& grid, const Page& page) {
  for (int i = 0; i < 12; ++i) grid.SetHeaderText(i, page.m_strHeader[static_cast<std::size_t>(i)]);
}
template <class Page>
void HeaderFromGrid(const CTableView& grid, Page& page) {
  for (int i = 0; i < 12; ++i) page.m_strHeader[static_cast<std::size_t>(i)] = grid.GetHeaderText(i);
}

// Every cell of the grid locked (or unlocked) and with its border.
inline void LockAll(CTableView& grid, bool locked) {
  for (int r = 1; r <= grid.GetRowCount(); ++r)
    for (int c = 1; c <= grid.GetColCount(); ++c) {
      grid.SetCellLocked(r, c, locked);
      grid.SetCellNoBorder(r, c, false);
    }
}

}  // namespace records
