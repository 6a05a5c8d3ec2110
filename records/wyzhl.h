#pragma once
// The field-results summary ("边长、高差外业成果"): one record per leg between two named
// points, merged from the computed field books. The traverse book hands one
// observation per station and target, the levelling book one per section between
// non-turning points; AccumulateLeg averages repeated and reversed observations.
#include <string>
#include <vector>

namespace records {

// LegKind: what an observation carries.
enum LegKind : int { kLegDistance = 1, kLegHeight = 2, kLegBoth = 3 };

struct CWyZhl {
  std::string m_strFrom;        // "起点名"
  std::string m_strTo;          // "终点名"
  double m_dDistance = -1.0;    // mean horizontal distance, m (valid when m_nDistCount > 0)
  double m_dHeightDiff = -1.0;  // mean height difference From -> To, m (valid when m_nHeightCount > 0)
  double m_dSectionLength = -1.0;  // mean section length, m (meaningful when > 0)
  int m_nStations = 0;
  int m_nDistCount = 0;
  int m_nHeightCount = 0;
};

// One observation as a book hands it on, kept so that the summary can be rebuilt
// from the books that are computed.
struct LegObservation {
  std::string from, to;
  int kind = kLegDistance;
  double distance = 0, heightDiff = 0, length = 0;
  int stations = 0;
};
using LegLog = std::vector<LegObservation>;

// Merges one observation into the summary: the first record joining the two points
// in either direction, else a new record at the end. Names compare exactly.
void AccumulateLeg(std::vector<CWyZhl>& results, const std::string& from, const std::string& to, int kind,
                   double distance, double heightDiff, double length, int stations);
void AccumulateLegs(std::vector<CWyZhl>& results, const LegLog& legs);

// The field-results summary through a small read-only face: what the traverse view
// reads from the records ("读取"). Only computed books contribute.
class IFieldBooks {
 public:
  virtual ~IFieldBooks() = default;
  virtual bool TraverseBookComputed() const = 0;
  virtual bool AngleBookComputed() const = 0;
  virtual bool LevellingBookComputed() const = 0;
  // Legs of the computed books, in order of first appearance.
  virtual const std::vector<CWyZhl>& FieldResults() const = 0;
  // The mean angle of the first station (pages, then blocks in order) named
  // `station` whose first target is `back` and second target `fore` and which has a
  // mean angle, as written by the computation; nullptr when the book is not computed
  // or has no such station.
  virtual const std::string* TraverseBookAngle(const std::string& station, const std::string& back,
                                               const std::string& fore) const = 0;
  virtual const std::string* AngleBookAngle(const std::string& station, const std::string& back,
                                            const std::string& fore) const = 0;
};

}  // namespace records
