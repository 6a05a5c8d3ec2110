// The table model of CTableView: rows, cells, columns, header texts, selection.
#include "table/table_view.h"

#include <cmath>

#include <algorithm>
#include <stdexcept>

#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "table/table_text.h"

namespace table {
namespace {
class SilentFrame final : public ITableFrame {
 public:
  void SetStatusPane(int, const std::string&) override {}
  void SetDocumentModified() override {}
  void SwitchToDrawing(CTableView&) override {}
};
SilentFrame g_silentFrame;
ITableFrame* g_frame = nullptr;

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
}
}  // namespace

ITableFrame& Frame() { return g_frame ? *g_frame : g_silentFrame; }
ITableFrame* SetFramePort(ITableFrame* frame) {
  ITableFrame* old = g_frame;
  g_frame = frame;
  return old;
}

void SayNotAvailable(const std::string& caption) {
  platform::Messages().ShowMessage("此版本尚未提供“" + caption + "”功能。", platform::MsgIcon::Information);
}

Rect CTableLayout::Cell(int row, int col) const {
  int i = row - firstRow;
  if (i < 0 || i >= static_cast<int>(cells.size())) return {};
  const auto& r = cells[static_cast<std::size_t>(i)];
  if (col < 0 || col >= static_cast<int>(r.size())) return {};
  return r[static_cast<std::size_t>(col)];
}

}  // namespace table

using namespace table;

CTableView::CTableView() {
  m_header = {"工程名称：", "", "第   页  共   页", "", "", "", "", "", "", "计算：", "复核：", "日期："};
  m_nRowHeight = static_cast<int>(m_nFontHeight * 1.5 + 2.01);
  m_clrBackground = colors::kWhite;
}

CTableView::~CTableView() = default;

void CTableView::SetHost(ITableHost* host) { m_host = host; }

void CTableView::SetClientSize(int width, int height) {
  m_nClientWidth = std::max(0, width);
  m_nClientHeight = std::max(0, height);
  m_bLayoutValid = false;
  SetHScroll(m_nHScroll);
  UpdateScrollBars();
  Repaint();
}

void CTableView::SetInterfaceRowHeight(int h) {
  m_nBandHeight = std::max(1, h);
  for (auto& b : m_buttons) b.y = 2;
  m_bLayoutValid = false;
  ButtonsChanged();
}

void CTableView::OnSize(int width, int height) {
  SetClientSize(width, height);
  m_nBarClientWidth = width;
  LayoutBar();
}

void CTableView::SetBarMetrics(int rowHeight, int charHeight) {
  m_nBarRowHeight = rowHeight;
  m_nBarCharHeight = charHeight;
  SetInterfaceRowHeight(rowHeight);
  LayoutBar();
}

void CTableView::LayoutBarInOrder(const int* order, int slots, int margin) {
  const int h = m_nBarRowHeight;
  const int w = std::max(std::min(h + 4 * m_nBarCharHeight + 12, (m_nBarClientWidth - margin) / slots), h);
  for (int k = 0; k < slots; ++k)
    if (table::CBarButton* b = FindButton(order[k])) {
      b->x = 2 + k * w;
      b->y = 2;
      b->width = w - 2;
    }
  ButtonsChanged();
}

void CTableView::Repaint() {
  if (m_host) m_host->Invalidate();
}

void CTableView::Beep() { platform::Messages().Beep(); }

void CTableView::CheckCell(int row, int col) const {
  if (row < 0 || row >= m_nRowSlots || col < 0 || col >= static_cast<int>(m_columns.size()))
    throw std::out_of_range("CTableView: cell (" + std::to_string(row) + "," + std::to_string(col) +
                            ") outside the table");
}

void CTableView::CheckCol(int col) const {
  if (col < 0 || col >= static_cast<int>(m_columns.size()))
    throw std::out_of_range("CTableView: column " + std::to_string(col) + " outside the table");
}

int CTableView::GetRowCount() const { return m_nRowSlots == 0 ? 0 : m_nRowSlots - 1; }
int CTableView::GetColCount() const { return m_columns.empty() ? 0 : static_cast<int>(m_columns.size()) - 1; }

void CTableView::MakeRows(int /*from*/, int to) {
  if (to < m_nRowSlots) return;
  const std::size_t want = CellIndex(to + 1, 0);
  // A whole table at once takes its size; a row at a time still grows geometrically.
  if (want > m_cells.capacity()) {
    platform::ReserveMore(m_cells, want - m_cells.size());
    platform::AdviseLargeBlock(m_cells.data() + m_cells.size(), (m_cells.capacity() - m_cells.size()) * sizeof(CCol));
  }
  m_cells.resize(want);
  m_nRowSlots = to + 1;
}

