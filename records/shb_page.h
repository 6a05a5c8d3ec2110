#pragma once
// The page model every field book shares: a page is twelve header texts and rows of
// a fixed number of text cells, kept exactly as typed. The records grid is only a
// window on one page; the books copy between the two (LoadPageToGrid /
// SavePageFromGrid). Each book instantiates this with its cell count and nests the
// three types under the names CCol, CRow and CPage.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace records {

// The header labels of a book's first page (items 0..5; items 6..11 are the values).
inline constexpr std::array<const char*, 6> kDefaultPageLabels = {"工程名称：", "仪器：", "天气：",
                                                                  "观测者：", "记录者：", "日期："};

// The grid decimals the computations write with ("角度取位", "边长取位", "高差取位").
struct Decimals {
  int angle = 0;
  int dist = 3;
  int height = 4;
};

struct ShbCol {
  std::string m_strText;
  friend bool operator==(const ShbCol&, const ShbCol&) = default;
};

template <int Cells>
struct ShbRow {
  static constexpr int kCells = Cells;
  std::vector<ShbCol> cols = std::vector<ShbCol>(Cells);
  std::string& operator[](int cell) { return cols[static_cast<std::size_t>(cell)].m_strText; }
  const std::string& operator[](int cell) const { return cols[static_cast<std::size_t>(cell)].m_strText; }
  friend bool operator==(const ShbRow&, const ShbRow&) = default;
};

template <int Cells>
struct ShbPage {
  using Row = ShbRow<Cells>;
  std::array<std::string, 12> m_strHeader{};
  std::vector<Row> m_arrRows;

  // Empty header texts and `rows` rows of empty cells.
  void Init(int rows) {
    m_strHeader.fill(std::string());
    m_arrRows.assign(static_cast<std::size_t>(rows < 0 ? 0 : rows), Row());
  }
  // Keeps the first `rows` rows (their cells untouched), cuts or appends the rest.
  void SetRowCount(int rows) { m_arrRows.resize(static_cast<std::size_t>(rows < 0 ? 0 : rows)); }
  int RowCount() const { return static_cast<int>(m_arrRows.size()); }
  // Cell text; rows or cells outside the page read as empty.
  const std::string& Cell(int row, int cell) const {
    static const std::string kEmpty;
    if (row < 0 || row >= RowCount() || cell < 0 || cell >= Cells) return kEmpty;
    return m_arrRows[static_cast<std::size_t>(row)][cell];
  }
  std::string& At(int row, int cell) { return m_arrRows[static_cast<std::size_t>(row)][cell]; }
  // True when a cell of rows [from, end) holds typed text.
  bool HasTextFrom(int from) const {
    for (int r = from < 0 ? 0 : from; r < RowCount(); ++r)
      for (const ShbCol& c : m_arrRows[static_cast<std::size_t>(r)].cols)
        if (!c.m_strText.empty()) return true;
    return false;
  }
  friend bool operator==(const ShbPage&, const ShbPage&) = default;
};

// Header of a page appended to a book: the last page's texts, or the default labels.
template <class Page>
void InitNewPageHeader(Page& page, const std::vector<Page>& pages) {
  if (!pages.empty()) {
    page.m_strHeader = pages.back().m_strHeader;
    return;
  }
  for (std::size_t i = 0; i < kDefaultPageLabels.size(); ++i) page.m_strHeader[i] = kDefaultPageLabels[i];
}

// The tree addresses at most this many pages of a book ("DX" codes 10..999 and 1000.. for the others).
inline constexpr int kMaxTraversePages = 990;
inline constexpr int kMaxBookPages = 1000;

}  // namespace records
