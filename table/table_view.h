#pragma once
// CTableView: the grid every data view is built on (traverse, records, tools).
// A std-only presenter: it holds the table (cells, columns, header texts), the
// commands (editing, clipboard, undo, rows), the layout and the print plan, and
// paints through table::ICanvas. A Qt widget shows it, forwards mouse and keys and
// hosts the in-place editors (table::ITableHost); nothing here includes Qt.
//
// Rows and columns are numbered from 1. Row 0 and column 0 exist so that indices
// can be used directly; they are never shown, printed, copied or edited.
// Index arguments outside 0..rows / 0..cols throw std::out_of_range.
//
// After every change the user makes, the view calls OnTableChanged() (command
// 1324, ID_TABLE_CHANGED) synchronously, before the undo snapshot. Derived views
// override it, re-read the table (unlocking new input rows) and call the base.
#include <array>
#include <string>
#include <vector>

#include "table/canvas.h"
#include "table/export/export_session.h"
#include "table/table_ports.h"

namespace table {

constexpr int ID_TABLE_CHANGED = 1324;

// Command ids of the bar buttons and the context menu.
enum CommandId : int {
  ID_SCHEME = 1108,         // "方案"
  ID_TABLE_SETTINGS = 1007, // "表格"
  ID_COMPUTE = 1019,        // "计算"
  ID_CUSTOM = 1127,         // "自定义"
  ID_EXPORT_TEXT = 1021,    // "文本"
  ID_EXPORT_WORD = 1020,    // "WORD"
  ID_EXPORT_EXCEL = 1130,   // "EXCEL"
  ID_EXPORT_CAD = 1022,     // "CAD"
  ID_SWITCH_DRAWING = 1133, // "图形"
  ID_UNDO = 1225,
  ID_REDO = 1226,
  ID_CUT = 1227,
  ID_COPY = 1228,
  ID_PASTE = 1229,
  ID_INSERT_ROW = 1230,
  ID_DELETE_ROW = 1231,
  ID_CLEAR = 1232,
  ID_MOVE_ROW_UP = 1233,
  ID_MOVE_ROW_DOWN = 1234,
};

// Mouse flags as the grid receives them.
enum MouseFlag : int { kMouseLeft = 1, kMouseRight = 2, kMouseShift = 4, kMouseCtrl = 8, kMouseMiddle = 16 };

// Keys the grid handles; letters are their upper-case ASCII code ('A'..'Z').
enum Key : int {
  kKeyTab = 9, kKeyEnter = 13, kKeyEscape = 27,
  kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28, kKeyDelete = 0x2E,
};

// Rows of the non-cell items an editor can show.
constexpr int kEditRowTitle = -10;      // column -1
constexpr int kEditRowHeader = -20;     // column = header item 0..11
constexpr int kEditRowSignature = -30;  // column 1 or 2, read-only

// The in-place editor the presenter has open (at most one).
struct EditorState {
  enum Kind { None, Edit, Combo } kind = None;
  int row = -1, col = -1;
  std::string text;          // live text; the widget mirrors typing with SetEditorText
  int inputType = 7;
  bool readOnly = false;
  bool selectAll = false;    // the whole text starts selected (opened by typing)
  Rect rect;                 // where the box lies, in view pixels
  Font font;                 // cell or title font
  std::vector<std::string> choices;  // the combo's drop-down list
};

// One button of the bar at the top of the view.
struct CBarButton {
  int id = 0;
  std::string caption;
  int icon = 0;        // icon resource number
  std::string tip;
  bool visible = true;
  bool enabled = true;
  int x = 2, y = 2, width = 78;  // height = g_nRowHeight - 2
};

// One item of the context menu.
struct MenuItem {
  int id = 0;
  std::string text;    // name, TAB, shortcut
  bool grayed = false;
};

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Thumb };

struct ScrollState {
  int vMax = 0, vPos = 0, vPage = 1;
  bool vVisible = false;
  int hMax = 0, hPos = 0, hPage = 50;
  bool hVisible = false;
};

// What a print job needs to know about the device.
struct PrintDevice {
  int physWidth = 0, physHeight = 0;  // device pixels of the whole paper
  int dpiX = 600, dpiY = 600;
  int width = 0;                      // printable width in device pixels
  int physOffsetY = 0;                // device's unprintable top offset, pixels
};

