#pragma once
// The tools section of the navigation pane ("常用工具"): the tools of kToolTable under
// "常用计算" and "交会", then the detail survey; an item shows its tool.
#include <string>

#include "platform/nav_tree.h"

namespace tools {

class IToolsNavTarget {
 public:
  virtual ~IToolsNavTarget() = default;
  virtual int ToolRowCount(const std::string& toolCode) const = 0;  // rows in its store
  virtual bool ShowTool(const std::string& toolCode) = 0;
};

app::NavTree BuildToolsTree();
// The tool code of a tools-tree item; nullptr for codes without a tool.
const char* ToolCodeForItem(int code);

class CToolsNavSource final : public app::INavSource {
 public:
  explicit CToolsNavSource(IToolsNavTarget& target) : target_(target) {}
  app::NavTree BuildNavTree() const override { return BuildToolsTree(); }
  void OnNavSelect(int code) override;
  // The first tool in table order whose store holds a row.
  int LoadedNavItem() const override;

 private:
  IToolsNavTarget& target_;
};

}  // namespace tools
