#include "app/nav.h"

#include "app/doc.h"
#include "platform/gbk.h"
#include "records/gcjl_view.h"
#include "tools/tool_codes.h"
#include "traverse/codes.h"

namespace app {

CLTView* g_pNavView = nullptr;
IViewSwitch* g_pViewSwitch = nullptr;


namespace {

constexpr int kBranchImage = 4;
constexpr int kBranchOpenImage = 5;

NavItem Leaf(std::string text, int code, int selectedImage) {
  NavItem it;
  it.text = std::move(text);
  it.code = code;
  it.image = 0;
  it.selectedImage = selectedImage;
  return it;
}

NavItem Branch(std::string text, bool expanded) {
  NavItem it;
  it.text = std::move(text);
  it.expanded = expanded;
  it.image = expanded ? kBranchOpenImage : kBranchImage;
  it.selectedImage = it.image;
  return it;
}

std::string PageText(int page) { return "第" + std::to_string(page + 1) + "页"; }

bool FindIn(const NavTree& items, int code, const std::string* text, NavPath& path) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    path.push_back(static_cast<int>(i));
    const NavItem& it = items[i];
    if (text ? it.text == *text : it.code == code) return true;
    if (FindIn(it.children, code, text, path)) return true;
    path.pop_back();
  }
  return false;
}

}  // namespace

const char* ToolCodeForItem(int code) {
  for (const auto& t : tools::kToolTable)
    if (t.item == code) return t.code;
  return nullptr;
}

NavTree BuildRecordsTree(const IRecordsNav* records) {
  static const char* kBooks[3] = {"导线观测记录", "水平角", "水准"};
  static const char* kKeys[3] = {"DX", "SHPJ", "SHZH"};
  NavTree tree;
  for (int b = 0; b < 3; ++b) {
    NavItem branch = Branch(kBooks[b], true);
    int pages = records ? records->PageCount(b) : 0;
    int limit = b == 0 ? 990 : 1000;  // keep the codes inside the book's range
    for (int p = 0; p < pages && p < limit; ++p) branch.children.push_back(Leaf(PageText(p), records::RecordsTreeCode(kKeys[b], p), 1));
    tree.push_back(std::move(branch));
  }
  tree.push_back(Leaf("边长高差外业成果", records::RecordsTreeCode("WYZHL", -1), 1));
  return tree;
}

NavTree BuildTraverseTree(const ITraverseNav* traverse) {
  const int t = traverse ? traverse->TraverseType() : 0;
  NavTree tree;
  tree.push_back(Leaf("数据输入", traverse::kNavInput, 2));
  if (t <= 3) {
    tree.push_back(Leaf("平面计算表", traverse::kNavPlane, 2));
    tree.push_back(Leaf("高程计算表", traverse::kNavHeight, 2));
  }
  if (t == 4) tree.push_back(Leaf("坐标Pelmor计算表", traverse::kNavPlane, 2));
  if (t == 5) tree.push_back(Leaf("水准测量记录计算表", traverse::kNavHeight, 2));
  if (t <= 4) {
    tree.push_back(Leaf("控制点成果表", traverse::kNavControl, 2));
    tree.push_back(Leaf("平差成果表", traverse::kNavResults, 2));
  }
  if (t <= 3) tree.push_back(Leaf("精度评定", traverse::kNavPrecision, 2));
  if (t == 0) tree.push_back(Leaf("平面查错", traverse::kNavErrorSearch, 2));
  NavItem custom = Branch("自定义成果形式", true);
  for (int i = 0; i < traverse::kCustomTableCount; ++i) {
    std::string name = traverse ? traverse->CustomTableName(i) : std::string();
    if (name.empty()) name = "自定义表格" + std::to_string(i + 1);
    custom.children.push_back(Leaf(name, traverse::kNavCustomFirst + i, 2));
  }
  tree.push_back(std::move(custom));
  if (t <= 4) {
    NavItem diagrams = Branch("图形", true);
    if (t == 0) diagrams.children.push_back(Leaf("平面查错图形", traverse::kNavErrorDiagram, 2));
    diagrams.children.push_back(Leaf("导线图", traverse::kNavTraverseDiagram, 2));
    diagrams.children.push_back(Leaf("展点图", traverse::kNavPointPlot, 2));
    tree.push_back(std::move(diagrams));
  }
  return tree;
}

NavTree BuildToolsTree() {
  NavTree tree;
  NavItem common = Branch("常用计算", true);
  NavItem inter = Branch("交会", true);
  const tools::ToolInfo* detail = nullptr;
  for (const auto& t : tools::kToolTable) {
    if (t.item < 200) common.children.push_back(Leaf(t.treeText, t.item, 2));
    else if (t.item < 300) inter.children.push_back(Leaf(t.treeText, t.item, 2));
    else detail = &t;
  }
  tree.push_back(std::move(common));
  tree.push_back(std::move(inter));
  if (detail) tree.push_back(Leaf(detail->treeText, detail->item, 2));
  return tree;
}

