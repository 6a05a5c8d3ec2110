#include "app/ui/nav_pane.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "app/ui/icons.h"
#include "table/ui/qt_ports.h"
#include "table/ui/ui_scale.h"

namespace app_ui {

namespace {

constexpr int kCodeRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelImageRole = Qt::UserRole + 2;
const QColor kTreeBack(240, 240, 255);
const QColor kHotFill(243, 243, 239);
const QColor kDark(128, 128, 128);
const QColor kLight(250, 250, 250);

void Frame3D(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(bottomRight);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

QRect ToQ(const app::NavRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

// Items with children in weight 600, the selected item red, italic and 600, the
// others black in the tree's font; no highlight bar.
class NavDelegate : public QStyledItemDelegate {
 public:
  explicit NavDelegate(CTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    p->save();
    p->fillRect(option.rect.adjusted(0, 0, 30, 0), kTreeBack);
    const bool selected = option.state & QStyle::State_Selected;
    const bool branch = index.model()->hasChildren(index);
    int image = index.data(selected ? kSelImageRole : kImageRole).toInt();
    const int h = option.rect.height();
    const int icon = std::min(16, h);
    QRect iconRect(option.rect.left() + 1, option.rect.top() + (h - icon) / 2, icon, icon);
    TreeImage(image).paint(p, iconRect);
    QFont f = tree_->font();
    if (branch || selected) f.setWeight(QFont::Weight(600));
    if (selected) f.setItalic(true);
    p->setFont(f);
    p->setPen(selected ? QColor(255, 0, 0) : QColor(0, 0, 0));
    QRect text = option.rect.adjusted(icon + 5, 0, 30, 0);
    p->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, index.data().toString());
    p->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    QFont f = tree_->font();
    f.setWeight(QFont::Weight(600));
    f.setItalic(true);
    s.setWidth(QFontMetrics(f).horizontalAdvance(index.data().toString()) + 30);
    s.setHeight(tree_->ItemHeight());
    return s;
  }

 private:
  CTree* tree_;
};

QTreeWidgetItem* MakeItem(const app::NavItem& it) {
  auto* item = new QTreeWidgetItem(QStringList{table_ui::Q(it.text)});
  item->setData(0, kCodeRole, it.code);
  item->setData(0, kImageRole, it.image);
  item->setData(0, kSelImageRole, it.selectedImage);
  for (const auto& c : it.children) item->addChild(MakeItem(c));
  return item;
}

void ExpandAsModel(QTreeWidgetItem* item, const app::NavItem& it) {
  item->setExpanded(it.expanded);
  for (int i = 0; i < item->childCount(); ++i) ExpandAsModel(item->child(i), it.children[static_cast<std::size_t>(i)]);
}

}  // namespace

CTree::CTree(int treeId, QWidget* parent) : QTreeWidget(parent), treeId_(treeId) {
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setColumnCount(1);
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setItemDelegate(new NavDelegate(this));
  setUniformRowHeights(true);
  setIndentation(16);
  // A name wider than the pane (a large interface font) scrolls instead of being cut.
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, kTreeBack);
  // The selected item is shown by its red italic text, not by a highlight bar.
  pal.setColor(QPalette::Highlight, kTreeBack);
  pal.setColor(QPalette::HighlightedText, QColor(255, 0, 0));
  setPalette(pal);
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* cur, QTreeWidgetItem*) {
    if (cur) emit navSelect(treeId_, PathOf(cur));
  });
  // Expanding shows the open-branch image, collapsing the closed one.
  connect(this, &QTreeWidget::itemExpanded, this, [](QTreeWidgetItem* i) {
    i->setData(0, kImageRole, 5);
    i->setData(0, kSelImageRole, 5);
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem* i) {
    i->setData(0, kImageRole, 4);
    i->setData(0, kSelImageRole, 4);
  });
}

void CTree::mouseDoubleClickEvent(QMouseEvent* event) {
  if (QTreeWidgetItem* cur = currentItem()) emit navSelect(treeId_, PathOf(cur));
  QTreeWidget::mouseDoubleClickEvent(event);
}

void CTree::Populate(const app::NavTree& tree) {
  QSignalBlocker block(this);
  clearSelection();
  clear();
  for (const auto& it : tree) {
    QTreeWidgetItem* item = MakeItem(it);
    addTopLevelItem(item);
    ExpandAsModel(item, it);
  }
}

