// Clipboard, undo and row commands of CTableView. Every command that changes the
// table calls OnTableChanged (command 1324) and, except undo and redo, pushes an
// undo snapshot. Every command first commits an open cell editor, so that its
// later focus-out cannot write over what the command did.
#include <algorithm>

#include "platform/memory.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "table/table_text.h"
#include "table/table_view.h"

using namespace table;

namespace {
const char kOverflowQuestion[] =
    "要粘贴的内容超出当前选择区域，\n按“是”允许超出，按“否”忽略超出部分";

void ReplaceChars(std::string& s, const std::string& chars, char by) {
  for (char& c : s)
    if (chars.find(c) != std::string::npos) c = by;
}
}  // namespace

// ---- undo ---------------------------------------------------------------------

bool CTableView::PushUndo() {
  if (m_bReadOnly || GetColCount() == 0) return false;
  Snapshot s;
  s.rows = GetRowCount();
  s.cols = GetColCount();
  s.cells.reserve(static_cast<std::size_t>(s.rows) * static_cast<std::size_t>(s.cols));
  platform::AdviseLargeBlock(s.cells.data(), s.cells.capacity() * sizeof(std::string));
  for (int r = 1; r <= s.rows; ++r) {
    const CCol* cells = &Cell(r, 0);
    for (int j = 1; j <= s.cols; ++j) s.cells.push_back(cells[j].text);
  }
  m_nUndoIndex = std::max(0, m_nUndoIndex + 1);
  m_undo.resize(static_cast<std::size_t>(m_nUndoIndex));
  m_undo.push_back(std::move(s));
  UpdateUndoButtons();
  return true;
}

void CTableView::ClearUndo() {
  m_nUndoIndex = -1;
  m_undo.clear();
  UpdateUndoButtons();
}

void CTableView::UpdateUndoButtons() {
  bool undo = false, redo = false;
  if (!m_bReadOnly) {
    undo = m_nUndoIndex > 0;
    redo = m_nUndoIndex < static_cast<int>(m_undo.size()) - 1;
  }
  bool changed = false;
  for (auto& b : m_buttons) {
    if (b.id == ID_UNDO && b.enabled != undo) b.enabled = undo, changed = true;
    if (b.id == ID_REDO && b.enabled != redo) b.enabled = redo, changed = true;
  }
  if (changed) ButtonsChanged();
}

bool CTableView::FitsSnapshot(int index) const {
  return index >= 0 && index < static_cast<int>(m_undo.size()) && GetColCount() > 0 &&
         m_undo[static_cast<std::size_t>(index)].cols == GetColCount();
}

bool CTableView::CanUndo() const { return !m_bReadOnly && m_nUndoIndex > 0 && FitsSnapshot(m_nUndoIndex - 1); }

bool CTableView::CanRedo() const {
  return !m_bReadOnly && !m_undo.empty() && m_nUndoIndex < static_cast<int>(m_undo.size()) - 1 &&
         FitsSnapshot(m_nUndoIndex + 1);
}

void CTableView::RestoreSnapshot(const Snapshot& s) {
  // The row count travels with the snapshot: a table whose only cell is empty
  // comes back with its row.
  SetRowCount(s.rows);
  const int m = GetColCount();
  for (int r = 1; r <= s.rows; ++r)
    for (int j = 1; j <= s.cols; ++j)
      Cell(r, j).text =
          s.cells[static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(s.cols) + static_cast<std::size_t>(j - 1)];
  InvalidateLayout();
  if (s.rows > 0) {
    m_nCurRow = std::max(1, std::min(s.rows, m_nCurRow));
    m_nCurCol = std::max(1, std::min(m, m_nCurCol));
  }
  ClampCurrentCell();
  m_nSelRow = m_nCurRow;
  m_nSelCol = m_nCurCol;
}

void CTableView::OnUndo() {
  if (!CommitEditor()) return;
  if (!CanUndo()) {
    Beep();
    return;
  }
  --m_nUndoIndex;
  RestoreSnapshot(m_undo[static_cast<std::size_t>(m_nUndoIndex)]);
  SendTableChanged();
  UpdateUndoButtons();
}

void CTableView::OnRedo() {
  if (!CommitEditor()) return;
  if (!CanRedo()) {
    Beep();
    return;
  }
  ++m_nUndoIndex;
  RestoreSnapshot(m_undo[static_cast<std::size_t>(m_nUndoIndex)]);
  SendTableChanged();
  UpdateUndoButtons();
}

// ---- clipboard ------------------------------------------------------------------

