// CDxView: construction, the new-document state and reading the input grid.
#include "traverse/view/dx_view.h"

#include "table/export/export_ports.h"
#include "traverse/codes.h"
#include "traverse/engine/dx_text.h"

CDxView::CDxView() = default;
CDxView::~CDxView() = default;

void CDxView::ResetScheme() {
  ResetJob();
  table::ExportDialogs().CloseWordDialog(*this);
  TableCode.clear();
  SetTitle("");

  static const char* const kHeader[12] = {"工程名称：", "", "等级：", "", "", "", "",
                                          "",          "", "计算：", "校核：", "日期："};
  for (int i = 0; i < 12; ++i) SetHeaderText(i, kHeader[i]);

  m_nAngleDecimals = 0;
  m_nDistDecimals = 3;
  m_nDhDecimals = 3;
  m_nCoordDecimals = 3;
  m_nHeightDecimals = 3;

  NewTable(0, 0, "", true);
}

void CDxView::ReadInputTable() {
  if (TableCode != traverse::kTableInput || GetColCount() <= 0) return;
  if (GetRowCount() < 3) SetRowCount(3);
  const bool grows = m_nTraverseType == 2 || m_nTraverseType == 3 || m_nTraverseType == 5;
  if (grows) {
    bool deleted = false;
    while (GetRowCount() > 3 && dxtext::Trim(CellText(GetRowCount(), 1)).empty()) {
      DeleteRow(GetRowCount());
      deleted = true;
    }
    if (deleted) PushUndo();
  }
  const int n = GetRowCount();
  const int m = GetColCount();
  if (m_nTraverseType <= 3) {
    // The last row has no fore point: its angle is locked, its leg cells emptied.
    SetCellLocked(n, 2, true);
    for (int c = 2; c <= 5 && c <= m; ++c) SetCellText(n, c, "");
  } else if (m_nTraverseType == 4) {
    for (int c = 2; c <= 4 && c <= m; ++c) SetCellText(1, c, "");
  }
  std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(n));
  for (int r = 1; r <= n; ++r)
    for (int c = 1; c <= m; ++c) cells[static_cast<std::size_t>(r - 1)].push_back(CellText(r, c));
  SetInputRows(cells);
}
