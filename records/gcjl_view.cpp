// CGcJlView: showing pages, the page commands, computing and the settings.
#include "records/gcjl_view.h"

#include <algorithm>
#include <iterator>
#include <tuple>

#include "platform/ports.h"
#include "records/gcjl_ports.h"
#include "records/shb_set_form.h"
#include "records/shb_text.h"
#include "table/export/odt_export.h"
#include "table/export/text_export.h"
#include "table/export/xlsx_export.h"
#include "table/table_ports.h"

namespace records {

int RecordsTreeCode(const std::string& key, int page) {
  if (key == "DX") return 10 + page;
  if (key == "SHPJ") return 1000 + page;
  if (key == "SHZH") return 2000 + page;
  if (key == "WYZHL") return 10000;
  return 0;
}

bool RecordsTreeTarget(int code, std::string* key, int* page) {
  if (code >= 10 && code <= 999) {
    *key = "DX";
    *page = code - 10;
  } else if (code >= 1000 && code <= 1999) {
    *key = "SHPJ";
    *page = code - 1000;
  } else if (code >= 2000 && code <= 2999) {
    *key = "SHZH";
    *page = code - 2000;
  } else if (code == 10000) {
    *key = "WYZHL";
    *page = -1;
  } else {
    return false;
  }
  return true;
}

}  // namespace records

namespace {

using records::ID_DELETE_PAGE;
using records::ID_MOVE_PAGE;
using records::ID_NEXT_PAGE;
using records::ID_PREVIOUS_PAGE;

constexpr const char* kDeleteQuestion = "删除表格页将导致该页数据丢失，\n是否继续？";
constexpr const char* kCutQuestion = "新的表格行数或测回数将删去部分已输入数据的表格行，\n是否继续？";
constexpr const char* kSingleFaceQuestion = "改为单面水准将删除全部已输入的水准记录页，\n是否继续？";

template <class Book>
bool AnyTextFrom(const Book& book, int rows) {
  for (const auto& p : book.m_arrPages)
    if (p.HasTextFrom(rows)) return true;
  return false;
}

template <class Book>
void FitPages(Book& book) {
  const int rows = book.RowsPerPage();
  for (auto& p : book.m_arrPages) p.SetRowCount(rows);
}

// Stores new sets and rows of a traverse or angle book, after asking when typed rows
// would be cut. False when the user keeps the old values.
template <class Book>
bool ApplySetsAndRows(Book& book, int sets, int rows) {
  if (sets == book.m_nSets && rows == book.m_nTableRows) return true;
  const int block = 2 * std::max(1, sets);
  const int newRows = block * (rows / block);
  const bool regrouped = sets != book.m_nSets;
  if ((regrouped || newRows < book.RowsPerPage()) && AnyTextFrom(book, newRows) &&
      !platform::Messages().AskYesNo(kCutQuestion))
    return false;
  book.m_nSets = sets;
  book.m_nTableRows = rows;
  FitPages(book);
  return true;
}

const std::string* FindStationAngle(const auto& book, int angleCell, const std::string& station,
                                    const std::string& back, const std::string& fore) {
  if (!book.m_bComputed) return nullptr;
  const int block = 2 * std::max(1, book.m_nSets);
  for (const auto& p : book.m_arrPages)
    for (int f = 0; f + block <= p.RowCount(); f += block)
      // A station without a mean angle is no match: the search goes on.
      if (p.Cell(f, 0) == station && p.Cell(f, 1) == back && p.Cell(f + 1, 1) == fore && !p.Cell(f, angleCell).empty())
        return &p.Cell(f, angleCell);
  return nullptr;
}

}  // namespace

CGcJlView::CGcJlView() { ResetRecords(); }
CGcJlView::~CGcJlView() = default;

records::Decimals CGcJlView::GridDecimals() const { return {m_nAngleDecimals, m_nDistDecimals, m_nDhDecimals}; }

bool CGcJlView::IsBookKey(const std::string& key) const { return key == "DX" || key == "SHPJ" || key == "SHZH"; }

int CGcJlView::BookPages(const std::string& key) const {
  if (key == "DX") return static_cast<int>(m_dx.m_arrPages.size());
  if (key == "SHPJ") return static_cast<int>(m_shpj.m_arrPages.size());
  if (key == "SHZH") return static_cast<int>(m_shzh.m_arrPages.size());
  return 0;
}

int CGcJlView::PageCount(const std::string& key) const { return BookPages(key); }

int CGcJlView::PageLimit(const std::string& key) const {
  return key == "DX" ? records::kMaxTraversePages : records::kMaxBookPages;
}