// From table pixels to device pixels: device = origin + table × scale.
struct PageTransform {
  double scaleX = 1, scaleY = 1;
  int originX = 0, originY = 0;
};

struct PrintPlan {
  int paperHeightMm = 297, paperWidthMm = 210;
  double scale = 1;            // table pixels -> device pixels
  double rowHeightMm = 0;      // one table row on paper
  double tableWidth = 640;     // table width for printing, table pixels
  int rowsPerPage = 0;
  int pages = 1;
  int padRows = 0;             // empty rows printed after the last row
  std::vector<int> firstRows;  // first row of each page
};

// Where everything lies: computed from the model by RecalcLayout, kept apart for
// the screen and for the page being printed.
struct CTableLayout {
  bool forPrint = false;
  int rows = 0;                 // rows laid out over (table rows + pad rows when printing)
  int firstRow = 1, visibleRows = 0;
  int xOrigin = 60, yOrigin = 0;
  int H = 20, cw = 6;
  std::vector<int> width, right;  // per column 0..m
  std::vector<int> maxTextLen;    // longest text per column, GBK bytes
  Rect title;
  std::array<Rect, 12> header{};
  std::array<Rect, 2> signature{};
  // cells[i][j]: row firstRow + i, column j (j = 0 unused)
  std::vector<std::vector<Rect>> cells;
  Rect Cell(int row, int col) const;
  bool HoldsLastRow() const { return rows > 0 && firstRow + visibleRows - 1 >= rows; }
};

// The page-number header item, filled in on paper as "第 1 页  共 3 页".
extern const char kPageTemplate[];
std::string PageText(int page, int pages);

}  // namespace table

class CTableView {
 public:
  // One cell.
  struct CCol {
    std::string text;
    bool locked = true;    // cannot be edited, cleared, cut into or pasted into
    bool noBorder = false; // the grid line along the top edge is not drawn
  };
  // One column.
  struct CColumn {
    int width = 0;        // pixels, from the screen layout
    int right = 0;        // cumulative right edge from the table's left edge
    int maxTextLen = 0;   // longest text in GBK bytes
    int minChars = 4;     // never narrower than this many half-width characters
    bool stagger = false; // values half a row lower (sides between two points)
    std::string header1, header2, header3, header4;
    int headerSpan = 0;   // header1 spans this many columns when > 1
    int inputType = 7;    // editor filter (table::InputType)
    std::string code;     // column data code of a result table
    std::string tip;      // default text, then "|row|text" parts
  };

  CTableView();
  virtual ~CTableView();
  CTableView(const CTableView&) = delete;
  CTableView& operator=(const CTableView&) = delete;

  // ---- ports and window life ------------------------------------------------
  void SetHost(table::ITableHost* host);  // nullptr detaches
  table::ITableHost* Host() const { return m_host; }
  // Creates the button bar and the header-item choices (once).
  virtual void OnInitialUpdate();
  // The client area of the widget in pixels (WM_SIZE).
  void SetClientSize(int width, int height);
  // The height of the interface row (g_nRowHeight): the button band at the top.
  void SetInterfaceRowHeight(int h);

  // ---- table model ----------------------------------------------------------
  bool NewTable(int rows, int cols, const std::string& title, bool clearUndo);
  bool SetRowCount(int count);
  int InsertRow(int row);   // before row; appends for row < 0; returns the row count
  int DeleteRow(int row);   // the last row for row < 0; returns the row count
  int DeleteRows(int first, int last);  // rows first..last; returns the row count
  int GetRowCount() const;
  int GetColCount() const;

  void SetCellText(int row, int col, const std::string& text);
  std::string GetCellText(int row, int col) const;
  const std::string& CellText(int row, int col) const;  // no copy
  void SetCellDouble(int row, int col, double value, int decimals, bool showSign = false);
  void SetCellInt(int row, int col, int value, int width = 0);
  void SetCellAngle(int row, int col, double radians, int decimals, bool keepSign = false);
  void SetCellLocked(int row, int col, bool locked);
  bool IsCellLocked(int row, int col) const;
  // False for a locked cell and for the last row of a staggered column: editing,
  // paste, cut and clear leave such a cell alone.
  bool IsCellWritable(int row, int col) const;
  bool SetCellNoBorder(int row, int col, bool flag);
  bool IsCellNoBorder(int row, int col) const;