void CTableView::InvalidateLayout() {
  m_bWidthsValid = false;
  m_bLayoutValid = false;
}

void CTableView::MarkTextChanged() {
  // A run of writes repaints once: only the first write after a layout repaints.
  const bool wasValid = m_bWidthsValid;
  InvalidateLayout();
  if (wasValid) Repaint();
}

void CTableView::ClampCurrentCell() {
  const int n = GetRowCount(), m = GetColCount();
  m_nCurRow = std::clamp(m_nCurRow, 0, n);
  m_nSelRow = std::clamp(m_nSelRow, 0, n);
  m_nCurCol = std::clamp(m_nCurCol, 0, m);
  m_nSelCol = std::clamp(m_nSelCol, 0, m);
  if (n == 0 || m == 0) m_nCurRow = m_nCurCol = m_nSelRow = m_nSelCol = 0;
}

bool CTableView::IsCellWritable(int row, int col) const {
  // The last row of a staggered column is drawn half high and never edited.
  return !Cell(row, col).locked && !(m_columns[static_cast<std::size_t>(col)].stagger && row == GetRowCount());
}

bool CTableView::NewTable(int rows, int cols, const std::string& title, bool clearUndo) {
  CloseEditor();
  if (m_host) m_host->TakeFocus();
  if (m_host) m_host->SetToolTip("");
  m_nFirstRow = 1;
  m_nHScroll = 0;
  m_bTitleLocked = true;
  m_bHeaderLocked = false;
  // The block of a large table is kept for one of a like size (the next table shown).
  const std::size_t need =
      rows > 0 && cols > 0 ? (static_cast<std::size_t>(rows) + 1) * (static_cast<std::size_t>(cols) + 1) : 0;
  if (need < m_cells.capacity() / 4) std::vector<CCol>().swap(m_cells);
  m_cells.clear();
  m_nRowSlots = 0;
  m_columns.clear();
  m_strTitle.clear();
  SetSignatureTexts(0, "", "", "");
  // A snapshot restores only into a table of its own shape: a table of other
  // columns starts a history of its own.
  const int shapeCols = rows > 0 && cols > 0 ? cols : 0;
  if (clearUndo || (!m_undo.empty() && m_undo.front().cols != shapeCols)) ClearUndo();
  m_nCurRow = m_nCurCol = m_nSelRow = m_nSelCol = 0;
  InvalidateLayout();
  if (rows <= 0 || cols <= 0) {
    UpdateScrollBars();
    Repaint();
    return false;
  }
  UpdateUndoButtons();
  m_nHeaderLines = 2;
  m_columns.resize(static_cast<std::size_t>(cols) + 1);
  MakeRows(0, rows);
  m_strTitle = title;
  RecalcLayout(-1, -1, false);
  UpdateScrollBars();
  Repaint();
  return true;
}

bool CTableView::SetRowCount(int count) {
  if (count < 0) count = 0;
  if (count == GetRowCount() && m_nRowSlots > 0) return true;
  if (m_columns.empty()) return false;
  if (m_nRowSlots == 0) MakeRows(0, 0);
  if (count < GetRowCount()) {
    m_cells.resize(CellIndex(count + 1, 0));
    m_nRowSlots = count + 1;
  } else {
    MakeRows(GetRowCount() + 1, count);
  }
  if (m_nFirstRow > std::max(1, count)) m_nFirstRow = std::max(1, count);
  ClampCurrentCell();
  InvalidateLayout();
  RecalcLayout(-1, -1, false);
  UpdateScrollBars();
  Repaint();
  return true;
}

int CTableView::InsertRow(int row) {
  if (m_columns.empty()) return GetRowCount();
  if (m_nRowSlots == 0) MakeRows(0, 0);
  if (row < 0 || row > GetRowCount()) {
    if (row > GetRowCount() + 1) CheckCell(row, 0);
    MakeRows(0, m_nRowSlots);
  } else {
    const auto at = m_cells.begin() + static_cast<std::ptrdiff_t>(CellIndex(std::max(1, row), 0));
    m_cells.insert(at, m_columns.size(), CCol());
    ++m_nRowSlots;
  }
  InvalidateLayout();
  UpdateScrollBars();
  Repaint();
  return GetRowCount();
}

int CTableView::DeleteRow(int row) {
  if (row < 0) row = GetRowCount();
  if (row < 1 || row > GetRowCount()) throw std::out_of_range("CTableView::DeleteRow: no row " + std::to_string(row));
  return DeleteRows(row, row);
}

