#pragma once
// Helpers the three books share for moving a page between book and grid.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "records/shb_page.h"
#include "records/shb_read.h"
#include "table/cell_edit.h"
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

// Rows of a page of a book read in sets: whole station blocks of 2 × 测回数 rows,
// 2 × sets × ⌊tableRows / (2 × sets)⌋. A 测回数 below 1 is repaired to 2 and said
// through `repaired` (the document is then modified).
inline int SetRowsPerPage(int& sets, int tableRows, bool& repaired) {
  if (sets < 1) {
    sets = 2;
    repaired = true;
  }
  const int block = 2 * sets;
  return block * (tableRows / block);
}

// A page of `rows` empty rows appended, its header taken from the last page.
template <class Page>
void AppendPage(std::vector<Page>& pages, int rows) {
  Page page;
  page.Init(rows);
  InitNewPageHeader(page, pages);
  pages.push_back(std::move(page));
}

// The page of a 0-based index, or nullptr.
template <class Page>
Page* PageAt(std::vector<Page>& pages, int page) {
  return page >= 0 && page < static_cast<int>(pages.size()) ? &pages[static_cast<std::size_t>(page)] : nullptr;
}

// Grid column col (1-based) shows page cell col − 1, for the books whose grid is
// their page; -1 past the page's cells.
template <class Page>
int SameCell(int col) {
  return col >= 1 && col <= Page::Row::kCells ? col - 1 : -1;
}

// A circle reading as the grid shows it: the form the angle editor stores ("  0 00 12"),
// also for a reading kept in another notation (a file's "0.0012"), so that read and
// typed readings look alike on screen and on paper. Text the editor would store as
// another angle stays as it is.
inline std::string ShownAngleText(const std::string& text) {
  if (text.empty() || !ReadAngleCell(text).Ok() || !table::EditTextAccepted(table::kInputAngle, text)) return text;
  std::string shown = table::FinishEditText(table::kInputAngle, text);
  if (!ReadAngleCell(shown).Ok() ||
      std::fabs(survey::ParseAngleText(shown) - survey::ParseAngleText(text)) > 1e-11)
    return text;
  return shown;
}

// The text of a page cell in grid column c.
inline std::string ShownCellText(const CTableView& grid, int c, const std::string& text) {
  return grid.GetColumnInputType(c) == table::kInputAngle ? ShownAngleText(text) : text;
}

// The page's header and cells into the grid, column by column through cellOf
// (-1: an empty cell).
template <class Page, class CellOf>
void PageToGrid(CTableView& grid, const Page& page, CellOf cellOf) {
  HeaderToGrid(grid, page);
  for (int r = 1; r <= grid.GetRowCount(); ++r)
    for (int c = 1; c <= grid.GetColCount(); ++c) grid.SetCellText(r, c, ShownCellText(grid, c, page.Cell(r - 1, cellOf(c))));
}

// SavePageFromGrid of every book: the title, the header and the rows the page
// has, through cellOf. False for a page the book does not have.
template <class Book, class CellOf>
bool SaveGridToPage(Book& book, const CTableView& grid, int page, CellOf cellOf) {
  auto* pg = PageAt(book.m_arrPages, page);
  if (!pg) return false;
  book.m_strTitle = grid.GetTitle();
  HeaderFromGrid(grid, *pg);
  const int rows = std::min(grid.GetRowCount(), pg->RowCount());
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= grid.GetColCount(); ++c) {
      const int cell = cellOf(c);
      if (cell < 0) continue;
      std::string& stored = pg->At(r - 1, cell);
      const std::string& shown = grid.CellText(r, c);
      // A cell shown in another notation than stored keeps the page's text until edited.
      if (shown != stored && shown != ShownCellText(grid, c, stored)) stored = shown;
    }
  return true;
}

// ClearResults of every book: before a computation, the locked (computed) cells
// are emptied on the grid and in the page, except in column keepCol (0: none).
template <class Book, class CellOf>
void ClearLockedCells(Book& book, CTableView& grid, int page, CellOf cellOf, int keepCol = 0) {
  if (book.m_bComputed || grid.GetRowCount() == 0) return;
  auto* pg = PageAt(book.m_arrPages, page);
  for (int r = 1; r <= grid.GetRowCount(); ++r)
    for (int c = 1; c <= grid.GetColCount(); ++c) {
      if (!grid.IsCellLocked(r, c) || c == keepCol) continue;
      grid.SetCellText(r, c, "");
      const int cell = cellOf(c);
      if (pg && cell >= 0 && r - 1 < pg->RowCount()) pg->At(r - 1, cell).clear();
    }
}

}  // namespace records
