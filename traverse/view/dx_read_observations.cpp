// CDxView::OnReadObservations: the observations of the field books into the input
// table, matched by the point names the user typed.
#include "platform/ports.h"
#include "records/wyzhl.h"
#include "traverse/codes.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

namespace {

constexpr int kAngleCol = 2, kDistanceCol = 3, kDhCol = 4, kWeightCol = 5;

// The first record joining the two names, and whether it runs from `a` to `b`.
const records::CWyZhl* FindLeg(const std::vector<records::CWyZhl>& legs, const std::string& a, const std::string& b,
                               bool* forward) {
  for (const records::CWyZhl& w : legs) {
    if (w.m_strFrom == a && w.m_strTo == b) {
      *forward = true;
      return &w;
    }
    if (w.m_strFrom == b && w.m_strTo == a) {
      *forward = false;
      return &w;
    }
  }
  return nullptr;
}

}  // namespace

void CDxView::OnReadObservations() {
  if (TableCode != traverse::kTableInput || m_nTraverseType > 3 || GetColCount() < kWeightCol) return;
  const records::IFieldBooks* books = m_pViewPorts ? m_pViewPorts->FieldBooks() : nullptr;
  if (!books || (!books->TraverseBookComputed() && !books->AngleBookComputed() && !books->LevellingBookComputed())) {
    platform::Messages().ShowMessage("观测记录未计算，无法读取！\n请先计算观测记录");
    return;
  }
  const std::vector<records::CWyZhl>& results = books->FieldResults();
  const int n = GetRowCount();
  for (int r = 1; r < n; ++r) {
    const std::string name = GetCellText(r, 1), next = GetCellText(r + 1, 1);
    if (name.empty() || next.empty()) continue;
    bool forward = true;
    if (const records::CWyZhl* leg = FindLeg(results, name, next, &forward)) {
      if (IsCellLocked(r, kDistanceCol))
        SetCellText(r, kDistanceCol, "");
      else if (leg->m_nDistCount > 0)
        SetCellDouble(r, kDistanceCol, leg->m_dDistance, m_nDistDecimals);
      if (IsCellLocked(r, kDhCol)) {
        SetCellText(r, kDhCol, "");
      } else if (leg->m_nHeightCount > 0) {
        SetCellDouble(r, kDhCol, forward ? leg->m_dHeightDiff : -leg->m_dHeightDiff, m_nDhDecimals, true);
        if (m_nLevelWeight == 1)
          SetCellInt(r, kWeightCol, leg->m_nStations);
        else if (leg->m_dSectionLength > 0)
          SetCellDouble(r, kWeightCol, m_nDistUnit == 1 ? leg->m_dSectionLength / 1000 : leg->m_dSectionLength,
                        m_nDistUnit == 1 ? 2 : 0);
      }
    }
    if (r > 1 && !IsCellLocked(r, kAngleCol)) {
      const std::string back = GetCellText(r - 1, 1);
      const std::string* angle = books->TraverseBookAngle(name, back, next);
      if (!angle || angle->empty()) angle = books->AngleBookAngle(name, back, next);
      if (angle && !angle->empty()) SetCellText(r, kAngleCol, *angle);  // never a typed angle replaced by nothing
    }
  }
  // A change like any edit: the job is modified and the rows are read again; then
  // the filled table is one undo step.
  SendTableChanged();
  PushUndo();
  // Only books computed since their last edit were read: say which were left out.
  std::string skipped;
  auto skip = [&skipped](bool computed, const char* name) {
    if (computed) return;
    if (!skipped.empty()) skipped += "、";
    skipped += name;
  };
  skip(books->TraverseBookComputed(), "导线记录");
  skip(books->AngleBookComputed(), "水平角记录");
  skip(books->LevellingBookComputed(), "水准记录");
  if (!skipped.empty())
    platform::Messages().ShowMessage(skipped + "手簿未计算或已修改，其观测数据未读取，请先计算。");
}
