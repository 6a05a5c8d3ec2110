// Temporary bodies, replaced as each part lands.
#include "table/table_view.h"
#include "table/cell_edit.h"
using namespace table;
int CTableView::RecalcLayout(int, int, bool) { return 1; }
Rect CTableView::GetCellRect(int row, int col) const { return m_layout.Cell(row, col); }
bool CTableView::HitTest(int, int, int*, int*) const { return false; }
int CTableView::EnsureCellVisible(int, int) { return 0; }
void CTableView::UpdateScrollBars() {}
void CTableView::OnVScroll(ScrollAction, int) {}
void CTableView::OnHScroll(ScrollAction, int) {}
void CTableView::OnMouseWheel(int) {}
void CTableView::OnDraw(ICanvas&) {}
void CTableView::DrawFrame(ICanvas&) {}
void CTableView::DrawColumnHeaders(ICanvas&, const CTableLayout&) {}
const PrintPlan& CTableView::OnBeginPrinting(const PrintDevice&) { return m_plan; }
PageTransform CTableView::OnPrepareDC(int) { return {}; }
void CTableView::OnPrint(ICanvas&, int) {}
void CTableView::OnEndPrinting() {}
void CTableView::SetHScroll(int) {}
bool CTableView::BeginEdit() { return false; }
bool CTableView::BeginEditByTyping() { return false; }
void CTableView::SetEditorText(const std::string& t) { m_editor.text = t; }
void CTableView::EndEdit(bool) {}
void CTableView::CommitEditor() {}
int CTableView::OnCellEditEnd(int, int, const std::string&) { return 0; }
int CTableView::OnHeaderEditEnd(int, const std::string&) { return 0; }
void CTableView::CloseEditor() {}
void CTableView::OnLButtonDown(int, int, int) {}
void CTableView::OnLButtonUp(int, int, int) {}
void CTableView::OnMButtonDown(int, int, int) {}
std::vector<MenuItem> CTableView::OnRButtonDown(int, int) { return {}; }
void CTableView::OnMouseMove(int, int, int) {}
void CTableView::OnDragTimer(int, int) {}
bool CTableView::PreTranslateKey(int, bool, bool) { return false; }
bool CTableView::OnKeyDown(int, bool) { return false; }
void CTableView::OnUndo() {}
void CTableView::OnRedo() {}
void CTableView::OnCut() {}
void CTableView::OnCopy() {}
void CTableView::OnPaste() {}
void CTableView::OnInsertRow() {}
void CTableView::OnDeleteRow() {}
void CTableView::OnClear() {}
void CTableView::OnMoveRowUp() {}
void CTableView::OnMoveRowDown() {}
void CTableView::OnSelectAll() {}
void CTableView::OnSwitchToDrawing() { Frame().SwitchToDrawing(*this); }
bool CTableView::PushUndo() { return false; }
void CTableView::ClearUndo() { m_undo.clear(); m_nUndoIndex = -1; }
void CTableView::UpdateUndoButtons() {}
bool CTableView::CanUndo() const { return false; }
bool CTableView::CanRedo() const { return false; }
std::string CTableView::SelectionText() const { return {}; }
namespace table {
bool AcceptsChar(int, std::string_view, int, char32_t ch) { return ch != U','; }
std::string FilterInsertedText(int, std::string_view, int, std::string_view s, bool*) { return std::string(s); }
std::string NormalizeAngleText(std::string_view t, bool) { return std::string(t); }
std::string FinishEditText(int, std::string_view t, bool) { return std::string(t); }
std::string FinishComboText(std::string_view t) { return std::string(t); }
bool StripCommas(std::string&) { return false; }
}
