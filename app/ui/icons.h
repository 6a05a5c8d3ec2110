#pragma once
// Small pictures drawn in code: the tool bar's buttons and the navigation trees' images.
#include <QIcon>

namespace app_ui {

// The picture of a tool-bar command (platform/commands.h: new, open, save, cut, copy,
// paste, print setup, preview, print, default layout, hide the left pane, help).
QIcon ToolBarIcon(int command);

// Tree images: 0 item, 1 selected item (records, help), 2 selected item (adjustment,
// tools), 4 branch, 5 open branch.
QIcon TreeImage(int index);

// The program's icon.
QIcon ProgramIcon();

}  // namespace app_ui