int CTableView::DeleteRows(int first, int last) {
  if (first < 1 || last < first || last > GetRowCount())
    throw std::out_of_range("CTableView::DeleteRows: no rows " + std::to_string(first) + ".." + std::to_string(last));
  m_cells.erase(m_cells.begin() + static_cast<std::ptrdiff_t>(CellIndex(first, 0)),
                m_cells.begin() + static_cast<std::ptrdiff_t>(CellIndex(last + 1, 0)));
  m_nRowSlots -= last - first + 1;
  const int n = GetRowCount();
  if (m_nFirstRow > std::max(1, n)) m_nFirstRow = std::max(1, n);
  ClampCurrentCell();
  InvalidateLayout();
  UpdateScrollBars();
  Repaint();
  return n;
}

void CTableView::SetCellText(int row, int col, const std::string& text) {
  CheckCell(row, col);
  Cell(row, col).text = text;
  MarkTextChanged();
}

std::string CTableView::GetCellText(int row, int col) const { return CellText(row, col); }

const std::string& CTableView::CellText(int row, int col) const {
  CheckCell(row, col);
  return Cell(row, col).text;
}

void CTableView::SetCellDouble(int row, int col, double value, int decimals, bool showSign) {
  SetCellText(row, col, FormatDouble(value, decimals, showSign));
}

void CTableView::SetCellInt(int row, int col, int value, int width) {
  SetCellText(row, col, FormatInt(value, width));
}

void CTableView::SetCellAngle(int row, int col, double radians, int decimals, bool keepSign) {
  if (!std::isfinite(radians)) {
    SetCellText(row, col, "");
    return;
  }
  switch (m_nAngleUnit) {
    case 1: {
      double r = keepSign ? radians : survey::Fold2Pi(radians);
      SetCellText(row, col, FormatDouble(r * 57.2957795130823, decimals + 4, false));
      break;
    }
    case 2: {
      double r = keepSign ? radians : survey::Fold2Pi(radians);
      SetCellText(row, col, FormatDouble(r, decimals + 6, false));
      break;
    }
    default:
      SetCellText(row, col, AngleText(radians, true, decimals, keepSign));
  }
}

void CTableView::SetCellLocked(int row, int col, bool locked) {
  CheckCell(row, col);
  bool& flag = Cell(row, col).locked;
  if (flag == locked) return;  // a table's locks are set cell by cell; repaint on a change only
  flag = locked;
  Repaint();
}

bool CTableView::IsCellLocked(int row, int col) const {
  CheckCell(row, col);
  return Cell(row, col).locked;
}

bool CTableView::SetCellNoBorder(int row, int col, bool flag) {
  CheckCell(row, col);
  Cell(row, col).noBorder = flag;
  Repaint();
  return true;
}

bool CTableView::IsCellNoBorder(int row, int col) const {
  CheckCell(row, col);
  return Cell(row, col).noBorder;
}

void CTableView::SetColumnHeader(int col, const std::string& line1, const std::string& line2, int span,
                                 int minChars) {
  CheckCol(col);
  std::string l2 = line2;
  if (m_nAngleUnit == 1 || m_nAngleUnit == 2) {
    const std::string to = m_nAngleUnit == 1 ? "( °)" : "(弧度)";
    ReplaceAll(l2, "(°' \")", to);
    ReplaceAll(l2, "(°')", to);
  }
  CColumn& c = m_columns[col];
  c.header1 = line1;
  c.header2 = l2;
  c.headerSpan = span;
  c.minChars = minChars;
  InvalidateLayout();
}

void CTableView::SetColumnHeaderLines(int col, const std::string& line3, const std::string& line4) {
  CheckCol(col);
  m_columns[col].header3 = line3;
  m_columns[col].header4 = line4;
  m_nHeaderLines = std::max(m_nHeaderLines, line4.empty() ? 3 : 4);
  InvalidateLayout();
}

void CTableView::SetColumnInputType(int col, int type) {
  CheckCol(col);
  m_columns[col].inputType = type;
}

int CTableView::GetColumnInputType(int col) const {
  CheckCol(col);
  return m_columns[col].inputType;
}

void CTableView::SetColumnStagger(int col, bool flag) {
  CheckCol(col);
  m_columns[col].stagger = flag;
  InvalidateLayout();
}

bool CTableView::GetColumnStagger(int col) const {
  if (col < 1 || col > GetColCount()) return false;
  return m_columns[col].stagger;
}

bool CTableView::HasStaggeredColumn() const {
  for (int j = 1; j <= GetColCount(); ++j)
    if (m_columns[j].stagger) return true;
  return false;
}

