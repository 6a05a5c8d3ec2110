#pragma once
// The main frame's splitter: flat 5-pixel bars and a 1-pixel frame in the button-face
// colour, no 3-D look. Dragging a bar works only while tracking is on.
#include <QSplitter>
#include <QSplitterHandle>

class CFlatSplitterWnd : public QSplitter {
  Q_OBJECT
 public:
  explicit CFlatSplitterWnd(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

  static constexpr int kBarWidth = 5;
  static constexpr int kBorder = 1;

  // Whether the user may resize the panes with the mouse (on at construction).
  void SetTracking(bool on) { tracking_ = on; }
  bool Tracking() const { return tracking_; }

 protected:
  QSplitterHandle* createHandle() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool tracking_ = true;
};

class CFlatSplitterHandle : public QSplitterHandle {
  Q_OBJECT
 public:
  CFlatSplitterHandle(Qt::Orientation o, CFlatSplitterWnd* parent) : QSplitterHandle(o, parent), owner_(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  CFlatSplitterWnd* owner_;
};
