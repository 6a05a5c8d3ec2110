#pragma once
// Layout of the traverse data-input tables and the rules of which cells may be typed
// into. Three layouts: traverse types 0-3 (angles, sides, height differences, known
// coordinates), the coordinate traverse (type 4) and the single-run levelling
// (type 5). The column order is the order in which the grid is read back into rows.
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace traverse {

struct InputColumn {
  std::string header1, header2;
  int span = 0;
  int width = 8;
  int filter = 0;  // editor filter: 0 none, 1 digits, 3 decimal, 4 signed decimal, 6 signed angle
  bool stagger = false;
  std::string tip;  // fixed column tip (the per-type tips of UpdateInputTips come on top)
};

struct InputLayout {
  std::string title;
  std::vector<InputColumn> columns;  // columns[0] is grid column 1
};

// The layout of the input table of a traverse type with its weighting options.
InputLayout InputLayoutFor(int traverseType, int levelWeight, int distUnit);

// Least number of rows an input table keeps: 5 for type 0, 3 for the others.
int MinimumInputRows(int traverseType);

// Lock flags of the input cells as UpdateInputTips sets them, for a table of `rows`
// rows (already grown to the minimum): result[r-1][c-1] is true when cell (r, c) is
// locked. Type 5 unlocks every cell. The trigonometric weight lock is not included
// (it depends on the texts): see TrigWeightFollowsDistance.
std::vector<std::vector<bool>> InputLockPattern(int traverseType, int rows);
// One row of it (1-based), columns 1-9; all unlocked outside the table.
std::array<bool, 9> InputLockRow(int traverseType, int rows, int row);

// The column tips UpdateInputTips sets for types 0-3: column index (1-based) and tip.
std::vector<std::pair<int, std::string>> InputTips(int traverseType, int levelWeight);

// Types 0-2 with trigonometric heighting weight a height difference by its side: the
// weight cell is locked and shows the side (m, or km with 3 decimals) whenever a side
// is typed, and is empty without a height difference. *weight receives the text.
bool TrigWeightFollowsDistance(int traverseType, int heightRouteType, int distUnit, const std::string& distance,
                               const std::string& dh, std::string* weight);

}  // namespace traverse
