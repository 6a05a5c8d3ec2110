#pragma once
// Column data codes of the traverse result tables ("DM", "X", "QJD", ...): their
// headers, and when the fill loop writes a value into a cell. Built-in and custom
// result tables are lists of these codes, so one table drives both.
#include <string>
#include <string_view>
#include <vector>

namespace traverse {

struct ColumnCodeInfo {
  const char* code;
  const char* header1;
  const char* header2;
  int span;   // header line 1 spans this many columns
  int width;  // minimum width in half-width characters
};

// Every code in table order (the first match wins).
const std::vector<ColumnCodeInfo>& ColumnCodes();
// nullptr for an unknown code.
const ColumnCodeInfo* FindColumnCode(std::string_view code);

// The two header lines as shown: QDX says "坐标增量" in an open traverse and
// "改正前坐标增量" elsewhere; GJ shows "( km )" when the weights are in kilometres.
struct ColumnHeader {
  std::string line1, line2;
  int span = 0;
  int width = 4;
};
ColumnHeader HeaderForCode(const ColumnCodeInfo& info, int traverseType, int distUnit);

// A custom-table code may end in "LOW": the column is then staggered.
std::string StripLowSuffix(std::string_view code, bool* staggered);

// What the fill condition of a code depends on besides the row.
struct FillScheme {
  int type = 0;
  bool rigorous = true;
  bool backComputed = false;
  bool plane = false;               // the job had a plane part
  std::string tableCode;            // the table being filled (a traverse/codes.h table code)
  double sigma0Plane = -1;          // < 0: no precision
  double sigma0Height = -1;
};

// The row being filled and the next one.
struct FillRow {
  bool last = false;          // the last row of the table
  bool hasPlane = false;      // the row has a plane point
  bool planeKnown = false;
  bool nextHasPlane = false;  // the next row (only when not last)
  bool nextPlaneKnown = false;
  bool hasHeight = false;
  bool heightKnown = false;
  bool angleCell = false;     // the input cells are not empty
  bool distanceCell = false;
  bool dhCell = false;
  bool weightCell = false;
};

// True when the fill loop writes a value for this code into this row.
bool ColumnHasValue(std::string_view code, const FillScheme& s, const FillRow& r);

// How the fill loop formats the value of a code.
enum class ValueFormat {
  None,         // nothing is written (DJMG, and codes without a value source)
  Text,         // a text as typed
  Coordinate,   // coordinate decimals
  Height,       // height decimals
  Distance,     // distance decimals
  Two,          // 2 decimals, no sign
  SignedTwo,    // "%+.2f"
  SignedCoord,  // "%+.*f" with coordinate decimals
  SignedDh,     // "%+.*f" with height-difference decimals
  Angle,        // angle text with the angle decimals
  AngleDM,      // angle text, degrees and minutes only
  Relative,     // FBCH: "1/%5d" or "1/%3d万"
};
ValueFormat FormatForCode(std::string_view code);

// The relative side error of an adjusted side (m) with its RMS (mm): "" below 1e-8 mm,
// "1/%3d万" from 1:100000 on (ten-thousands rounded), else "1/%5d".
std::string RelativeErrorText(double side, double rmsMm);

// Blanks appended until the GBK width of the text is `width` (double-byte characters
// such as Chinese, β and Σ count two); a longer text is returned unchanged.
std::string PadGbk(std::string text, int width);

}  // namespace traverse