std::string CTableView::SelectionText() const {
  int t, l, b, r;
  if (!GetSelection(&t, &l, &b, &r)) return {};
  std::string out;
  for (int row = t; row <= b; ++row) {
    for (int col = l; col <= r; ++col) {
      if (col > l) out += '\t';
      out += Cell(row, col).text;
    }
    out += "\r\n";
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\r' || out.back() == '\n'))
    out.pop_back();
  return out;
}

void CTableView::OnCopy() {
  if (!CommitEditor()) return;
  if (!GetSelection(nullptr, nullptr, nullptr, nullptr)) return;
  platform::Desktop().clipboard->SetText(SelectionText());
}

void CTableView::OnCut() { ClearSelectedCells(true); }

void CTableView::OnClear() { ClearSelectedCells(false); }

void CTableView::ClearSelectedCells(bool copyFirst) {
  if (!CommitEditor()) return;
  if (m_bReadOnly) {
    Beep();
    return;
  }
  int t, l, b, r;
  if (!GetSelection(&t, &l, &b, &r)) return;
  if (copyFirst) platform::Desktop().clipboard->SetText(SelectionText());
  for (int row = t; row <= b; ++row)
    for (int col = l; col <= r; ++col)
      if (IsCellWritable(row, col)) Cell(row, col).text.clear();
  InvalidateLayout();
  Repaint();
  SendTableChanged();
  PushUndo();
}

void CTableView::OnPaste() {
  if (!CommitEditor()) return;
  if (m_bReadOnly) {
    Beep();
    return;
  }
  int top, left, bottom, right;
  if (!GetSelection(&top, &left, &bottom, &right)) return;
  std::string text = platform::Desktop().clipboard->GetText();
  std::string unix;
  unix.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) unix += text[i];
  if (!unix.empty() && unix.back() == '\n') unix.pop_back();
  if (unix.empty()) return;
  std::vector<std::string> lines = SplitItems(unix, '\n');
  const int nLines = static_cast<int>(lines.size());

  enum { Unasked, Allow, Ignore } answer = Unasked;
  int lastRow = bottom;
  // Ask only where Yes can do what it says: past the end of a table whose rows are
  // fixed nothing can be added, and the lines beyond it are dropped as with No.
  const int reachable = m_bRowsFixed ? std::min(top + nLines - 1, GetRowCount()) : top + nLines - 1;
  if (reachable > bottom) {
    answer = platform::Messages().AskYesNo(kOverflowQuestion) ? Allow : Ignore;
    if (answer == Allow) {
      lastRow = reachable;
      if (!m_bRowsFixed && GetRowCount() < lastRow) {
        SetRowCount(lastRow);
        // The owning view sets up the new rows (unlocks its input cells) before
        // they are filled; new rows are locked and would drop the text.
        SendTableChanged();
      }
    }
  }
  lastRow = std::min(lastRow, GetRowCount());
  const int m = GetColCount();
  for (int i = 0; i < nLines && top + i <= lastRow; ++i) {
    const int row = top + i;
    std::string& line = lines[static_cast<std::size_t>(i)];
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    std::vector<std::string> items;
    if (line.find('\t') != std::string::npos) {
      ReplaceChars(line, ",:", '_');
      items = SplitItems(line, '\t');
    } else {
      items = SplitItems(line, ',');
    }
    m_nCurRow = row;
    for (int j = 0; j < static_cast<int>(items.size()); ++j) {
      const int col = left + j;
      if (col > m) break;
      if (col > right) {
        if (answer == Unasked) answer = platform::Messages().AskYesNo(kOverflowQuestion) ? Allow : Ignore;
        if (answer == Ignore) break;
      }
      if (IsCellWritable(row, col)) {
        Cell(row, col).text = std::move(items[static_cast<std::size_t>(j)]);
        if (col > m_nCurCol) m_nCurCol = col;
      }
    }
  }
  m_nSelRow = top;
  m_nSelCol = left;
  ClampCurrentCell();
  InvalidateLayout();
  Repaint();
  SendTableChanged();
  PushUndo();
}

// ---- rows -----------------------------------------------------------------------

bool CTableView::AllowRowCommand(bool condition) {
  if (m_bReadOnly || m_bRowsFixed || GetColCount() == 0 || !condition) {
    Beep();
    return false;
  }
  return true;
}

void CTableView::OnInsertRow() {
  if (m_host) m_host->TakeFocus();
  if (!CommitEditor()) return;
  ClampCurrentCell();
  if (!AllowRowCommand(m_nCurRow >= 1)) return;
  InsertRow(m_nCurRow);
  m_nSelRow = m_nCurRow;
  Repaint();
  SendTableChanged();
  PushUndo();
}

void CTableView::OnDeleteRow() {
  if (m_host) m_host->TakeFocus();
  if (!CommitEditor()) return;
  ClampCurrentCell();
  if (!AllowRowCommand(m_nCurRow >= 1 && m_nSelRow >= 1)) return;
  const int hi = std::max(m_nCurRow, m_nSelRow), lo = std::min(m_nCurRow, m_nSelRow);
  DeleteRows(lo, hi);
  if (GetRowCount() == 0) InsertRow(-1);
  m_nCurRow = std::min(std::max(1, m_nCurRow), GetRowCount());
  m_nCurCol = std::max(1, std::min(m_nCurCol, GetColCount()));
  m_nSelRow = m_nCurRow;
  m_nSelCol = m_nCurCol;
  Repaint();
  SendTableChanged();
  PushUndo();
}

void CTableView::OnMoveRowUp() { MoveCurrentRow(-1); }

void CTableView::OnMoveRowDown() { MoveCurrentRow(1); }

// Swaps the texts of the current row with its neighbour `step` rows away (±1).
void CTableView::MoveCurrentRow(int step) {
  if (!CommitEditor()) return;
  ClampCurrentCell();
  const int r = m_nCurRow, to = r + step;
  if (!AllowRowCommand(r >= 1 && r <= GetRowCount() && to >= 1 && to <= GetRowCount())) return;
  for (int j = 1; j <= GetColCount(); ++j) std::swap(Cell(r, j).text, Cell(to, j).text);
  m_nCurRow = m_nSelRow = to;
  m_nSelCol = m_nCurCol;
  InvalidateLayout();
  Repaint();
  SendTableChanged();
  PushUndo();
}

void CTableView::OnSelectAll() {
  if (m_host) m_host->TakeFocus();
  if (!CommitEditor()) return;
  if (GetRowCount() == 0 || GetColCount() == 0) return;
  m_nCurRow = 1;
  m_nCurCol = 1;
  m_nSelRow = GetRowCount();
  m_nSelCol = GetColCount();
  Repaint();
}

void CTableView::OnSwitchToDrawing() {
  if (!CommitEditor()) return;
  Frame().SwitchToDrawing(*this);
}
