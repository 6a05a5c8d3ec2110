// Cell editing, mouse and keys of CTableView. The presenter decides what is
// edited and where; the Qt widget only shows the editor it is told to show and
// reports typing (SetEditorText) and the end (EndEdit).
#include <algorithm>

#include "platform/ports.h"
#include "platform/services.h"
#include "table/cell_edit.h"
#include "table/table_view.h"

using namespace table;

namespace {
const char kPageTip[] =
    "建议页码从下拉列表中选择，这样程序在打印或分页输出到WORD时会自动填写第几页共几页";
const char kSelectedTip[] = "按右键进行编辑操作";
}  // namespace

// ---- the editors ------------------------------------------------------------------

void CTableView::OpenEditor(EditorState e) {
  m_editor = std::move(e);
  if (m_host) m_host->ShowEditor(m_editor);
}

void CTableView::CloseEditor() {
  if (!IsEditing()) return;
  m_editor = EditorState{};
  if (m_host) m_host->HideEditor();
}

void CTableView::SetEditorText(const std::string& text) {
  if (IsEditing()) m_editor.text = text;
}

bool CTableView::StartCellEdit(bool byTyping) {
  if (IsEditing() || m_bReadOnly) return false;
  const int n = GetRowCount(), m = GetColCount();
  if (m_nCurRow < 1 || m_nCurRow > n || m_nCurCol < 1 || m_nCurCol > m) return false;
  if (m_bAutoAppend && m_nCurRow == n) {
    SetRowCount(n + 1);
    SendTableChanged();
    if (m_nCurRow > GetRowCount() || m_nCurCol > GetColCount()) return false;
  }
  const int row = m_nCurRow, col = m_nCurCol;
  if (!IsCellWritable(row, col)) return false;
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  EnsureCellVisible(row, col);
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  EditorState e;
  e.kind = EditorState::Edit;
  e.row = row;
  e.col = col;
  e.text = Cell(row, col).text;
  e.text.erase(0, std::min(e.text.size(), e.text.find_first_not_of(' ')));
  e.inputType = m_columns[col].inputType;
  e.selectAll = byTyping;
  e.rect = GetCellRect(row, col);
  if (!e.rect.IsEmpty()) {
    e.rect.left += 1;
    e.rect.top += 1;
  }
  e.font = Font{FontRole::Cell, m_nFontHeight, 400};
  OpenEditor(std::move(e));
  return true;
}

bool CTableView::BeginEdit() { return StartCellEdit(false); }
bool CTableView::BeginEditByTyping() { return StartCellEdit(true); }

bool CTableView::EndEdit(bool cancelled) {
  if (!IsEditing()) return true;
  if (!cancelled && m_editor.kind == EditorState::Edit && !EditTextAccepted(m_editor.inputType, m_editor.text)) {
    platform::Messages().Beep();
    return false;
  }
  EditorState e = std::move(m_editor);
  m_editor = EditorState{};
  if (m_host) m_host->HideEditor();
  if (e.kind == EditorState::Combo) {
    OnHeaderEditEnd(e.col, FinishComboText(e.text));
  } else {
    OnCellEditEnd(e.row, e.col, cancelled ? std::string() : FinishEditText(e.inputType, e.text, true));
  }
  return true;
}

bool CTableView::CommitEditor() { return EndEdit(false); }

int CTableView::OnCellEditEnd(int row, int col, const std::string& sent) {
  CloseEditor();
  std::string text = sent;
  StripCommas(text);  // no path may bring a comma into a cell
  if (row > 0) {
    if (row <= GetRowCount() && col >= 1 && col <= GetColCount()) {
      CCol& cell = Cell(row, col);
      if (!cell.locked && cell.text != text) {
        SetCellText(row, col, text);
        SendTableChanged();
        PushUndo();
      }
    }
  } else if (row == kEditRowTitle) {
    if (m_strTitle != text) {
      SetTitle(text);
      SendTableChanged();
      Frame().SetDocumentModified();
    }
  }
  Repaint();
  return 0;
}

