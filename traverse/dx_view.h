#pragma once
// CDxView: the traverse adjustment presenter (std only).
//
// It owns one traverse job: the computation scheme, the input rows, the four
// point lists, the results of the last computation and the two least-squares
// systems. The grid it shows is the CTableView it derives from; the Qt widget
// that paints it lives in traverse/ui/.
//
// The computation scheme is the traverse::SchemeValues base, so the scheme
// dialog, the job file and the computation share one list of members.
//
// Computation flow: the rows arrive as the texts of the data-input grid
// (ReadInputTable, or SetInputRows in tests and loaders), Compute() checks them
// (ParseAndCheckInput), adjusts them by traverse type, optionally reduces the
// observations and adjusts again, and leaves every result in the members
// below. Every stop shows exactly one message through platform::Messages().
//
// Units: coordinates and heights in metres; angles and azimuths in radians in
// [0, 2*pi); closures, corrections and precision figures in millimetres and
// seconds as the member comments say.
#include <array>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "survey/angle.h"
#include "survey/gauss_projection.h"
#include "survey/least_squares.h"
#include "table/table_view.h"
#include "traverse/cus_table.h"
#include "traverse/scheme_form.h"

namespace traverse {
class ITraverseViewPorts;
struct TraverseSectionData;
}  // namespace traverse

class CDxView : public CTableView, public traverse::SchemeValues {
 public:
  // One row of the data-input table with its parsed and computed values.
  struct CUnit {
    int knownPlane = 0;    // the row's point is a known plane point
    int knownHeight = 0;   // the row's point has a known height
    int planeIndex = -1;   // into the known or unknown plane list (by knownPlane)
    int heightIndex = -1;  // into the known or unknown height list (by knownHeight)
    std::string name;
    std::string xText, yText, hText;
    std::string angleText;     // angle at this point (d m s or d.mmss)
    std::string distanceText;  // side to the next row
    std::string dhText;        // height difference to the next row
    std::string weightText;    // length or station count weighting dh
    std::string remark;
    double x = 0, y = 0, h = 0;
    double angle = 0;         // working angle, radians
    double distance = 0;      // working side to the next row, m
    double dh = 0;            // working height difference, m
    double weightLength = 0;  // length or station count of dh
    double observedAngle = 0;     // as read, radians
    double observedDistance = 0;  // as read, m
    double angleCorrection = 0;     // seconds
    double distanceCorrection = 0;  // mm
    double dhCorrection = 0;        // mm
    double azimuth = 0;  // of the leg to the next row, radians
    double dx = 0;       // increment of the leg, m
    double vx = 0;       // its correction, mm (m in the coordinate traverse)
    double dy = 0;
    double vy = 0;
    double azimuthRms = 0;     // seconds
    double sideRms = 0;        // mm
    double adjacentError = 0;  // mm
    std::string obsXText, obsYText, obsHText;  // coordinate traverse
    std::string backsightText, foresightText, intermediateText;  // levelling
  };

  // Plane point.
  struct CPd {
    std::string name;
    int hasValue = 0;  // unknown point: approximate coordinates are set
    double x = 0, y = 0;
    double mx = 0, my = 0, m = 0;          // mm
    double ellipseA = 0, ellipseB = 0;     // mm
    double ellipseF = 0;                   // azimuth of the major semi-axis, radians
  };

  // Height point.
  struct CHd {
    std::string name;
    int hasValue = 0;
    double h = 0;
    double mh = 0;  // mm
    double spare = 0;
  };

  // One closed (or the final open) stretch of a single-run levelling line.
  struct CDmShzhD {
    int startRow = 0;
    int endRow = 0;
    int stations = 0;
    double correctionPerStation = 0;  // m
    double closure = 0;               // m
  };

  enum PointKind { kNoPoint = 0, kKnownPoint = 1, kUnknownPoint = 2 };

  // Relative closure denominator when the closure is exactly zero (or so small
  // that ΣD/W leaves the int range): "no closure", shown as 1/∞ and better than
  // every limit. RelClosureText turns a denominator into its table text.
  static constexpr int kRelClosureNone = INT_MAX;
  static int RelativeClosure(double sumDMetres, double closureMm);
  static std::string RelClosureText(int denominator);

