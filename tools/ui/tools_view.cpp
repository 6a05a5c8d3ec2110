#include "tools/ui/tools_view.h"

#include <QWidget>

#include "app/ui/main_frame.h"
#include "drawing/draw_view.h"
#include "table/ui/grid_host.h"
#include "tools/ui/aux_set_dlg.h"
#include "tools/ui/sbcl_set_dlg.h"
#include "tools/ui/zbzhh_csh_dlg.h"

namespace tools_ui {
namespace {

// The tools draw into whichever drawing view the frame built; the frame may build it
// after this view, so the feed is looked up on every call (no view: nothing drawn).
class FrameDrawingFeed final : public drawing::IDrawFeed {
 public:
  void BeginDrawing(int mode) override {
    if (auto* f = drawing::g_pDrawView) f->BeginDrawing(mode);
  }
  void ClearDrawing() override {
    if (auto* f = drawing::g_pDrawView) f->ClearDrawing();
  }
  void SetLayer(const std::string& name, int visible, int colour, int style, bool onlyIfNew) override {
    if (auto* f = drawing::g_pDrawView) f->SetLayer(name, visible, colour, style, onlyIfNew);
  }
  void AddControlPoint(const std::string& name, int known, double x, double y, double value, double E, double F,
                       double orientation) override {
    if (auto* f = drawing::g_pDrawView) f->AddControlPoint(name, known, x, y, value, E, F, orientation);
  }
  void AddLine(const std::string& layer, double x1, double y1, double x2, double y2) override {
    if (auto* f = drawing::g_pDrawView) f->AddLine(layer, x1, y1, x2, y2);
  }
  int BeginPolyline(const std::string& layer) override {
    auto* f = drawing::g_pDrawView;
    return f ? f->BeginPolyline(layer) : -1;
  }
  void AddPolylineVertex(double x, double y, int polyline) override {
    if (auto* f = drawing::g_pDrawView) f->AddPolylineVertex(x, y, polyline);
  }
  void AddLabelledPoint(const std::string& layer, double x, double y, const std::string& label1,
                        const std::string& label2, int kind, double direction, int queryable, double value) override {
    if (auto* f = drawing::g_pDrawView)
      f->AddLabelledPoint(layer, x, y, label1, label2, kind, direction, queryable, value);
  }
  void AddDetailPoint(const std::string& layer, const std::string& name, const std::string& secondText, double x,
                      double y, double radius) override {
    if (auto* f = drawing::g_pDrawView) f->AddDetailPoint(layer, name, secondText, x, y, radius);
  }
  void SetMessage(const std::string& text) override {
    if (auto* f = drawing::g_pDrawView) f->SetMessage(text);
  }
  void Redraw() override {
    if (auto* f = drawing::g_pDrawView) f->Redraw();
  }
};

FrameDrawingFeed g_frameFeed;

}  // namespace

CToolsViewHost::CToolsViewHost(QWidget* parent, app::IShellServices* shell)
    : QObject(nullptr), shell_(shell), view_(std::make_unique<CAuxView>()), section_(*view_) {
  view_->OnInitialUpdate();
  view_->ResetToDefaults();
  view_->SetViewPorts(this);
  view_->SetDrawingFeed(&g_frameFeed);
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  widget_ = new CTableWidget(view_.get(), parent);
  setParent(widget_);
  table_ui::AttachGridHost(this, widget_, [this](int w, int h) { view_->OnSize(w, h); });
}

CToolsViewHost::~CToolsViewHost() {
  if (view_) view_->SetViewPorts(nullptr);
}

void CToolsViewHost::ApplyUiScale() { table_ui::ApplyUiScale(widget_, *view_); }

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
  if (shell_) shell_->SwitchView(app::kToolsViewId);
}

void CToolsViewHost::SetDocumentModified() {
  if (shell_) shell_->SetDocumentModified();
}

int CToolsViewHost::ToolRowCount(const std::string& code) const {
  const tools::ToolInfo* t = tools::FindTool(code);
  return t ? static_cast<int>(view_->m_stores[static_cast<std::size_t>(t->store)].size()) : 0;
}

void RegisterToolsView() {
  app_ui::RegisterViewFactory(app::kToolsViewId, [](app_ui::CMainFrame& frame) {
    auto* host = new CToolsViewHost(&frame, &frame.Services());
    app_ui::ViewPlug plug;
    plug.widget = host->Widget();
    plug.section = &host->Section();
    plug.nav = &host->Nav();
    plug.command = table_ui::GridPrintCommands(host->Widget());
    plug.fontChanged = [host] { host->ApplyUiScale(); };
    return plug;
  });
}

}  // namespace tools_ui
