#include "table/export/xlsx_export.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <any>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/gbk.h"
#include "platform/ports.h"
#include "platform/textfile.h"
#include "table/export/header_cells.h"
#include "table/export/xlsx_book.h"
#include "table/export/export_session.h"
#include "table/table_view.h"

namespace table {

bool PlainNumber(const std::string& t, double* value, int* decimals) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
  const std::size_t intStart = i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  const std::size_t intDigits = i - intStart;
  if (intDigits == 0 || (intDigits > 1 && t[intStart] == '0')) return false;
  std::size_t frac = 0;
  if (i < t.size() && t[i] == '.') {
    ++i;
    const std::size_t f = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    frac = i - f;
    if (frac == 0) return false;
  }
  if (i != t.size() || intDigits + frac > 15) return false;
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  double v = 0;
  if (std::from_chars(first, t.data() + t.size(), v).ec != std::errc()) return false;
  if (v == 0 && t[0] == '-') return false;
  if (value) *value = v;
  if (decimals) *decimals = static_cast<int>(frac);
  return true;
}

namespace {

XlsxCell Cell(const std::string& text) {
  XlsxCell c;
  c.text = text;
  c.number = PlainNumber(text, &c.value, &c.decimals);
  c.plus = c.number && text[0] == '+';
  return c;
}

}  // namespace

namespace {

// The three items of header line `first`..`first + 2`; empty when all three are.
std::vector<std::string> ItemLine(const CTableView& v, int first) {
  std::vector<std::string> items;
  bool any = false;
  for (int k = first; k < first + 3; ++k) {
    items.push_back(ExportItemText(v, k, 1, 0));  // a sheet has no pages
    any = any || !items.back().empty();
  }
  return any ? items : std::vector<std::string>();
}

// An item line on sheet row `row`: the three items over thirds of the columns, as on
// paper; a table of one or two columns takes them in its first cell.
void PutItems(XlsxSheet& s, int row, const std::vector<std::string>& items) {
  const int m = std::max(s.cols, 1);
  auto& cells = s.rows[static_cast<std::size_t>(row)];
  if (m < 3) {
    std::string joined;
    for (const std::string& t : items)
      if (!t.empty()) joined += (joined.empty() ? "" : "  ") + t;
    cells[0].text = joined;
    cells[0].item = true;
    if (m > 1) s.merges.push_back({row, 0, row, m - 1});
    return;
  }
  for (int k = 0; k < 3; ++k) {
    const int c0 = k * m / 3, c1 = (k + 1) * m / 3 - 1;
    for (int c = c0; c <= c1; ++c) cells[static_cast<std::size_t>(c)].item = true;
    cells[static_cast<std::size_t>(c0)].text = items[static_cast<std::size_t>(k)];
    if (c1 > c0) s.merges.push_back({row, c0, row, c1});
  }
}

}  // namespace