  // Seconds per radian.
  static constexpr double kRho = survey::kSecPerRad;

  CDxView();
  ~CDxView() override;

  // ---- scheme: the members of traverse::SchemeValues (m_nTraverseType ...) ----

  std::array<CCusTable, 10> m_cusTables;

  // ---- solvers and projection ----------------------------------------------
  survey::CWchFch m_wchPlane;
  survey::CWchFch m_wchHeight;
  survey::CGaussProjection m_gauss;

  // ---- rows and point lists ------------------------------------------------
  std::vector<CPd> m_arrKnownPd;
  std::vector<CPd> m_arrUnknownPd;
  std::vector<CHd> m_arrKnownHd;
  std::vector<CHd> m_arrUnknownHd;
  std::vector<CUnit> m_arrSeekErr;   // error-search figures per row
  std::vector<CDmShzhD> m_arrDmShzhD;
  std::vector<CUnit> m_arrUnit;      // the input rows, in grid order

  // ---- results ---------------------------------------------------------------
  int m_bComputed = 0;
  int m_bPlane = 0;
  int m_bHeight = 0;
  int m_bIntermediate = 0;
  double m_dSigma0Plane = -1;
  double m_dSigma0Height = -1;
  int m_nAngleCount = 0;
  int m_nSideCount = 0;
  int m_nDhCount = 0;
  double m_dFx = 0, m_dFy = 0, m_dFs = 0;  // mm, after the angle correction
  double m_dWx = 0, m_dWy = 0, m_dWs = 0;  // mm, with the observed angles
  double m_dWh = 0;                        // mm
  double m_dFBeta = 0;                     // seconds
  int m_nRelClosureT = 0;
  int m_nRelClosureK = 0;
  double m_dSumD = 0;       // m
  double m_dSumWeight = 0;  // stations, m or km
  double m_dMinX = 0, m_dMaxX = 0, m_dMinY = 0, m_dMaxY = 0;

  // Called at the end of a successful Compute (the navigation pane re-selects
  // its item, which shows the fresh result table). Argument: m_bPlane.
  std::function<void(bool plane)> m_onComputed;

  // ---- scheme and input ----------------------------------------------------
  // New-document state: scheme defaults, empty rows and lists, no results,
  // projection configured from the defaults.
  void ResetScheme();
  // Sets m_gauss from the scheme's ellipsoid, 500 km flag and reduction height.
  void ConfigureProjection();
  // Clears every result of a computation (closures, sigmas, error search,
  // levelling sections, extents, counters).
  void ResetResults();

  // Copies the data-input grid into m_arrUnit (only while the input table is shown).
  void ReadInputTable();
  // The same mapping from grid texts given directly: one vector of cell texts
  // per grid row, columns from 1 in the layout of the current traverse type.
  // Clears the computed flag; fewer than 3 rows are padded to 3.
  void SetInputRows(const std::vector<std::vector<std::string>>& cells);

  // ---- checks (rows and point lists) -------------------------------------
  int ParseAndCheckInput();
  int CheckObservationCounts();
  int CheckClosedConnectingTraverse();
  int CheckNoOrientationTraverse();
  int CheckOpenTraverse();
  // Link a row to a list entry. Results: -1 refused (message shown), 0 not
  // linked, 1 found known, 2 new known, 3 found unknown, 4 new unknown.
  int AddPlanePoint(int row, int addUnknown);
  int AddHeightPoint(int row, int addUnknown);
  PointKind GetPointXY(int row, double* x, double* y) const;
  PointKind GetPointH(int row, double* h) const;
  // The last row carries the (non-empty) name of the third row.
  bool IsClosedTraverse() const;

  // ---- computation driver and approximate adjustment ---------------------
  int Compute();
  void ComputeOpenTraverse();
  int AdjustClosedConnectingTraverse();
  int AdjustNoOrientationTraverse();
  int BackCompute();
  void ComputeExtents();
  int AdjustCoordTraverse();

