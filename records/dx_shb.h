#pragma once
// CDxShb: the traverse field book. Per station a block of 2 × 测回数 rows: each set is
// a row pair (first target, second target) with the horizontal circle read face left
// and right, optionally the vertical circle, the distance and target height. Compute
// reduces every station as the booker does on the paper form (2C, set and mean
// angles, index errors, vertical angles, reduced distances, height differences) and
// hands each leg on to the field-results summary.
//
// Cells of a row (15): 0 station / instrument height, 1 target, 2 L, 3 R, 4 2C,
// 5 mean angle, 6 VL, 7 VR, 8 index error, 9 vertical angle, 10 distance,
// 11 mean distance, 12 observed height difference, 13 target height, 14 mean
// height difference.
#include <string>
#include <vector>

#include "records/shb_page.h"
#include "records/wyzhl.h"

class CTableView;

namespace records {
// The refraction coefficients a traverse book may hold ("大气折光系数"): the settings
// dialog and the file reader take the same range.
inline constexpr double kRefractionMin = -1;
inline constexpr double kRefractionMax = 2;
}  // namespace records

// RecordDistanceType: how distance and height difference are observed.
enum RecordDistanceType : int { kDistanceDirect = 0, kDistanceSlope = 1, kDistanceStadia = 2 };

class CDxShb {
 public:
  using CCol = records::ShbCol;
  using CRow = records::ShbRow<15>;
  using CPage = records::ShbPage<15>;
  static constexpr const char* kTitle = "导线观测记录";

  int m_nSets = 2;                       // "测回数"
  int m_nDistanceType = kDistanceStadia; // "距离类型"
  std::vector<CPage> m_arrPages;
  int m_bComputed = 0;
  int m_nLinesAbove = 2;                 // "上方行数" 0..3
  int m_nLinesBelow = 0;                 // "下方行数" 0..1
  std::string m_strTitle = kTitle;       // "表格名称"
  double m_dRefraction = 0.14;           // "大气折光系数"
  int m_bVerticalFrom90 = 1;             // "90-盘左": vertical angle = 90° − face left
  int m_nTableRows = 24;                 // "表格行数"
  double m_dPrintHeight = 3.0;           // "打印字高", mm
  double m_dEdmConstant = 0;             // "测距加常数", m
  double m_dEdmScale = 0;                // "测距乘常数", ratio

  // Set when a 测回数 below 1 was repaired to 2 (the document is then modified);
  // the view clears it after marking the document.
  bool m_bSetsRepaired = false;

  // Rows of a page: whole station blocks, 2 × 测回数 × ⌊表格行数 / (2 × 测回数)⌋.
  int RowsPerPage();
  bool AddPage();
  void Reset();

  // The grid as the paper form of page `page`, then loaded (LoadPageToGrid).
  bool SetupGrid(CTableView& grid, int page, bool newTable);
  bool LoadPageToGrid(CTableView& grid, int page);
  bool SavePageFromGrid(const CTableView& grid, int page);
  void ClearResults(CTableView& grid, int page);

  // Empties every cell a computation writes, on every page.
  void ClearComputedCells();
  // Reduces every page; legs are appended to `legs`. False after the first message.
  bool Compute(const records::Decimals& decimals, records::LegLog& legs);

  // Grid columns for the distance type: 11 (直接输入) or 14.
  int GridColumns() const;
  // The page cell a grid column (1-based) shows, or -1.
  int CellOfColumn(int col) const;
  // Block position of grid row r (1-based): 1 first row of a block, 2 the second, ...
  int BlockPosition(int row) const;
};