  void SetColumnHeader(int col, const std::string& line1, const std::string& line2, int span = 0,
                       int minChars = 4);
  void SetColumnHeaderLines(int col, const std::string& line3, const std::string& line4);
  void SetColumnInputType(int col, int type);
  int GetColumnInputType(int col) const;
  void SetColumnStagger(int col, bool flag);
  bool GetColumnStagger(int col) const;
  bool HasStaggeredColumn() const;
  void SetColumnLocked(int col, bool locked);
  void SetColumnCode(int col, const std::string& code);
  std::string GetColumnCode(int col) const;
  void SetColumnTip(int col, const std::string& tip);
  std::string GetCellTip(int row, int col) const;
  const CColumn& GetColumn(int col) const;
  int GetColumnHeaderLines() const { return m_nHeaderLines; }

  void SetTitle(const std::string& title);
  const std::string& GetTitle() const { return m_strTitle; }
  void SetHeaderText(int index, const std::string& text);  // 0..11
  std::string GetHeaderText(int index) const;
  void SetHeaderChoices(const std::vector<std::string>& choices);
  const std::vector<std::string>& GetHeaderChoices() const { return m_headerChoices; }
  void SetSignatureTexts(int lines, const std::string& label, const std::string& line1,
                         const std::string& line2);
  int GetSignatureLines() const { return m_nSignLines; }
  std::string GetSignatureText(int index) const;  // 0 label, 1 and 2 the lines

  void SetReadOnly(bool readOnly, bool titleLocked, bool headerItemsLocked);
  bool IsReadOnly() const { return m_bReadOnly; }
  bool IsTitleLocked() const { return m_bTitleLocked; }
  bool AreHeaderItemsLocked() const { return m_bHeaderLocked; }
  table::Color GetBackground() const { return m_clrBackground; }
  // The 3D-face colour of the desktop (g_clrBtnFace), taken at start-up.
  void SetFaceColor(table::Color c);

  int SetFont(int height, double printHeight);  // returns the previous height
  int GetFontHeight() const { return m_nFontHeight; }
  double GetPrintHeight() const { return m_dPrintHeight; }
  int GetRowHeight() const { return m_nRowHeight; }
  int GetCharWidth() const { return (m_nFontHeight + 1) / 2; }

  // ---- selection --------------------------------------------------------------
  bool SelectCell(int row, int col, int flags = 0);
  bool IsCellSelected(int row, int col) const;
  // top/left/bottom/right of the selection; false when nothing is selected.
  bool GetSelection(int* top, int* left, int* bottom, int* right) const;

  // ---- change notification (command 1324) -------------------------------------
  // Base handler: layout stale, repaint, document modified.
  virtual void OnTableChanged();
  // Dispatches a command of the bar or the context menu; false when unknown.
  // Derived views override it for their own buttons and call the base otherwise.
  virtual bool OnCommand(int id);

  // ---- layout, painting, scrolling (drawing and printing) -----------------------
  int RecalcLayout(int firstRow = -1, int rowsPerPage = -1, bool forPrint = false);
  void InvalidateLayout();  // widths and layout stale
  const table::CTableLayout& Layout() const { return m_layout; }
  table::Rect GetCellRect(int row, int col) const;  // empty unless laid out
  int GetFirstRow() const { return m_layout.firstRow; }
  int GetVisibleRows() const { return m_layout.visibleRows; }
  bool HitTest(int x, int y, int* row, int* col) const;
  int EnsureCellVisible(int row, int col);
  void UpdateScrollBars();
  const table::ScrollState& GetScrollState() const { return m_scroll; }
  void OnVScroll(table::ScrollAction action, int thumbPos = 0);
  void OnHScroll(table::ScrollAction action, int thumbPos = 0);
  void OnMouseWheel(int delta);
  // Paints the screen: the table, then the view frame.
  void OnDraw(table::ICanvas& canvas);
  void DrawFrame(table::ICanvas& canvas);
  void DrawColumnHeaders(table::ICanvas& canvas, const table::CTableLayout& layout);

