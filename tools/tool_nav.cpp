#include "tools/tool_nav.h"

#include "tools/tool_codes.h"

namespace tools {

const char* ToolCodeForItem(int code) {
  for (const auto& t : kToolTable)
    if (t.item == code) return t.code;
  return nullptr;
}

app::NavTree BuildToolsTree() {
  app::NavTree tree;
  app::NavItem common = app::NavBranch("常用计算", true);
  app::NavItem inter = app::NavBranch("交会", true);
  const ToolInfo* detail = nullptr;
  for (const auto& t : kToolTable) {
    if (t.item < 200) common.children.push_back(app::NavLeaf(t.treeText, t.item, 2));
    else if (t.item < 300) inter.children.push_back(app::NavLeaf(t.treeText, t.item, 2));
    else detail = &t;
  }
  tree.push_back(std::move(common));
  tree.push_back(std::move(inter));
  if (detail) tree.push_back(app::NavLeaf(detail->treeText, detail->item, 2));
  return tree;
}

void CToolsNavSource::OnNavSelect(int code) {
  if (const char* tool = ToolCodeForItem(code)) target_.ShowTool(tool);
}

int CToolsNavSource::LoadedNavItem() const {
  for (const auto& t : kToolTable)
    if (target_.ToolRowCount(t.code) >= 1) return t.item;
  return 0;
}

}  // namespace tools
