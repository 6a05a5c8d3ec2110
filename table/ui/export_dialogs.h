#pragma once
// The grid's export dialogs: CExportTextSetDlg (modal: format and "输出后打开"),
// CExportExcelDlg and CExportWordSetDlg (modeless, one each per view, beside the table). Their work is the std
// export layer's (table/export/); these only show it. QtExportDialogs opens them for
// the grids; InstallQtPorts installs it.
#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>

#include "table/export/export_ports.h"
#include "table/export/word_set_form.h"

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

// What the spreadsheet and Word dialogs share: modeless beside the grid widget of their
// view, hidden and shown with it, a progress bar with a status text, and an exit
// button that reads "完成" after an export and then opens the file.
class CViewExportDlg : public QDialog {
  Q_OBJECT
 public:
  CViewExportDlg(CTableView& view, QWidget* viewWidget);
  // 219: "退出", or "完成" after an export, which opens the file.
  void OnExit();
  void SetStatusText(const QString& text);
  void SetProgress(int pos);
  QString StatusText() const;

 protected:
  // Ends the view's export session of this dialog (the file opened with `open`).
  virtual void EndExport(bool open) = 0;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void EnableButtons(bool on);

  CTableView& view_;
  CTextProgressCtrl* progress_ = nullptr;
  QPushButton* current_ = nullptr;
  QPushButton* newFile_ = nullptr;
  QPushButton* exit_ = nullptr;

 private:
  void EndSession(bool open);

  bool ended_ = false;
};

class CExportExcelDlg : public CViewExportDlg {
  Q_OBJECT
 public:
  enum Control : int { kHalfRow = 1041, kCurrentFile = 1054, kNewFile = 1129, kExit = 219, kProgress = 250 };
  // Shown beside `viewWidget` (the grid widget showing `view`), hidden and shown with it.
  CExportExcelDlg(CTableView& view, QWidget* viewWidget);
  ~CExportExcelDlg() override;

  // 1054 (false) and 1129 (true).
  void Export(bool newWorkbook);
  QWidget* ControlOf(int id) const;

 protected:
  void EndExport(bool open) override;

 private:
  QCheckBox* halfRow_ = nullptr;
};

// "表格输出到WORD": the document's paper, margins and font, one table or one per page,
// and the row offset. Its rules are table::CWordSetForm's; it opens with the view's
// Word settings and gives them back before each export.
class CExportWordSetDlg : public CViewExportDlg {
  Q_OBJECT
 public:
  CExportWordSetDlg(CTableView& view, QWidget* viewWidget);
  ~CExportWordSetDlg() override;

  // Checks the entries and copies them into the view; false (after the range message,
  // the refused entry focused) keeps the dialog as it is.
  bool ApplySettings();
  // 1054 (false) and 1129 (true); false when nothing was exported.
  bool Export(bool newDocument);
  // Paper list, paper height and width, orientation and margins.
  void EnablePageControls(bool on);
  // The control of a dialog id (table::WordSetControl); nullptr for an unknown id.
  QWidget* ControlOf(int id) const;

 protected:
  void EndExport(bool open) override;

 private:
  void ShowPaperSize();

  table::CWordSetForm form_;
  std::map<int, QWidget*> controls_;
};

namespace table_ui {

class QtExportDialogs final : public table::IExportDialogs {
 public:
  bool RunTextExportDialog(table::TextExportSettings& settings) override;
  void ShowExcelDialog(CTableView& view) override;
  void ShowWordDialog(CTableView& view) override;
  void ShowCadDialog(CTableView& view) override;
  void CloseWordDialog(CTableView& view) override;
  // The open spreadsheet and Word dialogs of a view, or null.
  CExportExcelDlg* ExcelDialogOf(CTableView& view) const;
  CExportWordSetDlg* WordDialogOf(CTableView& view) const;

  // The CAD dialog comes from the drawing's module: a factory that builds it for a view
  // beside the grid widget, with the view as its source.
  using DialogFactory = std::function<QDialog*(CTableView& view, QWidget* viewWidget)>;
  static void SetCadDialogFactory(DialogFactory factory);
  // The view's CAD dialog once made, or null.
  QDialog* CadDialogOf(CTableView& view) const;

 private:
  std::map<CTableView*, QPointer<CExportExcelDlg>> excel_;
  std::map<CTableView*, QPointer<CExportWordSetDlg>> word_;
  std::map<CTableView*, QPointer<QDialog>> cad_;
};

// The instance InstallQtPorts installed.
QtExportDialogs& ExportDialogsOfQt();

}  // namespace table_ui
