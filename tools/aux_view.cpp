#include "tools/aux_view.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "drawing/draw_feed.h"
#include "platform/clock.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "survey/angle.h"
#include "survey/format.h"
#include "tools/aux_set_form.h"
#include "tools/aux_view_ports.h"
#include "table/cell_edit.h"
#include "tools/tool_plugin.h"

using namespace tools;

CAuxView* g_pToolsView = nullptr;

namespace {

const char* CoordSystemName(int type) {
  switch (type) {
    case 0: return "自定义";
    case 1: return "北京54";
    case 2: return "西安80";
    case 3: return "WGS_84";
    case 4: return "国家2000";
    default: return "";
  }
}

// A long list of row problems stays readable: the first lines and how many follow.
constexpr int kMaxMessageLines = 40;

std::string ShortenMessages(const std::string& text) {
  std::size_t pos = 0;
  int lines = 0;
  while (lines < kMaxMessageLines) {
    pos = text.find('\n', pos);
    if (pos == std::string::npos) return text;
    ++pos;
    ++lines;
  }
  if (pos >= text.size()) return text;
  int rest = 0;
  for (std::size_t i = pos; i < text.size(); ++i)
    if (text[i] == '\n') ++rest;
  if (text.back() != '\n') ++rest;
  return text.substr(0, pos) + "……另有" + std::to_string(rest) + "条信息未列出\n";
}

}  // namespace

