#pragma once
// CTraverseJob: one traverse adjustment job and its computation, without a grid.
//
// The job is the computation scheme (the SchemeValues base), the input rows
// (m_arrUnit, as texts), the four point lists, the two least-squares systems and
// the results of the last computation. The presenter CDxView (traverse/view/)
// derives from it and shows it; the tools, the drawing and the field books call
// it directly: fill the scheme members, SetInputRows (grid texts, columns from 1
// in the layout of the traverse type), Compute(), read the members.
//
// Method, step by step (bodies in the engine/ source of the same name):
// - checks (dx_check.cpp): parses the texts (angles d.mmss or "d m s"), links
//   the rows to the known and unknown point lists by name and refuses what the
//   traverse type cannot adjust, one message per stop through
//   platform::Messages() naming the row and point.
// - approximate adjustment (dx_compute.cpp): closed, connecting, no-orientation
//   and open traverses by the classical angle closure fβ distributed equally
//   and the coordinate closure distributed in proportion to the sides;
//   levelling lines by their closure per length or station.
// - rigorous adjustment (dx_rigorous.cpp, dx_precision.cpp): indirect
//   observations of angles and sides, Gauss-Newton on the unknown coordinates,
//   optional Helmert variance components; σ0, mx, my, m and the error ellipses
//   from the cofactor matrix; a result whose worst normalised residual is gross
//   is kept but comes with a message naming its row. A network's approximate
//   coordinates are carried along chains, each chain's closure distributed by
//   the compass rule. Heights (dx_height.cpp) likewise by weighted height
//   differences. Both talk to survey::CLsqSolver only; MakeLsqSolver gives a
//   small network the dense system and a large one the sparse factor.
// - reductions (dx_reduce.cpp): sides to the reduction height and the Gauss
//   plane, directions by the arc-to-chord correction, then adjusted again.
// - coordinate traverse (coord_traverse.cpp): observed coordinates, closure
//   distributed by increment, by side or by a similarity transform.
// - error search (dx_errsearch.cpp): the gross angle or side error of a
//   closed or connecting traverse located from the closure.
//
// What the tests prove (tests/traverse/): noise-free synthetic jobs made from
// chosen coordinates come back to the truth within 1e-6 m, approximate and
// rigorous alike; the rigorous plane adjustment agrees with an independent dense
// Eigen solve (coordinates 1e-5 m; σ0, mx, my and ellipse axes to 1e-6
// relative), is invariant under a rotation of the network, and Helmert weighting
// converges to equal variance factors; the dense and the sparse solver give the
// same coordinates, σ0, point errors, ellipses and Helmert factors on the sample
// jobs and synthetic networks to 1e-9 relative (solver_kinds_test.cpp);
// hand-worked levelling lines and closure shares to the printed digit; reductions of geodesic observations against
// GeographicLib; each blunder found at its station or leg; each check's message
// text for its row; and a job computed through this class alone, linked without
// the grid (engine/engine_test.cpp).
//
// Units: coordinates and heights in metres; angles and azimuths in radians in
// [0, 2π); closures, corrections and precision figures in millimetres and
// seconds as the member comments say.
#include <array>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "survey/angle.h"
#include "survey/gauss_projection.h"
#include "survey/lsq_solver.h"
#include "traverse/engine/scheme_form.h"

namespace traverse {

class CTraverseJob : public SchemeValues {
 public:
  // One input row (a row of the data-input table) with its parsed and computed values.
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

  CTraverseJob();
  virtual ~CTraverseJob();
  CTraverseJob(const CTraverseJob&) = delete;
  CTraverseJob& operator=(const CTraverseJob&) = delete;

  // ---- solvers and projection ----------------------------------------------
  // The plane and the height system of the last rigorous adjustment, dense or
  // sparse by the network's size (survey::MakeLsqSolver); empty before one has
  // run. They outlive the adjustment: its cofactors, [pvv] and Helmert factors
  // can be read after the computation.
  std::unique_ptr<survey::CLsqSolver> m_wchPlane;
  std::unique_ptr<survey::CLsqSolver> m_wchHeight;
  // By size in the program; the tests and benchmarks force one kind to compare.
  survey::LsqSolverKind m_solverKind = survey::LsqSolverKind::BySize;
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
  // A-posteriori RMS of an angle, seconds (-1 while m_dSigma0Plane is): σ0 × the prior, or with Helmert weighting the prior
  // × √ of the angle group's accumulated variance factor.
  double m_dAngleRmsPosterior = -1;
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
  // Warning of the last rigorous plane pass: its worst residual is gross ("" none).
  // Compute shows it once the result it belongs to is final.
  std::string m_strPlaneGross;

