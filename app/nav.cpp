#include "app/nav.h"

#include "app/doc.h"
#include "platform/gbk.h"

namespace app {

namespace {

// The first item (depth first) the test holds for, its path left in path.
template <class Test>
bool FindIn(const NavTree& items, const Test& test, NavPath& path) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    path.push_back(static_cast<int>(i));
    const NavItem& it = items[i];
    if (test(it)) return true;
    if (FindIn(it.children, test, path)) return true;
    path.pop_back();
  }
  return false;
}

}  // namespace

NavTree BuildHelpTree() {
  NavTree tree;
  tree.push_back(NavLeaf("一、功能简介", 0, 1));
  tree.push_back(NavLeaf("二、观测记录", 0, 1));
  NavItem adj = NavBranch("二、平差计算", true);
  adj.children.push_back(NavLeaf("1、 计算方案", 0, 1));
  adj.children.push_back(NavLeaf("2、 数据输入", 0, 1));
  adj.children.push_back(NavLeaf("3、 计算成果", 0, 1));
  tree.push_back(std::move(adj));
  for (const char* t : {"三、常用工具", "四、最近更新", "五、常见问答", "八、访问官方网站"}) tree.push_back(NavLeaf(t, 0, 1));
  return tree;
}

std::string HelpTopicOf(const std::string& itemText) {
  std::size_t i = 0;
  int width = 0;
  while (i < itemText.size() && width < 4) {
    std::size_t n = platform::Utf8CharLen(itemText, i);
    width += platform::GbkWidth(std::string_view(itemText).substr(i, n));
    i += n;
  }
  return itemText.substr(i);
}

NavRect HeaderRect(int section, int current, int width, int height, int rowHeight) {
  const int treeHeight = height - 1 - 4 * rowHeight;
  NavRect r{1, 1, width - 1, rowHeight};
  for (int i = 1; i <= section; ++i) {
    int top = r.bottom + (i - 1 == current ? treeHeight : 0);  // the open tree sits below its header
    r = {1, top, width - 1, top + rowHeight};
  }
  return r;
}

NavRect TreeRect(int section, int width, int height, int rowHeight) {
  int top = (section + 1) * rowHeight;
  return {1, top, 1 + (width - 2), top + (height - 4 * rowHeight)};
}

int HeaderAt(int x, int y, int current, int width, int height, int rowHeight) {
  for (int s = 0; s < kSectionCount; ++s)
    if (HeaderRect(s, current, width, height, rowHeight).Contains(x, y)) return s;
  return -1;
}

const NavItem* CLTView::ItemAt(int section, const NavPath& path) const {
  if (section < 0 || section >= kSectionCount || path.empty()) return nullptr;
  const NavTree* level = &trees_[static_cast<std::size_t>(section)];
  const NavItem* it = nullptr;
  for (int idx : path) {
    if (idx < 0 || static_cast<std::size_t>(idx) >= level->size()) return nullptr;
    it = &(*level)[static_cast<std::size_t>(idx)];
    level = &it->children;
  }
  return it;
}

const NavItem* CLTView::SelectedItem(int section) const { return ItemAt(section, Selection(section)); }

void CLTView::OnInitialUpdate() {
  if (!trees_[1].empty()) return;
  attached_ = true;
  BuildTrees(-1);
  RecalcLayout();
}

void CLTView::BuildTrees(int section) {
  if (!attached_) return;
  for (int s = 0; s < kSectionCount; ++s) {
    if (section != -1 && section != s) continue;
    auto si = static_cast<std::size_t>(s);
    if (s == 3 && !trees_[3].empty()) continue;
    selection_[si].clear();
    if (s == 3) {
      trees_[si] = BuildHelpTree();
    } else {
      const INavSource* source = Source(s);
      trees_[si] = source ? source->BuildNavTree() : NavTree();
    }
    if (host_) host_->TreeRebuilt(s);
    RestCaret(s);
    if (s == 3) Select(3, {0}, true);
  }
}

void CLTView::SelectSection(int section) {
  if (section < 0 || section >= kSectionCount) return;
  current_ = section;
  RecalcLayout();
  if (targets_.frame) targets_.frame->SwitchView(kSectionViews[static_cast<std::size_t>(section)]);
}

