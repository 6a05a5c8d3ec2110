#pragma once
// The navigation pane on screen: four section headers stacked like an outlook bar and
// the tree of the current section between them. It paints what the CLTView presenter
// holds and passes the user's clicks to it.
#include <QTreeWidget>
#include <QWidget>
#include <array>

#include "app/nav.h"

namespace app_ui {

// One section's tree; sends every selection (and double click) to the presenter.
class CTree : public QTreeWidget {
  Q_OBJECT
 public:
  CTree(int treeId, QWidget* parent);
  int TreeId() const { return treeId_; }
  void Populate(const app::NavTree& tree);
  QTreeWidgetItem* ItemAt(const app::NavPath& path) const;
  static app::NavPath PathOf(const QTreeWidgetItem* item);
  void SetItemHeight(int h);
  int ItemHeight() const { return itemHeight_; }

 signals:
  void navSelect(int treeId, const app::NavPath& path);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int treeId_;
  int itemHeight_ = 18;
};

class NavPane : public QWidget, public app::INavPaneHost {
  Q_OBJECT
 public:
  NavPane(app::CLTView& presenter, QWidget* parent = nullptr);

  app::CLTView& Presenter() { return nav_; }
  CTree* Tree(int section) const { return trees_[static_cast<std::size_t>(section)]; }
  int HoveredHeader() const { return hover_; }

  // INavPaneHost
  void TreeRebuilt(int section) override;
  void SelectionMoved(int section) override;
  void ItemRenamed(int section, const app::NavPath& path) override;
  void RecalcLayout() override;
  bool IsPaneVisible() const override { return isVisible() || !requireVisible_; }

  // Offscreen tests drive a pane that is never shown.
  void SetRequireVisible(bool on) { requireVisible_ = on; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void DrawHeader(QPainter& p, int section, bool hot);
  void SetHover(int section);

  app::CLTView& nav_;
  std::array<CTree*, 4> trees_{};
  int hover_ = -1;
  bool requireVisible_ = true;
};

}  // namespace app_ui
