#pragma once
// Helpers of the tools tests: the view's ports scripted, a frame that records the
// switch to the drawing, and typing into a cell the way the grid's editor does.
#include <string>
#include <vector>

#include "table/table_ports.h"
#include "tools/aux_set_form.h"
#include "tools/aux_view.h"
#include "tools/aux_view_ports.h"

namespace toolstest {

struct FakeToolPorts : tools::IAuxViewPorts {
  int settingsDialogs = 0, detailDialogs = 0, shown = 0, modified = 0;
  bool answer = true;
  int lastPage = -99;
  // Applied to the form before answering (the user's changes in the dialog).
  void (*edit)(tools::CAuxSetForm&) = nullptr;
  bool RunSettingsDialog(tools::CAuxSetForm& form) override {
    ++settingsDialogs;
    lastPage = form.page;
    if (edit) edit(form);
    return answer;
  }
  void (*editDetail)(tools::DetailSurveySettings&) = nullptr;
  bool RunDetailSettingsDialog(tools::DetailSurveySettings& s) override {
    ++detailDialogs;
    if (editDetail) editDetail(s);
    return answer;
  }
  void ShowToolsView() override { ++shown; }
  void SetDocumentModified() override { ++modified; }
};

class SwitchFrame final : public table::ITableFrame {
 public:
  SwitchFrame() { old_ = table::SetFramePort(this); }
  ~SwitchFrame() override { table::SetFramePort(old_); }
  void SetStatusPane(int, const std::string&) override {}
  void SetDocumentModified() override {}
  void SwitchToDrawing(CTableView&) override { ++switched; }
  int switched = 0;

 private:
  table::ITableFrame* old_ = nullptr;
};

// Opens the editor on (row, col), types text and ends the edit, as the grid does.
inline void Type(CAuxView& v, int row, int col, const std::string& text) {
  v.SelectCell(row, col);
  v.BeginEdit();
  v.SetEditorText(text);
  v.EndEdit();
}

inline std::vector<std::string> Row(const CAuxView& v, int row) {
  std::vector<std::string> out;
  for (int c = 1; c <= v.GetColCount(); ++c) out.push_back(v.GetCellText(row, c));
  return out;
}

}  // namespace toolstest
