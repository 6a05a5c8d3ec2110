#pragma once
// CAuxView: the tools view (view 1006). One grid that hosts the 24 common tools, one
// at a time. A tool is its code (tool_codes.h), a layout and a compute function
// (tool_plugin.h), one row store and one block of the job file. The view does what
// every tool shares: building the table from the store and storing it back, clearing
// results before a computation, gathering row messages into one box, the compute
// flag, the carry-over of cells and the settings dialogs. Std only.
#include <array>
#include <string>
#include <vector>

#include "table/table_view.h"
#include "tools/tool_codes.h"

namespace tools {
class IAuxViewPorts;
struct ToolRun;
struct ToolColumn;
struct CAuxSetForm;
}  // namespace tools

namespace drawing {
class IDrawFeed;
}

namespace tools {

// The settings of the detail survey, as its dialog edits them.
struct DetailSurveySettings {
  int mode = 1;             // DetailSurveyMode: 0 斜距+天顶距, 1 平距+高差, 2 视距+天顶距
  bool clockwise = true;    // vertical circle numbered clockwise
  std::string backsight;
  double backsightX = 0, backsightY = 0, backsightH = 0;
  std::string station;
  double stationX = 0, stationY = 0, stationH = 0;
  double instrumentHeight = 0;
  double indexError = 0;
  int showNameOrHeight = 1; // 0 elevation, 1 name
  bool showDot = true;
  bool operator==(const DetailSurveySettings&) const = default;
};

}  // namespace tools

class CAuxView : public CTableView {
 public:
  CAuxView();
  ~CAuxView() override;

  void SetViewPorts(tools::IAuxViewPorts* ports) { m_pViewPorts = ports; }
  tools::IAuxViewPorts* ViewPorts() const { return m_pViewPorts; }
  // The drawing the tools feed (null: they compute without drawing).
  void SetDrawingFeed(drawing::IDrawFeed* feed) { m_pFeed = feed; }
  drawing::IDrawFeed* DrawingFeed() const { return m_pFeed; }

  // ---- the frame every tool shares ----------------------------------------------
  bool ShowTool(const std::string& code);
  bool StoreGridToData();
  std::string RowToString(int row) const;
  void ClearResults();
  void OnCompute();
  void ApplyCarryOver();
  void ResetToDefaults();
  void OnProjectSettings();
  // True while the settings dialog (and the computation its OK runs) is open: a tool
  // that refuses its parameters then does not open the dialog a second time.
  bool InProjectSettings() const { return m_nSettingsDepth > 0; }
  void OnTableSettings() override;
  void OnSwitchToDrawing() override;
  void OnTableChanged() override;
  void OnInitialUpdate() override;
  bool OnCommand(int id) override;
  void LayoutBar() override;

  // Transformation parameters from the common points of stores 10 and 11; false after
  // a message, out unchanged.
  bool SolveFourParameters(double out[4]) const;
  bool SolveSevenParameters(double out[7]) const;

  // The store of a tool code (nullptr for unknown codes).
  std::vector<std::string>* StoreOf(const std::string& code);
  const tools::ToolInfo* CurrentTool() const { return tools::FindTool(m_strToolCode); }
  // The detail-survey settings as one value (the dialog's copy) and back.
  tools::DetailSurveySettings DetailSettings() const;
  void SetDetailSettings(const tools::DetailSurveySettings& s);

  // ---- model (reset values in ResetToDefaults) ------------------------------------
  std::string m_strToolCode;     // current tool; "" none
  int m_nInputCols = 0;          // input columns 1..n of the current layout
  int m_nDistanceType = 0;       // ToolDistanceType: 0 斜距, 1 平距, 2 视距
  bool m_bComputeOk = false;     // the last computation ended without row messages
  int m_nCoordSystem = 2;        // EllipsoidType
  bool m_bY500km = true;
  double m_dEllipsoidA = 6378137;
  double m_dEllipsoidInvF = 298.257222101;
  int m_nExpansion = 1;          // ExpansionMethod
  double m_dProjHeight = 0;
  double m_dProjHeight2 = 0;
  double m_dCentreLatitude = 0;  // d.mmss
  double m_dMeridian1 = 114;     // d.mmss
  double m_dMeridian2 = 111;     // d.mmss
  double m_dReductionHeight = 0;
  double m_dRefraction = 0.14;
  std::array<double, 4> m_dFourParams{};   // X0, Y0 (m), rotation (d.mmss), scale
  std::array<double, 7> m_dSevenParams{};  // ΔX, ΔY, ΔZ (m), scale (ppm), ωx, ωy, ωz (")
  std::array<std::vector<std::string>, tools::kStoreCount> m_stores;
  int m_nDetailMode = 1;
  bool m_bClockwise = true;
  std::string m_strBacksight;
  double m_dBacksightX = 0, m_dBacksightY = 0;
  std::string m_strStation;
  double m_dStationX = 0, m_dStationY = 0, m_dStationH = 0;
  double m_dInstrumentHeight = 0;
  double m_dIndexError = 0;
  double m_dBacksightH = 0;
  int m_nShowNameOrHeight = 1;
  bool m_bShowDot = true;

 private:
  void ShowDrawingButton(bool show);
  void BeginDrawing();
  bool RowInputEmpty(int row) const;
  // Whether the row's input cells still read as `line` (RowToString) without building it.
  bool RowReads(int row, const std::string& line) const;
  void RememberComputedInput();
  // One line per input cell that holds text but no number (or no angle, in an angle
  // column): "第3行的起点X不是数字\n". "" when every cell reads.
  std::string CheckInputNumbers(const std::vector<tools::ToolColumn>& cols) const;
  void DropStaleResults();

  int m_nSettingsDepth = 0;
  tools::IAuxViewPorts* m_pViewPorts = nullptr;
  drawing::IDrawFeed* m_pFeed = nullptr;
  bool m_bAskingStation = false;  // the detail-survey dialog opened by ShowTool is up
  // The input of every row as the last computation saw it: an edit empties the
  // results of the rows whose input no longer matches.
  std::vector<std::string> m_inputAtCompute;
};

// The tools view while it exists.
extern CAuxView* g_pToolsView;
