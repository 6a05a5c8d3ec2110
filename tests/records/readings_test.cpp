// What the book computations read: an empty cell is "not observed", anything else
// must be a finite number (or a circle reading) of a field book's size, or the book
// stops with one message naming page, station and field, and writes no "inf".
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake_ports.h"
#include "records/dx_shb.h"
#include "records/shpj_shb.h"
#include "records/shzh_shb.h"
#include "tests/records/book_fixture.h"

namespace {

using records_test::Type;

const records::Decimals kDec{0, 3, 4};

// Texts a file, a paste or a spreadsheet can bring in, and the reason each is refused.
struct Bad {
  const char* text;
  const char* why;
};
const Bad kBadNumbers[] = {
    {"nan", "不是数字"},      {"inf", "不是数字"},         {"-Infinity", "不是数字"},
    {"1e309", "不是数字"},    {"abc", "不是数字"},         {"33815X2.4.16", "不是数字"},
    {"1e308", "超出范围"},    {"-1.7976931348623157e308", "超出范围"},
};
const Bad kBadAngles[] = {
    {"abc", "不是角度"},   {"nan", "不是角度"},      {"1e308", "不是角度"},
    {"12.5a", "不是角度"}, {"1 2 3 4", "不是角度"},  {"99999999999.0000", "超出范围"},
    {"400.0000", "超出范围"},
};

// True when a cell other than the typed `typed` holds `what` (a written "inf").
template <class Page>
bool Wrote(const std::vector<Page>& pages, const std::string& what, const std::string& typed) {
  for (const Page& p : pages)
    for (const auto& row : p.m_arrRows)
      for (const auto& c : row.cols)
        if (c.m_strText != typed && c.m_strText.find(what) != std::string::npos) return true;
  return false;
}

// One slope-distance station A (targets B, C), one set, every field typed.
void SlopeStation(CDxShb& b) {
  b.Reset();
  b.m_nDistanceType = kDistanceSlope;
  b.m_nSets = 1;
  b.m_arrPages.clear();
  b.AddPage();
  Type(b.m_arrPages[0], 0,
       {{0, "A"}, {1, "B"}, {2, "0.0000"}, {3, "180.0000"}, {6, "85.0000"}, {7, "275.0000"}, {10, "100.000"}, {13, "1.60"}});
  Type(b.m_arrPages[0], 1,
       {{0, "1.50"}, {1, "C"}, {2, "90.0000"}, {3, "270.0000"}, {6, "95.0000"}, {7, "265.0000"}, {10, "120.000"}, {13, "1.50"}});
}

TEST(BookReadings, TraverseBookRefusesWhatIsNoReading) {
  // Field, row, cell, whether it is an angle, and the field as the message names it.
  struct Field {
    int type, row, cell;
    bool angle;
    const char* named;
  };
  const Field fields[] = {
      {kDistanceSlope, 1, 0, false, "A　测站的仪高“"},
      {kDistanceSlope, 0, 13, false, "A　测站照准B的目标高“"},
      {kDistanceSlope, 1, 10, false, "A　测站照准C第1测回的距离“"},
      {kDistanceSlope, 0, 2, true, "A　测站照准B第1测回的水平角盘左读数“"},
      {kDistanceSlope, 1, 3, true, "A　测站照准C第1测回的水平角盘右读数“"},
      {kDistanceSlope, 0, 7, true, "A　测站照准B第1测回的垂直角盘右读数“"},
      {kDistanceDirect, 0, 12, false, "A　测站照准B第1测回的观测高差“"},
      {kDistanceDirect, 0, 10, false, "A　测站照准B第1测回的距离“"},
  };
  for (const Field& f : fields) {
    for (const Bad& bad : f.angle ? std::vector<Bad>(std::begin(kBadAngles), std::end(kBadAngles))
                                  : std::vector<Bad>(std::begin(kBadNumbers), std::end(kBadNumbers))) {
      platform::FakeMessagePort msg;
      CDxShb b;
      SlopeStation(b);
      b.m_nDistanceType = f.type;
      if (f.type == kDistanceDirect) {
        b.m_arrPages[0].At(0, 12) = "1.200";
        b.m_arrPages[0].At(1, 12) = "-0.500";
      }
      b.m_arrPages[0].At(f.row, f.cell) = bad.text;
      records::LegLog legs;
      EXPECT_FALSE(b.Compute(kDec, legs)) << f.named << bad.text;
      EXPECT_EQ(b.m_bComputed, 0);
      ASSERT_EQ(msg.Messages().size(), 1u) << f.named << bad.text;
      EXPECT_EQ(msg.Messages()[0], std::string("导线记录第1页 ") + f.named + bad.text + "”" + bad.why + "！");
      EXPECT_FALSE(Wrote(b.m_arrPages, "inf", bad.text));
      for (const auto& l : legs) EXPECT_TRUE(std::isfinite(l.distance) && std::isfinite(l.heightDiff));
    }
  }
}

TEST(BookReadings, EmptyCellsStayNotObserved) {
  platform::FakeMessagePort msg;
  CDxShb b;
  SlopeStation(b);
  b.m_arrPages[0].At(1, 0).clear();   // no instrument height: no height differences
  b.m_arrPages[0].At(1, 10).clear();  // no distance to C
  records::LegLog legs;
  ASSERT_TRUE(b.Compute(kDec, legs));
  EXPECT_TRUE(msg.Messages().empty());
  EXPECT_EQ(b.m_arrPages[0].Cell(0, 14), "");
  EXPECT_EQ(b.m_arrPages[0].Cell(1, 11), "");
  EXPECT_FALSE(b.m_arrPages[0].Cell(0, 11).empty());
  // Readings in both notations and with the grid's padding are read alike.
  for (const char* text : {"  0 00 00", "0", "0.00000"}) {
    b.m_arrPages[0].At(0, 2) = text;
    ASSERT_TRUE(b.Compute(kDec, legs)) << text;
    EXPECT_EQ(b.m_arrPages[0].Cell(0, 5), " 90 00 00") << text;
  }
}

TEST(BookReadings, AngleBookRefusesWhatIsNoReading) {
  for (const Bad& bad : kBadAngles) {
    platform::FakeMessagePort msg;
    CShpjShb b;
    b.Reset();
    b.m_nSets = 1;
    b.m_arrPages.clear();
    b.AddPage();
    Type(b.m_arrPages[0], 0, {{0, "O"}, {1, "A"}, {2, "0"}, {3, "180.0010"}});
    Type(b.m_arrPages[0], 1, {{1, "B"}, {2, "90"}, {3, bad.text}});
    EXPECT_FALSE(b.Compute(kDec));
    ASSERT_EQ(msg.Messages().size(), 1u);
    EXPECT_EQ(msg.Messages()[0], std::string("水平角记录第1页 O　测站照准B第1测回的盘右读数“") + bad.text + "”" + bad.why + "！");
  }
}

TEST(BookReadings, LevellingBookRefusesWhatIsNoReading) {
  struct Field {
    int mode, row, cell;
    const char* named;
  };
  const Field fields[] = {
      {kLevelDoubleScale, 0, 2, "水准记录第1页 1　测站的后尺下丝读数“"},
      {kLevelDoubleScale, 1, 3, "水准记录第1页 1　测站的前尺上丝读数“"},
      {kLevelDoubleScale, 0, 6, "水准记录第1页 1　测站的后尺黑面读数“"},
      {kLevelDoubleScale, 1, 7, "水准记录第1页 1　测站的前尺红面读数“"},
      {kLevelPrecise, 0, 7, "水准记录第1页 1　测站的后尺辅助分划读数“"},
      {kLevelSingleFace, 0, 3, "水准记录第1页 A与B之间的前视读数“"},
  };
  for (const Field& f : fields)
    for (const Bad& bad : kBadNumbers) {
      platform::FakeMessagePort msg;
      CShzhShb b;
      b.Reset();
      b.m_nLevellingMode = f.mode;
      if (f.mode == kLevelSingleFace) {
        Type(b.m_arrPages[0], 0, {{0, "A"}, {1, "B"}, {2, "1.523"}, {3, "1.329"}});
      } else {
        Type(b.m_arrPages[0], 0, {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}, {6, "1523"}, {7, "6210"}});
        Type(b.m_arrPages[0], 1, {{1, "B"}, {2, "1400"}, {3, "1300"}, {6, "0691"}, {7, "5478"}});
      }
      b.m_arrPages[0].At(f.row, f.cell) = bad.text;
      records::LegLog legs;
      EXPECT_FALSE(b.Compute(kDec, legs)) << f.named << bad.text;
      ASSERT_EQ(msg.Messages().size(), 1u);
      EXPECT_EQ(msg.Messages()[0], std::string(f.named) + bad.text + "”" + bad.why + "！");
      EXPECT_TRUE(legs.empty());
      EXPECT_FALSE(Wrote(b.m_arrPages, "inf", bad.text));
    }
}

}  // namespace
