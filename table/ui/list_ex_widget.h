#pragma once
// The editable list on screen: paints a CListEx (header, row header, cells in the
// list's colours), turns mouse and keys into its commands and hosts the grid's
// in-place edit box. The model keeps every rule.
#include <QWidget>

#include "table/list_ex.h"

class CInPlaceEdit;

class CListExWidget : public QWidget {
  Q_OBJECT
 public:
  explicit CListExWidget(CListEx* list, QWidget* parent = nullptr);
  CListEx& List() { return *list_; }
  // Widths from the declared ones, fitted to the widget (AutoSizeColumns).
  void AutoSizeColumns();
  int RowHeight() const { return rowHeight_; }
  QRect CellRect(int row, int col) const;
  void OpenEditor();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool HitTest(const QPoint& p, int* row, int* col) const;
  void Move(int dRow, int dCol);

  CListEx* list_;
  CInPlaceEdit* edit_ = nullptr;
  std::vector<int> widths_;
  int rowHeight_ = 20, headerHeight_ = 24;
  bool pressedCurrent_ = false;
};
