#pragma once
// CTableSetDlg ("表格属性设置"): font heights, header-item lines, decimals and print
// layout of a grid. Every rule lives in table::CTableSetForm; the dialog shows the
// values and hands the user's entries back.
#include <QDialog>
#include <map>

#include "table/table_set_form.h"

class CTableSetDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CTableSetDlg(const table::CTableSetForm& form, QWidget* parent = nullptr);
  const table::CTableSetForm& Form() const { return form_; }
  // The control of a dialog id (edits, lists, checks); nullptr for an unknown id.
  QWidget* Control(int id) const;
  // OK as the button runs it: false (the dialog stays open, the refused control has
  // the focus) after a message.
  bool TryAccept();

 private:
  void Build();
  void Load();

  table::CTableSetForm form_;
  std::map<int, QWidget*> controls_;
};
