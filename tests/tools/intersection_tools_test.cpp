// The intersection and resection tools: worked figures, points recovered from
// observations made up from a chosen truth, and failing rows that report while the
// other rows of the table still compute.
#include <gtest/gtest.h>

#include <cmath>

#include "tool_rows.h"

using toolstest::Azimuth;
using toolstest::DmsText;
using toolstest::Num;
using toolstest::ToolTable;

namespace {

struct Pt {
  double x, y;
};

double Fold(double a) {
  a = std::fmod(a, 2 * M_PI);
  return a < 0 ? a + 2 * M_PI : a;
}
double Az(Pt a, Pt b) { return Azimuth(a.x, a.y, b.x, b.y); }
double Dist(Pt a, Pt b) { return std::hypot(b.x - a.x, b.y - a.y); }
std::string XY(Pt p) { return Num(p.x) + "," + Num(p.y); }

// Figures of 10 m to 10 km: A, B and P on the left of A->B.
struct Figure {
  Pt a, b, p;
};
const Figure kFigures[] = {
    {{0, 0}, {10, 0}, {4, -6}},
    {{1000.5, 2000.25}, {1000.5, 2100.25}, {1060, 2050}},
    {{3456789.0, 512345.0}, {3457789.0, 512845.0}, {3457100.0, 511900.0}},
    {{3456789.0, 512345.0}, {3466789.0, 512345.0}, {3461000.0, 504000.0}},
};

void ExpectP(const ToolTable& t, int row, int col, Pt p, double tol) {
  EXPECT_NEAR(t.Number(row, col), p.x, tol) << "row " << row;
  EXPECT_NEAR(t.Number(row, col + 1), p.y, tol) << "row " << row;
  EXPECT_NE(t.Cell(row, col), "");
}

TEST(IntersectionTools, ForwardIntersection) {
  ToolTable t;
  t.view.m_nCoordDecimals = 6;
  std::vector<std::string> rows = {
      "0,0,45,100,0,45",   // (50, -50)
      "0,0,100,100,0,80",  // 180°
      "0,0,-60,100,0,30",  // meets behind A, at (-50, -86.6)
      "0,0,0,100,0,30",    // P would be B
      "0,0,45,0,0,45",     // A = B
      "0,0,45,100,0,",     // incomplete: skipped in silence
  };
  for (const Figure& f : kFigures) {
    const double alpha = Fold(Az(f.a, f.b) - Az(f.a, f.p)), beta = Fold(Az(f.b, f.p) - Az(f.b, f.a));
    rows.push_back(XY(f.a) + "," + DmsText(alpha) + "," + XY(f.b) + "," + DmsText(beta));
  }
  t.Compute("QFJH", rows);
  EXPECT_EQ(t.Message(),
            "第2行两角度之和大于等于180度，无法交会\n"
            "第3行两角度角度输入不合理，无法交会\n"
            "第4行两角度角度输入不合理，无法交会\n"
            "第5行A、B两点重合，无法交会\n");
  EXPECT_FALSE(t.view.m_bComputeOk);
  ExpectP(t, 1, 7, {50, -50}, 1e-9);
  for (int r = 2; r <= 6; ++r) EXPECT_EQ(t.Cell(r, 7), "") << r;
  for (int i = 0; i < 4; ++i) ExpectP(t, 7 + i, 7, kFigures[i].p, 2e-6);
}

// Both angles negative: the same figure mirrored in A->B, P on its right.
TEST(IntersectionTools, ForwardWithBothAnglesNegativeIsTheMirrorFigure) {
  struct Case {
    const char* row;
    const char* message;  // "" computes
    Pt p;
  };
  const Case cases[] = {
      {"0,0,-45,100,0,-45", "", {50, 50}},
      {"0,0,-30,100,0,-60", "", {75, 43.30127}},
      {"0,0,-100,100,0,-80", "第1行两角度之和大于等于180度，无法交会\n", {}},
      {"0,0,-45,100,0,45", "第1行两角度角度输入不合理，无法交会\n", {}},
      {"0,0,45,100,0,-45", "第1行两角度角度输入不合理，无法交会\n", {}},
      {"0,0,0,100,0,-30", "第1行两角度角度输入不合理，无法交会\n", {}},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.Compute("QFJH", {c.row});
    EXPECT_EQ(t.Message(), c.message) << c.row;
    if (*c.message) {
      EXPECT_EQ(t.Cell(1, 7), "") << c.row;
    } else {
      ExpectP(t, 1, 7, c.p, 1e-4);
    }
  }
}

// Two coinciding known points leave a resection without a solution: the row says
// so instead of giving one of them as P.
TEST(IntersectionTools, ResectionRefusesCoincidingKnownPoints) {
  const Pt a{100, 0}, b{0, 100}, c{-100, 0}, p{-50, -20};
  const std::string angles =
      DmsText(Fold(Az(p, a) - Az(p, b))) + "," + DmsText(Fold(Az(p, b) - Az(p, c)));
  ToolTable t;
  t.Compute("HFJH", {XY(a) + "," + XY(a) + "," + XY(c) + "," + angles,
                     XY(a) + "," + XY(b) + "," + XY(b) + "," + angles,
                     XY(c) + "," + XY(b) + "," + XY(c) + "," + angles,
                     XY(a) + "," + XY(b) + "," + XY(c) + "," + angles});
  EXPECT_EQ(t.Message(),
            "第1行A、B、C三点中有两点重合，无法交会\n"
            "第2行A、B、C三点中有两点重合，无法交会\n"
            "第3行A、B、C三点中有两点重合，无法交会\n");
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(t.Cell(r, 9), "") << r;
  ExpectP(t, 4, 9, p, 1e-4);
}

TEST(IntersectionTools, SideIntersection) {
  ToolTable t;
  t.view.m_nCoordDecimals = 6;
  std::vector<std::string> rows = {
      "0,0,45,100,0,,90",   // (50, -50) from 角A
      "0,0,,100,0,45,90",   // the same from 角B
      "0,0,45,100,0,,150",  // derived angle -15°
      "0,0,45,100,0,45,90", // both typed
      "0,0,,100,0,,90",     // neither
      "0,0,45,100,0,,",     // no 角P
      "0,0,0,100,0,,90",    // 角A of 0: P would be on the base
      "0,0,45,100,0,,0",    // 角P of 0: the rays are parallel
  };
  for (const Figure& f : kFigures) {
    const double alpha = Fold(Az(f.a, f.b) - Az(f.a, f.p));
    const double gamma = Fold(Az(f.p, f.a) - Az(f.p, f.b));
    rows.push_back(XY(f.a) + "," + DmsText(alpha) + "," + XY(f.b) + ",," + DmsText(gamma));
  }
  t.Compute("CFJH", rows);
  EXPECT_EQ(t.Message(),
            "第3行度角度输入不合理\n"
            "第4行角A与角B不应同时输入\n"
            "第5行角A与角B不应同时为空\n"
            "第6行A、B两点坐标及角P必须输入\n"
            "第7行度角度输入不合理\n"
            "第8行两角度角度输入不合理，无法交会\n");
  ExpectP(t, 1, 8, {50, -50}, 1e-9);
  ExpectP(t, 2, 8, {50, -50}, 1e-9);
  for (int r = 3; r <= 8; ++r) EXPECT_EQ(t.Cell(r, 8), "") << r;
  for (int i = 0; i < 4; ++i) ExpectP(t, 9 + i, 8, kFigures[i].p, 2e-6);
}

TEST(IntersectionTools, AzimuthIntersection) {
  ToolTable t;
  t.view.m_nCoordDecimals = 6;
  std::vector<std::string> rows = {
      "0,0,315,100,0,225",   // (50, -50)
      "0,0,135,100,0,45",    // meets behind both stations
      "0,0,-45,100,0,225",   // -45° is 315°
      "0,0,10,0,0,20",       // A = B
      "0,0,10,100,0,10",     // parallel
  };
  for (const Figure& f : kFigures)
    rows.push_back(XY(f.a) + "," + DmsText(Az(f.a, f.p)) + "," + XY(f.b) + "," + DmsText(Az(f.b, f.p)));
  t.Compute("FWJH", rows);
  EXPECT_EQ(t.Message(),
            "第2行两方位无法交会，交点可能在反向延长线上\n"
            "第4行两方位无法交会，交点可能在反向延长线上\n"
            "第5行两方位无法交会，交点可能在反向延长线上\n");
  ExpectP(t, 1, 7, {50, -50}, 1e-9);
  ExpectP(t, 3, 7, {50, -50}, 1e-9);
  EXPECT_EQ(t.Cell(2, 7), "");
  for (int i = 0; i < 4; ++i) ExpectP(t, 6 + i, 7, kFigures[i].p, 2e-6);
}

TEST(IntersectionTools, DistanceIntersection) {
  ToolTable t;
  std::vector<std::string> rows = {"0,0,70.7107,100,0,70.7107", "0,0,40,100,0,40", "5,5,3,5,5,3"};
  for (const Figure& f : kFigures)
    rows.push_back(XY(f.a) + "," + Num(Dist(f.a, f.p)) + "," + XY(f.b) + "," + Num(Dist(f.b, f.p)));
  t.view.m_nCoordDecimals = 6;
  t.Compute("BCHJH", rows);
  EXPECT_EQ(t.Message(), "第2行两边长无法相交，可能边长太短\n第3行两边长无法相交，可能边长太短\n");
  ExpectP(t, 1, 7, {50, -50}, 1e-4);
  for (int i = 0; i < 4; ++i) ExpectP(t, 4 + i, 7, kFigures[i].p, 2e-5);
}

TEST(IntersectionTools, ResectionAndItsDangerCircle) {
  struct Fig {
    Pt a, b, c, p;
  } figs[] = {
      {{5000, 1000}, {6000, 4000}, {3000, 6000}, {-3000, 2000}},
      {{50, 10}, {60, 40}, {30, 60}, {90, 40}},
      {{3460000, 511000}, {3461000, 514000}, {3458000, 516000}, {3452000, 512000}},
  };
  std::vector<std::string> rows;
  for (const Fig& f : figs) {
    const double alpha = Fold(Az(f.p, f.a) - Az(f.p, f.b)), beta = Fold(Az(f.p, f.b) - Az(f.p, f.c));
    rows.push_back(XY(f.a) + "," + XY(f.b) + "," + XY(f.c) + "," + DmsText(alpha) + "," + DmsText(beta));
  }
  // P on the circle through A, B and C (centre 0, radius 100), and just inside it.
  const Pt a{100, 0}, b{0, 100}, c{-100, 0};
  for (double radius : {100.0, 95.0}) {
    const Pt p{0, -radius};
    const double alpha = Fold(Az(p, a) - Az(p, b)), beta = Fold(Az(p, b) - Az(p, c));
    rows.push_back(XY(a) + "," + XY(b) + "," + XY(c) + "," + DmsText(alpha) + "," + DmsText(beta));
  }
  ToolTable t;
  t.view.m_nCoordDecimals = 6;
  t.Compute("HFJH", rows);
  EXPECT_EQ(t.Message(), "第4行中四点位于危险圆附近，不进行计算\n第5行中四点位于危险圆附近，不进行计算\n");
  for (int i = 0; i < 3; ++i) ExpectP(t, i + 1, 9, figs[i].p, 2e-5);
  EXPECT_EQ(t.Cell(4, 9), "");
  EXPECT_EQ(t.Cell(5, 9), "");
}

// Misclosure of the edge-and-angle figure, from the law of cosines: once turned
// onto A->B, B1 lies on that line at the length of the side opposite gamma.
double Misclosure(double g, double sA, double sB, double gamma) {
  return std::fabs(g - std::sqrt(sA * sA + sB * sB - 2 * sA * sB * std::cos(gamma)));
}

TEST(IntersectionTools, EdgeAngleResection) {
  std::vector<std::string> rows = {
      "0,0,70.7107,100,0,70.7107,90",  // (50, -50)
      "0,0,70.7107,100,0,80,90",       // misclosure far over 1/2000
      "0,0,0,100,0,0,90",              // zero distances
      "0,0,50,0,0,50,90",              // A = B
  };
  for (const Figure& f : kFigures) {
    const double gamma = Fold(Az(f.p, f.a) - Az(f.p, f.b));
    rows.push_back(XY(f.a) + "," + Num(Dist(f.a, f.p)) + "," + XY(f.b) + "," + Num(Dist(f.b, f.p)) + "," +
                   DmsText(gamma));
  }
  // The 1/2000 limit from both sides: lengthen sB until the misclosure is just
  // under and just over 0.0005 (sA + sB).
  const Figure& f = kFigures[2];
  const double g = Dist(f.a, f.b), sA = Dist(f.a, f.p), sB = Dist(f.b, f.p);
  const double gamma = Fold(Az(f.p, f.a) - Az(f.p, f.b));
  double lo = 0, hi = 50;  // extra length of sB
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    (Misclosure(g, sA, sB + mid, gamma) / (sA + sB + mid) > 0.0005 ? hi : lo) = mid;
  }
  for (double extra : {lo * 0.999, hi * 1.001})
    rows.push_back(XY(f.a) + "," + Num(sA) + "," + XY(f.b) + "," + Num(sB + extra) + "," + DmsText(gamma));

