#pragma once
// The computation scheme of a traverse job as plain values, and the logic of the
// scheme dialog ("项目设置") without any window: which controls are enabled for the
// chosen traverse type, which values a type or a grade preset forces, the range
// checks and the OK checks. The Qt dialog only mirrors this model on screen, so
// every rule can be checked in a unit test.
#include <map>
#include <string>

namespace traverse {

// The scheme values a job stores in its "[计算方案]" block. Defaults are those of a
// new document. CDxView derives from it, so this is the one list of scheme members.
struct SchemeValues {
  int m_nTraverseType = 0;  // TraverseType 0..5: 0 closed/connecting, 1 no-orientation,
                            // 2 open, 3 network, 4 coordinate traverse, 5 levelling
  int m_bReduce = 0;        // "概算"
  int m_nEllipsoid = 2;     // EllipsoidType 0..4
  int m_bY500 = 0;
  int m_bProjCorrection = 1;
  int m_bDistReduce = 0;
  double m_dReduceHeight = 0.0;
  double m_dEllipA = 6378137.0;
  double m_dEllipInvF = 298.257222101;
  int m_bBackCompute = 0;
  int m_bShowCorrectedIncrements = 1;
  int m_bClosureBeforeAngleCorrection = 0;
  int m_bRigorous = 1;
  int m_bHelmert = 0;
  double m_dAngleRms = 5.0;   // seconds
  int m_nDistErrorType = 0;   // DistanceErrorType 0..2
  double m_dDistA = 5.0;      // mm
  double m_dDistB = 5.0;      // mm/km
  int m_nPlaneGrade = 2;      // PlaneGrade 0..7
  double m_dAzClosureCoef = 10.0;
  int m_nRelClosureLimit = 15000;
  int m_nHeightGrade = 2;     // HeightGrade 0..5
  double m_dHeightClosureCoef = 20.0;
  int m_nHeightRouteType = 0;  // 0 水准 (1/L), 1 三角高程 (1/L²)
  int m_nLevelWeight = 0;      // 0 距离, 1 测站数
  int m_nDistUnit = 0;         // 0 米, 1 公里
  int m_nClosureDistribution = 1;  // 坐标导线: 0 按坐标增量, 1 按边长, 2 坐标转换

  bool operator==(const SchemeValues&) const = default;

  // Folds every value into its valid range (lists and flags that are out of range
  // fall back to the default, sizes that cannot be negative are defaulted), so that
  // values read from a damaged file never reach a computation or a dialog unchecked.
  void FoldIntoRanges();
  // What the scheme dialog forces for the traverse type, the same rules for a file
  // read and for the dialog: no reduction for the coordinate traverse and the
  // levelling, trigonometric heights weighted by metres for the coordinate traverse,
  // the approximate adjustment for the open, coordinate and levelling types, the
  // rigorous one for the network, Helmert weighting only for the types that offer it.
  void ApplyTypeRules();
  void Sanitize() {
    FoldIntoRanges();
    ApplyTypeRules();
  }
};

// Control ids of the dialog, named after what they edit.
enum SchemeControl : int {
  kCtlApproximate = 1047,
  kCtlRigorous = 1048,
  kCtlBackCompute = 1049,
  kCtlClosureBefore = 1050,
  kCtlDistA = 1056,
  kCtlDistB = 1057,
  kCtlAngleRms = 1058,
  kCtlUnknownCount = 1059,
  kCtlHeightRoute = 1060,
  kCtlLevelWeight = 1061,
  kCtlDistUnit = 1062,
  kCtlTraverseType = 1065,
  kCtlReduce = 303,
  kCtlEllipsoid = 1035,
  kCtlDistReduce = 301,
  kCtlReduceHeight = 302,
  kCtlY500 = 1037,
  kCtlDistribution0 = 1101,
  kCtlDistribution1 = 1102,
  kCtlDistribution2 = 1103,
  kCtlShowCorrected = 1092,
  kCtlHelmert = 1113,
  kCtlPlaneGrade = 1115,
  kCtlHeightGrade = 1118,
  kCtlAzClosureCoef = 1116,
  kCtlRelClosureLimit = 1117,
  kCtlDistFormula = 1114,
  kCtlHeightClosureCoef = 1119,
  kCtlLengthLabel = 1120,
  kCtlProjCorrection = 304,
  kCtlEllipA = 1300,
  kCtlEllipInvF = 1301,
  kCtlHelp = 1098,
};

// The dialog's state: the values being edited, the number of unknown points and the
// enabled flag of every control. Event handlers mirror the dialog's handlers.
class CSchemeForm {
 public:
  CSchemeForm() = default;
  CSchemeForm(const SchemeValues& values, int unknownCount);

  SchemeValues values;
  int unknownCount = 0;

  bool IsEnabled(int control) const;
  // Text of the static 1120 after "√": "L" (weights by length) or "n" (by stations).
  const std::string& LengthLabel() const { return lengthLabel_; }

  // OnInitDialog: the enabling rules, then the coordinate-system rule.
  void Init();
  // Clicks on 1047, 1048, 303, 301 and 1049 (after the value changed).
  void UpdateControls();
  void OnTraverseTypeChanged(int type);
  void OnHeightRouteChanged(int route);
  void OnLevelWeightChanged(int weight);
  void OnPlaneGradeChanged(int grade);
  void OnHeightGradeChanged(int grade);
  void OnDistFormulaChanged(int formula);
  void OnEllipsoidChanged(int ellipsoid);
  // What the ellipsoid fields show: the chosen system's figures, or for "自定义"
  // the custom values (which a preset never overwrites).
  void ShownEllipsoid(double* a, double* invF) const;

  // The grade presets on the current grade indexes (each ends with UpdateControls).
  void ApplyPlanePreset();
  void ApplyHeightPreset();

  // The range checks of the data exchange, in exchange order: the first value out of
  // range gives its message ("" when every value is in range).
  std::string RangeCheck() const;
  // The OK checks joined into one text ("" when the dialog may close with OK).
  std::string OkMessages() const;
  // Both, as the OK button runs them: the range message if any, else the OK messages.
  std::string Validate() const;

 private:
  void Enable(int control, bool on) { enabled_[control] = on; }
  std::map<int, bool> enabled_;
  std::string lengthLabel_ = "L";
};

// Unknown points shown by the dialog for a job of `rows` input rows.
int UnknownCountFromRows(int type, int rows);
// Row count after OK with u unknown points; type 3 keeps its rows (at least 3).
int RowsFromUnknownCount(int type, int unknownCount, int currentRows);

// The text of the standard range message for a value outside [lo, hi].
std::string RangeMessage(double lo, double hi);

}  // namespace traverse