XlsxSheet BuildXlsxSheet(const CTableView& v, bool halfRow, bool items) {
  XlsxSheet s;
  const int m = v.GetColCount(), n = v.GetRowCount(), hL = HeaderLineCount(v);
  std::vector<std::vector<std::string>> above;
  std::vector<std::string> below;
  if (items && m > 0) {
    for (int k = 0; k < std::clamp(v.m_nLinesAbove, 0, 3); ++k)
      if (auto line = ItemLine(v, 3 * k); !line.empty()) above.push_back(std::move(line));
    if (v.m_nLineBelow > 0) below = ItemLine(v, 9);
  }
  const int A = static_cast<int>(above.size()), B = below.empty() ? 0 : 1;
  s.cols = m;
  s.itemRows = A;
  s.headerRows = hL;
  const bool half = halfRow && v.HasStaggeredColumn();
  const int per = half ? 2 : 1;
  const std::size_t width = static_cast<std::size_t>(std::max(m, 1));
  const int signs = m > 0 ? std::clamp(v.GetSignatureLines(), 0, 2) : 0;
  s.rows.assign(static_cast<std::size_t>(1 + A + hL + per * n + signs + B), std::vector<XlsxCell>(width));
  s.widths.assign(width, 4);
  auto widen = [&](int col, const std::string& t) {
    s.widths[static_cast<std::size_t>(col)] = std::max(s.widths[static_cast<std::size_t>(col)], platform::GbkWidth(t) + 2);
  };

  s.rows[0][0].text = v.GetTitle();
  if (m > 1) s.merges.push_back({0, 0, 0, m - 1});
  for (int k = 0; k < A; ++k) PutItems(s, 1 + k, above[static_cast<std::size_t>(k)]);
  for (const HeaderCell& h : HeaderCells(v)) {
    s.rows[static_cast<std::size_t>(1 + A + h.line0)][static_cast<std::size_t>(h.col0 - 1)].text = h.text;
    if (h.line0 != h.line1 || h.col0 != h.col1) s.merges.push_back({1 + A + h.line0, h.col0 - 1, 1 + A + h.line1, h.col1 - 1});
    if (h.col0 == h.col1) widen(h.col0 - 1, h.text);
  }
  const int base = 1 + A + hL;
  for (int r = 1; r <= n; ++r) {
    const int row = base + per * (r - 1);
    for (int j = 1; j <= m; ++j) {
      const std::string& t = v.CellText(r, j);
      if (t.empty()) continue;
      widen(j - 1, t);
      if (!half) {
        s.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(j - 1)] = Cell(t);
        continue;
      }
      if (!v.GetColumn(j).stagger) {
        s.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(j - 1)] = Cell(t);
      } else if (r < n) {
        s.rows[static_cast<std::size_t>(row + 1)][static_cast<std::size_t>(j - 1)] = Cell(t);
      }
    }
    if (!half) continue;
    for (int j = 1; j <= m; ++j) {
      if (!v.GetColumn(j).stagger) s.merges.push_back({row, j - 1, row + 1, j - 1});
      else if (r < n) s.merges.push_back({row + 1, j - 1, row + 2, j - 1});
    }
  }
  // The signature block: its label beside its lines, each line across the other columns.
  const int first = base + per * n;
  for (int k = 0; k < signs; ++k) {
    auto& row = s.rows[static_cast<std::size_t>(first + k)];
    if (m == 1) {
      row[0].text = k == 0 ? v.GetSignatureText(0) + " " + v.GetSignatureText(1) : v.GetSignatureText(2);
      row[0].left = true;
      continue;
    }
    if (k == 0) row[0].text = v.GetSignatureText(0);
    row[1].text = v.GetSignatureText(k + 1);
    row[1].left = true;
    if (m > 2) s.merges.push_back({first + k, 1, first + k, m - 1});
  }
  if (signs > 1 && m > 1) s.merges.push_back({first, 0, first + signs - 1, 0});
  if (B) PutItems(s, first + signs, below);
  return s;
}

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The first `count` characters of a UTF-8 text.
std::string Chars(const std::string& s, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t k = 0; k < count && i < s.size(); ++k) i += platform::Utf8CharLen(s, i);
  return s.substr(0, i);
}

}  // namespace

std::string UniqueSheetName(const std::string& title, const std::vector<XlsxSheet>& sheets) {
  std::vector<std::string> names;
  for (const XlsxSheet& s : sheets) names.push_back(s.name);
  return UniqueSheetName(title, names);
}

std::string UniqueSheetName(const std::string& title, const std::vector<std::string>& names) {
  std::string base;
  for (char c : title)
    if (std::string_view("[]:*?/\\\r\n\t").find(c) == std::string_view::npos) base += c;
  while (!base.empty() && (base.front() == '\'' || base.front() == ' ')) base.erase(base.begin());
  while (!base.empty() && (base.back() == '\'' || base.back() == ' ')) base.pop_back();
  if (base.empty()) base = "Sheet";
  auto taken = [&](const std::string& name) {
    for (const std::string& s : names)
      if (Lower(s) == Lower(name)) return true;
    return false;
  };
  std::string name = Chars(base, 31);
  while (!name.empty() && name.back() == '\'') name.pop_back();
  for (int k = 2; taken(name) || name.empty(); ++k) {
    const std::string tail = "(" + std::to_string(k) + ")";
    name = Chars(base, 31 - tail.size()) + tail;
  }
  return name;
}