NavTree BuildHelpTree() {
  NavTree tree;
  tree.push_back(Leaf("一、功能简介", 0, 1));
  tree.push_back(Leaf("二、观测记录", 0, 1));
  NavItem adj = Branch("二、平差计算", true);
  adj.children.push_back(Leaf("1、 计算方案", 0, 1));
  adj.children.push_back(Leaf("2、 数据输入", 0, 1));
  adj.children.push_back(Leaf("3、 计算成果", 0, 1));
  tree.push_back(std::move(adj));
  for (const char* t : {"三、常用工具", "四、最近更新", "五、常见问答", "八、访问官方网站"}) tree.push_back(Leaf(t, 0, 1));
  return tree;
}

std::string TraverseTableCode(int code) {
  switch (code) {
    case traverse::kNavInput: return traverse::kTableInput;
    case traverse::kNavPlane: return traverse::kTablePlane;
    case traverse::kNavHeight: return traverse::kTableHeight;
    case traverse::kNavControl: return traverse::kTableControl;
    case traverse::kNavResults: return traverse::kTableResults;
    case traverse::kNavPrecision: return traverse::kTablePrecision;
    case traverse::kNavErrorSearch: return traverse::kTableErrorSearch;
    default: break;
  }
  const int custom = code - traverse::kNavCustomFirst;
  if (custom >= 0 && custom < traverse::kCustomTableCount) return traverse::CustomTableCode(custom);
  return {};
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
    switch (s) {
      case 0: trees_[si] = BuildRecordsTree(targets_.records); break;
      case 1: trees_[si] = BuildTraverseTree(targets_.traverse); break;
      case 2: trees_[si] = BuildToolsTree(); break;
      case 3: trees_[si] = BuildHelpTree(); break;
    }
    if (host_) host_->TreeRebuilt(s);
    if (s == 1) SelectCustomFormsBranch();
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
      if (!targets_.records) return;
      {
        std::string key;
        int page = 0;
        if (records::RecordsTreeTarget(code, &key, &page)) targets_.records->ShowPage(key, page);
      }
      return;
    case 1: {
      if (code <= 0) return;
      if (targets_.frame)
        targets_.frame->SwitchView(code >= traverse::kNavErrorDiagram && code <= 99 ? kDrawViewId : kTraverseViewId);
      if (!targets_.traverse) return;
      std::string table = TraverseTableCode(code);
      if (!table.empty()) targets_.traverse->ShowTable(table);
      else if (code == traverse::kNavErrorDiagram) targets_.traverse->DrawErrorSearchDiagram();
      else if (code == traverse::kNavTraverseDiagram) targets_.traverse->DrawTraverseDiagram();
      else if (code == traverse::kNavPointPlot) targets_.traverse->DrawPointPlot();
      return;
    }
    case 2: {
      const char* tool = ToolCodeForItem(code);
      if (tool && targets_.tools) targets_.tools->ShowTool(tool);
      return;
    }
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
  if (targets_.traverse && targets_.traverse->InputRowCount() >= 4) {
    current_ = 1;
    if (targets_.frame) targets_.frame->SwitchView(kTraverseViewId);
    SelectItem(1, traverse::kNavInput);
  } else {
    const tools::ToolInfo* found = nullptr;
    if (targets_.tools)
      for (const auto& t : tools::kToolTable)
        if (targets_.tools->ToolRowCount(t.code) >= 1) {
          found = &t;
          break;
        }
    if (found) {
      SelectSection(2);
      SelectItem(2, found->item);
    } else {
      current_ = 0;
      if (targets_.frame) targets_.frame->SwitchView(kRecordsViewId);
    }
  }
  RecalcLayout();
  doc.m_bJustLoaded = 0;
}

NavPath CLTView::FindCode(int section, int code) const {
  NavPath path;
  if (section >= 0 && section < kSectionCount && FindIn(trees_[static_cast<std::size_t>(section)], code, nullptr, path))
    return path;
  return {};
}

NavPath CLTView::FindText(int section, const std::string& text) const {
  NavPath path;
  if (section >= 0 && section < kSectionCount && FindIn(trees_[static_cast<std::size_t>(section)], 0, &text, path))
    return path;
  return {};
}

bool CLTView::SelectItem(int section, int code) {
  if (code == 0) return false;
  NavPath path = FindCode(section, code);
  if (path.empty()) return false;
  Select(section, path, true);
  return true;
}

void CLTView::RenameCustomTable(int i, const std::string& name) {
  if (i < 0 || i >= traverse::kCustomTableCount) return;
  NavPath path = FindCode(1, traverse::kNavCustomFirst + i);
  if (path.empty()) return;
  NavTree* level = &trees_[1];
  NavItem* it = nullptr;
  for (int idx : path) {
    it = &(*level)[static_cast<std::size_t>(idx)];
    level = &it->children;
  }
  it->text = name.empty() ? "自定义表格" + std::to_string(i + 1) : name;
  if (host_) host_->ItemRenamed(1, path);
}

bool CLTView::SelectHelpItem(const std::string& text) {
  SelectSection(3);
  NavPath path = FindText(3, text);
  if (path.empty()) return false;
  Select(3, path, true);
  return true;
}

void CLTView::SelectCustomFormsBranch() {
  NavPath path = FindText(1, "自定义成果形式");
  Select(1, path, false);
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
