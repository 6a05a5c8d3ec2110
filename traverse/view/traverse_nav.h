#pragma once
// The adjustment section of the navigation pane ("平差计算"): the tree the traverse
// view shows there for its traverse type, and what each item code (traverse/codes.h)
// shows when chosen. The traverse host answers the target; the pane asks the source.
#include <string>

#include "platform/nav_tree.h"

namespace traverse {

// What the tree stands on and what its items do.
class ITraverseNavTarget {
 public:
  virtual ~ITraverseNavTarget() = default;
  virtual int TraverseType() const = 0;                 // 0..5
  virtual int InputRowCount() const = 0;
  virtual std::string CustomTableName(int i) const = 0;  // i = 0..9; "" when unnamed
  // Brings the drawing view (diagrams) or the traverse view into the frame's pane.
  virtual void ShowInFrame(bool drawing) = 0;
  virtual void ShowTable(const std::string& code) = 0;  // a table code of traverse/codes.h
  virtual void DrawErrorSearchDiagram() = 0;
  virtual void DrawTraverseDiagram() = 0;
  virtual void DrawPointPlot() = 0;
};

// The tree for the target's type and custom names (a null target counts as type 0
// with no names). The caret rests on "自定义成果形式".
app::NavTree BuildTraverseTree(const ITraverseNavTarget* target);
// The text of custom table item i: its name, or "自定义表格<i+1>" when unnamed.
std::string CustomTableItemText(int i, const std::string& name);
// Table code of an adjustment item ("" for codes that show no table).
std::string TraverseTableCode(int code);

class CTraverseNavSource final : public app::INavSource {
 public:
  explicit CTraverseNavSource(ITraverseNavTarget& target) : target_(target) {}
  app::NavTree BuildNavTree() const override { return BuildTraverseTree(&target_); }
  void OnNavSelect(int code) override;
  // The input table once the job has a traverse of four rows or more.
  int LoadedNavItem() const override;

 private:
  ITraverseNavTarget& target_;
};

}  // namespace traverse
