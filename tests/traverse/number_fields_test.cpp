// Text that is not a number, in any field a computation reads, stops the
// computation with one message naming the row, the point and the field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "tests/traverse/synthetic.h"
#include "traverse/view/dx_view.h"

namespace {

using Cells = std::vector<std::vector<std::string>>;

Cells ConnectingCells() { return synth::ChainRows(synth::Connecting(synth::SampleConnecting())); }

// Coordinate traverse: K1 known, T1 observed, K2 known and observed.
Cells CoordCells() {
  return {{"K1", "", "", "", "", "3371000.000", "501000.000", "50.000", ""},
          {"T1", "3371120.500", "501210.250", "51.200", "", "", "", "", ""},
          {"K2", "3371300.130", "501330.004", "49.752", "", "3371300.125", "501330.000", "49.750", ""}};
}

// Single-run levelling: BM1 known, TP1 turning point, P intermediate sight, BM2 known.
Cells LevellingCells() {
  return {{"BM1", "1.500", "", "", "100.000", ""},
          {"TP1", "1.200", "", "0.800", "", ""},
          {"P", "", "1.000", "", "", ""},
          {"BM2", "", "", "0.600", "101.298", ""}};
}

struct Field {
  const char* label;  // as the message names it
  int type;
  Cells (*cells)();
  std::size_t row;  // 0-based grid row
  std::size_t col;  // 0-based grid column
};

// Every field a computation reads, in a job that computes as it stands.
const Field kFields[] = {
    {"X坐标", 0, ConnectingCells, 0, 5},
    {"Y坐标", 0, ConnectingCells, 1, 6},
    {"高程", 0, ConnectingCells, 1, 7},
    {"角度", 0, ConnectingCells, 2, 1},
    {"边长", 0, ConnectingCells, 2, 2},
    {"高差", 0, ConnectingCells, 3, 3},
    {"定权距离或测站数", 0, ConnectingCells, 3, 4},
    {"观测X坐标", 4, CoordCells, 1, 1},
    {"观测Y坐标", 4, CoordCells, 2, 2},
    {"观测高程", 4, CoordCells, 1, 3},
    {"X坐标", 4, CoordCells, 2, 5},
    {"高程", 4, CoordCells, 0, 7},
    {"后视读数", 5, LevellingCells, 1, 1},
    {"中视读数", 5, LevellingCells, 2, 2},
    {"前视读数", 5, LevellingCells, 3, 3},
    {"高程", 5, LevellingCells, 3, 4},
};

// Scripts and spreadsheets write "nan" for blanks; the rest are overflow, words
// and a number with junk after it.
const char* const kNotNumbers[] = {"nan", "-nan", "inf", "-Infinity", "1e309", "abc", "33815X2.4.16", "1,5"};

int Compute(int type, const Cells& cells) {
  CDxView view;
  view.ResetScheme();
  view.m_nTraverseType = type;
  view.SetInputRows(cells);
  return view.Compute();
}

TEST(NumberFieldsTest, FixturesComputeAsTheyStand) {
  for (const Field& f : kFields) {
    platform::FakeMessagePort port;
    EXPECT_EQ(Compute(f.type, f.cells()), 1) << f.label;
    EXPECT_TRUE(port.Messages().empty()) << f.label << ": " << (port.Messages().empty() ? "" : port.Messages()[0]);
  }
}

TEST(NumberFieldsTest, EachNotANumberInEachFieldIsRefusedByName) {
  for (const Field& f : kFields) {
    for (const char* bad : kNotNumbers) {
      Cells cells = f.cells();
      const std::string name = cells[f.row][0];
      cells[f.row][f.col] = bad;
      platform::FakeMessagePort port;
      EXPECT_EQ(Compute(f.type, cells), 0) << f.label << " " << bad;
      ASSERT_EQ(port.Messages().size(), 1u) << f.label << " " << bad;
      EXPECT_EQ(port.Messages()[0],
                "第" + std::to_string(f.row + 1) + "点(" + name + ")的" + f.label + "不是数字")
          << bad;
    }
  }
}

TEST(NumberFieldsTest, AngleTextsOfEitherFormPassAndOthersAreRefused) {
  struct Case {
    const char* text;
    bool ok;
  };
  const Case cases[] = {
      {"181 30 15.5", true}, {"181.30155", true}, {"181 30", true}, {"181", true}, {"181  30   15", true},
      {"-  5 30 00", true},  {"1e308", false},    {"181 30 15 2", false}, {"181.30.15", false},
      {"181 30.5 10", false}, {"-", false},       {"12°30'", false},     {"0x1A", false},
  };
  for (const Case& c : cases) {
    Cells cells = ConnectingCells();
    cells[2][1] = c.text;
    platform::FakeMessagePort port;
    const int done = Compute(0, cells);
    const bool refused = !port.Messages().empty() && port.Messages()[0] == "第3点(P1)的角度不是数字";
    EXPECT_EQ(refused, !c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(done, 0) << c.text;
    }
  }
}

// An empty cell means "not given" where the traverse allows it: an empty H is a
// point without height, not a height of 0.
TEST(NumberFieldsTest, EmptyCellsStayNotGiven) {
  Cells cells = ConnectingCells();
  for (auto& row : cells) {
    row[3] = "";  // no height differences
    row[4] = "";
    row[7] = "";
  }
  platform::FakeMessagePort port;
  CDxView view;
  view.ResetScheme();
  view.SetInputRows(cells);
  EXPECT_EQ(view.Compute(), 1);
  EXPECT_EQ(view.m_bHeight, 0);
  EXPECT_TRUE(port.Messages().empty());
}

}  // namespace