  // ---- printing ---------------------------------------------------------------
  // Pagination for the device; pad rows are printed, never added to the table.
  // A derived view may print other contents page by page: it adjusts the plan
  // (MutablePrintPlan) after the base, fills the grid for each page in OnPrepareDC
  // before calling the base, and restores its own state after the base's OnEndPrinting.
  virtual const table::PrintPlan& OnBeginPrinting(const table::PrintDevice& device);
  // The pages of the table on paper of this size with the view's margins (the plan
  // without a device: no scale); the document export splits by it.
  table::PrintPlan PaginateFor(int paperHeightMm, int paperWidthMm) const;
  const table::PrintPlan& GetPrintPlan() const { return m_plan; }
  const table::CTableLayout& PrintLayout() const { return m_printLayout; }
  // Lays out page p (1-based) and returns its transform to device pixels.
  virtual table::PageTransform OnPrepareDC(int page);
  // Paints page p as laid out by OnPrepareDC.
  void OnPrint(table::ICanvas& canvas, int page);
  virtual void OnEndPrinting();
  bool m_bFitWidth = true;   // fit the table to the paper width
  bool m_bPadRows = false;   // fill the last page with empty rows
  int m_nMarginTop = 20, m_nMarginBottom = 20, m_nMarginLeft = 20, m_nMarginRight = 20;

  // ---- cell editing -------------------------------------------------------------
  bool BeginEdit();                       // the edit box over the current cell
  bool BeginEditByTyping();               // a typed character opens it, all selected
  bool IsEditing() const { return m_editor.kind != table::EditorState::None; }
  const table::EditorState& Editor() const { return m_editor; }
  void SetEditorText(const std::string& text);  // the widget mirrors the box's text
  // Ends the open editor as on focus-out (cancelled: Esc) and stores the result.
  // An angle with minutes or seconds of 60 or more is refused: a beep, the editor
  // stays open with its text, and the result is false.
  bool EndEdit(bool cancelled = false);
  // Every command calls this first, so a later focus-out cannot overwrite it. False
  // when the editor refused its text and stays open; the command then does nothing.
  bool CommitEditor();
  int OnCellEditEnd(int row, int col, const std::string& text);
  int OnHeaderEditEnd(int item, const std::string& text);

  // ---- mouse and keys (from the widget) ---------------------------------------------
  void OnLButtonDown(int x, int y, int flags);
  void OnLButtonUp(int x, int y, int flags);
  void OnMButtonDown(int x, int y, int flags);
  // Returns the context menu to show at the pointer (empty: none).
  std::vector<table::MenuItem> OnRButtonDown(int x, int y);
  void OnMouseMove(int x, int y, int flags);
  // Drag auto-scroll tick (timer 513, every 50 ms) with the pointer position.
  void OnDragTimer(int x, int y);
  bool IsDragging() const { return m_bDragging; }
  // Keys seen before the focused control (the view or its editor) gets them.
  // Returns true when the key was handled here.
  bool PreTranslateKey(int key, bool ctrl, bool editorHasFocus);
  // Keys when the view itself has the focus. Returns true when handled.
  bool OnKeyDown(int key, bool ctrl);

