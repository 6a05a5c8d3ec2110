#pragma once
// The tools view on screen: the grid widget over CAuxView and the ports the presenter
// talks through (its settings dialogs, the frame's view switch, the document flag).
// Plugged into the main frame as view 1006.
#include <QObject>
#include <memory>

#include "app/shell.h"
#include "tools/aux_section.h"
#include "tools/aux_view.h"
#include "tools/aux_view_ports.h"
#include "tools/tool_nav.h"

class CTableWidget;
class QPrinter;

namespace tools_ui {

class CToolsViewHost : public QObject, public tools::IAuxViewPorts, public tools::IToolsNavTarget {
  Q_OBJECT
 public:
  // The shell's services come from the frame (none: the view stays where it is and
  // marks no document).
  explicit CToolsViewHost(QWidget* parent = nullptr, app::IShellServices* shell = nullptr);
  ~CToolsViewHost() override;

  CAuxView& View() { return *view_; }
  CTableWidget* Widget() const { return widget_; }
  tools::CToolsDocSection& Section() { return section_; }
  app::INavSource& Nav() { return nav_; }
  void ApplyUiScale();

  // tools::IAuxViewPorts
  bool RunSettingsDialog(tools::CAuxSetForm& form) override;
  bool RunDetailSettingsDialog(tools::DetailSurveySettings& settings) override;
  void ShowToolsView() override;
  void SetDocumentModified() override;
  // The common-point dialog of mode 1 or 2; true after OK (the job is marked
  // modified when the points changed).
  bool RunCommonPointDialog(int mode);

  // tools::IToolsNavTarget
  int ToolRowCount(const std::string& code) const override;
  bool ShowTool(const std::string& code) override { return view_->ShowTool(code); }

 private:
  app::IShellServices* shell_ = nullptr;
  std::unique_ptr<CAuxView> view_;
  tools::CToolsDocSection section_;
  CTableWidget* widget_ = nullptr;
  tools::CToolsNavSource nav_{*this};
};

// Registers view 1006 with the main frame (call before the frame is built).
void RegisterToolsView();

}  // namespace tools_ui
