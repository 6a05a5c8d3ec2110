#include "table/list_ex.h"

#include <algorithm>

#include "survey/format.h"

namespace {

std::string NoCommas(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ','), s.end());
  return s;
}

}  // namespace

int CListEx::InsertColumn(int col, const std::string& heading, int width, int type) {
  col = std::clamp(col, 0, GetColumnCount());
  CColumn c;
  c.heading = heading;
  c.width = width;
  c.type = type;
  columns_.insert(columns_.begin() + col, c);
  colSel_.insert(colSel_.begin() + col, false);
  for (auto& r : rows_) r.insert(r.begin() + col, std::string());
  return col;
}

int CListEx::InsertItem(int row, const std::string& text) {
  row = std::clamp(row, 0, GetItemCount());
  std::vector<std::string> cells(columns_.size());
  if (!cells.empty()) cells[0] = text;
  rows_.insert(rows_.begin() + row, std::move(cells));
  rowSel_.insert(rowSel_.begin() + row, false);
  return row;
}

bool CListEx::DeleteItem(int row) {
  if (row < 0 || row >= GetItemCount()) return false;
  rows_.erase(rows_.begin() + row);
  rowSel_.erase(rowSel_.begin() + row);
  if (curRow_ >= GetItemCount()) curRow_ = GetItemCount() - 1;
  return true;
}

void CListEx::DeleteAllItems() {
  rows_.clear();
  rowSel_.clear();
  curRow_ = -1;
}

bool CListEx::IsEditable(int col) const {
  if (col < 1 || col >= GetColumnCount()) return false;
  const int t = columns_[static_cast<std::size_t>(col)].type;
  return t >= 1 && t <= 9;
}