void CGcJlView::MarkModified() { table::Frame().SetDocumentModified(); }

void CGcJlView::RebuildTree() {
  if (m_pPorts) m_pPorts->RebuildRecordsTree();
}

void CGcJlView::SelectPage(const std::string& key, int page) {
  if (m_pPorts && m_pPorts->SelectRecordsPage(key, page)) return;
  ShowPage(key, page);
}

bool CGcJlView::ResetRecords() {
  m_arrResults.clear();
  m_dxLegs.clear();
  m_shzhLegs.clear();
  m_shpj.Reset();
  m_dx.Reset();
  m_shzh.Reset();
  const records::ResultsSettings rs;
  m_strResultsTitle = rs.title;
  m_nResultsLinesAbove = rs.linesAbove;
  m_nResultsLinesBelow = rs.linesBelow;
  m_strSignOff = rs.signOff;
  m_nAngleDecimals = rs.angleDecimals;
  m_nDistDecimals = rs.distDecimals;
  m_nDhDecimals = rs.heightDecimals;
  m_strCurrentKey.clear();
  m_nCurrentPage = -1;
  NewTable(0, 0, "", true);
  return true;
}

void CGcJlView::AccumulateLeg(const std::string& from, const std::string& to, int kind, double distance,
                              double heightDiff, double length, int stations) {
  records::AccumulateLeg(m_arrResults, from, to, kind, distance, heightDiff, length, stations);
}

void CGcJlView::RebuildResults() {
  m_arrResults.clear();
  if (m_dx.m_bComputed) records::AccumulateLegs(m_arrResults, m_dxLegs);
  if (m_shzh.m_bComputed) records::AccumulateLegs(m_arrResults, m_shzhLegs);
}

void CGcJlView::MarkBookEdited(const std::string& key) {
  int* computed = key == "DX" ? &m_dx.m_bComputed : key == "SHPJ" ? &m_shpj.m_bComputed : &m_shzh.m_bComputed;
  const bool was = *computed != 0;
  *computed = 0;
  if (was) RebuildResults();
}

// ---- showing a table -------------------------------------------------------------

bool CGcJlView::ShowPage(const std::string& key, int page) { return ShowPageImpl(key, page, false); }

bool CGcJlView::ShowPageImpl(const std::string& key, int page, bool keepUndo) {
  auto enable = [this](int id, bool on) {
    if (table::CBarButton* b = FindButton(id)) b->enabled = on;
  };
  const bool pageShown = page >= 0;
  enable(ID_PREVIOUS_PAGE, pageShown && page > 0);
  enable(ID_NEXT_PAGE, pageShown);
  enable(ID_MOVE_PAGE, pageShown);
  enable(ID_DELETE_PAGE, pageShown);
  enable(table::ID_EXPORT_WORD, pageShown || key == "WYZHL");
  ButtonsChanged();

  const bool newTable = key != m_strCurrentKey || page != m_nCurrentPage;
  m_strCurrentKey = key;
  m_nCurrentPage = page;
  const bool clearUndo = newTable && !keepUndo;
  auto book = [&](auto& b) {
    b.SetupGrid(*this, page, clearUndo);
    SetFont(GetFontHeight(), b.m_dPrintHeight);
    return true;
  };
  if (key == "DX") {
    book(m_dx);
    if (m_dx.m_bSetsRepaired) {
      m_dx.m_bSetsRepaired = false;
      MarkModified();
    }
    return true;
  }
  if (key == "SHPJ") {
    book(m_shpj);
    if (m_shpj.m_bSetsRepaired) {
      m_shpj.m_bSetsRepaired = false;
      MarkModified();
    }
    return true;
  }
  if (key == "SHZH") return book(m_shzh);
  if (key == "WYZHL") return ShowResultsTable(clearUndo);
  return true;
}

