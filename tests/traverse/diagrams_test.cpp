// The traverse diagrams against a closed traverse made from chosen coordinates:
// the forward and backward lines both close on the truth; a 60″ blunder at one
// station makes them meet there and part at its neighbours; every message of the
// error search from a table of inputs; the traverse diagram's legs and ellipses
// and the point plot's values.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "drawing/recording_feed.h"
#include "platform/fake_ports.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_diagrams.h"
#include "survey/angle.h"
#include "survey/geometry.h"
#include "traverse/engine/dx_diagrams.h"

namespace {

using drawing::FeedOp;
using drawing::RecordingFeed;
using traverse::DiagramRow;

struct Pt {
  const char* name;
  double x, y;
};

double Az(const Pt& a, const Pt& b) {
  double az = 0, d = 0;
  survey::InverseProblem(a.x, a.y, b.x, b.y, &az, &d);
  return az;
}
double Dist(const Pt& a, const Pt& b) { return std::hypot(b.x - a.x, b.y - a.y); }

// A, B, P1, P2, P3, B, A: coordinates typed on the first two rows only, left
// angles and sides made from the truth; `blunder` seconds added at row `at`.
std::vector<DiagramRow> Closed(double blunder = 0, int at = -1) {
  const Pt A{"A", 5000.0, 3000.0}, B{"B", 5100.0, 3150.0}, P1{"P1", 5180.2, 3290.7}, P2{"P2", 5050.4, 3400.1},
      P3{"P3", 4930.6, 3260.9};
  const Pt seq[7] = {A, B, P1, P2, P3, B, A};
  std::vector<DiagramRow> rows(7);
  for (int i = 0; i < 7; ++i) {
    rows[i].name = seq[i].name;
    if (i >= 1 && i <= 5) {
      double ang = Az(seq[i], seq[i + 1]) - Az(seq[i - 1], seq[i]) + survey::kPi;
      ang = std::fmod(ang + 4 * survey::kPi, 2 * survey::kPi);
      if (i == at) ang += blunder / survey::kSecPerRad;
      rows[i].angleText = survey::AngleToText(ang, true, 4, false);
    }
    if (i >= 1 && i <= 4) rows[i].distanceText = std::to_string(Dist(seq[i], seq[i + 1]));
  }
  rows[0].xText = "5000.0";
  rows[0].yText = "3000.0";
  rows[1].xText = "5100.0";
  rows[1].yText = "3150.0";
  return rows;
}

std::map<std::string, std::pair<double, double>> Points(const RecordingFeed& feed) {
  std::map<std::string, std::pair<double, double>> m;
  for (const auto& c : feed.Of(FeedOp::AddControlPoint)) m[c.s[0]] = {c.d[0], c.d[1]};
  return m;
}

double Apart(const std::pair<double, double>& a, const std::pair<double, double>& b) {
  return std::hypot(a.first - b.first, a.second - b.second);
}

TEST(ErrorSearchDiagram, BothLinesCloseOnTheTruth) {
  RecordingFeed feed;
  traverse::DrawErrorSearchDiagram(Closed(), 0, feed);
  EXPECT_EQ(feed.message, "");
  EXPECT_EQ(feed.mode, 0);
  const auto pts = Points(feed);
  // Z = B and Q = A by name; "往" ends with the recomputed A', "返" with A".
  ASSERT_TRUE(pts.count("A'") && pts.count("A\""));
  EXPECT_LT(Apart(pts.at("A'"), {5000.0, 3000.0}), 1e-6);
  EXPECT_LT(Apart(pts.at("A\""), {5000.0, 3000.0}), 1e-6);
  EXPECT_LT(Apart(pts.at("P2'"), pts.at("P2\"")), 1e-6);
  const auto layers = feed.Of(FeedOp::BeginPolyline);
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_EQ(layers[0].s[0], "往");
  EXPECT_EQ(layers[1].s[0], "返");
  const auto look = feed.Of(FeedOp::SetLayer);
  ASSERT_EQ(look.size(), 1u);
  EXPECT_EQ(look[0].Text(), "SetLayer 返 -1 1 1 1");
  // "返" starts at Q (A) and Z (B), both known.
  const auto vertices = feed.Of(FeedOp::AddPolylineVertex);
  ASSERT_EQ(vertices.size(), 7u + 7u);
  EXPECT_EQ(vertices[7].d[0], 5000.0);
  EXPECT_EQ(vertices[8].d[0], 5100.0);
  EXPECT_EQ(feed.Count(FeedOp::Redraw), 1);
}

TEST(ErrorSearchDiagram, ABlunderShowsWhereTheLinesMeet) {
  RecordingFeed feed;
  traverse::DrawErrorSearchDiagram(Closed(60, 3), 0, feed);  // 60″ at P2
  const auto pts = Points(feed);
  EXPECT_LT(Apart(pts.at("P2'"), pts.at("P2\"")), 1e-3);
  EXPECT_GT(Apart(pts.at("P1'"), pts.at("P1\"")), 0.02);
  EXPECT_GT(Apart(pts.at("P3'"), pts.at("P3\"")), 0.02);
  EXPECT_LT(Apart(pts.at("P1'"), pts.at("P1\"")), 0.2);
}

TEST(ErrorSearchDiagram, QComputedFromBWhenTheLastRowRepeatsTheFirstUnknown) {
  auto rows = Closed();
  rows[6].name = "P1";  // A, B, P1, P2, P3, B, P1: the closing angle at B now looks to P1
  const Pt P3{"P3", 4930.6, 3260.9}, B{"B", 5100.0, 3150.0}, P1{"P1", 5180.2, 3290.7};
  rows[5].angleText = survey::AngleToText(
      std::fmod(Az(B, P1) - Az(P3, B) + 5 * survey::kPi, 2 * survey::kPi), true, 4, false);
  RecordingFeed feed;
  traverse::DrawErrorSearchDiagram(rows, 0, feed);
  EXPECT_EQ(feed.message, "");
  const auto cps = feed.Of(FeedOp::AddControlPoint);
  bool unknownQ = false;
  for (const auto& c : cps) unknownQ |= c.s[0] == "P1" && c.i[0] == 0;
  EXPECT_TRUE(unknownQ) << "Q drawn as an unknown point";
  const auto pts = Points(feed);
  EXPECT_LT(Apart(pts.at("P1'"), {5180.2, 3290.7}), 1e-6);
}

TEST(ErrorSearchDiagram, Messages) {
  struct Case {
    const char* what;
    std::function<void(std::vector<DiagramRow>&, int&)> change;
    const char* message;
  } cases[] = {
      {"open traverse", [](auto&, int& type) { type = 1; }, "仅适应于闭附合导线!"},
      {"four rows", [](auto& r, int&) { r.resize(4); }, "数据输入太少!"},
      {"first point", [](auto& r, int&) { r[0].yText = ""; }, "第一点应输入坐标!"},
      {"second point", [](auto& r, int&) { r[1].xText = r[1].yText = ""; }, "第二点应输入坐标!"},
      {"end point unknown", [](auto& r, int&) { r[5].name = "Z"; }, "导线终点(倒数第二点)应输入坐标!"},
      {"end point half", [](auto& r, int&) { r[5].xText = "5100"; }, "导线终点(倒数第二点)坐标应输入完整!"},
      {"last point unknown", [](auto& r, int&) { r[6].name = "Q"; }, "最后一点应输入坐标!"},
      {"last point half", [](auto& r, int&) { r[6].yText = "3000"; }, "最后一点坐标应输入完整!"},
      {"angle", [](auto& r, int&) { r[3].angleText = " "; }, "P2点处角度没有输入!"},
      {"side", [](auto& r, int&) { r[2].distanceText = ""; }, "P1-P2边长没有输入!"},
  };
  for (const Case& c : cases) {
    auto rows = Closed();
    int type = 0;
    c.change(rows, type);
    RecordingFeed feed;
    traverse::DrawErrorSearchDiagram(rows, type, feed);
    EXPECT_EQ(feed.message, c.message) << c.what;
    EXPECT_EQ(feed.calls.front().op, FeedOp::BeginDrawing) << c.what;
  }
  // Five rows is the smallest input that draws.
  std::vector<DiagramRow> five = Closed();
  five.erase(five.begin() + 3, five.begin() + 5);  // A, B, P1, B, A
  five[2].distanceText = "100";
  RecordingFeed feed;
  traverse::DrawErrorSearchDiagram(five, 0, feed);
  EXPECT_EQ(feed.message, "");
}

std::vector<DiagramRow> Computed() {
  std::vector<DiagramRow> rows(4);
  const char* names[4] = {"A", "B", "P1", "H9"};
  for (int i = 0; i < 4; ++i) {
    rows[i].name = names[i];
    rows[i].x = 100 + i;
    rows[i].y = 200 + 2 * i;
  }
  rows[0].plane = rows[1].plane = rows[2].plane = true;
  rows[0].knownPlane = rows[1].knownPlane = true;
  rows[1].angleText = "90 0 0";
  rows[2].angleText = "180 0 0";
  rows[0].distanceText = rows[1].distanceText = rows[2].distanceText = "10";
  rows[2].hasEllipse = true;
  rows[2].ellipseA = 12;
  rows[2].ellipseB = 6;
  rows[2].ellipseF = 0.3;
  rows[1].height = true;
  rows[1].h = 45.678;
  return rows;  // H9: a height-only end row
}

TEST(TraverseDiagram, LegsEllipsesAndAHeightOnlyEnd) {
  RecordingFeed feed;
  traverse::DrawTraverseDiagram(Computed(), true, feed);
  EXPECT_EQ(feed.mode, 0);
  std::vector<std::string> lines;
  for (const auto& c : feed.Of(FeedOp::AddLine)) lines.push_back(c.Text());
  const std::vector<std::string> expected = {
      "AddLine 边长 100.000 200.000 101.000 202.000",
      "AddLine 角度 101.000 202.000 102.000 204.000",  // B and P1 both have angles
      "AddLine 角度 101.000 202.000 100.500 201.000",  // A has none: half legs to it
      "AddLine 角度 100.500 201.000 100.000 200.000",
      "AddLine 边长 101.000 202.000 102.000 204.000",
  };
  EXPECT_EQ(lines, expected) << "no leg from P1 to the height-only row H9";
  const auto cps = feed.Of(FeedOp::AddControlPoint);
  ASSERT_EQ(cps.size(), 3u);
  EXPECT_EQ(cps[0].Text(), "AddControlPoint A 1 100.000 200.000 0.000 -1.000 -1.000 -1.000");
  EXPECT_EQ(cps[2].Text(), "AddControlPoint P1 0 102.000 204.000 0.000 12.000 6.000 0.300");
  RecordingFeed approx;
  traverse::DrawTraverseDiagram(Computed(), false, approx);
  EXPECT_EQ(approx.Of(FeedOp::AddControlPoint)[2].d[3], -1.0) << "no ellipse without the rigorous adjustment";
}

TEST(PointPlot, ValuesOnlyForPointsWithAHeight) {
  RecordingFeed feed;
  traverse::DrawPointPlot(Computed(), feed);
  EXPECT_EQ(feed.mode, 1);
  const auto cps = feed.Of(FeedOp::AddControlPoint);
  ASSERT_EQ(cps.size(), 3u);  // H9 has no plane point
  EXPECT_TRUE(std::isnan(cps[0].d[2]));
  EXPECT_DOUBLE_EQ(cps[1].d[2], 45.678);
  EXPECT_EQ(cps[1].i[0], 1);
  // A levelling job: nothing to plot.
  std::vector<DiagramRow> levelling(3);
  RecordingFeed empty;
  traverse::DrawPointPlot(levelling, empty);
  traverse::DrawTraverseDiagram(levelling, false, empty);
  EXPECT_EQ(empty.Count(FeedOp::AddControlPoint), 0);
}

}  // namespace