std::string CListEx::GetItemText(int row, int col) const {
  if (row < 0 || row >= GetItemCount() || col < 0 || col >= GetColumnCount()) return "";
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void CListEx::SetItemText(int row, int col, const std::string& text) {
  if (row < 0 || row >= GetItemCount() || col < 0 || col >= GetColumnCount()) return;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = text;
}

bool CListEx::RowEmpty(int row) const {
  for (int c = 1; c < GetColumnCount(); ++c)
    if (IsEditable(c) && !GetItemText(row, c).empty()) return false;
  return true;
}

bool CListEx::IsDataRow(int row) const {
  return row >= 0 && row < GetItemCount() && (rowsFixed_ || row < GetItemCount() - 1);
}

void CListEx::KeepOneEmptyRow() {
  if (rowsFixed_) return;
  if (rows_.empty()) {
    InsertItem(0, "");
    return;
  }
  if (!RowEmpty(GetItemCount() - 1)) {
    InsertItem(GetItemCount(), "");
    return;
  }
  while (GetItemCount() > 1 && RowEmpty(GetItemCount() - 2)) DeleteItem(GetItemCount() - 1);
}

void CListEx::Notify(int code, const std::vector<int>& rows, int moved) {
  if (listener_) listener_(code, rows, moved);
}

void CListEx::Refuse() {
  if (beep) beep();
}

void CListEx::SetCurrent(int row, int col) {
  const int moved = (row != curRow_ ? 1 : 0) | (col != curCol_ ? 2 : 0);
  curRow_ = row;
  curCol_ = col;
  if (moved) Notify(kCurrentMoved, {}, moved);
}

bool CListEx::Select(int row, int col, int flags) {
  const int rows = GetItemCount(), cols = GetColumnCount();
  const bool ctrl = flags & kCtrl, shift = flags & kShift;
  if (row == -1 && col == 0) {
    std::fill(rowSel_.begin(), rowSel_.end(), true);
    std::fill(colSel_.begin(), colSel_.end(), true);
    mode_ = kAll;
    SetCurrent(0, 1);
    return true;
  }
  if (row >= rows || col >= cols || row < -1 || col < 0) {
    if (ctrl || shift) return false;
    if (curRow_ < 0 || curRow_ >= rows) return false;
    return Select(curRow_, std::max(1, curCol_), 0);
  }
  if (row == -1) {  // header click
    mode_ = kColumns;
    std::fill(rowSel_.begin(), rowSel_.end(), true);
    if (ctrl) {
      colSel_[static_cast<std::size_t>(col)] = !colSel_[static_cast<std::size_t>(col)];
      if (curCol_ >= 1 && curCol_ < cols) colSel_[static_cast<std::size_t>(curCol_)] = true;
    } else if (shift && curCol_ >= 1) {
      std::fill(colSel_.begin(), colSel_.end(), false);
      for (int c = std::min(curCol_, col); c <= std::max(curCol_, col); ++c) colSel_[static_cast<std::size_t>(c)] = true;
    } else {
      std::fill(colSel_.begin(), colSel_.end(), false);
      colSel_[static_cast<std::size_t>(col)] = true;
      SetCurrent(std::max(0, curRow_), col);
    }
    colSel_[0] = false;
    return true;
  }
  if (col == 0) {  // row header
    mode_ = kRows;
    for (int c = 0; c < cols; ++c) colSel_[static_cast<std::size_t>(c)] = c >= 1;
    if (ctrl) {
      rowSel_[static_cast<std::size_t>(row)] = !rowSel_[static_cast<std::size_t>(row)];
    } else if (shift && curRow_ >= 0) {
      std::fill(rowSel_.begin(), rowSel_.end(), false);
      for (int r = std::min(curRow_, row); r <= std::max(curRow_, row); ++r) rowSel_[static_cast<std::size_t>(r)] = true;
    } else {
      std::fill(rowSel_.begin(), rowSel_.end(), false);
      rowSel_[static_cast<std::size_t>(row)] = true;
      SetCurrent(row, std::max(1, curCol_));
    }
    return true;
  }
  if (shift && curRow_ >= 0 && curCol_ >= 1) {
    std::fill(rowSel_.begin(), rowSel_.end(), false);
    for (int r = std::min(curRow_, row); r <= std::max(curRow_, row); ++r) rowSel_[static_cast<std::size_t>(r)] = true;
    if (mode_ != kRows) {
      std::fill(colSel_.begin(), colSel_.end(), false);
      for (int c = std::min(curCol_, col); c <= std::max(curCol_, col); ++c) colSel_[static_cast<std::size_t>(c)] = true;
      mode_ = kRect;
    }
    farRow_ = row;
    farCol_ = col;
    return true;
  }
  std::fill(rowSel_.begin(), rowSel_.end(), false);
  std::fill(colSel_.begin(), colSel_.end(), false);
  rowSel_[static_cast<std::size_t>(row)] = true;
  colSel_[static_cast<std::size_t>(col)] = true;
  mode_ = kCell;
  farRow_ = farCol_ = -1;
  SetCurrent(row, col);
  return true;
}

bool CListEx::IsSelected(int row, int col) const {
  if (row < 0 || row >= GetItemCount() || col < 0 || col >= GetColumnCount()) return false;
  return rowSel_[static_cast<std::size_t>(row)] && colSel_[static_cast<std::size_t>(col)];
}

bool CListEx::BeginEdit() {
  if (editing_ || curRow_ < 0 || curRow_ >= GetItemCount() || curCol_ < 1 || !IsEditable(curCol_)) return false;
  if (!rowsFixed_ && curRow_ == GetItemCount() - 1) {
    const int r = InsertItem(GetItemCount(), "");
    Notify(kRowsInserted, {r});
  }
  editing_ = true;
  return true;
}

void CListEx::EndEdit(const std::string& sent) {
  if (!editing_) return;
  editing_ = false;
  const std::string text = NoCommas(sent);
  const bool changed = GetItemText(curRow_, curCol_) != text;
  SetItemText(curRow_, curCol_, text);
  // A row left empty gives back the input row the edit appended.
  if (!rowsFixed_ && curRow_ == GetItemCount() - 2 && RowEmpty(curRow_)) {
    const int last = GetItemCount() - 1;
    DeleteItem(last);
    Notify(kRowsDeleted, {last});
  }
  if (changed) {
    PushUndo();
    Notify(kContentsChanged);
  }
}

std::string CListEx::Snapshot() const {
  std::string s;
  bool first = true;
  for (int r = 0; r < GetItemCount(); ++r)
    for (int c = 1; c < GetColumnCount(); ++c) {
      if (!first) s += ',';
      first = false;
      s += GetItemText(r, c);
    }
  return s;
}

void CListEx::Restore(const std::string& snap) {
  const int dataCols = GetColumnCount() - 1;
  std::vector<std::string> items;
  survey::SplitText(snap, items, ',');
  // "" splits into nothing; a list of one data column still had its empty row.
  int rows = dataCols > 0 ? static_cast<int>(items.size()) / dataCols : 0;
  if (rows == 0) rows = 1;
  DeleteAllItems();
  for (int r = 0; r < rows; ++r) {
    InsertItem(r, "");
    for (int c = 1; c <= dataCols; ++c) {
      const std::size_t k = static_cast<std::size_t>(r * dataCols + c - 1);
      if (k < items.size()) SetItemText(r, c, items[k]);
    }
  }
  if (curRow_ >= rows || curRow_ < 0) curRow_ = rows - 1;
  if (curCol_ < 1) curCol_ = 1;
  Select(curRow_, std::min(curCol_, GetColumnCount() - 1), 0);
}

void CListEx::PushUndo() {
  if (GetColumnCount() < 2) return;
  undo_.resize(static_cast<std::size_t>(undoIndex_ + 1));
  undo_.push_back(Snapshot());
  undoIndex_ = static_cast<int>(undo_.size()) - 1;
}

bool CListEx::Undo() {
  if (!CanUndo()) {
    Refuse();
    return false;
  }
  --undoIndex_;
  Restore(undo_[static_cast<std::size_t>(undoIndex_)]);
  Notify(kContentsChanged);
  return true;
}

bool CListEx::Redo() {
  if (!CanRedo()) {
    Refuse();
    return false;
  }
  ++undoIndex_;
  Restore(undo_[static_cast<std::size_t>(undoIndex_)]);
  Notify(kContentsChanged);
  return true;
}

std::string CListEx::CopyText() const {
  std::string out;
  const int lastRow = rowsFixed_ ? GetItemCount() : GetItemCount() - 1;
  for (int r = 0; r < lastRow; ++r) {
    if (!rowSel_[static_cast<std::size_t>(r)]) continue;
    std::string line;
    bool any = false;
    for (int c = 1; c < GetColumnCount(); ++c) {
      if (!colSel_[static_cast<std::size_t>(c)]) continue;
      if (any) line += '\t';
      line += GetItemText(r, c);
      any = true;
    }
    if (!any) continue;
    while (!line.empty() && line.back() == '\t') line.pop_back();
    out += line + "\r\n";
  }
  while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == ' ' || out.back() == '\t'))
    out.pop_back();
  return out;
}

