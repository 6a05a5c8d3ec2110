#include "table/ui/grid_host.h"

#include <QEvent>
#include <QObject>

#include "table/table_ports.h"
#include "table/ui/button_st.h"

namespace table_ui {
namespace {

// Lives as a child of the owner, so the filter goes when the owner (and with it the
// presenter onSize talks to) does.
class GridSizeFollower final : public QObject {
 public:
  GridSizeFollower(QObject* owner, CTableWidget* widget, std::function<void(int, int)> onSize)
      : QObject(owner), widget_(widget), onSize_(std::move(onSize)) {
    widget_->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
      onSize_(widget_->width(), widget_->height());
    return QObject::eventFilter(watched, event);
  }

 private:
  CTableWidget* widget_;
  std::function<void(int, int)> onSize_;
};

}  // namespace

void AttachGridHost(QObject* owner, CTableWidget* widget, std::function<void(int width, int height)> onSize) {
  new GridSizeFollower(owner, widget, std::move(onSize));
  QObject::connect(widget, &CTableWidget::commandUnhandled, owner, [widget](int id) {
    if (CButtonST* b = widget->Button(id)) table::SayNotAvailable(b->text().toStdString());
  });
}

void ApplyUiScale(CTableWidget* widget, CTableView& view) {
  widget->ApplyUiScale();
  view.SetBarMetrics(g_nRowHeight, g_nCharHeight);
  view.OnSize(widget->width(), widget->height());
}

}  // namespace table_ui