// The sample jobs through the view: read as the document does, computed, drawn.

namespace {

bool LoadExample(const std::string& file, CDxView& view) {
  const std::string here = __FILE__;
  auto bytes = platform::ReadFileBytes(here.substr(0, here.rfind("/tests/")) + "/examples/" + file);
  if (!bytes) return false;
  std::vector<std::string> lines = platform::SplitGbkLines(*bytes);
  traverse::TraverseSectionData d;
  std::size_t pos = 3;
  traverse::ReadTraverseSectionLines(lines, pos, 520, d);
  view.ResetScheme();
  view.ApplySectionData(d);
  return true;
}

TEST(ViewDiagrams, SampleJobsDrawFromTheView) {
  platform::FakeMessagePort messages;
  CDxView net;
  ASSERT_TRUE(LoadExample("network.qvt", net));
  RecordingFeed feed;
  traverse::DrawTraverseDiagram(net, feed);  // not computed yet: computes, draws nothing
  EXPECT_EQ(feed.Count(FeedOp::AddControlPoint), 0);
  ASSERT_EQ(net.Compute(), 1);
  feed.calls.clear();
  traverse::DrawTraverseDiagram(net, feed);
  int ellipses = 0, known = 0;
  for (const auto& c : feed.Of(FeedOp::AddControlPoint)) {
    if (c.i[0] == 1) ++known;
    else if (c.d[3] > 0) ++ellipses;
  }
  EXPECT_GT(known, 0);
  EXPECT_GT(ellipses, 0) << "unknown points of a network carry their ellipses";

  CDxView closed;
  ASSERT_TRUE(LoadExample("closed-traverse.qvt", closed));
  closed.Compute();
  RecordingFeed search;
  traverse::DrawErrorSearchDiagram(closed, search);
  EXPECT_EQ(search.message, "");
  EXPECT_EQ(search.Count(FeedOp::BeginPolyline), 2);
  RecordingFeed plot;
  traverse::DrawPointPlot(closed, plot);
  EXPECT_EQ(plot.mode, 1);
  EXPECT_GT(plot.Count(FeedOp::AddControlPoint), 3);
}

}  // namespace

