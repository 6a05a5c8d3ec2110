#pragma once
// The editable list on screen: paints a CListEx (row header, cells in the list's
// colours) under a CHeaderCtrlEx whose items it paints too, turns mouse and keys into
// the model's commands, opens its context menus, shows the cell tips, scrolls and
// extends a dragged selection, and hosts the grid's in-place edit box. The model keeps
// every rule; its notifications come out as the signal listNotify.
#include <QList>
#include <QWidget>

#include "table/list_ex.h"

class CHeaderCtrlEx;
class CInPlaceCombo;
class CInPlaceEdit;
class QMenu;
class QScrollBar;
class QStandardItemModel;
class QTimer;

class CListExWidget : public QWidget {
  Q_OBJECT
 public:
  // The widget becomes the list's listener (forwarded as listNotify).
  explicit CListExWidget(CListEx* list, QWidget* parent = nullptr);
  CListEx& List() { return *list_; }
  CHeaderCtrlEx* Header() const { return header_; }
  QScrollBar* VerticalBar() const { return vbar_; }
  // Shown when the columns are wider than the list; moving the current cell scrolls
  // its column into view.
  QScrollBar* HorizontalBar() const { return hbar_; }
  int LeftOffset() const { return leftX_; }
  // Widths from the declared ones, fitted to the widget (AutoSizeColumns).
  void AutoSizeColumns();
  int RowHeight() const { return rowHeight_; }
  int HeaderHeight() const { return headerHeight_; }
  int TopRow() const { return topRow_; }
  QRect CellRect(int row, int col) const;
  // The cell under a point of the widget; false outside the rows and columns.
  bool HitTest(const QPoint& p, int* row, int* col) const;
  void OpenEditor();
  // Runs a command 1225..1234 with the system clipboard and the Yes/No port.
  void RunCommand(int id);
  // The menus as they would open (ownership passes to the caller); actions carry the
  // command id as data.
  QMenu* CellMenu(int row, int col);
  QMenu* HeaderMenu(int col);
  // The tip last shown over a cell.
  QString CurrentTip() const { return tip_; }

 signals:
  // 1324 rows inserted, 1325 rows deleted (bottom first), 1327 current cell moved
  // (moved: 1 row, 2 column, 3 both), 1328 contents changed.
  void listNotify(int code, const QList<int>& rows, int moved);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Move(int dRow, int dCol);
  // The next (dir 1) or previous (-1) cell of an editable column in row order;
  // false at the end of the list.
  bool StepEditableCell(int dir);
  void EnsureVisible(int row);
  void SyncRows();
  void SyncHeader();
  void PaintHeaderItem(QPainter* p, const QRect& r, int col) const;
  void OnDragTick();
  void UpdateTip(const QPoint& pos);
  int VisibleRows() const;
  int ViewWidth() const;
  int TotalWidth() const;
  int ContentWidth(int col) const;
  // Widens the columns whose texts grew past them (never narrows one).
  void FitContent();
  void OpenCombo(int row, int col, int type);
  int Flags(Qt::KeyboardModifiers m) const;
  QMenu* MenuOf(const std::vector<table::MenuItem>& items);
  void ExecMenu(QMenu* menu, const QPoint& global);

  CListEx* list_;
  CHeaderCtrlEx* header_ = nullptr;
  QStandardItemModel* headerModel_ = nullptr;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  bool needH_ = false, needV_ = false;
  int leftX_ = 0;
  CInPlaceCombo* combo_ = nullptr;  // types 8 and 9, made anew for each edit
  QTimer* dragTimer_ = nullptr;
  CInPlaceEdit* edit_ = nullptr;
  std::vector<int> widths_;
  int rowHeight_ = 20, headerHeight_ = 24;
  int topRow_ = 0;
  bool pressedCurrent_ = false;
  bool dragging_ = false;
  QPoint dragPos_;
  QString tip_;
  int tipRow_ = -2, tipCol_ = -2, tipY_ = 0;
};