void CTableView::SetColumnLocked(int col, bool locked) {
  CheckCol(col);
  for (int r = 1; r <= GetRowCount(); ++r) Cell(r, col).locked = locked;
  Repaint();
}

void CTableView::SetColumnCode(int col, const std::string& code) {
  CheckCol(col);
  m_columns[col].code = code;
}

std::string CTableView::GetColumnCode(int col) const {
  CheckCol(col);
  return m_columns[col].code;
}

void CTableView::SetColumnTip(int col, const std::string& tip) {
  CheckCol(col);
  m_columns[col].tip = tip;
}

const CTableView::CColumn& CTableView::GetColumn(int col) const {
  CheckCol(col);
  return m_columns[col];
}

std::string CTableView::GetCellTip(int row, int col) const {
  CheckCell(row, col);
  const std::string& tip = m_columns[col].tip;
  const int n = GetRowCount();
  for (int key : {row, row - n - 1}) {
    std::string marker(1, '|');
    marker.append(std::to_string(key)).append(1, '|');
    std::size_t p = tip.find(marker);
    if (p != std::string::npos) {
      p += marker.size();
      std::size_t e = tip.find('|', p);
      return tip.substr(p, e == std::string::npos ? std::string::npos : e - p);
    }
  }
  return tip.substr(0, tip.find('|'));
}

void CTableView::SetTitle(const std::string& title) {
  m_strTitle = title;
  m_bLayoutValid = false;
  Repaint();
}

void CTableView::SetHeaderText(int index, const std::string& text) {
  if (index < 0 || index >= 12) throw std::out_of_range("CTableView::SetHeaderText: item " + std::to_string(index));
  m_header[static_cast<std::size_t>(index)] = text;
  m_bLayoutValid = false;
  Repaint();
}

std::string CTableView::GetHeaderText(int index) const {
  if (index < 0 || index >= 12) throw std::out_of_range("CTableView::GetHeaderText: item " + std::to_string(index));
  return m_header[static_cast<std::size_t>(index)];
}

void CTableView::SetHeaderChoices(const std::vector<std::string>& choices) { m_headerChoices = choices; }

void CTableView::SetSignatureTexts(int lines, const std::string& label, const std::string& line1,
                                   const std::string& line2) {
  m_nSignLines = std::clamp(lines, 0, 2);
  m_sign = {label, line1, line2};
  m_bLayoutValid = false;
  Repaint();
}

std::string CTableView::GetSignatureText(int index) const {
  if (index < 0 || index > 2) return {};
  return m_sign[static_cast<std::size_t>(index)];
}

void CTableView::SetReadOnly(bool readOnly, bool titleLocked, bool headerItemsLocked) {
  if (readOnly && IsEditing()) CloseEditor();
  m_bReadOnly = readOnly;
  m_bTitleLocked = titleLocked;
  m_bHeaderLocked = headerItemsLocked;
  m_clrBackground = readOnly ? colors::kWhite : m_clrFace;
  UpdateUndoButtons();
  Repaint();
}

void CTableView::SetFaceColor(Color c) {
  m_clrFace = c;
  if (!m_bReadOnly) m_clrBackground = c;
  Repaint();
}

int CTableView::SetFont(int height, double printHeight) {
  const int old = m_nFontHeight;
  m_nFontHeight = std::max(1, height);
  m_nRowHeight = static_cast<int>(m_nFontHeight * 1.5 + 2.01);
  m_dPrintHeight = printHeight > 0 ? printHeight : 3.0;
  InvalidateLayout();
  if (GetRowCount() > 0 && GetColCount() > 0) {
    RecalcLayout(-1, -1, false);
    UpdateScrollBars();
    Repaint();
  }
  return old;
}

bool CTableView::SelectCell(int row, int col, int flags) {
  if (row < 1 || row > GetRowCount() || col < 1 || col > GetColCount()) return false;
  if ((flags & kMouseShift) && m_nCurRow >= 1 && m_nCurCol >= 1 && m_nCurRow <= GetRowCount() &&
      m_nCurCol <= GetColCount()) {
    if (m_nSelRow == row && m_nSelCol == col) return false;
    m_nSelRow = row;
    m_nSelCol = col;
  } else {
    m_nCurRow = m_nSelRow = row;
    m_nCurCol = m_nSelCol = col;
    EnsureCellVisible(row, col);
  }
  Repaint();
  return true;
}

