#pragma once
// CZbZhhCshDlg ("坐标转换参数计算"): the common points of the four- or seven-parameter
// estimate in an editable list. OK's checks live in tools/common_points.h; on OK the
// tools view's store is rewritten.
#include <QDialog>

#include "table/list_ex.h"

class CAuxView;
class CListExWidget;

class CZbZhhCshDlg : public QDialog {
  Q_OBJECT
 public:
  // mode 1 four parameters (store 10), 2 seven parameters (store 11).
  CZbZhhCshDlg(CAuxView& view, int mode, QWidget* parent = nullptr);
  CListEx& List() { return list_; }
  CListExWidget* ListWidget() const { return widget_; }
  // OK as the button runs it: false (dialog stays open) after a message; true after
  // the store was written. *changed tells whether the points differ from before.
  bool TryAccept(bool* changed = nullptr);
  // Esc, the close box and "取消": typed points are not dropped without a question.
  void reject() override;

 private:
  CAuxView& view_;
  int mode_;
  CListEx list_;
  CListExWidget* widget_ = nullptr;
};
