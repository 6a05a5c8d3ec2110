#pragma once
// The pictures of the grid's bar buttons and the other small icons, drawn in code so
// that they stay sharp at every size the interface scale asks for (16 to 48 pixels).
#include <QIcon>

// Icon for a resource number of the button bars (144 方案, 146 表格, 148 CAD, 149 计算,
// 150 自定义, 152 WORD, 164 读取, 172 上一页, 173 下一页, 179 移动 and 删页, 185 文本,
// 202 EXCEL, 206 图形, 207 撤消, 208 恢复); a neutral square for any other number.
QIcon BarIcon(int resourceId);
