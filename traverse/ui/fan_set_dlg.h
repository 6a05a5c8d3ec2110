#pragma once
// CFAnSetDlg ("项目设置"): the computation-scheme dialog. Every rule lives in
// traverse::CSchemeForm; this dialog only shows the form and forwards the user's
// changes to it.
#include <QDialog>
#include <map>

#include "traverse/engine/scheme_form.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

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
  // The dialog, one group box at a time.
  void Build();
  QGroupBox* BuildTypeBox();
  QGroupBox* BuildPlaneBox();
  QGroupBox* BuildHeightBox();
  QGroupBox* BuildDistributionBox();
  QDialogButtonBox* BuildButtons();
  void Load();          // form -> controls
  bool Fetch(bool check);  // controls -> form; with check, unreadable numbers refuse
  void Changed(void (traverse::CSchemeForm::*handler)(int), int value);
  void Clicked();
  QLineEdit* Edit(int id);
  QComboBox* List(int id, const QStringList& items);
  QCheckBox* Check(int id, const char* text);
  QRadioButton* Radio(int id, const char* text);
  QLabel* Label(const char* text);
  // A list's index changes go to a handler of the form.
  void OnIndex(QComboBox* list, void (traverse::CSchemeForm::*handler)(int));

  traverse::CSchemeForm form_;
  std::map<int, QWidget*> controls_;
  QLabel* lengthLabel_ = nullptr;
  bool loading_ = false;
  // The fields the last Fetch could not read, with the text of the value they kept.
  std::map<int, QString> unread_;
};