  // ---- clipboard, undo and row commands ----------------------------------------------
  void OnUndo();
  void OnRedo();
  void OnCut();
  void OnCopy();
  void OnPaste();
  void OnInsertRow();
  void OnDeleteRow();
  void OnClear();
  void OnMoveRowUp();
  void OnMoveRowDown();
  void OnSelectAll();
  virtual void OnSwitchToDrawing();
  // "表格": the settings dialog through the host; on OK the values go back, the table
  // re-lays out and the document is modified. Cancel changes nothing.
  virtual void OnTableSettings();
  // A new or opened job starts from the table's default settings (font at the
  // frame's character height); the owning view then applies the job's own.
  void ResetTableSettings(int fontHeight);
  // Exports (table/export/): the text export, the spreadsheet, word-processor and CAD
  // dialogs, the sheet or document they add to the file of their session.
  virtual void OnExportText();
  // Writes what the text export holds to `path` (table::WriteTextExport of the table
  // shown); a view holding more tables than the one shown writes them all.
  virtual bool WriteTextFile(const std::string& path, int format, std::string* error);
  virtual void OnExportExcel();
  virtual void OnExportWord();
  virtual void OnExportCad();
  virtual bool ExportToExcel(bool keepHalfRowOffset);
  // The printed pages as a DXF drawing (table/export/dxf_export.h), on `paper` or A4
  // portrait; false with a Chinese reason in *error, no file left behind.
  bool ExportToDxf(const std::string& path, std::string* error = nullptr, const table::PrintDevice* paper = nullptr);
  // Adds the table to the document of the Word session (one table, or one per page of
  // the print plan for the Word paper) and rewrites it; false after the failure
  // message. With the row offset a staggered column stays half a row lower.
  virtual bool ExportToWord(bool keepRowOffset);
  // Exit of the Word dialog: with `open` ("完成") the session's document is opened with
  // the desktop's program when something was written; the session ends.
  void EndOfficeExport(bool open);
  table::CExportSession& ExcelSession() { return m_excelSession; }
  table::CExportSession& WordSession() { return m_wordSession; }
  bool PushUndo();
  void ClearUndo();
  void UpdateUndoButtons();
  bool CanUndo() const;
  bool CanRedo() const;
  int GetUndoIndex() const { return m_nUndoIndex; }
  int GetUndoCount() const { return static_cast<int>(m_undo.size()); }
  // The clipboard text of the selection (tab-separated, CR LF), as copy makes it.
  std::string SelectionText() const;

  // ---- button bar ---------------------------------------------------------------------
  std::vector<table::CBarButton>& Buttons() { return m_buttons; }
  table::CBarButton* FindButton(int id);
  void ButtonsChanged();  // tells the host after a derived view changed buttons
  // The widget's client size (WM_SIZE) and the interface scale (g_nRowHeight,
  // g_nCharHeight): both re-lay out the bar of a view that has its own (LayoutBar).
  void OnSize(int width, int height);
  void SetBarMetrics(int rowHeight, int charHeight);
  virtual void LayoutBar() {}

  // ---- members the owning views read and write directly ------------------------------
  std::string TableCode;       // code of the table now shown
  std::string m_strHint;       // shown when the table is empty
  int m_nLinesAbove = 1;       // 0..3 header-item lines above the table
  int m_nLineBelow = 1;        // 0..1 item line below the table
  int m_nAngleUnit = 0;        // 0 d m s, 1 decimal degrees, 2 radians
  int m_nAngleDecimals = 1;
  int m_nDistDecimals = 3;
  int m_nDhDecimals = 3;       // height differences
  int m_nCoordDecimals = 3;
  int m_nHeightDecimals = 3;   // elevations
  int m_nChainageDecimals = 3;
  int m_nGradeDecimals = 3;
  int m_nLatLonDecimals = 4;
  bool m_bAutoAppend = false;  // editing the last row first adds a row
  bool m_bRowsFixed = false;   // no inserting, deleting or moving rows
  int m_nCurRow = 0, m_nCurCol = 0;  // current cell (0: none)
  int m_nSelRow = 0, m_nSelCol = 0;  // other corner of the selection
  // Word export settings (kept for the export dialog and the document).
  float m_fWordFontSize = 9.0f;
  // The Word dialog's font entry: it opens at "10.5" and keeps what was chosen for the
  // view's life, whatever font another path (a field book's settings) gave the view.
  double m_dWordDlgFontSize = 10.5;
  int m_nWordPaperHeight = 297, m_nWordPaperWidth = 210, m_nWordOrientation = 0;
  bool m_bWordSplitPages = true;

 protected:
  // The buttons of `order` side by side from the left, a slot for each id (an id
  // without a button leaves its slot empty), each min(h + 4c + 12, (width − margin) /
  // slots) wide but never narrower than the row height h.
  void LayoutBarInOrder(const int* order, int slots, int margin);
  int m_nBarClientWidth = 0, m_nBarRowHeight = 22, m_nBarCharHeight = 12;

