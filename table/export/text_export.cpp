#include "table/export/text_export.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/gbk.h"
#include "platform/textfile.h"
#include "table/export/header_cells.h"
#include "table/table_view.h"

namespace table {
namespace {

// Box-drawing characters by the directions they join (up 8, down 4, left 2, right 1).
// Each is two GBK bytes wide, so every width below is even.
const char* Junction(bool up, bool down, bool left, bool right) {
  static const char* const kBox[16] = {
      "  ", "─", "─", "─", "│", "┌", "┐", "┬", "│", "└", "┘", "┴", "│", "├", "┤", "┼"};
  return kBox[(up ? 8 : 0) | (down ? 4 : 0) | (left ? 2 : 0) | (right ? 1 : 0)];
}

void Append(std::string& line, const std::string& text, int width) {
  const int len = platform::GbkWidth(text);
  const int left = std::max(0, (width - len) / 2);
  line.append(static_cast<std::size_t>(left), ' ');
  line += text;
  line.append(static_cast<std::size_t>(std::max(0, width - len - left)), ' ');
}

std::string RightTrimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

class TextTable {
 public:
  explicit TextTable(const CTableView& v)
      : v_(v), m_(v.GetColCount()), n_(v.GetRowCount()), hL_(HeaderLineCount(v)), cells_(HeaderCells(v)) {
    owner_.assign(static_cast<std::size_t>(hL_), std::vector<int>(static_cast<std::size_t>(m_) + 2, -1));
    for (std::size_t i = 0; i < cells_.size(); ++i)
      for (int L = cells_[i].line0; L <= cells_[i].line1; ++L)
        for (int j = cells_[i].col0; j <= cells_[i].col1; ++j) owner_[L][j] = static_cast<int>(i);
    for (int j = 1; j <= m_; ++j) stagger_ = stagger_ || v.GetColumn(j).stagger;
    Widths();
  }

  void Write(std::vector<std::string>& out) const {
    const int W = TotalWidth();
    std::string title;
    Append(title, v_.GetTitle(), W);
    out.push_back(RightTrimmed(title));
    for (int k = 0; k < std::clamp(v_.m_nLinesAbove, 0, 3); ++k) ItemLine(out, k * 3, W);

    std::vector<bool> all(static_cast<std::size_t>(m_) + 1, true);
    Rule(out, nullptr, Bounds(0), all);
    for (int L = 0; L < hL_; ++L) {
      HeaderLine(out, L);
      std::vector<bool> under(static_cast<std::size_t>(m_) + 1, true);
      if (L + 1 < hL_)
        for (int j = 1; j <= m_; ++j) under[j] = owner_[L][j] != owner_[L + 1][j];
      const std::vector<bool> up = Bounds(L), down = L + 1 < hL_ ? Bounds(L + 1) : DataBounds();
      Rule(out, &up, down, under);
    }
    for (int r = 1; r <= n_; ++r) {
      RowLine(out, r, false);
      if (stagger_ && r < n_) RowLine(out, r, true);
    }
    const std::vector<bool> up = DataBounds();
    Rule(out, &up, std::vector<bool>(static_cast<std::size_t>(m_) + 1, false), all);

    const int signs = std::clamp(v_.GetSignatureLines(), 0, 2);
    for (int k = 0; k < signs; ++k) {
      std::string s = (k == 0 ? v_.GetSignatureText(0) + " " : std::string()) + v_.GetSignatureText(k + 1);
      if (!RightTrimmed(s).empty()) out.push_back(RightTrimmed(s));
    }
    if (v_.m_nLineBelow > 0) ItemLine(out, 9, W);
    out.emplace_back();  // a blank line parts this table from the next one added
  }

 private:
  void Widths() {
    w_.assign(static_cast<std::size_t>(m_) + 1, 0);
    for (int j = 1; j <= m_; ++j) {
      int len = 0;
      for (int r = 1; r <= n_; ++r) {
        const std::string& t = v_.CellText(r, j);
        if (static_cast<int>(t.size()) > len) len = std::max(len, platform::GbkWidth(t));
      }
      w_[j] = len;
    }
    for (const HeaderCell& c : cells_)
      if (c.col0 == c.col1) w_[c.col0] = std::max(w_[c.col0], platform::GbkWidth(c.text));
    for (int j = 1; j <= m_; ++j) w_[j] = (w_[j] + 2 + 1) / 2 * 2;  // a blank each side, even
    for (const HeaderCell& c : cells_) {
      if (c.col0 == c.col1) continue;
      const int need = platform::GbkWidth(c.text) + 2, have = Span(c.col0, c.col1);
      if (need > have) w_[c.col1] += (need - have + 1) / 2 * 2;
    }
  }
  int Span(int c0, int c1) const {
    int s = 2 * (c1 - c0);
    for (int j = c0; j <= c1; ++j) s += w_[j];
    return s;
  }
  int TotalWidth() const { return m_ > 0 ? Span(1, m_) + 4 : 0; }

  // Vertical borders of header line L at the boundaries 0..m.
  std::vector<bool> Bounds(int L) const {
    std::vector<bool> b(static_cast<std::size_t>(m_) + 1, true);
    for (int k = 1; k < m_; ++k) b[k] = owner_[L][k] != owner_[L][k + 1];
    return b;
  }
  std::vector<bool> DataBounds() const { return std::vector<bool>(static_cast<std::size_t>(m_) + 1, true); }

