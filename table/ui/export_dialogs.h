#pragma once
// The grid's export dialogs: CExportTextSetDlg (modal: format and "输出后打开") and
// CExportExcelDlg (modeless, one per view, beside the table). Their work is the std
// export layer's (table/export/); these only show it. QtExportDialogs opens them for
// the grids; InstallQtPorts installs it.
#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>

#include "table/export/export_ports.h"

class CTableView;
class CTextProgressCtrl;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

class CExportTextSetDlg : public QDialog {
  Q_OBJECT
 public:
  enum Control : int { kFormatTable = 1095, kFormatComma = 1096, kFormatCsv = 1097, kOpenAfter = 1092 };
  explicit CExportTextSetDlg(const table::TextExportSettings& s, QWidget* parent = nullptr);
  table::TextExportSettings Settings() const;
  QWidget* ControlOf(int id) const;

 private:
  QRadioButton* formats_[3] = {};
  QCheckBox* open_ = nullptr;
};

namespace table_ui {

// Keeps a modeless dialog with the grid it belongs to: it goes away while another
// view is shown and comes back with its grid. A child of the dialog.
class CFollowView final : public QObject {
 public:
  CFollowView(QWidget* dialog, QWidget* viewWidget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* dialog_;
  QPointer<QWidget> viewWidget_;
  bool hiddenWithView_ = false;
};

}  // namespace table_ui

class CExportExcelDlg : public QDialog {
  Q_OBJECT
 public:
  enum Control : int { kHalfRow = 1041, kCurrentFile = 1054, kNewFile = 1129, kExit = 219, kProgress = 250 };
  // Shown beside `viewWidget` (the grid widget showing `view`), hidden and shown with it.
  CExportExcelDlg(CTableView& view, QWidget* viewWidget);
  ~CExportExcelDlg() override;

  // 1054 (false) and 1129 (true).
  void Export(bool newWorkbook);
  // 219: "退出", or "完成" after an export, which opens the file.
  void OnExit();
  void SetStatusText(const QString& text);
  void SetProgress(int pos);
  QWidget* ControlOf(int id) const;
  QString StatusText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void EnableButtons(bool on);
  void EndSession(bool open);

  CTableView& view_;
  QCheckBox* halfRow_ = nullptr;
  CTextProgressCtrl* progress_ = nullptr;
  QPushButton* current_ = nullptr;
  QPushButton* newFile_ = nullptr;
  QPushButton* exit_ = nullptr;
  bool ended_ = false;
};

namespace table_ui {

class QtExportDialogs final : public table::IExportDialogs {
 public:
  bool RunTextExportDialog(table::TextExportSettings& settings) override;
  void ShowExcelDialog(CTableView& view) override;
  void ShowWordDialog(CTableView& view) override;
  void ShowCadDialog(CTableView& view) override;
  // The open spreadsheet dialog of a view, or null.
  CExportExcelDlg* ExcelDialogOf(CTableView& view) const;

  // The word-processor dialog comes from its own module: a factory that builds it for
  // a view beside the grid widget.
  using DialogFactory = std::function<QDialog*(CTableView& view, QWidget* viewWidget)>;
  static void SetWordDialogFactory(DialogFactory factory);
  // So does the CAD dialog (the drawing's), with the view as its source.
  static void SetCadDialogFactory(DialogFactory factory);
  // The view's CAD dialog once made, or null.
  QDialog* CadDialogOf(CTableView& view) const;

 private:
  std::map<CTableView*, QPointer<CExportExcelDlg>> excel_;
  std::map<CTableView*, QPointer<QDialog>> word_, cad_;
};

// The instance InstallQtPorts installed.
QtExportDialogs& ExportDialogsOfQt();

}  // namespace table_ui