  // Drawn over the finished table on screen and on every printed page (a page footer,
  // for one); the layout is the one just painted.
  virtual void PaintOverlay(table::ICanvas& /*canvas*/, const table::CTableLayout& /*layout*/, bool /*forPrint*/,
                            int /*page*/, int /*pages*/) {}
  // For views that print other contents page by page (see OnBeginPrinting).
  table::PrintPlan& MutablePrintPlan() { return m_plan; }
  // The print widths again, after the grid was filled with another page's texts.
  void RefreshPrintWidths();
  // Sends command 1324 to the view itself (synchronously).
  void SendTableChanged() { OnTableChanged(); }
  void Repaint();
  void Beep();
  void ClampCurrentCell();

 private:
  struct Snapshot {
    int rows = 0, cols = 0;
    std::vector<std::string> cells;  // rows × cols, row-major
  };

  void CheckCell(int row, int col) const;
  void CheckCol(int col) const;
  void MakeRows(int from, int to);  // appends rows so that rows 1..to exist
  void MarkTextChanged();
  void ComputeWidths(table::CTableLayout& l, bool forPrint) const;
  void LayoutInto(table::CTableLayout& l, int firstRow, int rowsPerPage, bool forPrint) const;
  void Paint(table::ICanvas& c, const table::CTableLayout& l, bool forPrint, int page, int pages);
  void DrawItemLine(table::ICanvas& c, const table::CTableLayout& l, int first, bool forPrint, int page,
                    int pages);
  int ClientRowsPerPage() const;
  void SetVScroll(int pos);
  void SetHScroll(int pos);
  void RestoreSnapshot(const Snapshot& s);
  // True when snapshot `index` exists and has the columns of the table shown.
  bool FitsSnapshot(int index) const;
  bool AllowRowCommand(bool condition);
  void ClearSelectedCells(bool copyFirst);  // cut (copyFirst) and clear
  void MoveCurrentRow(int step);
  void OpenEditor(table::EditorState e);
  void CloseEditor();
  bool StartCellEdit(bool byTyping);
  void UpdateStatus(int row, int col);

  table::ITableHost* m_host = nullptr;
  bool m_bInitialized = false;
  int m_nClientWidth = 0, m_nClientHeight = 0;
  int m_nBandHeight = 22;  // g_nRowHeight

  // The cells of rows 0..n, row by row, m_columns.size() to a row: a large table is
  // one block, not one per row.
  std::vector<CCol> m_cells;
  int m_nRowSlots = 0;  // rows held (0..n), 0 when the table has none
  std::size_t CellIndex(int row, int col) const {
    return static_cast<std::size_t>(row) * m_columns.size() + static_cast<std::size_t>(col);
  }
  CCol& Cell(int row, int col) { return m_cells[CellIndex(row, col)]; }
  const CCol& Cell(int row, int col) const { return m_cells[CellIndex(row, col)]; }
  std::vector<CColumn> m_columns;  // 0..m
  std::string m_strTitle;
  std::array<std::string, 12> m_header;
  std::vector<std::string> m_headerChoices;
  int m_nSignLines = 0;
  std::array<std::string, 3> m_sign;
  int m_nHeaderLines = 2;
  bool m_bReadOnly = true, m_bTitleLocked = true, m_bHeaderLocked = false;
  table::Color m_clrFace = table::colors::kFace;
  table::Color m_clrBackground = table::colors::kWhite;
  int m_nFontHeight = 12;
  double m_dPrintHeight = 3.0;
  int m_nRowHeight = 20;

  bool m_bWidthsValid = false, m_bLayoutValid = false;
  table::CTableLayout m_layout;       // the screen
  table::CTableLayout m_printLayout;  // the page being printed
  int m_nFirstRow = 1;
  int m_nHScroll = 0;
  table::ScrollState m_scroll;
  table::PrintPlan m_plan;
  table::PrintDevice m_printDevice;
  int m_nPrintPage = 1;
  bool m_bPrinting = false;

  std::vector<Snapshot> m_undo;
  int m_nUndoIndex = -1;

  table::EditorState m_editor;
  bool m_bDragging = false;
  int m_nDownRow = 0, m_nDownCol = 0;  // cell pressed, for the click-to-edit rule
  bool m_bLeftDownCell = false;
  std::string m_lastTipKey;

  std::vector<table::CBarButton> m_buttons;
  table::CExportSession m_excelSession, m_wordSession;
};
