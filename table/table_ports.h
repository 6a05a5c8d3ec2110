#pragma once
// Ports of the grid presenter. The Qt widget that shows a CTableView implements
// ITableHost and installs it with CTableView::SetHost; the main frame implements
// ITableFrame once for the program. Tests install recording fakes.
#include <string>

class CTableView;

namespace table {

struct EditorState;
struct CTableSetForm;

// The window that shows one table: repaints, focus, the in-place editors, the
// scroll bars, the button bar, tool tips and the cursor.
class ITableHost {
 public:
  virtual ~ITableHost() = default;
  virtual void Invalidate() = 0;                       // repaint the table area soon
  virtual void TakeFocus() = 0;                        // the grid gets the keyboard focus
  virtual void ShowEditor(const EditorState& e) = 0;   // place and show an in-place editor
  virtual void HideEditor() = 0;                       // hide whichever editor is shown
  virtual void ScrollBarsChanged() = 0;                // re-read CTableView::GetScrollState
  virtual void ButtonsChanged() = 0;                   // re-read CTableView::Buttons
  virtual void SetToolTip(const std::string& text) = 0;  // "" hides the tip
  virtual void SetEditCursor(bool on) = 0;             // the edit cursor over editable items
  // The modal table settings dialog on a copy of the values; true after OK (the form
  // then holds the user's values). A host without the dialog answers false.
  virtual bool RunTableSettingsDialog(CTableSetForm& /*form*/) { return false; }
};

// The main frame as the grids see it.
class ITableFrame {
 public:
  virtual ~ITableFrame() = default;
  // Status panes 1 and 2 show the current row and column ("当前行：3").
  virtual void SetStatusPane(int pane, const std::string& text) = 0;
  // The document's modified flag.
  virtual void SetDocumentModified() = 0;
  // Puts the drawing in the view's place in the right pane (button "图形").
  virtual void SwitchToDrawing(CTableView& view) = 0;
};

// The frame port in force; never null (a silent default does nothing).
ITableFrame& Frame();
// Installs a frame port; returns the previous one (nullptr restores the default).
ITableFrame* SetFramePort(ITableFrame* frame);

// Tells the user that a command of this caption ("文本", "WORD", ...) is not in this
// build, so that no button stays silent.
void SayNotAvailable(const std::string& caption);

}  // namespace table
