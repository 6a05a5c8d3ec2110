#pragma once
// CAuxSetDlg: the settings of the common tools. Which controls the page enables, the
// captions and the checks of OK live in tools::CAuxSetForm; this dialog only shows the
// form. The two "由公共点解算" buttons open the common-point dialog and estimate the
// parameters into this dialog's copy.
#include <QDialog>
#include <functional>
#include <QString>
#include <map>

#include "tools/aux_set_form.h"

class QLineEdit;

class CAuxSetDlg : public QDialog {
  Q_OBJECT
 public:
  // commonPoints(mode) runs the common-point dialog (1 four, 2 seven parameters) and
  // returns true after its OK.
  CAuxSetDlg(const tools::CAuxSetForm& form, std::function<bool(int mode)> commonPoints, QWidget* parent = nullptr);
  const tools::CAuxSetForm& Form() const { return form_; }
  QWidget* Control(int id) const;
  // OK as the button runs it: false (dialog stays open) after a message.
  bool TryAccept();
  // The two estimate buttons.
  void OnSolveParameters(int mode);

 private:
  void Load();                 // every control from the form
  void LoadParameters(int mode);
  bool Fetch();                // controls -> form; false after a message
  void UpdateCustomEllipsoid();
  QLineEdit* Edit(int id);
  // Shows a value in its edit and remembers the text: OK reads back only the edits
  // whose text was changed, so a value held with more decimals than shown stays.
  void Show(int id, double value);

  tools::CAuxSetForm form_;
  std::function<bool(int)> commonPoints_;
  std::map<int, QWidget*> controls_;
  // The ellipsoid edits show a preset's figures; the custom texts wait meanwhile.
  bool showingPreset_ = false;
  QString customA_, customInvF_;
  std::map<int, QString> shown_;
};
