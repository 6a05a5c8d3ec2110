// CDxView: the three data-input tables and the rules of which cells take typing.
#include <algorithm>

#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_input.h"
#include "traverse/view/dx_view_ports.h"

namespace {

using Field = std::string CDxView::CUnit::*;
using U = CDxView::CUnit;

// The texts of a row in the column order of its table.
std::vector<Field> RowFields(int type) {
  if (type == 4)
    return {&U::name, &U::obsXText, &U::obsYText, &U::obsHText, &U::weightText, &U::xText, &U::yText, &U::hText, &U::remark};
  if (type == 5) return {&U::name, &U::backsightText, &U::intermediateText, &U::foresightText, &U::hText, &U::remark};
  return {&U::name, &U::angleText, &U::distanceText, &U::dhText, &U::weightText, &U::xText, &U::yText, &U::hText, &U::remark};
}

}  // namespace

namespace {

// Headers, filters, staggering and fixed tips of an input layout, then the cells.
void BuildInputGrid(CDxView& v, int rows) {
  const traverse::InputLayout layout = traverse::InputLayoutFor(v.m_nTraverseType, v.m_nLevelWeight, v.m_nDistUnit);
  const int cols = static_cast<int>(layout.columns.size());
  v.SetReadOnly(false, true, false);
  v.m_arrUnit.resize(static_cast<std::size_t>(rows));
  v.NewTable(rows, cols, layout.title, false);
  for (int c = 1; c <= cols; ++c) {
    const traverse::InputColumn& col = layout.columns[static_cast<std::size_t>(c - 1)];
    v.SetColumnHeader(c, col.header1, col.header2, col.span, col.width);
    if (c < cols) v.SetColumnInputType(c, col.filter);  // the remark column keeps free text
    if (col.stagger) v.SetColumnStagger(c, true);
    if (!col.tip.empty()) v.SetColumnTip(c, col.tip);
  }
  const std::vector<Field> fields = RowFields(v.m_nTraverseType);
  const int filled = std::min(cols, static_cast<int>(fields.size()));
  for (int r = 1; r <= rows; ++r) {
    const CDxView::CUnit& u = v.m_arrUnit[static_cast<std::size_t>(r - 1)];
    for (int c = 1; c <= filled; ++c) v.SetCellText(r, c, u.*fields[static_cast<std::size_t>(c - 1)]);
  }
}

}  // namespace

int CDxView::InputColumnOf(std::string CUnit::*field) const {
  const std::vector<Field> fields = RowFields(m_nTraverseType);
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i] == field) return static_cast<int>(i) + 1;
  return 0;
}

int CDxView::SetupTraverseInputTable() {
  int n = static_cast<int>(m_arrUnit.size());
  if (m_nTraverseType == 3 && n < 3) n = 3;
  if (m_nTraverseType <= 2 && n < 1) {
    OnScheme();
    if (m_pViewPorts) m_pViewPorts->SelectCustomFormsBranch();
    return 0;
  }
  BuildInputGrid(*this, n);
  UpdateInputTips();
  return 1;
}

int CDxView::SetupCoordTraverseInputTable() {
  const int n = static_cast<int>(m_arrUnit.size());
  if (n < 1) {
    OnScheme();
    if (m_pViewPorts) m_pViewPorts->SelectCustomFormsBranch();
    return 0;
  }
  BuildInputGrid(*this, n);
  for (int r = 2; r < n; ++r) {
    for (int c = 1; c <= 9; ++c) SetCellLocked(r, c, false);
    for (int c = 6; c <= 8; ++c) {
      SetCellLocked(r, c, true);
      SetCellText(r, c, "");
    }
  }
  for (int c = 2; c <= 4; ++c) {
    SetCellLocked(1, c, true);
    SetCellText(1, c, "");
  }
  // The known start and end rows open at once, not only after the first edit.
  UpdateInputTips();
  return 1;
}

int CDxView::SetupLevellingInputTable() {
  int n = static_cast<int>(m_arrUnit.size());
  if (n < 3) n = 3;
  BuildInputGrid(*this, n);
  for (int r = 1; r <= n; ++r)
    for (int c = 1; c <= 6; ++c) SetCellLocked(r, c, false);
  return 1;
}

void CDxView::UpdateInputTips() {
  const int type = m_nTraverseType;
  const int cols = GetColCount();
  if (cols <= 0) return;
  const int minRows = traverse::MinimumInputRows(type);
  if (GetRowCount() < minRows) SetRowCount(minRows);
  const bool modified = m_pViewPorts && m_pViewPorts->IsDocumentModified();
  const int n = GetRowCount();

  if (type == 5) {
    if (modified)
      for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= cols; ++c) SetCellLocked(r, c, false);
    return;
  }

  for (int r = 1; r <= n; ++r) {
    const auto lock = traverse::InputLockRow(type, n, r);
    for (int c = 1; c <= cols && c <= 9; ++c) SetCellLocked(r, c, lock[static_cast<std::size_t>(c - 1)]);
  }
  for (const auto& [col, tip] : traverse::InputTips(type, m_nLevelWeight))
    if (col <= cols) SetColumnTip(col, tip);

  for (int r = 1; r <= n; ++r) {
    if (modified)
      for (int c = 2; c <= cols; ++c)
        if (IsCellLocked(r, c) && !CellText(r, c).empty()) SetCellText(r, c, "");
    std::string weight;
    if (cols >= 5 &&
        traverse::TrigWeightFollowsDistance(type, m_nHeightRouteType, m_nDistUnit, CellText(r, 3), CellText(r, 4),
                                            &weight)) {
      SetCellLocked(r, 5, true);
      if (CellText(r, 5) != weight) SetCellText(r, 5, weight);
    }
  }
}
