#pragma once
// CListEx: the editable list of the dialogs (common points, small value tables).
// A std-only model: columns with their editing type, rows of texts (rows from 0,
// column 0 the row header), the current cell and the selection, editing that keeps
// one empty input row at the end, undo and redo, clipboard text with the question
// for cells outside the selection, row commands, and the notifications to its parent
// as a listener. The Qt widget (table/ui/list_ex_widget.h) paints it and forwards
// mouse and keys.
#include <functional>
#include <string>
#include <vector>

#include "table/table_view.h"  // table::MenuItem and the command ids 1225..1234

class CListEx {
 public:
  // Column types: 1..7 edit box with that input filter, 8 editable drop-down,
  // 9 drop-down list, anything else read-only.
  struct CColumn {
    std::string heading;
    int type = 7;
    int width = 70;
    std::vector<std::string> choices;
    std::string tip;
  };
  enum Mode { kCell = 0, kRows = 1, kColumns = 2, kRect = 4, kAll = 7 };
  enum Flag { kShift = 4, kCtrl = 8 };
  // Notification codes (WM_LISTEX_NOTIFY): rows inserted, rows deleted (bottom
  // first), current cell moved (1 row, 2 column, 3 both), contents changed.
  enum Notify { kRowsInserted = 1324, kRowsDeleted = 1325, kCurrentMoved = 1327, kContentsChanged = 1328 };
  using Listener = std::function<void(int code, const std::vector<int>& rows, int moved)>;

  int InsertColumn(int col, const std::string& heading, int width, int type = 7);
  int InsertItem(int row, const std::string& text);  // text goes into column 0
  bool DeleteItem(int row);
  void DeleteAllItems();
  int GetItemCount() const { return static_cast<int>(rows_.size()); }
  int GetColumnCount() const { return static_cast<int>(columns_.size()); }
  CColumn& Column(int col) { return columns_.at(static_cast<std::size_t>(col)); }
  const CColumn& Column(int col) const { return columns_.at(static_cast<std::size_t>(col)); }
  bool IsEditable(int col) const;
  std::string GetItemText(int row, int col) const;
  void SetItemText(int row, int col, const std::string& text);
  void SetListener(Listener l) { listener_ = std::move(l); }
  void SetRowsFixed(bool fixed) { rowsFixed_ = fixed; }
  bool RowsFixed() const { return rowsFixed_; }

  // Appends an empty row after a last row with text in an editable column, or drops
  // trailing rows empty in every editable column (the last row always stays).
  void KeepOneEmptyRow();

  // ---- selection -------------------------------------------------------------
  bool Select(int row, int col, int flags = 0);
  bool IsSelected(int row, int col) const;
  bool IsRowSelected(int row) const;
  bool IsColumnSelected(int col) const;
  // The selected block as rows r0..r1 and columns c0..c1 (false when nothing is).
  bool SelectionBounds(int* r0, int* c0, int* r1, int* c1) const;
  int CurrentRow() const { return curRow_; }
  int CurrentCol() const { return curCol_; }
  int SelectionMode() const { return mode_; }

  // ---- editing ------------------------------------------------------------------
  // Opens the editor on the current cell: false when none can open there. On the last
  // row an input row is appended first.
  bool BeginEdit();
  bool IsEditing() const { return editing_; }
  // Stores the text (commas refused as in every cell) and closes the editor.
  void EndEdit(const std::string& text);

  // ---- clipboard, undo, rows -------------------------------------------------------
  std::string CopyText() const;
  // Ask answers the overflow question (true: paste outside the selection too).
  void Paste(const std::string& clip, const std::function<bool(const std::string&)>& ask);
  void Clear();                       // Delete: empties selected editable cells
  std::string Cut();                  // the copy text, then Clear
  bool Undo();
  bool Redo();
  bool CanUndo() const { return undoIndex_ > 0; }
  bool CanRedo() const { return undoIndex_ + 1 < static_cast<int>(undo_.size()); }
  void PushUndo();
  bool InsertRowCommand();
  bool DeleteRowCommand();
  bool MoveRowCommand(int step);      // -1 up, +1 down
  // ---- context menus, commands, tips ---------------------------------------------
  // Right button on a cell (col 0 the row header): the cell becomes current unless it
  // is selected; the menu in order, greyed as the state allows.
  std::vector<table::MenuItem> OnRButtonDown(int row, int col, bool canPaste);
  // Right button on a header item: the column is selected unless it already is in
  // column mode; the header's shorter menu.
  std::vector<table::MenuItem> OnHeaderRButtonDown(int col, bool canPaste);
  // Runs a command 1225..1234. Copy and cut put their text in *clipOut; paste reads
  // clipIn and asks the overflow question through ask. False when refused or unknown.
  bool OnCommand(int id, std::string* clipOut, const std::string& clipIn,
                 const std::function<bool(const std::string&)>& ask);
  // The tip over a cell.
  std::string TipAt(int row, int col) const;
  static constexpr const char* kSelectedTip = "按右键进行编辑操作";

  // Refused commands beep through this (the widget plays the sound).
  std::function<void()> beep;

  static constexpr const char* kOverflowQuestion =
      "要粘贴的内容超出当前选择区域，\n按“是”允许超出，按“否”忽略超出部分";

 private:
  bool IsDataRow(int row) const;
  bool RowEmpty(int row) const;
  void Notify(int code, const std::vector<int>& rows = {}, int moved = 0);
  void SetCurrent(int row, int col);
  void Refuse();
  std::string Snapshot() const;
  void Restore(const std::string& snap);

  std::vector<CColumn> columns_;
  std::vector<std::vector<std::string>> rows_;  // rows_[r][c], c = 0..cols-1
  std::vector<bool> rowSel_, colSel_;
  int mode_ = kCell;
  int curRow_ = -1, curCol_ = -1;
  int farRow_ = -1, farCol_ = -1;
  bool rowsFixed_ = false;
  bool editing_ = false;
  std::vector<std::string> undo_;
  int undoIndex_ = -1;
  Listener listener_;
};
