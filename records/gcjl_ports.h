#pragma once
// What the records view needs from outside its grid: its two dialogs, the records
// tree of the navigation pane and the help page. The Qt side implements it
// (records/ui/); tests script it. Without ports the view shows pages directly.
#include <string>

namespace records {

class CShbSetForm;
struct CMovePageValues;

class IRecordsViewPorts {
 public:
  enum class DialogResult { Ok, Cancel, Help };
  virtual ~IRecordsViewPorts() = default;

  // The modal settings dialog on a copy of the values: Ok writes the form back.
  virtual DialogResult RunSettingsDialog(CShbSetForm& form) = 0;
  // The modal move-page dialog; true after OK.
  virtual bool RunMovePageDialog(CMovePageValues& values) = 0;

  // The records tree is built again from the books' page counts.
  virtual void RebuildRecordsTree() = 0;
  // Selects the tree item of a page ("DX", "SHPJ", "SHZH" with a 0-based page), which
  // shows it through ShowPage. False when the tree has no such item.
  virtual bool SelectRecordsPage(const std::string& key, int page) = 0;
  // The help section with the page on the observation records.
  virtual void ShowRecordsHelp() = 0;
};

}  // namespace records
