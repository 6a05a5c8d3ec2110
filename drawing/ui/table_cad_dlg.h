#pragma once
// The grids' "CAD": each table view gets its own CExportCadSetDlg beside it, with the
// view as the source, writing the view's printed pages as a DXF file.
class CTableView;
class QWidget;

namespace drawing_ui {

class CExportCadSetDlg;

// The CAD dialog of `view`, a child of its grid widget that follows it.
CExportCadSetDlg* MakeTableCadDialog(CTableView& view, QWidget* viewWidget);
// Makes the grids' export dialogs use it (call once at start-up).
void RegisterTableCadDialog();

}  // namespace drawing_ui