bool CGcJlView::ShowResultsTable(bool clearUndo) {
  const int n = static_cast<int>(m_arrResults.size());
  // An empty summary is still the form: title, sign-off items and one blank row.
  if (!NewTable(std::max(n, 1), 6, m_strResultsTitle, clearUndo)) return false;
  SetReadOnly(true, false, false);
  static const char* const kHeads[6][2] = {{"起点名", ""}, {"终点名", ""}, {"边长", "( m )"},
                                           {"高差", "( m )"}, {"高程测段长", "( m )"}, {"高程", "测站数"}};
  for (int c = 1; c <= 6; ++c) SetColumnHeader(c, kHeads[c - 1][0], kHeads[c - 1][1], 1, 8);
  m_nLinesAbove = m_nResultsLinesAbove;
  m_nLineBelow = m_nResultsLinesBelow;
  for (int i = 0; i < 12; ++i) SetHeaderText(i, m_strSignOff[static_cast<std::size_t>(i)]);
  for (int i = 0; i < n; ++i) {
    const CWyZhl& w = m_arrResults[static_cast<std::size_t>(i)];
    const int r = i + 1;
    SetCellText(r, 1, w.m_strFrom);
    SetCellText(r, 2, w.m_strTo);
    if (w.m_nDistCount > 0) SetCellText(r, 3, records::Fixed(w.m_dDistance, m_nDistDecimals));
    if (w.m_nHeightCount > 0) {
      SetCellText(r, 4, records::Fixed(w.m_dHeightDiff, m_nDhDecimals));
      if (w.m_dSectionLength > 0) SetCellText(r, 5, records::Fixed(w.m_dSectionLength, 1));
      SetCellText(r, 6, std::to_string(w.m_nStations));
    }
  }
  const auto [held, left] = ResultsSources();
  SetSignatureTexts(left.empty() ? 1 : 2, "说明", held, left);
  return true;
}

std::pair<std::string, std::string> CGcJlView::ResultsSources() const {
  // Only the traverse and levelling books hand legs to the summary.
  std::string held, left;
  auto add = [](std::string& list, const char* name) {
    if (!list.empty()) list += "、";
    list += name;
  };
  if (m_dx.m_bComputed) add(held, "导线记录"); else add(left, "导线记录");
  if (m_shzh.m_bComputed) add(held, "水准记录"); else add(left, "水准记录");
  return {held.empty() ? std::string("本表无已计算的观测记录") : "本表取自已计算的" + held,
          left.empty() ? std::string() : left + "未计算或计算后已修改，未列入本表"};
}

bool CGcJlView::SaveCurrentPage() {
  if (m_strCurrentKey.empty() || GetRowCount() == 0) return false;
  if (m_strCurrentKey == "DX") {
    m_dx.SavePageFromGrid(*this, m_nCurrentPage);
  } else if (m_strCurrentKey == "SHPJ") {
    m_shpj.SavePageFromGrid(*this, m_nCurrentPage);
  } else if (m_strCurrentKey == "SHZH") {
    m_shzh.SavePageFromGrid(*this, m_nCurrentPage);
  } else if (m_strCurrentKey == "WYZHL") {
    m_strResultsTitle = GetTitle();
    for (int i = 0; i < 12; ++i) m_strSignOff[static_cast<std::size_t>(i)] = GetHeaderText(i);
  }
  return true;
}

std::string CGcJlView::PageFooterText() const {
  if (!IsBookKey(m_strCurrentKey) || m_nCurrentPage < 0) return "";
  const int pages = BookPages(m_strCurrentKey);
  if (pages == 0) return "";
  return "第 " + std::to_string(m_nCurrentPage + 1) + " 页 共 " + std::to_string(pages) + " 页";
}

void CGcJlView::PaintOverlay(table::ICanvas& c, const table::CTableLayout& l, bool, int, int) {
  if (GetRowCount() == 0 || GetColCount() == 0) return;
  const std::string text = PageFooterText();
  if (text.empty()) return;
  const int m = GetColCount();
  const int xo = l.xOrigin;
  const int right = xo + l.right[static_cast<std::size_t>(m)];
  const table::Rect& footer = l.header[9];
  const int top = m_nLineBelow > 0 && !footer.IsEmpty() ? footer.bottom : l.yOrigin + l.visibleRows * l.H;
  c.SetFont(table::Font{table::FontRole::Cell, GetFontHeight(), 400});
  table::TextStyle st;
  st.align = table::HAlign::Right;
  c.DrawText(table::Rect{xo, top, right - 10, top + l.H}, text, st);
}

// ---- edits and commands -------------------------------------------------------------

void CGcJlView::OnTableChanged() {
  CTableView::OnTableChanged();
  if (m_strCurrentKey == "DX") {
    MarkBookEdited("DX");
    m_dx.ClearResults(*this, m_nCurrentPage);
  } else if (m_strCurrentKey == "SHPJ") {
    MarkBookEdited("SHPJ");
    m_shpj.ClearResults(*this, m_nCurrentPage);
  } else if (m_strCurrentKey == "SHZH") {
    MarkBookEdited("SHZH");
    m_shzh.ClearResults(*this, m_nCurrentPage);
  }
  SaveCurrentPage();
}

