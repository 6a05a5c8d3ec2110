#pragma once
// The form model of the field-book settings dialog ("项目设置"): its values, which
// controls are enabled for the table shown, and the checks OK runs. The Qt dialog
// (records/ui/shb_set_dlg.h) only shows this; tests drive it without a window.
#include <string>

namespace records {

// Control ids of the dialog.
enum ShbSetControl : int {
  kCtlFontHeight = 1031, kCtlPrintHeight = 1032, kCtlAngleDecimals = 1033, kCtlDistDecimals = 1034,
  kCtlSets = 1035, kCtlHeightDecimals = 1036, kCtlRows = 1037, kCtlStaffConstant = 1038, kCtlRefraction = 1039,
  kCtlDistanceType = 1040, kCtlLevellingMode = 1041, kCtlEdmConstant = 1042, kCtlEdmScale = 1043,
  kCtlLinesAbove = 1073, kCtlLinesBelow = 1074, kCtlVerticalFrom90 = 1092, kCtlWordFont = 1107,
  kCtlDoubledReadings = 1113, kCtlOmitDecimalPoint = 1114,
};

struct CShbSetValues {
  int m_nFontHeight = 12;
  double m_dPrintHeightMm = 3;
  int m_nAngleDecimals = 0;
  int m_nDistDecimals = 3;
  int m_nHeightDecimals = 3;
  int m_nSetsEdit = 2;
  int m_nRowsEdit = 24;
  int m_nLinesAboveSel = 2;
  int m_nLinesBelowSel = 1;
  int m_nDistanceTypeSel = 0;
  int m_nLevellingModeSel = 0;
  float m_fWordFontSize = 9.0f;
  std::string m_strTableKey;
  double m_dRefractionEdit = 0;
  bool m_bVerticalFrom90Check = false;
  bool m_bDoubledReadingsCheck = false;
  double m_dStaffConstantEdit = 301550;
  bool m_bOmitDecimalPointCheck = true;
  double m_dEdmConstantMm = 0;
  double m_dEdmScalePpm = 0;
};

class CShbSetForm {
 public:
  CShbSetValues values;

  // Whether a control can be changed, for the table shown and the current choices
  // of the distance type and levelling mode.
  bool Enabled(int control) const;
  // The first refused entry's message, or "" when OK may close the dialog.
  std::string Validate() const;

  static const char* const kDistanceTypes[3];
  static const char* const kLevellingModes[3];
  static const char* const kLinesAbove[4];
  static const char* const kLinesBelow[2];
  static constexpr const char* kTipVertical = "如选择此项，则垂直角=90-盘左读数，否则为盘左读数-90。";
  static constexpr const char* kTipOmit =
      "如选择该项，则水准记录中数据输入时省略小数点，不选择该项，则在读数的米后需加上小数点，请参见软件帮助中的规定。";
  static constexpr const char* kTipStaff =
      "基辅差（尺常数）。如果选择了省略小数点，则这里也省略小数点输入为整数，如301550，否则应在米后加上小数点，如3.0155。";
};

// The move-page dialog ("移动表格页"): the page number the shown page moves to.
struct CMovePageValues {
  int m_nPageNumber = 0;
};

}  // namespace records
