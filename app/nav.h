#pragma once
// CLTView: the navigation pane's presenter. Four sections ("观测记录", "平差计算",
// "常用工具", "帮助"), each a tree built from the data of its view; choosing a header
// switches the frame's right pane, choosing an item tells the view what to show.
// The Qt pane (app/ui/nav_pane.h) only paints these trees and forwards the user's
// clicks; other views call the selection interface below.
#include <array>
#include <string>
#include <vector>

#include "app/views.h"
#include "platform/nav_tree.h"

namespace app {

class CVornDoc;

inline constexpr int kSectionCount = 4;
inline constexpr std::array<const char*, 4> kSectionCaptions = {"观测记录", "平差计算", "常用工具", "帮助"};
inline constexpr std::array<int, 4> kSectionViews = {kRecordsViewId, kTraverseViewId, kToolsViewId,
                                                     kHelpViewId};

// The help tree (the help view's topics).
NavTree BuildHelpTree();

// Help topic of a help item text: the text without its first 4 GBK bytes.
std::string HelpTopicOf(const std::string& itemText);

// Geometry of the pane (W x B client, H = g_nRowHeight).
struct NavRect {
  int left, top, right, bottom;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
NavRect HeaderRect(int section, int current, int width, int height, int rowHeight);
NavRect TreeRect(int section, int width, int height, int rowHeight);
// Section whose header holds the point, or -1.
int HeaderAt(int x, int y, int current, int width, int height, int rowHeight);

// What the Qt pane does for the presenter.
class INavPaneHost {
 public:
  virtual ~INavPaneHost() = default;
  virtual void TreeRebuilt(int section) = 0;      // repopulate from Tree(section)
  virtual void SelectionMoved(int section) = 0;   // show Selection(section)
  virtual void ItemRenamed(int section, const NavPath& path) = 0;
  virtual void RecalcLayout() = 0;                // current section or scale changed
  virtual bool IsPaneVisible() const = 0;
};

class CLTView {
 public:
  struct Targets {
    IViewSwitch* frame = nullptr;
    // Sections 0..2: each view's own tree and item meanings (null: an empty tree).
    INavSource* records = nullptr;
    INavSource* traverse = nullptr;
    INavSource* tools = nullptr;
    IHelpNav* help = nullptr;
  };

  void SetTargets(const Targets& t) { targets_ = t; }
  void SetHost(INavPaneHost* host) { host_ = host; }

  // First update: the trees exist from now on and are built.
  void OnInitialUpdate();
  // Rebuilds one tree (0..3) or all four (-1); nothing before the first update.
  void BuildTrees(int section);
  // Makes a section (0..3) current and switches the right pane to its view.
  void SelectSection(int section);
  void RecalcLayout();
  int CurrentSection() const { return current_; }

  const NavTree& Tree(int section) const { return trees_.at(static_cast<std::size_t>(section)); }
  const NavPath& Selection(int section) const { return selection_.at(static_cast<std::size_t>(section)); }
  const NavItem* SelectedItem(int section) const;
  const NavItem* ItemAt(int section, const NavPath& path) const;

  // The user picked (or double-clicked) an item in a tree.
  void OnUserSelect(int section, const NavPath& path);
  // Header click at a point of the pane.
  void OnHeaderClick(int x, int y, int width, int height, int rowHeight);
  // The tree-to-pane message: section and the item's code.
  void OnNavSelect(int section, int code);

  // After a file was opened (the document's m_bJustLoaded): rebuild, pick the section
  // and item that suit the job (the adjustment's, else the tools', else the records
  // section), clear the flag.
  void AfterLoad(CVornDoc& doc);

  // --- Selection interface for other views ---
  // Selects the first item with the code in a section and dispatches it, even when it
  // is already selected. False when no item has that code.
  bool SelectItem(int section, int code);
  // Gives the first item with the code in a section a new text.
  void RenameItem(int section, int code, const std::string& text);
  // Switches to the help section and selects the help item with this text
  // ("二、观测记录", "1、 计算方案"), which shows its topic.
  bool SelectHelpItem(const std::string& text);
  // Puts a tree's caret on its caret-home item (selects nothing shown).
  void RestCaret(int section);
  void ClearSelection(int section);
  int SelectedCode(int section) const;  // 0 when nothing or a branch is selected
  bool SelectedIsLeaf(int section) const;

 private:
  void Select(int section, const NavPath& path, bool dispatch);
  NavPath FindCode(int section, int code) const;
  NavPath FindText(int section, const std::string& text) const;
  template <class Test>
  NavPath Find(int section, const Test& test) const;
  INavSource* Source(int section) const;
  bool Visible() const { return !host_ || host_->IsPaneVisible(); }

  Targets targets_;
  INavPaneHost* host_ = nullptr;
  bool attached_ = false;
  int current_ = 1;
  std::array<NavTree, 4> trees_;
  std::array<NavPath, 4> selection_;
};

}  // namespace app