void CListEx::Clear() {
  for (int r = 0; r < GetItemCount(); ++r)
    for (int c = 1; c < GetColumnCount(); ++c)
      if (IsSelected(r, c) && IsEditable(c)) SetItemText(r, c, "");
  PushUndo();
  Notify(kContentsChanged);
}

std::string CListEx::Cut() {
  std::string text = CopyText();
  Clear();
  return text;
}

void CListEx::Paste(const std::string& clip, const std::function<bool(const std::string&)>& ask) {
  std::string text;
  for (std::size_t i = 0; i < clip.size(); ++i)
    if (!(clip[i] == '\r' && i + 1 < clip.size() && clip[i + 1] == '\n')) text += clip[i];
  if (!text.empty() && text.back() == '\n') text.pop_back();
  std::vector<std::vector<std::string>> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::vector<std::string> items;
    if (line.find('\t') != std::string::npos) {
      std::replace(line.begin(), line.end(), ',', '_');
      std::replace(line.begin(), line.end(), ':', '_');
      survey::SplitText(line, items, '\t');
    } else {
      survey::SplitText(line, items, ',');
    }
    lines.push_back(items);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  // The anchor: the start of the selection.
  int row = curRow_, col = std::max(1, curCol_);
  auto firstSel = [](const std::vector<bool>& v, int from) {
    for (int i = from; i < static_cast<int>(v.size()); ++i)
      if (v[static_cast<std::size_t>(i)]) return i;
    return -1;
  };
  if (mode_ == kAll) {
    row = 0;
    col = 1;
  } else if (mode_ == kRows) {
    row = std::max(0, firstSel(rowSel_, 0));
    col = 1;
  } else if (mode_ == kColumns) {
    row = 0;
    col = std::max(1, firstSel(colSel_, 1));
  } else if (mode_ == kRect) {
    row = std::max(0, firstSel(rowSel_, 0));
    col = std::max(1, firstSel(colSel_, 1));
  }
  if (row < 0 || row >= GetItemCount()) return;
  int asked = -1;  // -1 not asked, 0 no, 1 yes
  int lastRow = row, lastCol = col;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int r = row + static_cast<int>(i);
    if (r >= GetItemCount()) break;
    bool wrote = false;
    for (std::size_t j = 0; j < lines[i].size(); ++j) {
      const int c = col + static_cast<int>(j);
      if (c >= GetColumnCount()) break;
      if (!IsEditable(c)) continue;
      if (!IsSelected(r, c)) {
        if (asked < 0) asked = ask && ask(kOverflowQuestion) ? 1 : 0;
        if (asked == 0) continue;
      }
      SetItemText(r, c, lines[i][j]);
      wrote = true;
      lastRow = r;
      lastCol = std::max(lastCol, c);
    }
    // A blank line is an empty row: the lines after it still need rows below it.
    const bool more = i + 1 < lines.size();
    if ((wrote || more) && r == GetItemCount() - 1) {
      if (rowsFixed_) break;
      const int added = InsertItem(GetItemCount(), "");
      Notify(kRowsInserted, {added});
    }
  }
  Select(row, col, 0);
  Select(lastRow, lastCol, kShift);
  curRow_ = lastRow;
  curCol_ = lastCol;
  PushUndo();
  Notify(kContentsChanged);
}

