#include "app/shell.h"

#include "app/doc.h"
#include "app/nav.h"
#include "app/views.h"

namespace app {

bool CShellServices::SelectNavItem(int section, int code) { return nav_.SelectItem(section, code); }
int CShellServices::SelectedNavCode(int section) const { return nav_.SelectedCode(section); }
bool CShellServices::SelectedNavIsLeaf(int section) const { return nav_.SelectedIsLeaf(section); }
void CShellServices::RebuildNavTree(int section) { nav_.BuildTrees(section); }
void CShellServices::ClearNavSelection(int section) { nav_.ClearSelection(section); }
void CShellServices::RestNavCaret(int section) { nav_.RestCaret(section); }
bool CShellServices::SelectHelpItem(const std::string& text) { return nav_.SelectHelpItem(text); }
void CShellServices::RenameNavItem(int section, int code, const std::string& text) {
  nav_.RenameItem(section, code, text);
}
bool CShellServices::IsDocumentModified() const { return doc_.IsModified(); }
void CShellServices::SetDocumentModified() { doc_.SetModifiedFlag(true); }
void CShellServices::SwitchView(int id) { frame_.SwitchView(id); }
void CShellServices::ShowDrawing() { frame_.SwitchView(kDrawViewId); }

}  // namespace app