int CTableView::OnHeaderEditEnd(int item, const std::string& sent) {
  CloseEditor();
  std::string text = sent;
  StripCommas(text);
  if (item >= 0 && item < 12 && m_header[static_cast<std::size_t>(item)] != text) {
    SetHeaderText(item, text);
    SendTableChanged();
  }
  Repaint();
  return 0;
}

// ---- mouse --------------------------------------------------------------------------

void CTableView::OnLButtonDown(int x, int y, int flags) {
  if (!CommitEditor()) return;
  if (GetRowCount() == 0 || GetColCount() == 0) return;
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  m_bLeftDownCell = false;
  if (!m_bTitleLocked && m_layout.title.Contains(x, y)) {
    EditorState e;
    e.kind = EditorState::Edit;
    e.row = kEditRowTitle;
    e.col = -1;
    e.text = m_strTitle;
    e.rect = m_layout.title;
    e.font = Font{FontRole::Title, m_nFontHeight + 4, 900};
    OpenEditor(std::move(e));
    return;
  }
  if (!m_bHeaderLocked) {
    const bool belowShown = m_nLineBelow > 0 && m_layout.HoldsLastRow();
    for (int k = 0; k < 12; ++k) {
      const bool shown = k < 9 ? k / 3 < std::clamp(m_nLinesAbove, 0, 3) : belowShown;
      const Rect& r = m_layout.header[static_cast<std::size_t>(k)];
      if (!shown || !r.Contains(x, y)) continue;
      EditorState e;
      e.kind = EditorState::Combo;
      e.row = kEditRowHeader;
      e.col = k;
      e.text = m_header[static_cast<std::size_t>(k)];
      e.rect = r;
      e.rect.bottom += 200;
      e.font = Font{FontRole::Cell, m_nFontHeight, 400};
      e.choices = m_headerChoices;
      OpenEditor(std::move(e));
      return;
    }
  }
  if (m_nSignLines > 0 && m_layout.HoldsLastRow()) {
    for (int k = 0; k < m_nSignLines; ++k) {
      const Rect& r = m_layout.signature[static_cast<std::size_t>(k)];
      if (!r.Contains(x, y)) continue;
      EditorState e;
      e.kind = EditorState::Edit;
      e.row = kEditRowSignature;
      e.col = k + 1;
      e.text = m_sign[static_cast<std::size_t>(k + 1)];
      e.readOnly = true;
      e.rect = r;
      e.font = Font{FontRole::Cell, m_nFontHeight, 400};
      OpenEditor(std::move(e));
      return;
    }
  }
  int row, col;
  if (HitTest(x, y, &row, &col)) {
    SelectCell(row, col, flags);
    m_bDragging = true;
    m_nDownRow = row;
    m_nDownCol = col;
    // A release on the same cell, the pointer never having left it, opens the editor.
    m_bLeftDownCell = !(flags & (kMouseShift | kMouseCtrl));
  } else {
    SelectCell(m_nCurRow, m_nCurCol, 0);
  }
}

void CTableView::OnLButtonUp(int x, int y, int flags) {
  const bool wasDragging = m_bDragging;
  m_bDragging = false;
  if (!wasDragging || !m_bLeftDownCell || (flags & (kMouseShift | kMouseCtrl))) return;
  int row, col;
  if (!HitTest(x, y, &row, &col)) return;
  if (row == m_nDownRow && col == m_nDownCol && row == m_nCurRow && col == m_nCurCol) BeginEdit();
}

void CTableView::OnMButtonDown(int x, int y, int flags) {
  if (!CommitEditor()) return;
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  int row, col;
  if (HitTest(x, y, &row, &col))
    SelectCell(row, col, flags);
  else
    SelectCell(m_nCurRow, m_nCurCol, 0);
}