namespace tools {

std::string InputFieldName(const std::vector<ToolColumn>& cols, int col) {
  const ToolColumn& c = cols[static_cast<std::size_t>(col - 1)];
  // The group caption over the column: its own, or that of a group to its left
  // whose span reaches it.
  std::string group;
  for (int k = col; k >= 1; --k) {
    const ToolColumn& g = cols[static_cast<std::size_t>(k - 1)];
    if (g.line1.empty()) continue;
    if (k + std::max(1, g.span) - 1 >= col) group = g.line1;
    break;
  }
  const std::size_t unit = c.line2.find('(');
  if (unit != std::string::npos) return group + c.line2.substr(0, unit);  // "X( m )", "( m )"
  return c.line2.empty() ? group : c.line2;                               // "角A", "AP边长"
}

std::string MeridianToText(double dms, int decimals) {
  std::string s = survey::DmsNumberToText(dms, decimals);
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

}  // namespace tools

CAuxView::CAuxView() { g_pToolsView = this; }

CAuxView::~CAuxView() {
  if (g_pToolsView == this) g_pToolsView = nullptr;
}

std::vector<std::string>* CAuxView::StoreOf(const std::string& code) {
  const ToolInfo* t = FindTool(code);
  return t ? &m_stores[static_cast<std::size_t>(t->store)] : nullptr;
}

DetailSurveySettings CAuxView::DetailSettings() const {
  DetailSurveySettings s;
  s.mode = m_nDetailMode;
  s.clockwise = m_bClockwise;
  s.backsight = m_strBacksight;
  s.backsightX = m_dBacksightX;
  s.backsightY = m_dBacksightY;
  s.backsightH = m_dBacksightH;
  s.station = m_strStation;
  s.stationX = m_dStationX;
  s.stationY = m_dStationY;
  s.stationH = m_dStationH;
  s.instrumentHeight = m_dInstrumentHeight;
  s.indexError = m_dIndexError;
  s.showNameOrHeight = m_nShowNameOrHeight;
  s.showDot = m_bShowDot;
  return s;
}

void CAuxView::SetDetailSettings(const DetailSurveySettings& s) {
  m_nDetailMode = s.mode;
  m_bClockwise = s.clockwise;
  m_strBacksight = s.backsight;
  m_dBacksightX = s.backsightX;
  m_dBacksightY = s.backsightY;
  m_dBacksightH = s.backsightH;
  m_strStation = s.station;
  m_dStationX = s.stationX;
  m_dStationY = s.stationY;
  m_dStationH = s.stationH;
  m_dInstrumentHeight = s.instrumentHeight;
  m_dIndexError = s.indexError;
  m_nShowNameOrHeight = s.showNameOrHeight;
  m_bShowDot = s.showDot;
}

bool CAuxView::RowInputEmpty(int row) const {
  const int n = std::min(m_nInputCols, GetColCount());
  for (int j = 1; j <= n; ++j)
    if (!CellText(row, j).empty()) return false;
  return true;
}

void CAuxView::ShowDrawingButton(bool show) {
  if (table::CBarButton* b = FindButton(table::ID_SWITCH_DRAWING)) {
    if (b->visible != show) {
      b->visible = show;
      ButtonsChanged();
    }
  }
}

void CAuxView::BeginDrawing() {
  if (m_pFeed) m_pFeed->BeginDrawing(drawing::kModeNetwork);
}

bool CAuxView::ShowTool(const std::string& code) {
  m_bAutoAppend = true;
  StoreGridToData();
  m_bComputeOk = false;
  if (!code.empty() && m_pViewPorts) m_pViewPorts->ShowToolsView();
  BeginDrawing();
  if (code != m_strToolCode) {
    m_strToolCode = code;
    OnHScroll(table::ScrollAction::Top);
    OnVScroll(table::ScrollAction::Top);
  }
  NewTable(0, 0, "", true);
  m_nInputCols = 0;
  m_inputAtCompute.clear();
  ShowDrawingButton(true);
  if (code.empty()) return false;

  const ToolInfo* info = FindTool(code);
  const ToolHandler* handler = Tools().Find(code);
  if (!info || !handler || !handler->layout) {
    platform::Messages().ShowMessage("未知的数据类型");
    // No current tool: a later store must not land in some other tool's rows.
    m_strToolCode.clear();
    return false;
  }
  if (!info->drawingButton) ShowDrawingButton(false);
  // A detail survey without a station starts with its settings dialog.
  if (code == ToolCode::SBCLDATA && m_strStation.empty() && !m_bAskingStation) {
    m_bAskingStation = true;
    OnProjectSettings();
    m_bAskingStation = false;
    // Accepted (a station is required there): the dialog's OK has already built
    // the table and computed it. Building it again here would wipe the results it
    // drew and flagged as computed.
    if (!m_strStation.empty() && m_strToolCode == code) return true;
  }
  const std::vector<ToolColumn> cols = handler->layout(*this);
  std::vector<std::string>& store = m_stores[static_cast<std::size_t>(info->store)];
  // The open traverse always shows its known first point and the row after it.
  if (code == ToolCode::ZHDX && store.empty()) store.emplace_back();
  const int s = static_cast<int>(store.size());
  NewTable(s + 1, static_cast<int>(cols.size()), info->title, true);
  for (int j = 1; j <= static_cast<int>(cols.size()); ++j) {
    const ToolColumn& c = cols[static_cast<std::size_t>(j - 1)];
    SetColumnHeader(j, c.line1, c.line2, c.span, c.minChars);
    SetColumnInputType(j, c.inputType);
    if (!c.tip.empty()) SetColumnTip(j, c.tip);
    if (c.stagger) SetColumnStagger(j, true);
  }
  m_nInputCols = std::min(info->inputs, static_cast<int>(cols.size()));

  std::vector<std::string> items;
  for (int i = 1; i <= s; ++i) {
    survey::SplitText(store[static_cast<std::size_t>(i - 1)], items, ',');
    if (handler->pad) handler->pad(items, i);
    const int n = std::min(m_nInputCols, static_cast<int>(items.size()));
    for (int j = 1; j <= n; ++j) SetCellText(i, j, items[static_cast<std::size_t>(j - 1)]);
  }
  ApplyCarryOver();
  return true;
}

bool CAuxView::StoreGridToData() {
  if (GetRowCount() == 0) return false;
  int r = GetRowCount();
  if (RowInputEmpty(r)) --r;
  std::vector<std::string>* store = StoreOf(m_strToolCode);
  if (!store) return false;
  m_bComputeOk = false;
  store->resize(static_cast<std::size_t>(r));
  for (int i = 1; i <= r; ++i) (*store)[static_cast<std::size_t>(i - 1)] = RowToString(i);
  return true;
}

std::string CAuxView::RowToString(int row) const {
  std::string line;
  const int n = std::min(m_nInputCols, GetColCount());
  for (int j = 1; j <= n; ++j) {
    if (j > 1) line += ',';
    line += CellText(row, j);
  }
  return line;
}

bool CAuxView::RowReads(int row, const std::string& line) const {
  const int n = std::min(m_nInputCols, GetColCount());
  std::size_t pos = 0;
  for (int j = 1; j <= n; ++j) {
    if (j > 1) {
      if (pos >= line.size() || line[pos] != ',') return false;
      ++pos;
    }
    const std::string& cell = CellText(row, j);
    if (line.compare(pos, cell.size(), cell) != 0) return false;
    pos += cell.size();
  }
  return pos == line.size();
}

void CAuxView::ClearResults() {
  const int n = m_nInputCols, m = GetColCount();
  for (int row = GetRowCount(); row >= 1; --row) {
    if (RowInputEmpty(row)) {
      DeleteRow(row);
      continue;
    }
    for (int j = n + 1; j <= m; ++j)
      if (!CellText(row, j).empty()) SetCellText(row, j, "");
  }
}

void CAuxView::OnCompute() {
  if (m_strToolCode.empty()) return;
  const ToolHandler* handler = Tools().Find(m_strToolCode);
  if (!handler || !handler->compute) return;
  CommitEditor();
  ClearResults();
  StoreGridToData();
  if (GetRowCount() == 0) {
    SetRowCount(m_strToolCode == ToolCode::ZHDX ? 2 : 1);
    ApplyCarryOver();
    InvalidateLayout();
    Repaint();
    return;
  }
  ToolRun run;
  BeginDrawing();
  // Text that is no number (from a file, a paste, another program) would read as 0
  // or as its first digits: such a table is refused by row and field before any
  // row is computed.
  const std::string bad = CheckInputNumbers(handler->layout(*this));
  if (!bad.empty()) {
    InvalidateLayout();
    Repaint();
    platform::Messages().ShowMessage(ShortenMessages(bad));
    return;
  }
  run.coordSystemText = std::string("坐标系：") + CoordSystemName(m_nCoordSystem);
  run.meridianText = MeridianToText(m_dMeridian1, m_nLatLonDecimals);
  const std::string code = m_strToolCode;
  handler->compute(*this, run);
  InvalidateLayout();
  UpdateScrollBars();
  Repaint();
  if (run.endedEarly || code != m_strToolCode) return;
  RememberComputedInput();
  if (!run.messages.empty()) {
    platform::Messages().ShowMessage(ShortenMessages(run.messages));
    return;
  }
  m_bComputeOk = true;
}

std::string CAuxView::CheckInputNumbers(const std::vector<ToolColumn>& cols) const {
  std::string out;
  const int n = std::min({m_nInputCols, GetColCount(), static_cast<int>(cols.size())});
  for (int r = 1; r <= GetRowCount(); ++r) {
    for (int j = 1; j <= n; ++j) {
      const int type = cols[static_cast<std::size_t>(j - 1)].inputType;
      const std::string& text = CellText(r, j);
      if (text.empty()) continue;  // an empty cell keeps its meaning in each tool
      const bool number = type == table::kInputDecimal || type == table::kInputSignedDecimal;
      const bool angle = type == table::kInputAngle || type == table::kInputSignedAngle;
      if (number && !platform::ReadNumber(text))
        out += RowPrefix(r) + "的" + InputFieldName(cols, j) + "不是数字\n";
      else if (angle && !survey::ReadAngleText(text))
        out += RowPrefix(r) + "的" + InputFieldName(cols, j) + "不是有效的角度\n";
    }
  }
  return out;
}

void CAuxView::RememberComputedInput() {
  const int rows = GetRowCount();
  m_inputAtCompute.assign(static_cast<std::size_t>(rows), std::string());
  for (int i = 1; i <= rows; ++i) m_inputAtCompute[static_cast<std::size_t>(i - 1)] = RowToString(i);
}

void CAuxView::DropStaleResults() {
  if (m_inputAtCompute.empty()) return;
  const int n = m_nInputCols, m = GetColCount();
  const int rows = GetRowCount();
  const ToolHandler* handler = Tools().Find(m_strToolCode);
  const int carriedFirst = handler ? handler->carriedFirst : 0, carriedLast = handler ? handler->carriedLast : 0;
  const int ownLast = handler && handler->ownLast > 0 ? handler->ownLast : carriedLast;
  auto ownCarried = [&](int i) {
    for (int j = carriedFirst; j <= ownLast; ++j)
      if (CellText(i, j).empty()) return false;
    return true;
  };
  // The carried fields of two stored lines differ (cell texts hold no comma).
  auto carriedDiffer = [&](const std::string& a, const std::string& b) {
    std::vector<std::string> x, y;
    survey::SplitText(a, x, ',');
    survey::SplitText(b, y, ',');
    for (int j = carriedFirst; j <= carriedLast; ++j) {
      const std::size_t f = static_cast<std::size_t>(j - 1);
      if ((f < x.size() ? x[f] : std::string()) != (f < y.size() ? y[f] : std::string())) return true;
    }
    return false;
  };
  auto clearResults = [&](int i) {
    for (int j = n + 1; j <= m; ++j)
      if (!CellText(i, j).empty()) SetCellText(i, j, "");
  };
  bool changed = false;
  bool inheritsEdit = false;  // the row above was edited or took its carried cells from one
  int firstChanged = 0;
  for (int i = 1; i <= rows; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    // Most rows are untouched: compare in place, build the text only for a changed one.
    bool edited = true, carriedEdited = carriedFirst > 0;
    if (k < m_inputAtCompute.size()) {
      if (RowReads(i, m_inputAtCompute[k])) {
        edited = false;
      } else {
        std::string now = RowToString(i);
        if (carriedEdited) carriedEdited = carriedDiffer(now, m_inputAtCompute[k]);
        m_inputAtCompute[k] = std::move(now);
      }
    } else {
      m_inputAtCompute.push_back(RowToString(i));
      if (RowInputEmpty(i)) edited = false;  // the empty row an edit of the last row appends
    }
    if (!edited) {
      if (!inheritsEdit) continue;
      if (ownCarried(i)) {
        inheritsEdit = false;
        continue;
      }
    }
    // Results beside edited input would print as if they belonged to it; so would
    // those of rows that computed from an edited row's carried cells.
    clearResults(i);
    if (!edited) continue;
    inheritsEdit = carriedEdited || (inheritsEdit && !ownCarried(i));
    changed = true;
    if (firstChanged == 0) firstChanged = i;
  }
  // The open traverse carries its coordinates down the rows, in input columns: an
  // edit makes every point after the edited row stale.
  if (firstChanged > 0 && m_strToolCode == ToolCode::ZHDX && m >= 5) {
    for (int i = std::max(firstChanged + 1, 2); i <= rows; ++i) {
      SetCellText(i, 4, "");
      SetCellText(i, 5, "");
      if (static_cast<std::size_t>(i) <= m_inputAtCompute.size())
        m_inputAtCompute[static_cast<std::size_t>(i - 1)] = RowToString(i);
    }
  }
  if (static_cast<std::size_t>(rows) < m_inputAtCompute.size()) {
    m_inputAtCompute.resize(static_cast<std::size_t>(rows));
    changed = true;
  }
  // A remark computed from all rows (the area) is stale once any row changed or
  // went, the last rows included.
  if (changed && handler && *handler->resultRemark) SetSignatureTexts(1, handler->resultRemark, "", "");
  if (changed) m_bComputeOk = false;
}

void CAuxView::ApplyCarryOver() {
  const int rows = GetRowCount();
  if (m_strToolCode == ToolCode::ZHDX) {
    for (int j = 1; j <= std::min(3, GetColCount()); ++j) SetColumnLocked(j, false);
    if (GetColCount() >= 5) {
      SetColumnLocked(4, true);
      SetColumnLocked(5, true);
      if (rows >= 1) {
        SetCellLocked(1, 4, false);
        SetCellLocked(1, 5, false);
      }
    }
    return;
  }
  const int n = std::min(m_nInputCols, GetColCount());
  const int cur = m_nCurRow;
  const bool nearEnd = cur >= 2 && (cur == rows || cur == rows - 1);
  const bool sjgch = m_strToolCode == ToolCode::SJGCH;
  const bool detail = m_strToolCode == ToolCode::SBCLDATA;
  for (int i = 1; i <= n; ++i) {
    SetColumnLocked(i, false);
    if (!nearEnd) continue;
    const bool carries = (sjgch && (i == 1 || i == 5 || i == 6)) || (detail && i == 5);
    if (carries && CellText(cur, i).empty()) SetCellText(cur, i, CellText(cur - 1, i));
  }
}

void CAuxView::ResetToDefaults() {
  m_strToolCode.clear();
  ShowTool("");
  m_nInputCols = 0;
  m_nDistanceType = 0;
  m_bComputeOk = false;
  m_nCoordSystem = 2;
  m_bY500km = true;
  m_dEllipsoidA = 6378137;
  m_dEllipsoidInvF = 298.257222101;
  m_nExpansion = 1;
  m_dProjHeight = 0;
  m_dProjHeight2 = 0;
  m_dCentreLatitude = 0;
  m_dMeridian1 = 114;
  m_dMeridian2 = 111;
  m_dReductionHeight = 0;
  m_dRefraction = 0.14;
  m_dFourParams.fill(0);
  m_dSevenParams.fill(0);
  SetDetailSettings(DetailSurveySettings{});
  m_nAngleDecimals = 1;
  m_nDistDecimals = 4;
  m_nDhDecimals = 4;
  m_nCoordDecimals = 4;
  m_nHeightDecimals = 4;
  m_nChainageDecimals = 3;
  m_nGradeDecimals = 3;
  m_nLatLonDecimals = 4;
  m_bFitWidth = true;
  m_bPadRows = true;
  m_bWordSplitPages = false;
  // The header and footer items travel with the job: a new one starts from a
  // fresh table's, not with the last job's project name.
  {
    const CTableView fresh;
    for (int i = 0; i < 12; ++i) SetHeaderText(i, fresh.GetHeaderText(i));
    m_nLinesAbove = fresh.m_nLinesAbove;
    m_nLineBelow = fresh.m_nLineBelow;
  }
  for (auto& s : m_stores) s.clear();
  m_inputAtCompute.clear();
}

void CAuxView::OnProjectSettings() {
  CommitEditor();
  if (!m_pViewPorts || m_nSettingsDepth > 0) return;
  struct Depth {
    int& d;
    explicit Depth(int& x) : d(x) { ++d; }
    ~Depth() { --d; }
  } depth(m_nSettingsDepth);
  // OK with nothing changed leaves the job as it was, its modified flag too.
  bool changed = false;
  if (m_strToolCode == ToolCode::SBCLDATA) {
    DetailSurveySettings s = DetailSettings();
    if (!m_pViewPorts->RunDetailSettingsDialog(s)) return;
    changed = !(s == DetailSettings());
    if (changed) SetDetailSettings(s);
  } else {
    const CAuxSetForm before = CAuxSetForm::FromView(*this, AuxSetPageOf(m_strToolCode));
    CAuxSetForm form = before;
    if (!m_pViewPorts->RunSettingsDialog(form)) return;
    changed = !(form == before);
    if (changed) form.ApplyTo(*this);
  }
  if (changed) m_pViewPorts->SetDocumentModified();
  ShowTool(m_strToolCode);
  OnCompute();
}

void CAuxView::OnTableSettings() {
  CTableView::OnTableSettings();
  OnCompute();
}

void CAuxView::OnSwitchToDrawing() {
  OnCompute();
  if (m_bComputeOk) CTableView::OnSwitchToDrawing();
}

void CAuxView::OnTableChanged() {
  CTableView::OnTableChanged();
  if (m_pViewPorts) m_pViewPorts->SetDocumentModified();
  DropStaleResults();
  ApplyCarryOver();
}

void CAuxView::OnInitialUpdate() {
  CTableView::OnInitialUpdate();
  SetReadOnly(false, true, false);
  if (table::CBarButton* b = FindButton(table::ID_CUSTOM)) b->visible = false;
  if (table::CBarButton* b = FindButton(table::ID_SCHEME)) {
    b->caption = "方案";
    b->tip = "计算方案";
  }
  for (int id : {table::ID_SWITCH_DRAWING, table::ID_UNDO, table::ID_REDO})
    if (table::CBarButton* b = FindButton(id)) b->visible = true;
  SetHeaderChoices({"工程名称：", "　　　公路　　　段", "第   页  共   页", "等级：", "测量单位：", "设计单位：",
                    "监理单位：", "设计：", "计算：", "编制：", "复核：", "审核：", "监理：", "测站：", "后视：",
                    "测站高程：", "仪高：", "指标差：", "观测：", "记录：", "日期：", "日期：" + platform::TodayText("%Y.%m.%d")});
  LayoutBar();
}

bool CAuxView::OnCommand(int id) {
  switch (id) {
    case table::ID_SCHEME: OnProjectSettings(); return true;
    case table::ID_COMPUTE: OnCompute(); return true;
    case table::ID_TABLE_SETTINGS: CommitEditor(); OnTableSettings(); return true;
    case table::ID_SWITCH_DRAWING: CommitEditor(); OnSwitchToDrawing(); return true;
    default: return CTableView::OnCommand(id);
  }
}

void CAuxView::LayoutBar() {
  if (Buttons().empty()) return;
  static const int kOrder[] = {table::ID_SCHEME,      table::ID_TABLE_SETTINGS, table::ID_COMPUTE,
                               table::ID_EXPORT_TEXT, table::ID_EXPORT_WORD,    table::ID_EXPORT_EXCEL,
                               table::ID_EXPORT_CAD,  table::ID_SWITCH_DRAWING, table::ID_UNDO,
                               table::ID_REDO};
  LayoutBarInOrder(kOrder, static_cast<int>(std::size(kOrder)), 10);
}