  // ---- rigorous adjustment, heights, reductions, error search -------------
  // The solver a rigorous adjustment runs on (survey/sparse_least_squares.h); set only while
  // AdjustPlaneRigorous or AdjustHeights runs, pointing at its local system.
  class CLsq;
  CLsq* m_pPlaneLsq = nullptr;
  CLsq* m_pHeightLsq = nullptr;
  int FormPlaneEquations(int firstPass);
  int AdjustPlaneRigorous();
  int EvaluatePrecision();
  int ComputeApproxCoords();
  int ComputeApproxHeights();
  int FormHeightEquations();
  int AdjustHeights();
  int ComputeLevelling();
  int ReduceObservations();
  int SearchPlaneError(int closed);

  // ---- view: tables, bar, commands, document section ------------------------
  // The ports (scheme dialog, navigation tree, document flag) are installed by
  // the Qt side; without them the view runs headless.
  void SetViewPorts(traverse::ITraverseViewPorts* ports);
  traverse::ITraverseViewPorts* ViewPorts() const { return m_pViewPorts; }
  void OnInitialUpdate() override;
  void OnTableChanged() override;
  bool OnCommand(int id) override;
  // Client size of the view (WM_SIZE) and the interface scale (g_nRowHeight,
  // g_nCharHeight); both re-lay out the bar.
  void OnSize(int width, int height);
  void SetBarMetrics(int rowHeight, int charHeight);
  void RepositionBar();
  void ShowTable(const std::string& code);
  void SetColumnByCode(int col, const std::string& code);
  int SetupTraverseInputTable();
  int SetupCoordTraverseInputTable();
  int SetupLevellingInputTable();
  void UpdateInputTips();
  void ShowLevellingTable();
  void ShowCoordTraverseTable();
  void OnCompute();
  void OnScheme();
  // "读取": the typed point names of the input table get their angles, sides, height
  // differences and weights from the computed field books (through the ports).
  void OnReadObservations();
  // ReadInputTable, but a copy of unchanged texts keeps the computed rows.
  void SaveInputTable();
  // Document section: the model goes through traverse::TraverseSectionData.
  void GetSectionData(traverse::TraverseSectionData& data) const;
  void ApplySectionData(const traverse::TraverseSectionData& data);
  std::vector<std::string> WriteTraverseSection();
  // The first-use hint (an extra tab indents each line in the table's copy).
  static std::string FirstUseHint(bool tableCopy);
  // The drawing's values stored with the traverse section (kept here while the
  // drawing view is not attached).
  int m_nKnownSymbol = 0;
  int m_nOtherSymbol = 3;
  double m_dEllipseScale = 1.0;
  double m_dLegacyPrintScale = 0.0;
  traverse::ITraverseViewPorts* m_pViewPorts = nullptr;
  int m_nBarClientWidth = 0, m_nBarRowHeight = 22, m_nBarCharHeight = 12;

 protected:
  // Runs the adjustment of the current traverse type once (driver step 3).
  int RunAdjustment();
  // Distributes the coordinate-traverse closure; 0 after a message.
  int DistributeCoordClosure(double wx, double wy);
  // Message helpers: "%d"/"%s" texts with 1-based row numbers.
  static void Say(const std::string& text);
  std::string RowName(int row) const;
};

namespace traverse {

// The texts of an input row in file order (SectionRow): name, angle, distance, height
// difference, weight, X, Y, H, remark, observed X, Y, H, backsight, intermediate sight,
// foresight. They are what the grid and the job file hold; the rest of a row is derived.
inline constexpr std::array<std::string CDxView::CUnit::*, 15> kRowTexts = {
    &CDxView::CUnit::name,          &CDxView::CUnit::angleText,     &CDxView::CUnit::distanceText,
    &CDxView::CUnit::dhText,        &CDxView::CUnit::weightText,    &CDxView::CUnit::xText,
    &CDxView::CUnit::yText,         &CDxView::CUnit::hText,         &CDxView::CUnit::remark,
    &CDxView::CUnit::obsXText,      &CDxView::CUnit::obsYText,      &CDxView::CUnit::obsHText,
    &CDxView::CUnit::backsightText, &CDxView::CUnit::intermediateText, &CDxView::CUnit::foresightText,
};

}  // namespace traverse
