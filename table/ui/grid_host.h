#pragma once
// What every view host does with its presenter's grid widget, in one place: the
// presenter follows the widget's size, a bar button it leaves unhandled says it is not
// available, the interface scale reaches both, and the frame's print commands reach
// the widget.
#include <functional>

#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"

class QObject;

namespace table_ui {

// onSize hears the widget's client size on every resize and show (the presenter lays
// out its bar from it) for as long as owner lives. A bar or menu command the
// presenter does not handle says "not available" with the button's text.
void AttachGridHost(QObject* owner, CTableWidget* widget, std::function<void(int width, int height)> onSize);

// The interface scale changed: the widget's fonts, then the presenter's bar metrics
// and its size.
void ApplyUiScale(CTableWidget* widget, CTableView& view);

// The frame's print commands for a grid view: print, direct print, preview, setup.
inline std::function<void(int command)> GridPrintCommands(CTableWidget* widget) {
  return [widget](int command) { widget->RunPrintCommand(command); };
}

}  // namespace table_ui