std::vector<MenuItem> CTableView::OnRButtonDown(int x, int y) {
  if (!CommitEditor()) return {};
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  int row, col;
  if (!HitTest(x, y, &row, &col)) return {};
  if (!IsCellSelected(row, col)) {
    m_nCurRow = m_nSelRow = row;
    m_nCurCol = m_nSelCol = col;
  }
  Repaint();
  if (m_bReadOnly) return {{ID_COPY, "拷贝\tCtrl+C", false}};
  std::vector<MenuItem> menu;
  const int n = GetRowCount();
  menu.push_back({ID_UNDO, "撤消\tCtrl+Z", m_nUndoIndex <= 0});
  menu.push_back({ID_REDO, "恢复\tCtrl+Y", !(!m_undo.empty() && m_nUndoIndex < static_cast<int>(m_undo.size()) - 1)});
  menu.push_back({ID_CUT, "剪切\tCtrl+X", false});
  menu.push_back({ID_COPY, "拷贝\tCtrl+C", false});
  menu.push_back({ID_PASTE, "粘贴\tCtrl+V", platform::Desktop().clipboard->GetText().empty()});
  if (!m_bRowsFixed) {
    menu.push_back({ID_INSERT_ROW, "插入行\tCtrl+I", false});
    menu.push_back({ID_DELETE_ROW, "删除行\tCtrl+D", false});
  }
  menu.push_back({ID_CLEAR, "清除\tDel", false});
  if (!m_bRowsFixed) {
    menu.push_back({ID_MOVE_ROW_UP, "上移一行", !(m_nCurRow >= 2 && m_nCurRow <= n)});
    menu.push_back({ID_MOVE_ROW_DOWN, "下移一行", !(m_nCurRow >= 1 && m_nCurRow < n)});
  }
  return menu;
}

void CTableView::OnMouseMove(int x, int y, int flags) {
  if (!m_bLayoutValid && GetRowCount() > 0 && GetColCount() > 0) RecalcLayout(-1, -1, false);
  int row = 0, col = 0;
  const bool overCell = HitTest(x, y, &row, &col);
  UpdateStatus(overCell ? row : 0, overCell ? col : 0);
  std::string key, tip;
  bool editCursor = false;
  if (overCell) {
    key.assign(1, 'c').append(std::to_string(row)).append(1, ',').append(std::to_string(col));
    editCursor = true;
    if (IsCellSelected(row, col))
      tip = kSelectedTip;
    else if (!Cell(row, col).locked && !m_columns[col].tip.empty())
      tip = GetCellTip(row, col);
    if (flags & kMouseLeft) {
      if (row != m_nDownRow || col != m_nDownCol) m_bLeftDownCell = false;
      if (SelectCell(row, col, kMouseShift)) Repaint();
    }
  } else if (!m_bTitleLocked && m_layout.title.Contains(x, y)) {
    key = "t";
    editCursor = true;
  } else if (GetRowCount() > 0) {
    for (int k = 0; k < 12; ++k) {
      if (!m_layout.header[static_cast<std::size_t>(k)].Contains(x, y)) continue;
      key.assign(1, 'h').append(std::to_string(k));
      editCursor = !m_bHeaderLocked;
      const std::string& t = m_header[static_cast<std::size_t>(k)];
      if (t.find("页") != std::string::npos && t != kPageTemplate) tip = kPageTip;
      break;
    }
  }
  if (m_host) m_host->SetEditCursor(editCursor);
  if (key != m_lastTipKey) {
    m_lastTipKey = key;
    if (m_host) m_host->SetToolTip(tip);
  }
}

