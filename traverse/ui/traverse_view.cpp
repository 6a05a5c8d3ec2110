#include "traverse/ui/traverse_view.h"

#include <QEvent>
#include <QPrinter>
#include <QWidget>

#include "app/doc.h"
#include "app/nav.h"
#include "app/ui/main_frame.h"
#include "platform/commands.h"
#include "platform/ports.h"
#include "table/ui/button_st.h"
#include "table/ui/table_print.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"
#include "traverse/codes.h"
#include "traverse/ui/fan_set_dlg.h"

namespace traverse_ui {

namespace {

constexpr int kAdjustSection = 1;

}  // namespace

CTraverseViewHost::CTraverseViewHost(QWidget* parent)
    : QObject(nullptr), view_(std::make_unique<CDxView>()), section_(*view_) {
  view_->ResetScheme();
  view_->OnInitialUpdate();
  view_->SetViewPorts(this);
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  widget_ = new CTableWidget(view_.get(), parent);
  setParent(widget_);  // dies with the widget, after the widget let go of the view
  widget_->installEventFilter(this);
  // A bar button whose work this build does not do yet says so instead of staying silent.
  connect(widget_, &CTableWidget::commandUnhandled, this, [this](int id) {
    CButtonST* b = widget_->Button(id);
    if (!b) return;
    table::SayNotAvailable(b->text().toStdString());
  });
}

CTraverseViewHost::~CTraverseViewHost() {
  if (view_) view_->SetViewPorts(nullptr);
}

bool CTraverseViewHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
    view_->OnSize(widget_->width(), widget_->height());
  return QObject::eventFilter(watched, event);
}

void CTraverseViewHost::ApplyUiScale() {
  widget_->ApplyUiScale();
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  view_->OnSize(widget_->width(), widget_->height());
}

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

bool CTraverseViewHost::RunCustomTableDialog(int) {
  table::SayNotAvailable("自定义表格");
  return false;
}

void CTraverseViewHost::ReselectAfterCompute(bool plane) {
  app::CLTView* nav = app::g_pNavView;
  if (!nav) {
    view_->ShowTable(plane ? traverse::kTablePlane : traverse::kTableHeight);
    return;
  }
  const int code = nav->SelectedCode(kAdjustSection);
  if (nav->SelectedIsLeaf(kAdjustSection) && code != traverse::kNavInput && code != 0 && nav->SelectItem(kAdjustSection, code))
    return;
  if (!nav->SelectItem(kAdjustSection, plane ? traverse::kNavPlane : traverse::kNavHeight)) view_->ShowTable(plane ? traverse::kTablePlane : traverse::kTableHeight);
}

void CTraverseViewHost::RebuildAndSelectInput() {
  app::CLTView* nav = app::g_pNavView;
  if (!nav) {
    view_->ShowTable(traverse::kTableInput);
    return;
  }
  nav->ClearSelection(kAdjustSection);
  nav->BuildTrees(kAdjustSection);
  if (!nav->SelectItem(kAdjustSection, traverse::kNavInput)) view_->ShowTable(traverse::kTableInput);
}

void CTraverseViewHost::SelectCustomFormsBranch() {
  if (app::g_pNavView) app::g_pNavView->SelectCustomFormsBranch();
}

void CTraverseViewHost::ClearTreeSelection() {
  if (app::g_pNavView) app::g_pNavView->ClearSelection(kAdjustSection);
}

void CTraverseViewHost::ShowSchemeHelp() {
  if (app::g_pNavView) app::g_pNavView->SelectHelpItem("1、 计算方案");
}

bool CTraverseViewHost::IsDocumentModified() const { return app::g_pDoc && app::g_pDoc->IsModified(); }

void CTraverseViewHost::SetDocumentModified() {
  if (app::g_pDoc) app::g_pDoc->SetModifiedFlag(true);
}

std::string CTraverseViewHost::CustomTableName(int i) const {
  if (i < 0 || i >= static_cast<int>(view_->m_cusTables.size())) return "";
  return view_->m_cusTables[static_cast<std::size_t>(i)].name;
}

void RegisterTraverseView() {
  app_ui::RegisterViewFactory(app::kTraverseViewId, [](app_ui::CMainFrame& frame) {
    auto* host = new CTraverseViewHost(&frame);
    app_ui::ViewPlug plug;
    plug.widget = host->Widget();
    plug.section = &host->Section();
    plug.traverse = host;
    host->SetFieldBooksSource([&frame] { return frame.Plug(app::kRecordsViewId).fieldBooks; });
    plug.command = [host](int command) {
      if (command == platform::ID_FILE_PRINT) host->Widget()->Print();
      else if (command == platform::ID_FILE_PRINT_PREVIEW) host->Widget()->PrintPreview();
      else if (command == platform::ID_FILE_PRINT_SETUP) host->Widget()->Print();
    };
    plug.fontChanged = [host] { host->ApplyUiScale(); };
    return plug;
  });
}

}  // namespace traverse_ui
