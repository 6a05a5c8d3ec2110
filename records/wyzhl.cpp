#include "records/wyzhl.h"

#include <unordered_map>

namespace records {

namespace {

void Merge(CWyZhl& r, bool forward, bool dist, bool height, double distance, double heightDiff, double length,
           int stations) {
  if (dist) {
    r.m_dDistance = (distance + r.m_dDistance * r.m_nDistCount) / (r.m_nDistCount + 1);
    ++r.m_nDistCount;
  }
  if (height) {
    const double h = forward ? heightDiff : -heightDiff;
    const int n = r.m_nHeightCount;
    r.m_dHeightDiff = (h + r.m_dHeightDiff * n) / (n + 1);
    if (length > 0) r.m_dSectionLength = r.m_dSectionLength > 0 ? (length + r.m_dSectionLength * n) / (n + 1) : length;
    r.m_nStations = (stations + n * r.m_nStations) / (n + 1);
    ++r.m_nHeightCount;
  }
}

CWyZhl Fresh(const std::string& from, const std::string& to, bool dist, bool height, double distance,
             double heightDiff, double length, int stations) {
  CWyZhl r;
  r.m_strFrom = from;
  r.m_strTo = to;
  if (dist) {
    r.m_dDistance = distance;
    r.m_nDistCount = 1;
  }
  if (height) {
    r.m_dHeightDiff = heightDiff;
    r.m_dSectionLength = length;
    r.m_nStations = stations;
    r.m_nHeightCount = 1;
  }
  return r;
}

bool HasDistance(int kind) { return kind == kLegDistance || kind == kLegBoth; }
bool HasHeight(int kind) { return kind == kLegHeight || kind == kLegBoth; }

// Key of the pair of names, the same in both directions.
std::string PairKey(const std::string& a, const std::string& b) {
  const bool swap = b < a;
  const std::string& lo = swap ? b : a;
  const std::string& hi = swap ? a : b;
  std::string key;
  key.reserve(lo.size() + hi.size() + 1);
  key += lo;
  key += '\0';
  key += hi;
  return key;
}

}  // namespace

void AccumulateLeg(std::vector<CWyZhl>& results, const std::string& from, const std::string& to, int kind,
                   double distance, double heightDiff, double length, int stations) {
  for (CWyZhl& r : results) {
    const bool forward = r.m_strFrom == from && r.m_strTo == to;
    if (!forward && !(r.m_strFrom == to && r.m_strTo == from)) continue;
    Merge(r, forward, HasDistance(kind), HasHeight(kind), distance, heightDiff, length, stations);
    return;
  }
  results.push_back(Fresh(from, to, HasDistance(kind), HasHeight(kind), distance, heightDiff, length, stations));
}

void AccumulateLegs(std::vector<CWyZhl>& results, const LegLog& legs) {
  // The same merge as AccumulateLeg, through an index: a thousand-page book has tens
  // of thousands of legs. A pair has one record at most, so the index finds the first.
  std::unordered_map<std::string, std::size_t> index;
  index.reserve(results.size() + legs.size());
  for (std::size_t i = 0; i < results.size(); ++i) index.emplace(PairKey(results[i].m_strFrom, results[i].m_strTo), i);
  for (const LegObservation& o : legs) {
    auto [it, added] = index.emplace(PairKey(o.from, o.to), results.size());
    if (added) {
      results.push_back(
          Fresh(o.from, o.to, HasDistance(o.kind), HasHeight(o.kind), o.distance, o.heightDiff, o.length, o.stations));
      continue;
    }
    CWyZhl& r = results[it->second];
    Merge(r, r.m_strFrom == o.from && r.m_strTo == o.to, HasDistance(o.kind), HasHeight(o.kind), o.distance,
          o.heightDiff, o.length, o.stations);
  }
}

}  // namespace records
