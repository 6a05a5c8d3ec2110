#pragma once
// CShzhShb: the levelling field book, in one of three forms (LevellingMode):
// double-scale staffs (black and red face) and precise staffs (basic and auxiliary
// graduation) take three rows per station (back, fore, result); single-face
// levelling takes one row per set-up. Points whose names begin with "TP" are
// turning points inside a section; Compute hands each section between two named
// points to the summary as one leg.
//
// Cells (10), modes 0 and 2: 0 station number, 1 point name, 2 and 3 the back and
// fore staff's stadia hairs (result row: sight distances), 4 d / ∑d / station
// length, 5 fixed label, 6 black (basic), 7 red (auxiliary), 8 K check, 9 mean
// height difference. Mode 1: 0 backsight, 1 foresight, 2 back reading, 3 fore
// reading, 4 height difference, 5 remark.
#include <string>
#include <vector>

#include "records/shb_page.h"
#include "records/wyzhl.h"

class CTableView;

enum LevellingMode : int { kLevelDoubleScale = 0, kLevelSingleFace = 1, kLevelPrecise = 2 };

class CShzhShb {
 public:
  using CCol = records::ShbCol;
  using CRow = records::ShbRow<10>;
  using CPage = records::ShbPage<10>;
  static constexpr const char* kTitle = "水准观测记录";

  std::vector<CPage> m_arrPages;
  int m_bComputed = 0;
  int m_nLinesAbove = 2;
  int m_nLinesBelow = 0;
  std::string m_strTitle = kTitle;
  double m_dPrintHeight = 3.0;
  int m_nTableRows = 40;
  int m_nLevellingMode = kLevelDoubleScale;  // "水准观测方式"
  int m_bOmitDecimalPoint = 1;               // "水准数据省略小数点"
  double m_dStaffConstant = 301550.0;        // "基辅差"
  int m_bDoubledReadings = 0;                // "水准读数为实际2倍"

  // 3 × ⌊表格行数 / 3⌋.
  int RowsPerPage() const;
  bool AddPage();
  // Also restores the title.
  void Reset();
  bool SetupGrid(CTableView& grid, int page, bool newTable);
  bool LoadPageToGrid(CTableView& grid, int page);
  bool SavePageFromGrid(const CTableView& grid, int page);
  void ClearResults(CTableView& grid, int page);
  // Empties every cell a computation writes, on every page.
  void ClearComputedCells();
  bool Compute(const records::Decimals& decimals, records::LegLog& legs);

  // A turning point: the name begins with "TP" (case-sensitive).
  static bool IsTurningPoint(const std::string& name) { return name.rfind("TP", 0) == 0; }

 private:
  bool ComputeSingleFace(const records::Decimals& decimals, records::LegLog& legs);
  bool ComputeStations(records::LegLog& legs);
};
