#pragma once
// CCusTableSetDlg ("自定义表格"): the name and the columns of one custom result table.
// The rules live in traverse::CCusTableSetForm; the dialog shows the choices and
// hands the user's entries back.
#include <QDialog>
#include <array>

#include "traverse/view/cus_table.h"

class QCheckBox;
class QLineEdit;

class CCusTableSetDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CCusTableSetDlg(const traverse::CCusTableSetForm& form, QWidget* parent = nullptr);
  const traverse::CCusTableSetForm& Form() const { return form_; }
  QLineEdit* NameEdit() const { return name_; }
  QCheckBox* Choice(int i) const { return checks_.at(static_cast<std::size_t>(i)); }
  // OK as the button runs it: false (the dialog stays open) after a message.
  bool TryAccept();

 private:
  traverse::CCusTableSetForm form_;
  QLineEdit* name_ = nullptr;
  std::array<QCheckBox*, traverse::CCusTableSetForm::kChoiceCount> checks_{};
};
