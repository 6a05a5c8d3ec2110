#pragma once
// The word-processor export of a grid: an .odt document (an ODF text document, our
// own small writer over libzip). Each exported table starts a page of its own paper:
// the title, the header items, then a framed table of the header lines (with their
// spans merged), the rows and the signature block. The document is laid out from the
// Word font and paper: columns as wide as their widest text (a table wider than the
// paper gets a smaller font), rows and lines of fixed height. Split per page, each
// page of that layout is one table with its page item filled in ("第 2 页  共 5 页");
// one table running over pages has no page item. In the row-offset mode a staggered
// column's values lie half a row lower, merged over two half rows as in the workbook.
#include <string>
#include <vector>

class CTableView;

namespace table {

struct OdtPageSetup {
  int heightMm = 297, widthMm = 210;
  bool landscape = false;
  int marginTop = 20, marginBottom = 20, marginLeft = 20, marginRight = 20;
  bool operator==(const OdtPageSetup&) const = default;
};

struct OdtCell {
  std::string text;
  int colSpan = 1, rowSpan = 1;
  bool covered = false;  // under another cell's span
  bool left = false;     // a line of the signature block, aligned left
};

struct OdtTable {
  OdtPageSetup page;
  double fontPt = 10.5;
  double rowMm = 0;   // least height of a table row; 0: as the text needs
  double lineMm = 0;  // fixed height of a line of text in a cell; 0: as the font needs
  std::string title;
  std::vector<std::vector<std::string>> above;  // header-item lines above, three items each
  std::vector<std::string> below;               // the item line below (empty: none)
  int headerRows = 0;                           // the first rows repeat on every page
  std::vector<std::vector<OdtCell>> rows;
  std::vector<bool> halfRows;                   // rows of half height (the row-offset mode)
  std::vector<int> widths;                      // relative column widths
};

// How the document lays out one export of the view with its Word settings and margins.
struct WordPagePlan {
  double fontPt = 10.5;
  bool shrunk = false;             // the Word font was made smaller to fit the paper's width
  double rowMm = 0, lineMm = 0;    // a table row, a line of text in it
  std::vector<double> widthsMm;    // per column
  std::vector<int> firstRows, lastRows;  // per table: one, or one per page when split
  int Pages() const { return static_cast<int>(firstRows.size()); }
};
WordPagePlan PlanWordPages(const CTableView& view, bool split, bool rowOffset);

// The tables of one export: one, or one per page of the plan when `split` (the row
// offset keeps the table whole).
std::vector<OdtTable> BuildOdtTables(const CTableView& view, bool split, bool rowOffset);

// The parts of the document.
std::string OdtContentXml(const std::vector<OdtTable>& tables);
std::string OdtStylesXml(const std::vector<OdtTable>& tables);

// Writes the document to `path` atomically; false with a Chinese reason on failure,
// the old file intact.
bool WriteOdt(const std::string& path, const std::vector<OdtTable>& tables, std::string* error);

// Adds the tables after the content of the text document at `path` (its parts, styles
// and pages kept), a page break before the first; a file that cannot be read as a text
// document is refused with the reason and left as it is.
bool AppendOdt(const std::string& path, const std::vector<OdtTable>& tables, std::string* error);

}  // namespace table