void CLTView::RecalcLayout() {
  if (host_) host_->RecalcLayout();
}

void CLTView::OnUserSelect(int section, const NavPath& path) { Select(section, path, true); }

void CLTView::OnHeaderClick(int x, int y, int width, int height, int rowHeight) {
  int s = HeaderAt(x, y, current_, width, height, rowHeight);
  if (s >= 0 && s != current_) SelectSection(s);
}

void CLTView::Select(int section, const NavPath& path, bool dispatch) {
  if (section < 0 || section >= kSectionCount) return;
  const NavItem* it = ItemAt(section, path);
  selection_[static_cast<std::size_t>(section)] = it ? path : NavPath{};
  if (host_) host_->SelectionMoved(section);
  if (dispatch) OnNavSelect(section, it ? it->code : 0);
}

void CLTView::OnNavSelect(int section, int code) {
  if (!Visible() || section != current_) return;
  switch (section) {
    case 0:
    case 1:
    case 2:
      if (INavSource* source = Source(section)) source->OnNavSelect(code);
      return;
    case 3: {
      const NavItem* it = SelectedItem(3);
      if (!it || !it->children.empty() || !targets_.help) return;
      targets_.help->ShowHelpTopic(HelpTopicOf(it->text));
      return;
    }
    default: return;
  }
}

void CLTView::AfterLoad(CVornDoc& doc) {
  if (!doc.m_bJustLoaded) return;
  BuildTrees(-1);
  const int adjustment = targets_.traverse ? targets_.traverse->LoadedNavItem() : 0;
  const int tool = targets_.tools ? targets_.tools->LoadedNavItem() : 0;
  if (adjustment) {
    current_ = 1;
    if (targets_.frame) targets_.frame->SwitchView(kTraverseViewId);
    SelectItem(1, adjustment);
  } else if (tool) {
    SelectSection(2);
    SelectItem(2, tool);
  } else {
    current_ = 0;
    if (targets_.frame) targets_.frame->SwitchView(kRecordsViewId);
  }
  RecalcLayout();
  doc.m_bJustLoaded = 0;
}

INavSource* CLTView::Source(int section) const {
  switch (section) {
    case 0: return targets_.records;
    case 1: return targets_.traverse;
    case 2: return targets_.tools;
    default: return nullptr;
  }
}

template <class Test>
NavPath CLTView::Find(int section, const Test& test) const {
  NavPath path;
  if (section >= 0 && section < kSectionCount && FindIn(trees_[static_cast<std::size_t>(section)], test, path))
    return path;
  return {};
}

NavPath CLTView::FindCode(int section, int code) const {
  return Find(section, [code](const NavItem& it) { return it.code == code; });
}

NavPath CLTView::FindText(int section, const std::string& text) const {
  return Find(section, [&text](const NavItem& it) { return it.text == text; });
}

bool CLTView::SelectItem(int section, int code) {
  if (code == 0) return false;
  NavPath path = FindCode(section, code);
  if (path.empty()) return false;
  Select(section, path, true);
  return true;
}

void CLTView::RenameItem(int section, int code, const std::string& text) {
  NavPath path = code == 0 ? NavPath{} : FindCode(section, code);
  if (path.empty()) return;
  NavTree* level = &trees_[static_cast<std::size_t>(section)];
  NavItem* it = nullptr;
  for (int idx : path) {
    it = &(*level)[static_cast<std::size_t>(idx)];
    level = &it->children;
  }
  it->text = text;
  if (host_) host_->ItemRenamed(section, path);
}

bool CLTView::SelectHelpItem(const std::string& text) {
  SelectSection(3);
  NavPath path = FindText(3, text);
  if (path.empty()) return false;
  Select(3, path, true);
  return true;
}

void CLTView::RestCaret(int section) {
  NavPath path = Find(section, [](const NavItem& it) { return it.caretHome; });
  if (!path.empty()) Select(section, path, false);
}

void CLTView::ClearSelection(int section) { Select(section, {}, false); }

int CLTView::SelectedCode(int section) const {
  const NavItem* it = SelectedItem(section);
  return it ? it->code : 0;
}

bool CLTView::SelectedIsLeaf(int section) const {
  const NavItem* it = SelectedItem(section);
  return it && it->children.empty();
}

}  // namespace app
