#pragma once
// The shell's services as a view sees them: the navigation pane, the document's
// modified flag, the frame's view switch. The frame hands one to every view factory,
// so a view reaches the shell through it and not through globals; a view without a
// frame (tests, a widget alone) gets none and falls back to showing its own table.
#include <string>

namespace app {

class CLTView;
class CVornDoc;
class IViewSwitch;

class IShellServices {
 public:
  virtual ~IShellServices() = default;
  // Navigation pane, section 0..3: select the first item with the code and dispatch
  // it (false when no item has it), what is selected, rebuild one tree, drop the
  // selection, rest the caret on a tree's home item, a help topic by its text.
  virtual bool SelectNavItem(int section, int code) = 0;
  virtual int SelectedNavCode(int section) const = 0;
  virtual bool SelectedNavIsLeaf(int section) const = 0;
  virtual void RebuildNavTree(int section) = 0;
  virtual void ClearNavSelection(int section) = 0;
  virtual void RestNavCaret(int section) = 0;
  virtual bool SelectHelpItem(const std::string& text) = 0;
  // The first item with the code in a section gets a new text.
  virtual void RenameNavItem(int /*section*/, int /*code*/, const std::string& /*text*/) {}
  // The document.
  virtual bool IsDocumentModified() const = 0;
  virtual void SetDocumentModified() = 0;
  // The frame's right pane, and the drawing view in it.
  virtual void SwitchView(int id) = 0;
  virtual void ShowDrawing() = 0;
};

// The services over the shell's parts (the frame owns one).
class CShellServices final : public IShellServices {
 public:
  CShellServices(CLTView& nav, CVornDoc& doc, IViewSwitch& frame) : nav_(nav), doc_(doc), frame_(frame) {}

  bool SelectNavItem(int section, int code) override;
  int SelectedNavCode(int section) const override;
  bool SelectedNavIsLeaf(int section) const override;
  void RebuildNavTree(int section) override;
  void ClearNavSelection(int section) override;
  void RestNavCaret(int section) override;
  bool SelectHelpItem(const std::string& text) override;
  void RenameNavItem(int section, int code, const std::string& text) override;
  bool IsDocumentModified() const override;
  void SetDocumentModified() override;
  void SwitchView(int id) override;
  void ShowDrawing() override;

 private:
  CLTView& nav_;
  CVornDoc& doc_;
  IViewSwitch& frame_;
};

}  // namespace app