QTreeWidgetItem* CTree::ItemAt(const app::NavPath& path) const {
  QTreeWidgetItem* item = nullptr;
  for (std::size_t k = 0; k < path.size(); ++k) {
    int i = path[k];
    item = k == 0 ? topLevelItem(i) : item->child(i);
    if (!item) return nullptr;
  }
  return item;
}

app::NavPath CTree::PathOf(const QTreeWidgetItem* item) {
  app::NavPath path;
  while (item) {
    const QTreeWidgetItem* parent = item->parent();
    int idx = parent ? parent->indexOfChild(const_cast<QTreeWidgetItem*>(item))
                     : item->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
    path.insert(path.begin(), idx);
    item = parent;
  }
  return path;
}

void CTree::SetItemHeight(int h) {
  itemHeight_ = std::max(8, h);
  doItemsLayout();
}

NavPane::NavPane(app::CLTView& presenter, QWidget* parent) : QWidget(parent), nav_(presenter) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  for (int s = 0; s < app::kSectionCount; ++s) {
    auto* t = new CTree(s, this);
    t->hide();
    connect(t, &CTree::navSelect, this, [this](int id, const app::NavPath& path) { nav_.OnUserSelect(id, path); });
    trees_[static_cast<std::size_t>(s)] = t;
  }
  nav_.SetHost(this);
}

void NavPane::TreeRebuilt(int section) { Tree(section)->Populate(nav_.Tree(section)); }

void NavPane::SelectionMoved(int section) {
  CTree* t = Tree(section);
  QSignalBlocker block(t);
  QTreeWidgetItem* item = t->ItemAt(nav_.Selection(section));
  if (item) {
    t->setCurrentItem(item);
    t->scrollToItem(item);
  } else {
    t->clearSelection();
    t->setCurrentItem(nullptr);
  }
  t->viewport()->update();
}

void NavPane::ItemRenamed(int section, const app::NavPath& path) {
  if (QTreeWidgetItem* item = Tree(section)->ItemAt(path)) {
    if (const app::NavItem* it = nav_.ItemAt(section, path)) item->setText(0, table_ui::Q(it->text));
  }
}

void NavPane::RecalcLayout() {
  const int H = g_nRowHeight;
  SetHover(-1);  // the headers have moved
  for (int s = 0; s < app::kSectionCount; ++s) {
    CTree* t = Tree(s);
    t->setGeometry(ToQ(app::TreeRect(s, width(), height(), H)));
    t->setFont(g_fontUI);
    t->SetItemHeight(int(g_nCharHeight * 1.5));
    t->setVisible(s == nav_.CurrentSection());
  }
  update();
}

void NavPane::resizeEvent(QResizeEvent*) { RecalcLayout(); }

void NavPane::DrawHeader(QPainter& p, int s, bool hot) {
  QRect r = ToQ(app::HeaderRect(s, nav_.CurrentSection(), width(), height(), g_nRowHeight));
  p.fillRect(r, g_clrBtnFace);
  Frame3D(p, r, kLight, kDark);
  QColor text(0, 0, 0);
  if (hot) {
    p.fillRect(r.adjusted(2, 1, -2, -1), kHotFill);
    text = QColor(255, 0, 0);
  }
  p.setFont(g_fontUI);
  p.setPen(text);
  p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, table_ui::Q(app::kSectionCaptions[static_cast<std::size_t>(s)]));
}

void NavPane::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), kTreeBack);
  Frame3D(p, rect(), kDark, kLight);
  for (int s = 0; s < app::kSectionCount; ++s) DrawHeader(p, s, s == hover_);
}

void NavPane::mousePressEvent(QMouseEvent* event) {
  QPoint pt = event->position().toPoint();
  nav_.OnHeaderClick(pt.x(), pt.y(), width(), height(), g_nRowHeight);
}

void NavPane::SetHover(int s) {
  if (s == hover_) return;
  hover_ = s;
  setCursor(s >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  update();
}

void NavPane::mouseMoveEvent(QMouseEvent* event) {
  QPoint pt = event->position().toPoint();
  int s = app::HeaderAt(pt.x(), pt.y(), nav_.CurrentSection(), width(), height(), g_nRowHeight);
  SetHover(s == nav_.CurrentSection() ? -1 : s);
}

void NavPane::leaveEvent(QEvent*) { SetHover(-1); }

}  // namespace app_ui
