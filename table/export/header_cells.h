#pragma once
// The column headers of a grid as rectangles of header lines and columns, the way
// the grid paints them: a column without a second line fills every header line, a
// first line with a span covers the columns under it, the further lines belong to
// their own column. Text and spreadsheet writers merge and frame by these.
#include <string>
#include <vector>

class CTableView;

namespace table {

struct HeaderCell {
  int line0 = 0, line1 = 0;  // header lines covered, 0-based, inclusive
  int col0 = 1, col1 = 1;    // table columns covered, 1-based, inclusive
  std::string text;
};

// Number of header lines (at least 1) and the cells covering them; every (line,
// column) is covered by exactly one cell.
int HeaderLineCount(const CTableView& view);
std::vector<HeaderCell> HeaderCells(const CTableView& view);

// The text of header item k (0..11) as exported: the page item of printing reads
// "第 1 页  共 1 页" when the export is one page, and is left empty where the output
// has no pages of its own (`pages` 0: a sheet, one table running over pages).
std::string ExportItemText(const CTableView& view, int k, int page = 1, int pages = 1);

// True when the grid hides this cell: a staggered column's last row lies outside
// the table.
bool IsHiddenStaggerCell(const CTableView& view, int row, int col);

}  // namespace table
