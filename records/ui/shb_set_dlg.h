#pragma once
// CShbSetDlg ("项目设置") and CMovePageDlg ("移动表格页"): the records view's two
// dialogs. Every rule of the settings lives in records::CShbSetForm; the dialogs only
// show the values and hand the user's entries back.
#include <QDialog>
#include <map>

#include "records/shb_set_form.h"

class QLineEdit;

class CShbSetDlg : public QDialog {
  Q_OBJECT
 public:
  // Result codes of exec(): Accepted, Rejected, or kHelp after the help button.
  static constexpr int kHelp = 3;

  explicit CShbSetDlg(const records::CShbSetForm& form, QWidget* parent = nullptr);
  const records::CShbSetForm& Form() const { return form_; }
  QWidget* Control(int id) const;
  // OK as the button runs it: false (the dialog stays open) after a message.
  bool TryAccept();

 private:
  void Build();
  void Load();
  bool Fetch();
  void UpdateEnabled();

  records::CShbSetForm form_;
  std::map<int, QWidget*> controls_;
};

class CMovePageDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CMovePageDlg(const records::CMovePageValues& values, QWidget* parent = nullptr);
  const records::CMovePageValues& Values() const { return values_; }
  QLineEdit* PageEdit() const { return edit_; }
  bool TryAccept();

 private:
  records::CMovePageValues values_;
  QLineEdit* edit_ = nullptr;
};
