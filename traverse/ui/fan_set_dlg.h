#pragma once
// CFAnSetDlg ("项目设置"): the computation-scheme dialog. Every rule lives in
// traverse::CSchemeForm; this dialog only shows the form and forwards the user's
// changes to it.
#include <QDialog>
#include <map>

#include "traverse/scheme_form.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

class CFAnSetDlg : public QDialog {
  Q_OBJECT
 public:
  // Result codes of exec(): Accepted, Rejected, or kHelp after the help button.
  static constexpr int kHelp = 3;

  CFAnSetDlg(const traverse::CSchemeForm& form, QWidget* parent = nullptr);
  const traverse::CSchemeForm& Form() const { return form_; }

  // The control of an id (1047, 1065, ...), for tests.
  QWidget* Control(int id) const;

  // OK as the button runs it: false (dialog stays open) after a message.
  bool TryAccept();

 private:
  void Build();
  void Load();          // form -> controls
  bool Fetch(bool check);  // controls -> form; with check, unreadable numbers refuse
  void Changed(void (traverse::CSchemeForm::*handler)(int), int value);
  void Clicked();
  QLineEdit* Edit(int id);
  QComboBox* List(int id, const QStringList& items);

  traverse::CSchemeForm form_;
  std::map<int, QWidget*> controls_;
  QLabel* lengthLabel_ = nullptr;
  bool loading_ = false;
};
