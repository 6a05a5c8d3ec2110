#include "tools/tool_plugin.h"

#include "platform/number.h"
#include "survey/angle.h"
#include "table/table_view.h"

namespace tools {

const ToolRegistry& Tools() {
  static const ToolRegistry registry = [] {
    ToolRegistry r;
    RegisterGeodeticTools(r);
    RegisterReductionTool(r);
    RegisterTransformTools(r);
    RegisterPlaneTools(r);
    RegisterHeightingTools(r);
    RegisterIntersectionTools(r);
    RegisterDetailSurveyTool(r);
    return r;
  }();
  return registry;
}

bool CellsFilled(const CTableView& v, int row, std::initializer_list<int> cols) {
  for (int c : cols)
    if (c > v.GetColCount() || v.CellText(row, c).empty()) return false;
  return true;
}

double CellNumber(const CTableView& v, int row, int col) { return platform::ParseDouble(v.CellText(row, col)); }

double CellAngle(const CTableView& v, int row, int col) { return survey::ParseAngleText(v.CellText(row, col)); }

std::string PointName(const CTableView& v, int row) {
  const std::string& name = v.CellText(row, 1);
  return name.empty() ? std::to_string(row) : name;
}

std::string RowPrefix(int row) { return "第" + std::to_string(row) + "行"; }

}  // namespace tools
