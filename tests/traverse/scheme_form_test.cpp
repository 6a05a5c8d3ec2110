// The scheme dialog's rules, checked on the form model without a window.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "traverse/engine/scheme_form.h"

using traverse::CSchemeForm;
using traverse::SchemeValues;
namespace t = traverse;

namespace {

CSchemeForm FormOfType(int type, int unknown = 3) {
  SchemeValues v;
  CSchemeForm f(v, unknown);
  f.Init();
  f.OnTraverseTypeChanged(type);
  return f;
}

std::string Enabled(const CSchemeForm& f, std::initializer_list<int> ids) {
  std::string s;
  for (int id : ids) s += f.IsEnabled(id) ? '1' : '0';
  return s;
}

}  // namespace

// Which controls a traverse type leaves open, after choosing it on a default scheme
// (rigorous, 一级, 四等, levelling by distance). Control order of the string:
// 概算 303, 1047, 1048, 反算 1049, 1050, A 1056, B 1057, 测角 1058, 未知点 1059,
// 1060, 1061, 1062, 1092, Helmert 1113, 1114, 1115, 1116, 1117, 1118, 1119, 1101.
TEST(SchemeFormTest, EnablingPerTraverseType) {
  struct Case {
    int type;
    const char* enabled;
    int rigorous;
  };
  const Case cases[] = {
      //        303 47 48 49 50 56 57 58 59 60 61 62 92 13 14 15 16 17 18 19 01
      {0, "1" "1" "1" "0" "1" "1" "1" "1" "1" "1" "1" "1" "0" "1" "1" "1" "1" "1" "1" "1" "0", 1},
      {1, "1" "1" "1" "0" "0" "1" "1" "1" "1" "1" "1" "1" "0" "0" "1" "1" "0" "1" "1" "1" "0", 1},
      {2, "1" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0", 0},
      {3, "1" "0" "1" "0" "0" "1" "1" "1" "0" "1" "1" "1" "0" "1" "1" "1" "0" "0" "1" "0" "0", 1},
      {4, "0" "0" "0" "0" "0" "0" "0" "0" "1" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "1", 0},
      {5, "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0" "0", 0},
  };
  for (const Case& c : cases) {
    CSchemeForm f = FormOfType(c.type);
    EXPECT_EQ(Enabled(f, {t::kCtlReduce, t::kCtlApproximate, t::kCtlRigorous, t::kCtlBackCompute, t::kCtlClosureBefore,
                          t::kCtlDistA, t::kCtlDistB, t::kCtlAngleRms, t::kCtlUnknownCount, t::kCtlHeightRoute,
                          t::kCtlLevelWeight, t::kCtlDistUnit, t::kCtlShowCorrected, t::kCtlHelmert,
                          t::kCtlDistFormula, t::kCtlPlaneGrade, t::kCtlAzClosureCoef, t::kCtlRelClosureLimit,
                          t::kCtlHeightGrade, t::kCtlHeightClosureCoef, t::kCtlDistribution0}),
              c.enabled)
        << "type " << c.type;
    EXPECT_EQ(f.values.m_bRigorous, c.rigorous) << "type " << c.type;
  }
}

TEST(SchemeFormTest, ApproximateAdjustmentOpensItsOwnOptions) {
  CSchemeForm f = FormOfType(0);
  f.values.m_bRigorous = 0;
  f.UpdateControls();
  // 反算, 显示改正后增量 (only while not back-computing), 1050 open; prior errors closed.
  EXPECT_EQ(Enabled(f, {t::kCtlBackCompute, t::kCtlShowCorrected, t::kCtlClosureBefore, t::kCtlDistA, t::kCtlDistB,
                        t::kCtlAngleRms, t::kCtlDistFormula}),
            "1110000");
  f.values.m_bBackCompute = 1;
  f.UpdateControls();
  EXPECT_FALSE(f.IsEnabled(t::kCtlShowCorrected));
  // Back to rigorous with the A·√S formula: B has no meaning.
  f.values.m_bRigorous = 1;
  f.OnDistFormulaChanged(2);
  f.UpdateControls();
  EXPECT_EQ(Enabled(f, {t::kCtlBackCompute, t::kCtlDistA, t::kCtlDistB, t::kCtlAngleRms}), "0101");
}

TEST(SchemeFormTest, ReductionOptionsFollowTheReduceCheck) {
  CSchemeForm f = FormOfType(0);
  EXPECT_EQ(Enabled(f, {t::kCtlEllipsoid, t::kCtlY500, t::kCtlDistReduce, t::kCtlProjCorrection, t::kCtlReduceHeight}),
            "00000");
  f.values.m_bReduce = 1;
  f.UpdateControls();
  EXPECT_EQ(Enabled(f, {t::kCtlEllipsoid, t::kCtlY500, t::kCtlDistReduce, t::kCtlProjCorrection, t::kCtlReduceHeight}),
            "11110");
  f.values.m_bDistReduce = 1;
  f.UpdateControls();
  EXPECT_TRUE(f.IsEnabled(t::kCtlReduceHeight));
  // The custom ellipsoid's axes open only for "自定义".
  EXPECT_FALSE(f.IsEnabled(t::kCtlEllipA));
  f.OnEllipsoidChanged(0);
  EXPECT_TRUE(f.IsEnabled(t::kCtlEllipA));
  EXPECT_TRUE(f.IsEnabled(t::kCtlEllipInvF));
  // A coordinate traverse never reduces.
  f.OnTraverseTypeChanged(4);
  EXPECT_EQ(f.values.m_bReduce, 0);
  EXPECT_FALSE(f.IsEnabled(t::kCtlEllipsoid));
}

TEST(SchemeFormTest, CoordinateTraverseForcesTrigonometricHeightsInMetres) {
  SchemeValues v;
  v.m_nHeightRouteType = 0;
  v.m_nLevelWeight = 1;
  v.m_nDistUnit = 1;
  v.m_bReduce = 1;
  v.m_bHelmert = 1;
  CSchemeForm f(v, 2);
  f.Init();
  f.OnTraverseTypeChanged(4);
  EXPECT_EQ(f.values.m_bReduce, 0);
  EXPECT_EQ(f.values.m_nHeightRouteType, 1);
  EXPECT_EQ(f.values.m_nLevelWeight, 0);
  EXPECT_EQ(f.values.m_nDistUnit, 0);
  EXPECT_EQ(f.values.m_bHelmert, 0);
  EXPECT_EQ(Enabled(f, {t::kCtlDistribution0, t::kCtlDistribution1, t::kCtlDistribution2}), "111");
}

// Plane presets: angle RMS, azimuth coefficient, 1/N and the adjustment they ask for,
// on a closed/connecting traverse (nothing forced) and an open traverse (approximate forced).
TEST(SchemeFormTest, PlaneGradePresets) {
  struct Case {
    int grade;
    double rms, coef;
    int limit;
    int rigorousType0;  // starting from approximate
  };
  const Case cases[] = {
      {0, 1.8, 3.6, 55000, 1}, {1, 2.5, 5.0, 35000, 1},  {2, 5.0, 10.0, 15000, 1}, {3, 8.0, 16.0, 10000, 0},
      {4, 12.0, 24.0, 5000, 0}, {5, 7.0, 40.0, 2000, 0}, {6, 7.0, 60.0, 2000, 0},  {7, 7.0, 33.0, 4321, 0},
  };
  for (const Case& c : cases) {
    SchemeValues v;
    v.m_bRigorous = 0;
    v.m_dAngleRms = 7.0;
    v.m_dAzClosureCoef = 33.0;
    v.m_nRelClosureLimit = 4321;
    CSchemeForm f(v, 3);
    f.Init();
    f.OnPlaneGradeChanged(c.grade);
    EXPECT_DOUBLE_EQ(f.values.m_dAngleRms, c.rms) << c.grade;
    EXPECT_DOUBLE_EQ(f.values.m_dAzClosureCoef, c.coef) << c.grade;
    EXPECT_EQ(f.values.m_nRelClosureLimit, c.limit) << c.grade;
    EXPECT_EQ(f.values.m_bRigorous, c.rigorousType0) << c.grade;
  }
  // 三等 on an open traverse: the figures change, the adjustment stays approximate.
  CSchemeForm open = FormOfType(2);
  open.OnPlaneGradeChanged(0);
  EXPECT_DOUBLE_EQ(open.values.m_dAngleRms, 1.8);
  EXPECT_DOUBLE_EQ(open.values.m_dAzClosureCoef, 3.6);
  EXPECT_EQ(open.values.m_nRelClosureLimit, 55000);
  EXPECT_EQ(open.values.m_bRigorous, 0);
  // 图根 grades switch a network to approximate, which the network type refuses.
  CSchemeForm net = FormOfType(3);
  net.OnPlaneGradeChanged(5);
  EXPECT_EQ(net.values.m_bRigorous, 1);
}

TEST(SchemeFormTest, HeightGradePresets) {
  struct Case {
    int grade, weight;
    double coef;
    int weightAfter;
  };
  const Case cases[] = {
      {0, 0, 4.0, 0},  {0, 1, 4.0, 0},  // 二等 has no station limit: back to 距离
      {1, 0, 12.0, 0}, {1, 1, 4.0, 1},  {2, 0, 20.0, 0}, {2, 1, 6.0, 1},
      {3, 0, 30.0, 0}, {3, 1, 9.0, 1},  {4, 0, 40.0, 0}, {4, 1, 12.0, 1},
      {5, 0, 17.0, 0}, {5, 1, 17.0, 1},  // 自定义 keeps the coefficient
  };
  for (const Case& c : cases) {
    SchemeValues v;
    v.m_nLevelWeight = c.weight;
    v.m_dHeightClosureCoef = 17.0;
    CSchemeForm f(v, 3);
    f.Init();
    f.OnHeightGradeChanged(c.grade);
    EXPECT_DOUBLE_EQ(f.values.m_dHeightClosureCoef, c.coef) << c.grade << "/" << c.weight;
    EXPECT_EQ(f.values.m_nLevelWeight, c.weightAfter) << c.grade << "/" << c.weight;
    EXPECT_EQ(f.LengthLabel(), c.weightAfter == 0 ? "L" : "n");
  }
}

TEST(SchemeFormTest, WeightingByStationsAndTrigonometricHeighting) {
  CSchemeForm f = FormOfType(0);
  f.OnLevelWeightChanged(1);  // 测站数 under 四等
  EXPECT_DOUBLE_EQ(f.values.m_dHeightClosureCoef, 6.0);
  EXPECT_EQ(f.LengthLabel(), "n");
  EXPECT_FALSE(f.IsEnabled(t::kCtlDistUnit));
  // Trigonometric heighting weights by distance only.
  f.OnHeightRouteChanged(1);
  EXPECT_EQ(f.values.m_nLevelWeight, 0);
  EXPECT_FALSE(f.IsEnabled(t::kCtlLevelWeight));
  EXPECT_DOUBLE_EQ(f.values.m_dHeightClosureCoef, 20.0);
  EXPECT_EQ(f.LengthLabel(), "L");
}

// The OK button: range messages first, then the joined OK messages.
TEST(SchemeFormTest, OkChecks) {
  struct Case {
    const char* what;
    int type, unknown, formula;
    double rms, a, b, az, ellipA, invF;
    const char* message;
  };
  const Case cases[] = {
      {"defaults", 0, 3, 0, 5, 5, 5, 10, 6378137, 298.257222101, ""},
      {"no unknown point", 0, 0, 0, 5, 5, 5, 10, 6378137, 298.257222101, "至少一个未知点\r\n"},
      {"open traverse needs none", 2, 0, 0, 5, 5, 5, 10, 6378137, 298.257222101, ""},
      {"network needs none", 3, 0, 0, 5, 5, 5, 10, 6378137, 298.257222101, ""},
      {"levelling needs none", 5, 0, 0, 5, 5, 5, 10, 6378137, 298.257222101, ""},
      {"coordinate traverse needs one", 4, 0, 0, 5, 5, 5, 10, 6378137, 298.257222101, "至少一个未知点\r\n"},
      {"angle RMS 0", 0, 3, 0, 0, 5, 5, 10, 6378137, 298.257222101, "测角中误差应大于0\r\n"},
      {"A and B 0", 0, 3, 0, 5, 0, 0, 10, 6378137, 298.257222101, "测距中误差应大于0\r\n"},
      {"A 0, B 5", 0, 3, 0, 5, 0, 5, 10, 6378137, 298.257222101, ""},
      {"A 0 with A*sqrt(S)", 0, 3, 2, 5, 0, 5, 10, 6378137, 298.257222101, "测距中误差应大于0\r\n"},
      {"all three", 1, 0, 1, 0, 0, 0, 10, 6378137, 298.257222101,
       "至少一个未知点\r\n测角中误差应大于0\r\n测距中误差应大于0\r\n"},
      {"negative A", 0, 3, 0, 5, -1, 5, 10, 6378137, 298.257222101, "请输入一个介于 0 和 1000 之间的数。"},
      {"negative B", 0, 3, 0, 5, 5, -2, 10, 6378137, 298.257222101, "请输入一个介于 0 和 1000 之间的数。"},
      {"azimuth coefficient", 0, 3, 0, 5, 5, 5, 1001, 6378137, 298.257222101, "请输入一个介于 0 和 1000 之间的数。"},
      {"semi-major axis", 0, 3, 0, 5, 5, 5, 10, 6299999, 298.257222101,
       "请输入一个介于 6300000 和 7000000 之间的数。"},
      {"inverse flattening", 0, 3, 0, 5, 5, 5, 10, 6378137, 401, "请输入一个介于 200 和 400 之间的数。"},
  };
  for (const Case& c : cases) {
    SchemeValues v;
    v.m_nTraverseType = c.type;
    v.m_nDistErrorType = c.formula;
    v.m_dAngleRms = c.rms;
    v.m_dDistA = c.a;
    v.m_dDistB = c.b;
    v.m_dAzClosureCoef = c.az;
    v.m_dEllipA = c.ellipA;
    v.m_dEllipInvF = c.invF;
    CSchemeForm f(v, c.unknown);
    EXPECT_EQ(f.Validate(), c.message) << c.what;
  }
}

// What the dialog lets through, a job file keeps: a value the reader would replace
// (and name) at the next open is refused here instead.
TEST(SchemeFormTest, ValuesTheJobFileCannotKeepAreRefused) {
  struct Case {
    const char* what;
    void (*set)(SchemeValues&);
    const char* message;
  };
  const Case cases[] = {
      {"reduction surface above", [](SchemeValues& v) { v.m_dReduceHeight = 9000.5; },
       "请输入一个介于 -11000 和 9000 之间的数。"},
      {"reduction surface below", [](SchemeValues& v) { v.m_dReduceHeight = -11001; },
       "请输入一个介于 -11000 和 9000 之间的数。"},
      {"reduction surface at the edge", [](SchemeValues& v) { v.m_dReduceHeight = 9000; }, ""},
      {"relative closure 1/0", [](SchemeValues& v) { v.m_nRelClosureLimit = 0; }, "导线全长闭合差限差应大于0\r\n"},
      {"negative height limit", [](SchemeValues& v) { v.m_dHeightClosureCoef = -5; }, "高程闭合差限差不应小于0\r\n"},
      {"zero height limit", [](SchemeValues& v) { v.m_dHeightClosureCoef = 0; }, ""},
  };
  for (const Case& c : cases) {
    SchemeValues v;
    c.set(v);
    EXPECT_EQ(CSchemeForm(v, 3).Validate(), c.message) << c.what;
    // Whatever passes reads back from the file as it is.
    if (!*c.message) {
      SchemeValues back = v;
      back.Sanitize();
      EXPECT_EQ(back, v) << c.what;
    }
  }
}

TEST(SchemeFormTest, UnknownPointsAndRowCounts) {
  // Type 0 with 9 rows shows 5 unknown points; OK with 3 gives 7 rows.
  EXPECT_EQ(t::UnknownCountFromRows(0, 9), 5);
  EXPECT_EQ(t::RowsFromUnknownCount(0, 3, 9), 7);
  EXPECT_EQ(t::UnknownCountFromRows(1, 6), 4);
  EXPECT_EQ(t::RowsFromUnknownCount(1, 4, 6), 6);
  EXPECT_EQ(t::UnknownCountFromRows(0, 2), 0);
  EXPECT_EQ(t::UnknownCountFromRows(5, 0), 0);
  // A network keeps its rows, at least 3.
  EXPECT_EQ(t::RowsFromUnknownCount(3, 0, 12), 12);
  EXPECT_EQ(t::RowsFromUnknownCount(3, 9, 2), 3);
  EXPECT_EQ(t::RowsFromUnknownCount(4, 2, 0), 4);
  EXPECT_EQ(t::RowsFromUnknownCount(5, 1, 40), 3);
}

TEST(SchemeFormTest, SanitizeFoldsDamagedValues) {
  SchemeValues v;
  v.m_nTraverseType = 9;
  v.m_nEllipsoid = 7;
  v.m_bRigorous = 5;
  v.m_dAngleRms = -3;
  v.m_dDistA = -1;
  v.m_nRelClosureLimit = 0;
  v.m_dEllipA = 0;
  v.m_nClosureDistribution = -1;
  v.Sanitize();
  EXPECT_EQ(v, SchemeValues());
  SchemeValues ok;
  ok.m_nTraverseType = 5;
  ok.m_bRigorous = 0;  // levelling is adjusted approximately
  ok.m_nEllipsoid = 0;
  ok.m_dEllipA = 6378245;
  ok.m_dEllipInvF = 298.3;
  SchemeValues copy = ok;
  copy.Sanitize();
  EXPECT_EQ(copy, ok);
}
