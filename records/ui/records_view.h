#pragma once
// The records view on screen: the grid widget over CGcJlView, and the ports the
// presenter talks through (its two dialogs, the records tree, the help page).
// Plugged into the main frame as view 1004.
#include <QObject>
#include <memory>

#include "app/shell.h"
#include "app/views.h"
#include "records/gcjl_ports.h"
#include "records/gcjl_view.h"
#include "records/records_docsection.h"
#include "records/records_nav.h"

class CTableWidget;
class QPrinter;

namespace records_ui {

class CRecordsViewHost : public QObject, public records::IRecordsViewPorts, public records::IRecordsNavTarget {
  Q_OBJECT
 public:
  // The shell's services come from the frame (none: no tree to select in).
  explicit CRecordsViewHost(QWidget* parent = nullptr, app::IShellServices* shell = nullptr);
  ~CRecordsViewHost() override;

  CGcJlView& View() { return *view_; }
  CTableWidget* Widget() const { return widget_; }
  records::CRecordsDocSection& Section() { return section_; }
  app::INavSource& Nav() { return nav_; }
  void PrintTo(QPrinter& printer);
  void ApplyUiScale();

  // records::IRecordsViewPorts
  DialogResult RunSettingsDialog(records::CShbSetForm& form) override;
  bool RunMovePageDialog(records::CMovePageValues& values) override;
  void RebuildRecordsTree() override;
  bool SelectRecordsPage(const std::string& key, int page) override;
  void ShowRecordsHelp() override;

  // records::IRecordsNavTarget
  int PageCount(int book) const override;
  bool ShowPage(const std::string& key, int page) override { return view_->ShowPage(key, page); }

 private:
  app::IShellServices* shell_ = nullptr;
  std::unique_ptr<CGcJlView> view_;
  records::CRecordsDocSection section_;
  CTableWidget* widget_ = nullptr;
  records::CRecordsNavSource nav_{*this};
};

// Registers view 1004 with the main frame (call before the frame is built).
void RegisterRecordsView();

}  // namespace records_ui