bool CGcJlView::OnCommand(int id) {
  // Four of these ids are the grid's own (表格, 自定义, CAD, 图形): they never reach it.
  switch (id) {
    case table::ID_SCHEME:
    case ID_PREVIOUS_PAGE:
    case ID_NEXT_PAGE:
    case ID_MOVE_PAGE:
    case ID_DELETE_PAGE:
    case table::ID_COMPUTE:
      // An angle the editor refuses keeps it open; the command waits for a fix.
      if (!CommitEditor()) return true;
      break;
    default: return CTableView::OnCommand(id);
  }
  switch (id) {
    case table::ID_SCHEME: OnProjectSettings(); return true;
    case ID_PREVIOUS_PAGE: OnPreviousPage(); return true;
    case ID_NEXT_PAGE: OnNextPage(); return true;
    case ID_MOVE_PAGE: OnMovePage(); return true;
    case ID_DELETE_PAGE: OnDeletePage(); return true;
    case table::ID_COMPUTE: OnCompute(); return true;
    default: return CTableView::OnCommand(id);
  }
}

void CGcJlView::OnInitialUpdate() {
  CTableView::OnInitialUpdate();
  m_bAutoAppend = false;
  m_bRowsFixed = true;
  SetReadOnly(false, false, false);
  struct B {
    int id;
    const char* caption;
    int icon;
    const char* tip;
  };
  static const B kPageButtons[] = {
      {ID_PREVIOUS_PAGE, "上一页", 172, "至上一页"},
      {ID_NEXT_PAGE, "下一页", 173, "至下一页，无则添加一页"},
      {ID_MOVE_PAGE, "移动", 179, "将当前页移动为指定页"},
      {ID_DELETE_PAGE, "删页", 179, "删除当前页"},
  };
  for (const B& b : kPageButtons)
    if (table::CBarButton* bb = FindButton(b.id)) {
      bb->caption = b.caption;
      bb->icon = b.icon;
      bb->tip = b.tip;
      bb->visible = true;
      bb->enabled = false;
    }
  SetHeaderChoices({"工程名称：", "测量单位：", "工程等级：", "工程等级：　等", "工程等级：　级", "工程等级：图根导线",
                    "仪器：", "仪器等级：", "天气：", "成像：", "温度：", "气压：", "开始时刻：", "结束时刻：",
                    "观测者：", "记录者：", "计算者：", "校核者：", "日期："});
  LayoutBar();
}

void CGcJlView::LayoutBar() {
  if (!FindButton(ID_DELETE_PAGE)) return;
  static const int kOrder[] = {table::ID_SCHEME,      ID_PREVIOUS_PAGE,       ID_NEXT_PAGE,
                               ID_MOVE_PAGE,          ID_DELETE_PAGE,         table::ID_COMPUTE,
                               table::ID_EXPORT_TEXT, table::ID_EXPORT_WORD,  table::ID_EXPORT_EXCEL,
                               table::ID_UNDO,        table::ID_REDO};
  LayoutBarInOrder(kOrder, static_cast<int>(std::size(kOrder)), 6);
}

void CGcJlView::OnPreviousPage() {
  if (m_nCurrentPage > 0 && IsBookKey(m_strCurrentKey)) SelectPage(m_strCurrentKey, m_nCurrentPage - 1);
}

void CGcJlView::OnNextPage() {
  if (!IsBookKey(m_strCurrentKey) || m_nCurrentPage < 0) return;
  const std::string key = m_strCurrentKey;
  if (BookPages(key) == m_nCurrentPage + 1) {
    // The tree addresses only so many pages; one more could never be reached.
    if (BookPages(key) >= PageLimit(key)) {
      platform::Messages().ShowMessage("每种观测记录最多" + std::to_string(PageLimit(key)) + "页，不能再添加新页！");
      return;
    }
    if (key == "DX") m_dx.AddPage();
    if (key == "SHPJ") m_shpj.AddPage();
    if (key == "SHZH") m_shzh.AddPage();
    RebuildTree();
  }
  SelectPage(key, m_nCurrentPage + 1);
  MarkModified();
}

bool CGcJlView::RemovePage(const std::string& key, int page) {
  auto remove = [page](auto& book) {
    if (page < 0 || page >= static_cast<int>(book.m_arrPages.size())) return false;
    book.m_arrPages.erase(book.m_arrPages.begin() + page);
    if (book.m_arrPages.empty()) book.AddPage();
    return true;
  };
  if (key == "DX") return remove(m_dx);
  if (key == "SHPJ") return remove(m_shpj);
  return remove(m_shzh);
}