  // Called at the end of a successful Compute (the navigation pane re-selects
  // its item, which shows the fresh result table). Argument: m_bPlane.
  std::function<void(bool plane)> m_onComputed;

  // ---- scheme and input ----------------------------------------------------
  // New-job state: scheme defaults, empty rows and lists, no results, projection
  // configured from the defaults.
  void ResetJob();
  // Sets m_gauss from the scheme's ellipsoid, 500 km flag and reduction height.
  void ConfigureProjection();
  // Clears every result of a computation (closures, sigmas, error search,
  // levelling sections, extents, counters).
  void ResetResults();
  // The input rows from grid texts: one vector of cell texts per grid row,
  // columns from 1 in the layout of the current traverse type. Clears the
  // computed flag; fewer than 3 rows are padded to 3.
  void SetInputRows(const std::vector<std::vector<std::string>>& cells);

  // Decimals of the texts a computation writes back into the rows (the
  // coordinate traverse's derived sides, angles and height differences); the
  // presenter answers with its table settings.
  virtual int AngleTextDecimals() const { return 0; }
  virtual int DistanceTextDecimals() const { return 3; }
  virtual int DhTextDecimals() const { return 3; }

  // ---- checks (rows and point lists) -------------------------------------
  int ParseAndCheckInput();
  // The numbers of a row (0-based) are numbers: 0 after one message naming the field.
  int CheckRowNumbers(int row);
  // Rows of one name where they cannot be one point (neighbours joined by an
  // observation; repeats along an open or coordinate traverse).
  int CheckSamePoints();
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
  // FormPlaneEquations and EvaluatePrecision work on m_wchPlane, FormHeightEquations
  // on m_wchHeight; AdjustPlaneRigorous and AdjustHeights make them afresh.
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

 protected:
  // Runs the adjustment of the current traverse type once (driver step 3).
  int RunAdjustment();
  // Distributes the coordinate-traverse closure; 0 after a message.
  int DistributeCoordClosure(double wx, double wy);
  // Message helpers: "%d"/"%s" texts with 1-based row numbers.
  static void Say(const std::string& text);
  std::string RowName(int row) const;

 private:
  // Name → position in each point list, so linking a row takes constant time on
  // a network of many thousand points. AddPlanePoint and AddHeightPoint keep them
  // in step as they grow the lists, and they are cleared with the lists; one whose
  // list was changed elsewhere is rebuilt on its next use.
  std::unordered_map<std::string, int> m_knownPdAt, m_unknownPdAt, m_knownHdAt, m_unknownHdAt;
};

// The texts of an input row in file order (SectionRow): name, angle, distance, height
// difference, weight, X, Y, H, remark, observed X, Y, H, backsight, intermediate sight,
// foresight. They are what the grid and the job file hold; the rest of a row is derived.
inline constexpr std::array<std::string CTraverseJob::CUnit::*, 15> kRowTexts = {
    &CTraverseJob::CUnit::name,          &CTraverseJob::CUnit::angleText,
    &CTraverseJob::CUnit::distanceText,  &CTraverseJob::CUnit::dhText,
    &CTraverseJob::CUnit::weightText,    &CTraverseJob::CUnit::xText,
    &CTraverseJob::CUnit::yText,         &CTraverseJob::CUnit::hText,
    &CTraverseJob::CUnit::remark,        &CTraverseJob::CUnit::obsXText,
    &CTraverseJob::CUnit::obsYText,      &CTraverseJob::CUnit::obsHText,
    &CTraverseJob::CUnit::backsightText, &CTraverseJob::CUnit::intermediateText,
    &CTraverseJob::CUnit::foresightText,
};

}  // namespace traverse