bool CListEx::InsertRowCommand() {
  if (rowsFixed_ || mode_ == kColumns || !IsDataRow(curRow_)) {
    Refuse();
    return false;
  }
  const int r = InsertItem(curRow_, "");
  Select(r, std::max(1, curCol_), 0);
  PushUndo();
  Notify(kRowsInserted, {r});
  return true;
}

bool CListEx::DeleteRowCommand() {
  if (rowsFixed_ || mode_ == kColumns || !IsDataRow(curRow_)) {
    Refuse();
    return false;
  }
  std::vector<int> deleted;
  for (int r = GetItemCount() - 1; r >= 0; --r)
    if (IsDataRow(r) && rowSel_[static_cast<std::size_t>(r)]) {
      DeleteItem(r);
      deleted.push_back(r);
    }
  if (rows_.empty()) InsertItem(0, "");
  Select(std::min(curRow_, GetItemCount() - 1), std::max(1, curCol_), 0);
  PushUndo();
  Notify(kRowsDeleted, deleted);
  return true;
}

bool CListEx::MoveRowCommand(int step) {
  const int target = curRow_ + step;
  if (rowsFixed_ || mode_ == kColumns || !IsDataRow(curRow_) || !IsDataRow(target)) {
    Refuse();
    return false;
  }
  for (int c = 1; c < GetColumnCount(); ++c)
    std::swap(rows_[static_cast<std::size_t>(curRow_)][static_cast<std::size_t>(c)],
              rows_[static_cast<std::size_t>(target)][static_cast<std::size_t>(c)]);
  Select(target, 1, 0);
  PushUndo();
  Notify(kContentsChanged);
  return true;
}

bool CListEx::IsRowSelected(int row) const {
  return row >= 0 && row < GetItemCount() && rowSel_[static_cast<std::size_t>(row)];
}

bool CListEx::IsColumnSelected(int col) const {
  return col >= 0 && col < GetColumnCount() && colSel_[static_cast<std::size_t>(col)];
}