// A side typed on the input table after the computation, with the input table still
// shown: every diagram must draw the edited job, not the rows computed before.

namespace {

using DrawFromView = void (*)(CDxView&, drawing::IDrawFeed&);

// Loads the closed traverse, shows its input table and, when asked, computes it;
// then the side of the third row becomes 0.5 m longer on the grid.
void EditedClosedTraverse(CDxView& view, bool computeFirst) {
  ASSERT_TRUE(LoadExample("closed-traverse.qvt", view));
  view.ShowTable("SHUJUSHURU");
  if (computeFirst) {
    view.OnCompute();
    ASSERT_EQ(view.m_bComputed, 1);
  }
  const int col = view.InputColumnOf(&CDxView::CUnit::distanceText);
  ASSERT_GT(col, 0);
  const std::string side = view.CellText(3, col);
  ASSERT_FALSE(side.empty());
  view.SetCellText(3, col, platform::FormatFixed(platform::ParseDouble(side) + 0.5, 3));
}

std::vector<std::string> DrawnPoints(const RecordingFeed& feed) {
  std::vector<std::string> out;
  for (const auto& c : feed.Of(FeedOp::AddControlPoint)) out.push_back(c.Text());
  return out;
}

TEST(ViewDiagrams, AnEditOnTheInputTableIsDrawnNotTheOldRows) {
  struct Case {
    const char* diagram;
    DrawFromView draw;
  };
  const Case cases[] = {
      {"平面查错图形", traverse::DrawErrorSearchDiagram},
      {"导线图", traverse::DrawTraverseDiagram},
      {"展点图", traverse::DrawPointPlot},
  };
  platform::FakeMessagePort messages;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.diagram);
    CDxView edited;
    EditedClosedTraverse(edited, true);
    RecordingFeed feed;
    c.draw(edited, feed);
    // A diagram that needs the results computes instead of drawing; the tree then
    // selects it again and it draws.
    if (feed.Count(FeedOp::AddControlPoint) == 0) {
      feed.calls.clear();
      c.draw(edited, feed);
    }

    CDxView fresh;
    EditedClosedTraverse(fresh, false);
    fresh.OnCompute();
    ASSERT_EQ(fresh.m_bComputed, 1);
    RecordingFeed expected;
    c.draw(fresh, expected);
    ASSERT_GT(expected.Count(FeedOp::AddControlPoint), 0);
    EXPECT_EQ(DrawnPoints(feed), DrawnPoints(expected));
  }
}

}  // namespace
