#include "table/ui/header_ctrl_ex.h"

#include <QMouseEvent>
#include <algorithm>

CHeaderCtrlEx::CHeaderCtrlEx(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
  if (orientation == Qt::Horizontal) setFixedHeight(height_);
  setMinimumSectionSize(8);
}

void CHeaderCtrlEx::SetHeight(int h) {
  height_ = std::max(kHeight, h);
  if (orientation() == Qt::Horizontal) setFixedHeight(height_);
}

QSize CHeaderCtrlEx::sizeHint() const {
  QSize s = QHeaderView::sizeHint();
  if (orientation() == Qt::Horizontal) s.setHeight(height_);
  return s;
}

void CHeaderCtrlEx::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (painter_) painter_(painter, rect, logicalIndex);
  else QHeaderView::paintSection(painter, rect, logicalIndex);
}

void CHeaderCtrlEx::mouseMoveEvent(QMouseEvent* event) {
  QHeaderView::mouseMoveEvent(event);
  // A divider being dragged: the list under it must follow at once.
  if ((event->buttons() & Qt::LeftButton) && parentWidget()) parentWidget()->update();
}

void CHeaderCtrlEx::mouseReleaseEvent(QMouseEvent* event) {
  bool dragging = event->button() == Qt::LeftButton;
  QHeaderView::mouseReleaseEvent(event);
  if (dragging && parentWidget()) parentWidget()->update();
}
