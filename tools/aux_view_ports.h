#pragma once
// What the tools view needs from outside its grid: its two settings dialogs, the
// frame's view switch and the document's modified flag. The Qt side implements it
// (tools/ui/); tests script it.
#include <string>

namespace tools {

struct CAuxSetForm;
struct DetailSurveySettings;

class IAuxViewPorts {
 public:
  virtual ~IAuxViewPorts() = default;
  // The settings dialog on a copy of the settings; true after OK (form written back).
  virtual bool RunSettingsDialog(CAuxSetForm& form) = 0;
  // The detail-survey settings dialog; true after OK.
  virtual bool RunDetailSettingsDialog(DetailSurveySettings& settings) = 0;
  // The frame shows the tools view (view 1006).
  virtual void ShowToolsView() = 0;
  virtual void SetDocumentModified() = 0;
};

}  // namespace tools
