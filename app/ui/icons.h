#pragma once
// Small pictures drawn in code: the tool bar's buttons and the navigation trees' images.
#include <QIcon>

namespace app_ui {

// Tool-bar command ids: 57600 新建, 57601 打开, 57603 保存, 57635 剪切, 57634 复制,
// 57637 粘贴, 57606 打印设置, 57609 打印预览, 57607 打印, 32773 默认布局,
// 32774 隐藏左边窗口, 183 帮助.
QIcon ToolBarIcon(int command);

// Tree images: 0 item, 1 selected item (records, help), 2 selected item (adjustment,
// tools), 4 branch, 5 open branch.
QIcon TreeImage(int index);

// The program's icon.
QIcon ProgramIcon();

}  // namespace app_ui
