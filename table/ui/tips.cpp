#include "table/ui/tips.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

namespace tips {

QString Wrapped(const QString& text, int width) {
  if (QFontMetrics(QToolTip::font()).horizontalAdvance(text) <= width) return text;
  return QStringLiteral("<table width=%1><tr><td>%2</td></tr></table>").arg(width).arg(text.toHtmlEscaped());
}

void Show(QWidget* owner, const QPoint& global, const QString& text, int width) {
  QToolTip::showText(global, Wrapped(text, width), owner, QRect(), kAutoPopMs);
}

namespace {

// Starts the tip of the control the pointer entered after kInitialDelayMs, and
// takes the desktop's own (later, shorter) tip out of the way.
class TipFilter : public QObject {
 public:
  TipFilter(QWidget* root, int width) : QObject(root), width_(width) {
    timer_.setSingleShot(true);
    timer_.setInterval(kInitialDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (target_ && target_->isVisible() && !target_->toolTip().isEmpty())
        Show(target_, QCursor::pos() + QPoint(12, 18), target_->toolTip(), width_);
    });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    switch (event->type()) {
      case QEvent::ToolTip: return !w->toolTip().isEmpty();
      case QEvent::Enter:
        if (w->toolTip().isEmpty()) break;
        target_ = w;
        timer_.start();
        break;
      case QEvent::Leave:
      case QEvent::MouseButtonPress:
      case QEvent::Hide:
        if (w != target_) break;
        timer_.stop();
        target_ = nullptr;
        QToolTip::hideText();
        break;
      default: break;
    }
    return false;
  }

 private:
  int width_;
  QTimer timer_;
  QPointer<QWidget> target_;
};

}  // namespace

void Install(QWidget* root, int width) {
  if (!root) return;
  auto* filter = new TipFilter(root, width);
  root->installEventFilter(filter);
  for (QWidget* w : root->findChildren<QWidget*>()) w->installEventFilter(filter);
}

}  // namespace tips
