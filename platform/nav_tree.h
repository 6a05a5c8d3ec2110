#pragma once
// A navigation tree as a view hands it to the shell's navigation pane, and what the
// pane asks of the view. Each view builds its own tree and gives its item codes their
// meaning; the pane only shows the tree, keeps the selection and passes the chosen
// code back.
//
// The contract belongs to the shell (namespace app) but is declared here, below every
// view, so that a view implements it without including anything of the shell.
#include <string>
#include <utility>
#include <vector>

namespace app {

struct NavItem {
  std::string text;
  int code = 0;           // item data; 0 selects nothing
  bool expanded = false;  // branches only
  int image = 0;          // index into the pane's image list
  int selectedImage = 0;
  bool caretHome = false;  // the caret rests here after a rebuild (selects nothing shown)
  std::vector<NavItem> children;
};
using NavTree = std::vector<NavItem>;
using NavPath = std::vector<int>;  // child indices from the root; empty = no item

// The pane's images: 0 page, 1 and 2 selected pages, 4 and 5 closed and open branch.
inline NavItem NavLeaf(std::string text, int code, int selectedImage) {
  NavItem it;
  it.text = std::move(text);
  it.code = code;
  it.image = 0;
  it.selectedImage = selectedImage;
  return it;
}

inline NavItem NavBranch(std::string text, bool expanded) {
  NavItem it;
  it.text = std::move(text);
  it.expanded = expanded;
  it.image = expanded ? 5 : 4;
  it.selectedImage = it.image;
  return it;
}

class INavSource {
 public:
  virtual ~INavSource() = default;
  virtual NavTree BuildNavTree() const = 0;
  // The user chose the item with this code (0 for a branch or nothing).
  virtual void OnNavSelect(int code) = 0;
  // After a job was opened: the item to show first when this view holds the job's
  // work, 0 when it holds none.
  virtual int LoadedNavItem() const { return 0; }
};

}  // namespace app
