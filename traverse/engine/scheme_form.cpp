#include "traverse/engine/scheme_form.h"

#include <cmath>
#include <initializer_list>
#include <iterator>

#include "platform/number.h"
#include "survey/gauss_projection.h"

namespace traverse {

namespace {

int Choice(int value, int count, int fallback) { return value >= 0 && value < count ? value : fallback; }
int Flag(int value, int fallback) { return value == 0 || value == 1 ? value : fallback; }
double InRange(double value, double lo, double hi, double fallback) {
  return std::isfinite(value) && value >= lo && value <= hi ? value : fallback;
}

// The plane grade presets: prior angle RMS, azimuth closure coefficient, 1/N, and
// the adjustment the grade asks for (1 rigorous, 0 approximate, -1 unchanged).
struct PlanePreset {
  double angleRms;  // < 0: unchanged
  double azCoef;
  int relLimit;
  int rigorous;
};
constexpr PlanePreset kPlanePresets[] = {
    {1.8, 3.6, 55000, 1},  {2.5, 5.0, 35000, 1},  {5.0, 10.0, 15000, 1}, {8.0, 16.0, 10000, -1},
    {12.0, 24.0, 5000, -1}, {-1, 40.0, 2000, 0},  {-1, 60.0, 2000, 0},
};

// Height closure coefficients by distance and by stations (二等 has none by stations).
constexpr double kHeightByDistance[] = {4.0, 12.0, 20.0, 30.0, 40.0};
constexpr double kHeightByStations[] = {0.0, 4.0, 6.0, 9.0, 12.0};

}  // namespace

void SchemeValues::FoldIntoRanges() {
  const SchemeValues d;
  m_nTraverseType = Choice(m_nTraverseType, 6, d.m_nTraverseType);
  m_bReduce = Flag(m_bReduce, d.m_bReduce);
  m_nEllipsoid = Choice(m_nEllipsoid, 5, d.m_nEllipsoid);
  m_bY500 = Flag(m_bY500, d.m_bY500);
  m_bProjCorrection = Flag(m_bProjCorrection, d.m_bProjCorrection);
  m_bDistReduce = Flag(m_bDistReduce, d.m_bDistReduce);
  m_dReduceHeight = InRange(m_dReduceHeight, -11000.0, 9000.0, d.m_dReduceHeight);
  m_dEllipA = InRange(m_dEllipA, 6300000.0, 7000000.0, d.m_dEllipA);
  m_dEllipInvF = InRange(m_dEllipInvF, 200.0, 400.0, d.m_dEllipInvF);
  m_bBackCompute = Flag(m_bBackCompute, d.m_bBackCompute);
  m_bShowCorrectedIncrements = Flag(m_bShowCorrectedIncrements, d.m_bShowCorrectedIncrements);
  m_bClosureBeforeAngleCorrection = Flag(m_bClosureBeforeAngleCorrection, d.m_bClosureBeforeAngleCorrection);
  m_bRigorous = Flag(m_bRigorous, d.m_bRigorous);
  m_bHelmert = Flag(m_bHelmert, d.m_bHelmert);
  if (!(std::isfinite(m_dAngleRms) && m_dAngleRms > 1e-10)) m_dAngleRms = d.m_dAngleRms;
  m_nDistErrorType = Choice(m_nDistErrorType, 3, d.m_nDistErrorType);
  if (!(std::isfinite(m_dDistA) && m_dDistA >= 0)) m_dDistA = d.m_dDistA;
  if (!(std::isfinite(m_dDistB) && m_dDistB >= 0)) m_dDistB = d.m_dDistB;
  m_nPlaneGrade = Choice(m_nPlaneGrade, 8, d.m_nPlaneGrade);
  m_dAzClosureCoef = InRange(m_dAzClosureCoef, 0.0, 1000.0, d.m_dAzClosureCoef);
  if (m_nRelClosureLimit < 1) m_nRelClosureLimit = d.m_nRelClosureLimit;
  m_nHeightGrade = Choice(m_nHeightGrade, 6, d.m_nHeightGrade);
  if (!(std::isfinite(m_dHeightClosureCoef) && m_dHeightClosureCoef >= 0))
    m_dHeightClosureCoef = d.m_dHeightClosureCoef;
  m_nHeightRouteType = Choice(m_nHeightRouteType, 2, d.m_nHeightRouteType);
  m_nLevelWeight = Choice(m_nLevelWeight, 2, d.m_nLevelWeight);
  m_nDistUnit = Choice(m_nDistUnit, 2, d.m_nDistUnit);
  m_nClosureDistribution = Choice(m_nClosureDistribution, 3, d.m_nClosureDistribution);
}

void SchemeValues::ApplyTypeRules() {
  const int t = m_nTraverseType;
  // Reduction of observations exists only for the four traverse types.
  if (t >= 4) m_bReduce = 0;
  // A coordinate traverse always heights trigonometrically, weighted by metres.
  if (t == 4) {
    m_nHeightRouteType = 1;
    m_nLevelWeight = 0;
    m_nDistUnit = 0;
  }
  // Trigonometric heights of the adjusted types are weighted by distance.
  if (m_nHeightRouteType == 1 && t != 2 && t != 5) m_nLevelWeight = 0;
  // The open, coordinate and levelling types are adjusted approximately; the special
  // traverse or network has only the rigorous adjustment. A file saying "严密平差:0"
  // would be computed rigorously and laid out as the approximate table.
  if (t == 2 || t == 4 || t == 5) m_bRigorous = 0;
  if (t == 3) m_bRigorous = 1;
  if (t != 0 && t != 3) m_bHelmert = 0;
}

CSchemeForm::CSchemeForm(const SchemeValues& v, int u) : values(v), unknownCount(u) {}

bool CSchemeForm::IsEnabled(int control) const {
  auto it = enabled_.find(control);
  return it == enabled_.end() ? true : it->second;
}

void CSchemeForm::Init() {
  UpdateControls();
  OnEllipsoidChanged(values.m_nEllipsoid);
}

void CSchemeForm::UpdateControls() {
  SchemeValues& v = values;
  const int t = v.m_nTraverseType;
  // What the type forces, the one list a job's file is read with too: a job read
  // from its file shows in the dialog as it is, and OK with nothing changed keeps it.
  v.ApplyTypeRules();

  Enable(kCtlReduce, t < 4);
  for (int id : {kCtlEllipsoid, kCtlY500, kCtlDistReduce, kCtlProjCorrection}) Enable(id, v.m_bReduce != 0);
  Enable(kCtlReduceHeight, v.m_bReduce != 0 && v.m_bDistReduce != 0);

  if (t == 2 || t == 4 || t == 5) {
    for (int id : {kCtlApproximate, kCtlRigorous, kCtlBackCompute, kCtlShowCorrected, kCtlClosureBefore, kCtlDistA,
                   kCtlDistB, kCtlAngleRms, kCtlPlaneGrade, kCtlAzClosureCoef, kCtlRelClosureLimit, kCtlDistFormula,
                   kCtlHeightGrade, kCtlHeightClosureCoef, kCtlHeightRoute, kCtlLevelWeight, kCtlDistUnit})
      Enable(id, false);
    Enable(kCtlUnknownCount, t == 4);
  } else {
    for (int id : {kCtlPlaneGrade, kCtlAzClosureCoef, kCtlRelClosureLimit, kCtlHeightGrade, kCtlHeightClosureCoef,
                   kCtlRigorous, kCtlHeightRoute})
      Enable(id, true);
    if (v.m_nHeightRouteType == 1) {
      Enable(kCtlLevelWeight, false);
    } else {
      Enable(kCtlLevelWeight, true);
    }
    lengthLabel_ = v.m_nLevelWeight == 0 ? "L" : "n";
    if (t == 3) {
      Enable(kCtlUnknownCount, false);
      Enable(kCtlApproximate, false);
    } else {
      Enable(kCtlUnknownCount, true);
      Enable(kCtlApproximate, true);
    }
    if (v.m_bRigorous) {
      Enable(kCtlBackCompute, false);
      Enable(kCtlShowCorrected, false);
      Enable(kCtlDistA, true);
      Enable(kCtlAngleRms, true);
      Enable(kCtlDistFormula, true);
      Enable(kCtlDistB, v.m_nDistErrorType < 2);
    } else {
      Enable(kCtlBackCompute, true);
      Enable(kCtlShowCorrected, v.m_bBackCompute == 0);
      Enable(kCtlClosureBefore, true);
      for (int id : {kCtlDistA, kCtlDistB, kCtlAngleRms, kCtlDistFormula}) Enable(id, false);
    }
    Enable(kCtlDistUnit, v.m_nLevelWeight == 0);
  }

  for (int id : {kCtlDistribution0, kCtlDistribution1, kCtlDistribution2}) Enable(id, t == 4);

  Enable(kCtlHelmert, t == 0 || t == 3);

  Enable(kCtlAzClosureCoef, t == 0);
  Enable(kCtlClosureBefore, t == 0);
  Enable(kCtlRelClosureLimit, t < 2);
  Enable(kCtlHeightClosureCoef, t < 2);
}

void CSchemeForm::ApplyPlanePreset() {
  const int g = values.m_nPlaneGrade;
  if (g >= 0 && g < static_cast<int>(std::size(kPlanePresets))) {
    const PlanePreset& p = kPlanePresets[g];
    if (p.angleRms >= 0) values.m_dAngleRms = p.angleRms;
    values.m_dAzClosureCoef = p.azCoef;
    values.m_nRelClosureLimit = p.relLimit;
    if (p.rigorous >= 0) values.m_bRigorous = p.rigorous;
  }
  UpdateControls();
}

void CSchemeForm::ApplyHeightPreset() {
  const int g = values.m_nHeightGrade;
  if (g == 0) {
    values.m_nLevelWeight = 0;
    values.m_dHeightClosureCoef = kHeightByDistance[0];
  } else if (g > 0 && g < 5) {
    values.m_dHeightClosureCoef = values.m_nLevelWeight == 1 ? kHeightByStations[g] : kHeightByDistance[g];
  }
  UpdateControls();
}

void CSchemeForm::OnTraverseTypeChanged(int type) {
  values.m_nTraverseType = type;
  UpdateControls();
  ApplyPlanePreset();
  ApplyHeightPreset();
}

void CSchemeForm::OnHeightRouteChanged(int route) {
  values.m_nHeightRouteType = route;
  UpdateControls();
  ApplyHeightPreset();
}

void CSchemeForm::OnLevelWeightChanged(int weight) {
  values.m_nLevelWeight = weight;
  ApplyHeightPreset();  // ends with UpdateControls
}

void CSchemeForm::OnPlaneGradeChanged(int grade) {
  values.m_nPlaneGrade = grade;
  ApplyPlanePreset();
}

void CSchemeForm::OnHeightGradeChanged(int grade) {
  values.m_nHeightGrade = grade;
  ApplyHeightPreset();
}

void CSchemeForm::OnDistFormulaChanged(int formula) {
  values.m_nDistErrorType = formula;
  Enable(kCtlDistB, formula < 2);
}

void CSchemeForm::OnEllipsoidChanged(int ellipsoid) {
  values.m_nEllipsoid = ellipsoid;
  Enable(kCtlEllipA, ellipsoid == 0);
  Enable(kCtlEllipInvF, ellipsoid == 0);
}

void CSchemeForm::ShownEllipsoid(double* a, double* invF) const {
  if (survey::PresetEllipsoid(values.m_nEllipsoid, a, invF)) return;
  *a = values.m_dEllipA;
  *invF = values.m_dEllipInvF;
}

std::string RangeMessage(double lo, double hi) {
  auto text = [](double x) {
    return x == std::floor(x) && std::fabs(x) < 1e15 ? platform::FormatFixed(x, 0) : platform::FormatRoundTrip(x);
  };
  return "请输入一个介于 " + text(lo) + " 和 " + text(hi) + " 之间的数。";
}

std::string CSchemeForm::RangeCheck() const {
  const SchemeValues& v = values;
  auto bad = [](double x, double lo, double hi) { return !(std::isfinite(x) && x >= lo && x <= hi); };
  // Negative prior errors would give negative weights; the upper bound only keeps
  // the figure a surveyor can mean (a metre of constant error is already absurd).
  if (bad(v.m_dDistA, 0, 1000)) return RangeMessage(0, 1000);
  if (bad(v.m_dDistB, 0, 1000)) return RangeMessage(0, 1000);
  // The range a job file keeps: a surface beyond it would be dropped at the next open.
  if (bad(v.m_dReduceHeight, -11000, 9000)) return RangeMessage(-11000, 9000);
  if (bad(v.m_dAzClosureCoef, 0, 1000)) return RangeMessage(0, 1000);
  if (bad(v.m_dEllipA, 6300000, 7000000)) return RangeMessage(6300000, 7000000);
  if (bad(v.m_dEllipInvF, 200, 400)) return RangeMessage(200, 400);
  return "";
}

std::string CSchemeForm::OkMessages() const {
  const SchemeValues& v = values;
  const int t = v.m_nTraverseType;
  std::string msg;
  if (unknownCount < 1 && t != 2 && t != 3 && t != 5) msg += "至少一个未知点\r\n";
  if (v.m_dAngleRms <= 1e-10) msg += "测角中误差应大于0\r\n";
  // With A·√S the constant A alone sets the side error; A = 0 would give weightless sides.
  const bool noDistError =
      v.m_nDistErrorType == 2 ? v.m_dDistA <= 1e-10 : (v.m_dDistA <= 1e-10 && v.m_dDistB <= 1e-10);
  if (noDistError) msg += "测距中误差应大于0\r\n";
  // Limits a job file could not keep (they would be replaced at the next open).
  if (v.m_nRelClosureLimit < 1) msg += "导线全长闭合差限差应大于0\r\n";
  if (!(v.m_dHeightClosureCoef >= 0)) msg += "高程闭合差限差不应小于0\r\n";
  return msg;
}

std::string CSchemeForm::Validate() const {
  std::string range = RangeCheck();
  return range.empty() ? OkMessages() : range;
}

int UnknownCountFromRows(int type, int rows) {
  int u = type == 0 ? rows - 4 : rows - 2;
  return u < 0 ? 0 : u;
}

int RowsFromUnknownCount(int type, int u, int currentRows) {
  if (u < 0) u = 0;
  if (type == 0) return u + 4;
  if (type == 3) return currentRows > 3 ? currentRows : 3;
  return u + 2;
}

}  // namespace traverse
