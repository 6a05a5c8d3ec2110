#include "drawing/ui/draw_view_plug.h"

#include "app/ui/main_frame.h"
#include "app/views.h"
#include "drawing/draw_view.h"
#include "drawing/ui/draw_widget.h"

namespace drawing_ui {
namespace {

// Owns the presenter for as long as the widget lives and answers the
// document's reset.
class DrawViewHolder final : public QObject, public app::IDrawingReset {
 public:
  explicit DrawViewHolder(QWidget* parentOfWidget) {
    widget_ = new CDrawWidget(view_, parentOfWidget);
    setParent(widget_);
  }
  ~DrawViewHolder() override = default;
  void ResetView() override { view_.ResetView(); }
  CDrawWidget* Widget() const { return widget_; }

 private:
  drawing::CDrawView view_;
  CDrawWidget* widget_ = nullptr;
};

}  // namespace

void RegisterDrawView() {
  app_ui::RegisterViewFactory(app::kDrawViewId, [](app_ui::CMainFrame& frame) {
    auto* holder = new DrawViewHolder(&frame);
    CDrawWidget* w = holder->Widget();
    // "表格": back to the view the frame remembers, which showing the drawing in
    // a table's place left unchanged.
    w->onBackToTable = [&frame] { frame.SwitchView(frame.RightViewId()); };
    app_ui::ViewPlug plug;
    plug.widget = w;
    plug.drawing = holder;
    plug.command = [w](int command) { w->OnCommand(command); };
    plug.fontChanged = [w] { w->ApplyUiScale(); };
    plug.showTableButton = [w](bool show) { w->ShowTableButton(show); };
    return plug;
  });
}

}  // namespace drawing_ui