  ToolTable t;
  t.view.m_nCoordDecimals = 6;
  t.Compute("BJHFJH", rows);
  EXPECT_EQ(t.Message(),
            "第3行AP、BP距离应大于0，且A、B两点不能重合\n"
            "第4行AP、BP距离应大于0，且A、B两点不能重合\n");
  ExpectP(t, 1, 8, {50, -50}, 1e-4);
  EXPECT_EQ(t.Cell(2, 8), "超限");
  EXPECT_EQ(t.Cell(2, 9), "");
  EXPECT_EQ(t.Cell(3, 8), "");
  for (int i = 0; i < 4; ++i) ExpectP(t, 5 + i, 8, kFigures[i].p, 2e-6);
  EXPECT_NE(t.Cell(9, 8), "超限");
  EXPECT_NE(t.Cell(9, 9), "");
  EXPECT_EQ(t.Cell(10, 8), "超限");

  // Over the limit alone is no failure.
  t.Compute("BJHFJH", {"0,0,70.7107,100,0,80,90"});
  EXPECT_EQ(t.Message(), "");
  EXPECT_TRUE(t.view.m_bComputeOk);
  EXPECT_EQ(t.feed.Count(drawing::FeedOp::AddControlPoint), 0);
}

TEST(IntersectionTools, DrawingOfEachFigure) {
  struct Case {
    std::string code, row, transcript;
  } cases[] = {
      {"QFJH", "0,0,45,100,0,45",
       "AddControlPoint A1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint B1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint P1 0 50.000 -50.000 0.000 -1.000 -1.000 -1.000\n"
       "AddLine 前方交会 0.000 0.000 100.000 0.000\n"
       "AddLine 前方交会 0.000 0.000 50.000 -50.000\n"
       "AddLine 前方交会 100.000 0.000 50.000 -50.000\n"},
      {"CFJH", "0,0,,100,0,45,90",
       "AddControlPoint A1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint B1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint P1 0 50.000 -50.000 0.000 -1.000 -1.000 -1.000\n"
       "AddLine 侧方交会 0.000 0.000 100.000 0.000\n"
       "AddLine 侧方交会 0.000 0.000 50.000 -50.000\n"
       "AddLine 侧方交会 100.000 0.000 50.000 -50.000\n"},
      {"FWJH", "0,0,315,100,0,225",
       "AddControlPoint A1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint B1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint P1 0 50.000 -50.000 0.000 -1.000 -1.000 -1.000\n"
       "AddLine 方位交会 0.000 0.000 100.000 0.000\n"
       "AddLine 方位交会 0.000 0.000 50.000 -50.000\n"
       "AddLine 方位交会 100.000 0.000 50.000 -50.000\n"},
      {"BCHJH", "0,0,70.7106781187,100,0,70.7106781187",
       "AddControlPoint A1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint B1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint P1 0 50.000 -50.000 0.000 -1.000 -1.000 -1.000\n"
       "AddLine 边长交会 0.000 0.000 100.000 0.000\n"
       "AddLine 边长交会 0.000 0.000 50.000 -50.000\n"
       "AddLine 边长交会 100.000 0.000 50.000 -50.000\n"},
      {"HFJH",
       "100,0,0,100,-100,0," + DmsText(Fold(Az({-50, -20}, {100, 0}) - Az({-50, -20}, {0, 100}))) + "," +
           DmsText(Fold(Az({-50, -20}, {0, 100}) - Az({-50, -20}, {-100, 0}))),
       "AddControlPoint A1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint B1 1 0.000 100.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint C1 1 -100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint P1 0 -50.000 -20.000 0.000 -1.000 -1.000 -1.000\n"
       "AddLine 后方交会 100.000 0.000 -50.000 -20.000\n"
       "AddLine 后方交会 0.000 100.000 -50.000 -20.000\n"
       "AddLine 后方交会 -100.000 0.000 -50.000 -20.000\n"},
      {"BJHFJH", "0,0,70.7106781187,100,0,70.7106781187,90",
       "AddControlPoint A1 1 0.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint B1 1 100.000 0.000 0.000 -1.000 -1.000 -1.000\n"
       "AddControlPoint P1 0 50.000 -50.000 0.000 -1.000 -1.000 -1.000\n"
       "AddLine 边角后方交会 0.000 0.000 50.000 -50.000\n"
       "AddLine 边角后方交会 100.000 0.000 50.000 -50.000\n"},
  };
  for (const Case& c : cases) {
    ToolTable t;
    t.Compute(c.code, {c.row});
    EXPECT_EQ(t.Drawing(), "BeginDrawing 0\n" + c.transcript) << c.code;
  }
}

}  // namespace
