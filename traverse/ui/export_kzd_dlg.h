#pragma once
// CExportKzdDlg ("成果入库及输出到其它成图系统"): the control-point dialog. Its rules
// live in traverse::CExportKzdForm; the dialog shows the form and hands the user's
// values to it.
#include <QDialog>
#include <map>

#include "traverse/kzd/kzd_export.h"

class CExportKzdDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CExportKzdDlg(const traverse::CExportKzdForm& form, QWidget* parent = nullptr);
  const traverse::CExportKzdForm& Form() const { return form_; }
  // The control of an id (1026, 1076, ...), for tests.
  QWidget* Control(int id) const;
  // OnOK as the button runs it: false (the dialog stays open) after a message.
  bool TryAccept();

 private:
  void Build();
  void Load();   // form -> controls
  void Fetch();  // controls -> form
  void UpdateControls();
  void OnBrowseKzdFile();
  void OnBrowseOtherFile();

  traverse::CExportKzdForm form_;
  std::map<int, QWidget*> controls_;
};
