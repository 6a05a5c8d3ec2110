#include "drawing/ui/table_cad_dlg.h"

#include <QPageLayout>
#include <QPrinter>

#include "drawing/ui/export_cad_dlg.h"
#include "table/table_view.h"
#include "table/export/dxf_export.h"
#include "table/ui/export_dialogs.h"
#include "table/ui/table_print.h"

namespace drawing_ui {

CExportCadSetDlg* MakeTableCadDialog(CTableView& view, QWidget* viewWidget) {
  auto* dlg = new CExportCadSetDlg(nullptr, viewWidget);
  dlg->Form().SetWriter([&view](const std::string& path, std::string* error) {
    // The paper of the print set-up, so the drawing shows the pages as printed.
    const QSizeF mm = table_ui::SessionPrinter().pageLayout().fullRect(QPageLayout::Millimeter).size();
    const table::PrintDevice paper = table::DxfPaper(qRound(mm.width()), qRound(mm.height()));
    return view.ExportToDxf(path, error, &paper);
  });
  new table_ui::CFollowView(dlg, viewWidget);
  return dlg;
}

void RegisterTableCadDialog() {
  table_ui::QtExportDialogs::SetCadDialogFactory(
      [](CTableView& view, QWidget* viewWidget) -> QDialog* { return MakeTableCadDialog(view, viewWidget); });
}

}  // namespace drawing_ui
