#include "table/ui/flat_splitter.h"

#include <QMouseEvent>
#include <QPainter>

#include "table/ui/ui_scale.h"

CFlatSplitterWnd::CFlatSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
  setHandleWidth(kBarWidth);
  setContentsMargins(kBorder, kBorder, kBorder, kBorder);
  setChildrenCollapsible(false);
  setOpaqueResize(true);
}

QSplitterHandle* CFlatSplitterWnd::createHandle() { return new CFlatSplitterHandle(orientation(), this); }

void CFlatSplitterWnd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QPen(g_clrBtnFace, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CFlatSplitterWnd::resizeEvent(QResizeEvent* event) {
  QSplitter::resizeEvent(event);
  update();
}

void CFlatSplitterHandle::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), g_clrBtnFace);
}

void CFlatSplitterHandle::mousePressEvent(QMouseEvent* event) {
  if (owner_->Tracking()) QSplitterHandle::mousePressEvent(event);
  else event->ignore();
}

void CFlatSplitterHandle::mouseMoveEvent(QMouseEvent* event) {
  if (owner_->Tracking()) QSplitterHandle::mouseMoveEvent(event);
  else event->ignore();
}

void CFlatSplitterHandle::mouseReleaseEvent(QMouseEvent* event) {
  if (owner_->Tracking()) QSplitterHandle::mouseReleaseEvent(event);
  else event->ignore();
}
