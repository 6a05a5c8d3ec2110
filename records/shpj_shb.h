#pragma once
// CShpjShb: the horizontal-angle field book. Per station a block of 2 × 测回数 rows,
// each set a row pair (first and second target) read face left and right. Compute
// gives the 2C of every reading pair, the direction values of each set (first
// target zero) and the station's mean angle. It hands nothing to the summary.
//
// Cells of a row (7): 0 station, 1 target, 2 face left, 3 face right, 4 2C,
// 5 direction value, 6 mean angle (first row of the block).
#include <string>
#include <vector>

#include "records/shb_page.h"

class CTableView;

class CShpjShb {
 public:
  using CCol = records::ShbCol;
  using CRow = records::ShbRow<7>;
  using CPage = records::ShbPage<7>;
  static constexpr const char* kTitle = "水平角观测记录";

  int m_nSets = 2;                  // "测回数"
  std::vector<CPage> m_arrPages;
  int m_bComputed = 0;
  int m_nLinesAbove = 2;
  int m_nLinesBelow = 0;
  std::string m_strTitle = kTitle;
  int m_nTableRows = 36;
  double m_dPrintHeight = 3.0;

  bool m_bSetsRepaired = false;  // see CDxShb

  int RowsPerPage();
  bool AddPage();
  // Also restores the title, so that one job's title does not leak into the next.
  void Reset();
  bool SetupGrid(CTableView& grid, int page, bool newTable);
  bool LoadPageToGrid(CTableView& grid, int page);
  bool SavePageFromGrid(const CTableView& grid, int page);
  void ClearResults(CTableView& grid, int page);
  // Empties every cell a computation writes, on every page.
  void ClearComputedCells();
  bool Compute(const records::Decimals& decimals);
  int BlockPosition(int row) const;
};
