#pragma once
// Plugs the drawing view into the main frame as view 1008.
namespace drawing_ui {
// Registers view 1008 with the main frame (call before the frame is built).
void RegisterDrawView();
}  // namespace drawing_ui
