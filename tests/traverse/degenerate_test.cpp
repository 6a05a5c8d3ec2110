// Traverses that cannot describe real points (a side of no length, a point next
// to itself, a name met twice along an open route) are refused naming their rows;
// the degenerate figures the approximate adjustment handles on purpose compute.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

using Cells = std::vector<std::vector<std::string>>;
enum { kName = 0, kAngle, kSide, kDh, kWeight, kX, kY, kH };

Cells ConnectingCells() { return synth::ChainRows(synth::Connecting(synth::SampleConnecting())); }
// A B P1 P2 P3 P4: A and B known.
Cells OpenCells() {
  auto pts = synth::SampleConnecting();
  pts.resize(6);
  return synth::ChainRows(synth::Open(pts));
}
// K1 known; T1, T2, T3 observed; K2 known and observed.
Cells CoordCells() {
  return {{"K1", "", "", "", "", "3371000.000", "501000.000", "50.000", ""},
          {"T1", "3371120.500", "501210.250", "51.200", "", "", "", "", ""},
          {"T2", "3371300.125", "501330.000", "49.750", "", "", "", "", ""},
          {"T3", "3371380.000", "501590.800", "52.300", "", "", "", "", ""},
          {"K2", "3371555.760", "501700.404", "53.003", "", "3371555.750", "501700.400", "53.000", ""}};
}
Cells LevellingCells() {
  return {{"BM1", "1.500", "", "", "100.000", ""},
          {"TP1", "1.200", "", "0.800", "", ""},
          {"TP2", "1.100", "", "0.900", "", ""},
          {"BM2", "", "", "0.600", "100.498", ""}};
}

Cells With(Cells c, std::size_t row, int col, const std::string& text) {
  c[row][static_cast<std::size_t>(col)] = text;
  return c;
}

struct Case {
  const char* what;
  int type;
  int rigorous;
  std::function<Cells()> cells;
  const char* message;  // nullptr: computes without a message
};

const Case kCases[] = {
    {"open traverse, side of 0", 2, 0, [] { return With(OpenCells(), 2, kSide, "0"); },
     "第3点(P1)-第4点(P2)的边长必须大于0"},
    {"open traverse, negative side", 2, 0, [] { return With(OpenCells(), 3, kSide, "-190.5"); },
     "第4点(P2)-第5点(P3)的边长必须大于0"},
    {"connecting traverse, negative side", 0, 0, [] { return With(ConnectingCells(), 3, kSide, "-305.2"); },
     "第4点(P2)-第5点(P3)的边长必须大于0"},
    {"network, negative side", 3, 1, [] { return With(ConnectingCells(), 2, kSide, "-300"); },
     "第3点(P1)-第4点(P2)的边长必须大于0"},
    {"open traverse, a point next to itself", 2, 0, [] { return With(OpenCells(), 3, kName, "P1"); },
     "第3点(P1)与第4点(P1)同名，相邻两点不应为同一点"},
    {"open traverse, a name met again", 2, 0, [] { return With(OpenCells(), 4, kName, "P1"); },
     "支导线第5点(P1)不能与前面的点同名"},
    {"open traverse back on its orientation point", 2, 0, [] { return With(OpenCells(), 5, kName, "A"); },
     "支导线第6点(A)不能与前面的点同名"},
    {"open height route, a point next to itself", 2, 0,
     [] {
       Cells c = OpenCells();
       for (auto& r : c) r[kAngle] = r[kSide] = r[kX] = r[kY] = "";
       return With(c, 3, kName, "P1");
     },
     "第3点(P1)与第4点(P1)同名，相邻两点不应为同一点"},
    {"network, height difference from a point to itself", 3, 1,
     [] {
       Cells c = ConnectingCells();
       for (auto& r : c) r[kAngle] = r[kSide] = r[kX] = r[kY] = "";
       return With(c, 3, kName, "P1");
     },
     "第3点(P1)与第4点(P1)同名，相邻两点不应为同一点"},
    {"coordinate traverse, a point next to itself", 4, 0, [] { return With(CoordCells(), 2, kName, "T1"); },
     "第2点(T1)与第3点(T1)同名，相邻两点不应为同一点"},
    {"coordinate traverse, a name met again", 4, 0, [] { return With(CoordCells(), 3, kName, "T1"); },
     "坐标导线第4点(T1)不能与前面的点同名"},
    {"coordinate traverse, a leg of no length", 4, 0,
     [] {
       Cells c = CoordCells();
       c[2][1] = c[1][1];
       c[2][2] = c[1][2];
       return c;
     },
     "第2点(T1)-第3点(T2)的坐标重合，边长为0，无法计算"},
    {"coordinate traverse, first leg of no length", 4, 0,
     [] {
       Cells c = CoordCells();
       c[1][1] = c[0][kX];
       c[1][2] = c[0][kY];
       return c;
     },
     "第1点(K1)-第2点(T1)的坐标重合，边长为0，无法计算"},
    {"levelling, a point next to itself", 5, 0, [] { return With(LevellingCells(), 2, kName, "TP1"); },
     "第2点(TP1)与第3点(TP1)同名，相邻两点不应为同一点"},
    // What stays computable on purpose.
    {"coordinate traverse closing on its start", 4, 0,
     [] {
       Cells c = CoordCells();
       c[4] = {"K1", "3371000.004", "501000.003", "50.002", "", "", "", "", ""};
       return c;
     },
     nullptr},
    {"levelling through a known point twice", 5, 0,
     [] {
       Cells c = LevellingCells();
       c[3] = {"BM1", "", "", "0.500", "100.000", ""};
       return c;
     },
     nullptr},
    {"connecting traverse, a side of 0 distributed nothing", 0, 0, [] { return With(ConnectingCells(), 3, kSide, "0"); },
     nullptr},
};

class DegenerateTest : public ::testing::TestWithParam<Case> {};

TEST_P(DegenerateTest, RefusedNamingTheRowsOrComputed) {
  const Case& c = GetParam();
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_bRigorous = c.rigorous;
  view.m_nTraverseType = c.type;
  view.SetInputRows(c.cells());
  const int done = view.Compute();
  if (c.message) {
    EXPECT_EQ(done, 0);
    ASSERT_EQ(port.Messages().size(), 1u);
    EXPECT_EQ(port.Messages()[0], c.message);
  } else {
    EXPECT_EQ(done, 1) << (port.Messages().empty() ? "" : port.Messages()[0]);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DegenerateTest, ::testing::ValuesIn(kCases));

// A network whose lines meet at a repeated row, no observation joining the two,
// is one point written twice, not a degenerate figure.
TEST(DegenerateTest, NetworkLinesMayMeetAtARepeatedRow) {
  Cells c = ConnectingCells();
  for (auto& r : c) r[kDh] = r[kWeight] = r[kH] = "";
  // ... A B P1 P2 | P2 P3 P4 C D: the P2 row ends the first line without a side.
  Cells split(c.begin(), c.begin() + 4);
  split.back()[kSide] = "";
  split.back()[kAngle] = "";
  Cells second(c.begin() + 3, c.end());
  second.front()[kAngle] = "";
  split.insert(split.end(), second.begin(), second.end());
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.m_nTraverseType = 3;
  view.SetInputRows(split);
  view.Compute();
  for (const auto& m : port.Messages()) EXPECT_EQ(m.find("同名"), std::string::npos) << m;
}

}  // namespace