bool CGcJlView::InsertPageCopy(const std::string& key, int from, int to) {
  auto move = [from, to](auto& book) {
    auto& pages = book.m_arrPages;
    const auto copy = pages[static_cast<std::size_t>(from)];
    if (to < from) {
      pages.insert(pages.begin() + to, copy);
      pages.erase(pages.begin() + from + 1);
    } else {
      pages.insert(pages.begin() + to + 1, copy);
      pages.erase(pages.begin() + from);
    }
    return true;
  };
  if (key == "DX") return move(m_dx);
  if (key == "SHPJ") return move(m_shpj);
  return move(m_shzh);
}

void CGcJlView::OnDeletePage() {
  if (!IsBookKey(m_strCurrentKey) || m_nCurrentPage < 0) return;
  if (!platform::Messages().AskYesNo(kDeleteQuestion)) return;
  const std::string key = m_strCurrentKey;
  if (!RemovePage(key, m_nCurrentPage)) return;
  if (m_nCurrentPage >= BookPages(key)) --m_nCurrentPage;
  const int page = m_nCurrentPage;
  MarkBookEdited(key);
  RebuildTree();
  SelectPage(key, page);
  // The undo steps belong to the deleted page: replayed, they would overwrite this one.
  ClearUndo();
  MarkModified();
}

void CGcJlView::OnMovePage() {
  if (!IsBookKey(m_strCurrentKey) || m_nCurrentPage < 0) return;
  records::CMovePageValues v;
  v.m_nPageNumber = m_nCurrentPage + 1;
  if (!m_pPorts || !m_pPorts->RunMovePageDialog(v)) {
    MarkModified();
    return;
  }
  if (v.m_nPageNumber == m_nCurrentPage + 1) return;
  const std::string key = m_strCurrentKey;
  const int t = std::clamp(v.m_nPageNumber - 1, 0, BookPages(key) - 1);
  if (t == m_nCurrentPage) return;
  InsertPageCopy(key, m_nCurrentPage, t);
  MarkBookEdited(key);  // a levelling section may run over the pages moved
  RebuildTree();
  SelectPage(key, t);
  ClearUndo();
  MarkModified();
}

void CGcJlView::OnCompute() {
  if (Host()) Host()->TakeFocus();
  SaveCurrentPage();
  m_arrResults.clear();
  m_dxLegs.clear();
  m_shzhLegs.clear();
  const records::Decimals dec = GridDecimals();
  m_shpj.Compute(dec);
  m_dx.Compute(dec, m_dxLegs);
  m_shzh.Compute(dec, m_shzhLegs);
  RebuildResults();
  ShowPage(m_strCurrentKey, m_nCurrentPage);
}

void CGcJlView::OnProjectSettings() {
  if (m_strCurrentKey.empty()) {
    platform::Messages().ShowMessage("请先选择一种记录表格！");
    return;
  }
  SaveCurrentPage();
  // The job as it is saved: the flag is set afterwards only when it changed.
  const std::vector<std::string> job = WriteRecords();
  records::CShbSetForm form;
  records::CShbSetValues& v = form.values;
  v.m_nFontHeight = GetFontHeight();
  v.m_dPrintHeightMm = GetPrintHeight();
  v.m_fWordFontSize = m_fWordFontSize;
  v.m_nAngleDecimals = m_nAngleDecimals;
  v.m_nDistDecimals = m_nDistDecimals;
  v.m_nHeightDecimals = m_nDhDecimals;
  v.m_strTableKey = m_strCurrentKey;
  v.m_dRefractionEdit = m_dx.m_dRefraction;
  v.m_bVerticalFrom90Check = m_dx.m_bVerticalFrom90 != 0;
  if (m_strCurrentKey == "DX") {
    v.m_dEdmConstantMm = m_dx.m_dEdmConstant * 1000;
    v.m_dEdmScalePpm = m_dx.m_dEdmScale * 1000000;
    v.m_nSetsEdit = m_dx.m_nSets;
    v.m_nRowsEdit = m_dx.m_nTableRows;
    v.m_nLinesAboveSel = m_dx.m_nLinesAbove;
    v.m_nLinesBelowSel = m_dx.m_nLinesBelow;
    v.m_nDistanceTypeSel = m_dx.m_nDistanceType;
  } else if (m_strCurrentKey == "SHPJ") {
    v.m_nSetsEdit = m_shpj.m_nSets;
    v.m_nRowsEdit = m_shpj.m_nTableRows;
    v.m_nLinesAboveSel = m_shpj.m_nLinesAbove;
    v.m_nLinesBelowSel = m_shpj.m_nLinesBelow;
  } else if (m_strCurrentKey == "SHZH") {
    v.m_nRowsEdit = m_shzh.m_nTableRows;
    v.m_nLinesAboveSel = m_shzh.m_nLinesAbove;
    v.m_nLinesBelowSel = m_shzh.m_nLinesBelow;
    v.m_nLevellingModeSel = m_shzh.m_nLevellingMode;
    v.m_bOmitDecimalPointCheck = m_shzh.m_bOmitDecimalPoint != 0;
    v.m_dStaffConstantEdit = m_shzh.m_dStaffConstant;
    v.m_bDoubledReadingsCheck = m_shzh.m_bDoubledReadings != 0;
  } else {
    v.m_nLinesAboveSel = m_nResultsLinesAbove;
    v.m_nLinesBelowSel = m_nResultsLinesBelow;
  }
  const records::CShbSetValues shown = v;
  using R = records::IRecordsViewPorts::DialogResult;
  const R result = m_pPorts ? m_pPorts->RunSettingsDialog(form) : R::Cancel;
  if (result == R::Ok) ApplyDialog(form, shown);
  if (result == R::Help && m_pPorts) m_pPorts->ShowRecordsHelp();
  ShowPage(m_strCurrentKey, m_nCurrentPage);
  OnCompute();
  if (WriteRecords() != job) MarkModified();
}

