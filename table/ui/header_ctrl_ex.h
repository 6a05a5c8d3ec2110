#pragma once
// Header of the editable list: always 24 pixels high whatever the font. The owning
// list paints the header items (SetItemPainter); while a divider is dragged the list
// is repainted with it.
#include <QHeaderView>
#include <functional>

class CHeaderCtrlEx : public QHeaderView {
  Q_OBJECT
 public:
  explicit CHeaderCtrlEx(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

  static constexpr int kHeight = 24;
  int HeaderHeight() const { return height_; }
  // An owner with a larger font asks for a taller header (never below 24).
  void SetHeight(int h);

  // The owner's painter of one header item (section index, its rectangle).
  using ItemPainter = std::function<void(QPainter*, const QRect&, int)>;
  void SetItemPainter(ItemPainter painter) { painter_ = std::move(painter); viewport()->update(); }

  QSize sizeHint() const override;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int height_ = kHeight;
  ItemPainter painter_;
};
