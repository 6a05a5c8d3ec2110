#pragma once
// The text export of a grid: GBK with CR LF.
//  0  a framed text table (box-drawing borders, column widths from the GBK widths of
//     the texts, a staggered column's values on their own line half a row lower),
//     with the title, the header items and the signature; tables are added after
//     what the file already holds;
//  1  the rows' cells separated by commas, nothing else;
//  2  CSV: the title, the header lines and the rows, quoted where needed.
// Cell texts are written as the grid shows them, so no locale touches the numbers.
#include <string>
#include <vector>

class CTableView;

namespace table {

enum TextExportFormat : int { kTextTable = 0, kTextComma = 1, kTextCsv = 2 };

// The lines of the export, UTF-8, without line ends.
std::vector<std::string> TextExportLines(const CTableView& view, int format);

// Writes the table to `path` atomically (format 0 adds it to the file's end). On
// failure returns false with a Chinese reason in *error; the old file stays as it was.
bool WriteTextExport(const CTableView& view, const std::string& path, int format, std::string* error);
// The same for lines already made (several tables written as one export).
bool WriteTextExportLines(const std::vector<std::string>& lines, const std::string& path, int format,
                          std::string* error);

}  // namespace table
