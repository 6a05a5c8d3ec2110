#include "tools/common_points.h"

#include "platform/number.h"
#include "survey/format.h"

namespace tools {

std::string CommonPointPrompt(int mode) {
  return mode == 2 ? "输入至少三个公共点在转换前后的坐标值，如果只输入一个则只计算3参数："
                   : "输入至少两个公共点在转换前后的坐标值：";
}

void FillCommonPointList(CListEx& list, int mode, const std::vector<std::string>& store) {
  list.DeleteAllItems();
  const bool seven = mode == 2;
  const int width = seven ? 75 : 100;
  list.InsertColumn(0, "序号", 40, 0);
  const char* four[] = {"转换前X", "转换前Y", "转换后X", "转换后Y"};
  const char* sev[] = {"转换前X", "转换前Y", "转换前Z", "转换后X", "转换后Y", "转换后Z"};
  const int n = seven ? 6 : 4;
  for (int c = 0; c < n; ++c) list.InsertColumn(c + 1, seven ? sev[c] : four[c], width, 7);
  std::vector<std::string> items;
  for (const std::string& point : store) {
    const int r = list.InsertItem(list.GetItemCount(), "");
    survey::SplitText(point, items, ',');
    for (int c = 0; c < n && c < static_cast<int>(items.size()); ++c) list.SetItemText(r, c + 1, items[static_cast<std::size_t>(c)]);
  }
  list.InsertItem(list.GetItemCount(), "");
  list.Select(0, 1, 0);
  list.PushUndo();
}

bool CommonPointsEdited(const CListEx& list, int mode, const std::vector<std::string>& store) {
  const int n = mode == 2 ? 6 : 4;
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < list.GetItemCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 1; c <= n; ++c) row.push_back(list.GetItemText(r, c));
    rows.push_back(std::move(row));
  }
  auto empty = [](const std::vector<std::string>& row) {
    for (const std::string& t : row)
      if (!t.empty()) return false;
    return true;
  };
  while (!rows.empty() && empty(rows.back())) rows.pop_back();
  if (rows.size() != store.size()) return true;
  std::vector<std::string> items;
  for (std::size_t i = 0; i < store.size(); ++i) {
    survey::SplitText(store[i], items, ',');
    items.resize(static_cast<std::size_t>(n));
    if (items != rows[i]) return true;
  }
  return false;
}

std::string AcceptCommonPoints(CListEx& list, int mode, std::vector<std::string>& out) {
  list.KeepOneEmptyRow();
  const int r = list.GetItemCount() - 1;
  if (mode == 1 && r < 2) return "应至少输入两个公共点在转换前后的坐标值。";
  if (mode == 2 && (r == 0 || r == 2)) return "请正确输入公共点坐标。\n输入一个公共点则计算三参数，\n输入三个公共点，则计算七参数。";
  const int n = mode == 2 ? 6 : 4;
  std::vector<std::string> points;
  for (int row = 0; row < r; ++row) {
    std::string item;
    for (int c = 1; c <= n; ++c) {
      const std::string text = list.GetItemText(row, c);
      if (text.empty()) return "第" + std::to_string(row + 1) + "行数据输入不完整。";
      if (!platform::ReadNumber(text))
        return "第" + std::to_string(row + 1) + "行的" + list.Column(c).heading + "不是数字。";
      if (c > 1) item += ',';
      item += text;
    }
    points.push_back(item);
  }
  out = std::move(points);
  return "";
}

}  // namespace tools
