// The levelling book on a synthetic line: heights of A, TP1, TP2 and B and the
// line of sight at each set-up are chosen, the staff readings derived from them
// (red = black + K with the pair constants 4687/4787, stadia hairs from chosen sight
// lengths). Typed in every mode and both decimal-point settings, the book must
// return the chosen height difference, station count and section length.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake_ports.h"
#include "platform/number.h"
#include "records/shzh_shb.h"
#include "tests/records/book_fixture.h"

namespace {

using records_test::Type;

struct SetUp {
  const char* back;
  const char* fore;
  long sightMm;        // line of sight above the datum, mm
  long backLenDm;      // sight lengths, decimetres
  long foreLenDm;
};
const long kHeightMm[] = {100000, 101234, 100567, 102000};  // A, TP1, TP2, B
const SetUp kLine[] = {
    {"A", "TP1", 102800, 405, 398},
    {"TP1", "TP2", 102500, 312, 330},
    {"TP2", "B", 103500, 250, 262},
};
constexpr double kLengthM = (405 + 398 + 312 + 330 + 250 + 262) / 10.0;

struct Mode {
  const char* name;
  int mode;
  bool omit;
  bool doubled;
};

// A staff reading of `mm` millimetres as typed in the mode.
std::string Reading(const Mode& m, long mm, bool stadia) {
  const long v = m.doubled ? 2 * mm : mm;
  if (m.mode == kLevelPrecise && !stadia) {
    // Precise staffs are read to hundredths of a millimetre.
    return m.omit ? std::to_string(v * 100) : platform::FormatFixed(v / 1000.0, 5);
  }
  return m.omit ? std::to_string(v) : platform::FormatFixed(v / 1000.0, 3);
}

// The station rows of a set-up in modes 0 and 2; the fore staff of one set-up is the
// back staff of the next, so the pair constants alternate.
void TypeStation(CShzhShb::CPage& p, int r, int station, const Mode& m, double K, bool secondStaffBack) {
  const SetUp& s = kLine[station];
  const long back = s.sightMm - kHeightMm[station], fore = s.sightMm - kHeightMm[station + 1];
  auto red = [&](long black, bool second) {
    if (m.mode == kLevelPrecise) {
      const double aux = (m.doubled ? 2 * black : black) / 1000.0 + K / (m.omit ? 100000.0 : 1.0);
      return m.omit ? std::to_string(std::lround(aux * 100000)) : platform::FormatFixed(aux, 5);
    }
    const long k = second ? 4787 : 4687;
    return Reading(m, black + k, false);
  };
  // Stadia hairs around the middle reading: their interval is the sight length / 100
  // (a sight of d decimetres spans d millimetres of staff).
  auto lower = [](long mid, long dm) { return mid + dm / 2; };
  auto upper = [](long mid, long dm) { return mid + dm / 2 - dm; };
  Type(p, r, {{0, std::to_string(station + 1)}, {1, s.back}, {2, Reading(m, lower(back, s.backLenDm), true)},
              {3, Reading(m, lower(fore, s.foreLenDm), true)}, {6, Reading(m, back, false)},
              {7, red(back, secondStaffBack)}});
  Type(p, r + 1, {{1, s.fore}, {2, Reading(m, upper(back, s.backLenDm), true)},
                  {3, Reading(m, upper(fore, s.foreLenDm), true)}, {6, Reading(m, fore, false)},
                  {7, red(fore, !secondStaffBack)}});
}

TEST(LevellingBook, SyntheticLineInEveryForm) {
  const Mode modes[] = {
      {"double-scale, mm", kLevelDoubleScale, true, false},
      {"double-scale, m", kLevelDoubleScale, false, false},
      {"precise, 0.01 mm", kLevelPrecise, true, false},
      {"precise, m", kLevelPrecise, false, false},
      {"precise, doubled graduation", kLevelPrecise, true, true},
  };
  for (const Mode& m : modes) {
    platform::FakeMessagePort msg;
    CShzhShb book;
    book.Reset();
    book.m_nLevellingMode = m.mode;
    book.m_bOmitDecimalPoint = m.omit;
    book.m_bDoubledReadings = m.doubled;
    book.m_dStaffConstant = m.omit ? 301550 : 3.0155;
    // The line runs over two pages: the section continues and ∑d keeps running.
    book.m_nTableRows = 6;
    book.m_arrPages.clear();
    book.AddPage();
    book.AddPage();
    TypeStation(book.m_arrPages[0], 0, 0, m, book.m_dStaffConstant, false);
    TypeStation(book.m_arrPages[0], 3, 1, m, book.m_dStaffConstant, true);
    TypeStation(book.m_arrPages[1], 0, 2, m, book.m_dStaffConstant, false);
    records::LegLog legs;
    ASSERT_TRUE(book.Compute({0, 3, 4}, legs)) << m.name << ": " << (msg.Messages().empty() ? "" : msg.Messages()[0]);
    ASSERT_EQ(legs.size(), 1u) << m.name;
    EXPECT_EQ(legs[0].from, "A");
    EXPECT_EQ(legs[0].to, "B");
    EXPECT_EQ(legs[0].stations, 3) << m.name;
    EXPECT_NEAR(legs[0].heightDiff, 2.000, m.omit ? 1e-9 : 1e-4) << m.name;
    EXPECT_NEAR(legs[0].length, kLengthM, 1e-9) << m.name;
    // ∑d over both pages: (40.5 − 39.8) + (31.2 − 33.0) + (25.0 − 26.2).
    EXPECT_EQ(book.m_arrPages[1].Cell(1, 4), "-2.3") << m.name;
    EXPECT_EQ(book.m_arrPages[0].Cell(2, 2), "40.5") << m.name;
    if (m.mode == kLevelDoubleScale) {
      // Every staff check closes once the pair constant is found.
      for (int r : {0, 1, 3, 4}) EXPECT_EQ(book.m_arrPages[0].Cell(r, 8), "  +0") << m.name << " row " << r;
    }
  }
}

TEST(LevellingBook, StaffChecksFindTheSecondStaffOfThePair) {
  struct Case { const char* black; const char* red; const char* check; };
  for (const Case& c : {Case{"1523", "6210", "  +0"}, Case{"1523", "6310", "  +0"}, Case{"1523", "6212", "  -2"}}) {
    platform::FakeMessagePort msg;
    CShzhShb book;
    book.Reset();
    auto& p = book.m_arrPages[0];
    Type(p, 0, {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}, {6, c.black}, {7, c.red}});
    Type(p, 1, {{1, "B"}, {2, "1400"}, {3, "1300"}, {6, "0691"}, {7, "5478"}});
    records::LegLog legs;
    ASSERT_TRUE(book.Compute({0, 3, 4}, legs));
    EXPECT_EQ(p.Cell(0, 8), c.check) << c.red;
  }
}