void CTableView::OnDragTimer(int x, int y) {
  if (m_nCurCol < 1 || GetColCount() < 1 || GetRowCount() < 1) return;
  if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
  const int L = 30, R = m_nClientWidth - 30, B = m_nClientHeight - 30;
  const Rect firstCell = m_layout.Cell(m_layout.firstRow, 1);
  const int T = !firstCell.IsEmpty() ? firstCell.top : 30 + 60;
  auto extendTo = [&](int px, int py) {
    if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
    int r, c;
    if (HitTest(px, py, &r, &c)) SelectCell(r, c, kMouseShift);
  };
  if (y > B) {
    SetVScroll(m_scroll.vPos + 1);
    extendTo(std::clamp(x, L, R), B);
  } else if (y < T) {
    SetVScroll(m_scroll.vPos - 1);
    extendTo(std::clamp(x, L, R), T + 1);
  }
  if (x > R) {
    SetHScroll(m_scroll.hPos + 50);
    extendTo(R - 1, std::clamp(y, T, B));
  } else if (x < L) {
    SetHScroll(m_scroll.hPos - 50);
    extendTo(L + 1, std::clamp(y, T, B));
  }
}

// ---- keys ---------------------------------------------------------------------------

bool CTableView::PreTranslateKey(int key, bool ctrl, bool editorHasFocus) {
  if (ctrl) {
    switch (key) {
      case 'A': OnSelectAll(); return true;
      case 'D': OnDeleteRow(); return true;
      case 'I': OnInsertRow(); return true;
      case 'V': OnPaste(); return true;
      case 'Y': OnRedo(); return true;
      default: return false;
    }
  }
  const int n = GetRowCount(), m = GetColCount();
  switch (key) {
    case kKeyTab:
    case kKeyEnter: {
      if (m_host) m_host->TakeFocus();
      if (!CommitEditor()) return true;
      if (m_bReadOnly) {
        PreTranslateKey(kKeyRight, false, false);
        return true;
      }
      if (m_nCurRow < 1 || m_nCurRow > n || m < 1) return true;
      if (!m_bLayoutValid) RecalcLayout(-1, -1, false);
      int r = m_nCurRow, c = m_nCurCol;
      while (true) {
        if (++c > m) {
          c = 1;
          if (++r > n) break;
        }
        if (!Cell(r, c).locked && GetCellRect(r, c).Height() > 1) {
          SelectCell(r, c, 0);
          break;
        }
      }
      return true;
    }
    case kKeyRight:
      if (editorHasFocus) return false;
      if (m_nCurRow < 1 || m_nCurRow > n) return true;
      if (m_nCurCol < m)
        SelectCell(m_nCurRow, m_nCurCol + 1, 0);
      else if (m_nCurRow < n)
        SelectCell(m_nCurRow + 1, 1, 0);
      return true;
    case kKeyLeft:
      if (editorHasFocus) return false;
      if (m_nCurCol >= 2) SelectCell(m_nCurRow, m_nCurCol - 1, 0);
      return true;
    case kKeyUp:
      if (m_nCurRow >= 1) {
        if (m_host) m_host->TakeFocus();
        if (!CommitEditor()) return true;
        SelectCell(m_nCurRow - 1, m_nCurCol, 0);
      }
      return true;
    case kKeyDown:
      if (m_nCurRow < n) {
        if (m_host) m_host->TakeFocus();
        if (!CommitEditor()) return true;
        SelectCell(m_nCurRow + 1, std::max(1, m_nCurCol), 0);
      }
      return true;
    default:
      return false;
  }
}

bool CTableView::OnKeyDown(int key, bool ctrl) {
  if (!ctrl) {
    if (key == kKeyDelete) {
      OnClear();
      return true;
    }
    return false;
  }
  switch (key) {
    case 'A': OnSelectAll(); return true;
    case 'C': OnCopy(); return true;
    case 'D': OnDeleteRow(); return true;
    case 'I': OnInsertRow(); return true;
    case 'V': OnPaste(); return true;
    case 'X': OnCut(); return true;
    case 'Y': OnRedo(); return true;
    case 'Z': OnUndo(); return true;
    default: return false;
  }
}
