#include "traverse/view/traverse_nav.h"

#include "traverse/codes.h"

namespace traverse {

using app::NavBranch;
using app::NavItem;
using app::NavLeaf;
using app::NavTree;

std::string CustomTableItemText(int i, const std::string& name) {
  return name.empty() ? "自定义表格" + std::to_string(i + 1) : name;
}

NavTree BuildTraverseTree(const ITraverseNavTarget* target) {
  const int t = target ? target->TraverseType() : 0;
  NavTree tree;
  tree.push_back(NavLeaf("数据输入", kNavInput, 2));
  if (t <= 3) {
    tree.push_back(NavLeaf("平面计算表", kNavPlane, 2));
    tree.push_back(NavLeaf("高程计算表", kNavHeight, 2));
  }
  if (t == 4) tree.push_back(NavLeaf("坐标Pelmor计算表", kNavPlane, 2));
  if (t == 5) tree.push_back(NavLeaf("水准测量记录计算表", kNavHeight, 2));
  if (t <= 4) {
    tree.push_back(NavLeaf("控制点成果表", kNavControl, 2));
    tree.push_back(NavLeaf("平差成果表", kNavResults, 2));
  }
  if (t <= 3) tree.push_back(NavLeaf("精度评定", kNavPrecision, 2));
  if (t == 0) tree.push_back(NavLeaf("平面查错", kNavErrorSearch, 2));
  NavItem custom = NavBranch("自定义成果形式", true);
  custom.caretHome = true;
  for (int i = 0; i < kCustomTableCount; ++i)
    custom.children.push_back(NavLeaf(CustomTableItemText(i, target ? target->CustomTableName(i) : ""), kNavCustomFirst + i, 2));
  tree.push_back(std::move(custom));
  if (t <= 4) {
    NavItem diagrams = NavBranch("图形", true);
    if (t == 0) diagrams.children.push_back(NavLeaf("平面查错图形", kNavErrorDiagram, 2));
    diagrams.children.push_back(NavLeaf("导线图", kNavTraverseDiagram, 2));
    diagrams.children.push_back(NavLeaf("展点图", kNavPointPlot, 2));
    tree.push_back(std::move(diagrams));
  }
  return tree;
}

std::string TraverseTableCode(int code) {
  switch (code) {
    case kNavInput: return kTableInput;
    case kNavPlane: return kTablePlane;
    case kNavHeight: return kTableHeight;
    case kNavControl: return kTableControl;
    case kNavResults: return kTableResults;
    case kNavPrecision: return kTablePrecision;
    case kNavErrorSearch: return kTableErrorSearch;
    default: break;
  }
  const int custom = code - kNavCustomFirst;
  if (custom >= 0 && custom < kCustomTableCount) return CustomTableCode(custom);
  return {};
}

void CTraverseNavSource::OnNavSelect(int code) {
  if (code <= 0) return;
  // Codes 90..99 are the diagrams, drawn in the drawing view.
  target_.ShowInFrame(code >= kNavErrorDiagram && code <= 99);
  std::string table = TraverseTableCode(code);
  if (!table.empty()) target_.ShowTable(table);
  else if (code == kNavErrorDiagram) target_.DrawErrorSearchDiagram();
  else if (code == kNavTraverseDiagram) target_.DrawTraverseDiagram();
  else if (code == kNavPointPlot) target_.DrawPointPlot();
}

int CTraverseNavSource::LoadedNavItem() const { return target_.InputRowCount() >= 4 ? kNavInput : 0; }

}  // namespace traverse