TEST(LevellingBook, MeanOfBlackAndRedInTenthsOfMillimetres) {
  platform::FakeMessagePort msg;
  CShzhShb book;
  book.Reset();
  auto& p = book.m_arrPages[0];
  // Black +832, red +732 with K_back 4687 and K_fore 4787.
  Type(p, 0, {{0, "1"}, {1, "A"}, {2, "1523"}, {3, "1329"}, {6, "1523"}, {7, "6210"}});
  Type(p, 1, {{1, "B"}, {2, "1329"}, {3, "1135"}, {6, "0691"}, {7, "5478"}});
  records::LegLog legs;
  ASSERT_TRUE(book.Compute({0, 3, 4}, legs));
  EXPECT_EQ(p.Cell(2, 6), "+832");
  EXPECT_EQ(p.Cell(2, 7), "+732");
  EXPECT_EQ(p.Cell(2, 9), "+8320");
  EXPECT_EQ(p.Cell(2, 2), "19.4");
  ASSERT_EQ(legs.size(), 1u);
  EXPECT_NEAR(legs[0].heightDiff, 0.832, 1e-12);
}

TEST(LevellingBook, SingleFaceSections) {
  platform::FakeMessagePort msg;
  CShzhShb book;
  book.Reset();
  book.m_nLevellingMode = kLevelSingleFace;
  book.m_arrPages.clear();
  book.AddPage();
  auto& p = book.m_arrPages[0];
  Type(p, 0, {{0, "A"}, {1, "TP1"}, {2, "2.800"}, {3, "1.566"}});
  Type(p, 1, {{0, ""}, {1, "X"}, {2, "1"}});  // no backsight: ignored
  Type(p, 2, {{0, "TP1"}, {1, "TP2"}, {2, "1.266"}, {3, "1.933"}});
  Type(p, 3, {{0, "TP2"}, {1, "B"}, {2, "2.933"}, {3, "1.500"}, {5, "晴"}});
  records::LegLog legs;
  ASSERT_TRUE(book.Compute({0, 3, 3}, legs));
  EXPECT_EQ(p.Cell(0, 4), "+1.234");
  ASSERT_EQ(legs.size(), 1u);
  EXPECT_NEAR(legs[0].heightDiff, 2.000, 1e-12);
  EXPECT_EQ(legs[0].stations, 3);
  EXPECT_EQ(legs[0].length, -1);
}