void CGcJlView::ApplyDialog(const records::CShbSetForm& form, const records::CShbSetValues& shown) {
  const records::CShbSetValues& v = form.values;
  const std::string key = m_strCurrentKey;
  // What each book computes with, to see afterwards whether OK changed it.
  auto dxSettings = [this] {
    return std::make_tuple(m_dx.m_nSets, m_dx.m_nTableRows, m_dx.m_nDistanceType, m_dx.m_dRefraction,
                           m_dx.m_bVerticalFrom90, m_dx.m_dEdmConstant, m_dx.m_dEdmScale);
  };
  auto shpjSettings = [this] { return std::make_tuple(m_shpj.m_nSets, m_shpj.m_nTableRows); };
  auto shzhSettings = [this] {
    return std::make_tuple(m_shzh.m_nTableRows, m_shzh.m_nLevellingMode, m_shzh.m_bOmitDecimalPoint,
                           m_shzh.m_dStaffConstant, m_shzh.m_bDoubledReadings);
  };
  const auto dxBefore = dxSettings();
  const auto shpjBefore = shpjSettings();
  const auto shzhBefore = shzhSettings();
  const records::Decimals decBefore = GridDecimals();

  SetFont(v.m_nFontHeight, GetPrintHeight());
  m_fWordFontSize = v.m_fWordFontSize;
  if (key == "DX") {
    m_nAngleDecimals = v.m_nAngleDecimals;
    m_nDistDecimals = v.m_nDistDecimals;
    m_nDhDecimals = v.m_nHeightDecimals;
    m_dx.m_dPrintHeight = v.m_dPrintHeightMm;
    m_dx.m_bVerticalFrom90 = v.m_bVerticalFrom90Check;
    m_dx.m_dRefraction = v.m_dRefractionEdit;
    // Shown in mm and ppm: converted back only when changed, so that OK alone does
    // not move the stored constants by a rounding.
    if (v.m_dEdmConstantMm != shown.m_dEdmConstantMm) m_dx.m_dEdmConstant = v.m_dEdmConstantMm / 1000;
    if (v.m_dEdmScalePpm != shown.m_dEdmScalePpm) m_dx.m_dEdmScale = v.m_dEdmScalePpm / 1000000;
    ApplySetsAndRows(m_dx, v.m_nSetsEdit, v.m_nRowsEdit);
    m_dx.m_nLinesAbove = v.m_nLinesAboveSel;
    m_dx.m_nLinesBelow = v.m_nLinesBelowSel;
    m_dx.m_nDistanceType = v.m_nDistanceTypeSel;
  } else if (key == "SHPJ") {
    m_nAngleDecimals = v.m_nAngleDecimals;
    m_shpj.m_dPrintHeight = v.m_dPrintHeightMm;
    ApplySetsAndRows(m_shpj, v.m_nSetsEdit, v.m_nRowsEdit);
    m_shpj.m_nLinesAbove = v.m_nLinesAboveSel;
    m_shpj.m_nLinesBelow = v.m_nLinesBelowSel;
  } else if (key == "SHZH") {
    m_nDhDecimals = v.m_nHeightDecimals;
    m_shzh.m_bOmitDecimalPoint = v.m_bOmitDecimalPointCheck;
    m_shzh.m_dPrintHeight = v.m_dPrintHeightMm;
    m_shzh.m_bDoubledReadings = v.m_bDoubledReadingsCheck;
    m_shzh.m_dStaffConstant = v.m_dStaffConstantEdit;
    if (v.m_nRowsEdit != m_shzh.m_nTableRows) {
      const int newRows = 3 * (v.m_nRowsEdit / 3);
      if (newRows >= m_shzh.RowsPerPage() || !AnyTextFrom(m_shzh, newRows) ||
          platform::Messages().AskYesNo(kCutQuestion)) {
        m_shzh.m_nTableRows = v.m_nRowsEdit;
        FitPages(m_shzh);
      }
    }
    m_shzh.m_nLinesAbove = v.m_nLinesAboveSel;
    m_shzh.m_nLinesBelow = v.m_nLinesBelowSel;
    if (v.m_nLevellingModeSel != m_shzh.m_nLevellingMode) {
      const bool toSingle = v.m_nLevellingModeSel == kLevelSingleFace;
      if (!toSingle || !AnyTextFrom(m_shzh, 0) || platform::Messages().AskYesNo(kSingleFaceQuestion)) {
        m_shzh.m_nLevellingMode = v.m_nLevellingModeSel;
        m_shzh.m_bComputed = 0;
        if (toSingle) {
          m_shzh.m_arrPages.clear();
          m_shzh.AddPage();
        }
        RebuildResults();
        RebuildTree();
        SelectPage("SHZH", 0);
      }
    }
  } else {
    m_nAngleDecimals = v.m_nAngleDecimals;
    m_nDistDecimals = v.m_nDistDecimals;
    m_nDhDecimals = v.m_nHeightDecimals;
    m_nResultsLinesAbove = v.m_nLinesAboveSel;
    m_nResultsLinesBelow = v.m_nLinesBelowSel;
    SetFont(v.m_nFontHeight, v.m_dPrintHeightMm);
  }
  // A book whose results would now come out otherwise is no longer computed: its
  // results leave the summary until it is computed again. The decimals are shared.
  const records::Decimals dec = GridDecimals();
  const bool decimalsChanged =
      dec.angle != decBefore.angle || dec.dist != decBefore.dist || dec.height != decBefore.height;
  if (decimalsChanged || dxSettings() != dxBefore) MarkBookEdited("DX");
  if (decimalsChanged || shpjSettings() != shpjBefore) MarkBookEdited("SHPJ");
  if (decimalsChanged || shzhSettings() != shzhBefore) MarkBookEdited("SHZH");
  ClearUndo();
}

