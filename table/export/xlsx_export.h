#pragma once
// The spreadsheet export of a grid: an .xlsx workbook, one sheet per exported table.
// A sheet holds the title merged across the columns, the header lines with their
// merges as the grid draws them, and the rows. In the half-row mode every table row
// takes two sheet rows, so a staggered column's value lies half a row lower, merged
// over the lower half of its row and the upper half of the next. Cells that are plain
// numbers become numbers shown with the decimals (and the plus sign) of their text;
// every other cell stays text (point names such as "007", and "-0.00", included). The
// header items (工程名称, 等级, ...) stand above and below the table as they print, the
// signature block ("备注" with the closures) after the rows.
#include <string>
#include <vector>

class CTableView;

namespace table {

struct XlsxCell {
  std::string text;
  bool number = false;
  double value = 0;
  int decimals = 0;
  bool plus = false;  // the text shows its sign ("+0.558"): so does the number format
  bool left = false;  // a line of the signature block, aligned left
  bool item = false;  // a header item above or below the table: unframed, aligned left
};

struct XlsxMerge {
  int row0, col0, row1, col1;  // 0-based, inclusive
};

struct XlsxSheet {
  std::string name;
  int cols = 0;
  int itemRows = 0;                 // sheet rows 1..itemRows hold the header items above
  int headerRows = 0;               // the next headerRows rows hold the column headers
  std::vector<std::vector<XlsxCell>> rows;  // row 0 is the title
  std::vector<XlsxMerge> merges;
  std::vector<int> widths;          // column widths in characters
};

// A decimal number as the grid writes one: an optional sign, digits, an optional
// point with digits; no leading zero before other digits, at most 15 digits, not a
// negative zero (a number cannot show "-0.00").
bool PlainNumber(const std::string& text, double* value, int* decimals);

// The sheet of the view's table (no name yet); without `items` the header items are left
// out (a document places them itself).
XlsxSheet BuildXlsxSheet(const CTableView& view, bool halfRow, bool items = true);

// A valid sheet name from a title, unlike every name of `sheets` (compared without
// case): no []:*?/\ and no apostrophe at the ends, at most 31 characters, "(2)"...
// appended on a clash, "Sheet" for an empty title.
std::string UniqueSheetName(const std::string& title, const std::vector<XlsxSheet>& sheets);
std::string UniqueSheetName(const std::string& title, const std::vector<std::string>& names);

// Writes the workbook to `path` atomically; false with a Chinese reason on failure,
// the old file intact.
bool WriteXlsx(const std::string& path, const std::vector<XlsxSheet>& sheets, std::string* error);

// Adds `sheet` (named after its title, unlike the sheets there) to the workbook at
// `path`, keeping everything the workbook holds; a workbook that cannot be read is
// refused with the reason and left as it is.
bool AddXlsxSheet(const std::string& path, XlsxSheet sheet, const std::string& title, std::string* error);

}  // namespace table
