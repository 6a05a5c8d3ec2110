#include "records/ui/records_view.h"

#include <QPrinter>
#include <QWidget>

#include "app/ui/main_frame.h"
#include "table/ui/grid_host.h"
#include "table/ui/table_print.h"
#include "records/ui/shb_set_dlg.h"

namespace records_ui {

namespace {
constexpr int kRecordsSection = 0;
}  // namespace

CRecordsViewHost::CRecordsViewHost(QWidget* parent, app::IShellServices* shell)
    : QObject(nullptr), shell_(shell), view_(std::make_unique<CGcJlView>()), section_(*view_) {
  view_->OnInitialUpdate();
  view_->SetViewPorts(this);
  view_->SetBarMetrics(g_nRowHeight, g_nCharHeight);
  widget_ = new CTableWidget(view_.get(), parent);
  setParent(widget_);
  table_ui::AttachGridHost(this, widget_, [this](int w, int h) { view_->OnSize(w, h); });
}

CRecordsViewHost::~CRecordsViewHost() {
  if (view_) view_->SetViewPorts(nullptr);
}

void CRecordsViewHost::ApplyUiScale() { table_ui::ApplyUiScale(widget_, *view_); }

void CRecordsViewHost::PrintTo(QPrinter& printer) { table_ui::PrintTable(*view_, printer); }

records::IRecordsViewPorts::DialogResult CRecordsViewHost::RunSettingsDialog(records::CShbSetForm& form) {
  CShbSetDlg dlg(form, widget_);
  const int r = dlg.exec();
  if (r == QDialog::Accepted) {
    form = dlg.Form();
    return DialogResult::Ok;
  }
  return r == CShbSetDlg::kHelp ? DialogResult::Help : DialogResult::Cancel;
}

bool CRecordsViewHost::RunMovePageDialog(records::CMovePageValues& values) {
  CMovePageDlg dlg(values, widget_);
  if (dlg.exec() != QDialog::Accepted) return false;
  values = dlg.Values();
  return true;
}

void CRecordsViewHost::RebuildRecordsTree() {
  if (shell_) shell_->RebuildNavTree(kRecordsSection);
}

bool CRecordsViewHost::SelectRecordsPage(const std::string& key, int page) {
  return shell_ && shell_->SelectNavItem(kRecordsSection, records::RecordsTreeCode(key, page));
}

void CRecordsViewHost::ShowRecordsHelp() {
  if (shell_) shell_->SelectHelpItem("二、观测记录");
}

int CRecordsViewHost::PageCount(int book) const {
  static const char* const kKeys[3] = {"DX", "SHPJ", "SHZH"};
  return book >= 0 && book < 3 ? view_->PageCount(kKeys[book]) : 0;
}

void RegisterRecordsView() {
  app_ui::RegisterViewFactory(app::kRecordsViewId, [](app_ui::CMainFrame& frame) {
    auto* host = new CRecordsViewHost(&frame, &frame.Services());
    app_ui::ViewPlug plug;
    plug.widget = host->Widget();
    plug.section = &host->Section();
    plug.nav = &host->Nav();
    plug.fieldBooks = &host->View();
    plug.command = table_ui::GridPrintCommands(host->Widget());
    plug.fontChanged = [host] { host->ApplyUiScale(); };
    return plug;
  });
}

}  // namespace records_ui