// ---- printing ---------------------------------------------------------------------------

const table::PrintPlan& CGcJlView::OnBeginPrinting(const table::PrintDevice& device) {
  const int pages = BookPages(m_strCurrentKey);
  m_bPrintingBook = IsBookKey(m_strCurrentKey) && m_nCurrentPage >= 0 && pages > 0 && GetRowCount() > 0;
  CTableView::OnBeginPrinting(device);
  if (!m_bPrintingBook) return GetPrintPlan();
  m_strPrintKey = m_strCurrentKey;
  m_nPrintPageBefore = m_nCurrentPage;
  table::PrintPlan& plan = MutablePrintPlan();
  plan.pages = pages;
  plan.rowsPerPage = GetRowCount();
  plan.padRows = 0;
  plan.firstRows.assign(static_cast<std::size_t>(pages), 1);
  return plan;
}

table::PageTransform CGcJlView::OnPrepareDC(int page) {
  if (m_bPrintingBook) {
    const int p = std::clamp(page, 1, std::max(1, BookPages(m_strPrintKey))) - 1;
    if (p != m_nCurrentPage || m_strCurrentKey != m_strPrintKey) ShowPageImpl(m_strPrintKey, p, true);
    RefreshPrintWidths();
  }
  return CTableView::OnPrepareDC(page);
}

void CGcJlView::OnEndPrinting() {
  CTableView::OnEndPrinting();
  if (!m_bPrintingBook) return;
  m_bPrintingBook = false;
  if (m_nCurrentPage != m_nPrintPageBefore || m_strCurrentKey != m_strPrintKey)
    ShowPageImpl(m_strPrintKey, m_nPrintPageBefore, true);
}

// ---- exports -----------------------------------------------------------------------------

