// The traverse and horizontal-angle books against hand-worked station sheets.
#include <cmath>

#include <gtest/gtest.h>

#include "platform/fake_ports.h"
#include "records/dx_shb.h"
#include "records/shpj_shb.h"
#include "tests/records/book_fixture.h"

namespace {

using records_test::Type;

constexpr double kPi = 3.14159265358979;
constexpr double kDeg = kPi / 180;

records::Decimals Dec(int angle = 0, int dist = 3, int height = 4) { return {angle, dist, height}; }

struct DxBook {
  CDxShb book;
  explicit DxBook(int type, int sets = 2) {
    book.Reset();
    book.m_nDistanceType = type;
    book.m_nSets = sets;
    book.m_arrPages.clear();
    book.AddPage();
  }
  CDxShb::CPage& Page() { return book.m_arrPages[0]; }
};

// A station of two sets, face left and right of both targets, typed distances and
// height differences. 2C, set angles and means worked by hand on the form.
TEST(TraverseBook, TwoSetStationDirectDistances) {
  platform::FakeMessagePort msg;
  DxBook b(kDistanceDirect);
  auto& p = b.Page();
  Type(p, 0, {{0, "A"}, {1, "B"}, {2, "0.0006"}, {3, "180.0000"}, {10, "100.002"}, {12, "1.200"}, {13, "1.60"}});
  Type(p, 1, {{0, "1.50"}, {1, "C"}, {2, "90.0012"}, {3, "270.0010"}, {10, "50.000"}, {12, "-0.500"}, {13, "1.50"}});
  Type(p, 2, {{2, "90.0000"}, {3, "270.0004"}, {10, "100.004"}, {12, "1.210"}});
  Type(p, 3, {{2, "180.0004"}, {3, "0.0004"}, {10, "50.010"}, {12, "-0.520"}});
  records::LegLog legs;
  ASSERT_TRUE(b.book.Compute(Dec(), legs));
  EXPECT_TRUE(msg.Messages().empty());
  EXPECT_EQ(b.book.m_bComputed, 1);
  struct Cell { int row, cell; const char* text; };
  for (const Cell& c : {Cell{0, 4, "6"}, Cell{1, 4, "2"}, Cell{2, 4, "-4"}, Cell{3, 4, "0"},
                        Cell{0, 5, " 90 00 05"},   // sets 90°00'08" and 90°00'02"
                        Cell{2, 1, "B"}, Cell{3, 1, "C"},  // names copied into set 2
                        Cell{0, 11, "100.003"}, Cell{1, 11, "50.005"},
                        Cell{0, 14, "1.1050"},     // (1.200 + 1.210)/2 + 1.50 − 1.60
                        Cell{1, 14, "-0.5100"}})   // (−0.500 − 0.520)/2 + 1.50 − 1.50
    EXPECT_EQ(p.Cell(c.row, c.cell), c.text) << "row " << c.row << " cell " << c.cell;
  ASSERT_EQ(legs.size(), 4u);
  EXPECT_EQ(legs[0].to, "B");
  EXPECT_EQ(legs[0].kind, records::kLegDistance);
  EXPECT_NEAR(legs[0].distance, 100.003, 1e-9);
  EXPECT_NEAR(legs[0].length, 100.003, 1e-9);
  EXPECT_EQ(legs[1].to, "C");
  EXPECT_EQ(legs[2].kind, records::kLegHeight);
  EXPECT_NEAR(legs[2].heightDiff, 1.105, 1e-9);
  EXPECT_NEAR(legs[2].length, 100.003, 1e-9);
  EXPECT_NEAR(legs[3].heightDiff, -0.51, 1e-9);
}

// Set angles and means near 0°/360°: the face-right angle is taken within ±180° of
// the face-left one and the sets are averaged around the first.
TEST(TraverseBook, AnglesThroughZeroAverageAsDirections) {
  struct Case {
    const char* name;
    const char* set1[4];  // L1, R1, L2, R2
    const char* set2[4];  // "" = set not observed
    const char* mean;
  };
  const Case cases[] = {
      {"sets 359°59'58\" and 0°00'04\"", {"0", "180", "359.5958", "179.5958"}, {"0", "180", "0.0004", "180.0004"},
       "  0 00 01"},
      {"faces 0°00'02\" and 359°59'58\" in one set", {"0", "180", "0.0002", "179.5958"}, {"", "", "", ""}, "  0 00 00"},
      {"away from 0° the plain mean", {"0", "180", "120.0010", "300.0020"}, {"90", "270", "210.0030", "30.0020"},
       "120 00 20"},
  };
  for (const Case& c : cases) {
    platform::FakeMessagePort msg;
    DxBook b(kDistanceDirect);
    auto& p = b.Page();
    Type(p, 0, {{0, "S"}, {1, "B"}, {2, c.set1[0]}, {3, c.set1[1]}});
    Type(p, 1, {{1, "F"}, {2, c.set1[2]}, {3, c.set1[3]}});
    Type(p, 2, {{2, c.set2[0]}, {3, c.set2[1]}});
    Type(p, 3, {{2, c.set2[2]}, {3, c.set2[3]}});
    records::LegLog legs;
    ASSERT_TRUE(b.book.Compute(Dec(), legs)) << c.name;
    EXPECT_EQ(p.Cell(0, 5), c.mean) << c.name;
  }
}

TEST(TraverseBook, VerticalAnglesAndReducedDistances) {
  const double alpha = 5 * kDeg;
  const double k = 0.14, twoR = 12742029.4;
  struct Case {
    const char* name;
    int type;
    int from90;
    double edmConst, edmScale;
    const char* angle;  // cell 9 of the first target
    double D;           // expected horizontal distance from the independent formula
  };
  const double S = 100.0;
  // Slope: S' = S(1 + scale) + const, D = S' cos(α + S' cos α (1 − k) / 2R).
  const double S1 = S * (1 + 20e-6) + 0.010;
  const double slopeD = S1 * std::cos(alpha + S1 * std::cos(alpha) * (1 - k) / twoR);
  const Case cases[] = {
      {"slope, 90 − face left", kDistanceSlope, 1, 0.010, 20e-6, "  5 00 00", slopeD},
      {"stadia ignores the EDM constants", kDistanceStadia, 1, 0.010, 20e-6, "  5 00 00",
       S * std::cos(alpha) * std::cos(alpha)},
      {"face left − 90 negates", kDistanceStadia, 0, 0, 0, "-  5 00 00",
       S * std::cos(alpha) * std::cos(alpha)},
  };
  for (const Case& c : cases) {
    platform::FakeMessagePort msg;
    DxBook b(c.type, 1);
    b.book.m_bVerticalFrom90 = c.from90;
    b.book.m_dEdmConstant = c.edmConst;
    b.book.m_dEdmScale = c.edmScale;
    auto& p = b.Page();
    Type(p, 0, {{0, "A"}, {1, "B"}, {6, "85.0000"}, {7, "275.0000"}, {10, "100.0"}, {13, "1.60"}});
    Type(p, 1, {{0, "1.50"}, {1, "C"}, {6, "95.0010"}, {7, "265.0000"}, {10, "123.45678"}, {13, "1.50"}});
    records::LegLog legs;
    ASSERT_TRUE(b.book.Compute(Dec(0, 1, 4), legs)) << c.name;
    EXPECT_EQ(p.Cell(0, 8), "0") << c.name;
    EXPECT_EQ(p.Cell(1, 8), "5") << c.name;  // (95°00'10" + 265° − 360°)/2
    EXPECT_EQ(p.Cell(0, 9), c.angle) << c.name;
    EXPECT_NEAR(legs.at(0).distance, c.D, 1e-9) << c.name;
    char first[32];
    std::snprintf(first, sizeof first, "%.1f", c.D);
    EXPECT_EQ(p.Cell(0, 11), first) << c.name;  // distance decimals for the first target
    // The second target is written with three decimals whatever the setting.
    EXPECT_EQ(p.Cell(1, 11).size() - p.Cell(1, 11).find('.'), 4u) << c.name;
    // h from the chosen angle: D tan α + (1 − k) D² / 2R + i − v (stadia form).
    if (c.type == kDistanceStadia) {
      const double a = c.from90 ? alpha : -alpha;
      const double h = c.D * std::tan(a) + (1 - k) * c.D * c.D / twoR + 1.50 - 1.60;
      EXPECT_NEAR(legs.at(1).heightDiff, h, 1e-9) << c.name;
    }
  }
}

TEST(TraverseBook, StopsAtTheFirstIncompleteStation) {
  struct Case {
    const char* name;
    records_test::Typed row0, row1, row2, row3;
    const char* message;
  };
  const Case cases[] = {
      {"target missing", {{0, "A"}, {1, "B"}}, {}, {}, {}, "导线记录第1页 A　测站的目标点不能为空！"},
      {"set 2 horizontal incomplete",
       {{0, "A"}, {1, "B"}, {2, "0"}, {3, "180"}},
       {{1, "C"}, {2, "90"}, {3, "270"}},
       {{2, "10"}},
       {},
       "导线记录第1页 A 测站的第2测回数据不全"},
      {"vertical face right missing",
       {{0, "A"}, {1, "B"}, {6, "85"}},
       {{1, "C"}},
       {},
       {},
       "导线记录第1页 A 测站的垂直角第1测回数据不全"},
  };
  for (const Case& c : cases) {
    platform::FakeMessagePort msg;
    DxBook b(kDistanceSlope);
    auto& p = b.Page();
    Type(p, 0, c.row0);
    Type(p, 1, c.row1);
    Type(p, 2, c.row2);
    Type(p, 3, c.row3);
    records::LegLog legs;
    EXPECT_FALSE(b.book.Compute(Dec(), legs)) << c.name;
    EXPECT_EQ(b.book.m_bComputed, 0);
    ASSERT_EQ(msg.Messages().size(), 1u) << c.name;
    EXPECT_EQ(msg.Messages()[0], c.message);
  }
}

TEST(TraverseBook, SkipsNamelessStationsAndUnobservedSets) {
  platform::FakeMessagePort msg;
  DxBook b(kDistanceDirect);
  auto& p = b.Page();
  // Block 1: no station name, readings ignored. Block 2: set 2 empty; no instrument height.
  Type(p, 0, {{1, "B"}, {2, "0"}, {3, "180"}, {10, "5"}});
  Type(p, 1, {{1, "C"}, {2, "10"}});
  Type(p, 4, {{0, "P"}, {1, "Q"}, {2, "0"}, {3, "180.0002"}, {10, "80.000"}, {12, "0.5"}, {13, "1"}});
  Type(p, 5, {{1, "R"}, {2, "30.1000"}, {3, "210.1004"}});
  records::LegLog legs;
  ASSERT_TRUE(b.book.Compute(Dec(), legs));
  EXPECT_TRUE(msg.Messages().empty());
  EXPECT_EQ(p.Cell(0, 5), "");
  EXPECT_EQ(p.Cell(4, 5), " 30 10 01");
  EXPECT_EQ(p.Cell(4, 14), "");  // no instrument height: no height difference
  ASSERT_EQ(legs.size(), 1u);
  EXPECT_EQ(legs[0].from, "P");
  EXPECT_EQ(legs[0].kind, records::kLegDistance);
}

// ---- horizontal-angle book ----------------------------------------------------------

struct AngleBook {
  CShpjShb book;
  explicit AngleBook(int sets) {
    book.Reset();
    book.m_nSets = sets;
    book.m_arrPages.clear();
    book.AddPage();
  }
  CShpjShb::CPage& Page() { return book.m_arrPages[0]; }
};

TEST(AngleBook, OneSetStation) {
  platform::FakeMessagePort msg;
  AngleBook b(1);
  auto& p = b.Page();
  Type(p, 0, {{0, "O"}, {1, "A"}, {2, "0"}, {3, "180.0010"}});
  Type(p, 1, {{1, "B"}, {2, "90"}, {3, "270.0020"}});
  ASSERT_TRUE(b.book.Compute(Dec()));
  EXPECT_EQ(p.Cell(0, 4), "-10");
  EXPECT_EQ(p.Cell(1, 4), "-20");
  EXPECT_EQ(p.Cell(0, 5), "  0 00 00");
  EXPECT_EQ(p.Cell(1, 5), " 90 00 05");
  EXPECT_EQ(p.Cell(0, 6), " 90 00 05");
}

// Three sets with the circle set at 0°, 60° and 120°; set angles 45°30'10", 09", 07".
TEST(AngleBook, ThreeSetsAtZeroSixtyAndOneTwenty) {
  struct Case { int decimals; const char* mean; const char* twoC0; };
  for (const Case& c : {Case{0, " 45 30 09", "-6"}, Case{1, " 45 30 08.7", "-6.0"}}) {
    platform::FakeMessagePort msg;
    AngleBook b(3);
    auto& p = b.Page();
    Type(p, 0, {{0, "O"}, {1, "A"}, {2, "0"}, {3, "180.0006"}});
    Type(p, 1, {{1, "B"}, {2, "45.3012"}, {3, "225.3014"}});
    Type(p, 2, {{2, "60"}, {3, "240.0002"}});
    Type(p, 3, {{2, "105.3010"}, {3, "285.3010"}});
    Type(p, 4, {{2, "120"}, {3, "300"}});
    Type(p, 5, {{2, "165.3006"}, {3, "345.3008"}});
    ASSERT_TRUE(b.book.Compute(Dec(c.decimals)));
    EXPECT_EQ(p.Cell(0, 6), c.mean);
    EXPECT_EQ(p.Cell(0, 4), c.twoC0);
    for (int r = 2; r < 6; ++r) EXPECT_EQ(p.Cell(r, 1), r % 2 == 0 ? "A" : "B") << r;
  }
}

TEST(AngleBook, TwoCWrapsAndTargetsThroughZero) {
  platform::FakeMessagePort msg;
  AngleBook b(1);
  auto& p = b.Page();
  // 2C of 359°59'58" against 180°00'02" is −4"; the second target lies past 360°.
  Type(p, 0, {{0, "O"}, {1, "A"}, {2, "359.5958"}, {3, "180.0002"}});
  Type(p, 1, {{1, "B"}, {2, "10.0000"}, {3, "190.0004"}});
  ASSERT_TRUE(b.book.Compute(Dec()));
  EXPECT_EQ(p.Cell(0, 4), "-4");
  EXPECT_EQ(p.Cell(1, 4), "-4");
  EXPECT_EQ(p.Cell(0, 6), " 10 00 02");
}

TEST(AngleBook, IncompleteSetStops) {
  platform::FakeMessagePort msg;
  AngleBook b(2);
  auto& p = b.Page();
  Type(p, 0, {{0, "O"}, {1, "A"}, {2, "0"}, {3, "180"}});
  Type(p, 1, {{1, "B"}, {2, "90"}, {3, "270"}});
  EXPECT_FALSE(b.book.Compute(Dec()));
  ASSERT_EQ(msg.Messages().size(), 1u);
  EXPECT_EQ(msg.Messages()[0], "水平角记录第1页 O　测站的数据不全！");
}

}  // namespace
