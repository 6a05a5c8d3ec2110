#include "traverse/ui/traverse_view.h"

#include <QPrinter>
#include <QWidget>

#include "app/ui/main_frame.h"
#include "drawing/draw_view.h"
#include "table/ui/grid_host.h"
#include "table/ui/table_print.h"
#include "traverse/codes.h"
#include "traverse/view/dx_view_diagrams.h"
#include "traverse/ui/cus_table_set_dlg.h"
#include "traverse/ui/export_kzd_dlg.h"
#include "traverse/ui/fan_set_dlg.h"

namespace traverse_ui {

namespace {

constexpr int kAdjustSection = 1;

}  // namespace

CTraverseViewHost::CTraverseViewHost(QWidget* parent, app::IShellServices* shell)
    : QObject(nullptr), shell_(shell), view_(std::make_unique<CDxView>()), section_(*view_, [] { return drawing::g_pDrawView; }) {
  view_->ResetScheme();
  view_->OnInitialUpdate();
  view_->SetViewPorts(this);
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  widget_ = new CTableWidget(view_.get(), parent);
  setParent(widget_);  // dies with the widget, after the widget let go of the view
  table_ui::AttachGridHost(this, widget_, [this](int w, int h) { view_->OnSize(w, h); });
}

CTraverseViewHost::~CTraverseViewHost() {
  if (view_) view_->SetViewPorts(nullptr);
}

void CTraverseViewHost::ApplyUiScale() { table_ui::ApplyUiScale(widget_, *view_); }

void CTraverseViewHost::PrintTo(QPrinter& printer) { table_ui::PrintTable(*view_, printer); }

traverse::ITraverseViewPorts::SchemeResult CTraverseViewHost::RunSchemeDialog(traverse::CSchemeForm& form) {
  CFAnSetDlg dlg(form, widget_);
  const int r = dlg.exec();
  if (r == QDialog::Accepted) {
    form = dlg.Form();
    return SchemeResult::Ok;
  }
  return r == CFAnSetDlg::kHelp ? SchemeResult::Help : SchemeResult::Cancel;
}

bool CTraverseViewHost::RunCustomTableDialog(traverse::CCusTableSetForm& form) {
  CCusTableSetDlg dlg(form, widget_);
  if (dlg.exec() != QDialog::Accepted) return false;
  form = dlg.Form();
  return true;
}

void CTraverseViewHost::RenameCustomTableItem(int index, const std::string& name) {
  if (shell_) shell_->RenameNavItem(kAdjustSection, traverse::kNavCustomFirst + index, traverse::CustomTableItemText(index, name));
}

bool CTraverseViewHost::RunExportKzdDialog(traverse::CExportKzdForm& form) {
  CExportKzdDlg dlg(form, widget_);
  if (dlg.exec() != QDialog::Accepted) return false;
  form = dlg.Form();
  return true;
}

void CTraverseViewHost::ReselectAfterCompute(bool plane) {
  const char* table = plane ? traverse::kTablePlane : traverse::kTableHeight;
  if (!shell_) {
    view_->ShowTable(table);
    return;
  }
  const int code = shell_->SelectedNavCode(kAdjustSection);
  if (shell_->SelectedNavIsLeaf(kAdjustSection) && code != traverse::kNavInput && code != 0 &&
      shell_->SelectNavItem(kAdjustSection, code))
    return;
  if (!shell_->SelectNavItem(kAdjustSection, plane ? traverse::kNavPlane : traverse::kNavHeight))
    view_->ShowTable(table);
}

void CTraverseViewHost::RebuildAndSelectInput() {
  if (!shell_) {
    view_->ShowTable(traverse::kTableInput);
    return;
  }
  shell_->ClearNavSelection(kAdjustSection);
  shell_->RebuildNavTree(kAdjustSection);
  if (!shell_->SelectNavItem(kAdjustSection, traverse::kNavInput)) view_->ShowTable(traverse::kTableInput);
}

void CTraverseViewHost::SelectCustomFormsBranch() {
  if (shell_) shell_->RestNavCaret(kAdjustSection);  // "自定义成果形式"
}

void CTraverseViewHost::ClearTreeSelection() {
  if (shell_) shell_->ClearNavSelection(kAdjustSection);
}

void CTraverseViewHost::ShowSchemeHelp() {
  if (shell_) shell_->SelectHelpItem("1、 计算方案");
}

bool CTraverseViewHost::IsDocumentModified() const { return shell_ && shell_->IsDocumentModified(); }

void CTraverseViewHost::SetDocumentModified() {
  if (shell_) shell_->SetDocumentModified();
}

std::string CTraverseViewHost::CustomTableName(int i) const {
  if (i < 0 || i >= static_cast<int>(view_->m_cusTables.size())) return "";
  return view_->m_cusTables[static_cast<std::size_t>(i)].name;
}

void CTraverseViewHost::ShowInFrame(bool drawing) {
  if (shell_) shell_->SwitchView(drawing ? app::kDrawViewId : app::kTraverseViewId);
}

// The diagrams go into the drawing view when the program has one.
void CTraverseViewHost::DrawErrorSearchDiagram() {
  if (drawing::g_pDrawView) traverse::DrawErrorSearchDiagram(*view_, *drawing::g_pDrawView);
}

void CTraverseViewHost::DrawTraverseDiagram() {
  if (drawing::g_pDrawView) traverse::DrawTraverseDiagram(*view_, *drawing::g_pDrawView);
}

void CTraverseViewHost::DrawPointPlot() {
  if (drawing::g_pDrawView) traverse::DrawPointPlot(*view_, *drawing::g_pDrawView);
}

void RegisterTraverseView() {
  app_ui::RegisterViewFactory(app::kTraverseViewId, [](app_ui::CMainFrame& frame) {
    auto* host = new CTraverseViewHost(&frame, &frame.Services());
    // The definitions belong to the installation: read once, before the tree lists them.
    host->View().SetCustomTableFolders(frame.ProgramDir(), app_ui::UserDataDir());
    host->View().LoadCustomTables();
    app_ui::ViewPlug plug;
    plug.widget = host->Widget();
    plug.section = &host->Section();
    plug.nav = &host->Nav();
    plug.traverseFacts = host;
    host->SetFieldBooksSource([&frame] { return frame.Plug(app::kRecordsViewId).fieldBooks; });
    plug.command = table_ui::GridPrintCommands(host->Widget());
    plug.fontChanged = [host] { host->ApplyUiScale(); };
    return plug;
  });
}

}  // namespace traverse_ui