namespace {

class Formats {
 public:
  explicit Formats(lxw_workbook* wb) : wb_(wb) {
    title_ = workbook_add_format(wb);
    format_set_bold(title_);
    format_set_font_size(title_, 14);
    format_set_align(title_, LXW_ALIGN_CENTER);
    format_set_align(title_, LXW_ALIGN_VERTICAL_CENTER);
    text_ = Framed();
    format_set_num_format(text_, "@");
    left_ = Framed();
    format_set_num_format(left_, "@");
    format_set_align(left_, LXW_ALIGN_LEFT);
    item_ = workbook_add_format(wb);
    format_set_num_format(item_, "@");
    format_set_align(item_, LXW_ALIGN_LEFT);
    format_set_align(item_, LXW_ALIGN_VERTICAL_CENTER);
  }
  lxw_format* Title() const { return title_; }
  lxw_format* Text() const { return text_; }
  lxw_format* Left() const { return left_; }
  lxw_format* Item() const { return item_; }
  lxw_format* Number(int decimals, bool plus) {
    const int key = plus ? -1 - decimals : decimals;
    auto it = numbers_.find(key);
    if (it != numbers_.end()) return it->second;
    lxw_format* f = Framed();
    const std::string digits = decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
    // A shown plus sign stays on a zero too ("+0.00").
    const std::string code = plus ? "+" + digits + ";-" + digits + ";+" + digits : digits;
    format_set_num_format(f, code.c_str());
    return numbers_[key] = f;
  }

 private:
  lxw_format* Framed() {
    lxw_format* f = workbook_add_format(wb_);
    format_set_border(f, LXW_BORDER_THIN);
    format_set_align(f, LXW_ALIGN_CENTER);
    format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    return f;
  }
  lxw_workbook* wb_;
  lxw_format* title_;
  lxw_format* text_;
  lxw_format* left_;
  lxw_format* item_;
  std::map<int, lxw_format*> numbers_;
};

std::string Reason(lxw_error e) {
  if (e == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE) return "表格超出EXCEL工作表的范围（1048576行）。";
  return e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_CREATING_TMPFILE ? platform::FileErrorText(errno)
                                                                             : std::string(lxw_strerror(e));
}

lxw_error WriteSheet(lxw_workbook* wb, Formats& f, const XlsxSheet& s) {
  lxw_worksheet* ws = workbook_add_worksheet(wb, s.name.c_str());
  if (!ws) return LXW_ERROR_SHEETNAME_ALREADY_USED;
  for (std::size_t c = 0; c < s.widths.size(); ++c)
    worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), s.widths[c], nullptr);
  auto put = [&](int r, int c) -> lxw_error {
    const XlsxCell& cell = s.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    const auto row = static_cast<lxw_row_t>(r);
    const auto col = static_cast<lxw_col_t>(c);
    if (r == 0) return worksheet_write_string(ws, row, col, cell.text.c_str(), f.Title());
    if (cell.number) return worksheet_write_number(ws, row, col, cell.value, f.Number(cell.decimals, cell.plus));
    lxw_format* text = cell.item ? f.Item() : cell.left ? f.Left() : f.Text();
    if (cell.text.empty()) return worksheet_write_blank(ws, row, col, text);
    return worksheet_write_string(ws, row, col, cell.text.c_str(), text);
  };
  for (const XlsxMerge& g : s.merges) {
    lxw_error e = worksheet_merge_range(ws, static_cast<lxw_row_t>(g.row0), static_cast<lxw_col_t>(g.col0),
                                        static_cast<lxw_row_t>(g.row1), static_cast<lxw_col_t>(g.col1), "",
                                        g.row0 == 0 ? f.Title()
                                        : s.rows[static_cast<std::size_t>(g.row0)][static_cast<std::size_t>(g.col0)].item
                                            ? f.Item()
                                            : f.Text());
    if (e != LXW_NO_ERROR) return e;
  }
  // Merged ranges got framed blanks; now every cell gets its value (or a framed blank).
  for (std::size_t r = 0; r < s.rows.size(); ++r)
    for (std::size_t c = 0; c < s.rows[r].size() && c < static_cast<std::size_t>(std::max(s.cols, 1)); ++c) {
      if (r == 0 && c > 0) continue;
      if (r == 0 && s.rows[0][0].text.empty()) continue;
      if (lxw_error e = put(static_cast<int>(r), static_cast<int>(c)); e != LXW_NO_ERROR) return e;
    }
  return LXW_NO_ERROR;
}

}  // namespace

