#pragma once
// CExportCadSetDlg ("输出到CAD"): the modeless output dialog of the drawing view.
// DXF only on this system; "DWG格式" is shown disabled with a tip saying so. The
// decisions (path check, status, messages, opening the file) are CExportCadForm's.
#include <QDialog>

#include "drawing/export_cad.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace drawing {
class CDrawView;
}

namespace drawing_ui {

class CExportCadSetDlg : public QDialog {
  Q_OBJECT
 public:
  // The drawing view as the source (null for a dialog without one).
  CExportCadSetDlg(drawing::CDrawView* source, QWidget* parent = nullptr);

  void SetScaleHint(double scale);
  void Open();
  // Shown and hidden together with the owning view while it is open.
  void OwnerShown(bool shown);
  void UpdateFormatControls();
  void SetStatusText(const QString& text);
  void OnBrowseDxf();
  void OnExportToNewFile();
  void OnExit();

  drawing::CExportCadForm& Form() { return form_; }
  QLineEdit* pathEdit = nullptr;     // 192
  QCheckBox* openCheck = nullptr;    // 1092
  QRadioButton* dwgRadio = nullptr;  // 1124
  QRadioButton* dxfRadio = nullptr;  // 1125
  QLabel* hintLabel = nullptr;       // 1067
  QProgressBar* progress = nullptr;  // 250
  QPushButton* newFileButton = nullptr;  // 221

 private:
  drawing::CExportCadForm form_;
  bool open_ = false;
};

}  // namespace drawing_ui