bool CTableView::GetSelection(int* top, int* left, int* bottom, int* right) const {
  int t = std::min(m_nCurRow, m_nSelRow), b = std::max(m_nCurRow, m_nSelRow);
  int l = std::min(m_nCurCol, m_nSelCol), r = std::max(m_nCurCol, m_nSelCol);
  // A selection reaching beyond a shrunken table is cut to it.
  b = std::min(b, GetRowCount());
  r = std::min(r, GetColCount());
  if (t < 1 || l < 1 || b < t || r < l) return false;
  if (top) *top = t;
  if (left) *left = l;
  if (bottom) *bottom = b;
  if (right) *right = r;
  return true;
}

bool CTableView::IsCellSelected(int row, int col) const {
  int t, l, b, r;
  if (!GetSelection(&t, &l, &b, &r)) return false;
  return row >= t && row <= b && col >= l && col <= r;
}

void CTableView::UpdateStatus(int row, int col) {
  Frame().SetStatusPane(1, row > 0 ? "当前行：" + std::to_string(row) : "当前行：");
  Frame().SetStatusPane(2, col > 0 ? "当前列：" + std::to_string(col) : "当前列：");
}

void CTableView::OnTableChanged() {
  InvalidateLayout();
  UpdateScrollBars();
  Repaint();
  Frame().SetDocumentModified();
}

bool CTableView::OnCommand(int id) {
  switch (id) {
    case ID_TABLE_CHANGED: OnTableChanged(); return true;
    case ID_TABLE_SETTINGS: if (CommitEditor()) OnTableSettings(); return true;
    case ID_EXPORT_TEXT: if (CommitEditor()) OnExportText(); return true;
    case ID_EXPORT_EXCEL: if (CommitEditor()) OnExportExcel(); return true;
    case ID_EXPORT_WORD: if (CommitEditor()) OnExportWord(); return true;
    case ID_EXPORT_CAD: if (CommitEditor()) OnExportCad(); return true;
    case ID_SWITCH_DRAWING: if (CommitEditor()) OnSwitchToDrawing(); return true;
    case ID_UNDO: OnUndo(); return true;
    case ID_REDO: OnRedo(); return true;
    case ID_CUT: OnCut(); return true;
    case ID_COPY: OnCopy(); return true;
    case ID_PASTE: OnPaste(); return true;
    case ID_INSERT_ROW: OnInsertRow(); return true;
    case ID_DELETE_ROW: OnDeleteRow(); return true;
    case ID_CLEAR: OnClear(); return true;
    case ID_MOVE_ROW_UP: OnMoveRowUp(); return true;
    case ID_MOVE_ROW_DOWN: OnMoveRowDown(); return true;
    default: return false;
  }
}

void CTableView::OnInitialUpdate() {
  if (m_bInitialized) return;
  m_bInitialized = true;
  struct B { int id; const char* cap; int icon; const char* tip; bool visible; };
  static const B kButtons[] = {
      {ID_SCHEME, "方案", 144, "项目设置", true},
      {ID_TABLE_SETTINGS, "表格", 146, "表格属性设置", true},
      {ID_COMPUTE, "计算", 149, "开始计算", true},
      {ID_CUSTOM, "自定义", 150, "自定义表格", true},
      {ID_EXPORT_TEXT, "文本", 185, "将表格输出到文本文件或excel文件", true},
      {ID_EXPORT_WORD, "WORD", 152, "将表格输出到WORD", true},
      {ID_EXPORT_EXCEL, "EXCEL", 202, "将表格输出到EXCEL", true},
      {ID_EXPORT_CAD, "CAD", 148, "将表格输出到CAD", true},
      {ID_SWITCH_DRAWING, "图形", 206, "切换到图形窗口", false},
      {ID_UNDO, "撤消", 207, "撤消一步操作。快捷键Ctrl+Z", true},
      {ID_REDO, "恢复", 208, "恢复被撤消的操作。快捷键Ctrl+Y", true},
  };
  m_buttons.clear();
  int x = 2;
  for (const B& b : kButtons) {
    CBarButton bb;
    bb.id = b.id;
    bb.caption = b.cap;
    bb.icon = b.icon;
    bb.tip = b.tip;
    bb.visible = b.visible;
    bb.enabled = !(b.id == ID_UNDO || b.id == ID_REDO);
    bb.x = x;
    m_buttons.push_back(bb);
    x += 80;
  }
  SetHeaderChoices({"工程名称：", "第   页  共   页", "等级：", "测量单位：", "计算：", "编制：", "复核：", "审核：",
                    "日期：", "日期：" + platform::TodayText("%Y.%m.%d")});
  ButtonsChanged();
  UpdateScrollBars();
}

CBarButton* CTableView::FindButton(int id) {
  for (auto& b : m_buttons)
    if (b.id == id) return &b;
  return nullptr;
}

void CTableView::ButtonsChanged() {
  if (m_host) m_host->ButtonsChanged();
}