TEST(LevellingBook, StopsWithTheStationsMessage) {
  struct Case {
    const char* name;
    int mode;
    records_test::Typed r0, r1, r3, r4;
    const char* message;
  };
  const Case cases[] = {
      {"turning point not the last foresight", kLevelDoubleScale,
       {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}, {6, "1523"}},
       {{1, "TP1"}, {2, "1400"}, {3, "1300"}, {6, "1000"}},
       {{0, "2"}, {1, "TP9"}, {2, "1600"}, {3, "1500"}, {6, "1523"}},
       {{1, "B"}, {2, "1400"}, {3, "1300"}, {6, "1000"}},
       "水准记录第1页 2　测站的后视点是转点,\n应该与前一站的前视点同名！"},
      {"station without staff readings", kLevelDoubleScale,
       {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}},
       {{1, "B"}, {2, "1400"}, {3, "1300"}},
       {}, {},
       "水准记录第1页 1　测站没有黑、红面读数！"},
      {"precise station without readings", kLevelPrecise,
       {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}},
       {{1, "B"}, {2, "1400"}, {3, "1300"}},
       {}, {},
       "水准记录第1页 1　测站没有基本、辅助分划读数！"},
      {"fore stadia missing", kLevelDoubleScale,
       {{0, "1"}, {1, "A"}, {2, "1600"}, {3, "1500"}},
       {{1, "B"}, {2, "1400"}},
       {}, {},
       "水准记录第1页 1　测站的前视上、下丝读数不完整！"},
      {"no foresight", kLevelDoubleScale, {{0, "1"}, {1, "A"}}, {}, {}, {}, "水准记录第1页 1　测站的前视点不能为空！"},
      {"single face, turning point", kLevelSingleFace,
       {{0, "A"}, {1, "TP1"}, {2, "1"}, {3, "2"}},
       {{0, "TP2"}, {1, "B"}, {2, "1"}, {3, "2"}},
       {}, {},
       "水准记录第1页 第2行后视点是转点,\n应该与前一站的前视点同名！"},
      {"single face, reading missing", kLevelSingleFace, {{0, "A"}, {1, "B"}, {2, "1"}}, {}, {}, {},
       "水准记录第1页 A与B之间数据输入不完整"},
  };
  for (const Case& c : cases) {
    platform::FakeMessagePort msg;
    CShzhShb book;
    book.Reset();
    book.m_nLevellingMode = c.mode;
    book.m_arrPages.clear();
    book.AddPage();
    auto& p = book.m_arrPages[0];
    Type(p, 0, c.r0);
    Type(p, 1, c.r1);
    Type(p, 3, c.r3);
    Type(p, 4, c.r4);
    records::LegLog legs;
    EXPECT_FALSE(book.Compute({0, 3, 4}, legs)) << c.name;
    EXPECT_EQ(book.m_bComputed, 0) << c.name;
    ASSERT_EQ(msg.Messages().size(), 1u) << c.name;
    EXPECT_EQ(msg.Messages()[0], c.message) << c.name;
  }
}

}  // namespace
