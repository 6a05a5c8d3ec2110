#include "tools/ui/tools_view.h"

#include <QEvent>
#include <QWidget>

#include "app/doc.h"
#include "app/ui/main_frame.h"
#include "table/ui/button_st.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"
#include "tools/ui/aux_set_dlg.h"
#include "tools/ui/sbcl_set_dlg.h"
#include "tools/ui/zbzhh_csh_dlg.h"

namespace tools_ui {

CToolsViewHost::CToolsViewHost(QWidget* parent)
    : QObject(nullptr), view_(std::make_unique<CAuxView>()), section_(*view_) {
  view_->OnInitialUpdate();
  view_->ResetToDefaults();
  view_->SetViewPorts(this);
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  widget_ = new CTableWidget(view_.get(), parent);
  setParent(widget_);
  widget_->installEventFilter(this);
  connect(widget_, &CTableWidget::commandUnhandled, this, [this](int id) {
    if (CButtonST* b = widget_->Button(id)) table::SayNotAvailable(b->text().toStdString());
  });
}

CToolsViewHost::~CToolsViewHost() {
  if (view_) view_->SetViewPorts(nullptr);
}

bool CToolsViewHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
    view_->OnSize(widget_->width(), widget_->height());
  return QObject::eventFilter(watched, event);
}

void CToolsViewHost::ApplyUiScale() {
  widget_->ApplyUiScale();
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  view_->OnSize(widget_->width(), widget_->height());
}

bool CToolsViewHost::RunSettingsDialog(tools::CAuxSetForm& form) {
  CAuxSetDlg dlg(form, [this](int mode) { return RunCommonPointDialog(mode); }, widget_);
  if (dlg.exec() != QDialog::Accepted) return false;
  form = dlg.Form();
  return true;
}

bool CToolsViewHost::RunCommonPointDialog(int mode) {
  const auto store = mode == 2 ? tools::kStoreSevenCommonPoints : tools::kStoreFourCommonPoints;
  const std::vector<std::string> before = view_->m_stores[store];
  CZbZhhCshDlg dlg(*view_, mode, widget_);
  if (dlg.exec() != QDialog::Accepted) return false;
  // The points are part of the job even when the settings dialog is then cancelled.
  if (view_->m_stores[store] != before) SetDocumentModified();
  return true;
}

bool CToolsViewHost::RunDetailSettingsDialog(tools::DetailSurveySettings& settings) {
  CSbClSetDlg dlg(settings, widget_);
  if (dlg.exec() != QDialog::Accepted) return false;
  settings = dlg.Settings();
  return true;
}

void CToolsViewHost::ShowToolsView() {
  if (app::g_pViewSwitch && app::g_pViewSwitch->RightViewId() != app::kToolsViewId)
    app::g_pViewSwitch->SwitchView(app::kToolsViewId);
}

void CToolsViewHost::SetDocumentModified() {
  if (app::g_pDoc) app::g_pDoc->SetModifiedFlag(true);
}

int CToolsViewHost::ToolRowCount(const std::string& code) const {
  const tools::ToolInfo* t = tools::FindTool(code);
  return t ? static_cast<int>(view_->m_stores[static_cast<std::size_t>(t->store)].size()) : 0;
}

void RegisterToolsView() {
  app_ui::RegisterViewFactory(app::kToolsViewId, [](app_ui::CMainFrame& frame) {
    auto* host = new CToolsViewHost(&frame);
    app_ui::ViewPlug plug;
    plug.widget = host->Widget();
    plug.section = &host->Section();
    plug.tools = host;
    plug.command = [host](int command) {
      if (command == 57607 || command == 57606) host->Widget()->Print();
      else if (command == 57609) host->Widget()->PrintPreview();
    };
    plug.fontChanged = [host] { host->ApplyUiScale(); };
    return plug;
  });
}

}  // namespace tools_ui
