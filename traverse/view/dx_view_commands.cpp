// CDxView as a view: the button bar, the commands of the bar, the compute flow
// and the scheme dialog's round trip.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "platform/clock.h"
#include "platform/ports.h"
#include "traverse/codes.h"
#include "traverse/view/dx_view.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view_ports.h"
#include "traverse/engine/scheme_form.h"

namespace {


// The texts of a row as the grid holds them; the rest of a row is derived.
bool SameTexts(const CDxView::CUnit& a, const CDxView::CUnit& b) {
  for (auto text : traverse::kRowTexts)
    if (a.*text != b.*text) return false;
  return true;
}

}  // namespace

void CDxView::SetViewPorts(traverse::ITraverseViewPorts* ports) {
  m_pViewPorts = ports;
  m_onComputed = [this](bool plane) {
    m_nPendingComputed = plane ? 1 : 0;
    if (m_nCommandDepth == 0) DeliverComputed();
  };
}

void CDxView::DeliverComputed() {
  if (m_nPendingComputed < 0) return;
  const bool plane = m_nPendingComputed != 0;
  m_nPendingComputed = -1;
  if (m_pViewPorts) m_pViewPorts->ReselectAfterCompute(plane);
}

std::string CDxView::FirstUseHint(bool tableCopy) {
  static const char* const kItems[] = {
      "　　一、请先设置计算方案。不同的计算方案将导致不同的计算结果及不同的表格样式，详见帮助。",
      "\t\t\t\t　　二、平面与高程可以同时平差也可以分开平差。输入了角度、边长等平面数据则进行平面平差，输入高差等"
      "数据则进行高程的平差。",
      "\t\t\t\t  　三、如果在本软件中输入了观测记录，则可以先输入点名，然后读入观测数据。",
      "\t\t\t\t   　四、平面平差的先验误差如不能准确设置，建议尝试Helmert验后方差定权。",
      "\t\t\t\t\t　五、导线的角度均为前进方向的左角，如为右角，请前加负号以便转换为左角进行平差。",
      "\t\t\t\t\t 六、如果不需进行平面的平差，仅计算闭、附合高程路线，可以选择类型为“无定向导线”，或者选择类型为"
      "“闭附合导线”但表格中第一行及最后一行数据（均为定向点）不必输入，因为高程路线不需定向点。",
      "\t\t\t\t\t 　七、在数据输入表格的某行上按右键可以删除该行或在该行前插入一行。",
  };
  std::string hint;
  for (std::size_t i = 0; i < std::size(kItems); ++i) {
    if (i) hint += "\n\n";
    if (tableCopy) hint += '\t';
    hint += kItems[i];
  }
  return hint;
}

void CDxView::OnInitialUpdate() {
  CTableView::OnInitialUpdate();
  SetHeaderChoices({"工程名称：", "测量单位：", "监理单位：", "等级：", "等级：　等", "等级：　级", "等级：图根导线",
                    "测线：", "天气：", "仪器：", "地点：", "观测：", "记录：", "计算：", "校核：", "监理：", "日期：",
                    "日期：" + platform::TodayText("%Y.%m.%d")});
  if (table::CBarButton* b = FindButton(table::ID_CUSTOM)) b->enabled = false;
  if (!FindButton(traverse::ID_READ_OBSERVATIONS)) {
    auto add = [this](int id, const char* caption, int icon, const char* tip) {
      table::CBarButton b;
      b.id = id;
      b.caption = caption;
      b.icon = icon;
      b.tip = tip;
      Buttons().push_back(b);
    };
    add(traverse::ID_READ_OBSERVATIONS, "读取", 164, "输入点名后从观测记录中读取观测数据");
    add(traverse::ID_CONTROL_POINTS, "控制点", 151, "读取、存入控制点数据及输出到其它成图系统");
  }
  LayoutBar();
  m_strHint = FirstUseHint(false);
}

void CDxView::LayoutBar() {
  if (!FindButton(traverse::ID_READ_OBSERVATIONS)) return;
  static const int kOrder[] = {table::ID_SCHEME,       table::ID_TABLE_SETTINGS, traverse::ID_READ_OBSERVATIONS,
                               table::ID_COMPUTE,      table::ID_CUSTOM,         traverse::ID_CONTROL_POINTS,
                               table::ID_EXPORT_TEXT,  table::ID_EXPORT_WORD,    table::ID_EXPORT_EXCEL,
                               table::ID_EXPORT_CAD,   table::ID_UNDO,           table::ID_REDO};
  LayoutBarInOrder(kOrder, static_cast<int>(std::size(kOrder)), 10);
}