bool CListEx::SelectionBounds(int* r0, int* c0, int* r1, int* c1) const {
  *r0 = *c0 = -1;
  *r1 = *c1 = -2;
  for (int r = 0; r < GetItemCount(); ++r)
    if (rowSel_[static_cast<std::size_t>(r)]) {
      if (*r0 < 0) *r0 = r;
      *r1 = r;
    }
  for (int c = 1; c < GetColumnCount(); ++c)
    if (colSel_[static_cast<std::size_t>(c)]) {
      if (*c0 < 0) *c0 = c;
      *c1 = c;
    }
  return *r0 >= 0 && *c0 >= 0;
}

std::vector<table::MenuItem> CListEx::OnHeaderRButtonDown(int col, bool canPaste) {
  if (col <= 0) Select(-1, 0, 0);
  else if (!(mode_ == kColumns && IsColumnSelected(col))) Select(-1, col, 0);
  return {{table::ID_UNDO, "撤消\tCtrl+Z", !CanUndo()},   {table::ID_REDO, "恢复\tCtrl+Y", !CanRedo()},
          {table::ID_CUT, "剪切\tCtrl+X", false},         {table::ID_COPY, "拷贝\tCtrl+C", false},
          {table::ID_PASTE, "粘贴\tCtrl+V", !canPaste},   {table::ID_CLEAR, "清除\tDel", false}};
}

std::vector<table::MenuItem> CListEx::OnRButtonDown(int row, int col, bool canPaste) {
  if (row >= 0 && row < GetItemCount() && col >= 0 && col < GetColumnCount()) {
    // A right click on the row header keeps a row already selected as a row.
    const bool keep = col == 0 ? mode_ == kRows && IsRowSelected(row) : IsSelected(row, col);
    if (!keep) Select(row, col, 0);
  }
  std::vector<table::MenuItem> menu = {{table::ID_UNDO, "撤消\tCtrl+Z", !CanUndo()},
                                       {table::ID_REDO, "恢复\tCtrl+Y", !CanRedo()},
                                       {table::ID_CUT, "剪切\tCtrl+X", false},
                                       {table::ID_COPY, "拷贝\tCtrl+C", false},
                                       {table::ID_PASTE, "粘贴\tCtrl+V", !canPaste}};
  const bool dataRow = IsDataRow(curRow_);
  if (!rowsFixed_) {
    menu.push_back({table::ID_INSERT_ROW, "插入行\tCtrl+I", !dataRow});
    menu.push_back({table::ID_DELETE_ROW, "删除行\tCtrl+D", !dataRow});
  }
  menu.push_back({table::ID_CLEAR, "清除\tDel", false});
  if (!rowsFixed_) {
    const int lastData = GetItemCount() - 2;
    menu.push_back({table::ID_MOVE_ROW_UP, "上移一行", !(curRow_ >= 1 && curRow_ <= lastData)});
    menu.push_back({table::ID_MOVE_ROW_DOWN, "下移一行", !(curRow_ >= 0 && curRow_ < lastData)});
  }
  return menu;
}

bool CListEx::OnCommand(int id, std::string* clipOut, const std::string& clipIn,
                        const std::function<bool(const std::string&)>& ask) {
  switch (id) {
    case table::ID_UNDO: return Undo();
    case table::ID_REDO: return Redo();
    case table::ID_CUT:
      if (clipOut) *clipOut = Cut();
      return true;
    case table::ID_COPY:
      if (clipOut) *clipOut = CopyText();
      return true;
    case table::ID_PASTE:
      if (clipIn.empty()) {
        Refuse();
        return false;
      }
      Paste(clipIn, ask);
      return true;
    case table::ID_INSERT_ROW: return InsertRowCommand();
    case table::ID_DELETE_ROW: return DeleteRowCommand();
    case table::ID_CLEAR: Clear(); return true;
    case table::ID_MOVE_ROW_UP: return MoveRowCommand(-1);
    case table::ID_MOVE_ROW_DOWN: return MoveRowCommand(1);
    default: return false;
  }
}

std::string CListEx::TipAt(int row, int col) const {
  if (row < 0 || row >= GetItemCount() || col < 0 || col >= GetColumnCount()) return "";
  if (col == 0) return kSelectedTip;
  if (IsSelected(row, col) && mode_ != kCell) return kSelectedTip;
  return Column(col).tip;
}
