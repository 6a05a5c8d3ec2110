// CDxView::OnControlPoints: the control-point store (".kzd") and the export of the
// adjusted points for another mapping system.
#include <cmath>

#include "platform/number.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "survey/format.h"
#include "traverse/codes.h"
#include "traverse/kzd/kzd_export.h"
#include "traverse/kzd/kzd_file.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

namespace {

std::string CoordText(double v) { return std::isfinite(v) ? traverse::KzdNumber(v) : std::string(); }

}  // namespace

void CDxView::OnControlPoints() {
  traverse::CExportKzdForm form;
  form.LoadProfile(*platform::Desktop().profile);
  if (!m_pViewPorts || !m_pViewPorts->RunExportKzdDialog(form)) return;
  if (form.mode == traverse::kKzdRead) {
    ReadControlPoints(form.kzdPath);
    return;
  }
  // Whatever was typed since the computation makes its results stale.
  if (TableCode == traverse::kTableInput) SaveInputTable();
  if (!m_bComputed) {
    platform::Messages().ShowMessage("请先计算！");
    return;
  }
  if (form.mode == traverse::kKzdStore) {
    if (StoreControlPoints(form.kzdPath, form.policy))
      platform::Messages().ShowMessage("控制点成果输出完成！", platform::MsgIcon::Information);
    return;
  }
  if (traverse::WriteKzdExport(form, ExportPoints()))
    platform::Messages().ShowMessage("控制点已成功输出到其它成图系统文件格式！", platform::MsgIcon::Information);
}

void CDxView::ReadControlPoints(const std::string& path) {
  if (TableCode != traverse::kTableInput) {
    platform::Messages().ShowMessage("读入控制点数据功能仅用于数据输入表格!");
    return;
  }
  traverse::CKzdFile file;
  if (!file.OpenForRead(path)) return;
  // X, Y, H and remark wherever the layout shows them (the levelling table has no X, Y).
  const int columns[4] = {InputColumnOf(&CUnit::xText), InputColumnOf(&CUnit::yText), InputColumnOf(&CUnit::hText),
                          InputColumnOf(&CUnit::remark)};
  const int cols = GetColCount();
  if (GetUndoCount() == 0) PushUndo();  // the state before the fill, for undo
  bool changed = false;
  std::vector<std::string> values;
  // A stored X, Y or H that is not a number is reported with its line, and that
  // point is not read at all: a half-read point would compute on the rest.
  std::vector<std::string> refused;
  static const char* const kLabels[3] = {"X坐标", "Y坐标", "高程"};
  for (int r = 1; r <= GetRowCount(); ++r) {
    const std::string name = GetCellText(r, 1);
    if (!file.FindPoint(name, values)) continue;
    std::string bad;
    for (std::size_t k = 0; k < values.size() && k < 3 && bad.empty(); ++k) {
      const int c = columns[k];
      if (c >= 1 && c <= cols && !values[k].empty() && !platform::ReadNumber(values[k]))
        bad = survey::Format("控制点文件第%d行(%s)的%s不是数字（%s）",
                             {static_cast<int>(file.LineOf(name)), name, kLabels[k], values[k]});
    }
    if (!bad.empty()) {
      refused.push_back(bad);
      continue;
    }
    for (std::size_t k = 0; k < values.size() && k < 4; ++k) {
      const int c = columns[k];
      if (c < 1 || c > cols || IsCellLocked(r, c) || GetCellText(r, c) == values[k]) continue;
      SetCellText(r, c, values[k]);
      changed = true;
    }
  }
  if (changed) {
    // Like an edit: the document is modified, the rows are read again, one undo step.
    SendTableChanged();
    PushUndo();
  }
  if (refused.empty()) return;
  std::string text;
  const std::size_t shown = refused.size() > 10 ? 9 : refused.size();
  for (std::size_t i = 0; i < shown; ++i) text += refused[i] + "\n";
  if (shown < refused.size()) text += survey::Format("……等共%d个点\n", {static_cast<int>(refused.size())});
  platform::Messages().ShowMessage(text + "以上各点未读入。");
}

bool CDxView::StoreControlPoints(const std::string& path, int policy) {
  traverse::CKzdFile file;
  if (!file.OpenForWrite(path, policy)) return false;
  for (const CUnit& u : m_arrUnit) {
    if (u.name.find(',') != std::string::npos) {
      platform::Messages().ShowMessage(survey::Format("点名“%s”含有逗号，无法入库！", u.name));
      return false;
    }
    const bool plane = u.planeIndex >= 0, height = u.heightIndex >= 0;
    const std::string line = u.name + "," + (plane ? CoordText(u.x) : "") + "," + (plane ? CoordText(u.y) : "") + "," +
                             (height ? CoordText(u.h) : "") + "," + u.remark + "\n";
    file.WritePoint(u.name, line);
  }
  return file.Close();
}

std::vector<traverse::KzdExportPoint> CDxView::ExportPoints() const {
  std::vector<traverse::KzdExportPoint> points;
  for (const CUnit& u : m_arrUnit) {
    if (u.planeIndex < 0) continue;
    traverse::KzdExportPoint p;
    p.name = u.name;
    p.knownPlane = u.knownPlane != 0;
    p.x = u.x;
    p.y = u.y;
    p.hasHeight = u.heightIndex >= 0;
    p.h = u.h;
    points.push_back(p);
  }
  return points;
}
