#pragma once
// The export dialogs a grid opens. The Qt side installs its dialogs at start-up
// (table_ui::InstallQtPorts); tests install a scripted fake. Without one the
// commands say that this build does not have them.
#include <string>

class CTableView;

namespace table {

// The choices of the text export dialog.
struct TextExportSettings {
  int format = 0;        // 0 text table, 1 comma-separated rows, 2 CSV
  bool openAfter = true; // "输出后打开"
};

class IExportDialogs {
 public:
  virtual ~IExportDialogs() = default;
  // The modal text export dialog; false on Cancel.
  virtual bool RunTextExportDialog(TextExportSettings& settings) = 0;
  // The view's modeless spreadsheet and word-processor dialogs: created beside the
  // view on first use, shown again afterwards.
  virtual void ShowExcelDialog(CTableView& view) = 0;
  virtual void ShowWordDialog(CTableView& view) = 0;
  // The view's modeless CAD dialog, writing the view's ExportToDxf.
  virtual void ShowCadDialog(CTableView& view) = 0;
  // A new job in the view: its open Word dialog (with the previous job's file and paper)
  // is closed, opening nothing.
  virtual void CloseWordDialog(CTableView& view) { (void)view; }
};

// What the spreadsheet dialog's "输出到当前文件" (newFile false) and "输出到新文件"
// (true) do: the file of the session or a chosen one, a sheet added and the workbook
// rewritten. The status is the dialog's text afterwards ("" when it stopped).
struct ExportRun {
  enum Result { Stopped, Exported, Failed } result = Stopped;
  std::string status;
};
ExportRun RunExcelExport(CTableView& view, bool newFile, bool allowHalfRow);
// Exit of the spreadsheet dialog: with `open` ("完成") the session's file is opened
// with the desktop's program when something was written; the session ends.
void EndExcelSession(CTableView& view, bool open);

// The Word dialog's "输出到当前文件" and "输出到新文件" after its values went into the
// view: the empty-table message, the questions before a long export, the session's
// file or a chosen one, the document rewritten.
ExportRun RunWordExport(CTableView& view, bool newFile, bool allowRowOffset);

// The dialogs in force; never null.
IExportDialogs& ExportDialogs();
// Installs dialogs; returns the previous ones (nullptr restores the default).
IExportDialogs* SetExportDialogs(IExportDialogs* dialogs);

}  // namespace table