namespace {

// Builds the workbook of `sheets` in the temporary file of `file`, beside its target:
// the writer only takes a file name, and a killed export then leaves nothing in the
// system's temporary folder (the next write to the target removes what it left).
bool BuildWorkbook(platform::CAtomicFile& file, const std::vector<XlsxSheet>& sheets, std::string* error) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_FALSE;
  lxw_workbook* wb = workbook_new_opt(file.TempPath().c_str(), &options);
  if (!wb) {
    if (error) *error = "不能建立工作簿。";
    return false;
  }
  Formats formats(wb);
  lxw_error e = LXW_NO_ERROR;
  for (const XlsxSheet& s : sheets)
    if ((e = WriteSheet(wb, formats, s)) != LXW_NO_ERROR) break;
  const lxw_error closed = workbook_close(wb);
  if (e == LXW_NO_ERROR) e = closed;
  if (e != LXW_NO_ERROR) {
    if (error) *error = Reason(e);
    return false;
  }
  return true;
}

// The workbook of `sheets` as the bytes of an .xlsx package, built beside `path`.
std::optional<std::string> XlsxBytes(const std::vector<XlsxSheet>& sheets, const std::string& path,
                                     std::string* error) {
  platform::CAtomicFile scratch;  // never committed: removed when done
  if (!scratch.Open(path)) {
    scratch.Commit(error);
    return std::nullopt;
  }
  if (!BuildWorkbook(scratch, sheets, error)) return std::nullopt;
  return platform::ReadFileBytes(scratch.TempPath(), std::size_t(1) << 31, error);
}

}  // namespace

bool WriteXlsx(const std::string& path, const std::vector<XlsxSheet>& sheets, std::string* error) {
  platform::CAtomicFile file;
  if (!file.Open(path)) return file.Commit(error);
  return BuildWorkbook(file, sheets, error) && file.Commit(error);
}

bool AddXlsxSheet(const std::string& path, XlsxSheet sheet, const std::string& title, std::string* error) {
  std::optional<std::string> book = platform::ReadFileBytes(path, std::size_t(1) << 30, error);
  if (!book) return false;
  std::optional<std::vector<std::string>> names = WorkbookSheetNames(*book, error);
  if (!names) return false;
  sheet.name = UniqueSheetName(title, *names);
  std::optional<std::string> ours = XlsxBytes({sheet}, path, error);
  if (!ours) return false;
  std::optional<std::string> merged = AddSheetsToWorkbook(*book, *ours, error);
  return merged && platform::WriteFileAtomic(path, *merged, error);
}

}  // namespace table

bool CTableView::ExportToExcel(bool keepHalfRowOffset) {
  using namespace table;
  CExportSession& s = ExcelSession();
  if (s.target.empty()) return false;
  XlsxSheet sheet = BuildXlsxSheet(*this, keepHalfRowOffset);
  if (s.AddsToFile()) {
    // A workbook this session did not write as it is now: our sheet joins its own.
    if (!s.Write([&](const std::string& path, std::string* error) { return AddXlsxSheet(path, sheet, GetTitle(), error); }))
      return false;
    s.content.reset();
    return true;
  }
  auto sheets = s.Kept<std::vector<XlsxSheet>>();
  sheet.name = UniqueSheetName(GetTitle(), sheets);
  sheets.push_back(std::move(sheet));
  if (!s.Write([&](const std::string& path, std::string* error) { return WriteXlsx(path, sheets, error); }))
    return false;
  s.content = std::move(sheets);
  return true;
}