bool CGcJlView::ForEachBookPage(const std::function<void()>& each) {
  const int pages = BookPages(m_strCurrentKey);
  if (!IsBookKey(m_strCurrentKey) || m_nCurrentPage < 0 || pages == 0 || GetRowCount() == 0) return false;
  SaveCurrentPage();
  const std::string key = m_strCurrentKey;
  const int before = m_nCurrentPage;
  for (int p = 0; p < pages; ++p) {
    if (p != m_nCurrentPage) ShowPageImpl(key, p, true);
    each();
  }
  if (m_nCurrentPage != before) ShowPageImpl(key, before, true);
  return true;
}

bool CGcJlView::WriteTextFile(const std::string& path, int format, std::string* error) {
  std::vector<std::string> lines;
  if (!ForEachBookPage([&] {
        std::vector<std::string> page = table::TextExportLines(*this, format);
        lines.insert(lines.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
      }))
    return CTableView::WriteTextFile(path, format, error);
  return table::WriteTextExportLines(lines, path, format, error);
}

bool CGcJlView::ExportToExcel(bool keepHalfRowOffset) {
  table::CExportSession& s = ExcelSession();
  if (s.target.empty()) return false;
  auto sheets = s.Kept<std::vector<table::XlsxSheet>>();
  const bool book = ForEachBookPage([&] {
    table::XlsxSheet sheet = table::BuildXlsxSheet(*this, keepHalfRowOffset);
    sheet.name = table::UniqueSheetName(GetTitle() + "第" + std::to_string(m_nCurrentPage + 1) + "页", sheets);
    sheets.push_back(std::move(sheet));
  });
  if (!book) return CTableView::ExportToExcel(keepHalfRowOffset);
  if (!s.Write([&](const std::string& path, std::string* error) { return table::WriteXlsx(path, sheets, error); }))
    return false;
  s.content = std::move(sheets);
  return true;
}

bool CGcJlView::ExportToWord(bool keepRowOffset) {
  table::CExportSession& s = WordSession();
  if (s.target.empty()) return false;
  auto tables = s.Kept<std::vector<table::OdtTable>>();
  const bool book = ForEachBookPage([&] {
    std::vector<table::OdtTable> page = table::BuildOdtTables(*this, m_bWordSplitPages, keepRowOffset);
    tables.insert(tables.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
  });
  if (!book) return CTableView::ExportToWord(keepRowOffset);
  if (!s.Write([&](const std::string& path, std::string* error) { return table::WriteOdt(path, tables, error); }))
    return false;
  s.content = std::move(tables);
  return true;
}

// ---- document section and the traverse's face ----------------------------------------------

std::vector<std::string> CGcJlView::WriteRecords() {
  SaveCurrentPage();
  records::ResultsSettings rs;
  rs.angleDecimals = m_nAngleDecimals;
  rs.distDecimals = m_nDistDecimals;
  rs.heightDecimals = m_nDhDecimals;
  rs.title = m_strResultsTitle;
  rs.linesAbove = m_nResultsLinesAbove;
  rs.linesBelow = m_nResultsLinesBelow;
  rs.signOff = m_strSignOff;
  return records::WriteRecordsSectionLines(rs, m_shpj, m_dx, m_shzh);
}

void CGcJlView::ApplyRecordsData(records::RecordsData&& d) {
  m_shpj = std::move(d.shpj);
  m_dx = std::move(d.dx);
  m_shzh = std::move(d.shzh);
  // A book read with an empty page list could never be reached again.
  if (m_shpj.m_arrPages.empty()) m_shpj.AddPage();
  if (m_dx.m_arrPages.empty()) m_dx.AddPage();
  if (m_shzh.m_arrPages.empty()) m_shzh.AddPage();
  m_shpj.m_bComputed = m_dx.m_bComputed = m_shzh.m_bComputed = 0;
  const records::ResultsSettings& rs = d.results;
  m_nAngleDecimals = rs.angleDecimals;
  m_nDistDecimals = rs.distDecimals;
  m_nDhDecimals = rs.heightDecimals;
  m_strResultsTitle = rs.title;
  m_nResultsLinesAbove = rs.linesAbove;
  m_nResultsLinesBelow = rs.linesBelow;
  m_strSignOff = rs.signOff;
  m_arrResults.clear();
  m_dxLegs.clear();
  m_shzhLegs.clear();
  m_strCurrentKey.clear();
  m_nCurrentPage = -1;
  NewTable(0, 0, "", true);
}

const std::string* CGcJlView::TraverseBookAngle(const std::string& station, const std::string& back,
                                                const std::string& fore) const {
  return FindStationAngle(m_dx, 5, station, back, fore);
}

const std::string* CGcJlView::AngleBookAngle(const std::string& station, const std::string& back,
                                             const std::string& fore) const {
  return FindStationAngle(m_shpj, 6, station, back, fore);
}