void CDxView::OnTableChanged() {
  CTableView::OnTableChanged();
  if (m_pViewPorts) m_pViewPorts->SetDocumentModified();
  // Only the input table has tips and locks; a header edit on a result table
  // must leave its cells alone.
  if (TableCode == traverse::kTableInput) UpdateInputTips();
}

bool CDxView::OnCommand(int id) {
  CommandScope scope(*this);
  switch (id) {
    case table::ID_SCHEME:
      if (!CommitEditor()) return true;
      OnScheme();
      return true;
    case table::ID_TABLE_SETTINGS: {
      const int angle = m_nAngleDecimals, dist = m_nDistDecimals, dh = m_nDhDecimals;
      CTableView::OnCommand(id);
      // The coordinate traverse writes its sides and angles as texts while computing:
      // other decimals need a new computation before the table can show them.
      if (m_nTraverseType == 4 && (angle != m_nAngleDecimals || dist != m_nDistDecimals || dh != m_nDhDecimals))
        m_bComputed = 0;
      ShowTable(TableCode);
      return true;
    }
    case table::ID_COMPUTE:
      if (!CommitEditor()) return true;
      OnCompute();
      return true;
    case traverse::ID_READ_OBSERVATIONS:
      if (!CommitEditor()) return true;
      OnReadObservations();
      return true;
    case traverse::ID_CONTROL_POINTS:
      if (!CommitEditor()) return true;
      OnControlPoints();
      return true;
    case table::ID_CUSTOM:
      if (!CommitEditor()) return true;
      OnCustomTable();
      return true;
    default:
      return CTableView::OnCommand(id);
  }
}

void CDxView::SaveInputTable() {
  // Without results there is nothing to keep, and no copy of a large job is made.
  if (!m_bComputed) {
    ReadInputTable();
    return;
  }
  std::vector<CUnit> before = m_arrUnit;
  ReadInputTable();
  if (before.size() != m_arrUnit.size()) return;
  for (std::size_t i = 0; i < before.size(); ++i)
    if (!SameTexts(before[i], m_arrUnit[i])) return;
  // Nothing was typed since the computation: its rows and results still hold.
  m_arrUnit = std::move(before);
  m_bComputed = 1;
}

void CDxView::OnCompute() {
  platform::WaitCursor wait;
  if (Host()) Host()->TakeFocus();
  ReadInputTable();
  Compute();
}

void CDxView::OnScheme() {
  if (TableCode == traverse::kTableInput) SaveInputTable();
  const traverse::SchemeValues v = traverse::SchemeOf(*this);
  const int rows = static_cast<int>(m_arrUnit.size());
  traverse::CSchemeForm form(v, traverse::UnknownCountFromRows(m_nTraverseType, rows));

  using R = traverse::ITraverseViewPorts::SchemeResult;
  const R result = m_pViewPorts ? m_pViewPorts->RunSchemeDialog(form) : R::Cancel;
  if (result != R::Ok) {
    if (m_pViewPorts) m_pViewPorts->SelectCustomFormsBranch();
    ShowTable("");
    if (result == R::Help && m_pViewPorts) m_pViewPorts->ShowSchemeHelp();
    return;
  }

  const traverse::SchemeValues& s = form.values;
  const int newRows = traverse::RowsFromUnknownCount(s.m_nTraverseType, form.unknownCount, rows);
  // OK on the scheme as it was keeps the job, its results and its modified flag;
  // the tree is rebuilt and the input shown as after any OK.
  if (s == v && newRows == rows) {
    TableCode.clear();
    if (m_pViewPorts) {
      m_pViewPorts->RebuildAndSelectInput();
    } else {
      ShowTable(traverse::kTableInput);
    }
    ShowTable(TableCode);
    return;
  }
  TableCode.clear();
  m_arrUnit.resize(static_cast<std::size_t>(newRows));
  if (GetColCount() > 0) SetRowCount(newRows);
  if (s.m_nTraverseType != m_nTraverseType) ClearUndo();
  traverse::ApplyScheme(*this, s);
  ConfigureProjection();
  m_bComputed = 0;
  if (m_pViewPorts) {
    m_pViewPorts->RebuildAndSelectInput();
  } else {
    ShowTable(traverse::kTableInput);
  }
  ShowTable(TableCode);
  m_bComputed = 0;
  if (m_pViewPorts) m_pViewPorts->SetDocumentModified();
}
