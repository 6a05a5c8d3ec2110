// The field-results summary: how repeated, reversed and mixed observations merge.
#include <random>

#include <gtest/gtest.h>

#include "records/wyzhl.h"

namespace {

using records::CWyZhl;
using records::LegObservation;

TEST(FieldResults, AccumulateLegCases) {
  struct Case {
    const char* name;
    std::vector<LegObservation> legs;
    // The first record after merging.
    const char* from;
    double distance, height, length;
    int stations, distCount, heightCount;
    std::size_t records;
  };
  const Case cases[] = {
      {"forward and reverse",
       {{"A", "B", 1, 100.002, 0, 0, 1}, {"A", "B", 2, 0, 1.200, 100.002, 1}, {"B", "A", 1, 100.004, 0, 0, 1},
        {"B", "A", 2, 0, -1.204, 100.004, 1}},
       "A", 100.003, 1.202, 100.003, 1, 2, 2, 1},
      {"levelling section joins a traverse leg",
       {{"A", "B", 2, 0, 0.498, 100.0, 1}, {"A", "B", 2, 0, 0.500, 150.0, 3}},
       "A", -1, 0.499, 125.0, 2, 0, 2, 1},
      {"distance only", {{"P", "Q", 1, 55.5, 0, 0, 1}}, "P", 55.5, -1, -1, 0, 1, 0, 1},
      {"single face: no section length", {{"A", "B", 2, 0, 2.0, -1, 3}}, "A", -1, 2.0, -1, 3, 0, 1, 1},
      {"both kinds at once, reversed later",
       {{"A", "B", 3, 80.0, 0.3, 80.0, 1}, {"B", "A", 3, 80.2, -0.5, 80.2, 1}, {"A", "C", 1, 10, 0, 0, 1}},
       "A", 80.1, 0.4, 80.1, 1, 2, 2, 2},
      {"names compare exactly", {{"A", "B", 1, 1, 0, 0, 1}, {"a", "B", 1, 3, 0, 0, 1}, {"A ", "B", 1, 5, 0, 0, 1}},
       "A", 1, -1, -1, 0, 1, 0, 3},
  };
  for (const Case& c : cases) {
    std::vector<CWyZhl> r;
    for (const LegObservation& o : c.legs)
      records::AccumulateLeg(r, o.from, o.to, o.kind, o.distance, o.heightDiff, o.length, o.stations);
    ASSERT_EQ(r.size(), c.records) << c.name;
    EXPECT_EQ(r[0].m_strFrom, c.from) << c.name;
    EXPECT_NEAR(r[0].m_dDistance, c.distance, 1e-12) << c.name;
    EXPECT_NEAR(r[0].m_dHeightDiff, c.height, 1e-12) << c.name;
    EXPECT_NEAR(r[0].m_dSectionLength, c.length, 1e-12) << c.name;
    EXPECT_EQ(r[0].m_nStations, c.stations) << c.name;
    EXPECT_EQ(r[0].m_nDistCount, c.distCount) << c.name;
    EXPECT_EQ(r[0].m_nHeightCount, c.heightCount) << c.name;
  }
}

// The indexed merge of a whole book gives exactly what one call per leg gives.
TEST(FieldResults, IndexedMergeMatchesTheLegByLegMerge) {
  std::mt19937 rng(7);
  const char* names[] = {"A", "B", "C", "D", "TP1"};
  records::LegLog legs;
  for (int i = 0; i < 400; ++i) {
    LegObservation o;
    o.from = names[rng() % 5];
    o.to = names[rng() % 5];
    o.kind = 1 + static_cast<int>(rng() % 3);
    o.distance = 100 + (rng() % 1000) / 1000.0;
    o.heightDiff = (static_cast<int>(rng() % 2000) - 1000) / 1000.0;
    o.length = (rng() % 3 == 0) ? -1 : 50 + rng() % 100;
    o.stations = 1 + static_cast<int>(rng() % 5);
    legs.push_back(o);
  }
  std::vector<CWyZhl> one, all = {CWyZhl{"C", "A", 5, 1, 2, 3, 1, 1}};
  one = all;
  for (const LegObservation& o : legs)
    records::AccumulateLeg(one, o.from, o.to, o.kind, o.distance, o.heightDiff, o.length, o.stations);
  records::AccumulateLegs(all, legs);
  ASSERT_EQ(one.size(), all.size());
  for (std::size_t i = 0; i < one.size(); ++i) {
    EXPECT_EQ(one[i].m_strFrom, all[i].m_strFrom);
    EXPECT_EQ(one[i].m_strTo, all[i].m_strTo);
    EXPECT_EQ(one[i].m_dDistance, all[i].m_dDistance);
    EXPECT_EQ(one[i].m_dHeightDiff, all[i].m_dHeightDiff);
    EXPECT_EQ(one[i].m_dSectionLength, all[i].m_dSectionLength);
    EXPECT_EQ(one[i].m_nStations, all[i].m_nStations);
    EXPECT_EQ(one[i].m_nHeightCount, all[i].m_nHeightCount);
  }
}

}  // namespace