  // A horizontal rule between two lines; `ruled[j]` says whether column j is crossed.
  void Rule(std::vector<std::string>& out, const std::vector<bool>* up, const std::vector<bool>& down,
            const std::vector<bool>& ruled) const {
    std::string line;
    for (int k = 0; k <= m_; ++k) {
      const bool left = k > 0 && ruled[k], right = k < m_ && ruled[k + 1];
      line += Junction(up && (*up)[k], down[k], left, right);
      if (k < m_) {
        if (ruled[k + 1])
          for (int i = 0; i < w_[k + 1] / 2; ++i) line += "─";
        else
          line.append(static_cast<std::size_t>(w_[k + 1]), ' ');
      }
    }
    out.push_back(RightTrimmed(line));
  }

  void HeaderLine(std::vector<std::string>& out, int L) const {
    std::string line = "│";
    for (int j = 1; j <= m_;) {
      const HeaderCell& c = cells_[static_cast<std::size_t>(owner_[L][j])];
      const int mid = c.line0 + (c.line1 - c.line0) / 2;
      Append(line, L == mid ? c.text : std::string(), Span(c.col0, c.col1));
      line += "│";
      j = c.col1 + 1;
    }
    out.push_back(RightTrimmed(line));
  }

  void RowLine(std::vector<std::string>& out, int r, bool staggerHalf) const {
    std::string line = "│";
    for (int j = 1; j <= m_; ++j) {
      const bool st = v_.GetColumn(j).stagger;
      const bool shown = stagger_ ? st == staggerHalf && !IsHiddenStaggerCell(v_, r, j) : true;
      Append(line, shown ? v_.CellText(r, j) : std::string(), w_[j]);
      line += "│";
    }
    out.push_back(RightTrimmed(line));
  }

  void ItemLine(std::vector<std::string>& out, int first, int W) const {
    const int seg = W / 3;
    std::string line;
    bool any = false;
    for (int k = 0; k < 3; ++k) {
      // A text file has no pages: no page item.
      const std::string t = ExportItemText(v_, first + k, 1, 0);
      any = any || !t.empty();
      line += t;
      if (k < 2) {
        const int pad = (k + 1) * seg - platform::GbkWidth(line);
        line.append(static_cast<std::size_t>(std::max(1, pad)), ' ');
      }
    }
    if (any) out.push_back(RightTrimmed(line));
  }

  const CTableView& v_;
  int m_, n_, hL_;
  std::vector<HeaderCell> cells_;
  std::vector<std::vector<int>> owner_;  // header line -> column -> cell
  std::vector<int> w_;                   // inner width of each column, GBK bytes
  bool stagger_ = false;
};

std::string CsvField(const std::string& t) {
  if (t.find_first_of(",\"\r\n") == std::string::npos && (t.empty() || (t.front() != ' ' && t.back() != ' ')))
    return t;
  std::string q = "\"";
  for (char ch : t) {
    if (ch == '"') q += '"';
    q += ch;
  }
  return q + "\"";
}

std::string Joined(const std::vector<std::string>& items, bool csv) {
  std::string line;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) line += ',';
    line += csv ? CsvField(items[i]) : items[i];
  }
  return line;
}

void Rows(const CTableView& v, std::vector<std::string>& out, bool csv) {
  const int m = v.GetColCount();
  std::vector<std::string> items(static_cast<std::size_t>(m));
  for (int r = 1; r <= v.GetRowCount(); ++r) {
    for (int j = 1; j <= m; ++j) items[j - 1] = v.CellText(r, j);
    out.push_back(Joined(items, csv));
  }
}

void Csv(const CTableView& v, std::vector<std::string>& out) {
  const int m = v.GetColCount(), hL = HeaderLineCount(v);
  std::vector<std::string> items(static_cast<std::size_t>(m));
  items[0] = v.GetTitle();
  out.push_back(Joined(items, true));
  std::vector<std::vector<std::string>> head(static_cast<std::size_t>(hL), std::vector<std::string>(items.size()));
  for (const HeaderCell& c : HeaderCells(v)) head[c.line0][c.col0 - 1] = c.text;
  for (const auto& line : head) out.push_back(Joined(line, true));
  Rows(v, out, true);
  // The signature block (the closures under "备注"): its label, then each line.
  for (int k = 0; k < std::clamp(v.GetSignatureLines(), 0, 2); ++k) {
    std::fill(items.begin(), items.end(), std::string());
    if (k == 0) items[0] = v.GetSignatureText(0);
    if (m > 1) items[1] = v.GetSignatureText(k + 1);
    else items[0] += (k == 0 ? " " : "") + v.GetSignatureText(k + 1);
    out.push_back(Joined(items, true));
  }
}

}  // namespace

std::vector<std::string> TextExportLines(const CTableView& view, int format) {
  std::vector<std::string> out;
  if (view.GetColCount() < 1) return out;
  switch (format) {
    case kTextComma: Rows(view, out, false); break;
    case kTextCsv: Csv(view, out); break;
    default: TextTable(view).Write(out); break;
  }
  return out;
}

bool WriteTextExport(const CTableView& view, const std::string& path, int format, std::string* error) {
  return WriteTextExportLines(TextExportLines(view, format), path, format, error);
}

bool WriteTextExportLines(const std::vector<std::string>& lines, const std::string& path, int format,
                          std::string* error) {
  int badLine = 0;
  std::string badChar;
  std::optional<std::string> bytes = platform::EncodeGbkLines(lines, &badLine, &badChar);
  if (!bytes) {
    if (error) *error = "表格中的字符“" + badChar + "”不能存为GBK文本。";
    return false;
  }
  if (format == kTextTable) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
      std::optional<std::string> old = platform::ReadFileBytes(path, std::size_t(512) << 20, error);
      if (!old) return false;
      if (!old->empty() && old->back() != '\n') *old += "\r\n";
      bytes = *old + *bytes;
    }
  }
  return platform::WriteFileAtomic(path, *bytes, error);
}

}  // namespace table
